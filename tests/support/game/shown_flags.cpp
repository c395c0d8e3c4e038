// What an actor shows of itself, as trace lines (see shown_flags.h).
#include "support/game/shown_flags.h"

#include "app/trace.h"

namespace gametest {

std::string ShownLetters(std::span<const ShownFlag> flags)
{
    std::string letters;
    for (const auto &[set, letter] : flags) {
        letters += set ? letter : '-';
    }
    return letters;
}

void TraceShownLine(const char *tag, int32_t id, const std::string &letters, std::span<const int32_t> words)
{
    game::TraceLine line(tag);
    line.Int(id).Word(letters.c_str());
    for (int32_t word : words) {
        line.Int(word);
    }
}

}  // namespace gametest
