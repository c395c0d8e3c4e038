// The sample data's first stage with its events, on the real stage records:
// the placed monster of the sample placement, a hero record, the event
// table read by Init from the data tree, the links the stage connects and
// the run's trace. Walking into the exit's area leaves nothing while the
// monster stands; once it is gone, walking in chains its event, the link
// starter and the exit. The trace lines are the ones a headless run of the
// game writes; the game runs themselves follow, the hero under a scripted
// pad: its walk into the exit's area past the monster, and its fight with
// the monster to the monster's death and on into the exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "actor/actor_placement.h"
#include "actor/hero.h"
#include "app/app_test_support.h"
#include "app/trace.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_stage_links.h"
#include "event_test_support.h"
#include "stage/stage_paths.h"
#include "support/engine/scratch_path.h"
#include "support/game/kill_checks.h"
#include "support/game/sample_stage.h"
#include "support/game/trace_reader.h"
#include "tests/stage/stage_test_support.h"

namespace event_stage_run_test {

namespace {

constexpr float kDt = 0.016f;

// The event and stage-request lines of a trace, each "tick kind fields".
std::vector<std::string> ChainLines(const std::vector<gametest::TraceRecord> &trace)
{
    // The stage's other events (the notice board, the talks) have lines of
    // their own; only the exit's chain counts here.
    const auto ofChain = [](const gametest::TraceRecord &r) {
        return !r.fields.empty() && (r.fields[0] == "79010400" || r.fields[0] == "79012500" || r.fields[0] == "79012400");
    };
    std::vector<std::string> lines;
    for (const gametest::TraceRecord &r : trace) {
        const bool request = r.kind == "stage" && !r.fields.empty() && r.fields[0] == "request" && r.tick > 0;
        if (!(r.kind == "event" && ofChain(r)) && !request) {
            continue;
        }
        std::string line = std::to_string(r.tick) + " " + r.kind;
        for (const std::string &field : r.fields) {
            line += " " + field;
        }
        lines.push_back(line);
    }
    return lines;
}

// The lines without their ticks.
std::vector<std::string> WithoutTicks(const std::vector<std::string> &lines)
{
    std::vector<std::string> out;
    for (const std::string &line : lines) {
        out.push_back(line.substr(line.find(' ') + 1));
    }
    return out;
}

const std::vector<std::string> kChainLines = {
    "event 79010400 end_at_once started 0",  "event 79010400 end_at_once ended 1",
    "event 79012500 link_starter started 0", "event 79012500 link_starter ended 1",
    "event 79012400 stage_exit started 0",   "event 79012400 stage_exit ended 1",
    "stage request 1 1 2000 taken"};

class EventSampleStage : public stagetest::StageEngineTest {
protected:
    void SetUp() override
    {
        StageEngineTest::SetUp();
        ASSERT_TRUE(sample.Load(true)) << "no sample data: build the sample-data target";
        for (AiObject *a = sample.stage.actorHead; a != nullptr; a = a->next) {
            monster = a->aiType == 1000 ? a : monster;
        }
        ASSERT_NE(monster, nullptr);
        hero.aiType = 0;
        hero.side = kSideHero;
        hero.aiId = 9;
        hero.hp = 2000;
        hero.position = {-20.0f, 0.0f, -40.0f};  // the first start
        sample.stage.heroes[0] = &hero;
        sample.stage.heroCount = 1;
        LinkActor(&sample.stage, &hero);
        ConnectEventActorLinks();
        ConnectEventStageChange();
        manager.Init();  // the data tree's event table
        manager.LoadStageEvents(kFirstStageId, 1);
        tracePath = rwtest::ScratchPath("event_sample_stage.txt");
        ASSERT_TRUE(game::TraceOpen(tracePath, nullptr));
    }
    void TearDown() override
    {
        game::TraceClose();
        std::remove(tracePath.c_str());
        manager.ReleaseStageEvents();
        manager.Release();
        g_eventLinks = EventLinks();
        sample.stage.heroes[0] = nullptr;
        sample.stage.heroCount = 0;
        sample.Release();
        StageEngineTest::TearDown();
    }
    // One tick of the stage's event step.
    void Tick(uint32_t tick)
    {
        game::TraceSetTick(tick);
        manager.SetPlayerPose(0, &hero);
        manager.CheckTriggers(kDt);
        manager.Update(kDt);
    }
    std::vector<std::string> Lines()
    {
        game::TraceClose();
        return ChainLines(gametest::ReadTrace(tracePath));
    }

