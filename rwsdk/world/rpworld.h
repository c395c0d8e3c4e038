// Umbrella header of the world library: materials, meshes, geometry,
// atomics, clumps and lights, and the attach that registers the library
// with the engine.
#pragma once

#include "rwcore.h"
#include "rpmaterial.h"
#include "rpmesh.h"
#include "rpgeometry.h"
#include "rpclump.h"
#include "rplight.h"
#include "rpworldsector.h"
#include "rpd3d8pipe.h"

// Engine block ids of the world library's modules.
static constexpr RwUInt32 rwID_MATERIALMODULE = 0x501;
static constexpr RwUInt32 rwID_MESHMODULE = 0x502;
static constexpr RwUInt32 rwID_GEOMETRYMODULE = 0x503;
static constexpr RwUInt32 rwID_CLUMPMODULE = 0x504;
static constexpr RwUInt32 rwID_LIGHTMODULE = 0x505;

// Registers every module of the world library; call once between
// RwEngineInit and RwEngineOpen.
RwBool RpWorldPluginAttach(void);
