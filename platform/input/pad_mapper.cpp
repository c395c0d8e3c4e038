// One tick of input: devices through the bindings into the pad-state blocks.
#include "input/pad_mapper.h"

#include <cmath>
#include <cstring>

namespace input {
namespace {

bool Current(const DigitalInput &input) { return input.down != 0 || input.presses != 0; }
bool Fresh(const DigitalInput &input) { return input.presses != 0; }

// A button of one pad state gathered from every device acting on it.
struct Gathered {
    bool current = false;
    bool fresh = false;
    void Add(const DigitalInput &input) {
        current = current || Current(input);
        fresh = fresh || Fresh(input);
    }
};

// The value of larger magnitude wins; on a tie the earlier source keeps it.
void MergeAxis(float *axis, float value) {
    if (std::fabs(value) > std::fabs(*axis)) *axis = value;
}

float Clamp1(float value) { return value < -1.0f ? -1.0f : (value > 1.0f ? 1.0f : value); }

int32_t ClampRaw(int64_t value) {
    if (value < -kRawAxisMax) return -kRawAxisMax;
    if (value > kRawAxisMax) return kRawAxisMax;
    return int32_t(value);
}

constexpr int kMouseLeft = 0, kMouseRight = 1, kMouseMiddle = 2;

// State bytes of a device's inputs (all up while the device is absent), each input's level
// kept for the next tick.
void RefreshStates(const DigitalInput *inputs, bool present, int count, bool *wasDown,
                   uint8_t *states, uint8_t (*stateOf)(bool, bool, bool)) {
    for (int i = 0; i < count; ++i) {
        const DigitalInput none{};
        const DigitalInput &input = present ? inputs[i] : none;
        states[i] = stateOf(Current(input), wasDown[i], Fresh(input));
        wasDown[i] = Current(input);
    }
}

}  // namespace

uint8_t PressStateOf(bool current, bool previous, bool freshPress) {
    if (freshPress) return kPressed;
    if (!current) return kUp;
    return previous ? kHeld : kPressed;
}

uint8_t MouseStateOf(bool current, bool previous, bool freshPress) {
    if (freshPress) return kMousePressed;
    if (current) return previous ? kMouseHeld : kMousePressed;
    return previous ? kMouseReleased : kMouseUp;
}

void PadMapper::Update(const DeviceFrame &frame, const ButtonConfig configs[kSlotCount],
                       float mouseSpeed, PadState blocks[kPadBlockCount][kPadCount]) {
    std::memcpy(blocks[kBlockPrevious], blocks[kBlockCurrent], sizeof(PadState) * kPadCount);

    const KeyboardFrame &keyboard = frame.keyboard;
    const MouseFrame &mouse = frame.mouse;
    RefreshStates(keyboard.keys, keyboard.present, kKeyCodeCount, keyWasDown_, keys_, PressStateOf);
    RefreshStates(mouse.buttons, mouse.present, kMouseButtonCount, mouseWasDown_, mouse_, MouseStateOf);

    for (int pad = 0; pad < kPadCount; ++pad) {
        const PadFrame &device = frame.pads[pad];
        const ButtonConfig &config = configs[pad];
        const bool padRead = device.connected && config.codes[kFnActive] != 0;

        // Raw state of the game pad, before the bindings.
        RawPadState &raw = raw_[pad];
        for (int b = 0; b < kRawButtonCount; ++b) {
            const DigitalInput none{};
            const DigitalInput &input = device.connected ? device.buttons[b] : none;
            raw.buttons[b] = PressStateOf(Current(input), rawWasDown_[pad][b], Fresh(input));
            rawWasDown_[pad][b] = Current(input);
        }
        for (int a = 0; a < kRawAxisCount; ++a) {
            raw.axes[a] = device.connected ? ClampRaw(device.axes[a]) : 0;
        }

        Gathered buttons[kPadButtonCount];
        float axes[kPadAxisCount] = {};
        if (padRead) {
            for (int b = 0; b < kPadButtonCount; ++b) {
                const int32_t code = config.codes[FunctionOfPadButton(b)];
                if (code >= 0 && code < kRawButtonCount) buttons[b].Add(device.buttons[code]);
            }
            for (int a = 0; a < kPadAxisCount; ++a) {
                const int32_t code = config.codes[kFnLax + a];
                if (code >= 0 && code < kRawAxisCount) {
                    axes[a] = float(ClampRaw(device.axes[code])) / float(kRawAxisMax);
                }
            }
        }

        bool connected = device.connected;
        if (pad == 0) {
            if (keyboard.present) {
                connected = true;
                const ButtonConfig &keys = configs[kKeyboardSlot];
                if (keys.codes[kFnActive] != 0) {
                    for (int b = 0; b < kPadButtonCount; ++b) {
                        const int32_t code = keys.codes[FunctionOfPadButton(b)];
                        if (code > 0 && code < kKeyCodeCount) buttons[b].Add(keyboard.keys[code]);
                    }
                    for (int a = 0; a < kPadAxisCount; ++a) {
                        const int32_t plus = keys.codes[kFnLax + a];
                        const int32_t minus = keys.codes[kFnLaxNegative + a];
                        float value = 0.0f;
                        if (plus > 0 && plus < kKeyCodeCount && Current(keyboard.keys[plus])) {
                            value += 1.0f;
                        }
                        if (minus > 0 && minus < kKeyCodeCount && Current(keyboard.keys[minus])) {
                            value -= 1.0f;
                        }
                        MergeAxis(&axes[a], value);
                    }
                }
            }
            if (mouse.present) {
                buttons[kPadSquare].Add(mouse.buttons[kMouseLeft]);
                buttons[kPadCross].Add(mouse.buttons[kMouseRight]);
                buttons[kPadCircle].Add(mouse.buttons[kMouseMiddle]);
                // A wheel notch is a press and release within the tick.
                buttons[kPadR2].Add(DigitalInput{0, mouse.wheelUp});
                buttons[kPadL2].Add(DigitalInput{0, mouse.wheelDown});
                const double motion = double(mouse.dx) * double(mouseSpeed) * 100.0;
                const double bounded = motion < -kRawAxisMax ? -kRawAxisMax
                                       : (motion > kRawAxisMax ? kRawAxisMax : motion);
                MergeAxis(&axes[kAxisRx], float(bounded) / float(kRawAxisMax));
            }
        }

        PadState &current = blocks[kBlockCurrent][pad];
        PadState &previous = blocks[kBlockPrevious][pad];
        PadState &states = blocks[kBlockStates][pad];
        current.connected = states.connected = connected ? 1 : 0;
        for (int b = 0; b < kPadButtonCount; ++b) {
            const bool on = connected && buttons[b].current;
            current.buttons[b] = on ? 1 : 0;
            states.buttons[b] = PressStateOf(on, previous.buttons[b] != 0,
                                             connected && buttons[b].fresh);
        }
        for (int a = 0; a < kPadAxisCount; ++a) {
            current.axes[a] = states.axes[a] = connected ? Clamp1(axes[a]) : 0.0f;
        }
    }
}

}  // namespace input
