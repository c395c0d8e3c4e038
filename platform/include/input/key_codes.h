// The game's key codes: the classic PC keyboard scan codes (Escape 1, Enter 28, the letter
// rows from 16, the keypad from 71, the extended keys from 156 on with the arrows at 200,
// 203, 205 and 208). The keyboard state bytes are indexed by them, the binding records
// store them, and the input script names keys by them or by their display names.
#pragma once

#include <cstdint>
#include <string_view>

namespace input {

constexpr int kKeyCodeCount = 256;

enum KeyCode : uint8_t {
    kKeyNone = 0,
    kKeyEscape = 1,
    kKeyBackspace = 14,
    kKeyTab = 15,
    kKeyQ = 16, kKeyW = 17, kKeyE = 18, kKeyR = 19, kKeyT = 20,
    kKeyY = 21, kKeyU = 22, kKeyI = 23, kKeyO = 24, kKeyP = 25,
    kKeyEnter = 28,
    kKeyA = 30, kKeyS = 31, kKeyD = 32, kKeyF = 33, kKeyG = 34,
    kKeyH = 35, kKeyJ = 36, kKeyK = 37, kKeyL = 38,
    kKeyZ = 44, kKeyX = 45, kKeyC = 46, kKeyV = 47, kKeyB = 48, kKeyN = 49, kKeyM = 50,
    kKeySpace = 57,
    kKeyNum7 = 71, kKeyNum8 = 72, kKeyNum9 = 73,
    kKeyNum4 = 75, kKeyNum5 = 76, kKeyNum6 = 77,
    kKeyNum1 = 79, kKeyNum2 = 80, kKeyNum3 = 81, kKeyNum0 = 82,
    kKeyUp = 200,
    kKeyLeft = 203,
    kKeyRight = 205,
    kKeyDown = 208,
};

// The display name of a key code ("A", "Space", "Enter", "Num 1" ...); "Unknown" for a
// code the keyboard table does not know.
const char *GetKeyName(int code);

// The code of a display name, compared without regard to case or blanks ("num 1", "Num1");
// 0 when no key has that name.
int KeyCodeFromName(std::string_view name);

// The game's code of an SDL scancode; 0 for keys the game does not know.
int KeyCodeFromSdlScancode(int scancode);

}  // namespace input
