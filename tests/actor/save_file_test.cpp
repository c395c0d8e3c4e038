// Save files: the record checked byte by byte at every offset of its table,
// its lists cut where the record ends, the new-game values without the
// screens, write, read and scan round trips over the 20 slots with missing,
// short, long and unreadable files, and failed writes (no folder to write
// in, a write error on the way) that keep the old save and report 10; a
// temporary file a killed write left, removed by the next scan or write.
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "actor/actor_screen_calls.h"
#include "actor/hero.h"
#include "support/game/diagnostics_capture.h"
#include "actor/item_manager.h"
#include "actor/save_file.h"
#include "app/debug.h"
#include "app/path.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"
#include "support/engine/file_size_limit.h"
#include "support/engine/scratch_path.h"
#include "tools/mkdata/item_data.h"
#include "tools/mkdata/stage_files.h"

namespace save_file_test {

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The bytes a record should be, written by offset.
class Expected {
public:
    Expected() : bytes(kSaveRecordSize, 0) {}
    void Word(size_t offset, uint32_t value)
    {
        for (int i = 0; i < 4; ++i) {
            bytes.at(offset + static_cast<size_t>(i)) = static_cast<uint8_t>(value >> (8 * i));
        }
    }
    void Byte(size_t offset, uint8_t value) { bytes.at(offset) = value; }
    std::vector<uint8_t> bytes;
};

class SaveFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = rwtest::ScratchPath("save_file_" + std::to_string(::getpid()) + "_" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
        SetDataRootPath(root.c_str());
        // The second hero's parameters with the life these cases count
        // with: MaxHP 1800, MaxPower 400.
        model.params = mkdata::SampleCharacterParams("HERO02");
        model.params.maxHP = 1800;
        model.params.maxPower = 400;
        hero.modelTemplate = &model;
        hero.aiType = kAiTypeHero1;
        items.SetTables(mkdata::SampleItemTables());
        progress = NewGameProgress();
        block = NewGameHero();
    }
    void TearDown() override
    {
        SetDataRootPath("");
        g_actorScreens = nullptr;
        ::chmod((root + "/SAVE").c_str(), 0755);
        fs::remove_all(root);
    }
    std::string SlotPath(const char *name) const { return root + "/SAVE/" + name + ".SAV"; }

    std::string root;
    CSModelTemplate model;
    CSHero hero;
    CSItemManager items;
    CarriedProgress progress;
    CarriedHero block;
};

