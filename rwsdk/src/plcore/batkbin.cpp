// Plug-in data streaming: an object's extension chunk (type 3) holds one
// sub-chunk per plug-in with data, each read back by that plug-in's reader.
#include "rwerror.h"
#include "rwplugin.h"
#include "rwstream.h"
#include "src/plcore/batkreg.h"

// Bytes a plug-in writes, or 0 when it writes nothing. A plug-in counts only
// when it can both size and write its data, so the declared length always
// equals what is written.
static RwInt32 EntryStreamSize(const RwPluginEntry *entry, const void *object)
{
    if (entry->getSizeStream == nullptr || entry->writeStream == nullptr) {
        return 0;
    }
    RwInt32 size = entry->getSizeStream(object, entry->offset, entry->size);
    return size > 0 ? size : 0;
}

RwInt32 RwPluginRegistryGetSize(const RwPluginRegistry *reg, const void *object)
{
    RwInt64 total = 0;
    for (const RwPluginEntry *entry = reg->firstRegEntry; entry != nullptr; entry = entry->nextRegEntry) {
        RwInt32 size = EntryStreamSize(entry, object);
        if (size > 0) {
            total += size + static_cast<RwInt64>(rwCHUNKHEADERSIZE);
        }
    }
    return total > 0x7FFFFFFF ? -1 : static_cast<RwInt32>(total);
}

const RwPluginRegistry *RwPluginRegistryWriteDataChunks(const RwPluginRegistry *reg, RwStream *stream,
                                                        const void *object)
{
    RwInt32 total = RwPluginRegistryGetSize(reg, object);
    if (total < 0) {
        RwErrorReportCommon(E_RW_WRITE);
        return nullptr;
    }
    if (RwStreamWriteChunkHeaderDefault(stream, rwID_EXTENSION, static_cast<RwUInt32>(total)) == nullptr) {
        return nullptr;
    }
    for (const RwPluginEntry *entry = reg->firstRegEntry; entry != nullptr; entry = entry->nextRegEntry) {
        RwInt32 size = EntryStreamSize(entry, object);
        if (size <= 0) {
            continue;
        }
        if (RwStreamWriteChunkHeaderDefault(stream, entry->pluginID, static_cast<RwUInt32>(size)) == nullptr) {
            return nullptr;
        }
        RwUInt64 before = stream->offset;
        if (entry->writeStream(stream, size, object, entry->offset, entry->size) == nullptr) {
            return nullptr;
        }
        // A writer that does not write what it declared leaves a stream no
        // reader can walk; fail rather than hand it on.
        if (stream->offset - before != static_cast<RwUInt64>(size)) {
            RwErrorReportCommon(E_RW_WRITE);
            return nullptr;
        }
    }
    return reg;
}

// Finds the extension chunk and walks its sub-chunks, each bounded so a
// plug-in reader cannot leave its own data. With a null object the bodies
// are only skipped.
static RwBool WalkExtensionChunk(const RwPluginRegistry *reg, RwStream *stream, void *object)
{
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindChunk(stream, rwID_EXTENSION, &length, &version)) {
        return FALSE;
    }
    RwUInt64 outer = RwStreamEnterChunk(stream, length);
    RwUInt32 remaining = length;
    RwBool ok = TRUE;
    while (ok && remaining > 0) {
        RwUInt32 type = 0;
        RwUInt32 subLength = 0;
        if (remaining < rwCHUNKHEADERSIZE || !RwStreamReadChunkHeader(stream, &type, &subLength, nullptr, nullptr)) {
            RwErrorReportCommon(E_RW_READ);
            ok = FALSE;
            break;
        }
        remaining -= rwCHUNKHEADERSIZE;
        if (subLength > remaining) {
            RwErrorReportCommon(E_RW_READ);
            ok = FALSE;
            break;
        }
        RwUInt64 inner = RwStreamEnterChunk(stream, subLength);
        const RwPluginEntry *entry = object != nullptr ? RwPluginRegistryFindEntry(reg, type) : nullptr;
        if (entry != nullptr && entry->readStream != nullptr) {
            ok = entry->readStream(stream, static_cast<RwInt32>(subLength), object, entry->offset, entry->size) != nullptr;
        }
        // Whatever the reader left of its body is stepped over, so the next
        // header is read where it lies.
        RwUInt64 left = RwStreamBytesLeft(stream);
        if (ok && left > 0 && left <= subLength && RwStreamSkip(stream, static_cast<RwUInt32>(left)) == nullptr) {
            ok = FALSE;
        }
        RwStreamLeaveChunk(stream, inner);
        remaining -= subLength;
    }
    RwStreamLeaveChunk(stream, outer);
    return ok;
}

const RwPluginRegistry *RwPluginRegistryReadDataChunks(const RwPluginRegistry *reg, RwStream *stream,
                                                       void *object)
{
    if (!WalkExtensionChunk(reg, stream, object)) {
        return nullptr;
    }
    for (const RwPluginEntry *entry = reg->firstRegEntry; entry != nullptr; entry = entry->nextRegEntry) {
        if (entry->alwaysCB != nullptr && !entry->alwaysCB(object, entry->offset, entry->size)) {
            return nullptr;
        }
    }
    return reg;
}

const RwPluginRegistry *RwPluginRegistrySkipDataChunks(const RwPluginRegistry *reg, RwStream *stream)
{
    return WalkExtensionChunk(reg, stream, nullptr) ? reg : nullptr;
}
