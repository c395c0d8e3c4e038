// The texture-animation descriptor (.XDT): a model and the flipbook of
// textures shown on its first textured material, with an optional scroll of
// the texture coordinates and a play count:
//   Model: NAME.DFF          beside the descriptor
//   FrameNum: n              1..kXdtMaxFrames
//   Frame: texture, ms       n lines, each shown for ms milliseconds
//   Scroll: du, dv           texture coordinates per second (optional)
//   PlayCount: k             0 loops; k plays the flipbook k times
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CSKeywordFile;

constexpr int32_t kXdtMaxFrames = 256;
constexpr size_t kXdtNameSize = 64;

struct XdtFrame {
    char texture[kXdtNameSize] = {};
    int32_t ms = 100;  // 1..600000
};

struct XdtDesc {
    char model[kXdtNameSize] = {};
    std::vector<XdtFrame> frames;
    float scrollU = 0.0f;
    float scrollV = 0.0f;
    int32_t playCount = 0;

    // Milliseconds of one play of the flipbook (0 without frames).
    int64_t CycleMs() const;
};

// Reads the open file into *desc (cleared first). False when the file has
// no usable model name; bad frame lines are reported and left out.
bool ReadXdt(CSKeywordFile *file, XdtDesc *desc);
// Opens `path` quietly and reads it; false when it cannot be opened or read.
bool LoadXdtFile(const char *path, XdtDesc *desc);
std::string FormatXdt(const XdtDesc &desc);
