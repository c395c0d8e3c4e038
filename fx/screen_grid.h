// CSScreenGrid: the screen-grid distortion of the stage-change transition.
// While it runs, the scene is drawn into a texture of the camera's size
// (render to texture) and the frame shows that texture on a grid of cells
// whose corners wobble, more and more as the transition goes on.
#pragma once

#include <cstdint>

#include "rwcore.h"

constexpr int32_t kGridColumns = 16;
constexpr int32_t kGridRows = 12;

class CSScreenGrid {
public:
    CSScreenGrid() = default;
    ~CSScreenGrid() { Release(); }
    CSScreenGrid(const CSScreenGrid &) = delete;
    CSScreenGrid &operator=(const CSScreenGrid &) = delete;

    // Starts the distortion over `ms` milliseconds.
    void Start(float ms);
    void Stop() { active_ = false; }
    bool IsActive() const { return active_; }
    // 0 .. 1 through the transition.
    float Progress() const;
    void Update(float dt);
    // Largest displacement of a grid corner now, in pixels.
    float Amplitude(float width) const;
    // The displaced place of grid corner (column, row) on a `width` x
    // `height` screen.
    void CornerAt(int32_t column, int32_t row, float width, float height, RwV2d *out) const;

    // Draws the scene through the grid: called with the camera's update
    // open; while inactive it only calls `drawScene`. False when the
    // texture target cannot be had (the scene is then drawn plainly).
    bool Render(RwCamera *camera, void (*drawScene)(void *), void *context);
    void Release();

private:
    bool EnsureTarget(RwCamera *camera);
    void DrawGrid(RwReal width, RwReal height) const;

    bool active_ = false;
    float durationMs_ = 0.0f;
    float elapsedMs_ = 0.0f;
    RwRaster *target_ = nullptr;
    RwRaster *targetZ_ = nullptr;
};
