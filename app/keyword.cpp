// Keyword text: the line routines and the reporting reader (see keyword.h).
#include "app/keyword.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstring>

#include "app/debug.h"
#include "app/path.h"
#include "app/utf8.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

void StripLineEnd(std::string *line)
{
    while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) {
        line->pop_back();
    }
}

// A whole number at `text` (an optional sign, then digits): true with it and
// the end of its digits.
bool ParseInt(const char *text, int32_t *value, const char **end)
{
    const char *p = text;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') {
        ++p;
    }
    if (*p < '0' || *p > '9') {
        return false;
    }
    int64_t v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > int64_t{INT32_MAX} + 1) {
            return false;
        }
    }
    v = negative ? -v : v;
    if (v > INT32_MAX || v < INT32_MIN) {
        return false;
    }
    *value = static_cast<int32_t>(v);
    *end = p;
    return true;
}

// A finite decimal number at `text`: true with it and its end.
bool ParseFloat(const char *text, float *value, const char **end)
{
    const char *p = text;
    if (*p == '+') {
        ++p;
    }
    // Only digits, a point and an exponent: no "inf" or "nan" words, no hexadecimal.
    if (!((*p >= '0' && *p <= '9') || *p == '.' || (*p == '-' && ((p[1] >= '0' && p[1] <= '9') || p[1] == '.')))) {
        return false;
    }
    float v = 0.0f;
    const auto result = std::from_chars(p, p + std::strlen(p), v, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(v)) {
        return false;
    }
    *value = v;
    *end = result.ptr;
    return true;
}

const char *SkipBlanks(const char *p)
{
    while (IsBlank(*p)) {
        ++p;
    }
    return p;
}

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

const char *SkipWhiteSpace(const char *p)
{
    while (IsWhiteSpace(*p)) {
        ++p;
    }
    return p;
}

// kWhole when only white space follows `end`, else kLeading.
NumberForm FormAfter(const char *end)
{
    return *SkipWhiteSpace(end) == '\0' ? NumberForm::kWhole : NumberForm::kLeading;
}

// The text after the first `key` in `line`, or null.
const char *AfterKey(const char *line, char key)
{
    if (line == nullptr || key == '\0') {
        return nullptr;
    }
    const char *at = std::strchr(line, key);
    return at != nullptr ? at + 1 : nullptr;
}

}  // namespace

int32_t LeadingInt(const char *text, NumberForm *form)
{
    NumberForm read = NumberForm::kNone;
    int64_t value = 0;
    const char *p = SkipWhiteSpace(text != nullptr ? text : "");
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') {
        ++p;
    }
    if (*p >= '0' && *p <= '9') {
        bool held = false;
        for (; *p >= '0' && *p <= '9'; ++p) {
            value = value * 10 + (*p - '0');
            if (value > int64_t{INT32_MAX} + 1) {
                value = int64_t{INT32_MAX} + 1;
                held = true;
            }
        }
        if (negative) {
            value = -value;
        } else if (value > INT32_MAX) {
            value = INT32_MAX;
            held = true;
        }
        read = held ? NumberForm::kLeading : FormAfter(p);
    }
    if (form != nullptr) {
        *form = read;
    }
    return static_cast<int32_t>(value);
}

float LeadingFloat(const char *text, NumberForm *form)
{
    const char *p = SkipWhiteSpace(text != nullptr ? text : "");
    float value = 0.0f;
    const char *end = nullptr;
    NumberForm read = NumberForm::kNone;
    if (ParseFloat(p, &value, &end)) {
        read = FormAfter(end);
    } else {
        value = 0.0f;
    }
    if (form != nullptr) {
        *form = read;
    }
    return value;
}

void SplitKeyword(char *word, size_t wordSize, char *line)
{
    if (word == nullptr || wordSize == 0 || line == nullptr) {
        return;
    }
    size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) {
        line[--length] = '\0';
    }
    const char *p = SkipBlanks(line);
    size_t stored = 0;
    for (; *p != '\0' && !IsBlank(*p); ++p) {
        if (stored + 1 < wordSize) {
            word[stored++] = *p;
        }
    }
    word[stored] = '\0';
    p = SkipBlanks(p);
    std::memmove(line, p, std::strlen(p) + 1);
}

bool ReadKeyInt(const char *line, char key, int32_t *out)
{
    const char *value = AfterKey(line, key);
    if (value == nullptr || out == nullptr) {
        return false;
    }
    *out = LeadingInt(value);
    return true;
}

bool ReadKeyFloat(const char *line, char key, float *out)
{
    const char *value = AfterKey(line, key);
    if (value == nullptr || out == nullptr) {
        return false;
    }
    *out = LeadingFloat(value);
    return true;
}

