// The binding records: the defaults, the ranges and the rule that no code serves two
// functions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "input/button_config.h"
#include "input/key_codes.h"

namespace button_config_test {

namespace {

using namespace input;

int Code(const ButtonConfig &config, const char *name) {
    const int function = ButtonFunctionFromName(name);
    EXPECT_GE(function, 0) << name;
    return function >= 0 ? config.codes[function] : -1;
}

TEST(ButtonConfig, FunctionNamesInRecordOrder) {
    const char *names[] = {
        "active", "left", "right", "up", "down", "lax", "lay", "rax", "ray", "start", "select",
        "l1", "r1", "l2", "r2", "l3", "r3", "triangle", "circle", "cross", "square",
        "laxnegative", "laynegative", "raxnegative", "raynegative",
    };
    ASSERT_EQ(std::size(names), size_t(kButtonFunctionCount));
    for (int i = 0; i < kButtonFunctionCount; ++i) {
        EXPECT_STREQ(ButtonFunctionName(i), names[i]);
        EXPECT_EQ(ButtonFunctionFromName(names[i]), i);
    }
    EXPECT_EQ(ButtonFunctionName(kButtonFunctionCount), nullptr);
    EXPECT_EQ(ButtonFunctionFromName("Cross"), -1);
    EXPECT_EQ(ButtonFunctionFromName(""), -1);
}

TEST(ButtonConfig, PadDefaults) {
    const struct { const char *name; int code; } expected[] = {
        {"active", 1}, {"cross", 0}, {"circle", 1}, {"square", 2}, {"triangle", 3},
        {"l1", 4}, {"r1", 5}, {"l2", 6}, {"r2", 7}, {"select", 8}, {"start", 9},
        {"l3", 10}, {"r3", 11}, {"up", 12}, {"right", 13}, {"down", 14}, {"left", 15},
        {"lax", 0}, {"laxnegative", 0}, {"lay", 1}, {"laynegative", 1},
        {"rax", 2}, {"raxnegative", 2}, {"ray", 3}, {"raynegative", 3},
    };
    for (int slot = 0; slot < kPadSlotCount; ++slot) {
        const ButtonConfig config = DefaultButtonConfig(slot);
        for (const auto &e : expected) EXPECT_EQ(Code(config, e.name), e.code) << e.name;
    }
}

TEST(ButtonConfig, KeyboardDefaults) {
    const struct { const char *name; const char *key; } expected[] = {
        {"square", "Z"}, {"cross", "X"}, {"circle", "C"}, {"triangle", "V"}, {"l1", "Q"},
        {"r1", "E"}, {"l2", "R"}, {"r2", "F"}, {"select", "Escape"}, {"start", "Enter"},
        {"up", "Up"}, {"down", "Down"}, {"left", "Left"}, {"right", "Right"},
        {"lax", "D"}, {"laxnegative", "A"}, {"lay", "S"}, {"laynegative", "W"},
        {"rax", "L"}, {"raxnegative", "J"}, {"ray", "K"}, {"raynegative", "I"},
    };
    const ButtonConfig config = DefaultButtonConfig(kKeyboardSlot);
    EXPECT_EQ(Code(config, "active"), 1);
    for (const auto &e : expected) EXPECT_STREQ(GetKeyName(Code(config, e.name)), e.key) << e.name;
    EXPECT_EQ(Code(config, "l3"), 0);
    EXPECT_EQ(Code(config, "r3"), 0);
}

TEST(ButtonConfig, DefaultsHaveNoDuplicateAndGiveEscapeToSelectAlone) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const ButtonConfig config = DefaultButtonConfig(slot);
        int first = -1, second = -1;
        EXPECT_FALSE(FindDuplicateBinding(config, slot, &first, &second))
            << "slot " << slot << ": " << first << " and " << second;
        for (int f = 0; f < kButtonFunctionCount; ++f) {
            EXPECT_TRUE(IsBindingCodeValid(slot, f, config.codes[f])) << slot << " " << f;
        }
    }
    // Escape is the screens' back key: select's (back wherever cross is), no other's.
    const ButtonConfig keys = DefaultButtonConfig(kKeyboardSlot);
    EXPECT_EQ(keys.codes[kFnSelect], int(kKeyEscape));
    for (int f = 1; f < kButtonFunctionCount; ++f) {
        if (f != kFnSelect) {
            EXPECT_NE(keys.codes[f], int(kKeyEscape)) << ButtonFunctionName(f);
        }
    }
}

