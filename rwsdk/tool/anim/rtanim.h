// Animation toolkit: keyframe animations read from streams, the registry of
// keyframe interpolation schemes, and the interpolator that plays one
// animation over a fixed set of nodes (time steps both ways, wrap and
// time callbacks, blending and copying between interpolators).
//
// Keyframes and interpolated node records link to each other by 32-bit
// keyframe indices, never by pointers: a keyframe keeps the byte size it has
// in a file, so a scheme's record sizes mean the same on every build.
#pragma once

#include "rwmatrix.h"
#include "rwtypes.h"

struct RwStream;

static constexpr RwUInt32 rtANIMPLUGINID = 0x1B7;
// Chunk type that frames an animation body in files made by our tools.
static constexpr RwUInt32 rwID_ANIMANIMATION = 0x1B;
static constexpr RwUInt32 rtANIMSTREAMCURRENTVERSION = 0x100;
static constexpr RwInt32 rtANIMMAXSCHEMES = 16;

// Private error codes of the toolkit (plug-in id 0x1B7).
static constexpr RwInt32 E_RT_ANIM_SCHEMEEXISTS = 0;
static constexpr RwInt32 E_RT_ANIM_TOOMANYSCHEMES = 1;
static constexpr RwInt32 E_RT_ANIM_SCHEMEUNKNOWN = 2;

// Every keyframe begins with this: the index of the previous keyframe of
// the same node in the animation's array, and the keyframe's time.
struct RtAnimKeyFrameHeader {
    RwUInt32 prevFrame;
    RwReal time;
};

// Every node record of an interpolator begins with this: the indices of
// the two keyframes whose interval the node is in.
struct RtAnimInterpFrameHeader {
    RwUInt32 keyFrame1;
    RwUInt32 keyFrame2;
};

struct RtAnimAnimation;
struct RtAnimInterpolator;

typedef void (*RtAnimKeyFrameApplyCallBack)(void *matrix, void *voidIFrame);
typedef void (*RtAnimKeyFrameBlendCallBack)(void *voidOut, void *voidIn1, void *voidIn2, RwReal alpha);
typedef void (*RtAnimKeyFrameInterpolateCallBack)(void *voidOut, void *voidIn1, void *voidIn2, RwReal time,
                                                  void *customData);
typedef void (*RtAnimKeyFrameAddCallBack)(void *voidOut, void *voidIn1, void *voidIn2);
typedef void (*RtAnimKeyFrameMulRecipCallBack)(void *voidFrame, void *voidStart);
typedef RtAnimAnimation *(*RtAnimKeyFrameStreamReadCallBack)(RwStream *stream, RtAnimAnimation *animation);
typedef RwBool (*RtAnimKeyFrameStreamWriteCallBack)(const RtAnimAnimation *animation, RwStream *stream);
typedef RwInt32 (*RtAnimKeyFrameStreamGetSizeCallBack)(const RtAnimAnimation *animation);
typedef RtAnimInterpolator *(*RtAnimCallBack)(RtAnimInterpolator *interpolator, void *data);

struct RtAnimInterpolatorInfo {
    RwInt32 typeID;
    RwInt32 interpKeyFrameSize;
    RwInt32 animKeyFrameSize;
    RtAnimKeyFrameApplyCallBack keyFrameApplyCB;
    RtAnimKeyFrameBlendCallBack keyFrameBlendCB;
    RtAnimKeyFrameInterpolateCallBack keyFrameInterpolateCB;
    RtAnimKeyFrameAddCallBack keyFrameAddCB;
    RtAnimKeyFrameMulRecipCallBack keyFrameMulRecipCB;
    RtAnimKeyFrameStreamReadCallBack keyFrameStreamReadCB;
    RtAnimKeyFrameStreamWriteCallBack keyFrameStreamWriteCB;
    RtAnimKeyFrameStreamGetSizeCallBack keyFrameStreamGetSizeCB;
    RwInt32 customDataSize;
};
typedef RtAnimInterpolatorInfo RtAnimInterpolationScheme;

// One allocation: this header, the keyframes, then the scheme's custom data.
struct RtAnimAnimation {
    RtAnimInterpolatorInfo *interpInfo;
    RwInt32 numFrames;
    RwUInt32 flags;
    RwReal duration;
    void *pFrames;
    void *customData;
};

// No next keyframe: the next forward step starts its walk afresh.
static constexpr RwInt32 rtANIMNOKEYFRAME = -1;

