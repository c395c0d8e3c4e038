// The stage's calls into other parts of the game: the screen manager's
// letterbox bars (through the stage's screen calls, stage_screen_calls.h)
// and the event manager's models. Each does nothing, or answers none, while
// its part does not exist.
#pragma once

#include <cstdint>

#include "rpworld.h"

// CSUIManager::ShowLetterbox / HideLetterbox (ms) when a screen manager exists.
void StageShowLetterbox(int32_t ms);
void StageHideLetterbox(int32_t ms);
// The first model of the event (CSEventManager::GetEventModel) when the
// stage has an event manager; null otherwise.
RpClump *StageEventModel(int32_t eventId);
