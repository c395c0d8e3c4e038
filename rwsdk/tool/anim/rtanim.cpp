// The animation toolkit's scheme registry and animations: registration of
// keyframe schemes, reading, writing and freeing animations. An animation is
// one block (header, keyframes, custom data); its size is weighed against
// what the stream still holds before anything is allocated.
#include <cmath>
#include <cstring>

#include "rtanim.h"
#include "rwcore.h"

namespace {

// The registry lives in static storage: schemes register at engine open,
// after the toolkit's own open has emptied it.
RtAnimInterpolatorInfo schemes[rtANIMMAXSCHEMES];
RwInt32 numSchemes = 0;

// No single animation may claim more keyframes than this, whatever its
// stream claims (a file stream has no bound to weigh the count against).
constexpr RwInt32 kMaxKeyFrames = 1 << 22;
constexpr RwInt32 kMaxCustomData = 1 << 16;

void *ToolkitOpen(void *instance, RwInt32, RwInt32)
{
    numSchemes = 0;
    return instance;
}

void *ToolkitClose(void *instance, RwInt32, RwInt32)
{
    numSchemes = 0;
    return instance;
}

size_t AnimationBytes(const RtAnimInterpolatorInfo *scheme, RwInt32 numFrames)
{
    return sizeof(RtAnimAnimation) + static_cast<size_t>(numFrames) * static_cast<size_t>(scheme->animKeyFrameSize) +
           static_cast<size_t>(scheme->customDataSize > 0 ? scheme->customDataSize : 0);
}

}  // namespace

RwBool RtAnimToolkitInitialize(void)
{
    return RwEngineRegisterPlugin(0, rtANIMPLUGINID, ToolkitOpen, ToolkitClose) >= 0;
}

RwInt32 RtAnimRegisterInterpolationScheme(const RtAnimInterpolatorInfo *scheme)
{
    if (scheme == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return 0;
    }
    if (numSchemes >= rtANIMMAXSCHEMES) {
        RwErrorReport(rtANIMPLUGINID, E_RT_ANIM_TOOMANYSCHEMES);
        return 0;
    }
    if (RtAnimGetInterpolatorInfo(scheme->typeID) != nullptr) {
        RwErrorReport(rtANIMPLUGINID, E_RT_ANIM_SCHEMEEXISTS);
        return 0;
    }
    // A scheme whose records cannot hold the links the interpolator keeps
    // in them would be written past its ends.
    if (scheme->interpKeyFrameSize < static_cast<RwInt32>(sizeof(RtAnimInterpFrameHeader)) ||
        scheme->animKeyFrameSize < static_cast<RwInt32>(sizeof(RtAnimKeyFrameHeader)) ||
        scheme->customDataSize < 0 || scheme->customDataSize > kMaxCustomData) {
        RwErrorReportCommon(E_RW_NULLP);
        return 0;
    }
    schemes[numSchemes++] = *scheme;
    return 1;
}

RtAnimInterpolatorInfo *RtAnimGetInterpolatorInfo(RwInt32 typeID)
{
    for (RwInt32 i = 0; i < numSchemes; ++i) {
        if (schemes[i].typeID == typeID) {
            return &schemes[i];
        }
    }
    return nullptr;
}

