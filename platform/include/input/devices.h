// The input devices as the game's tick sees them: what each keyboard key, mouse button and
// game-pad button did since the last poll, with the levels of the axes. Two sources fill
// it: SDL (keyboard, mouse, game controllers and raw joysticks, with hot-plug) and an
// input script (tests and recorded runs).
//
// A digital input carries its level now and the presses since the last poll, so a tap
// that starts and ends between two polls is still seen for one tick.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "input/key_codes.h"
#include "input/pad_state.h"

namespace input {

struct DigitalInput {
    uint8_t down;     // level at the poll
    uint8_t presses;  // presses since the previous poll (saturating)
};

constexpr int kMouseButtonCount = 3;  // 0 left ("Mouse 1"), 1 right ("Mouse 2"), 2 middle

struct KeyboardFrame {
    bool present;
    DigitalInput keys[kKeyCodeCount];
};

struct MouseFrame {
    bool present;
    DigitalInput buttons[kMouseButtonCount];
    int32_t dx, dy;         // motion since the previous poll
    uint8_t wheelUp;        // notches since the previous poll (saturating)
    uint8_t wheelDown;
};

struct PadFrame {
    bool connected;
    DigitalInput buttons[kRawButtonCount];
    int32_t axes[kRawAxisCount];  // -1000..1000
};

struct DeviceFrame {
    KeyboardFrame keyboard;
    MouseFrame mouse;
    PadFrame pads[kPadCount];
    bool quit;  // the source asks the program to end (a script's "quit")
};

inline void CountPress(DigitalInput *input) {
    input->down = 1;
    if (input->presses < 255) ++input->presses;
}

// Starts the next poll interval: presses, motion and wheel notches back to 0 (levels stay).
void ClearSincePoll(DeviceFrame *frame);

class InputDevices {
public:
    virtual ~InputDevices() = default;
    // Fills the frame with the state at this poll and what happened since the last one.
    virtual void Poll(DeviceFrame *frame) = 0;
};

// SDL's keyboard, mouse and pads. Pads go through the game-controller API with SDL's own
// mapping database plus the mappings of mappingFile when it exists (empty: none); a
// joystick without a mapping is read raw. Null with a message when SDL's game-controller
// subsystem cannot start.
std::unique_ptr<InputDevices> CreateSdlInputDevices(const std::string &mappingFile,
                                                    std::string *error);

// No devices at all: no keyboard, no mouse, no pads (headless runs without a script).
std::unique_ptr<InputDevices> CreateAbsentInputDevices();

}  // namespace input
