// The audio device: SDL's output at 44100 Hz, 16-bit, stereo, whose callback runs the
// mixer, or on the game's clock plays what the mixer mixed. SDL converts when the
// hardware wants another format. Which driver plays is SDL's choice (SDL_AUDIODRIVER):
// "dummy" for headless runs, "disk" to record a run.
#include <SDL.h>

#include <cstring>

#include "library_state.h"

namespace snd {

namespace {

void DeviceCallback(void *user, Uint8 *stream, int length)
{
    static_cast<Library *>(user)->Render(reinterpret_cast<int16_t *>(stream),
                                         static_cast<size_t>(length) / kFrameBytes);
}

void GameClockCallback(void *user, Uint8 *stream, int length)
{
    FillDeviceFromGameClock(*static_cast<Library::State *>(user), reinterpret_cast<int16_t *>(stream),
                            static_cast<size_t>(length) / kFrameBytes);
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// Starting SDL's audio beside a display opens the session bus; the bus library
// keeps its read buffers for the life of the process by design (only the program
// may shut it down, and SDL leaves that to it), so the leak check passes over them.
extern "C" const char *__lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
// A run that passed over them would otherwise list the suppressions used on
// its error stream, which the game's own lines share (and tests read).
extern "C" const char *__lsan_default_options() { return "print_suppressions=0"; }
#endif

bool OpenDevice(Library *library, Library::State &state, std::string *error)
{
    QuietAlsaErrors();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (error != nullptr) {
            *error = std::string("sound: no audio: ") + SDL_GetError();
        }
        return false;
    }
    state.audioSubsystem = true;
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(kDeviceRate);
    want.format = AUDIO_S16SYS;
    want.channels = kDeviceChannels;
    const bool gameClock = state.options.gameClockStepMs != 0;
    want.samples = static_cast<Uint16>(state.options.deviceBufferFrames);
    want.callback = gameClock ? GameClockCallback : DeviceCallback;
    want.userdata = gameClock ? static_cast<void *>(&state) : static_cast<void *>(library);
    SDL_AudioSpec have{};
    state.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (state.device == 0) {
        if (error != nullptr) {
            *error = std::string("sound: no audio device: ") + SDL_GetError();
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        state.audioSubsystem = false;
        return false;
    }
    if (gameClock) {
        // The dummy driver plays nothing: the mix is not kept for it.
        const char *driver = SDL_GetCurrentAudioDriver();
        std::lock_guard<std::mutex> lock(state.outLock);
        state.deviceTakesMix = driver == nullptr || std::strcmp(driver, "dummy") != 0;
        state.out.clear();
        state.outRead = 0;
    }
    SDL_PauseAudioDevice(state.device, 0);
    return true;
}

void CloseDevice(Library::State &state)
{
    if (state.device != 0) {
        SDL_CloseAudioDevice(state.device);  // returns once the callback can no longer run
        state.device = 0;
    }
    {
        std::lock_guard<std::mutex> lock(state.outLock);
        state.deviceTakesMix = false;
        state.out.clear();
        state.outRead = 0;
    }
    if (state.audioSubsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        state.audioSubsystem = false;
        // The last part of SDL to go takes SDL's own connections with it (the
        // session bus that starting the audio opens beside a display).
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    }
}

}  // namespace snd
