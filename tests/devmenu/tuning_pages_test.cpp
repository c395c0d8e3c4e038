// The stage tuning menu and its pages frame by frame from scripted pad
// states: their rows and where they stand, steps and clamps, the cursor
// highlight, the way back, and the direct items "Fog" and "Ambient", which
// put their values on the running game.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fx/weather.h"
#include "tests/devmenu/dev_menu_test_support.h"
#include "tests/stage/stage_test_support.h"

namespace tuning_pages_test {

namespace {

using devmenutest::MenuHarness;

void EnterTuningMenu(MenuHarness *h)
{
    h->menu.Open(1, 0);
    h->menu.inItem = 1;
    h->menu.activeItem = kItemTuningMenu;
    h->menu.pageFlags[kPageTuningMenu] = 1;
}

// The tuning menu, then its row `row` entered.
void EnterPage(MenuHarness *h, int32_t row)
{
    EnterTuningMenu(h);
    h->menu.tuningCursor = row;
    h->Tick({kPadCircle});
    ASSERT_EQ(h->menu.activeItem, kItemTuningPage);
    ASSERT_EQ(h->menu.pageFlags[kPageCamera + row], 1);
}

struct Placed {
    std::string text;
    float x;
    float y;
};

std::vector<Placed> Placement(const std::vector<DevMenuText> &texts)
{
    std::vector<Placed> placed;
    for (const DevMenuText &t : texts) {
        placed.push_back({t.text, t.x, t.y});
    }
    return placed;
}

void ExpectPlaced(const MenuHarness &h, const std::string &text, float x, float y)
{
    const DevMenuText *t = h.Find(text);
    ASSERT_NE(t, nullptr) << text;
    EXPECT_EQ(t->x, x) << text;
    EXPECT_EQ(t->y, y) << text;
}

// The page's rows after its title: each label at x 100, 20 below the one
// before from 120 on, and its value (if any) on the same line at `valueX`.
template <size_t N>
void ExpectRowsDownTheColumn(const MenuHarness &h, const char *const (&labels)[N], float valueX)
{
    const std::vector<DevMenuText> texts = h.Texts();
    size_t at = 1;
    for (size_t row = 0; row < N; ++row) {
        const float y = 120.0f + 20.0f * static_cast<float>(row);
        ASSERT_LT(at, texts.size()) << labels[row];
        EXPECT_EQ(texts[at].text, labels[row]);
        EXPECT_EQ(texts[at].x, 100.0f) << labels[row];
        EXPECT_EQ(texts[at].y, y) << labels[row];
        ++at;
        if (std::string(labels[row]) == "Back") {
            continue;
        }
        ASSERT_LT(at, texts.size()) << labels[row];
        EXPECT_EQ(texts[at].x, valueX) << labels[row];
        EXPECT_EQ(texts[at].y, y) << labels[row];
        ++at;
    }
}

// The texts drawn in the highlight colour.
std::vector<std::string> Highlighted(const MenuHarness &h)
{
    std::vector<std::string> out;
    for (const DevMenuText &t : h.Texts()) {
        if (t.argb == kMenuHighlightColour) {
            out.push_back(t.text);
        } else {
            EXPECT_EQ(t.argb, kMenuTextColour) << t.text;
        }
    }
    return out;
}

TEST(TuningMenu, SevenRowsWithTheCursorClampedAndHighlighted)
{
    MenuHarness h;
    EnterTuningMenu(&h);
    const char *const rows[] = {"Set Camera Info", "Set Ambit Light Info", "Set Character Info", "Set Fog Info",
                                "Set Particle Number", "Done Let's Go!!!!!", "Save File"};
    const std::vector<DevMenuText> texts = h.Texts();
    ASSERT_EQ(texts.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(texts[i].text, rows[i]);
        EXPECT_EQ(texts[i].x, 200.0f);
        EXPECT_EQ(texts[i].y, 120.0f + 20.0f * i);
    }
    EXPECT_EQ(Highlighted(h), std::vector<std::string>{"Set Camera Info"});
    h.Press(kPadUp);
    EXPECT_EQ(h.menu.tuningCursor, 0);
    h.Press(kPadDown, 9);
    EXPECT_EQ(h.menu.tuningCursor, 6);
    EXPECT_EQ(Highlighted(h), std::vector<std::string>{"Save File"});
}

TEST(TuningMenu, CircleOpensTheRowsPageAndCrossGoesBackToTheStageList)
{
    for (int32_t row = 0; row <= kTuneParticle; ++row) {
        MenuHarness h;
        EnterPage(&h, row);
        for (int32_t page = 0; page < kPageCount; ++page) {
            EXPECT_EQ(h.menu.pageFlags[page], page == kPageCamera + row ? 1 : 0) << row;
        }
    }
    MenuHarness h;
    EnterTuningMenu(&h);
    h.Tick({kPadCross});
    EXPECT_EQ(h.menu.activeItem, kItemSelectStage);
    EXPECT_EQ(h.menu.pageFlags[kPageTuningMenu], 0);
    h.Tick();
    EXPECT_EQ(h.Label(), "Change to Stage 0-1(00)");
}

TEST(CameraPage, TwelveRowsInHundredthsWithoutBoundsAndBack)
{
    MenuHarness h;
    EnterPage(&h, kTuneCamera);
    ExpectPlaced(h, "Stage Camera Setting", 50, 100);
    const char *const labels[] = {"Pitch Degree Min",        "Pitch Degree Max",         "Distance Min",
                                  "Distance Max",            "Initial Rotate Degree",    "Initial Pitch Degree",
                                  "2P Pitch Degree Min",     "2P Pitch Degree Max",      "2P Distance Min",
                                  "2P Distance Max",         "2P Initial Rotate Degree", "2P Initial Pitch Degree",
                                  "Back"};
    ExpectRowsDownTheColumn(h, labels, 350);
    h.menu.tuning.camera1.pitchDegreeMin = 0.02f;
    h.Press(kPadLeft, 5);
    EXPECT_NEAR(h.menu.tuning.camera1.pitchDegreeMin, -0.03f, 1e-6f);
    ExpectPlaced(h, "-0.030000", 350, 120);
    h.Press(kPadDown, 11);
    h.Press(kPadRight, 2);
    EXPECT_NEAR(h.menu.tuning.camera2.initialPitchDegree, 0.02f, 1e-6f);
    h.Press(kPadDown, 3);
    EXPECT_EQ(h.menu.pageCursors[kPageCamera], 12);
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.pageFlags[kPageCamera], 0);
    EXPECT_EQ(h.menu.pageFlags[kPageTuningMenu], 1);
    EXPECT_EQ(h.menu.activeItem, kItemTuningMenu);
}

TEST(AmbientPage, BytesStopAt255AndLoweringZeroGives255)
{
    MenuHarness h;
    EnterPage(&h, kTuneAmbient);
    ExpectPlaced(h, "Stage Ambient Setting", 50, 100);
    ExpectPlaced(h, "Ambient Alpha", 100, 120);
    ExpectPlaced(h, "Back", 100, 200);
    h.menu.tuning.ambientAlpha = 254;
    h.Press(kPadRight, 3);
    EXPECT_EQ(h.menu.tuning.ambientAlpha, 255);
    h.Press(kPadDown);
    h.Press(kPadLeft);
    EXPECT_EQ(h.menu.tuning.ambientRed, 255);
    h.Press(kPadLeft);
    EXPECT_EQ(h.menu.tuning.ambientRed, 254);
    // Label and value of the cursor row are both highlighted.
    EXPECT_EQ(Highlighted(h), (std::vector<std::string>{"Ambient Red", "254"}));
    h.Press(kPadDown, 5);
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.activeItem, kItemTuningMenu);
    EXPECT_EQ(h.menu.pageFlags[kPageTuningMenu], 1);
}

