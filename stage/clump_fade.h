// Stage models that stand between the camera and a hero are drawn see-
// through: such a model's bounding sphere meets the line from the camera to
// the hero, and instead of being drawn with the others it goes to the
// translucent list, which the stage draws last, farthest first, each model at
// its alpha (CSGameSystem::RenderClumpWithFade decides; see stage_camera.cpp).
#pragma once

#include <cstddef>
#include <vector>

#include "rpworld.h"

// The alpha of a stage model while it hides a hero.
inline constexpr float kStageModelFadeAlpha = 0.5f;

// The sphere around all of the clump's atomics in the world; false for a
// clump without atomics.
bool ClumpWorldSphere(RpClump *clump, RwSphere *sphere);
// The smallest sphere holding both.
RwSphere MergeSpheres(const RwSphere &a, const RwSphere &b);

// Whether the clump hides `focus` from `eye`: its sphere meets the line.
bool ClumpBlocksView(RpClump *clump, const RwV3d &eye, const RwV3d &focus);

// Draws every atomic of the clump with each material's alpha scaled by
// `alpha` (0..1), blended over what is drawn and without writing depth.
void RenderClumpTranslucent(RpClump *clump, float alpha);

class CSTranslucentList;

// Keeps the clump on `list`, to be drawn at `alpha`, when it hides one of
// the `count` points `focuses` from `eye`; true when kept (the caller draws
// it otherwise).
bool DeferIfBlocking(RpClump *clump, float alpha, const RwV3d &eye, const RwV3d *focuses, int count,
                     CSTranslucentList *list);

class CSTranslucentList {
public:
    // Keeps the clump to be drawn at `alpha`, ordered by the distance of its
    // sphere from `eye`.
    void Add(RpClump *clump, float alpha, const RwV3d &eye);
    // Draws the kept clumps farthest first, then empties the list.
    void Draw();
    void Clear() { entries_.clear(); }
    size_t Count() const { return entries_.size(); }
    RpClump *At(size_t index) const { return entries_[index].clump; }

private:
    struct Entry {
        RpClump *clump;
        float alpha;
        float distance;
    };
    std::vector<Entry> entries_;
};
