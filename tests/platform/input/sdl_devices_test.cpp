// SDL's devices, headless: keyboard and mouse events pushed into SDL, pads as SDL virtual
// joysticks (with a mapping string, from a mapping file, or read raw), hot-plug, and the
// whole tick through the pad mapper.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "input/devices.h"
#include "input/pad_mapper.h"
#include "support/engine/scratch_path.h"

namespace sdl_devices_test {

namespace {

using namespace input;

class SdlDevicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        for (int slot = 0; slot < kSlotCount; ++slot) configs[slot] = DefaultButtonConfig(slot);
    }
    void TearDown() override {
        devices.reset();
        while (SDL_NumJoysticks() > 0) SDL_JoystickDetachVirtual(0);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK);
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    }

    void Start(const std::string &mappingFile = "") {
        std::string error;
        devices = CreateSdlInputDevices(mappingFile, &error);
        ASSERT_TRUE(devices) << error;
    }

    // A virtual joystick: of the controller type SDL maps it itself, else it has no mapping
    // until the test gives one.
    SDL_Joystick *Attach(bool controllerType, Uint16 vendor, const char *name, int hats = 0) {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = controllerType ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = 8;
        desc.nbuttons = 16;
        desc.nhats = Uint16(hats);
        desc.vendor_id = vendor;
        desc.product_id = 0x0101;
        desc.name = name;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        // Our own handle on the device, to move its controls.
        SDL_Joystick *joystick = SDL_JoystickOpen(index);
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
        return joystick;
    }
    static std::string Guid(SDL_Joystick *joystick) {
        char text[64];
        SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(joystick), text, sizeof text);
        return text;
    }

    static void Push(SDL_Event event) { ASSERT_GE(SDL_PushEvent(&event), 0) << SDL_GetError(); }
    static SDL_Event Event(Uint32 type) {
        SDL_Event event;
        SDL_zero(event);
        event.type = type;
        return event;
    }
    void PushKey(SDL_Scancode scancode, bool down) {
        SDL_Event event = Event(down ? SDL_KEYDOWN : SDL_KEYUP);
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = scancode;
        Push(event);
    }
    void PushMouseButton(Uint8 button, bool down) {
        SDL_Event event = Event(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP);
        event.button.button = button;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        Push(event);
    }
    void PushMotion(int dx, int dy) {
        SDL_Event event = Event(SDL_MOUSEMOTION);
        event.motion.xrel = dx;
        event.motion.yrel = dy;
        Push(event);
    }
    void PushWheel(int y) {
        SDL_Event event = Event(SDL_MOUSEWHEEL);
        event.wheel.y = y;
        event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        Push(event);
    }

    void Tick() {
        devices->Poll(&frame);
        mapper.Update(frame, configs, 0.25f, blocks);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);  // the main loop empties the queue
    }
    uint8_t State(int pad, int button) const { return blocks[kBlockStates][pad].buttons[button]; }

    std::unique_ptr<InputDevices> devices;
    DeviceFrame frame{};
    ButtonConfig configs[kSlotCount];
    PadState blocks[kPadBlockCount][kPadCount] = {};
    PadMapper mapper;
};

TEST_F(SdlDevicesTest, KeyboardPressHoldReleaseAndTap) {
    Start();
    PushKey(SDL_SCANCODE_RETURN, true);
    Tick();
    EXPECT_EQ(mapper.KeyStateBytes()[28], kPressed);
    EXPECT_EQ(State(0, kPadStart), kPressed);
    EXPECT_EQ(blocks[kBlockStates][0].connected, 1);  // the keyboard makes pad 0
    Tick();
    EXPECT_EQ(mapper.KeyStateBytes()[28], kHeld);
    EXPECT_EQ(State(0, kPadStart), kHeld);
    PushKey(SDL_SCANCODE_RETURN, false);
    Tick();
    EXPECT_EQ(mapper.KeyStateBytes()[28], kUp);
    EXPECT_EQ(State(0, kPadStart), kUp);

    PushKey(SDL_SCANCODE_X, true);  // a tap shorter than a tick
    PushKey(SDL_SCANCODE_X, false);
    Tick();
    EXPECT_EQ(mapper.KeyStateBytes()[45], kPressed);
    EXPECT_EQ(State(0, kPadCross), kPressed);
    Tick();
    EXPECT_EQ(mapper.KeyStateBytes()[45], kUp);

    PushKey(SDL_SCANCODE_W, true);
    PushKey(SDL_SCANCODE_D, true);
    Tick();
    EXPECT_FLOAT_EQ(blocks[kBlockStates][0].axes[kAxisLy], -1.0f);
    EXPECT_FLOAT_EQ(blocks[kBlockStates][0].axes[kAxisLx], 1.0f);
}

