// A stage started from the command line (--stage N): the calls the stage
// entry makes for a new game, for hero 0 on pad 0 and the stage's id.
#pragma once

#include <cstdint>

class CSStageManager;

// The stage-change time of a new game's first stage.
inline constexpr uint32_t kNewGameStageChangeMs = 2000;
// The loading bar when the new game starts and once the stage manager's
// parts and the heroes are in.
inline constexpr float kNewGameStartProgress = 0.0f;
inline constexpr float kNewGamePartsProgress = 0.1f;

// The loading screen up at progress 0; the stage manager's parts, the
// events pack and the heroes, then progress 0.1 and a step; with a screen
// manager the in-game screen (13) at once; then the change to stage
// `number` (1..42), carried out inside the call. False for a number out of
// range or a stage that did not load. With `players` 2 the second player's
// hero (LoadSecondPlayersHero) joins after the first, before the stage loads.
bool StartStageNewGame(CSStageManager *stage, int32_t number, int32_t players = 1);
