// The game-stream pass (see game_stream.h).
#include "devmenu/game_stream.h"

#include "app/trace.h"
#include "devmenu/dev_menu.h"
#include "devmenu/stage_list.h"
#include "stage/stage_manager.h"

namespace {

void TraceStep(const char *step, int32_t value = -1)
{
    if (game::TraceOn()) {
        game::TraceLine line("menu");
        line.Word("stream").Word(step);
        if (value >= 0) {
            line.Int(value);
        }
    }
}

}  // namespace

void RunGameStream(const GameStreamCalls &c, const CSDevMenu &menu)
{
    const bool screens = c.hasScreens();
    if (screens && c.hasWarning()) {
        TraceStep("warning");
        c.warningLoadTextures();
        c.warningReleaseTexture();
    }
    if (screens) {
        TraceStep("frontend");
        c.loadFrontEndTextures();
        c.releaseFrontEndTextures();
        c.releaseOtherScreenTextures();
        TraceStep("lobby");
        c.loadLobbyTextures();
        c.releaseLobbyTextures();
        TraceStep("uisounds");
        c.loadUiSounds();
    }
    const bool stage = c.hasStage();
    if (stage) {
        TraceStep("packs");
        c.createSubObjects1();
        c.loadEffectsPack();
        c.createSubObjects2();
        c.loadItemsPack();
        c.loadEventsPack();
    }
    if (screens && c.hasSelection()) {
        TraceStep("select");
        c.loadCharacterModels();
        c.releaseCharacterModels();
    }
    if (screens && c.hasOverlay()) {
        TraceStep("overlay");
        c.overlayLoadTextures();
        c.overlayReleaseTextures();
    }
    if (stage) {
        for (int32_t hero = 0; hero < kMaxHeroes; ++hero) {
            TraceStep("hero", hero);
            c.loadHero(hero);
            c.unloadHeroes();
            c.loadCharacterSfx(hero);
        }
    }
    TraceStep("report");
    c.writeReport(menu, "\\CHARSTREAM.TXT");
    if (stage && c.hasEventManager()) {
        TraceStep("animevents");
        c.unloadAnimEvents();
    }
    if (stage) {
        for (int32_t index = 0; index < kDevMenuStageCount; ++index) {
            const int32_t id = kDevMenuStages[index].id;
            TraceStep("stage", id);
            c.loadStage(id);
            c.loadStage(0);
        }
    }
    TraceStep("done");
}

void CSDevMenu::MakeGameStream() const { RunGameStream(GameStreamCallsOfGame(), *this); }
