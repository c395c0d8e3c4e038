// End to end: the keyboard's Escape (select on the default bindings) backs
// out of every screen and page that draws "Back (Esc)", as cross does: the
// character selection and the load screen return to the title; the lobby's
// stage select, status page, store and save panel close back to its menu,
// and so does its quit box; in a stage the pause menu closes, and its status
// page, stage map and return-to-title question close back to it. Enter
// (start) confirms throughout. Headless runs on a tree of the test's own
// (the sample's save in slot 1), read back from their traces; the frames
// of every fourth tick match the kept frame logs
// (tests/ui/frame_logs/escape_back_*).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/game/trace_reader.h"
#include "tests/ui/save_test_support.h"

namespace escape_back_test {

namespace {

// A tap of `key` at `tick`.
std::string KeyTap(int tick, const char *key)
{
    return std::to_string(tick) + " key " + key + " 1\n" + std::to_string(tick + 1) + " key " + key + " 0\n";
}

// The ticks of the records of `kind` whose fields are exactly `fields`.
std::vector<int64_t> TicksOf(const std::vector<gametest::TraceRecord> &trace, const std::string &kind,
                             const std::vector<std::string> &fields)
{
    std::vector<int64_t> ticks;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == kind && r.fields == fields) {
            ticks.push_back(r.tick);
        }
    }
    return ticks;
}

class EscapeBack : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = savetest::LinkedTree(::testing::UnitTest::GetInstance()->current_test_info()->name());
        if (root_.empty()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
    }
    void TearDown() override
    {
        if (!HasFailure() && !root_.empty()) {
            savetest::RemoveTree(root_);
        }
    }
    // The run's trace (`name`.txt), whose frame lines match the kept frame
    // log escape_back_`name`.
    std::vector<gametest::TraceRecord> Run(const std::string &name, const std::string &script,
                                           const std::string &start, int frames)
    {
        return savetest::RunKeepingFrames(root_, script, start + " --frames " + std::to_string(frames),
                                          name + ".txt", "escape_back_" + name);
    }

    std::string root_;
};

TEST_F(EscapeBack, TheCharacterSelectionAndTheLoadScreenGoBackToTheTitle)
{
    for (const char *screen : {"8", "9"}) {
        SCOPED_TRACE(screen);
        const std::vector<gametest::TraceRecord> trace =
            Run(std::string("from_screen_") + screen, KeyTap(5, "Escape"), std::string("--screen ") + screen, 80);
        EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{std::stoll(screen), 7}));
        // The screen's own back sound at the press, the title after the 1000 ms fade.
        EXPECT_EQ(TicksOf(trace, "screen", {"sound", screen == std::string("8") ? "6600000" : "6600050"}),
                  (std::vector<int64_t>{5}));
        EXPECT_EQ(TicksOf(trace, "screen", {"switch", "7"}), (std::vector<int64_t>{76}));
    }
}

// From the load screen Enter takes slot 1 into the lobby (current from tick
// 76, its pictures in by tick 150); each page is opened with Enter and left
// with Escape, the next reached with Down.
TEST_F(EscapeBack, EachLobbyPageAndTheQuitBoxCloseBackToTheLobbysMenu)
{
    const std::string script = KeyTap(5, "Enter") +
                               // the stage select (its input waits for its pack)
                               KeyTap(150, "Enter") + KeyTap(215, "Escape") +
                               // the status page
                               KeyTap(260, "Down") + KeyTap(262, "Enter") + KeyTap(330, "Escape") +
                               // the store
                               KeyTap(390, "Down") + KeyTap(392, "Enter") + KeyTap(460, "Escape") +
                               // the save panel
                               KeyTap(525, "Down") + KeyTap(527, "Enter") + KeyTap(600, "Escape") +
                               // the return to the title's box
                               KeyTap(655, "Down") + KeyTap(657, "Enter") + KeyTap(665, "Escape");
    const std::vector<gametest::TraceRecord> trace = Run("lobby_pages", script, "--screen 9", 670);
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{9, 12, 11}));
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "lobbypage"), (std::vector<int64_t>{1, 0, 2, 0, 3, 0, 4, 0, 5, 0}));
    // Each Escape played the page's back sound (the box's answer plays none)
    // and its page went.
    const std::vector<int64_t> backs = TicksOf(trace, "screen", {"sound", "6600050"});
    EXPECT_EQ(backs, (std::vector<int64_t>{215, 330, 460, 600}));
    std::vector<int64_t> closed = TicksOf(trace, "screen", {"lobbypage", "0"});
    ASSERT_EQ(closed.size(), 5u);
    for (size_t i = 0; i < backs.size(); ++i) {
        EXPECT_GT(closed[i], backs[i]);
    }
    EXPECT_EQ(closed[4], 665);
}

// In the first stage (the loading fade is over by tick 90): the pause menu
// closed at once, then its status page, its map and its question each
// closed back to the menu, and the menu closed.
TEST_F(EscapeBack, ThePauseMenuAndEachOfItsPagesClose)
{
    const std::string script = KeyTap(90, "Enter") + KeyTap(100, "Escape") + KeyTap(120, "Enter") +
                               KeyTap(130, "Down") + KeyTap(150, "Enter") + KeyTap(220, "Escape") +
                               KeyTap(260, "Down") + KeyTap(280, "Enter") + KeyTap(330, "Escape") +
                               KeyTap(360, "Down") + KeyTap(380, "Enter") + KeyTap(400, "Escape") +
                               KeyTap(420, "Escape");
    const std::vector<gametest::TraceRecord> trace = Run("pause_pages", script, "--stage 1", 430);
    EXPECT_EQ(TicksOf(trace, "screen", {"menu", "open"}), (std::vector<int64_t>{90, 120}));
    EXPECT_EQ(TicksOf(trace, "screen", {"menu", "close"}), (std::vector<int64_t>{100, 420}));
    std::vector<std::string> pages;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "page") {
            pages.push_back(r.fields[1]);
        }
    }
    EXPECT_EQ(pages, (std::vector<std::string>{"status", "closed", "map", "closed", "question", "closed"}));
    // The stage stayed: nothing asked for another screen.
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{13}));
}

}  // namespace

}  // namespace escape_back_test
