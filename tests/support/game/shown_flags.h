// The lines a scenario's trace keeps of what an actor shows of itself: a
// letter for each flag that is set ('-' where it is clear) and a few words
// after them, traced under one tag only on the ticks they change. Which
// flags, which letters and which words are the caller's data.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>

namespace gametest {

// One flag as shown: whether it is set, and its letter.
using ShownFlag = std::pair<bool, char>;

// The flags' letters in order, '-' for each one clear.
std::string ShownLetters(std::span<const ShownFlag> flags);
// Traces "`tag` id letters words...".
void TraceShownLine(const char *tag, int32_t id, const std::string &letters, std::span<const int32_t> words);

// The last line traced for each key (an actor, however the caller tells
// them apart).
template <typename Key>
class ShownLines {
public:
    // Traces "`tag` id letters words..." when the letters or the words
    // differ from the last ones traced for `key`.
    void Note(const char *tag, const Key &key, int32_t id, std::span<const ShownFlag> flags,
              std::span<const int32_t> words)
    {
        const std::string letters = ShownLetters(flags);
        std::string shown = letters;
        for (int32_t word : words) {
            shown += ' ' + std::to_string(word);
        }
        std::string &last = last_[key];
        if (shown != last) {
            last = shown;
            TraceShownLine(tag, id, letters, words);
        }
    }

private:
    std::map<Key, std::string> last_;
};

}  // namespace gametest