TEST_F(SaveFileTest, EveryFieldSitsAtItsOffset)
{
    progress.lastStageId = 2030000;
    progress.playTimeMs = 123456789;
    progress.bestHitCount = 12;
    progress.cleared[0] = 1;
    progress.cleared[28] = 1;
    progress.clearedWord = 77;  // stays 0 in the record
    progress.clearedList[0] = 1;
    progress.clearedList[1] = 29;
    progress.clearedList[27] = 5;
    block.grades[0] = 0;
    block.grades[28] = 4;
    hero.hpLevel = 3;
    hero.powerLevel = 2;
    hero.money = 4321;
    hero.bestHitCounter = 30;  // the hero's best beats the progress block's
    hero.abilityFlags[0] = 0;  // flags 0..2 are written 1 whatever
    hero.abilityFlags[5] = 1;
    const EquipContent *sword = items.FindEquipContent(5100210);
    const EquipContent *charm = items.FindEquipContent(5200020);
    const EquipContent *vest = items.FindEquipContent(5200010);
    hero.EquipItem(sword, 2);
    hero.EquipItem(charm, 1);
    hero.EquipItem(vest, 0);
    items.AddItem(0, 5402003);
    items.AddItem(0, 100054);
    items.AddItem(0, 100054);
    items.AddItem(1, 5300000);
    items.AddItem(1, 5300070);
    items.AddItem(2, 5300010);  // the second player's list is not saved

    const SaveRecord record = BuildSaveRecord({&progress, &block, &items, &hero});
    uint8_t bytes[kSaveRecordSize];
    std::memset(bytes, 0xCD, sizeof bytes);
    EncodeSaveRecord(record, bytes);

    Expected e;
    e.Word(0, 2030000);
    e.Word(4, 123456789);
    e.Word(8, 30);
    e.Word(12, 5402003);
    e.Word(16, 100054);
    e.Word(72, 1);
    e.Word(76, 2);
    e.Byte(132, 1);
    e.Byte(160, 1);
    e.Word(168, 1);  // 164 stays 0, the list follows
    e.Word(172, 29);
    e.Word(168 + 27 * 4, 5);
    e.Word(280, 1);
    e.Word(284, 5200010);
    e.Word(288, 5200020);
    e.Word(292, 5100210);
    e.Word(304, 3);
    e.Word(308, 2);
    e.Word(312, 3 * 500 + 1800 + 200);
    e.Word(316, 2 * 100 + 400);
    e.Word(320, 4321);
    for (size_t f : {324u, 325u, 326u, 329u}) {
        e.Byte(f, 1);
    }
    e.Word(336, 5300000);
    e.Word(340, 5300070);
    e.Word(748, 1);
    e.Word(752, 1);
    e.Byte(1160, 0);
    for (size_t g = 1161; g < 1188; ++g) {
        e.Byte(g, 255);
    }
    e.Byte(1188, 4);
    for (size_t i = 0; i < kSaveRecordSize; ++i) {
        EXPECT_EQ(bytes[i], e.bytes[i]) << "offset " << i;
    }
    // And back.
    SaveRecord read;
    ASSERT_TRUE(DecodeSaveRecord(bytes, sizeof bytes, &read));
    EXPECT_EQ(0, std::memcmp(&read.lastStageId, &record.lastStageId, 12));
    EXPECT_EQ(read.heroType, 1);
    EXPECT_EQ(read.maxHP, 3500);
    EXPECT_EQ(read.heroItemIds[1], 5300070u);
    EXPECT_EQ(read.grades[28], 4);
    EXPECT_FALSE(DecodeSaveRecord(bytes, sizeof bytes - 1, &read));
}

TEST_F(SaveFileTest, ListsAreCutInListOrderAndBlocksServeWithoutAGame)
{
    ItemTables many;
    for (int32_t id = 1; id <= 120; ++id) {
        many.items.push_back(ItemContent{id, 1, 9, 0});
    }
    items.SetTables(many);
    for (int32_t id = 1; id <= 120; ++id) {
        items.AddItem(0, id);
        items.AddItem(1, id);
    }
    SaveRecord record = BuildSaveRecord({&progress, &block, &items, &hero});
    EXPECT_EQ(record.carriedIds[14], 15u);
    EXPECT_EQ(record.heroItemIds[102], 103u);
    EXPECT_EQ(record.heroItemCounts[102], 1);

    // No screens, no stage: the new-game blocks.
    record = BuildSaveRecord({nullptr, nullptr, nullptr, nullptr});
    EXPECT_EQ(record.lastStageId, 0u);
    EXPECT_EQ(record.heroType, -1);
    EXPECT_EQ(record.grades[0], kNoGrade);
    EXPECT_EQ(record.abilityFlags[2], 1);
    EXPECT_EQ(record.abilityFlags[3], 0);
    // The blocks' own pairs stand in for the lists.
    progress.itemIds[0] = 5300000;
    progress.itemCounts[0] = 2;
    block.itemIds[33] = 5300010;
    block.itemCounts[33] = 4;
    block.heroType = 0;
    block.money = 77;
    record = BuildSaveRecord({&progress, &block, nullptr, nullptr});
    EXPECT_EQ(record.carriedIds[0], 5300000u);
    EXPECT_EQ(record.carriedIds[14], 0u);
    EXPECT_EQ(record.heroItemIds[33], 5300010u);
    EXPECT_EQ(record.heroItemCounts[33], 4);
    EXPECT_EQ(record.heroType, 0);
    EXPECT_EQ(record.money, 77);
}

