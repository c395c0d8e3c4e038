// The skin plug-in: its engine block (record free list and shared bone-matrix
// buffer), the geometry and atomic extensions, making and freeing skins,
// the weight order the blend relies on, and the skin type of atomics.
#include <cstring>

#include "rpskinpriv.h"
#include "rwcore.h"

namespace {

rpSkinGlobals globals = {-1, -1, nullptr, nullptr, nullptr, nullptr};
RwInt32 openCount = 0;

// Plug-in ids whose presence widens the skin type of an atomic.
constexpr RwUInt32 kMatFXPluginID = 0x120;
constexpr RwUInt32 kToonPluginID = 0x12E;

RpSkin **SkinSlot(void *geometry, RwInt32 offset)
{
    return reinterpret_cast<RpSkin **>(static_cast<RwUInt8 *>(geometry) + offset);
}

RpHAnimHierarchy **HierarchySlot(void *atomic, RwInt32 offset)
{
    return reinterpret_cast<RpHAnimHierarchy **>(static_cast<RwUInt8 *>(atomic) + offset);
}

void *EngineOpen(void *instance, RwInt32, RwInt32)
{
    if (openCount++ > 0) {
        return instance;
    }
    globals.skinFreeList = RwFreeListCreate(static_cast<RwInt32>(sizeof(RpSkin)), 20, 8);
    globals.boneMatricesUnaligned = RwMalloc(sizeof(RwMatrix) * rpSKINMAXBONES + 15);
    if (globals.skinFreeList == nullptr || globals.boneMatricesUnaligned == nullptr) {
        if (globals.skinFreeList != nullptr) {
            RwFreeListDestroy(globals.skinFreeList);
        }
        if (globals.boneMatricesUnaligned != nullptr) {
            RwFree(globals.boneMatricesUnaligned);
        }
        globals.skinFreeList = nullptr;
        globals.boneMatricesUnaligned = nullptr;
        openCount = 0;
        return nullptr;
    }
    rpSkinResetBoneCache();
    std::memset(globals.boneMatricesUnaligned, 0, sizeof(RwMatrix) * rpSKINMAXBONES + 15);
    globals.boneMatrices =
        reinterpret_cast<RwMatrix *>(RwAlignUp(reinterpret_cast<RwUInt64>(globals.boneMatricesUnaligned), 16));
    // Without its pipeline a skinned atomic keeps the default one and shows
    // the bind pose; the engine itself still runs.
    globals.pipeline = RpD3D8SkinPipelineCreate();
    return instance;
}

void *EngineClose(void *instance, RwInt32, RwInt32)
{
    if (openCount > 0 && --openCount == 0) {
        if (globals.pipeline != nullptr) {
            RwPipelineDestroy(globals.pipeline);
            globals.pipeline = nullptr;
        }
        RwFreeListDestroy(globals.skinFreeList);
        RwFree(globals.boneMatricesUnaligned);
        globals.skinFreeList = nullptr;
        globals.boneMatricesUnaligned = nullptr;
        globals.boneMatrices = nullptr;
    }
    return instance;
}

void *GeometryConstruct(void *geometry, RwInt32 offset, RwInt32)
{
    *SkinSlot(geometry, offset) = nullptr;
    return geometry;
}

void *GeometryDestruct(void *geometry, RwInt32 offset, RwInt32)
{
    RpSkinDestroy(*SkinSlot(geometry, offset));
    *SkinSlot(geometry, offset) = nullptr;
    return geometry;
}

// A copied geometry starts without a skin: the record is not shared.
void *GeometryCopy(void *dst, const void *, RwInt32 offset, RwInt32)
{
    *SkinSlot(dst, offset) = nullptr;
    return dst;
}

void *AtomicConstruct(void *atomic, RwInt32 offset, RwInt32)
{
    *HierarchySlot(atomic, offset) = nullptr;
    return atomic;
}

void *AtomicCopy(void *dst, const void *src, RwInt32 offset, RwInt32)
{
    *HierarchySlot(dst, offset) = *HierarchySlot(const_cast<void *>(src), offset);
    return dst;
}

RwStream *AtomicStreamWrite(RwStream *stream, RwInt32, const void *, RwInt32, RwInt32) { return stream; }
RwInt32 AtomicStreamGetSize(const void *, RwInt32, RwInt32) { return 0; }

// Settles the type of a just-read skinned atomic: a type whose plug-in is
// not attached falls back to the generic one.
void SetTypeAfterRead(RpAtomic *atomic, RwInt32 type)
{
    if (atomic->geometry == nullptr || RpSkinGeometryGetSkin(atomic->geometry) == nullptr) {
        return;
    }
    if ((type == rpSKINTYPEMATFX && RwEngineGetPluginOffset(kMatFXPluginID) < 0) ||
        (type == rpSKINTYPETOON && RwEngineGetPluginOffset(kToonPluginID) < 0) || type < rpSKINTYPEGENERIC ||
        type > rpSKINTYPETOON) {
        type = rpSKINTYPEGENERIC;
    }
    RpSkinAtomicSetType(atomic, static_cast<RpSkinType>(type));
}

RwInt32 AtomicAlways(void *object, RwInt32, RwInt32)
{
    auto *atomic = static_cast<RpAtomic *>(object);
    RwInt32 type = rpSKINTYPEGENERIC;
    RwInt32 matfx = RpAtomicGetPluginOffset(kMatFXPluginID);
    if (RwEngineGetPluginOffset(kMatFXPluginID) >= 0 && matfx >= 0 &&
        *reinterpret_cast<const RwUInt32 *>(reinterpret_cast<const RwUInt8 *>(atomic) + matfx) != 0) {
        type = rpSKINTYPEMATFX;
    }
    SetTypeAfterRead(atomic, type);
    return TRUE;
}

RwInt32 AtomicRights(void *object, RwInt32, RwInt32, RwUInt32 extraData)
{
    SetTypeAfterRead(static_cast<RpAtomic *>(object), static_cast<RwInt32>(extraData));
    return 1;
}

}  // namespace

