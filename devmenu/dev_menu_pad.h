// Pad 0 as every handler of the developer menu reads it: the game system's
// 0/1/2 block; a button acts only in the frame its state is 1.
#pragma once

#include "app/pad_state.h"

struct DevMenuPad {
    const PadState *pad = nullptr;  // null while pad 0 is not connected or there is no game system

    bool Connected() const { return pad != nullptr; }
    bool Pressed(PadButton button) const { return pad != nullptr && pad->buttons[button] == kPadPressedState; }
};

DevMenuPad ReadDevMenuPad();
