// The input log of a run: per tick, every change of the derived pad states, the mouse
// button byte and the keyboard state bytes, written in the input script's syntax (button
// and axis indices are those of the pad state; axes in thousandths).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "input/pad_state.h"

namespace input {

class InputLog {
public:
    // Appends to text the lines of what changed since the previous call (everything that
    // differs from a silent start on the first call).
    void Record(uint32_t tick, const PadState states[kPadCount], uint8_t mouseButton,
                const uint8_t keys[256], std::string *text);

private:
    PadState last_[kPadCount] = {};
    uint8_t lastMouse_ = 0;
    uint8_t lastKeys_[256] = {};
};

}  // namespace input
