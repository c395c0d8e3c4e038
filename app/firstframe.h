// What the frame shows until the game system draws it: the main camera on
// the window, the first stage when the data tree holds it (its textures
// from the stage's pack), the frame drawn each tick, and their release.
#pragma once

#include <cstdint>

#include "app/options.h"
#include "app/stage_scene.h"
#include "rwcore.h"

namespace game {

struct Engine {
    RwCamera *camera = nullptr;
    RwFrame *cameraFrame = nullptr;
    HWND window = nullptr;
    RwVideoModeInfo mode = {};
    StageScene stage;  // empty when the data tree has no stage
};

// Makes the camera on the started engine's `window` and loads the stage
// when the data tree has it; false (with nothing made) when the camera
// cannot be made.
bool FirstFrameCreate(HWND window, const RwVideoModeInfo &mode, Engine *engine);
void FirstFrameDestroy(Engine *engine);

// Draws a tick's frame into the camera raster: clear, the stage (when
// loaded) seen from where the camera's path is at `clockMs`, then the 2D
// layer. False when the device refused the frame (a lost device skips it).
bool DrawFrame(Engine *engine, uint64_t clockMs);
// Shows the camera raster in the window.
bool ShowFrame(Engine *engine);

// Where the first frame puts its two quads, for a screen of this size
// (x0, y0, x1, y1 in pixels; the quads cover x0 <= x < x1, y0 <= y < y1).
struct QuadPlacement {
    float x0, y0, x1, y1;
    RwRGBA color;
};
QuadPlacement FirstFrameQuad(int index, uint32_t width, uint32_t height);
RwRGBA FirstFrameClearColor();
// Where the 2D layer draws the stage's sign picture, 8 pixels a texel
// (white vertices, so the screen shows the texels as they are).
QuadPlacement FirstFrameSignQuad(uint32_t width, uint32_t height);
inline constexpr int kSignPixelsPerTexel = 8;

}  // namespace game
