// The stage map page: the 29 rows of its table (stages 37 and 38 sharing
// their points but not their packs; each stage's own picture, the six
// turned maps turned), the picture names and folders, a hero
// at reference point B drawn at the picture's top-left corner (top-right on
// a turned map) and at A at the opposite corner, the heading turning the
// marker, the last three stages waving without markers (each strip shifted
// by its wave over time), a stage the table does not hold showing the frame
// alone, and back closing it with 6600050.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "rwsdk/driver/d3d8/d3d8raster.h"
#include "tests/ui/pause_support.h"
#include "ui/stage_map_page.h"
#include "ui/ui_quad.h"

namespace stage_map_test {

namespace {

using uitest::Links;

TEST(StageMapTable, RowsNamesAndFolders)
{
    int32_t count = 0;
    const StageMapInfo *rows = StageMapTable(&count);
    ASSERT_EQ(count, 29);
    EXPECT_EQ(rows[0].stageId, 2010000);
    const StageMapInfo *a = FindStageMap(2370000);
    const StageMapInfo *b = FindStageMap(2380000);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->ax, b->ax);
    EXPECT_EQ(a->bz, b->bz);
    EXPECT_STRNE(a->pack, b->pack);
    EXPECT_EQ(FindStageMap(2070000), nullptr);
    EXPECT_EQ(FindStageMap(2410000)->noMap, 1);
    EXPECT_EQ(FindStageMap(2290000)->turned, 1);
    char name[32];
    const char *folder = nullptr;
    StageMapPicture(2010000, name, sizeof name, &folder);
    EXPECT_STREQ(name, "STAGE00.BMP");
    EXPECT_STREQ(folder, "\\RESOURCE\\UITEXT\\STAGEMAP\\");
    StageMapPicture(2220000, name, sizeof name, &folder);
    EXPECT_STREQ(name, "STAGE21.BMP");
    EXPECT_STREQ(folder, "\\RESOURCE\\UITEXT\\STAGEMAP\\");
    StageMapPicture(2380000, name, sizeof name, &folder);
    EXPECT_STREQ(name, "STAGE37.BMP");
    EXPECT_STREQ(folder, "\\RESOURCE\\UITEXT\\STAGMAP2\\");
    StageMapPicture(2400000, name, sizeof name, &folder);
    EXPECT_STREQ(folder, "\\RESOURCE\\UITEXT\\STAGMAP3\\");
}

class StageMapTest : public pausetest::PauseTest {
protected:
    void TearDown() override
    {
        map.Release();
        PauseTest::TearDown();
    }
    // The marker's centre for a hero at (x, z).
    void Centre(float x, float z, float *cx, float *cy)
    {
        RwV2d corners[4];
        map.MarkerCorners(x, z, RwV3d{0.0f, 0.0f, -1.0f}, corners);
        *cx = (corners[0].x + corners[3].x) * 0.5f;
        *cy = (corners[0].y + corners[3].y) * 0.5f;
    }
    CSStageMapPage map;
};

TEST_F(StageMapTest, AHeroAtPointBStandsAtThePicturesTopLeftOrTopRightWhenTurned)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    map.SetActive(1, 2010000);
    ASSERT_NE(map.StagePicture(), nullptr);
    float x = 0;
    float y = 0;
    Centre(-669.461f, -180.311f, &x, &y);
    EXPECT_NEAR(x, 112.0f, 0.01f);
    EXPECT_NEAR(y, 57.0f, 0.01f);
    Centre(743.678f, 879.543f, &x, &y);
    EXPECT_NEAR(x, 541.0f, 0.01f);
    EXPECT_NEAR(y, 378.75f, 0.01f);
    map.SetActive(0, 0);
    map.SetActive(1, 2290000);
    ASSERT_EQ(map.turned, 1);
    Centre(-507.735f, -893.444f, &x, &y);
    EXPECT_NEAR(x, 541.0f, 0.01f);
    EXPECT_NEAR(y, 57.0f, 0.01f);
    Centre(188.308f, 34.613f, &x, &y);
    EXPECT_NEAR(x, 112.0f, 0.01f);
    EXPECT_NEAR(y, 378.75f, 0.01f);
}

