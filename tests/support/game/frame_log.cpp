// The frame lines made short enough to keep (see frame_log.h).
#include "support/game/frame_log.h"

#include <cinttypes>
#include <cstdio>
#include <sstream>

#include <gtest/gtest.h>

#include "support/game/kept_log.h"
#include "ui/screen_numbers.h"

namespace gametest {

namespace {

const char *ScreenName(int64_t screen)
{
    static const char *const kNames[kUIScreenCount + 1] = {
        "none",   "warning",   "publisher_logo", "maker_logo", "still_logo", "still_logo2",
        "opening_movie", "title", "select_character", "save_load", "option", "lobby",
        "enter_stage", "game_play", "game_over", "stage_end", "ranking", "stage_clear"};
    return screen >= 0 && screen <= kUIScreenCount ? kNames[screen] : "unknown";
}

struct Stretch {
    uint32_t first = 0;
    uint32_t last = 0;
    int64_t screen = 0;
    int64_t stage = 0;
    uint32_t frames = 0;
    LogDigest digest;
};

}  // namespace

std::vector<std::string> FrameLog(const std::vector<TraceRecord> &trace, uint32_t stretchTicks)
{
    std::vector<std::string> log;
    int64_t screen = 0;
    int64_t stage = 0;
    Stretch open;
    const auto close = [&] {
        if (open.frames != 0) {
            char line[160];
            std::snprintf(line, sizeof(line), "%" PRIu32 "-%" PRIu32 " %s stage %" PRId64 " frames %" PRIu32
                          " %016" PRIx64, open.first, open.last, ScreenName(open.screen), open.stage, open.frames,
                          open.digest.sum);
            log.push_back(line);
        }
        open = Stretch{};
    };
    for (const TraceRecord &r : trace) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "switch") {
            screen = r.Int(1);
        } else if (r.kind == "stage" && r.fields.size() == 2 && r.fields[0] == "load") {
            stage = r.Int(1);
        } else if (r.kind == "stage" && r.fields.size() == 2 && r.fields[0] == "release") {
            stage = 0;
        } else if (r.kind == "frame" && r.fields.size() == 1) {
            if (open.frames != 0 && (open.screen != screen || open.stage != stage ||
                                     r.tick / stretchTicks != open.first / stretchTicks)) {
                close();
            }
            if (open.frames == 0) {
                open.first = r.tick;
                open.screen = screen;
                open.stage = stage;
            }
            open.last = r.tick;
            ++open.frames;
            // The tick goes in too: the same pictures a tick later are another run.
            open.digest.Add(std::to_string(r.tick) + " " + r.fields[0]);
        }
    }
    close();
    return log;
}

void ExpectFramesAsKept(const std::vector<TraceRecord> &trace, const std::string &keptName,
                        const std::string &tracePath)
{
    SCOPED_TRACE("the run's frame lines, tick by tick: " + tracePath);
    ExpectSameAsKeptLog(FrameLog(trace, 64), std::string(RW_TEST_SOURCE_DIR) + "/tests/" + keptName + ".txt");
}

std::string WithoutFrameLines(const std::string &traceText)
{
    std::istringstream in(traceText);
    std::string kept;
    for (std::string line; std::getline(in, line);) {
        const size_t space = line.find(' ');
        if (space == std::string::npos || line.compare(space, 7, " frame ") != 0) {
            kept += line;
            kept += '\n';
        }
    }
    return kept;
}

}  // namespace gametest
