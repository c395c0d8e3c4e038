// Hierarchical animation: a frame extension naming each animated frame's
// node and owning the hierarchy read with it, the hierarchy that binds an
// interpolator's nodes to a clump's frames, the matrix update that turns
// interpolated keyframes into node and frame matrices, and the standard
// keyframe scheme (rotation quaternion plus translation, scheme id 1).
#pragma once

#include "rtanim.h"
#include "rwframe.h"
#include "rwmatrix.h"
#include "rwtypes.h"

struct RwStream;

static constexpr RwUInt32 rpHANIMPLUGINID = 0x11E;
static constexpr RwUInt32 rpHANIMSTREAMCURRENTVERSION = 0x100;
static constexpr RwInt32 rpHANIMSTDKEYFRAMETYPEID = 1;

// Hierarchy flags.
static constexpr RwUInt32 rpHANIMHIERARCHYSUBHIERARCHY = 0x0001;
static constexpr RwUInt32 rpHANIMHIERARCHYNOMATRICES = 0x0002;
static constexpr RwUInt32 rpHANIMHIERARCHYUPDATEMODELLINGMATRICES = 0x1000;
static constexpr RwUInt32 rpHANIMHIERARCHYUPDATELTMS = 0x2000;
static constexpr RwUInt32 rpHANIMHIERARCHYLOCALSPACEMATRICES = 0x4000;

// Node flags: how the parent matrix of the next node is found.
static constexpr RwUInt32 rpHANIMPOPPARENTMATRIX = 0x01;
static constexpr RwUInt32 rpHANIMPUSHPARENTMATRIX = 0x02;

struct RtQuat {
    RwV3d imag;
    RwReal real;
};

// A keyframe of the standard scheme; prevFrame is the index of the
// previous keyframe of the same node.
struct RpHAnimStdKeyFrame {
    RwUInt32 prevFrame;
    RwReal time;
    RtQuat q;
    RwV3d t;
};
static_assert(sizeof(RpHAnimStdKeyFrame) == 36, "a standard keyframe keeps its file size");
typedef RpHAnimStdKeyFrame RpHAnimStandardKeyFrame;

// A node record of an interpolator under the standard scheme.
struct RpHAnimInterpFrame {
    RwUInt32 keyFrame1;
    RwUInt32 keyFrame2;
    RtQuat q;
    RwV3d t;
};
static_assert(sizeof(RpHAnimInterpFrame) == 36, "a node record keeps its reserved size");

struct RpHAnimNodeInfo {
    RwInt32 nodeID;
    RwInt32 nodeIndex;
    RwUInt32 flags;
    RwFrame *pFrame;
};

struct RpHAnimHierarchy {
    RwUInt32 flags;
    RwInt32 numNodes;
    RwMatrix *pMatrixArray;
    void *pMatrixArrayUnaligned;
    RpHAnimNodeInfo *pNodeInfo;
    RwFrame *parentFrame;
    RpHAnimHierarchy *parentHierarchy;
    RwInt32 rootParentOffset;
    RtAnimInterpolator *currentAnim;
};

// The frame extension.
struct RpHAnimFrameExtension {
    RwInt32 id;
    RpHAnimHierarchy *hierarchy;
};

RwBool RpHAnimPluginAttach(void);

RpHAnimHierarchy *RpHAnimHierarchyCreate(RwInt32 numNodes, const RwUInt32 *nodeFlags, const RwInt32 *nodeIDs,
                                         RwUInt32 flags, RwInt32 maxKeyFrameSize);
RpHAnimHierarchy *RpHAnimHierarchyCreateFromHierarchy(RpHAnimHierarchy *hierarchy, RwUInt32 flags,
                                                      RwInt32 maxKeyFrameSize);
RpHAnimHierarchy *RpHAnimHierarchyDestroy(RpHAnimHierarchy *hierarchy);
RpHAnimHierarchy *RpHAnimHierarchyAttach(RpHAnimHierarchy *hierarchy);
RpHAnimHierarchy *RpHAnimHierarchyDetach(RpHAnimHierarchy *hierarchy);
RwBool RpHAnimHierarchyUpdateMatrices(RpHAnimHierarchy *hierarchy);
RpHAnimHierarchy *RpHAnimFrameGetHierarchy(RwFrame *frame);
RwFrame *RpHAnimFrameSetHierarchy(RwFrame *frame, RpHAnimHierarchy *hierarchy);
RwInt32 RpHAnimFrameGetID(RwFrame *frame);
RwFrame *RpHAnimFrameSetID(RwFrame *frame, RwInt32 id);
// Index of the node with this id, -1 when none has it.
RwInt32 RpHAnimIDGetIndex(const RpHAnimHierarchy *hierarchy, RwInt32 id);
inline RwMatrix *RpHAnimHierarchyGetMatrixArray(RpHAnimHierarchy *h) { return h->pMatrixArray; }

// The standard scheme's callbacks.
void RpHAnimKeyFrameToMatrix(void *matrix, void *voidIFrame);
void RpHAnimKeyFrameBlend(void *voidOut, void *voidIn1, void *voidIn2, RwReal alpha);
void RpHAnimKeyFrameInterpolate(void *voidOut, void *voidIn1, void *voidIn2, RwReal time, void *customData);
void RpHAnimKeyFrameAdd(void *voidOut, void *voidIn1, void *voidIn2);
void RpHAnimKeyFrameMulRecip(void *voidFrame, void *voidStart);
RtAnimAnimation *RpHAnimKeyFrameStreamRead(RwStream *stream, RtAnimAnimation *animation);
RwBool RpHAnimKeyFrameStreamWrite(const RtAnimAnimation *animation, RwStream *stream);
RwInt32 RpHAnimKeyFrameStreamGetSize(const RtAnimAnimation *animation);
// The registry entry of the standard scheme.
const RtAnimInterpolatorInfo *RpHAnimStdKeyFrameGetInterpInfo(void);
