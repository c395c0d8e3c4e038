// The game's sound as a port (see sound_port.h). The game's port has no
// context: each call goes to the application's sound front-end as it stands
// at the call, so the port may be made before the front-end and outlive it.
#include "stage/sound_port.h"

#include "app/application.h"
#include "app/audio.h"

namespace {

CSAudio *Of(void *context)
{
    if (context != nullptr) {
        return static_cast<CSAudio *>(context);
    }
    return g_pApplication != nullptr ? g_pApplication->audio : nullptr;
}

SoundPort PortOver(CSAudio *audio)
{
    static_assert(SoundPort::kNoSound == CSAudio::kNoSound && SoundPort::kStatic == CSAudio::kStatic &&
                  SoundPort::kStreamed == CSAudio::kStreamed);
    SoundPort port;
    port.context = audio;
    port.load = [](void *c, const char *path, int kind, int group, float volume) {
        CSAudio *a = Of(c);
        return a != nullptr ? a->LoadSound(path, kind, group, volume) : SoundPort::kNoSound;
    };
    port.play = [](void *c, uint32_t handle, bool loop) {
        if (CSAudio *a = Of(c)) {
            a->PlaySound(handle, loop ? 1 : 0);
        }
    };
    port.stop = [](void *c, uint32_t handle) {
        if (CSAudio *a = Of(c)) {
            a->StopSound(handle);
        }
    };
    port.pause = [](void *c, uint32_t handle) {
        if (CSAudio *a = Of(c)) {
            a->PauseSound(handle);
        }
    };
    port.resume = [](void *c, uint32_t handle) {
        if (CSAudio *a = Of(c)) {
            a->ResumeSound(handle);
        }
    };
    port.unload = [](void *c, uint32_t handle) {
        if (CSAudio *a = Of(c)) {
            a->UnloadSound(handle);
        }
    };
    port.setVolume = [](void *c, uint32_t handle, float volume) {
        if (CSAudio *a = Of(c)) {
            a->SetVolume(handle, volume);
        }
    };
    return port;
}

}  // namespace

SoundPort GameSoundPort() { return PortOver(nullptr); }

SoundPort AudioSoundPort(CSAudio *audio) { return audio != nullptr ? PortOver(audio) : SoundPort{}; }
