// Parsing and formatting of the message table.
#include "app/message_table.h"

#include <set>

namespace game {

namespace {

// Entries and texts beyond these are a broken file, not a table.
constexpr int64_t kMaxEntries = 100000;
constexpr int64_t kMaxTexts = 100000;

}  // namespace

void StripLineEnd(std::u16string *line)
{
    while (!line->empty() && (line->back() == u'\n' || line->back() == u'\r')) {
        line->pop_back();
    }
}

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

bool IsBlankLine(const std::u16string &line)
{
    for (char16_t c : line) {
        if (!IsBlank(c)) {
            return false;
        }
    }
    return true;
}

// "Key: value" with optional blanks around both; the value a decimal
// integer in min..max and nothing after it. The line's terminating zero
// (line[line.size()]) is no blank, key letter, sign or digit: every step
// stops there.
bool ParseKeyInteger(const std::u16string &line, const char *key, int64_t min, int64_t max, int64_t *value)
{
    size_t at = 0;
    while (IsBlank(line[at])) {
        ++at;
    }
    for (const char *k = key; *k != 0; ++k, ++at) {
        if (line[at] != static_cast<char16_t>(*k)) {
            return false;
        }
    }
    while (IsBlank(line[at])) {
        ++at;
    }
    if (line[at] != u':') {
        return false;
    }
    ++at;
    while (IsBlank(line[at])) {
        ++at;
    }
    bool negative = false;
    if (line[at] == u'-' || line[at] == u'+') {
        negative = line[at] == u'-';
        ++at;
    }
    int64_t number = 0;
    size_t digits = 0;
    for (; line[at] >= u'0' && line[at] <= u'9'; ++at, ++digits) {
        number = number * 10 + (line[at] - u'0');
        if (number > (int64_t{1} << 40)) {
            return false;
        }
    }
    while (IsBlank(line[at])) {
        ++at;
    }
    if (digits == 0 || at != line.size()) {
        return false;
    }
    number = negative ? -number : number;
    if (number < min || number > max) {
        return false;
    }
    *value = number;
    return true;
}

std::u16string UnescapeText(const std::u16string &text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && (text[i + 1] == u'n' || text[i + 1] == u'\\')) {
            out.push_back(text[i + 1] == u'n' ? u'\n' : u'\\');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::u16string EscapeText(const std::u16string &text)
{
    std::u16string out;
    for (char16_t c : text) {
        if (c == u'\n') {
            out += u"\\n";
        } else if (c == u'\\') {
            out += u"\\\\";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

namespace {

std::u16string Widen(const std::string &text) { return std::u16string(text.begin(), text.end()); }

class LineCursor {
public:
    explicit LineCursor(const MessageLineSource &next) : next_(next) {}

    // The next line with its end stripped (and a first line's mark).
    bool Next(std::u16string *line)
    {
        if (!next_(line)) {
            return false;
        }
        ++number_;
        if (number_ == 1 && !line->empty() && line->front() == u'\xFEFF') {
            line->erase(0, 1);
        }
        StripLineEnd(line);
        return true;
    }
    // The next line that is not blank.
    bool NextKeyLine(std::u16string *line)
    {
        while (Next(line)) {
            if (!IsBlankLine(*line)) {
                return true;
            }
        }
        return false;
    }
    int Number() const { return number_; }

private:
    const MessageLineSource &next_;
    int number_ = 0;
};

}  // namespace

const MessageEntry *MessageTable::Find(int32_t id) const
{
    for (const MessageEntry &entry : entries) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

const char16_t *MessageTable::Text(int32_t id, size_t index) const
{
    const MessageEntry *entry = Find(id);
    return entry != nullptr && index < entry->texts.size() ? entry->texts[index].c_str() : nullptr;
}

bool ParseMessageTable(const MessageLineSource &next, MessageTable *table, std::string *error)
{
    *table = MessageTable{};
    LineCursor lines(next);
    std::u16string line;
    auto fail = [&](const std::string &why) {
        *table = MessageTable{};
        *error = "line " + std::to_string(lines.Number()) + ": " + why;
        return false;
    };
    int64_t count{};
    if (!lines.NextKeyLine(&line)) {
        return fail("no Count line");
    }
    if (!ParseKeyInteger(line, "Count", 0, kMaxEntries, &count)) {
        return fail("expected \"Count: n\" with n in 0..100000");
    }
    std::set<int32_t> ids;
    for (int64_t e = 0; e < count; ++e) {
        MessageEntry entry;
        int64_t id{};
        int64_t texts{};
        if (!lines.NextKeyLine(&line)) {
            return fail("the file ends before entry " + std::to_string(e + 1) + " of " + std::to_string(count));
        }
        if (!ParseKeyInteger(line, "ID", INT32_MIN, INT32_MAX, &id)) {
            return fail("expected \"ID: k\"");
        }
        if (!ids.insert(static_cast<int32_t>(id)).second) {
            return fail("entry " + std::to_string(id) + " appears twice");
        }
        if (!lines.NextKeyLine(&line)) {
            return fail("the file ends before the Texts line of entry " + std::to_string(id));
        }
        if (!ParseKeyInteger(line, "Texts", 0, kMaxTexts, &texts)) {
            return fail("expected \"Texts: m\" with m in 0..100000");
        }
        entry.id = static_cast<int32_t>(id);
        for (int64_t t = 0; t < texts; ++t) {
            if (!lines.Next(&line)) {
                return fail("the file ends inside entry " + std::to_string(id));
            }
            entry.texts.push_back(UnescapeText(line));
        }
        table->entries.push_back(std::move(entry));
    }
    if (lines.NextKeyLine(&line)) {
        return fail("text after the last entry");
    }
    error->clear();
    return true;
}

std::u16string FormatMessageTable(const MessageTable &table)
{
    std::u16string out = u"Count: " + Widen(std::to_string(table.entries.size())) + u"\r\n";
    for (const MessageEntry &entry : table.entries) {
        out += u"\r\nID: " + Widen(std::to_string(entry.id)) + u"\r\n";
        out += u"Texts: " + Widen(std::to_string(entry.texts.size())) + u"\r\n";
        for (const std::u16string &text : entry.texts) {
            out += EscapeText(text) + u"\r\n";
        }
    }
    return out;
}

const char *MessageLanguageCode(int32_t language)
{
    static const char *const codes[] = {"CHI", "ENG", "FRE", "GER", "ITA", "SPA", "JAP", "SWE",
                                        "NOR", "DAN", "FIN", "POR", "DUT", "KOR", "GRE"};
    return language >= 0 && language < 15 ? codes[language] : nullptr;
}

}  // namespace game
