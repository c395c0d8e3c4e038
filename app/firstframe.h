// The game's engine side as far as the engine goes today: start-up on the
// window (sub-system, video mode, start), the main camera, the first stage
// when the data tree holds it, the frame drawn each tick, and shut-down in
// reverse.
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

// Starts the engine on `window` in the chosen mode; false (with the engine
// back where it was) when any step is refused.
bool EngineStartUp(HWND window, const ModeChoice &choice, Engine *engine);
void EngineShutDown(Engine *engine);

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
