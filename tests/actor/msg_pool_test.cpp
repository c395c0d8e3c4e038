// Messages between actors: the target's queue order, the pool's delivery
// rules and broadcasts, and the trace of what was delivered.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <type_traits>

#include "actor/ai_msg_pool.h"
#include "actor/ai_object.h"
#include "app/trace.h"
#include "support/engine/scratch_path.h"
#include "support/game/trace_reader.h"
#include "support/game/diagnostics_capture.h"

namespace msg_pool_test {

namespace {

static_assert(std::is_same_v<decltype(MSGData::sender), AiObject *>, "senders are actors, not words");
static_assert(std::is_same_v<decltype(MSGData::target), AiObject *>, "targets are actors, not words");

// A chain of actors as a stage keeps it.
struct Chain {
    AiObject actors[4];
    AiObject *head = &actors[0];

    Chain()
    {
        const int types[4] = {0, 1000, 1, 10000};
        for (int i = 0; i < 4; ++i) {
            actors[i].aiType = types[i];
            actors[i].aiId = 10 + i;
            actors[i].next = i + 1 < 4 ? &actors[i + 1] : nullptr;
        }
    }
};

TEST(ActorQueue, PopsHighestKindNewestFirst)
{
    AiObject actor;
    const int32_t kinds[] = {1, 3, 0, 1, 2, 3, 0};
    for (int i = 0; i < 7; ++i) {
        MSGData m{1, kinds[i], nullptr, &actor, {i, 0, 0}};
        ASSERT_TRUE(actor.ReceiveMessage(m));
    }
    // Held in rising kind order, newcomers behind their kind.
    const int32_t heldOrder[] = {2, 6, 0, 3, 4, 1, 5};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(actor.msgQueue[i].word[0], heldOrder[i]) << i;
    }
    // Handed out highest kind first, the newest among equals.
    const int32_t popOrder[] = {5, 1, 4, 3, 0, 6, 2};
    for (int32_t expected : popOrder) {
        MSGData *m = actor.PopMessage();
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->word[0], expected);
        FreeMessage(m);
        EXPECT_EQ(m->used, 0);
        EXPECT_EQ(m->kind, kMsgFreeKind);
    }
    EXPECT_EQ(actor.msgCount, 0);
    EXPECT_EQ(actor.PopMessage(), nullptr);
}

TEST(ActorQueue, AReleaseDropsTheHoldsStillWaiting)
{
    // A scene holds every other actor and releases them at its end; an
    // actor that did not run in between finds both in its queue. It reads
    // the release and nothing of the hold (newest first, the hold would
    // come last and hold it for ever); the other messages stay in order.
    AiObject actor;
    ASSERT_TRUE(actor.ReceiveMessage(MSGData{1, kMsgControl, nullptr, &actor, {0, kCtlShowHold, 1}}));
    ASSERT_TRUE(actor.ReceiveMessage(MSGData{1, 1, nullptr, &actor, {7, 0, 0}}));
    ASSERT_TRUE(actor.ReceiveMessage(MSGData{1, kMsgControl, nullptr, &actor, {0, kCtlDropOverride, 5}}));
    ASSERT_TRUE(actor.ReceiveMessage(MSGData{1, kMsgControl, nullptr, &actor, {0, kCtlShowHold, 42}}));
    ASSERT_TRUE(actor.ReceiveMessage(MSGData{1, kMsgControl, nullptr, &actor, {0, kCtlRelease, 0}}));
    ASSERT_EQ(actor.msgCount, 3);
    const int32_t popOrder[][2] = {{1, 0}, {kMsgControl, kCtlRelease}, {kMsgControl, kCtlDropOverride}};
    for (const auto &expected : popOrder) {
        MSGData *m = actor.PopMessage();
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->kind, expected[0]);
        EXPECT_EQ(m->word[1], expected[1]);
        FreeMessage(m);
    }
    EXPECT_EQ(actor.PopMessage(), nullptr);
    for (const MSGData &m : actor.msgQueue) {  // the dropped holds' slots are free records again
        EXPECT_EQ(m.used, 0);
    }
    // A hold that comes after the release is kept.
    ASSERT_TRUE(actor.ReceiveMessage(MSGData{1, kMsgControl, nullptr, &actor, {0, kCtlRelease, 0}}));
    ASSERT_TRUE(actor.ReceiveMessage(MSGData{1, kMsgControl, nullptr, &actor, {0, kCtlShowHold, 1}}));
    EXPECT_EQ(actor.PopMessage()->word[1], kCtlShowHold);
}

