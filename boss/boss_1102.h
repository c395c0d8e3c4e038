// Boss 1102, the thrower: it wakes when a hero comes near, keeps its
// distance, turns toward its foe and throws at the spot where it last saw
// the foe: a single shot or a volley of eight at frame 439 of its throw,
// and now and then a second throw after it.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "boss/boss_frame.h"

class CFSF;

class CSBoss1102 : public AiObject {
public:
    CSBoss1102() { fullDetail = true; }

    bool KeepAway = false;              // backing away from the foe instead of closing in
    RwV3d AimPoint = {0.0f, 0.0f, 0.0f};  // where the foe stood when it entered the alarm circle
    bool ThrowDone = false;             // the state-3 throw of this visit
    bool SecondThrowDone = false;       // the state-4 throw of this visit
    float IdleTimer = 0.0f;             // seconds in state 1
    float SecondThrowDelay = 0.0f;      // seconds in state 4 before its throw

    static constexpr const boss::BossTraits &kTraits = boss::kBoss1102Traits;
    static constexpr monster::StateSound kSounds[] = {{1, 6300020, 0}, {4, 6120010, 0}, {5, 6230000, 0}};

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);

    // The frame's hooks.
    boss::BossGoal ChooseGoal(const boss::BossWay &way);
    void StateWork(int32_t *next, float dt);
    boss::BossMoveRule MoveRule() const;
};
