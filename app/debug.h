// The game's diagnostic lines. Every check that the game reports and
// survives ("zufopen fail: %s\n", a malformed keyword value, an event that
// ends ...) formats its line through DebugPrint, which writes it to
// standard error in one piece, so that runs and tests can read them.
#pragma once

#include <cstdarg>

// Formats like printf and writes the text to standard error as it is (the
// callers end their lines with "\n" themselves). Safe from any thread.
void DebugPrint(const char *format, ...) __attribute__((format(printf, 1, 2)));
void DebugPrintV(const char *format, va_list args);
