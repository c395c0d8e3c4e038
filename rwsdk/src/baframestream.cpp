// The frame-list chunk (type 0x0E): a hierarchy flattened into an array of
// 56-byte records (modelling rows and parent index), parents first, each
// frame's extension chunk after the struct. Records are read field by
// field and checked against the chunk before anything is trusted.
#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwstream.h"
#include "src/baframe.h"

static constexpr RwUInt32 rwFRAMERECORDSIZE = 56;
// Deeper chains are refused: every hierarchy walk recurses once per level.
static constexpr RwInt32 rwFRAMELISTMAXDEPTH = 1024;
static constexpr RwReal rwFRAMEORTHONORMALTOLERANCE = 0.01f;
static constexpr RwReal rwFRAMEMINDETERMINANT = 0.99f;

static RwBool ReadV3d(RwStream *stream, RwV3d *v)
{
    return RwStreamReadReal(stream, &v->x) && RwStreamReadReal(stream, &v->y) && RwStreamReadReal(stream, &v->z);
}

static RwBool WriteV3d(RwStream *stream, const RwV3d *v)
{
    return RwStreamWriteReal(stream, v->x) != nullptr && RwStreamWriteReal(stream, v->y) != nullptr &&
           RwStreamWriteReal(stream, v->z) != nullptr;
}

// Frames made by a failed read go again, newest first, so each is a leaf
// when it is destroyed.
static void DestroyMade(RwFrame **frames, RwInt32 made)
{
    for (RwInt32 i = made - 1; i >= 0; --i) {
        RwFrameDestroy(frames[i]);
    }
}

// Reads the records into `frames` (room for `count`), building the
// hierarchy; `depth` has room for `count` levels. Returns the number of
// frames made, which is `count` on success.
static RwInt32 ReadRecords(RwStream *stream, RwFrame **frames, RwInt32 *depth, RwInt32 count)
{
    for (RwInt32 i = 0; i < count; ++i) {
        RwMatrix rows = {};
        RwInt32 parentIndex = 0;
        RwUInt32 reserved = 0;
        if (!ReadV3d(stream, &rows.right) || !ReadV3d(stream, &rows.up) || !ReadV3d(stream, &rows.at) ||
            !ReadV3d(stream, &rows.pos) || !RwStreamReadInt32(stream, &parentIndex) ||
            !RwStreamReadUInt32(stream, &reserved)) {
            RwErrorReportCommon(E_RW_READ);
            return i;
        }
        // A parent must be a frame read earlier in the same list.
        if (parentIndex < -1 || parentIndex >= i ||
            (parentIndex >= 0 && depth[parentIndex] + 1 > rwFRAMELISTMAXDEPTH)) {
            RwErrorReportCommon(E_RW_READ);
            return i;
        }
        RwFrame *frame = RwFrameCreate();
        if (frame == nullptr) {
            return i;
        }
        frames[i] = frame;
        RwMatrix *m = &frame->modelling;
        m->right = rows.right;
        m->up = rows.up;
        m->at = rows.at;
        m->pos = rows.pos;
        const RwBool orthonormal = RwMatrixNormalError(m) <= rwFRAMEORTHONORMALTOLERANCE &&
                                   RwMatrixOrthogonalError(m) <= rwFRAMEORTHONORMALTOLERANCE &&
                                   RwMatrixDeterminant(m) >= rwFRAMEMINDETERMINANT;
        m->flags &= orthonormal ? ~rwMATRIXINTERNALIDENTITY : ~(rwMATRIXINTERNALIDENTITY | rwMATRIXTYPEORTHONORMAL);
        if (parentIndex >= 0) {
            depth[i] = depth[parentIndex] + 1;
            RwFrameAddChild(frames[parentIndex], frame);
        } else {
            depth[i] = 0;
        }
    }
    return count;
}

RwFrameList *RwFrameListStreamRead(RwStream *stream, RwFrameList *frameList)
{
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindStruct(stream, &length, &version)) {
        return nullptr;
    }
    const RwUInt64 savedLimit = RwStreamEnterChunk(stream, length);
    RwInt32 count = 0;
    if (length < sizeof(RwInt32) || !RwStreamReadInt32(stream, &count) || count < 0 ||
        static_cast<RwUInt64>(count) > (length - sizeof(RwInt32)) / rwFRAMERECORDSIZE) {
        RwErrorReportCommon(E_RW_READ);
        RwStreamLeaveChunk(stream, savedLimit);
        return nullptr;
    }

    // One block: the frame pointers the caller keeps, then the depth of each
    // frame, used only while reading.
    RwFrame **frames = nullptr;
    RwInt32 *depth = nullptr;
    if (count > 0) {
        const size_t bytes = static_cast<size_t>(count) * (sizeof(RwFrame *) + sizeof(RwInt32));
        frames = static_cast<RwFrame **>(RwMalloc(bytes));
        if (frames == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            RwStreamLeaveChunk(stream, savedLimit);
            return nullptr;
        }
        depth = reinterpret_cast<RwInt32 *>(frames + count);
    }

    const RwInt32 made = ReadRecords(stream, frames, depth, count);
    const RwUInt32 rest = length - sizeof(RwInt32) - static_cast<RwUInt32>(count) * rwFRAMERECORDSIZE;
    RwBool ok = made == count && (rest == 0 || RwStreamSkip(stream, rest) != nullptr);
    RwStreamLeaveChunk(stream, savedLimit);
    for (RwInt32 i = 0; ok && i < count; ++i) {
        ok = RwPluginRegistryReadData(RwFrameGetPluginRegistry(), stream, frames[i]) != nullptr;
    }
    if (!ok) {
        DestroyMade(frames, made);
        if (frames != nullptr) {
            RwFree(frames);
        }
        return nullptr;
    }
    frameList->frames = frames;
    frameList->numFrames = count;
    return frameList;
}

