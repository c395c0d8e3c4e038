// End to end, keyboard only: the game run headless on a tree of the test's
// own (no buttons.pref) from the title into the options, the music three
// steps down, the key binding page, "square" bound to the B key (free among
// the defaults), back and out to the title. The trace shows the screens 7,
// 10 and 7, buttons.pref holds the new binding, and screenshots of the
// settings page and of the binding page match their reviewed references, and
// the frames of every fourth tick match the kept frame logs
// (tests/ui/frame_logs/game_options_*). A second run reads the file back:
// the B key now presses square.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/app/reference_image.h"
#include "tests/ui/save_test_support.h"

namespace game_options_test {

namespace {

using optiontestTrace = std::vector<gametest::TraceRecord>;

std::vector<int64_t> Fields(const optiontestTrace &trace, const std::string &kind, const std::string &first)
{
    std::vector<int64_t> values;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == kind && r.fields.size() == 2 && r.fields[0] == first) {
            values.push_back(std::stoll(r.fields[1]));
        }
    }
    return values;
}

std::string KeyTap(int tick, const std::string &key)
{
    return std::to_string(tick) + " key " + key + " 1\n" + std::to_string(tick + 1) + " key " + key + " 0\n";
}

std::string ReadText(const std::string &path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class GameOptions : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = savetest::LinkedTree("e2e_options", true);
        if (root.empty()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
    }
    void TearDown() override
    {
        if (!HasFailure() && !root.empty()) {
            savetest::RemoveTree(root);
        }
    }
    // Runs the game from the title with the script; its trace (`name`.txt),
    // whose frame lines match the kept frame log game_options_`name`.
    optiontestTrace Run(const std::string &name, const std::string &script, const std::string &more)
    {
        return savetest::RunKeepingFrames(root, script, "--screen 7 " + more, name + ".txt", "game_options_" + name);
    }
    void ExpectShot(const std::string &name)
    {
        apptest::ExpectLikeReference(root + "/" + name + ".bmp",
                                     std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + name + ".bmp",
                                     root + "/" + name + "_difference.bmp");
    }
    std::string root;
};

TEST_F(GameOptions, TheKeyboardRebindsSquareToBAndASecondRunReadsItBack)
{
    const std::string script =
        "# the title: start, down to Options, take it\n" + KeyTap(20, "Enter") + KeyTap(30, "Down") + KeyTap(34, "Down") +
        KeyTap(40, "Enter") + "# the options: the music three steps down, then the key binding row\n" +
        KeyTap(130, "Left") + KeyTap(134, "Left") + KeyTap(138, "Left") + KeyTap(145, "Down") + KeyTap(149, "Down") +
        KeyTap(155, "Enter") + "# listen on square, B; back, to exit, out\n" + KeyTap(170, "Enter") + KeyTap(175, "B") +
        KeyTap(185, "Escape") + KeyTap(190, "Escape") + KeyTap(195, "Escape");
    const optiontestTrace trace =
        Run("rebind", script, "--frames 300 --screenshot 143:options_e2e_music.bmp --screenshot 180:options_e2e_bound.bmp");
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(Fields(trace, "screen", "switch"), (std::vector<int64_t>{7, 10, 7}));
    // Menu, down, down, options; three steps of the music are silent; down,
    // down, the binding page; back, to exit, out.
    EXPECT_EQ(Fields(trace, "screen", "sound"),
              (std::vector<int64_t>{6600060, 6600010, 6600010, 6600060, 6600010, 6600010, 6600060, 6600000,
                                    6600000, 6600050}));
    const std::string pref = ReadText(root + "/buttons.pref");
    const size_t keyboard = pref.find("Slot: 4\n");
    ASSERT_NE(keyboard, std::string::npos) << pref;
    EXPECT_NE(pref.find("square: 48\n", keyboard), std::string::npos) << pref;
    EXPECT_NE(pref.find("MouseSpeed: 0.250000\n"), std::string::npos) << pref;
    ExpectShot("options_e2e_music");
    ExpectShot("options_e2e_bound");

    // The second run: B presses square on pad 0, Z no longer does.
    ASSERT_FALSE(Run("read_back", KeyTap(10, "B") + KeyTap(14, "Z"), "--frames 20 --input-log keys.txt").empty());
    const std::string keys = ReadText(root + "/keys.txt");
    EXPECT_NE(keys.find("10 pad0 button 2 1  # square\n"), std::string::npos) << keys;
    EXPECT_EQ(keys.find("14 pad0 button 2"), std::string::npos) << keys;
}

}  // namespace

}  // namespace game_options_test
