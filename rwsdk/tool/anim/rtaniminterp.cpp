// The interpolator: plays one animation over its nodes. Forward steps fetch
// keyframes incrementally, backward steps walk each node's previous-keyframe
// links; both wrap at the animation's ends and fire the time and loop
// callbacks. Every walk is bounded by the checks made when the animation
// is set, so misordered or hostile keyframes cannot make it spin or stray.
#include <cmath>
#include <cstring>

#include "rtanim.h"
#include "rwcore.h"

namespace {

RtAnimKeyFrameHeader *KeyFrame(const RtAnimAnimation *animation, RwUInt32 index)
{
    return static_cast<RtAnimKeyFrameHeader *>(RtAnimAnimationGetKeyFrame(animation, static_cast<RwInt32>(index)));
}

RtAnimInterpFrameHeader *Node(RtAnimInterpolator *interpolator, RwInt32 node)
{
    return static_cast<RtAnimInterpFrameHeader *>(RtAnimInterpolatorGetNodeRecord(interpolator, node));
}

// True when the keyframes can be played over `numNodes` nodes: each node
// has a first and a second keyframe where the order puts them, and every
// later keyframe links back to an earlier one (which bounds the backward
// walk and keeps every link inside the array).
RwBool KeyFramesPlayable(const RtAnimAnimation *animation, RwInt32 numNodes)
{
    if (animation->numFrames < 2 * numNodes) {
        return FALSE;
    }
    for (RwInt32 i = 0; i < numNodes; ++i) {
        if (KeyFrame(animation, static_cast<RwUInt32>(numNodes + i))->prevFrame != static_cast<RwUInt32>(i)) {
            return FALSE;
        }
    }
    for (RwInt32 k = numNodes; k < animation->numFrames; ++k) {
        if (KeyFrame(animation, static_cast<RwUInt32>(k))->prevFrame >= static_cast<RwUInt32>(k)) {
            return FALSE;
        }
    }
    return TRUE;
}

void Interpolate(RtAnimInterpolator *interpolator, RwInt32 node)
{
    RtAnimAnimation *animation = interpolator->pCurrentAnim;
    RtAnimInterpFrameHeader *record = Node(interpolator, node);
    interpolator->keyFrameInterpolateCB(record, KeyFrame(animation, record->keyFrame1),
                                        KeyFrame(animation, record->keyFrame2), interpolator->currentTime,
                                        animation->customData);
}

// Puts every node on its first interval at time 0.
void Seed(RtAnimInterpolator *interpolator)
{
    RtAnimAnimation *animation = interpolator->pCurrentAnim;
    RtAnimInterpolatorInfo *scheme = animation->interpInfo;
    RwInt32 n = interpolator->numNodes;
    interpolator->currentTime = 0.0f;
    interpolator->currentInterpKeyFrameSize = scheme->interpKeyFrameSize;
    interpolator->currentAnimKeyFrameSize = scheme->animKeyFrameSize;
    interpolator->keyFrameApplyCB = scheme->keyFrameApplyCB;
    interpolator->keyFrameBlendCB = scheme->keyFrameBlendCB;
    interpolator->keyFrameInterpolateCB = scheme->keyFrameInterpolateCB;
    interpolator->keyFrameAddCB = scheme->keyFrameAddCB;
    for (RwInt32 i = 0; i < n; ++i) {
        scheme->keyFrameInterpolateCB(Node(interpolator, i), KeyFrame(animation, static_cast<RwUInt32>(i)),
                                      KeyFrame(animation, static_cast<RwUInt32>(n + i)), 0.0f,
                                      animation->customData);
    }
    for (RwInt32 i = 0; i < n; ++i) {
        Node(interpolator, i)->keyFrame1 = static_cast<RwUInt32>(i);
        Node(interpolator, i)->keyFrame2 = static_cast<RwUInt32>(n + i);
    }
    interpolator->pNextFrame = 2 * n;
}

void FireCallBacks(RtAnimInterpolator *interpolator, RwBool fireAnim, RwBool looped)
{
    if (fireAnim && interpolator->pAnimCallBack != nullptr &&
        interpolator->pAnimCallBack(interpolator, interpolator->pAnimCallBackData) == nullptr) {
        interpolator->pAnimCallBack = nullptr;
    }
    if (looped && interpolator->pAnimLoopCallBack != nullptr &&
        interpolator->pAnimLoopCallBack(interpolator, interpolator->pAnimLoopCallBackData) == nullptr) {
        interpolator->pAnimLoopCallBack = nullptr;
    }
}

// Fetches every keyframe whose predecessor's time has been reached. The
// node search resumes where the last one succeeded and gives up after one
// round: a keyframe whose predecessor no node is on is skipped.
void WalkForward(RtAnimInterpolator *interpolator)
{
    RtAnimAnimation *animation = interpolator->pCurrentAnim;
    RwInt32 n = interpolator->numNodes;
    RwInt32 j = 0;
    while (interpolator->pNextFrame < animation->numFrames) {
        RwUInt32 k = static_cast<RwUInt32>(interpolator->pNextFrame);
        RwUInt32 p = KeyFrame(animation, k)->prevFrame;
        if (KeyFrame(animation, p)->time > interpolator->currentTime) {
            break;
        }
        for (RwInt32 tries = 0; tries < n; ++tries) {
            RtAnimInterpFrameHeader *record = Node(interpolator, j);
            if (record->keyFrame2 == p) {
                record->keyFrame1 = record->keyFrame2;
                record->keyFrame2 = k;
                break;
            }
            j = (j + 1 == n) ? 0 : j + 1;
        }
        ++interpolator->pNextFrame;
    }
}

RwBool Playing(const RtAnimInterpolator *interpolator)
{
    return interpolator != nullptr && interpolator->pCurrentAnim != nullptr;
}

// -1: there is no animation to step; 0: the step changes nothing (not
// positive, or not finite); 1: step.
RwInt32 StepWanted(const RtAnimInterpolator *interpolator, RwReal deltaTime)
{
    if (!Playing(interpolator)) {
        return -1;
    }
    return deltaTime > 0.0f && std::isfinite(deltaTime) ? 1 : 0;
}

}  // namespace