bool KeyValueForm(const char *line, char key, bool integer, NumberForm *form)
{
    const char *value = AfterKey(line, key);
    if (value == nullptr || form == nullptr) {
        return false;
    }
    if (integer) {
        LeadingInt(value, form);
    } else {
        LeadingFloat(value, form);
    }
    return true;
}

bool ReadKeyIntW(const char16_t *line, char16_t key, int32_t *out)
{
    if (line == nullptr || key == u'\0' || out == nullptr) {
        return false;
    }
    const char16_t *at = line;
    while (*at != u'\0' && *at != key) {
        ++at;
    }
    if (*at == u'\0') {
        return false;
    }
    // The units after the key, as far as they are plain characters.
    constexpr int kMaxUnits = 31;
    char narrow[kMaxUnits + 1];
    int n = 0;
    for (const char16_t *p = at + 1; n < kMaxUnits && *p != u'\0' && *p < 0x80; ++p) {
        narrow[n++] = static_cast<char>(*p);
    }
    narrow[n] = '\0';
    *out = LeadingInt(narrow);
    return true;
}

bool CSKeywordFile::Open(const char *path, Encoding encoding, bool required)
{
    Close();
    // Narrow files are text; wide ones are read as bytes and split here.
    const char *mode = encoding == kWide ? "rb" : "r";
    file_ = required ? zufopenRequired(path, mode) : zufopen(path, mode);
    encoding_ = encoding;
    name_ = path != nullptr ? path : "";
    return file_ != nullptr;
}

bool CSKeywordFile::OpenMemory(const char *name, const void *data, size_t size, Encoding encoding)
{
    Close();
    file_ = zufopenMemory(data, size, encoding == kWide ? "rb" : "r");
    encoding_ = encoding;
    name_ = name != nullptr ? name : "";
    return file_ != nullptr;
}

void CSKeywordFile::Close()
{
    zufclose(file_);
    file_ = nullptr;
    line_.clear();
    wideLine_.clear();
    key_.clear();
    restAt_ = 0;
    wideRestAt_ = 0;
    lineNumber_ = 0;
    problems_ = 0;
}

bool CSKeywordFile::ReadRawLine()
{
    line_.clear();
    wideLine_.clear();
    bool any = false;
    bool cut = false;
    if (encoding_ == kWide) {
        // Wide files are read as bytes, so a line ends in "\r\n": one unit
        // beyond the longest line is kept for the '\r', and the line is
        // measured once its end is gone.
        char16_t piece[256];
        while (zufgetws(piece, 256, file_) != nullptr) {
            any = true;
            std::u16string part(piece);
            const bool ended = !part.empty() && part.back() == u'\n';
            const std::u16string content = ended ? part.substr(0, part.size() - 1) : part;
            const size_t room = kMaxLine + 1 - wideLine_.size();
            wideLine_ += content.substr(0, room);
            cut = cut || content.size() > room;
            if (ended) {
                break;
            }
        }
        while (!wideLine_.empty() && (wideLine_.back() == u'\n' || wideLine_.back() == u'\r')) {
            wideLine_.pop_back();
        }
        if (wideLine_.size() > kMaxLine) {
            wideLine_.resize(kMaxLine);
            cut = true;
        }
        line_ = ToUtf8(wideLine_);
    } else {
        char piece[1024];
        while (zufgets(piece, sizeof(piece), file_) != nullptr) {
            any = true;
            const size_t length = std::strlen(piece);
            const bool ended = length > 0 && piece[length - 1] == '\n';
            const size_t content = ended ? length - 1 : length;
            const size_t room = kMaxLine - line_.size();
            line_.append(piece, content < room ? content : room);
            cut = cut || content > room;
            if (ended) {
                break;
            }
        }
        StripLineEnd(&line_);
    }
    if (!any) {
        return false;
    }
    ++lineNumber_;
    SplitCurrentLine();
    if (cut) {
        Report("the line is longer than %zu characters; the rest is ignored", kMaxLine);
    }
    return true;
}

void CSKeywordFile::SplitCurrentLine()
{
    const char *start = SkipBlanks(line_.c_str());
    const char *end = start;
    while (*end != '\0' && !IsBlank(*end)) {
        ++end;
    }
    key_.assign(start, end);
    restAt_ = static_cast<size_t>(SkipBlanks(end) - line_.c_str());
    // The same split on the wide line; blanks are the same units there (and
    // its terminating zero is none).
    size_t w = 0;
    while (wideLine_[w] == u' ' || wideLine_[w] == u'\t') {
        ++w;
    }
    while (w < wideLine_.size() && wideLine_[w] != u' ' && wideLine_[w] != u'\t') {
        ++w;
    }
    while (wideLine_[w] == u' ' || wideLine_[w] == u'\t') {
        ++w;
    }
    wideRestAt_ = w;
}

