// Material effects: a material may carry one of six multi-texture effects
// (bump map, environment map, both, dual texture, UV transform, UV transform
// with dual texture) as a record of two passes; atomics and world sectors
// opt in with a flag that switches them to the effects pipelines, whose
// render callback draws each mesh by its material's effect.
#pragma once

#include "rpclump.h"
#include "rpmaterial.h"
#include "rpworldsector.h"
#include "rwtypes.h"

struct RwFrame;
struct RwMatrix;
struct RwTexture;
struct RwStream;
struct RwResEntry;

static constexpr RwUInt32 rwID_MATERIALEFFECTSPLUGIN = 0x120;

// Effect types of a material (and the pass types of its two passes; 3 and
// 6 never occur as a pass type).
enum RpMatFXMaterialFlags : RwUInt32 {
    rpMATFXEFFECTNULL = 0,
    rpMATFXEFFECTBUMPMAP = 1,
    rpMATFXEFFECTENVMAP = 2,
    rpMATFXEFFECTBUMPENVMAP = 3,
    rpMATFXEFFECTDUAL = 4,
    rpMATFXEFFECTUVTRANSFORM = 5,
    rpMATFXEFFECTDUALUVTRANSFORM = 6,
    rpMATFXEFFECTMAX = 7,
};

struct RpMatFXBumpMapData {
    RwFrame *frame;            // light frame; null: the camera's
    RwTexture *bumpedTexture;  // base colour with the bump's grey as alpha
    RwTexture *bumpTexture;
    RwReal coef;               // stored negated
    RwReal invBumpWidth;
};

struct RpMatFXEnvMapData {
    RwFrame *frame;
    RwTexture *texture;
    RwReal coef;
    RwUInt32 useFrameBufferAlpha;
};

struct RpMatFXDualData {
    RwTexture *texture;
    RwUInt32 srcBlendMode;  // engine blend functions
    RwUInt32 dstBlendMode;
};

// Matrices are the caller's: never owned, never streamed.
struct RpMatFXUVAnimData {
    RwMatrix *baseTransform;
    RwMatrix *dualTransform;
};

union RpMatFXEffectDataUnion {
    RpMatFXBumpMapData bumpMap;
    RpMatFXEnvMapData envMap;
    RpMatFXDualData dual;
    RpMatFXUVAnimData uvAnim;
};

// One pass: its data, then its pass type.
struct RpMatFXEffectData {
    RpMatFXEffectDataUnion data;
    RwUInt32 effectType;
};

struct RpMatFXMaterialData {
    RpMatFXEffectData data[2];
    RwUInt32 flags;  // the material's effect type
};

RwBool RpMatFXPluginAttach(void);

RpMaterial *RpMatFXMaterialSetEffects(RpMaterial *material, RwUInt32 effect);
RwUInt32 RpMatFXMaterialGetEffects(const RpMaterial *material);
// The material's record (null until an effect was set or read).
RpMatFXMaterialData *RpMatFXMaterialGetData(const RpMaterial *material);
// Clears every pass (dropping the textures' references) and zeroes the record.
RpMatFXMaterialData *RpMatFXMaterialDataClear(RpMatFXMaterialData *data);
// First of the two passes whose pass type is `passType`, or null.
RpMatFXEffectData *RpMatFXMaterialGetPass(const RpMaterial *material, RwUInt32 passType);

RpMaterial *RpMatFXMaterialSetupBumpMap(RpMaterial *material, RwTexture *bumpTexture, RwFrame *frame,
                                        RwReal coef);
RpMaterial *RpMatFXMaterialSetBumpMapTexture(RpMaterial *material, RwTexture *bumpTexture);
RpMaterial *RpMatFXMaterialSetupEnvMap(RpMaterial *material, RwTexture *envTexture, RwFrame *frame,
                                       RwBool useFrameBufferAlpha, RwReal coef);
RpMaterial *RpMatFXMaterialSetupDualTexture(RpMaterial *material, RwTexture *texture, RwUInt32 srcBlendMode,
                                            RwUInt32 dstBlendMode);
RpMaterial *RpMatFXMaterialSetDualBlendModes(RpMaterial *material, RwUInt32 srcBlendMode,
                                             RwUInt32 dstBlendMode);
RpMaterial *RpMatFXMaterialSetUVTransformMatrices(RpMaterial *material, RwMatrix *baseTransform,
                                                  RwMatrix *dualTransform);
// Base colours with the bump texture's grey level as alpha; null for
// compressed rasters.
RwTexture *RpMatFXCreateBumpedTexture(RwTexture *baseTexture, RwTexture *bumpTexture);

RpAtomic *RpMatFXAtomicEnableEffects(RpAtomic *atomic);
RwBool RpMatFXAtomicQueryEffects(const RpAtomic *atomic);
RpAtomic *RpMatFXAtomicSetPipeline(RpAtomic *atomic);
RpWorldSector *RpMatFXWorldSectorEnableEffects(RpWorldSector *sector);
RwBool RpMatFXWorldSectorQueryEffects(const RpWorldSector *sector);
RpWorldSector *RpMatFXWorldSectorSetPipeline(RpWorldSector *sector);

// The plug-in's pipelines (null before the engine starts).
RwPipeline *RpMatFXGetD3D8Pipeline(RwBool worldSector);

// Stream data of materials, atomics and sectors (extension 0x120).
RwStream *RpMatFXMaterialStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset,
                                    RwInt32 size);
RwStream *RpMatFXMaterialStreamWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                     RwInt32 size);
RwInt32 RpMatFXMaterialStreamGetSize(const void *object, RwInt32 offset, RwInt32 size);

// The render callback of both effects pipelines.
void RpMatFXD3D8RenderCallback(RwResEntry *entry, void *object, RwUInt8 type, RwUInt32 flags);

// The device routes the renderer takes (read from the device capabilities
// when the plug-in opens; tests read them to know which route ran).
struct RpMatFXD3D8Routes {
    RwUInt32 blendStages;
    RwBool twoTextures;
    RwBool multiplyAdd;
    RwBool modulate2x;
    RwBool addPending;      // ADD for the environment map not validated yet
    RwBool addValid;
    RwBool modulate2xPending;
    RwUInt32 pixelShaders[6];  // 0 when the device has none
};
const RpMatFXD3D8Routes *RpMatFXD3D8GetRoutes(void);

// The fixed token streams of the six effect pixel shaders (ps 1.0).
const RwUInt32 *RpMatFXD3D8PixelShaderTokens(RwInt32 index);
