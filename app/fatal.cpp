// The fatal report and the immediate end (see fatal.h).
#include "app/fatal.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "app/debug.h"
#include "app/path.h"

namespace {

thread_local bool goingOn = false;
// The files of the RequiredFileReads open on this thread.
thread_local std::vector<std::string> requiredReads;

void DefaultFatalError(const char *fileName)
{
    const std::string reason = UnreadableReason(fileName);
    UserPrint("Fatal error: cannot read %s%s%s\n", MessagePath(fileName).c_str(), reason.empty() ? "" : ": ",
              reason.c_str());
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
// What SayUnreadableFile has said ("<file>: <reason>").
std::set<std::string> saidLines;

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
    // Compared as messages spell them: with or without the data root.
    const std::string asked = MessagePath(fileName);
    std::lock_guard<std::mutex> lock(notesLock);
    for (auto it = notes.rbegin(); it != notes.rend(); ++it) {
        if (GamePathsEqual(MessagePath(it->first).c_str(), asked.c_str())) {
            return it->second;
        }
    }
    return "";
}

void SayUnreadableFile(const char *fileName, const std::string &reason)
{
    if (fileName == nullptr || reason.empty()) {
        return;
    }
    NoteUnreadableFile(fileName, reason);
    const std::string said = MessagePath(fileName);
    for (const std::string &required : requiredReads) {
        if (GamePathsEqual(MessagePath(required).c_str(), said.c_str())) {
            return;  // its fatal report follows
        }
    }
    // Once per file and reason: every particle system of a kind reads its
    // picture, every stage load the same files.
    {
        std::lock_guard<std::mutex> lock(notesLock);
        if (!saidLines.insert(said + ": " + reason).second) {
            return;
        }
    }
    UserPrint("cannot read %s: %s\n", said.c_str(), reason.c_str());
}

void ForgetSaidUnreadableFiles()
{
    std::lock_guard<std::mutex> lock(notesLock);
    saidLines.clear();
}

RequiredFileRead::RequiredFileRead(std::string fileName) { requiredReads.push_back(std::move(fileName)); }
RequiredFileRead::~RequiredFileRead() { requiredReads.pop_back(); }

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
