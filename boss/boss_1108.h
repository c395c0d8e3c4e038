// Boss 1108, the teleporter: in its teleport state it swaps places with one
// of up to six partner actors of the stage (AIIDs 100 to 105) that is
// ready for it, or jumps to one of three fixed points of its arena; it
// dashes at its target until a wall, an actor or 3 s stop it; its ground
// attack raises a swarm. At 0 HP it goes straight to its gone state.
// Boss 1105 shares its set-state body.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "boss/boss_frame.h"

class CFSF;

class CSBoss1108 : public AiObject {
public:
    CSBoss1108() { fullDetail = true; }

    static constexpr int32_t kPartnerSlots = 6;
    // The fixed teleport points of the arena that holds the boss.
    static constexpr RwV3d kTeleportPoints[3] = {
        {-791.47f, 0.0f, 187.02f}, {-689.78f, 0.0f, 255.29f}, {-549.69f, 0.0f, 182.04f}};

    bool inRange = false;                        // the last sensing had a hero within AttackRange
    RwV3d rememberedPoint = {0.0f, 0.0f, 0.0f};  // the target's position, taken in the alarm circle
    bool swarmDone = false;                      // state 2's swarm of this visit
    bool teleportDone = false;                   // state 5's teleport of this visit
    float dashTimer = 0.0f;                      // state 1
    AiObject *partners[kPartnerSlots] = {};      // filled once by the first act
    int32_t partnersFilled = 0;
    RwV3d teleportPoints[3] = {kTeleportPoints[0], kTeleportPoints[1], kTeleportPoints[2]};

    static constexpr const boss::BossTraits &kTraits = boss::kBoss1108Traits;
    static constexpr monster::StateSound kSounds[] = {{2, 6260010, 0}, {3, 6260030, 0}, {5, 6260020, 0}};

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);

    // The frame's hooks.
    void WhileRemoved() { busy = true; }
    boss::BossGoal ChooseGoal(const boss::BossWay &way);
    void StateWork(int32_t *next, float dt);
    boss::BossMoveRule MoveRule() const;

    // The partners: every actor of the chain with AIID 100 to 105, in chain
    // order, at most six.
    void FillPartners();
    // The teleport of state 5: the partner of the slot the state random
    // picks, when ready, swaps places with the boss; else the boss jumps to
    // the fixed point the state random picks (35 / 35 / 30 %).
    void Teleport();
    // The dash of state 1 (see boss_1108.cpp).
    void StepDash(int32_t *next, float dt);
    // Whether an actor may be swapped with.
    static bool PartnerReady(const AiObject *partner);
};

// The set-state body that bosses 1105 and 1108 share (states 0 to 6).
void EnterBoss1108State(AiObject *boss, CFSF *fsf, int32_t state);
