// The input object: made after the game system, it reads buttons.pref and, each tick,
// polls the devices (SDL's keyboard, mouse and pads; an input script under --input; none
// in a headless run without one) into the game system's pad-state blocks, the keyboard
// state bytes, the mouse button byte and the raw game-pad states. Escape pressed while an
// in-game scene or an event movie runs skips it. Under --input-log every change of what
// the game reads is written down.
//
// The binding records and the mouse speed live here; the options and key-binding screens
// reach them through the functions below.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "app/pad_state.h"
#include "input/button_config.h"
#include "input/devices.h"
#include "input/input_log.h"
#include "input/key_codes.h"
#include "input/pad_mapper.h"

namespace game {
struct Options;
}

inline constexpr float kDefaultMouseSpeed = 0.25f;
inline constexpr float kMinMouseSpeed = 0.05f;
inline constexpr float kMaxMouseSpeed = 0.45f;

class CSInput {
public:
    CSInput() = default;
    ~CSInput() { Destroy(); }
    CSInput(const CSInput &) = delete;
    CSInput &operator=(const CSInput &) = delete;

    // Opens the devices the options ask for and the input log, reads
    // "<data root>\buttons.pref" and becomes the one input object. False with a
    // message when the script cannot be read (a malformed line among them), the
    // devices cannot start or the log cannot be written.
    bool Create(const game::Options &options, std::string *error);
    // The same over devices the caller made (tests); `logPath` empty writes no log.
    bool Create(std::unique_ptr<input::InputDevices> devices, const std::string &logPath,
                std::string *error);
    void Destroy();

    // One tick (`tick` counts from 1): polls the devices into the blocks and the bytes,
    // logs the changes and acts on the skip key. True when the devices ask the program
    // to end (a script's "quit").
    bool Poll(uint32_t tick, PadState blocks[kPadBlocks][kPadsPerBlock]);

    // Reads a binding file into the records and the mouse speed, starting from the
    // defaults; every fault is reported and keeps its default. False when the file is
    // missing (the defaults stand).
    bool LoadButtonConfig(const char *path);
    // Writes the records and the mouse speed through a temporary file renamed over the
    // old one; false (the old file untouched) when that fails.
    bool SaveButtonConfig(const char *path) const;
    // The text SaveButtonConfig writes.
    std::string FormatButtonConfig() const;

    input::ButtonConfig configs[input::kSlotCount];

private:
    std::unique_ptr<input::InputDevices> devices_;
    input::PadMapper mapper_;
    input::InputLog log_;
    FILE *logFile_ = nullptr;
    bool created_ = false;
};

// The one input object (null outside its life).
extern CSInput *g_pInput;

// What the screens read, refreshed with the pad states each tick: the left mouse button
// (0 up, 1 pressed this tick, 3 held, 2 released this tick), the keyboard by key code
// (0 up, 1 pressed this tick, 2 held) and the game pads before the bindings.
extern uint8_t MouseButtonState;
extern uint8_t KeyStateBytes[input::kKeyCodeCount];
// The key pressed this tick.
inline bool KeyPressedNow(int code) { return KeyStateBytes[code] == kPadPressedState; }
extern input::RawPadState RawPadState[input::kPadCount];
// The mouse speed, 0.05..0.45; stored in buttons.pref.
extern float MouseSpeed;

// The code bound to a function ("square", "laxnegative" ...) in a slot (0..3 the game
// pads, 4 the keyboard); -1 for an unknown slot or name or without an input object.
int32_t GetButtonBinding(int32_t slot, const char *function);
// Stores a code for a function. Refused (false, nothing changed) when the code is out of
// the function's range; a function of the slot that held the code takes this function's
// old one (a swap); on a pad a stick function and its "negative" name change together.
bool SetButtonBinding(int32_t slot, const char *function, int32_t code);
// Every slot's bindings back to the defaults (written by the next SaveButtonConfig).
void ResetButtonConfig();
// Writes "<data root>\buttons.pref" with every slot and the mouse speed.
bool SaveButtonConfig();

// The pad-rumble request: nothing is shaken; always 0.
int32_t RequestPadRumble(int32_t slot, int32_t pattern);

using input::GetKeyName;
using input::GetPadAxisName;
using input::GetPadButtonName;
