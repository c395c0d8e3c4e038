// The effect-package files: FXM.FXM, which sizes the stage's pool of
// effect packages ("PackageNum: n"), and the light files (.lit) that a
// package can carry instead of a particle system:
//   Type: POINT
//   Colour: r, g, b      0..255 each
//   Radius: r
#pragma once

#include <cstdint>
#include <string>

#include "rwcore.h"

class CSKeywordFile;

constexpr int32_t kDefaultPackageNum = 32;
constexpr int32_t kMaxPackageNum = 1024;

struct FxmDesc {
    int32_t packageNum = kDefaultPackageNum;
};

enum FxLightType : uint8_t {
    kFxLightPoint = 0,
};

struct FxLightDesc {
    FxLightType type = kFxLightPoint;
    RwRGBA colour = {255, 255, 255, 255};
    float radius = 10.0f;
};

// Each opens `path` quietly and reads it over the defaults; false when it
// cannot be opened (the defaults are kept).
bool LoadFxmFile(const char *path, FxmDesc *desc);
bool LoadLightFile(const char *path, FxLightDesc *desc);
// Each reads an open file over the values in *desc.
void ReadFxm(CSKeywordFile *file, FxmDesc *desc);
void ReadLight(CSKeywordFile *file, FxLightDesc *desc);
std::string FormatFxm(const FxmDesc &desc);
std::string FormatLight(const FxLightDesc &desc);
