// A menu cursor with its trail: six copies of one picture that glide from
// entry to entry, the cursor itself (copy 0) fastest and each trailing copy
// slower, drawn fainter the further back it is. A move while a copy is
// still gliding sends that copy on from the target it was heading for, not
// from where it is drawn. The owner gives the rectangle of each entry and
// draws the copies with its own picture.
#pragma once

#include <cstdint>

// A rectangle of the 640 x 480 interface screen, in this order.
struct CursorRect {
    float top, bottom, left, right;
};

class CursorTrail {
public:
    static constexpr int kCopies = 6;

    struct Copy {
        float elapsed = 0.0f;  // seconds since the copy left
        float speed = 0.0f;
        uint32_t from = 0;
        uint32_t to = 0;
        bool moving = false;
        CursorRect rect = {};
    };

    // Every copy at rest on `entry` of the owner's `targets`.
    void Reset(uint32_t entry, const CursorRect *targets, uint32_t count);
    // Sends the copies toward `entry`: copy k at speed - k x (speed - 0.1) / 6.
    void Move(uint32_t entry, float speed);
    // Glides the moving copies on by `seconds`; a copy takes 0.2 / speed
    // seconds for its way.
    void Step(float seconds, const CursorRect *targets, uint32_t count);

    const Copy &At(int k) const { return copies_[k]; }
    // Whether copy k is drawn: while it moves, and always for the cursor.
    bool Shown(int k) const { return k == 0 || copies_[k].moving; }
    // Its alpha: 255 for the cursor down to 50 for the last copy.
    static uint8_t Alpha(int k) { return static_cast<uint8_t>(255 - 41 * k); }

private:
    Copy copies_[kCopies];
};