TEST(CharacterPage, ValuesAtFourHundredWholeStepsAndBackOneRowLower)
{
    MenuHarness h;
    EnterPage(&h, kTuneCharacter);
    ExpectPlaced(h, "Stage Character Position Setting", 50, 100);
    const char *const labels[] = {"Character Start Position X",    "Character Start Position Y",
                                  "Character Start Position Z",    "Character Start Front X",
                                  "Character Start Front Y",       "Character Start Front Z",
                                  "Character Set Bonus",           "2P Character Start Position X",
                                  "2P Character Start Position Y", "2P Character Start Position Z",
                                  "2P Character Start Front X",    "2P Character Start Front Y",
                                  "2P Character Start Front Z"};
    ExpectRowsDownTheColumn(h, labels, 400);
    ExpectPlaced(h, "Back", 100, 400);
    h.Press(kPadRight, 3);
    EXPECT_EQ(h.menu.tuning.start1.x, 3.0f);
    ExpectPlaced(h, "3.000000", 400, 120);
    h.Press(kPadDown, 6);
    h.Press(kPadLeft, 2);
    EXPECT_EQ(h.menu.tuning.characterBonus, -2);
    ExpectPlaced(h, "-2", 400, 240);
    h.Press(kPadDown);
    h.Press(kPadLeft);
    EXPECT_EQ(h.menu.tuning.start2.x, -1.0f);
    h.Press(kPadDown, 10);
    EXPECT_EQ(h.menu.pageCursors[kPageCharacter], 13);
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.activeItem, kItemTuningMenu);
}

