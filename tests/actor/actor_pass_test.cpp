// The actor pass on a stage without a world: the updates by AI type with
// their thinning, the heroes left to their own step, the sensing messages
// and the delivery, the freeze switch and the trace lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "actor/actor_pass.h"
#include "actor/ai_msg_pool.h"
#include "actor/ai_type_table.h"
#include "actor/hero.h"
#include "app/trace.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"
#include "support/engine/scratch_path.h"
#include "support/game/trace_reader.h"

namespace actor_pass_test {

namespace {

struct Call {
    AiObject *actor;
    float dt;
    bool fullDetail;
    int32_t queued;
};
std::vector<Call> g_calls;

void Record(AiObject *actor, float dt)
{
    g_calls.push_back({actor, dt, actor->fullDetailFrame, actor->msgCount});
    // Read what arrived, as a type's think step would.
    while (MSGData *m = actor->PopMessage()) {
        FreeMessage(m);
    }
}

class ActorPassTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        previousUpdate = ReplaceAiTypeUpdate(1000, Record);
        previousStage = g_pStageManager;
        g_pStageManager = &stage;
        stage.messagePool = &pool;
        pool.SetChain(&stage.actorHead);
        monsterTemplate.params.searchRange = 100.0f;
        monsterTemplate.params.attackRange = 10.0f;
        monsterTemplate.params.alarmCircle = 50.0f;
        hero.aiType = 0;
        hero.side = kSideHero;
        hero.aiId = 1;
        stage.heroes[0] = &hero;
        stage.heroCount = 1;
        Link(&hero);
    }
    void TearDown() override
    {
        ReplaceAiTypeUpdate(1000, previousUpdate);
        g_pStageManager = previousStage;
    }

    AiObject *AddMonster(int32_t aiId, float x)
    {
        monsters.emplace_back(new AiObject);
        AiObject *m = monsters.back().get();
        m->aiType = 1000;
        m->side = kSideMonster;
        m->aiId = aiId;
        m->position = {x, 0.0f, 0.0f};
        m->modelTemplate = &monsterTemplate;
        Link(m);
        return m;
    }
    void Link(AiObject *actor)
    {
        AiObject **link = &stage.actorHead;
        while (*link != nullptr) {
            link = &(*link)->next;
        }
        *link = actor;
    }
    ActorFrame Frame() const
    {
        ActorFrame frame;
        frame.camera = {0.0f, 0.0f, 0.0f};
        frame.focus = {0.0f, 0.0f, 0.0f};
        return frame;
    }

    CSStageManager stage;
    CSStageManager *previousStage = nullptr;
    AiUpdateFn previousUpdate = nullptr;
    CAiMsgPool pool;
    CSModelTemplate monsterTemplate;
    CSHero hero;
    std::vector<std::unique_ptr<AiObject>> monsters;
};

TEST_F(ActorPassTest, UpdatesNonHeroesInChainOrderAndSensesThem)
{
    AiObject *a = AddMonster(10, 5.0f);    // close to the hero: near, attack, alarm; in view
    AiObject *b = AddMonster(11, 399.0f);  // far band, still within 400 of the camera
    AiObject *c = AddMonster(12, 399.0f);  // beyond 400 of the camera, not of the focus
    c->position.y = 30.0f;
    RunActorPass(&stage, 0.016f, Frame());
    ASSERT_EQ(g_calls.size(), 3u);
    EXPECT_EQ(g_calls[0].actor, a);
    EXPECT_EQ(g_calls[1].actor, b);
    EXPECT_EQ(g_calls[2].actor, c);
    // Without a collision world nothing hides an actor and bit 16 is left out.
    EXPECT_TRUE(a->drawn);
    EXPECT_TRUE(b->drawn);
    EXPECT_FALSE(c->drawn);
    ASSERT_EQ(a->msgCount, 1);
    EXPECT_EQ(a->msgQueue[0].kind, kMsgSensing);
    EXPECT_EQ(a->msgQueue[0].word[0], kSenseNear | kSenseAttack | kSenseAlarm);
    EXPECT_EQ(a->msgQueue[0].sender, nullptr);
    ASSERT_EQ(b->msgCount, 1);
    EXPECT_EQ(b->msgQueue[0].word[0], 0);
    EXPECT_EQ(c->msgCount, 0);
    EXPECT_EQ(hero.msgCount, 0);  // heroes get no sensing

    // Next frame the messages are read by the type's update.
    RunActorPass(&stage, 0.016f, Frame());
    EXPECT_EQ(g_calls[3].queued, 1);
}

TEST_F(ActorPassTest, ThinnedActorsGetTheGatheredTime)
{
    AiObject *m = AddMonster(10, 300.0f);  // drawn from the first sensing on: the middle band
    for (int i = 0; i < 27; ++i) {
        RunActorPass(&stage, 0.01f, Frame());
    }
    // Frame 1: not yet drawn, far band (thinned); from frame 2 on the middle
    // band counts on to its 25th thinned frame, then one full-detail frame.
    int full = -1;
    for (size_t i = 0; i < g_calls.size(); ++i) {
        if (g_calls[i].fullDetail) {
            full = static_cast<int>(i);
            break;
        }
    }
    ASSERT_EQ(full, 25);
    EXPECT_NEAR(g_calls[static_cast<size_t>(full)].dt, 0.25f, 1e-5f);
    EXPECT_NEAR(g_calls[24].dt, 0.25f, 1e-5f);
    EXPECT_FALSE(m->forcedFullFrame);
}

