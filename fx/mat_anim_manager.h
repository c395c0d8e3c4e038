// CSMatAnimManager: the stage's material animations. Code starts an
// animation of the table (mat_anim_table.h) on an owner (an actor, kind 0,
// or any other owner with a kind of its own); whoever draws the owner's
// model draws it through the manager, which changes the model's material
// colours for the draw and puts them back after it.
//
// MatAnimTrackSet: a set of tracks of the table (the events' 22, 23, 24)
// switched on and off and set to a time by the caller; a model drawn
// through the set takes the enabled tracks' looks in turn.
#pragma once

#include <cstdint>
#include <vector>

#include "fx/mat_anim_table.h"
#include "rpworld.h"

constexpr int32_t kMatAnimOwnerActor = 0;
constexpr int32_t kMatAnimPoolSize = 64;

struct MatAnimInstance {
    bool used = false;
    bool stopping = false;  // ends at the next update
    const void *owner = nullptr;
    int32_t ownerKind = 0;
    const MatAnimDef *def = nullptr;
    float duration = 0.0f;  // seconds; 0 untimed
    bool loop = false;
    float time = 0.0f;
};

// Material colours changed for one draw, put back by Restore.
class MatAnimDrawScope {
public:
    // Changes every material of the clump's atomics by `look`.
    void Apply(RpClump *clump, const MatAnimLook &look);
    void Restore();
    ~MatAnimDrawScope() { Restore(); }

private:
    struct Saved {
        RpMaterial *material;
        RwRGBA colour;
    };
    struct SavedFlags {
        RpGeometry *geometry;
        RwUInt32 flags;
    };
    std::vector<Saved> saved_;
    std::vector<SavedFlags> flags_;
};

class CSMatAnimManager {
public:
    CSMatAnimManager();

    // An instance of animation `index` bound to the owner, or null when
    // none is free or the index is not in the table. An instance the owner
    // already runs is marked as stopping. `duration` is in seconds (0: the
    // curve runs untimed until stopped); with `loop` a cyclic curve repeats
    // and a one-way curve holds its end, without it the instance ends
    // after its duration.
    MatAnimInstance *Start(const void *owner, int32_t ownerKind, int32_t index, float duration, uint8_t loop);
    // Stops every animation of the owner.
    void Stop(const void *owner);
    void StopAll();
    // Advances every instance (seconds); ended and stopping ones are freed.
    void Update(float dt);

    // The running animation of the owner, or null.
    const MatAnimInstance *Find(const void *owner) const;
    // The owner's look now (no change when it runs none).
    MatAnimLook LookOf(const void *owner) const;
    // Draws the clump with the owner's look and restores its materials.
    void RenderClump(const void *owner, RpClump *clump) const;
    int32_t InstancesInUse() const;

private:
    std::vector<MatAnimInstance> pool_;
};

class MatAnimTrackSet {
public:
    // Tracks of the given table indices (an index the table lacks is left
    // out with a diagnostic).
    MatAnimTrackSet(const int32_t *ids, int32_t count);

    void EnableTrack(int32_t index, bool on);
    // Sets the track's time, wrapped to its length.
    void SetTrackTime(int32_t index, float seconds);
    float TrackTime(int32_t index) const;
    bool IsTrackEnabled(int32_t index) const;
    int32_t TrackCount() const { return static_cast<int32_t>(tracks_.size()); }
    // Advances the enabled tracks (seconds), wrapping at their lengths.
    void Update(float dt);
    // The look of the enabled tracks combined (the last enabled one wins
    // for the tint, alphas multiply).
    MatAnimLook Look() const;
    void RenderClump(RpClump *clump) const;

private:
    struct Track {
        const MatAnimDef *def;
        bool enabled;
        float time;
    };
    std::vector<Track> tracks_;
};