RwFrameList *RwFrameListDeinit(RwFrameList *frameList)
{
    if (frameList->numFrames != 0 && frameList->frames != nullptr) {
        RwFree(frameList->frames);
    }
    frameList->frames = nullptr;
    frameList->numFrames = 0;
    return frameList;
}

// Pre-order, children from last to first: the reader prepends each child,
// which puts them back in their original order.
static void ListSubtree(RwFrame *frame, RwFrame **frames, RwInt32 *index)
{
    frames[(*index)++] = frame;
    RwInt32 numChildren = 0;
    for (RwFrame *child = frame->child; child != nullptr; child = child->next) {
        ++numChildren;
    }
    for (RwInt32 k = numChildren - 1; k >= 0; --k) {
        RwFrame *child = frame->child;
        for (RwInt32 step = 0; step < k; ++step) {
            child = child->next;
        }
        ListSubtree(child, frames, index);
    }
}

RwFrameList *RwFrameListInitialize(RwFrameList *frameList, RwFrame *root)
{
    const RwInt32 count = RwFrameCount(root);
    auto **frames = static_cast<RwFrame **>(RwMalloc(sizeof(RwFrame *) * static_cast<size_t>(count)));
    if (frames == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    RwInt32 index = 0;
    ListSubtree(root, frames, &index);
    frameList->frames = frames;
    frameList->numFrames = count;
    return frameList;
}

RwInt32 RwFrameListFindFrame(const RwFrameList *frameList, const RwFrame *frame)
{
    for (RwInt32 i = 0; i < frameList->numFrames; ++i) {
        if (frameList->frames[i] == frame) {
            return i;
        }
    }
    return -1;
}

static RwUInt32 StructSize(const RwFrameList *frameList)
{
    return static_cast<RwUInt32>(sizeof(RwInt32)) + static_cast<RwUInt32>(frameList->numFrames) * rwFRAMERECORDSIZE;
}

RwUInt32 RwFrameListStreamGetSize(const RwFrameList *frameList)
{
    RwUInt32 size = rwCHUNKHEADERSIZE + StructSize(frameList);
    for (RwInt32 i = 0; i < frameList->numFrames; ++i) {
        size += rwCHUNKHEADERSIZE +
                static_cast<RwUInt32>(RwPluginRegistryGetStreamSize(RwFrameGetPluginRegistry(), frameList->frames[i]));
    }
    return size;
}

const RwFrameList *RwFrameListStreamWrite(const RwFrameList *frameList, RwStream *stream)
{
    RwBool ok = RwStreamWriteChunkHeaderDefault(stream, rwID_FRAMELIST, RwFrameListStreamGetSize(frameList)) != nullptr &&
                RwStreamWriteChunkHeaderDefault(stream, rwID_STRUCT, StructSize(frameList)) != nullptr &&
                RwStreamWriteInt32(stream, frameList->numFrames) != nullptr;
    for (RwInt32 i = 0; ok && i < frameList->numFrames; ++i) {
        const RwFrame *frame = frameList->frames[i];
        const RwFrame *parent = RwFrameGetParent(frame);
        const RwInt32 parentIndex = parent != nullptr ? RwFrameListFindFrame(frameList, parent) : -1;
        ok = WriteV3d(stream, &frame->modelling.right) && WriteV3d(stream, &frame->modelling.up) &&
             WriteV3d(stream, &frame->modelling.at) && WriteV3d(stream, &frame->modelling.pos) &&
             RwStreamWriteInt32(stream, parentIndex) != nullptr && RwStreamWriteUInt32(stream, 0) != nullptr;
    }
    if (!ok) {
        RwErrorReportCommon(E_RW_WRITE);
        return nullptr;
    }
    for (RwInt32 i = 0; i < frameList->numFrames; ++i) {
        if (RwPluginRegistryWriteData(RwFrameGetPluginRegistry(), stream, frameList->frames[i]) == nullptr) {
            return nullptr;
        }
    }
    return frameList;
}