// An actor that drops out of full detail (or is placed again) loses what it
// had not read: every slot is a free record, as in a new actor, and the next
// message is the only one it reads.
TEST(ActorQueue, ClearingFreesEverySlot)
{
    AiObject actor;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(actor.ReceiveMessage(MSGData{1, i % 2, nullptr, &actor, {i, 0, 0}}));
    }
    actor.ClearMessages();
    EXPECT_EQ(actor.msgCount, 0);
    for (const MSGData &m : actor.msgQueue) {
        EXPECT_EQ(m.used, 0);
        EXPECT_EQ(m.kind, kMsgFreeKind);
    }
    ASSERT_TRUE(actor.ReceiveMessage(MSGData{1, 0, nullptr, &actor, {77, 0, 0}}));
    EXPECT_EQ(actor.PopMessage()->word[0], 77);
    EXPECT_EQ(actor.PopMessage(), nullptr);
}

TEST(ActorQueue, TheEleventhIsRefusedWithItsDiagnostic)
{
    AiObject actor;
    actor.aiType = 1007;
    for (int i = 0; i < kActorQueueSize; ++i) {
        ASSERT_TRUE(actor.ReceiveMessage(MSGData{1, 1, nullptr, &actor, {i, 0, 0}}));
    }
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(actor.ReceiveMessage(MSGData{1, 3, nullptr, &actor, {99, 0, 0}}));
    EXPECT_FALSE(actor.ReceiveMessage(MSGData{1, 3, nullptr, &actor, {98, 0, 0}}));
    const std::string said = gametest::TakeDiagnostics();
    // One whole line per refusal: the next line starts with the text, not a stray ".".
    EXPECT_EQ(said,
              "The MSGData Array is full in AiObject(Type: 1007).\n"
              "The MSGData Array is full in AiObject(Type: 1007).\n");
    EXPECT_EQ(actor.msgCount, kActorQueueSize);
    EXPECT_EQ(actor.PopMessage()->word[0], 9);
}

TEST(MessagePool, PostRefusesNullsAndAFullPool)
{
    CAiMsgPool pool;
    AiObject target;
    const int32_t payload[3] = {1, 2, 3};
    EXPECT_EQ(pool.Post(kMsgHitActor, nullptr, nullptr, payload), 0);
    EXPECT_EQ(pool.Post(kMsgHitActor, nullptr, &target, nullptr), 0);
    for (int i = 0; i < CAiMsgPool::kSize; ++i) {
        ASSERT_EQ(pool.Post(kMsgHitActor, nullptr, &target, payload), 1) << i;
    }
    EXPECT_EQ(pool.Post(kMsgHitActor, nullptr, &target, payload), 0);
    EXPECT_EQ(pool.PendingCount(), CAiMsgPool::kSize);
    gametest::CaptureDiagnostics();  // the queue refuses all but ten
    pool.Deliver(0);
    gametest::TakeDiagnostics();
    EXPECT_EQ(pool.PendingCount(), 0);
    EXPECT_EQ(target.msgCount, kActorQueueSize);
    EXPECT_EQ(pool.Post(kMsgHitActor, nullptr, &target, payload), 1);
}

TEST(MessagePool, DeliveryCarriesSenderAndPayloadAndSkipsRemovedTargets)
{
    Chain c;
    CAiMsgPool pool;
    AiObject &hero = c.actors[0];
    AiObject &monster = c.actors[1];
    AiObject &gone = c.actors[3];
    gone.removed = true;
    EXPECT_EQ(pool.Post(kMsgHitHero, &monster, &hero, 0, 4, 25), 1);
    EXPECT_EQ(pool.Post(kMsgHitActor, &hero, &gone, 0, 1, 10), 1);
    EXPECT_EQ(hero.msgCount, 0);  // nothing before delivery
    pool.Deliver(0);
    EXPECT_EQ(gone.msgCount, 0);
    ASSERT_EQ(hero.msgCount, 1);
    MSGData *m = hero.PopMessage();
    EXPECT_EQ(m->kind, kMsgHitHero);
    EXPECT_EQ(m->sender, &monster);
    EXPECT_EQ(m->target, &hero);
    EXPECT_EQ(m->word[1], 4);
    EXPECT_EQ(m->word[2], 25);
    FreeMessage(m);
}

