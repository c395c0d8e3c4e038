// The item files: the item table, the drop maps and the descriptions round
// trip through their writers, the sample data reads back as the maker made
// it, and damaged files are read as far as they hold up, with every fault
// reported and nothing read past what is there.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "actor/item_files.h"
#include "actor/item_texts.h"
#include "app/keyword.h"
#include "app/path.h"
#include "support/game/diagnostics_capture.h"
#include "tests/stage/stage_test_support.h"
#include "tools/mkdata/item_data.h"

namespace item_files_test {

namespace {

int ReadTables(const std::string &text, ItemTables *out)
{
    CSKeywordFile file;
    EXPECT_TRUE(file.OpenMemory("TEST.ICL", text.data(), text.size()));
    return ReadItemTables(&file, out);
}

int ReadMaps(const std::string &text, std::vector<DropMap> *out)
{
    CSKeywordFile file;
    EXPECT_TRUE(file.OpenMemory("TEST.PBM", text.data(), text.size()));
    return ReadDropMaps(&file, out);
}

int ParseTexts(const std::u16string &text, std::vector<ItemDescEntry> *out)
{
    size_t at = 0;
    return ParseItemDescriptions(
        [&](std::u16string *line) {
            if (at >= text.size()) {
                return false;
            }
            const size_t end = text.find(u'\n', at);
            const size_t stop = end == std::u16string::npos ? text.size() : end + 1;
            *line = text.substr(at, stop - at);
            at = stop;
            return true;
        },
        "TEST.IDS", out);
}

void ExpectSameTables(const ItemTables &a, const ItemTables &b)
{
    ASSERT_EQ(a.items.size(), b.items.size());
    for (size_t i = 0; i < a.items.size(); ++i) {
        EXPECT_EQ(a.items[i].itemId, b.items[i].itemId);
        EXPECT_EQ(a.items[i].itemType, b.items[i].itemType);
        EXPECT_EQ(a.items[i].ownLimit, b.items[i].ownLimit);
        EXPECT_EQ(a.items[i].icon, b.items[i].icon);
    }
    for (auto lists : {std::make_pair(&a.recover, &b.recover), std::make_pair(&a.explode, &b.explode)}) {
        ASSERT_EQ(lists.first->size(), lists.second->size());
        for (size_t i = 0; i < lists.first->size(); ++i) {
            const UseContent &p = (*lists.first)[i];
            const UseContent &q = (*lists.second)[i];
            EXPECT_EQ(p.id, q.id);
            ASSERT_EQ(p.valueCount, q.valueCount);
            EXPECT_EQ(0, std::memcmp(p.values, q.values, sizeof(int32_t) * static_cast<size_t>(p.valueCount)));
        }
    }
    ASSERT_EQ(a.equip.size(), b.equip.size());
    for (size_t i = 0; i < a.equip.size(); ++i) {
        EXPECT_EQ(a.equip[i].equipId, b.equip[i].equipId);
        EXPECT_EQ(a.equip[i].equipType, b.equip[i].equipType);
        EXPECT_EQ(a.equip[i].prop[0], b.equip[i].prop[0]);
        EXPECT_EQ(a.equip[i].prop[1], b.equip[i].prop[1]);
        EXPECT_STREQ(a.equip[i].aura, b.equip[i].aura);
    }
}

TEST(ItemFiles, TablesRoundTripThroughTheWriter)
{
    ItemTables tables = mkdata::SampleItemTables();
    UseContent full;
    full.id = 77;
    for (int32_t i = 0; i < kMaxContentValues; ++i) {
        full.values[full.valueCount++] = -i * 1000;
    }
    tables.recover.push_back(full);
    tables.items.push_back(ItemContent{99, -3, 0, kNoItemIcon});
    ItemTables read;
    EXPECT_EQ(ReadTables(FormatItemTables(tables), &read), 0);
    ExpectSameTables(read, tables);
    EXPECT_EQ(read.recover.back().Price(), -15000);
}

TEST(ItemFiles, DamagedTablesKeepWhatHoldsUp)
{
    const std::string text =
        "ItemContent\n{\nItem_ID: 1\nItemType: 1\nOwnLimit: 3\nIcon: 2\n}\n"
        // No id: left out.
        "ItemContent\n{\nItemType: 1\n}\n"
        // A bad value keeps its default; unknown keys are ignored.
        "ItemContent\n{\nItem_ID: 2\nOwnLimit: many\nColour: red\nIcon: -7\n}\n"
        // Too many numbers: the line is refused, the block kept.
        "RecoverContent\n{\nRecover_ID: 1\nRecover_Type: 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17\n}\n"
        // The same id again: the later wins.
        "ItemContent\n{\nItem_ID: 1\nItemType: 4\nOwnLimit: 5\n}\n"
        // Cut by the next block: left out, the next read.
        "EquipContent\n{\nEquip_ID: 10\nProp1: 3\n"
        "EquipContent\n{\nEquip_ID: 11\nAura: a_name_far_too_long_for_the_record_to_hold.zus\n}\n"
        // The largest limit and icon are kept; one past them is refused.
        "ItemContent\n{\nItem_ID: 3\nOwnLimit: 9999\nIcon: 16383\n}\n"
        "ItemContent\n{\nItem_ID: 4\nOwnLimit: 10000\nIcon: 16384\n}\n"
        // A block name at the very end.
        "ExplodeContent\n";
    ItemTables read;
    EXPECT_GE(ReadTables(text, &read), 9);
    ASSERT_EQ(read.items.size(), 4u);
    EXPECT_EQ(read.items[2].ownLimit, 9999);
    EXPECT_EQ(read.items[2].icon, 16383);
    EXPECT_EQ(read.items[3].ownLimit, 0);
    EXPECT_EQ(read.items[3].icon, kNoItemIcon);
    EXPECT_EQ(read.items[0].itemId, 1);
    EXPECT_EQ(read.items[0].itemType, 4);
    EXPECT_EQ(read.items[0].ownLimit, 5);
    EXPECT_EQ(read.items[0].icon, kNoItemIcon);
    EXPECT_EQ(read.items[1].itemId, 2);
    EXPECT_EQ(read.items[1].ownLimit, 0);
    EXPECT_EQ(read.items[1].icon, kNoItemIcon);
    ASSERT_EQ(read.recover.size(), 1u);
    EXPECT_EQ(read.recover[0].valueCount, 0);
    EXPECT_EQ(read.recover[0].Price(), 0);
    ASSERT_EQ(read.equip.size(), 1u);
    EXPECT_EQ(read.equip[0].equipId, 11);
    EXPECT_STREQ(read.equip[0].aura, "");
    EXPECT_TRUE(read.explode.empty());
}

TEST(ItemFiles, DropMapsRoundTripAndHostileMapsAreRead)
{
    std::vector<DropMap> maps = mkdata::SampleDropMaps();
    DropMap full;
    full.id = -4;
    for (int32_t i = 0; i < kDropMapEntries; ++i) {
        full.entries[i] = {1000 + i, i};
    }
    maps.push_back(full);
    std::vector<DropMap> read;
    EXPECT_EQ(ReadMaps(FormatDropMaps(maps), &read), 0);
    ASSERT_EQ(read.size(), maps.size());
    for (size_t m = 0; m < maps.size(); ++m) {
        EXPECT_EQ(read[m].id, maps[m].id);
        for (int32_t i = 0; i < kDropMapEntries; ++i) {
            EXPECT_EQ(read[m].entries[i].itemId, maps[m].entries[i].itemId);
            EXPECT_EQ(read[m].entries[i].percent, maps[m].entries[i].percent);
        }
    }

    std::string hostile = "MapNum: 9\nMap\n{\nID: 1\n";
    for (int i = 0; i < 20; ++i) {
        hostile += "Entry: 5, 1\n";
    }
    hostile += "Entry: 6, 101\nEntry: 7\n}\nMap\n{\nEntry: 1, 1\n}\nMap\n{\nID: 1\nEntry: 8, 50\n}\nMap\n{\nID: 2\n";
    EXPECT_GE(ReadMaps(hostile, &read), 6);
    ASSERT_EQ(read.size(), 1u);  // map 1 twice: the later; the map without ID and the cut one left out
    EXPECT_EQ(read[0].entries[0].itemId, 8);
    EXPECT_EQ(read[0].entries[1].itemId, 0);

    // A file holds at most 4096 maps: the rest are left out and said to be.
    std::string many = "MapNum: 4096\n";
    for (int i = 1; i <= 4097; ++i) {
        many += "Map\n{\nID: " + std::to_string(i) + "\n}\n";
    }
    gametest::CaptureDiagnostics();
    EXPECT_EQ(ReadMaps(many, &read), 2);  // and 4097 blocks against the count
    EXPECT_NE(gametest::TakeDiagnostics().find("more than 4096 maps"), std::string::npos);
    ASSERT_EQ(read.size(), 4096u);
    EXPECT_EQ(read.back().id, 4096);

    // The count that holds is named by its line when the blocks differ
    // from it; a later count that is no number changes nothing.
    gametest::CaptureDiagnostics();
    EXPECT_EQ(ReadMaps("Map\n{\nID: 3\n}\nMapNum: 2\nMapNum: many\n", &read), 2);
    EXPECT_NE(gametest::TakeDiagnostics().find("TEST.PBM:5: MapNum: 2 maps announced, 1 read"), std::string::npos);

    // No count at all is reported too.
    gametest::CaptureDiagnostics();
    EXPECT_EQ(ReadMaps("Map\n{\nID: 3\n}\n", &read), 1);
    EXPECT_NE(gametest::TakeDiagnostics().find("TEST.PBM: the file does not say how many maps it holds"),
              std::string::npos);
    EXPECT_EQ(read.size(), 1u);
    EXPECT_GE(ReadMaps("", &read), 1);
    EXPECT_TRUE(read.empty());
}

TEST(ItemFiles, DescriptionsRoundTripWithEscapes)
{
    std::vector<ItemDescEntry> entries = mkdata::SampleItemDescriptions("ENG");
    entries.push_back(ItemDescEntry{-1, u"", u"two\nlines \\ and a backslash"});
    entries.push_back(ItemDescEntry{7, u"\u8349\u836F", u""});
    std::vector<ItemDescEntry> read;
    EXPECT_EQ(ParseTexts(FormatItemDescriptions(entries), &read), 0);
    ASSERT_EQ(read.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(read[i].itemId, entries[i].itemId);
        EXPECT_EQ(read[i].name, entries[i].name);
        EXPECT_EQ(read[i].describe, entries[i].describe);
    }
}

TEST(ItemFiles, DamagedDescriptionsKeepWhatHoldsUp)
{
    std::vector<ItemDescEntry> read;
    // A mark, a missing count, a stray line, a repeated id and an entry cut by the next.
    EXPECT_GE(ParseTexts(u"\uFEFFID: 1\nOne\nFirst\nstray\nID: 2\nTwo\nID: 1\nUno\nPrimero\n", &read), 4);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].itemId, 1);
    EXPECT_EQ(read[0].name, u"Uno");
    EXPECT_EQ(read[1].itemId, 2);
    EXPECT_EQ(read[1].name, u"Two");
    EXPECT_EQ(read[1].describe, u"");
    // A count past the end of the file; an entry whose texts the file lacks.
    EXPECT_EQ(ParseTexts(u"Count: 5\r\nID: 3\r\nThree\r\nID: 4\r\n", &read), 3);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].describe, u"");
    EXPECT_GE(ParseTexts(u"Count: x\n", &read), 1);
    EXPECT_TRUE(read.empty());
    // A count of none over an entry that is there: the entry is kept and the count said wrong.
    EXPECT_EQ(ParseTexts(u"Count: 0\r\nID: 3\r\nThree\r\nThe third\r\n", &read), 1);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].describe, u"The third");
}