bool CSKeywordFile::NextLine()
{
    // A file that did not open has no lines.
    while (file_ != nullptr && ReadRawLine()) {
        if (!key_.empty()) {
            return true;
        }
    }
    key_.clear();
    line_.clear();
    wideLine_.clear();
    restAt_ = 0;
    wideRestAt_ = 0;
    return false;
}

bool CSKeywordFile::NextLineIs(const char *key)
{
    if (!NextLine()) {
        Report("expected %s, found the end of the file", key);
        return false;
    }
    if (!KeyIs(key)) {
        Report("expected %s", key);
        return false;
    }
    return true;
}

bool CSKeywordFile::ValuesAt(size_t at, int count, bool integer, double *values, const char *what)
{
    const char *p = line_.c_str() + at;
    for (int i = 0; i < count; ++i) {
        while (IsSeparator(*p)) {
            ++p;
        }
        const char *end = nullptr;
        bool ok{};
        if (integer) {
            int32_t v{};
            ok = ParseInt(p, &v, &end);
            values[i] = v;
        } else {
            float v = 0.0f;
            ok = ParseFloat(p, &v, &end);
            values[i] = v;
        }
        if (ok && *end != '\0' && !IsSeparator(*end)) {
            ok = false;
        }
        if (!ok) {
            const char *tokenEnd = p;
            while (*tokenEnd != '\0' && !IsSeparator(*tokenEnd)) {
                ++tokenEnd;
            }
            if (p == tokenEnd) {
                Report("value %d of %d is missing (%s expected)", i + 1, count, what);
            } else {
                Report("'%.*s' is not %s", static_cast<int>(tokenEnd - p), p, what);
            }
            return false;
        }
        p = end;
    }
    while (IsSeparator(*p)) {
        ++p;
    }
    if (*p != '\0') {
        Report("unexpected '%s' after the value%s", p, count > 1 ? "s" : "");
        return false;
    }
    return true;
}

bool CSKeywordFile::Values(int count, bool integer, double min, double max, double *values)
{
    if (count <= 0 || count > kMaxValues) {
        return false;
    }
    if (!ValuesAt(restAt_, count, integer, values, integer ? "a whole number" : "a number")) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (values[i] < min || values[i] > max) {
            Report("%.10g is outside %.10g..%.10g", values[i], min, max);
            return false;
        }
    }
    return true;
}

bool CSKeywordFile::Int(int32_t *out, int32_t min, int32_t max) { return Ints(out, 1, min, max); }

bool CSKeywordFile::Ints(int32_t *out, int count, int32_t min, int32_t max)
{
    double values[kMaxValues];
    if (out == nullptr || !Values(count, true, min, max, values)) {
        return false;
    }
    std::transform(values, values + count, out, [](double v) { return static_cast<int32_t>(v); });
    return true;
}

bool CSKeywordFile::Float(float *out, float min, float max) { return Floats(out, 1, min, max); }

bool CSKeywordFile::Floats(float *out, int count, float min, float max)
{
    double values[kMaxValues];
    if (out == nullptr || !Values(count, false, min, max, values)) {
        return false;
    }
    std::transform(values, values + count, out, [](double v) { return static_cast<float>(v); });
    return true;
}

void CSKeywordFile::IntAsAtol(int32_t *out)
{
    NumberForm form = NumberForm::kNone;
    *out = LeadingInt(Rest(), &form);
    if (form != NumberForm::kWhole) {
        Report("'%s' is not a whole number; it reads as %d", Rest(), *out);
    }
}

void CSKeywordFile::FloatAsAtof(float *out)
{
    NumberForm form = NumberForm::kNone;
    *out = LeadingFloat(Rest(), &form);
    if (form != NumberForm::kWhole) {
        Report("'%s' is not a number; it reads as %g", Rest(), static_cast<double>(*out));
    }
}

bool CSKeywordFile::Word(char *out, size_t size)
{
    if (out == nullptr || size == 0) {
        return false;
    }
    const char *p = Rest();
    const char *end = p;
    while (*end != '\0' && !IsBlank(*end)) {
        ++end;
    }
    const size_t length = static_cast<size_t>(end - p);
    if (length == 0) {
        Report("a word is missing");
        return false;
    }
    if (length + 1 > size) {
        Report("'%.*s' is longer than %zu characters", static_cast<int>(length), p, size - 1);
        return false;
    }
    std::memcpy(out, p, length);
    out[length] = '\0';
    return true;
}

void CSKeywordFile::Report(const char *format, ...)
{
    ++problems_;
    char message[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    if (key_.empty()) {
        DebugPrint("%s:%d: %s\n", MessagePath(name_).c_str(), lineNumber_, message);
    } else {
        DebugPrint("%s:%d: %s %s\n", MessagePath(name_).c_str(), lineNumber_, key_.c_str(), message);
    }
}
