// The screens on the sample data with the game system on a headless
// window: one frame (the manager's update and the drawing) of the warning
// screen, of character selection and of the load screen, one drawing of
// the loading screen, one scan of the 20 save slots; a frame of the lobby's
// menu, of its stage-select map and of the status page it hosts, and one
// read of a streamed pack.
// Also a frame of the ranking and of the stage clear's results, and one
// whole read of a hero picture pack with its pictures.
#include <benchmark/benchmark.h>

#include <string>

#include "app/engine_startup.h"
#include "app/game_system.h"
#include "app/path.h"
#include "support/engine/headless_driver.h"
#include "ui/hero_picture_pack.h"
#include "ui/loading_screen.h"
#include "ui/lobby_screen.h"
#include "ui/lobby_status_page.h"
#include "ui/pack_stream.h"
#include "ui/ranking_screen.h"
#include "ui/save_slots.h"
#include "ui/stage_clear_screen.h"
#include "ui/stage_select.h"
#include "ui/ui_manager.h"

namespace {

// The game's engine and game system (with its screens) on the sample data.
class ScreensUp {
public:
    ScreensUp()
    {
        SetDataRootPath(RW_BENCH_DATA_DIR);
        window_ = rwtest::OpenHeadlessWindow("bench screens", 640, 480);
        EngineChoice chosen;
        started_ = window_ != nullptr && StartEngine(window_, game::ModeChoice{640, 480, false}, &chosen);
        ok = started_ && gs.Create(640, 480, 1) && gs.LoadFont();
        ui = gs.uiManager;
        if (ok) {
            ui->LoadCommonTextures();
            ok = ui->PlayerArt() != nullptr;
        }
    }
    ~ScreensUp()
    {
        gs.Destroy();
        if (started_) {
            StopEngine();
        }
        rwtest::CloseHeadlessWindow(window_);
        SetDataRootPath("");
    }
    ScreensUp(const ScreensUp &) = delete;
    ScreensUp &operator=(const ScreensUp &) = delete;

    CSGameSystem gs;
    CSUIManager *ui = nullptr;
    bool ok = false;

private:
    HWND window_ = nullptr;
    bool started_ = false;
};

void BM_WarningScreenFrame(benchmark::State &state)
{
    ScreensUp game;
    if (!game.ok) {
        state.SkipWithError("no sample data (build the sample-data target)");
        return;
    }
    game.gs.Tick();  // the switch to the warning screen
    for (auto _ : state) {
        game.gs.Tick();
    }
}
BENCHMARK(BM_WarningScreenFrame)->Unit(benchmark::kMillisecond);

void BM_CharacterSelectionFrame(benchmark::State &state)
{
    ScreensUp game;
    if (!game.ok) {
        state.SkipWithError("no sample data (build the sample-data target)");
        return;
    }
    game.ui->StartAtScreen(kUISelectCharacter);
    for (auto _ : state) {
        game.gs.Tick();
    }
}
BENCHMARK(BM_CharacterSelectionFrame)->Unit(benchmark::kMillisecond);

void BM_LoadingScreenDrawing(benchmark::State &state)
{
    ScreensUp game;
    if (!game.ok || g_pLoading == nullptr) {
        state.SkipWithError("no sample data (build the sample-data target)");
        return;
    }
    g_pLoading->Activate(1, 2010000);
    g_pLoading->SetProgress(0.5f);
    for (auto _ : state) {
        g_pLoading->drawFrame(g_pLoading);
    }
    g_pLoading->Activate(0, 2010000);
}
BENCHMARK(BM_LoadingScreenDrawing)->Unit(benchmark::kMillisecond);

// The load screen over the sample data's saves (read only).
void BM_LoadScreenFrame(benchmark::State &state)
{
    ScreensUp game;
    if (!game.ok) {
        state.SkipWithError("no sample data (build the sample-data target)");
        return;
    }
    game.ui->StartAtScreen(kUISaveLoad);
    for (auto _ : state) {
        game.gs.Tick();
    }
}
BENCHMARK(BM_LoadScreenFrame)->Unit(benchmark::kMillisecond);

// What every opening of a slot screen and every save costs: the 20 files read and checked.
void BM_SaveSlotScan(benchmark::State &state)
{
    SetDataRootPath(RW_BENCH_DATA_DIR);
    CSSaveSlotList list;
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.Refresh());
    }
    SetDataRootPath("");
}
BENCHMARK(BM_SaveSlotScan)->Unit(benchmark::kMicrosecond);

// The lobby as the stage end leaves it, its pack streamed in.
bool OpenLobby(ScreensUp &game)
{
    game.ui->LoadLobbyTextures(nullptr);
    game.ui->RequestModule(kUILobby);
    for (int i = 0; i < 400 && (g_pLobby == nullptr || !g_pLobby->PicturesRead()); ++i) {
        game.gs.Tick();
    }
    return g_pLobby != nullptr && g_pLobby->PicturesRead();
}

