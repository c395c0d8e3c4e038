// The game's texture services: its texture read (a DDS file first, then
// the engine's own read of the image formats), the "bmp" and "png" image
// readers ("png" reads the BMP of that name), masked loads, and the
// texture memory figure of the statistics overlay.
#pragma once

#include <cstdint>

#include "rwcore.h"

// Registers the image readers and installs the game's texture read; once
// after the engine has started. False when a reader cannot be registered.
bool InstallGameTextureReading();

// Reads a texture under the render lock from the current image path and
// the open pack's dictionary, with its alpha from the mask picture. A name
// ending in ".BMP" without a mask takes the name with "A" before the
// extension as its mask ("X.BMP" -> "XA.BMP"). Null when missing.
RwTexture *LoadTextureWithMask(const char *name, const char *maskName);
// The same for a picture that has no mask (its alpha is opaque).
RwTexture *ReadTextureWithoutMask(const char *name);
// Gives back one reference of the texture; null is allowed.
void DestroyTexture(RwTexture *texture);
// Bytes of the textures of the current dictionary (width x height x depth / 8).
uint32_t GetTextureMemoryUsed();
