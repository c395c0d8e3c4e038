// The input log: changes of the derived states, one script-syntax line each.
#include "input/input_log.h"

#include <cmath>

#include "input/key_codes.h"

namespace input {
namespace {

int32_t Thousandths(float axis) { return int32_t(std::lround(double(axis) * 1000.0)); }

// A key as the script names it: by name when the name reads back as that key, else by code.
std::string KeyWord(int code) {
    const std::string name = GetKeyName(code);
    bool digits = true;
    for (char c : name) digits = digits && c >= '0' && c <= '9';
    if (!digits && name != "Unknown" && KeyCodeFromName(name) == code) return name;
    return std::to_string(code);
}

}  // namespace

void InputLog::Record(uint32_t tick, const PadState states[kPadCount], uint8_t mouseButton,
                      const uint8_t keys[256], std::string *text) {
    const std::string at = std::to_string(tick) + " ";
    for (int pad = 0; pad < kPadCount; ++pad) {
        const PadState &now = states[pad];
        PadState &last = last_[pad];
        const std::string name = at + "pad" + std::to_string(pad) + " ";
        if (now.connected != last.connected) {
            *text += name + "connect " + std::to_string(now.connected) + "\n";
        }
        for (int b = 0; b < kPadButtonCount; ++b) {
            if (now.buttons[b] != last.buttons[b]) {
                *text += name + "button " + std::to_string(b) + " " +
                         std::to_string(now.buttons[b]) + "  # " + PadButtonName(b) + "\n";
            }
        }
        static const char *const kAxisNames[kPadAxisCount] = {"lax", "lay", "rax", "ray"};
        for (int a = 0; a < kPadAxisCount; ++a) {
            if (Thousandths(now.axes[a]) != Thousandths(last.axes[a])) {
                *text += name + "axis " + std::to_string(a) + " " +
                         std::to_string(Thousandths(now.axes[a])) + "  # " + kAxisNames[a] + "\n";
            }
        }
        last = now;
    }
    if (mouseButton != lastMouse_) {
        *text += at + "mouse button 0 " + std::to_string(mouseButton) + "\n";
        lastMouse_ = mouseButton;
    }
    for (int code = 0; code < 256; ++code) {
        if (keys[code] != lastKeys_[code]) {
            *text += at + "key " + KeyWord(code) + " " + std::to_string(keys[code]) + "\n";
            lastKeys_[code] = keys[code];
        }
    }
}

}  // namespace input
