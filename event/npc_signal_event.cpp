// The NPC signal events (see npc_signal_event.h).
#include "event/npc_signal_event.h"

#include "actor/ai_message.h"
#include "event/bound_actors.h"
#include "event/condition_codes.h"
#include "event/event_links.h"
#include "event/event_manager.h"

uint8_t CSNpcSignalEvent::Check(float)
{
    using enum ConditionTest;
    // What the codes 100 to 500 wait for.
    static constexpr std::array<ConditionTest, 5> kCodes = {
        kAlways, kOwnActorsGone, kLinkedActorsGone, kLinkRunning, kLinkEnded,
    };
    return CheckHundredCode(this, kCodes, Condition);
}

void CSNpcSignalEvent::Update(float)
{
    for (int32_t i = 0; i < BoundActorEntries(this); ++i) {
        EventPost(kMsgControl, BoundActor(this, i), 0, kCtlShowHold, EventID);
    }
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}