TEST(ButtonConfig, CodeRanges) {
    const struct { int slot; const char *name; int code; bool valid; } cases[] = {
        {0, "active", 0, true}, {0, "active", 1, true}, {0, "active", 2, false},
        {4, "active", -1, false},
        {0, "cross", 15, true}, {0, "cross", 16, false}, {0, "cross", -1, false},
        {3, "lax", 7, true}, {3, "lax", 8, false}, {3, "raynegative", 7, true},
        {4, "cross", 255, true}, {4, "cross", 256, false}, {4, "cross", 0, true},
        {4, "lax", 200, true}, {4, "cross", kKeyEscape, false}, {4, "select", kKeyEscape, true},
        {4, "start", kKeyEscape, false}, {0, "select", kKeyEscape, true},
        {5, "cross", 0, false}, {-1, "cross", 0, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IsBindingCodeValid(c.slot, ButtonFunctionFromName(c.name), c.code), c.valid)
            << c.slot << " " << c.name << " " << c.code;
    }
}

TEST(ButtonConfig, AKeyServesOneFunctionOnly) {
    ButtonConfig keys = DefaultButtonConfig(kKeyboardSlot);
    EXPECT_EQ(FindBindingConflict(keys, kKeyboardSlot, kFnSquare, kKeyX), int(kFnCross));
    EXPECT_EQ(FindBindingConflict(keys, kKeyboardSlot, kFnCross, kKeyX), -1);
    // X is cross's: square takes it and cross takes square's Z.
    EXPECT_TRUE(SetBinding(&keys, kKeyboardSlot, kFnSquare, kKeyX));
    EXPECT_EQ(keys.codes[kFnSquare], kKeyX);
    EXPECT_EQ(keys.codes[kFnCross], kKeyZ);
    // The stick keys are keys like the others.
    EXPECT_TRUE(SetBinding(&keys, kKeyboardSlot, kFnCircle, kKeyW));
    EXPECT_EQ(keys.codes[kFnLayNegative], kKeyC);
    // Any number of functions may be unbound; an unbound function gives 0 away.
    EXPECT_TRUE(SetBinding(&keys, kKeyboardSlot, kFnL1, 0));
    EXPECT_TRUE(SetBinding(&keys, kKeyboardSlot, kFnR1, 0));
    EXPECT_TRUE(SetBinding(&keys, kKeyboardSlot, kFnL1, kKeyF));
    EXPECT_EQ(keys.codes[kFnR2], 0);
    int first, second;
    EXPECT_FALSE(FindDuplicateBinding(keys, kKeyboardSlot, &first, &second));
    const ButtonConfig before = keys;
    EXPECT_FALSE(SetBinding(&keys, kKeyboardSlot, kFnR1, kKeyEscape));
    EXPECT_FALSE(SetBinding(&keys, kKeyboardSlot, kFnR1, 256));
    EXPECT_EQ(std::memcmp(&before, &keys, sizeof(keys)), 0);
}

TEST(ButtonConfig, PadButtonsAndSticksSwapWithinTheirClass) {
    ButtonConfig pad = DefaultButtonConfig(0);
    // Button 1 is circle's: cross takes it, circle takes button 0.
    EXPECT_TRUE(SetBinding(&pad, 0, kFnCross, 1));
    EXPECT_EQ(pad.codes[kFnCircle], 0);
    // Axis 1 is the left stick's y; buttons do not count against axes.
    EXPECT_EQ(FindBindingConflict(pad, 0, kFnLax, 1), int(kFnLay));
    EXPECT_EQ(FindBindingConflict(pad, 0, kFnLaxNegative, 0), -1);
    EXPECT_TRUE(SetBinding(&pad, 0, kFnLax, 1));
    EXPECT_EQ(pad.codes[kFnLax], 1);
    EXPECT_EQ(pad.codes[kFnLaxNegative], 1);
    EXPECT_EQ(pad.codes[kFnLay], 0);
    EXPECT_EQ(pad.codes[kFnLayNegative], 0);
    // A negative name sets its stick function.
    EXPECT_TRUE(SetBinding(&pad, 0, kFnRayNegative, 6));
    EXPECT_EQ(pad.codes[kFnRay], 6);
    int first, second;
    EXPECT_FALSE(FindDuplicateBinding(pad, 0, &first, &second));
    pad.codes[kFnSquare] = pad.codes[kFnCross];
    ASSERT_TRUE(FindDuplicateBinding(pad, 0, &first, &second));
    EXPECT_EQ(first, int(kFnCross));
    EXPECT_EQ(second, int(kFnSquare));
}

// The key-binding page's pad rebinding: the function holding the new button first takes
// the old one, then the function takes the new one; no button is lost.
TEST(ButtonConfig, ThePagesSwapLeavesEveryButtonBound) {
    ButtonConfig pad = DefaultButtonConfig(0);
    const int32_t newCode = pad.codes[kFnTriangle];
    const int32_t oldCode = pad.codes[kFnSquare];
    EXPECT_TRUE(SetBinding(&pad, 0, kFnTriangle, oldCode));
    EXPECT_TRUE(SetBinding(&pad, 0, kFnSquare, newCode));
    EXPECT_EQ(pad.codes[kFnSquare], newCode);
    EXPECT_EQ(pad.codes[kFnTriangle], oldCode);
    int first, second;
    EXPECT_FALSE(FindDuplicateBinding(pad, 0, &first, &second));
}

}  // namespace

}  // namespace button_config_test
