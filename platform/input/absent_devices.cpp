// The source of runs that have no devices: every poll shows nothing present.
#include "input/devices.h"

namespace input {
namespace {

class AbsentDevices final : public InputDevices {
public:
    void Poll(DeviceFrame *frame) override { *frame = DeviceFrame{}; }
};

}  // namespace

std::unique_ptr<InputDevices> CreateAbsentInputDevices() { return std::make_unique<AbsentDevices>(); }

}  // namespace input
