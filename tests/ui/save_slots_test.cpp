// The save slots: the record a game writes, checked byte by byte against
// the table of its offsets; what a loaded record puts into the carried
// blocks; the round trip; the slot list's scan with its names, empty and
// damaged files; the rules of a sound record; and the failures: a write
// that cannot be made, a file gone between the scan and the load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "actor/save_file.h"
#include "app/debug.h"
#include "tests/ui/save_test_support.h"
#include "tools/mkdata/sample_saves.h"
#include "ui/save_slots.h"
#include "ui/stage_select.h"
#include "ui/stage_table.h"

namespace save_slots_test {

namespace {

namespace fs = std::filesystem;
using savetest::SlotPath;

// The record as the table of offsets gives it, little-endian, zero elsewhere.
class ExpectedRecord {
public:
    void Word(size_t offset, uint32_t value)
    {
        for (int i = 0; i < 4; ++i) {
            bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    }
    void Byte(size_t offset, uint8_t value) { bytes[offset] = value; }
    std::vector<uint8_t> bytes = std::vector<uint8_t>(1200, 0);
};

class SaveSlotsTest : public uitest::ScreensTest {
protected:
    // Without the sample data every test is skipped here, before its body.
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
    }
    void StartOn(const std::string &name, bool noSaves = true)
    {
        root = savetest::LinkedTree(name, noSaves);
        if (root.empty()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        Start(root);
    }
    void TearDown() override
    {
        uitest::ScreensTest::TearDown();
        if (!HasFailure() && !root.empty()) {
            savetest::RemoveTree(root);
        }
    }
    // Known blocks: every field a value of its own.
    void FillBlocks()
    {
        CarriedProgress &p = ui->progress;
        p.lastStageId = 2150000;
        p.playTimeMs = 7322000;
        p.bestHitCount = 17;
        for (int i = 0; i < kCarriedItems; ++i) {
            p.itemIds[i] = 5300000 + 10 * static_cast<uint32_t>(i);
            p.itemCounts[i] = i + 1;
        }
        p.cleared[0] = 1;
        p.cleared[1] = 1;
        p.cleared[8] = 2;
        p.clearedList[0] = 1;
        p.clearedList[1] = 8;
        CarriedHero &h = ui->heroBlock;
        h.inUse = 1;
        h.padIndex = 0;
        h.heroType = 1;
        h.equipped[0] = 5200010;
        h.equipped[1] = 5200020;
        h.equipped[2] = 5100210;
        h.hpLevel = 2;
        h.powerLevel = 3;
        h.maxHP = 3700;
        h.maxPower = 650;
        h.money = 12345;
        for (int i = 0; i < kCarriedHeroItems; ++i) {
            h.itemIds[i] = 6000000 + static_cast<uint32_t>(i);
            h.itemCounts[i] = 100 + i;
        }
        h.grades[1] = 3;
        h.grades[8] = 0;
        const uint8_t flags[9] = {1, 1, 1, 0, 1, 0, 0, 1, 0};
        std::memcpy(h.abilityFlags, flags, sizeof flags);
    }

    std::string root;
};

TEST_F(SaveSlotsTest, TheRecordOfAGameFollowsTheTableOfOffsets)
{
    StartOn("layout");
    FillBlocks();
    ASSERT_TRUE(WriteSaveSlot(3));
    const std::vector<uint8_t> file = apptest::ReadBytes(SlotPath(root, 4));

    ExpectedRecord e;
    e.Word(0, 2150000);
    e.Word(4, 7322000);
    e.Word(8, 17);
    for (int i = 0; i < 14; ++i) {  // the 15th pair (68, 128) stays 0
        e.Word(12 + 4 * i, 5300000 + 10 * static_cast<uint32_t>(i));
        e.Word(72 + 4 * i, static_cast<uint32_t>(i + 1));
    }
    e.Byte(132 + 0, 1);
    e.Byte(132 + 1, 1);
    e.Byte(132 + 8, 2);
    // 161..163 zero; 164 the word that stays 0; the list from 168.
    e.Word(168, 1);
    e.Word(172, 8);
    e.Word(280, 1);
    e.Word(284, 5200010);
    e.Word(288, 5200020);
    e.Word(292, 5100210);
    // 296..303 zero.
    const uint32_t values[5] = {2, 3, 3700, 650, 12345};
    for (int i = 0; i < 5; ++i) {
        e.Word(304 + 4 * i, values[i]);
    }
    const uint8_t flags[9] = {1, 1, 1, 0, 1, 0, 0, 1, 0};
    for (int i = 0; i < 9; ++i) {
        e.Byte(324 + i, flags[i]);
    }
    // 333..335 zero; 34 of the 103 pairs.
    for (int i = 0; i < 34; ++i) {
        e.Word(336 + 4 * i, 6000000 + static_cast<uint32_t>(i));
        e.Word(748 + 4 * i, 100 + static_cast<uint32_t>(i));
    }
    for (int slot = 0; slot < 29; ++slot) {
        e.Byte(1160 + slot, slot == 1 ? 3 : slot == 8 ? 0 : 255);
    }
    // 1189..1199 zero.
    ASSERT_EQ(file.size(), 1200u);
    for (size_t i = 0; i < 1200; ++i) {
        EXPECT_EQ(file[i], e.bytes[i]) << "byte " << i;
    }
}

TEST_F(SaveSlotsTest, ALoadedRecordFillsEveryFieldOfTheBlocks)
{
    StartOn("apply");
    // Written by hand: flags 0..2 cleared and flag 4 at 9, a 15th carried
    // pair and a 35th hero pair that the blocks have no room for.
    ExpectedRecord r;
    r.Word(0, 2370000);
    r.Word(4, 3723000);
    r.Word(8, 55);
    for (int i = 0; i < 15; ++i) {
        r.Word(12 + 4 * i, 5300000 + static_cast<uint32_t>(i));
        r.Word(72 + 4 * i, static_cast<uint32_t>(20 + i));
    }
    r.Byte(132 + 27, 1);
    r.Byte(132 + 0, 1);
    r.Word(168, 27);
    r.Word(280, 1);
    r.Word(284, 11);
    r.Word(288, 22);
    r.Word(292, 33);
    const uint32_t values[5] = {4, 5, 4500, 800, 999999};
    for (int i = 0; i < 5; ++i) {
        r.Word(304 + 4 * i, values[i]);
    }
    const uint8_t flags[9] = {0, 0, 0, 1, 9, 0, 1, 0, 1};
    for (int i = 0; i < 9; ++i) {
        r.Byte(324 + i, flags[i]);
    }
    for (int i = 0; i < 35; ++i) {
        r.Word(336 + 4 * i, 7000000 + static_cast<uint32_t>(i));
        r.Word(748 + 4 * i, 1 + static_cast<uint32_t>(i));
    }
    for (int slot = 0; slot < 29; ++slot) {
        r.Byte(1160 + slot, slot == 27 ? 2 : 255);
    }
    apptest::WriteBytes(SlotPath(root, 5), r.bytes);
    ui->SetUIPad(3);
    ASSERT_TRUE(LoadSaveSlot(4));

    const CarriedProgress &p = ui->progress;
    EXPECT_EQ(p.lastStageId, 2370000u);
    EXPECT_EQ(p.playTimeMs, 3723000u);
    EXPECT_EQ(p.bestHitCount, 55u);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(p.itemIds[i], 5300000u + static_cast<uint32_t>(i));
        EXPECT_EQ(p.itemCounts[i], 20 + i);
    }
    for (int slot = 0; slot < 29; ++slot) {
        EXPECT_EQ(p.cleared[slot], slot == 0 || slot == 27 ? 1 : 0) << slot;
    }
    EXPECT_EQ(p.clearedWord, 0u);
    EXPECT_EQ(p.clearedList[0], 27u);
    EXPECT_EQ(p.clearedList[1], 0u);
    EXPECT_EQ(ui->GetStageId(), 2370000u);
    EXPECT_EQ(ui->GetLastStageId(), 2370000u);

