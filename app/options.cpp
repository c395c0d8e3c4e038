// Command-line parsing of the game's options: one table row per option.
#include "app/options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

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

bool TakeMode(const char *value, Options *options)
{
    uint32_t number{};
    ModeChoice choice{};
    if (!ParseNumber(value, &number) || !ModeChoiceOf(static_cast<int>(number), &choice)) {
        return false;
    }
    options->mode = static_cast<int>(number);
    return true;
}

bool TakeFrames(const char *value, Options *options) { return ParseNumber(value, &options->frames); }

bool TakeFixedStep(const char *value, Options *options)
{
    return ParseNumber(value, &options->fixedStepMs) && options->fixedStepMs != 0;
}

bool TakeScreenshot(const char *value, Options *options)
{
    Screenshot shot;
    if (!ParseScreenshot(value, &shot)) {
        return false;
    }
    options->screenshots.push_back(shot);
    return true;
}

bool TakeLoadingShot(const char *value, Options *options)
{
    Screenshot shot;
    if (!ParseScreenshot(value, &shot)) {
        return false;
    }
    options->loadingShots.push_back(shot);
    return true;
}

bool TakeLanguage(const char *value, Options *options)
{
    uint32_t number{};
    if (!ParseNumber(value, &number) || number > 14) {
        return false;
    }
    options->language = static_cast<int>(number);
    return true;
}

bool TakeDisplayInfo(const char *value, Options *options)
{
    return ParseNumber(value, &options->displayInfo) && options->displayInfo <= 3;
}

bool TakeTrace(const char *value, Options *options)
{
    options->tracePath = value;
    return !options->tracePath.empty();
}

bool TakeTracePoses(const char *, Options *options)
{
    options->tracePoses = true;
    return true;
}

bool TakeTraceFrames(const char *value, Options *options)
{
    return ParseNumber(value, &options->traceFrames) && options->traceFrames != 0;
}

bool TakeDrawHidden(const char *, Options *options)
{
    options->drawHidden = true;
    return true;
}

bool TakeHeadless(const char *, Options *options)
{
    options->headless = true;
    return true;
}

bool TakeInputScript(const char *value, Options *options)
{
    options->inputScript = value;
    return !options->inputScript.empty();
}

bool TakeInputLog(const char *value, Options *options)
{
    options->inputLog = value;
    return !options->inputLog.empty();
}

bool TakeDebug(const char *, Options *options)
{
    options->debug = true;
    return true;
}

bool TakeHelp(const char *, Options *options)
{
    options->help = true;
    return true;
}

bool TakeMovie(const char *value, Options *options)
{
    options->movie = value;
    return !options->movie.empty();
}

// A stage number 1..42; its stage starts at once as a new game.
bool TakeStage(const char *value, Options *options)
{
    uint32_t number{};
    if (!ParseNumber(value, &number) || number < 1 || number > 42) {
        return false;
    }
    options->stage = static_cast<int>(number);
    return true;
}

// A screen 7..10 switched to at start, after the start-up loads of the
// screens before it.
bool TakeScreen(const char *value, Options *options)
{
    uint32_t number{};
    if (!ParseNumber(value, &number) || number < 7 || number > 10) {
        return false;
    }
    options->screen = static_cast<int>(number);
    return true;
}

// A save slot 1..20 whose game --stage carries into the stage.
bool TakeSlot(const char *value, Options *options)
{
    uint32_t number{};
    if (!ParseNumber(value, &number) || number < 1 || number > 20) {
        return false;
    }
    options->slot = static_cast<int>(number);
    return true;
}

// How many heroes --stage starts with: 1, or 2 for a second player.
bool TakePlayers(const char *value, Options *options)
{
    uint32_t number{};
    if (!ParseNumber(value, &number) || number < 1 || number > 2) {
        return false;
    }
    options->players = static_cast<int>(number);
    return true;
}

// A tick above 0.
bool ParseTick(const char *value, uint32_t *tick) { return ParseNumber(value, tick) && *tick != 0; }

// "TICK:VALUE": a tick above 0 and a value up to 2^31 - 1.
bool ParseTickValue(const char *value, uint32_t *tick, int32_t *number)
{
    const char *colon = std::strchr(value, ':');
    uint32_t parsed{};
    if (colon == nullptr || !ParseTick(std::string(value, colon).c_str(), tick) || !ParseNumber(colon + 1, &parsed) ||
        parsed > 0x7FFFFFFFu) {
        return false;
    }
    *number = static_cast<int32_t>(parsed);
    return true;
}

// "TICK:LIFE", a tick above 0 and a life of 0 or more.
bool TakeHeroLife(const char *value, Options *options)
{
    HeroLifeSetting setting{};
    if (!ParseTickValue(value, &setting.tick, &setting.life)) {
        return false;
    }
    options->heroLife.push_back(setting);
    return true;
}

// A tick above 0, added to a repeatable option's ticks.
bool TakeTickInto(const char *value, std::vector<uint32_t> *ticks)
{
    uint32_t tick{};
    if (!ParseTick(value, &tick)) {
        return false;
    }
    ticks->push_back(tick);
    return true;
}

