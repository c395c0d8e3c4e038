// Diagnostic lines to standard error (see debug.h).
#include "app/debug.h"

#include <cstdio>
#include <string>

void DebugPrintV(const char *format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    char small[512];
    const int length = std::vsnprintf(small, sizeof(small), format, copy);
    va_end(copy);
    if (length < 0) {
        return;
    }
    // One write per line, so that lines of several threads do not interleave.
    if (static_cast<size_t>(length) < sizeof(small)) {
        std::fwrite(small, 1, static_cast<size_t>(length), stderr);
        return;
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    std::fwrite(text.data(), 1, static_cast<size_t>(length), stderr);
}

void DebugPrint(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    DebugPrintV(format, args);
    va_end(args);
}