// One allocation: this header, then numNodes records of maxKeyFrameSize bytes.
struct RtAnimInterpolator {
    RtAnimAnimation *pCurrentAnim;
    RwReal currentTime;
    RwInt32 pNextFrame;  // keyframe index, rtANIMNOKEYFRAME for none
    RtAnimCallBack pAnimCallBack;
    void *pAnimCallBackData;
    RwReal animCallBackTime;
    RtAnimCallBack pAnimLoopCallBack;
    void *pAnimLoopCallBackData;
    RwInt32 maxKeyFrameSize;
    RwInt32 currentInterpKeyFrameSize;
    RwInt32 currentAnimKeyFrameSize;
    RwInt32 numNodes;
    RwInt32 isSubInterpolator;
    RwInt32 offsetInParent;
    RtAnimInterpolator *parentAnimation;
    RtAnimKeyFrameApplyCallBack keyFrameApplyCB;
    RtAnimKeyFrameBlendCallBack keyFrameBlendCB;
    RtAnimKeyFrameInterpolateCallBack keyFrameInterpolateCB;
    RtAnimKeyFrameAddCallBack keyFrameAddCB;
};

// Toolkit life: registers its engine block (call before RwEngineOpen).
RwBool RtAnimToolkitInitialize(void);
RwInt32 RtAnimRegisterInterpolationScheme(const RtAnimInterpolatorInfo *scheme);
// The registered scheme with this id, or null.
RtAnimInterpolatorInfo *RtAnimGetInterpolatorInfo(RwInt32 typeID);

// Animations. The reader takes the body after the caller read the chunk
// header; the writer writes a whole chunk of type rwID_ANIMANIMATION.
RtAnimAnimation *RtAnimAnimationCreate(RwInt32 typeID, RwInt32 numFrames, RwUInt32 flags, RwReal duration);
RtAnimAnimation *RtAnimAnimationStreamRead(RwStream *stream);
RtAnimAnimation *RtAnimAnimationDestroy(RtAnimAnimation *animation);
const RtAnimAnimation *RtAnimAnimationStreamWrite(const RtAnimAnimation *animation, RwStream *stream);
RwInt32 RtAnimAnimationStreamGetSize(const RtAnimAnimation *animation);  // body and header
inline void *RtAnimAnimationGetKeyFrame(const RtAnimAnimation *animation, RwInt32 index)
{
    return static_cast<RwUInt8 *>(animation->pFrames) + static_cast<size_t>(index) *
                                                            static_cast<size_t>(animation->interpInfo->animKeyFrameSize);
}

// Interpolators.
RtAnimInterpolator *RtAnimInterpolatorCreate(RwInt32 numNodes, RwInt32 maxKeyFrameSize);
void RtAnimInterpolatorDestroy(RtAnimInterpolator *interpolator);
// Refuses (0, E_RW_NULLP reported) an animation whose records do not fit
// this interpolator, whose duration is not positive, or whose keyframes do
// not give every node a first and second keyframe in order.
RwBool RtAnimInterpolatorSetCurrentAnim(RtAnimInterpolator *interpolator, RtAnimAnimation *animation);
RwBool RtAnimInterpolatorAddTime(RtAnimInterpolator *interpolator, RwReal deltaTime);
RwBool RtAnimInterpolatorSubTime(RtAnimInterpolator *interpolator, RwReal deltaTime);
RwBool RtAnimInterpolatorSetCurrentTime(RtAnimInterpolator *interpolator, RwReal time);
RwBool RtAnimInterpolatorBlend(RtAnimInterpolator *out, RtAnimInterpolator *in1, RtAnimInterpolator *in2,
                               RwReal alpha);
RwBool RtAnimInterpolatorCopy(RtAnimInterpolator *destination, RtAnimInterpolator *source);
RtAnimInterpolator *RtAnimInterpolatorSetAnimCallBack(RtAnimInterpolator *interpolator, RtAnimCallBack callback,
                                                      RwReal time, void *data);
RtAnimInterpolator *RtAnimInterpolatorSetAnimLoopCallBack(RtAnimInterpolator *interpolator,
                                                          RtAnimCallBack callback, void *data);

inline void *RtAnimInterpolatorGetNodeRecord(RtAnimInterpolator *interpolator, RwInt32 node)
{
    return reinterpret_cast<RwUInt8 *>(interpolator + 1) +
           static_cast<size_t>(node) * static_cast<size_t>(interpolator->currentInterpKeyFrameSize);
}
