// Keyword text: the game's data files are read line by line, a keyword
// ending in a colon, then its values; blocks stand between "{" and "}"
// lines. Two levels:
//  - the line routines (SplitKeyword, ReadKeyInt, ReadKeyFloat,
//    ReadKeyIntW) on one line in a buffer;
//  - CSKeywordFile, the reader every loader uses: it walks a file (from the
//    open pack or the disk, 8-bit or UTF-16) and takes values from its
//    lines, reporting every malformed or out-of-range value with the file,
//    line and key ("STAGE00.BSF:12: AINum: 'x' is not a whole number\n")
//    and keeping the caller's default.
#pragma once

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/file.h"

// Strips a trailing line feed and carriage return from `line`, skips
// leading blanks and tabs, copies the first word (up to a blank or tab)
// into `word` (at most wordSize - 1 bytes; a longer word is cut) and leaves
// the rest of the line, leading blanks and tabs skipped, in `line`.
void SplitKeyword(char *word, size_t wordSize, char *line);
template <size_t N>
void SplitKeyword(char (&word)[N], char *line)
{
    SplitKeyword(word, N, line);
}

// The decimal integer after the first `key` in `line` (blanks and tabs
// before it skipped, an optional sign): true with it in *out. False with
// *out untouched when the key is absent, no digits follow or the number
// does not fit 32 bits.
bool ReadKeyInt(const char *line, char key, int32_t *out);
// The same for a decimal number with optional fraction and exponent.
bool ReadKeyFloat(const char *line, char key, float *out);
// ReadKeyInt on a UTF-16 line; at most 31 units after the key are looked at.
bool ReadKeyIntW(const char16_t *line, char16_t key, int32_t *out);

class CSKeywordFile {
public:
    enum Encoding : uint8_t {
        kNarrow,  // 8-bit text
        kWide,    // UTF-16LE, byte-order mark optional
    };

    CSKeywordFile() = default;
    ~CSKeywordFile() { Close(); }
    CSKeywordFile(const CSKeywordFile &) = delete;
    CSKeywordFile &operator=(const CSKeywordFile &) = delete;

    // Opens `path` through zufopen. A file that cannot be opened gives false
    // with zufopen's diagnostic, and with `required` the fatal report too.
    bool Open(const char *path, Encoding encoding = kNarrow, bool required = false);
    // Reads `size` bytes from memory (copied); `name` stands for the file in reports.
    bool OpenMemory(const char *name, const void *data, size_t size, Encoding encoding = kNarrow);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Moves to the next line that is not blank; false at the end of the
    // file. Lines longer than kMaxLine bytes are reported and cut.
    bool NextLine();
    // The same, but a line whose keyword is not `key` is reported ("expected
    // <key>") and gives false; the line stays current.
    bool NextLineIs(const char *key);

    // The current line: its first word (the keyword, colon included, in
    // UTF-8 for wide files), the rest after it (leading blanks skipped) and
    // the whole line, line end stripped.
    const char *Key() const { return key_.c_str(); }
    bool KeyIs(const char *key) const { return key_ == key; }
    const char *Rest() const { return line_.c_str() + restAt_; }
    const char *Line() const { return line_.c_str(); }
    // Wide files: the line as read (line end stripped) and its part after the keyword.
    const char16_t *WideLine() const { return wideLine_.c_str(); }
    const char16_t *WideRest() const { return wideLine_.c_str() + wideRestAt_; }
    bool IsBlockOpen() const { return key_ == "{"; }
    bool IsBlockClose() const { return key_ == "}"; }
    // 1-based number of the current line in the file.
    int LineNumber() const { return lineNumber_; }
    const char *Name() const { return name_.c_str(); }

    // The values after the keyword of the current line, separated by blanks,
    // tabs or commas; nothing else may follow them. Each gives true with the
    // value(s) in *out, or reports and gives false with *out untouched
    // (several values, at most kMaxValues, are taken all or none).
    bool Int(int32_t *out, int32_t min = INT32_MIN, int32_t max = INT32_MAX);
    bool Ints(int32_t *out, int count, int32_t min = INT32_MIN, int32_t max = INT32_MAX);
    bool Float(float *out, float min = -FLT_MAX, float max = FLT_MAX);
    bool Floats(float *out, int count, float min = -FLT_MAX, float max = FLT_MAX);
    // The first word after the keyword (at most size - 1 bytes; longer is reported).
    bool Word(char *out, size_t size);
    // Reports "<name>:<line>: <key>: <message>\n" for the current line.
    void Report(const char *format, ...) __attribute__((format(printf, 2, 3)));
    // Problems reported so far.
    int ProblemCount() const { return problems_; }

    static constexpr size_t kMaxLine = 4096;
    static constexpr int kMaxValues = 64;

private:
    bool ReadRawLine();
    void SplitCurrentLine();
    bool ValuesAt(size_t at, int count, bool integer, double *values, const char *what);
    bool Values(int count, bool integer, double min, double max, double *values);

    zuFile *file_ = nullptr;
    Encoding encoding_ = kNarrow;
    std::string name_;
    std::string line_;
    std::u16string wideLine_;
    std::string key_;
    size_t restAt_ = 0;
    size_t wideRestAt_ = 0;
    int lineNumber_ = 0;
    int problems_ = 0;
};
