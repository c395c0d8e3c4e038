// Reading the word table (see word_table.h).
#include "ui/word_table.h"

#include "app/debug.h"
#include "app/file.h"
#include "app/keyword.h"
#include "app/path.h"

namespace {

// A piece that ends its line: it holds a line feed, or is shorter than a
// full read.
bool EndsLine(const std::u16string &piece)
{
    return !piece.empty() && piece.back() == u'\n';
}

}  // namespace

std::string WordTable::PathFor(int32_t language)
{
    if (language == 0) {
        return std::string(GetDataRootPath()) + "\\RESOURCE\\UITEXT\\PLAYERUI\\CHI\\WORD.TXT";
    }
    if (language >= 1 && language <= 14) {
        return std::string(GetDataRootPath()) + "\\RESOURCE\\UITEXT\\PLAYERUI\\ENG\\WORD.TXT";
    }
    return std::string();
}

bool WordTable::Read(const LineSource &next, const char *name)
{
    words_.clear();
    std::u16string piece;
    if (!next(&piece)) {
        UserPrint("%s: the file is empty; no word is read\n", MessagePath(name).c_str());
        return false;
    }
    // The count line itself may run over a piece; the rest goes.
    bool lineOpen = !EndsLine(piece) && static_cast<int>(piece.size()) >= kLineUnits - 1;
    int32_t count = 0;
    if (!ReadKeyIntW(piece.c_str(), u':', &count)) {
        UserPrint("%s:1: no count (a label, ':' and the number of words); no word is read\n",
                  MessagePath(name).c_str());
        return true;
    }
    if (count < 1 || count > kMaxWords) {
        UserPrint("%s:1: a count of %d words, outside 1..%d; no word is read\n", MessagePath(name).c_str(), count,
                  kMaxWords);
        return true;
    }
    int line = 1;
    bool cutReported = false;
    while (static_cast<int32_t>(words_.size()) < count) {
        if (!next(&piece)) {
            // A short file: only the lines that are there.
            DebugPrint("%s: the file ends after %d of its %d words\n", MessagePath(name).c_str(), Count(), count);
            break;
        }
        if (lineOpen) {
            if (!cutReported) {
                DebugPrint("%s:%d: the line is longer than %d characters; the rest of it is not read\n",
                           MessagePath(name).c_str(), line, kLineUnits - 1);
                cutReported = true;
            }
            lineOpen = !EndsLine(piece) && static_cast<int>(piece.size()) >= kLineUnits - 1;
            continue;
        }
        ++line;
        cutReported = false;
        lineOpen = !EndsLine(piece) && static_cast<int>(piece.size()) >= kLineUnits - 1;
        const size_t end = piece.find_first_of(u"\r\n");
        words_.push_back(end == std::u16string::npos ? piece : piece.substr(0, end));
    }
    if (lineOpen && !cutReported) {
        DebugPrint("%s:%d: the line is longer than %d characters; the rest of it is not read\n",
                   MessagePath(name).c_str(), line, kLineUnits - 1);
    }
    return true;
}

bool WordTable::Load(int32_t language)
{
    words_.clear();
    const std::string path = PathFor(language);
    if (path.empty()) {
        return false;
    }
    zuFile *file = zufopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = Read(
        [file](std::u16string *piece) {
            char16_t buffer[kLineUnits];
            if (zufgetws(buffer, kLineUnits, file) == nullptr) {
                return false;
            }
            *piece = buffer;
            return true;
        },
        path.c_str());
    zufclose(file);
    return ok;
}

const char16_t *WordTable::Word(int32_t i) const
{
    if (i < 0 || i >= Count()) {
        return u"";
    }
    return words_[static_cast<size_t>(i)].c_str();
}
