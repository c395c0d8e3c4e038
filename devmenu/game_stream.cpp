// "Make Game Stream": one long pass that loads every resource the game
// loads outside a stage, releasing each where a release exists, writes the
// resource report to \CHARSTREAM.TXT and then loads and releases every
// listed stage in turn. Each step is traced (`menu stream STEP`) so that a
// run shows the order the loads took.
#include "actor/hero.h"
#include "app/game_system.h"
#include "app/trace.h"
#include "devmenu/dev_menu.h"
#include "devmenu/stage_list.h"
#include "event/event_manager.h"
#include "stage/sfx_manager.h"
#include "stage/stage_manager.h"
#include "ui/game_play_screen.h"
#include "ui/select_character.h"
#include "ui/ui_manager.h"
#include "ui/warning_screen.h"

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

void CSDevMenu::MakeGameStream() const
{
    CSUIManager *ui = g_pUIManager;
    if (ui != nullptr) {
        if (CSWarning *warning = ui->Warning()) {
            TraceStep("warning");
            warning->LoadTextures();
            warning->ReleaseTexture();
        }
        TraceStep("frontend");
        ui->LoadFrontEndTextures();
        ui->ReleaseFrontEndTextures();
        ui->ReleaseOtherUIModuleTexture();
        TraceStep("lobby");
        ui->LoadLobbyTextures(nullptr);
        ui->ReleaseLobbyTextures();
        TraceStep("uisounds");
        ui->LoadUISounds();
    }
    CSStageManager *stage = g_pStageManager;
    if (stage != nullptr) {
        TraceStep("packs");
        stage->CreateSubObjects1();
        stage->LoadEffectsPack();
        stage->CreateSubObjects2();
        stage->LoadItemsPack();
        stage->LoadEventsPack();
    }
    if (ui != nullptr) {
        if (CSSelectCharacter *select = ui->SelectCharacter()) {
            TraceStep("select");
            select->LoadCharacterModel();
            select->ReleaseCharacterModel();
        }
        if (CSGamePlay *overlay = ui->GamePlay()) {
            TraceStep("overlay");
            overlay->LoadTextures();
            overlay->ReleaseTextures();
        }
    }
    if (stage != nullptr) {
        for (int32_t hero = 0; hero < kMaxHeroes; ++hero) {
            TraceStep("hero", hero);
            stage->LoadHeroes(hero, 0, 0);
            stage->UnloadHeroes();
            if (stage->sfxManager != nullptr) {
                stage->sfxManager->LoadCharacterSFX(hero);
            }
        }
    }
    TraceStep("report");
    WriteResourceReport("\\CHARSTREAM.TXT");
    if (stage != nullptr && stage->eventManager != nullptr) {
        TraceStep("animevents");
        stage->eventManager->UnloadAnimEvents();
    }
    if (stage != nullptr) {
        for (int32_t index = 0; index < kDevMenuStageCount; ++index) {
            const int32_t id = kDevMenuStages[index].id;
            TraceStep("stage", id);
            stage->LoadStage(id);
            stage->LoadStage(0);
        }
    }
    TraceStep("done");
}
