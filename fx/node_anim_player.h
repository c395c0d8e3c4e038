// CSNodeAnimPlayer: per-frame node animations of a clump, read from its
// frames' "3dsmax User Properties". A frame whose strings hold
//   NodeAnim <endFrame> <rx> <ry> <rz> <tx> <ty> <tz>
// turns by (rx, ry, rz) degrees about its own axes and moves by (tx, ty,
// tz) from its rest place over endFrame animation frames (60 a second).
#pragma once

#include <cstdint>
#include <vector>

#include "rpworld.h"

constexpr int32_t kNodeAnimOnce = 0;   // stops at the end frame
constexpr int32_t kNodeAnimLoop = 1;   // starts over after it

struct NodeAnimTrack {
    RwFrame *frame;
    RwMatrix rest;
    float endFrame;
    RwV3d turn;   // degrees over the track
    RwV3d move;
};

// Parses one user-property string; false when it is not a node animation.
bool ParseNodeAnim(const char *text, NodeAnimTrack *track);

class CSNodeAnimPlayer {
public:
    // Reads the clump's frames; false when none carries a node animation
    // (the clump is then not held). A clump registered again is read anew.
    bool Register(RpClump *clump);
    // The same, but the clump moves as a whole: the first node animation
    // found on its frames drives the clump's own frame.
    bool RegisterWholeClump(RpClump *clump);
    void Unregister(RpClump *clump);
    // Advances every frame of the clump toward its end frame.
    void Advance(RpClump *clump, float dt, int32_t mode);
    // 1 when every frame of the clump has reached its end (and for a
    // clump not held), else 0.
    int32_t IsFinished(RpClump *clump) const;
    void Rewind(RpClump *clump) { SetTime(clump, 0.0f); }
    // Puts every frame of the clump at animation frame `frame`.
    void SetTime(RpClump *clump, float frame);
    void Release() { clumps_.clear(); }
    int32_t ClumpCount() const { return static_cast<int32_t>(clumps_.size()); }

private:
    struct Entry {
        RpClump *clump;
        float frame;
        std::vector<NodeAnimTrack> tracks;
    };
    Entry *Find(RpClump *clump);
    const Entry *Find(RpClump *clump) const;
    static void Pose(Entry *entry);

    std::vector<Entry> clumps_;
};
