// "Make Game Stream" on the real game system over the sample data: the
// order of its steps (from its trace), every listed stage loaded and
// released, CHARSTREAM.TXT written, no stage and no hero left afterwards;
// a second pass finds the stage-wide packs already loaded.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/game_system.h"
#include "app/game_system_children.h"
#include "app/path.h"
#include "app/trace.h"
#include "devmenu/dev_menu.h"
#include "devmenu/stage_list.h"
#include "fx/particle_manager.h"
#include "stage/stage_manager.h"
#include "support/game/trace_reader.h"
#include "tests/app/app_test_support.h"
#include "tests/stage/stage_screen_fakes.h"

namespace game_stream_test {

namespace {

class GameStreamOnTheSampleData : public apptest::GameEngineTest {
protected:
    void TearDown() override
    {
        game::TraceClose();
        recorder.reset();
        gs.Destroy();
        apptest::GameEngineTest::TearDown();
    }

    stagetest::RecordingScreenCalls screens;
    CSGameSystem gs;
    std::optional<apptest::FatalRecorder> recorder;
};

std::vector<std::string> Lines(const std::vector<gametest::TraceRecord> &trace, const std::string &kind)
{
    std::vector<std::string> lines;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == kind) {
            std::string line;
            for (const std::string &f : r.fields) {
                line += (line.empty() ? "" : " ") + f;
            }
            lines.push_back(line);
        }
    }
    return lines;
}

TEST_F(GameStreamOnTheSampleData, LoadsAndReleasesEveryListedStageAndWritesTheReport)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    // The pass writes its report into the data root: a copy of the sample data
    // of this test's own, as other test programs copy the sample data meanwhile
    // (a report written and removed in it came and went under their copies).
    const std::string folder = apptest::ScratchFolder("devmenu_stream");
    ASSERT_TRUE(apptest::CopySampleData(folder + "/data"));
    StartIn(folder + "/data");
    ASSERT_TRUE(gs.Create(64, 48, 1));
    GameSystemChildren{gs}.ReleaseScreens();
    screens.Install();
    recorder.emplace();
    const std::string tracePath = folder + "/t.txt";
    std::string error;
    ASSERT_TRUE(game::TraceOpen(tracePath, &error)) << error;
    const std::string report = ResolveGamePath("\\CHARSTREAM.TXT");
    std::remove(report.c_str());

    gs.devMenu->MakeGameStream();
    EXPECT_EQ(gs.stageManager->stageId, 0) << "no stage is loaded afterwards";
    EXPECT_EQ(gs.stageManager->heroCount, 0) << "the heroes are released";
    EXPECT_EQ(gs.stageManager->effectsPackLoaded, 1);
    EXPECT_EQ(gs.stageManager->itemsPackLoaded, 1);
    EXPECT_EQ(gs.stageManager->eventsPackLoaded, 1);
    const int32_t particleTemplates =
        gs.stageManager->particleManager != nullptr ? gs.stageManager->particleManager->TemplateCount() : -1;

    std::vector<uint8_t> bytes = apptest::ReadBytes(report);
    const std::string text(bytes.begin(), bytes.end());
    std::remove(report.c_str());
    EXPECT_EQ(text.rfind("ObjectKind :\n", 0), 0u) << text;
    EXPECT_NE(text.find("\nClumpInfo :\n"), std::string::npos);

    // The second pass: the packs stay as they were.
    gs.devMenu->MakeGameStream();
    std::remove(report.c_str());
    if (gs.stageManager->particleManager != nullptr) {
        EXPECT_EQ(gs.stageManager->particleManager->TemplateCount(), particleTemplates);
    }
    game::TraceClose();

    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(tracePath);
    std::vector<std::string> expected = {"stream packs", "stream hero 0", "stream hero 1", "stream report"};
    std::vector<std::string> stageLines;
    for (int32_t i = 0; i < kDevMenuStageCount; ++i) {
        const std::string id = std::to_string(kDevMenuStages[i].id);
        expected.push_back("stream stage " + id);
        stageLines.push_back("load " + id);
        stageLines.push_back("release " + id);
    }
    expected.push_back("stream done");
    std::vector<std::string> menu = Lines(trace, "menu");
    // Without screens no screen step runs; the events' step runs when the
    // stage's event manager exists.
    std::erase(menu, std::string("stream animevents"));
    ASSERT_EQ(menu.size(), expected.size() * 2);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(menu[i], expected[i]);
        EXPECT_EQ(menu[expected.size() + i], expected[i]);
    }
    std::vector<std::string> stages;
    for (const std::string &line : Lines(trace, "stage")) {
        if (line.rfind("load ", 0) == 0 || line.rfind("release ", 0) == 0) {
            stages.push_back(line);
        }
    }
    ASSERT_EQ(stages.size(), stageLines.size() * 2);
    for (size_t i = 0; i < stageLines.size(); ++i) {
        EXPECT_EQ(stages[i], stageLines[i]);
    }
    EXPECT_TRUE(apptest::FatalRecorder::Names().empty());
}

}  // namespace

}  // namespace game_stream_test
