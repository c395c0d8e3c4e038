// The stage-select panel in the lobby, played by script on the sample's
// pictures and name files: which stages are open, the direction search,
// one step per 300 ms against a clock the test moves, the banner's 100 ms
// before a confirm counts, the first stage that only returns to the map,
// the start of a stage (the switch to 13, then the stage change), the info
// pages (also with one text block left in the pool, or none), the fallback
// names of a pack without name files, a stage with no name at all (no
// banner, no page), the banner's sound once per fold, and a back that
// closes the panel only under the risen base map, deaf meanwhile.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/bmp_file.h"
#include "app/text_block.h"
#include "tests/app/reference_image.h"
#include "tests/ui/lobby_test_support.h"
#include "ui/ui_text_blocks.h"

namespace stage_select_test {

namespace {

using lobbytest::OpenStages;

namespace fs = std::filesystem;

constexpr int64_t kConfirm = 6600060;
constexpr int64_t kCancel = 6600000;
constexpr int64_t kMove = 6600010;
constexpr int64_t kBanner = 6600140;

std::u16string Rows(const CSTextBlock *block)
{
    std::u16string text;
    for (const CSTextBlock::Row &row : block->Rows()) {
        text += row.text + u"|";
    }
    return text;
}

class StageSelect : public lobbytest::ClockedLobbyTest {
protected:
    // Frames that move the test's clock with them.
    void Step(int count)
    {
        for (int i = 0; i < count; ++i) {
            clock.now += 16;
            Frames(1);
        }
    }
    // Marks the stages of these progress slots cleared.
    void Clear(std::initializer_list<int> slots)
    {
        for (int slot : slots) {
            ui->progress.cleared[slot] = 1;
        }
    }
    // Holds the direction for one frame at the clock's time.
    void Push(PadButton direction)
    {
        Hold(direction);
        Frames(1);
    }
    // Pushes once, lets go and waits until the marker has stood still ten frames.
    void PushAndLetTheMarkerSettle(PadButton direction)
    {
        Push(direction);
        ReleasePads();
        ASSERT_TRUE(FramesUntil([&] { return panel_->cursor.AtTarget(); }));
        Frames(10);
    }
    // Takes the game's pooled text blocks until `left` remain; they go back when the test ends.
    void TakeTextBlocksLeaving(int left)
    {
        while (uitest::TextBlocksInUse(gs) < static_cast<int>(CSTextBlockPool::kBlocks) - left) {
            taken_.push_back(gs.textBlocks.Acquire());
        }
    }
    void TearDown() override
    {
        for (CSTextBlock *block : taken_) {
            GiveBackTextBlock(block);
        }
        lobbytest::ClockedLobbyTest::TearDown();
    }
    CSStageSelect *panel_ = nullptr;

private:
    std::vector<CSTextBlock *> taken_;

};

TEST_F(StageSelect, AfterTheFirstStageOnlyItAndTheTwoAfterItAreOpen)
{
    StartLobby("select_first");
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    EXPECT_EQ(OpenStages(*panel), (std::vector<int32_t>{2010000, 2020000, 2030000}));
    EXPECT_EQ(panel->Chosen()->stageId, 2010000);
}

TEST_F(StageSelect, RightFromTheFirstStagePicksTheNearerOfTwoOpenStages)
{
    StartLobby("select_right");
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    // 2020000 lies 27 degrees below the right, 2030000 37 degrees above it, further.
    Push(kPadRight);
    EXPECT_EQ(panel->Chosen()->stageId, 2020000);
    EXPECT_FLOAT_EQ(panel->cursor.targetX, 101.0f);
    EXPECT_FLOAT_EQ(panel->cursor.targetY, 242.0f);
}

// The angle to a node comes from the game's arc-cosine table, a cosine step
// of 0.001 truncated: a node 44.97 degrees off the push (cosine 0.70746,
// entry 0.707, 45.008 degrees) is not found, one 44.71 degrees off (cosine
// 0.71063, entry 0.710, 44.77 degrees) is.
TEST_F(StageSelect, TheAngleToANodeIsTheArcCosineTablesEntry)
{
    StartLobby("select_angle");
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    const MapNode *first = panel->Chosen();
    ASSERT_EQ(first->stageId, 2010000);
    panel->FindNode(2030000)->open = 0;
    MapNode *second = panel->FindNode(2020000);
    second->x = first->x + 1000;
    second->y = first->y + 999;
    Push(kPadRight);
    EXPECT_EQ(panel->Chosen()->stageId, 2010000);
    second->y = first->y + 990;
    clock.now += 300;
    Push(kPadRight);
    EXPECT_EQ(panel->Chosen()->stageId, 2020000);
}

TEST_F(StageSelect, HoldingADirectionStepsOncePerThreeHundredMilliseconds)
{
    StartLobby("select_clock");
    Clear({1, 3});  // 2020000 and 2040000: 2040000, 2050000 and 2080000 open as well
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    Sounds();
    clock.now = 5000;
    Push(kPadRight);
    EXPECT_EQ(panel->Chosen()->stageId, 2020000);
    for (uint32_t t : {5100u, 5299u}) {
        clock.now = t;
        Push(kPadRight);
        EXPECT_EQ(panel->Chosen()->stageId, 2020000) << t;
    }
    clock.now = 5300;
    Push(kPadRight);
    EXPECT_EQ(panel->Chosen()->stageId, 2040000);
    clock.now = 5600;
    Push(kPadRight);
    EXPECT_EQ(panel->Chosen()->stageId, 2080000);
    // Up from 2080000 finds no open stage, and still restarts the wait.
    clock.now = 5900;
    Push(kPadUp);
    EXPECT_EQ(panel->Chosen()->stageId, 2080000);
    clock.now = 6150;
    Push(kPadLeft);
    EXPECT_EQ(panel->Chosen()->stageId, 2080000);
    clock.now = 6200;
    Push(kPadLeft);
    EXPECT_EQ(panel->Chosen()->stageId, 2040000);
    // The banner folded at the first step and, the marker never arriving,
    // stayed folded through the later ones: one sound.
    EXPECT_FALSE(panel->BannerUnfolded());
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kBanner}));
}

