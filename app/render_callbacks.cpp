// The game's sector and atomic render callbacks (see render_callbacks.h).
#include "app/render_callbacks.h"

#include "app/game_system.h"
#include "app/game_system_children.h"

RpWorldSector *GameRenderSector(RpWorldSector *sector)
{
    RpWorldSector *drawn = RpWorldSectorDefaultRenderCallBack(sector);
    if (g_pGameSystem != nullptr) {
        GameSystemChildren{*g_pGameSystem}.DevMenuDrawSectorWireFrame(sector);
    }
    return drawn;
}

RpAtomic *GameRenderAtomic(RpAtomic *atomic)
{
    RpAtomic *drawn = RpAtomicDefaultRenderCallBack(atomic);
    if (g_pGameSystem != nullptr) {
        GameSystemChildren{*g_pGameSystem}.DevMenuDrawAtomicWireFrame(atomic);
    }
    return drawn;
}

void InstallGameRenderCallBack(RpWorld *world)
{
    if (world != nullptr) {
        RpWorldSetSectorRenderCallBack(world, GameRenderSector);
    }
}

void InstallGameRenderCallBack(RpClump *clump)
{
    if (clump == nullptr) {
        return;
    }
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *) {
            if (atomic->renderCallBack == RpAtomicDefaultRenderCallBack) {
                RpAtomicSetRenderCallBack(atomic, GameRenderAtomic);
            }
            return atomic;
        },
        nullptr);
}
