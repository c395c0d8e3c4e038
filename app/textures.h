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
// Raises the fatal report for a picture a read of the game folder `folder`
// (a game path ending in a backslash, "\RESOURCE\UITEXT\LOADING\ENG\")
// just failed to give: the picture named by its game path, or its mask
// `maskName` (may be null) when the picture is sound and the mask is not.
// A file that is there is reported with why it cannot be read ("it is a
// folder", "it is empty", "it is not a BMP picture", the reader's reason),
// a missing one as missing. Engine reports older than the read should be
// taken first (game::TakeEngineError), so that the reader's is the one left.
void RaisePictureFatal(const char *folder, const char *name, const char *maskName);
// Gives back one reference of the texture; null is allowed.
void DestroyTexture(RwTexture *texture);
// Bytes of the textures of the current dictionary (width x height x depth / 8).
uint32_t GetTextureMemoryUsed();
