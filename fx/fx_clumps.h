// Models for the effects: read from a .DFF through the file layer (the
// open pack or the disk) with their textures from a folder, cloned and
// destroyed under the render lock.
#pragma once

#include "rpworld.h"

// The clump of the .DFF at `path`, its textures searched in `texturePath`
// (null: the current image path); null when missing or refused.
RpClump *FxLoadClump(const char *path, const char *texturePath);
RpClump *FxCloneClump(RpClump *clump);
// Takes the clump out of its world, when it is in one, and destroys it.
void FxDestroyClump(RpClump *clump);
// The folder part of a game path, with its last backslash ("\A\B\C.X" ->
// "\A\B\").
void FxFolderOf(const char *path, char *out, size_t size);
