// The load screen and the save panel played by script on a tree of their
// own (the sample's pictures, its saves copied): the cursor's ends and
// scrolling, refusals, the leaving fade that reads nothing, the load that
// fills the carried blocks; the panel's overwrite question, a write on the
// same cursor, the way back after the final stage, a failed write's
// message (and the panel at work with no text block free),
// borrowed and owned pictures; and reviewed references of both.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/bmp_file.h"
#include "app/pack.h"
#include "app/text_block.h"
#include "tests/app/reference_image.h"
#include "tests/ui/save_test_support.h"
#include "tools/mkdata/sample_saves.h"
#include "ui/save_game_panel.h"
#include "ui/save_load_screen.h"
#include "ui/ui_text_blocks.h"

namespace save_screens_test {

namespace {

namespace fs = std::filesystem;
using savetest::SlotPath;

constexpr int64_t kMove = 6600010;
constexpr int64_t kConfirm = 6600060;
constexpr int64_t kRefused = 6600090;
constexpr int64_t kBack = 6600050;

// The slots of the screenshots: 1 a game at 0:00:00, 2 a completed game of
// 1000 hours, 3 empty, 4 damaged (hero type 2), 5 hero 1 at 1:02:03 after
// stage 15.
void WriteShotSlots(const std::string &root)
{
    SaveRecord first = mkdata::SampleSaveRecord();
    first.playTimeMs = 0;
    apptest::WriteBytes(SlotPath(root, 1), mkdata::SaveBytes(first));
    apptest::WriteBytes(SlotPath(root, 2), mkdata::SaveBytes(mkdata::CompletedSaveRecord()));
    fs::remove(SlotPath(root, 3));
    apptest::WriteBytes(SlotPath(root, 4), mkdata::DamagedSaves()[2].bytes);
    SaveRecord fifth = mkdata::SampleSaveRecord();
    fifth.heroType = 1;
    fifth.playTimeMs = 3723000;
    fifth.lastStageId = 2150000;
    fifth.cleared[1] = fifth.cleared[8] = 1;
    fifth.clearedList[0] = 1;
    fifth.clearedList[1] = 8;
    fifth.maxHP = 3100;
    fifth.money = 4321;
    apptest::WriteBytes(SlotPath(root, 5), mkdata::SaveBytes(fifth));
}

class SaveScreens : public savetest::SaveScreensTest {
protected:
    void TearDown() override
    {
        g_saveReturnToTitle = 0;
        savetest::SaveScreensTest::TearDown();
    }
    CSSaveLoad &Load() { return *ui->SaveLoad(); }
    // Updates until the manager asks for another screen than 9 (at most 200).
    int UpdatesUntilRequest()
    {
        int updates = 0;
        while (ui->RequestedScreen() == kUISaveLoad && updates < 200) {
            Updates(1);
            ui->DrawFade();
            ++updates;
        }
        return updates;
    }
};

// ---- The load screen

TEST_F(SaveScreens, TheCursorStopsSilentlyAtBothEndsAndScrollsOneRowAtATime)
{
    StartOn("load_cursor");
    ui->heroBlock.money = 5;
    Goto(kUISaveLoad);
    // Activation: a new game's hero on the interface pad until a load.
    EXPECT_EQ(ui->heroBlock.money, 0);
    EXPECT_EQ(ui->heroBlock.inUse, 1);
    EXPECT_EQ(ui->heroBlock.padIndex, 0);
    SaveSlotView &view = Load().view;
    Tap(kPadUp);
    EXPECT_EQ(view.cursor, 0);
    for (int i = 0; i < 4; ++i) {
        Tap(kPadDown);
    }
    EXPECT_EQ(view.cursor, 4);
    EXPECT_EQ(view.firstRow, 0);
    Tap(kPadDown);  // slot 5 to 6: one row
    EXPECT_EQ(view.cursor, 5);
    EXPECT_EQ(view.firstRow, 1);
    EXPECT_FLOAT_EQ(view.cursorQuad->v[0].y, 88.0f + 58.0f * 4);
    for (int i = 0; i < 20; ++i) {
        Tap(kPadDown);
    }
    EXPECT_EQ(view.cursor, 19);
    EXPECT_EQ(view.firstRow, 15);
    Tap(kPadUp);
    EXPECT_EQ(view.firstRow, 15);
    // Up past the first row shown scrolls one row at a time too.
    for (int i = 0; i < 4; ++i) {
        Tap(kPadUp);
    }
    EXPECT_EQ(view.cursor, 14);
    EXPECT_EQ(view.firstRow, 14);
    EXPECT_FLOAT_EQ(view.cursorQuad->v[0].y, 88.0f);
    Tap(kPadUp);
    EXPECT_EQ(view.firstRow, 13);
    EXPECT_EQ(Sounds(), std::vector<int64_t>(25, kMove));
    // Activated again while it shows: nothing starts over.
    Load().SetActive(1);
    EXPECT_EQ(view.cursor, 13);
    EXPECT_EQ(view.firstRow, 13);
    // Its music stops at once, without a fade, when it goes.
    EXPECT_NE(ui->MusicHandle(), kUINoMusic);
    Load().SetActive(0);
    EXPECT_EQ(ui->MusicHandle(), kUINoMusic);
}

TEST_F(SaveScreens, EmptyDamagedAndVanishedSlotsAreRefusedAndTheScreenStays)
{
    StartOn("load_refused");
    WriteShotSlots(root);
    Goto(kUISaveLoad);
    SaveSlotView &view = Load().view;
    EXPECT_EQ(view.slots->Slot(2).state, kSlotEmpty);
    EXPECT_EQ(view.slots->Slot(3).state, kSlotEmpty);  // damaged
    view.SetCursor(2);
    Tap(kPadCircle);
    view.SetCursor(3);
    Tap(kPadStart);
    // Gone since the scan: refused, and the list scanned again.
    fs::remove(SlotPath(root, 1));
    view.SetCursor(0);
    ASSERT_EQ(view.slots->Slot(0).state, kSlotSaved);
    MouseButtonState = 1;
    Updates(1);
    EXPECT_EQ(view.slots->Slot(0).state, kSlotEmpty);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kRefused, kRefused, kRefused}));
    EXPECT_EQ(Load().leaving, 0);
    EXPECT_EQ(Load().loaded, 0u);
    EXPECT_EQ(ui->IsFading(), 0);
    EXPECT_EQ(ui->RequestedScreen(), static_cast<uint32_t>(kUISaveLoad));
}

