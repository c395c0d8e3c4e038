// Models for the effects: read from a .DFF through the file layer (the
// open pack or the disk) with their textures from a folder, cloned and
// destroyed under the render lock.
#pragma once

#include "rpworld.h"
#include "stage/stage_clumps.h"  // copies and destruction, as the stage does them

// The clump of the .DFF at `path`, its textures searched in `texturePath`
// (null: the current image path); null when missing or refused.
RpClump *FxLoadClump(const char *path, const char *texturePath);

// The folder part of a game path, with its last backslash ("\A\B\C.X" ->
// "\A\B\").
void FxFolderOf(const char *path, char *out, size_t size);
