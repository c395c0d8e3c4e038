// The effects on the real actor core: heroes of the stage record take the
// reward pieces into their stage earnings, the barrel explosion and big
// shots reach actors through the stage's message pool, and the trace shows
// what started, dropped and arrived.
#include <gtest/gtest.h>

#include "actor/ai_msg_pool.h"
#include "actor/hero.h"
#include "app/test_hooks.h"
#include "app/trace.h"
#include "fx/fx_links.h"
#include "fx/fx_stage_links.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_record.h"
#include "event/event_table_file.h"
#include "fx/fx_packages.h"
#include "fx/ge_manager.h"
#include "fx/stage_dyn_effects.h"
#include "fx_test_support.h"
#include "rpusrdat.h"
#include "stage/fake_sound.h"
#include "stage/media_paths.h"
#include "stage/model_template.h"
#include "stage/sfx_manager.h"
#include "stage/stage_manager.h"
#include "support/game/trace_reader.h"

namespace fx_actor_links_test {

namespace {

class FxOnActors : public fxtest::FxEngineTest {
protected:
    void SetUp() override
    {
        fxtest::FxEngineTest::SetUp();
        heroes[0].aiType = 0;
        heroes[0].aiId = 1;
        heroes[1].aiType = 1;
        heroes[1].aiId = 2;
        bomb.aiType = 10028;
        bomb.aiId = 30;
        heroes[0].next = &heroes[1];
        heroes[1].next = &bomb;
        stage.heroes[0] = &heroes[0];
        stage.heroes[1] = &heroes[1];
        stage.heroCount = 2;
        stage.actorHead = &heroes[0];
        stage.messagePool = &pool;
        stage.stageId = 2010000;
        pool.SetChain(&stage.actorHead);
        g_pStageManager = &stage;
        ConnectFxLinksToGame();
        trace = apptest::ScratchFolder("fx_on_actors") + "/trace.txt";
        std::string error;
        ASSERT_TRUE(game::TraceOpen(trace, &error)) << error;
        manager.Create({});
    }
    void TearDown() override
    {
        manager.Release();
        game::TraceClose();
        g_fxLinks = FxLinks{};
        g_pStageManager = nullptr;
        fxtest::FxEngineTest::TearDown();
    }
    // The first hero and the bomb in the barrel's reach, the second hero
    // just out of it.
    void ExplodeABarrelAtTheOrigin()
    {
        heroes[0].SetPosition({29.0f, 0.0f, 0.0f});
        heroes[1].SetPosition({31.0f, 0.0f, 0.0f});
        bomb.SetPosition({0.0f, 0.0f, 29.0f});
        RwMatrix at = fxtest::Translation({0.0f, 0.0f, 0.0f});
        ASSERT_TRUE(manager.barrelBomb->Start(&at));
    }
    CSHero heroes[2];
    AiObject bomb;
    CAiMsgPool pool;
    CSStageManager stage;
    CCGEManager manager;
    std::string trace;
};

TEST_F(FxOnActors, RewardPiecesBecomeStageEarningsAndTraceLines)
{
    heroes[0].SetPosition({2.0f, 0.0f, 0.0f});
    heroes[1].SetPosition({300.0f, 0.0f, 0.0f});
    heroes[0].money = 40;
    EXPECT_EQ(manager.reward->Spawn({0.0f, 0.0f, 0.0f}, 120), 3);
    for (int i = 0; i < 200; ++i) {
        manager.Update(0.016f);
    }
    EXPECT_EQ(heroes[0].stageMoney, 120);
    EXPECT_EQ(heroes[0].money, 40);
    EXPECT_EQ(heroes[1].stageMoney, 0);
    game::TraceClose();
    const auto fx = gametest::RecordsOfKind(gametest::ReadTrace(trace), "fx");
    int starts = 0;
    int rewards = 0;
    int32_t sum = 0;
    for (const gametest::TraceRecord &r : fx) {
        starts += r.fields[0] == "start" && r.fields[1] == "3406000" ? 1 : 0;
        if (r.fields[0] == "reward") {
            ++rewards;
            sum += static_cast<int32_t>(r.Int(1));
            EXPECT_EQ(r.Int(2), 1);  // the first hero's AIID
        }
    }
    EXPECT_EQ(starts, 3);
    EXPECT_EQ(rewards, 3);
    EXPECT_EQ(sum, 120);
}

// Without the link that tells an actor's AIID the pieces still pay the hero
// who picks them up; their trace lines name no one.
TEST_F(FxOnActors, WithoutTheIdLinkRewardPiecesStillPay)
{
    g_fxLinks.aiId = nullptr;
    heroes[0].SetPosition({2.0f, 0.0f, 0.0f});
    heroes[1].SetPosition({300.0f, 0.0f, 0.0f});
    EXPECT_EQ(manager.reward->Spawn({0.0f, 0.0f, 0.0f}, 50), 1);
    for (int i = 0; i < 200; ++i) {
        manager.Update(0.016f);
    }
    EXPECT_EQ(heroes[0].stageMoney, 50);
    game::TraceClose();
    int rewards = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(gametest::ReadTrace(trace), "fx")) {
        if (r.fields[0] == "reward") {
            ++rewards;
            EXPECT_EQ(r.Int(2), -1);
        }
    }
    EXPECT_EQ(rewards, 1);
}

TEST_F(FxOnActors, TheBarrelExplosionLightsANearBombThroughThePool)
{
    ExplodeABarrelAtTheOrigin();
    EXPECT_EQ(pool.PendingCount(), 2);
    pool.Deliver(0);
    ASSERT_EQ(heroes[0].msgCount, 1);
    EXPECT_EQ(heroes[0].msgQueue[0].kind, kMsgHitHero);
    EXPECT_EQ(heroes[0].msgQueue[0].word[1], kAtkPlain);
    EXPECT_EQ(heroes[0].msgQueue[0].word[2], 100);
    EXPECT_EQ(heroes[1].msgCount, 0);
    ASSERT_EQ(bomb.msgCount, 1);
    EXPECT_EQ(bomb.msgQueue[0].kind, kMsgHitActor);
    EXPECT_EQ(bomb.msgQueue[0].sender, nullptr);
    EXPECT_EQ(bomb.msgQueue[0].word[1], kAtkPlain);
}

// Without the link that tells an actor's type no actor counts as a monster:
// the blast still reaches the heroes, the bomb stays unlit, nothing breaks.
TEST_F(FxOnActors, WithoutTheTypeLinkTheBarrelExplosionReachesOnlyTheHeroes)
{
    g_fxLinks.aiType = nullptr;
    ExplodeABarrelAtTheOrigin();
    EXPECT_EQ(pool.PendingCount(), 1);
    pool.Deliver(0);
    EXPECT_EQ(heroes[0].msgCount, 1);
    EXPECT_EQ(bomb.msgCount, 0);
    EXPECT_EQ(FxActorAiType(&bomb), -1);
}

TEST_F(FxOnActors, TheEventsReachTheDynamicSlotsAndTheVines)
{
    CSStageDynEffects slots;
    stage.dynEffects = &slots;
    stage.geManager = &manager;
    ConnectEventEffectLinks();
    const int32_t slot = g_eventLinks.takeDynSlot(3300100);
    ASSERT_GE(slot, 0);
    g_eventLinks.placeDynSlot(slot, {1.0f, 2.0f, 3.0f});
    const float values[5] = {-29.5f, 1.0f, -35.4f, 1.0f, -10.05f};
    g_eventLinks.setDynValues(slot, values, 12, 7, 4);
    g_eventLinks.showDynSlot(slot, true, false);
    const StageDynEntry *entry = slots.Entry(slot);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->position.y, 2.0f);
    EXPECT_EQ(entry->values[4], -10.05f);
    EXPECT_EQ(entry->values[5], 4.0f);
    EXPECT_EQ(entry->middle, 12);
    EXPECT_EQ(entry->low, 7);
    EXPECT_TRUE(entry->active);
    g_eventLinks.freeDynSlot(slot);
    EXPECT_EQ(slots.SlotsInUse(), 0);
    g_eventLinks.startVines({0.0f, 0.0f, 0.0f});
    EXPECT_EQ(manager.vines->InstancesInUse(), 8);
    g_eventLinks = EventLinks{};
    stage.geManager = nullptr;
    stage.dynEffects = nullptr;
}