TEST_F(SaveScreens, ALoadFillsTheBlocksAndGoesToTheStageEntryIgnoringInputDuringTheFade)
{
    StartOn("load_taken");
    WriteShotSlots(root);
    Goto(kUISaveLoad);
    SaveSlotView &view = Load().view;
    view.SetCursor(4);
    // A click beside no pad is not heard.
    gs.padStates[kPadStateBlock][0].connected = 0;
    MouseButtonState = 1;
    Updates(1);
    gs.padStates[kPadStateBlock][0].connected = 1;
    EXPECT_EQ(Load().loaded, 0u);
    Tap(kPadCircle);
    EXPECT_EQ(Load().loaded, 1u);
    EXPECT_EQ(Load().leaving, 1);
    EXPECT_EQ(ui->heroBlock.heroType, 1);
    EXPECT_EQ(ui->heroBlock.money, 4321);
    EXPECT_EQ(ui->progress.playTimeMs, 3723000u);
    EXPECT_EQ(ui->GetStageId(), 2150000u);
    // The fade reads nothing.
    Tap(kPadUp);
    Tap(kPadCross);
    Tap(kPadCircle);
    EXPECT_EQ(view.cursor, 4);
    const int updates = UpdatesUntilRequest();
    EXPECT_EQ(ui->RequestedScreen(), static_cast<uint32_t>(kUIEnterStage));
    EXPECT_EQ(updates, 1104 / 16 + 1 - 3);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kConfirm}));
}

