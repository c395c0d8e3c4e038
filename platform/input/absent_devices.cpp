// What every device source shares, and the source of runs that have no devices: every
// poll shows nothing present.
#include "input/devices.h"

namespace input {

void ClearSincePoll(DeviceFrame *frame) {
    for (DigitalInput &key : frame->keyboard.keys) key.presses = 0;
    for (DigitalInput &button : frame->mouse.buttons) button.presses = 0;
    frame->mouse.dx = frame->mouse.dy = 0;
    frame->mouse.wheelUp = frame->mouse.wheelDown = 0;
    for (PadFrame &pad : frame->pads) {
        for (DigitalInput &button : pad.buttons) button.presses = 0;
    }
}

namespace {

class AbsentDevices final : public InputDevices {
public:
    void Poll(DeviceFrame *frame) override { *frame = DeviceFrame{}; }
};

}  // namespace

std::unique_ptr<InputDevices> CreateAbsentInputDevices() { return std::make_unique<AbsentDevices>(); }

}  // namespace input
