// The input devices through SDL: keyboard and mouse from the window's events, game pads
// through the game-controller API (SDL's mapping database plus an optional mapping file)
// or, without a mapping, as raw joysticks. Pads take the first free of four places as SDL
// lists them, at start-up and when plugged in later; unplugging clears the place.
//
// Events are seen through an event watch, so whoever empties SDL's queue (the main loop)
// does not take them from the input; presses are counted as they arrive, so a tap between
// two polls is not lost.
#include <SDL.h>

#include <cstdio>
#include <mutex>
#include <vector>

#include "../common/system_library_calls.h"
#include "input/devices.h"

namespace input {
namespace {

constexpr int32_t kTriggerHalf = kRawAxisMax / 2;

// SDL's axis range to -1000..1000 (triggers 0..1000).
int32_t ScaleAxis(Sint16 value) {
    const int32_t scaled = int32_t(value) * kRawAxisMax / 32767;
    return scaled < -kRawAxisMax ? -kRawAxisMax : (scaled > kRawAxisMax ? kRawAxisMax : scaled);
}

// The device layout's button of a game-controller button; -1 for those the game has none for.
int RawButtonOfController(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return kRawSouth;
    case SDL_CONTROLLER_BUTTON_B: return kRawEast;
    case SDL_CONTROLLER_BUTTON_X: return kRawWest;
    case SDL_CONTROLLER_BUTTON_Y: return kRawNorth;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return kRawLeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return kRawRightShoulder;
    case SDL_CONTROLLER_BUTTON_BACK: return kRawBack;
    case SDL_CONTROLLER_BUTTON_START: return kRawStart;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK: return kRawLeftStick;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return kRawRightStick;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return kRawUp;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return kRawRight;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return kRawDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return kRawLeft;
    default: return -1;
    }
}

constexpr SDL_GameControllerAxis kControllerAxes[6] = {
    SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY, SDL_CONTROLLER_AXIS_RIGHTX,
    SDL_CONTROLLER_AXIS_RIGHTY, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
};

// The hat's directions in the device layout's order up, right, down, left.
constexpr Uint8 kHatBits[4] = {SDL_HAT_UP, SDL_HAT_RIGHT, SDL_HAT_DOWN, SDL_HAT_LEFT};

struct OpenPad {
    SDL_GameController *controller = nullptr;  // with a mapping
    SDL_Joystick *joystick = nullptr;          // always (the controller's own when mapped)
    SDL_JoystickID instance = -1;
    Uint8 hat = 0;                             // raw joysticks: the last hat position seen
    bool triggerPast[2] = {};                  // controllers: the triggers past half
};

class SdlDevices final : public InputDevices {
public:
    SdlDevices() {
        frame_.keyboard.present = true;
        frame_.mouse.present = true;
        SDL_AddEventWatch(&SdlDevices::Watch, this);
        Rescan();
    }

    ~SdlDevices() override {
        RW_SYSTEM_LIBRARY_CALLS;
        SDL_DelEventWatch(&SdlDevices::Watch, this);
        for (OpenPad &pad : pads_) Close(&pad);
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    }

    void Poll(DeviceFrame *frame) override {
        RW_SYSTEM_LIBRARY_CALLS;
        SDL_PumpEvents();
        std::vector<SDL_Event> events;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            events.swap(pending_);
        }
        Rescan();
        for (const SDL_Event &event : events) Handle(event);
        for (int place = 0; place < kPadCount; ++place) ReadLevels(place);
        *frame = frame_;
        ClearSincePoll(&frame_);
    }

private:
    static int SDLCALL Watch(void *self, SDL_Event *event) {
        switch (event->type) {
        case SDL_KEYDOWN: case SDL_KEYUP:
        case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: case SDL_MOUSEMOTION: case SDL_MOUSEWHEEL:
        case SDL_JOYBUTTONDOWN: case SDL_JOYHATMOTION:
        case SDL_CONTROLLERBUTTONDOWN: case SDL_CONTROLLERAXISMOTION: {
            SdlDevices *devices = static_cast<SdlDevices *>(self);
            std::lock_guard<std::mutex> lock(devices->mutex_);
            // A queue nobody polls stops growing; levels are read at the poll anyway.
            if (devices->pending_.size() < 65536) devices->pending_.push_back(*event);
            break;
        }
        default: break;
        }
        return 0;
    }