TEST(FogPage, RowsStepsAndClamps)
{
    MenuHarness h;
    h.menu.tuning.fog = 1;
    EnterPage(&h, kTuneFog);
    const std::vector<Placed> placed = Placement(h.Texts());
    const std::vector<std::pair<std::string, std::pair<float, float>>> expected = {
        {"Stage Fog ON or OFF", {50, 100}}, {"Set Fog", {100, 120}},          {"On", {200, 120}},
        {"Set Fog Color Alpha:", {100, 140}}, {"0", {350, 140}},            {"Set Fog Color Red:", {100, 160}},
        {"0", {350, 160}},                  {"Set Fog Color Green:", {100, 180}}, {"0", {350, 180}},
        {"Set Fog Color Blue:", {100, 200}}, {"0", {350, 200}},             {"Set Fog Distance:", {100, 220}},
        {"0.000000", {350, 220}},           {"Set Fog Time", {100, 240}},   {"0.000000", {350, 240}},
        {"Enable VFog", {100, 260}},        {"OFF", {250, 260}},            {"Set VFog High", {300, 260}},
        {"0.000000", {450, 260}},           {"Enable Rain", {100, 280}},    {"RAINSTATE_NORAIN", {350, 280}},
        {"Back", {100, 300}},
    };
    ASSERT_EQ(placed.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(placed[i].text, expected[i].first) << i;
        EXPECT_EQ(placed[i].x, expected[i].second.first) << i;
        EXPECT_EQ(placed[i].y, expected[i].second.second) << i;
    }
    h.Press(kPadRight);
    EXPECT_EQ(h.menu.tuning.fog, 1) << "on raised stays on";
    h.Press(kPadDown, 4);  // blue
    h.Press(kPadLeft);
    EXPECT_EQ(h.menu.tuning.fogBlue, 255);
    h.Press(kPadRight);
    EXPECT_EQ(h.menu.tuning.fogBlue, 255);
    h.Press(kPadDown);  // distance may go below 0
    h.Press(kPadLeft, 2);
    EXPECT_EQ(h.menu.tuning.fogDistance, -2.0f);
    h.Press(kPadDown);  // time stops at 0
    h.menu.tuning.fogTime = 0.5f;
    h.Press(kPadLeft);
    EXPECT_EQ(h.menu.tuning.fogTime, 0.0f);
    h.Press(kPadRight);
    EXPECT_EQ(h.menu.tuning.fogTime, 1.0f);
    h.Press(kPadDown);
    h.Press(kPadRight);
    EXPECT_EQ(h.menu.tuning.vFog, 1);
    ExpectPlaced(h, "ON", 250, 260);
    h.Press(kPadDown);
    h.Press(kPadLeft, 3);
    EXPECT_EQ(h.menu.tuning.vFogHigh, -3.0f);
    h.Press(kPadDown);  // rain 0..3
    h.Press(kPadLeft);
    EXPECT_EQ(h.menu.tuning.rain, 0);
    h.Press(kPadRight, 5);
    EXPECT_EQ(h.menu.tuning.rain, 3);
    ExpectPlaced(h, "RAINSTATE_L_RAIN", 350, 280);
    EXPECT_EQ(Highlighted(h), (std::vector<std::string>{"Enable Rain", "RAINSTATE_L_RAIN"}));
    h.Press(kPadLeft);
    EXPECT_EQ(h.menu.tuning.rain, 2);
    h.Press(kPadDown, 3);
    EXPECT_EQ(h.menu.pageCursors[kPageFog], 10);
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.activeItem, kItemTuningMenu);
    EXPECT_EQ(h.menu.pageFlags[kPageFog], 0);
}

