// The kinds that work on the actors bound to an event, over the fake
// stage: the trap notice, NPC appear, last NPC, NPC signal, the effect
// burst and the single events' own conditions, each through the manager's
// frame passes; every pick and count over the actors actually bound.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "event/bound_actors.h"
#include "event/event_objects.h"
#include "event/single_event_conditions.h"
#include "event_test_support.h"

namespace actor_condition_events_test {

namespace {

using event_test::AsActor;
using event_test::BoundEntry;
using event_test::FakeActor;
using event_test::FakeStage;
using event_test::MakeManager;
using event_test::PostedMessage;
using event_test::RunFrame;
using event_test::StageLinks;
using event_test::TakePosted;

constexpr int32_t kStage18 = 2180000;

// A stage with one hero and the actors given, in chain order.
struct BoundStage {
    FakeStage stage;
    FakeActor hero;
    std::vector<FakeActor> actors;

    explicit BoundStage(std::vector<FakeActor> list) : actors(std::move(list))
    {
        hero.aiType = 0;
        stage.heroes.push_back(&hero);
        for (FakeActor &actor : actors) {
            stage.actors.push_back(&actor);
        }
    }
};

FakeActor Bound(int32_t group, int32_t aiType = 1000, int32_t aiId = 0)
{
    FakeActor actor;
    actor.group = group;
    actor.aiType = aiType;
    actor.aiId = aiId;
    return actor;
}

TEST(TrapNotice, SwitchesOnlyTheTrapTypesBoundToIt)
{
    constexpr int32_t kNotice = 79187200;
    BoundStage s({Bound(kNotice, 1200), Bound(kNotice, 1203), Bound(kNotice, 1204), Bound(kNotice, 1000),
                  Bound(kNotice, 1202), Bound(79187400, 1205)});
    StageLinks links(&s.stage);
    auto manager = MakeManager({BoundEntry(kNotice, 6, 0, 0), BoundEntry(79187400, 1, 0, 0)});
    manager->LoadStageEvents(kStage18, 1);
    EventRecord *notice = manager->FindEvent(kNotice);
    ASSERT_EQ(notice->ActorNum, 5);
    RunFrame(*manager, s.stage);
    // Both notices (condition 100) occurred; each told only its own traps.
    std::multiset<int32_t> told;
    for (const PostedMessage &m : TakePosted(s.stage)) {
        EXPECT_EQ(m.kind, 0);
        EXPECT_EQ(m.word[0], 0);
        EXPECT_EQ(m.word[1], 8192);
        EXPECT_EQ(m.word[2], m.target->group) << "a trap hears its own group's notice";
        told.insert(m.target->aiType);
    }
    EXPECT_EQ(told, (std::multiset<int32_t>{1200, 1202, 1203, 1205}));
    EXPECT_EQ(notice->OccurCount, 1);
    EXPECT_EQ(notice->IsOccur, 0);
}

TEST(TrapNotice, ConditionCodes)
{
    FakeStage stage;
    StageLinks links(&stage);
    auto manager = MakeManager({BoundEntry(79333100, 0, 0, 79187200), BoundEntry(79187200, 0, 0, 0)});
    auto *notice = static_cast<CSTrapNoticeEvent *>(manager->Records()[0]);
    EventRecord *link = manager->Records()[1];
    for (int32_t code : {100, 200, 300, 500, 42}) {
        notice->Condition = code;
        link->IsOccur = 0;
        link->OccurCount = 0;
        const uint8_t idle = notice->Check(0.0f);
        link->IsOccur = 1;
        const uint8_t running = notice->Check(0.0f);
        link->IsOccur = 0;
        link->OccurCount = 1;
        const uint8_t ended = notice->Check(0.0f);
        switch (code) {
        case 100: EXPECT_EQ(idle + running + ended, 3); break;
        case 200: EXPECT_EQ(running, 1); EXPECT_EQ(idle + ended, 0); break;
        case 300: EXPECT_EQ(ended, 1); EXPECT_EQ(idle + running, 0); break;
        case 500: EXPECT_EQ(idle, 1) << "a link without actors has them all removed"; break;
        default: EXPECT_EQ(idle + running + ended, 0); break;
        }
    }
    notice->LinkEvent = nullptr;
    notice->Condition = 200;
    EXPECT_EQ(notice->Check(0.0f), 0);
}

// The appear event: each bound actor appears once, with the motion Param.
TEST(NpcAppear, EachActorAppearsOnceAndTheRetryPathShowsTheRest)
{
    constexpr int32_t kAppear = 79031500;  // condition 100
    std::vector<FakeActor> list;
    for (int i = 0; i < 6; ++i) {
        list.push_back(Bound(kAppear));
    }
    BoundStage s(list);
    StageLinks links(&s.stage);
    auto manager = MakeManager({BoundEntry(kAppear, 6, 7, 0)});
    manager->LoadStageEvents(2030000, 1);
    auto *appear = static_cast<CSNpcAppearEvent *>(manager->FindEvent(kAppear));
    bool retried = false;
    int frames = 0;
    for (; frames < 2000 && appear->OccurCount == 0; ++frames) {
        RunFrame(*manager, s.stage);
        retried = retried || appear->RetryInterval > 0.0f;
        for (const FakeActor &actor : s.actors) {
            ASSERT_LE(actor.appeared, 1) << "an actor appears at most once";
        }
    }
    EXPECT_EQ(appear->OccurCount, 1) << "ended after " << frames << " frames";
    EXPECT_TRUE(retried) << "a pick of an actor already shown waits and then shows the rest";
    for (const FakeActor &actor : s.actors) {
        EXPECT_EQ(actor.appeared, 1);
        EXPECT_EQ(actor.animation, 7);
        EXPECT_TRUE(actor.shown);
    }
}

TEST(NpcAppear, ParamZeroShowsEveryActorInOneFrame)
{
    constexpr int32_t kAppear = 79031500;
    BoundStage s({Bound(kAppear), Bound(kAppear), Bound(kAppear)});
    s.actors[1].shown = true;
    StageLinks links(&s.stage);
    auto manager = MakeManager({BoundEntry(kAppear, 3, 0, 0)});
    manager->LoadStageEvents(2030000, 1);
    RunFrame(*manager, s.stage);
    EXPECT_EQ(manager->FindEvent(kAppear)->OccurCount, 1);
    for (const FakeActor &actor : s.actors) {
        EXPECT_TRUE(actor.shown);
        EXPECT_EQ(actor.appeared, 0) << "Param 0 only shows them";
    }
}

// No actor bound (an NPCNum that promised some): neither form divides by
// the count or reads an entry; both end.
TEST(NpcAppear, NoActorBoundInBothParamForms)
{
    for (int32_t param : {0, 7}) {
        FakeStage stage;
        stage.heroes.push_back(new FakeActor);
        StageLinks links(&stage);
        auto manager = MakeManager({BoundEntry(79031500, 5, param, 0)});
        manager->LoadStageEvents(2030000, 1);
        EventRecord *appear = manager->FindEvent(79031500);
        EXPECT_EQ(BoundActorCount(appear), 0);
        for (int i = 0; i < 120 && appear->OccurCount == 0; ++i) {
            RunFrame(*manager, stage);
        }
        EXPECT_EQ(appear->OccurCount, 1) << "Param " << param;
        delete stage.heroes[0];
    }
}

// Three actors bound to the last-NPC event 79040200 (payload 5401004, its
// own group) on a loaded stage.
struct LastNpcGroup {
    static constexpr int32_t kLast = 79040200;
    BoundStage s{{Bound(kLast), Bound(kLast), Bound(kLast)}};
    StageLinks links{&s.stage};
    std::unique_ptr<CSEventManager> manager = MakeManager({BoundEntry(kLast, 3, 0, 0)});
    CSLastNpcEvent *last = nullptr;

