// The movie frame on our device: a decoded picture uploaded into its raster and drawn
// scaled to fit the screen with black bars, in both window sizes.
#include <gtest/gtest.h>

#include "app/movie_frame.h"
#include "movie/movie.h"
#include "platform/movie/movie_test_support.h"
#include "rwsdk/driver/d3d8/d3d8raster.h"
#include "support/engine/headless_screen.h"

namespace movie_frame_test {

namespace {

using movietest::Near;

class MovieFrame : public ::testing::Test {
protected:
    void Open(RwUInt32 width, RwUInt32 height)
    {
        ASSERT_TRUE(screen.Start(d3d8::DefaultProfile(), width, height, nullptr));
    }
    void TearDown() override
    {
        if (raster != nullptr) {
            RwRasterDestroy(raster);
        }
        player.Stop();
        EXPECT_TRUE(screen.Stop());
    }
    // Plays `clip` to `ms` and uploads that frame.
    void Upload(const std::string &name, const media::ClipDesc &clip, int64_t ms)
    {
        mov::PlayOptions options;
        options.externalClock = true;
        std::string error;
        ASSERT_TRUE(player.Play(movietest::Clip(name, clip), options, &error)) << error;
        raster = game::CreateMovieRaster(player.Width(), player.Height());
        ASSERT_NE(raster, nullptr);
        player.SetClock(ms);
        player.Advance();
        ASSERT_TRUE(game::UploadMovieFrame(&player, raster));
        EXPECT_FALSE(game::UploadMovieFrame(&player, raster));  // nothing new
    }
    win::Frame Draw()
    {
        return screen.Capture({90, 20, 20, 255}, [&] { game::DrawMovieFrame(screen.camera, raster); });
    }
    headlessscreen::Screen screen;
    mov::Player player;
    RwRaster *raster = nullptr;
};

TEST(MovieFit, PicturesKeepTheirShapeCentredWithBars)
{
    const game::MovieRect full = game::FitMovie(320, 240);
    EXPECT_EQ(full.x0, 0.0f);
    EXPECT_EQ(full.y0, 0.0f);
    EXPECT_EQ(full.x1, 640.0f);
    EXPECT_EQ(full.y1, 480.0f);
    const game::MovieRect wide = game::FitMovie(640, 360);  // bars above and below
    EXPECT_EQ(wide.y0, 60.0f);
    EXPECT_EQ(wide.y1, 420.0f);
    const game::MovieRect tall = game::FitMovie(240, 240);  // bars left and right
    EXPECT_EQ(tall.x0, 80.0f);
    EXPECT_EQ(tall.x1, 560.0f);
    // A movie that gives no size takes the whole screen.
    for (const game::MovieRect none : {game::FitMovie(0, 240), game::FitMovie(320, 0)}) {
        EXPECT_EQ(none.x0, 0.0f);
        EXPECT_EQ(none.y0, 0.0f);
        EXPECT_EQ(none.x1, 640.0f);
        EXPECT_EQ(none.y1, 480.0f);
    }
}

// A frame goes only into a raster of the movie's own size that it can
// lock: none, one of another size or one locked already takes nothing and
// leaves the frame for the right one.
TEST_F(MovieFrame, AFrameGoesOnlyIntoARasterOfTheMoviesSize)
{
    Open(640, 480);
    Upload("TEST.BIK", movietest::TestClip(), 100);
    player.SetClock(400);
    player.Advance();
    EXPECT_FALSE(game::UploadMovieFrame(&player, nullptr));
    for (const auto &[width, height] : {std::pair<uint32_t, uint32_t>{player.Width() + 2, player.Height()},
                                        std::pair<uint32_t, uint32_t>{player.Width(), player.Height() + 2}}) {
        RwRaster *other = game::CreateMovieRaster(width, height);
        ASSERT_NE(other, nullptr);
        EXPECT_FALSE(game::UploadMovieFrame(&player, other)) << width << " x " << height;
        RwRasterDestroy(other);
    }
    // The right one while another holds it locked takes nothing either.
    ASSERT_NE(RwRasterLock(raster, 0, rwRASTERLOCKREAD), nullptr);
    EXPECT_FALSE(game::UploadMovieFrame(&player, raster));
    RwRasterUnlock(raster);
    EXPECT_TRUE(game::UploadMovieFrame(&player, raster));
}

TEST_F(MovieFrame, AFourByThreeClipFillsTheScreen)
{
    Open(640, 480);
    Upload("TEST.BIK", movietest::TestClip(), 250);
    const win::Frame shown = Draw();
    ASSERT_EQ(shown.width, 640u);
    EXPECT_TRUE(Near(shown.At(320, 240), media::ClipColour(0)));
    EXPECT_TRUE(Near(shown.At(1, 1), media::ClipColour(0)));
    EXPECT_TRUE(Near(shown.At(638, 478), media::ClipColour(0)));
    // To the last pixel of every edge.
    EXPECT_TRUE(Near(shown.At(0, 0), media::ClipColour(0)));
    EXPECT_TRUE(Near(shown.At(639, 0), media::ClipColour(0)));
    EXPECT_TRUE(Near(shown.At(0, 479), media::ClipColour(0)));
    EXPECT_TRUE(Near(shown.At(639, 479), media::ClipColour(0)));
    // The counter at twice the size: frame 6 lights bits 1 and 2.
    const media::BlockRect bit1 = media::ClipCounterBlock(movietest::TestClip(), 1);
    const media::BlockRect bit0 = media::ClipCounterBlock(movietest::TestClip(), 0);
    EXPECT_TRUE(Near(shown.At(static_cast<uint32_t>(2 * bit1.x + bit1.width), static_cast<uint32_t>(2 * bit1.y + bit1.height)), 0xFFFFFFu));
    EXPECT_TRUE(Near(shown.At(static_cast<uint32_t>(2 * bit0.x + bit0.width), static_cast<uint32_t>(2 * bit0.y + bit0.height)), 0x000000u));
}

// The movie turns the depth test off for its flat picture and on again for
// the 3D scene drawn after it in the same frame.
TEST_F(MovieFrame, TheDepthTestIsOnAgainAfterThePicture)
{
    Open(640, 480);
    Upload("TEST.BIK", movietest::TestClip(), 250);
    RwInt32 test = -1;
    RwInt32 write = -1;
    screen.Capture({0, 0, 0, 255}, [&] {
        game::DrawMovieFrame(screen.camera, raster);
        RwGetRenderState(rwRENDERSTATEZTESTENABLE, &test);
        RwGetRenderState(rwRENDERSTATEZWRITEENABLE, &write);
    });
    EXPECT_EQ(test, 1);
    EXPECT_EQ(write, 1);
}

TEST_F(MovieFrame, AWideClipGetsBlackBarsInTheLargerWindow)
{
    Open(800, 600);
    media::ClipDesc wide = movietest::TestClip();
    wide.width = 320;
    wide.height = 180;
    wide.durationMs = 800;
    Upload("WIDE.BIK", wide, 600);
    const win::Frame shown = Draw();
    ASSERT_EQ(shown.width, 800u);
    // 640 x 360 of the interface screen, 800 x 450 here, 75 pixels of bar above and below.
    EXPECT_EQ(shown.At(400, 10) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shown.At(400, 72) & 0xFFFFFFu, 0u);
    EXPECT_TRUE(Near(shown.At(400, 78), media::ClipColour(1)));
    EXPECT_TRUE(Near(shown.At(400, 300), media::ClipColour(1)));
    EXPECT_TRUE(Near(shown.At(400, 521), media::ClipColour(1)));
    // Rows 75 to 524 exactly.
    EXPECT_EQ(shown.At(400, 74) & 0xFFFFFFu, 0u);
    EXPECT_TRUE(Near(shown.At(400, 75), media::ClipColour(1)));
    EXPECT_TRUE(Near(shown.At(400, 524), media::ClipColour(1)));
    EXPECT_EQ(shown.At(400, 525) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shown.At(400, 528) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shown.At(799, 599) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shown.At(0, 0) & 0xFFFFFFu, 0u);  // the bars reach every edge
    EXPECT_EQ(shown.At(799, 0) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shown.At(0, 599) & 0xFFFFFFu, 0u);
    // The picture spans the width to its last pixels.
    EXPECT_TRUE(Near(shown.At(0, 300), media::ClipColour(1)));
    EXPECT_TRUE(Near(shown.At(799, 300), media::ClipColour(1)));
}

// A square clip stands between bars at the sides: columns 80 to 559.
TEST_F(MovieFrame, ASquareClipGetsBarsAtTheSides)
{
    Open(640, 480);
    media::ClipDesc square = movietest::TestClip();
    square.width = 240;
    square.height = 240;
    square.durationMs = 800;
    Upload("SQUARE.BIK", square, 600);
    const win::Frame shown = Draw();
    ASSERT_EQ(shown.width, 640u);
    EXPECT_EQ(shown.At(0, 240) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shown.At(79, 240) & 0xFFFFFFu, 0u);
    EXPECT_TRUE(Near(shown.At(80, 240), media::ClipColour(1)));
    EXPECT_TRUE(Near(shown.At(559, 240), media::ClipColour(1)));
    EXPECT_EQ(shown.At(560, 240) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shown.At(639, 240) & 0xFFFFFFu, 0u);
    EXPECT_TRUE(Near(shown.At(320, 0), media::ClipColour(1)));
    EXPECT_TRUE(Near(shown.At(320, 479), media::ClipColour(1)));
}

}  // namespace

}  // namespace movie_frame_test