TEST_F(ActorPassTest, ForcedByAControlMessageThenCleared)
{
    AiObject *m = AddMonster(10, 300.0f);
    RunActorPass(&stage, 0.01f, Frame());
    pool.Post(kMsgControl, nullptr, m, 0, kCtlShowHold, 5);
    RunActorPass(&stage, 0.01f, Frame());  // delivered at the end of this pass
    EXPECT_TRUE(m->forcedFullFrame);
    RunActorPass(&stage, 0.01f, Frame());
    EXPECT_TRUE(g_calls.back().fullDetail);
    EXPECT_FLOAT_EQ(g_calls.back().dt, 0.01f);
    EXPECT_FALSE(m->forcedFullFrame);
}

TEST_F(ActorPassTest, FrozenWhileTheActorUpdateSwitchIsOff)
{
    AddMonster(10, 5.0f);
    stage.actorUpdate = 0;
    RunActorPass(&stage, 0.016f, Frame());
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(pool.PendingCount(), 0);
}

TEST_F(ActorPassTest, OnlyTheSceneActorsRunWhileFrozenAndTheirMessagesAreDelivered)
{
    AiObject *scene = AddMonster(10, 5.0f);
    scene->sceneActor = true;
    AiObject *held = AddMonster(11, 5.0f);
    AiObject *gone = AddMonster(12, 5.0f);
    gone->sceneActor = true;
    gone->removed = true;
    hero.sceneActor = true;  // the heroes' own step runs them, frozen or not
    stage.actorUpdate = 0;

    // No scene actor runs yet: the hold posted to the other actor waits.
    scene->sceneActor = false;
    pool.Post(kMsgControl, nullptr, held, 0, kCtlShowHold, 5);
    RunActorPass(&stage, 0.016f, Frame());
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(pool.PendingCount(), 1);
    EXPECT_EQ(held->msgCount, 0);

    scene->sceneActor = true;
    RunActorPass(&stage, 0.016f, Frame());
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].actor, scene);
    EXPECT_FLOAT_EQ(g_calls[0].dt, 0.016f);
    EXPECT_FLOAT_EQ(scene->animClock, 0.016f);
    EXPECT_FLOAT_EQ(held->animClock, 0.0f);
    EXPECT_FLOAT_EQ(gone->animClock, 0.0f);
    EXPECT_EQ(pool.PendingCount(), 0);
    EXPECT_EQ(held->msgCount, 1);  // delivered with the scene actor's pass
    EXPECT_EQ(scene->msgCount, 0);  // frozen: no sensing
    EXPECT_EQ(hero.msgCount, 0);

    // The developer switch that stops the hierarchies stops the scene actor's clock, not its update.
    g_actorPassSkipsAnimation = true;
    RunActorPass(&stage, 0.016f, Frame());
    g_actorPassSkipsAnimation = false;
    EXPECT_EQ(g_calls.size(), 2u);
    EXPECT_FLOAT_EQ(scene->animClock, 0.016f);
}

TEST_F(ActorPassTest, FarUndrawnActorWithoutModelIsSkippedAndItsQueueCleared)
{
    AiObject *m = AddMonster(10, 450.0f);
    m->ReceiveMessage(MSGData{1, kMsgHitActor, &hero, m, {0, 1, 5}});
    RunActorPass(&stage, 0.016f, Frame());
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(m->msgCount, 0);
}

TEST_F(ActorPassTest, TraceHasEveryActorAndHeroAfterThePass)
{
    const std::string path = rwtest::ScratchPath("actor_pass_trace.txt");
    ASSERT_TRUE(game::TraceOpen(path, nullptr));
    game::TraceSetTick(3);
    AiObject *m = AddMonster(10, 5.0f);
    m->state = 2;
    m->hp = 70;
    AiObject *gone = AddMonster(11, 6.0f);  // out of play, still in the chain
    gone->removed = true;
    hero.hp = 500;
    hero.money = 12;
    hero.stageMoney = 40;
    hero.experience = 3;
    hero.killCount = 1;
    hero.power = 9;
    hero.position = {1.0f, 2.0f, 3.0f};
    RunActorPass(&stage, 0.016f, Frame());
    game::TraceClose();
    const auto records = gametest::ReadTrace(path);
    const auto actors = gametest::RecordsOfKind(records, "actor");
    ASSERT_EQ(actors.size(), 3u);
    EXPECT_EQ(actors[0].fields, (std::vector<std::string>{"1", "0", "0", "500", "1.00", "2.00", "3.00", "0"}));
    EXPECT_EQ(actors[1].fields, (std::vector<std::string>{"10", "1000", "2", "70", "5.00", "0.00", "0.00", "0"}));
    EXPECT_EQ(actors[2].fields.at(0), "11");
    EXPECT_EQ(actors[2].fields.at(7), "1");
    const auto heroes = gametest::RecordsOfKind(records, "hero");
    ASSERT_EQ(heroes.size(), 1u);
    EXPECT_EQ(heroes[0].tick, 3u);
    EXPECT_EQ(heroes[0].fields, (std::vector<std::string>{"1", "12", "40", "3", "1", "500", "9"}));
    const auto msgs = gametest::RecordsOfKind(records, "msg");
    ASSERT_EQ(msgs.size(), 1u);  // the sensing message
    EXPECT_EQ(msgs[0].Int(0), kMsgSensing);
    EXPECT_EQ(msgs[0].Int(1), -1);
    EXPECT_EQ(msgs[0].Int(2), 10);
    std::remove(path.c_str());
}

}  // namespace

}  // namespace actor_pass_test
