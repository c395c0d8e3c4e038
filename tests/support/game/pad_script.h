// Input scripts (docs/formats.md, "Input scripts") built in a test for a run
// at a given --fixed-step: keys held over ranges of ticks, taps, and a
// hero's fight as the tests play it. Under the play camera W+D walks along
// +z, W+A along +x, S+A along -z and S+D along -x, about 40 units a second;
// Z is the plain attack (square), C the action command (circle), Enter start.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace gametest {

class PadScript {
public:
    // Ticks of `stepMs` milliseconds (the run's --fixed-step).
    explicit PadScript(uint32_t stepMs = 16) : stepMs_(stepMs) {}

    // Every key of `keys` (one letter each) pressed on `from` and let go on `to`.
    PadScript &Hold(uint32_t from, uint32_t to, const std::string &keys);
    // Pressed on `from` and held to the end of the run.
    PadScript &HoldOn(uint32_t from, const std::string &keys);
    // The key named `key` (a letter, "Enter", "Escape" ...) pressed on
    // `tick`, let go on the next.
    PadScript &Tap(uint32_t tick, const std::string &key);
    // How a fight goes: `blows` blows (Z) `blowEveryMs` apart, then a step
    // of `stepMs` along the fight's keys after the foe, again and again.
    struct Rhythm {
        uint32_t blows = 3;
        uint32_t blowEveryMs = 320;
        uint32_t stepMs = 128;
    };
    // A fight from `from` to before `to` in `rhythm`, stepping along `keys`.
    PadScript &Fight(uint32_t from, uint32_t to, const std::string &keys, Rhythm rhythm);
    PadScript &Fight(uint32_t from, uint32_t to, const std::string &keys) { return Fight(from, to, keys, Rhythm{}); }
    // A tap of `key` every `every` ticks from `from` to before `to`.
    PadScript &Taps(uint32_t from, uint32_t to, const std::string &key, uint32_t every);
    // The lines of a script written for ticks of `scriptStepMs` (comments
    // and blank lines left out), each at the tick of this script that
    // starts at the same game time.
    PadScript &Lines(const std::string &text, uint32_t scriptStepMs = 16);
    // The script, its lines in tick order (lines of one tick in the order given).
    std::string Text() const;

private:
    uint32_t stepMs_;
    std::vector<std::pair<uint32_t, std::string>> lines_;
};

}  // namespace gametest
