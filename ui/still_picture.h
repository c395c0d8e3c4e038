// One picture on one quad over the screen: what the warning screen and the
// still logo show. The screen keeps the texture until it lets it go.
#pragma once

#include <memory>

#include "ui/ui_quad.h"

struct StillPicture {
    std::unique_ptr<UIQuad> quad;
    RwTexture *texture = nullptr;

    // Makes the quad when there is none and places it: screen (x0, y0)-(x1,
    // y1), source (s0, t0)-(s1, t1), grey 240 at full alpha.
    void LayOut(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1);
    // The quad with the picture; false (nothing drawn) without a quad.
    bool Draw() const;
    void ReleaseTexture();
    // The picture and the quad.
    void Release();
};
