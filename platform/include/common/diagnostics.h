// The platform layer's diagnostic lines: what the system libraries under it say on
// their own (the sound library's ALSA errors, libav's log of a damaged movie) is taken
// from them and handed, a whole line at a time, to the sink the application sets (the
// game's diagnostic lines, shown under --debug). Without a sink the lines go nowhere.
#pragma once

#include <cstdarg>

namespace plat {

// One whole line, ending in "\n". Called from any thread.
using DiagnosticSink = void (*)(const char *line);
void SetDiagnosticSink(DiagnosticSink sink);
bool HasDiagnosticSink();

// Formats like printf; the text is ended with "\n" unless it ends so already.
void Diagnostic(const char *format, ...) __attribute__((format(printf, 1, 2)));
void DiagnosticV(const char *format, va_list args);

}  // namespace plat