TEST_F(SaveScreens, BackFadesToTheTitleAndNothingIsLoadedMeanwhile)
{
    StartOn("load_back");
    Goto(kUISaveLoad);
    Tap(kPadCross);
    EXPECT_EQ(Load().leaving, 1);
    Tap(kPadCircle);  // slot 1 holds the sample's game: not loaded now
    EXPECT_EQ(Load().loaded, 0u);
    UpdatesUntilRequest();
    EXPECT_EQ(ui->RequestedScreen(), static_cast<uint32_t>(kUITitle));
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kBack}));
    Updates(1);
    EXPECT_EQ(ui->CurrentScreen(), static_cast<uint32_t>(kUITitle));
    EXPECT_EQ(Load().view.slots, nullptr);
}

TEST_F(SaveScreens, TheLoadScreenAsItIsSeen)
{
    StartOn("load_shots");
    WriteShotSlots(root);
    Goto(kUISaveLoad);
    SaveSlotView &view = Load().view;
    // Slot 1 (0:00:00), 2 (completed, 999 hours), 4 (damaged: empty), 5 (1:02:03).
    const std::pair<int, const char *> shots[] = {
        {0, "load_slot_new"}, {1, "load_slot_completed"}, {3, "load_slot_damaged"}, {4, "load_slot_hero2"}};
    for (const auto &[cursor, name] : shots) {
        view.SetCursor(cursor);
        ExpectShot(name, [&] { ui->Render(); });
    }
}

TEST_F(SaveScreens, LanguageZeroTakesItsOwnWordsAndPlacesThem)
{
    StartOn("load_language0", false, 0);
    Goto(kUISaveLoad);
    const SaveSlotView &view = Load().view;
    ASSERT_NE(view.words, nullptr);
    // The HP label's place for language 0, then the others'.
    const RwIm2DVertex *hp = view.labels[SaveSlotView::kLabelHP].v;
    EXPECT_FLOAT_EQ(hp[0].x, 337.0f);
    EXPECT_FLOAT_EQ(hp[0].y, 208.0f);
    EXPECT_FLOAT_EQ(hp[3].x, 401.0f);
    EXPECT_FLOAT_EQ(hp[3].y, 228.0f);
    EXPECT_FLOAT_EQ(hp[0].u, 296.0f / 512.0f);
    // Every label's place and source: language 0, then the others.
    struct LabelPlace {
        float x0, y0, x1, y1, s0, t0, s1, t1;
    };
    const LabelPlace places[6][2] = {
        {{337, 208, 401, 228, 296, 8, 424, 88}, {337, 210, 362, 226, 304, 92, 354, 156}},
        {{337, 238, 379, 258, 336, 92, 420, 172}, {337, 239, 358, 255, 260, 92, 302, 156}},
        {{337, 268, 379, 288, 426, 8, 510, 88}, {337, 269, 402, 285, 384, 172, 510, 236}},
        {{337, 298, 415, 318, 220, 176, 376, 240}, {337, 298, 469, 319, 246, 4, 510, 88}},
        {{337, 328, 445, 349, 2, 176, 218, 260}, {337, 328, 507, 349, 0, 164, 342, 248}},
        {{393, 265, 503, 288, 2, 264, 222, 356}, {371, 265, 525, 288, 2, 252, 310, 344}},
    };
    auto expectLabels = [&](int column) {
        for (int label = SaveSlotView::kLabelHP; label <= SaveSlotView::kLabelEmpty; ++label) {
            const LabelPlace &p = places[label][column];
            uitest::ExpectQuad512(("label " + std::to_string(label)).c_str(), view.labels[label], p.x0, p.y0, p.x1,
                                  p.y1, p.s0, p.t0, p.s1, p.t1);
        }
    };
    expectLabels(0);
    gs.language = 1;
    Load().view.LayOut();
    EXPECT_FLOAT_EQ(hp[3].x, 362.0f);
    EXPECT_FLOAT_EQ(hp[3].y, 226.0f);
    EXPECT_FLOAT_EQ(hp[0].u, 304.0f / 512.0f);
    expectLabels(1);
}

// ---- The save panel, hosted by a test's page

struct PanelHost {
    CSSaveGame panel;
    void Update()
    {
        if (panel.active != 0) {
            panel.Update();
        }
    }
};

