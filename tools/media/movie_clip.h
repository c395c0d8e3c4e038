// The labelled test clip, encoded through libavcodec: MPEG-4 part 2 pictures and 16-bit
// PCM sound in a Matroska container. Its colour changes every `segmentMs`, a row of eight
// blocks shows the frame number in binary (white 1, black 0, the highest bit on the
// left), its label stands at the top left, and its sound is a steady tone.
#pragma once

#include <cstdint>
#include <string>

namespace media {

struct ClipDesc {
    int width = 320;
    int height = 240;
    int fps = 25;
    int durationMs = 2000;
    int segmentMs = 500;
    bool sound = true;
    int soundMs = 0;  // how long the tone lasts; 0: as long as the pictures
    double toneHz = 440.0;
    int toneAmplitude = 12000;
    std::string label;
    std::string container = "matroska";  // a libavformat muxer name
};

// X8R8G8B8 colour of the picture during segment `index` (they cycle).
uint32_t ClipColour(int index);
// The block row: where block `bit` (0 the lowest) lies.
struct BlockRect {
    int x, y, width, height;
};
BlockRect ClipCounterBlock(const ClipDesc &clip, int bit);
// The picture of frame `frame` in X8R8G8B8, width x height.
void DrawClipFrame(const ClipDesc &clip, int frame, uint32_t *pixels);

bool WriteClip(const std::string &path, const ClipDesc &clip, std::string *error);

}  // namespace media
