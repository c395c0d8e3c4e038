// One tick of input through the bindings: press, hold, release, taps inside a tick, the
// keyboard and mouse merged into pad 0, the raw pad states and the mouse byte.
#include <gtest/gtest.h>

#include "input/pad_mapper.h"

namespace pad_mapper_test {

namespace {

using namespace input;

// Devices as a test drives them: levels set, presses counted, one Tick per game tick.
class Mapper : public ::testing::Test {
protected:
    void SetUp() override {
        frame.keyboard.present = true;
        frame.mouse.present = true;
        for (int slot = 0; slot < kSlotCount; ++slot) configs[slot] = DefaultButtonConfig(slot);
    }
    static void Set(DigitalInput *input, bool down) {
        if (down && !input->down) CountPress(input);
        if (!down) input->down = 0;
    }
    void Key(int code, bool down) { Set(&frame.keyboard.keys[code], down); }
    void PadButton(int pad, int button, bool down) { Set(&frame.pads[pad].buttons[button], down); }
    void Mouse(int button, bool down) { Set(&frame.mouse.buttons[button], down); }
    void Tick() {
        mapper.Update(frame, configs, mouseSpeed, blocks);
        ClearSincePoll(&frame);
    }
    uint8_t State(int pad, int button) const { return blocks[kBlockStates][pad].buttons[button]; }
    float Axis(int pad, int axis) const { return blocks[kBlockStates][pad].axes[axis]; }

