// Reading the animation files of a model: the `.ANM` animation (one chunk
// header of any type, then the animation body) and the motion table of the
// `.AMF` file beside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "rtanim.h"
#include "stage/motion_table.h"

// Null (with a diagnostic) when the file is missing or damaged.
RtAnimAnimation *ReadAnimationFile(const char *path);
// The same over bytes already read; `name` stands for the file in diagnostics.
RtAnimAnimation *ReadAnimationBytes(const char *name, const uint8_t *bytes, size_t size);

class CSKeywordFile;

// Most motions a motion table may announce.
constexpr int32_t kMaxMotions = 1024;

// The animation's length in whole frames (60 a second).
int32_t AnimationFrameCount(float durationSeconds);

// "X.AMF" for "X.ANM" (the extension replaced whatever it is).
std::string MotionFilePathFor(const char *animationPath);
// The motion table of the `.AMF` beside `animationPath`; without that file
// (or with no usable motion in it) motion 0 is the whole animation.
MotionTable ReadMotionTableBeside(const char *animationPath, float durationSeconds);
// The motion table in an opened `.AMF` file, for an animation of that length.
MotionTable ReadMotionTable(CSKeywordFile *file, float durationSeconds);
