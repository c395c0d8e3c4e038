// The screens' stage table (see stage_table.h).
#include "ui/stage_table.h"

namespace {

// Slot and name text part for stages 27 and 41.
constexpr StageRow kRows[kStageTableRows] = {
    {1, 0, 0, 0},     {2, 1, 1, 1},     {3, 2, 2, 2},     {4, 3, 3, 3},     {5, 4, 4, 4},     {6, 5, 5, 5},
    {8, 6, 7, 7},     {10, 7, 6, 6},    {15, 8, 8, 8},    {16, 9, 9, 9},    {17, 10, 11, 11}, {19, 11, 12, 12},
    {22, 12, 13, 13}, {23, 13, 17, 17}, {25, 14, 14, 14}, {27, 15, 16, 15}, {28, 16, 18, 18}, {29, 17, 19, 19},
    {30, 18, 22, 22}, {31, 19, 20, 20}, {32, 20, 23, 23}, {33, 21, 21, 21}, {34, 22, 25, 25}, {36, 23, 26, 26},
    {37, 24, 27, 27}, {38, 25, 28, 28}, {40, 26, 10, 10}, {41, 27, 15, 16}, {42, 28, 24, 24},
};

}  // namespace

const StageRow &StageRowAt(int i) { return kRows[i]; }

const StageRow *FindStageRowByNumber(int32_t number)
{
    for (const StageRow &row : kRows) {
        if (row.number == number) {
            return &row;
        }
    }
    return nullptr;
}

const StageRow *FindStageRowById(int32_t id)
{
    if (id < 2000000 || (id - 2000000) % 10000 != 0) {
        return nullptr;
    }
    return FindStageRowByNumber((id - 2000000) / 10000);
}

const StageRow *FindStageRow(int32_t numberOrId)
{
    const StageRow *row = FindStageRowByNumber(numberOrId);
    return row != nullptr ? row : FindStageRowById(numberOrId);
}

int32_t StageIdToIndex(int32_t id)
{
    const StageRow *row = FindStageRowById(id);
    return row != nullptr ? row->index : id;
}

int32_t StageNumberToSlot(int32_t number)
{
    const StageRow *row = FindStageRowByNumber(number);
    return row != nullptr ? row->slot : -1;
}
