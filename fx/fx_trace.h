// The effects' lines of the run's trace (app/trace.h):
//   fx start pool x y z      an instance a pool or package starts
//   fx drop id x y z         a drop or effect entry spawned
//   fx reward amount heroAIID  a reward piece that reached its hero
#pragma once

#include <cstdint>

#include "rwcore.h"

void FxTraceStart(const char *pool, const RwV3d &at);
void FxTraceDrop(int32_t id, const RwV3d &at);
void FxTraceReward(int32_t amount, int32_t heroAiId);
