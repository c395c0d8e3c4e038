// The template-D rows and the shared update (see template_d.h).
#include "monster/template_d.h"

#include "monster/kit_state.h"

namespace monster {

namespace {

//   type, last, random, hold, excluded, refresh in sensing, home, ignore-foes,
//   lost target, attack delay, radians
constexpr TemplateDMembers kMembers[] = {
    {1000, 31, true, 31, {26, 27}, false, 25.0f, 6.0f, 0.3f, 0.15f, true},
    {1002, 37, true, 37, {32, 33}, false, 10.0f, 6.0f, 1.0f, 1.0f, false},
    {1003, 34, true, 34, {31, 32}, true, 10.0f, 20.0f, 1.0f, 1.0f, false},
    {1004, 35, true, 35, {31, 32}, false, 10.0f, 10.0f, 1.0f, 1.0f, false},
    {1005, 29, false, 29, {27, 28}, true, 10.0f, 6.0f, 1.0f, 1.0f, true},
    {1006, 31, true, 31, {26, 27}, true, 10.0f, 6.0f, 0.3f, 0.3f, true},
    {1007, 29, true, 29, {26, 27}, false, 10.0f, 6.0f, 0.3f, 0.05f, false},
    {1021, 32, true, 32, {30, 31}, false, 10.0f, 20.0f, 1.0f, 0.5f, false},
};

}  // namespace

const TemplateDMembers *TemplateDMembersOf(int32_t aiType)
{
    switch (aiType) {
    case 1000:
        return &kMembers[0];
    case 1002:
        return &kMembers[1];
    case 1003:
        return &kMembers[2];
    case 1004:
        return &kMembers[3];
    case 1005:
        return &kMembers[4];
    case 1006:
        return &kMembers[5];
    case 1007:
        return &kMembers[6];
    case 1021:
        return &kMembers[7];
    default:
        return nullptr;
    }
}

void RunTemplateDUpdate(AiObject *actor, float dt, const TemplateDMembers &members, const TemplateDSteps &steps)
{
    if (actor->removed) {
        return;
    }
    int32_t next = -1;
    const bool excluded = IsOneOf(actor->state, members.excludedStates);
    actor->broadcastExcluded = excluded;
    actor->solid = !excluded;
    steps.think(actor, &next, dt);
    if (actor->active && actor->fullDetailFrame) {
        steps.act(actor, &next, dt);
        actor->accumulatedTime = 0.0f;
    }
    if (actor->removed) {
        return;
    }
    if (actor->eventHeld && !actor->dying) {
        if (actor->holdState) {
            FeedInput(actor, &next, 0);
        } else {
            next = members.holdState;
        }
    }
    TemplateDSetState(actor, actor->Fsf(), next, members);
}

void TemplateDSetState(AiObject *actor, CFSF *fsf, int32_t state, const TemplateDMembers &members)
{
    EnterState(actor, fsf, state, members.lastState, members.drawsStateRandom);
}

}  // namespace monster
