// One tick of the game's input: from what the devices did (DeviceFrame) and the binding
// records to the pad-state blocks, the keyboard state bytes, the mouse button byte and
// the raw game-pad states.
//
// Pad n takes game pad n through slot n's bindings; pad 0 also takes the keyboard (slot 4)
// and the mouse: buttons OR-ed, for each axis the value of larger magnitude. The mouse is
// fixed: Mouse 1 square, Mouse 2 cross, Mouse 3 circle, wheel up r2 and wheel down l2 for
// one tick per notch, x motion the right stick's x (dx x mouse speed x 100 of the raw
// range). Pad 0 is connected while a keyboard exists or game pad 0 is connected.
#pragma once

#include <cstdint>

#include "input/button_config.h"
#include "input/devices.h"
#include "input/pad_state.h"

namespace input {

// State bytes from the raw level now, the raw level of the previous tick and whether a
// press started since then (a press always shows as 1 for one tick).
uint8_t PressStateOf(bool current, bool previous, bool freshPress);
uint8_t MouseStateOf(bool current, bool previous, bool freshPress);

class PadMapper {
public:
    // Moves block [0] into block [1], fills block [0] with the raw current states and
    // block [2] with the derived 0/1/2 states, and refreshes the bytes below.
    void Update(const DeviceFrame &frame, const ButtonConfig configs[kSlotCount], float mouseSpeed,
                PadState blocks[kPadBlockCount][kPadCount]);

    const uint8_t *KeyStateBytes() const { return keys_; }
    uint8_t MouseButtonState() const { return mouse_[0]; }
    uint8_t MouseButton(int button) const { return mouse_[button]; }
    const RawPadState &Raw(int pad) const { return raw_[pad]; }

private:
    uint8_t keys_[kKeyCodeCount] = {};
    bool keyWasDown_[kKeyCodeCount] = {};
    uint8_t mouse_[kMouseButtonCount] = {};
    bool mouseWasDown_[kMouseButtonCount] = {};
    RawPadState raw_[kPadCount] = {};
    bool rawWasDown_[kPadCount][kRawButtonCount] = {};
};

}  // namespace input