    int PlaceOf(SDL_JoystickID instance) const {
        for (int place = 0; place < kPadCount; ++place) {
            if (pads_[place].joystick && pads_[place].instance == instance) return place;
        }
        return -1;
    }

    // Pads unplugged give up their place; pads plugged in take the first free one, in the
    // order SDL lists them.
    void Rescan() {
        for (int place = 0; place < kPadCount; ++place) {
            if (pads_[place].joystick && !SDL_JoystickGetAttached(pads_[place].joystick)) {
                Close(&pads_[place]);
                frame_.pads[place] = PadFrame{};
            }
        }
        const int count = SDL_NumJoysticks();
        for (int index = 0; index < count; ++index) Open(index);
    }

    void Open(int index) {
        if (PlaceOf(SDL_JoystickGetDeviceInstanceID(index)) >= 0) return;
        int place = 0;
        while (place < kPadCount && pads_[place].joystick) ++place;
        if (place == kPadCount) return;
        OpenPad &pad = pads_[place];
        if (SDL_IsGameController(index)) {
            pad.controller = SDL_GameControllerOpen(index);
            pad.joystick = pad.controller ? SDL_GameControllerGetJoystick(pad.controller) : nullptr;
        }
        if (!pad.joystick) {
            pad.controller = nullptr;
            pad.joystick = SDL_JoystickOpen(index);
        }
        if (!pad.joystick) {
            std::fprintf(stderr, "input: pad %d cannot be opened: %s\n", index, SDL_GetError());
            return;
        }
        pad.instance = SDL_JoystickInstanceID(pad.joystick);
        frame_.pads[place] = PadFrame{};
        frame_.pads[place].connected = true;
    }

    void Close(OpenPad *pad) {
        if (pad->controller) {
            SDL_GameControllerClose(pad->controller);
        } else if (pad->joystick) {
            SDL_JoystickClose(pad->joystick);
        }
        *pad = OpenPad{};
    }

