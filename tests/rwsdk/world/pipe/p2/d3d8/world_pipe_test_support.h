// The driver fixture with the world library attached: the engine on our
// device in a headless window, so the world pipelines instance into real
// buffers and draw real pixels.
#pragma once

#include "rpworld.h"
#include "rwsdk/driver/d3d8/d3d8_driver_test_support.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"

namespace worldpipetest {

class WorldPipeTest : public d3d8test::DriverTest {
protected:
    bool StartWorldEngine()
    {
        d3d8::SetNextProfile(profile);
        RwD3D8DriverInstall();
        if (!RwEngineInit(rwtest::CountingMemory::Table(), rwtest::EngineInitFlags(), 1 << 20)) {
            return false;
        }
        RwEngineOpenParams params{window};
        if (!RpWorldPluginAttach() || !RwEngineOpen(&params)) {
            RwEngineTerm();
            return false;
        }
        if (!RwEngineStart()) {
            RwEngineClose();
            RwEngineTerm();
            return false;
        }
        started = true;
        real = rwD3D8Device.device;
        return true;
    }
};

}  // namespace worldpipetest
