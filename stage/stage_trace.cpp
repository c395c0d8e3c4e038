// The stage's trace lines (see stage_trace.h), on the run's trace.
#include "stage/stage_trace.h"

#include "app/trace.h"

void TraceStageRequest(int32_t target, int32_t flag, uint32_t ms, bool taken)
{
    game::TraceLine("stage").Word("request").Int(target).Int(flag).Int(ms).Word(taken ? "taken" : "ignored");
}

void TraceStageLoad(int32_t stageId) { game::TraceLine("stage").Word("load").Int(stageId); }

void TraceStageRelease(int32_t stageId) { game::TraceLine("stage").Word("release").Int(stageId); }

void TraceLoadingProgress(float progress) { game::TraceLine("loading").Real(progress); }