// Every stage of the map table opens its own picture, and a hero at its
// point B stands at the picture's top-left corner, top-right on the six
// turned maps; the last three stages wave instead.
TEST_F(StageMapTest, EveryStageOpensItsOwnMapTheTurnedOnesTurned)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    const int32_t turnedStages[] = {2290000, 2300000, 2310000, 2330000, 2370000, 2380000};
    for (int32_t id : {2010000, 2020000, 2030000, 2040000, 2050000, 2060000, 2080000, 2100000, 2150000, 2160000,
                       2170000, 2190000, 2220000, 2230000, 2250000, 2270000, 2280000, 2290000, 2300000, 2310000,
                       2320000, 2330000, 2340000, 2360000, 2370000, 2380000, 2400000, 2410000, 2420000}) {
        SCOPED_TRACE(id);
        const StageMapInfo *row = FindStageMap(id);
        ASSERT_NE(row, nullptr);
        const bool turned = std::find(std::begin(turnedStages), std::end(turnedStages), id) != std::end(turnedStages);
        map.SetActive(1, id);
        EXPECT_NE(map.StagePicture(), nullptr);
        EXPECT_EQ(map.noMap, id >= 2400000 ? 1 : 0);
        EXPECT_EQ(map.turned, turned ? 1 : 0);
        if (id < 2400000) {
            float x = 0;
            float y = 0;
            Centre(row->bx, row->bz, &x, &y);
            EXPECT_NEAR(x, turned ? 541.0f : 112.0f, 0.01f);
            EXPECT_NEAR(y, 57.0f, 0.01f);
        }
        map.SetActive(0, 0);
    }
}

TEST_F(StageMapTest, TheHeadingTurnsTheMarker)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    map.SetActive(1, 2010000);
    RwV2d c[4];
    // Facing -z: the marker upright, its tip (top edge) up.
    map.MarkerCorners(0, 0, RwV3d{0, 0, -1}, c);
    EXPECT_NEAR(c[1].x - c[0].x, 12.0f, 0.01f);
    EXPECT_NEAR(c[2].y - c[0].y, 24.0f, 0.01f);
    // Facing +x: turned a quarter, the tip to the right.
    map.MarkerCorners(0, 0, RwV3d{1, 0, 0}, c);
    EXPECT_NEAR(c[0].x - c[2].x, 24.0f, 0.01f);
    EXPECT_NEAR(c[1].y - c[0].y, 12.0f, 0.01f);
    // Facing -x: the tip to the left.
    map.MarkerCorners(0, 0, RwV3d{-1, 0, 0}, c);
    EXPECT_NEAR(c[2].x - c[0].x, 24.0f, 0.01f);
    // Facing +z: upside down.
    map.MarkerCorners(0, 0, RwV3d{0, 0, 1}, c);
    EXPECT_NEAR(c[2].y - c[0].y, -24.0f, 0.01f);
    // On a turned map a hero facing -z points right.
    map.SetActive(0, 0);
    map.SetActive(1, 2330000);
    map.MarkerCorners(0, 0, RwV3d{0, 0, -1}, c);
    EXPECT_NEAR(c[0].x - c[2].x, 24.0f, 0.01f);
}

TEST_F(StageMapTest, TheLastThreeStagesWaveWithoutMarkers)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    for (int32_t id : {2400000, 2410000, 2420000}) {
        map.SetActive(1, id);
        EXPECT_EQ(map.noMap, 1) << id;
        EXPECT_NE(map.StagePicture(), nullptr) << id;
        DrawFrame([&] { map.Render(); });
        DrawFrame([&] { map.Render(); });
        EXPECT_EQ(map.MarkersDrawn(), 0) << id;
        EXPECT_FLOAT_EQ(map.waveTimeMs, 32.0f) << id;
        map.SetActive(0, 0);
    }
    map.SetActive(1, 2010000);
    DrawFrame([&] { map.Render(); });
    EXPECT_EQ(map.MarkersDrawn(), 1);
}

