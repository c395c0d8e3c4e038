// The driver fixture with the world library attached: the engine on our
// device in a headless window, so the world pipelines instance into real
// buffers and draw real pixels.
#pragma once

#include "rpworld.h"
#include "rwsdk/driver/d3d8/d3d8_driver_test_support.h"

namespace worldpipetest {

class WorldPipeTest : public d3d8test::DriverTest {
protected:
    bool StartWorldEngine() { return StartEngine(AttachWorld); }

private:
    static bool AttachWorld() { return RpWorldPluginAttach() != FALSE; }
};

}  // namespace worldpipetest
