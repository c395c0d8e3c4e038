// A still picture of a screen (see still_picture.h).
#include "ui/still_picture.h"

#include "app/textures.h"

void StillPicture::LayOut(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1)
{
    if (quad == nullptr) {
        quad = std::make_unique<UIQuad>();
    }
    SetQuadPositions(quad->v, x0, y0, x1, y1);
    SetQuadUVs(quad->v, s0, t0, s1, t1);
    SetQuadArgb(quad->v, 0xFFF0F0F0u);
}

bool StillPicture::Draw() const
{
    if (quad == nullptr) {
        return false;
    }
    DrawUIQuad(*quad, texture);
    return true;
}

void StillPicture::ReleaseTexture()
{
    DestroyTexture(texture);
    texture = nullptr;
}

void StillPicture::Release()
{
    ReleaseTexture();
    quad.reset();
}
