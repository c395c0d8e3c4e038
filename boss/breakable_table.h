// The breakable objects' table, AI types 10000 to 10031: one row per type
// with its model (the folder and file name under \RESOURCE\BREAKOBJ\), its
// class, the think variant that says which hits break it, its act (break
// pattern A or B, or a design of its own), its break sound and the id of
// its broken-pieces effect. The AI-type table builds its rows for these
// types from this one (BreakableAiTypeRow, breakable_objects.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

// The classes of the breakable objects.
enum class BreakClass : uint8_t {
    kObj10000,  // CSBreakObj10000: its sparkles' flag; held animation
    kPlain,     // an AiObject alone (10001, 10027)
    kObj10002,  // CSBreakObj10002 (10002 to 10007)
    kObj10008,  // CSBreakObj10008 (10008 to 10025, 10030, 10031)
    kObj10026,  // CSBreakObj10026: the front-only target
    kObj10028,  // CSBreakObj10028: the barrel bombs
};

// Which hits break it (its think step's variant).
enum class BreakThink : uint8_t {
    kS,    // kind 1 with bit 1 or 64; model by distance
    kE,    // as S, and kind 2 with bit 1 (a monster's blow meant for a hero)
    kN,    // as E; the hit also lets its animation run
    kX,    // kind 1 with bit 1 and no sender (effects, not characters)
    kW,    // kind 1 with bit 262144; always holds a model
    kK,    // as W, without the drop override
    kOwn,  // a special design of its own
};

// What its act does when it breaks.
enum class BreakAct : uint8_t {
    kA,         // busy, sound; then drop or money, pieces, removal
    kB,         // busy, pieces fade, sound; then drop and removal
    kSparkles,  // 10000: sparkles, then drop, pieces, removal
    kNoDrop,    // 10001: pieces and removal, no drop
    kDropOnly,  // 10019: drop, pieces, removal
    kOwn,       // a special design of its own
};

struct BreakableRow {
    int32_t aiType;
    const char *modelId;
    BreakClass cls;
    BreakThink think;
    BreakAct act;
    int32_t breakSound;
    int32_t piecesId;   // -1: no pieces effect
    int32_t moneyBase;  // pattern A's money: rand() % 6 + this
};

inline constexpr int32_t kFirstBreakableType = 10000;
inline constexpr int32_t kLastBreakableType = 10031;

//   type, model id, class, think, act, break sound, pieces id, money base
inline constexpr BreakableRow kBreakableRows[] = {
    {10000, "1560100", BreakClass::kObj10000, BreakThink::kN, BreakAct::kSparkles, 6500110, 0, 10},
    {10001, "1560200", BreakClass::kPlain, BreakThink::kK, BreakAct::kNoDrop, 6500120, 1, 10},
    {10002, "1560300", BreakClass::kObj10002, BreakThink::kE, BreakAct::kB, 6500110, -1, 10},
    {10003, "1560400", BreakClass::kObj10002, BreakThink::kE, BreakAct::kB, 6500110, -1, 10},
    {10004, "1560500", BreakClass::kObj10002, BreakThink::kE, BreakAct::kB, 6500110, -1, 10},
    {10005, "1560600", BreakClass::kObj10002, BreakThink::kE, BreakAct::kA, 6500110, 14, 5},
    {10006, "1560700", BreakClass::kObj10002, BreakThink::kE, BreakAct::kB, 6500110, -1, 10},
    {10007, "1560800", BreakClass::kObj10002, BreakThink::kE, BreakAct::kB, 6500110, -1, 10},
    {10008, "1560900", BreakClass::kObj10008, BreakThink::kS, BreakAct::kA, 6500150, 2, 10},
    {10009, "1561000", BreakClass::kObj10008, BreakThink::kS, BreakAct::kA, 6500150, 3, 10},
    {10010, "1561100", BreakClass::kObj10008, BreakThink::kS, BreakAct::kA, 6500150, 4, 10},
    {10011, "1561200", BreakClass::kObj10008, BreakThink::kS, BreakAct::kA, 6500150, 5, 10},
    {10012, "1561300", BreakClass::kObj10008, BreakThink::kS, BreakAct::kB, 6500150, -1, 10},
    {10013, "1561400", BreakClass::kObj10008, BreakThink::kS, BreakAct::kA, 6500150, 7, 10},
    {10014, "1561500", BreakClass::kObj10008, BreakThink::kS, BreakAct::kA, 6500150, 8, 10},
    {10015, "1561600", BreakClass::kObj10008, BreakThink::kS, BreakAct::kB, 6500120, -1, 10},
    {10016, "1561700", BreakClass::kObj10008, BreakThink::kS, BreakAct::kB, 6500120, -1, 10},
    {10017, "1561800", BreakClass::kObj10008, BreakThink::kS, BreakAct::kB, 6500160, -1, 10},
    {10018, "1561900", BreakClass::kObj10008, BreakThink::kN, BreakAct::kB, 6500110, -1, 10},
    {10019, "1562000", BreakClass::kObj10008, BreakThink::kN, BreakAct::kDropOnly, 6500110, 13, 10},
    {10020, "1570100", BreakClass::kObj10008, BreakThink::kX, BreakAct::kB, 6500140, -1, 10},
    {10021, "1570200", BreakClass::kObj10008, BreakThink::kX, BreakAct::kB, 6500340, -1, 10},
    {10022, "1570300", BreakClass::kObj10008, BreakThink::kW, BreakAct::kB, 6500140, -1, 10},
    {10023, "1570400", BreakClass::kObj10008, BreakThink::kW, BreakAct::kB, 6500140, -1, 10},
    {10024, "1570500", BreakClass::kObj10008, BreakThink::kW, BreakAct::kB, 6500140, -1, 10},
    {10025, "1570600", BreakClass::kObj10008, BreakThink::kW, BreakAct::kB, 6500140, -1, 10},
    {10026, "1580100", BreakClass::kObj10026, BreakThink::kOwn, BreakAct::kOwn, 6500190, -1, 10},
    {10027, "1580200", BreakClass::kPlain, BreakThink::kOwn, BreakAct::kOwn, 6120010, -1, 10},
    {10028, "1570700", BreakClass::kObj10028, BreakThink::kOwn, BreakAct::kOwn, 6500320, -1, 10},
    {10029, "1570800", BreakClass::kObj10028, BreakThink::kOwn, BreakAct::kOwn, 6500320, -1, 10},
    {10030, "1580300", BreakClass::kObj10008, BreakThink::kW, BreakAct::kB, 6500140, -1, 10},
    {10031, "1580400", BreakClass::kObj10008, BreakThink::kW, BreakAct::kB, 6500140, -1, 10},
};

// The row of a breakable object's type; null for another type.
constexpr const BreakableRow *BreakableRowOf(int32_t aiType)
{
    if (aiType < kFirstBreakableType || aiType > kLastBreakableType) {
        return nullptr;
    }
    const BreakableRow &row = kBreakableRows[aiType - kFirstBreakableType];
    return row.aiType == aiType ? &row : nullptr;
}

static_assert(std::size(kBreakableRows) == kLastBreakableType - kFirstBreakableType + 1, "one row per type");
constexpr bool RowsInTypeOrder()
{
    for (size_t i = 0; i < std::size(kBreakableRows); ++i) {
        if (kBreakableRows[i].aiType != kFirstBreakableType + static_cast<int32_t>(i)) {
            return false;
        }
    }
    return true;
}
static_assert(RowsInTypeOrder(), "a type's row stands at its type's place");
