// The overlay's shared picture routines (see hud_pictures.h).
#include "ui/hud_pictures.h"

#include "app/screen_coords.h"

void PlacePlainQuad(UIQuad *quad, float x0, float y0, float x1, float y1, uint32_t argb)
{
    SetQuadPositions(quad->v, x0, y0, x1, y1);
    SetQuadUVs(quad->v, 0.0f, 0.0f, 1.0f, 1.0f);
    SetQuadArgb(quad->v, argb);
}

void PlaceAtlasQuad(UIQuad *quad, float x0, float y0, float x1, float y1, const AtlasRect &source, uint32_t argb)
{
    SetQuadPositions(quad->v, x0, y0, x1, y1);
    SetQuadUVs512(quad->v, source.s0, source.t0, source.s1, source.t1);
    SetQuadArgb(quad->v, argb);
}

void SetQuadRight(UIQuad *quad, float x1)
{
    SetQuadPositions(quad->v, GetVirtualX(&quad->v[0]), GetVirtualY(&quad->v[0]), x1, GetVirtualY(&quad->v[3]));
}

AtlasRect HudDigitCell(HudDigits set, int32_t digit)
{
    if (digit < 0 || digit > 9) {
        return kWholeAtlas;
    }
    const float d = static_cast<float>(digit);
    switch (set) {
    case HudDigits::kSmall: return {136.0f + 15.0f * d, 70.0f, 151.0f + 15.0f * d, 90.0f};
    case HudDigits::kLarge: return {140.0f + 23.0f * d, 1.0f, 162.0f + 23.0f * d, 43.0f};
    case HudDigits::kCount: return {89.0f + 13.0f * d, 148.0f, 101.0f + 13.0f * d, 162.0f};
    }
    return kWholeAtlas;
}