TEST_F(StageSelect, TheExtraStagesOpenAfterTheirStages)
{
    StartLobby("select_extra");
    WaitForMenu();
    const struct {
        int slot;
        int32_t extra;
    } cases[3] = {{8, 2400000}, {27, 2410000}, {28, 2420000}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.extra);
        ui->progress.cleared[c.slot] = 1;
        CSStageSelect panel;
        panel.SetActive(1);
        for (const auto &other : cases) {
            EXPECT_EQ(panel.FindNode(other.extra)->open, other.slot <= c.slot ? 1 : 0) << other.extra;
        }
    }
}

TEST_F(StageSelect, AConfirmWhileTheBannerUnfoldsDoesNothing)
{
    StartLobby("select_banner");
    WaitForMenu();
    OpenPage(0);
    CSStageSelect *panel = lobby->StageSelect();
    ASSERT_TRUE(FramesUntil([&] { return panel->PicturesRead(); }));
    ASSERT_TRUE(panel->BannerUnfolded());
    Sounds();
    while (panel->bannerMs + 16 < 100) {
        Frames(1);
    }
    // At 84 ms or more but below 100: nothing.
    ASSERT_LT(panel->bannerMs, 100u);
    Tap(kPadCircle);
    EXPECT_EQ(panel->mode, CSStageSelect::kMap);
    EXPECT_TRUE(Sounds().empty());
    ASSERT_GE(panel->bannerMs, 100u);
    // With the pad gone a click is not heard.
    gs.padStates[kPadStateBlock][0].connected = 0;
    MouseButtonState = 1;
    Frames(1);
    gs.padStates[kPadStateBlock][0].connected = 1;
    EXPECT_EQ(panel->mode, CSStageSelect::kMap);
    EXPECT_TRUE(Sounds().empty());
    Tap(kPadCircle);
    EXPECT_EQ(panel->mode, CSStageSelect::kInfo);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kConfirm}));
}

TEST_F(StageSelect, ConfirmingTheFirstStageOnlyReturnsToTheMap)
{
    StartLobby("select_first_stage");
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    Sounds();
    Tap(kPadCircle);
    ASSERT_EQ(panel->mode, CSStageSelect::kInfo);
    Frames(20);
    Tap(kPadCircle);
    EXPECT_EQ(panel->mode, CSStageSelect::kMap);
    EXPECT_FALSE(ui->IsBaseMapCovering());
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kConfirm, kConfirm}));
    Frames(60);
    EXPECT_EQ(ui->CurrentScreen(), kUILobby);
    for (const std::string &line : uitest::Links().log) {
        EXPECT_EQ(line.find("stage change"), std::string::npos) << line;
    }
}

