// A whole run's trace made short enough to keep: for each stretch of ticks
// and each kind of line, the number of lines and one checksum over them, so
// that any change of what a run does (an actor's place or pose, a sound, a
// message, a camera, a shown frame) fails its test, and the kept log names
// the kind and the ticks where the run first differs (the run's trace then
// has the line). Compared and rewritten as the other kept logs (kept_log.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/game/trace_reader.h"

namespace gametest {

// One line per stretch and kind, in tick order, kinds by name within a
// stretch: "FIRST-LAST KIND lines N SUM", FIRST and LAST the ticks of the
// stretch's first and last line of the kind. A stretch is `stretchTicks`
// ticks (tick 0, before the first tick, opens the first). What follows the
// real time a load takes is left out: the loading screen's drawings and
// their count when it goes off.
std::vector<std::string> RunLog(const std::vector<TraceRecord> &trace, uint32_t stretchTicks);

// What a run is given for the run logs that tests keep: every actor's pose
// each tick and the frames of every fourth tick (see frame_log.h).
inline constexpr const char *kKeptRunOptions = " --trace-poses --trace-frames 4";

// The samples of a sound recording (SDL's disk driver: 16-bit stereo at the
// device's rate); empty when it cannot be read.
std::vector<int16_t> ReadRecording(const std::string &path);

// The sound a run recorded (stereo 16-bit samples; the disk driver writes
// on the game's clock, the same bytes every run): one line per stretch of
// `framesPerLine` sample frames, "sound FIRST-LAST SUM" (sample frames).
std::vector<std::string> SoundLog(const std::vector<int16_t> &stereo, size_t framesPerLine);

// Fails the test where the run log of `trace` (in stretches of 32 ticks),
// followed by `more` lines (a SoundLog), differs from the kept one,
// tests/`keptName`.txt of the source tree; the failure names `tracePath`,
// which has each line.
void ExpectRunAsKept(const std::vector<TraceRecord> &trace, const std::string &keptName,
                     const std::string &tracePath, const std::vector<std::string> &more = {});

}  // namespace gametest