    void Handle(const SDL_Event &event) {
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const int code = KeyCodeFromSdlScancode(event.key.keysym.scancode);
            if (code == 0) break;
            DigitalInput &key = frame_.keyboard.keys[code];
            if (event.type == SDL_KEYUP) {
                key.down = 0;
            } else if (!event.key.repeat) {
                CountPress(&key);
            }
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            int button = -1;
            if (event.button.button == SDL_BUTTON_LEFT) button = 0;
            if (event.button.button == SDL_BUTTON_RIGHT) button = 1;
            if (event.button.button == SDL_BUTTON_MIDDLE) button = 2;
            if (button < 0) break;
            DigitalInput &input = frame_.mouse.buttons[button];
            if (event.type == SDL_MOUSEBUTTONUP) {
                input.down = 0;
            } else {
                CountPress(&input);
            }
            break;
        }
        case SDL_MOUSEMOTION:
            frame_.mouse.dx += event.motion.xrel;
            frame_.mouse.dy += event.motion.yrel;
            break;
        case SDL_MOUSEWHEEL: {
            Sint32 y = event.wheel.y;
            if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
            uint8_t &notches = y > 0 ? frame_.mouse.wheelUp : frame_.mouse.wheelDown;
            for (Sint32 n = y > 0 ? y : -y; n > 0 && notches < 255; --n) ++notches;
            break;
        }
        case SDL_CONTROLLERBUTTONDOWN: {
            const int place = PlaceOf(event.cbutton.which);
            const int button = RawButtonOfController(event.cbutton.button);
            if (place >= 0 && pads_[place].controller && button >= 0) {
                CountPress(&frame_.pads[place].buttons[button]);
            }
            break;
        }
        case SDL_CONTROLLERAXISMOTION: {
            const int place = PlaceOf(event.caxis.which);
            if (place < 0 || !pads_[place].controller) break;
            const int trigger = event.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT    ? 0
                                : event.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT ? 1
                                                                                       : -1;
            if (trigger < 0) break;
            const bool past = ScaleAxis(event.caxis.value) > kTriggerHalf;
            if (past && !pads_[place].triggerPast[trigger]) {
                CountPress(&frame_.pads[place].buttons[kRawLeftTrigger + trigger]);
            }
            pads_[place].triggerPast[trigger] = past;
            break;
        }
        case SDL_JOYBUTTONDOWN: {
            const int place = PlaceOf(event.jbutton.which);
            if (place >= 0 && !pads_[place].controller && event.jbutton.button < kRawButtonCount) {
                CountPress(&frame_.pads[place].buttons[event.jbutton.button]);
            }
            break;
        }
        case SDL_JOYHATMOTION: {
            const int place = PlaceOf(event.jhat.which);
            if (place < 0 || pads_[place].controller || event.jhat.hat != 0) break;
            for (int d = 0; d < 4; ++d) {
                if ((event.jhat.value & kHatBits[d]) && !(pads_[place].hat & kHatBits[d])) {
                    CountPress(&frame_.pads[place].buttons[kRawUp + d]);
                }
            }
            pads_[place].hat = event.jhat.value;
            break;
        }
        default: break;
        }
    }

    // Levels of an open pad's buttons and axes now.
    void ReadLevels(int place) {
        OpenPad &pad = pads_[place];
        PadFrame &out = frame_.pads[place];
        if (!pad.joystick) return;
        if (pad.controller) {
            for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
                const int raw = RawButtonOfController(b);
                if (raw >= 0) {
                    out.buttons[raw].down =
                        SDL_GameControllerGetButton(pad.controller, SDL_GameControllerButton(b));
                }
            }
            for (int a = 0; a < 6; ++a) {
                out.axes[a] = ScaleAxis(SDL_GameControllerGetAxis(pad.controller, kControllerAxes[a]));
            }
            out.axes[6] = out.axes[7] = 0;
            out.buttons[kRawLeftTrigger].down = out.axes[4] > kTriggerHalf;
            out.buttons[kRawRightTrigger].down = out.axes[5] > kTriggerHalf;
            return;
        }
        const int buttons = SDL_JoystickNumButtons(pad.joystick);
        for (int b = 0; b < kRawUp; ++b) {
            out.buttons[b].down = b < buttons ? SDL_JoystickGetButton(pad.joystick, b) : 0;
        }
        const Uint8 hat = SDL_JoystickNumHats(pad.joystick) > 0 ? SDL_JoystickGetHat(pad.joystick, 0)
                                                                 : SDL_HAT_CENTERED;
        for (int d = 0; d < 4; ++d) {
            // Without a hat, buttons 12..15 of the joystick itself stand for the directions.
            const bool fromButton = SDL_JoystickNumHats(pad.joystick) == 0 && kRawUp + d < buttons;
            out.buttons[kRawUp + d].down =
                fromButton ? SDL_JoystickGetButton(pad.joystick, kRawUp + d) : (hat & kHatBits[d]) != 0;
        }
        const int axes = SDL_JoystickNumAxes(pad.joystick);
        for (int a = 0; a < kRawAxisCount; ++a) {
            out.axes[a] = a < axes ? ScaleAxis(SDL_JoystickGetAxis(pad.joystick, a)) : 0;
        }
    }

    std::mutex mutex_;
    std::vector<SDL_Event> pending_;
    OpenPad pads_[kPadCount];
    DeviceFrame frame_{};
};

}  // namespace

std::unique_ptr<InputDevices> CreateSdlInputDevices(const std::string &mappingFile,
                                                    std::string *error) {
    RW_SYSTEM_LIBRARY_CALLS;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        *error = std::string("SDL's game controllers cannot start: ") + SDL_GetError();
        return nullptr;
    }
    if (!mappingFile.empty()) {
        if (FILE *probe = std::fopen(mappingFile.c_str(), "rb")) {
            std::fclose(probe);
            if (SDL_GameControllerAddMappingsFromFile(mappingFile.c_str()) < 0) {
                std::fprintf(stderr, "input: the pad mappings of %s cannot be read: %s\n",
                             mappingFile.c_str(), SDL_GetError());
            }
        }
    }
    return std::make_unique<SdlDevices>();
}

}  // namespace input
