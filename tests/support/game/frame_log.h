// The frame lines of a run's trace (game --trace-frames) made short enough
// to keep: one line per stretch of ticks on one screen and one stage, with
// the number of frames and one checksum over the stretch's frame lines, so
// that a kept log names the screen and the ticks where a picture first
// differs (the run's trace then has the tick).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/game/trace_reader.h"

namespace gametest {

// One line per stretch: "FIRST-LAST SCREEN stage STAGE frames N SUM", where
// FIRST and LAST are the ticks of the stretch's first and last frame line,
// SCREEN the screen manager's screen then (its name, from the "screen
// switch" lines), STAGE the stage loaded then (0 none). A stretch ends where
// the screen or the stage changes and at each multiple of `stretchTicks`.
std::vector<std::string> FrameLog(const std::vector<TraceRecord> &trace, uint32_t stretchTicks);

// What a run is given for the frame lines that tests keep: the frames of
// every fourth tick (each frame drawn for its line costs a few milliseconds).
inline constexpr const char *kKeptFramesOption = " --trace-frames 4";

// Fails the test where the frame log of `trace` (in stretches of 64 ticks)
// differs from the kept one, tests/`keptName`.txt of the source tree (see
// kept_log.h); the failure names `tracePath`, which has each frame's tick.
void ExpectFramesAsKept(const std::vector<TraceRecord> &trace, const std::string &keptName,
                        const std::string &tracePath);

// The trace's lines as they are, without the frame lines (to compare two
// runs of which only one wrote them).
std::string WithoutFrameLines(const std::string &traceText);

}  // namespace gametest