bool TakeBossGauge(const char *value, Options *options) { return TakeTickInto(value, &options->bossGaugeTicks); }

bool TakeStageEnd(const char *value, Options *options) { return TakeTickInto(value, &options->stageEnds); }

// "TICK:AMOUNT", a tick above 0 and an amount of 1 or more.
bool TakeReward(const char *value, Options *options)
{
    RewardSetting setting{};
    if (!ParseTickValue(value, &setting.tick, &setting.amount) || setting.amount == 0) {
        return false;
    }
    options->rewards.push_back(setting);
    return true;
}

struct OptionRow {
    const char *name;
    const char *value;  // what the value is, for messages; null for a switch
    bool (*take)(const char *value, Options *options);
    const char *help;   // what the option does, for --help
};

constexpr OptionRow kOptions[] = {
    {"--mode", "1 to 4", TakeMode, "video mode: 1/2 a 640x480/800x600 window, 3/4 full screen (else asked)"},
    {"--frames", "a count", TakeFrames, "stop after this many ticks"},
    {"--headless", nullptr, TakeHeadless, "no real window, sound, display or input devices"},
    {"--fixed-step", "milliseconds above 0", TakeFixedStep, "the game clock moves this much per tick"},
    {"--screenshot", "TICK:PATH", TakeScreenshot, "write the frame after that tick as a BMP (repeatable)"},
    {"--language", "0 to 14", TakeLanguage, "language index (default 1, English)"},
    {"--display-info", "0 to 3", TakeDisplayInfo, "statistics overlay at start"},
    {"--stage", "1 to 42", TakeStage, "start that stage at once as a new game with hero 0 on pad 0"},
    {"--slot", "1 to 20", TakeSlot, "with --stage: that save slot's hero, items and equipment in place of a new game"},
    {"--players", "1 or 2", TakePlayers,
     "with --stage: 2 adds the other hero for a second player on pad 1 at the stage's second start (a test)"},
    {"--screen", "7 to 10", TakeScreen, "start at that screen (7 title, 8 selection, 9 load, 10 options)"},
    {"--input", "a script file", TakeInputScript, "play an input script in place of every device"},
    {"--input-log", "a file to write", TakeInputLog, "write each tick's changes of pads, mouse and keys"},
    {"--movie", "a movie file", TakeMovie, "play this movie at start-up (start on pad 0 stops it)"},
    {"--trace", "FILE", TakeTrace, "write the run's trace lines (tick, kind, fields) to FILE"},
    {"--trace-poses", nullptr, TakeTracePoses, "with --trace: also a pose line (a checksum of the model's pose) per actor each tick"},
    {"--trace-frames", "EVERY above 0", TakeTraceFrames,
     "with --trace: also a frame line (a checksum of every pixel shown) for the frames of every EVERY-th tick"},
    {"--draw-hidden", nullptr, TakeDrawHidden,
     "draw the stage under a screen or a fade that hides it whole (the pause menu, the game over; a test)"},
    {"--debug", nullptr, TakeDebug, "write the game's diagnostic lines to standard error"},
    {"--hero-life", "TICK:LIFE", TakeHeroLife, "set the first hero's life before that tick (repeatable; a test)"},
    {"--boss-gauge", "TICK", TakeBossGauge,
     "ask the overlay's boss gauge for the stage's boss before that tick, as a boss scene does (repeatable; a test)"},
    {"--stage-end", "TICK", TakeStageEnd, "finish the running stage before that tick, as its exit would (a test)"},
    {"--reward", "TICK:AMOUNT", TakeReward, "reward pieces worth AMOUNT beside the first hero before that tick (a test)"},
    {"--loading-shot", "TICK:PATH", TakeLoadingShot,
     "write the loading screen's first drawing within that tick as a BMP (repeatable; a test)"},
    {"--help", nullptr, TakeHelp, "list the options"},
};

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

std::string OptionsHelp()
{
    std::string text = "usage: game [options]\n";
    for (const OptionRow &row : kOptions) {
        std::string left = std::string("  ") + row.name;
        if (row.value != nullptr) {
            left += std::string(" <") + row.value + ">";
        }
        left.resize(std::max<size_t>(left.size() + 2, 40), ' ');
        text += left + row.help + "\n";
    }
    return text;
}

bool ParseOptions(int argc, const char *const *argv, Options *options, std::string *error)
{
    *options = Options{};
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        const OptionRow *row = nullptr;
        for (const OptionRow &candidate : kOptions) {
            if (name == candidate.name) {
                row = &candidate;
            }
        }
        if (row == nullptr) {
            *error = "unknown option " + name;
            return false;
        }
        const char *value = nullptr;
        if (row->value != nullptr) {
            if (i + 1 >= argc) {
                *error = "option " + name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (!row->take(value, options)) {
            *error = name + " takes " + row->value;
            return false;
        }
    }
    return true;
}

}  // namespace game
