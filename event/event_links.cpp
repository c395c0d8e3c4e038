// The events' links to the rest of the game (see event_links.h).
#include "event/event_links.h"

#include "app/acos_table.h"
#include "app/game_system.h"
#include "app/input.h"
#include "event/event_record.h"

EventLinks g_eventLinks;

int32_t EventHeroCount() { return g_eventLinks.heroCount != nullptr ? g_eventLinks.heroCount() : 0; }

AiObject *EventHero(int32_t index) { return g_eventLinks.hero != nullptr ? g_eventLinks.hero(index) : nullptr; }

int32_t EventHeroPlayerIndex(AiObject *hero)
{
    return hero != nullptr && g_eventLinks.playerIndex != nullptr ? g_eventLinks.playerIndex(hero) : -1;
}

bool EventActorRemoved(AiObject *actor)
{
    return actor != nullptr && g_eventLinks.isRemoved != nullptr && g_eventLinks.isRemoved(actor);
}

bool EventActorBusy(AiObject *actor)
{
    return actor != nullptr && g_eventLinks.isBusy != nullptr && g_eventLinks.isBusy(actor);
}

bool EventActorDying(AiObject *actor)
{
    return actor != nullptr && g_eventLinks.isDying != nullptr && g_eventLinks.isDying(actor);
}

int32_t EventActorGroup(AiObject *actor)
{
    return actor != nullptr && g_eventLinks.eventGroup != nullptr ? g_eventLinks.eventGroup(actor) : 0;
}

bool EventActorPose(AiObject *actor, RwV3d *position, RwV3d *facing)
{
    return actor != nullptr && g_eventLinks.pose != nullptr && g_eventLinks.pose(actor, position, facing);
}

bool EventAnyHeroBusy()
{
    const int32_t count = EventHeroCount();
    for (int32_t i = 0; i < count; ++i) {
        if (EventActorBusy(EventHero(i))) {
            return true;
        }
    }
    return false;
}

int32_t EventActorAiType(AiObject *actor)
{
    return actor != nullptr && g_eventLinks.aiType != nullptr ? g_eventLinks.aiType(actor) : -1;
}

int32_t EventActorAiId(AiObject *actor)
{
    return actor != nullptr && g_eventLinks.aiId != nullptr ? g_eventLinks.aiId(actor) : -1;
}

void EventPost(int32_t kind, AiObject *target, int32_t word0, int32_t word1, int32_t word2)
{
    if (target != nullptr && g_eventLinks.post != nullptr) {
        g_eventLinks.post(kind, target, word0, word1, word2);
    }
}

bool EventIsHero(AiObject *actor)
{
    for (int32_t i = 0; i < EventHeroCount(); ++i) {
        if (EventHero(i) == actor) {
            return true;
        }
    }
    return false;
}

void EventPostToOthers(int32_t code, int32_t value)
{
    if (g_eventLinks.firstActor == nullptr || g_eventLinks.nextActor == nullptr) {
        return;
    }
    for (AiObject *actor = g_eventLinks.firstActor(); actor != nullptr; actor = g_eventLinks.nextActor(actor)) {
        if (!EventIsHero(actor)) {
            EventPost(0, actor, 0, code, value);
        }
    }
}

void EventPostToHeroes(int32_t code, int32_t value)
{
    for (int32_t i = 0; i < EventHeroCount(); ++i) {
        EventPost(0, EventHero(i), 0, code, value);
    }
}

void EventPlaySound(int32_t soundId)
{
    if (g_eventLinks.playSound != nullptr) {
        g_eventLinks.playSound(soundId);
    }
}

int32_t EventHeroPositionOfSlot(int32_t slot)
{
    const int32_t count = EventHeroCount();
    for (int32_t i = 0; i < count && i < kEventPlayers; ++i) {
        if (EventHeroPlayerIndex(EventHero(i)) == slot) {
            return i;
        }
    }
    return -1;
}

void EventTraceStep(const EventRecord *record, const char *what, int32_t value)
{
    if (g_eventLinks.trace != nullptr) {
        g_eventLinks.trace(record->EventID, KindFacts(record->kind).name, what, value);
    }
}

void EventTracePoint(const EventRecord *record, const char *what, const RwV3d &at)
{
    if (g_eventLinks.tracePoint != nullptr) {
        g_eventLinks.tracePoint(record->EventID, KindFacts(record->kind).name, what, at);
    }
}

void EventPlaySoundOnce(EventRecord *record, int32_t soundId)
{
    if (soundId == 0 || record->SoundDone != 0) {
        return;
    }
    EventPlaySound(soundId);
    record->SoundDone = 1;
}

void EventPlayUISound(int32_t soundId)
{
    if (g_eventLinks.playUISound != nullptr) {
        g_eventLinks.playUISound(soundId);
    }
}

bool EventInView(const RwV3d &centre, float radius)
{
    return g_eventLinks.inView == nullptr || g_eventLinks.inView(centre, radius);
}

bool EventConfirmPressed()
{
    if (MouseButtonState == 1) {
        return true;
    }
    if (g_pGameSystem == nullptr) {
        return false;
    }
    const int32_t index = g_eventLinks.controllingPad != nullptr ? g_eventLinks.controllingPad() : 0;
    const PadState &pad = g_pGameSystem->padStates[kPadStateBlock][index];
    return pad.buttons[kPadCircle] == kPadPressedState || pad.buttons[kPadStart] == kPadPressedState;
}

float EventACosDeg(float cosine)
{
    if (g_pGameSystem != nullptr) {
        return g_pGameSystem->ACosDeg(cosine);
    }
    return game::ACosTable::EntryFor(cosine);
}

uint32_t EventLastTickMs() { return g_pGameSystem != nullptr ? g_pGameSystem->LastTickMs() : 0; }
