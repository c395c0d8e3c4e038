// The game's 29 stages as the screens know them: for each stage number n
// (id 2000000 + 10000 n) its index in stage order, its slot in the
// progress and hero blocks, and which text of message entry 22 names it.
#pragma once

#include <cstdint>

inline constexpr int kStageTableRows = 29;
inline constexpr int32_t kStageNameEntry = 22;

struct StageRow {
    int32_t number;
    int32_t index;
    int32_t slot;
    int32_t nameText;
};

inline constexpr int32_t StageIdOfNumber(int32_t number) { return 2000000 + 10000 * number; }

// The row of stage number n, null for a number the table does not hold.
const StageRow *FindStageRowByNumber(int32_t number);
// The row of a stage id, null for any other value.
const StageRow *FindStageRowById(int32_t id);
// A stage number (1..42) or a stage id; null for anything else.
const StageRow *FindStageRow(int32_t numberOrId);
const StageRow &StageRowAt(int i);

// The index of a stage id; any other value comes back unchanged.
int32_t StageIdToIndex(int32_t id);
// The slot of stage number n, -1 for any other number.
int32_t StageNumberToSlot(int32_t number);