    LastNpcGroup()
    {
        manager->LoadStageEvents(2040000, 1);
        last = static_cast<CSLastNpcEvent *>(manager->FindEvent(kLast));
    }
};

// The one message a last-NPC event sends: what `target` drops.
void ExpectOneDropOrder(const std::vector<PostedMessage> &posted, const FakeActor *target, int32_t payload)
{
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].target, target);
    EXPECT_EQ(posted[0].word[1], 32768);
    EXPECT_EQ(posted[0].word[2], payload);
}

TEST(LastNpc, PicksTheBusySurvivorSendsOnceAndEndsWithTheGroup)
{
    LastNpcGroup group;
    BoundStage &s = group.s;
    CSEventManager *manager = group.manager.get();
    CSLastNpcEvent *last = group.last;
    RunFrame(*manager, s.stage);
    EXPECT_EQ(last->IsOccur, 0) << "three standing";
    s.actors[0].removed = true;
    s.actors[2].removed = true;
    s.actors[1].busy = true;
    RunFrame(*manager, s.stage);
    EXPECT_EQ(last->Chosen, 1) << "the busy one is the last";
    ExpectOneDropOrder(TakePosted(s.stage), &s.actors[1], 5401004);
    for (int i = 0; i < 5; ++i) {
        RunFrame(*manager, s.stage);
    }
    EXPECT_TRUE(TakePosted(s.stage).empty()) << "once per occurrence";
    EXPECT_EQ(last->IsOccur, 1) << "running until the group is gone";
    s.actors[1].removed = true;
    RunFrame(*manager, s.stage);
    EXPECT_EQ(last->OccurCount, 1);
    EXPECT_EQ(last->IsOccur, 0);
}

