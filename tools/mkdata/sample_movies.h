// The sample event movies: stage 8's boss movie 79080100, which plays when
// the first hero steps toward boss 1106 (its circle lies a few steps ahead
// of the heroes' start), and the clip of the final stage's closing movie
// 79370200, which plays once boss 1109 is gone (its row is one of the
// stages' ends, sample_stage_ends.h). Each is a short labelled clip in both
// movie folders:
//   ENGEVTMV/0801.BIK, CHIEVTMV/0801.BIK
//   ENGEVTMV/3702.BIK, CHIEVTMV/3702.BIK
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "event/event_table_file.h"
#include "rwcore.h"

namespace mkdata {

inline constexpr int32_t kSampleBossMovie = 79080100;
inline constexpr int32_t kSampleFinalMovie = 79370200;
// The boss movie's circle: the heroes start at (0, 0, -60) facing +z.
inline constexpr RwV3d kBossMovieAt = {0.0f, 0.0f, -50.0f};
inline constexpr float kBossMovieRadius = 5.0f;
// The clips' length.
inline constexpr int kSampleEventMovieMs = 1000;

// The boss movie's row of the event table.
std::vector<EventTableEntry> SampleMovieEntries();
// Their files under `root`.
bool WriteSampleEventMovies(const std::string &root);

}  // namespace mkdata
