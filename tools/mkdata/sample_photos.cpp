// The sample's painted photos (see sample_photos.h).
#include "tools/mkdata/sample_photos.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace mkdata {

namespace {

struct Colour {
    float r, g, b;
};

constexpr int32_t kPhotoStages[29] = {1,  2,  3,  4,  5,  6,  8,  10, 15, 16, 17, 19, 22, 23, 25,
                                      27, 28, 29, 30, 31, 32, 33, 34, 36, 37, 38, 40, 41, 42};
constexpr int32_t kBossStages[] = {3, 4, 8, 15, 22, 27, 32, 36, 37, 38};
constexpr float kHorizon = 0.42f;  // where the wall meets the grass
constexpr float kWallTop = 0.30f;

RwRGBA Opaque(const Colour &c)
{
    auto byte = [](float x) { return static_cast<RwUInt8>(std::clamp(x, 0.0f, 255.0f)); };
    return {byte(c.r), byte(c.g), byte(c.b), 255};
}

Colour Mix(const Colour &a, const Colour &b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Colour Hue(float degrees, float saturation, float value)
{
    const float h = std::fmod(degrees, 360.0f) / 60.0f;
    const float c = value * saturation;
    const float x = c * (1.0f - std::fabs(std::fmod(h, 2.0f) - 1.0f));
    const float m = value - c;
    const Colour table[6] = {{c, x, 0}, {x, c, 0}, {0, c, x}, {0, x, c}, {x, 0, c}, {c, 0, x}};
    const Colour &rgb = table[std::clamp(static_cast<int>(h), 0, 5)];
    return {(rgb.r + m) * 255.0f, (rgb.g + m) * 255.0f, (rgb.b + m) * 255.0f};
}

// A blocky figure standing with its feet at `feet`, `height` tall, centred
// on `x`: head, body and legs; false where it is not.
bool InFigure(float u, float v, float x, float feet, float height, Colour *part, const Colour &body,
              const Colour &skin, const Colour &legs)
{
    const float top = feet - height;
    const float head = height * 0.2f;
    const float w = height * 0.16f;
    if (std::fabs(u - x) < w * 0.45f && v >= top && v < top + head) {
        *part = skin;
        return true;
    }
    if (std::fabs(u - x) < w && v >= top + head && v < top + height * 0.6f) {
        *part = body;
        return true;
    }
    if (std::fabs(u - x) < w * 0.8f && v >= top + height * 0.6f && v < feet) {
        // Two legs with a gap between them.
        if (std::fabs(u - x) < w * 0.12f) {
            return false;
        }
        *part = legs;
        return true;
    }
    return false;
}

bool IsBossArena(int32_t number)
{
    return std::find(std::begin(kBossStages), std::end(kBossStages), number) != std::end(kBossStages);
}

// The stage's sky: the first stage's grey rain, the arena's clear day, the
// map stages' fog colour (as their stage info has it), the bosses' dusk.
Colour SkyOf(int32_t number)
{
    if (number == 1) {
        return {120, 126, 138};
    }
    if (number == 2) {
        return {105, 160, 225};
    }
    if (IsBossArena(number)) {
        return {150, 70, 60};
    }
    return {60.0f + static_cast<float>(number * 37 % 160), 60.0f + static_cast<float>(number * 71 % 160),
            60.0f + static_cast<float>(number * 113 % 160)};
}

}  // namespace

int32_t PhotoStageNumber(int32_t index) { return index >= 0 && index < 29 ? kPhotoStages[index] : 0; }

RwRGBA StagePhotoPixel(int32_t index, float u, float v)
{
    const int32_t number = PhotoStageNumber(index);
    Colour c;
    if (v < kWallTop) {
        c = Mix(SkyOf(number), {235, 235, 240}, v / kWallTop * 0.35f);
    } else if (v < kHorizon) {
        // The yard's brick wall: courses of bricks, each course offset by half.
        const float course = (v - kWallTop) / 0.03f;
        const float row = std::floor(course);
        const float brick = u / 0.1f + (static_cast<int>(row) % 2 == 0 ? 0.0f : 0.5f);
        const bool mortar = course - row < 0.2f || brick - std::floor(brick) < 0.08f;
        c = mortar ? Colour{190, 180, 165} : Colour{165, 72, 52};
    } else {
        c = Mix({80, 140, 65}, {50, 100, 45}, (v - kHorizon) / (1.0f - kHorizon));
        // The paved path running from the bottom to the far wall.
        if (std::fabs(u - 0.5f - (1.0f - v) * 0.25f) < 0.05f + (v - kHorizon) * 0.12f) {
            c = {182, 172, 150};
        }
    }
    Colour part;
    if (IsBossArena(number)) {
        if (InFigure(u, v, 0.55f, 0.86f, 0.55f, &part, {55, 35, 60}, {75, 55, 70}, {35, 25, 40})) {
            c = part;
        }
    } else if (number == 1) {
        // The yard's monster far off and the two villagers by the wall.
        if (InFigure(u, v, 0.72f, 0.55f, 0.16f, &part, {60, 130, 120}, {150, 200, 90}, {50, 40, 60}) ||
            InFigure(u, v, 0.16f, 0.58f, 0.18f, &part, {200, 170, 60}, {230, 190, 150}, {90, 70, 50}) ||
            InFigure(u, v, 0.27f, 0.6f, 0.18f, &part, {60, 60, 160}, {230, 190, 150}, {90, 70, 50})) {
            c = part;
        }
    } else if (number == 2) {
        const float spots[4][2] = {{0.15f, 0.6f}, {0.85f, 0.6f}, {0.3f, 0.8f}, {0.7f, 0.82f}};
        for (const auto &spot : spots) {
            if (InFigure(u, v, spot[0], spot[1], 0.2f + (spot[1] - 0.6f), &part, {110, 50, 30}, {220, 210, 180},
                         {70, 40, 30})) {
                c = part;
            }
        }
    } else {
        // The map stages' row of crates, one to three.
        const int crates = number % 3 + 1;
        for (int k = 0; k < crates; ++k) {
            const float x = 0.5f + (static_cast<float>(k) - static_cast<float>(crates - 1) * 0.5f) * 0.24f;
            if (std::fabs(u - x) < 0.08f && v > 0.52f && v < 0.68f) {
                const bool edge = std::fabs(u - x) > 0.065f || v < 0.535f || v > 0.665f;
                c = edge ? Colour{90, 55, 25} : Colour{150, 100, 50};
            }
        }
    }
    // The first stage's rain: slanting streaks over everything.
    if (number == 1 && std::fmod(u * 14.0f + v * 6.0f, 1.0f) < 0.08f && std::fmod(v * 9.0f, 1.0f) < 0.6f) {
        c = Mix(c, {235, 240, 250}, 0.45f);
    }
    return Opaque(c);
}

RwRGBA MonsterPhotoPixel(int32_t list, float u, float v)
{
    Colour c = Mix({50, 48, 66}, {22, 22, 30}, v);
    if (v > 0.82f) {
        c = {60, 55, 45};
    }
    const float hue = static_cast<float>(list * 53 % 360);
    Colour part;
    if (InFigure(u, v, 0.5f, 0.86f, 0.7f, &part, Hue(hue, 0.55f, 0.7f), Hue(hue + 40.0f, 0.35f, 0.85f),
                 Hue(hue, 0.4f, 0.35f))) {
        c = part;
    }
    return Opaque(c);
}

RwRGBA PhotoClampPixel(int32_t, float u, float v)
{
    // The bar grips the frame's edge, which the clamp's middle row meets;
    // the post runs from it to the picture's far edge, where the rail goes on.
    const bool bar = std::fabs(v - 0.5f) < 0.09f && u > 0.08f && u < 0.92f;
    const bool post = std::fabs(u - 0.5f) < 0.06f && v > 0.5f;
    if (!bar && !post) {
        return {0, 0, 0, 0};
    }
    const bool lit = (bar && v < 0.45f) || (post && !bar && u < 0.47f);
    const float shade = lit ? 1.25f : 1.0f;
    const RwRGBA &k = kPhotoRailColour;
    return Opaque({static_cast<float>(k.red) * shade, static_cast<float>(k.green) * shade,
                   static_cast<float>(k.blue) * shade});
}

}  // namespace mkdata
