// The non-player characters of AI types 100 to 118: figures that in-game
// events show, hide, animate and release. Their behaviour is made of three
// message loops, three state setters and three updates, chosen per type by
// one table (NpcRowOf); type 112 has an act step of its own (npc_112.cpp,
// on the CSMonster1004 layout) and the fighting character 10 a full think
// and act (npc_10.h). Most types are plain actors; 103 has a class that is
// never in anyone's way.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"

class CFSF;
class CSMonster1004;

// Type 103: an actor that other characters' moves pass through.
class CSNpc103 : public AiObject {
public:
    CSNpc103() { nonBlocking = true; }
};

// The families of the table.
enum class NpcUpdate : uint8_t {
    kHold,         // CSNpc::UpdateHold
    kShow,         // CSNpc::UpdateShow
    kShowLocked,   // CSNpc::UpdateShowLocked
    kOwn,          // the type's own update (112, 10)
};
enum class NpcThink : uint8_t { kHold, kShow, kShowLocal, kOwn };
enum class NpcSetter : uint8_t { kState2, kState2Plain, kState12, kOwn };

// Each row names what its update reads: the hold and show updates their
// loop and setter; the types with an update of their own need nothing
// more.
struct NpcRow {
    int32_t aiType;
    NpcUpdate update;
    NpcThink think = NpcThink::kOwn;
    NpcSetter setter = NpcSetter::kOwn;
};
// The row of a non-player character's type; null for any other type.
const NpcRow *NpcRowOf(int32_t aiType);

struct CSNpc {
    // The message loops. The hold loop shows the character for its
    // event's code 8192, lets it go on 16384 and feeds input 0 on each
    // sensing; the show loops feed one input once (1 when an event shows
    // or releases it). False when a wanted model is not to be had (the
    // loop ended at once, nothing fed).
    static bool ThinkHold(AiObject *actor, int32_t *next);
    static bool ThinkShow(AiObject *actor, int32_t *next);
    static bool ThinkShowLocal(AiObject *actor, int32_t *next);
    // The state setters: states 0 and 1 (the motion left alone while the
    // event owns the model, or changed whatever it owns), or 0 to 11.
    static void SetState2(AiObject *actor, CFSF *fsf, int32_t state);
    static void SetState2Plain(AiObject *actor, CFSF *fsf, int32_t state);
    static void SetState12(AiObject *actor, CFSF *fsf, int32_t state);
    // The updates, by the row.
    static void UpdateHold(AiObject *actor, const NpcRow &row);
    static void UpdateShow(AiObject *actor, const NpcRow &row);
    static void UpdateShowLocked(AiObject *actor, const NpcRow &row);
};

// Type 112 (on the CSMonster1004 layout): an act with its effects, and
// its end in state 6.
struct CSNpc112 {
    static void Update(CSMonster1004 *self, float dt);
    static void Think(CSMonster1004 *self, int32_t *next);
    static void Act(CSMonster1004 *self, int32_t *next);
    static void SetState(CSMonster1004 *self, CFSF *fsf, int32_t state);
};

// The update of a non-player character (10 and 100 to 118) by its row;
// nothing for another type.
void UpdateNpc(AiObject *actor, float dt);