class SavePanel : public SaveScreens {
protected:
    // `count` frames of the host: the panel's update, the base-map fade.
    void Frames(PanelHost &host, int count)
    {
        for (int i = 0; i < count; ++i) {
            host.Update();
            ui->DrawBaseMapFade(16);
            ReleasePads();
        }
    }
    void Tap(PanelHost &host, PadButton button)
    {
        Press(0, button);
        Frames(host, 1);
    }
    // The running game the panel writes: hero 1 after stages 1 and 2, each
    // recorded by the stage end as a finished stage is.
    void RunningGame(int32_t money)
    {
        ui->ClearProgressBlock();
        ui->ResetHeroBlock();
        ui->heroBlock.heroType = 1;
        ui->heroBlock.money = money;
        ui->heroBlock.maxHP = 2000;
        for (int32_t stage : {1, 2}) {
            uitest::Links().stageNumber = stage;
            ui->RequestModule(kUIStageEnd);
            ui->Update(16);
            ui->RequestModule(kUIWarning);
            ui->Update(16);
        }
        ASSERT_EQ(ui->progress.lastStageId, 2020000u);
    }
};

TEST_F(SavePanel, TheQuestionStartsOnNoAndConfirmingAtOnceKeepsTheOldSave)
{
    StartOn("panel_question");
    RunningGame(777);
    const std::vector<uint8_t> old = apptest::ReadBytes(SlotPath(root, 1));
    PanelHost host;
    host.panel.SetActive(1);
    EXPECT_EQ(host.panel.view.slots->Slot(0).state, kSlotSaved);
    Tap(host, kPadCircle);
    EXPECT_TRUE(host.panel.QuestionOpen());
    EXPECT_EQ(host.panel.answer, 0);
    Tap(host, kPadDown);  // no cursor move under the question
    EXPECT_EQ(host.panel.view.cursor, 0);
    Tap(host, kPadCircle);
    EXPECT_FALSE(host.panel.QuestionOpen());
    EXPECT_EQ(apptest::ReadBytes(SlotPath(root, 1)), old);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kRefused, kRefused}));
}

TEST_F(SavePanel, TheChosenAnswerIsLitAndTheOtherDimmed)
{
    // Grey 176 opaque for the answer under the cursor, half transparent for
    // the other.
    constexpr uint32_t kLit = 0xFFB0B0B0u;
    constexpr uint32_t kDim = 0x7FB0B0B0u;
    StartOn("panel_lit");
    RunningGame(777);
    PanelHost host;
    host.panel.SetActive(1);
    Tap(host, kPadCircle);
    ASSERT_TRUE(host.panel.QuestionOpen());
    const auto answers = [&] {
        host.panel.Render();
        return std::vector<uint32_t>{host.panel.leftAnswer->Color(), host.panel.rightAnswer->Color()};
    };
    EXPECT_EQ(answers(), (std::vector<uint32_t>{kDim, kLit}));  // on "no"
    Tap(host, kPadLeft);
    EXPECT_EQ(answers(), (std::vector<uint32_t>{kLit, kDim}));  // on "yes"
    Tap(host, kPadRight);
    EXPECT_EQ(answers(), (std::vector<uint32_t>{kDim, kLit}));
}

