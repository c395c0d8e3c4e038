// libav's own log lines. libavformat and libavcodec say what they find wrong in a
// damaged movie on standard error by themselves ("[mov,mp4,m4a,3gp,3g2,mj2 @ 0x...]
// moov atom not found", "Invalid data found when processing input"), beside the game's
// one line that names the movie. Their log is taken over once: its warnings and errors
// become the platform's diagnostic lines (shown under --debug), whole lines at a time;
// what it says below warnings is dropped.
extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>
#include <mutex>
#include <string>

#include "common/diagnostics.h"
#include "movie_state.h"

namespace mov {

namespace {

void LibavLine(void *context, int level, const char *format, va_list args)
{
    if (level > AV_LOG_WARNING || !plat::HasDiagnosticSink()) {
        return;
    }
    // libav may give a line in pieces, the prefix only on the first.
    thread_local std::string pending;
    thread_local int printPrefix = 1;
    char piece[1024];
    av_log_format_line2(context, level, format, args, piece, sizeof(piece), &printPrefix);
    pending += piece;
    if (!pending.empty() && (pending.back() == '\n' || pending.size() > 4096)) {
        plat::Diagnostic("movie: libav: %s", pending.c_str());
        pending.clear();
    }
}

}  // namespace

void RouteLibavLog()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(LibavLine); });
}

}  // namespace mov
