// End to end: the first hero played by the keyboard on the first stage. The
// run's trace shows the hero walking the scripted way, the camera following
// it within the stage's limits, the chain of attack states and the hits on
// the placed monster (delivered as kind-1 messages once the monster's type
// reads its queue). The monster here picks no target, so that it stands
// where it is placed and leaves the hero's walk and strikes alone; it still
// takes the hits. The whole run is kept as a log of its lines.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "actor/ai_message.h"
#include "actor/ai_type_table.h"
#include "app/app_test_support.h"
#include "app/path.h"
#include "stage/stage_info.h"
#include "support/game/run_log.h"
#include "support/game/trace_reader.h"

namespace game_hero_test {

namespace {

struct Pose {
    int32_t state = -1;
    double x = 0;
    double y = 0;
    double z = 0;
};

// One run serves every test of the suite.
class GameHero : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        run_ = new Run();
        if (!apptest::HaveSampleData()) {
            return;
        }
        run_->folder = apptest::ScratchFolder("game_hero");
        if (!apptest::CopySampleData(run_->folder)) {
            return;
        }
        // AttackTarget 0: the monster picks no target.
        const std::string paf = run_->folder + "/RESOURCE/MONSTER/1000/1000.PAF";
        const std::vector<uint8_t> bytes = apptest::ReadBytes(paf);
        std::string text(bytes.begin(), bytes.end());
        const size_t key = text.find("AttackTarget: 1");
        if (key == std::string::npos) {
            return;
        }
        text.replace(key, 15, "AttackTarget: 0");
        apptest::WriteText(paf, text);
        const std::string script = std::string(RW_TEST_SOURCE_DIR) + "/tests/app/scripts/walk-attack.txt";
        run_->status = apptest::RunGame(run_->folder,
                                        "--headless --mode 1 --stage 1 --fixed-step 16 --frames 300 --input " + script +
                                            " --trace t.txt" + gametest::kKeptRunOptions,
                                        &run_->output, "SDL_AUDIODRIVER=dummy");
        run_->trace = gametest::ReadTrace(run_->folder + "/t.txt");
        for (const gametest::TraceRecord &r : gametest::RecordsOfKind(run_->trace, "actor")) {
            if (r.Int(0) == 0) {
                run_->hero[r.tick] = {static_cast<int32_t>(r.Int(2)), r.Real(4), r.Real(5), r.Real(6)};
            }
        }
        for (const gametest::TraceRecord &r : gametest::RecordsOfKind(run_->trace, "camera")) {
            run_->camera[r.tick] = {static_cast<int32_t>(r.Int(0)), r.Real(1), r.Real(2), r.Real(3)};
        }
    }
    static void TearDownTestSuite()
    {
        delete run_;
        run_ = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(apptest::HaveSampleData()) << "no sample data: build the sample-data target";
        ASSERT_EQ(run_->status, 0) << run_->output;
    }

    struct Run {
        std::string folder;
        std::string output;
        int status = -1;
        std::vector<gametest::TraceRecord> trace;
        std::map<uint32_t, Pose> hero;
        std::map<uint32_t, Pose> camera;
    };
    static Run *run_;
    const std::string &folder = run_->folder;
    const std::vector<gametest::TraceRecord> &trace = run_->trace;
    std::map<uint32_t, Pose> &hero = run_->hero;
    std::map<uint32_t, Pose> &camera = run_->camera;
};

GameHero::Run *GameHero::run_ = nullptr;

TEST_F(GameHero, TheHeroWalksTheScriptedWay)
{
    ASSERT_EQ(hero.size(), 300u);
    // Standing at the start until the key goes down.
    EXPECT_EQ(hero[9].state, 0);
    EXPECT_NEAR(hero[9].x, -20.0, 0.01);
    EXPECT_NEAR(hero[9].z, -40.0, 0.01);
    // Up: away from the camera, up the diagonal it looks along, 40 units a second.
    const double upX = hero[139].x - hero[10].x;
    const double upZ = hero[139].z - hero[10].z;
    EXPECT_EQ(hero[100].state, 1);
    EXPECT_NEAR(upX, 0.64 * 129 / std::sqrt(2.0), 1.5);
    EXPECT_NEAR(upZ, upX, 0.5);
    // Right: across the camera's view to the screen's right, until the monster stops it.
    const double rightX = hero[150].x - hero[141].x;
    const double rightZ = hero[150].z - hero[141].z;
    EXPECT_LT(rightX, -1.0);
    EXPECT_NEAR(rightZ, -rightX, 0.5);
    const double apart = std::hypot(hero[160].x - 30.0, hero[160].z - 30.0);
    EXPECT_GE(apart, 8.0 - 0.01);  // two body radii: the monster blocks
    EXPECT_LT(apart, 9.0);
    for (uint32_t tick = 150; tick <= 300; ++tick) {
        EXPECT_EQ(hero[tick].y, 0.0) << tick;
    }
}

