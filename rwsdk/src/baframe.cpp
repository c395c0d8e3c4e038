// Frame hierarchy: creation and destruction, attaching and detaching
// children, marking hierarchies dirty, the transform calls that only store
// a change, frame-attached objects, and the frame plug-in registry.
#include <cstring>

#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "src/baframe.h"

static RwPluginRegistry frameTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RwFrame)));

RwPluginRegistry *RwFrameGetPluginRegistry(void) { return &frameTKList; }

RwInt32 RwFrameRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                              RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&frameTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RwFrameRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                    RwPluginDataChunkWriteCallBack writeCB, RwPluginDataChunkGetSizeCallBack getSizeCB)
{
    return RwPluginRegistryAddPluginStream(&frameTKList, pluginID, readCB, writeCB, getSizeCB);
}

RwInt32 RwFrameGetPluginOffset(RwUInt32 pluginID) { return RwPluginRegistryGetPluginOffset(&frameTKList, pluginID); }

void rwFrameSetHierarchyRoot(RwFrame *frame, RwFrame *root)
{
    frame->root = root;
    for (RwFrame *child = frame->child; child != nullptr; child = child->next) {
        rwFrameSetHierarchyRoot(child, root);
    }
}

void rwFrameRemoveFromDirtyList(RwFrame *frame)
{
    if (frame->object.privateFlags & rwFRAMEPRIVATEHIERARCHYSYNC) {
        RwLLLinkRemove(&frame->inDirtyListLink);
        frame->object.privateFlags &= static_cast<RwUInt8>(~rwFRAMEPRIVATEHIERARCHYSYNC);
    }
}

RwFrame *RwFrameMarkDirty(RwFrame *frame)
{
    RwFrame *root = frame->root;
    if (!(root->object.privateFlags & rwFRAMEPRIVATEHIERARCHYSYNC)) {
        RwLinkListAddLLLink(&RwEngineInst->dirtyFrameList, &root->inDirtyListLink);
    }
    root->object.privateFlags |= rwFRAMEPRIVATEHIERARCHYSYNC;
    frame->object.privateFlags |= rwFRAMEPRIVATESUBTREESYNC;
    return frame;
}

RwFrame *RwFrameGetRoot(const RwFrame *frame) { return frame->root; }

RwUInt32 RwFrameIsDirty(const RwFrame *frame)
{
    return frame->root->object.privateFlags & rwFRAMEPRIVATEHIERARCHYSYNC;
}

// Unhooks a child from its parent's child list and makes it the root of its
// own subtree; as a new root it goes into the dirty list, because its world
// matrices no longer include the old parent's.
static void DetachFromParent(RwFrame *child)
{
    RwFrame *parent = RwFrameGetParent(child);
    if (parent->child == child) {
        parent->child = child->next;
    } else {
        RwFrame *previous = parent->child;
        while (previous->next != child) {
            previous = previous->next;
        }
        previous->next = child->next;
    }
    child->object.parent = nullptr;
    child->next = nullptr;
    rwFrameSetHierarchyRoot(child, child);
    RwFrameMarkDirty(child);
}

// Objects of a frame that goes away keep no pointer to it.
static void ReleaseObjects(RwFrame *frame)
{
    RwLLLink *end = RwLinkListGetTerminator(&frame->objectList);
    RwLLLink *link = RwLinkListGetFirstLLLink(&frame->objectList);
    while (link != end) {
        RwLLLink *next = RwLLLinkGetNext(link);
        RwFramedObject *object = RwLLLinkGetData(link, RwFramedObject, lFrame);
        RwLLLinkRemove(link);
        RwLLLinkInitialize(link);
        object->object.parent = nullptr;
        link = next;
    }
    RwLinkListInitialize(&frame->objectList);
}

RwFrame *RwFrameInit(RwFrame *frame)
{
    frame->object.type = rwFRAME;
    frame->object.subType = 0;
    frame->object.flags = 0;
    frame->object.privateFlags = 0;
    frame->object.parent = nullptr;
    RwLLLinkInitialize(&frame->inDirtyListLink);
    std::memset(&frame->modelling, 0, sizeof(frame->modelling));
    RwMatrixSetIdentity(&frame->modelling);
    frame->ltm = frame->modelling;
    RwLinkListInitialize(&frame->objectList);
    frame->child = nullptr;
    frame->next = nullptr;
    frame->root = frame;
    if (RwPluginRegistryInitObject(&frameTKList, frame) == nullptr) {
        return nullptr;
    }
    return frame;
}