    DeviceFrame frame{};
    ButtonConfig configs[kSlotCount];
    float mouseSpeed = 0.25f;
    PadState blocks[kPadBlockCount][kPadCount] = {};
    PadMapper mapper;
};

TEST(PressStates, FromLevelsAndPresses) {
    // current, previous, fresh -> state
    EXPECT_EQ(PressStateOf(false, false, false), kUp);
    EXPECT_EQ(PressStateOf(true, false, false), kPressed);
    EXPECT_EQ(PressStateOf(true, true, false), kHeld);
    EXPECT_EQ(PressStateOf(false, true, false), kUp);
    EXPECT_EQ(PressStateOf(true, true, true), kPressed);
    EXPECT_EQ(MouseStateOf(false, false, false), kMouseUp);
    EXPECT_EQ(MouseStateOf(true, false, false), kMousePressed);
    EXPECT_EQ(MouseStateOf(true, true, false), kMouseHeld);
    EXPECT_EQ(MouseStateOf(false, true, false), kMouseReleased);
    EXPECT_EQ(MouseStateOf(true, true, true), kMousePressed);
}

TEST_F(Mapper, PressHoldRelease) {
    Key(kKeyEnter, true);
    Tick();
    EXPECT_EQ(State(0, kPadStart), kPressed);
    EXPECT_EQ(blocks[kBlockCurrent][0].buttons[kPadStart], 1);
    EXPECT_EQ(blocks[kBlockPrevious][0].buttons[kPadStart], 0);
    EXPECT_EQ(mapper.KeyStateBytes()[kKeyEnter], kPressed);
    Tick();
    EXPECT_EQ(State(0, kPadStart), kHeld);
    EXPECT_EQ(blocks[kBlockPrevious][0].buttons[kPadStart], 1);
    EXPECT_EQ(mapper.KeyStateBytes()[kKeyEnter], kHeld);
    Key(kKeyEnter, false);
    Tick();
    EXPECT_EQ(State(0, kPadStart), kUp);
    EXPECT_EQ(blocks[kBlockCurrent][0].buttons[kPadStart], 0);
    EXPECT_EQ(mapper.KeyStateBytes()[kKeyEnter], kUp);
}

TEST_F(Mapper, ATapInsideOneTickIsPressedForOneTick) {
    Key(kKeyX, true);
    Key(kKeyX, false);
    PadButton(1, kRawEast, true);
    PadButton(1, kRawEast, false);
    frame.pads[1].connected = true;
    Mouse(0, true);
    Mouse(0, false);
    Tick();
    EXPECT_EQ(State(0, kPadCross), kPressed);
    EXPECT_EQ(mapper.KeyStateBytes()[kKeyX], kPressed);
    EXPECT_EQ(State(1, kPadCircle), kPressed);
    EXPECT_EQ(mapper.Raw(1).buttons[kRawEast], kPressed);
    EXPECT_EQ(mapper.MouseButtonState(), kMousePressed);
    EXPECT_EQ(State(0, kPadSquare), kPressed);
    Tick();
    EXPECT_EQ(State(0, kPadCross), kUp);
    EXPECT_EQ(mapper.KeyStateBytes()[kKeyX], kUp);
    EXPECT_EQ(State(1, kPadCircle), kUp);
    EXPECT_EQ(mapper.MouseButtonState(), kMouseReleased);
    Tick();
    EXPECT_EQ(mapper.MouseButtonState(), kMouseUp);
}

TEST_F(Mapper, ReleasedAndPressedAgainInsideATickIsANewPress) {
    Key(kKeyC, true);
    Tick();
    Tick();
    EXPECT_EQ(State(0, kPadCircle), kHeld);
    Key(kKeyC, false);
    Key(kKeyC, true);
    Tick();
    EXPECT_EQ(State(0, kPadCircle), kPressed);
}

TEST_F(Mapper, MouseByteRunsPressedHeldReleasedUp) {
    const uint8_t expected[] = {kMousePressed, kMouseHeld, kMouseHeld, kMouseReleased, kMouseUp};
    Mouse(0, true);
    for (int t = 0; t < 5; ++t) {
        if (t == 3) Mouse(0, false);
        Tick();
        EXPECT_EQ(mapper.MouseButtonState(), expected[t]) << t;
    }
}

TEST_F(Mapper, MouseButtonsActOnPadZero) {
    Mouse(1, true);  // Mouse 2
    Mouse(2, true);  // Mouse 3
    Tick();
    EXPECT_EQ(State(0, kPadCross), kPressed);
    EXPECT_EQ(State(0, kPadCircle), kPressed);
    EXPECT_EQ(State(0, kPadSquare), kUp);
    EXPECT_EQ(mapper.MouseButtonState(), kMouseUp);  // the byte is the left button's
}

TEST_F(Mapper, EachWheelNotchIsAOneTickPress) {
    frame.mouse.wheelUp = 1;
    Tick();
    EXPECT_EQ(State(0, kPadR2), kPressed);
    frame.mouse.wheelUp = 1;  // the next notch at once: pressed again, never held
    Tick();
    EXPECT_EQ(State(0, kPadR2), kPressed);
    Tick();
    EXPECT_EQ(State(0, kPadR2), kUp);
    frame.mouse.wheelDown = 2;
    Tick();
    EXPECT_EQ(State(0, kPadL2), kPressed);
    EXPECT_EQ(State(0, kPadR2), kUp);
}

TEST_F(Mapper, MouseMotionIsTheRightStickX) {
    frame.mouse.dx = 8;  // 8 x 0.25 x 100 = 200 of 1000
    Tick();
    EXPECT_FLOAT_EQ(Axis(0, kAxisRx), 0.2f);
    Tick();
    EXPECT_FLOAT_EQ(Axis(0, kAxisRx), 0.0f);
    frame.mouse.dx = -1000;
    Tick();
    EXPECT_FLOAT_EQ(Axis(0, kAxisRx), -1.0f);
    mouseSpeed = 0.45f;
    frame.mouse.dx = 10;
    frame.mouse.dy = 50;  // y motion moves nothing
    Tick();
    EXPECT_FLOAT_EQ(Axis(0, kAxisRx), 0.45f);
    EXPECT_FLOAT_EQ(Axis(0, kAxisRy), 0.0f);
}

TEST_F(Mapper, KeyboardSticks) {
    Key(kKeyW, true);
    Key(kKeyD, true);
    Tick();
    EXPECT_FLOAT_EQ(Axis(0, kAxisLx), 1.0f);
    EXPECT_FLOAT_EQ(Axis(0, kAxisLy), -1.0f);
    Key(kKeyA, true);  // both directions cancel
    Tick();
    EXPECT_FLOAT_EQ(Axis(0, kAxisLx), 0.0f);
    Key(kKeyW, false);
    Key(kKeyS, true);
    Key(kKeyI, true);
    Key(kKeyJ, true);
    Tick();
    EXPECT_FLOAT_EQ(Axis(0, kAxisLy), 1.0f);
    EXPECT_FLOAT_EQ(Axis(0, kAxisRy), -1.0f);
    EXPECT_FLOAT_EQ(Axis(0, kAxisRx), -1.0f);
}

TEST_F(Mapper, KeyboardAndFirstPadMergeIntoPadZero) {
    frame.pads[0].connected = true;
    PadButton(0, kRawSouth, true);
    frame.pads[0].axes[0] = -300;
    frame.pads[0].axes[1] = 900;
    Key(kKeyD, true);  // lax +1 beats -0.3
    Key(kKeyZ, true);  // square from the keyboard
    Tick();
    EXPECT_EQ(State(0, kPadCross), kPressed);
    EXPECT_EQ(State(0, kPadSquare), kPressed);
    EXPECT_FLOAT_EQ(Axis(0, kAxisLx), 1.0f);
    EXPECT_FLOAT_EQ(Axis(0, kAxisLy), 0.9f);
    // Held on the pad, then pressed on the keyboard: a new press of the function.
    Key(kKeyX, true);
    Tick();
    EXPECT_EQ(State(0, kPadCross), kPressed);  // a new press from the keyboard
    Tick();
    EXPECT_EQ(State(0, kPadCross), kHeld);
    PadButton(0, kRawSouth, false);
    Tick();
    EXPECT_EQ(State(0, kPadCross), kHeld);  // the key still holds it
    Key(kKeyX, false);
    Tick();
    EXPECT_EQ(State(0, kPadCross), kUp);
}

TEST_F(Mapper, BindingsChooseTheButtons) {
    configs[kKeyboardSlot].codes[kFnCircle] = kKeyB;
    configs[0].codes[kFnCircle] = kRawNorth;
    configs[0].codes[kFnTriangle] = kRawEast;
    frame.pads[0].connected = true;
    Key(kKeyC, true);
    PadButton(0, kRawEast, true);
    Tick();
    EXPECT_EQ(State(0, kPadCircle), kUp);
    EXPECT_EQ(State(0, kPadTriangle), kPressed);
    Key(kKeyB, true);
    Tick();
    EXPECT_EQ(State(0, kPadCircle), kPressed);
}

TEST_F(Mapper, ConnectedFlags) {
    Tick();
    EXPECT_EQ(blocks[kBlockStates][0].connected, 1);  // the keyboard exists
    EXPECT_EQ(blocks[kBlockStates][1].connected, 0);
    frame.keyboard.present = false;
    frame.mouse.present = false;
    Key(kKeyEnter, true);
    Tick();
    EXPECT_EQ(blocks[kBlockStates][0].connected, 0);
    EXPECT_EQ(State(0, kPadStart), kUp);
    EXPECT_EQ(mapper.KeyStateBytes()[kKeyEnter], kUp);
    frame.pads[0].connected = true;
    frame.pads[2].connected = true;
    Tick();
    EXPECT_EQ(blocks[kBlockStates][0].connected, 1);
    EXPECT_EQ(blocks[kBlockCurrent][2].connected, 1);
    EXPECT_EQ(blocks[kBlockPrevious][2].connected, 0);
}

TEST_F(Mapper, AnInactiveSlotIsIgnored) {
    configs[kKeyboardSlot].codes[kFnActive] = 0;
    configs[1].codes[kFnActive] = 0;
    frame.pads[1].connected = true;
    PadButton(1, kRawStart, true);
    Key(kKeyEnter, true);
    Tick();
    EXPECT_EQ(State(0, kPadStart), kUp);
    EXPECT_EQ(State(1, kPadStart), kUp);
    EXPECT_EQ(blocks[kBlockStates][1].connected, 1);
    // The raw state and the key bytes still show them (the binding page reads those).
    EXPECT_EQ(mapper.Raw(1).buttons[kRawStart], kPressed);
    EXPECT_EQ(mapper.KeyStateBytes()[kKeyEnter], kPressed);
}

TEST_F(Mapper, RawPadStates) {
    frame.pads[3].connected = true;
    frame.pads[3].axes[5] = 1000;
    frame.pads[3].axes[7] = -5000;  // clamped
    PadButton(3, kRawLeft, true);
    Tick();
    EXPECT_EQ(mapper.Raw(3).buttons[kRawLeft], kPressed);
    EXPECT_EQ(mapper.Raw(3).axes[5], 1000);
    EXPECT_EQ(mapper.Raw(3).axes[7], -1000);
    EXPECT_EQ(State(3, kPadLeft), kPressed);
    Tick();
    EXPECT_EQ(mapper.Raw(3).buttons[kRawLeft], kHeld);
    frame.pads[3].connected = false;
    Tick();
    EXPECT_EQ(mapper.Raw(3).buttons[kRawLeft], kUp);
    EXPECT_EQ(mapper.Raw(3).axes[5], 0);
    EXPECT_EQ(State(3, kPadLeft), kUp);
}

}  // namespace

}  // namespace pad_mapper_test