// What the events start through their links lands in the stage's pools at
// the place given; without a stage or its effects nothing starts and
// nothing breaks.
TEST_F(FxOnActors, TheEventsStartTheStagesEffectsWhereTheyAsk)
{
    CSStageDynEffects slots;
    stage.dynEffects = &slots;
    stage.geManager = &manager;
    ConnectEventEffectLinks();
    const auto livePositions = [](const CSGePool &pool) {
        std::vector<RwV3d> at;
        for (int32_t i = 0; i < pool.InstanceCount(); ++i) {
            if (pool.Instance(i).used) {
                at.push_back(pool.Instance(i).position);
            }
        }
        return at;
    };
    EXPECT_TRUE(g_eventLinks.startEffectBurst({1.0f, 2.0f, 3.0f}));
    ASSERT_EQ(livePositions(*manager.effect3507200).size(), 1u);
    EXPECT_EQ(livePositions(*manager.effect3507200)[0].z, 3.0f);
    EXPECT_TRUE(g_eventLinks.startDownHit({4.0f, 0.0f, 0.0f}));
    ASSERT_EQ(livePositions(*manager.downHit).size(), 1u);
    EXPECT_EQ(livePositions(*manager.downHit)[0].x, 4.0f);
    g_eventLinks.startExplosion({0.0f, 0.0f, 50.0f});
    EXPECT_GT(manager.explosion->InstancesInUse(), 0);
    // The star: started at a place, put out, and lit again where it was.
    EXPECT_TRUE(g_eventLinks.startStarEffect({7.0f, 0.0f, 0.0f}));
    g_eventLinks.starEffectOn(false);
    EXPECT_EQ(manager.sStarEff->InstancesInUse(), 0);
    g_eventLinks.starEffectOn(true);
    ASSERT_EQ(livePositions(*manager.sStarEff).size(), 1u);
    EXPECT_EQ(livePositions(*manager.sStarEff)[0].x, 7.0f);
    // A dynamic slot turned about the vertical keeps its place; no slot, nothing.
    const int32_t slot = g_eventLinks.takeDynSlot(3300100);
    ASSERT_GE(slot, 0);
    g_eventLinks.placeDynSlot(slot, {1.0f, 2.0f, 3.0f});
    g_eventLinks.turnDynSlot(slot, 90.0f);
    g_eventLinks.turnDynSlot(slot + 1, 90.0f);  // no such slot: nothing
    const StageDynEntry *entry = slots.Entry(slot);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->position.x, 1.0f);
    g_eventLinks.freeDynSlot(slot);
    // Without the stage's effects.
    stage.geManager = nullptr;
    stage.dynEffects = nullptr;
    EXPECT_FALSE(g_eventLinks.startEffectBurst({0.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(g_eventLinks.startStarEffect({0.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(g_eventLinks.startDownHit({0.0f, 0.0f, 0.0f}));
    g_eventLinks.startExplosion({0.0f, 0.0f, 0.0f});
    g_eventLinks.starEffectOn(true);
    EXPECT_EQ(g_eventLinks.takeDynSlot(3300100), -1);
    g_eventLinks.turnDynSlot(0, 90.0f);
    g_pStageManager = nullptr;
    EXPECT_FALSE(g_eventLinks.startEffectBurst({0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(g_eventLinks.takeDynSlot(3300100), -1);
    EXPECT_EQ(manager.effect3507200->InstancesInUse(), 1);
    g_eventLinks = EventLinks{};
}

// On an actor that wears a model, the dizzy stars sit on its head (the
// frame tagged 100090) and the charge glow on the model's own frame, and
// both go along when the model moves; on one without a model they start
// where the actor stands.
TEST_F(FxOnActors, EffectsSitOnTheFramesOfAnActorsModelAndFollowThem)
{
    RpClump *clump = RpClumpCreate();
    RwFrame *root = RwFrameCreate();
    RpClumpSetFrame(clump, root);
    RwFrame *head = RwFrameCreate();
    const RwV3d above = {0.0f, 5.0f, 0.0f};
    RwFrameTranslate(head, &above, rwCOMBINEREPLACE);
    RwFrameAddChild(root, head);
    RpUserDataArray *tag =
        RpUserDataListAddArray(RpUserDataFrameGetList(head), "3dsmax User Properties", rpSTRINGUSERDATA, 1);
    ASSERT_NE(tag, nullptr);
    RpUserDataArraySetString(tag, 0, "100090");
    CSModelInstance model;
    model.clump = clump;
    heroes[0].model = &model;
    heroes[0].SetPosition({10.0f, 0.0f, 0.0f});
    heroes[1].SetPosition({300.0f, 0.0f, 7.0f});
    ASSERT_TRUE(manager.dizzy->Start(&heroes[0]));
    ASSERT_TRUE(manager.charge3206400->Start(&heroes[0]));
    ASSERT_TRUE(manager.dizzy->Start(&heroes[1]));
    const auto at = [](const CSGePool &pool, int32_t index) { return pool.Instance(index).position; };
    EXPECT_EQ(at(*manager.dizzy, 0).x, 10.0f);
    EXPECT_EQ(at(*manager.dizzy, 0).y, 5.0f);
    EXPECT_EQ(at(*manager.dizzy, 1).x, 300.0f);
    EXPECT_EQ(at(*manager.dizzy, 1).z, 7.0f);
    heroes[0].SetPosition({20.0f, 1.0f, 0.0f});
    manager.Update(0.1f);
    EXPECT_EQ(at(*manager.dizzy, 0).x, 20.0f);
    EXPECT_EQ(at(*manager.dizzy, 0).y, 6.0f);
    EXPECT_EQ(at(*manager.charge3206400, 0).x, 20.0f);
    EXPECT_EQ(at(*manager.charge3206400, 0).y, 1.0f);
    manager.StopOwner(&heroes[0]);
    manager.StopOwner(&heroes[1]);
    heroes[0].model = nullptr;
    RpClumpDestroy(clump);
}

// An effect's sound goes to the stage's sound effects and plays once at
// the sound step; without them it is silent.
TEST_F(FxOnActors, AnEffectsSoundPlaysThroughTheStagesSoundEffects)
{
    soundtest::FakeSound sound;
    sound.AddFile(SoundEffectPath(3100010));
    CSSFXManager sfx(sound.Port());
    const int32_t ids[] = {3100010};
    sfx.AddSFXList(ids, 1);
    stage.sfxManager = &sfx;
    g_fxLinks.playSound(3100010);
    sfx.Update();
    EXPECT_EQ(sound.Count("play " + SoundEffectPath(3100010)), 1u);
    EXPECT_FALSE(sound.Find(SoundEffectPath(3100010))->loop);  // once, not looped
    stage.sfxManager = nullptr;
    g_fxLinks.playSound(3100010);
    sfx.Update();
    EXPECT_EQ(sound.Count("play " + SoundEffectPath(3100010)), 1u);
}

// The packages of the stage that hides them show once the stage's events
// say their event has happened: not before, nor without the stage's events.
TEST_F(FxOnActors, HiddenPackagesShowOnceTheStagesEventHasHappened)
{
    stage.stageId = kHiddenPackagesStage;
    CSFxPackageList packages;
    EXPECT_FALSE(packages.IsShown());
    CSEventManager events;
    EventTableEntry entry;
    entry.eventId = kShowPackagesEvent;
    const std::string text = FormatEventTable({entry});
    zuFile *file = zufopenMemory(text.data(), text.size(), "r");
    ASSERT_TRUE(events.LoadEventTable(file));
    zufclose(file);
    stage.eventManager = &events;
    EXPECT_FALSE(packages.IsShown());
    events.FindEvent(kShowPackagesEvent)->OccurCount = 1;
    EXPECT_TRUE(packages.IsShown());
    stage.eventManager = nullptr;
    EXPECT_FALSE(packages.IsShown());
    stage.stageId = 2010000;
    EXPECT_TRUE(packages.IsShown());
    events.Release();
}

// The test options reach into the stage on their tick only: the first
// hero's life, the boss gauge asked for, reward pieces 12 units beside the
// first hero, the running stage finished with its fade; each with a trace
// line. Without a running stage nothing is finished.
TEST_F(FxOnActors, TheTestOptionsActOnTheirTickOnly)
{
    stage.geManager = &manager;
    static int gauges = 0;
    gauges = 0;
    g_eventLinks.requestBossGauge = [] { ++gauges; };
    heroes[0].hp = 900;
    heroes[0].SetPosition({5.0f, 0.0f, -3.0f});
    game::Options options;
    options.heroLife = {{7, 30}};
    options.bossGaugeTicks = {7};
    options.rewards = {{7, 100}};
    options.stageEnds = {7};
    stage.stageNumber = 0;  // no running stage
    ApplyTestSettings(options, 6, &stage);
    EXPECT_EQ(heroes[0].hp, 900);
    EXPECT_EQ(gauges, 0);
    EXPECT_EQ(manager.reward->InstancesInUse(), 0);
    ApplyTestSettings(options, 7, &stage);
    EXPECT_EQ(heroes[0].hp, 30);
    EXPECT_EQ(gauges, 1);
    ASSERT_GT(manager.reward->InstancesInUse(), 0);
    EXPECT_EQ(manager.reward->Instance(0).from.x, 17.0f);
    EXPECT_EQ(manager.reward->Instance(0).from.z, -3.0f);
    EXPECT_FALSE(stage.IsStageChangePending());
    stage.stageNumber = 42;
    options.heroLife.clear();
    options.rewards.clear();
    options.bossGaugeTicks.clear();
    ApplyTestSettings(options, 7, &stage);
    EXPECT_TRUE(stage.IsStageChangePending());
    EXPECT_EQ(stage.stageChange.target, 42);
    EXPECT_EQ(stage.stageChange.transition, 1);
    EXPECT_EQ(stage.stageChange.ms, 2000u);
    ApplyTestSettings(options, 7, nullptr);  // no stage manager: nothing
    game::TraceClose();
    const auto tests = gametest::RecordsOfKind(gametest::ReadTrace(trace), "test");
    ASSERT_EQ(tests.size(), 4u);
    EXPECT_EQ(tests[0].fields[0], "hero-life");
    EXPECT_EQ(tests[0].Int(1), 30);
    EXPECT_EQ(tests[1].fields[0], "boss-gauge");
    EXPECT_EQ(tests[2].fields[0], "reward");
    EXPECT_EQ(tests[2].Int(1), 100);
    EXPECT_EQ(tests[3].fields[0], "stage-end");
    EXPECT_EQ(tests[3].Int(1), 42);
    g_eventLinks = EventLinks{};
    stage.geManager = nullptr;
    stage.stageChange = StageChangeRequest{};
}

}  // namespace

}  // namespace fx_actor_links_test