TEST(MessagePool, ForcedFullFrameByKindZeroAndSceneCameraModes)
{
    for (int32_t mode = 0; mode <= 8; ++mode) {
        for (int32_t kind = 0; kind <= 3; ++kind) {
            CAiMsgPool pool;
            AiObject actor;
            pool.Post(kind, nullptr, &actor, 0, 0, 0);
            pool.Deliver(mode);
            const bool expected = kind == 0 || mode == 2 || mode == 5 || mode == 6;
            EXPECT_EQ(actor.forcedFullFrame, expected) << "mode " << mode << " kind " << kind;
        }
    }
}

TEST(MessagePool, BroadcastsReachTheirSide)
{
    Chain c;
    CAiMsgPool pool;
    pool.SetChain(&c.head);
    const int32_t payload[3] = {0, kCtlShowHold, 77};
    c.actors[3].busy = true;
    EXPECT_EQ(pool.PostToNonHeroes(kMsgControl, nullptr, payload), 1);
    c.actors[2].removed = true;
    EXPECT_EQ(pool.PostToHeroes(kMsgControl, nullptr, payload), 1);
    pool.Deliver(0);
    EXPECT_EQ(c.actors[0].msgCount, 1);  // hero
    EXPECT_EQ(c.actors[1].msgCount, 1);  // monster
    EXPECT_EQ(c.actors[2].msgCount, 0);  // removed hero
    EXPECT_EQ(c.actors[3].msgCount, 0);  // busy object

    c.actors[3].busy = false;
    c.actors[1].broadcastExcluded = true;
    EXPECT_EQ(pool.PostToNonHeroes(kMsgControl, nullptr, payload), 1);
    EXPECT_EQ(pool.PendingCount(), 1);
}

TEST(MessagePool, BroadcastReportsAPoolThatRanOut)
{
    Chain c;
    CAiMsgPool pool;
    pool.SetChain(&c.head);
    for (int i = 0; i < CAiMsgPool::kSize - 1; ++i) {
        pool.Post(kMsgSensing, nullptr, &c.actors[1], 0, 0, 0);
    }
    const int32_t payload[3] = {0, kCtlRelease, 0};
    EXPECT_EQ(pool.PostToHeroes(kMsgControl, nullptr, payload), 0);
    EXPECT_EQ(pool.PostToNonHeroes(kMsgControl, nullptr, payload), 0);
    EXPECT_EQ(pool.PendingCount(), CAiMsgPool::kSize);

    // A pool not yet given its stage's chain has no one to reach, and nothing ran out.
    CAiMsgPool unchained;
    EXPECT_EQ(unchained.PostToHeroes(kMsgControl, nullptr, payload), 1);
    EXPECT_EQ(unchained.PostToNonHeroes(kMsgControl, nullptr, payload), 1);
    EXPECT_EQ(unchained.PendingCount(), 0);
}

TEST(MessagePool, ClearDropsWhatIsPending)
{
    CAiMsgPool pool;
    AiObject *actor = new AiObject;
    pool.Post(kMsgControl, nullptr, actor, 0, kCtlRelease, 0);
    pool.Post(kMsgHitActor, actor, actor, 0, 1, 5);
    // The stage drops pending messages before it frees its actors; a later
    // delivery then names no freed actor (the sanitizers would see it).
    pool.Clear();
    delete actor;
    EXPECT_EQ(pool.PendingCount(), 0);
    pool.Deliver(0);
}

TEST(MessagePool, DeliveredMessagesAreTraced)
{
    const std::string path = rwtest::ScratchPath("msg_trace.txt");
    ASSERT_TRUE(game::TraceOpen(path, nullptr));
    game::TraceSetTick(12);
    Chain c;
    CAiMsgPool pool;
    c.actors[3].removed = true;
    pool.Post(kMsgHitActor, &c.actors[0], &c.actors[1], 0, 65, 30);
    pool.Post(kMsgControl, nullptr, &c.actors[2], 0, kCtlShowHold, 7);
    pool.Post(kMsgSensing, nullptr, &c.actors[3], 2, 0, 0);
    pool.Deliver(0);
    game::TraceClose();

    const auto msgs = gametest::RecordsOfKind(gametest::ReadTrace(path), "msg");
    ASSERT_EQ(msgs.size(), 2u);  // the removed target's message was not delivered
    EXPECT_EQ(msgs[0].tick, 12u);
    EXPECT_EQ(msgs[0].fields, (std::vector<std::string>{"1", "10", "11", "0", "65", "30"}));
    EXPECT_EQ(msgs[1].fields, (std::vector<std::string>{"0", "-1", "12", "0", "8192", "7"}));
    std::remove(path.c_str());
}

}  // namespace

}  // namespace msg_pool_test