TEST_F(SdlDevicesTest, MouseButtonsWheelAndMotion) {
    Start();
    PushMouseButton(SDL_BUTTON_LEFT, true);
    PushMotion(4, 7);
    PushMotion(4, 0);
    PushWheel(1);
    Tick();
    EXPECT_EQ(mapper.MouseButtonState(), kMousePressed);
    EXPECT_EQ(State(0, kPadSquare), kPressed);
    EXPECT_EQ(State(0, kPadR2), kPressed);
    EXPECT_EQ(frame.mouse.dx, 8);
    EXPECT_FLOAT_EQ(blocks[kBlockStates][0].axes[kAxisRx], 0.2f);
    Tick();
    EXPECT_EQ(mapper.MouseButtonState(), kMouseHeld);
    EXPECT_EQ(State(0, kPadR2), kUp);
    EXPECT_FLOAT_EQ(blocks[kBlockStates][0].axes[kAxisRx], 0.0f);
    PushMouseButton(SDL_BUTTON_LEFT, false);
    PushMouseButton(SDL_BUTTON_RIGHT, true);
    PushMouseButton(SDL_BUTTON_MIDDLE, true);
    PushWheel(-1);
    Tick();
    EXPECT_EQ(mapper.MouseButtonState(), kMouseReleased);
    EXPECT_EQ(State(0, kPadCross), kPressed);
    EXPECT_EQ(State(0, kPadCircle), kPressed);
    EXPECT_EQ(State(0, kPadL2), kPressed);
    Tick();
    EXPECT_EQ(mapper.MouseButtonState(), kMouseUp);
}

TEST_F(SdlDevicesTest, AMappedPadThroughItsMappingString) {
    SDL_Joystick *stick = Attach(false, 0x2001, "Mapped Test Pad");
    // A mapping that wires the device's buttons in reverse, so the mapping is seen at work.
    const std::string mapping = Guid(stick) +
        ",Mapped Test Pad,a:b15,b:b14,x:b13,y:b12,leftshoulder:b11,rightshoulder:b10,"
        "back:b9,start:b8,leftstick:b7,rightstick:b6,dpup:b5,dpright:b4,dpdown:b3,dpleft:b2,"
        "leftx:a0,lefty:a1,rightx:a2,righty:a3,lefttrigger:a4,righttrigger:a5,";
    ASSERT_GE(SDL_GameControllerAddMapping(mapping.c_str()), 0) << SDL_GetError();
    Start();
    SDL_JoystickSetVirtualButton(stick, 15, 1);  // south
    SDL_JoystickSetVirtualButton(stick, 5, 1);   // up
    SDL_JoystickSetVirtualAxis(stick, 0, -32768);
    SDL_JoystickSetVirtualAxis(stick, 1, 16384);
    SDL_JoystickSetVirtualAxis(stick, 5, 32767);  // right trigger all the way
    Tick();
    EXPECT_TRUE(frame.pads[0].connected);
    EXPECT_EQ(mapper.Raw(0).buttons[kRawSouth], kPressed);
    EXPECT_EQ(mapper.Raw(0).buttons[kRawUp], kPressed);
    EXPECT_EQ(mapper.Raw(0).buttons[kRawRightTrigger], kPressed);
    EXPECT_EQ(mapper.Raw(0).axes[0], -1000);
    EXPECT_EQ(mapper.Raw(0).axes[1], 500);
    EXPECT_EQ(mapper.Raw(0).axes[5], 1000);
    EXPECT_EQ(State(0, kPadCross), kPressed);
    EXPECT_EQ(State(0, kPadUp), kPressed);
    EXPECT_EQ(State(0, kPadR2), kPressed);
    EXPECT_FLOAT_EQ(blocks[kBlockStates][0].axes[kAxisLx], -1.0f);
    EXPECT_FLOAT_EQ(blocks[kBlockStates][0].axes[kAxisLy], 0.5f);
    Tick();
    EXPECT_EQ(State(0, kPadCross), kHeld);
    EXPECT_EQ(mapper.Raw(0).buttons[kRawSouth], kHeld);
    SDL_JoystickSetVirtualButton(stick, 15, 0);
    Tick();
    EXPECT_EQ(State(0, kPadCross), kUp);

    // A tap between two polls.
    SDL_JoystickSetVirtualButton(stick, 14, 1);
    SDL_JoystickUpdate();
    SDL_JoystickSetVirtualButton(stick, 14, 0);
    SDL_JoystickUpdate();
    Tick();
    EXPECT_EQ(mapper.Raw(0).buttons[kRawEast], kPressed);
    EXPECT_EQ(State(0, kPadCircle), kPressed);
    Tick();
    EXPECT_EQ(State(0, kPadCircle), kUp);

    // Keyboard merged with the pad: the larger axis wins, buttons OR-ed.
    PushKey(SDL_SCANCODE_D, true);
    PushKey(SDL_SCANCODE_S, true);
    Tick();
    EXPECT_FLOAT_EQ(blocks[kBlockStates][0].axes[kAxisLx], -1.0f);  // a tie keeps the pad's
    EXPECT_FLOAT_EQ(blocks[kBlockStates][0].axes[kAxisLy], 1.0f);
    SDL_JoystickClose(stick);
}

