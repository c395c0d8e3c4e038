// The fatal report: a file that the game needs and cannot read, or a pack
// that is refused. Every loader raises it through RaiseFatalError, the one
// entry point; the message box installs itself behind it as the handler.
// Also the immediate end of the program where nothing can go on (out of
// memory).
#pragma once

#include <cstdarg>
#include <string>

// Reports that `fileName` is missing or damaged. The default handler writes
// "Fatal error: cannot read <file>\n" (the file as MessagePath spells it,
// with ": <reason>" when one was
// noted for the file) to standard error and ends the program with status 1
// (the program has not reached the title). A handler that returns (the
// message box once the title was reached, a test's recorder) lets the
// caller go on with its failure result.
void RaiseFatalError(const char *fileName);

// The same report for a file the game can go on without (a movie): before
// the title was reached the program goes on after the report (the default
// handler returns too) rather than ending; afterwards the message box
// returns the game to the title as after any fatal report.
void RaiseFatalErrorGoingOn(const char *fileName);
// True inside RaiseFatalErrorGoingOn on this thread (for the handlers).
bool FatalReportGoesOn();

typedef void (*FatalErrorHandler)(const char *fileName);
// Installs `handler` (null puts the default back); returns the previous one.
FatalErrorHandler SetFatalErrorHandler(FatalErrorHandler handler);

// A file that is there but could not be read: the reader's reason ("Permission
// denied", the engine's "E_RW_READ ..."), kept for the fatal report of that
// file, which then says "cannot read" with it rather than that the file is
// missing. The last few notes are kept. Safe from any thread.
void NoteUnreadableFile(const char *fileName, const std::string &reason);
// The reason noted last for `fileName` (game paths compared as the resolver
// matches them), or "" when the file was not noted.
std::string UnreadableReason(const char *fileName);

// A file that is there but cannot be read, or that its reader refuses whole:
// says "cannot read <file>: <reason>" on standard error (the file as
// MessagePath spells it) and notes the reason for a fatal report of the
// file. A file is said once for a reason however often it is read. While a
// RequiredFileRead of the file is open on this thread the
// line is left to the fatal report its loader raises next, so the file is
// named once; other files are said as ever.
void SayUnreadableFile(const char *fileName, const std::string &reason);
// Forgets what SayUnreadableFile has said (a new data root).
void ForgetSaidUnreadableFiles();
// Open around the read of `fileName` by a loader that raises the fatal
// report when the file cannot be had (see SayUnreadableFile).
class RequiredFileRead {
public:
    explicit RequiredFileRead(std::string fileName);
    ~RequiredFileRead();
    RequiredFileRead(const RequiredFileRead &) = delete;
    RequiredFileRead &operator=(const RequiredFileRead &) = delete;
};

// Writes the formatted message and "\n" to standard error and ends the
// program with status 1 at once. For states nothing can recover from, such
// as memory that cannot be had (zuMalloc never returns null).
[[noreturn]] void FatalExit(const char *format, ...) __attribute__((format(printf, 1, 2)));
