// What the boss frame does differently from one boss to the next: one
// constexpr row per boss AI type (1100 to 1110), read by the shared steps
// of the frame (boss_frame.h). The first columns say how the frame itself
// runs for the boss (the states its set-state step takes, where an event
// holds it, how it dies, when a hit stops it or costs nothing, who may
// target it, whether its blows are tested on the heroes and how it ends);
// the last ones give the values of the patterns several bosses repeat
// with their own numbers (guard, recovery, escape, HP phases, the kept
// target).
#pragma once

#include <cstdint>

namespace boss {

// What the gone state leaves.
enum class BossEnd : uint8_t {
    kFadeDropReward,  // dying fade and status particles, then drop, reward, removal
    kDropReward,      // no dying state: drop, reward, removal
    kRewardOnly,      // reward and removal
    kNone,            // never loses HP
};

// When the targetable flag is cleared (it is set otherwise).
enum BossUntargetable : uint8_t {
    kUntargetableWhenDown = 1,
    kUntargetableWhenBusy = 2,
    kUntargetableWhenExcluded = 4,  // broadcast-excluded
    kUntargetableAlways = 8,
};

// The escape input 108: from three hurtable frames in a 2-s hurt window,
// or from three exits of the flinch state within 2 s.
enum class BossEscape : uint8_t { kNone, kHurtableFrames, kFlinchExits };

inline constexpr int32_t kBossInputHpPhase = 16;
inline constexpr int32_t kBossInputRecovery = 17;
inline constexpr int32_t kBossInputGuardEnd = 18;
inline constexpr int32_t kBossInputEscape = 108;

struct BossTraits {
    int32_t aiType;
    // The set-state step takes 0 .. stateBound - 1 (unsigned, so -1 is
    // refused); 1106 and 1107 write the state-change log line.
    int32_t stateBound;
    bool logsStateChange;
    int32_t holdState;   // forced while event-held
    int32_t dyingState;  // -1: none
    int32_t goneState;
    int32_t hitStopStates[2];  // damage taken here starts the hit-stop
    // The hurt input of a hit with bit 64, and whether it also brings the
    // guard-break status 8; -1: the boss ignores hits.
    int32_t heavyInput;
    bool heavyBreaksGuard;
    int32_t noDamageStates[2];  // a hit's damage counts here only with bit 64
    int32_t noDamageAlways[2];  // and here not at all
    uint8_t untargetableWhen;   // BossUntargetable bits
    int32_t untargetableStates[10];
    bool hitsHeroes;         // the act step's weapon test on the heroes
    int32_t noHeroHitState;  // a state without that test (-1: none)
    BossEnd end;

