// The effects as stage members (see stage_effects.h).
#include "fx/stage_effects.h"

#include <cstdio>

#include "actor/item_stage.h"
#include "app/pack.h"
#include "fx/decals.h"
#include "fx/fx_packages.h"
#include "fx/fx_stage_links.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "fx/node_anim_player.h"
#include "fx/particle_manager.h"
#include "fx/screen_grid.h"
#include "fx/stage_dyn_effects.h"
#include "fx/weather.h"
#include "fx/xdt_effect_pool.h"
#include "fx/xdt_model_chain.h"
#include "stage/stage_manager.h"
#include "stage/stage_members.h"

namespace {

GeServices ServicesOf(const CSStageManager &m)
{
    GeServices services;
    services.world = m.world;
    services.particles = m.particleManager;
    services.matAnims = m.matAnimManager;
    services.nodeAnims = m.nodeAnimPlayer;
    return services;
}

}  // namespace

void CreateEffectMembers(CSStageManager *m)
{
    MakeStageMember(&m->matAnimManager);
    MakeStageMember(&m->particleManager);
    MakeStageMember(&m->decalManager);
    MakeStageMember(&m->geManager);
    MakeStageMember(&m->xdtEffectPool);
    MakeStageMember(&m->fxPackages);
    MakeStageMember(&m->nodeAnimPlayer);
    MakeStageMember(&m->dynEffects);
    MakeStageMember(&m->weather);
    MakeStageMember(&m->screenGrid);
    MakeStageMember(&m->waterModels);
    ConnectFxLinksToGame();
    ConnectEventEffectLinks();
}

void DestroyEffectMembers(CSStageManager *m)
{
    // Users of particle systems go before the particle manager.
    DeleteStageMember(&m->geManager);  // before the node animations it registered
    DeleteStageMember(&m->fxPackages);
    DeleteStageMember(&m->weather);
    DeleteStageMember(&m->xdtEffectPool);
    DeleteStageMember(&m->dynEffects);
    DeleteStageMember(&m->waterModels);
    DeleteStageMember(&m->decalManager);
    DeleteStageMember(&m->nodeAnimPlayer);
    DeleteStageMember(&m->screenGrid);
    DeleteStageMember(&m->matAnimManager);
    DeleteStageMember(&m->particleManager);
}

bool LoadEffectsPackInto(CSStageManager *m)
{
    const bool opened = zuOpenPack(kEffectsPackPath);
    if (m->particleManager != nullptr) {
        m->particleManager->LoadSet("\\RESOURCE\\PARTICLE\\EFFECT.PSS", "\\RESOURCE\\PARTICLE", false);
    }
    if (m->fxPackages != nullptr) {
        m->fxPackages->Load("\\RESOURCE\\FX\\FXM.FXM", m->particleManager, nullptr);
    }
    if (m->weather != nullptr) {
        m->weather->LoadRainTexture();
        m->weather->LoadRainSystems(m->particleManager);
    }
    if (m->geManager != nullptr) {
        m->geManager->Create(ServicesOf(*m));
    }
    // The item icon sheets come with the effects.
    LoadItemIcons(m);
    if (opened) {
        zuClosePack();
    }
    return opened;
}

void LoadStageEffects(CSStageManager *m)
{
    RpWorld *world = m->world;
    const StageInfo &keys = m->stageInfo;
    if (m->particleManager != nullptr) {
        char path[64];
        std::snprintf(path, sizeof path, "\\RESOURCE\\PARTICLE\\%d.PSS", m->stageId);
        m->particleManager->LoadSet(path, "\\RESOURCE\\PARTICLE", true);
    }
    if (m->decalManager != nullptr) {
        m->decalManager->SetWorld(world);
    }
    if (m->xdtEffectPool != nullptr) {
        m->xdtEffectPool->SetWorld(world);
    }
    if (m->dynEffects != nullptr) {
        m->dynEffects->SetWorld(world);
    }
    if (m->fxPackages != nullptr) {
        m->fxPackages->SetWorld(world);
    }
    if (CSWeatherEffect *w = m->weather) {
        w->SetFogColour(keys.fogRed, keys.fogGreen, keys.fogBlue, keys.fogAlpha);
        w->SetFogDistance(keys.fogDistance);
        w->SetVFog(keys.vFog != 0, keys.vFogHigh);
        w->SetFog(keys.fog != 0, keys.fogTime);
        w->SetRainState(keys.rain);
    }
}

void ReleaseStageEffects(CSStageManager *m)
{
    if (m->geManager != nullptr) {
        for (int32_t id = 0; id < kGePoolCount; ++id) {
            if (CSGePool *pool = m->geManager->Pool(static_cast<GePoolId>(id))) {
                pool->StopOwner(nullptr);
            }
        }
    }
    if (m->fxPackages != nullptr) {
        m->fxPackages->StopAll();
        m->fxPackages->SetWorld(nullptr);
    }
    if (m->xdtEffectPool != nullptr) {
        m->xdtEffectPool->Release();
        m->xdtEffectPool->SetWorld(nullptr);
    }
    if (m->dynEffects != nullptr) {
        m->dynEffects->Release();
        m->dynEffects->SetWorld(nullptr);
    }
    // What the water events left (their release, which runs first, frees
    // their own).
    if (m->waterModels != nullptr) {
        m->waterModels->Release();
    }
    if (m->decalManager != nullptr) {
        m->decalManager->Clear();
        m->decalManager->SetWorld(nullptr);
    }
    if (m->matAnimManager != nullptr) {
        m->matAnimManager->StopAll();
    }
    if (m->weather != nullptr) {
        m->weather->EndAtOnce();
    }
    if (m->screenGrid != nullptr) {
        m->screenGrid->Stop();
    }
    if (m->particleManager != nullptr) {
        m->particleManager->ReleaseGivenBack();
        m->particleManager->ReleaseStageTemplates();
    }
}

void UpdateStageEffects(CSStageManager *m, float dt, const RwCamera *camera)
{
    if (m->weather != nullptr) {
        m->weather->Update(dt, camera);
    }
    if (m->geManager != nullptr) {
        m->geManager->Update(dt);
    }
    if (m->xdtEffectPool != nullptr) {
        m->xdtEffectPool->Update(dt);
    }
    if (m->fxPackages != nullptr) {
        m->fxPackages->Update(dt);
    }
    if (m->dynEffects != nullptr) {
        m->dynEffects->Update(dt);
    }
    if (m->decalManager != nullptr) {
        m->decalManager->Update(dt);
    }
    if (m->matAnimManager != nullptr) {
        m->matAnimManager->Update(dt);
    }
    // Last, so that systems moved by their owners this frame emit from
    // where they now are.
    if (m->particleManager != nullptr) {
        m->particleManager->Update(dt);
    }
}

void RenderStageEffects(const CSStageManager *m)
{
    if (m->decalManager != nullptr) {
        m->decalManager->Render();
    }
    if (m->geManager != nullptr) {
        m->geManager->Render();
    }
    if (m->xdtEffectPool != nullptr) {
        m->xdtEffectPool->Render();
    }
    if (m->dynEffects != nullptr) {
        m->dynEffects->Render();
    }
    if (m->waterModels != nullptr) {
        m->waterModels->Render();
    }
    if (m->fxPackages != nullptr) {
        m->fxPackages->Render();
    }
    if (m->particleManager != nullptr) {
        m->particleManager->Render();
    }
}

void RenderStageEffectsOverlay(const CSStageManager *m, RwReal width, RwReal height)
{
    if (m->weather != nullptr) {
        m->weather->RenderRainLayer(width, height);
    }
}
