// The hit counter and the money counter of a hero panel (see
// hud_counters.h).
#include "ui/hud_counters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "actor/hero.h"
#include "app/game_rand.h"
#include "ui/ui_manager.h"

namespace {

// The hit counter's pictures (atlas pixels).
constexpr AtlasRect kLabelChinese = {263, 44, 313, 66};
constexpr AtlasRect kLabelOther = {257, 44, 313, 57};
constexpr AtlasRect kOrnamentLine = {150, 65, 310, 70};
constexpr float kDigitStep = 33.0f;
constexpr float kDigitWidth = 32.0f;
constexpr float kDigitHeight = 59.0f;
// A digit pops while its age is 1..199 ms: it grows by sin(age x 0.015708)
// of its size on each side, back to its size at 200 ms.
constexpr int64_t kPopMs = 200;
constexpr float kPopRate = 0.015708f;
constexpr int64_t kPopStaggerMs = 50;

// The money counter's coin, and its digits' widths.
constexpr AtlasRect kCoin = {286, 98, 311, 122};
constexpr float kMoneyDigitStep = 28.0f;

}  // namespace

void HitCounterAnchor(uint32_t width, uint32_t height, float *x, float *y)
{
    const float w = static_cast<float>(width);
    *x = width == 800 ? 571.4286f : w - 0.11764706f * w;
    *y = static_cast<float>(height / 13);
}

// ---- The hit counter.

void CSHitCounter::Init(uint32_t screenWidth, uint32_t screenHeight)
{
    *this = CSHitCounter{};
    HitCounterAnchor(screenWidth, screenHeight, &x_, &y_);
    PlacePictures();
}

void CSHitCounter::PlacePictures()
{
    const float x = x_;
    const float y = y_;
    if (UILanguage() == 0) {
        PlaceAtlasQuad(&label_, x - 25, y - 24, x + 25, y - 2, kLabelChinese, kHudWhite);
    } else {
        PlaceAtlasQuad(&label_, x - 28, y - 15, x + 28, y - 2, kLabelOther, kHudWhite);
    }
    PlaceAtlasQuad(&lines_[0], x - 139, y - 2, x + 60, y + 3, kOrnamentLine, kHudWhite);
    PlaceAtlasQuad(&lines_[1], x - 2, y - 44, x + 3, y + 82, kOrnamentLine, kHudWhite);
    // The upright line is the same picture turned a quarter.
    SetQuadUVsRotated(lines_[1].v, kOrnamentLine.s0 / 512.0f, kOrnamentLine.t0 / 512.0f, kOrnamentLine.s1 / 512.0f,
                      kOrnamentLine.t1 / 512.0f);
    SetQuadArgb(digit_.v, kHudWhite);
}

void CSHitCounter::SetAlpha(uint8_t alpha)
{
    alpha_ = alpha;
    SetQuadAlpha(label_.v, alpha);
    SetQuadAlpha(lines_[0].v, alpha);
    SetQuadAlpha(lines_[1].v, alpha);
    SetQuadAlpha(digit_.v, alpha);
}

void CSHitCounter::Show(const CSHero *hero)
{
    if (hero == nullptr) {
        return;
    }
    const int32_t count = hero->hitCounter;
    if (count == countShown_ || count < kFirstCountShown) {
        return;
    }
    shown_ = true;
    PlacePictures();
    SetAlpha(255);
    countShown_ = count;
    displayMs_ = 0;
    fadeMs_ = kHudTimerIdle;
}

void CSHitCounter::Step(uint32_t ms)
{
    if (!shown_) {
        return;
    }
    if (fadeMs_ == kHudTimerIdle) {
        displayMs_ += ms;
        if (displayMs_ > kShowMs) {
            fadeMs_ = 0;
        }
        return;
    }
    const uint32_t a = std::min<uint32_t>(fadeMs_ * 255 / kFadeMs, 255);
    if (a < 255) {
        SetAlpha(static_cast<uint8_t>(255 - a));
        fadeMs_ += ms;
        return;
    }
    // Show starts the timers again; the count goes so that the same count shows anew.
    shown_ = false;
    countShown_ = 0;
}

