// Streams over files, memory and caller callbacks, the 12-byte chunk header
// with its library stamp, and chunk bounds that keep readers inside a chunk.
#pragma once

#include "rwtypes.h"

enum RwStreamType : RwUInt32 {
    rwNASTREAM = 0,
    rwSTREAMFILE = 1,      // caller's FILE*, not closed by the stream
    rwSTREAMFILENAME = 2,  // opened and closed by the stream
    rwSTREAMMEMORY = 3,
    rwSTREAMCUSTOM = 4,
};

enum RwStreamAccessType : RwUInt32 {
    rwNASTREAMACCESS = 0,
    rwSTREAMREAD = 1,
    rwSTREAMWRITE = 2,
    rwSTREAMAPPEND = 3,
};

struct RwMemoryDescriptor {
    RwUInt8 *start;
    RwUInt32 length;
};

typedef RwBool (*rwCustomStreamFnClose)(void *data);
typedef RwUInt32 (*rwCustomStreamFnRead)(void *data, void *buffer, RwUInt32 length);
typedef RwBool (*rwCustomStreamFnWrite)(void *data, const void *buffer, RwUInt32 length);
typedef RwBool (*rwCustomStreamFnSkip)(void *data, RwUInt32 offset);

struct RwStreamCustom {
    rwCustomStreamFnClose sfnclose;
    rwCustomStreamFnRead sfnread;
    rwCustomStreamFnWrite sfnwrite;
    rwCustomStreamFnSkip sfnskip;
    void *data;
};

struct RwStreamMemory {
    RwUInt32 position;  // bytes from the start
    RwUInt32 nSize;     // data length when reading, capacity when writing
    RwUInt8 *memBlock;
};

struct RwStreamFile {
    void *fpFile;
};

union RwStreamUnion {
    RwStreamMemory memory;
    RwStreamFile file;
    RwStreamCustom custom;
};

struct RwStream {
    RwStreamType type;
    RwStreamAccessType accessType;
    RwInt32 position;  // not used by the stream operations
    RwStreamUnion Type;
    RwBool rwOwned;
    // Chunk bounds: bytes moved since open, and the offset (in the same
    // count) past which nothing may be read; rwSTREAMNOLIMIT when unbounded.
    RwUInt64 offset;
    RwUInt64 limit;
};

static constexpr RwUInt64 rwSTREAMNOLIMIT = ~static_cast<RwUInt64>(0);

// Custom stream data as handed to RwStreamOpen for rwSTREAMCUSTOM.
typedef RwStreamCustom RwStreamCustomData;

RwStream *RwStreamOpen(RwStreamType type, RwStreamAccessType accessType, const void *data);
RwBool RwStreamClose(RwStream *stream, void *data);
RwUInt32 RwStreamRead(RwStream *stream, void *buffer, RwUInt32 length);
RwStream *RwStreamWrite(RwStream *stream, const void *buffer, RwUInt32 length);
RwStream *RwStreamSkip(RwStream *stream, RwUInt32 offset);

// Chunk bounds. RwStreamEnterChunk bounds reads and skips to the next
// `length` bytes (never widening an enclosing bound) and returns the bound
// to restore; RwStreamLeaveChunk restores it. RwStreamBytesLeft is what
// may still be read before the innermost bound (rwSTREAMNOLIMIT: unbounded).
RwUInt64 RwStreamEnterChunk(RwStream *stream, RwUInt32 length);
void RwStreamLeaveChunk(RwStream *stream, RwUInt64 savedLimit);
RwUInt64 RwStreamBytesLeft(const RwStream *stream);

// Library stamps and chunk headers.
static constexpr RwUInt32 rwLIBRARYVERSION = 0x35000;
static constexpr RwUInt32 rwLIBRARYBUILD = 0xFFFF;
static constexpr RwUInt32 rwLIBRARYOLDESTVERSION = 0x31000;
static constexpr RwUInt32 rwLIBRARYWARNVERSION = 0x33000;  // up to this: accepted with a warning
static constexpr RwUInt32 rwCHUNKHEADERSIZE = 12;
static constexpr RwUInt32 rwID_STRUCT = 1;

RwUInt32 RwLibraryStampMake(RwUInt32 version, RwUInt32 build);
void RwLibraryStampDecode(RwUInt32 stamp, RwUInt32 *version, RwUInt32 *build);

struct RwChunkHeaderInfo {
    RwUInt32 type;
    RwUInt32 length;
    RwUInt32 version;
    RwUInt32 buildNum;
    RwBool isComplex;
};

