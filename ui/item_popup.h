// CSItemPopup: the overlay's short message of an item gained or a plain
// notice. A text box floats over the first hero's head for 2 s; for an
// item, its picture slides down at the top right of the screen (1.5 s),
// holds there with the number owned beside it (to 2.5 s) and goes back up.
// A new Show starts both over. The heroes' pick-up and the give-item event
// call Show; the events read IsShown.
#pragma once

#include <cstdint>
#include <string>

#include "ui/ui_quad.h"

class CSTextBlock;
struct RwTexture;

class CSItemPopup {
public:
    static constexpr float kTextSeconds = 2.0f;
    static constexpr float kSlideSeconds = 1.5f;
    static constexpr float kHoldSeconds = 2.5f;

    CSItemPopup();
    ~CSItemPopup();
    CSItemPopup(const CSItemPopup &) = delete;
    CSItemPopup &operator=(const CSItemPopup &) = delete;

    // Item id 0 shows the plain notice; any other id that item. The flag is
    // not read (callers pass 1).
    void Show(uint8_t flag, int32_t itemId);
    // One frame of `seconds`: the box follows the hero, the icon slides.
    void Update(float seconds);
    // The text box with its text, then the icon and its count.
    void Render();
    bool IsShown() const { return textShown_ || itemShown_; }
    // Gives the text block back and hides everything.
    void Release();

    bool TextShown() const { return textShown_; }
    bool ItemShown() const { return itemShown_; }
    bool BoxOnScreen() const { return boxOnScreen_; }
    float Seconds() const { return seconds_; }
    const std::u16string &Text() const { return text_; }
    const UIPicture &Box() const { return box_; }
    const UIPicture &Icon() const { return icon_; }
    const UIPicture &CountDigit(int i) const { return digits_[i]; }
    // The digit each place shows (-1: the place is hidden).
    int32_t CountPlace(int i) const { return places_[i]; }
    int32_t ItemCount() const { return count_; }

private:
    void ComposeText(int32_t itemId);
    void PlaceBox();
    void SetIconAndCount(int32_t itemId);
    void PlaceIcon(float share);
    void FreeText();

    UIQuad boxQuad_ = {};
    UIPicture box_;
    CSTextBlock *block_ = nullptr;
    float seconds_ = 0.0f;
    UIQuad iconQuad_ = {};
    UIPicture icon_;
    UIQuad digitQuads_[2] = {};
    UIPicture digits_[2];
    int32_t places_[2] = {-1, -1};
    int32_t count_ = 0;
    bool textShown_ = false;
    bool itemShown_ = false;
    bool boxOnScreen_ = false;
    std::u16string text_;
};