// A new game starts from nothing: no stage, time, items or clears; the
// hero block unused, with no pad or hero, no equipment, levels, life,
// power, money or items, no grade anywhere and only the first three
// abilities open.
TEST_F(SaveFileTest, ANewGameStartsFromNothing)
{
    const CarriedProgress progressBlock = NewGameProgress();
    const uint8_t *bytes = reinterpret_cast<const uint8_t *>(&progressBlock);
    for (size_t i = 0; i < sizeof progressBlock; ++i) {
        ASSERT_EQ(bytes[i], 0) << "progress byte " << i;
    }
    const CarriedHero heroBlock = NewGameHero();
    EXPECT_EQ(heroBlock.inUse, 0);
    EXPECT_EQ(heroBlock.padIndex, -1);
    EXPECT_EQ(heroBlock.heroType, -1);
    for (uint32_t id : heroBlock.equipped) {
        EXPECT_EQ(id, 0u);
    }
    EXPECT_EQ(heroBlock.hpLevel, 0);
    EXPECT_EQ(heroBlock.powerLevel, 0);
    EXPECT_EQ(heroBlock.maxHP, 0);
    EXPECT_EQ(heroBlock.maxPower, 0);
    EXPECT_EQ(heroBlock.money, 0);
    for (int32_t i = 0; i < kCarriedHeroItems; ++i) {
        EXPECT_EQ(heroBlock.itemIds[i], 0u) << i;
        EXPECT_EQ(heroBlock.itemCounts[i], 0) << i;
    }
    for (int32_t slot = 0; slot < kStageSlots; ++slot) {
        EXPECT_EQ(heroBlock.grades[slot], kNoGrade) << slot;
    }
    const uint8_t abilities[9] = {1, 1, 1, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(heroBlock.abilityFlags, abilities, sizeof abilities));
}

TEST_F(SaveFileTest, WriteReadAndScanRoundTrip)
{
    progress.lastStageId = 2050000;
    progress.playTimeMs = 99;
    progress.cleared[27] = 1;
    progress.cleared[3] = 2;
    hero.money = 10;
    const SaveRecord record = BuildSaveRecord({&progress, &block, &items, &hero});
    ASSERT_EQ(WriteSaveRecord("SAVE03", record), kSaveOk);
    EXPECT_FALSE(fs::exists(SlotPath("SAVE03") + ".tmp"));
    uint8_t bytes[kSaveRecordSize];
    EncodeSaveRecord(record, bytes);
    const std::vector<uint8_t> file = ReadFile(SlotPath("SAVE03"));
    ASSERT_EQ(file.size(), kSaveRecordSize);
    EXPECT_EQ(0, std::memcmp(file.data(), bytes, kSaveRecordSize));

    uint32_t head[kSaveHeadWords];
    uint32_t body[kSaveBodyWords];
    ASSERT_EQ(ReadSaveFile("SAVE03", head, body), kSaveOk);
    EXPECT_EQ(head[0], 2050000u);
    EXPECT_EQ(head[1], 99u);
    EXPECT_EQ(body[0], 1u);            // word 70: the hero type
    EXPECT_EQ(body[80 - 70], 10u);     // word 80: money
    EXPECT_EQ(body[229], 0u);
    // The load screen's words give back the very record that was written.
    uint8_t again[kSaveRecordSize];
    EncodeSaveRecord(SaveRecordFromWords(head, body), again);
    EXPECT_EQ(0, std::memcmp(again, bytes, kSaveRecordSize));

    SaveSlotSummary slots[kSaveSlots];
    EXPECT_EQ(ScanSaveSlots(slots), kSaveOk);
    for (int32_t i = 0; i < kSaveSlots; ++i) {
        EXPECT_EQ(slots[i].status, i == 2 ? kSaveOk : kSaveFailed) << i;
    }
    EXPECT_EQ(slots[2].lastStageId, 2050000);
    EXPECT_EQ(slots[2].heroType, 1);
    EXPECT_EQ(slots[2].maxHP, 1800);
    EXPECT_EQ(slots[2].maxPower, 400);
    EXPECT_EQ(slots[2].money, 10);
    EXPECT_EQ(slots[2].stagesCleared, 2);
    EXPECT_EQ(slots[2].playTimeMs, 99u);
    EXPECT_EQ(slots[2].completed, 1);
    EXPECT_EQ(std::u16string(slots[2].name), u"SAVE03");
    EXPECT_EQ(std::u16string(slots[9].name), u"SAVE10");
    for (int32_t word : slots[2].unused) {
        EXPECT_EQ(word, 0);
    }
    // Either final stage completes a game; another stage does not.
    const struct {
        int32_t slot;
        uint8_t completed;
    } finals[] = {{28, 1}, {26, 0}, {0, 0}};
    for (const auto &f : finals) {
        SaveRecord other = record;
        std::memset(other.cleared, 0, sizeof other.cleared);
        other.cleared[f.slot] = 1;
        ASSERT_EQ(WriteSaveRecord("SAVE03", other), kSaveOk);
        EXPECT_EQ(ScanSaveSlots(slots), kSaveOk);
        EXPECT_EQ(slots[2].completed, f.completed) << f.slot;
    }
}