TEST(FogPage, WithTheFogOffTwoRowsShowAndTenDownsReachBack)
{
    MenuHarness h;
    EnterPage(&h, kTuneFog);
    const std::vector<Placed> placed = Placement(h.Texts());
    ASSERT_EQ(placed.size(), 4u);
    EXPECT_EQ(placed[1].text, "Set Fog");
    EXPECT_EQ(placed[2].text, "Off");
    EXPECT_EQ(placed[2].x, 200.0f);
    EXPECT_EQ(placed[3].text, "Back");
    EXPECT_EQ(placed[3].x, 100.0f);
    EXPECT_EQ(placed[3].y, 140.0f);
    EXPECT_EQ(Highlighted(h), (std::vector<std::string>{"Set Fog", "Off"}));
    for (int downs = 1; downs <= 10; ++downs) {
        h.Tick({kPadCircle});
        ASSERT_EQ(h.menu.activeItem, kItemTuningPage) << "circle acts only on Back, after " << downs - 1;
        h.Press(kPadDown);
        EXPECT_EQ(Highlighted(h), std::vector<std::string>{"Back"});
    }
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.activeItem, kItemTuningMenu);
}

TEST(ParticlePage, RowsRunInColumnsOfTwentyFourAndCountsStayWithin0And255)
{
    MenuHarness h;
    for (int i = 0; i < 25; ++i) {
        ParticleKind kind;
        std::snprintf(kind.name, sizeof kind.name, "K%02d.ZUS", i);
        kind.count = i == 0 ? 255 : (i == 1 ? 0 : i);
        h.menu.particleKinds.kinds.push_back(kind);
    }
    EnterPage(&h, kTuneParticle);
    ExpectPlaced(h, "K00.ZUS", 0, 0);
    ExpectPlaced(h, "255", 200, 0);
    ExpectPlaced(h, "K23.ZUS", 0, 460);
    ExpectPlaced(h, "K24.ZUS", 320, 0);
    ExpectPlaced(h, "24", 520, 0);
    EXPECT_EQ(h.Texts().size(), 50u) << "no title";
    h.Press(kPadRight);
    EXPECT_EQ(h.menu.particleKinds.kinds[0].count, 255);
    h.Press(kPadLeft);
    EXPECT_EQ(h.menu.particleKinds.kinds[0].count, 254);
    h.Press(kPadDown);
    h.Press(kPadLeft);
    EXPECT_EQ(h.menu.particleKinds.kinds[1].count, 0);
    EXPECT_EQ(Highlighted(h), (std::vector<std::string>{"K01.ZUS", "0"}));
    h.Press(kPadDown, 30);
    EXPECT_EQ(h.menu.pageCursors[kPageParticle], 24);
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.activeItem, kItemTuningMenu);
    EXPECT_EQ(h.menu.pageFlags[kPageTuningMenu], 1);
}

TEST(ParticlePage, WithoutKindsNothingIsDrawnAndLeftAndRightDoNothing)
{
    MenuHarness h;
    EnterPage(&h, kTuneParticle);
    EXPECT_TRUE(h.Texts().empty());
    h.Press(kPadDown);
    h.Press(kPadRight);
    h.Press(kPadLeft);
    EXPECT_EQ(h.menu.pageCursors[kPageParticle], 0);
    // A cursor left beyond a shorter table read later is held inside it.
    h.menu.pageCursors[kPageParticle] = 7;
    h.menu.particleKinds.kinds.resize(2);
    h.Press(kPadRight);
    EXPECT_EQ(h.menu.pageCursors[kPageParticle], 1);
    EXPECT_EQ(h.menu.particleKinds.kinds[1].count, 1);
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.activeItem, kItemTuningMenu);
}

// The cursor of a page climbs back up one row a press and stops at the
// first row, on the pages of rows and on the particle counts alike.
TEST(TuningPages, UpClimbsOneRowAPressAndStopsAtTheFirst)
{
    for (int32_t row = 0; row <= kTuneParticle; ++row) {
        MenuHarness h;
        for (int i = 0; i < 5; ++i) {
            h.menu.particleKinds.kinds.push_back(ParticleKind{});
        }
        EnterPage(&h, row);
        const DevMenuPage page = static_cast<DevMenuPage>(kPageCamera + row);
        h.Press(kPadDown, 3);
        ASSERT_EQ(h.menu.pageCursors[page], 3) << row;
        h.Press(kPadUp);
        EXPECT_EQ(h.menu.pageCursors[page], 2) << row;
        h.Press(kPadUp, 4);
        EXPECT_EQ(h.menu.pageCursors[page], 0) << row;
    }
}

