// The material animations' table and curves (see mat_anim_table.h).
#include "fx/mat_anim_table.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr RwRGBAReal kWhite = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr RwRGBAReal kRed = {1.0f, 0.1f, 0.05f, 1.0f};
constexpr RwRGBAReal kGreen = {0.3f, 1.0f, 0.3f, 1.0f};
constexpr RwRGBAReal kBlue = {0.2f, 0.4f, 1.0f, 1.0f};
constexpr RwRGBAReal kWarm = {1.0f, 0.8f, 0.4f, 1.0f};

constexpr MatAnimDef kTable[] = {
    {1, kCurveFlash, kWhite, 1.0f, 0.0f, true, 0.0f},
    {2, kCurveFadeOut, kWhite, 0.0f, 0.0f, false, 0.0f},
    {4, kCurveFadeOut, kWhite, 0.0f, 0.0f, false, 0.0f},
    {6, kCurveTint, kGreen, 0.6f, 0.0f, true, 0.0f},
    {18, kCurveBright, kWhite, 0.8f, 0.0f, false, 0.0f},
    {21, kCurveBright, kWarm, 0.6f, 0.0f, false, 0.0f},
    {22, kCurveRise, kBlue, 0.7f, 0.0f, true, 6.0f},
    {23, kCurveRise, kGreen, 0.7f, 0.0f, true, 6.0f},
    {24, kCurveRise, kRed, 0.7f, 0.0f, true, 6.0f},
    {30, kCurvePulse, kRed, 0.9f, 4.0f, true, 0.0f},
    {34, kCurveFadeIn, kWhite, 0.0f, 0.0f, false, 0.0f},
    {35, kCurveFadeOut, kWhite, 0.0f, 0.0f, false, 0.0f},
    {36, kCurveBright, kRed, 0.7f, 0.0f, false, 0.0f},
    {39, kCurveFadeIn, kWhite, 0.0f, 0.0f, false, 0.0f},
    {40, kCurvePulse, kRed, 0.5f, 1.0f, true, 0.0f},
};

uint8_t ToByte(float v) { return static_cast<uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f); }

}  // namespace

const MatAnimDef *FindMatAnim(int32_t index)
{
    for (const MatAnimDef &def : kTable) {
        if (def.index == index) {
            return &def;
        }
    }
    return nullptr;
}

MatAnimLook SampleMatAnim(const MatAnimDef &def, float seconds, float duration)
{
    MatAnimLook look;
    look.tint = def.tint;
    const float t = duration > 0.0f ? std::clamp(seconds / duration, 0.0f, 1.0f) : 0.0f;
    switch (def.curve) {
    case kCurveFlash:
        look.amount = def.level * (1.0f - t);
        break;
    case kCurveFadeOut:
        look.alphaScale = 1.0f - t;
        break;
    case kCurveTint:
        look.amount = def.level;
        break;
    case kCurveBright:
        look.amount = def.level * (1.0f - t);
        look.alphaScale = 1.0f - t;
        break;
    case kCurveRise:
        look.amount = def.level * std::clamp(seconds / 2.0f, 0.0f, 1.0f);
        break;
    case kCurvePulse:
        look.amount = def.level * (0.5f + 0.5f * std::sin(2.0f * 3.14159265f * def.frequency * seconds));
        break;
    case kCurveFadeIn:
        look.alphaScale = duration > 0.0f ? t : std::clamp(seconds, 0.0f, 1.0f);
        break;
    }
    return look;
}

RwRGBA ApplyMatAnimLook(RwRGBA c, const MatAnimLook &look)
{
    const float a = look.amount;
    return {ToByte(c.red + (look.tint.red * 255.0f - c.red) * a),
            ToByte(c.green + (look.tint.green * 255.0f - c.green) * a),
            ToByte(c.blue + (look.tint.blue * 255.0f - c.blue) * a), ToByte(c.alpha * look.alphaScale)};
}
