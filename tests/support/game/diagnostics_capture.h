// Reading the game's diagnostic lines in a test: they are switched on and
// standard error captured until they are taken.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/debug.h"

namespace gametest {

inline bool &DiagnosticsWereOn()
{
    static bool on = false;
    return on;
}

// Switches the diagnostic lines on and starts capturing standard error.
inline void CaptureDiagnostics()
{
    DiagnosticsWereOn() = SetDebugOutput(true);
    testing::internal::CaptureStderr();
}

// What standard error received since CaptureDiagnostics; the diagnostic
// lines go back to how they were.
inline std::string TakeDiagnostics()
{
    std::string text = testing::internal::GetCapturedStderr();
    SetDebugOutput(DiagnosticsWereOn());
    return text;
}

// What `read` wrote to standard error with the diagnostic lines on
// (`debug`) or off; they go back to how they were.
template <typename Read>
std::string Said(bool debug, Read read)
{
    const bool was = SetDebugOutput(debug);
    testing::internal::CaptureStderr();
    read();
    std::string said = testing::internal::GetCapturedStderr();
    SetDebugOutput(was);
    return said;
}

}  // namespace gametest