    // The patterns: guard state and time, the recovery state's input 17
    // (interval, state random below), the escape, the HP phases (fractions
    // of MaxHP, `atOrBelow` or strictly below, the phase state), and the
    // 1.0-s lost-target timer of the sensing rule.
    int32_t guardState;
    float guardSeconds;
    int32_t recoveryState;
    float recoveryInterval;
    int32_t recoveryBelow;
    BossEscape escape;
    float phases[3];
    bool phasesAtOrBelow;
    int32_t phaseState;
    bool keepsLostTarget;
};

// Untargetable bits as the rows combine them.
inline constexpr uint8_t kDownOrBusy = kUntargetableWhenDown | kUntargetableWhenBusy;
inline constexpr uint8_t kDownBusyOrExcluded = kDownOrBusy | kUntargetableWhenExcluded;

// Rows: type, bound, log line, hold, dying, gone, hit-stop states, heavy
// input and guard break, no-damage states (unless heavy; always),
// untargetable when and in which states, hero hit test and the state
// without it, end; guard state and time, recovery state, interval and
// bound, escape, HP phases (below or at), phase state, lost-target timer.
inline constexpr BossTraits kBoss1100Traits = {
    1100, 8, false, 7, 3, 4, {2, -1}, 102, false, {-1, -1}, {-1, -1}, kUntargetableAlways,
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, true, -1, BossEnd::kFadeDropReward,
    -1, 0.0f, -1, 0.0f, 0, BossEscape::kNone, {0.0f, 0.0f, 0.0f}, false, -1, false};
inline constexpr BossTraits kBoss1101Traits = {
    1101, 33, false, 32, 27, 29, {20, -1}, 102, true, {26, -1}, {-1, -1}, kDownBusyOrExcluded,
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, true, 13, BossEnd::kFadeDropReward,
    26, 2.0f, 20, 0.3f, 20, BossEscape::kHurtableFrames, {0.0f, 0.0f, 0.0f}, false, -1, true};
inline constexpr BossTraits kBoss1102Traits = {
    1102, 8, false, 7, 5, 6, {4, -1}, 100, false, {-1, -1}, {-1, -1}, kDownOrBusy,
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, false, -1, BossEnd::kFadeDropReward,
    -1, 0.0f, -1, 0.0f, 0, BossEscape::kNone, {0.0f, 0.0f, 0.0f}, false, -1, true};
inline constexpr BossTraits kBoss1103Traits = {
    1103, 35, false, 34, 5, 6, {22, -1}, 102, true, {28, -1}, {-1, -1}, kDownBusyOrExcluded,
    {21, -1, -1, -1, -1, -1, -1, -1, -1, -1}, true, -1, BossEnd::kFadeDropReward,
    28, 2.0f, 22, 0.3f, 20, BossEscape::kHurtableFrames, {0.6f, 0.3f, 0.1f}, false, 21, true};
inline constexpr BossTraits kBoss1104Traits = {
    1104, 15, false, 14, 12, 13, {9, 10}, 102, true, {11, -1}, {-1, -1}, kUntargetableWhenBusy,
    {3, 4, 5, 6, -1, -1, -1, -1, -1, -1}, false, -1, BossEnd::kFadeDropReward,
    11, 2.0f, 9, 0.2f, 60, BossEscape::kNone, {0.7f, 0.4f, 0.1f}, true, 6, false};
inline constexpr BossTraits kBoss1105Traits = {
    1105, 7, false, 6, -1, -1, {-1, -1}, -1, false, {-1, -1}, {-1, -1}, kUntargetableAlways,
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, false, -1, BossEnd::kNone,
    -1, 0.0f, -1, 0.0f, 0, BossEscape::kNone, {0.0f, 0.0f, 0.0f}, false, -1, false};
inline constexpr BossTraits kBoss1106Traits = {
    1106, 25, true, 24, 21, 22, {16, -1}, 102, true, {18, 19}, {-1, -1}, kDownOrBusy,
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, true, -1, BossEnd::kFadeDropReward,
    19, 2.0f, 16, 0.2f, 20, BossEscape::kNone, {0.0f, 0.0f, 0.0f}, false, -1, true};
inline constexpr BossTraits kBoss1107Traits = {
    1107, 25, true, 24, 21, 22, {16, -1}, 102, true, {18, 19}, {-1, -1}, kDownOrBusy,
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, true, -1, BossEnd::kFadeDropReward,
    19, 1.0f, 16, 0.2f, 60, BossEscape::kNone, {0.6f, 0.3f, 0.1f}, false, 20, true};
inline constexpr BossTraits kBoss1108Traits = {
    1108, 7, false, 6, -1, 4, {3, -1}, 102, false, {-1, -1}, {-1, -1}, kDownOrBusy,
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, false, -1, BossEnd::kDropReward,
    -1, 0.0f, -1, 0.0f, 0, BossEscape::kNone, {0.0f, 0.0f, 0.0f}, false, -1, true};
inline constexpr BossTraits kBoss1109Traits = {
    1109, 26, false, 25, -1, 24, {17, 18}, 102, true, {23, -1}, {14, 15}, kUntargetableWhenBusy,
    {5, 6, 8, 9, 11, 12, 13, 14, 15, -1}, true, -1, BossEnd::kRewardOnly,
    23, 1.0f, 17, 0.2f, 60, BossEscape::kFlinchExits, {0.6f, 0.3f, 0.1f}, true, 14, false};
inline constexpr BossTraits kBoss1110Traits = {
    1110, 26, false, 25, -1, 24, {17, 18}, 102, true, {23, -1}, {14, 15}, kUntargetableWhenBusy,
    {5, 6, 8, 9, 11, 12, 13, 14, 15, -1}, true, -1, BossEnd::kRewardOnly,
    23, 1.0f, 17, 0.2f, 60, BossEscape::kFlinchExits, {0.6f, 0.3f, 0.1f}, true, 14, false};

// The row of boss `aiType`, null for another type.
const BossTraits *BossTraitsOf(int32_t aiType);

}  // namespace boss
