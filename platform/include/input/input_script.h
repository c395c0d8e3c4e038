// Input scripts: one device event per line, applied at the start of its tick (ticks count
// from 1), so that a run can be driven without devices.
//
//   <tick> key <code|name> <0|1>
//   <tick> pad<n> button <i> <0|1>          n 0..3, i the raw button 0..15
//   <tick> pad<n> axis <i> <-1000..1000>    i the raw axis 0..7
//   <tick> pad<n> connect <0|1>
//   <tick> mouse button <i> <0|1>           i 0 left, 1 right, 2 middle
//   <tick> mouse move <dx> <dy>
//   <tick> mouse wheel <+1|-1>
//   <tick> quit
//
// "#" starts a comment. A state holds until changed. A key given by number is its code; a
// name may hold blanks ("Num 1"). Ticks never go backwards. The script counts as a keyboard
// and mouse, so pad 0 is connected until a "pad0 connect 0" line; pads 1..3 exist from
// their "connect 1" line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "input/devices.h"

namespace input {

enum class ScriptEventKind : uint8_t {
    Key, PadButton, PadAxis, PadConnect, MouseButton, MouseMove, MouseWheel, Quit,
};

struct ScriptEvent {
    uint32_t tick;
    ScriptEventKind kind;
    uint8_t pad;     // pad events
    int32_t index;   // key code, button or axis index
    int32_t value;   // 0/1, axis value, dx, wheel direction
    int32_t value2;  // dy
    uint32_t line;   // line of the script, for messages
};

struct InputScript {
    std::vector<ScriptEvent> events;  // in tick order
};

// False with "line N: <what is wrong>: <the line>" in *error for the first malformed line.
bool ParseInputScript(std::string_view text, InputScript *script, std::string *error);
// Reads and parses a script file; false with a message naming the file (and the line).
bool LoadInputScript(const std::string &path, InputScript *script, std::string *error);

// The devices of a script: the k-th poll is tick k.
std::unique_ptr<InputDevices> CreateScriptedInputDevices(InputScript script);

}  // namespace input
