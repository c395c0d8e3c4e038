// The game played as a player plays it, frame by frame: the game program's own options
// (an input script with --input, --stage or --screen to start from, --frames, ...) run
// headless in this process on a window that keeps every frame, so that every frame is
// drawn as a window on a display draws it. Each tick (update and render) is timed, and
// the ticks are grouped by what the player sees: the screen, the stage and, in a stage,
// the pause menu and its page (a tick that switches the screen or the stage, which
// loads what comes next, is a group of its own, named by the view it leaves with
// "switching": it shows no frame of that view); each group reports its ticks, the
// median and the 99th percentile of the wall time and of the processor time (every
// thread of the process) a tick took.
//
//   bench_stage_play [--data DIR] [--threads N] [--monsters N] [--skip N] [--label TEXT]
//                    [--ticks FILE] GAME OPTIONS...
//
// --data: the data tree (default: the sample data of this build); --threads: the
// rasteriser's threads (default: every core; pin the process with taskset to measure
// one core); --monsters: acting monsters added around the hero once a stage is in play,
// of the stage's own placed types (the arena of stage 2 with 50: --stage 2
// --monsters 50 --hero-life 1:100000000); --skip: the first N ticks are not counted;
// --ticks: every tick's view, wall and processor milliseconds written to FILE, a line
// a tick, to find what makes a group's slowest ticks (scripts/compare_ticks.py pairs
// two builds' tick files, each switch with the same switch).
// The game options are the game's (--mode 2 gives 800x600); --headless is implied,
// and --fixed-step 16 unless another step is given. The load average is printed
// before and after: figures of a loaded machine compare only within one run.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "actor/actor_placement.h"
#include "app/application.h"
#include "app/clock.h"
#include "app/game_system.h"
#include "app/language.h"
#include "app/main_loop.h"
#include "app/options.h"
#include "platform/d3d8/swr/swr_draw.h"
#include "stage/ai_placement.h"
#include "stage/stage_manager.h"
#include "stage/stage_start.h"
#include "ui/game_play_screen.h"
#include "ui/loading_screen.h"
#include "ui/pause_menu.h"
#include "ui/save_slots.h"
#include "ui/ui_manager.h"
#include "win/window.h"

#ifndef RW_BENCH_BINARY_DIR
#define RW_BENCH_BINARY_DIR "."
#endif

namespace {

double WallMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::string LoadAverage()
{
    double load[3] = {};
    if (getloadavg(load, 3) != 3) {
        return "?";
    }
    char text[64];
    std::snprintf(text, sizeof(text), "%.2f %.2f %.2f", load[0], load[1], load[2]);
    return text;
}

// What the player sees during a tick.
struct View {
    uint32_t screen = 0;
    int32_t stage = 0;
    int32_t page = -1;  // the pause menu: -1 closed, 0 its list, else the page shown + 1
    bool loading = false;
    bool switching = false;  // the tick switched to another screen or stage
    bool operator<(const View &o) const
    {
        return std::tie(screen, stage, page, loading, switching) <
               std::tie(o.screen, o.stage, o.page, o.loading, o.switching);
    }
};

std::string Describe(const View &v)
{
    std::string text = "screen " + std::to_string(v.screen);
    if (v.stage != 0) {
        text += " stage " + std::to_string(v.stage);
    }
    if (v.page == 0) {
        text += " pause menu";
    } else if (v.page > 0) {
        text += " pause page " + std::to_string(v.page - 1);
    }
    if (v.loading) {
        text += " loading";
    }
    if (v.switching) {
        text += " switching";
    }
    return text;
}

View Seen()
{
    View v;
    if (g_pUIManager != nullptr) {
        v.screen = g_pUIManager->CurrentScreen();
        if (const CSGamePlay *play = g_pUIManager->GamePlay(); play != nullptr && play->IsPauseMenuOpen()) {
            const CSPauseMenu *menu = play->PauseMenu();
            v.page = menu != nullptr && menu->PageOpen() ? menu->ShownPage() + 1 : 0;
        }
    }
    if (g_pGameSystem != nullptr && g_pGameSystem->stageManager != nullptr) {
        v.stage = g_pGameSystem->stageManager->stageId;
    }
    v.loading = g_pLoading != nullptr && g_pLoading->IsActive() != 0;
    return v;
}

struct Times {
    std::vector<double> wall, cpu;
};

double Percentile(std::vector<double> values, double p)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t at = static_cast<size_t>(std::ceil(p * static_cast<double>(values.size()))) - 1;
    return values[std::min(at, values.size() - 1)];
}