// A frame whose extensions could not all be built is not handed out: the
// registry has already undone the ones that were, so only the record goes.
RwFrame *RwFrameCreate(void)
{
    RwFreeList *freeList = rwFrameGetGlobals()->frameFreeList;
    auto *frame = static_cast<RwFrame *>(RwFreeListEntryAlloc(freeList));
    if (frame == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    if (RwFrameInit(frame) == nullptr) {
        RwFreeListEntryFree(freeList, frame);
        RwErrorReportCommon(E_RW_PLUGININIT);
        return nullptr;
    }
    return frame;
}

RwBool RwFrameDestroy(RwFrame *frame)
{
    RwPluginRegistryDeInitObject(&frameTKList, frame);
    if (frame->object.parent != nullptr) {
        DetachFromParent(frame);
    }
    rwFrameRemoveFromDirtyList(frame);

    // Each child becomes a root. Its stored world matrix still includes the
    // destroyed frame's transform, so it is marked dirty to be recomputed.
    RwFrame *child = frame->child;
    while (child != nullptr) {
        RwFrame *next = child->next;
        child->object.parent = nullptr;
        child->next = nullptr;
        rwFrameSetHierarchyRoot(child, child);
        RwFrameMarkDirty(child);
        child = next;
    }
    frame->child = nullptr;
    ReleaseObjects(frame);
    RwFreeListEntryFree(rwFrameGetGlobals()->frameFreeList, frame);
    return TRUE;
}

void rwFrameDestroyRecurse(RwFrame *frame)
{
    RwFrame *child = frame->child;
    while (child != nullptr) {
        RwFrame *next = child->next;
        rwFrameDestroyRecurse(child);
        child = next;
    }
    RwPluginRegistryDeInitObject(&frameTKList, frame);
    rwFrameRemoveFromDirtyList(frame);
    ReleaseObjects(frame);
    RwFreeListEntryFree(rwFrameGetGlobals()->frameFreeList, frame);
}

// Meant for roots; a frame that still has a parent is unhooked first so
// the parent never lists a freed child.
RwBool RwFrameDestroyHierarchy(RwFrame *frame)
{
    if (frame == nullptr) {
        return TRUE;
    }
    if (frame->object.parent != nullptr) {
        DetachFromParent(frame);
    }
    rwFrameDestroyRecurse(frame);
    return TRUE;
}

RwFrame *RwFrameAddChild(RwFrame *parent, RwFrame *child)
{
    // A frame cannot become a child of itself or of its own descendant.
    for (const RwFrame *ancestor = parent; ancestor != nullptr; ancestor = RwFrameGetParent(ancestor)) {
        if (ancestor == child) {
            RwErrorReportCommon(E_RW_BADPARAM);
            return nullptr;
        }
    }
    if (child->object.parent != nullptr) {
        DetachFromParent(child);
    }
    child->next = parent->child;
    parent->child = child;
    child->object.parent = parent;
    rwFrameSetHierarchyRoot(child, parent->root);
    rwFrameRemoveFromDirtyList(child);
    RwFrameMarkDirty(child);
    return parent;
}

RwFrame *RwFrameRemoveChild(RwFrame *frame)
{
    if (frame->object.parent != nullptr) {
        DetachFromParent(frame);
    }
    return frame;
}

RwFrame *RwFrameTranslate(RwFrame *frame, const RwV3d *offset, RwOpCombineType combine)
{
    if (RwMatrixTranslate(&frame->modelling, offset, combine) == nullptr) {
        return nullptr;
    }
    return RwFrameMarkDirty(frame);
}

RwFrame *RwFrameRotate(RwFrame *frame, const RwV3d *axis, RwReal angleDegrees, RwOpCombineType combine)
{
    RwMatrixRotate(&frame->modelling, axis, angleDegrees, combine);
    return RwFrameMarkDirty(frame);
}

RwFrame *RwFrameTransform(RwFrame *frame, const RwMatrix *matrix, RwOpCombineType combine)
{
    if (RwMatrixTransform(&frame->modelling, matrix, combine) == nullptr) {
        return nullptr;
    }
    return RwFrameMarkDirty(frame);
}

void RwFrameSetIdentity(RwFrame *frame)
{
    RwMatrixSetIdentity(&frame->modelling);
    RwFrameMarkDirty(frame);
}

RwFrame *RwFrameForAllChildren(RwFrame *frame, RwFrameCallBack callback, void *data)
{
    RwFrame *child = frame->child;
    while (child != nullptr) {
        RwFrame *next = child->next;
        if (callback(child, data) == nullptr) {
            break;
        }
        child = next;
    }
    return frame;
}

RwFrame *RwFrameForAllObjects(RwFrame *frame, RwFramedObjectCallBack callback, void *data)
{
    RwLLLink *end = RwLinkListGetTerminator(&frame->objectList);
    RwLLLink *link = RwLinkListGetFirstLLLink(&frame->objectList);
    while (link != end) {
        RwLLLink *next = RwLLLinkGetNext(link);
        if (callback(RwLLLinkGetData(link, RwFramedObject, lFrame), data) == nullptr) {
            break;
        }
        link = next;
    }
    return frame;
}

RwInt32 RwFrameCount(RwFrame *frame)
{
    RwInt32 count = 1;
    for (RwFrame *child = frame->child; child != nullptr; child = child->next) {
        count += RwFrameCount(child);
    }
    return count;
}

RwFramedObject *RwFramedObjectUnlinkFrame(RwFramedObject *object)
{
    if (object->object.parent != nullptr) {
        RwLLLinkRemove(&object->lFrame);
        RwLLLinkInitialize(&object->lFrame);
        object->object.parent = nullptr;
    }
    return object;
}

RwFramedObject *RwFramedObjectSetFrame(RwFramedObject *object, RwFrame *frame)
{
    RwFramedObjectUnlinkFrame(object);
    if (frame != nullptr) {
        object->object.parent = frame;
        RwLinkListAddLLLink(&frame->objectList, &object->lFrame);
        RwFrameMarkDirty(frame);
    }
    return object;
}
