// The clump animation manager: loaded animation sets (an `.ANM` animation
// with its motion table) and one record per animated clump, which plays
// one motion of its set on the clump's skeleton, blending from the pose it
// showed when the motion changed. Motion time runs on the `.ANM` timeline
// in seconds (frame / 60); motions do not loop: at the end the last pose
// holds and the record's animation word turns 1.
//
// The stage keeps one manager for the actors (the events use it for their
// clumps too) and one for the heroes; character selection keeps one per
// hero model. Sets are freed with their last use: each LoadAMF and each
// clump bound to the set is one use; ReleaseAnimation and DissolveClump
// give one back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "rpanimation.h"
#include "rpworld.h"
#include "stage/motion_table.h"

// One loaded animation set.
struct AnimInfo {
    std::string name;                     // the `.ANM` file name, as AssignAnimation names it
    RtAnimAnimation *animation = nullptr; // null: the slot is free
    MotionTable motions;
    int32_t uses = 0;
};

// One animated clump.
struct ClumpInfo {
    std::string name;                     // the name of the clump's animation set
    RpClump *clump = nullptr;
    RwFrame *restoreFrame = nullptr;      // the hierarchy's own frame, kept while the clump is held
    int32_t animIndex = -1;               // the set it plays
    RpHAnimHierarchy *hierarchy = nullptr;
    RtAnimInterpolator *motion = nullptr; // plays the current motion
    RtAnimInterpolator *blendFrom = nullptr; // the pose shown when the motion changed
    int32_t motionIndex = 0;
    float time = 0.0f;                    // seconds on the animation's timeline
    float blendDuration = 0.0f;           // seconds; 0 when not blending
    float blendElapsed = 0.0f;
    uint32_t animationId = 0;             // 1 once the motion has played to its end
};

class CSClumpAnimManager {
public:
    CSClumpAnimManager() = default;
    ~CSClumpAnimManager() { Release(); }
    CSClumpAnimManager(const CSClumpAnimManager &) = delete;
    CSClumpAnimManager &operator=(const CSClumpAnimManager &) = delete;

    void Init() { Release(); }
    // Dissolves every clump and frees every set.
    void Release() { ReleaseAll(); }
    void ReleaseAll();

    // Loads the animation file `path` (an `.ANM`) with the motion table of
    // the `.AMF` beside it; the set is named by the file name. A set of that
    // name already loaded gains a use instead. The set index, or -1 when the
    // file cannot be read.
    int32_t LoadAMF(const char *path);
    // Adds a set made elsewhere (the manager takes the animation); a name
    // already loaded gains a use and the animation is destroyed. The set
    // index, or -1 for a null animation.
    int32_t AddAnimation(const char *name, RtAnimAnimation *animation, MotionTable motions);
    // Gives back one use of the named set; the set is freed with its last use.
    void ReleaseAnimation(const char *name);
    int32_t FindAnimation(const char *name) const;

    // Binds the clump and its skeleton to the named set and poses it at
    // the start of motion 0. A handle (never 0), or 0 when the set is not
    // loaded or the clump has no skeleton the animation fits. A clump
    // already held is rebound.
    uint32_t AssignAnimation(RpClump *clump, const char *name);
    // Removes the clump's record; its skeleton keeps the last pose.
    void DissolveClump(RpClump *clump);
    bool HoldsClump(const RpClump *clump) const { return Find(clump) != nullptr; }

    // Starts motion `index` of the clump's set, blending from the pose shown
    // now over `blendSeconds` (0: at once). False, and nothing changes, for
    // a clump not held or an index the motion table does not have.
    bool ChangeMotion(RpClump *clump, int32_t index, float blendSeconds);
    // While poses are held, ChangeMotion and SetMotionTime keep their motion,
    // time and blend but leave the skeleton as it stands; the next
    // UpdateClump poses it from there. The developer menu's frozen
    // hierarchies hold the actors' managers so that a state change taken
    // meanwhile does not snap a model to its new motion.
    void HoldPoses(bool held) { posesHeld_ = held; }
    bool PosesHeld() const { return posesHeld_; }
    // Advances the motion (and the blend) by `seconds` and poses the
    // skeleton, under the render lock.
    void UpdateClump(RpClump *clump, float seconds);

    // -1 for a clump not held.
    int32_t GetMotionIndex(const RpClump *clump) const;
    // 0 while the motion plays, 1 once it has played to its end (also 0 for
    // a clump not held).
    uint32_t GetAnimationId(const RpClump *clump) const;
    bool HasMotionEnded(const RpClump *clump) const { return GetAnimationId(clump) != 0; }
    // (end frame - start frame) / 60; 0 for a clump not held.
    float GetMotionDuration(const RpClump *clump) const;
    // time x 60; -1 for a clump not held.
    float GetMotionFrame(const RpClump *clump) const;
    // Seconds on the timeline; -1 for a clump not held.
    float GetMotionTime(const RpClump *clump) const;
    // Sets the time, clamped into the current motion, and poses the skeleton
    // (unless poses are held).
    void SetMotionTime(RpClump *clump, float seconds);
    // True when the clump is not blending and its frame is at least `frame`.
    bool HasReachedFrame(const RpClump *clump, float frame) const;
    // The current motion's range, null for a clump not held.
    const MotionRange *GetMotionRange(const RpClump *clump) const;

    // What the resource report reads. Slots of freed sets and dissolved
    // clumps stay in the arrays (their animation or clump is null) so that
    // indices and handles keep their meaning; later loads reuse them.
    int32_t GetAnimCount() const { return static_cast<int32_t>(anims_.size()); }
    const AnimInfo *GetAnimInfo(int32_t index) const;
    int32_t GetClumpInfoCount() const { return static_cast<int32_t>(clumps_.size()); }
    const ClumpInfo *GetClumpInfo(int32_t index) const;
    const ClumpInfo *FindClumpInfo(const RpClump *clump) const { return Find(clump); }

private:
    ClumpInfo *Find(const RpClump *clump) const;
    const MotionRange *RangeOf(const ClumpInfo &info) const;
    // Gives back one use of a set (an index FindAnimation gave, or a
    // record's own; -1 is none), freeing it with its last use.
    void DropUse(int32_t animIndex);
    void DestroyRecord(size_t slot);
    // Puts the motion interpolator at the record's time, then the shown
    // pose (blended or not) into the hierarchy, and updates its matrices.
    void Pose(ClumpInfo *info);

    std::vector<AnimInfo> anims_;
    std::vector<std::unique_ptr<ClumpInfo>> clumps_;
    std::unordered_map<const RpClump *, size_t> slotOf_;
    bool posesHeld_ = false;
};