    gametest::SampleStage sample;
    CSHero hero;
    AiObject *monster = nullptr;
    CSEventManager manager;
    std::string tracePath;
};

TEST_F(EventSampleStage, TheMonsterIsBoundToItsEvent)
{
    const EventRecord *cleared = manager.FindEvent(79010400);
    ASSERT_NE(cleared, nullptr);
    ASSERT_EQ(cleared->ActorNum, 1);
    EXPECT_EQ(cleared->Actors[0], monster);
}

// Up the yard at 75 units a second: z 125 is reached on tick 132.
void WalkUpTheYard(CSHero *hero, uint32_t tick, uint32_t from)
{
    hero->position.z = -40.0f + 75.0f * kDt * static_cast<float>(tick - from);
    hero->position.x = -20.0f;
}

TEST_F(EventSampleStage, WalkingIntoTheExitAreaWhileTheMonsterStandsLeavesNothing)
{
    for (uint32_t tick = 1; tick <= 300; ++tick) {
        WalkUpTheYard(&hero, std::min<uint32_t>(tick, 200), 0);
        Tick(tick);
    }
    EXPECT_TRUE(Lines().empty());
    EXPECT_FALSE(monster->removed);
}

TEST_F(EventSampleStage, TheMonsterGoneOpensTheExitThatTheHeroWalksInto)
{
    for (uint32_t tick = 1; tick <= 60; ++tick) {
        Tick(tick);
    }
    monster->removed = true;  // as its death marks it
    uint32_t entered = 0;
    for (uint32_t tick = 61; tick <= 260; ++tick) {
        WalkUpTheYard(&hero, tick, 60);
        if (entered == 0 && hero.position.z >= 125.0f) {
            entered = tick;
        }
        Tick(tick);
    }
    ASSERT_GT(entered, 0u);
    const std::vector<std::string> lines = Lines();
    EXPECT_EQ(WithoutTicks(lines), kChainLines);
    ASSERT_EQ(lines.size(), kChainLines.size());
    // The event ends on the tick the hero enters; the link starter counts
    // the end a tick later, and the exit it starts runs on that tick.
    EXPECT_EQ(lines[0], std::to_string(entered) + " event 79010400 end_at_once started 0");
    EXPECT_EQ(lines[2], std::to_string(entered + 1) + " event 79012500 link_starter started 0");
    EXPECT_EQ(lines[6], std::to_string(entered + 1) + " stage request 1 1 2000 taken");
}

// ---- the game itself, headless, under a scripted pad ----

std::vector<gametest::TraceRecord> RunFirstStageTrace(const char *name, const char *script, uint32_t frames)
{
    return event_test::RunStageTrace(name, 1, script, frames);
}

std::vector<std::string> RunFirstStage(const char *name, const char *script, uint32_t frames)
{
    return WithoutTicks(ChainLines(RunFirstStageTrace(name, script, frames)));
}

// The hero walks up the yard under the pad, past the monster and into the
// exit's area: the exit is shut while the monster stands.
TEST(EventGameRun, TheExitIsShutWhileTheMonsterStands)
{
    EXPECT_TRUE(RunFirstStage("walk", "walk_to_exit.txt", 280).empty());
}

// The hero fights the monster to its death (it strikes back): the monster
// dies and goes, its reward pieces reach the hero's stage earnings; the
// hero walks on into the exit's area: the monster's event ends, the link
// starter follows and the exit ends the stage.
TEST(EventGameRun, TheHeroKillsTheMonsterAndLeavesThroughTheExit)
{
    // The monster is gone on tick 606 and its last piece reaches the hero on
    // tick 648; the hero enters the exit's area on tick 893.
    const std::vector<gametest::TraceRecord> trace = RunFirstStageTrace("kill", "kill_monster_and_leave.txt", 900);
    gametest::ExpectKillAndReward(trace, {1, 0, {22, 23}, {24, 25}, 30});
    EXPECT_EQ(WithoutTicks(ChainLines(trace)), kChainLines);
}

}  // namespace

}  // namespace event_stage_run_test
