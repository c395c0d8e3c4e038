// Input scripts built in a test (see pad_script.h).
#include "support/game/pad_script.h"

#include <algorithm>
#include <sstream>

namespace gametest {

PadScript &PadScript::Hold(uint32_t from, uint32_t to, const std::string &keys)
{
    for (const char key : keys) {
        lines_.emplace_back(from, std::string("key ") + key + " 1");
        lines_.emplace_back(to, std::string("key ") + key + " 0");
    }
    return *this;
}

PadScript &PadScript::HoldOn(uint32_t from, const std::string &keys)
{
    for (const char key : keys) {
        lines_.emplace_back(from, std::string("key ") + key + " 1");
    }
    return *this;
}

PadScript &PadScript::Tap(uint32_t tick, const std::string &key)
{
    lines_.emplace_back(tick, "key " + key + " 1");
    lines_.emplace_back(tick + 1, "key " + key + " 0");
    return *this;
}

PadScript &PadScript::Fight(uint32_t from, uint32_t to, const std::string &keys, Rhythm rhythm)
{
    const uint32_t every = std::max<uint32_t>(rhythm.blowEveryMs / stepMs_, 1);
    const uint32_t step = std::max<uint32_t>(rhythm.stepMs / stepMs_, 1);
    const uint32_t blows = std::max<uint32_t>(rhythm.blows, 1);
    uint32_t tick = from;
    while (tick + blows * every <= to) {
        for (uint32_t i = 0; i < blows; ++i) {
            Tap(tick + i * every, "Z");
        }
        // The step between the last blow and the next round.
        const uint32_t stepAt = tick + (blows - 1) * every + 2;
        Hold(stepAt, stepAt + step, keys);
        tick += blows * every;
    }
    return *this;
}

PadScript &PadScript::Taps(uint32_t from, uint32_t to, const std::string &key, uint32_t every)
{
    for (uint32_t tick = from; tick < to; tick += every) {
        Tap(tick, key);
    }
    return *this;
}

PadScript &PadScript::Lines(const std::string &text, uint32_t scriptStepMs)
{
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') {
            continue;
        }
        const size_t space = line.find(' ', start);
        const auto tick = static_cast<uint32_t>(std::stoul(line.substr(start, space - start)));
        lines_.emplace_back(tick == 0 ? 0 : (tick - 1) * scriptStepMs / stepMs_ + 1, line.substr(space + 1));
    }
    return *this;
}

std::string PadScript::Text() const
{
    std::vector<std::pair<uint32_t, std::string>> sorted = lines_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    std::string text;
    for (const auto &[tick, line] : sorted) {
        text += std::to_string(tick) + " " + line + "\n";
    }
    return text;
}

}  // namespace gametest
