// Reading the word table (see word_table.h).
#include "ui/word_table.h"

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

bool WordTable::Read(const LineSource &next)
{
    words_.clear();
    std::u16string piece;
    if (!next(&piece)) {
        return false;
    }
    // The count line itself may run over a piece; the rest goes.
    bool lineOpen = !EndsLine(piece) && static_cast<int>(piece.size()) >= kLineUnits - 1;
    int32_t count = 0;
    ReadKeyIntW(piece.c_str(), u':', &count);
    if (count < 1 || count > kMaxWords) {
        return true;
    }
    while (static_cast<int32_t>(words_.size()) < count) {
        if (!next(&piece)) {
            break;  // a short file: only the lines that are there
        }
        if (lineOpen) {
            lineOpen = !EndsLine(piece) && static_cast<int>(piece.size()) >= kLineUnits - 1;
            continue;
        }
        lineOpen = !EndsLine(piece) && static_cast<int>(piece.size()) >= kLineUnits - 1;
        const size_t end = piece.find_first_of(u"\r\n");
        words_.push_back(end == std::u16string::npos ? piece : piece.substr(0, end));
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
    const bool ok = Read([file](std::u16string *piece) {
        char16_t buffer[kLineUnits];
        if (zufgetws(buffer, kLineUnits, file) == nullptr) {
            return false;
        }
        *piece = buffer;
        return true;
    });
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
