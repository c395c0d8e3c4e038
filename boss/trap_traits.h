// What tells the trap types apart, one constexpr row per AI type: the
// states each setter accepts, its jets (particle file, node, start value)
// and their display word, the status its blows bring and the repeat that
// status is renewed by, the reward range when nothing drops, and its
// folder (the AI-type table's model id). The steps the types share read
// their row; only what no row can say is a type's own code.
#pragma once

#include <cstdint>

inline constexpr int32_t kTrapJetNodeA = 100130;
inline constexpr int32_t kTrapJetNodeB = 100140;
inline constexpr int32_t kTrapBlastNode = 100090;
inline constexpr int32_t kTrapMaxJets = 4;

// Sounds of the traps.
inline constexpr int32_t kTrapHurtSound = 6300200;
inline constexpr int32_t kTrapState1Sound = 6500300;
inline constexpr int32_t kTrapState2Sound = 6500220;
inline constexpr int32_t kTrapState3Sound = 6500150;
inline constexpr int32_t kTrapBlastSound = 6500230;

// The inputs the traps feed.
inline constexpr int32_t kTrapInputSwitchOn = 10;   // 1200, 1202, 1203, 1205
inline constexpr int32_t kTrapInputPostOn = 2;      // 1201
inline constexpr int32_t kTrapInputHit = 1;         // 1204

// Trap 1202's blast and 1201's regeneration.
inline constexpr float kTrapArmSeconds = 5.0f;
inline constexpr float kTrapBlastRadius = 20.0f;
inline constexpr float kTrapRegenSeconds = 1.0f;
inline constexpr int32_t kTrapRegenHp = 50;

// One jet: its particle file, the node (by frame tag) it sits on and the
// start value it emits with.
struct TrapJet {
    const char *file;
    int32_t node;
    float startValue;
};

// How a blow's status is renewed on a hero still in reach: the hero's
// burning look (16) or its poison tint (32) has ended.
enum class TrapStatus : uint8_t { kNone, kBurn, kPoison };

struct TrapTraits {
    int32_t aiType;
    int32_t lastState;          // the setter takes states 0..lastState
    bool snapsToGround;         // a model taken is put on the ground
    bool syncsAxesAfterUpdate;  // its update copies them after the set-state step
    TrapJet jets[kTrapMaxJets];
    int32_t jetCount;
    uint8_t jetDisplayWord;     // the second display word of the jets
    int32_t blowAttribute;      // the kind-2 hit's attribute bits
    TrapStatus renewedBy;
    int32_t rewardBase;         // reward (rand() % span + base) x the multiplier
    int32_t rewardSpan;
    int32_t dyingState;         // death tint
    int32_t goneState;          // drop, reward, removal
};

inline constexpr TrapTraits kTrapTraits[] = {
    {1200, 4, true, false,
     {{"3518100.zus", kTrapJetNodeA, 1.0f}, {"3518100.zus", kTrapJetNodeB, 0.0f}, {}, {}}, 2, 2, 16,
     TrapStatus::kBurn, 5, 6, 3, 4},
    {1201, 5, true, false, {}, 0, 0, 0, TrapStatus::kNone, 0, 0, 4, 5},
    {1202, 3, true, false,
     {{"3518400.zus", kTrapBlastNode, 1.0f}, {"3518401.zus", kTrapBlastNode, 1.0f}, {}, {}}, 2, 6, 32,
     TrapStatus::kPoison, 0, 0, 2, 3},
    {1203, 4, true, true,
     {{"3518600.zus", kTrapJetNodeA, 1.0f},
      {"3518601.zus", kTrapJetNodeA, 0.0f},
      {"3518600.zus", kTrapJetNodeB, 0.0f},
      {"3518601.zus", kTrapJetNodeB, 0.0f}},
     4, 6, 32, TrapStatus::kPoison, 50, 51, 3, 4},
    {1204, 6, false, false, {}, 0, 0, 0, TrapStatus::kNone, 0, 0, 6, 6},
    {1205, 4, true, true,
     {{"3518100.zus", kTrapJetNodeA, 1.0f}, {"3518100.zus", kTrapJetNodeB, 0.0f}, {}, {}}, 2, 2, 16,
     TrapStatus::kBurn, 5, 6, 3, 4},
};

inline constexpr const TrapTraits *TrapTraitsOf(int32_t aiType)
{
    for (const TrapTraits &row : kTrapTraits) {
        if (row.aiType == aiType) {
            return &row;
        }
    }
    return nullptr;
}

// The flame and gas traps pay a reward when nothing drops, each drawn over
// a span of at least one.
static_assert(TrapTraitsOf(1200)->rewardSpan > 0 && TrapTraitsOf(1203)->rewardSpan > 0 &&
              TrapTraitsOf(1205)->rewardSpan > 0);