TEST_F(SaveFileTest, TwentySlotsWithMissingShortLongAndUnreadableFiles)
{
    EXPECT_EQ(SaveSlotName(0), "SAVE01");
    EXPECT_EQ(SaveSlotName(8), "SAVE09");
    EXPECT_EQ(SaveSlotName(9), "SAVE10");
    EXPECT_EQ(SaveSlotName(19), "SAVE20");
    EXPECT_EQ(SaveSlotName(20), "");
    SaveSlotSummary slots[kSaveSlots];
    // No save folder at all: twenty empty slots.
    EXPECT_EQ(ScanSaveSlots(slots), kSaveOk);
    for (const SaveSlotSummary &slot : slots) {
        EXPECT_EQ(slot.status, kSaveFailed);
    }
    fs::create_directories(root + "/SAVE");
    uint8_t good[kSaveRecordSize];
    progress.lastStageId = 2010000;
    EncodeSaveRecord(BuildSaveRecord({&progress, &block, nullptr, nullptr}), good);
    std::vector<uint8_t> whole(good, good + kSaveRecordSize);
    WriteFile(SlotPath("SAVE01"), whole);
    WriteFile(SlotPath("SAVE02"), std::vector<uint8_t>(whole.begin(), whole.end() - 1));  // short
    std::vector<uint8_t> longer = whole;
    longer.push_back(0);
    WriteFile(SlotPath("SAVE03"), longer);                     // long
    WriteFile(SlotPath("SAVE04"), {});                         // empty
    fs::create_directories(SlotPath("SAVE05"));                // a folder, not a file
    WriteFile(root + "/SAVE/save20.sav", whole);              // names in any case
    EXPECT_EQ(ScanSaveSlots(slots), kSaveOk);
    EXPECT_EQ(slots[0].status, kSaveOk);
    EXPECT_EQ(slots[0].lastStageId, 2010000);
    for (int32_t i = 1; i < 19; ++i) {
        EXPECT_EQ(slots[i].status, kSaveFailed) << i;
    }
    EXPECT_EQ(slots[19].status, kSaveOk);
    // A short read is no game: head and body come back zeroed.
    uint32_t head[kSaveHeadWords];
    uint32_t body[kSaveBodyWords];
    std::memset(head, 0xAB, sizeof head);
    std::memset(body, 0xAB, sizeof body);
    EXPECT_EQ(ReadSaveFile("SAVE02", head, body), kSaveFailed);
    EXPECT_EQ(std::count(std::begin(head), std::end(head), 0u), kSaveHeadWords);
    EXPECT_EQ(std::count(std::begin(body), std::end(body), 0u), kSaveBodyWords);
    EXPECT_EQ(ReadSaveFile("SAVE03", head, body), kSaveFailed);
    // Names that are no slot names never reach the disk.
    for (const char *name : {"../SAVE01", "SAVE/01", "", "SAVE01.SAV", "a\\b"}) {
        gametest::CaptureDiagnostics();
        EXPECT_EQ(ReadSaveFile(name, head, body), kSaveFailed) << name;
        EXPECT_EQ(WriteSaveRecord(name, SaveRecord{}), kSaveFailed) << name;
        EXPECT_NE(gametest::TakeDiagnostics().find("'" + std::string(name) + "' is not a slot name"), std::string::npos)
            << name;
    }
    gametest::CaptureDiagnostics();
    EXPECT_EQ(ReadSaveFile(nullptr, head, body), kSaveFailed);
    EXPECT_NE(gametest::TakeDiagnostics().find("'(null)' is not a slot name"), std::string::npos);
}

