// The lightmap extension data: each body is itself a 0x114 chunk. Atomics
// and sectors carry three words and the lightmap's name, materials five
// words, worlds one; every field is read on its own and weighed against
// the chunk that holds it.
#include <cstring>

#include "ltmappriv.h"
#include "rpworld.h"
#include "rwerror.h"
#include "rwstream.h"
#include "rwtexture.h"

namespace {

// Finds the inner 0x114 chunk and checks it can hold `need` bytes within
// what is left of the extension.
RwBool EnterBody(RwStream *stream, RwUInt32 need, RwUInt64 *saved)
{
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindChunk(stream, rwID_LTMAPPLUGIN, &length, &version)) {
        return FALSE;
    }
    if (length < need) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    *saved = RwStreamEnterChunk(stream, length);
    return TRUE;
}

RwBool LeaveBody(RwStream *stream, RwUInt64 saved)
{
    const RwBool ok = RwStreamSkipRest(stream);
    RwStreamLeaveChunk(stream, saved);
    return ok;
}

RwStream *ReadObject(RwStream *stream, void *object, RwInt32 offset, RwBool sector)
{
    RwUInt64 saved = 0;
    if (!EnterBody(stream, rpLTMAPOBJECTCHUNKSIZE, &saved)) {
        return nullptr;
    }
    RwUInt32 words[3] = {0, 0, 0};
    RwChar name[rpLTMAPNAMELENGTH + 1] = {};
    RwBool ok = RwStreamReadUInt32(stream, &words[0]) && RwStreamReadUInt32(stream, &words[1]) &&
                RwStreamReadUInt32(stream, &words[2]) &&
                RwStreamRead(stream, name, rpLTMAPNAMELENGTH) == rpLTMAPNAMELENGTH;
    ok = LeaveBody(stream, saved) && ok;
    if (!ok) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    // The name must end inside its 32 bytes, and the size must be one the
    // device can make.
    if (std::memchr(name, '\0', rpLTMAPNAMELENGTH) == nullptr || words[2] > rpLTMAPMAXSIZE) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RpLightMapAtomicData *data = LightMapExtension<RpLightMapAtomicData>(object, offset);
    data->word0 = words[0];
    data->word1 = words[1];
    data->size = words[2];
    RwTexture *texture = RpLightMapTextureFind(name, static_cast<RwInt32>(words[2]));
    if (data->lightMap != nullptr) {
        RwTextureDestroy(data->lightMap);
    }
    data->lightMap = texture;
    if (texture != nullptr) {
        LightMapGlobals &globals = LightMapGlobalsGet();
        if (sector) {
            static_cast<RpWorldSector *>(object)->pipeline = globals.sectorPipeline;
        } else {
            static_cast<RpAtomic *>(object)->pipeline = globals.atomicPipeline;
        }
    }
    return stream;
}

}  // namespace

RwStream *LightMapAtomicRead(RwStream *stream, RwInt32, void *object, RwInt32 offset, RwInt32)
{
    return ReadObject(stream, object, offset, FALSE);
}

RwStream *LightMapSectorRead(RwStream *stream, RwInt32, void *object, RwInt32 offset, RwInt32)
{
    return ReadObject(stream, object, offset, TRUE);
}

RwStream *LightMapObjectWrite(RwStream *stream, RwInt32, const void *object, RwInt32 offset, RwInt32)
{
    const RpLightMapAtomicData *data = LightMapExtension<RpLightMapAtomicData>(object, offset);
    RwChar name[rpLTMAPNAMELENGTH] = {};
    if (data->lightMap != nullptr) {
        // The name field keeps its last byte as the terminator.
        std::memcpy(name, data->lightMap->name, strnlen(data->lightMap->name, rpLTMAPNAMELENGTH - 1));
    }
    if (RwStreamWriteChunkHeaderDefault(stream, rwID_LTMAPPLUGIN, rpLTMAPOBJECTCHUNKSIZE) == nullptr ||
        RwStreamWriteUInt32(stream, data->word0) == nullptr || RwStreamWriteUInt32(stream, data->word1) == nullptr ||
        RwStreamWriteUInt32(stream, data->lightMap != nullptr ? data->size : 0) == nullptr ||
        RwStreamWrite(stream, name, rpLTMAPNAMELENGTH) == nullptr) {
        return nullptr;
    }
    return stream;
}

