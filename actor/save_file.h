// Save files: one 1200-byte record per slot, <data root>\SAVE\<name>.SAV,
// slots SAVE01 to SAVE20. Every word is 32-bit little-endian; the record is
// built from a zeroed block out of the screen manager's carried blocks, the
// item manager's lists 0 and 1 and the first hero, and written whole to a
// temporary file that is checked, flushed and renamed over the slot (a
// failure leaves the old save as it was; a temporary file that a killed
// write left is removed by the next scan or write). A read takes exactly
// 1200 bytes: a shorter, longer or unreadable file is no save.
//
// Byte offsets of the record:
//    0 last stage id          4 play time (ms)         8 best hit count
//   12 15 carried item ids   72 their counts          132 29 cleared bytes
//  164 a word kept 0, then 28 words: the cleared-stage list (0 ends it)
//  280 hero AI type         284 equipped ids of slots 0, 1, 2
//  304 HP level, power level, maximum HP, maximum power, money
//  324 9 ability flag bytes (0..2 always 1)
//  336 103 item ids of the hero's own list   748 their counts
// 1160 29 grade bytes (0 best .. 4 worst, 255 none); the rest zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CSHero;
class CSItemManager;

inline constexpr size_t kSaveRecordSize = 1200;
inline constexpr int32_t kSaveSlots = 20;
inline constexpr int32_t kSaveOk = 1;
inline constexpr int32_t kSaveFailed = 10;
inline constexpr int32_t kStageSlots = 29;
inline constexpr int32_t kSavedCarriedItems = 15;
inline constexpr int32_t kSavedHeroItems = 103;
inline constexpr int32_t kCarriedItems = 14;  // the progress block's pairs
inline constexpr int32_t kCarriedHeroItems = 34;  // the hero block's pairs
inline constexpr int32_t kClearedListSize = 28;
inline constexpr int32_t kSaveHeadWords = 70;
inline constexpr int32_t kSaveBodyWords = 230;
inline constexpr uint8_t kNoGrade = 255;

// The screen manager's progress block, fields in order.
struct CarriedProgress {
    uint32_t lastStageId;  // the stage to go on from: the last one finished, or the loaded save's
    uint32_t playTimeMs;
    uint32_t bestHitCount;
    uint32_t itemIds[kCarriedItems];
    int32_t itemCounts[kCarriedItems];
    uint8_t cleared[kStageSlots];  // by stage slot, non-zero cleared
    uint8_t pad0[3];
    uint32_t clearedWord;          // stays 0
    uint32_t clearedList[kClearedListSize];  // slots in clearing order, 0 ends it
};

// The screen manager's hero block, fields in order.
struct CarriedHero {
    int32_t inUse;
    int32_t padIndex;
    int32_t heroType;
    uint32_t equipped[3];
    int32_t hpLevel;
    int32_t powerLevel;
    int32_t maxHP;
    int32_t maxPower;
    int32_t money;
    uint32_t itemIds[kCarriedHeroItems];
    int32_t itemCounts[kCarriedHeroItems];
    uint8_t grades[kStageSlots];  // 255 none
    uint8_t abilityFlags[9];
};

// The blocks' values at a new game: the progress all zero; the hero block
// unused, pad and hero -1, no equipment, levels and money 0, no grade,
// ability flags 1, 1, 1 and six 0.
CarriedProgress NewGameProgress();
CarriedHero NewGameHero();

// The save record, fields in file order.
struct SaveRecord {
    uint32_t lastStageId;
    uint32_t playTimeMs;
    uint32_t bestHitCount;
    uint32_t carriedIds[kSavedCarriedItems];
    int32_t carriedCounts[kSavedCarriedItems];
    uint8_t cleared[kStageSlots];
    uint32_t clearedWord;
    uint32_t clearedList[kClearedListSize];
    int32_t heroType;
    uint32_t equipped[3];
    int32_t hpLevel;
    int32_t powerLevel;
    int32_t maxHP;
    int32_t maxPower;
    int32_t money;
    uint8_t abilityFlags[9];
    uint32_t heroItemIds[kSavedHeroItems];
    int32_t heroItemCounts[kSavedHeroItems];
    uint8_t grades[kStageSlots];
};

// What a save is built from. `items` and `hero` may be null: then the
// carried blocks give the lists and the hero's values.
struct SaveSources {
    const CarriedProgress *progress;
    const CarriedHero *heroBlock;
    const CSItemManager *items;
    CSHero *hero;
};

// The record of the sources. Lists longer than the record's 15 and 103
// pairs are cut in list order.
SaveRecord BuildSaveRecord(const SaveSources &sources);
// The 1200 bytes of a record, and back (false for any other size).
void EncodeSaveRecord(const SaveRecord &record, uint8_t out[kSaveRecordSize]);
bool DecodeSaveRecord(const uint8_t *bytes, size_t size, SaveRecord *out);

// "SAVE01" .. "SAVE20" for slots 0..19 (empty for others).
std::string SaveSlotName(int32_t slot);
// The host path of a slot name; false for a name that is not a plain file name.
bool SaveFileHostPath(const char *slotName, std::string *path);

// Writes the record to the slot: 1, or 10 with the old file kept.
int32_t WriteSaveRecord(const char *slotName, const SaveRecord &record);
// Builds the record from the running game (the screen manager's blocks,
// their new-game values without one; the running stage's item manager and
// first hero) and writes it: 1, or 10.
int32_t WriteSaveFile(const char *slotName);
// Reads the slot: 1 with record words 0..69 in head and 70..299 in body;
// 10 (head and body zeroed) when the file is missing, unreadable, or not
// exactly 1200 bytes.
int32_t ReadSaveFile(const char *slotName, uint32_t head[kSaveHeadWords], uint32_t body[kSaveBodyWords]);
// Whether anything stands at the slot's file, a save or not.
bool SaveFileExists(const char *slotName);
// The same as one record (for the scan and the tests).
int32_t ReadSaveRecord(const char *slotName, SaveRecord *out);
// The record of the words ReadSaveFile gave.
SaveRecord SaveRecordFromWords(const uint32_t head[kSaveHeadWords], const uint32_t body[kSaveBodyWords]);

// One slot as the scan sees it: 33 words.
struct SaveSlotSummary {
    int32_t status;           // 1 read, 10 no file or unreadable
    char16_t name[32];        // the slot name, zero-terminated
    int32_t lastStageId;
    int32_t unused[6];        // left 0
    int32_t heroType;
    int32_t hpLevel;
    int32_t powerLevel;
    int32_t maxHP;
    int32_t maxPower;
    int32_t money;
    int32_t stagesCleared;    // non-zero cleared bytes
    uint32_t playTimeMs;
    uint8_t completed;        // stage slot 27 or 28 cleared
    uint8_t pad[3];
};
static_assert(sizeof(SaveSlotSummary) == 33 * 4, "the slot summary is 33 words");

// Whether a record read whole may be taken as a game (the caller's rules).
typedef bool (*SaveRecordCheck)(const SaveRecord &record);

// Reads SAVE01 .. SAVE20 into out[0..19]; returns 1. With `accept`, a
// record it refuses is no save (status 10) like a file that cannot be read.
// A temporary file that a killed write left beside a slot is removed (the
// write removes it too).
int32_t ScanSaveSlots(SaveSlotSummary out[kSaveSlots], SaveRecordCheck accept = nullptr);
