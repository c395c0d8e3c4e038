// The clump animation manager (see clump_anim_manager.h). Each record owns
// two interpolators beside the skeleton's own: one plays the motion, one
// keeps the pose shown when the motion changed; the skeleton's interpolator
// receives the shown pose (a copy of the motion, or the blend of the two)
// and the skeleton's matrix update turns it into frame and bone matrices.
#include "stage/clump_anim_manager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/locks.h"
#include "stage/anim_file.h"
#include "stage/model_frames.h"

namespace {

// Frames are compared with this much slack, so that a time set from a
// frame number reads back as at least that frame.
constexpr float kFrameSlack = 1e-3f;

std::string FileNameOf(const char *path)
{
    const char *name = path;
    for (const char *p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') {
            name = p + 1;
        }
    }
    return name;
}

float FrameSeconds(int32_t frame) { return static_cast<float>(frame) * kSecondsPerAnimFrame; }

void ClearInterpolatorAnimation(RtAnimInterpolator *interpolator)
{
    // The skeleton outlives the record; it must not keep pointing at an
    // animation that may be freed with its set, and its matrix update must
    // refuse rather than read it.
    interpolator->pCurrentAnim = nullptr;
    interpolator->pNextFrame = rtANIMNOKEYFRAME;
    interpolator->keyFrameApplyCB = nullptr;
    interpolator->keyFrameBlendCB = nullptr;
    interpolator->keyFrameInterpolateCB = nullptr;
    interpolator->keyFrameAddCB = nullptr;
}

RpAtomic *GiveSkeleton(RpAtomic *atomic, void *hierarchy)
{
    const RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    if (geometry != nullptr && RpSkinGeometryGetSkin(geometry) != nullptr) {
        RpSkinAtomicSetHierarchy(atomic, static_cast<RpHAnimHierarchy *>(hierarchy));
    }
    return atomic;
}

}  // namespace

void CSClumpAnimManager::ReleaseAll()
{
    for (size_t slot = 0; slot < clumps_.size(); ++slot) {
        if (clumps_[slot] != nullptr) {
            DestroyRecord(slot);
        }
    }
    clumps_.clear();
    slotOf_.clear();
    for (AnimInfo &info : anims_) {
        if (info.animation != nullptr) {
            RtAnimAnimationDestroy(info.animation);
        }
    }
    anims_.clear();
}

