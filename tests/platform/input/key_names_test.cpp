// The keyboard table and the pad code names.
#include <gtest/gtest.h>

#include <SDL_scancode.h>

#include <string>

#include "input/key_codes.h"
#include "input/pad_state.h"

namespace key_names_test {

namespace {

TEST(KeyNames, KnownCodesHaveTheirNames) {
    const struct { int code; const char *name; } cases[] = {
        {1, "Escape"}, {2, "1"}, {11, "0"}, {14, "Backspace"}, {16, "Q"}, {25, "P"},
        {28, "Enter"}, {30, "A"}, {38, "L"}, {44, "Z"}, {50, "M"}, {57, "Space"},
        {59, "F1"}, {71, "Num 7"}, {72, "Num 8"}, {73, "Num 9"}, {75, "Num 4"}, {76, "Num 5"},
        {77, "Num 6"}, {79, "Num 1"}, {80, "Num 2"}, {81, "Num 3"}, {82, "Num 0"},
        {156, "Num Enter"}, {200, "Up"}, {203, "Left"}, {205, "Right"}, {208, "Down"},
    };
    for (const auto &c : cases) {
        EXPECT_STREQ(input::GetKeyName(c.code), c.name) << c.code;
        EXPECT_EQ(input::KeyCodeFromName(c.name), c.code) << c.name;
    }
}

TEST(KeyNames, CodesWithoutAKeyAreUnknown) {
    for (int code : {-1, 0, 84, 85, 99, 255, 256, 1000}) {
        EXPECT_STREQ(input::GetKeyName(code), "Unknown") << code;
    }
    EXPECT_EQ(input::KeyCodeFromName("Unknown"), 0);
    EXPECT_EQ(input::KeyCodeFromName(""), 0);
}

TEST(KeyNames, EveryNamedCodeReadsBackFromItsName) {
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        const std::string name = input::GetKeyName(code);
        if (name == "Unknown") continue;
        ++named;
        EXPECT_EQ(input::KeyCodeFromName(name), code) << name;
    }
    EXPECT_GT(named, 100);
}

TEST(KeyNames, NamesMatchWithoutRegardToCaseOrBlanks) {
    EXPECT_EQ(input::KeyCodeFromName("enter"), 28);
    EXPECT_EQ(input::KeyCodeFromName("num1"), 79);
    EXPECT_EQ(input::KeyCodeFromName("NUM 1"), 79);
    EXPECT_EQ(input::KeyCodeFromName("page  down"), 209);
    EXPECT_EQ(input::KeyCodeFromName("Entre"), 0);
}

TEST(KeyNames, SdlScancodesGiveTheGameCodes) {
    const struct { SDL_Scancode scancode; int code; } cases[] = {
        {SDL_SCANCODE_ESCAPE, 1}, {SDL_SCANCODE_RETURN, 28}, {SDL_SCANCODE_Q, 16},
        {SDL_SCANCODE_P, 25}, {SDL_SCANCODE_A, 30}, {SDL_SCANCODE_L, 38}, {SDL_SCANCODE_Z, 44},
        {SDL_SCANCODE_M, 50}, {SDL_SCANCODE_SPACE, 57}, {SDL_SCANCODE_KP_7, 71},
        {SDL_SCANCODE_KP_0, 82}, {SDL_SCANCODE_KP_ENTER, 156}, {SDL_SCANCODE_UP, 200},
        {SDL_SCANCODE_LEFT, 203}, {SDL_SCANCODE_RIGHT, 205}, {SDL_SCANCODE_DOWN, 208},
        {SDL_SCANCODE_BACKSPACE, 14}, {SDL_SCANCODE_UNKNOWN, 0}, {SDL_SCANCODE_F24, 0},
    };
    for (const auto &c : cases) EXPECT_EQ(input::KeyCodeFromSdlScancode(c.scancode), c.code);
    EXPECT_EQ(input::KeyCodeFromSdlScancode(-1), 0);
    EXPECT_EQ(input::KeyCodeFromSdlScancode(SDL_NUM_SCANCODES), 0);
}

TEST(PadButtonNames, TheCodesOfTheDeviceLayout) {
    const char *expected[16] = {
        "Button 1", "Button 2", "Button 3", "Button 4", "Button 5", "Button 6", "Button 7",
        "Button 8", "Button 9", "Button 10", "Button 11", "Button 12",
        "Button UP", "Button Right", "Button Down", "Button Left",
    };
    for (int code = 0; code < 16; ++code) {
        EXPECT_STREQ(input::GetPadButtonName(code), expected[code]);
    }
    EXPECT_STREQ(input::GetPadButtonName(-1), "Unknown");
    EXPECT_STREQ(input::GetPadButtonName(16), "Unknown");
}

TEST(PadAxisNames, TheAxesOfTheDeviceLayoutWithTheirDirection) {
    EXPECT_EQ(input::GetPadAxisName(0, false), "Left Stick X+");
    EXPECT_EQ(input::GetPadAxisName(1, true), "Left Stick Y-");
    EXPECT_EQ(input::GetPadAxisName(2, false), "Right Stick X+");
    EXPECT_EQ(input::GetPadAxisName(3, true), "Right Stick Y-");
    EXPECT_EQ(input::GetPadAxisName(4, false), "Left Trigger+");
    EXPECT_EQ(input::GetPadAxisName(5, false), "Right Trigger+");
    EXPECT_EQ(input::GetPadAxisName(7, true), "Axis 8-");
    EXPECT_EQ(input::GetPadAxisName(8, false), "Unknown");
    EXPECT_EQ(input::GetPadAxisName(-1, true), "Unknown");
}

}  // namespace

}  // namespace key_names_test
