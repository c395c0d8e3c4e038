// The events over the real actor records: the links read the running
// stage's hero list and actor chain, and a removed monster ends its event.
#include <gtest/gtest.h>

#include "actor/ai_object.h"
#include "actor/hero.h"
#include "event/event_objects.h"
#include "event/event_stage_links.h"
#include "event_test_support.h"
#include "stage/stage_manager.h"

namespace event_stage_links_test {

namespace {

TEST(EventStageLinks, ARemovedMonsterOfTheStageEndsItsEvent)
{
    CSStageManager stage;
    CSStageManager *previous = g_pStageManager;
    g_pStageManager = &stage;
    CSHero hero;
    AiObject monster;
    monster.eventId = 79010400;
    hero.next = &monster;
    stage.heroes[0] = &hero;
    stage.heroCount = 1;
    stage.actorHead = &hero;
    ConnectEventActorLinks();

    EventTableEntry cleared = event_test::BareEntry(79010400);
    cleared.npcNum = 1;
    auto manager = event_test::MakeManager({cleared});
    manager->LoadStageEvents(2010000, 1);
    EventRecord *record = manager->Records()[0];
    ASSERT_EQ(record->ActorNum, 1);
    EXPECT_EQ(record->Actors[0], &monster);
    manager->SetPlayerPose(0, &hero);
    EXPECT_EQ(manager->poses[0].valid, 1);
    manager->CheckTriggers(0.016f);
    EXPECT_EQ(record->IsOccur, 0);
    monster.removed = true;
    manager->CheckTriggers(0.016f);
    manager->Update(0.016f);
    EXPECT_EQ(record->OccurCount, 1);
    hero.busy = true;
    manager->SetPlayerPose(0, &hero);
    EXPECT_EQ(manager->poses[0].valid, 0);

    manager->Release();
    g_eventLinks = EventLinks();
    stage.heroes[0] = nullptr;
    stage.actorHead = nullptr;
    g_pStageManager = previous;
}

}  // namespace

}  // namespace event_stage_links_test
