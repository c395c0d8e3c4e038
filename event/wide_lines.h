// The wide (UTF-16) event data files' line reader: numbered whole lines,
// each cut at its first line end and to the longest line its place allows
// (a diagnostic line says so); a line that is missing or does not hold what
// its place asks for refuses the file, said on standard error with the
// file and the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/debug.h"
#include "app/file.h"
#include "app/keyword.h"
#include "app/path.h"
#include "event/event_data_files.h"

class WideLines {
public:
    WideLines(zuFile *file, const char *name) : file_(file), name_(name) {}

    bool Next(const char *what, size_t longest = kEventWideTextLine)
    {
        if (file_ == nullptr || !zufgetwline(file_, &line_)) {
            UserPrint("%s: the file ends where line %d (%s) should be; the file is refused\n",
                      MessagePath(name_).c_str(), number_ + 1, what);
            return false;
        }
        ++number_;
        const size_t end = line_.find_first_of(u"\r\n");
        if (end != std::u16string::npos) {
            line_.resize(end);
        }
        if (line_.size() > longest) {
            DebugPrint("%s:%d: the line is longer than %zu characters; the rest of it is not read\n",
                       MessagePath(name_).c_str(), number_, longest);
            line_.resize(longest);
        }
        return true;
    }
    bool LineValue(const char *what, size_t longest, int32_t *value)
    {
        if (!Next(what, longest)) {
            return false;
        }
        const size_t colon = line_.find(u':');
        if (colon == std::u16string::npos || !ReadKeyIntW(line_.c_str(), u':', value) ||
            !StartsNumber(line_.c_str() + colon + 1)) {
            return Refuse(what);
        }
        return true;
    }
    bool Refuse(const char *what) const
    {
        UserPrint("%s:%d: no %s here; the file is refused\n", MessagePath(name_).c_str(), number_, what);
        return false;
    }
    const std::u16string &Line() const { return line_; }
    // The number of the line read last.
    int Number() const { return number_; }

    // Blanks skipped, then an optional sign and a digit.
    static bool StartsNumber(const char16_t *p)
    {
        while (*p == u' ' || *p == u'\t') {
            ++p;
        }
        if (*p == u'-' || *p == u'+') {
            ++p;
        }
        return *p >= u'0' && *p <= u'9';
    }

private:
    zuFile *file_;
    const char *name_;
    std::u16string line_;
    int number_ = 0;
};

