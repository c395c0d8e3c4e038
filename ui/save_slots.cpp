// The save slots (see save_slots.h).
#include "ui/save_slots.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/debug.h"
#include "app/game_system.h"
#include "app/path.h"
#include "ui/stage_table.h"
#include "ui/ui_manager.h"
#include "ui/ui_trace.h"

namespace {

constexpr int32_t kFailedSaveEntry = 13;
constexpr int32_t kLastClearedSlot = 28;  // stage 1's slot 0 never enters the list

// Record words and bytes as ApplyLoadedGame takes them (byte offsets / 4).
constexpr int32_t kWordLastStage = 0;
constexpr int32_t kWordPlayTime = 1;
constexpr int32_t kWordBestHits = 2;
constexpr int32_t kWordCarriedIds = 3;
constexpr int32_t kWordCarriedCounts = 18;
constexpr size_t kByteCleared = 132;
constexpr int32_t kWordClearedWord = 41;
constexpr int32_t kWordClearedList = 42;
constexpr int32_t kWordHeroType = 70;
constexpr int32_t kWordEquipped = 71;
constexpr int32_t kWordValues = 76;  // HP level, power level, maximum HP, maximum power, money
constexpr size_t kByteAbilities = 324;
constexpr int32_t kWordHeroIds = 84;
constexpr int32_t kWordHeroCounts = 187;
constexpr size_t kByteGrades = 1160;

// The record's 300 words in one view.
struct RecordWords {
    uint32_t w[kSaveHeadWords + kSaveBodyWords];

    RecordWords(const uint32_t head[kSaveHeadWords], const uint32_t body[kSaveBodyWords])
    {
        std::copy_n(head, kSaveHeadWords, w);
        std::copy_n(body, kSaveBodyWords, w + kSaveHeadWords);
    }
    uint8_t Byte(size_t offset) const { return static_cast<uint8_t>(w[offset / 4] >> (8 * (offset % 4))); }
};

bool Refuse(const char *why, int64_t value)
{
    DebugPrint("save: not a game (%s %lld)\n", why, static_cast<long long>(value));
    return false;
}

}  // namespace

// ---- SaveSlotInfo
void SaveSlotInfo::SetName(const char16_t *text)
{
    name.reset();
    if (text == nullptr || text[0] == u'\0') {
        return;
    }
    const std::u16string copy(text);
    name = std::make_unique<char16_t[]>(copy.size() + 1);
    std::copy(copy.begin(), copy.end(), name.get());
    name[copy.size()] = u'\0';
}

void SaveSlotInfo::SetState(int32_t value) { state = value >= 0 && value <= 2 ? value : kSlotUnknown; }

// ---- CSSaveSlotList
CSSaveSlotList::CSSaveSlotList() : slots_(std::make_unique<SaveSlotInfo[]>(kSaveSlots)) {}

void CSSaveSlotList::Release() { slots_ = std::make_unique<SaveSlotInfo[]>(kSaveSlots); }

bool CSSaveSlotList::Refresh()
{
    SaveSlotSummary summaries[kSaveSlots];
    std::memset(summaries, 0, sizeof summaries);
    const int32_t result = ScanSaveSlots(summaries, CheckSaveRecord);
    counter = kSlotListCounter;
    scanned = 1;
    for (int32_t i = 0; i < kSaveSlots; ++i) {
        const SaveSlotSummary &s = summaries[i];
        SaveSlotInfo &slot = slots_[i];
        slot.SetState(s.status == kSaveOk ? kSlotSaved : s.status == kSaveFailed ? kSlotEmpty : kSlotUnknown);
        if (slot.state != kSlotSaved) {
            slot.fileThere = SaveFileExists(SaveSlotName(i).c_str()) ? 1 : 0;
            continue;
        }
        slot.fileThere = 1;
        slot.completed = s.completed;
        slot.lastStageId = s.lastStageId;
        slot.hero = s.heroType;
        slot.SetName(s.name);
        slot.maxHP = s.maxHP;
        slot.maxPower = s.maxPower;
        slot.money = s.money;
        slot.stagesCleared = s.stagesCleared;
        slot.playTimeMs = s.playTimeMs;
    }
    return result == kSaveOk;
}

// ---- The record's rules
bool CheckSaveRecord(const SaveRecord &r)
{
    if (r.heroType != 0 && r.heroType != 1) {
        return Refuse("hero", r.heroType);
    }
    if (FindStageRowById(static_cast<int32_t>(r.lastStageId)) == nullptr) {
        return Refuse("last stage", r.lastStageId);
    }
    if (r.clearedWord != 0) {
        return Refuse("word before the cleared list", r.clearedWord);
    }
    bool ended = false;
    for (uint32_t entry : r.clearedList) {
        if (entry == 0) {
            ended = true;
        } else if (ended || entry > static_cast<uint32_t>(kLastClearedSlot)) {
            return Refuse("cleared list entry", entry);
        }
    }
    for (uint8_t grade : r.grades) {
        if (grade > 4 && grade != kNoGrade) {
            return Refuse("grade", grade);
        }
    }
    for (int32_t count : r.carriedCounts) {
        if (count < 0) {
            return Refuse("carried item count", count);
        }
    }
    for (int32_t count : r.heroItemCounts) {
        if (count < 0) {
            return Refuse("hero item count", count);
        }
    }
    return true;
}

