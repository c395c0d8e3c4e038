// The game-stream pass's calls into the running game (see game_stream.h):
// the screen manager and its screens, the stage manager and its managers,
// each reached through its global pointer when the call is made.
#include "actor/hero.h"
#include "devmenu/dev_menu.h"
#include "devmenu/game_stream.h"
#include "event/event_manager.h"
#include "stage/sfx_manager.h"
#include "stage/stage_manager.h"
#include "ui/game_play_screen.h"
#include "ui/select_character.h"
#include "ui/ui_manager.h"
#include "ui/warning_screen.h"

namespace {

CSUIManager &Ui() { return *g_pUIManager; }
CSStageManager &Stage() { return *g_pStageManager; }

constexpr GameStreamCalls kGameCalls = {
    [] { return g_pUIManager != nullptr && Ui().Warning() != nullptr; },
    [] { Ui().Warning()->LoadTextures(); },
    [] { Ui().Warning()->ReleaseTexture(); },

    [] { return g_pUIManager != nullptr; },
    [] { Ui().LoadFrontEndTextures(); },
    [] { Ui().ReleaseFrontEndTextures(); },
    [] { Ui().ReleaseOtherUIModuleTexture(); },
    [] { Ui().LoadLobbyTextures(nullptr); },
    [] { Ui().ReleaseLobbyTextures(); },
    [] { Ui().LoadUISounds(); },

    [] { return g_pStageManager != nullptr; },
    [] { Stage().CreateSubObjects1(); },
    [] { Stage().LoadEffectsPack(); },
    [] { Stage().CreateSubObjects2(); },
    [] { Stage().LoadItemsPack(); },
    [] { Stage().LoadEventsPack(); },

    [] { return g_pUIManager != nullptr && Ui().SelectCharacter() != nullptr; },
    [] { Ui().SelectCharacter()->LoadCharacterModel(); },
    [] { Ui().SelectCharacter()->ReleaseCharacterModel(); },

    [] { return g_pUIManager != nullptr && Ui().GamePlay() != nullptr; },
    [] { Ui().GamePlay()->LoadTextures(); },
    [] { Ui().GamePlay()->ReleaseTextures(); },

    [](int32_t hero) { Stage().LoadHeroes(hero, 0, 0); },
    [] { Stage().UnloadHeroes(); },
    [](int32_t hero) {
        if (Stage().sfxManager != nullptr) {
            Stage().sfxManager->LoadCharacterSFX(hero);
        }
    },

    [](const CSDevMenu &menu, const char *path) { menu.WriteResourceReport(path); },

    [] { return g_pStageManager != nullptr && Stage().eventManager != nullptr; },
    [] { Stage().eventManager->UnloadAnimEvents(); },

    [](int32_t id) { Stage().LoadStage(id); },
};

}  // namespace

const GameStreamCalls &GameStreamCallsOfGame() { return kGameCalls; }
