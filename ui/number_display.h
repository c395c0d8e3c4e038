// A rolling number of the status page: a value (and for life and power its
// maximum, shown "value/maximum") that rolls from where it stands to a new
// target over one second, drawn in the small digits of the PLAYER atlas.
// Each display holds one digit picture for every character its longest
// text can have (11 for "%d", 23 for "%d/%d"), so a value that grows while
// the page is open never outruns them.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/ui_quad.h"

struct NumberDisplay {
    static constexpr int32_t kValueCapacity = 11;     // "-2147483648"
    static constexpr int32_t kFractionCapacity = 23;  // two of them and "/"
    static constexpr float kRollSeconds = 1.0f;
    static constexpr float kDigitLeft = 66.0f;
    static constexpr float kDigitPitch = 13.0f;
    static constexpr float kDigitWidth = 12.0f;

    std::unique_ptr<OwnedPicture[]> digits;
    int32_t from = 0;
    int32_t target = 0;
    int32_t shown = 0;
    int32_t fromMax = 0;
    int32_t targetMax = 0;
    int32_t shownMax = 0;
    float rollTime = 0.0f;
    int32_t charCount = 0;
    int32_t capacity = 0;
    char text[kFractionCapacity + 1] = {};
    bool withMax = false;
    float top = 0.0f;
    float bottom = 0.0f;

    // From 0 to the value (and maximum): the digit pictures made for the
    // row y0..y1, the text laid out.
    void Start(int32_t value, int32_t maximum, bool hasMax, float y0, float y1);
    // One update: the roll by dt, then a new target when the hero's value
    // (or maximum) differs from it, then the text.
    void Step(float dt, int32_t value, int32_t maximum);
    void Release();
    void Draw() const;
    const char *Text() const { return text; }

private:
    void LayOut();
};
