// Streams over files, memory buffers and caller callbacks. Every stream
// counts the bytes it has moved so chunk bounds can keep readers inside the
// chunk they are reading.
#include <cstdio>
#include <cstring>

#include "rwengine.h"
#include "rwstream.h"
#include "src/bacoremodules.h"

const RwInt32 rwStreamModuleBlockSize = static_cast<RwInt32>(sizeof(RwFreeList *));
RwInt32 rwStreamModuleOffset = -1;
static RwFreeList streamFreeListRecord;
static RwBool streamModuleOpen = FALSE;

static constexpr RwUInt32 rwSTREAMMEMORYGROWTH = 512;

static RwFreeList **StreamFreeListSlot(void)
{
    return static_cast<RwFreeList **>(RwEngineGetModuleBlock(rwStreamModuleOffset));
}

void *RwStreamModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    rwStreamModuleOffset = offset;
    RwFreeList *fl = RwFreeListCreateEx(sizeof(RwStream), 16, 4, 1, &streamFreeListRecord);
    if (fl == nullptr) {
        return nullptr;
    }
    *reinterpret_cast<RwFreeList **>(static_cast<RwUInt8 *>(instance) + offset) = fl;
    streamModuleOpen = TRUE;
    return instance;
}

void *RwStreamModuleClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    auto **slot = reinterpret_cast<RwFreeList **>(static_cast<RwUInt8 *>(instance) + offset);
    if (*slot != nullptr) {
        RwFreeListDestroy(*slot);
        *slot = nullptr;
    }
    streamModuleOpen = FALSE;
    return instance;
}

static const RwFileFunctions &Files(void) { return RwEngineInst->fileFuncs; }

static void StreamRecordFree(RwStream *stream)
{
    RwFreeListEntryFree(*StreamFreeListSlot(), stream);
}

