// The game's headless runs through the developer menu: a scripted
// keyboard (taps of the default bindings: select Escape, start Enter,
// circle C, cross X, the arrows; one every other tick so that each is a
// fresh press), and a test suite's one run of the game on its own copy of
// the sample data, with its trace, screenshots and reviewed references; the
// frames of every fourth tick of the run match the suite's kept frame log
// (tests/devmenu/frame_logs/NAME.txt, NAME as given to CopyData).
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/game/frame_log.h"
#include "support/game/trace_reader.h"
#include "tests/app/app_test_support.h"
#include "tests/app/bmp_file.h"
#include "tests/app/reference_image.h"

namespace devmenutest {

class KeyScript {
public:
    // Select, start and `third` held down from `tick` for two ticks.
    uint32_t Chord(uint32_t tick, const char *third)
    {
        for (const char *key : {"Escape", "Enter", third}) {
            text_ << tick << " key " << key << " 1\n";
        }
        for (const char *key : {"Escape", "Enter", third}) {
            text_ << tick + 2 << " key " << key << " 0\n";
        }
        return tick + 4;
    }
    uint32_t Taps(uint32_t tick, const char *key, int count = 1)
    {
        for (int i = 0; i < count; ++i, tick += 2) {
            text_ << tick << " key " << key << " 1\n" << tick << " key " << key << " 0\n";
        }
        return tick;
    }
    // `key` held down from `tick` for `ticks` ticks; the tick after it is up.
    uint32_t Hold(uint32_t tick, const char *key, uint32_t ticks)
    {
        text_ << tick << " key " << key << " 1\n" << tick + ticks << " key " << key << " 0\n";
        return tick + ticks + 1;
    }
    std::string Text() const { return text_.str(); }

private:
    std::ostringstream text_;
};

// One run of the game shared by every case of a suite (`Suite` keeps the
// statics apart per suite). The suite's SetUpTestSuite calls CopyData, may
// change the copy, then calls Run; the copy goes once every case passed.
template <class Suite>
class MenuGameRun : public ::testing::Test {
protected:
    static bool CopyData(const std::string &name)
    {
        runName = name;
        folder = std::string(RW_TEST_BINARY_DIR) + "/tests/" + name + "/" + std::to_string(getpid());
        return apptest::CopySampleData(folder);
    }
    // The first stage at a 16 ms step for `frames` ticks under `keys`, with
    // a screenshot "shotTICK.bmp" at each of `shots`; its frames against the
    // kept frame log (a difference fails the suite, and the copy stays).
    static void Run(const std::string &keys, uint32_t frames, const std::vector<uint32_t> &shots,
                    const std::string &extra = "")
    {
        apptest::WriteText(folder + "/keys.txt", keys);
        std::string shotArgs;
        for (uint32_t tick : shots) {
            shotArgs += " --screenshot " + std::to_string(tick) + ":shot" + std::to_string(tick) + ".bmp";
        }
        status = apptest::RunGame(folder,
                                  "--headless --mode 1 --stage 1 --fixed-step 16 --frames " + std::to_string(frames) +
                                      " --input keys.txt --trace t.txt" + extra + shotArgs +
                                      gametest::kKeptFramesOption,
                                  &output, "SDL_AUDIODRIVER=dummy");
        trace = gametest::ReadTrace(folder + "/t.txt");
        ran = true;
        gametest::ExpectFramesAsKept(trace, "devmenu/frame_logs/" + runName, folder + "/t.txt");
        failed = ::testing::Test::HasFailure();
    }
    static void TearDownTestSuite()
    {
        if (ran && !failed) {
            std::filesystem::remove_all(folder);
        }
    }
    void SetUp() override
    {
        ASSERT_TRUE(ran) << "no sample data: build the sample-data target";
        ASSERT_EQ(status, 0) << output;
    }
    void TearDown() override { failed = failed || HasFailure(); }

    static apptest::Bmp Shot(uint32_t tick)
    {
        apptest::Bmp bmp;
        EXPECT_TRUE(apptest::LoadBmp(folder + "/shot" + std::to_string(tick) + ".bmp", &bmp)) << tick;
        return bmp;
    }
    // "kind field field ..." of every trace line of `kind` at `tick`.
    static std::vector<std::string> LinesAt(uint32_t tick, const std::string &kind)
    {
        std::vector<std::string> lines;
        for (const gametest::TraceRecord &r : trace) {
            if (r.tick == tick && r.kind == kind) {
                std::string line = r.kind;
                for (const std::string &f : r.fields) {
                    line += " " + f;
                }
                lines.push_back(line);
            }
        }
        return lines;
    }
    static bool AnyAt(uint32_t tick, const std::string &kind) { return !LinesAt(tick, kind).empty(); }
    // RW_WRITE_DEVMENU_REFERENCES=1 records the shot as the reference.
    static void ExpectLikeReference(uint32_t tick, const std::string &name,
                                    const apptest::ReferenceTolerance &tolerance = {})
    {
        const std::string shot = folder + "/shot" + std::to_string(tick) + ".bmp";
        const std::string reference = std::string(RW_TEST_SOURCE_DIR) + "/tests/devmenu/reference/" + name + ".bmp";
        if (std::getenv("RW_WRITE_DEVMENU_REFERENCES") != nullptr) {
            std::system(("cp '" + shot + "' '" + reference + "'").c_str());
            return;
        }
        apptest::ExpectLikeReference(shot, reference, folder + "/difference_" + name + ".bmp", tolerance);
    }

    static inline bool ran = false;
    static inline bool failed = false;
    static inline int status = -1;
    static inline std::string runName;
    static inline std::string folder;
    static inline std::string output;
    static inline std::vector<gametest::TraceRecord> trace;
};

}  // namespace devmenutest
