// Chunk headers and the library stamp, chunk search, the bounds helpers
// every chunk reader stays inside with, and the word and scalar helpers
// readers use to take files apart field by field.
#include <cstring>

#include "rwerror.h"
#include "rwstream.h"

static RwChunkHeaderInfo lastChunkHeader;

RwUInt32 RwLibraryStampMake(RwUInt32 version, RwUInt32 build)
{
    RwUInt32 high = static_cast<RwUInt32>((static_cast<RwUInt64>(version) + 0x10000u) << 14) & 0xFFC00000u;
    return high | ((version & 0x3Fu) << 16) | (build & 0xFFFFu);
}

void RwLibraryStampDecode(RwUInt32 stamp, RwUInt32 *version, RwUInt32 *build)
{
    RwUInt32 v;
    RwUInt32 b;
    if (stamp < 0x10000u) {
        v = stamp << 8;  // stamps of old libraries held the version alone
        b = 0;
    } else {
        v = ((stamp >> 14) & 0x3FF00u) + 0x30000u + ((stamp >> 16) & 0x3Fu);
        b = stamp & 0xFFFFu;
    }
    if (version != nullptr) {
        *version = v;
    }
    if (build != nullptr) {
        *build = b;
    }
}

static RwUInt32 GetLE32(const RwUInt8 *p)
{
    return static_cast<RwUInt32>(p[0]) | (static_cast<RwUInt32>(p[1]) << 8) |
           (static_cast<RwUInt32>(p[2]) << 16) | (static_cast<RwUInt32>(p[3]) << 24);
}

static void PutLE32(RwUInt8 *p, RwUInt32 v)
{
    p[0] = static_cast<RwUInt8>(v);
    p[1] = static_cast<RwUInt8>(v >> 8);
    p[2] = static_cast<RwUInt8>(v >> 16);
    p[3] = static_cast<RwUInt8>(v >> 24);
}

RwBool RwChunkTypeFlag(RwUInt32 type)
{
    switch (type) {
    case 5: case 6: case 7: case 8: case 9: case 10: case 11:
    case 14: case 15: case 16: case 18: case 20: case 26:
        return TRUE;
    default:
        return FALSE;
    }
}

RwBool RwStreamReadChunkHeader(RwStream *stream, RwUInt32 *type, RwUInt32 *length, RwUInt32 *version,
                               RwUInt32 *buildNum)
{
    RwUInt8 bytes[rwCHUNKHEADERSIZE];
    if (RwStreamRead(stream, bytes, rwCHUNKHEADERSIZE) != rwCHUNKHEADERSIZE) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    RwChunkHeaderInfo info;
    info.type = GetLE32(bytes);
    info.length = GetLE32(bytes + 4);
    RwLibraryStampDecode(GetLE32(bytes + 8), &info.version, &info.buildNum);
    info.isComplex = RwChunkTypeFlag(info.type);
    lastChunkHeader = info;
    if (type != nullptr) {
        *type = info.type;
    }
    if (length != nullptr) {
        *length = info.length;
    }
    if (version != nullptr) {
        *version = info.version;
    }
    if (buildNum != nullptr) {
        *buildNum = info.buildNum;
    }
    return TRUE;
}

const RwChunkHeaderInfo *RwStreamGetLastChunkHeader(void) { return &lastChunkHeader; }

RwStream *RwStreamWriteChunkHeader(RwStream *stream, RwUInt32 type, RwUInt32 length, RwUInt32 version,
                                   RwUInt32 buildNum)
{
    RwUInt8 bytes[rwCHUNKHEADERSIZE];
    PutLE32(bytes, type);
    PutLE32(bytes + 4, length);
    PutLE32(bytes + 8, RwLibraryStampMake(version, buildNum));
    return RwStreamWrite(stream, bytes, rwCHUNKHEADERSIZE);
}

RwStream *RwStreamWriteChunkHeaderDefault(RwStream *stream, RwUInt32 type, RwUInt32 length)
{
    return RwStreamWriteChunkHeader(stream, type, length, rwLIBRARYVERSION, rwLIBRARYBUILD);
}

RwBool RwStreamFindChunk(RwStream *stream, RwUInt32 type, RwUInt32 *lengthOut, RwUInt32 *versionOut)
{
    RwUInt32 readType = 0;
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    // Every turn consumes a 12-byte header or fails, and skips never move
    // backwards, so the search ends at the latest at the end of the data.
    if (!RwStreamReadChunkHeader(stream, &readType, &length, &version, nullptr)) {
        return FALSE;
    }
    while (readType != type) {
        if (RwStreamSkip(stream, length) == nullptr ||
            !RwStreamReadChunkHeader(stream, &readType, &length, &version, nullptr)) {
            return FALSE;
        }
    }
    if (!RwLibraryVersionAccepted(version)) {
        RwErrorReportCommon(E_RW_BADVERSION);
        return FALSE;
    }
    if (version <= rwLIBRARYWARNVERSION) {
        RwErrorReportCommon(E_RW_BADVERSION);  // old but readable: warn, accept
    }
    if (static_cast<RwUInt64>(length) > RwStreamBytesLeft(stream)) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    if (lengthOut != nullptr) {
        *lengthOut = length;
    }
    if (versionOut != nullptr) {
        *versionOut = version;
    }
    return TRUE;
}