RwStream *RwStreamOpen(RwStreamType type, RwStreamAccessType accessType, const void *data)
{
    // Stream records live in the stream module's block, which exists only
    // while the engine modules are open.
    if (!streamModuleOpen) {
        RwErrorReportCommon(E_RW_BADENGINESTATE);
        return nullptr;
    }
    auto *stream = static_cast<RwStream *>(RwFreeListEntryAlloc(*StreamFreeListSlot()));
    if (stream == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(stream, 0, sizeof(*stream));
    stream->type = type;
    stream->accessType = accessType;
    stream->rwOwned = TRUE;
    stream->offset = 0;
    stream->limit = rwSTREAMNOLIMIT;

    switch (type) {
    case rwSTREAMFILE:
        if (data == nullptr || Files().rwftell(const_cast<void *>(data)) == -1) {
            StreamRecordFree(stream);
            return nullptr;
        }
        stream->Type.file.fpFile = const_cast<void *>(data);
        return stream;
    case rwSTREAMFILENAME: {
        const char *mode = accessType == rwSTREAMREAD    ? "rb"
                           : accessType == rwSTREAMWRITE ? "wb"
                           : accessType == rwSTREAMAPPEND ? "ab"
                                                          : nullptr;
        if (mode == nullptr) {
            RwErrorReport(rwID_CORE, E_RW_BADACCESSMODE);
            StreamRecordFree(stream);
            return nullptr;
        }
        void *fp = data != nullptr ? Files().rwfopen(static_cast<const RwChar *>(data), mode) : nullptr;
        if (fp == nullptr) {
            RwErrorReportDetail(rwID_COMMON, E_RW_BADOPEN, static_cast<const RwChar *>(data));
            StreamRecordFree(stream);
            return nullptr;
        }
        stream->Type.file.fpFile = fp;
        return stream;
    }
    case rwSTREAMMEMORY: {
        const auto *desc = static_cast<const RwMemoryDescriptor *>(data);
        if (accessType == rwSTREAMWRITE) {
            return stream;
        }
        if ((accessType != rwSTREAMREAD && accessType != rwSTREAMAPPEND)) {
            RwErrorReport(rwID_CORE, E_RW_BADACCESSMODE);
            StreamRecordFree(stream);
            return nullptr;
        }
        if (desc == nullptr || (desc->start == nullptr && desc->length != 0)) {
            RwErrorReportCommon(E_RW_NULLP);
            StreamRecordFree(stream);
            return nullptr;
        }
        stream->Type.memory.memBlock = desc->start;
        stream->Type.memory.nSize = desc->length;
        stream->Type.memory.position = accessType == rwSTREAMAPPEND ? desc->length : 0;
        return stream;
    }
    case rwSTREAMCUSTOM:
        if (data == nullptr) {
            RwErrorReportCommon(E_RW_NULLP);
            StreamRecordFree(stream);
            return nullptr;
        }
        stream->Type.custom = *static_cast<const RwStreamCustom *>(data);
        return stream;
    default:
        RwErrorReport(rwID_CORE, E_RW_BADSTREAMTYPE);
        StreamRecordFree(stream);
        return nullptr;
    }
}

RwBool RwStreamClose(RwStream *stream, void *data)
{
    RwBool result = TRUE;
    switch (stream->type) {
    case rwSTREAMFILE:
        break;
    case rwSTREAMFILENAME:
        result = Files().rwfclose(stream->Type.file.fpFile) <= 0;
        break;
    case rwSTREAMMEMORY:
        if (stream->accessType == rwSTREAMWRITE || stream->accessType == rwSTREAMAPPEND) {
            if (data != nullptr) {
                auto *desc = static_cast<RwMemoryDescriptor *>(data);
                desc->start = stream->Type.memory.memBlock;
                desc->length = stream->Type.memory.position;
            } else if (stream->accessType == rwSTREAMWRITE && stream->Type.memory.memBlock != nullptr) {
                // Nobody takes the buffer the stream made: it would leak.
                RwFree(stream->Type.memory.memBlock);
            }
        }
        break;
    case rwSTREAMCUSTOM:
        if (stream->Type.custom.sfnclose != nullptr) {
            stream->Type.custom.sfnclose(stream->Type.custom.data);
        }
        break;
    default:
        RwErrorReport(rwID_CORE, E_RW_BADSTREAMTYPE);
        return FALSE;
    }
    if (stream->rwOwned) {
        StreamRecordFree(stream);
    }
    return result;
}

// Bytes a read may take before the innermost chunk bound.
static RwUInt64 BoundLeft(const RwStream *stream)
{
    return stream->limit == rwSTREAMNOLIMIT ? rwSTREAMNOLIMIT : stream->limit - stream->offset;
}

static RwUInt32 ReadRaw(RwStream *stream, void *buffer, RwUInt32 length)
{
    switch (stream->type) {
    case rwSTREAMFILE:
    case rwSTREAMFILENAME: {
        size_t got = Files().rwfread(buffer, 1, length, stream->Type.file.fpFile);
        if (got < length) {
            if (Files().rwfeof(stream->Type.file.fpFile)) {
                RwErrorReport(rwID_CORE, E_RW_ENDOFSTREAM);
            } else {
                RwErrorReportCommon(E_RW_READ);
            }
        }
        return static_cast<RwUInt32>(got);
    }
    case rwSTREAMMEMORY: {
        RwStreamMemory &mem = stream->Type.memory;
        RwUInt32 rest = mem.nSize - mem.position;
        if (length > rest) {
            length = rest;
            RwErrorReport(rwID_CORE, E_RW_ENDOFSTREAM);
        }
        if (length > 0) {
            std::memcpy(buffer, mem.memBlock + mem.position, length);
        }
        mem.position += length;
        return length;
    }
    case rwSTREAMCUSTOM: {
        if (stream->Type.custom.sfnread == nullptr) {
            RwErrorReportCommon(E_RW_READ);
            return 0;
        }
        RwUInt32 got = stream->Type.custom.sfnread(stream->Type.custom.data, buffer, length);
        return got > length ? length : got;
    }
    default:
        RwErrorReport(rwID_CORE, E_RW_BADSTREAMTYPE);
        return 0;
    }
}

RwUInt32 RwStreamRead(RwStream *stream, void *buffer, RwUInt32 length)
{
    RwBool clipped = FALSE;
    RwUInt64 bound = BoundLeft(stream);
    if (length > bound) {
        length = static_cast<RwUInt32>(bound);
        clipped = TRUE;
    }
    RwUInt32 got = ReadRaw(stream, buffer, length);
    stream->offset += got;
    if (clipped) {
        RwErrorReport(rwID_CORE, E_RW_ENDOFSTREAM);
    }
    return got;
}

static RwStream *MemoryWrite(RwStream *stream, const void *buffer, RwUInt32 length)
{
    RwStreamMemory &mem = stream->Type.memory;
    if (stream->accessType == rwSTREAMREAD) {
        // The buffer belongs to the caller and is not ours to grow.
        RwErrorReport(rwID_CORE, E_RW_BADACCESSMODE);
        return nullptr;
    }
    if (mem.memBlock == nullptr) {
        mem.memBlock = static_cast<RwUInt8 *>(RwMalloc(rwSTREAMMEMORYGROWTH));
        if (mem.memBlock == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        mem.nSize = rwSTREAMMEMORYGROWTH;
    }
    if (mem.nSize - mem.position < length) {
        RwUInt64 grown = static_cast<RwUInt64>(mem.nSize) + (length >= rwSTREAMMEMORYGROWTH ? length : rwSTREAMMEMORYGROWTH);
        if (grown > 0xFFFFFFFFull) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        auto *block = static_cast<RwUInt8 *>(RwRealloc(mem.memBlock, static_cast<size_t>(grown)));
        if (block == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        mem.memBlock = block;
        mem.nSize = static_cast<RwUInt32>(grown);
    }
    if (length > 0) {
        std::memcpy(mem.memBlock + mem.position, buffer, length);
    }
    mem.position += length;
    return stream;
}

RwStream *RwStreamWrite(RwStream *stream, const void *buffer, RwUInt32 length)
{
    RwStream *result = nullptr;
    switch (stream->type) {
    case rwSTREAMFILE:
    case rwSTREAMFILENAME:
        if (Files().rwfwrite(buffer, 1, length, stream->Type.file.fpFile) != length) {
            RwErrorReportCommon(E_RW_WRITE);
            return nullptr;
        }
        result = stream;
        break;
    case rwSTREAMMEMORY:
        result = MemoryWrite(stream, buffer, length);
        break;
    case rwSTREAMCUSTOM:
        result = (stream->Type.custom.sfnwrite != nullptr &&
                  stream->Type.custom.sfnwrite(stream->Type.custom.data, buffer, length) > 0)
                     ? stream
                     : nullptr;
        if (result == nullptr) {
            RwErrorReportCommon(E_RW_WRITE);
        }
        break;
    default:
        RwErrorReport(rwID_CORE, E_RW_BADSTREAMTYPE);
        return nullptr;
    }
    if (result != nullptr) {
        stream->offset += length;
    }
    return result;
}

// Skips within the file; reading streams never move past the end of data.
static RwBool FileSkip(RwStream *stream, RwUInt32 length, RwUInt32 *moved)
{
    void *fp = stream->Type.file.fpFile;
    *moved = 0;
    long cur = Files().rwftell(fp);
    if (cur < 0) {
        return FALSE;
    }
    if (stream->accessType == rwSTREAMREAD) {
        if (Files().rwfseek(fp, 0, SEEK_END) != 0) {
            return FALSE;
        }
        long end = Files().rwftell(fp);
        if (end < cur || static_cast<RwUInt64>(end - cur) < length) {
            *moved = end > cur ? static_cast<RwUInt32>(end - cur) : 0;
            RwErrorReport(rwID_CORE, E_RW_ENDOFSTREAM);
            return FALSE;  // left at the end
        }
    }
    if (Files().rwfseek(fp, cur + static_cast<long>(length), SEEK_SET) != 0) {
        Files().rwfseek(fp, cur, SEEK_SET);
        if (Files().rwfeof(fp)) {
            RwErrorReport(rwID_CORE, E_RW_ENDOFSTREAM);
        }
        return FALSE;
    }
    *moved = length;
    return TRUE;
}

static RwBool SkipRaw(RwStream *stream, RwUInt32 length, RwUInt32 *moved)
{
    switch (stream->type) {
    case rwSTREAMFILE:
    case rwSTREAMFILENAME:
        return FileSkip(stream, length, moved);
    case rwSTREAMMEMORY: {
        RwStreamMemory &mem = stream->Type.memory;
        // Worked out in 64 bits so a huge skip can never wrap backwards.
        if (static_cast<RwUInt64>(mem.position) + length > mem.nSize) {
            *moved = mem.nSize - mem.position;
            mem.position = mem.nSize;
            RwErrorReport(rwID_CORE, E_RW_ENDOFSTREAM);
            return FALSE;
        }
        mem.position += length;
        *moved = length;
        return TRUE;
    }
    case rwSTREAMCUSTOM:
        if (stream->Type.custom.sfnskip != nullptr &&
            stream->Type.custom.sfnskip(stream->Type.custom.data, length) > 0) {
            *moved = length;
            return TRUE;
        }
        *moved = 0;
        return FALSE;
    default:
        RwErrorReport(rwID_CORE, E_RW_BADSTREAMTYPE);
        *moved = 0;
        return FALSE;
    }
}

RwStream *RwStreamSkip(RwStream *stream, RwUInt32 offset)
{
    if (offset == 0) {
        return stream;
    }
    RwUInt64 bound = BoundLeft(stream);
    if (offset > bound) {
        RwUInt32 moved = 0;
        SkipRaw(stream, static_cast<RwUInt32>(bound), &moved);
        stream->offset += moved;
        RwErrorReport(rwID_CORE, E_RW_ENDOFSTREAM);
        return nullptr;
    }
    RwUInt32 moved = 0;
    RwBool ok = SkipRaw(stream, offset, &moved);
    stream->offset += moved;
    return ok ? stream : nullptr;
}

RwUInt64 RwStreamEnterChunk(RwStream *stream, RwUInt32 length)
{
    RwUInt64 saved = stream->limit;
    RwUInt64 end = stream->offset + length;
    if (end < stream->limit) {
        stream->limit = end;
    }
    return saved;
}

void RwStreamLeaveChunk(RwStream *stream, RwUInt64 savedLimit) { stream->limit = savedLimit; }

RwUInt64 RwStreamBytesLeft(const RwStream *stream)
{
    RwUInt64 left = BoundLeft(stream);
    if (stream->accessType != rwSTREAMREAD) {
        return left;
    }
    RwUInt64 data = rwSTREAMNOLIMIT;
    if (stream->type == rwSTREAMMEMORY) {
        data = stream->Type.memory.nSize - stream->Type.memory.position;
    } else if (stream->type == rwSTREAMFILE || stream->type == rwSTREAMFILENAME) {
        void *fp = stream->Type.file.fpFile;
        long cur = Files().rwftell(fp);
        if (cur >= 0 && Files().rwfseek(fp, 0, SEEK_END) == 0) {
            long end = Files().rwftell(fp);
            Files().rwfseek(fp, cur, SEEK_SET);
            data = end > cur ? static_cast<RwUInt64>(end - cur) : 0;
        }
    }
    return data < left ? data : left;
}
