// The particle-system file (.ZUS): the keyword text that describes one
// particle system: its texture, emission, particle life, motion, size,
// colour and blending. Read into a ZusDesc, which particle templates are
// built from; written back by the same module (the maker, the tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "rwcore.h"

class CSKeywordFile;

enum ZusBlend : uint8_t {
    kZusBlendAdd = 0,    // source alpha onto the frame, added
    kZusBlendAlpha = 1,  // source alpha over the frame
};

constexpr size_t kZusTextureNameSize = 64;
constexpr int32_t kZusMaxParticlesLimit = 4096;
constexpr float kZusEmitRateLimit = 10000.0f;

struct ZusDesc {
    char texture[kZusTextureNameSize] = {};  // empty: untextured
    float emitRate = 10.0f;      // particles per second
    int32_t maxParticles = 64;   // 1..kZusMaxParticlesLimit
    float life = 1.0f;           // seconds each particle lives
    float lifetime = -1.0f;      // seconds of emission; -1 emits until stopped
    RwV3d velocity = {0.0f, 1.0f, 0.0f};
    float spread = 0.0f;         // degrees around the velocity's direction, 0..180
    RwV3d gravity = {0.0f, 0.0f, 0.0f};
    float sizeStart = 1.0f;
    float sizeEnd = 1.0f;
    RwRGBA colourStart = {255, 255, 255, 255};
    RwRGBA colourEnd = {255, 255, 255, 0};
    ZusBlend blend = kZusBlendAdd;
    RwV3d emitterSize = {0.0f, 0.0f, 0.0f};  // half extents of the emission box
};

// Reads the open file's lines into *desc (which keeps its values for keys
// that are missing or bad; each bad value is reported). Unknown keys are
// reported and skipped.
void ReadZus(CSKeywordFile *file, ZusDesc *desc);
// Opens `path` quietly and reads it; false when it cannot be opened (*desc
// then holds the defaults).
bool LoadZusFile(const char *path, ZusDesc *desc);
// The file's text for `desc`.
std::string FormatZus(const ZusDesc &desc);