TEST(LastNpc, ANotBusySurvivorComesFirstAndParamReplacesThePayload)
{
    constexpr int32_t kLast = 79040200;
    BoundStage s({Bound(kLast), Bound(kLast), Bound(kLast)});
    s.actors[0].busy = true;
    s.actors[2].removed = true;
    s.actors[0].removed = false;
    StageLinks links(&s.stage);
    auto manager = MakeManager({BoundEntry(kLast, 3, 5401007, 0)});
    manager->LoadStageEvents(2040000, 1);
    auto *last = static_cast<CSLastNpcEvent *>(manager->FindEvent(kLast));
    EXPECT_EQ(last->CheckCondition(0.0f), 0) << "two left";
    s.actors[1].removed = true;
    s.actors[1].busy = false;
    s.actors[0].busy = false;
    EXPECT_EQ(last->CheckCondition(0.0f), 1);
    EXPECT_EQ(last->Chosen, 0);
    EXPECT_EQ(last->Payload, 5401007);
    // An empty group never has a last actor.
    auto lonely = MakeManager({BoundEntry(kLast, 0, 0, 0)});
    lonely->LoadStageEvents(2040000, 1);
    EXPECT_EQ(lonely->FindEvent(kLast)->CheckCondition(0.0f), 0);
}

TEST(LastNpc, MembersThatFallTogetherStillCarryTheDropAndEnd)
{
    LastNpcGroup group;
    BoundStage &s = group.s;
    CSEventManager *manager = group.manager.get();
    CSLastNpcEvent *last = group.last;
    s.actors[0].removed = true;
    RunFrame(*manager, s.stage);
    EXPECT_EQ(last->IsOccur, 0) << "two standing";
    // One blow fells the other two: they die together and are removed on
    // one frame, so the group never has exactly one left.
    s.actors[1].dying = true;
    s.actors[2].dying = true;
    RunFrame(*manager, s.stage);
    EXPECT_EQ(last->Chosen, 1) << "the first on its way out carries the drop";
    ExpectOneDropOrder(TakePosted(s.stage), &s.actors[1], 5401004);
    s.actors[1].removed = true;
    s.actors[2].removed = true;
    RunFrame(*manager, s.stage);
    EXPECT_TRUE(TakePosted(s.stage).empty());
    EXPECT_EQ(last->OccurCount, 1) << "the event ends with the group";
}

