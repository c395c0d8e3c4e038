// Boss 1104, the spell caster: it circles its foe and backs off, casts a
// tornado, a bolt and a ring of vines at fixed frames of its spells with a
// casting beam from its weapon to the foe, guards, and at 70, 40 and 10 %
// of its HP calls its partner, boss 1105, to its side for 30 s (the later
// calls only when the partner is there and not out).
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "boss/boss_beam.h"
#include "boss/boss_frame.h"

class CFSF;
class CSBoss1105;

class CSBoss1104 : public AiObject {
public:
    CSBoss1104() { fullDetail = true; }

    float CircleTimer = 0.0f;  // time in state 1
    float PeekTimer = 0.0f;    // state 9's interval
    float GuardTimer = 0.0f;   // time guarding in state 11
    float CallTimer = 0.0f;    // time since the partner was called
    bool PartnerCalled = false; // the partner is wanted at the boss's side
    float BackOffTimer = 0.0f; // time in state 2
    bool SideChosen = false;   // the side of this visit of state 1 is chosen
    bool CircleSide = false;   // which way it circles
    CSBoss1105 *Partner = nullptr;  // the stage's boss 1105, looked up once
    bool PartnerLooked = false;
    bool CallDone[3] = {false, false, false};  // 70, 40 and 10 %
    bool BoltDone = false;     // the spells of this visit of states 4, 5, 3
    bool VinesDone = false;
    bool TornadoDone = false;
    boss::BossBeam Beam;       // the casting beam of this visit

    static constexpr const boss::BossTraits &kTraits = boss::kBoss1104Traits;
    static constexpr monster::StateSound kSounds[] = {{1, 6240080, 0}, {2, 6240080, 0}, {3, 6240000, 0},
                                                      {5, 6240000, 0}, {4, 6240020, 0}, {6, 6240040, 0},
                                                      {9, 6240050, 0}, {10, 6240060, 0}, {12, 6240070, 0}};

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);

    // The move point of the back-off (state 2) and the circling (state 1).
    void StepCircling(int32_t *next, float dt, boss::BossGoal *goal);
    // The three spells, once per visit at their frames.
    void StepSpells();
    // The calls at 70, 40 and 10 % and the partner kept at the boss's side
    // for 30 s.
    void StepCalls(int32_t *next, float dt);
    // Sends the partner away (its call word cleared).
    void SendPartnerAway();
    // The AI-type table's release: the beam goes back to its pool at once.
    static void ReleaseOf(AiObject *actor);
    static void ModelGone(AiObject *actor);
};