TEST_F(SaveFileTest, AFailedWriteKeepsTheOldSave)
{
    progress.lastStageId = 2010000;
    ASSERT_EQ(WriteSaveRecord("SAVE07", BuildSaveRecord({&progress, &block, nullptr, nullptr})), kSaveOk);
    const std::vector<uint8_t> old = ReadFile(SlotPath("SAVE07"));
    progress.lastStageId = 2020000;
    const SaveRecord next = BuildSaveRecord({&progress, &block, nullptr, nullptr});

    // A write error on the way: the file may grow no larger than part of a record.
    int32_t result = 0;
    {
        const rwtest::FileSizeLimit limit(600);
        ASSERT_TRUE(limit.Set());
        result = WriteSaveRecord("SAVE07", next);
    }
    EXPECT_EQ(result, kSaveFailed);
    EXPECT_EQ(ReadFile(SlotPath("SAVE07")), old);
    EXPECT_FALSE(fs::exists(SlotPath("SAVE07") + ".tmp"));

    // A folder that cannot be written in (for anyone but root).
    ASSERT_EQ(::chmod((root + "/SAVE").c_str(), 0555), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(WriteSaveRecord("SAVE07", next), kSaveFailed);
        EXPECT_EQ(ReadFile(SlotPath("SAVE07")), old);
    }
    ::chmod((root + "/SAVE").c_str(), 0755);

    // No folder to write in: SAVE is a file.
    fs::remove_all(root + "/SAVE");
    WriteFile(root + "/SAVE", {1, 2, 3});
    EXPECT_EQ(WriteSaveRecord("SAVE07", next), kSaveFailed);
    EXPECT_EQ(ReadFile(root + "/SAVE"), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(SaveFileTest, ATemporaryFileLeftByAKilledWriteGoesAtTheNextScanOrWrite)
{
    progress.lastStageId = 2010000;
    ASSERT_EQ(WriteSaveRecord("SAVE01", BuildSaveRecord({&progress, &block, nullptr, nullptr})), kSaveOk);
    const std::vector<uint8_t> saved = ReadFile(SlotPath("SAVE01"));
    // What a write killed halfway leaves: part of a record beside the slot,
    // and beside an empty slot (read-only, so that it cannot be written over).
    WriteFile(SlotPath("SAVE01") + ".tmp", std::vector<uint8_t>(600, 7));
    WriteFile(SlotPath("SAVE04") + ".tmp", std::vector<uint8_t>(300, 7));
    ASSERT_EQ(::chmod((SlotPath("SAVE04") + ".tmp").c_str(), 0444), 0);
    // Anything that is not a plain file is not the writer's: it stays.
    fs::create_directories(SlotPath("SAVE05") + ".tmp");
    SaveSlotSummary slots[kSaveSlots];
    const bool debug = SetDebugOutput(true);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ScanSaveSlots(slots), kSaveOk);
    const std::string lines = ::testing::internal::GetCapturedStderr();
    SetDebugOutput(debug);
    // The debug lines say what became of each.
    EXPECT_NE(lines.find("SAVE01.SAV.tmp left by an unfinished write removed\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("SAVE04.SAV.tmp left by an unfinished write removed\n"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("cannot be removed"), std::string::npos) << lines;
    EXPECT_FALSE(fs::exists(SlotPath("SAVE01") + ".tmp"));
    EXPECT_FALSE(fs::exists(SlotPath("SAVE04") + ".tmp"));
    EXPECT_TRUE(fs::is_directory(SlotPath("SAVE05") + ".tmp"));
    EXPECT_EQ(slots[0].status, kSaveOk);
    EXPECT_EQ(slots[3].status, kSaveFailed);
    EXPECT_EQ(ReadFile(SlotPath("SAVE01")), saved);
    // A write finds one too (left read-only) and replaces the slot all the same.
    WriteFile(SlotPath("SAVE04") + ".tmp", std::vector<uint8_t>(300, 7));
    ASSERT_EQ(::chmod((SlotPath("SAVE04") + ".tmp").c_str(), 0444), 0);
    EXPECT_EQ(WriteSaveRecord("SAVE04", BuildSaveRecord({&progress, &block, nullptr, nullptr})), kSaveOk);
    EXPECT_FALSE(fs::exists(SlotPath("SAVE04") + ".tmp"));
    EXPECT_EQ(ReadFile(SlotPath("SAVE04")), saved);
    EXPECT_TRUE(SaveFileExists("SAVE04"));
    EXPECT_FALSE(SaveFileExists("SAVE06"));
}

// WriteSaveFile takes the screens' blocks through their table, else the
// new-game values, and the running stage's items and first hero.
const CarriedProgress *g_progress = nullptr;
const CarriedHero *g_block = nullptr;

TEST_F(SaveFileTest, TheRunningGameIsWrittenFromTheScreensAndTheStage)
{
    CSStageManager stage;
    CSStageManager *previous = g_pStageManager;
    g_pStageManager = &stage;
    stage.itemManager = &items;
    stage.heroes[0] = &hero;
    stage.heroCount = 1;
    items.AddItem(1, 5300040);
    hero.money = 555;
    const EquipContent *weapon = items.FindEquipContent(kHeroStartWeapon[0]);
    ASSERT_NE(weapon, nullptr);
    ASSERT_TRUE(hero.EquipItem(weapon, kHeroWeaponSlot));
    EXPECT_EQ(WriteSaveFile("SAVE11"), kSaveOk);
    SaveRecord read;
    ASSERT_EQ(ReadSaveRecord("SAVE11", &read), kSaveOk);
    // What the hero wears, and nothing for the slots it leaves empty.
    for (int32_t slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(read.equipped[slot], slot == kHeroWeaponSlot ? static_cast<uint32_t>(weapon->equipId) : 0u) << slot;
    }
    EXPECT_EQ(read.lastStageId, 0u);
    EXPECT_EQ(read.grades[5], kNoGrade);
    EXPECT_EQ(read.money, 555);
    EXPECT_EQ(read.heroItemIds[0], 5300040u);

    progress.lastStageId = 2040000;
    block.grades[5] = 2;
    g_progress = &progress;
    g_block = &block;
    const ActorScreenCalls screens = {nullptr, nullptr, [] { return g_progress; }, [] { return g_block; }};
    g_actorScreens = &screens;
    EXPECT_EQ(WriteSaveFile("SAVE11"), kSaveOk);
    ASSERT_EQ(ReadSaveRecord("SAVE11", &read), kSaveOk);
    EXPECT_EQ(read.lastStageId, 2040000u);
    EXPECT_EQ(read.grades[5], 2);
    g_actorScreens = nullptr;
    stage.itemManager = nullptr;
    stage.heroes[0] = nullptr;
    stage.heroCount = 0;
    g_pStageManager = previous;
}

}  // namespace

}  // namespace save_file_test
