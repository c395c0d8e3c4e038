// The traps, AI types 1200 to 1205: actors that stand still, are switched
// on by the events (code 8192 with their group's id), hurt the heroes that
// touch them or stand in their blast, can be destroyed, and reward the
// heroes when destroyed. 1200 and 1205 are flame traps and 1203 a poison
// trap with particle jets, 1202 a timed blast, 1201 a grabbable post that
// regenerates, 1204 a breakable trap without attack. Classes without
// virtual functions: the AI-type table's update is UpdateTrap, a switch on
// the type; what the types share is in trap_kit.h, their differences in
// their rows (trap_traits.h).
#pragma once

#include <cstdint>

#include "actor/ai_object.h"

class CFSF;
class CSParticleSystem;

// 1200 and 1205: the jets A and B on the nodes 100130 and 100140.
class CSTrap1200 : public AiObject {
public:
    bool jetsStarted = false;            // never cleared once the jets start
    CSParticleSystem *jets[2] = {};      // A, B
    int32_t lastWeaponId = 0;

    static void Update(AiObject *actor, float dt);
    static void Think(AiObject *actor, int32_t *next);
    static void Act(AiObject *actor, int32_t *next, float dt);
};

// 1205 thinks as 1203 does (no axes copied after a model is taken).
struct CSTrap1205 {
    static void Update(AiObject *actor, float dt);
    static void Think(AiObject *actor, int32_t *next);
};

// 1203: two jets on each node.
class CSTrap1203 : public AiObject {
public:
    bool jetsStarted = false;
    CSParticleSystem *jets[4] = {};      // A1, B1 on 100130; A2, B2 on 100140
    int32_t lastWeaponId = 0;

    static void Update(AiObject *actor, float dt);
    static void Act(AiObject *actor, int32_t *next, float dt);
};

// The set-state step of 1200, 1203 and 1205 (states 0 to 4).
struct CSTrap {
    static void SetState5(AiObject *actor, CFSF *fsf, int32_t state);
};

// 1202: armed for 5 s, then a blast that grows to 20 over its motion.
class CSTrap1202 : public AiObject {
public:
    float armTimer = 0.0f;
    float blastTimer = 0.0f;
    bool blastStarted = false;  // once per entry into the blast state

    static void Update(AiObject *actor, float dt);
    static void Think(AiObject *actor, int32_t *next);
    static void Act(AiObject *actor, int32_t *next, float dt);
    static void SetState(AiObject *actor, CFSF *fsf, int32_t state);
};

// 1201: a post the heroes grab; switched on it regenerates 50 HP a second.
class CSTrap1201 : public AiObject {
public:
    float regenTimer = 0.0f;

    static void Update(AiObject *actor, float dt);
    static void Think(AiObject *actor, int32_t *next);
    static void Act(AiObject *actor, int32_t *next, float dt);
    static void SetState(AiObject *actor, CFSF *fsf, int32_t state);
};

// 1204: a plain actor that a hit breaks; it takes and deals no damage.
struct CSTrap1204 {
    static void Update(AiObject *actor, float dt);
    static void Think(AiObject *actor, int32_t *next);
    static void SetState(AiObject *actor, CFSF *fsf, int32_t state);
};

// The AI-type table's update, release and effect restart of the traps.
void UpdateTrap(AiObject *actor, float dt);
void ReleaseTrap(AiObject *actor);
