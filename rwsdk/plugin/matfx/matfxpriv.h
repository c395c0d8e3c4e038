// What the material-effects files share inside the plug-in: the extension
// offsets, the record free list, the effect flags of atomics and sectors,
// and the pipeline set-up run at the first open.
#pragma once

#include "rpmatfx.h"

struct RwFreeList;

struct MatFXGlobals {
    RwInt32 materialOffset;
    RwInt32 atomicOffset;
    RwInt32 sectorOffset;
    RwInt32 openCount;
    RwFreeList *records;
};

MatFXGlobals &MatFXGlobalsGet(void);

inline RpMatFXMaterialData **MatFXMaterialSlot(const RpMaterial *material)
{
    auto *bytes = reinterpret_cast<RwUInt8 *>(const_cast<RpMaterial *>(material));
    return reinterpret_cast<RpMatFXMaterialData **>(bytes + MatFXGlobalsGet().materialOffset);
}

inline RwUInt32 *MatFXFlagSlot(const void *object, RwInt32 offset)
{
    return reinterpret_cast<RwUInt32 *>(static_cast<RwUInt8 *>(const_cast<void *>(object)) + offset);
}

// The record of a material, taken from the free list when it has none.
RpMatFXMaterialData *MatFXMaterialTakeData(RpMaterial *material);

// Stores `texture` (a new reference) in `*slot`, dropping what was there.
void MatFXReplaceTexture(RwTexture **slot, RwTexture *texture);

// Environment coefficient as the 8-bit factor the device blends with:
// rounded and clamped to 0..255 (a coefficient above 1 stays at full).
RwUInt32 MatFXEnvCoefficientByte(RwReal coef);

// The route record the renderers update after a one-time validation.
RpMatFXD3D8Routes *MatFXD3D8RoutesEdit(void);

RwBool RpMatFXD3D8PipelinesOpen(void);
void RpMatFXD3D8PipelinesClose(void);
