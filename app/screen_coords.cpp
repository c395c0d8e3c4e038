// Virtual-to-client scaling of 2D vertices.
#include "app/screen_coords.h"

namespace {

uint32_t clientWidth = 640;
uint32_t clientHeight = 480;

}  // namespace

void SetScreenClientSize(uint32_t width, uint32_t height)
{
    clientWidth = width != 0 ? width : 640;
    clientHeight = height != 0 ? height : 480;
}

uint32_t ScreenClientWidth() { return clientWidth; }
uint32_t ScreenClientHeight() { return clientHeight; }

void SetScreenX(RwIm2DVertex *vertex, float x)
{
    vertex->x = clientWidth == 640 ? x : x * static_cast<float>(clientWidth) * 0.0015625f;
}

void SetScreenY(RwIm2DVertex *vertex, float y)
{
    vertex->y = clientHeight == 480 ? y : y * static_cast<float>(clientHeight) * 0.0020833334f;
}

float GetVirtualX(const RwIm2DVertex *vertex)
{
    return clientWidth == 640 ? vertex->x : vertex->x * kVirtualWidth / static_cast<float>(clientWidth);
}

float GetVirtualY(const RwIm2DVertex *vertex)
{
    return clientHeight == 480 ? vertex->y : vertex->y * kVirtualHeight / static_cast<float>(clientHeight);
}
