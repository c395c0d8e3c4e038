// Copying a frame hierarchy. While a copy is being made, each source
// frame's root field points at its copy, so callers that clone objects
// hanging on the frames (clumps) can find the copy of each frame; they put
// the source back with RwFramePurgeClone.
#include "rwengine.h"
#include "rwmemory.h"
#include "src/baframe.h"

// Frees a copy whose own extensions were never built, and the finished
// copies already hung under it.
static void DiscardCopy(RwFrame *copy)
{
    for (RwFrame *made = copy->child; made != nullptr;) {
        RwFrame *next = made->next;
        rwFrameDestroyRecurse(made);
        made = next;
    }
    RwFreeListEntryFree(rwFrameGetGlobals()->frameFreeList, copy);
}

// Copies `source` and its subtree; `cloneRoot` is null for the top frame,
// which becomes its own root. Copies are prepended, so a copy lists its
// children in the reverse of the source's order.
static RwFrame *CloneRecurse(RwFrame *source, RwFrame *cloneRoot)
{
    auto *copy = static_cast<RwFrame *>(RwFreeListEntryAlloc(rwFrameGetGlobals()->frameFreeList));
    if (copy == nullptr) {
        return nullptr;
    }
    copy->object = source->object;
    copy->object.parent = nullptr;
    // Only a root may carry the hierarchy bits (they say it is listed).
    copy->object.privateFlags &= static_cast<RwUInt8>(~rwFRAMEPRIVATEHIERARCHYSYNC);
    RwLLLinkInitialize(&copy->inDirtyListLink);
    RwLinkListInitialize(&copy->objectList);
    copy->modelling = source->modelling;
    copy->ltm = source->ltm;
    copy->child = nullptr;
    copy->next = nullptr;
    copy->root = cloneRoot != nullptr ? cloneRoot : copy;
    source->root = copy;

    for (RwFrame *child = source->child; child != nullptr; child = child->next) {
        RwFrame *childCopy = CloneRecurse(child, copy->root);
        if (childCopy == nullptr) {
            DiscardCopy(copy);
            return nullptr;
        }
        childCopy->next = copy->child;
        copy->child = childCopy;
        childCopy->object.parent = copy;
    }

    if (RwPluginRegistryInitObject(RwFrameGetPluginRegistry(), copy) == nullptr) {
        DiscardCopy(copy);
        return nullptr;
    }
    RwPluginRegistryCopyObject(RwFrameGetPluginRegistry(), copy, source);
    return copy;
}

RwFrame *RwFrameCloneHierarchy(RwFrame *root)
{
    RwFrame *copy = CloneRecurse(root, nullptr);
    if (copy == nullptr) {
        // The source's root fields point at copies that no longer exist.
        RwFramePurgeClone(root);
        return nullptr;
    }
    copy->object.privateFlags &= static_cast<RwUInt8>(~rwFRAMEPRIVATEHIERARCHYSYNC);
    RwFrameMarkDirty(copy);
    return copy;
}

RwFrame *RwFramePurgeClone(RwFrame *frame)
{
    RwFrame *parent = RwFrameGetParent(frame);
    rwFrameSetHierarchyRoot(frame, parent != nullptr ? parent->root : frame);
    return frame;
}
