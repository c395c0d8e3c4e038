// The word table: short interface words read from "WORD.TXT" (UTF-16, in
// the language's PLAYERUI folder). The first line gives the count after
// its colon ("Count: 5"); each following line is one word, cut at its
// first carriage return or line feed. Entries 3 and 4 are the two choices
// of the modal box; entries 0, 1 and 2 are the item popup's prefix, its
// notice and the return-to-title question.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class WordTable {
public:
    // More words than this make an empty table.
    static constexpr int32_t kMaxWords = 1000;
    // Lines are read in pieces of at most this many units.
    static constexpr int kLineUnits = 256;

    // Reads from a source of lines (each as zufgetws gives it: at most
    // kLineUnits - 1 units, its line feed kept); only lines really there
    // become words, and the rest of a line longer than a piece is dropped.
    // False, with an empty table, when there is no first line. A file that
    // gives no word (no first line, no count, a count outside 1..kMaxWords)
    // is said on standard error; a short file or a cut line is a
    // diagnostic line, each naming the file (`name`) and the line.
    using LineSource = std::function<bool(std::u16string *piece)>;
    bool Read(const LineSource &next, const char *name = "WORD.TXT");
    // Data root + "\RESOURCE\UITEXT\PLAYERUI\CHI\WORD.TXT" for language 0,
    // "...\ENG\WORD.TXT" for 1..14; any other language, or a file that
    // cannot be opened, gives false and an empty table.
    bool Load(int32_t language);
    void Clear() { words_.clear(); }

    int32_t Count() const { return static_cast<int32_t>(words_.size()); }
    // Word i; "" for an index the table does not hold.
    const char16_t *Word(int32_t i) const;

    static std::string PathFor(int32_t language);

private:
    std::vector<std::u16string> words_;
};