// A group removed all at once, never seen dying, still runs and ends (the
// events waiting for it go on), with no one left to tell.
TEST(LastNpc, AGroupRemovedAllAtOnceStillEnds)
{
    constexpr int32_t kLast = 79040200;
    BoundStage s({Bound(kLast), Bound(kLast)});
    StageLinks links(&s.stage);
    auto manager = MakeManager({BoundEntry(kLast, 2, 0, 0)});
    manager->LoadStageEvents(2040000, 1);
    auto *last = static_cast<CSLastNpcEvent *>(manager->FindEvent(kLast));
    RunFrame(*manager, s.stage);
    s.actors[0].removed = true;
    s.actors[1].removed = true;
    RunFrame(*manager, s.stage);
    RunFrame(*manager, s.stage);
    EXPECT_TRUE(TakePosted(s.stage).empty());
    EXPECT_EQ(last->OccurCount, 1);
}

TEST(NpcSignal, TellsEveryBoundActorAndEnds)
{
    constexpr int32_t kSignal = 79232200;  // condition 400: LinkEvent running
    BoundStage s({Bound(kSignal, 100), Bound(kSignal, 1000), Bound(79232100)});
    StageLinks links(&s.stage);
    auto manager = MakeManager({BoundEntry(kSignal, 2, 0, 79232300), BoundEntry(79232300, 0, 0, 0)});
    manager->LoadStageEvents(2230000, 1);
    EventRecord *signal = manager->FindEvent(kSignal);
    RunFrame(*manager, s.stage);
    EXPECT_EQ(signal->OccurCount, 0);
    manager->FindEvent(79232300)->IsOccur = 1;
    RunFrame(*manager, s.stage);
    EXPECT_EQ(signal->OccurCount, 1);
    std::vector<PostedMessage> posted = TakePosted(s.stage);
    ASSERT_EQ(posted.size(), 2u);
    for (const PostedMessage &m : posted) {
        EXPECT_EQ(m.word[1], 8192);
        EXPECT_EQ(m.word[2], kSignal);
        EXPECT_EQ(m.target->group, kSignal);
    }
}

// The effect burst waits, running, while the pool has no free entry.
TEST(EffectBurst, WaitsForAFreeEntry)
{
    FakeStage stage;
    stage.heroes.push_back(new FakeActor);
    stage.burstsFree = 0;
    StageLinks links(&stage);
    EventTableEntry entry = BoundEntry(79292700, 0, 0, 0);
    entry.position = {5.0f, 0.0f, 7.0f};
    auto manager = MakeManager({entry});
    manager->LoadStageEvents(2290000, 1);
    EventRecord *burst = manager->FindEvent(79292700);
    for (int i = 0; i < 3; ++i) {
        RunFrame(*manager, stage);
    }
    EXPECT_EQ(burst->IsOccur, 1);
    EXPECT_TRUE(stage.bursts.empty());
    stage.burstsFree = 1;
    RunFrame(*manager, stage);
    EXPECT_EQ(burst->OccurCount, 1);
    ASSERT_EQ(stage.bursts.size(), 1u);
    EXPECT_EQ(stage.bursts[0].x, 5.0f);
    EXPECT_EQ(stage.bursts[0].z, 7.0f);
    delete stage.heroes[0];
}

