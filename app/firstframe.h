// What the frame shows until the stage manager draws stages: the first
// stage when the data tree holds it (its textures from the stage's pack)
// under a camera flying a fixed path, and a 2D layer over it.
#pragma once

#include <array>
#include <cstdint>

#include "app/options.h"
#include "app/stage_scene.h"
#include "rwcore.h"

namespace game {

// Draws the scene of the first frame between camera begin and end: the
// stage (when loaded; its camera placed by StageCameraPlace before the
// update began), then the 2D layer: two quads and the stage's sign.
void DrawFirstFrameScene(const StageScene &stage, RwCamera *camera);

// Where the first frame puts its two quads, for a screen of this size
// (x0, y0, x1, y1 in pixels; the quads cover x0 <= x < x1, y0 <= y < y1).
struct QuadPlacement {
    float x0, y0, x1, y1;
    RwRGBA color;
};
std::array<QuadPlacement, 2> FirstFrameQuads(uint32_t width, uint32_t height);
RwRGBA FirstFrameClearColor();
// Where the 2D layer draws the stage's sign picture, 8 pixels a texel
// (white vertices, so the screen shows the texels as they are).
QuadPlacement FirstFrameSignQuad(uint32_t width, uint32_t height);
inline constexpr int kSignPixelsPerTexel = 8;

}  // namespace game