// Acting monsters of the stage's placed types on a grid around the hero's start.
void AddMonsters(CSStageManager *stage, int count)
{
    std::vector<AiPlacement> kinds;
    for (const AiPlacement &p : stage->placements) {
        if (p.aiType >= 1000 && p.aiType < 1100 && p.eventId == 0) {
            kinds.push_back(p);
        }
    }
    if (kinds.empty()) {
        std::fprintf(stderr, "bench_stage_play: the stage places no monster to copy\n");
        return;
    }
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    for (int i = 0; i < count; ++i) {
        AiPlacement p = kinds[static_cast<size_t>(i) % kinds.size()];
        p.aiId = 5000 + i;
        p.territory = 0;
        p.position = {-120.0f + 240.0f * (static_cast<float>(i % side) + 0.5f) / static_cast<float>(side), 0.0f,
                      -120.0f + 240.0f * (static_cast<float>(i / side) + 0.5f) / static_cast<float>(side)};
        if (AiObject *actor = CreateActor(p.aiType, p.aiId)) {
            ApplyPlacement(stage, actor, p);
            LinkActor(stage, actor);
        }
    }
}

// The application under the main loop, timed tick by tick.
class TimedGame {
public:
    TimedGame(CSApplication *app, int monsters, uint32_t skip, FILE *ticks)
        : app_(app), monsters_(monsters), skip_(skip), ticks_(ticks)
    {
    }

    bool IsQuitting() const { return app_->IsQuitting(); }
    bool IsActive() const { return app_->IsActive(); }
    void SetActive(bool active) { app_->SetActive(active); }
    void Tick(uint32_t tick)
    {
        view_ = Seen();
        wall_ = WallMs();
        cpu_ = ProcessCpuMs();
        app_->Tick(tick);
    }
    bool Render(uint32_t tick)
    {
        const bool ok = app_->Render(tick);
        const double wall = WallMs() - wall_, cpu = ProcessCpuMs() - cpu_;
        const View after = Seen();
        view_.switching = after.screen != view_.screen || after.stage != view_.stage;
        if (tick > skip_) {
            if (times_.find(view_) == times_.end()) {
                order_.push_back(view_);
            }
            times_[view_].wall.push_back(wall);
            times_[view_].cpu.push_back(cpu);
        }
        if (ticks_ != nullptr) {
            std::fprintf(ticks_, "%u %s: %.2f %.2f\n", tick, Describe(view_).c_str(), wall, cpu);
        }
        // The monsters join once the stage is in play (after its loading).
        CSStageManager *stage = g_pGameSystem != nullptr ? g_pGameSystem->stageManager : nullptr;
        if (monsters_ > 0 && stage != nullptr && stage->stageId != 0 && !view_.loading && view_.screen == 13) {
            AddMonsters(stage, monsters_);
            monsters_ = 0;
        }
        return ok;
    }

    void Report() const
    {
        std::printf("%-44s %6s %9s %9s %9s %9s\n", "what is shown", "ticks", "wall p50", "wall p99", "cpu p50",
                    "cpu p99");
        for (const View &v : order_) {
            const Times &t = times_.at(v);
            std::printf("%-44s %6zu %9.2f %9.2f %9.2f %9.2f\n", Describe(v).c_str(), t.wall.size(),
                        Percentile(t.wall, 0.5), Percentile(t.wall, 0.99), Percentile(t.cpu, 0.5),
                        Percentile(t.cpu, 0.99));
        }
    }

private:
    CSApplication *app_;
    int monsters_;
    uint32_t skip_;
    FILE *ticks_;
    View view_;
    double wall_ = 0, cpu_ = 0;
    std::map<View, Times> times_;
    std::vector<View> order_;
};

}  // namespace

