// The stage's calls into later parts of the game (see stage_links.h).
#include "stage/stage_links.h"

// No screen manager exists yet: there are no bars to show.
void StageShowLetterbox(int32_t) {}
void StageHideLetterbox(int32_t) {}

// No event manager exists yet: no event has a model.
RpClump *StageEventModel(int32_t) { return nullptr; }
