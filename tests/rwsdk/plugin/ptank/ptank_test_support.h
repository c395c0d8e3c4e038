// Support for the particle tests: the driver fixture (the engine on the real
// Direct3D 8 driver over a headless window) with the world library, the tank
// and the standard particles attached; a camera looking down -z; frame
// capture; and reviewed reference images kept as 24-bit BMP files beside the
// tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "d3d8/d3d8_platform.h"
#include "rpprtstd.h"
#include "rpptank.h"
#include "rpworld.h"
#include "rwsdk/driver/d3d8/d3d8_driver_test_support.h"
#include "win/window.h"

namespace ptanktest {

class ParticleEngineTest : public d3d8test::DriverTest {
protected:
    ParticleEngineTest()
    {
        title = "particle test";
        width = 48;
        height = 32;
    }
    // Init, attach (world, tank, standard particles), open and start.
    bool StartEngine();
    // A camera of the window's size at (0, 0, 10) looking down -z.
    RwCamera *MakeCamera();
    // Clears to `background`, runs `draw` between begin and end update,
    // shows the raster and returns the presented frame.
    template <typename F>
    win::Frame Render(RwCamera *camera, RwRGBA background, F &&draw)
    {
        RwCameraClear(camera, &background, 3);
        if (RwCameraBeginUpdate(camera) != nullptr) {
            draw();
            RwCameraEndUpdate(camera);
        }
        return Present(camera);
    }
    win::Frame Present(RwCamera *camera);
};

// Compares a frame with the reference image `name` (tests/rwsdk/plugin/ptank/
// reference/<name>.bmp), colour channels within `tolerance`. With
// RW_UPDATE_REFERENCES=1 in the environment the reference is written instead.
::testing::AssertionResult MatchesReference(const win::Frame &frame, const std::string &name, int tolerance = 0);

}  // namespace ptanktest
