// The skin's stream forms: the geometry extension in its current and older
// layouts, the device-instanced layout, and the older atomic-held layout.
// Every count is weighed against the extension's length before anything is
// allocated, and every bone index the blend will read is checked before
// the geometry takes the skin.
#include <cstring>

#include "rpskinpriv.h"
#include "rwcore.h"

namespace {

constexpr RwUInt32 kNativePlatform = 8;
constexpr RwUInt32 kNativeBodySize = 8;
constexpr RwUInt32 kSplitHeadSize = 12;
constexpr RwUInt32 kPerVertexSize = 20;  // four index bytes and four weights
constexpr RwUInt32 kMatrixSize = 64;

RpGeometry *GeometryOf(void *object) { return static_cast<RpGeometry *>(object); }

RwBool ReadWords(RwStream *stream, void *buffer, RwUInt64 bytes)
{
    return bytes == 0 || RwStreamReadWords(stream, buffer, static_cast<RwUInt32>(bytes)) != nullptr;
}

RwBool ReadMatrices(RwStream *stream, RpSkin *skin, RwUInt32 skipBefore)
{
    for (RwInt32 b = 0; b < skin->numBones; ++b) {
        if ((skipBefore > 0 && RwStreamSkip(stream, skipBefore) == nullptr) ||
            !ReadWords(stream, &skin->skinToBoneMatrices[b], kMatrixSize)) {
            return FALSE;
        }
    }
    return TRUE;
}

RwBool ReadVertices(RwStream *stream, RpSkin *skin)
{
    RwUInt64 n = static_cast<RwUInt64>(skin->numVertices);
    return ReadWords(stream, skin->vertexBoneIndices, n * sizeof(RwUInt32)) &&
           ReadWords(stream, skin->vertexBoneWeights, n * sizeof(RwMatrixWeights));
}

RwBool ReadSplit(RwStream *stream, RpSkin *skin, RwUInt64 left)
{
    RwInt32 boneLimit = 0;
    RwInt32 numMeshes = 0;
    RwInt32 numRLE = 0;
    if (left < kSplitHeadSize || !RwStreamReadInt32(stream, &boneLimit) || !RwStreamReadInt32(stream, &numMeshes) ||
        !RwStreamReadInt32(stream, &numRLE)) {
        return FALSE;
    }
    skin->boneLimit = boneLimit;
    if (numMeshes < 1) {
        return TRUE;
    }
    if (numRLE < 0) {
        return FALSE;
    }
    RwUInt64 bytes = static_cast<RwUInt64>(skin->numBones) + 2 * (static_cast<RwUInt64>(numMeshes) + numRLE);
    if (bytes > left - kSplitHeadSize) {
        return FALSE;
    }
    auto *block = static_cast<RwUInt8 *>(RwMalloc(bytes));
    if (block == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    if (RwStreamRead(stream, block, static_cast<RwUInt32>(bytes)) != bytes) {
        RwFree(block);
        return FALSE;
    }
    skin->numMeshes = numMeshes;
    skin->numRLE = numRLE;
    skin->meshBoneRemapIndices = block;
    skin->meshBoneRLECount = reinterpret_cast<RpSkinBoneRLE *>(block + skin->numBones);
    skin->meshBoneRLE = reinterpret_cast<RpSkinBoneRLE *>(block + skin->numBones + 2 * numMeshes);
    return TRUE;
}

RwStream *ReadNative(RwStream *stream, RpGeometry *geometry)
{
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindStruct(stream, &length, &version)) {
        return nullptr;
    }
    RwUInt32 platform = 0;
    RwUInt32 numBones = 0;
    if (length < kNativeBodySize || !RwStreamReadUInt32(stream, &platform) || platform != kNativePlatform ||
        !RwStreamReadUInt32(stream, &numBones) || numBones > static_cast<RwUInt32>(rpSKINMAXBONES)) {
        return nullptr;
    }
    RpSkin *skin = rpSkinAllocate(0, static_cast<RwInt32>(numBones), 0);
    if (skin == nullptr) {
        return nullptr;
    }
    RpSkinGeometrySetSkin(geometry, skin);
    return stream;
}

// Sorts, checks and hands the skin to the geometry; frees it when refused.
RwStream *Adopt(RwStream *stream, RpGeometry *geometry, RpSkin *skin)
{
    RpSkinGeometrySortWeights(skin);
    if (!rpSkinIndicesValid(skin) || RpSkinGeometrySetSkin(geometry, skin) == nullptr) {
        RwErrorReportCommon(E_RW_READ);
        RpSkinDestroy(skin);
        return nullptr;
    }
    return stream;
}

RwStream *Refuse(RpSkin *skin)
{
    RwErrorReportCommon(E_RW_READ);
    RpSkinDestroy(skin);
    return nullptr;
}

}  // namespace

