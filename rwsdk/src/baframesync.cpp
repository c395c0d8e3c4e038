// Hierarchy synchronisation: bringing world matrices (LTMs) up to date for
// one hierarchy on demand, and for every dirty hierarchy at once, telling
// the attached objects that their frames moved.
#include "rwengine.h"
#include "src/baframe.h"

static inline void CallObjectSyncs(RwFrame *frame)
{
    RwLLLink *end = RwLinkListGetTerminator(&frame->objectList);
    RwLLLink *link = RwLinkListGetFirstLLLink(&frame->objectList);
    while (link != end) {
        RwLLLink *next = RwLLLinkGetNext(link);
        RwFramedObject *object = RwLLLinkGetData(link, RwFramedObject, lFrame);
        if (object->sync != nullptr) {
            object->sync(object);
        }
        link = next;
    }
}

// Parents are always finished before their children, so each product
// reads an up-to-date parent LTM. `inherited` carries the stale-LTM bit of
// every ancestor down the tree.
static void UpdateChildLTMs(RwFrame *parent, RwUInt32 inherited)
{
    for (RwFrame *child = parent->child; child != nullptr; child = child->next) {
        const RwUInt32 flags = child->object.privateFlags | inherited;
        if (flags & rwFRAMEPRIVATESUBTREESYNCLTM) {
            RwMatrixMultiply(&child->ltm, &child->modelling, &parent->ltm);
            child->object.privateFlags &= static_cast<RwUInt8>(~rwFRAMEPRIVATESUBTREESYNCLTM);
        }
        UpdateChildLTMs(child, flags);
    }
}

// Only the matrices: objects stay pending (the root keeps its object bit
// and its place in the dirty list) until the next full synchronisation.
RwMatrix *RwFrameGetLTM(RwFrame *frame)
{
    RwFrame *root = frame->root;
    if (root->object.privateFlags & rwFRAMEPRIVATEHIERARCHYSYNCLTM) {
        if (root->object.privateFlags & rwFRAMEPRIVATESUBTREESYNCLTM) {
            root->ltm = root->modelling;
        }
        UpdateChildLTMs(root, root->object.privateFlags);
        root->object.privateFlags &=
            static_cast<RwUInt8>(~(rwFRAMEPRIVATEHIERARCHYSYNCLTM | rwFRAMEPRIVATESUBTREESYNCLTM));
    }
    return &frame->ltm;
}

static void SyncChildren(RwFrame *parent, RwUInt32 inherited)
{
    for (RwFrame *child = parent->child; child != nullptr; child = child->next) {
        const RwUInt32 flags = child->object.privateFlags | inherited;
        if (flags & rwFRAMEPRIVATESUBTREESYNCLTM) {
            RwMatrixMultiply(&child->ltm, &child->modelling, &parent->ltm);
        }
        CallObjectSyncs(child);
        child->object.privateFlags &= static_cast<RwUInt8>(~rwFRAMEPRIVATESUBTREESYNC);
        SyncChildren(child, flags);
    }
}

static void SyncObjectsOnly(RwFrame *parent)
{
    for (RwFrame *child = parent->child; child != nullptr; child = child->next) {
        CallObjectSyncs(child);
        child->object.privateFlags &= static_cast<RwUInt8>(~rwFRAMEPRIVATESUBTREESYNCOBJ);
        SyncObjectsOnly(child);
    }
}

static void SyncHierarchy(RwFrame *root)
{
    if (root->object.privateFlags & rwFRAMEPRIVATEHIERARCHYSYNCLTM) {
        const RwUInt32 rootStale = root->object.privateFlags & rwFRAMEPRIVATESUBTREESYNCLTM;
        if (rootStale) {
            root->ltm = root->modelling;
        }
        CallObjectSyncs(root);
        SyncChildren(root, rootStale);
    } else {
        CallObjectSyncs(root);
        SyncObjectsOnly(root);
    }
    root->object.privateFlags &= 0xF0;
}

// Roots are taken from the head of the list one at a time, so a root that
// an object callback dirties while the list is being walked is still
// synchronised (or stays listed) rather than left flagged but unlisted.
RwBool RwFrameSyncDirty(void)
{
    RwLinkList *dirty = &RwEngineInst->dirtyFrameList;
    while (!RwLinkListEmpty(dirty)) {
        RwLLLink *link = RwLinkListGetFirstLLLink(dirty);
        RwLLLinkRemove(link);
        RwLLLinkInitialize(link);
        SyncHierarchy(RwLLLinkGetData(link, RwFrame, inDirtyListLink));
    }
    return TRUE;
}
