// Private seam of the PVS plug-in's source files.
#pragma once

#include "rppvs.h"

// Sector count, cell boxes and cell grid of every sector of a world.
void rpPVSWorldDeriveCells(RpWorld *world);