int32_t CSClumpAnimManager::FindAnimation(const char *name) const
{
    if (name == nullptr) {
        return -1;
    }
    for (size_t i = 0; i < anims_.size(); ++i) {
        if (anims_[i].animation != nullptr && anims_[i].name == name) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t CSClumpAnimManager::AddAnimation(const char *name, RtAnimAnimation *animation, MotionTable motions)
{
    if (animation == nullptr || name == nullptr) {
        if (animation != nullptr) {
            RtAnimAnimationDestroy(animation);
        }
        return -1;
    }
    const int32_t existing = FindAnimation(name);
    if (existing >= 0) {
        RtAnimAnimationDestroy(animation);
        ++anims_[static_cast<size_t>(existing)].uses;
        return existing;
    }
    auto free = std::find_if(anims_.begin(), anims_.end(), [](const AnimInfo &a) { return a.animation == nullptr; });
    if (free == anims_.end()) {
        free = anims_.insert(anims_.end(), AnimInfo{});
    }
    free->name = name;
    free->animation = animation;
    free->motions = std::move(motions);
    free->uses = 1;
    return static_cast<int32_t>(free - anims_.begin());
}

int32_t CSClumpAnimManager::LoadAMF(const char *path)
{
    if (path == nullptr) {
        return -1;
    }
    const std::string name = FileNameOf(path);
    const int32_t existing = FindAnimation(name.c_str());
    if (existing >= 0) {
        ++anims_[static_cast<size_t>(existing)].uses;
        return existing;
    }
    RtAnimAnimation *animation = ReadAnimationFile(path);
    if (animation == nullptr) {
        return -1;
    }
    return AddAnimation(name.c_str(), animation, ReadMotionTableBeside(path, animation->duration));
}

void CSClumpAnimManager::DropUse(int32_t animIndex)
{
    if (animIndex < 0) {
        return;
    }
    AnimInfo &info = anims_[static_cast<size_t>(animIndex)];
    if (info.animation == nullptr || --info.uses > 0) {
        return;
    }
    RtAnimAnimationDestroy(info.animation);
    info = AnimInfo{};
}

void CSClumpAnimManager::ReleaseAnimation(const char *name) { DropUse(FindAnimation(name)); }

const AnimInfo *CSClumpAnimManager::GetAnimInfo(int32_t index) const
{
    return index >= 0 && static_cast<size_t>(index) < anims_.size() ? &anims_[static_cast<size_t>(index)] : nullptr;
}

const ClumpInfo *CSClumpAnimManager::GetClumpInfo(int32_t index) const
{
    return index >= 0 && static_cast<size_t>(index) < clumps_.size() ? clumps_[static_cast<size_t>(index)].get()
                                                                     : nullptr;
}

ClumpInfo *CSClumpAnimManager::Find(const RpClump *clump) const
{
    const auto found = slotOf_.find(clump);
    return found != slotOf_.end() ? clumps_[found->second].get() : nullptr;
}

const MotionRange *CSClumpAnimManager::RangeOf(const ClumpInfo &info) const
{
    const AnimInfo *set = GetAnimInfo(info.animIndex);
    return set != nullptr ? set->motions.Find(info.motionIndex) : nullptr;
}

const MotionRange *CSClumpAnimManager::GetMotionRange(const RpClump *clump) const
{
    const ClumpInfo *info = Find(clump);
    return info != nullptr ? RangeOf(*info) : nullptr;
}

void CSClumpAnimManager::DestroyRecord(size_t slot)
{
    std::unique_ptr<ClumpInfo> info = std::move(clumps_[slot]);
    slotOf_.erase(info->clump);
    if (info->hierarchy != nullptr && info->hierarchy->currentAnim != nullptr) {
        ClearInterpolatorAnimation(info->hierarchy->currentAnim);
    }
    RtAnimInterpolatorDestroy(info->motion);
    RtAnimInterpolatorDestroy(info->blendFrom);
    DropUse(info->animIndex);
}

void CSClumpAnimManager::DissolveClump(RpClump *clump)
{
    const auto found = slotOf_.find(clump);
    if (found != slotOf_.end()) {
        DestroyRecord(found->second);
    }
}

uint32_t CSClumpAnimManager::AssignAnimation(RpClump *clump, const char *name)
{
    const int32_t animIndex = FindAnimation(name);
    RpHAnimHierarchy *hierarchy = GetClumpHierarchy(clump);
    if (animIndex < 0 || hierarchy == nullptr || hierarchy->currentAnim == nullptr) {
        return 0;
    }
    // The new use is counted before an old binding is given back, so that
    // rebinding to the same set never frees it on the way.
    AnimInfo &set = anims_[static_cast<size_t>(animIndex)];
    ++set.uses;
    DissolveClump(clump);

    auto info = std::make_unique<ClumpInfo>();
    const RwInt32 keyFrameSize = hierarchy->currentAnim->maxKeyFrameSize;
    info->motion = RtAnimInterpolatorCreate(hierarchy->numNodes, keyFrameSize);
    info->blendFrom = RtAnimInterpolatorCreate(hierarchy->numNodes, keyFrameSize);
    const bool playable = info->motion != nullptr && info->blendFrom != nullptr &&
                          RtAnimInterpolatorSetCurrentAnim(info->motion, set.animation) &&
                          RtAnimInterpolatorSetCurrentAnim(info->blendFrom, set.animation) &&
                          RtAnimInterpolatorSetCurrentAnim(hierarchy->currentAnim, set.animation);
    if (!playable) {
        RtAnimInterpolatorDestroy(info->motion);
        RtAnimInterpolatorDestroy(info->blendFrom);
        ClearInterpolatorAnimation(hierarchy->currentAnim);
        DropUse(animIndex);
        return 0;
    }
    RpClumpForAllAtomics(clump, GiveSkeleton, hierarchy);
    hierarchy->flags |= rpHANIMHIERARCHYUPDATEMODELLINGMATRICES;
    RpHAnimHierarchyAttach(hierarchy);

    info->name = set.name;
    info->clump = clump;
    info->restoreFrame = hierarchy->parentFrame;
    info->animIndex = animIndex;
    info->hierarchy = hierarchy;
    info->motionIndex = 0;
    const MotionRange *first = set.motions.Find(0);
    info->time = first != nullptr ? FrameSeconds(first->startFrame) : 0.0f;

    auto free = std::find(clumps_.begin(), clumps_.end(), nullptr);
    if (free == clumps_.end()) {
        free = clumps_.insert(clumps_.end(), nullptr);
    }
    *free = std::move(info);
    const size_t slot = static_cast<size_t>(free - clumps_.begin());
    slotOf_[clump] = slot;
    Pose(clumps_[slot].get());
    return static_cast<uint32_t>(slot + 1);
}

void CSClumpAnimManager::Pose(ClumpInfo *info)
{
    // The frame being drawn must not see a half-written skeleton.
    CSRenderLockGuard lock;
    const AnimInfo *set = GetAnimInfo(info->animIndex);
    // The toolkit wraps a time past the animation's length; a motion ending
    // on the last frame may round a hair beyond it.
    const float time = std::min(info->time, set->animation->duration);
    RtAnimInterpolatorSetCurrentTime(info->motion, time);
    RtAnimInterpolator *shown = info->hierarchy->currentAnim;
    if (info->blendDuration > 0.0f) {
        RtAnimInterpolatorBlend(shown, info->blendFrom, info->motion, info->blendElapsed / info->blendDuration);
    } else {
        RtAnimInterpolatorCopy(shown, info->motion);
    }
    RpHAnimHierarchyUpdateMatrices(info->hierarchy);
}

bool CSClumpAnimManager::ChangeMotion(RpClump *clump, int32_t index, float blendSeconds)
{
    ClumpInfo *info = Find(clump);
    const AnimInfo *set = info != nullptr ? GetAnimInfo(info->animIndex) : nullptr;
    const MotionRange *range = set != nullptr ? set->motions.Find(index) : nullptr;
    if (range == nullptr) {
        return false;
    }
    if (blendSeconds > 0.0f) {
        RtAnimInterpolatorCopy(info->blendFrom, info->hierarchy->currentAnim);
        info->blendDuration = blendSeconds;
    } else {
        info->blendDuration = 0.0f;
    }
    info->blendElapsed = 0.0f;
    info->motionIndex = index;
    info->time = FrameSeconds(range->startFrame);
    info->animationId = 0;
    if (!posesHeld_) {
        Pose(info);
    }
    return true;
}

void CSClumpAnimManager::UpdateClump(RpClump *clump, float seconds)
{
    ClumpInfo *info = Find(clump);
    const MotionRange *range = info != nullptr ? RangeOf(*info) : nullptr;
    if (range == nullptr) {
        return;
    }
    if (seconds > 0.0f) {
        const float end = FrameSeconds(range->endFrame);
        info->time += seconds;
        if (info->time >= end) {
            info->time = end;
            info->animationId = 1;
        }
        // A blend ends once its time has run; with none both stay at zero.
        info->blendElapsed += seconds;
        if (info->blendElapsed >= info->blendDuration) {
            info->blendDuration = 0.0f;
            info->blendElapsed = 0.0f;
        }
    }
    Pose(info);
}

int32_t CSClumpAnimManager::GetMotionIndex(const RpClump *clump) const
{
    const ClumpInfo *info = Find(clump);
    return info != nullptr ? info->motionIndex : -1;
}

uint32_t CSClumpAnimManager::GetAnimationId(const RpClump *clump) const
{
    const ClumpInfo *info = Find(clump);
    return info != nullptr ? info->animationId : 0;
}

float CSClumpAnimManager::GetMotionDuration(const RpClump *clump) const
{
    const MotionRange *range = GetMotionRange(clump);
    return range != nullptr ? static_cast<float>(range->endFrame - range->startFrame) / kAnimFramesPerSecond : 0.0f;
}

float CSClumpAnimManager::GetMotionFrame(const RpClump *clump) const
{
    const ClumpInfo *info = Find(clump);
    return info != nullptr ? info->time * kAnimFramesPerSecond : -1.0f;
}

float CSClumpAnimManager::GetMotionTime(const RpClump *clump) const
{
    const ClumpInfo *info = Find(clump);
    return info != nullptr ? info->time : -1.0f;
}

void CSClumpAnimManager::SetMotionTime(RpClump *clump, float seconds)
{
    ClumpInfo *info = Find(clump);
    const MotionRange *range = info != nullptr ? RangeOf(*info) : nullptr;
    if (range == nullptr) {
        return;
    }
    const float start = FrameSeconds(range->startFrame);
    const float end = FrameSeconds(range->endFrame);
    info->time = std::isfinite(seconds) ? std::clamp(seconds, start, end) : start;
    info->animationId = info->time >= end ? 1 : 0;
    if (!posesHeld_) {
        Pose(info);
    }
}

bool CSClumpAnimManager::HasReachedFrame(const RpClump *clump, float frame) const
{
    const ClumpInfo *info = Find(clump);
    return info != nullptr && info->blendDuration <= 0.0f &&
           info->time * kAnimFramesPerSecond + kFrameSlack >= frame;
}
