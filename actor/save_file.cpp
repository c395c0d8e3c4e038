// Save files (see save_file.h).
#include "actor/save_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

#include "actor/actor_screen_calls.h"
#include "actor/hero.h"
#include "actor/item_manager.h"
#include "actor/item_records.h"
#include "app/byte_reader.h"
#include "app/debug.h"
#include "app/path.h"
#include "app/replace_file.h"
#include "stage/stage_manager.h"

namespace {

constexpr const char *kSaveFolder = "\\SAVE";
constexpr int32_t kLastStageSlots[2] = {27, 28};  // the final stages: a game that cleared one is complete

void PutBytes(std::vector<uint8_t> *out, const uint8_t *bytes, size_t count)
{
    out->insert(out->end(), bytes, bytes + count);
}

void PutZeros(std::vector<uint8_t> *out, size_t count) { out->insert(out->end(), count, 0); }

template <typename T, size_t N>
void PutWords(std::vector<uint8_t> *out, const T (&words)[N])
{
    for (T word : words) {
        game::PutU32(out, static_cast<uint32_t>(word));
    }
}

// Each reader stops at the first field that is not all there.
template <typename T, size_t N>
bool GetWords(game::ByteReader *in, T (&words)[N])
{
    bool ok = true;
    for (T &word : words) {
        uint32_t raw{};
        ok = ok && in->U32(&raw);
        word = static_cast<T>(raw);
    }
    return ok;
}

template <size_t N>
bool GetBytes(game::ByteReader *in, uint8_t (&bytes)[N])
{
    const uint8_t *from = nullptr;
    const bool ok = in->Bytes(N, &from);
    if (ok) {
        std::memcpy(bytes, from, N);
    }
    return ok;
}

bool Skip(game::ByteReader *in, size_t count)
{
    const uint8_t *unused = nullptr;
    return in->Bytes(count, &unused);
}

// The first `capacity` entries of an owned list into ids and counts.
template <size_t N>
void CopyOwned(const std::vector<OwnedItem> &list, uint32_t (&ids)[N], int32_t (&counts)[N])
{
    const size_t n = std::min(list.size(), N);
    for (size_t i = 0; i < n; ++i) {
        ids[i] = static_cast<uint32_t>(list[i].itemId);
        counts[i] = list[i].count;
    }
}

bool PlainName(const char *name)
{
    if (name == nullptr || name[0] == '\0' || std::strlen(name) > 64) {
        return false;
    }
    for (const char *c = name; *c != '\0'; ++c) {
        const bool ok = (*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9') ||
                        *c == '_' || *c == '-';
        if (!ok) {
            return false;
        }
    }
    return true;
}

// The temporary file a write that was killed left beside the slot: a plain
// file of that name is removed (anything else there is not the writer's).
void RemoveLeftoverTemporary(const std::string &path)
{
    const std::string temporary = path + ".tmp";
    struct stat info;
    if (::lstat(temporary.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        if (std::remove(temporary.c_str()) == 0) {
            DebugPrint("save: %s left by an unfinished write removed\n", temporary.c_str());
        } else {
            DebugPrint("save: %s left by an unfinished write cannot be removed\n", temporary.c_str());
        }
    }
}

}  // namespace

CarriedProgress NewGameProgress()
{
    CarriedProgress progress;
    std::memset(&progress, 0, sizeof progress);
    return progress;
}

CarriedHero NewGameHero()
{
    CarriedHero hero;
    std::memset(&hero, 0, sizeof hero);
    hero.padIndex = -1;
    hero.heroType = -1;
    std::memset(hero.grades, kNoGrade, sizeof hero.grades);
    hero.abilityFlags[0] = hero.abilityFlags[1] = hero.abilityFlags[2] = 1;
    return hero;
}

SaveRecord BuildSaveRecord(const SaveSources &sources)
{
    SaveRecord r;
    std::memset(&r, 0, sizeof r);
    const CarriedProgress progress = sources.progress != nullptr ? *sources.progress : NewGameProgress();
    const CarriedHero block = sources.heroBlock != nullptr ? *sources.heroBlock : NewGameHero();
    CSHero *hero = sources.hero;

    r.lastStageId = progress.lastStageId;
    r.playTimeMs = progress.playTimeMs;
    r.bestHitCount = progress.bestHitCount;
    if (hero != nullptr && hero->bestHitCounter > 0) {
        r.bestHitCount = std::max(r.bestHitCount, static_cast<uint32_t>(hero->bestHitCounter));
    }
    if (sources.items != nullptr) {
        CopyOwned(sources.items->OwnedList(kItemListShared), r.carriedIds, r.carriedCounts);
    } else {
        std::copy_n(progress.itemIds, kCarriedItems, r.carriedIds);
        std::copy_n(progress.itemCounts, kCarriedItems, r.carriedCounts);
    }
    std::memcpy(r.cleared, progress.cleared, sizeof r.cleared);
    r.clearedWord = 0;
    std::copy_n(progress.clearedList, kClearedListSize, r.clearedList);

    if (hero != nullptr) {
        r.heroType = hero->aiType;
        for (int i = 0; i < 3; ++i) {
            const EquipContent *worn = hero->GetEquippedItem(i);
            r.equipped[i] = worn != nullptr ? static_cast<uint32_t>(worn->equipId) : 0;
        }
        r.hpLevel = hero->hpLevel;
        r.powerLevel = hero->powerLevel;
        r.maxHP = hero->GetMaxHP();
        r.maxPower = hero->GetMaxPower();
        r.money = hero->money;
        std::memcpy(r.abilityFlags, hero->abilityFlags, sizeof r.abilityFlags);
    } else {
        r.heroType = block.heroType;
        std::copy_n(block.equipped, 3, r.equipped);
        r.hpLevel = block.hpLevel;
        r.powerLevel = block.powerLevel;
        r.maxHP = block.maxHP;
        r.maxPower = block.maxPower;
        r.money = block.money;
        std::memcpy(r.abilityFlags, block.abilityFlags, sizeof r.abilityFlags);
    }
    r.abilityFlags[0] = r.abilityFlags[1] = r.abilityFlags[2] = 1;
    if (sources.items != nullptr) {
        CopyOwned(sources.items->OwnedList(1), r.heroItemIds, r.heroItemCounts);
    } else {
        std::copy_n(block.itemIds, kCarriedHeroItems, r.heroItemIds);
        std::copy_n(block.itemCounts, kCarriedHeroItems, r.heroItemCounts);
    }
    std::memcpy(r.grades, block.grades, sizeof r.grades);
    return r;
}

void EncodeSaveRecord(const SaveRecord &r, uint8_t out[kSaveRecordSize])
{
    std::vector<uint8_t> bytes;
    bytes.reserve(kSaveRecordSize);
    game::PutU32(&bytes, r.lastStageId);
    game::PutU32(&bytes, r.playTimeMs);
    game::PutU32(&bytes, r.bestHitCount);
    PutWords(&bytes, r.carriedIds);
    PutWords(&bytes, r.carriedCounts);
    PutBytes(&bytes, r.cleared, sizeof r.cleared);
    PutZeros(&bytes, 3);
    game::PutU32(&bytes, r.clearedWord);
    PutWords(&bytes, r.clearedList);
    game::PutU32(&bytes, static_cast<uint32_t>(r.heroType));
    PutWords(&bytes, r.equipped);
    PutZeros(&bytes, 8);
    for (int32_t v : {r.hpLevel, r.powerLevel, r.maxHP, r.maxPower, r.money}) {
        game::PutU32(&bytes, static_cast<uint32_t>(v));
    }
    PutBytes(&bytes, r.abilityFlags, sizeof r.abilityFlags);
    PutZeros(&bytes, 3);
    PutWords(&bytes, r.heroItemIds);
    PutWords(&bytes, r.heroItemCounts);
    PutBytes(&bytes, r.grades, sizeof r.grades);
    PutZeros(&bytes, kSaveRecordSize - bytes.size());
    std::memcpy(out, bytes.data(), kSaveRecordSize);
}

bool DecodeSaveRecord(const uint8_t *bytes, size_t size, SaveRecord *out)
{
    if (bytes == nullptr || size != kSaveRecordSize) {
        return false;
    }
    SaveRecord r{};
    game::ByteReader in(bytes, size);
    int32_t values[5] = {};
    uint32_t heroType = 0;
    const bool ok = in.U32(&r.lastStageId) && in.U32(&r.playTimeMs) && in.U32(&r.bestHitCount) &&
                    GetWords(&in, r.carriedIds) && GetWords(&in, r.carriedCounts) && GetBytes(&in, r.cleared) &&
                    Skip(&in, 3) && in.U32(&r.clearedWord) && GetWords(&in, r.clearedList) && in.U32(&heroType) &&
                    GetWords(&in, r.equipped) && Skip(&in, 8) && GetWords(&in, values) &&
                    GetBytes(&in, r.abilityFlags) && Skip(&in, 3) && GetWords(&in, r.heroItemIds) &&
                    GetWords(&in, r.heroItemCounts) && GetBytes(&in, r.grades);
    if (ok) {
        r.heroType = static_cast<int32_t>(heroType);
        r.hpLevel = values[0];
        r.powerLevel = values[1];
        r.maxHP = values[2];
        r.maxPower = values[3];
        r.money = values[4];
        *out = r;
    }
    return ok;
}

std::string SaveSlotName(int32_t slot)
{
    if (slot < 0 || slot >= kSaveSlots) {
        return std::string();
    }
    char name[16];
    std::snprintf(name, sizeof name, slot < 9 ? "SAVE0%d" : "SAVE%d", static_cast<int>(slot + 1));
    return name;
}

bool SaveFileHostPath(const char *slotName, std::string *path)
{
    if (!PlainName(slotName)) {
        DebugPrint("save: '%s' is not a slot name\n", slotName != nullptr ? slotName : "(null)");
        return false;
    }
    *path = ResolveGamePath((std::string(kSaveFolder) + "\\" + slotName + ".SAV").c_str());
    return true;
}

int32_t WriteSaveRecord(const char *slotName, const SaveRecord &record)
{
    std::string path;
    if (!SaveFileHostPath(slotName, &path)) {
        return kSaveFailed;
    }
    // The save folder is made when it is missing; a folder that cannot be
    // made fails the write below.
    const std::string folder = ResolveGamePath(kSaveFolder);
    struct stat info;
    if (::stat(folder.c_str(), &info) != 0) {
        ::mkdir(folder.c_str(), 0755);
    }
    RemoveLeftoverTemporary(path);
    uint8_t bytes[kSaveRecordSize];
    EncodeSaveRecord(record, bytes);
    std::string error;
    if (!game::WriteFileReplacing(path, bytes, sizeof bytes, &error)) {
        DebugPrint("save: %s\n", error.c_str());
        return kSaveFailed;
    }
    return kSaveOk;
}

int32_t WriteSaveFile(const char *slotName)
{
    SaveSources sources = {nullptr, nullptr, nullptr, nullptr};
    if (g_actorScreens != nullptr) {
        sources.progress = g_actorScreens->progressBlock != nullptr ? g_actorScreens->progressBlock() : nullptr;
        sources.heroBlock = g_actorScreens->heroBlock != nullptr ? g_actorScreens->heroBlock() : nullptr;
    }
    if (CSStageManager *stage = g_pStageManager) {
        sources.items = stage->itemManager;
        sources.hero = stage->heroCount > 0 ? stage->heroes[0] : nullptr;
    }
    return WriteSaveRecord(slotName, BuildSaveRecord(sources));
}

namespace {

// The file's bytes when it holds exactly one record.
bool ReadRecordBytes(const char *slotName, uint8_t bytes[kSaveRecordSize])
{
    std::string path;
    if (!SaveFileHostPath(slotName, &path)) {
        return false;
    }
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    // One byte more than a record tells a long file from a whole one.
    uint8_t buffer[kSaveRecordSize + 1];
    const size_t got = std::fread(buffer, 1, sizeof buffer, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || got != kSaveRecordSize) {
        DebugPrint("save: %s is not a save (%zu bytes read)\n", path.c_str(), got);
        return false;
    }
    std::memcpy(bytes, buffer, kSaveRecordSize);
    return true;
}

}  // namespace

int32_t ReadSaveFile(const char *slotName, uint32_t head[kSaveHeadWords], uint32_t body[kSaveBodyWords])
{
    std::memset(head, 0, sizeof(uint32_t) * kSaveHeadWords);
    std::memset(body, 0, sizeof(uint32_t) * kSaveBodyWords);
    uint8_t bytes[kSaveRecordSize];
    if (!ReadRecordBytes(slotName, bytes)) {
        return kSaveFailed;
    }
    // The record is the two blocks' words exactly.
    game::ByteReader in(bytes, sizeof bytes);
    for (uint32_t &word : std::span(head, kSaveHeadWords)) {
        in.U32(&word);
    }
    for (uint32_t &word : std::span(body, kSaveBodyWords)) {
        in.U32(&word);
    }
    return kSaveOk;
}

bool SaveFileExists(const char *slotName)
{
    std::string path;
    struct stat info;
    return SaveFileHostPath(slotName, &path) && ::lstat(path.c_str(), &info) == 0;
}

int32_t ReadSaveRecord(const char *slotName, SaveRecord *out)
{
    uint8_t bytes[kSaveRecordSize];
    if (!ReadRecordBytes(slotName, bytes) || !DecodeSaveRecord(bytes, sizeof bytes, out)) {
        return kSaveFailed;
    }
    return kSaveOk;
}

SaveRecord SaveRecordFromWords(const uint32_t head[kSaveHeadWords], const uint32_t body[kSaveBodyWords])
{
    std::vector<uint8_t> bytes;
    bytes.reserve(kSaveRecordSize);
    for (uint32_t word : std::span(head, kSaveHeadWords)) {
        game::PutU32(&bytes, word);
    }
    for (uint32_t word : std::span(body, kSaveBodyWords)) {
        game::PutU32(&bytes, word);
    }
    SaveRecord record;
    DecodeSaveRecord(bytes.data(), bytes.size(), &record);
    return record;
}

int32_t ScanSaveSlots(SaveSlotSummary out[kSaveSlots], SaveRecordCheck accept)
{
    for (int32_t slot = 0; slot < kSaveSlots; ++slot) {
        SaveSlotSummary &summary = out[slot];
        std::memset(&summary, 0, sizeof summary);
        const std::string name = SaveSlotName(slot);
        for (size_t i = 0; i < name.size() && i + 1 < std::size(summary.name); ++i) {
            summary.name[i] = static_cast<char16_t>(name[i]);
        }
        std::string path;
        if (SaveFileHostPath(name.c_str(), &path)) {
            RemoveLeftoverTemporary(path);
        }
        SaveRecord record;
        if (ReadSaveRecord(name.c_str(), &record) != kSaveOk || (accept != nullptr && !accept(record))) {
            summary.status = kSaveFailed;
            continue;
        }
        summary.status = kSaveOk;
        summary.lastStageId = static_cast<int32_t>(record.lastStageId);
        summary.heroType = record.heroType;
        summary.hpLevel = record.hpLevel;
        summary.powerLevel = record.powerLevel;
        summary.maxHP = record.maxHP;
        summary.maxPower = record.maxPower;
        summary.money = record.money;
        summary.stagesCleared = static_cast<int32_t>(
            std::count_if(std::begin(record.cleared), std::end(record.cleared), [](uint8_t b) { return b != 0; }));
        summary.playTimeMs = record.playTimeMs;
        summary.completed = record.cleared[kLastStageSlots[0]] != 0 || record.cleared[kLastStageSlots[1]] != 0;
    }
    return kSaveOk;
}
