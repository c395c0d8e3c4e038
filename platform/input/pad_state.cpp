// Names of pad codes and of the pad-state buttons.
#include "input/pad_state.h"

namespace input {

const char *GetPadButtonName(int code) {
    static const char *const kNames[kRawButtonCount] = {
        "Button 1", "Button 2", "Button 3", "Button 4", "Button 5", "Button 6",
        "Button 7", "Button 8", "Button 9", "Button 10", "Button 11", "Button 12",
        "Button UP", "Button Right", "Button Down", "Button Left",
    };
    if (code < 0 || code >= kRawButtonCount) return "Unknown";
    return kNames[code];
}

std::string GetPadAxisName(int code, bool negative) {
    static const char *const kNames[kRawAxisCount] = {
        "Left Stick X", "Left Stick Y", "Right Stick X", "Right Stick Y",
        "Left Trigger", "Right Trigger", "Axis 7", "Axis 8",
    };
    if (code < 0 || code >= kRawAxisCount) return "Unknown";
    return std::string(kNames[code]) + (negative ? "-" : "+");
}

const char *PadButtonName(int button) {
    static const char *const kNames[kPadButtonCount] = {
        "cross", "circle", "square", "triangle", "l1", "r1", "l2", "r2",
        "l3", "r3", "select", "start", "up", "down", "left", "right",
    };
    if (button < 0 || button >= kPadButtonCount) return nullptr;
    return kNames[button];
}

}  // namespace input