void BM_LobbyMenuFrame(benchmark::State &state)
{
    ScreensUp game;
    if (!game.ok || !OpenLobby(game)) {
        state.SkipWithError("no sample data (build the sample-data target)");
        return;
    }
    for (auto _ : state) {
        game.gs.Tick();
    }
}
BENCHMARK(BM_LobbyMenuFrame)->Unit(benchmark::kMillisecond);

void BM_StageSelectMapFrame(benchmark::State &state)
{
    ScreensUp game;
    if (!game.ok || !OpenLobby(game)) {
        state.SkipWithError("no sample data (build the sample-data target)");
        return;
    }
    CSStageSelect *panel = g_pLobby->StageSelect();
    panel->SetActive(1);
    g_pLobby->openPage = CSLobby::kStageSelectPage;
    for (int i = 0; i < 400 && !panel->PicturesRead(); ++i) {
        game.gs.Tick();
    }
    for (auto _ : state) {
        game.gs.Tick();
    }
}
BENCHMARK(BM_StageSelectMapFrame)->Unit(benchmark::kMillisecond);

// The hero's status page in the lobby, its hero pack read and its
// pictures faded in: the page's update and drawing with the item tab's list.
void BM_StatusPageFrame(benchmark::State &state)
{
    ScreensUp game;
    if (!game.ok || !OpenLobby(game)) {
        state.SkipWithError("no sample data (build the sample-data target)");
        return;
    }
    CSCharacterPage &page = g_pLobby->StatusPage()->Page();
    g_pLobby->StatusPage()->Open();
    g_pLobby->openPage = CSLobby::kStatusPage;
    for (int i = 0; i < 400 && !page.WeaponFadeDone() && !page.TabReady(kTabEquipment); ++i) {
        game.gs.Tick();
    }
    for (int i = 0; i < 120; ++i) {
        game.gs.Tick();
    }
    for (auto _ : state) {
        game.gs.Tick();
    }
}
BENCHMARK(BM_StatusPageFrame)->Unit(benchmark::kMillisecond);

// The lobby's pack (about 2 MB) read whole, 32768 bytes a step.
void BM_LobbyPackStream(benchmark::State &state)
{
    SetDataRootPath(RW_BENCH_DATA_DIR);
    UIPackStream stream;
    const std::string path = std::string(RW_BENCH_DATA_DIR) + "\\PACK\\UI0\\UILOBBY.STR";
    for (auto _ : state) {
        stream.Request(path);
        if (stream.Finish() != UIPackStream::kComplete) {
            state.SkipWithError("no sample data (build the sample-data target)");
            break;
        }
    }
    SetDataRootPath("");
}
BENCHMARK(BM_LobbyPackStream)->Unit(benchmark::kMillisecond);

// The ranking of stage 8 once its grade shows: the figures, the hero with
// its weapon, the grade letter (no input: it stays there).
void BM_RankingFrame(benchmark::State &state)
{
    ScreensUp game;
    if (!game.ok) {
        state.SkipWithError("no sample data (build the sample-data target)");
        return;
    }
    game.ui->LoadLobbyTextures(nullptr);
    game.ui->RequestModule(kUIRanking);
    for (int i = 0; i < 120; ++i) {
        game.gs.Tick();
    }
    for (auto _ : state) {
        game.gs.Tick();
    }
}
BENCHMARK(BM_RankingFrame)->Unit(benchmark::kMillisecond);

// The stage clear's results with the hero's pictures and the grade letter.
void BM_StageClearResultsFrame(benchmark::State &state)
{
    ScreensUp game;
    if (!game.ok) {
        state.SkipWithError("no sample data (build the sample-data target)");
        return;
    }
    game.ui->RequestModule(kUIStageClear);
    game.gs.Tick();
    CSStageClear *clear = game.ui->StageClear();
    clear->pictures.FinishReading();
    clear->pictures.LoadPictures();
    clear->phase = CSStageClear::kResults;
    clear->letterMs = CSStageClear::kLetterMs;
    for (auto _ : state) {
        game.gs.Tick();
    }
}
BENCHMARK(BM_StageClearResultsFrame)->Unit(benchmark::kMillisecond);

// A hero picture pack read whole from disc (what the count-up's end may
// finish at once), opened from memory and its six pictures read.
void BM_HeroPicturePackRead(benchmark::State &state)
{
    ScreensUp game;
    if (!game.ok) {
        state.SkipWithError("no sample data (build the sample-data target)");
        return;
    }
    HeroPicturePack pack;
    for (auto _ : state) {
        pack.Start(0);
        pack.FinishReading();
        pack.LoadPictures();
        benchmark::DoNotOptimize(pack.HeroPicture());
        pack.Release();
    }
}
BENCHMARK(BM_HeroPicturePackRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
