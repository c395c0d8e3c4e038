// Boss 1107, built like 1106 (the forward walker, boss_walker.h) with walk
// input 1: at 60, 30 and 10 % of its HP it forces its special attack
// (state 20), which runs slowed until frame 10280 and ends in a wave; it
// carries two particle systems on its hands for as long as it has a model.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "boss/boss_frame.h"

class CFSF;
class CSParticleSystem;

class CSBoss1107 : public AiObject {
public:
    CSBoss1107() { fullDetail = true; }

    float guardTimer = 0.0f;     // state 19
    float recoveryTimer = 0.0f;  // state 16
    float waitTimer = 0.0f;      // state 3
    bool phaseDone[3] = {};  // 60, 30 and 10 %
    bool specialDone = false;    // state 20's wave
    bool faced11 = false;
    bool faced13 = false;
    bool faced20 = false;
    bool effect8 = false;
    bool effect13 = false;
    CSParticleSystem *bodyA = nullptr;  // on the frame 100160
    CSParticleSystem *bodyB = nullptr;  // on the frame 100150
    bool bodyStarted = false;
    bool frameSeq11 = false;     // state 11's frame sequence started
    bool frameSeq13 = false;

    static constexpr const boss::BossTraits &kTraits = boss::kBoss1107Traits;
    static constexpr monster::StateSound kSounds[] = {
        {4, 6250020, 0},  {5, 6300080, 0},  {12, 6300080, 0}, {7, 6300090, 0}, {9, 6300100, 0}, {14, 6300100, 0},
        {11, 6250010, 0}, {17, 6250030, 0}, {20, 6250000, 0}, {21, 6250040, 0}};

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);

    // The body particles: started once the boss has a model; without one
    // (and at death) they stop and go back to their pool once their
    // particles are gone, so that the next model starts them afresh.
    void StepBodyParticles();
    void LetGoBodyParticles();
    // The AI-type table's release: the stage goes, and with it the frames
    // the body particles follow; they go back to their pool at once.
    static void ReleaseOf(AiObject *actor);
};
