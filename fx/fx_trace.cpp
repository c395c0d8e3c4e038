// The effects' trace lines (see fx_trace.h).
#include "fx/fx_trace.h"

#include <cstdio>

void (*g_fxTraceSink)(const char *line) = nullptr;

void FxTraceStart(const char *pool, const RwV3d &at)
{
    if (g_fxTraceSink != nullptr) {
        char line[160];
        std::snprintf(line, sizeof line, "fx start %s %.2f %.2f %.2f", pool, static_cast<double>(at.x),
                      static_cast<double>(at.y), static_cast<double>(at.z));
        g_fxTraceSink(line);
    }
}

void FxTraceDrop(int32_t id, const RwV3d &at)
{
    if (g_fxTraceSink != nullptr) {
        char line[160];
        std::snprintf(line, sizeof line, "fx drop %d %.2f %.2f %.2f", id, static_cast<double>(at.x),
                      static_cast<double>(at.y), static_cast<double>(at.z));
        g_fxTraceSink(line);
    }
}

void FxTraceReward(int32_t amount, int32_t heroAiId)
{
    if (g_fxTraceSink != nullptr) {
        char line[64];
        std::snprintf(line, sizeof line, "fx reward %d %d", amount, heroAiId);
        g_fxTraceSink(line);
    }
}
