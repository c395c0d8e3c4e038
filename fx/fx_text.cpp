// Shared pieces of the effect files (see fx_text.h).
#include "fx/fx_text.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/keyword.h"

void FxTextWriter::Line(const char *format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n > 0 && static_cast<size_t>(n) < sizeof buffer) {
        text_.append(buffer, static_cast<size_t>(n));
    } else if (n > 0) {
        // A long line (a group naming many kinds) is written whole.
        std::string line(static_cast<size_t>(n) + 1, '\0');
        std::vsnprintf(line.data(), line.size(), format, again);
        text_.append(line.data(), static_cast<size_t>(n));
    }
    va_end(again);
    text_ += '\n';
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

const char *TakeNameField(const char *field, char *out, size_t size)
{
    if (size == 0) {
        return nullptr;
    }
    while (IsBlank(*field)) {
        ++field;
    }
    const char *comma = std::strchr(field, ',');
    size_t length = comma != nullptr ? static_cast<size_t>(comma - field) : std::strlen(field);
    if (length >= size) {
        length = size - 1;
    }
    // Blanks after the name go, also where the cut left some last: a name
    // that ended in one would lose it at the end of a written line.
    while (length > 0 && IsBlank(field[length - 1])) {
        --length;
    }
    std::memcpy(out, field, length);
    out[length] = '\0';
    return comma != nullptr ? comma + 1 : nullptr;
}

bool IsPlainFileName(const char *name)
{
    if (name == nullptr || *name == '\0') {
        return false;
    }
    for (const char *p = name; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c <= ' ' || c >= 0x7F || c == '\\' || c == '/' || c == ':') {
            return false;
        }
    }
    return true;
}

bool ParseWholeNumber(const char *text, int32_t *out)
{
    while (*text == ' ' || *text == '\t') {
        ++text;
    }
    char *end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (end == text || errno != 0 || v < INT32_MIN || v > INT32_MAX) {
        return false;
    }
    while (*end == ' ' || *end == '\t') {
        ++end;
    }
    if (*end != '\0') {
        return false;
    }
    *out = static_cast<int32_t>(v);
    return true;
}

void ReadFileNameValue(CSKeywordFile *file, char *out, size_t size)
{
    char name[256];
    if (size <= sizeof name && file->Word(name, size)) {
        if (IsPlainFileName(name)) {
            std::memcpy(out, name, size);
        } else {
            file->Report("'%s' is not a file name", name);
        }
    }
}
