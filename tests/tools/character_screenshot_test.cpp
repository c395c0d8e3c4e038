// Screenshots of the maker's character posed at two times of its
// animation (mid-stride in the walk, arm up in the wave), drawn headless
// through the skin pipeline on our device and compared with reviewed
// reference images. Set RW_WRITE_SKIN_REFERENCES=1 to rewrite the
// references from the current drawing (then look at them before checking
// them in); a failing comparison leaves its difference image in the build
// tree.
#include <cstdlib>
#include <string>

#include "rwsdk/plugin/skin2/skin_screen.h"
#include "tests/tools/character_files.h"

namespace character_screenshot_test {

namespace {

using namespace charactertest;

// Rounding in the rasteriser may move an edge pixel; a colour may drift by
// a step of the prelit interpolation.
constexpr int kChannelTolerance = 2;
constexpr size_t kMaxDifferentPixels = 8;

class CharacterScreenshotTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.Start(d3d8::DefaultProfile(), 160, 120, mkdata::AttachCharacterPlugins));
        // Three-quarter view from the front-left, a little above the waist.
        screen.Place({0.0f, 1.1f, -4.5f}, 0.5f);
        RwFrame *frame = RwCameraGetFrame(screen.camera);
        const RwV3d yAxis = {0, 1, 0};
        const RwV3d centre = {0, 1.1f, 0};
        RwV3d back = {-centre.x, -centre.y, -centre.z};
        RwFrameTranslate(frame, &back, rwCOMBINEPOSTCONCAT);
        RwFrameRotate(frame, &yAxis, 35.0f, rwCOMBINEPOSTCONCAT);
        RwFrameTranslate(frame, &centre, rwCOMBINEPOSTCONCAT);
    }
    void TearDown() override
    {
        if (clump != nullptr) {
            RpClumpDestroy(clump);
        }
        if (animation != nullptr) {
            RtAnimAnimationDestroy(animation);
        }
        EXPECT_TRUE(screen.Stop());
    }
    void Check(RwReal time, const std::string &name)
    {
        PoseAt(hierarchy, time);
        const RwRGBA sky = {40, 48, 64, 255};
        const win::Frame shot = screen.Capture(sky, [&] { EXPECT_NE(RpClumpRender(clump), nullptr); });
        const std::string reference = std::string(RW_TEST_SOURCE_DIR) + "/tests/rwsdk/plugin/skin2/reference/" + name;
        if (std::getenv("RW_WRITE_SKIN_REFERENCES") != nullptr) {
            ASSERT_TRUE(skinscreen::WritePng(shot, reference));
            return;
        }
        win::Frame expected;
        ASSERT_TRUE(skinscreen::ReadPng(reference, &expected)) << "missing reference " << reference;
        const std::string diff = std::string(RW_TEST_BINARY_DIR) + "/test-output/skin2/" + name + ".diff.png";
        const std::string actual = std::string(RW_TEST_BINARY_DIR) + "/test-output/skin2/" + name;
        const size_t differing = skinscreen::CountDifferences(shot, expected, kChannelTolerance, diff);
        if (differing > kMaxDifferentPixels) {
            skinscreen::WritePng(shot, actual);
        }
        EXPECT_LE(differing, kMaxDifferentPixels) << "drawn: " << actual << ", difference: " << diff;
    }

    skinscreen::Screen screen;
    RpClump *clump = nullptr;
    RtAnimAnimation *animation = nullptr;
    RpHAnimHierarchy *hierarchy = nullptr;
};

TEST_F(CharacterScreenshotTest, WalkAndWaveMatchTheReviewedImages)
{
    clump = ReadModel(ModelBytes());
    ASSERT_NE(clump, nullptr);
    animation = ReadAnimation(AnimationBytes(mkdata::BuildCharacterAnimation));
    ASSERT_NE(animation, nullptr);
    hierarchy = Bind(clump, animation);
    ASSERT_NE(hierarchy, nullptr);
    Check(0.25f, "character_walk.png");
    Check(1.5f, "character_wave.png");
}

}  // namespace

}  // namespace character_screenshot_test
