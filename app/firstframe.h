// The game's engine side as far as the engine goes today: start-up on the
// window (sub-system, video mode, start), the main camera, the frame drawn
// each tick, and shut-down in reverse.
#pragma once

#include <cstdint>

#include "app/options.h"
#include "rwcore.h"

namespace game {

struct Engine {
    RwCamera *camera = nullptr;
    RwFrame *cameraFrame = nullptr;
    HWND window = nullptr;
    RwVideoModeInfo mode = {};
};

// Starts the engine on `window` in the chosen mode; false (with the engine
// back where it was) when any step is refused.
bool EngineStartUp(HWND window, const ModeChoice &choice, Engine *engine);
void EngineShutDown(Engine *engine);

// Clears, draws the 2D layer and shows the camera raster; false when the
// device refused the frame (a lost device skips it).
bool RenderFrame(Engine *engine, uint64_t clockMs);

// Where the first frame puts its two quads, for a screen of this size
// (x0, y0, x1, y1 in pixels; the quads cover x0 <= x < x1, y0 <= y < y1).
struct QuadPlacement {
    float x0, y0, x1, y1;
    RwRGBA color;
};
QuadPlacement FirstFrameQuad(int index, uint32_t width, uint32_t height);
RwRGBA FirstFrameClearColor();

}  // namespace game
