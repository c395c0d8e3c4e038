// Chunk helpers shared by the world library's readers: version-checked
// chunk finding, fixed records read over zeroed space, and the room test
// every count taken from a file goes through before anything is allocated.
#include <cstring>

#include "rwerror.h"
#include "rwstream.h"
#include "world/bamodules.h"

static RwBool VersionAccepted(RwUInt32 version)
{
    return version >= rwLIBRARYOLDESTVERSION && version <= rwLIBRARYVERSION;
}

RwBool rpFindChunk(RwStream *stream, RwUInt32 type, RwUInt32 *length, RwUInt32 *version)
{
    RwUInt32 len = 0;
    RwUInt32 ver = 0;
    if (!RwStreamFindChunk(stream, type, &len, &ver)) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    if (!VersionAccepted(ver)) {
        RwErrorReportCommon(E_RW_BADVERSION);
        return FALSE;
    }
    if (static_cast<RwUInt64>(len) > RwStreamBytesLeft(stream)) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    *length = len;
    if (version != nullptr) {
        *version = ver;
    }
    return TRUE;
}

RwBool rpReadStructHeader(RwStream *stream, RwUInt32 *length, RwUInt32 *version)
{
    return rpFindChunk(stream, rwID_STRUCT, length, version);
}

RwBool rpReadRecordPrefix(RwStream *stream, RwUInt32 length, RwUInt8 *record, RwUInt32 size)
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

RwUInt32 rpGetU32(const RwUInt8 *bytes)
{
    return static_cast<RwUInt32>(bytes[0]) | (static_cast<RwUInt32>(bytes[1]) << 8) |
           (static_cast<RwUInt32>(bytes[2]) << 16) | (static_cast<RwUInt32>(bytes[3]) << 24);
}

RwReal rpGetReal(const RwUInt8 *bytes)
{
    RwUInt32 bits = rpGetU32(bytes);
    RwReal value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

RwBool rpFits(RwStream *stream, RwUInt64 count, RwUInt64 size)
{
    RwUInt64 left = RwStreamBytesLeft(stream);
    if (size == 0) {
        return TRUE;
    }
    return count <= left / size;
}

RwBool rpSkipRest(RwStream *stream)
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
