// The effects' trace lines (see fx_trace.h).
#include "fx/fx_trace.h"

#include "app/trace.h"

void FxTraceStart(const char *pool, const RwV3d &at)
{
    if (game::TraceOn()) {
        game::TraceLine("fx").Word("start").Word(pool).Real(at.x).Real(at.y).Real(at.z);
    }
}

void FxTraceDrop(int32_t id, const RwV3d &at)
{
    if (game::TraceOn()) {
        game::TraceLine("fx").Word("drop").Int(id).Real(at.x).Real(at.y).Real(at.z);
    }
}

void FxTraceReward(int32_t amount, int32_t heroAiId)
{
    if (game::TraceOn()) {
        game::TraceLine("fx").Word("reward").Int(amount).Int(heroAiId);
    }
}