TEST_F(SdlDevicesTest, AMappingFileInTheDataRoot) {
    SDL_Joystick *stick = Attach(false, 0x2002, "File Mapped Pad");
    const std::string path = rwtest::ScratchPath("gamecontrollerdb.txt");
    FILE *file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fprintf(file, "# test mappings\n%s,File Mapped Pad,a:b3,b:b2,x:b1,y:b0,start:b4,"
                 "leftx:a1,lefty:a0,platform:%s,\n", Guid(stick).c_str(), SDL_GetPlatform());
    std::fclose(file);
    Start(path);
    SDL_JoystickSetVirtualButton(stick, 3, 1);
    SDL_JoystickSetVirtualButton(stick, 4, 1);
    SDL_JoystickSetVirtualAxis(stick, 0, 32767);
    Tick();
    EXPECT_EQ(mapper.Raw(0).buttons[kRawSouth], kPressed);
    EXPECT_EQ(mapper.Raw(0).buttons[kRawStart], kPressed);
    EXPECT_EQ(mapper.Raw(0).buttons[3], kUp);
    EXPECT_EQ(mapper.Raw(0).axes[1], 1000);
    EXPECT_EQ(mapper.Raw(0).axes[0], 0);
    std::remove(path.c_str());
    SDL_JoystickClose(stick);
}

TEST_F(SdlDevicesTest, AJoystickWithoutAMappingIsReadRaw) {
    SDL_Joystick *stick = Attach(false, 0x2003, "Raw Test Stick", 1);
    Start();
    SDL_JoystickSetVirtualButton(stick, 9, 1);
    SDL_JoystickSetVirtualButton(stick, 15, 1);  // the hat stands for 12..15
    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_LEFT | SDL_HAT_UP);
    SDL_JoystickSetVirtualAxis(stick, 7, -32768);
    Tick();
    EXPECT_TRUE(frame.pads[0].connected);
    EXPECT_EQ(mapper.Raw(0).buttons[9], kPressed);
    EXPECT_EQ(mapper.Raw(0).buttons[kRawLeft], kPressed);
    EXPECT_EQ(mapper.Raw(0).buttons[kRawUp], kPressed);
    EXPECT_EQ(mapper.Raw(0).buttons[kRawRight], kUp);
    EXPECT_EQ(mapper.Raw(0).axes[7], -1000);
    EXPECT_EQ(State(0, kPadStart), kPressed);
    EXPECT_EQ(State(0, kPadLeft), kPressed);
    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_CENTERED);
    Tick();
    EXPECT_EQ(State(0, kPadLeft), kUp);
    EXPECT_EQ(State(0, kPadStart), kHeld);
    SDL_JoystickClose(stick);
}

TEST_F(SdlDevicesTest, HotPlugSetsAndClearsConnected) {
    configs[kKeyboardSlot].codes[kFnActive] = 1;
    Start();
    Tick();
    EXPECT_FALSE(frame.pads[0].connected);
    EXPECT_EQ(blocks[kBlockStates][1].connected, 0);
    SDL_Joystick *first = Attach(true, 0x2004, "Plugged Pad A");
    SDL_Joystick *second = Attach(true, 0x2005, "Plugged Pad B");
    Tick();
    EXPECT_TRUE(frame.pads[0].connected);
    EXPECT_TRUE(frame.pads[1].connected);
    EXPECT_EQ(blocks[kBlockStates][1].connected, 1);
    SDL_JoystickSetVirtualButton(second, SDL_CONTROLLER_BUTTON_START, 1);
    Tick();
    EXPECT_EQ(State(1, kPadStart), kPressed);
    EXPECT_EQ(State(0, kPadStart), kUp);

    // The first pad goes: its place empties, the second keeps its own.
    SDL_JoystickClose(first);
    ASSERT_EQ(SDL_JoystickDetachVirtual(0), 0) << SDL_GetError();
    Tick();
    EXPECT_FALSE(frame.pads[0].connected);
    EXPECT_EQ(blocks[kBlockStates][0].connected, 1);  // still the keyboard's
    EXPECT_TRUE(frame.pads[1].connected);
    EXPECT_EQ(State(1, kPadStart), kHeld);
    // A new pad takes the free place.
    SDL_Joystick *third = Attach(true, 0x2006, "Plugged Pad C");
    Tick();
    EXPECT_TRUE(frame.pads[0].connected);
    SDL_JoystickClose(second);
    SDL_JoystickClose(third);
    while (SDL_NumJoysticks() > 0) SDL_JoystickDetachVirtual(0);
    Tick();
    EXPECT_FALSE(frame.pads[0].connected);
    EXPECT_FALSE(frame.pads[1].connected);
    EXPECT_EQ(blocks[kBlockStates][1].connected, 0);
}

}  // namespace

}  // namespace sdl_devices_test