std::string SlotFileName(int32_t number) { return SaveSlotName(number - 1); }

void ApplyLoadedGame(const uint32_t head[kSaveHeadWords], const uint32_t body[kSaveBodyWords])
{
    CSUIManager *ui = g_pUIManager;  // the game's, made with it
    const RecordWords r(head, body);
    CarriedProgress &p = ui->progress;
    CarriedHero &h = ui->heroBlock;
    ui->ResetHeroBlock();
    ui->ClearProgressBlock();
    p.lastStageId = r.w[kWordLastStage];
    p.playTimeMs = r.w[kWordPlayTime];
    p.bestHitCount = r.w[kWordBestHits];
    ui->SetStageId(r.w[kWordLastStage]);
    ui->SetLastStageId(static_cast<int32_t>(r.w[kWordLastStage]));
    for (int32_t i = 0; i < kStageSlots; ++i) {
        p.cleared[i] = r.Byte(kByteCleared + static_cast<size_t>(i));
    }
    p.clearedWord = r.w[kWordClearedWord];
    std::copy_n(r.w + kWordClearedList, kClearedListSize, p.clearedList);
    h.inUse = 1;
    h.padIndex = ui->GetUIPad();
    h.heroType = static_cast<int32_t>(r.w[kWordHeroType]);
    std::copy_n(r.w + kWordEquipped, 3, h.equipped);
    // The first three abilities are always open, as in the new game's block.
    for (int32_t i = 3; i < 9; ++i) {
        h.abilityFlags[i] = r.Byte(kByteAbilities + static_cast<size_t>(i)) != 0 ? 1 : 0;
    }
    // The blocks hold the record's first pairs; the rest are dropped.
    std::copy_n(r.w + kWordCarriedIds, kCarriedItems, p.itemIds);
    for (int32_t i = 0; i < kCarriedItems; ++i) {
        p.itemCounts[i] = static_cast<int32_t>(r.w[kWordCarriedCounts + i]);
    }
    std::copy_n(r.w + kWordHeroIds, kCarriedHeroItems, h.itemIds);
    for (int32_t i = 0; i < kCarriedHeroItems; ++i) {
        h.itemCounts[i] = static_cast<int32_t>(r.w[kWordHeroCounts + i]);
    }
    int32_t *values[5] = {&h.hpLevel, &h.powerLevel, &h.maxHP, &h.maxPower, &h.money};
    for (int32_t i = 0; i < 5; ++i) {
        *values[i] = static_cast<int32_t>(r.w[kWordValues + i]);
    }
    for (int32_t i = 0; i < kStageSlots; ++i) {
        h.grades[i] = r.Byte(kByteGrades + static_cast<size_t>(i));
    }
}

bool LoadSaveSlot(int32_t index)
{
    const std::string name = SaveSlotName(index);
    uint32_t head[kSaveHeadWords];
    uint32_t body[kSaveBodyWords];
    // The file may have gone or changed since the scan: it is read and
    // checked again, and only a game goes into the blocks.
    const bool taken = !name.empty() && ReadSaveFile(name.c_str(), head, body) == kSaveOk &&
                       CheckSaveRecord(SaveRecordFromWords(head, body));
    if (taken) {
        ApplyLoadedGame(head, body);
    }
    TraceSlotLoad(index + 1, taken);
    return taken;
}

bool WriteSaveSlot(int32_t index)
{
    const std::string name = SaveSlotName(index);
    const bool written = !name.empty() && WriteSaveFile(name.c_str()) == kSaveOk;
    TraceSlotSave(index + 1, written);
    return written;
}

bool CreateSaveFolder()
{
    const std::string folder = ResolveGamePath("\\SAVE");
    struct stat info;
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    if (::mkdir(folder.c_str(), 0755) != 0) {
        DebugPrint("save: the folder %s cannot be made\n", folder.c_str());
        return false;
    }
    return true;
}

std::u16string SaveFailureText(int32_t number)
{
    const game::MessageEntry *entry =
        g_pGameSystem != nullptr ? g_pGameSystem->messageBox.FindEntry(kFailedSaveEntry) : nullptr;
    auto text = [&](size_t i) {
        return entry != nullptr && i < entry->texts.size() ? entry->texts[i] : std::u16string();
    };
    std::u16string digits;
    for (char c : std::to_string(number)) {
        digits.push_back(static_cast<char16_t>(c));
    }
    if (entry == nullptr) {
        return u"The game could not be saved in slot " + digits + u".";
    }
    return text(0) + u" " + digits + u" " + text(1) + text(2);
}
