// Cloning and destroying the stage's models (see stage_clumps.h).
#include "stage/stage_clumps.h"

#include "app/game_system.h"
#include "app/locks.h"

RpClump *CloneStageClump(RpClump *clump)
{
    if (g_pGameSystem != nullptr) {
        return g_pGameSystem->CloneClump(clump);
    }
    if (clump == nullptr) {
        return nullptr;
    }
    CSRenderLockGuard lock;
    return RpClumpClone(clump);
}

void DestroyStageClump(RpClump *clump)
{
    if (g_pGameSystem != nullptr) {
        g_pGameSystem->DestroyClump(clump);
        return;
    }
    if (clump == nullptr) {
        return;
    }
    CSRenderLockGuard lock;
    if (RpClumpGetWorld(clump) != nullptr) {
        RpWorldRemoveClump(RpClumpGetWorld(clump), clump);
    }
    RpClumpDestroy(clump);
}
