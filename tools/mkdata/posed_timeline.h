// An animation of the sample figure laid out on a character's motion
// timeline: one stretch per state's motion, each posed by the type's own
// routine over the stretch's fraction (0 at its first frame, 1 at its
// last), every node keyed at the quarters of each stretch; where stretches
// overlap, the shortest gives the pose.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "stage/motion_table.h"
#include "tools/mkdata/character_model.h"

namespace mkdata {

inline constexpr RwReal kTimelineKeySteps = 4.0f;  // keys at the quarters of each stretch
inline constexpr RwReal kTimelineNear = 1e-4f;     // seconds that count as the same time

template <typename Kind>
struct PoseStretch {
    RwReal start;  // seconds
    RwReal length;
    Kind kind;
};

// The pose of `kind` at fraction `u` of its motion (the bone's offset in *translation).
template <typename Kind>
using KindPose = RtQuat (*)(Kind kind, RwInt32 node, RwReal u, RwReal scale, RwV3d *translation);

// The stretch of a motion of the timeline (60 frames a second).
template <typename Kind>
PoseStretch<Kind> StretchOf(const MotionRange &range, Kind kind)
{
    return {static_cast<RwReal>(range.startFrame) / 60.0f,
            static_cast<RwReal>(range.endFrame - range.startFrame) / 60.0f, kind};
}

// The figure's animation over `stretches`; a key outside every stretch
// takes `rest` at its start.
template <typename Kind>
RtAnimAnimation *BuildTimelineAnimation(std::vector<PoseStretch<Kind>> stretches, KindPose<Kind> pose, Kind rest,
                                        RwReal scale, Figure figure = Figure::kCharacter)
{
    struct Context {
        const std::vector<PoseStretch<Kind>> *stretches;
        KindPose<Kind> pose;
        Kind rest;
    };
    std::sort(stretches.begin(), stretches.end(),
              [](const PoseStretch<Kind> &a, const PoseStretch<Kind> &b) { return a.start < b.start; });
    std::vector<RwReal> times;
    for (const PoseStretch<Kind> &s : stretches) {
        for (RwReal k = 0.0f; k <= kTimelineKeySteps; k += 1.0f) {
            times.push_back(s.start + s.length * k / kTimelineKeySteps);
        }
    }
    std::sort(times.begin(), times.end());
    const auto same = [](RwReal a, RwReal b) { return std::fabs(a - b) < kTimelineNear; };
    times.erase(std::unique(times.begin(), times.end(), same), times.end());
    const Context context = {&stretches, pose, rest};
    CharacterPose at = [](RwInt32 node, RwReal t, RwReal scale, RwV3d *translation, const void *data) {
        const auto *c = static_cast<const Context *>(data);
        // A motion that holds others (several tested frames of one state)
        // spans them: the shortest stretch holding the time gives the pose.
        const PoseStretch<Kind> *best = nullptr;
        for (const PoseStretch<Kind> &s : *c->stretches) {
            if (t >= s.start - kTimelineNear && t <= s.start + s.length + kTimelineNear &&
                (best == nullptr || s.length < best->length)) {
                best = &s;
            }
        }
        if (best == nullptr) {
            return c->pose(c->rest, node, 0.0f, scale, translation);
        }
        return c->pose(best->kind, node, std::clamp((t - best->start) / best->length, 0.0f, 1.0f), scale,
                       translation);
    };
    return BuildPosedFigureAnimation(figure, times, at, &context, scale);
}

}  // namespace mkdata