TEST_F(GameHero, TheCameraFollowsWithinItsLimits)
{
    StageInfo info;
    SetDataRootPath(folder.c_str());
    ASSERT_TRUE(ReadStageInfoFile("\\RESOURCE\\STAGEINF\\STAGE00.BSF", &info, false));
    SetDataRootPath("");
    ASSERT_GE(camera.size(), 300u);
    for (uint32_t tick = 1; tick <= 300; ++tick) {
        const Pose &eye = camera[tick];
        const Pose &feet = hero[tick];
        EXPECT_EQ(eye.state, 0) << tick;  // in play throughout
        const double ground = std::hypot(eye.x - feet.x, eye.z - feet.z);
        const double distance = std::hypot(ground, eye.y - feet.y);
        const double pitch = std::atan2(eye.y - feet.y, ground) * 180.0 / M_PI;
        EXPECT_GE(distance, info.camera1.distanceMin - 1.0) << tick;
        EXPECT_LE(distance, info.camera1.distanceMax + 1.0) << tick;
        EXPECT_GE(pitch, info.camera1.pitchDegreeMin - 1.0) << tick;
        EXPECT_LE(pitch, info.camera1.pitchDegreeMax + 1.0) << tick;
    }
    // It came along: the hero's walk is the camera's.
    EXPECT_NEAR(camera[160].x - camera[10].x, hero[160].x - hero[10].x, 5.0);
    EXPECT_NEAR(camera[160].z - camera[10].z, hero[160].z - hero[10].z, 5.0);
}

TEST_F(GameHero, TheAttackChainStrikesTheMonster)
{
    // The states 40, 41 and 42 follow each other from the first press.
    std::vector<int32_t> attacks;
    for (const auto &[tick, pose] : hero) {
        if (pose.state >= 40 && pose.state <= 84 && (attacks.empty() || attacks.back() != pose.state)) {
            attacks.push_back(pose.state);
        }
    }
    EXPECT_EQ(attacks, (std::vector<int32_t>{40, 41, 42}));
    EXPECT_EQ(hero[164].state, 0);
    EXPECT_EQ(hero[165].state, 40);
    // One hit per attack on the monster (AIID 1): the state's attribute
    // (the damage bit 1 with the reaction's; the last blow also breaks
    // wall-like objects) and its AttackValue (20, 25, 40 with the
    // LevelAppend 1) + the sword's 80.
    std::vector<std::vector<int64_t>> hits;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "hit")) {
        hits.push_back({r.Int(0), r.Int(1), r.Int(2), r.Int(3)});
        EXPECT_GE(r.tick, 165u);
    }
    EXPECT_EQ(hits, (std::vector<std::vector<int64_t>>{{0, 1, 1, 100}, {0, 1, 1 | 2, 105}, {0, 1, 1 | 8 | kAtkBreakWall, 120}}));
    // Each hit is a kind-1 message to the monster, delivered once its type
    // reads its queue (a type without an update lets its queue fill up).
    if (AiTypeUpdateOf(1000) != nullptr) {
        int delivered = 0;
        for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "msg")) {
            if (r.Int(0) == 1 && r.Int(1) == 0 && r.Int(2) == 1) {
                ++delivered;
            }
        }
        EXPECT_EQ(delivered, 3);
    }
    // The whole walk and fight as kept: the hero's and the monster's places,
    // states and poses each tick, the camera, the hits, messages and sounds,
    // and the frames shown every fourth tick (tests/app/frame_logs).
    gametest::ExpectRunAsKept(trace, "app/frame_logs/hero_walk_attack", folder + "/t.txt");
}

}  // namespace

}  // namespace game_hero_test