RwBool RwChunkTypeFlag(RwUInt32 type);
RwBool RwStreamReadChunkHeader(RwStream *stream, RwUInt32 *type, RwUInt32 *length, RwUInt32 *version,
                               RwUInt32 *buildNum);
RwStream *RwStreamWriteChunkHeader(RwStream *stream, RwUInt32 type, RwUInt32 length, RwUInt32 version,
                                   RwUInt32 buildNum);
// Writes a header stamped with this library's version and build.
RwStream *RwStreamWriteChunkHeaderDefault(RwStream *stream, RwUInt32 type, RwUInt32 length);
RwBool RwStreamFindChunk(RwStream *stream, RwUInt32 type, RwUInt32 *lengthOut, RwUInt32 *versionOut);
RwStream *RwStreamReadChunkInfo(RwStream *stream, RwChunkHeaderInfo *info);
// The last header RwStreamReadChunkHeader read.
const RwChunkHeaderInfo *RwStreamGetLastChunkHeader(void);

// What every chunk reader uses to stay inside what it was given. A chunk
// found by RwStreamFindChunk has an accepted version and fits what is left
// of the enclosing bounds; these build on it.
RwBool RwLibraryVersionAccepted(RwUInt32 version);
// Finds the next struct chunk (type 1) as RwStreamFindChunk finds it.
RwBool RwStreamFindStruct(RwStream *stream, RwUInt32 *length, RwUInt32 *version);
// Reads the very next chunk header and accepts it only with an accepted
// version and a body that fits what is left (the error reported otherwise).
RwBool RwStreamReadChunkHeaderChecked(RwStream *stream, RwUInt32 *type, RwUInt32 *length, RwUInt32 *version);
// Reads `length` bytes of a chunk over a zeroed record of `size` bytes,
// skipping any excess; false on a short read.
RwBool RwStreamReadRecord(RwStream *stream, RwUInt32 length, RwUInt8 *record, RwUInt32 size);
// Skips whatever is left inside the innermost chunk bound.
RwBool RwStreamSkipRest(RwStream *stream);
// Whether `count` records of `size` bytes fit in what is left of the chunk.
RwBool RwStreamFits(const RwStream *stream, RwUInt64 count, RwUInt64 size);
// Finds a chunk of `type` and runs `reader(stream)` bounded to it; what the
// reader leaves unread is skipped. A reader's object that cannot be
// followed by the skip goes back through `release`.
template <typename Object, typename Reader>
Object *RwStreamReadChunkObject(RwStream *stream, RwUInt32 type, Reader reader, RwBool (*release)(Object *))
{
    RwUInt32 length = 0;
    if (!RwStreamFindChunk(stream, type, &length, nullptr)) {
        return nullptr;
    }
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    Object *object = reader(stream);
    if (object != nullptr && !RwStreamSkipRest(stream)) {
        release(object);
        object = nullptr;
    }
    RwStreamLeaveChunk(stream, saved);
    return object;
}
// Little-endian words out of a byte record.
RwUInt32 RwUInt32FromLE(const RwUInt8 *bytes);
RwReal RwRealFromLE(const RwUInt8 *bytes);

// Arrays of 32-bit values as they lie in memory (little-endian here).
RwStream *RwStreamWriteWords(RwStream *stream, const void *buffer, RwUInt32 length);
// Null (with E_RW_READ) unless every byte came: the callers test the
// result alone, and the tail of a partly read array holds no data.
RwStream *RwStreamReadWords(RwStream *stream, void *buffer, RwUInt32 length);
RwStream *RwStreamWriteConverted(RwStream *stream, const void *buffer, RwUInt32 length);

// Little-endian scalar helpers for field-by-field readers and writers.
RwBool RwStreamReadUInt32(RwStream *stream, RwUInt32 *value);
RwBool RwStreamReadInt32(RwStream *stream, RwInt32 *value);
RwBool RwStreamReadReal(RwStream *stream, RwReal *value);
RwStream *RwStreamWriteUInt32(RwStream *stream, RwUInt32 value);
RwStream *RwStreamWriteInt32(RwStream *stream, RwInt32 value);
RwStream *RwStreamWriteReal(RwStream *stream, RwReal value);

// Stream module engine callbacks (module 0x404).
void *RwStreamModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwStreamModuleClose(void *instance, RwInt32 offset, RwInt32 size);