TEST_F(StageSelect, StartingAStageSwitchesToThePlayScreenThenAsksForTheStage)
{
    StartLobby("select_start");
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    Push(kPadRight);
    ReleasePads();
    ASSERT_EQ(panel->Chosen()->stageId, 2020000);
    // The banner folds, the marker glides over, the banner unfolds again.
    EXPECT_FALSE(panel->BannerUnfolded());
    ASSERT_TRUE(FramesUntil([&] { return panel->BannerUnfolded() && panel->bannerMs >= 100; }));
    EXPECT_TRUE(panel->cursor.AtTarget());
    Tap(kPadCircle);
    ASSERT_EQ(panel->mode, CSStageSelect::kInfo);
    Tap(kPadCircle);
    ASSERT_EQ(panel->mode, CSStageSelect::kStarting);
    ASSERT_TRUE(ui->IsBaseMapCovering());
    uitest::Links().log.clear();
    ASSERT_TRUE(FramesUntil([&] { return ui->CurrentScreen() == kUIGamePlay; }, 80));
    EXPECT_FALSE(lobby->Active());
    EXPECT_FALSE(panel->Active());
    EXPECT_EQ(ui->LobbyArt(), nullptr);
    const std::vector<std::string> &log = uitest::Links().log;
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "stage change 2020000 0 2000");
    int changes = 0;
    for (const std::string &line : log) {
        changes += line.rfind("stage change", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(changes, 1);
    // The trace: the switch to 13 came in the same update as the request.
    game::TraceClose();
    int switches = 0;
    for (const gametest::TraceRecord &r : gametest::ReadTrace(tracePath)) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "switch" && r.fields[1] == "13") {
            ++switches;
        }
    }
    EXPECT_EQ(switches, 1);
    std::string error;
    tracePath += ".more";
    ASSERT_TRUE(game::TraceOpen(tracePath, &error)) << error;
}

TEST_F(StageSelect, TheInfoPagesTurnThroughTheMonsterListsAndBackToTheStage)
{
    StartLobby("select_pages");
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    Push(kPadRight);
    ReleasePads();
    ASSERT_TRUE(FramesUntil([&] { return panel->BannerUnfolded() && panel->bannerMs >= 100; }));
    EXPECT_EQ(Rows(panel->BannerText()), u"2 Arena|");
    Tap(kPadCircle);
    ASSERT_EQ(panel->mode, CSStageSelect::kInfo);
    EXPECT_EQ(Rows(panel->PageText()), u"2 Arena||Hero 1 goes to the Arena.|");
    Sounds();
    Tap(kPadRight);
    EXPECT_EQ(panel->page, 1u);
    EXPECT_EQ(Rows(panel->PageText()), u"Monsters 0||Who lives here, list 0.|");
    Tap(kPadRight);
    EXPECT_EQ(Rows(panel->PageText()), u"Monsters 1||Who lives here, list 1.|");
    Tap(kPadRight);
    EXPECT_EQ(panel->page, 0u);
    Tap(kPadLeft);
    EXPECT_EQ(panel->page, 2u);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kMove, kMove, kMove, kMove}));
    // The lobby turning the panel on again while it shows changes nothing.
    panel->SetActive(1);
    Frames(1);
    EXPECT_EQ(panel->mode, CSStageSelect::kInfo);
    EXPECT_EQ(panel->page, 2u);
    EXPECT_EQ(panel->Chosen()->stageId, 2020000);
    Tap(kPadCross);
    EXPECT_EQ(panel->mode, CSStageSelect::kMap);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kCancel}));
}

// The stage's page tells the story of the hero who plays: the second hero
// reads his own line.
TEST_F(StageSelect, TheSecondHeroReadsHisOwnLineOnTheStagesPage)
{
    StartLobby("select_second");
    hero.aiType = 1;
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    Push(kPadRight);
    ReleasePads();
    ASSERT_TRUE(FramesUntil([&] { return panel->BannerUnfolded() && panel->bannerMs >= 100; }));
    Tap(kPadCircle);
    ASSERT_EQ(panel->mode, CSStageSelect::kInfo);
    EXPECT_EQ(Rows(panel->PageText()), u"2 Arena||Hero 2 goes to the Arena.|");
}

