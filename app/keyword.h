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

// Numbers in text as the C library's atol and atof read them, which is how
// the game's files were always read: leading white space skipped, an
// optional sign, then as much of a number as follows (digits; for a real
// also a point and an exponent); 0 when no number follows. A whole number
// beyond 32 bits is held to the nearer end; a real that is no finite float
// (too large, or "inf" and "nan", which are no numbers here) reads as 0.
// `form`, when given, says how the text read.
enum class NumberForm : uint8_t {
    kNone,     // no number at all: read as 0
    kLeading,  // a number with other text after it, or one held to 32 bits
    kWhole,    // a number, and nothing but white space after it
};
int32_t LeadingInt(const char *text, NumberForm *form = nullptr);
float LeadingFloat(const char *text, NumberForm *form = nullptr);

// The number after the first `key` in `line`, read as atol reads it: true
// with it in *out once the key is present (0 when no number follows it);
// false with *out untouched when the key is absent. Callers that need a
// number there ask KeyValueForm.
bool ReadKeyInt(const char *line, char key, int32_t *out);
// The same read as atof reads it.
bool ReadKeyFloat(const char *line, char key, float *out);
// ReadKeyInt on a UTF-16 line; at most 31 units after the key are converted.
bool ReadKeyIntW(const char16_t *line, char16_t key, int32_t *out);
// How the text after the first `key` in `line` reads as a whole number
// (`integer`) or a real; false when the key is absent.
bool KeyValueForm(const char *line, char key, bool integer, NumberForm *form);

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
    // The value after the keyword read as atol (LeadingInt) or atof reads
    // it: always stored in *out (0 for a word that is no number); anything
    // but a plain number is reported with what it reads as.
    void IntAsAtol(int32_t *out);
    void FloatAsAtof(float *out);
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
