// The hierarchical-animation plug-in: its engine block and frame extension,
// hierarchy creation, copying and destruction, binding nodes to frames, and
// the hierarchy stream carried in the owning frame's extension chunk. Node
// counts and keyframe sizes read from a stream are weighed against the
// chunk before anything is allocated.
#include <cstring>

#include "rphanim.h"
#include "rwcore.h"

namespace {

RwInt32 frameOffset = -1;
RwFreeList *hierarchyFreeList = nullptr;
RwInt32 openCount = 0;

constexpr RwUInt32 kNodeStreamSize = 12;
constexpr RwUInt32 kHierarchyHeadSize = 20;
// Room a stream may ask for per node record; the standard scheme needs 36.
constexpr RwInt32 kMaxKeyFrameSize = 1024;

RpHAnimFrameExtension *Extension(void *frame, RwInt32 offset = frameOffset)
{
    return reinterpret_cast<RpHAnimFrameExtension *>(static_cast<RwUInt8 *>(frame) + offset);
}

const RpHAnimFrameExtension *Extension(const void *frame, RwInt32 offset)
{
    return reinterpret_cast<const RpHAnimFrameExtension *>(static_cast<const RwUInt8 *>(frame) + offset);
}

void *EngineOpen(void *instance, RwInt32, RwInt32)
{
    if (openCount++ == 0) {
        hierarchyFreeList = RwFreeListCreate(static_cast<RwInt32>(sizeof(RpHAnimHierarchy)), 128, 8);
        if (hierarchyFreeList == nullptr) {
            openCount = 0;
            return nullptr;
        }
    }
    // The toolkit's open emptied its registry; the standard scheme goes back in.
    if (RtAnimGetInterpolatorInfo(rpHANIMSTDKEYFRAMETYPEID) == nullptr &&
        !RtAnimRegisterInterpolationScheme(RpHAnimStdKeyFrameGetInterpInfo())) {
        if (--openCount == 0) {
            RwFreeListDestroy(hierarchyFreeList);
            hierarchyFreeList = nullptr;
        }
        return nullptr;
    }
    return instance;
}

void *EngineClose(void *instance, RwInt32, RwInt32)
{
    if (openCount > 0 && --openCount == 0 && hierarchyFreeList != nullptr) {
        RwFreeListDestroy(hierarchyFreeList);
        hierarchyFreeList = nullptr;
    }
    return instance;
}

// A zeroed hierarchy with its interpolator and arrays, or null (nothing kept).
RpHAnimHierarchy *NewHierarchy(RwInt32 numNodes, RwUInt32 flags, RwInt32 maxKeyFrameSize)
{
    if (hierarchyFreeList == nullptr || numNodes < 0 || numNodes > 0xFFFF) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    auto *hierarchy = static_cast<RpHAnimHierarchy *>(RwFreeListEntryAlloc(hierarchyFreeList));
    if (hierarchy == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(hierarchy, 0, sizeof(*hierarchy));
    hierarchy->flags = flags;
    hierarchy->numNodes = numNodes;
    hierarchy->parentHierarchy = hierarchy;
    hierarchy->rootParentOffset = -1;
    hierarchy->currentAnim = RtAnimInterpolatorCreate(numNodes, maxKeyFrameSize);
    size_t nodeBytes = sizeof(RpHAnimNodeInfo) * static_cast<size_t>(numNodes > 0 ? numNodes : 1);
    hierarchy->pNodeInfo = static_cast<RpHAnimNodeInfo *>(RwMalloc(nodeBytes));
    if (!(flags & rpHANIMHIERARCHYNOMATRICES)) {
        hierarchy->pMatrixArrayUnaligned = RwMalloc(sizeof(RwMatrix) * static_cast<size_t>(numNodes) + 15);
        hierarchy->pMatrixArray =
            reinterpret_cast<RwMatrix *>(RwAlignUp(reinterpret_cast<RwUInt64>(hierarchy->pMatrixArrayUnaligned), 16));
    }
    if (hierarchy->currentAnim == nullptr || hierarchy->pNodeInfo == nullptr ||
        (!(flags & rpHANIMHIERARCHYNOMATRICES) && hierarchy->pMatrixArrayUnaligned == nullptr)) {
        RwErrorReportCommon(E_RW_NOMEM);
        hierarchy->flags &= ~rpHANIMHIERARCHYSUBHIERARCHY;
        RpHAnimHierarchyDestroy(hierarchy);
        return nullptr;
    }
    std::memset(hierarchy->pNodeInfo, 0, nodeBytes);
    if (hierarchy->pMatrixArray != nullptr) {
        for (RwInt32 i = 0; i < numNodes; ++i) {
            RwMatrixSetIdentity(&hierarchy->pMatrixArray[i]);
        }
    }
    return hierarchy;
}

void CopyNodes(RpHAnimHierarchy *dst, const RpHAnimHierarchy *src)
{
    for (RwInt32 i = 0; i < dst->numNodes; ++i) {
        dst->pNodeInfo[i] = {src->pNodeInfo[i].nodeID, src->pNodeInfo[i].nodeIndex, src->pNodeInfo[i].flags,
                             nullptr};
    }
}

void *FrameConstruct(void *frame, RwInt32 offset, RwInt32)
{
    *Extension(frame, offset) = {-1, nullptr};
    return frame;
}

void *FrameDestruct(void *frame, RwInt32 offset, RwInt32)
{
    RpHAnimFrameExtension *ext = Extension(frame, offset);
    if (ext->hierarchy != nullptr) {
        RpHAnimHierarchy *hierarchy = ext->hierarchy;
        RpHAnimHierarchyDetach(hierarchy);
        if (hierarchy->parentFrame == frame) {
            RpHAnimHierarchyDestroy(hierarchy);
        }
    }
    *Extension(frame, offset) = {-1, nullptr};
    return frame;
}

void *FrameCopy(void *dstFrame, const void *srcFrame, RwInt32 offset, RwInt32)
{
    const RpHAnimFrameExtension *src = Extension(srcFrame, offset);
    RpHAnimFrameExtension *dst = Extension(dstFrame, offset);
    dst->id = src->id;
    dst->hierarchy = nullptr;
    if (src->hierarchy != nullptr && !(src->hierarchy->flags & rpHANIMHIERARCHYSUBHIERARCHY)) {
        RpHAnimHierarchy *copy = NewHierarchy(src->hierarchy->numNodes, src->hierarchy->flags,
                                              src->hierarchy->currentAnim->maxKeyFrameSize);
        if (copy != nullptr) {
            CopyNodes(copy, src->hierarchy);
            copy->parentFrame = static_cast<RwFrame *>(dstFrame);
            dst->hierarchy = copy;
        }
    }
    return dstFrame;
}

RwInt32 FrameStreamGetSize(const void *frame, RwInt32 offset, RwInt32)
{
    const RpHAnimFrameExtension *ext = Extension(frame, offset);
    const RpHAnimHierarchy *hierarchy = ext->hierarchy;
    if (hierarchy == nullptr || (hierarchy->flags & rpHANIMHIERARCHYSUBHIERARCHY)) {
        return ext->id == -1 && hierarchy == nullptr ? 0 : 12;
    }
    return static_cast<RwInt32>(kHierarchyHeadSize + kNodeStreamSize * static_cast<RwUInt32>(hierarchy->numNodes));
}

RwStream *FrameStreamWrite(RwStream *stream, RwInt32, const void *frame, RwInt32 offset, RwInt32)
{
    const RpHAnimFrameExtension *ext = Extension(frame, offset);
    const RpHAnimHierarchy *hierarchy = ext->hierarchy;
    RwBool full = hierarchy != nullptr && !(hierarchy->flags & rpHANIMHIERARCHYSUBHIERARCHY);
    if (RwStreamWriteUInt32(stream, rpHANIMSTREAMCURRENTVERSION) == nullptr ||
        RwStreamWriteInt32(stream, ext->id) == nullptr ||
        RwStreamWriteInt32(stream, full ? hierarchy->numNodes : 0) == nullptr) {
        return nullptr;
    }
    if (!full) {
        return stream;
    }
    if (RwStreamWriteUInt32(stream, hierarchy->flags) == nullptr ||
        RwStreamWriteInt32(stream, hierarchy->currentAnim->maxKeyFrameSize) == nullptr) {
        return nullptr;
    }
    for (RwInt32 i = 0; i < hierarchy->numNodes; ++i) {
        const RpHAnimNodeInfo &node = hierarchy->pNodeInfo[i];
        if (RwStreamWriteInt32(stream, node.nodeID) == nullptr || RwStreamWriteInt32(stream, node.nodeIndex) == nullptr ||
            RwStreamWriteUInt32(stream, node.flags) == nullptr) {
            return nullptr;
        }
    }
    return stream;
}

RwStream *FrameStreamRead(RwStream *stream, RwInt32 length, void *frame, RwInt32 offset, RwInt32)
{
    RpHAnimFrameExtension *ext = Extension(frame, offset);
    RwUInt32 version = 0;
    RwInt32 id = -1;
    RwInt32 numNodes = 0;
    if (!RwStreamReadUInt32(stream, &version) || version != rpHANIMSTREAMCURRENTVERSION ||
        !RwStreamReadInt32(stream, &id) || !RwStreamReadInt32(stream, &numNodes)) {
        return nullptr;
    }
    ext->id = id;
    if (numNodes < 1) {
        return stream;
    }
    RwUInt32 flags = 0;
    RwInt32 maxKeyFrameSize = 0;
    if (!RwStreamReadUInt32(stream, &flags) || !RwStreamReadInt32(stream, &maxKeyFrameSize)) {
        return nullptr;
    }
    // The node records must all be in this chunk; the reserved record size
    // must hold the interpolator's links and stay modest.
    RwUInt64 nodeBytes = static_cast<RwUInt64>(numNodes) * kNodeStreamSize;
    if (length < 0 || nodeBytes + kHierarchyHeadSize > static_cast<RwUInt64>(length) ||
        nodeBytes > RwStreamBytesLeft(stream) || maxKeyFrameSize < static_cast<RwInt32>(sizeof(RtAnimInterpFrameHeader)) ||
        maxKeyFrameSize > kMaxKeyFrameSize) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    // A streamed hierarchy always owns its arrays.
    RpHAnimHierarchy *hierarchy = NewHierarchy(numNodes, flags & ~rpHANIMHIERARCHYSUBHIERARCHY, maxKeyFrameSize);
    if (hierarchy == nullptr) {
        return nullptr;
    }
    hierarchy->parentFrame = static_cast<RwFrame *>(frame);
    for (RwInt32 i = 0; i < numNodes; ++i) {
        RpHAnimNodeInfo &node = hierarchy->pNodeInfo[i];
        if (!RwStreamReadInt32(stream, &node.nodeID) || !RwStreamReadInt32(stream, &node.nodeIndex) ||
            !RwStreamReadUInt32(stream, &node.flags)) {
            hierarchy->parentFrame = nullptr;
            RpHAnimHierarchyDestroy(hierarchy);
            return nullptr;
        }
        node.pFrame = nullptr;
    }
    // A second hierarchy chunk on one frame replaces the first.
    if (ext->hierarchy != nullptr && ext->hierarchy->parentFrame == frame) {
        RpHAnimHierarchy *old = ext->hierarchy;
        ext->hierarchy = nullptr;
        old->parentFrame = nullptr;
        RpHAnimHierarchyDestroy(old);
    }
    ext->hierarchy = hierarchy;
    return stream;
}

RwFrame *AttachFrame(RwFrame *frame, void *data)
{
    auto *hierarchy = static_cast<RpHAnimHierarchy *>(data);
    RwInt32 id = Extension(frame)->id;
    for (RwInt32 i = 0; i < hierarchy->numNodes; ++i) {
        if (hierarchy->pNodeInfo[i].nodeID == id) {
            hierarchy->pNodeInfo[i].pFrame = frame;
        }
    }
    RwFrameMarkDirty(frame);
    RwFrameForAllChildren(frame, AttachFrame, data);
    return frame;
}

}  // namespace

RwBool RpHAnimPluginAttach(void)
{
    if (RwEngineRegisterPlugin(0, rpHANIMPLUGINID, EngineOpen, EngineClose) < 0) {
        return FALSE;
    }
    frameOffset = RwFrameRegisterPlugin(static_cast<RwInt32>(sizeof(RpHAnimFrameExtension)), rpHANIMPLUGINID,
                                        FrameConstruct, FrameDestruct, FrameCopy);
    if (frameOffset < 0) {
        return FALSE;
    }
    return RwFrameRegisterPluginStream(rpHANIMPLUGINID, FrameStreamRead, FrameStreamWrite, FrameStreamGetSize) >= 0;
}

RpHAnimHierarchy *RpHAnimHierarchyCreate(RwInt32 numNodes, const RwUInt32 *nodeFlags, const RwInt32 *nodeIDs,
                                         RwUInt32 flags, RwInt32 maxKeyFrameSize)
{
    RpHAnimHierarchy *hierarchy = NewHierarchy(numNodes, flags, maxKeyFrameSize);
    if (hierarchy == nullptr) {
        return nullptr;
    }
    for (RwInt32 i = 0; i < numNodes; ++i) {
        hierarchy->pNodeInfo[i] = {nodeIDs != nullptr ? nodeIDs[i] : 0, i, nodeFlags != nullptr ? nodeFlags[i] : 0u,
                                   nullptr};
    }
    return hierarchy;
}

RpHAnimHierarchy *RpHAnimHierarchyCreateFromHierarchy(RpHAnimHierarchy *hierarchy, RwUInt32 flags,
                                                      RwInt32 maxKeyFrameSize)
{
    if (hierarchy == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    RpHAnimHierarchy *copy = NewHierarchy(hierarchy->numNodes, flags, maxKeyFrameSize);
    if (copy != nullptr) {
        CopyNodes(copy, hierarchy);
    }
    return copy;
}

RpHAnimHierarchy *RpHAnimHierarchyDestroy(RpHAnimHierarchy *hierarchy)
{
    if (hierarchy == nullptr) {
        return nullptr;
    }
    if (!(hierarchy->flags & rpHANIMHIERARCHYSUBHIERARCHY)) {
        if (hierarchy->pMatrixArrayUnaligned != nullptr) {
            RwFree(hierarchy->pMatrixArrayUnaligned);
        }
        if (hierarchy->pNodeInfo != nullptr) {
            RwFree(hierarchy->pNodeInfo);
        }
    }
    hierarchy->pMatrixArray = nullptr;
    hierarchy->pMatrixArrayUnaligned = nullptr;
    hierarchy->pNodeInfo = nullptr;
    RtAnimInterpolatorDestroy(hierarchy->currentAnim);
    hierarchy->currentAnim = nullptr;
    if (hierarchy->parentFrame != nullptr && Extension(hierarchy->parentFrame)->hierarchy == hierarchy) {
        Extension(hierarchy->parentFrame)->hierarchy = nullptr;
    }
    RwFreeListEntryFree(hierarchyFreeList, hierarchy);
    return nullptr;
}

RpHAnimHierarchy *RpHAnimHierarchyAttach(RpHAnimHierarchy *hierarchy)
{
    if (hierarchy == nullptr || hierarchy->parentFrame == nullptr) {
        return hierarchy;
    }
    AttachFrame(hierarchy->parentFrame, hierarchy);
    return hierarchy;
}

RpHAnimHierarchy *RpHAnimHierarchyDetach(RpHAnimHierarchy *hierarchy)
{
    if (hierarchy != nullptr && hierarchy->pNodeInfo != nullptr) {
        for (RwInt32 i = 0; i < hierarchy->numNodes; ++i) {
            hierarchy->pNodeInfo[i].pFrame = nullptr;
        }
    }
    return hierarchy;
}

RpHAnimHierarchy *RpHAnimFrameGetHierarchy(RwFrame *frame)
{
    return frame != nullptr && frameOffset >= 0 ? Extension(frame)->hierarchy : nullptr;
}

RwFrame *RpHAnimFrameSetHierarchy(RwFrame *frame, RpHAnimHierarchy *hierarchy)
{
    Extension(frame)->hierarchy = hierarchy;
    if (hierarchy != nullptr) {
        hierarchy->parentFrame = frame;
    }
    return frame;
}

RwInt32 RpHAnimFrameGetID(RwFrame *frame) { return Extension(frame)->id; }

RwFrame *RpHAnimFrameSetID(RwFrame *frame, RwInt32 id)
{
    Extension(frame)->id = id;
    return frame;
}

RwInt32 RpHAnimIDGetIndex(const RpHAnimHierarchy *hierarchy, RwInt32 id)
{
    for (RwInt32 i = 0; i < hierarchy->numNodes; ++i) {
        if (hierarchy->pNodeInfo[i].nodeID == id) {
            return i;
        }
    }
    return -1;
}