// With no text block left in the game's pool the panel has neither banner
// nor page text: the map still opens and the marker moves, silently.
TEST_F(StageSelect, WithNoTextBlockLeftTheMapStillMovesWithoutABanner)
{
    StartLobby("select_no_blocks");
    WaitForMenu();
    TakeTextBlocksLeaving(0);
    OpenPage(0);
    CSStageSelect *panel = panel_ = lobby->StageSelect();
    ASSERT_TRUE(FramesUntil([&] { return panel->PicturesRead(); }));
    EXPECT_EQ(panel->BannerText(), nullptr);
    EXPECT_EQ(panel->PageText(), nullptr);
    EXPECT_FALSE(panel->BannerUnfolded());
    Sounds();
    PushAndLetTheMarkerSettle(kPadRight);
    EXPECT_EQ(panel->Chosen()->stageId, 2020000);
    EXPECT_FALSE(panel->BannerUnfolded());
    EXPECT_TRUE(Sounds().empty());
    DrawFrame([&] { ui->Render(); });
}

// With one text block left in the game's pool the banner takes it: the info
// pages open and turn with their sounds but without their text.
TEST_F(StageSelect, WithOneTextBlockLeftTheInfoPagesTurnWithoutTheirText)
{
    StartLobby("select_one_block");
    WaitForMenu();
    TakeTextBlocksLeaving(1);
    CSStageSelect *panel = OpenStageSelect();
    EXPECT_EQ(panel->PageText(), nullptr);
    Push(kPadRight);
    ReleasePads();
    ASSERT_TRUE(FramesUntil([&] { return panel->BannerUnfolded() && panel->bannerMs >= 100; }));
    Tap(kPadCircle);
    ASSERT_EQ(panel->mode, CSStageSelect::kInfo);
    Sounds();
    Tap(kPadRight);
    Tap(kPadLeft);
    Tap(kPadLeft);
    EXPECT_EQ(panel->page, 2u);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kMove, kMove, kMove}));
    DrawFrame([&] { ui->Render(); });
}

// Back on the map closes the panel only once the base map has risen over
// it: until then it stays on screen where it stood, a direction held with
// the back does not move it, and further presses are not heard.
TEST_F(StageSelect, BackClosesThePanelUnderTheRisenBaseMapAndIgnoresPressesMeanwhile)
{
    StartLobby("select_back");
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    Sounds();
    Hold(kPadRight);
    Tap(kPadCross);
    ASSERT_TRUE(ui->IsBaseMapCovering());
    EXPECT_EQ(panel->Chosen()->stageId, 2010000);
    EXPECT_TRUE(panel->BannerUnfolded());
    for (PadButton button : {kPadCross, kPadCircle, kPadSelect, kPadStart}) {
        Tap(button);
        EXPECT_TRUE(panel->Active()) << button;
        EXPECT_EQ(panel->mode, CSStageSelect::kMap) << button;
    }
    int frames = 5;  // the back's and the four presses'
    while (ui->IsBaseMapCovering() && frames < 100) {
        EXPECT_TRUE(panel->Active()) << frames;
        Frames(1);
        ++frames;
    }
    // The base map's 500 ms at 16 ms frames; the panel goes in the update after.
    EXPECT_EQ(frames, 500 / 16 + 1);
    EXPECT_TRUE(panel->Active());
    Frames(1);
    EXPECT_FALSE(panel->Active());
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600050}));
    // Closed, it draws nothing.
    const win::Frame closed = DrawFrame([&] { panel->Render(); });
    EXPECT_EQ(closed.At(320, 240) & 0xFFFFFFu, 0u);
    EXPECT_EQ(closed.At(101, 242) & 0xFFFFFFu, 0u);
}

// A stage with no name anywhere (neither its name record nor the message
// table's) has no banner to unfold: the marker reaches it silently and a
// confirm there opens no page.
TEST_F(StageSelect, AStageWithoutAnyNameKeepsItsBannerFoldedAndOpensNoPage)
{
    StartLobby("select_nameless");
    WaitForMenu();
    CSStageSelect *panel = panel_ = OpenStageSelect();
    panel->FindNode(2020000)->stageId = 2990000;
    Sounds();
    PushAndLetTheMarkerSettle(kPadRight);
    ASSERT_EQ(panel->Chosen()->stageId, 2990000);
    EXPECT_FALSE(panel->BannerUnfolded());
    Tap(kPadCircle);
    EXPECT_EQ(panel->mode, CSStageSelect::kMap);
    // The fold of the first stage's banner only.
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kBanner}));
}

