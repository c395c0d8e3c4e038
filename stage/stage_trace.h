// The stage's lines of the run's trace (--trace):
//   stage request TARGET FLAG MS taken|ignored   each stage-change request
//   stage load ID                                a stage load begins
//   stage release ID                             a loaded stage is released
//   loading PROGRESS                             each loading-bar value
#pragma once

#include <cstdint>

void TraceStageRequest(int32_t target, int32_t flag, uint32_t ms, bool taken);
void TraceStageLoad(int32_t stageId);
void TraceStageRelease(int32_t stageId);
void TraceLoadingProgress(float progress);