TEST_F(SavePanel, YesWritesTheSlotAndShowsItOnTheSameCursor)
{
    StartOn("panel_yes");
    apptest::WriteBytes(SlotPath(root, 7), mkdata::SaveBytes(mkdata::SampleSaveRecord()));
    RunningGame(777);
    PanelHost host;
    host.panel.SetActive(1);
    for (int i = 0; i < 6; ++i) {
        Tap(host, kPadDown);
    }
    ASSERT_EQ(host.panel.view.cursor, 6);
    const int32_t firstRow = host.panel.view.firstRow;
    EXPECT_EQ(host.panel.view.slots->Slot(6).money, 150);
    Tap(host, kPadCircle);
    Tap(host, kPadLeft);
    EXPECT_EQ(host.panel.answer, 1);
    Tap(host, kPadRight);
    EXPECT_EQ(host.panel.answer, 0);
    Tap(host, kPadLeft);
    Tap(host, kPadStart);
    EXPECT_FALSE(host.panel.QuestionOpen());
    EXPECT_FALSE(host.panel.MessageShown());
    const SaveSlotInfo &slot = host.panel.view.slots->Slot(6);
    EXPECT_EQ(slot.money, 777);
    EXPECT_EQ(slot.hero, 1);
    EXPECT_EQ(slot.lastStageId, 2020000);
    EXPECT_EQ(slot.stagesCleared, 2);
    EXPECT_EQ(host.panel.view.cursor, 6);
    EXPECT_EQ(host.panel.view.firstRow, firstRow);
    EXPECT_TRUE(host.panel.active);
    // Activated again while it shows: the cursor stays where it is.
    host.panel.SetActive(1);
    EXPECT_EQ(host.panel.view.cursor, 6);
    SaveRecord written;
    ASSERT_EQ(ReadSaveRecord("SAVE07", &written), kSaveOk);
    EXPECT_EQ(written.money, 777);
    std::vector<int64_t> expected(6, kMove);
    expected.insert(expected.end(), {kRefused, kConfirm});
    EXPECT_EQ(Sounds(), expected);
}

TEST_F(SavePanel, AnEmptySlotIsWrittenAtOnceADamagedFileOnlyAfterTheQuestion)
{
    StartOn("panel_empty");
    apptest::WriteBytes(SlotPath(root, 3), mkdata::DamagedSaves()[7].bytes);  // a grade of 5
    RunningGame(31);
    PanelHost host;
    host.panel.SetActive(1);
    Tap(host, kPadDown);
    Tap(host, kPadCircle);  // slot 2: empty
    EXPECT_FALSE(host.panel.QuestionOpen());
    EXPECT_EQ(host.panel.view.slots->Slot(1).state, kSlotSaved);
    Tap(host, kPadDown);
    // Slot 3: damaged, shown as empty, but a file the player has: asked.
    EXPECT_EQ(host.panel.view.slots->Slot(2).state, kSlotEmpty);
    const std::vector<uint8_t> damaged = apptest::ReadBytes(SlotPath(root, 3));
    Tap(host, kPadCircle);
    EXPECT_TRUE(host.panel.QuestionOpen());
    Tap(host, kPadCircle);  // "no"
    EXPECT_EQ(apptest::ReadBytes(SlotPath(root, 3)), damaged);
    Tap(host, kPadCircle);
    Tap(host, kPadLeft);
    Tap(host, kPadCircle);  // "yes"
    EXPECT_EQ(host.panel.view.slots->Slot(2).state, kSlotSaved);
    EXPECT_EQ(host.panel.view.slots->Slot(2).money, 31);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kMove, kConfirm, kMove, kRefused, kRefused, kRefused, kConfirm}));
}

TEST_F(SavePanel, AfterTheFinalStageOnlyLeavingThePanelReturnsToTheTitle)
{
    StartOn("panel_final");
    RunningGame(5);
    g_saveReturnToTitle = 1;
    PanelHost host;
    host.panel.SetActive(1);
    Tap(host, kPadCircle);
    ASSERT_TRUE(host.panel.QuestionOpen());
    Tap(host, kPadCross);
    EXPECT_FALSE(host.panel.QuestionOpen());
    EXPECT_TRUE(host.panel.active);
    EXPECT_FALSE(gs.StageExitRequested());
    EXPECT_EQ(g_saveReturnToTitle, 1);
    // The finished game can still go into another slot.
    Tap(host, kPadDown);
    Tap(host, kPadCircle);
    EXPECT_EQ(host.panel.view.slots->Slot(1).state, kSlotSaved);
    Tap(host, kPadSelect);
    EXPECT_TRUE(gs.StageExitRequested());
    EXPECT_EQ(g_saveReturnToTitle, 0);
    EXPECT_EQ(host.panel.leaving, 1);
    // The cover reads nothing, then the panel closes.
    Tap(host, kPadUp);
    EXPECT_EQ(host.panel.view.cursor, 1);
    int frames = 0;
    while (host.panel.active != 0 && frames < 100) {
        Frames(host, 1);
        ++frames;
    }
    EXPECT_EQ(host.panel.active, 0);
    EXPECT_EQ(host.panel.view.slots, nullptr);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kRefused, kRefused, kMove, kConfirm, kBack}));
}