void CSHitCounter::DigitRect(int32_t i, int32_t digits, float *x0, float *y0, float *x1, float *y1) const
{
    const float left = x_ - static_cast<float>(digits * 33 / 2) + kDigitStep * static_cast<float>(i);
    const float top = y_ + 2.0f;
    *x0 = left;
    *y0 = top;
    *x1 = left + kDigitWidth;
    *y1 = top + kDigitHeight;
    const int64_t age = static_cast<int64_t>(displayMs_) - kPopStaggerMs * i;
    if (age >= 1 && age < kPopMs) {
        const float s = std::sin(static_cast<float>(age) * kPopRate);
        *x0 -= kDigitWidth * s;
        *x1 += kDigitWidth * s;
        *y0 -= kDigitHeight * s;
        *y1 += kDigitHeight * s;
    }
}

void CSHitCounter::Render(RwTexture *atlas)
{
    if (!shown_) {
        return;
    }
    RwRaster *raster = GetTextureRaster(atlas);
    DrawUIQuad(lines_[0].v, raster);
    DrawUIQuad(lines_[1].v, raster);
    DrawUIQuad(label_.v, raster);
    char text[16];
    const int digits = std::snprintf(text, sizeof text, "%d", countShown_);
    for (int32_t i = 0; i < digits; ++i) {
        float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        DigitRect(i, digits, &x0, &y0, &x1, &y1);
        const AtlasRect cell = HudDigitCell(HudDigits::kLarge, text[i] - '0');
        SetQuadPositions(digit_.v, x0, y0, x1, y1);
        SetQuadUVs512(digit_.v, cell.s0, cell.t0, cell.s1, cell.t1);
        DrawUIQuad(digit_.v, raster);
    }
}

// ---- The money counter.

void CSMoneyCounter::Init() { *this = CSMoneyCounter{}; }

void CSMoneyCounter::Add(bool show, int32_t amount)
{
    // The value stays a whole 32-bit number however many gains come.
    const int64_t sum = static_cast<int64_t>(value_) + amount;
    value_ = static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
    elapsedMs_ = 0;
    digits_ = std::snprintf(text_, sizeof text_, "%d", value_);
    x_ = kRightX - kMoneyDigitStep * static_cast<float>(digits_);
    y_ = kTopY;
    SetQuadArgb(quad_.v, kHudWhite);
    shown_ = show;
}

uint8_t CSMoneyCounter::Alpha() const
{
    if (elapsedMs_ < kFadeFromMs) {
        return 255;
    }
    return static_cast<uint8_t>(255 - std::min<uint32_t>(elapsedMs_ - kFadeFromMs, 255));
}

void CSMoneyCounter::Step(uint32_t ms)
{
    elapsedMs_ += ms;
    if (shown_ && elapsedMs_ >= kFadeFromMs + 255) {
        shown_ = false;
        value_ = 0;
    }
}

void CSMoneyCounter::Render(RwTexture *atlas)
{
    if (!shown_) {
        return;
    }
    RwRaster *raster = GetTextureRaster(atlas);
    SetQuadArgb(quad_.v, static_cast<uint32_t>(Alpha()) << 24 | (kHudWhite & 0xFFFFFFu));
    PlaceAtlasQuad(&quad_, 522, 361, 573, 410, kCoin, quad_.v[0].emissiveColor);
    DrawUIQuad(quad_.v, raster);
    const bool shaking = elapsedMs_ < kShakeMs;
    if (shaking) {
        game::Srand(elapsedMs_);
    }
    for (int32_t i = 0; i < digits_; ++i) {
        float x = x_ + kMoneyDigitStep * static_cast<float>(i);
        float y = y_;
        if (shaking) {
            x += static_cast<float>(game::Rand() % 10);
            y += static_cast<float>(game::Rand() % 10);
        }
        const char c = text_[i];
        const AtlasRect cell = HudDigitCell(HudDigits::kSmall, c >= '0' && c <= '9' ? c - '0' : -1);
        PlaceAtlasQuad(&quad_, x, y, x + (i == 0 ? 30.0f : 26.0f), y + 40.0f, cell, quad_.v[0].emissiveColor);
        DrawUIQuad(quad_.v, raster);
    }
}
