// The events' links to the actor core, the trace and the stage change (see
// event_stage_links.h).
#include "event/event_stage_links.h"

#include <algorithm>

#include "actor/actor_screen_calls.h"
#include "actor/ai_msg_pool.h"
#include "actor/ai_object.h"
#include "actor/hero.h"
#include "actor/item_manager.h"
#include "app/game_system.h"
#include "app/movie_player.h"
#include "app/pad_state.h"
#include "fx/ge_manager.h"
#include "fx/ge_pools.h"
#include "stage/game_camera.h"
#include "app/trace.h"
#include "event/event_links.h"
#include "stage/sfx_manager.h"
#include "stage/stage_manager.h"

namespace {

// What the potion dialogue adds to a hero's life and power.
constexpr int32_t kRestoreAmount = 9999;

}  // namespace

void ConnectEventActorLinks()
{
    g_eventLinks.heroCount = [] { return g_pStageManager != nullptr ? static_cast<int32_t>(g_pStageManager->heroCount) : 0; };
    g_eventLinks.hero = [](int32_t index) -> AiObject * {
        if (g_pStageManager == nullptr || index < 0 || index >= g_pStageManager->heroCount || index >= kMaxHeroes) {
            return nullptr;
        }
        return g_pStageManager->heroes[index];
    };
    g_eventLinks.playerIndex = [](AiObject *hero) -> int32_t {
        for (int32_t i = 0; g_pStageManager != nullptr && i < g_pStageManager->heroCount && i < kMaxHeroes; ++i) {
            if (g_pStageManager->heroes[i] == hero) {
                return i;
            }
        }
        return -1;
    };
    g_eventLinks.firstActor = [] { return g_pStageManager != nullptr ? g_pStageManager->actorHead : nullptr; };
    g_eventLinks.nextActor = [](AiObject *actor) { return actor->next; };
    g_eventLinks.eventGroup = [](AiObject *actor) { return actor->eventId; };
    g_eventLinks.isRemoved = [](AiObject *actor) { return actor->removed; };
    g_eventLinks.isBusy = [](AiObject *actor) { return actor->busy; };
    g_eventLinks.isDying = [](AiObject *actor) { return actor->dying; };
    g_eventLinks.pose = [](AiObject *actor, RwV3d *position, RwV3d *facing) {
        actor->GetPosition(position);
        actor->GetDirection(facing);
        return true;
    };
    g_eventLinks.trace = [](int32_t eventId, const char *kind, const char *what, int32_t count) {
        game::TraceLine("event").Int(eventId).Word(kind).Word(what).Int(count);
    };
    g_eventLinks.tracePoint = [](int32_t eventId, const char *kind, const char *what, const RwV3d &at) {
        game::TraceLine("event").Int(eventId).Word(kind).Word(what).Real(at.x).Real(at.y).Real(at.z);
    };
    g_eventLinks.aiType = [](AiObject *actor) { return actor->aiType; };
    g_eventLinks.aiId = [](AiObject *actor) { return actor->aiId; };
    g_eventLinks.post = [](int32_t kind, AiObject *target, int32_t w0, int32_t w1, int32_t w2) {
        if (g_pStageManager != nullptr && g_pStageManager->messagePool != nullptr) {
            g_pStageManager->messagePool->Post(kind, nullptr, target, w0, w1, w2);
        }
    };
    g_eventLinks.isShown = [](AiObject *actor) { return actor->isRender != 0; };
    g_eventLinks.show = [](AiObject *actor) { actor->SetIsRender(); };
    g_eventLinks.appear = [](AiObject *actor, int32_t animation) {
        actor->Appear();
        actor->PlayAnimation(animation);
    };
    g_eventLinks.heroInState4 = [](AiObject *hero) {
        return IsHeroType(hero->aiType) && static_cast<CSHero *>(hero)->IsInState4();
    };
    g_eventLinks.makeAppear = [](AiObject *actor) { actor->Appear(); };
    g_eventLinks.playHeld = [](AiObject *actor, int32_t animation) {
        actor->holdState = true;
        actor->PlayAnimation(animation);
    };
    g_eventLinks.returnToNormal = [](AiObject *actor) { actor->ReturnToNormal(); };
    g_eventLinks.restoreHero = [](AiObject *hero) {
        if (!IsHeroType(hero->aiType)) {
            return;
        }
        RwV3d at;
        hero->GetPosition(&at);
        CCGEManager *effects = g_pStageManager != nullptr ? g_pStageManager->geManager : nullptr;
        if (effects != nullptr && effects->potion != nullptr) {
            effects->potion->Start(0, at);
            effects->potion->Start(1, at);
        }
        auto *self = static_cast<CSHero *>(hero);
        self->AddHP(kRestoreAmount);
        self->AddPower(kRestoreAmount);
    };
    g_eventLinks.heroPadButton = [](int32_t slot, int32_t button) -> uint8_t {
        AiObject *hero = g_eventLinks.hero != nullptr ? g_eventLinks.hero(EventHeroPositionOfSlot(slot)) : nullptr;
        if (hero == nullptr || !IsHeroType(hero->aiType) || g_pGameSystem == nullptr || button < 0 || button >= 16) {
            return 0;
        }
        const int32_t pad = static_cast<CSHero *>(hero)->padIndex;
        if (pad < 0 || pad >= kPadsPerBlock) {
            return 0;
        }
        return g_pGameSystem->padStates[kPadStateBlock][pad].buttons[button];
    };
}