TEST_F(SavePanel, LeavingWithoutTheFlagOnlyClosesThePanel)
{
    StartOn("panel_leave");
    PanelHost host;
    host.panel.SetActive(1);
    Tap(host, kPadCross);
    EXPECT_EQ(host.panel.leaving, 1);
    Frames(host, 100);
    EXPECT_EQ(host.panel.active, 0);
    EXPECT_FALSE(gs.StageExitRequested());
}

// A panel that is not open takes no key from an update of its own: no
// move, no sound, no slot written.
TEST_F(SavePanel, APanelNotOpenTakesNoKey)
{
    StartOn("panel_closed");
    PanelHost host;
    Sounds();
    for (PadButton key : {kPadDown, kPadCircle, kPadCross}) {
        Press(0, key);
        host.panel.Update();
        ReleasePads();
    }
    EXPECT_TRUE(Sounds().empty());
    EXPECT_EQ(host.panel.view.cursor, 0);
    EXPECT_FALSE(host.panel.leaving);
    EXPECT_FALSE(ui->IsBaseMapCovering());
}

TEST_F(SavePanel, AFailedWriteShowsMessageThirteenWithTheSlotNumber)
{
    StartOn("panel_failure");
    RunningGame(9);
    const std::vector<uint8_t> old = apptest::ReadBytes(SlotPath(root, 1));
    fs::create_directories(SlotPath(root, 1) + ".tmp");
    PanelHost host;
    host.panel.SetActive(1);
    Tap(host, kPadCircle);
    Tap(host, kPadLeft);
    Tap(host, kPadCircle);
    ASSERT_TRUE(host.panel.MessageShown());
    ASSERT_GE(host.panel.message->Rows().size(), 1u);
    EXPECT_EQ(host.panel.message->Rows()[0].text.substr(0, 38), u"The game could not be saved in slot 1 ");
    EXPECT_EQ(apptest::ReadBytes(SlotPath(root, 1)), old);
    // Only confirm closes it.
    Tap(host, kPadDown);
    Tap(host, kPadCross);
    EXPECT_TRUE(host.panel.MessageShown());
    EXPECT_EQ(host.panel.view.cursor, 0);
    EXPECT_TRUE(host.panel.active);
    Tap(host, kPadCircle);
    EXPECT_FALSE(host.panel.MessageShown());
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kRefused, kConfirm}));
    fs::remove_all(SlotPath(root, 1) + ".tmp");
}

// With every text block of the pool taken the panel still works without
// words: the question and the failure go unwritten, and the slot is saved
// or left as it was all the same.
TEST_F(SavePanel, WithNoTextBlockFreeThePanelStillSavesAndRefuses)
{
    StartOn("panel_no_blocks");
    RunningGame(9);
    std::vector<CSTextBlock *> taken;
    while (CSTextBlock *block = AcquireTextBlock()) {
        taken.push_back(block);
    }
    const std::vector<uint8_t> old = apptest::ReadBytes(SlotPath(root, 1));
    fs::create_directories(SlotPath(root, 1) + ".tmp");
    PanelHost host;
    host.panel.SetActive(1);
    Tap(host, kPadCircle);
    ASSERT_TRUE(host.panel.QuestionOpen());
    DrawFrame([&] { host.panel.Render(); });
    Tap(host, kPadLeft);
    Tap(host, kPadCircle);
    EXPECT_FALSE(host.panel.MessageShown());
    EXPECT_EQ(apptest::ReadBytes(SlotPath(root, 1)), old);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kRefused, kConfirm}));
    DrawFrame([&] { host.panel.Render(); });
    fs::remove_all(SlotPath(root, 1) + ".tmp");
    for (CSTextBlock *&block : taken) {
        GiveBackTextBlock(block);
    }
}

