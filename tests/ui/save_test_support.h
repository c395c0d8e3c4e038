// Support for the save slots' tests: a data tree of the test's own that
// shares the sample data's folders through links and keeps its saves apart
// (a SAVE folder that starts as the sample's copy), removed once the test
// has passed; the game's headless run on such a tree, its frames against a
// kept frame log; and the screens' fixture with the front end's pictures,
// the interface sounds on a device-less front-end and the run's trace.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/audio.h"
#include "app/bmp_file.h"
#include "app/pack.h"
#include "app/trace.h"
#include "tests/app/app_test_support.h"
#include "tests/app/reference_image.h"
#include "tests/support/game/frame_log.h"
#include "tests/support/game/trace_reader.h"
#include "tests/ui/ui_test_support.h"
#include "ui/ui_sound.h"

namespace savetest {

namespace fs = std::filesystem;

inline std::string TreesFolder() { return std::string(RW_TEST_BINARY_DIR) + "/tests/ui_saves/" + std::to_string(getpid()); }

// A tree named `name`: links to every top-level entry of the sample data
// but SAVE, and SAVE copied (the sample's game in slot 1) unless `noSaves`.
// Empty when the sample data is not built.
inline std::string LinkedTree(const std::string &name, bool noSaves = false)
{
    if (!apptest::HaveSampleData()) {
        return std::string();
    }
    const fs::path root = fs::path(TreesFolder()) / name;
    fs::remove_all(root);
    fs::create_directories(root);
    for (const fs::directory_entry &entry : fs::directory_iterator(apptest::SampleData())) {
        const std::string leaf = entry.path().filename().string();
        if (leaf == "SAVE") {
            if (!noSaves) {
                fs::copy(entry.path(), root / leaf, fs::copy_options::recursive);
            }
        } else if (entry.is_directory()) {
            fs::create_directory_symlink(entry.path(), root / leaf);
        } else {
            fs::create_symlink(entry.path(), root / leaf);
        }
    }
    return root.string();
}

// Removes a tree (and this process's folder of trees once it is empty; the
// folder of every process's trees stays, as another run may be making its
// own in it at this moment).
inline void RemoveTree(const std::string &root)
{
    std::error_code error;
    fs::remove_all(root, error);
    fs::remove(fs::path(root).parent_path(), error);
}

inline std::string SlotPath(const std::string &root, int32_t number)
{
    char name[32];
    std::snprintf(name, sizeof name, "/SAVE/SAVE%02d.SAV", number);
    return root + name;
}

// Runs the game headless on the tree `root` at a 16 ms step with `arguments`
// under the input script `script` (written as script.txt), expecting status
// 0 (what it printed in `output` if given); the trace it wrote into the
// tree as `traceName`, whose frame lines of every fourth tick match the kept
// frame log tests/ui/frame_logs/`keptName`.
inline std::vector<gametest::TraceRecord> RunKeepingFrames(const std::string &root, const std::string &script,
                                                           const std::string &arguments, const std::string &traceName,
                                                           const std::string &keptName, std::string *output = nullptr)
{
    std::ofstream(root + "/script.txt") << script;
    std::string printed;
    EXPECT_EQ(apptest::RunGame(root,
                               "--headless --mode 1 --fixed-step 16 --input script.txt --trace " + traceName + " " +
                                   arguments + gametest::kKeptFramesOption,
                               &printed),
              0)
        << printed;
    if (output != nullptr) {
        *output = printed;
    }
    const std::string tracePath = root + "/" + traceName;
    std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(tracePath);
    gametest::ExpectFramesAsKept(trace, "ui/frame_logs/" + keptName, tracePath);
    return trace;
}

// The screens on a linked tree with their pictures, sounds (recorded in the
// trace) and font; the tree goes when the test has passed.
class SaveScreensTest : public uitest::ScreensTest {
protected:
    // Without the sample data every test is skipped here, before its body.
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
    }
    void StartOn(const std::string &treeName, bool noSaves = false, int32_t language = 1)
    {
        root = LinkedTree(treeName, noSaves);
        if (root.empty()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        Start(root, 640, 480, language);
        gs.LoadFont();
        gs.padStates[kPadStateBlock][0].connected = 1;
        audio.Create(false);
        SetUIAudioForTest(&audio, true);
        tracePath = root + "/trace.txt";
        std::string error;
        ASSERT_TRUE(game::TraceOpen(tracePath, &error)) << error;
        // Each picture pack is closed again once its pictures are read.
        ui->LoadCommonTextures();
        EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
        ui->LoadFrontEndTextures();
        EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
        ui->LoadUISounds();
        ui->SetUIPad(0);
    }
    void TearDown() override
    {
        game::TraceClose();
        uitest::ScreensTest::TearDown();
        SetUIAudioForTest(nullptr, false);
        audio.Release();
        if (!HasFailure() && !root.empty()) {
            RemoveTree(root);
        }
    }
    // The interface sounds played since the last call, in order.
    std::vector<int64_t> Sounds() { return uitest::TakeTracedSounds(&tracePath); }
    void Goto(uint32_t screen)
    {
        ui->RequestModule(screen);
        ui->Update(16);
        ASSERT_EQ(ui->CurrentScreen(), screen);
    }
    // The frame `draw` makes against the reviewed reference `name`.
    void ExpectShot(const std::string &name, const std::function<void()> &draw)
    {
        const win::Frame frame = DrawFrame(draw);
        const std::string shot = root + "/" + name + ".bmp";
        ASSERT_TRUE(apptest::WriteBmp(shot, static_cast<int32_t>(frame.width), static_cast<int32_t>(frame.height),
                                      frame.pixels));
        apptest::ExpectLikeReference(shot, std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + name + ".bmp",
                                     root + "/" + name + "_difference.bmp");
    }
    // Presses `button` on pad 0 for one update.
    void Tap(PadButton button)
    {
        Press(0, button);
        Updates(1);
    }

    std::string root;
    CSAudio audio;
    std::string tracePath;
    uitest::RecordingLinksScope links;
};

}  // namespace savetest