RwBool RwLibraryVersionAccepted(RwUInt32 version)
{
    return version >= rwLIBRARYOLDESTVERSION && version <= rwLIBRARYVERSION;
}

RwBool RwStreamFindStruct(RwStream *stream, RwUInt32 *length, RwUInt32 *version)
{
    return RwStreamFindChunk(stream, rwID_STRUCT, length, version);
}

RwBool RwStreamReadChunkHeaderChecked(RwStream *stream, RwUInt32 *type, RwUInt32 *length, RwUInt32 *version)
{
    RwUInt32 t = 0;
    RwUInt32 len = 0;
    RwUInt32 ver = 0;
    if (!RwStreamReadChunkHeader(stream, &t, &len, &ver, nullptr)) {
        return FALSE;
    }
    if (!RwLibraryVersionAccepted(ver)) {
        RwErrorReportCommon(E_RW_BADVERSION);
        return FALSE;
    }
    if (static_cast<RwUInt64>(len) > RwStreamBytesLeft(stream)) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    if (type != nullptr) {
        *type = t;
    }
    if (length != nullptr) {
        *length = len;
    }
    if (version != nullptr) {
        *version = ver;
    }
    return TRUE;
}

RwBool RwStreamReadRecord(RwStream *stream, RwUInt32 length, RwUInt8 *record, RwUInt32 size)
{
    std::memset(record, 0, size);
    RwUInt32 take = length < size ? length : size;
    if (RwStreamRead(stream, record, take) != take) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    if (length > size && RwStreamSkip(stream, length - size) == nullptr) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    return TRUE;
}

RwBool RwStreamSkipRest(RwStream *stream)
{
    RwUInt64 left = RwStreamBytesLeft(stream);
    if (left == 0) {
        return TRUE;
    }
    if (left > 0xFFFFFFFFu || RwStreamSkip(stream, static_cast<RwUInt32>(left)) == nullptr) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    return TRUE;
}

RwBool RwStreamFits(const RwStream *stream, RwUInt64 count, RwUInt64 size)
{
    if (size == 0) {
        return TRUE;
    }
    return count <= RwStreamBytesLeft(stream) / size;
}

RwUInt32 RwUInt32FromLE(const RwUInt8 *bytes) { return GetLE32(bytes); }

RwReal RwRealFromLE(const RwUInt8 *bytes)
{
    RwUInt32 bits = GetLE32(bytes);
    RwReal value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

RwStream *RwStreamReadChunkInfo(RwStream *stream, RwChunkHeaderInfo *info)
{
    if (!RwStreamReadChunkHeader(stream, &info->type, &info->length, &info->version, &info->buildNum)) {
        return nullptr;
    }
    info->isComplex = RwChunkTypeFlag(info->type);
    return stream;
}

RwStream *RwStreamWriteWords(RwStream *stream, const void *buffer, RwUInt32 length)
{
    return RwStreamWrite(stream, buffer, length);
}

RwStream *RwStreamReadWords(RwStream *stream, void *buffer, RwUInt32 length)
{
    // A partial array is as unusable as none: any short read fails.
    if (RwStreamRead(stream, buffer, length) != length) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    return stream;
}

RwStream *RwStreamWriteConverted(RwStream *stream, const void *buffer, RwUInt32 length)
{
    RwUInt8 staging[256];
    const auto *src = static_cast<const RwUInt8 *>(buffer);
    while (length > 0) {
        RwUInt32 piece = length < sizeof(staging) ? length : static_cast<RwUInt32>(sizeof(staging));
        // Files are little-endian like this platform, so staging is a copy.
        std::memcpy(staging, src, piece);
        if (RwStreamWrite(stream, staging, piece) == nullptr) {
            return nullptr;
        }
        src += piece;
        length -= piece;
    }
    return stream;
}

RwBool RwStreamReadUInt32(RwStream *stream, RwUInt32 *value)
{
    RwUInt8 bytes[4];
    if (RwStreamRead(stream, bytes, 4) != 4) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    *value = GetLE32(bytes);
    return TRUE;
}

RwBool RwStreamReadInt32(RwStream *stream, RwInt32 *value)
{
    RwUInt32 u = 0;
    if (!RwStreamReadUInt32(stream, &u)) {
        return FALSE;
    }
    *value = static_cast<RwInt32>(u);
    return TRUE;
}

RwBool RwStreamReadReal(RwStream *stream, RwReal *value)
{
    RwUInt32 u = 0;
    if (!RwStreamReadUInt32(stream, &u)) {
        return FALSE;
    }
    std::memcpy(value, &u, sizeof(*value));
    return TRUE;
}

RwStream *RwStreamWriteUInt32(RwStream *stream, RwUInt32 value)
{
    RwUInt8 bytes[4];
    PutLE32(bytes, value);
    return RwStreamWrite(stream, bytes, 4);
}

RwStream *RwStreamWriteInt32(RwStream *stream, RwInt32 value)
{
    return RwStreamWriteUInt32(stream, static_cast<RwUInt32>(value));
}

RwStream *RwStreamWriteReal(RwStream *stream, RwReal value)
{
    RwUInt32 u = 0;
    std::memcpy(&u, &value, sizeof(u));
    return RwStreamWriteUInt32(stream, u);
}
