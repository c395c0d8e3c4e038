// The fatal report and the immediate end (see fatal.h).
#include "app/fatal.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <utility>

#include "app/debug.h"
#include "app/path.h"

namespace {

thread_local bool goingOn = false;

void DefaultFatalError(const char *fileName)
{
    const std::string reason = UnreadableReason(fileName);
    UserPrint("Fatal error: cannot read %s%s%s\n", fileName != nullptr ? fileName : "(no name)",
              reason.empty() ? "" : ": ", reason.c_str());
    std::fflush(stderr);
    if (!goingOn) {
        std::exit(1);
    }
}

std::atomic<FatalErrorHandler> handler{DefaultFatalError};

// The latest notes, newest last.
constexpr size_t kKeptNotes = 8;
std::mutex notesLock;
std::deque<std::pair<std::string, std::string>> notes;

}  // namespace

void RaiseFatalError(const char *fileName) { handler.load()(fileName); }

void RaiseFatalErrorGoingOn(const char *fileName)
{
    const bool outer = goingOn;
    goingOn = true;
    handler.load()(fileName);
    goingOn = outer;
}

bool FatalReportGoesOn() { return goingOn; }

FatalErrorHandler SetFatalErrorHandler(FatalErrorHandler next)
{
    return handler.exchange(next != nullptr ? next : DefaultFatalError);
}

void NoteUnreadableFile(const char *fileName, const std::string &reason)
{
    if (fileName == nullptr || reason.empty()) {
        return;
    }
    std::lock_guard<std::mutex> lock(notesLock);
    notes.emplace_back(fileName, reason);
    if (notes.size() > kKeptNotes) {
        notes.pop_front();
    }
}

std::string UnreadableReason(const char *fileName)
{
    if (fileName == nullptr) {
        return "";
    }
    std::lock_guard<std::mutex> lock(notesLock);
    for (auto it = notes.rbegin(); it != notes.rend(); ++it) {
        if (GamePathsEqual(it->first.c_str(), fileName)) {
            return it->second;
        }
    }
    return "";
}

void FatalExit(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    UserPrintV(format, args);
    va_end(args);
    UserPrint("\n");
    std::fflush(stderr);
    std::_Exit(1);
}
