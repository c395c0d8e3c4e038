// The binding records: for each slot (0..3 the game pads, 4 the keyboard) one code per
// named function. A pad slot's codes are raw button indices (0..15) or, for the stick
// functions, raw axis indices (0..7); the keyboard's are key codes (0 unbound). "active"
// is the slot's switch: 1 read, 0 ignored.
//
// No code serves two functions of a slot: among the keyboard's functions every key is
// used once; among a pad's button functions every button once, and among its four stick
// functions every axis once (a stick function and its "negative" name are one binding on
// a pad, since the axis gives both directions). On the keyboard Escape serves select and
// nothing else: it is the screens' back key (select is back wherever cross is) as well as
// the skip and cancel key, and the key binding page never gives select another key.
#pragma once

#include <cstdint>
#include <string_view>

namespace input {

constexpr int kPadSlotCount = 4;
constexpr int kKeyboardSlot = 4;
constexpr int kSlotCount = 5;

// The functions in the record's order.
enum ButtonFunction {
    kFnActive, kFnLeft, kFnRight, kFnUp, kFnDown,
    kFnLax, kFnLay, kFnRax, kFnRay,
    kFnStart, kFnSelect, kFnL1, kFnR1, kFnL2, kFnR2, kFnL3, kFnR3,
    kFnTriangle, kFnCircle, kFnCross, kFnSquare,
    kFnLaxNegative, kFnLayNegative, kFnRaxNegative, kFnRayNegative,
    kButtonFunctionCount,
};

struct ButtonConfig {
    int32_t codes[kButtonFunctionCount];
};

// "active", "left" ... "raynegative"; null out of range.
const char *ButtonFunctionName(int function);
// The function of a name (exact, as stored in the file); -1 when unknown.
int ButtonFunctionFromName(std::string_view name);

// The function that drives each PadState button (cross -> kFnCross ...).
ButtonFunction FunctionOfPadButton(int padButton);
// For a stick function or its negative: the stick function (kFnLax ...); -1 otherwise.
int StickFunctionOf(int function);

ButtonConfig DefaultButtonConfig(int slot);

// The range of codes a function of the slot takes: "active" 0..1; keyboard keys 0..255;
// pad buttons 0..15; pad axes 0..7. False for an unknown slot or function.
bool BindingCodeRange(int slot, int function, int32_t *low, int32_t *high);
// Whether code lies in that range and may be bound (on the keyboard Escape only to select).
bool IsBindingCodeValid(int slot, int function, int32_t code);

// The function of the slot other than `function` (and other than its own stick partner on
// a pad) that already holds code in the same class; -1 when none does.
int FindBindingConflict(const ButtonConfig &config, int slot, int function, int32_t code);

// Stores code for the function: false (record unchanged) when the code is out of range.
// A function of the slot that held the code takes this function's previous code (a swap),
// so no code ever serves two functions and none is lost. On a pad, a stick function and
// its negative are set together.
bool SetBinding(ButtonConfig *config, int slot, int function, int32_t code);

// The first pair of functions sharing a code, if any (as function indices); false when the
// record has none.
bool FindDuplicateBinding(const ButtonConfig &config, int slot, int *first, int *second);

}  // namespace input
