// A scripted keyboard for the game's headless runs through the developer
// menu: taps of the default bindings (select Backspace, start Enter,
// circle C, cross X, the arrows), one every other tick so that each is a
// fresh press.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>

namespace devmenutest {

class KeyScript {
public:
    // Select, start and `third` held down from `tick` for two ticks.
    uint32_t Chord(uint32_t tick, const char *third)
    {
        for (const char *key : {"Backspace", "Enter", third}) {
            text_ << tick << " key " << key << " 1\n";
        }
        for (const char *key : {"Backspace", "Enter", third}) {
            text_ << tick + 2 << " key " << key << " 0\n";
        }
        return tick + 4;
    }
    uint32_t Taps(uint32_t tick, const char *key, int count = 1)
    {
        for (int i = 0; i < count; ++i, tick += 2) {
            text_ << tick << " key " << key << " 1\n" << tick << " key " << key << " 0\n";
        }
        return tick;
    }
    std::string Text() const { return text_.str(); }

private:
    std::ostringstream text_;
};

}  // namespace devmenutest