// The waving picture: each of the 30 strips shows the picture shifted
// sideways by its edges' offsets, 10 sin((500 e + t) / 1000) map units at
// wave time t ms, the time growing 16 ms a frame. A picture black but for
// one white column shows where that column lands in the middle of a strip.
TEST_F(StageMapTest, TheWavesShiftEachStripByItsEdgesOffsetsOverTime)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    map.SetActive(1, 2400000);
    ASSERT_NE(map.StagePicture(), nullptr);
    RwRaster *picture = GetTextureRaster(map.StagePicture());
    ASSERT_EQ(RwRasterGetDepth(picture), 32);
    const int32_t width = RwRasterGetWidth(picture);
    const int32_t column = width / 2;
    RwUInt8 *texels = RwRasterLock(picture, 0, rwRASTERLOCKWRITE);
    ASSERT_NE(texels, nullptr);
    for (int32_t y = 0; y < RwRasterGetHeight(picture); ++y) {
        auto *row = reinterpret_cast<uint32_t *>(texels + static_cast<size_t>(y) * RwRasterGetStride(picture));
        for (int32_t x = 0; x < width; ++x) {
            row[x] = x == column ? 0xFFFFFFFFu : 0xFF000000u;
        }
    }
    RwRasterUnlock(picture);

    const float stripHeight = (321.75f - 2.0f) / 30.0f;
    const float columnU = (static_cast<float>(column) + 0.5f) / static_cast<float>(width);
    for (int frame = 0; frame <= 94; ++frame) {
        const win::Frame shown = DrawFrame([&] { map.Render(); });
        const float t = 16.0f * static_cast<float>(frame);
        if (frame != 0 && frame != 31 && frame != 63 && frame != 94) {
            continue;
        }
        for (int e : {0, 5, 12, 29}) {
            SCOPED_TRACE(testing::Message() << "strip " << e << " at " << t << " ms");
            const auto offset = [&](int edge) {
                return std::sin((500.0f * static_cast<float>(edge) + t) * 0.001f) * 10.0f;
            };
            const float w = (offset(e) + offset(e + 1)) * 0.5f;  // at the strip's middle row
            // Map units 10 + w to 419 + w of the picture span x 114 to 539.
            const float expected = 114.0f + (columnU * 429.0f - 10.0f - w) / 409.0f * 425.0f;
            const auto y = static_cast<int>(58.0f + stripHeight * (static_cast<float>(e) + 0.5f));
            // The white column's middle: the lit pixels' centre (the panel
            // shows faintly through the rest).
            const auto level = [&](int x) { return pausetest::PixelOf(shown, x, y) & 0xFFu; };
            double sum = 0.0;
            double weighted = 0.0;
            for (int x = 114; x < 539; ++x) {
                if (level(x) >= 0x80u) {
                    sum += level(x);
                    weighted += level(x) * (static_cast<double>(x) + 0.5);
                }
            }
            ASSERT_GT(sum, 0.0);
            EXPECT_NEAR(weighted / sum, expected, 1.5);  // a texel is 3.5 pixels wide
        }
    }
}

TEST_F(StageMapTest, AStageTheTableDoesNotHoldShowsTheFrameAlone)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    map.SetActive(1, 2070000);
    EXPECT_EQ(map.StagePicture(), nullptr);
    EXPECT_FLOAT_EQ(map.refA.x, 100.0f);
    EXPECT_FLOAT_EQ(map.refB.z, 0.0f);
    EXPECT_EQ(map.turned, 0);
    EXPECT_EQ(map.noMap, 0);
    const win::Frame frame = DrawFrame([&] { map.Render(); });
    EXPECT_EQ(map.MarkersDrawn(), 0);
    // The panel's middle is drawn; the map's middle shows the panel, not a map.
    EXPECT_NE(pausetest::PixelOf(frame, 320, 200), 0u);
    Sounds();
    Tap(kPadCross);
    map.Update();
    EXPECT_EQ(map.active, 0);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600050}));
    // Closed, it hears and draws nothing.
    Tap(kPadCross);
    map.Update();
    EXPECT_TRUE(Sounds().empty());
    const win::Frame closed = DrawFrame([&] { map.Render(); });
    EXPECT_EQ(pausetest::PixelOf(closed, 320, 200), 0u);
}

}  // namespace

}  // namespace stage_map_test