namespace {

CSStageManager *Stage() { return g_pStageManager; }

}  // namespace

void ConnectEventStageMembers()
{
    ConnectEventCamera();
    EventLinks &l = g_eventLinks;
    l.particles = [] { return Stage() != nullptr ? Stage()->particleManager : nullptr; };
    l.nodeAnims = [] { return Stage() != nullptr ? Stage()->nodeAnimPlayer : nullptr; };
    l.eventAnims = [] { return Stage() != nullptr ? Stage()->actorAnimations.get() : nullptr; };
    l.matAnims = [] { return Stage() != nullptr ? Stage()->matAnimManager : nullptr; };
    l.world = [] { return Stage() != nullptr ? Stage()->world : nullptr; };
    l.waterModels = [] { return Stage() != nullptr ? Stage()->waterModels : nullptr; };
    l.inView = [](const RwV3d &centre, float radius) {
        if (g_pGameSystem == nullptr || g_pGameSystem->camera == nullptr) {
            return true;
        }
        const RwSphere sphere = {centre, radius};
        return RwCameraSphereInFrustum(g_pGameSystem->camera, &sphere) != rwSPHEREOUTSIDE;
    };
    l.renderClump = [](RpClump *clump) {
        if (g_pGameSystem != nullptr) {
            g_pGameSystem->RenderClump(clump);
        }
    };
    l.renderClumpWithFade = [](RpClump *clump, float alpha) {
        if (g_pGameSystem != nullptr) {
            g_pGameSystem->RenderClumpWithFade(clump, alpha);
        }
    };
    l.playSound = [](int32_t soundId) {
        if (Stage() != nullptr && Stage()->sfxManager != nullptr) {
            Stage()->sfxManager->PlaySFX(soundId, 0);
        }
    };
    l.stopBGM = [](int32_t fadeMs) {
        if (Stage() != nullptr) {
            Stage()->StopBGM(fadeMs);
        }
    };
    l.isBGMStopped = [] { return Stage() == nullptr || Stage()->IsBGMStopped(); };
    l.playEventBGM = [](int32_t fadeMs, int32_t number) {
        if (Stage() != nullptr) {
            Stage()->PlayEventBGM(fadeMs, number);
        }
    };
    l.fadeInStageBGM = [] {
        if (Stage() != nullptr) {
            Stage()->FadeInStageBGM();
        }
    };
    l.playStageBGM = [] {
        if (Stage() != nullptr) {
            Stage()->PlayStageBGM();
        }
    };
    l.playMovie = [](const char *path) { PlayMovie(path); };
    l.stopMovie = [] { StopMovie(); };
    l.isMoviePlaying = [] { return IsMoviePlaying(); };
    l.heroCharacter = [](AiObject *hero) { return static_cast<CSHero *>(hero)->characterNumber; };
    l.addItem = [](int32_t list, int32_t itemId) {
        return Stage() != nullptr && Stage()->itemManager != nullptr && Stage()->itemManager->AddItem(list, itemId);
    };
    l.hasItem = [](int32_t list, int32_t itemId) {
        return Stage() != nullptr && Stage()->itemManager != nullptr && Stage()->itemManager->HasItem(list, itemId);
    };
    l.removeItem = [](int32_t list, int32_t itemId) {
        if (Stage() != nullptr && Stage()->itemManager != nullptr) {
            Stage()->itemManager->RemoveItem(list, itemId);
        }
    };
    l.setSceneEffectFlag = [](uint8_t flag) {
        if (Stage() != nullptr) {
            Stage()->SetSceneEffectFlag(flag);
        }
    };
    l.showItemPopup = [](int32_t itemId) { ScreensShowItemPopup(1, itemId); };
}

void ConnectEventCamera()
{
    g_eventLinks.saveCamera = [] {
        if (Stage() != nullptr && Stage()->camera != nullptr && g_pGameSystem != nullptr) {
            Stage()->camera->SaveMatrix(g_pGameSystem->camera);
        }
    };
    g_eventLinks.turnCamera = [](AiObject *actor, float seconds) {
        if (Stage() == nullptr || Stage()->camera == nullptr || g_pGameSystem == nullptr) {
            return;
        }
        if (actor != nullptr) {
            Stage()->camera->PrepareTimedMove(g_pGameSystem->camera, actor, seconds);
        } else {
            Stage()->camera->PrepareTimedMoveBack(g_pGameSystem->camera, seconds);
        }
    };
    g_eventLinks.cameraMode = [] { return Stage() != nullptr ? Stage()->cameraMode : 0; };
    g_eventLinks.setCameraMode = [](int32_t mode) {
        if (Stage() != nullptr) {
            Stage()->SetCameraMode(mode);
        }
    };
}

void ConnectEventStageChange()
{
    g_eventLinks.requestStageChange = [](int32_t target, int32_t flag, int32_t transitionMs) {
        if (g_pStageManager != nullptr) {
            g_pStageManager->RequestStageChange(target, static_cast<uint8_t>(flag),
                                                static_cast<uint32_t>(std::max(transitionMs, 0)));
        }
    };
}
