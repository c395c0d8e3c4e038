// The language's message table (.TCR): UTF-16 keyword text of numbered
// entries, each a list of texts, parsed from a source of lines and checked
// whole (a table with any fault is refused, never half-used). Layout:
//   Count: n
//   then n times:  ID: k   Texts: m   and m text lines
// Blank lines may stand between keyword lines; in a text "\n" is a line
// feed and "\\" a backslash.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace game {

struct MessageEntry {
    std::vector<std::u16string> texts;  // texts 0..n
    int32_t id = 0;
};

struct MessageTable {
    std::vector<MessageEntry> entries;  // in file order, ids unique

    // The entry with that id, or null.
    const MessageEntry *Find(int32_t id) const;
    // Text `index` of entry `id`, or null when either is absent.
    const char16_t *Text(int32_t id, size_t index) const;
};

// Gives the next line (its line end may be kept); false at the end.
using MessageLineSource = std::function<bool(std::u16string *line)>;

// Helpers of the game's UTF-16 keyword lines, shared with other text files:
// "Key: n" (blanks allowed around both; nothing after the number) with n in
// min..max; the "\n" and "\\" escapes of texts.
bool ParseKeyInteger(const std::u16string &line, const char *key, int64_t min, int64_t max, int64_t *value);
std::u16string UnescapeText(const std::u16string &text);
std::u16string EscapeText(const std::u16string &text);
// A line with its line end (line feeds and carriage returns) taken off, and
// whether a line holds only blanks and tabs.
void StripLineEnd(std::u16string *line);
bool IsBlankLine(const std::u16string &line);

// Reads a whole table. False with "line N: reason" in *error; *table is
// then empty.
bool ParseMessageTable(const MessageLineSource &next, MessageTable *table, std::string *error);

// The file's text (UTF-16 code units, without the byte-order mark) for a
// table; what the maker writes (as UTF-16LE with a mark).
std::u16string FormatMessageTable(const MessageTable &table);

// The three-letter code that names a language's text files (0 "CHI", 1 "ENG",
// 2 "FRE" ... 14 "GRE"; unlike the pack folders' codes); null outside 0..14.
const char *MessageLanguageCode(int32_t language);

}  // namespace game
