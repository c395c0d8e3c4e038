// What the game sees of its pads each tick. A PadState is the 36-byte record every screen
// and the stage read: connected, sixteen button bytes in the game's order and four axes.
// A RawPadState is a game pad before the bindings: its buttons and axes in the device
// layout below, which the binding records' pad codes index.
#pragma once

#include <cstdint>
#include <string>

namespace input {

constexpr int kPadCount = 4;        // pads 0..3; pad 0 also takes the keyboard and mouse
constexpr int kPadButtonCount = 16;
constexpr int kPadAxisCount = 4;
constexpr int kRawButtonCount = 16;
constexpr int kRawAxisCount = 8;
constexpr int32_t kRawAxisMax = 1000;  // raw axes run -1000..1000

// Button bytes of a PadState: 0 up, 1 pressed this tick, 2 held. The raw blocks hold 0/1.
enum PadButton {
    kPadCross, kPadCircle, kPadSquare, kPadTriangle,
    kPadL1, kPadR1, kPadL2, kPadR2, kPadL3, kPadR3,
    kPadSelect, kPadStart,
    kPadUp, kPadDown, kPadLeft, kPadRight,
};
// Axes of a PadState, -1..1 (y down positive).
enum PadAxis { kAxisLx, kAxisLy, kAxisRx, kAxisRy };

enum PressState : uint8_t { kUp = 0, kPressed = 1, kHeld = 2 };

struct PadState {
    uint8_t connected;
    uint8_t buttons[kPadButtonCount];
    float axes[kPadAxisCount];
};
static_assert(sizeof(PadState) == 36, "the pad state is the game's 36-byte record");

// The blocks of pad states the game system keeps: [0] raw current, [1] raw previous,
// [2] the 0/1/2 states every consumer reads.
enum PadBlock { kBlockCurrent = 0, kBlockPrevious = 1, kBlockStates = 2, kPadBlockCount = 3 };

// Device layout of a game pad. Buttons: 0 south (cross), 1 east (circle), 2 west (square),
// 3 north (triangle), 4 left and 5 right shoulder, 6 left and 7 right trigger past half,
// 8 back, 9 start, 10 and 11 the stick presses, 12 up, 13 right, 14 down, 15 left.
// Axes: 0 left x, 1 left y, 2 right x, 3 right y (y down positive), 4 left and 5 right
// trigger (0..1000), 6 and 7 further axes of a joystick read raw.
enum RawButton {
    kRawSouth, kRawEast, kRawWest, kRawNorth,
    kRawLeftShoulder, kRawRightShoulder, kRawLeftTrigger, kRawRightTrigger,
    kRawBack, kRawStart, kRawLeftStick, kRawRightStick,
    kRawUp, kRawRight, kRawDown, kRawLeft,
};

struct RawPadState {
    uint8_t buttons[kRawButtonCount];  // 0 up, 1 pressed this tick, 2 held
    int32_t axes[kRawAxisCount];       // -1000..1000
};

// Mouse button state bytes: 0 up, 1 pressed this tick, 3 held, 2 released this tick.
enum MouseState : uint8_t { kMouseUp = 0, kMousePressed = 1, kMouseReleased = 2, kMouseHeld = 3 };

// The display name of a pad code: "Button 1" to "Button 12", "Button UP", "Button Right",
// "Button Down", "Button Left"; "Unknown" otherwise.
const char *GetPadButtonName(int code);

// The display name of a pad axis code with the direction a function reads from it
// (`negative`: the axis's low end): "Left Stick X+", "Left Stick X-", "Left Stick Y+",
// "Right Stick X+", "Right Stick Y-", "Left Trigger+", "Right Trigger+", "Axis 7+",
// "Axis 8-" ...; "Unknown" out of 0..7.
std::string GetPadAxisName(int code, bool negative);

// The game's name of a PadState button ("cross", "start" ...); null out of range.
const char *PadButtonName(int button);

}  // namespace input