// The removed-count conditions hold at their exact counts only.
TEST(SingleEventConditions, RemovedCountsAtTheirBounds)
{
    struct Case {
        int32_t id;
        int32_t linkId;
        std::vector<FakeActor> linked;
        int32_t removeFirst;  // how many of the linked actors to remove, in order
        uint8_t expected;
        bool linkEnded;
    };
    const int32_t L = 79040200;  // a stage-4 event that binds the counted actors
    auto withId = [&](int32_t aiId, int32_t aiType = 1000) { return Bound(L, aiType, aiId); };
    const std::vector<Case> cases = {
        {79041600, L, {withId(14), withId(15), withId(16)}, 2, 1, true},
        {79041600, L, {withId(14), withId(15), withId(16)}, 2, 0, false},
        {79041600, L, {withId(14), withId(16), withId(15)}, 2, 0, true},
        {79041600, L, {withId(14), withId(15), withId(14)}, 3, 0, true},
        {79061700, L, {withId(17), withId(18)}, 2, 1, false},
        {79061700, L, {withId(17), withId(18)}, 1, 0, false},
        {79232100, L, {withId(1), withId(2), withId(3), withId(4)}, 3, 1, false},
        {79232100, L, {withId(1), withId(2), withId(3), withId(4)}, 4, 1, false},
        {79232100, L, {withId(1), withId(2), withId(4), withId(3)}, 3, 0, false},
        {79042200, L, {withId(1, 105), withId(2), withId(3)}, 3, 1, false},
        {79042200, L, {withId(1, 105), withId(2), withId(3)}, 2, 0, false},
        {79241300, L, std::vector<FakeActor>(5, withId(0, 1017)), 5, 1, false},
        {79241300, L, std::vector<FakeActor>(5, withId(0, 1017)), 4, 0, false},
        {79360200, L, {withId(2), withId(1)}, 1, 0, false},
        {79360200, L, {withId(2), withId(1)}, 2, 1, false},
    };
    for (const Case &c : cases) {
        std::vector<FakeActor> list = c.linked;
        BoundStage s(list);
        StageLinks links(&s.stage);
        auto manager = MakeManager(
            {BoundEntry(c.id, 0, 0, c.linkId), BoundEntry(L, static_cast<int32_t>(list.size()), 0, 0)});
        manager->LoadStageEvents(2040000, 1);  // the link's stage binds its actors
        EventRecord *record = manager->Records()[0];
        EventRecord *link = manager->Records()[1];
        ASSERT_EQ(link->ActorNum, static_cast<int32_t>(list.size()));
        for (int32_t i = 0; i < c.removeFirst; ++i) {
            s.actors[static_cast<size_t>(i)].removed = true;
        }
        link->OccurCount = c.linkEnded ? 1 : 0;
        uint8_t verdict = 9;
        ASSERT_TRUE(SingleEventCondition(record, &verdict)) << c.id;
        EXPECT_EQ(verdict, c.expected) << c.id << " with " << c.removeFirst << " removed";
        EXPECT_EQ(record->CheckCondition(0.0f), c.expected) << c.id;
        manager->Release();
    }
}

// The camera-time conditions: the linked scene's camera has run its time.
TEST(SingleEventConditions, CameraTimesAtTheirBounds)
{
    const std::vector<std::pair<int32_t, float>> cases = {
        {79020600, 28.0f},       {79031000, 1.6666666f}, {79042100, 13.333333f}, {79062300, 8.166667f},
        {79070800, 0.083333336f}, {79072500, 2.9166667f}, {79072600, 0.8333333f}, {79101800, 0.8333333f},
        {79314100, 0.6333333f},  {79314200, 0.55f},      {79314300, 0.6f},       {79342600, 1.3333334f},
    };
    for (const auto &[id, seconds] : cases) {
        FakeStage stage;
        StageLinks links(&stage);
        auto manager = MakeManager({BoundEntry(id, 0, 0, 79020700), BoundEntry(79020700, 0, 0, 0)});
        EventRecord *record = manager->Records()[0];
        auto *scene = static_cast<CSInGameAnmEvent *>(manager->Records()[1]);
        ASSERT_EQ(record->LinkEvent, scene) << id;
        scene->CameraLength = std::nextafter(seconds, 0.0f);
        EXPECT_EQ(record->CheckCondition(0.0f), 0) << id;
        scene->CameraLength = seconds;
        EXPECT_EQ(record->CheckCondition(0.0f), 1) << id;
        record->LinkEvent = nullptr;
        EXPECT_EQ(record->CheckCondition(0.0f), 0) << id << " without its scene";
    }
}

}  // namespace

}  // namespace actor_condition_events_test
