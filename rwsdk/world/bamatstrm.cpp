// The material chunk: a 28-byte struct (colour, textured flag, surface
// properties), the texture chunk when textured, and the extension chunk.
#include "rwerror.h"
#include "rwstream.h"
#include "rwtexture.h"
#include "world/bamodules.h"

RwUInt32 RpMaterialStreamGetSize(const RpMaterial *material)
{
    RwUInt32 size = rwCHUNKHEADERSIZE + rpMATERIALSTRUCTSIZE;
    if (material->texture != nullptr) {
        size += rwCHUNKHEADERSIZE + RwTextureStreamGetSize(material->texture);
    }
    size += rwCHUNKHEADERSIZE + static_cast<RwUInt32>(RwPluginRegistryGetStreamSize(RpMaterialGetPluginRegistry(),
                                                                                    material));
    return size;
}

const RpMaterial *RpMaterialStreamWrite(const RpMaterial *material, RwStream *stream)
{
    const RwRGBA &c = material->color;
    RwUInt32 colour = static_cast<RwUInt32>(c.red) | (static_cast<RwUInt32>(c.green) << 8) |
                      (static_cast<RwUInt32>(c.blue) << 16) | (static_cast<RwUInt32>(c.alpha) << 24);
    RwBool ok = RwStreamWriteChunkHeader(stream, rwID_MATERIAL, RpMaterialStreamGetSize(material),
                                         rwLIBRARYVERSION, rwLIBRARYBUILD) != nullptr &&
                RwStreamWriteChunkHeader(stream, rwID_STRUCT, rpMATERIALSTRUCTSIZE, rwLIBRARYVERSION,
                                         rwLIBRARYBUILD) != nullptr &&
                RwStreamWriteUInt32(stream, 0) != nullptr && RwStreamWriteUInt32(stream, colour) != nullptr &&
                RwStreamWriteUInt32(stream, 0) != nullptr &&
                RwStreamWriteInt32(stream, material->texture != nullptr ? 1 : 0) != nullptr &&
                RwStreamWriteReal(stream, material->surfaceProps.ambient) != nullptr &&
                RwStreamWriteReal(stream, material->surfaceProps.specular) != nullptr &&
                RwStreamWriteReal(stream, material->surfaceProps.diffuse) != nullptr;
    if (!ok) {
        return nullptr;
    }
    if (material->texture != nullptr && RwTextureStreamWrite(material->texture, stream) == nullptr) {
        return nullptr;
    }
    if (RwPluginRegistryWriteData(RpMaterialGetPluginRegistry(), stream, material) == nullptr) {
        return nullptr;
    }
    return material;
}

RpMaterial *RpMaterialStreamRead(RwStream *stream)
{
    RwUInt32 length = 0;
    if (!RwStreamFindStruct(stream, &length, nullptr)) {
        return nullptr;
    }
    RwUInt8 record[rpMATERIALSTRUCTSIZE];
    if (!RwStreamReadRecord(stream, length, record, rpMATERIALSTRUCTSIZE)) {
        return nullptr;
    }
    RpMaterial *material = RpMaterialCreate();
    if (material == nullptr) {
        return nullptr;
    }
    material->color = {record[4], record[5], record[6], record[7]};
    // A struct too short to carry surface properties keeps the defaults,
    // which the geometry reader publishes for streams of that age.
    if (length >= rpMATERIALSTRUCTSIZE) {
        material->surfaceProps = {RwRealFromLE(record + 16), RwRealFromLE(record + 20), RwRealFromLE(record + 24)};
    }
    RwInt32 textured = static_cast<RwInt32>(RwUInt32FromLE(record + 12));
    if (textured != 0) {
        RwUInt32 texLength = 0;
        if (!RwStreamFindChunk(stream, rwID_TEXTURE, &texLength, nullptr)) {
            RpMaterialDestroy(material);
            return nullptr;
        }
        RwUInt64 saved = RwStreamEnterChunk(stream, texLength);
        // A texture that cannot be had leaves the material untextured; the
        // chunk bound keeps a broken texture chunk from reaching past itself.
        material->texture = RwTextureStreamRead(stream);
        RwBool skipped = RwStreamSkipRest(stream);
        RwStreamLeaveChunk(stream, saved);
        if (!skipped) {
            RpMaterialDestroy(material);
            return nullptr;
        }
    }
    rpPipelineRightsClear();
    if (RwPluginRegistryReadData(RpMaterialGetPluginRegistry(), stream, material) == nullptr ||
        !rpPipelineRightsApply(RpMaterialGetPluginRegistry(), material)) {
        RpMaterialDestroy(material);
        return nullptr;
    }
    return material;
}
