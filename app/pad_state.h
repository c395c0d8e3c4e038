// One pad as the game sees it: the 36-byte pad state of the game system's
// three blocks of four (block 0 the raw current state, 1 the raw previous
// state, 2 the 0/1/2 states that every screen, the developer menu and the
// heroes read: 0 up, 1 pressed this frame, 2 held).
#pragma once

#include <cstddef>
#include <cstdint>

#include "input/pad_state.h"

// The record itself is the input layer's, which fills the blocks.
using PadState = input::PadState;
static_assert(offsetof(PadState, axes) == 20, "the axes follow the buttons after padding");

enum PadButton : uint8_t {
    kPadCross = 0,
    kPadCircle = 1,
    kPadSquare = 2,
    kPadTriangle = 3,
    kPadL1 = 4,
    kPadR1 = 5,
    kPadL2 = 6,
    kPadR2 = 7,
    kPadL3 = 8,
    kPadR3 = 9,
    kPadSelect = 10,
    kPadStart = 11,
    kPadUp = 12,
    kPadDown = 13,
    kPadLeft = 14,
    kPadRight = 15,
};

// Button states of block 2.
enum : uint8_t {
    kPadUpState = 0,
    kPadPressedState = 1,  // pressed this frame
    kPadHeldState = 2,
};

inline constexpr int kPadBlocks = 3;
inline constexpr int kPadsPerBlock = 4;
// The block of 0/1/2 states.
inline constexpr int kPadStateBlock = 2;

// Pressed this frame or held.
inline bool PadDown(const PadState &pad, PadButton button) { return pad.buttons[button] != kPadUpState; }
// Pressed this frame.
inline bool PadPressed(const PadState &pad, PadButton button) { return pad.buttons[button] == kPadPressedState; }
// Held since an earlier frame.
inline bool PadHeld(const PadState &pad, PadButton button) { return pad.buttons[button] == kPadHeldState; }
