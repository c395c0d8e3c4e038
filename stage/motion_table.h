// The motion table of an animation file: which stretch of the `.ANM`
// timeline each motion index plays, in animation frames (60 a second).
// The table comes from the `.AMF` file beside the `.ANM`; an animation
// without one has a single motion 0 covering the whole animation.
#pragma once

#include <cstdint>
#include <vector>

constexpr float kAnimFramesPerSecond = 60.0f;
// One frame's length in seconds, the single-precision value the game has
// always multiplied frame numbers by.
constexpr float kSecondsPerAnimFrame = 0.016666668f;

struct MotionRange {
    int32_t startFrame = 0;
    int32_t endFrame = 0;
    bool defined = false;  // false: the index has no motion (refused)
};

struct MotionTable {
    std::vector<MotionRange> motions;  // by motion index

    int32_t Count() const { return static_cast<int32_t>(motions.size()); }
    // The motion at `index`, null when the index is outside the table or has no motion.
    const MotionRange *Find(int32_t index) const
    {
        if (index < 0 || index >= Count() || !motions[static_cast<size_t>(index)].defined) {
            return nullptr;
        }
        return &motions[static_cast<size_t>(index)];
    }
    // The table of an animation without a motion file: motion 0 is the whole animation.
    static MotionTable WholeAnimation(float durationSeconds);
};
