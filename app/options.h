// The game's command-line options: the video mode (until the start-up
// dialog asks for it), and the controls that let tests drive a run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace game {

struct Screenshot {
    uint32_t tick;     // written after this tick (1-based)
    std::string path;  // BMP file
};

// A test's change of the running game: at `tick` the first hero's life
// becomes `life` (a defeat, say).
struct HeroLifeSetting {
    uint32_t tick;
    int32_t life;
};

// A test's reward pieces: at `tick` pieces worth `amount` in all spring
// out beside the first hero.
struct RewardSetting {
    uint32_t tick;
    int32_t amount;
};

struct Options {
    int mode = 0;               // 1-4; 0 when not given
    uint32_t frames = 0;        // stop after this many ticks; 0 runs until the window closes
    bool headless = false;      // no real window, sound or display
    uint32_t fixedStepMs = 0;   // every tick advances the clock by this much; 0 uses the real clock
    std::vector<Screenshot> screenshots;
    int language = 1;           // 0 Chinese, 1 English (default), 2..14 the others
    uint32_t displayInfo = 0;   // statistics overlay at start: 0 none, 1 fps, 2 also memory, 3 all
    int stage = 0;              // --stage: a stage number 1..42 started at once; 0 none
    int screen = 0;             // --screen: a screen 7..10 started at, after the start-up loads; 0 none
    int slot = 0;               // --slot: with --stage, the game of save slot 1..20 carried in; 0 a new game
    int players = 1;            // --players: with --stage, 2 adds the second player's hero on pad 1
    std::string inputScript;    // --input: an input script in place of every device
    std::string inputLog;       // --input-log: where each tick's changes of the input go
    bool help = false;          // --help: list the options and stop
    std::string movie;          // a movie played at start-up (start on pad 0 stops it)
    std::string tracePath;      // --trace FILE: the run's trace lines (app/trace.h)
    bool tracePoses = false;    // --trace-poses: also each actor's pose checksum every tick
    uint32_t traceFrames = 0;   // --trace-frames EVERY: also a checksum of the frames shown every EVERY-th tick
    bool debug = false;         // --debug: the diagnostic lines to standard error
    bool drawHidden = false;    // --draw-hidden: the stage drawn under a screen or fade that hides it
    std::vector<HeroLifeSetting> heroLife;  // --hero-life TICK:LIFE (repeatable)
    std::vector<uint32_t> bossGaugeTicks;   // --boss-gauge TICK (repeatable)
    std::vector<uint32_t> stageEnds;        // --stage-end TICK: the running stage finished (repeatable)
    std::vector<RewardSetting> rewards;     // --reward TICK:AMOUNT (repeatable)
    // --loading-shot TICK:PATH: the loading screen's first drawing within that
    // tick (a stage load's), written as a BMP (repeatable).
    std::vector<Screenshot> loadingShots;
};

// Size and kind of a video mode choice: 1 window 640x480, 2 window 800x600,
// 3 full screen 640x480, 4 full screen 800x600.
struct ModeChoice {
    uint32_t width;
    uint32_t height;
    bool fullScreen;
};
bool ModeChoiceOf(int mode, ModeChoice *choice);

// One line per option with its value and what it does.
std::string OptionsHelp();

// False with a message in *error for anything not understood.
bool ParseOptions(int argc, const char *const *argv, Options *options, std::string *error);

}  // namespace game
