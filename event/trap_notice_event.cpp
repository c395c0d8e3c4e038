// The trap notice events (see trap_notice_event.h).
#include "event/trap_notice_event.h"

#include "actor/ai_message.h"
#include "event/bound_actors.h"
#include "event/condition_codes.h"
#include "event/event_links.h"
#include "event/event_manager.h"

uint8_t CSTrapNoticeEvent::Check(float)
{
    using enum ConditionTest;
    // What the codes 100 to 500 wait for.
    static constexpr std::array<ConditionTest, 5> kCodes = {
        kAlways, kLinkRunning, kLinkEnded, kNever, kLinkedActorsGone,
    };
    return CheckHundredCode(this, kCodes, Condition);
}

void CSTrapNoticeEvent::Occur(float)
{
    for (int32_t i = 0; i < BoundActorEntries(this); ++i) {
        AiObject *actor = BoundActor(this, i);
        if (actor != nullptr && IsNotifiedTrapType(EventActorAiType(actor))) {
            EventPost(kMsgControl, actor, 0, kCtlShowHold, EventID);
        }
    }
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}
