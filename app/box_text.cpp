// A message box's text in lines a screen holds (see box_text.h).
#include "app/box_text.h"

namespace {

// Where a word longer than a line is broken: after the last path separator
// that leaves a piece of at most `columns`, else at `columns`.
size_t WordBreak(const std::u16string &word, size_t columns)
{
    for (size_t at = columns; at > 1; --at) {
        const char16_t before = word[at - 1];
        if (before == u'\\' || before == u'/') {
            return at;
        }
    }
    return columns;
}

void WrapLine(const std::u16string &line, size_t columns, std::u16string *out)
{
    std::u16string current;
    auto flush = [&] {
        *out += current;
        *out += u'\n';
        current.clear();
    };
    size_t at = 0;
    while (at <= line.size()) {
        size_t end = line.find(u' ', at);
        if (end == std::u16string::npos) {
            end = line.size();
        }
        std::u16string word = line.substr(at, end - at);
        at = end + 1;
        if (word.empty()) {
            continue;
        }
        if (!current.empty() && current.size() + 1 + word.size() <= columns) {
            current += u' ';
            current += word;
            continue;
        }
        if (!current.empty()) {
            flush();
        }
        while (word.size() > columns) {
            const size_t piece = WordBreak(word, columns);
            current = word.substr(0, piece);
            flush();
            word.erase(0, piece);
        }
        current = word;
    }
    *out += current;
}

}  // namespace

std::u16string WrapBoxText(const std::u16string &text, size_t columns)
{
    if (columns == 0) {
        return text;
    }
    std::u16string out;
    size_t at = 0;
    while (true) {
        const size_t end = text.find(u'\n', at);
        WrapLine(text.substr(at, end == std::u16string::npos ? std::u16string::npos : end - at), columns, &out);
        if (end == std::u16string::npos) {
            break;
        }
        out += u'\n';
        at = end + 1;
    }
    return out;
}
