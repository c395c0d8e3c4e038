// "Make Game Stream": one long pass that loads every resource the game
// loads outside a stage, in a fixed order, releasing each where a release
// exists, writes the resource report to \CHARSTREAM.TXT and then loads and
// releases every listed stage in turn.
//
// The pass makes its calls through a table: the game's table
// (GameStreamCallsOfGame) reaches the running screen manager and its
// screens, the stage manager, its sound-effect and event managers; tests
// put a recording table in. A step whose object does not exist (its `has`
// entry answers false) is skipped.
#pragma once

#include <cstdint>

class CSDevMenu;

struct GameStreamCalls {
    // 1. The warning screen: its textures loaded, then released.
    bool (*hasWarning)();
    void (*warningLoadTextures)();
    void (*warningReleaseTexture)();
    // 2. The screen manager: the front end's textures loaded and released,
    // the other screens' textures released, the lobby's textures (no
    // dictionary) loaded and released, the interface sounds loaded.
    bool (*hasScreens)();
    void (*loadFrontEndTextures)();
    void (*releaseFrontEndTextures)();
    void (*releaseOtherScreenTextures)();
    void (*loadLobbyTextures)();
    void (*releaseLobbyTextures)();
    void (*loadUiSounds)();
    // 3. The stage manager's parts made once in its life.
    bool (*hasStage)();
    void (*createSubObjects1)();
    void (*loadEffectsPack)();
    void (*createSubObjects2)();
    void (*loadItemsPack)();
    void (*loadEventsPack)();
    // 4. The character selection's models, loaded and released.
    bool (*hasSelection)();
    void (*loadCharacterModels)();
    void (*releaseCharacterModels)();
    // 5. The in-game overlay's textures, loaded and released.
    bool (*hasOverlay)();
    void (*overlayLoadTextures)();
    void (*overlayReleaseTextures)();
    // 6. Heroes 0 and 1 (with the stage manager): loaded, released, and
    // their sound lists loaded into the stage's sound-effect manager.
    void (*loadHero)(int32_t hero);
    void (*unloadHeroes)();
    void (*loadCharacterSfx)(int32_t hero);
    // 7. The resource report, written to a game path.
    void (*writeReport)(const CSDevMenu &menu, const char *path);
    // 8. The events' animation sets released (with the stage's event manager).
    bool (*hasEventManager)();
    void (*unloadAnimEvents)();
    // 9. Each listed stage (with the stage manager): loaded, then released
    // by the load of stage 0.
    void (*loadStage)(int32_t id);
};

// The pass over `calls`; the report is `menu`'s. Each step is traced
// (`menu stream STEP [id]`).
void RunGameStream(const GameStreamCalls &calls, const CSDevMenu &menu);

// The game's table.
const GameStreamCalls &GameStreamCallsOfGame();
