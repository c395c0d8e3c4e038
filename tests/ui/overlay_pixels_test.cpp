// The overlay drawn over a plain scene, against reviewed references at 640 x
// 480 and at 800 x 600: one hero's panel (life lost with its trail, power
// full, a quick item, the hit and money counters), two heroes' panels (the
// second at low life, in red, mirrored into the top right below the hit
// counter), the boss gauge over a bound boss, and the
// item popup half-way down its slide with its box over the hero's head.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "app/reference_image.h"
#include "stage/model_template.h"
#include "tests/ui/overlay_support.h"

namespace overlay_pixels_test {

namespace {

using uitest::Links;

struct Size {
    uint32_t width;
    uint32_t height;
    const char *suffix;
};

void PrintTo(const Size &size, std::ostream *out) { *out << size.width << "x" << size.height; }

class OverlayPixels : public uitest::OverlayTest, public ::testing::WithParamInterface<Size> {
protected:
    void SetUp() override
    {
        StartOverlay(GetParam().width, GetParam().height);
        if (IsSkipped()) {
            return;
        }
        hero = AddHero();
        RwMatrixSetIdentity(&gs.cameraMatrix);
        hero->position = {4.0f, -19.0f, 10.0f};  // the head at (4, 3, 10): (256, 144) on the screen
        Links().stageId = 2010000;
    }
    // The first hero as the pictures show it: 1500 of 2000 life lost a
    // moment ago, full power, three herbs, a run of 12 hits and 150 gained.
    void SetTheScene()
    {
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(items.AddItem(1, 5300000));
        }
        hero->power = hero->GetMaxPower();
        EnterOverlay();
        hero->hp = 1500;
        Updates(10);
        hero->hitCounter = 12;
        ui->UpdateHitCounter();
        ui->ShowMoneyGain(100);
        ui->ShowMoneyGain(50);
        Updates(20);
    }
    // The frame over a plain blue-grey ground, against the reference `name`.
    void ExpectFrame(const std::string &name)
    {
        const win::Frame frame = DrawFrame([&] { ui->Render(); }, RwRGBA{60, 90, 120, 255});
        const std::string file = name + GetParam().suffix;
        const std::string dir = apptest::ScratchFolder(file);
        ASSERT_TRUE(apptest::WriteBmp(dir + "/" + file + ".bmp", static_cast<int32_t>(frame.width),
                                      static_cast<int32_t>(frame.height), frame.pixels));
        apptest::ExpectLikeReference(dir + "/" + file + ".bmp",
                                     std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + file + ".bmp",
                                     dir + "/" + file + "_difference.bmp",
                                     {.varying = {},
                                      .strays = {frame.width == 800 ? apptest::kHitLabelCornerStray800
                                                                    : apptest::kHitLabelCornerStray}});
        if (!HasFailure()) {
            std::filesystem::remove_all(dir);
        }
    }

    CSHero *hero = nullptr;
};

TEST_P(OverlayPixels, OneHero)
{
    SetTheScene();
    ExpectFrame("overlay_one_hero");
}

TEST_P(OverlayPixels, TwoHeroes)
{
    CSHero *second = AddHero();
    second->hp = 150;
    SetTheScene();
    ExpectFrame("overlay_two_heroes");
}

TEST_P(OverlayPixels, BossGauge)
{
    CSModelInstance model;
    CSModelTemplate bossTemplate;
    bossTemplate.params.maxHP = 3000;
    AiObject boss;
    boss.aiType = 1106;
    boss.hp = 3000;
    boss.model = &model;
    boss.modelTemplate = &bossTemplate;
    Links().actors = &boss;
    SetTheScene();
    Links().stageId = 2080000;
    ui->ResetStageHUD();
    ui->RequestBossGauge();
    Updates(40);
    boss.hp = 2250;  // a bar and a quarter lost: the trail runs from 3000
    Updates(12);
    ExpectFrame("overlay_boss_gauge");
}

TEST_P(OverlayPixels, PopupMidSlide)
{
    Links().itemSheet = nullptr;
    SetTheScene();
    // The stage's sheet of the herb's icon: the overlay's own first sheet.
    Links().itemSheet = Overlay()->IconSheet(0);
    ui->ShowItemPopup(1, 5300000);
    Updates(47);  // 0.752 s: half-way down
    ASSERT_TRUE(Overlay()->ItemPopup()->ItemShown());
    ExpectFrame("overlay_popup");
}

INSTANTIATE_TEST_SUITE_P(Sizes, OverlayPixels,
                         ::testing::Values(Size{640, 480, ""}, Size{800, 600, "_800"}),
                         [](const ::testing::TestParamInfo<Size> &info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

}  // namespace

}  // namespace overlay_pixels_test