rpSkinGlobals *rpSkinGetGlobals(void) { return &globals; }

RwBool RpSkinPluginAttach(void)
{
    if (RwEngineRegisterPlugin(0, rpSKINPLUGINID, EngineOpen, EngineClose) < 0) {
        return FALSE;
    }
    globals.atomicOffset = RpAtomicRegisterPlugin(static_cast<RwInt32>(sizeof(RpHAnimHierarchy *)), rpSKINPLUGINID,
                                                  AtomicConstruct, AtomicConstruct, AtomicCopy);
    globals.geometryOffset = RpGeometryRegisterPlugin(static_cast<RwInt32>(sizeof(RpSkin *)), rpSKINPLUGINID,
                                                      GeometryConstruct, GeometryDestruct, GeometryCopy);
    return globals.atomicOffset >= 0 && globals.geometryOffset >= 0 &&
           RpAtomicRegisterPluginStream(rpSKINPLUGINID, RpSkinAtomicStreamRead, AtomicStreamWrite,
                                        AtomicStreamGetSize) >= 0 &&
           RpAtomicSetStreamAlwaysCallBack(rpSKINPLUGINID, AtomicAlways) >= 0 &&
           RpAtomicSetStreamRightsCallBack(rpSKINPLUGINID, AtomicRights) >= 0 &&
           RpGeometryRegisterPluginStream(rpSKINPLUGINID, RpSkinGeometryStreamRead, RpSkinGeometryStreamWrite,
                                          RpSkinGeometryStreamGetSize) >= 0;
}