RwStream *RpSkinGeometryStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32, RwInt32)
{
    RpGeometry *geometry = GeometryOf(object);
    if (geometry->flags & rpGEOMETRYNATIVE) {
        return ReadNative(stream, geometry);
    }
    RwUInt32 header = 0;
    if (length < 4 || !RwStreamReadUInt32(stream, &header)) {
        return nullptr;
    }
    RwInt32 numBones = static_cast<RwInt32>(header & 0xFF);
    RwInt32 numUsedBones = static_cast<RwInt32>((header >> 8) & 0xFF);
    RwInt32 maxWeights = static_cast<RwInt32>((header >> 16) & 0xFF);
    RwInt32 numVertices = geometry->numVertices;
    RwBool older = maxWeights == 0;
    RwUInt64 needed = 4 + static_cast<RwUInt64>(numVertices) * kPerVertexSize +
                      (older ? static_cast<RwUInt64>(numBones) * (kMatrixSize + 4)
                             : numUsedBones + static_cast<RwUInt64>(numBones) * kMatrixSize + kSplitHeadSize);
    if (maxWeights > 4 || needed > static_cast<RwUInt64>(length) || (numBones == 0 && numVertices > 0)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RpSkin *skin = rpSkinAllocate(numVertices, numBones, older ? numBones : numUsedBones);
    if (skin == nullptr) {
        return nullptr;
    }
    if (!older && RwStreamRead(stream, skin->usedBones, static_cast<RwUInt32>(numUsedBones)) !=
                      static_cast<RwUInt32>(numUsedBones)) {
        return Refuse(skin);
    }
    if (!ReadVertices(stream, skin)) {
        return Refuse(skin);
    }
    if (older) {
        if (!ReadMatrices(stream, skin, 4)) {
            return Refuse(skin);
        }
        rpSkinRebuildUsedBones(skin);
    } else {
        skin->maxNumWeightsForVertex = maxWeights;
        if (!ReadMatrices(stream, skin, 0) || !ReadSplit(stream, skin, static_cast<RwUInt64>(length) - needed +
                                                                           kSplitHeadSize)) {
            return Refuse(skin);
        }
    }
    return Adopt(stream, geometry, skin);
}

RwInt32 RpSkinGeometryStreamGetSize(const void *object, RwInt32, RwInt32)
{
    const auto *geometry = static_cast<const RpGeometry *>(object);
    const RpSkin *skin = RpSkinGeometryGetSkin(geometry);
    if (skin == nullptr) {
        return 0;
    }
    if (geometry->flags & rpGEOMETRYNATIVE) {
        return static_cast<RwInt32>(rwCHUNKHEADERSIZE + kNativeBodySize);
    }
    RwInt32 size = 4 + skin->numUsedBones + static_cast<RwInt32>(kPerVertexSize) * geometry->numVertices +
                   static_cast<RwInt32>(kMatrixSize) * skin->numBones + static_cast<RwInt32>(kSplitHeadSize);
    if (skin->numMeshes != 0) {
        size += skin->numBones + 2 * (skin->numMeshes + skin->numRLE);
    }
    return size;
}

RwStream *RpSkinGeometryStreamWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    const auto *geometry = static_cast<const RpGeometry *>(object);
    const RpSkin *skin = RpSkinGeometryGetSkin(geometry);
    if (skin == nullptr) {
        return stream;
    }
    if (geometry->flags & rpGEOMETRYNATIVE) {
        if (RwStreamWriteChunkHeaderDefault(stream, rwID_STRUCT, kNativeBodySize) == nullptr ||
            RwStreamWriteUInt32(stream, kNativePlatform) == nullptr ||
            RwStreamWriteUInt32(stream, static_cast<RwUInt32>(skin->numBones)) == nullptr) {
            return nullptr;
        }
        return stream;
    }
    RwUInt32 numVertices = static_cast<RwUInt32>(geometry->numVertices);
    RwUInt32 header = static_cast<RwUInt32>(skin->numBones & 0xFF) | (static_cast<RwUInt32>(skin->numUsedBones & 0xFF) << 8) |
                      (static_cast<RwUInt32>(skin->maxNumWeightsForVertex & 0xFF) << 16);
    if (RwStreamWriteUInt32(stream, header) == nullptr ||
        (skin->numUsedBones > 0 &&
         RwStreamWrite(stream, skin->usedBones, static_cast<RwUInt32>(skin->numUsedBones)) == nullptr) ||
        (numVertices > 0 &&
         (RwStreamWriteWords(stream, skin->vertexBoneIndices, numVertices * 4) == nullptr ||
          RwStreamWriteWords(stream, skin->vertexBoneWeights, numVertices * 16) == nullptr)) ||
        (skin->numBones > 0 &&
         RwStreamWriteWords(stream, skin->skinToBoneMatrices, static_cast<RwUInt32>(skin->numBones) * kMatrixSize) ==
             nullptr) ||
        RwStreamWriteInt32(stream, skin->boneLimit) == nullptr ||
        RwStreamWriteInt32(stream, skin->numMeshes) == nullptr || RwStreamWriteInt32(stream, skin->numRLE) == nullptr) {
        return nullptr;
    }
    if (skin->numMeshes != 0) {
        RwUInt32 bytes = static_cast<RwUInt32>(skin->numBones + 2 * (skin->numMeshes + skin->numRLE));
        if (RwStreamWrite(stream, skin->meshBoneRemapIndices, bytes) == nullptr) {
            return nullptr;
        }
    }
    return stream;
}

