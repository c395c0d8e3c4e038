// The game's two kinds of terminal lines.
//  - Diagnostic lines: every check that the game reports and survives
//    ("zufopen fail: %s\n", a malformed keyword value, an event that occurs
//    or ends, a message pool that is full ...) formats its line through
//    DebugPrint. They go nowhere unless switched on (the game's --debug),
//    then to standard error, each line in one piece.
//  - What a user must see: the fatal message, a file that is there but is
//    refused (with the reason), a device that is missing. UserPrint writes
//    it to standard error always.
#pragma once

#include <cstdarg>

// Formats like printf and writes the text as it is (the callers end their
// lines with "\n" themselves). Safe from any thread.
void DebugPrint(const char *format, ...) __attribute__((format(printf, 1, 2)));
void DebugPrintV(const char *format, va_list args);
// Switches the diagnostic lines on (to standard error) or off (the default);
// returns the previous setting.
bool SetDebugOutput(bool on);
bool IsDebugOutputOn();

// The same formatting, to standard error whatever the setting.
void UserPrint(const char *format, ...) __attribute__((format(printf, 1, 2)));
void UserPrintV(const char *format, va_list args);
