// The sample save files (see sample_saves.h).
#include "tools/mkdata/sample_saves.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace mkdata {

namespace {

SaveRecord EmptyRecord()
{
    SaveRecord r;
    std::memset(&r, 0, sizeof r);
    std::memset(r.grades, kNoGrade, sizeof r.grades);
    r.abilityFlags[0] = r.abilityFlags[1] = r.abilityFlags[2] = 1;
    return r;
}

DamagedSave Damaged(const std::string &what, void (*damage)(SaveRecord *))
{
    SaveRecord r = SampleSaveRecord();
    damage(&r);
    return {what, SaveBytes(r)};
}

}  // namespace

SaveRecord SampleSaveRecord()
{
    SaveRecord r = EmptyRecord();
    r.lastStageId = 2010000;
    r.playTimeMs = 5 * 60 * 1000 + 30 * 1000;
    r.bestHitCount = 3;
    r.carriedIds[0] = 5300000;  // three herbs
    r.carriedCounts[0] = 3;
    r.cleared[0] = 1;           // stage 1
    r.heroType = 0;
    r.equipped[2] = 5100160;    // the start sword
    r.maxHP = 2500;
    r.maxPower = 300;
    r.money = 150;
    r.heroItemIds[0] = 5100160;
    r.heroItemCounts[0] = 1;
    r.heroItemIds[1] = 5300020;
    r.heroItemCounts[1] = 2;
    // What the status page shows of this game: a fire flask, a second
    // sword, two pieces of armour (the mail worn), the guild token in the
    // shared list, and ability 3 learned.
    r.heroItemIds[2] = 5300060;
    r.heroItemCounts[2] = 2;
    r.heroItemIds[3] = 5100170;
    r.heroItemCounts[3] = 1;
    r.heroItemIds[4] = 5100010;
    r.heroItemCounts[4] = 1;
    r.heroItemIds[5] = 5100020;
    r.heroItemCounts[5] = 1;
    r.equipped[0] = 5100010;
    r.carriedIds[1] = 100054;
    r.carriedCounts[1] = 1;
    r.abilityFlags[3] = 1;
    return r;
}

SaveRecord CompletedSaveRecord()
{
    SaveRecord r = EmptyRecord();
    r.lastStageId = 2370000;
    r.playTimeMs = 1000u * 3600u * 1000u;  // 1000 hours
    r.bestHitCount = 41;
    // Stages 1, 2, 3 and 37 (slots 0, 1, 2, 27) in clearing order.
    const uint32_t slots[4] = {0, 1, 2, 27};
    for (int i = 0; i < 4; ++i) {
        r.cleared[slots[i]] = 1;
        r.grades[slots[i]] = static_cast<uint8_t>(i);
    }
    r.clearedList[0] = 1;
    r.clearedList[1] = 2;
    r.clearedList[2] = 27;
    r.heroType = 1;
    r.equipped[2] = 5100210;
    r.hpLevel = 4;
    r.powerLevel = 5;
    r.maxHP = 4500;
    r.maxPower = 800;
    r.money = 999999;
    r.abilityFlags[3] = r.abilityFlags[5] = 1;
    r.heroItemIds[0] = 5100210;
    r.heroItemCounts[0] = 1;
    return r;
}

SaveRecord LateGameSaveRecord()
{
    SaveRecord r = EmptyRecord();
    r.lastStageId = 2340000;
    r.playTimeMs = (9u * 3600u + 15u * 60u) * 1000u;
    r.bestHitCount = 37;
    // The table's stages 1..34 in stage order, by their slots; the grades
    // run 0, 1, 2, 3, 4, 0, ...
    const uint32_t slots[] = {0, 1, 2, 3, 4, 5, 7, 6, 8, 9, 11, 12, 13, 17, 14, 16, 18, 19, 22, 20, 23, 21, 25};
    int listed = 0;
    for (size_t i = 0; i < sizeof slots / sizeof slots[0]; ++i) {
        r.cleared[slots[i]] = 1;
        r.grades[slots[i]] = static_cast<uint8_t>(i % 5);
        if (slots[i] != 0) {
            r.clearedList[listed++] = slots[i];
        }
    }
    r.heroType = 0;
    r.equipped[2] = 5100160;
    r.hpLevel = 3;
    r.powerLevel = 2;
    r.maxHP = 4000;
    r.maxPower = 500;
    r.money = 12345;
    r.heroItemIds[0] = 5100160;
    r.heroItemCounts[0] = 1;
    return r;
}

