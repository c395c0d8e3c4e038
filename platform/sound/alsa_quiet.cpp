// ALSA's own error lines. The ALSA library writes what goes wrong while SDL looks for
// a device to standard error itself ("ALSA lib confmisc.c:855:(parse_card) cannot find
// card '0'" and seven more on a machine without a sound card), before the game's one
// line that says there is no audio device. Its error handler is taken over once, before
// SDL's audio starts, and its lines become the platform's diagnostic lines. The library
// is reached through the dynamic loader: SDL may link it or load it itself, and the
// handle is kept so that the handler stays in place for the life of the process.
#include <dlfcn.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

#include "common/diagnostics.h"
#include "library_state.h"

namespace snd {

namespace {

using AlsaErrorHandler = void (*)(const char *file, int line, const char *function, int error, const char *format,
                                  ...);
using AlsaSetErrorHandler = int (*)(AlsaErrorHandler handler);
// The thread's own handler, which ALSA's default handler defers to (it silences the
// errors of a search through the devices, for one): taken over with the default.
using AlsaLocalErrorHandler = void (*)(const char *file, int line, const char *function, int error,
                                       const char *format, va_list args);
using AlsaSetLocalErrorHandler = AlsaLocalErrorHandler (*)(AlsaLocalErrorHandler handler);

AlsaSetLocalErrorHandler setLocalHandler = nullptr;
using AlsaErrorText = const char *(*)(int error);
AlsaErrorText errorText = nullptr;

void AlsaError(const char *file, int line, const char *function, int error, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    if (setLocalHandler != nullptr) {
        const AlsaLocalErrorHandler local = setLocalHandler(nullptr);
        setLocalHandler(local);
        if (local != nullptr) {
            local(file, line, function, error, format, args);
            va_end(args);
            return;
        }
    }
    if (!plat::HasDiagnosticSink()) {
        va_end(args);
        return;
    }
    char message[512];
    std::vsnprintf(message, sizeof(message), format != nullptr ? format : "", args);
    va_end(args);
    const std::string reason =
        error == 0 ? "" : ": " + (errorText != nullptr ? std::string(errorText(error)) : std::to_string(error));
    plat::Diagnostic("sound: ALSA lib %s:%d:(%s) %s%s", file != nullptr ? file : "?", line,
                     function != nullptr ? function : "?", message, reason.c_str());
}

}  // namespace

void QuietAlsaErrors()
{
    static std::once_flag once;
    std::call_once(once, [] {
        void *alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (alsa == nullptr) {
            return;  // no ALSA on this machine: nothing of it can speak
        }
        errorText = reinterpret_cast<AlsaErrorText>(dlsym(alsa, "snd_strerror"));
        setLocalHandler = reinterpret_cast<AlsaSetLocalErrorHandler>(dlsym(alsa, "snd_lib_error_set_local"));
        auto set = reinterpret_cast<AlsaSetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
        if (set != nullptr) {
            set(AlsaError);
        }
    });
}

}  // namespace snd
