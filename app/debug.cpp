// The diagnostic and user lines (see debug.h).
#include "app/debug.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace {

std::atomic<bool> debugOutput{false};

void WriteFormatted(const char *format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    char small[512];
    const int length = std::vsnprintf(small, sizeof(small), format, copy);
    va_end(copy);
    if (length < 0) {
        return;
    }
    // One write per call, so that lines of several threads do not interleave.
    if (static_cast<size_t>(length) < sizeof(small)) {
        std::fwrite(small, 1, static_cast<size_t>(length), stderr);
        return;
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    std::fwrite(text.data(), 1, static_cast<size_t>(length), stderr);
}

}  // namespace

void DebugPrintV(const char *format, va_list args)
{
    if (debugOutput.load(std::memory_order_relaxed)) {
        WriteFormatted(format, args);
    }
}

void DebugPrint(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    DebugPrintV(format, args);
    va_end(args);
}

bool SetDebugOutput(bool on) { return debugOutput.exchange(on); }

bool IsDebugOutputOn() { return debugOutput.load(); }

void UserPrintV(const char *format, va_list args) { WriteFormatted(format, args); }

void UserPrint(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    UserPrintV(format, args);
    va_end(args);
}
