// The game's render callbacks, installed through the engine's own hooks:
// the stage's world draws each sector, and every model the game loads each
// atomic, the default way and then hands what was drawn to the developer
// menu for its wire frame (which draws nothing unless its mode asks).
#pragma once

#include "rpworld.h"

RpWorldSector *GameRenderSector(RpWorldSector *sector);
RpAtomic *GameRenderAtomic(RpAtomic *atomic);

// The world's sector render callback becomes GameRenderSector.
void InstallGameRenderCallBack(RpWorld *world);
// Each atomic of the clump that draws the default way takes
// GameRenderAtomic; an atomic a plug-in draws keeps its own callback.
// Clones copy the callback with the atomic.
void InstallGameRenderCallBack(RpClump *clump);