int main(int argc, char **argv)
{
    std::string data = std::string(RW_BENCH_BINARY_DIR) + "/data", label, ticksPath;
    int threads = 0, monsters = 0;
    uint32_t skip = 0;
    std::vector<std::string> gameArgs = {"game", "--headless"};
    bool step = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--data" && more) {
            data = argv[++i];
        } else if (a == "--threads" && more) {
            threads = std::atoi(argv[++i]);
        } else if (a == "--monsters" && more) {
            monsters = std::atoi(argv[++i]);
        } else if (a == "--skip" && more) {
            skip = static_cast<uint32_t>(std::atoi(argv[++i]));
        } else if (a == "--ticks" && more) {
            ticksPath = std::filesystem::absolute(argv[++i]).string();
        } else if (a == "--label" && more) {
            label = argv[++i];
        } else if (a == "--input" && more) {
            // Read after the move into the data tree: named from here.
            gameArgs.push_back(a);
            gameArgs.push_back(std::filesystem::absolute(argv[++i]).string());
        } else {
            step = step || a == "--fixed-step";
            gameArgs.push_back(a);
        }
    }
    if (!step) {
        gameArgs.insert(gameArgs.end(), {"--fixed-step", "16"});
    }
    std::vector<const char *> gameArgv;
    for (const std::string &a : gameArgs) {
        gameArgv.push_back(a.c_str());
    }
    game::Options options;
    std::string error;
    if (!game::ParseOptions(static_cast<int>(gameArgv.size()), gameArgv.data(), &options, &error)) {
        std::fprintf(stderr, "bench_stage_play: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        // Asked for the options: say them, and play nothing (a game started here would
        // run headless until its --frames, on every core).
        std::printf("bench_stage_play [--data DIR] [--threads N] [--monsters N] [--skip N] [--label TEXT]\n"
                    "                 [--ticks FILE] GAME OPTIONS...\nThe game's options:\n%s",
                    game::OptionsHelp().c_str());
        return 0;
    }
    options.mode = options.mode != 0 ? options.mode : 2;
    std::error_code ec;
    std::filesystem::current_path(data, ec);
    if (ec) {
        std::fprintf(stderr, "bench_stage_play: no data tree at %s\n", data.c_str());
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    swr::SetThreadCount(static_cast<uint32_t>(threads));
    SetLanguageIndex(options.language);
    UseFixedStepClock(options.fixedStepMs);
    game::ModeChoice choice{};
    game::ModeChoiceOf(options.mode, &choice);
    win::WindowDesc desc;
    desc.title = "bench";
    desc.clientWidth = choice.width;
    desc.clientHeight = choice.height;
    desc.backend = win::Backend::Headless;
    HWND window = win::CreatePlatformWindow(desc);
    std::printf("%s%s%ux%u, %u rasteriser threads, load average %s\n", label.c_str(), label.empty() ? "" : ": ",
                choice.width, choice.height, swr::ThreadCount(), LoadAverage().c_str());
    CSApplication application;
    g_pApplication = &application;
    if (window == nullptr || !application.Create(window, options)) {
        std::fprintf(stderr, "bench_stage_play: the game could not start\n");
        return 1;
    }
    application.gameSystem->LoadFont();
    CSUIManager *screens = application.gameSystem->uiManager;
    screens->LoadCommonTextures();
    if (options.stage != 0) {
        screens->LoadUISounds();
        screens->SetUIPad(0);
        if (options.slot != 0 && !LoadSaveSlot(options.slot - 1)) {
            std::fprintf(stderr, "bench_stage_play: save slot %d holds no game\n", options.slot);
        }
        StartStageNewGame(application.gameSystem->stageManager, options.stage);
    } else if (options.screen != 0) {
        screens->StartAtScreen(static_cast<uint32_t>(options.screen));
    }
    FILE *ticks = nullptr;
    if (!ticksPath.empty() && (ticks = std::fopen(ticksPath.c_str(), "w")) == nullptr) {
        std::fprintf(stderr, "bench_stage_play: %s cannot be written\n", ticksPath.c_str());
    }
    TimedGame timed(&application, monsters, skip, ticks);
    const double start = WallMs(), startCpu = ProcessCpuMs();
    const int status = RunMainLoopOn(&timed, true, options.frames);
    const double wall = WallMs() - start, cpu = ProcessCpuMs() - startCpu;
    timed.Report();
    if (ticks != nullptr) {
        std::fclose(ticks);
    }
    std::printf("whole run: %.0f ms wall, %.0f ms processor; load average %s\n", wall, cpu, LoadAverage().c_str());
    application.Destroy();
    g_pApplication = nullptr;
    win::DestroyPlatformWindow(window);
    return status;
}
