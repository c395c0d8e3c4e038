// The status page's rolling numbers (see number_display.h).
#include "ui/number_display.h"

#include <cstdio>

#include "ui/ui_manager.h"

namespace {

constexpr uint32_t kDigitColour = 0xF0F0F0F0u;
constexpr uint32_t kSlashCell = 0xFFFFFFFFu;

int32_t Blend(int32_t from, int32_t to, float t)
{
    const double value = static_cast<double>(from) + (static_cast<double>(to) - static_cast<double>(from)) * t;
    return static_cast<int32_t>(value);
}

}  // namespace

void NumberDisplay::Start(int32_t value, int32_t maximum, bool hasMax, float y0, float y1)
{
    Release();
    withMax = hasMax;
    from = shown = 0;
    fromMax = shownMax = 0;
    target = value;
    targetMax = hasMax ? maximum : 0;
    rollTime = 0.0f;
    top = y0;
    bottom = y1;
    capacity = hasMax ? kFractionCapacity : kValueCapacity;
    digits = std::make_unique<OwnedPicture[]>(static_cast<size_t>(capacity));
    LayOut();
}

void NumberDisplay::Step(float dt, int32_t value, int32_t maximum)
{
    if (digits == nullptr) {
        return;
    }
    rollTime += dt;
    if (rollTime < kRollSeconds) {
        shown = Blend(from, target, rollTime);
        if (withMax) {
            shownMax = Blend(fromMax, targetMax, rollTime);
        }
    } else {
        rollTime = kRollSeconds;  // over until the next change
        shown = from = target;
        shownMax = fromMax = targetMax;
    }
    if (value != target) {
        from = shown;
        target = value;
        rollTime = 0.0f;
    }
    if (withMax && maximum != targetMax) {
        fromMax = shownMax;
        targetMax = maximum;
        rollTime = 0.0f;
    }
    LayOut();
}

void NumberDisplay::LayOut()
{
    if (withMax) {
        std::snprintf(text, sizeof text, "%d/%d", shown, shownMax);
    } else {
        std::snprintf(text, sizeof text, "%d", shown);
    }
    charCount = 0;
    for (const char *c = text; *c != '\0' && charCount < capacity; ++c, ++charCount) {
        OwnedPicture &digit = digits[static_cast<size_t>(charCount)];
        const UIIconCell *cell = nullptr;
        if (g_pUIManager != nullptr) {
            if (*c >= '0' && *c <= '9') {
                cell = g_pUIManager->GetSmallDigit(static_cast<uint32_t>(*c - '0'));
            } else if (*c == '/') {
                cell = g_pUIManager->GetSmallDigit(kSlashCell);
            }
        }
        UIPicture &p = digit.picture;
        p.vertices = digit.quad.v;
        p.texture = cell != nullptr ? cell->texture : nullptr;
        if (cell != nullptr) {
            p.s0 = cell->s0;
            p.t0 = cell->t0;
            p.s1 = cell->s1;
            p.t1 = cell->t1;
        }
        p.left = kDigitLeft + kDigitPitch * static_cast<float>(charCount);
        p.right = p.left + kDigitWidth;
        p.top = top;
        p.bottom = bottom;
        p.Place();
        SetQuadArgb(digit.quad.v, kDigitColour);
    }
}

void NumberDisplay::Release()
{
    digits.reset();
    charCount = 0;
    capacity = 0;
}

void NumberDisplay::Draw() const
{
    if (digits == nullptr) {
        return;
    }
    for (int32_t i = 0; i < charCount; ++i) {
        const UIPicture &p = digits[static_cast<size_t>(i)].picture;
        if (p.texture != nullptr) {
            p.Draw();
        }
    }
}
