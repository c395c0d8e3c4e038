// The stage's calls into parts of the game that come later: the screen
// manager's letterbox bars and the event manager's models. Each does
// nothing, or answers none, while its part does not exist; the part that
// brings the screen manager or the event manager fills its call in here.
#pragma once

#include <cstdint>

#include "rpworld.h"

// CSUIManager::ShowLetterbox / HideLetterbox (ms) when a screen manager exists.
void StageShowLetterbox(int32_t ms);
void StageHideLetterbox(int32_t ms);
// The first model of the event (CSEventManager::GetEventModel) when the
// stage has an event manager; null otherwise.
RpClump *StageEventModel(int32_t eventId);