RpSkin *rpSkinAllocate(RwInt32 numVertices, RwInt32 numBones, RwInt32 numUsedBones)
{
    if (globals.skinFreeList == nullptr || numVertices < 0 || numVertices > rpGEOMETRYMAXVERTICES || numBones < 0 ||
        numBones > rpSKINMAXBONES || numUsedBones < 0 || numUsedBones > rpSKINMAXBONES) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    auto *skin = static_cast<RpSkin *>(RwFreeListEntryAlloc(globals.skinFreeList));
    if (skin == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(skin, 0, sizeof(*skin));
    size_t bytes = sizeof(RwMatrix) * static_cast<size_t>(numBones) +
                   static_cast<size_t>(numVertices) * (sizeof(RwUInt32) + sizeof(RwMatrixWeights)) +
                   static_cast<size_t>(numUsedBones) + 15;
    skin->dataBlock = RwMalloc(bytes);
    if (skin->dataBlock == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        RwFreeListEntryFree(globals.skinFreeList, skin);
        return nullptr;
    }
    std::memset(skin->dataBlock, 0, bytes);
    skin->numBones = numBones;
    skin->numUsedBones = numUsedBones;
    skin->numVertices = numVertices;
    skin->usedBones = static_cast<RwUInt8 *>(skin->dataBlock);
    skin->skinToBoneMatrices =
        reinterpret_cast<RwMatrix *>(RwAlignUp(reinterpret_cast<RwUInt64>(skin->usedBones + numUsedBones), 16));
    skin->vertexBoneIndices = reinterpret_cast<RwUInt32 *>(skin->skinToBoneMatrices + numBones);
    skin->vertexBoneWeights = reinterpret_cast<RwMatrixWeights *>(skin->vertexBoneIndices + numVertices);
    skin->maxNumWeightsForVertex = 1;
    return skin;
}

RpSkin *RpSkinDestroy(RpSkin *skin)
{
    if (skin == nullptr) {
        return nullptr;
    }
    if (skin->dataBlock != nullptr) {
        RwFree(skin->dataBlock);
    }
    if (skin->meshBoneRemapIndices != nullptr) {
        RwFree(skin->meshBoneRemapIndices);
    }
    RwFreeListEntryFree(globals.skinFreeList, skin);
    return nullptr;
}

void rpSkinRebuildUsedBones(RpSkin *skin)
{
    RwInt32 weights = 1;
    for (RwInt32 v = 0; v < skin->numVertices && weights < 4; ++v) {
        const RwReal *w = &skin->vertexBoneWeights[v].w0;
        for (RwInt32 k = weights; k < 4 && w[k] != 0.0f; ++k) {
            weights = k + 1;
        }
    }
    skin->maxNumWeightsForVertex = weights;
    RwInt32 used = 0;
    RwInt32 room = skin->numUsedBones;
    for (RwInt32 v = 0; v < skin->numVertices; ++v) {
        const RwReal *w = &skin->vertexBoneWeights[v].w0;
        for (RwInt32 k = 0; k < weights; ++k) {
            RwUInt32 bits;
            std::memcpy(&bits, &w[k], sizeof(bits));
            if (bits == 0) {
                continue;
            }
            auto bone = static_cast<RwUInt8>(skin->vertexBoneIndices[v] >> (8 * k));
            if (std::memchr(skin->usedBones, bone, static_cast<size_t>(used)) == nullptr && used < room) {
                skin->usedBones[used++] = bone;
            }
        }
    }
    skin->numUsedBones = used;
}

RwBool rpSkinIndicesValid(const RpSkin *skin)
{
    for (RwInt32 i = 0; i < skin->numUsedBones; ++i) {
        if (skin->usedBones[i] >= skin->numBones) {
            return FALSE;
        }
    }
    for (RwInt32 v = 0; v < skin->numVertices; ++v) {
        const RwReal *w = &skin->vertexBoneWeights[v].w0;
        for (RwInt32 k = 0; k < 4; ++k) {
            // The blend reads the first two indices whatever their weights,
            // and a later one whenever it carries weight.
            RwUInt32 bone = (skin->vertexBoneIndices[v] >> (8 * k)) & 0xFF;
            if ((k < 2 || w[k] != 0.0f) && bone >= static_cast<RwUInt32>(skin->numBones)) {
                return FALSE;
            }
        }
    }
    return TRUE;
}

RpSkin *RpSkinCreate(RwInt32 numVertices, RwInt32 numBones, const RwMatrixWeights *vertexWeights,
                     const RwUInt32 *vertexIndices, const RwMatrix *inverseMatrices)
{
    if ((numVertices > 0 && (vertexWeights == nullptr || vertexIndices == nullptr)) ||
        (numBones > 0 && inverseMatrices == nullptr) || numBones < 1) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    RpSkin *skin = rpSkinAllocate(numVertices, numBones, numBones);
    if (skin == nullptr) {
        return nullptr;
    }
    std::memcpy(skin->vertexBoneWeights, vertexWeights, sizeof(RwMatrixWeights) * static_cast<size_t>(numVertices));
    std::memcpy(skin->vertexBoneIndices, vertexIndices, sizeof(RwUInt32) * static_cast<size_t>(numVertices));
    std::memcpy(skin->skinToBoneMatrices, inverseMatrices, sizeof(RwMatrix) * static_cast<size_t>(numBones));
    rpSkinRebuildUsedBones(skin);
    RpSkinGeometrySortWeights(skin);
    if (!rpSkinIndicesValid(skin)) {
        RwErrorReportCommon(E_RW_NULLP);
        return RpSkinDestroy(skin);
    }
    return skin;
}

RpSkin *RpSkinGeometrySortWeights(RpSkin *skin)
{
    for (RwInt32 v = 0; v < skin->numVertices; ++v) {
        RwReal *w = &skin->vertexBoneWeights[v].w0;
        if (!(w[0] < 1.0f)) {
            continue;
        }
        RwUInt8 index[4] = {static_cast<RwUInt8>(skin->vertexBoneIndices[v]),
                            static_cast<RwUInt8>(skin->vertexBoneIndices[v] >> 8),
                            static_cast<RwUInt8>(skin->vertexBoneIndices[v] >> 16),
                            static_cast<RwUInt8>(skin->vertexBoneIndices[v] >> 24)};
        RwBool swapped = TRUE;
        while (swapped) {
            swapped = FALSE;
            for (RwInt32 k = 0; k < 3; ++k) {
                // Bit patterns as signed integers order non-negative floats.
                RwInt32 a;
                RwInt32 b;
                std::memcpy(&a, &w[k], sizeof(a));
                std::memcpy(&b, &w[k + 1], sizeof(b));
                if (a < b) {
                    RwReal t = w[k];
                    w[k] = w[k + 1];
                    w[k + 1] = t;
                    RwUInt8 i = index[k];
                    index[k] = index[k + 1];
                    index[k + 1] = i;
                    swapped = TRUE;
                }
            }
        }
        skin->vertexBoneIndices[v] = static_cast<RwUInt32>(index[0]) | (static_cast<RwUInt32>(index[1]) << 8) |
                                     (static_cast<RwUInt32>(index[2]) << 16) | (static_cast<RwUInt32>(index[3]) << 24);
    }
    // Ascending bone order (a counting pass: at most 256 distinct bytes).
    RwInt32 count[256] = {};
    for (RwInt32 i = 0; i < skin->numUsedBones; ++i) {
        ++count[skin->usedBones[i]];
    }
    RwInt32 out = 0;
    for (RwInt32 b = 0; b < 256; ++b) {
        for (RwInt32 n = 0; n < count[b]; ++n) {
            skin->usedBones[out++] = static_cast<RwUInt8>(b);
        }
    }
    return skin;
}

RpGeometry *RpSkinGeometrySetSkin(RpGeometry *geometry, RpSkin *skin)
{
    RpSkin **slot = SkinSlot(geometry, globals.geometryOffset);
    if (*slot == skin) {
        return geometry;
    }
    // A skin with fewer vertices than the geometry would be read past its end.
    if (skin != nullptr && skin->numVertices < geometry->numVertices) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    // The geometry owns its skin: one it replaces is freed.
    RpSkinDestroy(*slot);
    *slot = skin;
    if (skin != nullptr) {
        RpSkinGeometrySortWeights(skin);
    }
    return geometry;
}

RpSkin *RpSkinGeometryGetSkin(const RpGeometry *geometry)
{
    if (geometry == nullptr || globals.geometryOffset < 0) {
        return nullptr;
    }
    return *SkinSlot(const_cast<RpGeometry *>(geometry), globals.geometryOffset);
}

RpAtomic *RpSkinAtomicSetHierarchy(RpAtomic *atomic, RpHAnimHierarchy *hierarchy)
{
    *HierarchySlot(atomic, globals.atomicOffset) = hierarchy;
    return atomic;
}

RpHAnimHierarchy *RpSkinAtomicGetHierarchy(const RpAtomic *atomic)
{
    return *HierarchySlot(const_cast<RpAtomic *>(atomic), globals.atomicOffset);
}

RwPipeline *RpSkinGetAtomicPipeline(void) { return globals.pipeline; }

RpAtomic *RpSkinAtomicSetType(RpAtomic *atomic, RpSkinType)
{
    atomic->pipeline = RpSkinGetAtomicPipeline();
    return atomic;
}