SaveRecord RoadToTheEndSaveRecord()
{
    SaveRecord r = EmptyRecord();
    r.lastStageId = 2280000;
    r.playTimeMs = (2u * 3600u + 40u * 60u + 12u) * 1000u;
    r.bestHitCount = 18;
    // The map's shortest road to stage 37, its first ten stages by their
    // slots in clearing order: 1, 2, 4, 8, 16, 17, 22, 27, 23, 28.
    const uint32_t slots[10] = {0, 1, 3, 7, 9, 11, 13, 16, 17, 18};
    const uint8_t grades[10] = {1, 0, 2, 1, 3, 0, 1, 2, 0, 1};
    int listed = 0;
    for (int i = 0; i < 10; ++i) {
        r.cleared[slots[i]] = 1;
        r.grades[slots[i]] = grades[i];
        if (slots[i] != 0) {
            r.clearedList[listed++] = slots[i];
        }
    }
    r.carriedIds[0] = 5300000;  // three herbs
    r.carriedCounts[0] = 3;
    r.heroType = 0;
    r.equipped[2] = 5100160;    // the start sword
    r.hpLevel = 2;
    r.powerLevel = 1;
    r.maxHP = 3500;
    r.maxPower = 400;
    r.money = 4800;
    r.abilityFlags[3] = r.abilityFlags[4] = 1;
    r.heroItemIds[0] = 5100160;
    r.heroItemCounts[0] = 1;
    r.heroItemIds[1] = 5300000;  // five more herbs of the hero's own
    r.heroItemCounts[1] = 5;
    return r;
}

std::vector<DamagedSave> DamagedSaves()
{
    std::vector<uint8_t> whole = SaveBytes(SampleSaveRecord());
    std::vector<DamagedSave> saves;
    saves.push_back({"truncated", std::vector<uint8_t>(whole.begin(), whole.end() - 1)});
    std::vector<uint8_t> longer = whole;
    longer.push_back(0);
    saves.push_back({"over-long", longer});
    saves.push_back(Damaged("hero type 2", [](SaveRecord *r) { r->heroType = 2; }));
    saves.push_back(Damaged("last stage 2070000", [](SaveRecord *r) { r->lastStageId = 2070000; }));
    saves.push_back(Damaged("word before the cleared list 1", [](SaveRecord *r) { r->clearedWord = 1; }));
    saves.push_back(Damaged("cleared entry 29", [](SaveRecord *r) { r->clearedList[0] = 29; }));
    saves.push_back(Damaged("cleared entry after the end", [](SaveRecord *r) { r->clearedList[2] = 5; }));
    saves.push_back(Damaged("grade 5", [](SaveRecord *r) { r->grades[3] = 5; }));
    saves.push_back(Damaged("carried count -1", [](SaveRecord *r) { r->carriedCounts[14] = -1; }));
    saves.push_back(Damaged("hero item count -1", [](SaveRecord *r) { r->heroItemCounts[102] = -1; }));
    return saves;
}

std::vector<uint8_t> SaveBytes(const SaveRecord &record)
{
    std::vector<uint8_t> bytes(kSaveRecordSize);
    EncodeSaveRecord(record, bytes.data());
    return bytes;
}

bool WriteSaveBytes(const std::string &root, const std::string &slotName, const std::vector<uint8_t> &bytes)
{
    const std::filesystem::path folder = std::filesystem::path(root) / SaveFolder();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::ofstream out(folder / (slotName + ".SAV"), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return !error && static_cast<bool>(out);
}

bool WriteSampleSaves(const std::string &root)
{
    return WriteSaveBytes(root, SaveSlotName(0), SaveBytes(SampleSaveRecord())) &&
           WriteSaveBytes(root, SaveSlotName(kRoadSaveSlot), SaveBytes(RoadToTheEndSaveRecord()));
}

}  // namespace mkdata