// A pad that is not connected moves nothing: not the tuning menu's cursor,
// not a page's cursor or values, and no page is left.
TEST(TuningPages, APadThatIsNotConnectedMovesNothing)
{
    MenuHarness h;
    EnterTuningMenu(&h);
    h.Pad().connected = 0;
    h.Tick({kPadDown});
    EXPECT_EQ(h.menu.tuningCursor, 0);
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.activeItem, kItemTuningMenu);
    for (int32_t row = 0; row <= kTuneParticle; ++row) {
        MenuHarness p;
        p.menu.particleKinds.kinds.resize(3);
        p.menu.tuning.fog = 1;
        EnterPage(&p, row);
        const DevMenuPage page = static_cast<DevMenuPage>(kPageCamera + row);
        p.Press(kPadDown);
        p.Pad().connected = 0;
        for (PadButton button : {kPadDown, kPadUp, kPadRight, kPadLeft, kPadRight, kPadCircle}) {
            p.Tick({button});
        }
        EXPECT_EQ(p.menu.pageCursors[page], 1) << row;
        // The second row's value of each page is as it was.
        EXPECT_EQ(p.menu.tuning.camera1.pitchDegreeMax, StageInfo{}.camera1.pitchDegreeMax) << row;
        EXPECT_EQ(p.menu.tuning.ambientRed, 0) << row;
        EXPECT_EQ(p.menu.tuning.start1.y, 0.0f) << row;
        EXPECT_EQ(p.menu.tuning.fogAlpha, 0) << row;
        EXPECT_EQ(p.menu.particleKinds.kinds[1].count, 0) << row;
        EXPECT_EQ(p.menu.activeItem, kItemTuningPage) << row;
    }
}

// The direct items read the stage's file, and "Back" puts the values on
// the running game; through the tuning menu the same pages change nothing.
class DirectItems : public stagetest::StageEngineTest {};

TEST_F(DirectItems, AmbientSetsTheAmbientLightOnlyWhenOpenedFromTheMainList)
{
    devmenutest::ScratchRoot root("direct_ambient");
    root.Write(devmenutest::InfoFile(2010000), "AmbientAplpha: 255\nAmbientRed: 10\nAmbientGreen: 20\nAmbientBlue: 30\n");
    MenuHarness h;
    h.gs.ambientLight = RpLightCreate(rpLIGHTAMBIENT);
    ASSERT_NE(h.gs.ambientLight, nullptr);
    const uint8_t start[4] = {1, 2, 3, 4};
    h.gs.SetAmbientColor(start);

    // Through the tuning menu: nothing applied.
    EnterPage(&h, kTuneAmbient);
    h.Press(kPadDown, 4);
    h.Tick({kPadCircle});
    uint8_t now[4];
    h.gs.GetAmbientColor(now);
    EXPECT_EQ(now[0], 1);

    // From the main list, before any stage was listed: the running stage's file.
    h.stage.stageId = 2010000;
    h.menu.Open(1, 0);
    h.menu.activeItem = kItemAmbient;
    h.menu.pageCursors[kPageAmbient] = 0;
    h.Tick({kPadCircle});
    h.Tick();
    EXPECT_EQ(h.menu.directItem, 1);
    EXPECT_EQ(h.menu.tuningCursor, kTuneAmbient);
    EXPECT_EQ(h.menu.pageFlags[kPageAmbient], 1);
    // The page is drawn alone, over whatever page the tuning menu left open.
    ASSERT_FALSE(h.Texts().empty());
    EXPECT_EQ(h.Texts()[0].text, "Stage Ambient Setting");
    EXPECT_EQ(h.Find("Set Camera Info"), nullptr);
    EXPECT_EQ(h.menu.tuning.ambientRed, 10);
    EXPECT_TRUE(h.menu.particleKinds.kinds.empty()) << "the direct items do not read the particle set";
    h.Press(kPadDown);
    h.Press(kPadRight, 5);
    h.Press(kPadDown, 3);
    h.Tick({kPadCircle});
    h.gs.GetAmbientColor(now);
    EXPECT_EQ(now[0], 15);
    EXPECT_EQ(now[1], 20);
    EXPECT_EQ(now[2], 30);
    EXPECT_EQ(now[3], 255);
    // The stage list takes over, and its entry clears the direct flag.
    EXPECT_EQ(h.menu.activeItem, kItemSelectStage);
    EXPECT_EQ(h.menu.pageFlags[kPageAmbient], 0);
    h.Tick();
    EXPECT_EQ(h.menu.directItem, 0);
    EXPECT_EQ(h.Label(), "Change to Stage 0-1(00)");
    // What shows is the stage list's line, no page.
    ASSERT_EQ(h.Texts().size(), 1u);
    EXPECT_EQ(h.Texts()[0].text, "Change to Stage 0-1(00)");
    RpLightDestroy(h.gs.ambientLight);
    h.gs.ambientLight = nullptr;
}