    const CarriedHero &h = ui->heroBlock;
    EXPECT_EQ(h.inUse, 1);
    EXPECT_EQ(h.padIndex, 3);
    EXPECT_EQ(h.heroType, 1);
    EXPECT_EQ(h.equipped[0], 11u);
    EXPECT_EQ(h.equipped[1], 22u);
    EXPECT_EQ(h.equipped[2], 33u);
    EXPECT_EQ(h.hpLevel, 4);
    EXPECT_EQ(h.powerLevel, 5);
    EXPECT_EQ(h.maxHP, 4500);
    EXPECT_EQ(h.maxPower, 800);
    EXPECT_EQ(h.money, 999999);
    for (int i = 0; i < 34; ++i) {
        EXPECT_EQ(h.itemIds[i], 7000000u + static_cast<uint32_t>(i));
        EXPECT_EQ(h.itemCounts[i], 1 + i);
    }
    for (int slot = 0; slot < 29; ++slot) {
        EXPECT_EQ(h.grades[slot], slot == 27 ? 2 : 255) << slot;
    }
    const uint8_t loaded[9] = {1, 1, 1, 1, 1, 0, 1, 0, 1};
    EXPECT_EQ(0, std::memcmp(h.abilityFlags, loaded, 9));
}

TEST_F(SaveSlotsTest, SaveThenLoadGivesTheSameBlocks)
{
    StartOn("round_trip");
    FillBlocks();
    ui->SetUIPad(0);
    const CarriedProgress progress = ui->progress;
    const CarriedHero hero = ui->heroBlock;
    ASSERT_TRUE(WriteSaveSlot(19));
    ui->ClearProgressBlock();
    ui->ResetHeroBlock();
    ASSERT_TRUE(LoadSaveSlot(19));
    EXPECT_EQ(0, std::memcmp(&ui->progress, &progress, sizeof progress));
    EXPECT_EQ(0, std::memcmp(&ui->heroBlock, &hero, sizeof hero));
    // And written again: the same file.
    const std::vector<uint8_t> first = apptest::ReadBytes(SlotPath(root, 20));
    ASSERT_TRUE(WriteSaveSlot(19));
    EXPECT_EQ(apptest::ReadBytes(SlotPath(root, 20)), first);
}

TEST_F(SaveSlotsTest, TheScanNamesTheSlotsAndFindsOnlyGames)
{
    StartOn("scan");
    CSSaveSlotList list;
    EXPECT_EQ(list.scanned, 0);
    EXPECT_EQ(list.Slot(0).state, kSlotUnknown);
    EXPECT_EQ(list.Slot(0).GetName(), nullptr);
    // No save folder: twenty empty slots.
    ASSERT_FALSE(fs::exists(root + "/SAVE"));
    EXPECT_TRUE(list.Refresh());
    EXPECT_EQ(list.scanned, 1);
    EXPECT_EQ(list.counter, 60000u);
    for (int i = 0; i < kSaveSlots; ++i) {
        EXPECT_EQ(list.Slot(i).state, kSlotEmpty) << i;
    }
    // A game in slots 9, 10 and 20, a completed one in 2, each damaged kind
    // from slot 3 on.
    const std::vector<uint8_t> game = mkdata::SaveBytes(mkdata::SampleSaveRecord());
    for (int number : {9, 10, 20}) {
        apptest::WriteBytes(SlotPath(root, number), game);
    }
    apptest::WriteBytes(SlotPath(root, 2), mkdata::SaveBytes(mkdata::CompletedSaveRecord()));
    const std::vector<mkdata::DamagedSave> damaged = mkdata::DamagedSaves();
    ASSERT_EQ(damaged.size(), 10u);
    std::vector<int> damagedSlots;
    for (size_t i = 0; i < damaged.size(); ++i) {
        const int number = 3 + static_cast<int>(i) + (i >= 6 ? 2 : 0);  // 3..8, 11..14
        damagedSlots.push_back(number);
        apptest::WriteBytes(SlotPath(root, number), damaged[i].bytes);
    }
    EXPECT_TRUE(list.Refresh());
    EXPECT_EQ(std::u16string(list.Slot(8).GetName()), u"SAVE09");
    EXPECT_EQ(std::u16string(list.Slot(9).GetName()), u"SAVE10");
    EXPECT_EQ(SlotFileName(9), "SAVE09");
    EXPECT_EQ(SlotFileName(10), "SAVE10");
    for (size_t i = 0; i < damagedSlots.size(); ++i) {
        EXPECT_EQ(list.Slot(damagedSlots[i] - 1).state, kSlotEmpty) << damaged[i].what;
    }
    const SaveSlotInfo &last = list.Slot(19);
    EXPECT_EQ(last.state, kSlotSaved);
    EXPECT_EQ(std::u16string(last.GetName()), u"SAVE20");
    EXPECT_EQ(last.lastStageId, 2010000);
    EXPECT_EQ(last.hero, 0);
    EXPECT_EQ(last.maxHP, 2500);
    EXPECT_EQ(last.maxPower, 300);
    EXPECT_EQ(last.money, 150);
    EXPECT_EQ(last.stagesCleared, 1);
    EXPECT_EQ(last.playTimeMs, 330000u);
    EXPECT_EQ(last.completed, 0);
    const SaveSlotInfo &completed = list.Slot(1);
    EXPECT_EQ(completed.state, kSlotSaved);
    EXPECT_EQ(completed.completed, 1);
    EXPECT_EQ(completed.stagesCleared, 4);
    EXPECT_EQ(completed.hero, 1);
    // A game that goes keeps its values but shows empty.
    fs::remove(SlotPath(root, 20));
    EXPECT_TRUE(list.Refresh());
    EXPECT_EQ(last.state, kSlotEmpty);
    EXPECT_EQ(last.money, 150);
}

TEST_F(SaveSlotsTest, TheStateAndNameSettersKeepToTheirValues)
{
    SaveSlotInfo slot;
    for (int32_t value : {0, 1, 2}) {
        slot.SetState(value);
        EXPECT_EQ(slot.state, value);
    }
    for (int32_t value : {3, -2, 10}) {
        slot.SetState(value);
        EXPECT_EQ(slot.state, -1);
    }
    slot.SetName(u"SAVE07");
    EXPECT_EQ(std::u16string(slot.GetName()), u"SAVE07");
    slot.SetName(u"");
    EXPECT_EQ(slot.GetName(), nullptr);
    slot.SetName(u"X");
    slot.SetName(nullptr);
    EXPECT_EQ(slot.GetName(), nullptr);
}

TEST(SaveRecordRules, EachFieldOutOfRangeIsRefusedAndItsLimitsAreTaken)
{
    EXPECT_TRUE(CheckSaveRecord(mkdata::SampleSaveRecord()));
    EXPECT_TRUE(CheckSaveRecord(mkdata::CompletedSaveRecord()));
    for (const mkdata::DamagedSave &save : mkdata::DamagedSaves()) {
        SaveRecord record;
        if (save.bytes.size() != kSaveRecordSize) {
            EXPECT_FALSE(DecodeSaveRecord(save.bytes.data(), save.bytes.size(), &record)) << save.what;
            continue;
        }
        ASSERT_TRUE(DecodeSaveRecord(save.bytes.data(), save.bytes.size(), &record));
        EXPECT_FALSE(CheckSaveRecord(record)) << save.what;
    }
    SaveRecord r = mkdata::SampleSaveRecord();
    // A full list of slots 1..28 with grades at both ends, every stage of the table.
    for (int i = 0; i < kClearedListSize; ++i) {
        r.clearedList[i] = static_cast<uint32_t>(i + 1);
    }
    r.grades[0] = 0;
    r.grades[1] = 4;
    r.carriedCounts[0] = 0;
    r.heroType = 1;
    for (uint32_t id : {2010000u, 2380000u, 2420000u}) {
        r.lastStageId = id;
        EXPECT_TRUE(CheckSaveRecord(r)) << id;
    }
    for (uint32_t id : {0u, 2390000u, 2010001u, 41u}) {
        r.lastStageId = id;
        EXPECT_FALSE(CheckSaveRecord(r)) << id;
    }
    r.lastStageId = 2010000;
    r.heroType = -1;
    EXPECT_FALSE(CheckSaveRecord(r));
    r.heroType = 0;
    r.grades[2] = 254;
    EXPECT_FALSE(CheckSaveRecord(r));
}

TEST_F(SaveSlotsTest, AWriteThatCannotBeMadeKeepsTheOldFileByteForByte)
{
    StartOn("write_fails", false);
    const std::vector<uint8_t> old = apptest::ReadBytes(SlotPath(root, 1));
    ASSERT_EQ(old.size(), 1200u);
    FillBlocks();
    // The temporary file's place is taken by a folder: the write fails as
    // it would in a folder it may not write to (whoever runs the test).
    fs::create_directories(SlotPath(root, 1) + ".tmp");
    EXPECT_FALSE(WriteSaveSlot(0));
    EXPECT_EQ(apptest::ReadBytes(SlotPath(root, 1)), old);
    fs::remove_all(SlotPath(root, 1) + ".tmp");
    if (::geteuid() != 0) {
        fs::permissions(root + "/SAVE", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(WriteSaveSlot(0));
        fs::permissions(root + "/SAVE", fs::perms::owner_all);
        EXPECT_EQ(apptest::ReadBytes(SlotPath(root, 1)), old);
    }
    EXPECT_EQ(SaveFailureText(3), u"The game could not be saved in slot 3 \u2013 check that the disk has room and try again.");
    EXPECT_EQ(SaveFailureText(20).find(u"slot 20 "), 31u);
}

TEST_F(SaveSlotsTest, AFileGoneOrChangedSinceTheScanIsNotLoaded)
{
    StartOn("load_refused", false);
    CSSaveSlotList list;
    list.Refresh();
    ASSERT_EQ(list.Slot(0).state, kSlotSaved);
    FillBlocks();
    const CarriedProgress progress = ui->progress;
    const CarriedHero hero = ui->heroBlock;
    fs::remove(SlotPath(root, 1));
    EXPECT_FALSE(LoadSaveSlot(0));
    // Changed into a damaged record: refused too.
    apptest::WriteBytes(SlotPath(root, 1), mkdata::DamagedSaves()[2].bytes);
    EXPECT_FALSE(LoadSaveSlot(0));
    EXPECT_FALSE(LoadSaveSlot(20));
    EXPECT_EQ(0, std::memcmp(&ui->progress, &progress, sizeof progress));
    EXPECT_EQ(0, std::memcmp(&ui->heroBlock, &hero, sizeof hero));
}

TEST_F(SaveSlotsTest, TheSaveFolderIsMadeOnceWhereverItsLetterCase)
{
    StartOn("folder");
    EXPECT_TRUE(CreateSaveFolder());
    EXPECT_TRUE(fs::is_directory(root + "/SAVE"));
    fs::remove_all(root + "/SAVE");
    fs::create_directories(root + "/Save");
    EXPECT_TRUE(CreateSaveFolder());
    EXPECT_FALSE(fs::exists(root + "/SAVE"));
    FillBlocks();
    ASSERT_TRUE(WriteSaveSlot(6));
    EXPECT_TRUE(fs::exists(root + "/Save/SAVE07.SAV"));
    // Where none can be made (a link to nothing holds the name): false,
    // and a debug line names the folder.
    fs::remove_all(root + "/Save");
    fs::create_symlink(root + "/nowhere", root + "/SAVE");
    const bool debug = SetDebugOutput(true);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(CreateSaveFolder());
    const std::string lines = ::testing::internal::GetCapturedStderr();
    SetDebugOutput(debug);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
    EXPECT_NE(lines.find("SAVE"), std::string::npos) << lines;
}

// Whether the map opens stage `number` to a game with these cleared bytes
// (the first stage always counts as cleared).
bool MapOpens(const uint8_t cleared[kStageSlots], int32_t number)
{
    for (int i = 0; i < kStageTableRows; ++i) {
        const StageRow &row = StageRowAt(i);
        if (row.slot != 0 && cleared[row.slot] == 0) {
            continue;
        }
        int32_t count = 0;
        const int32_t *opens = StagesOpenedBy(StageIdOfNumber(row.number), &count);
        for (int32_t k = 0; k < count; ++k) {
            if (opens[k] == StageIdOfNumber(number)) {
                return true;
            }
        }
    }
    return false;
}

// The playable tree's second game stands ten stages into the road to the
// final stage: a game of its own whose stages were each open on the map
// when it was cleared (in the list's order, after stage 1); stage 33 is
// open after them, and 33, 32 and 34 then open stage 37.
TEST(SaveRecordRules, TheRoadSaveClearedItsStagesAlongTheMapsRoadToTheEnd)
{
    const SaveRecord r = mkdata::RoadToTheEndSaveRecord();
    EXPECT_TRUE(CheckSaveRecord(r));
    uint8_t cleared[kStageSlots] = {1};
    int count = 1;
    auto slotOf = [](int32_t number) {
        for (int i = 0; i < kStageTableRows; ++i) {
            if (StageRowAt(i).number == number) {
                return StageRowAt(i).slot;
            }
        }
        return -1;
    };
    for (uint32_t slot : r.clearedList) {
        if (slot == 0) {
            break;
        }
        int32_t number = 0;
        for (int i = 0; i < kStageTableRows; ++i) {
            if (StageRowAt(i).slot == static_cast<int32_t>(slot)) {
                number = StageRowAt(i).number;
            }
        }
        EXPECT_TRUE(MapOpens(cleared, number)) << "stage " << number << " was not open";
        cleared[slot] = 1;
        ++count;
    }
    EXPECT_EQ(count, 10);
    EXPECT_EQ(std::memcmp(cleared, r.cleared, sizeof cleared), 0);
    EXPECT_EQ(r.lastStageId, 2280000u);
    EXPECT_FALSE(MapOpens(cleared, 37));
    for (int32_t number : {33, 32, 34}) {
        EXPECT_TRUE(MapOpens(cleared, number)) << "stage " << number << " was not open";
        cleared[slotOf(number)] = 1;
    }
    EXPECT_TRUE(MapOpens(cleared, 37));
}

}  // namespace

}  // namespace save_slots_test
