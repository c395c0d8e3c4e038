// The NPC appear events (see npc_appear_event.h). Every pick and count runs
// over the actors actually bound: a draw is taken modulo the bound entries
// (none bound: no draw), and the event is over once every bound actor has
// appeared, however many its NPCNum promised.
#include "event/npc_appear_event.h"

#include "app/game_rand.h"
#include "event/bound_actors.h"
#include "event/condition_codes.h"
#include "event/event_blocks.h"
#include "event/event_links.h"
#include "event/event_manager.h"

namespace {

// A wait of 0.5 to 0.999 s.
float DrawWait() { return static_cast<float>(game::Rand() % 500) * 0.001f + 0.5f; }

}  // namespace

void CSNpcAppearEvent::Setup(int32_t condition)
{
    Condition = condition;
    AppearedCount = 0;
    Timer = Interval = RetryTimer = RetryInterval = 0.0f;
    FreeEventBlock(AppearedFlags);
    AppearedFlags = NewEventBlock<uint8_t>(static_cast<size_t>(BoundActorEntries(this)));
}

void CSNpcAppearEvent::Release() { FreeEventBlock(AppearedFlags); }

uint8_t CSNpcAppearEvent::Check(float)
{
    using enum ConditionTest;
    // What the codes 100 to 500 wait for.
    static constexpr std::array<ConditionTest, 5> kCodes = {
        kAlways, kOwnActorsGone, kLinkedActorsGone, kLinkEnded, kLinkRunning,
    };
    if (Condition > 0 && Condition < 100) {
        return LinkEndNum == Condition ? 1 : 0;
    }
    return CheckHundredCode(this, kCodes, Condition);
}

int32_t CSNpcAppearEvent::Target() const { return BoundActorCount(this); }

bool CSNpcAppearEvent::AppearOne(int32_t index)
{
    AiObject *actor = BoundActor(this, index);
    if (actor == nullptr || AppearedFlags == nullptr || AppearedFlags[index] != 0) {
        return false;
    }
    if (g_eventLinks.appear != nullptr) {
        g_eventLinks.appear(actor, Param);
    }
    AppearedFlags[index] = 1;
    ++AppearedCount;
    Timer = Interval = RetryTimer = RetryInterval = 0.0f;
    return true;
}

bool CSNpcAppearEvent::EndWhenAllAppeared()
{
    if (AppearedCount < Target()) {
        return false;
    }
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
    return true;
}

void CSNpcAppearEvent::Update(float dt)
{
    if (Param == 0) {
        AppearedCount = 0;
        for (int32_t i = 0; i < BoundActorEntries(this); ++i) {
            AiObject *actor = BoundActor(this, i);
            if (actor == nullptr) {
                continue;
            }
            if (g_eventLinks.show != nullptr && (g_eventLinks.isShown == nullptr || !g_eventLinks.isShown(actor))) {
                g_eventLinks.show(actor);
            }
            ++AppearedCount;
        }
        EndWhenAllAppeared();
        return;
    }
    uint32_t seed = static_cast<uint32_t>(static_cast<int32_t>(dt * 1000.0f));
    game::Srand(seed);
    if (Interval == 0.0f) {
        Interval = DrawWait();
    }
    if (Timer < Interval) {
        Timer += dt;
        return;
    }
    const int32_t entries = BoundActorEntries(this);
    if (entries == 0) {
        EndWhenAllAppeared();  // nothing to show: every bound actor (none) is out
        return;
    }
    const int32_t attempts = game::Rand() % 3 + 1;
    for (int32_t attempt = 1; attempt <= attempts; ++attempt) {
        seed += static_cast<uint32_t>(attempt);
        game::Srand(seed);
        const int32_t pick = game::Rand() % entries;
        if (AppearedFlags != nullptr && AppearedFlags[pick] == 0 && BoundActor(this, pick) != nullptr) {
            AppearOne(pick);
            if (EndWhenAllAppeared()) {
                return;
            }
            continue;
        }
        // Shown already: wait a while, then every actor still hidden appears.
        if (RetryInterval == 0.0f) {
            RetryInterval = DrawWait();
        }
        RetryTimer += dt;
        if (RetryTimer >= RetryInterval) {
            for (int32_t i = 0; i < entries; ++i) {
                AppearOne(i);
            }
            EndWhenAllAppeared();
            return;
        }
    }
}
