// CSDecalManager: ground decals (blood). A decal is cut from the world
// triangles found in a box under its position (half-size `radius` across,
// 1.5 x radius high): each upward-facing triangle is clipped to the square,
// lifted a little off the ground and mapped with the decal's picture over
// the square. It shows for 10 seconds, then fades out over one more.
#pragma once

#include <cstdint>
#include <vector>

#include "rpworld.h"

constexpr int32_t kMaxDecals = 32;
constexpr float kDecalShowSeconds = 10.0f;
constexpr float kDecalFadeSeconds = 1.0f;
constexpr int32_t kMaxDecalVertices = 600;

struct Decal {
    bool used = false;
    float age = 0.0f;
    RwRGBA colour = {140, 0, 0, 220};
    std::vector<RwIm3DVertex> vertices;  // a triangle list
};

class CSDecalManager {
public:
    CSDecalManager() : decals_(kMaxDecals) {}
    ~CSDecalManager() { Release(); }

    void SetWorld(RpWorld *world) { world_ = world; }
    // The picture decals are drawn with (null: plain colour); one more
    // reference is held.
    void SetTexture(RwTexture *texture);
    // Places a decal under `position`; the oldest gives way when all 32 are
    // in use. Null when the world has no ground there.
    Decal *Spawn(const RwV3d &position, float radius, RwRGBA colour = {140, 0, 0, 220});
    void Update(float dt);
    void Render();
    // Drops every decal (the picture stays).
    void Clear();
    void Release();

    int32_t DecalsInUse() const;
    const Decal &DecalAt(int32_t index) const { return decals_[static_cast<size_t>(index)]; }

private:
    std::vector<Decal> decals_;
    RpWorld *world_ = nullptr;
    RwTexture *texture_ = nullptr;
};
