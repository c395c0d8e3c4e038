// Support for the camera tests: matrix comparisons and a camera on a frame
// under a started engine (fake device).
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "rwcamera.h"
#include "rwframe.h"
#include "stage/camera_math.h"
#include "support/engine/engine_env.h"

namespace cameratest {

inline ::testing::AssertionResult Near(const RwV3d &a, const RwV3d &b, float tolerance = 1e-4f)
{
    if (std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance && std::fabs(a.z - b.z) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x << ", "
                                         << b.y << ", " << b.z << ")";
}

// Same position and orientation.
inline ::testing::AssertionResult SameView(const RwMatrix &a, const RwMatrix &b, float tolerance = 1e-3f)
{
    for (const auto row : {&RwMatrix::right, &RwMatrix::up, &RwMatrix::at, &RwMatrix::pos}) {
        ::testing::AssertionResult result = Near(a.*row, b.*row, tolerance);
        if (!result) {
            return result;
        }
    }
    return ::testing::AssertionSuccess();
}

inline RwMatrix LookingAt(const RwV3d &eye, const RwV3d &target)
{
    RwMatrix m{};
    CameraLookAt(eye, target, &m);
    return m;
}

// A started engine and a camera on its own frame.
class CameraEngineTest : public rwtest::EngineTest {
protected:
    void SetUp() override
    {
        rwtest::EngineTest::SetUp();
        camera_ = RwCameraCreate();
        ASSERT_NE(camera_, nullptr);
        RwFrame *frame = RwFrameCreate();
        ASSERT_NE(frame, nullptr);
        RwCameraSetFrame(camera_, frame);
    }
    void TearDown() override
    {
        if (camera_ != nullptr) {
            RwFrame *frame = RwCameraGetFrame(camera_);
            RwCameraSetFrame(camera_, nullptr);
            RwFrameDestroy(frame);
            RwCameraDestroy(camera_);
        }
        rwtest::EngineTest::TearDown();
    }
    const RwMatrix &View() const { return *RwFrameGetMatrix(RwCameraGetFrame(camera_)); }
    void SetView(const RwMatrix &view) { RwFrameTransform(RwCameraGetFrame(camera_), &view, rwCOMBINEREPLACE); }

    RwCamera *camera_ = nullptr;
};

}  // namespace cameratest
