// The per-id constants that the per-event load hands to each kind. Each
// array is one kind's presets; the id table's preset column (event_kind.h)
// names a row of its kind's array, 1-based (0: the kind has none for the id).
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

struct MoviePreset {
    int32_t movieKind;
    uint8_t flag;
};
inline constexpr MoviePreset kMoviePresets[] = {{100, 0}, {200, 1}, {300, 1}, {600, 0}};

struct ToxicGasPreset {
    int32_t outlets;
    const char *firstParticles;
    const char *secondParticles;  // null: one particle file
};
inline constexpr ToxicGasPreset kToxicGasPresets[] = {
    {3, "3517900.ZUS", "3517901.ZUS"},
    {2, "3518000.ZUS", nullptr},
    {6, "3511700.ZUS", nullptr},
};

struct StarEffectPreset {
    int32_t condition;
    float timeLimit;
};
inline constexpr StarEffectPreset kStarEffectPresets[] = {{100, 10.0f}, {500, 100.0f}, {300, 100.0f}, {300, 50.0f}};

// The one condition code of the NPC signal and NPC appear set-ups.
inline constexpr int32_t kNpcSignalCodes[] = {300, 400};
inline constexpr int32_t kNpcAppearCodes[] = {100, 300, 400, 500};

struct LastNpcPreset {
    int32_t payload;  // a non-zero Param replaces it
    uint8_t useLinked;
};
inline constexpr LastNpcPreset kLastNpcPresets[] = {
    {5401002, 0}, {5401002, 1}, {5401004, 0}, {5401004, 1}, {5401007, 0}, {5401007, 1}, {0, 0}, {0, 1},
};

// The one condition value that the load stores in the kind's first field.
inline constexpr int32_t kLinkStarterValues[] = {1};
inline constexpr int32_t kTalkStarterValues[] = {1, 100, 200};
inline constexpr int32_t kTrapNoticeValues[] = {100, 300};

struct StageExitPreset {
    int32_t condition;
    uint8_t flag;
};
inline constexpr StageExitPreset kStageExitPresets[] = {{300, 1}, {400, 1}, {500, 1}, {500, 0}};

// The boss-introduction events whose load asks for the boss gauge once.
inline constexpr int32_t kBossGaugeEventIds[] = {79080100, 79150100, 79150300, 79220100, 79270100, 79320100,
                                                79360100, 79360700, 79361400, 79370100, 79380100};

// The preset of `row` (1-based) in `presets`; null for 0 or a row past the end.
template <class T, size_t N>
constexpr const T *PresetRow(const T (&presets)[N], uint8_t row)
{
    return row >= 1 && row <= N ? &presets[row - 1] : nullptr;
}
