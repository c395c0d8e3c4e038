// Small pieces shared by the effect files' readers and writers: the
// keyword text they write (built in memory; the callers save it) and the
// "name, values" fields that several of them hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Text of a keyword file being written.
class FxTextWriter {
public:
    void Line(const char *format, ...) __attribute__((format(printf, 2, 3)));
    const std::string &Text() const { return text_; }

private:
    std::string text_;
};

// Copies the text of `field` up to the first comma (or its end), without
// blanks around it, into `out` (at most size - 1 bytes; longer is cut) and
// returns where the text after the comma starts, or null when there is no
// comma.
const char *TakeNameField(const char *field, char *out, size_t size);

// A whole number with only blanks around it; false (out untouched) else.
bool ParseWholeNumber(const char *text, int32_t *out);

class CSKeywordFile;
// The current line's first word as a plain file name into `out` (size
// bytes; longer is reported); a word that is not a plain file name is
// reported and `out` is left as it was.
void ReadFileNameValue(CSKeywordFile *file, char *out, size_t size);

// True when `name` is a usable file name in the effect files: not empty,
// printable, without path separators or blanks.
bool IsPlainFileName(const char *name);
