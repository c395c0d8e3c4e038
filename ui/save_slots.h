// The 20 save slots as the screens see them: the slot list filled from a
// scan of the save folder, the rules that tell a saved game from a damaged
// file, and a slot loaded into the screen manager's carried blocks or
// written from the running game. The record itself and its files belong
// to actor/save_file.h.
//
// A slot file is a saved game (state 0) only when it is exactly one record
// that passes CheckSaveRecord; anything else shows as an empty slot (1).
// The damaged ones are never used: no name, photo, hero picture or stage
// comes from a field that was not checked. Each slot also knows whether a
// file stands there at all, so that none is written over unasked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "actor/save_file.h"

inline constexpr int32_t kSlotSaved = 0;
inline constexpr int32_t kSlotEmpty = 1;
inline constexpr int32_t kSlotUnknown = -1;
inline constexpr uint32_t kSlotListCounter = 60000;

// One slot, fields in order.
struct SaveSlotInfo {
    std::unique_ptr<char16_t[]> name;  // the slot's name ("SAVE01"), or none
    int32_t lastStageId = 0;
    int32_t state = kSlotUnknown;       // 0 saved game, 1 empty, -1 not known
    int32_t hero = -1;                  // hero AI type 0 or 1
    int32_t maxHP = 0;
    int32_t maxPower = 0;
    int32_t money = 0;
    int32_t stagesCleared = 0;
    uint32_t playTimeMs = 0;
    uint8_t completed = 0;              // stage slot 27 or 28 cleared
    uint8_t fileThere = 0;              // a file stands at the slot, a game or not

    // A copy of the text, none for null or an empty text.
    void SetName(const char16_t *text);
    const char16_t *GetName() const { return name.get(); }
    // 0, 1 and 2 are kept as given, anything else becomes -1.
    void SetState(int32_t value);
};

class CSSaveSlotList {
public:
    CSSaveSlotList();
    void Release();

    // Scans the save folder: each slot's state, and for a saved game its
    // values. A slot that is no game keeps the values of an earlier scan.
    bool Refresh();

    SaveSlotInfo &Slot(int32_t i) { return slots_[i]; }
    const SaveSlotInfo &Slot(int32_t i) const { return slots_[i]; }

    int32_t scanned = 0;   // 1 after a scan
    uint32_t counter = 0;  // set by every scan

private:
    std::unique_ptr<SaveSlotInfo[]> slots_;
};

// Whether a record read whole is a game: hero 0 or 1, a last stage of the
// 29-stage table, the word before the cleared list 0, the list's entries
// in 1..28 up to its first 0 and only 0 after it, every grade 0..4 or 255,
// no item count below 0.
bool CheckSaveRecord(const SaveRecord &record);

// "SAVE01" .. "SAVE20" for the slot numbers 1..20.
std::string SlotFileName(int32_t number);

// Puts a read record (words 0..69 and 70..299) into the screen manager's
// progress and hero blocks and makes its last stage the stage to enter.
void ApplyLoadedGame(const uint32_t head[kSaveHeadWords], const uint32_t body[kSaveBodyWords]);

// Reads slot `index` (0..19), checks it and applies it: false, with the
// blocks untouched, when the file is gone, not one record, or refused.
bool LoadSaveSlot(int32_t index);
// Writes the running game into slot `index`: true when written.
bool WriteSaveSlot(int32_t index);

// Makes the save folder under the data root (an existing one, in any
// letter case, is kept); false when there is none afterwards.
bool CreateSaveFolder();

// Message entry 13 for a failed write into slot `number` (1..20): text 0,
// the number between single blanks, texts 1 and 2.
std::u16string SaveFailureText(int32_t number);
