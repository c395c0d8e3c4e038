// The menu cursor's trail (see cursor_trail.h).
#include "ui/cursor_trail.h"

namespace {

constexpr float kTravelSeconds = 0.2f;
constexpr float kSlowestSpeed = 0.1f;

const CursorRect &Target(const CursorRect *targets, uint32_t count, uint32_t entry)
{
    static const CursorRect kNone = {};
    return entry < count ? targets[entry] : kNone;
}

CursorRect Blend(const CursorRect &a, const CursorRect &b, float t)
{
    return {a.top + (b.top - a.top) * t, a.bottom + (b.bottom - a.bottom) * t, a.left + (b.left - a.left) * t,
            a.right + (b.right - a.right) * t};
}

}  // namespace

void CursorTrail::Reset(uint32_t entry, const CursorRect *targets, uint32_t count)
{
    for (Copy &copy : copies_) {
        copy = Copy{};
        copy.from = copy.to = entry;
        copy.rect = Target(targets, count, entry);
    }
}

void CursorTrail::Move(uint32_t entry, float speed)
{
    for (int k = 0; k < kCopies; ++k) {
        Copy &copy = copies_[k];
        copy.speed = speed - static_cast<float>(k) * (speed - kSlowestSpeed) / static_cast<float>(kCopies);
        if (copy.moving) {
            copy.from = copy.to;
            copy.elapsed = 0.0f;
        } else {
            copy.moving = true;
        }
        copy.to = entry;
    }
}

void CursorTrail::Step(float seconds, const CursorRect *targets, uint32_t count)
{
    for (int k = 0; k < kCopies; ++k) {
        Copy &copy = copies_[k];
        if (!copy.moving) {
            copy.rect = Target(targets, count, copy.to);  // at rest on its entry
            continue;
        }
        copy.elapsed += seconds;
        // (Move gives each copy a speed between the owner's, above 0, and 0.1.)
        const float travel = kTravelSeconds / copy.speed;
        if (copy.elapsed < travel) {
            copy.rect = Blend(Target(targets, count, copy.from), Target(targets, count, copy.to), copy.elapsed / travel);
            continue;
        }
        copy.rect = Target(targets, count, copy.to);
        copy.moving = false;
        copy.elapsed = 0.0f;
        copy.speed = 0.0f;
        copy.from = copy.to;
    }
}
