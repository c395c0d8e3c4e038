// The fatal report and the immediate end (see fatal.h).
#include "app/fatal.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "app/debug.h"

namespace {

void DefaultFatalError(const char *fileName)
{
    DebugPrint("Fatal error: cannot read %s\n", fileName != nullptr ? fileName : "(no name)");
    std::fflush(stderr);
    std::exit(1);
}

std::atomic<FatalErrorHandler> handler{DefaultFatalError};

}  // namespace

void RaiseFatalError(const char *fileName) { handler.load()(fileName); }

FatalErrorHandler SetFatalErrorHandler(FatalErrorHandler next)
{
    return handler.exchange(next != nullptr ? next : DefaultFatalError);
}

void FatalExit(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    DebugPrintV(format, args);
    va_end(args);
    DebugPrint("\n");
    std::fflush(stderr);
    std::_Exit(1);
}
