// Every screen of the developer menu in the sample data's font at 640 x 480
// over black, against reviewed reference images (RW_WRITE_DEVMENU_REFERENCES=1
// writes them again): the main list, the stage list, the tuning menu and
// its five pages, with the first stage's own tuning values, and the fog page
// with the fog off.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/bitmap_font.h"
#include "app/screen_coords.h"
#include "tests/app/app_test_support.h"
#include "tests/devmenu/dev_menu_test_support.h"
#include "support/engine/headless_screen.h"

namespace page_reference_test {

namespace {

using devmenutest::MenuHarness;

class MenuPages : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<uint8_t> bytes = apptest::ReadBytes(apptest::SampleData() + "/RESOURCE/FONT/ENGFONT.XBF");
        ASSERT_FALSE(bytes.empty()) << "no sample data: build the sample-data target";
        ASSERT_TRUE(screen.Start(d3d8::DefaultProfile(), 640, 480, nullptr));
        SetScreenClientSize(640, 480);
        std::string error;
        ASSERT_TRUE(font.Create(bytes.data(), bytes.size(), &error)) << error;
        SetGlobalFont(&font);
        StageInfo sample;
        ASSERT_TRUE(ReadStageInfoFile((apptest::SampleData() + "/RESOURCE/STAGEINF/STAGE00.BSF").c_str(), &sample,
                                      false));
        h.menu.tuning = sample;
        h.menu.Open(1, 0);
    }
    void TearDown() override
    {
        SetGlobalFont(nullptr);
        font.Destroy();
        EXPECT_TRUE(screen.Stop());
    }

    void ExpectLikeReference(const std::string &name)
    {
        const win::Frame shot = screen.Capture({0, 0, 0, 255}, [&] { h.menu.Render(); });
        const std::string reference = std::string(RW_TEST_SOURCE_DIR) + "/tests/devmenu/reference/" + name + ".png";
        if (std::getenv("RW_WRITE_DEVMENU_REFERENCES") != nullptr) {
            ASSERT_TRUE(headlessscreen::WritePng(shot, reference));
            return;
        }
        win::Frame expected;
        ASSERT_TRUE(headlessscreen::ReadPng(reference, &expected)) << "missing reference " << reference;
        const std::string out = std::string(RW_TEST_BINARY_DIR) + "/test-output/devmenu/" + name;
        const size_t differing = headlessscreen::CountDifferences(shot, expected, 2, out + ".diff.png");
        if (differing != 0) {
            headlessscreen::WritePng(shot, out + ".png");
        }
        EXPECT_EQ(differing, 0u) << "drawn: " << out << ".png, difference: " << out << ".diff.png";
    }

    void ShowPage(DevMenuPage page, int32_t cursor)
    {
        h.menu.inItem = 1;
        h.menu.activeItem = page == kPageTuningMenu ? kItemTuningMenu : kItemTuningPage;
        h.menu.pageFlags[page] = 1;
        if (page == kPageTuningMenu) {
            h.menu.tuningCursor = cursor;
        } else {
            h.menu.pageCursors[page] = cursor;
        }
    }

    headlessscreen::Screen screen;
    CSBitmapFont font;
    MenuHarness h;
};

TEST_F(MenuPages, MainList)
{
    h.Press(kPadDown, 3);
    ExpectLikeReference("main_list");
}

TEST_F(MenuPages, StageList)
{
    h.Tick({kPadCircle});
    h.Press(kPadRight, 26);
    ExpectLikeReference("stage_list");
}

TEST_F(MenuPages, TuningMenu)
{
    ShowPage(kPageTuningMenu, kTuneFog);
    ExpectLikeReference("tuning_menu");
}

TEST_F(MenuPages, CameraPage)
{
    ShowPage(kPageCamera, 4);
    ExpectLikeReference("camera_page");
}

TEST_F(MenuPages, AmbientPage)
{
    ShowPage(kPageAmbient, 1);
    ExpectLikeReference("ambient_page");
}

TEST_F(MenuPages, CharacterPage)
{
    ShowPage(kPageCharacter, 13);
    ExpectLikeReference("character_page");
}

TEST_F(MenuPages, FogPage)
{
    h.menu.tuning.vFog = 1;
    h.menu.tuning.vFogHigh = 12.5f;
    ShowPage(kPageFog, 9);
    ExpectLikeReference("fog_page");
}

TEST_F(MenuPages, FogPageWithTheFogOff)
{
    h.menu.tuning.fog = 0;
    ShowPage(kPageFog, 4);
    ExpectLikeReference("fog_page_off");
}

TEST_F(MenuPages, ParticlePage)
{
    for (int i = 0; i < 30; ++i) {
        ParticleKind kind;
        std::snprintf(kind.name, sizeof kind.name, "%d.ZUS", 3010600 + 100 * i);
        kind.count = (i * 37) % 256;
        h.menu.particleKinds.kinds.push_back(kind);
    }
    ShowPage(kPageParticle, 25);
    ExpectLikeReference("particle_page");
}

// Closed by its chord on a page, the menu leaves the screen to the game: the
// page is not drawn over it.
TEST_F(MenuPages, ClosedOnAPageNothingIsDrawn)
{
    ShowPage(kPageFog, 4);
    h.menu.Open(0, 0);
    const win::Frame shot = screen.Capture({0, 0, 0, 255}, [&] { h.menu.Render(); });
    size_t lit = 0;
    for (uint32_t y = 0; y < shot.height; ++y) {
        for (uint32_t x = 0; x < shot.width; ++x) {
            lit += (shot.At(x, y) & 0xFFFFFFu) != 0 ? 1 : 0;
        }
    }
    EXPECT_EQ(lit, 0u);
}

}  // namespace

}  // namespace page_reference_test
