// The words of a line of an event data file: runs of characters up to a
// blank or a tab, leading blanks and tabs skipped and the line end
// stripped. The line is cut in place.
#pragma once

class EventLineWords {
public:
    explicit EventLineWords(char *line)
    {
        char *p = line;
        while (count_ < kMaxWords) {
            while (*p == ' ' || *p == '\t') {
                ++p;
            }
            if (*p == '\0' || *p == '\n' || *p == '\r') {
                break;
            }
            words_[count_++] = p;
            while (*p != '\0' && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r') {
                ++p;
            }
            if (*p == '\0') {
                break;
            }
            *p++ = '\0';
        }
    }
    // Word `index` (0-based), "" past the last.
    const char *operator[](int index) const { return index < count_ ? words_[index] : ""; }
    int Count() const { return count_; }

private:
    static constexpr int kMaxWords = 256;
    char *words_[kMaxWords] = {};
    int count_ = 0;
};

