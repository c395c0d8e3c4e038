// The effects' links to the rest of the game (see fx_links.h).
#include "fx/fx_links.h"

FxLinks g_fxLinks;

int32_t FxHeroCount() { return g_fxLinks.heroCount != nullptr ? g_fxLinks.heroCount() : 0; }

AiObject *FxHero(int32_t index) { return g_fxLinks.hero != nullptr ? g_fxLinks.hero(index) : nullptr; }

bool FxActorPosition(AiObject *actor, RwV3d *out)
{
    return actor != nullptr && g_fxLinks.position != nullptr && g_fxLinks.position(actor, out);
}

int32_t FxActorAiType(AiObject *actor)
{
    return g_fxLinks.aiType != nullptr ? g_fxLinks.aiType(actor) : -1;
}

int32_t FxActorAiId(AiObject *actor)
{
    return g_fxLinks.aiId != nullptr ? g_fxLinks.aiId(actor) : -1;
}

void FxPlaySound(int32_t soundId)
{
    if (g_fxLinks.playSound != nullptr) {
        g_fxLinks.playSound(soundId);
    }
}

void FxPost(int32_t kind, AiObject *sender, AiObject *target, int32_t w0, int32_t w1, int32_t w2)
{
    if (g_fxLinks.post != nullptr && target != nullptr) {
        g_fxLinks.post(kind, sender, target, w0, w1, w2);
    }
}

int32_t FxStageId() { return g_fxLinks.stageId != nullptr ? g_fxLinks.stageId() : 0; }
