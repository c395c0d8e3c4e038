// The texture chunk (type 6): a reference to a texture by name inside a
// material, with its filter and addressing word and extension data. The
// reader looks the texture up (or reads it) with RwTextureRead.
#include <cstring>

#include "rwerror.h"
#include "rwraster.h"
#include "rwstream.h"
#include "src/batextur.h"

static constexpr RwUInt32 rwTEXTURESTREAMFIXED = 52;  // struct chunk, two string headers, extension header

static RwUInt32 PaddedLength(const RwChar *text)
{
    return (static_cast<RwUInt32>(std::strlen(text)) + 4u) & ~3u;
}

RwUInt32 RwTextureStreamGetSize(const RwTexture *texture)
{
    return PaddedLength(texture->name) + PaddedLength(texture->mask) + rwTEXTURESTREAMFIXED +
           static_cast<RwUInt32>(RwPluginRegistryGetSize(RwTextureGetPluginRegistry(), texture));
}

static RwStream *WriteString(RwStream *stream, const RwChar *text)
{
    const RwUInt32 padded = PaddedLength(text);
    RwChar buffer[rwTEXTUREBASENAMELENGTH + 4] = {};
    std::memcpy(buffer, text, std::strlen(text));
    if (RwStreamWriteChunkHeaderDefault(stream, rwID_STRING, padded) == nullptr) {
        return nullptr;
    }
    return RwStreamWrite(stream, buffer, padded);
}

const RwTexture *RwTextureStreamWrite(const RwTexture *texture, RwStream *stream)
{
    RwUInt32 word = texture->filterAddressing & 0xFFFFu;
    if (texture->raster != nullptr && !(RwRasterGetFormat(texture->raster) & rwRASTERFORMATAUTOMIPMAP)) {
        word |= 0x10000u;
    }
    if (RwStreamWriteChunkHeaderDefault(stream, rwID_TEXTURE, RwTextureStreamGetSize(texture)) == nullptr ||
        RwStreamWriteChunkHeaderDefault(stream, rwID_STRUCT, 4) == nullptr ||
        RwStreamWriteUInt32(stream, word) == nullptr || WriteString(stream, texture->name) == nullptr ||
        WriteString(stream, texture->mask) == nullptr ||
        RwPluginRegistryWriteDataChunks(RwTextureGetPluginRegistry(), stream, texture) == nullptr) {
        return nullptr;
    }
    return texture;
}

// Reads the next string chunk (skipping other chunks) into `buffer` of
// rwTEXTURESTREAMNAMELENGTH bytes; a longer name is cut, and the rest of
// the chunk is passed over so the stream stays in step.
static RwBool ReadName(RwStream *stream, RwChar *buffer)
{
    RwUInt32 type = 0, length = 0, version = 0;
    for (;;) {
        if (!RwStreamReadChunkHeaderChecked(stream, &type, &length, &version)) {
            return FALSE;
        }
        if (type == rwID_STRING || type == rwID_UNICODESTRING) {
            break;
        }
        if (RwStreamSkip(stream, length) == nullptr) {
            return FALSE;
        }
    }
    const RwUInt32 unit = type == rwID_UNICODESTRING ? 2u : 1u;
    RwUInt32 kept = 0;
    RwUInt32 remaining = length;
    bool ended = false;
    bool truncated = false;
    RwUInt8 piece[2 * rwTEXTURESTREAMNAMELENGTH];
    while (remaining >= unit) {
        const RwUInt32 take =
            remaining < sizeof(piece) ? remaining - remaining % unit : static_cast<RwUInt32>(sizeof(piece));
        if (RwStreamRead(stream, piece, take) != take) {
            return FALSE;
        }
        for (RwUInt32 i = 0; i < take && !ended; i += unit) {
            const RwUInt8 ch = piece[i];  // the low byte of a 16-bit unit
            if (ch == 0) {
                ended = true;
            } else if (kept < rwTEXTURESTREAMNAMELENGTH - 1) {
                buffer[kept++] = static_cast<RwChar>(ch);
            } else {
                truncated = true;
            }
        }
        remaining -= take;
    }
    if (remaining != 0 && RwStreamSkip(stream, remaining) == nullptr) {
        return FALSE;
    }
    buffer[kept] = '\0';
    if (truncated) {
        RwErrorReportCommon(E_RW_STRINGTRUNCATED);
    }
    return TRUE;
}

RwTexture *RwTextureStreamRead(RwStream *stream)
{
    RwUInt32 length = 0, version = 0;
    if (!RwStreamFindStruct(stream, &length, &version)) {
        return nullptr;
    }
    RwUInt32 word = 0;
    if (length < 4 || !RwStreamReadUInt32(stream, &word) || RwStreamSkip(stream, length - 4) == nullptr) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    if ((word & 0xF000u) == 0) {
        word |= (word & 0x0F00u) << 4;
    }
    rwTextureGlobals *globals = rwTextureGetGlobals();
    const RwBool savedMipmapping = globals->mipmapping;
    const RwBool savedAuto = globals->autoMipmapping;
    const RwUInt32 filter = word & 0xFFu;
    const bool mipmapped = filter >= rwFILTERMIPNEAREST && filter <= rwFILTERLINEARMIPLINEAR;
    globals->mipmapping = mipmapped;
    globals->autoMipmapping = mipmapped && !(word & 0x10000u);
    RwChar name[rwTEXTURESTREAMNAMELENGTH];
    RwChar mask[rwTEXTURESTREAMNAMELENGTH];
    RwTexture *texture = nullptr;
    if (ReadName(stream, name) && ReadName(stream, mask)) {
        texture = RwTextureRead(name, mask);
        if (texture == nullptr) {
            RwPluginRegistrySkipDataChunks(RwTextureGetPluginRegistry(), stream);
        }
    }
    globals->mipmapping = savedMipmapping;
    globals->autoMipmapping = savedAuto;
    if (texture == nullptr) {
        return nullptr;
    }
    if (texture->refCount == 1) {
        texture->filterAddressing = word & 0xFFFFu;
    }
    if (RwPluginRegistryReadDataChunks(RwTextureGetPluginRegistry(), stream, texture) == nullptr) {
        RwTextureDestroy(texture);
        return nullptr;
    }
    return texture;
}