RtAnimInterpolator *RtAnimInterpolatorCreate(RwInt32 numNodes, RwInt32 maxKeyFrameSize)
{
    if (numNodes < 0 || maxKeyFrameSize < static_cast<RwInt32>(sizeof(RtAnimInterpFrameHeader)) ||
        static_cast<RwInt64>(numNodes) * maxKeyFrameSize > (static_cast<RwInt64>(1) << 30)) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    size_t bytes = sizeof(RtAnimInterpolator) + static_cast<size_t>(numNodes) * static_cast<size_t>(maxKeyFrameSize);
    auto *interpolator = static_cast<RtAnimInterpolator *>(RwMalloc(bytes));
    if (interpolator == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(interpolator, 0, bytes);
    interpolator->pNextFrame = rtANIMNOKEYFRAME;
    interpolator->animCallBackTime = -1.0f;
    interpolator->maxKeyFrameSize = maxKeyFrameSize;
    interpolator->currentInterpKeyFrameSize = maxKeyFrameSize;
    interpolator->currentAnimKeyFrameSize = -1;
    interpolator->numNodes = numNodes;
    interpolator->parentAnimation = interpolator;
    return interpolator;
}

void RtAnimInterpolatorDestroy(RtAnimInterpolator *interpolator)
{
    if (interpolator != nullptr) {
        RwFree(interpolator);
    }
}

RwBool RtAnimInterpolatorSetCurrentAnim(RtAnimInterpolator *interpolator, RtAnimAnimation *animation)
{
    if (interpolator == nullptr || animation == nullptr || animation->interpInfo == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return FALSE;
    }
    // The wrap needs a positive, finite length; the node records must fit
    // the room reserved for them; the keyframe order must hold.
    if (!(animation->duration > 0.0f) || !std::isfinite(animation->duration) ||
        animation->interpInfo->interpKeyFrameSize > interpolator->maxKeyFrameSize ||
        !KeyFramesPlayable(animation, interpolator->numNodes)) {
        RwErrorReportCommon(E_RW_NULLP);
        return FALSE;
    }
    interpolator->pCurrentAnim = animation;
    Seed(interpolator);
    return TRUE;
}

RwBool RtAnimInterpolatorAddTime(RtAnimInterpolator *interpolator, RwReal deltaTime)
{
    RwInt32 wanted = StepWanted(interpolator, deltaTime);
    if (wanted <= 0) {
        return wanted == 0;
    }
    RwReal duration = interpolator->pCurrentAnim->duration;
    RwReal callBackTime = interpolator->animCallBackTime;
    RwBool fireAnim = interpolator->currentTime < callBackTime && interpolator->currentTime + deltaTime >= callBackTime;
    RwBool looped = FALSE;
    interpolator->currentTime += deltaTime;
    if (interpolator->currentTime > duration) {
        // Subtracting whole lengths one at a time never ends once the time
        // dwarfs the length; the remainder gives the same landing point.
        RwReal unwrapped = interpolator->currentTime;
        RwReal wrapped = std::fmod(unwrapped, duration);
        if (wrapped == 0.0f) {
            wrapped = duration;
        }
        // The values the subtraction passes through fall from t - D down to
        // the landing point, so the first of them decides the time test.
        fireAnim = fireAnim || (unwrapped - duration >= callBackTime) || (wrapped >= callBackTime);
        looped = TRUE;
        Seed(interpolator);
        interpolator->currentTime = wrapped;
    }
    if (interpolator->pNextFrame == rtANIMNOKEYFRAME) {
        RwReal time = interpolator->currentTime;
        Seed(interpolator);
        interpolator->currentTime = time;
    }
    WalkForward(interpolator);
    for (RwInt32 i = 0; i < interpolator->numNodes; ++i) {
        Interpolate(interpolator, i);
    }
    FireCallBacks(interpolator, fireAnim, looped);
    return TRUE;
}

RwBool RtAnimInterpolatorSubTime(RtAnimInterpolator *interpolator, RwReal deltaTime)
{
    RwInt32 wanted = StepWanted(interpolator, deltaTime);
    if (wanted <= 0) {
        return wanted == 0;
    }
    RtAnimAnimation *animation = interpolator->pCurrentAnim;
    RwReal duration = animation->duration;
    RwReal callBackTime = interpolator->animCallBackTime;
    RwBool fireAnim = interpolator->currentTime > callBackTime && interpolator->currentTime - deltaTime <= callBackTime;
    RwBool looped = FALSE;
    interpolator->currentTime -= deltaTime;
    if (interpolator->currentTime < 0.0f) {
        RwReal wrapped = std::fmod(interpolator->currentTime, duration);
        if (wrapped < 0.0f) {
            wrapped += duration;
        }
        if (!(wrapped >= 0.0f)) {
            wrapped = 0.0f;
        }
        Seed(interpolator);
        RtAnimInterpolatorAddTime(interpolator, wrapped);
        fireAnim = fireAnim || interpolator->currentTime < callBackTime;
        looped = TRUE;
    } else {
        RwInt32 n = interpolator->numNodes;
        for (RwInt32 i = 0; i < n; ++i) {
            RtAnimInterpFrameHeader *record = Node(interpolator, i);
            // A first keyframe (index below the node count) has no
            // predecessor; every other links strictly backwards.
            while (record->keyFrame1 >= static_cast<RwUInt32>(n) &&
                   interpolator->currentTime < KeyFrame(animation, record->keyFrame1)->time) {
                record->keyFrame2 = record->keyFrame1;
                record->keyFrame1 = KeyFrame(animation, record->keyFrame1)->prevFrame;
            }
            Interpolate(interpolator, i);
        }
        interpolator->pNextFrame = rtANIMNOKEYFRAME;
    }
    FireCallBacks(interpolator, fireAnim, looped);
    return TRUE;
}

RwBool RtAnimInterpolatorSetCurrentTime(RtAnimInterpolator *interpolator, RwReal time)
{
    if (!Playing(interpolator)) {
        return FALSE;
    }
    RwReal difference = time - interpolator->currentTime;
    if (difference >= 0.0f) {
        return RtAnimInterpolatorAddTime(interpolator, difference);
    }
    return RtAnimInterpolatorSubTime(interpolator, -difference);
}

RwBool RtAnimInterpolatorBlend(RtAnimInterpolator *out, RtAnimInterpolator *in1, RtAnimInterpolator *in2,
                               RwReal alpha)
{
    if (out == nullptr || in1 == nullptr || in2 == nullptr || out->keyFrameBlendCB == nullptr ||
        in1->numNodes < out->numNodes || in2->numNodes < out->numNodes ||
        in1->currentInterpKeyFrameSize != out->currentInterpKeyFrameSize ||
        in2->currentInterpKeyFrameSize != out->currentInterpKeyFrameSize) {
        RwErrorReportCommon(E_RW_NULLP);
        return FALSE;
    }
    for (RwInt32 i = 0; i < out->numNodes; ++i) {
        out->keyFrameBlendCB(RtAnimInterpolatorGetNodeRecord(out, i), RtAnimInterpolatorGetNodeRecord(in1, i),
                             RtAnimInterpolatorGetNodeRecord(in2, i), alpha);
    }
    return TRUE;
}

RwBool RtAnimInterpolatorCopy(RtAnimInterpolator *destination, RtAnimInterpolator *source)
{
    if (destination == nullptr || source == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return FALSE;
    }
    size_t bytes = static_cast<size_t>(destination->numNodes) * destination->currentInterpKeyFrameSize;
    size_t available = static_cast<size_t>(source->numNodes) * source->maxKeyFrameSize;
    if (bytes > available) {
        RwErrorReportCommon(E_RW_NULLP);
        return FALSE;
    }
    std::memmove(destination + 1, source + 1, bytes);
    return TRUE;
}

RtAnimInterpolator *RtAnimInterpolatorSetAnimCallBack(RtAnimInterpolator *interpolator, RtAnimCallBack callback,
                                                      RwReal time, void *data)
{
    interpolator->pAnimCallBack = callback;
    interpolator->animCallBackTime = time;
    interpolator->pAnimCallBackData = data;
    return interpolator;
}

RtAnimInterpolator *RtAnimInterpolatorSetAnimLoopCallBack(RtAnimInterpolator *interpolator,
                                                          RtAnimCallBack callback, void *data)
{
    interpolator->pAnimLoopCallBack = callback;
    interpolator->pAnimLoopCallBackData = data;
    return interpolator;
}
