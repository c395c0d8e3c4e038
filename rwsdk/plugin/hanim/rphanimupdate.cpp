// The hierarchy's matrix update: turns every node's interpolated keyframe
// into a local matrix, chains the nodes through an explicit parent stack
// in depth-first order, and writes node matrices and, as the hierarchy's
// flags ask, the bound frames' modelling matrices and world matrices.
//
// The node flags of every well-formed skeleton pop once more than they
// push (the last leaf pops back past the root), so a pop on an empty stack
// gives the root parent; a stack never deeper than the node count holds
// every push.
#include <cstring>

#include "rphanim.h"
#include "rwcore.h"

namespace {

// Skeletons up to this size update without touching the heap.
constexpr RwInt32 kLocalStackDepth = 64;

// World matrix of `frame`'s parent, without synchronising a dirty one.
void ParentLTM(RwMatrix *out, RwFrame *frame)
{
    RwFrame *parent = frame != nullptr ? RwFrameGetParent(frame) : nullptr;
    if (parent == nullptr) {
        RwMatrixSetIdentity(out);
        return;
    }
    if (!RwFrameIsDirty(parent)) {
        *out = *RwFrameGetLTM(parent);
        return;
    }
    *out = parent->modelling;
    for (RwFrame *ancestor = RwFrameGetParent(parent); ancestor != nullptr; ancestor = RwFrameGetParent(ancestor)) {
        RwMatrix product;
        RwMatrixMultiply(&product, out, &ancestor->modelling);
        *out = product;
    }
}

// Lists the frames' root for object synchronisation without recomputing
// their world matrices, which this update writes itself.
void MarkRoot(RwFrame *frame)
{
    if (frame == nullptr) {
        return;
    }
    RwFrame *root = frame->root != nullptr ? frame->root : frame;
    if ((root->object.privateFlags & rwFRAMEPRIVATEHIERARCHYSYNC) == 0) {
        RwLinkListAddLLLink(&RwEngineInst->dirtyFrameList, &root->inDirtyListLink);
        root->object.privateFlags |= rwFRAMEPRIVATEHIERARCHYSYNCOBJ;
    }
}

void WriteFrame(RwFrame *frame, RwUInt32 flags, const RwMatrix &local, const RwMatrix &world)
{
    if (flags & rpHANIMHIERARCHYUPDATEMODELLINGMATRICES) {
        frame->modelling = local;
    }
    if (flags & rpHANIMHIERARCHYUPDATELTMS) {
        frame->ltm = world;
        frame->object.privateFlags =
            static_cast<RwUInt8>((frame->object.privateFlags & ~rwFRAMEPRIVATESUBTREESYNCLTM) |
                                 rwFRAMEPRIVATESUBTREESYNCOBJ);
    } else if (flags & rpHANIMHIERARCHYUPDATEMODELLINGMATRICES) {
        RwFrameMarkDirty(frame);
    }
}

// Where the chain of node matrices starts (`root`), and the matrix that
// takes local-space node matrices to world space (`toWorld`, only needed
// for frame world matrices of a local-space hierarchy).
void RootParent(const RpHAnimHierarchy *hierarchy, RwMatrix *root, RwMatrix *toWorld)
{
    RwUInt32 flags = hierarchy->flags;
    RwBool ltms = (flags & rpHANIMHIERARCHYUPDATELTMS) != 0;
    RwBool local = (flags & rpHANIMHIERARCHYLOCALSPACEMATRICES) != 0;
    RwMatrixSetIdentity(toWorld);
    if (flags & rpHANIMHIERARCHYNOMATRICES) {
        ParentLTM(root, hierarchy->parentFrame);
        return;
    }
    const RpHAnimHierarchy *parent = hierarchy->parentHierarchy;
    if ((flags & rpHANIMHIERARCHYSUBHIERARCHY) && hierarchy->rootParentOffset != -1 && parent != nullptr &&
        parent->pMatrixArray != nullptr && hierarchy->rootParentOffset >= 0 &&
        hierarchy->rootParentOffset < parent->numNodes) {
        *root = parent->pMatrixArray[hierarchy->rootParentOffset];
        if (ltms && local) {
            ParentLTM(toWorld, parent->parentFrame);
        }
        return;
    }
    if (local) {
        RwMatrixSetIdentity(root);
        if (ltms) {
            ParentLTM(toWorld, hierarchy->parentFrame);
        }
        return;
    }
    ParentLTM(root, hierarchy->parentFrame);
}

}  // namespace

RwBool RpHAnimHierarchyUpdateMatrices(RpHAnimHierarchy *hierarchy)
{
    if (hierarchy == nullptr || hierarchy->currentAnim == nullptr || hierarchy->pNodeInfo == nullptr ||
        hierarchy->currentAnim->keyFrameApplyCB == nullptr ||
        hierarchy->currentAnim->numNodes < hierarchy->numNodes) {
        RwErrorReportCommon(E_RW_NULLP);
        return FALSE;
    }
    RwUInt32 flags = hierarchy->flags;
    RwInt32 numNodes = hierarchy->numNodes;
    RwBool hasArray = !(flags & rpHANIMHIERARCHYNOMATRICES) && hierarchy->pMatrixArray != nullptr;
    RwBool toWorldNeeded = hasArray && (flags & rpHANIMHIERARCHYLOCALSPACEMATRICES);

    RwMatrix localStack[kLocalStackDepth];
    RwMatrix *stack = localStack;
    if (numNodes > kLocalStackDepth) {
        stack = static_cast<RwMatrix *>(RwMalloc(sizeof(RwMatrix) * static_cast<size_t>(numNodes)));
        if (stack == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return FALSE;
        }
    }

    RwMatrix rootParent;
    RwMatrix toWorld;
    RootParent(hierarchy, &rootParent, &toWorld);
    if (flags & rpHANIMHIERARCHYUPDATELTMS) {
        MarkRoot(hierarchy->parentFrame);
    }

    RtAnimInterpolator *interpolator = hierarchy->currentAnim;
    RwMatrix parent = rootParent;
    RwInt32 depth = 0;
    for (RwInt32 i = 0; i < numNodes; ++i) {
        RwMatrix local;
        std::memset(&local, 0, sizeof(local));
        interpolator->keyFrameApplyCB(&local, RtAnimInterpolatorGetNodeRecord(interpolator, i));
        RwMatrix node;
        RwMatrixMultiply(&node, &local, &parent);
        if (hasArray) {
            hierarchy->pMatrixArray[i] = node;
        }
        RwFrame *frame = hierarchy->pNodeInfo[i].pFrame;
        if (frame != nullptr) {
            if (toWorldNeeded) {
                RwMatrix world;
                RwMatrixMultiply(&world, &node, &toWorld);
                WriteFrame(frame, flags, local, world);
            } else {
                WriteFrame(frame, flags, local, node);
            }
        }
        switch (hierarchy->pNodeInfo[i].flags & (rpHANIMPOPPARENTMATRIX | rpHANIMPUSHPARENTMATRIX)) {
        case 0:
            parent = node;
            break;
        case rpHANIMPOPPARENTMATRIX:
            parent = depth > 0 ? stack[--depth] : rootParent;
            break;
        case rpHANIMPUSHPARENTMATRIX:
            // One push per node: the stack never needs more than numNodes.
            stack[depth++] = parent;
            parent = node;
            break;
        default:
            break;
        }
    }
    if (stack != localStack) {
        RwFree(stack);
    }
    return TRUE;
}