TEST_F(SavePanel, TheHostsPicturesAreBorrowedUnlessTheGameReturnsToTheTitle)
{
    StartOn("panel_pictures");
    RwTexture *words = ui->WordArt();
    RwTexture *photos = ui->PlayerArt();
    {
        PanelHost host;
        host.panel.OfferPictures(words, photos);
        host.panel.SetActive(1);
        EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
        EXPECT_EQ(host.panel.view.words, words);
        EXPECT_EQ(host.panel.view.photos, photos);
        EXPECT_FALSE(host.panel.OwnsWordArt());
        EXPECT_NE(host.panel.view.savlod, nullptr);
        EXPECT_EQ(host.panel.view.baseMap, ui->BaseMap());
        host.panel.SetActive(0);
        EXPECT_EQ(host.panel.view.words, nullptr);
        // Given back untouched.
        EXPECT_EQ(ui->WordArt(), words);
        EXPECT_NE(RwTextureGetRaster(words), nullptr);
        g_saveReturnToTitle = 1;
        host.panel.SetActive(1);
        EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
        EXPECT_TRUE(host.panel.OwnsWordArt());
        EXPECT_TRUE(host.panel.OwnsPhotoArt());
        EXPECT_NE(host.panel.view.words, nullptr);
        EXPECT_NE(host.panel.view.words, words);
        EXPECT_NE(host.panel.view.photos, photos);
        host.panel.SetActive(0);
        g_saveReturnToTitle = 0;
    }
    // A host without pictures (the stage clear): the panel reads its own.
    PanelHost host;
    host.panel.SetActive(1);
    EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
    EXPECT_TRUE(host.panel.OwnsWordArt());
    EXPECT_NE(host.panel.view.words, nullptr);
    EXPECT_NE(host.panel.view.photos, nullptr);
}

TEST_F(SavePanel, APanelMakesTheSaveFolderOrKeepsTheOneThereIs)
{
    StartOn("panel_folder", true);
    ASSERT_FALSE(fs::exists(root + "/SAVE"));
    {
        CSSaveGame panel;
        EXPECT_TRUE(fs::is_directory(root + "/SAVE"));
    }
    fs::remove_all(root + "/SAVE");
    fs::create_directories(root + "/Save");
    CSSaveGame panel;
    EXPECT_FALSE(fs::exists(root + "/SAVE"));
}

TEST_F(SavePanel, TheQuestionAndTheFailureAsTheyAreSeen)
{
    StartOn("panel_shots");
    WriteShotSlots(root);
    RunningGame(1);
    PanelHost host;
    host.panel.SetActive(1);
    Tap(host, kPadDown);
    Tap(host, kPadCircle);  // slot 2: the completed game
    ASSERT_TRUE(host.panel.QuestionOpen());
    ExpectShot("save_question", [&] { host.panel.Render(); });
    Tap(host, kPadLeft);
    fs::create_directories(SlotPath(root, 2) + ".tmp");
    Tap(host, kPadCircle);
    ASSERT_TRUE(host.panel.MessageShown());
    ExpectShot("save_failure", [&] { host.panel.Render(); });
    fs::remove_all(SlotPath(root, 2) + ".tmp");
}

TEST(SavePlayTime, HoursMinutesAndSecondsWithTheirLeadingZeros)
{
    char h[8];
    char m[4];
    char s[4];
    PlayTimeParts(0, h, m, s);
    EXPECT_EQ(std::string(h) + ":" + m + ":" + s, "00:00:00");
    PlayTimeParts(3723000, h, m, s);
    EXPECT_EQ(std::string(h) + ":" + m + ":" + s, "01:02:03");
    PlayTimeParts(10u * 3600000u + 59u * 60000u + 59999u, h, m, s);
    EXPECT_EQ(std::string(h) + ":" + m + ":" + s, "10:59:59");
    PlayTimeParts(1000u * 3600000u, h, m, s);
    EXPECT_EQ(std::string(h) + ":" + m + ":" + s, "999:00:00");
    PlayTimeParts(0xFFFFFFFFu, h, m, s);
    EXPECT_EQ(std::string(h), "999");
}

}  // namespace

}  // namespace save_screens_test
