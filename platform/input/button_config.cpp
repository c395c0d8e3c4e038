// The binding records: names, defaults, ranges and the rule that no code serves two
// functions of a slot.
#include "input/button_config.h"

#include "input/key_codes.h"
#include "input/pad_state.h"

namespace input {
namespace {

constexpr const char *kFunctionNames[kButtonFunctionCount] = {
    "active", "left", "right", "up", "down", "lax", "lay", "rax", "ray",
    "start", "select", "l1", "r1", "l2", "r2", "l3", "r3",
    "triangle", "circle", "cross", "square",
    "laxnegative", "laynegative", "raxnegative", "raynegative",
};

constexpr ButtonFunction kFunctionOfPadButton[kPadButtonCount] = {
    kFnCross, kFnCircle, kFnSquare, kFnTriangle, kFnL1, kFnR1, kFnL2, kFnR2,
    kFnL3, kFnR3, kFnSelect, kFnStart, kFnUp, kFnDown, kFnLeft, kFnRight,
};

// Codes in record order.
constexpr ButtonConfig kPadDefaults = {{
    1, kRawLeft, kRawRight, kRawUp, kRawDown, 0, 1, 2, 3,
    kRawStart, kRawBack, kRawLeftShoulder, kRawRightShoulder, kRawLeftTrigger, kRawRightTrigger,
    kRawLeftStick, kRawRightStick,
    kRawNorth, kRawEast, kRawSouth, kRawWest,
    0, 1, 2, 3,
}};

constexpr ButtonConfig kKeyboardDefaults = {{
    1, kKeyLeft, kKeyRight, kKeyUp, kKeyDown, kKeyD, kKeyS, kKeyL, kKeyK,
    kKeyEnter, kKeyEscape, kKeyQ, kKeyE, kKeyR, kKeyF,
    kKeyNone, kKeyNone,  // l3 and r3: nothing reads them and the binding page leaves them out
    kKeyV, kKeyC, kKeyX, kKeyZ,
    kKeyA, kKeyW, kKeyJ, kKeyI,
}};

// Which codes of a pad slot may clash: buttons with buttons, sticks with sticks.
enum class CodeClass { Switch, Button, Stick };

CodeClass ClassOf(int slot, int function) {
    if (function == kFnActive) return CodeClass::Switch;
    if (slot != kKeyboardSlot && StickFunctionOf(function) >= 0) return CodeClass::Stick;
    return CodeClass::Button;
}

bool IsFunction(int function) { return function >= 0 && function < kButtonFunctionCount; }
bool IsSlot(int slot) { return slot >= 0 && slot < kSlotCount; }

}  // namespace

const char *ButtonFunctionName(int function) {
    return IsFunction(function) ? kFunctionNames[function] : nullptr;
}

int ButtonFunctionFromName(std::string_view name) {
    for (int function = 0; function < kButtonFunctionCount; ++function) {
        if (name == kFunctionNames[function]) return function;
    }
    return -1;
}

ButtonFunction FunctionOfPadButton(int padButton) { return kFunctionOfPadButton[padButton]; }

int StickFunctionOf(int function) {
    switch (function) {
    case kFnLax: case kFnLaxNegative: return kFnLax;
    case kFnLay: case kFnLayNegative: return kFnLay;
    case kFnRax: case kFnRaxNegative: return kFnRax;
    case kFnRay: case kFnRayNegative: return kFnRay;
    default: return -1;
    }
}

ButtonConfig DefaultButtonConfig(int slot) {
    return slot == kKeyboardSlot ? kKeyboardDefaults : kPadDefaults;
}

bool BindingCodeRange(int slot, int function, int32_t *low, int32_t *high) {
    if (!IsSlot(slot) || !IsFunction(function)) return false;
    *low = 0;
    switch (ClassOf(slot, function)) {
    case CodeClass::Switch: *high = 1; break;
    case CodeClass::Stick: *high = kRawAxisCount - 1; break;
    case CodeClass::Button:
        *high = slot == kKeyboardSlot ? kKeyCodeCount - 1 : kRawButtonCount - 1;
        break;
    }
    return true;
}

bool IsBindingCodeValid(int slot, int function, int32_t code) {
    int32_t low = 0, high = 0;
    if (!BindingCodeRange(slot, function, &low, &high) || code < low || code > high) return false;
    // Escape is select's alone: the back key of every screen that draws "(Esc)".
    return !(slot == kKeyboardSlot && function != kFnActive && function != kFnSelect && code == kKeyEscape);
}

int FindBindingConflict(const ButtonConfig &config, int slot, int function, int32_t code) {
    if (!IsSlot(slot) || !IsFunction(function)) return -1;
    const CodeClass cls = ClassOf(slot, function);
    if (cls == CodeClass::Switch) return -1;
    if (slot == kKeyboardSlot && code == kKeyNone) return -1;  // any number may be unbound
    const int ownStick = StickFunctionOf(function);
    for (int other = 0; other < kButtonFunctionCount; ++other) {
        if (other == function || ClassOf(slot, other) != cls) continue;
        if (cls == CodeClass::Stick && StickFunctionOf(other) == ownStick) continue;
        if (config.codes[other] == code) return other;
    }
    return -1;
}

bool SetBinding(ButtonConfig *config, int slot, int function, int32_t code) {
    if (!IsBindingCodeValid(slot, function, code)) return false;
    const int stick = slot == kKeyboardSlot ? -1 : StickFunctionOf(function);
    const int own = stick >= 0 ? stick : function;
    // Whoever holds the code takes this function's old one, so nothing is lost or doubled.
    const int holder = FindBindingConflict(*config, slot, function, code);
    if (holder >= 0) {
        const int32_t old = config->codes[own];
        const int holderStick = slot == kKeyboardSlot ? -1 : StickFunctionOf(holder);
        if (holderStick >= 0) {
            config->codes[holderStick] = old;
            config->codes[holderStick - kFnLax + kFnLaxNegative] = old;
        } else {
            config->codes[holder] = old;
        }
    }
    if (stick >= 0) {
        config->codes[stick] = code;
        config->codes[stick - kFnLax + kFnLaxNegative] = code;
    } else {
        config->codes[function] = code;
    }
    return true;
}

bool FindDuplicateBinding(const ButtonConfig &config, int slot, int *first, int *second) {
    for (int function = 0; function < kButtonFunctionCount; ++function) {
        const int other = FindBindingConflict(config, slot, function, config.codes[function]);
        if (other >= 0) {
            *first = function < other ? function : other;
            *second = function < other ? other : function;
            return true;
        }
    }
    return false;
}

}  // namespace input
