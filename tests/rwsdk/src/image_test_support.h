// Test support for images and textures: a software raster device installed
// into the engine's standard-function slots (rasters keep 32-bit pixels per
// mip level), helpers to build images, and the ImageMagick bridge used to
// make and check files the way another program would.
#pragma once

#include <string>
#include <vector>

#include "rwcore.h"

namespace imgtest {

struct FakeRasters {
    // Installs the fake raster slots into the started engine.
    static void Install();
    static void Reset();
    // Rasters made from here on are palettised (format 0x2000) when asked
    // through find-raster-format.
    static void SetPalettised(bool on);
    // Find-raster-format rounds sizes down to powers of two when on.
    static void SetPowerOfTwo(bool on);
    static void FailCreate(bool on);
    static void FailSetFromImage(bool on);
    // Level `level` of a raster as RGBA bytes (width * height * 4).
    static std::vector<RwUInt8> Pixels(RwRaster *raster, RwInt32 level);
    static RwInt32 Levels(RwRaster *raster);
    static RwInt32 LiveRasters();
};

// A 32-bit image whose pixel (x, y) is `colour(x, y)`.
RwImage *MakeImage32(RwInt32 width, RwInt32 height, RwRGBA (*colour)(RwInt32, RwInt32));
RwRGBA Pattern(RwInt32 x, RwInt32 y);
std::vector<RwUInt8> ImageRGBA(const RwImage *image);

// ImageMagick, when a real one is installed.
bool HaveImageMagick();
// Runs `convert` with `args` (a shell fragment); true on exit status 0.
bool Convert(const std::string &args);
// Decodes `file` with ImageMagick into RGBA bytes; empty on failure.
std::vector<RwUInt8> MagickRGBA(const std::string &file, RwInt32 *width, RwInt32 *height);
// Writes an RGBA picture as a PAM file ImageMagick reads exactly.
void WritePam(const std::string &file, RwInt32 width, RwInt32 height, const std::vector<RwUInt8> &rgba);

std::vector<RwUInt8> ReadFile(const std::string &file);
void WriteFile(const std::string &file, const std::vector<RwUInt8> &bytes);

}  // namespace imgtest
