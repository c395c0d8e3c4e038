// The colour fade, the letterbox bars and the base-map fade: full-screen
// effects of the screen manager that outlive a screen switch.
//
// A fade reaches full alpha after its duration and holds it until its
// ratio (elapsed x 255 / duration) reaches 281; the frame in which it ends
// is still drawn, at its final alpha, and nothing from the next frame on.
#include <algorithm>

#include "app/application.h"
#include "ui/ui_manager.h"

namespace {

constexpr uint32_t kFadeEndRatio = 281;
constexpr uint32_t kBaseMapColour = 0xF0F0F0u;

}  // namespace

void CSUIManager::StartFade(uint32_t argb, uint32_t ms) { StartColourFade(argb, ms, false); }

void CSUIManager::StartFadeIn(uint32_t argb, uint32_t ms) { StartColourFade(argb, ms, true); }

void CSUIManager::StartColourFade(uint32_t argb, uint32_t ms, bool in)
{
    if (fadeRunning_) {
        return;
    }
    fadeRunning_ = true;
    fadeShown_ = true;
    fadeColour_ = argb;
    (in ? fadeInDurationMs_ : fadeOutDurationMs_) = std::max<uint32_t>(ms, 1);
    (in ? fadeInElapsed_ : fadeOutElapsed_) = 0;
    SetQuadPositions(fadeQuad_->v, 0, 0, static_cast<float>(GetScreenWidth()), static_cast<float>(GetScreenHeight()));
    // A first drawing may come before the first step (a fade begun in a
    // switch frame): the colour the fade starts from.
    SetQuadArgb(fadeQuad_->v, (in ? 0xFF000000u : 0u) | (fadeColour_ & 0xFFFFFFu));
}

void CSUIManager::StepFade(uint32_t ms)
{
    if (!fadeRunning_) {
        return;
    }
    uint32_t alpha = 0;
    if (fadeOutElapsed_ != kUINoTimer) {
        const uint32_t ratio = fadeOutElapsed_ * 255 / fadeOutDurationMs_;
        if (ratio >= kFadeEndRatio) {
            fadeOutElapsed_ = kUINoTimer;
            fadeRunning_ = false;
        } else {
            fadeOutElapsed_ += ms;
        }
        alpha = std::min<uint32_t>(ratio, 255);
    } else if (fadeInElapsed_ != kUINoTimer) {
        const uint32_t ratio = fadeInElapsed_ * 255 / fadeInDurationMs_;
        if (ratio >= kFadeEndRatio) {
            fadeInElapsed_ = kUINoTimer;
            fadeRunning_ = false;
        } else {
            fadeInElapsed_ += ms;
        }
        alpha = 255 - std::min<uint32_t>(ratio, 255);
    }
    SetQuadArgb(fadeQuad_->v, alpha << 24 | (fadeColour_ & 0xFFFFFFu));
}

void CSUIManager::DrawFade()
{
    if (!fadeShown_) {
        return;
    }
    SetDepthTestAndWrite(false);
    DrawUIQuad(fadeQuad_->v, nullptr);
    SetDepthTestAndWrite(true);
    if (!fadeRunning_) {
        fadeShown_ = false;
    }
}

bool CSUIManager::FadeCovers(float width, float height) const
{
    if (!fadeShown_ || FadeAlpha() != 255) {
        return false;
    }
    const RwIm2DVertex *v = fadeQuad_->v;
    const float left = std::min(v[0].x, v[3].x), right = std::max(v[0].x, v[3].x);
    const float top = std::min(v[0].y, v[3].y), bottom = std::max(v[0].y, v[3].y);
    return left <= 0.0f && top <= 0.0f && right >= width && bottom >= height;
}

void CSUIManager::ShowLetterbox(int32_t ms)
{
    if (letterboxOn_) {
        return;
    }
    if (ms >= 1) {
        letterboxDurationMs_ = static_cast<uint32_t>(ms);
        letterboxMs_ = 0;
        letterboxChanging_ = true;
        SetQuadArgb(letterboxTop_->v, 0x00000000u);
        SetQuadArgb(letterboxBottom_->v, 0x00000000u);
    } else {
        SetQuadArgb(letterboxTop_->v, 0xFF000000u);
        SetQuadArgb(letterboxBottom_->v, 0xFF000000u);
    }
    letterboxTargetOn_ = true;
    letterboxOn_ = true;
}

void CSUIManager::HideLetterbox(int32_t ms)
{
    if (!letterboxOn_ || !letterboxTargetOn_) {
        return;
    }
    if (ms > 0) {
        letterboxMs_ = 0;
        letterboxDurationMs_ = static_cast<uint32_t>(ms);
        letterboxTargetOn_ = false;
        letterboxChanging_ = true;
        SetQuadArgb(letterboxTop_->v, 0xFF000000u);
        SetQuadArgb(letterboxBottom_->v, 0xFF000000u);
    } else {
        letterboxOn_ = false;
    }
}

void CSUIManager::StepLetterbox(uint32_t ms)
{
    if (!letterboxChanging_ || IsPauseMenuOpen() != 0) {
        return;
    }
    letterboxMs_ += ms;
    const uint32_t ratio = letterboxMs_ * 255 / letterboxDurationMs_;
    if (ratio >= 255) {
        letterboxChanging_ = false;
        if (!letterboxTargetOn_) {
            letterboxOn_ = false;
        }
    }
    const uint32_t level = std::min<uint32_t>(ratio, 255);
    const uint32_t alpha = letterboxTargetOn_ ? level : 255 - level;
    SetQuadArgb(letterboxTop_->v, alpha << 24);
    SetQuadArgb(letterboxBottom_->v, alpha << 24);
}

void CSUIManager::DrawLetterbox()
{
    if (!letterboxOn_ || IsPauseMenuOpen() != 0) {
        return;
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    DrawUIQuadKeepRaster(letterboxTop_->v);
    DrawUIQuadKeepRaster(letterboxBottom_->v);
}

void CSUIManager::DrawBaseMapFade() { DrawBaseMapFade(UIFrameMs()); }

void CSUIManager::DrawBaseMapFade(uint32_t ms)
{
    // The reveal runs first; a cover started meanwhile waits for its end.
    const bool revealing = IsBaseMapRevealing();
    if (!revealing && !IsBaseMapCovering()) {
        return;
    }
    uint32_t alpha = 0;
    if (revealing) {
        alpha = 255 - baseMapRevealMs_ * 255 / kBaseMapPhaseMs;
        baseMapRevealMs_ += ms;
    } else {
        alpha = baseMapCoverMs_ * 255 / kBaseMapPhaseMs;
        baseMapCoverMs_ += ms;
    }
    UIQuad quad;
    SetQuadPositions(quad.v, 0, 0, 640, 480);
    SetQuadUVs(quad.v, 0, 0, 1, 1);
    SetQuadArgb(quad.v, alpha << 24 | kBaseMapColour);
    DrawUIQuad(quad.v, GetTextureRaster(baseMap_));
}
