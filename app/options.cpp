// Command-line parsing of the game's options.
#include "app/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace game {

namespace {

bool ParseNumber(const char *text, uint32_t *value)
{
    if (text == nullptr || *text == '\0' || *text == '-') {
        return false;
    }
    errno = 0;
    char *end = nullptr;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed > 0xFFFFFFFFull) {
        return false;
    }
    *value = static_cast<uint32_t>(parsed);
    return true;
}

bool ParseScreenshot(const char *text, Screenshot *shot)
{
    const char *colon = std::strchr(text, ':');
    if (colon == nullptr || colon[1] == '\0') {
        return false;
    }
    const std::string tick(text, colon);
    return ParseNumber(tick.c_str(), &shot->tick) && shot->tick > 0 && (shot->path = colon + 1, true);
}

}  // namespace

bool ModeChoiceOf(int mode, ModeChoice *choice)
{
    switch (mode) {
    case 1: *choice = {640, 480, false}; return true;
    case 2: *choice = {800, 600, false}; return true;
    case 3: *choice = {640, 480, true}; return true;
    case 4: *choice = {800, 600, true}; return true;
    default: return false;
    }
}

bool ParseOptions(int argc, const char *const *argv, Options *options, std::string *error)
{
    *options = Options{};
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        uint32_t number = 0;
        if (name == "--headless") {
            options->headless = true;
            continue;
        }
        if (value == nullptr) {
            *error = "option " + name + " needs a value";
            return false;
        }
        ++i;
        if (name == "--mode") {
            ModeChoice choice{};
            if (!ParseNumber(value, &number) || !ModeChoiceOf(static_cast<int>(number), &choice)) {
                *error = "--mode takes 1 to 4";
                return false;
            }
            options->mode = static_cast<int>(number);
        } else if (name == "--frames") {
            if (!ParseNumber(value, &options->frames)) {
                *error = "--frames takes a count";
                return false;
            }
        } else if (name == "--fixed-step") {
            if (!ParseNumber(value, &options->fixedStepMs) || options->fixedStepMs == 0) {
                *error = "--fixed-step takes milliseconds above 0";
                return false;
            }
        } else if (name == "--screenshot") {
            Screenshot shot;
            if (!ParseScreenshot(value, &shot)) {
                *error = "--screenshot takes TICK:PATH";
                return false;
            }
            options->screenshots.push_back(shot);
        } else {
            *error = "unknown option " + name;
            return false;
        }
    }
    return true;
}

}  // namespace game