RwInt32 LightMapObjectSize(const void *object, RwInt32 offset, RwInt32)
{
    const RpLightMapAtomicData *data = LightMapExtension<RpLightMapAtomicData>(object, offset);
    return data->word0 != 0 ? static_cast<RwInt32>(rwCHUNKHEADERSIZE + rpLTMAPOBJECTCHUNKSIZE) : 0;
}

RwStream *LightMapMaterialRead(RwStream *stream, RwInt32, void *object, RwInt32 offset, RwInt32)
{
    RwUInt64 saved = 0;
    if (!EnterBody(stream, rpLTMAPMATERIALCHUNKSIZE, &saved)) {
        return nullptr;
    }
    RpLightMapMaterialData read = {};
    RwBool ok = RwStreamReadUInt32(stream, &read.flags) && RwStreamReadReal(stream, &read.word1) &&
                RwStreamReadUInt32(stream, &read.word2) && RwStreamReadReal(stream, &read.word3) &&
                RwStreamReadReal(stream, &read.word4);
    ok = LeaveBody(stream, saved) && ok;
    if (!ok) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    *LightMapExtension<RpLightMapMaterialData>(object, offset) = read;
    return stream;
}

RwStream *LightMapMaterialWrite(RwStream *stream, RwInt32, const void *object, RwInt32 offset, RwInt32)
{
    const RpLightMapMaterialData *data = LightMapExtension<RpLightMapMaterialData>(object, offset);
    if (RwStreamWriteChunkHeaderDefault(stream, rwID_LTMAPPLUGIN, rpLTMAPMATERIALCHUNKSIZE) == nullptr ||
        RwStreamWriteUInt32(stream, data->flags) == nullptr || RwStreamWriteReal(stream, data->word1) == nullptr ||
        RwStreamWriteUInt32(stream, data->word2) == nullptr || RwStreamWriteReal(stream, data->word3) == nullptr ||
        RwStreamWriteReal(stream, data->word4) == nullptr) {
        return nullptr;
    }
    return stream;
}

RwInt32 LightMapMaterialSize(const void *object, RwInt32 offset, RwInt32)
{
    return LightMapExtension<RpLightMapMaterialData>(object, offset)->flags != 0
               ? static_cast<RwInt32>(rwCHUNKHEADERSIZE + rpLTMAPMATERIALCHUNKSIZE)
               : 0;
}

RwStream *LightMapWorldRead(RwStream *stream, RwInt32, void *object, RwInt32 offset, RwInt32)
{
    RwUInt64 saved = 0;
    if (!EnterBody(stream, rpLTMAPWORLDCHUNKSIZE, &saved)) {
        return nullptr;
    }
    RwUInt32 value = 0;
    RwBool ok = RwStreamReadUInt32(stream, &value);
    ok = LeaveBody(stream, saved) && ok;
    if (!ok) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RpLightMapWorldData *data = LightMapExtension<RpLightMapWorldData>(object, offset);
    data->flags |= 1u;
    data->value = value;
    return stream;
}

RwStream *LightMapWorldWrite(RwStream *stream, RwInt32, const void *object, RwInt32 offset, RwInt32)
{
    const RpLightMapWorldData *data = LightMapExtension<RpLightMapWorldData>(object, offset);
    if (RwStreamWriteChunkHeaderDefault(stream, rwID_LTMAPPLUGIN, rpLTMAPWORLDCHUNKSIZE) == nullptr ||
        RwStreamWriteUInt32(stream, data->value) == nullptr) {
        return nullptr;
    }
    return stream;
}

RwInt32 LightMapWorldSize(const void *object, RwInt32 offset, RwInt32)
{
    return (LightMapExtension<RpLightMapWorldData>(object, offset)->flags & 1u) != 0
               ? static_cast<RwInt32>(rwCHUNKHEADERSIZE + rpLTMAPWORLDCHUNKSIZE)
               : 0;
}