TEST_F(DirectItems, FogAppliesFogAndRainToTheRunningStageAndLoadsTheRainAssetsOnce)
{
    devmenutest::ScratchRoot root("direct_fog");
    root.Write(devmenutest::InfoFile(2020000),
               "Fog: ON\nFogAlpha: 255\nFogRed: 200\nFogGreen: 10\nFogBlue: 20\nFogDistance: 50\nFogTime: 0\n"
               "VFog: ON\nVFogHigh: 80\nRain: RAINSTATE_M_RAIN\n");
    MenuHarness h;
    CSWeatherEffect weather;
    h.stage.weather = &weather;
    h.menu.lastListedStageId = 2020000;  // listed last: read instead of the running stage

    // Through the tuning menu: the stage keeps its fog.
    h.menu.tuning.fog = 1;
    EnterPage(&h, kTuneFog);
    h.Press(kPadDown, 10);
    h.Tick({kPadCircle});
    EXPECT_FALSE(weather.IsFogOn());
    EXPECT_EQ(h.menu.rainAssetsPending, 1);

    h.menu.Open(1, 0);
    h.menu.activeItem = kItemFog;
    h.menu.pageCursors[kPageFog] = 0;
    h.Tick({kPadCircle});
    h.Tick();
    EXPECT_EQ(h.menu.tuning.fogRed, 200);
    EXPECT_EQ(h.menu.tuningCursor, kTuneFog);
    h.Press(kPadDown, 10);
    h.Tick({kPadCircle});
    EXPECT_TRUE(weather.IsFogOn());
    EXPECT_EQ(weather.FogDistance(), 50.0f);
    EXPECT_EQ(weather.FogColour().red, 200);
    EXPECT_EQ(weather.FogColour().green, 10);
    EXPECT_EQ(weather.FogAmount(), 1.0f) << "a fog time of 0 puts it on at once";
    EXPECT_EQ(h.menu.rainAssetsPending, 0);
    EXPECT_EQ(h.menu.activeItem, kItemSelectStage);
    EXPECT_EQ(h.menu.pageFlags[kPageFog], 0);

    // Again with the rain off: the rain fades out, the assets are not loaded again.
    h.menu.Open(1, 0);
    h.menu.activeItem = kItemFog;
    h.Tick({kPadCircle});
    h.Tick();
    h.menu.tuning.rain = 0;
    h.menu.tuning.fog = 0;
    h.Tick({kPadCircle});
    EXPECT_FALSE(weather.IsFogOn());
    EXPECT_EQ(h.menu.rainAssetsPending, 0);
    h.stage.weather = nullptr;
}

// On a stage that has no weather the fog item still opens, edits and goes
// back to the stage list: only the rain has nowhere to go.
TEST_F(DirectItems, FogOnAStageWithoutWeatherStillGoesBack)
{
    devmenutest::ScratchRoot root("direct_fog_no_weather");
    root.Write(devmenutest::InfoFile(2020000), "Fog: ON\nFogRed: 200\nRain: RAINSTATE_M_RAIN\n");
    MenuHarness h;
    ASSERT_EQ(h.stage.weather, nullptr);
    h.menu.lastListedStageId = 2020000;
    h.menu.rainAssetsPending = 1;
    h.menu.Open(1, 0);
    h.menu.activeItem = kItemFog;
    h.Tick({kPadCircle});
    h.Tick();
    EXPECT_EQ(h.menu.tuning.fogRed, 200);
    h.Press(kPadDown, 10);
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.activeItem, kItemSelectStage);
    EXPECT_EQ(h.menu.pageFlags[kPageFog], 0);
    EXPECT_EQ(h.menu.rainAssetsPending, 1) << "the rain's assets wait for a stage with weather";
}

}  // namespace

}  // namespace tuning_pages_test