TEST_F(StageSelect, AStageWithoutMonsterListsIgnoresLeftAndRightSilently)
{
    StartLobby("select_no_lists");
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    Tap(kPadCircle);
    ASSERT_EQ(panel->mode, CSStageSelect::kInfo);
    Sounds();
    Tap(kPadRight);
    Tap(kPadLeft);
    EXPECT_EQ(panel->page, 0u);
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(StageSelect, ALastStageThatIsNotOpenStartsOnTheFirstStage)
{
    // (The manager keeps only last stage ids of its table, and every one of
    // them has a node.)
    StartLobby("select_old_save");
    WaitForMenu();
    ui->SetLastStageId(2380000);
    CSStageSelect panel;
    panel.SetActive(1);
    ASSERT_NE(panel.Chosen(), nullptr);
    EXPECT_EQ(panel.Chosen()->stageId, 2010000);
    EXPECT_FLOAT_EQ(panel.cursor.x, 56.0f);
    EXPECT_FLOAT_EQ(panel.cursor.y, 219.0f);
}

TEST_F(StageSelect, WithoutNameFilesTheBannerTakesTheMessageTablesNames)
{
    StartLobby("select_no_names", [](const std::string &root) {
        // SELSTAGE with its picture alone.
        lobbytest::RewriteOwnPack(root, "SELSTAGE",
                                  [](const std::string &file) { return file.find(".NAM") == std::string::npos; });
    });
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    EXPECT_TRUE(panel->BannerUnfolded());
    EXPECT_EQ(Rows(panel->BannerText()), u"Stage 1|");
    Push(kPadRight);
    ReleasePads();
    ASSERT_TRUE(FramesUntil([&] { return panel->BannerUnfolded() && panel->bannerMs >= 100; }));
    EXPECT_EQ(Rows(panel->BannerText()), u"Stage 2|");
    Tap(kPadCircle);
    ASSERT_EQ(panel->mode, CSStageSelect::kInfo);
    EXPECT_EQ(Rows(panel->PageText()), u"Stage 2|");
    Tap(kPadRight);
    for (const CSTextBlock::Row &row : panel->PageText()->Rows()) {
        EXPECT_TRUE(row.text.empty());
    }
}

TEST_F(StageSelect, AMissingPackRaisesTheFatalMessage)
{
    StartLobby("select_no_pack", [](const std::string &root) {
        lobbytest::OwnInterfacePacks(root);
        fs::remove(root + "/PACK/UI0/SELSTAGE.STR");
    });
    WaitForMenu();
    OpenPage(0);
    Frames(30);
    ASSERT_EQ(apptest::FatalRecorder::Names().size(), 1u);
    EXPECT_NE(apptest::FatalRecorder::Names()[0].find("SELSTAGE.STR"), std::string::npos);
    CSStageSelect *panel = lobby->StageSelect();
    EXPECT_FALSE(panel->PicturesRead());
    Tap(kPadRight);
    Tap(kPadCircle);
    EXPECT_EQ(panel->mode, CSStageSelect::kMap);
}

TEST_F(StageSelect, TheMapWithTheBannerAndAnInfoPageAsTheyAreSeen)
{
    StartLobby("select_shots");
    Clear({1, 2, 3, 5, 6, 8});
    ui->SetLastStageId(2150000);
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    // From 2150000 (the last stage) right to 2400000.
    Push(kPadRight);
    ReleasePads();
    ASSERT_TRUE(FramesUntil([&] { return panel->BannerUnfolded() && panel->bannerMs >= 100; }));
    Frames(30);
    ExpectShot("select_map");
    // Back to 2150000 and its monster page.
    clock.now += 1000;
    Push(kPadLeft);
    ReleasePads();
    ASSERT_TRUE(FramesUntil([&] { return panel->BannerUnfolded() && panel->bannerMs >= 100; }));
    ASSERT_EQ(panel->Chosen()->stageId, 2150000);
    Tap(kPadCircle);
    Tap(kPadRight);
    Frames(20);
    ExpectShot("select_monster_page");
}

}  // namespace

}  // namespace stage_select_test
