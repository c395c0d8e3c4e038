// The keyboard table: each key the game knows with its code, display name and SDL scancode.
#include "input/key_codes.h"

#include <SDL_scancode.h>

#include <array>
#include <cctype>

namespace input {
namespace {

struct KeyEntry {
    uint8_t code;
    const char *name;
    SDL_Scancode scancode;
};

constexpr KeyEntry kKeys[] = {
    {1, "Escape", SDL_SCANCODE_ESCAPE},
    {2, "1", SDL_SCANCODE_1}, {3, "2", SDL_SCANCODE_2}, {4, "3", SDL_SCANCODE_3},
    {5, "4", SDL_SCANCODE_4}, {6, "5", SDL_SCANCODE_5}, {7, "6", SDL_SCANCODE_6},
    {8, "7", SDL_SCANCODE_7}, {9, "8", SDL_SCANCODE_8}, {10, "9", SDL_SCANCODE_9},
    {11, "0", SDL_SCANCODE_0},
    {12, "-", SDL_SCANCODE_MINUS}, {13, "=", SDL_SCANCODE_EQUALS},
    {14, "Backspace", SDL_SCANCODE_BACKSPACE}, {15, "Tab", SDL_SCANCODE_TAB},
    {16, "Q", SDL_SCANCODE_Q}, {17, "W", SDL_SCANCODE_W}, {18, "E", SDL_SCANCODE_E},
    {19, "R", SDL_SCANCODE_R}, {20, "T", SDL_SCANCODE_T}, {21, "Y", SDL_SCANCODE_Y},
    {22, "U", SDL_SCANCODE_U}, {23, "I", SDL_SCANCODE_I}, {24, "O", SDL_SCANCODE_O},
    {25, "P", SDL_SCANCODE_P},
    {26, "[", SDL_SCANCODE_LEFTBRACKET}, {27, "]", SDL_SCANCODE_RIGHTBRACKET},
    {28, "Enter", SDL_SCANCODE_RETURN}, {29, "Left Ctrl", SDL_SCANCODE_LCTRL},
    {30, "A", SDL_SCANCODE_A}, {31, "S", SDL_SCANCODE_S}, {32, "D", SDL_SCANCODE_D},
    {33, "F", SDL_SCANCODE_F}, {34, "G", SDL_SCANCODE_G}, {35, "H", SDL_SCANCODE_H},
    {36, "J", SDL_SCANCODE_J}, {37, "K", SDL_SCANCODE_K}, {38, "L", SDL_SCANCODE_L},
    {39, ";", SDL_SCANCODE_SEMICOLON}, {40, "'", SDL_SCANCODE_APOSTROPHE},
    {41, "`", SDL_SCANCODE_GRAVE}, {42, "Left Shift", SDL_SCANCODE_LSHIFT},
    {43, "\\", SDL_SCANCODE_BACKSLASH},
    {44, "Z", SDL_SCANCODE_Z}, {45, "X", SDL_SCANCODE_X}, {46, "C", SDL_SCANCODE_C},
    {47, "V", SDL_SCANCODE_V}, {48, "B", SDL_SCANCODE_B}, {49, "N", SDL_SCANCODE_N},
    {50, "M", SDL_SCANCODE_M},
    {51, ",", SDL_SCANCODE_COMMA}, {52, ".", SDL_SCANCODE_PERIOD},
    {53, "/", SDL_SCANCODE_SLASH}, {54, "Right Shift", SDL_SCANCODE_RSHIFT},
    {55, "Num *", SDL_SCANCODE_KP_MULTIPLY}, {56, "Left Alt", SDL_SCANCODE_LALT},
    {57, "Space", SDL_SCANCODE_SPACE}, {58, "Caps Lock", SDL_SCANCODE_CAPSLOCK},
    {59, "F1", SDL_SCANCODE_F1}, {60, "F2", SDL_SCANCODE_F2}, {61, "F3", SDL_SCANCODE_F3},
    {62, "F4", SDL_SCANCODE_F4}, {63, "F5", SDL_SCANCODE_F5}, {64, "F6", SDL_SCANCODE_F6},
    {65, "F7", SDL_SCANCODE_F7}, {66, "F8", SDL_SCANCODE_F8}, {67, "F9", SDL_SCANCODE_F9},
    {68, "F10", SDL_SCANCODE_F10},
    {69, "Num Lock", SDL_SCANCODE_NUMLOCKCLEAR}, {70, "Scroll Lock", SDL_SCANCODE_SCROLLLOCK},
    {71, "Num 7", SDL_SCANCODE_KP_7}, {72, "Num 8", SDL_SCANCODE_KP_8},
    {73, "Num 9", SDL_SCANCODE_KP_9}, {74, "Num -", SDL_SCANCODE_KP_MINUS},
    {75, "Num 4", SDL_SCANCODE_KP_4}, {76, "Num 5", SDL_SCANCODE_KP_5},
    {77, "Num 6", SDL_SCANCODE_KP_6}, {78, "Num +", SDL_SCANCODE_KP_PLUS},
    {79, "Num 1", SDL_SCANCODE_KP_1}, {80, "Num 2", SDL_SCANCODE_KP_2},
    {81, "Num 3", SDL_SCANCODE_KP_3}, {82, "Num 0", SDL_SCANCODE_KP_0},
    {83, "Num .", SDL_SCANCODE_KP_PERIOD},
    {86, "<>", SDL_SCANCODE_NONUSBACKSLASH},
    {87, "F11", SDL_SCANCODE_F11}, {88, "F12", SDL_SCANCODE_F12},
    {100, "F13", SDL_SCANCODE_F13}, {101, "F14", SDL_SCANCODE_F14},
    {102, "F15", SDL_SCANCODE_F15},
    {141, "Num =", SDL_SCANCODE_KP_EQUALS},
    {156, "Num Enter", SDL_SCANCODE_KP_ENTER}, {157, "Right Ctrl", SDL_SCANCODE_RCTRL},
    {179, "Num ,", SDL_SCANCODE_KP_COMMA}, {181, "Num /", SDL_SCANCODE_KP_DIVIDE},
    {183, "Print Screen", SDL_SCANCODE_PRINTSCREEN}, {184, "Right Alt", SDL_SCANCODE_RALT},
    {197, "Pause", SDL_SCANCODE_PAUSE},
    {199, "Home", SDL_SCANCODE_HOME}, {200, "Up", SDL_SCANCODE_UP},
    {201, "Page Up", SDL_SCANCODE_PAGEUP}, {203, "Left", SDL_SCANCODE_LEFT},
    {205, "Right", SDL_SCANCODE_RIGHT}, {207, "End", SDL_SCANCODE_END},
    {208, "Down", SDL_SCANCODE_DOWN}, {209, "Page Down", SDL_SCANCODE_PAGEDOWN},
    {210, "Insert", SDL_SCANCODE_INSERT}, {211, "Delete", SDL_SCANCODE_DELETE},
    {219, "Left Windows", SDL_SCANCODE_LGUI}, {220, "Right Windows", SDL_SCANCODE_RGUI},
    {221, "Menu", SDL_SCANCODE_APPLICATION},
};

const KeyEntry *FindByCode(int code) {
    for (const KeyEntry &key : kKeys) {
        if (key.code == code) return &key;
    }
    return nullptr;
}

// Lower-case letters with the blanks left out, for matching names loosely.
bool SameNameLoosely(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    for (;;) {
        while (i < a.size() && (a[i] == ' ' || a[i] == '\t')) ++i;
        while (j < b.size() && (b[j] == ' ' || b[j] == '\t')) ++j;
        if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[j]))) {
            return false;
        }
        ++i;
        ++j;
    }
}

}  // namespace

const char *GetKeyName(int code) {
    const KeyEntry *key = FindByCode(code);
    return key ? key->name : "Unknown";
}

int KeyCodeFromName(std::string_view name) {
    for (const KeyEntry &key : kKeys) {
        if (SameNameLoosely(key.name, name)) return key.code;
    }
    return 0;
}

int KeyCodeFromSdlScancode(int scancode) {
    static const std::array<uint8_t, SDL_NUM_SCANCODES> table = [] {
        std::array<uint8_t, SDL_NUM_SCANCODES> codes{};
        for (const KeyEntry &key : kKeys) codes[key.scancode] = key.code;
        return codes;
    }();
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    return table[size_t(scancode)];
}

}  // namespace input