RtAnimAnimation *RtAnimAnimationCreate(RwInt32 typeID, RwInt32 numFrames, RwUInt32 flags, RwReal duration)
{
    RtAnimInterpolatorInfo *scheme = RtAnimGetInterpolatorInfo(typeID);
    if (scheme == nullptr) {
        RwErrorReport(rtANIMPLUGINID, E_RT_ANIM_SCHEMEUNKNOWN);
        return nullptr;
    }
    if (numFrames < 0 || numFrames > kMaxKeyFrames) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    size_t bytes = AnimationBytes(scheme, numFrames);
    auto *animation = static_cast<RtAnimAnimation *>(RwMalloc(bytes));
    if (animation == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(animation, 0, bytes);
    animation->interpInfo = scheme;
    animation->numFrames = numFrames;
    animation->flags = flags;
    animation->duration = duration;
    animation->pFrames = animation + 1;
    animation->customData =
        scheme->customDataSize >= 1
            ? static_cast<RwUInt8 *>(animation->pFrames) + static_cast<size_t>(numFrames) * scheme->animKeyFrameSize
            : nullptr;
    return animation;
}

RtAnimAnimation *RtAnimAnimationStreamRead(RwStream *stream)
{
    RwUInt32 version = 0;
    RwInt32 typeID = 0;
    if (stream == nullptr || !RwStreamReadUInt32(stream, &version) || version != rtANIMSTREAMCURRENTVERSION ||
        !RwStreamReadInt32(stream, &typeID)) {
        return nullptr;
    }
    RtAnimInterpolatorInfo *scheme = RtAnimGetInterpolatorInfo(typeID);
    if (scheme == nullptr) {
        RwErrorReport(rtANIMPLUGINID, E_RT_ANIM_SCHEMEUNKNOWN);
        return nullptr;
    }
    RwInt32 numFrames = 0;
    RwUInt32 flags = 0;
    RwReal duration = 0.0f;
    if (!RwStreamReadInt32(stream, &numFrames) || !RwStreamReadUInt32(stream, &flags) ||
        !RwStreamReadReal(stream, &duration)) {
        return nullptr;
    }
    if (numFrames < 0 || numFrames > kMaxKeyFrames) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    // What the keyframes take in the stream must still be there: a hostile
    // count would otherwise size the block before the short read shows.
    RtAnimAnimation probe{scheme, numFrames, flags, duration, nullptr, nullptr};
    RwInt32 bodyBytes = scheme->keyFrameStreamGetSizeCB != nullptr ? scheme->keyFrameStreamGetSizeCB(&probe) : 0;
    if (bodyBytes < 0 || static_cast<RwUInt64>(bodyBytes) > RwStreamBytesLeft(stream)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RtAnimAnimation *animation = RtAnimAnimationCreate(typeID, numFrames, flags, duration);
    if (animation == nullptr) {
        return nullptr;
    }
    if (scheme->keyFrameStreamReadCB == nullptr || scheme->keyFrameStreamReadCB(stream, animation) == nullptr) {
        RwFree(animation);
        return nullptr;
    }
    return animation;
}

RtAnimAnimation *RtAnimAnimationDestroy(RtAnimAnimation *animation)
{
    if (animation != nullptr) {
        RwFree(animation);
    }
    return animation;
}

RwInt32 RtAnimAnimationStreamGetSize(const RtAnimAnimation *animation)
{
    const RtAnimInterpolatorInfo *scheme = animation->interpInfo;
    RwInt32 body = scheme->keyFrameStreamGetSizeCB != nullptr ? scheme->keyFrameStreamGetSizeCB(animation) : 0;
    return static_cast<RwInt32>(rwCHUNKHEADERSIZE) + 20 + body;
}

const RtAnimAnimation *RtAnimAnimationStreamWrite(const RtAnimAnimation *animation, RwStream *stream)
{
    if (animation == nullptr || stream == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    const RtAnimInterpolatorInfo *scheme = animation->interpInfo;
    RwUInt32 body = static_cast<RwUInt32>(RtAnimAnimationStreamGetSize(animation)) - rwCHUNKHEADERSIZE;
    if (RwStreamWriteChunkHeaderDefault(stream, rwID_ANIMANIMATION, body) == nullptr ||
        RwStreamWriteUInt32(stream, rtANIMSTREAMCURRENTVERSION) == nullptr ||
        RwStreamWriteInt32(stream, scheme->typeID) == nullptr ||
        RwStreamWriteInt32(stream, animation->numFrames) == nullptr ||
        RwStreamWriteUInt32(stream, animation->flags) == nullptr ||
        RwStreamWriteReal(stream, animation->duration) == nullptr) {
        return nullptr;
    }
    if (scheme->keyFrameStreamWriteCB == nullptr || !scheme->keyFrameStreamWriteCB(animation, stream)) {
        return nullptr;
    }
    return animation;
}
