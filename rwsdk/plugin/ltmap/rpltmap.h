// Lightmaps: world sectors and atomics drawn with a second, precomputed
// lighting texture multiplied over their base textures. The plug-in keeps
// each object's lightmap name and texture, finds or stands in for the
// texture when the object is read, and renders through its own pipelines
// in one of three styles (base only, lightmap only, both).
#pragma once

#include "rpclump.h"
#include "rpworldsector.h"
#include "rwtypes.h"

struct RwTexture;
struct RwResEntry;
struct RwPipeline;

static constexpr RwUInt32 rwID_LTMAPPLUGIN = 0x114;

// Render style bits.
static constexpr RwUInt32 rpLTMAPSTYLERENDERBASE = 0x1;
static constexpr RwUInt32 rpLTMAPSTYLERENDERLIGHTMAP = 0x2;
static constexpr RwUInt32 rpLTMAPSTYLEPOINTSAMPLE = 0x4;

// Shared block of the lightmap tool; only its reference count is read.
struct RpLightMapShared {
    RwInt32 refCount;
};

// Extension of atomics and world sectors.
struct RpLightMapAtomicData {
    RwUInt32 word0;  // non-zero: the object has lightmap data (and writes it)
    RwUInt32 word1;
    RwUInt32 size;   // lightmap size in pixels, 0: the default
    RwUInt8 flag;
    RwTexture *lightMap;  // one reference held
    RpLightMapShared *shared;
};

// Extension of materials: carried through streams and copies only.
struct RpLightMapMaterialData {
    RwUInt32 flags;  // written only when non-zero
    RwReal word1;
    RwUInt32 word2;
    RwReal word3;
    RwReal word4;
};

// Extension of worlds.
struct RpLightMapWorldData {
    RwUInt32 flags;  // bit 0: value present
    RwUInt32 value;
};

// Bytes of the lightmap chunk bodies.
static constexpr RwUInt32 rpLTMAPOBJECTCHUNKSIZE = 44;
static constexpr RwUInt32 rpLTMAPMATERIALCHUNKSIZE = 20;
static constexpr RwUInt32 rpLTMAPWORLDCHUNKSIZE = 4;
static constexpr RwUInt32 rpLTMAPNAMELENGTH = 32;
static constexpr RwInt32 rpLTMAPDEFAULTSIZE = 128;
// Largest lightmap a stream may ask for (the device's texture limit).
static constexpr RwUInt32 rpLTMAPMAXSIZE = 4096;
static constexpr RwInt32 rpLTMAPRASTERFORMAT = 0x604;

RwBool RpLightMapPluginAttach(void);
RwBool RpLightMapSetRenderStyle(RwUInt32 style, RpWorld *world);
RwUInt32 RpLightMapGetRenderStyle(void);
RwTexture *RpLightMapAtomicGetLightMap(const RpAtomic *atomic);
RwTexture *RpLightMapWorldSectorGetLightMap(const RpWorldSector *sector);
RpLightMapAtomicData *RpLightMapAtomicGetData(const RpAtomic *atomic);
RpLightMapAtomicData *RpLightMapWorldSectorGetData(const RpWorldSector *sector);
RpLightMapMaterialData *RpLightMapMaterialGetData(const RpMaterial *material);
RpLightMapWorldData *RpLightMapWorldGetData(const RpWorld *world);
RwPipeline *RpLightMapGetAtomicPipeline(void);
RwPipeline *RpLightMapGetWorldSectorPipeline(void);

// The texture named `name`: from the current dictionary, else read, else a
// size x size placeholder checkerboard added to the current dictionary.
// The caller gets a reference; null only for an empty name.
RwTexture *RpLightMapTextureFind(const RwChar *name, RwInt32 size);
// Fills a lightmap raster: with a null colour a one-pixel checkerboard of
// opaque white and black, else every pixel that colour (opaque).
RwBool RpLightMapTextureFillPattern(RwTexture *texture, const RwRGBA *colour);

// The render callback of both lightmap pipelines.
void RpLightMapRenderCallback(RwResEntry *entry, void *object, RwUInt8 type, RwUInt32 flags);
// The lit renderer's one-pass decision: forgets it, so the next lit render
// decides again (a device change or a test).
void RpLightMapResetLitDecision(void);