TEST(ItemFiles, TheSampleFilesReadBackAsMade)
{
    SetDataRootPath(stagetest::SamplePath("").c_str());
    ItemTables tables;
    ASSERT_TRUE(ReadItemTableFile(kItemTablePath, &tables));
    ExpectSameTables(tables, mkdata::SampleItemTables());
    std::vector<DropMap> maps;
    ASSERT_TRUE(ReadDropMapFile(kDropMapPath, &maps));
    const std::vector<DropMap> &made = mkdata::SampleDropMaps();
    ASSERT_EQ(maps.size(), made.size());
    EXPECT_EQ(maps[0].id, mkdata::kSampleMonsterDropMap);
    for (size_t i = 0; i < maps.size(); ++i) {
        EXPECT_EQ(maps[i].id, made[i].id);
        for (int32_t e = 0; e < kDropMapEntries; ++e) {
            EXPECT_EQ(maps[i].entries[e].itemId, made[i].entries[e].itemId);
            EXPECT_EQ(maps[i].entries[e].percent, made[i].entries[e].percent);
        }
    }
    for (const char *language : {"ENG", "CHI"}) {
        std::vector<ItemDescEntry> texts;
        ASSERT_TRUE(ReadItemDescriptionFile(ItemDescriptionPath(language).c_str(), &texts)) << language;
        const std::vector<ItemDescEntry> made = mkdata::SampleItemDescriptions(language);
        ASSERT_EQ(texts.size(), made.size());
        EXPECT_EQ(texts.front().name, made.front().name);
        // Every item of the table has its texts, the last one's among them.
        CSItemDescTable table;
        table.SetEntries(texts);
        for (const ItemContent &item : tables.items) {
            const ItemDescEntry *entry = table.Find(item.itemId);
            ASSERT_NE(entry, nullptr) << item.itemId;
            EXPECT_EQ(entry->itemId, item.itemId);
        }
        const ItemDescEntry *last = table.Find(made.back().itemId);
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(last->name, made.back().name);
        EXPECT_EQ(table.Find(999), nullptr);
    }
    // Missing files read as empty lists (the stage goes on without drops or texts), never as the last ones read.
    EXPECT_FALSE(ReadItemTableFile("\\RESOURCE\\ITEM\\NONE.ICL", &tables));
    EXPECT_TRUE(tables.items.empty());
    EXPECT_FALSE(ReadDropMapFile("\\RESOURCE\\ITEM\\NONE.PBM", &maps));
    EXPECT_TRUE(maps.empty());
    std::vector<ItemDescEntry> texts;
    ASSERT_TRUE(ReadItemDescriptionFile(ItemDescriptionPath(nullptr).c_str(), &texts));  // no language: English
    EXPECT_FALSE(texts.empty());
    EXPECT_FALSE(ReadItemDescriptionFile(ItemDescriptionPath("XYZ").c_str(), &texts));
    EXPECT_TRUE(texts.empty());
    SetDataRootPath("");
}

// A file the keyword reader could not open gives nothing and reports nothing.
TEST(ItemFiles, AnUnopenedFileReadsAsEmpty)
{
    CSKeywordFile unopened;
    ItemTables tables = mkdata::SampleItemTables();
    EXPECT_EQ(ReadItemTables(&unopened, &tables), 0);
    EXPECT_TRUE(tables.items.empty());
    EXPECT_TRUE(tables.equip.empty());
    std::vector<DropMap> maps = mkdata::SampleDropMaps();
    EXPECT_EQ(ReadDropMaps(&unopened, &maps), 0);
    EXPECT_TRUE(maps.empty());
}

}  // namespace

}  // namespace item_files_test
