// The two counters of a hero panel. The hit counter shows the hero's run
// of landed hits from the third on, its digits popping in one after the
// other, and fades out 4.5 s after the count last changed. The money
// counter shows what reward pieces have added to the money, shaking for
// 200 ms, still until 800 ms, then fading; each gain restarts it and adds
// to the amount shown.
#pragma once

#include <cstdint>

#include "ui/hud_pictures.h"

class CSHero;
struct RwTexture;

inline constexpr uint32_t kHudTimerIdle = 0xFFFFFFFFu;
// A life or power (or its maximum) that a panel or gauge has not read yet.
inline constexpr int32_t kHudValueUnread = -1;

// The hit counter's anchor for the chosen screen size: x = W - W x
// 0.11764706 (571.4286 at a width of 800), y = H / 13 in whole pixels.
void HitCounterAnchor(uint32_t width, uint32_t height, float *x, float *y);

class CSHitCounter {
public:
    static constexpr int32_t kFirstCountShown = 3;
    static constexpr uint32_t kShowMs = 4500;
    static constexpr uint32_t kFadeMs = 500;

    // Hidden, with the anchor for the screen size.
    void Init(uint32_t screenWidth, uint32_t screenHeight);
    // The hero's current count: a count of 3 or more that differs from the
    // one shown shows it from the start; a lower count changes nothing.
    void Show(const CSHero *hero);
    // One frame of ms while shown: the display time, then the fade.
    void Step(uint32_t ms);
    // The two lines, the label and the digits, with the atlas.
    void Render(RwTexture *atlas);

    bool IsShown() const { return shown_; }
    int32_t CountShown() const { return countShown_; }
    float AnchorX() const { return x_; }
    float AnchorY() const { return y_; }
    uint32_t DisplayMs() const { return displayMs_; }
    uint32_t FadeMs() const { return fadeMs_; }
    uint8_t Alpha() const { return alpha_; }
    const UIQuad &Label() const { return label_; }
    const UIQuad &Line(int i) const { return lines_[i]; }
    // Digit i's rectangle as drawn at the display time now.
    void DigitRect(int32_t i, int32_t digits, float *x0, float *y0, float *x1, float *y1) const;

private:
    void PlacePictures();
    void SetAlpha(uint8_t alpha);

    UIQuad label_ = {};
    UIQuad lines_[2] = {};
    UIQuad digit_ = {};
    int32_t countShown_ = 0;
    bool shown_ = false;
    float x_ = 0.0f;
    float y_ = 0.0f;
    uint32_t displayMs_ = 0;
    uint32_t fadeMs_ = kHudTimerIdle;
    uint8_t alpha_ = 255;
};

class CSMoneyCounter {
public:
    static constexpr float kRightX = 527.0f;
    static constexpr float kTopY = 366.0f;
    static constexpr uint32_t kShakeMs = 200;
    static constexpr uint32_t kFadeFromMs = 800;

    void Init();
    // Adds the amount to the value shown and starts over (shown when
    // `show` is set).
    void Add(bool show, int32_t amount);
    // The elapsed time grows by ms; 255 ms into the fade the counter hides
    // and its value returns to 0.
    void Step(uint32_t ms);
    // The coin, then the digits (shaking at first), with the atlas.
    void Render(RwTexture *atlas);

    bool IsShown() const { return shown_; }
    int32_t Value() const { return value_; }
    const char *Text() const { return text_; }
    uint32_t ElapsedMs() const { return elapsedMs_; }
    float X() const { return x_; }
    // The alpha at the elapsed time.
    uint8_t Alpha() const;

private:
    UIQuad quad_ = {};
    int32_t value_ = 0;
    char text_[32] = {};
    int32_t digits_ = 0;
    bool shown_ = false;
    float x_ = kRightX;
    float y_ = kTopY;
    uint32_t elapsedMs_ = 0;
};