RwStream *RpSkinAtomicStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32, RwInt32)
{
    auto *atomic = static_cast<RpAtomic *>(object);
    RpGeometry *geometry = atomic->geometry;
    // A geometry that already has its skin keeps it; the chunk's remains are
    // stepped over by the extension reader.
    if (geometry == nullptr || RpSkinGeometryGetSkin(geometry) != nullptr) {
        return stream;
    }
    RwUInt32 numBones = 0;
    if (length < 8 || !RwStreamReadUInt32(stream, &numBones) || RwStreamSkip(stream, 4) == nullptr) {
        return nullptr;
    }
    RwUInt64 needed = 8 + static_cast<RwUInt64>(geometry->numVertices) * kPerVertexSize +
                      static_cast<RwUInt64>(numBones) * (12 + kMatrixSize);
    if (numBones < 1 || numBones > static_cast<RwUInt32>(rpSKINMAXBONES) || needed > static_cast<RwUInt64>(length)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RpSkin *skin = rpSkinAllocate(geometry->numVertices, static_cast<RwInt32>(numBones), static_cast<RwInt32>(numBones));
    if (skin == nullptr) {
        return nullptr;
    }
    if (!ReadVertices(stream, skin) || !ReadMatrices(stream, skin, 12)) {
        return Refuse(skin);
    }
    rpSkinRebuildUsedBones(skin);
    return Adopt(stream, geometry, skin);
}
