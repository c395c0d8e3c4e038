// The stage exit event (see stage_exit_event.h).
#include "event/stage_exit_event.h"

#include "event/bound_actors.h"
#include "event/condition_codes.h"
#include "event/event_links.h"
#include "event/event_manager.h"

void CSStageExitEvent::Setup(int32_t condition, int32_t target, uint8_t flag)
{
    Condition = condition;
    Target = target;
    Flag = flag;
}

uint8_t CSStageExitEvent::Check(float)
{
    using enum ConditionTest;
    // What the codes 100 to 600 wait for.
    static constexpr std::array<ConditionTest, 6> kCodes = {
        kNever, kOwnActorsGone, kLinkedActorsGone, kAlways, kLinkEnded, kLinkRunning,
    };
    return CheckHundredCode(this, kCodes, Condition);
}

void CSStageExitEvent::Occur(float)
{
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
    if (g_eventLinks.requestStageChange != nullptr) {
        g_eventLinks.requestStageChange(Target, Flag, kStageExitTransitionMs);
    }
}
