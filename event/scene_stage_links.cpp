// The scenes' links to the running stage, its camera, actors, sounds and
// items, the screens and the shell (see scene_links.h).
#include "event/scene_stage_links.h"

#include "actor/ai_object.h"
#include "actor/item_manager.h"
#include "app/application.h"
#include "app/game_system.h"
#include "app/text_block.h"
#include "event/scene_links.h"
#include "fx/ge_manager.h"
#include "fx/ge_pools.h"
#include "fx/weather.h"
#include "stage/clump_anim_manager.h"
#include "stage/game_camera.h"
#include "stage/model_template.h"
#include "stage/sfx_manager.h"
#include "stage/stage_links.h"
#include "stage/stage_manager.h"
#include "stage/stage_screen_calls.h"
#include "ui/ui_manager.h"

namespace {

CSStageManager *StageManager() { return g_pStageManager; }

CSGameCamera *Camera() { return StageManager() != nullptr ? StageManager()->camera : nullptr; }

RwCamera *MainCamera() { return g_pGameSystem != nullptr ? g_pGameSystem->camera : nullptr; }

CSClumpAnimManager *ActorAnimations()
{
    return StageManager() != nullptr ? StageManager()->actorAnimations.get() : nullptr;
}

CSItemManager *Items() { return StageManager() != nullptr ? StageManager()->itemManager : nullptr; }

CSSFXManager *Sounds() { return StageManager() != nullptr ? StageManager()->sfxManager : nullptr; }

}  // namespace

void ConnectSceneLinks()
{
    SceneLinks &l = g_sceneLinks;
    l.keepAlive = ApplicationKeepAlive;
    l.setLoading = [](bool on) {
        if (g_stageScreens != nullptr && g_stageScreens->setLoadingFlag != nullptr) {
            g_stageScreens->setLoadingFlag(on ? 1 : 0);
        }
    };

    l.findActor = [](int32_t aiId) {
        return StageManager() != nullptr ? StageManager()->FindAiObjectById(aiId) : nullptr;
    };
    l.hasModel = [](AiObject *actor) { return actor->model != nullptr; };
    l.inHoldState = [](AiObject *actor) { return actor->holdState; };
    l.clump = [](AiObject *actor) { return actor->Clump(); };
    l.place = [](AiObject *actor, const RwV3d &position, bool home) {
        actor->SetPosition(position);
        if (home) {
            actor->home = position;
        }
        actor->SyncFrameAxes();
    };
    l.remove = [](AiObject *actor) { actor->Remove(); };
    l.setEventHeld = [](AiObject *actor) { actor->eventHeld = true; };
    l.releaseTypeEffects = [](AiObject *actor) { actor->ReleaseTypeEffects(); };
    l.keepUpdating = [](AiObject *actor, bool on) { actor->sceneActor = on; };

    l.loadAnimation = [](const char *path) {
        return ActorAnimations() != nullptr && ActorAnimations()->LoadAMF(path) >= 0;
    };
    l.releaseAnimation = [](const char *name) {
        if (ActorAnimations() != nullptr && name != nullptr) {
            ActorAnimations()->ReleaseAnimation(name);
        }
    };
    l.playAnimation = [](RpClump *clump, const char *name) {
        CSClumpAnimManager *anims = ActorAnimations();
        return anims != nullptr && anims->AssignAnimation(clump, name) != 0 && anims->ChangeMotion(clump, 0, 0.0f);
    };
    l.advanceAnimation = [](RpClump *clump, float seconds) {
        if (ActorAnimations() != nullptr) {
            ActorAnimations()->UpdateClump(clump, seconds);
        }
    };
    l.returnAnimation = [](AiObject *actor, RpClump *clump) {
        CSClumpAnimManager *anims = ActorAnimations();
        if (anims == nullptr) {
            return;
        }
        // The clump is a clone of the actor's model (held or given back to
        // its pool): it takes the model's own animation again.
        const CSModelTemplate *own = actor->modelTemplate;
        if (own != nullptr && own->GetAnimManager() == anims &&
            anims->AssignAnimation(clump, own->GetAnimationName().c_str()) != 0) {
            if (actor->Clump() == clump) {
                actor->PlayAnimation(actor->state);
            }
            return;
        }
        anims->DissolveClump(clump);
    };

    l.setActorUpdate = [](uint8_t on) {
        if (StageManager() != nullptr) {
            StageManager()->actorUpdate = on;
        }
    };
    l.blendGameSpeed = [](float speed) {
        if (StageManager() != nullptr) {
            StageManager()->BlendGameSpeedTo(speed);
        }
    };
    l.letterboxAtOnce = [](bool show) {
        if (show) {
            StageShowLetterbox(0);
        } else {
            StageHideLetterbox(0);
        }
    };

    l.loadCamera = [](const char *model, const char *animation) {
        return Camera() != nullptr && Camera()->LoadEventClump(model, animation);
    };
    l.unloadCamera = [](const char *model) {
        if (Camera() != nullptr) {
            Camera()->UnloadEventClump(model);
        }
    };
    l.cameraEnded = [] { return Camera() == nullptr || Camera()->EventAnimationEnded(); };
    l.cameraTime = [] { return Camera() != nullptr ? Camera()->EventAnimationTime() : 0.0f; };
    l.advanceCamera = [](float seconds) {
        if (Camera() != nullptr) {
            Camera()->AdvanceEventClump(seconds);
        }
    };
    l.restoreCamera = [] {
        if (Camera() != nullptr && Camera()->HasSavedMatrix()) {
            Camera()->RestoreMatrix(MainCamera());
        }
    };
    l.blendCamera = [](bool intoScene, float seconds) {
        if (Camera() == nullptr) {
            return;
        }
        if (intoScene) {
            Camera()->BlendToScene(MainCamera(), seconds);
        } else {
            Camera()->BlendFromScene(MainCamera(), seconds);
        }
    };

    l.addSounds = [](const int32_t *ids, int32_t count) {
        if (Sounds() != nullptr) {
            Sounds()->AddSFXList(ids, count);
        }
    };
    l.releaseSounds = [](const int32_t *ids, int32_t count) {
        if (Sounds() != nullptr) {
            Sounds()->ReleaseSFXList(ids, count);
        }
    };
    l.hasItem = [](int32_t item) { return Items() != nullptr && Items()->HasItem(0, item); };
    l.removeItem = [](int32_t item) {
        if (Items() != nullptr) {
            Items()->RemoveItem(0, item);
        }
    };
    l.itemPopupShown = [] { return g_pUIManager != nullptr && g_pUIManager->IsItemPopupShown(); };
    l.takeTextBlock = []() -> CSTextBlock * {
        return g_pGameSystem != nullptr ? g_pGameSystem->textBlocks.Acquire() : nullptr;
    };

    l.startEffect = [](int32_t which, const RwV3d &at, RpClump *turnedAs) {
        CCGEManager *effects = StageManager() != nullptr ? StageManager()->geManager : nullptr;
        if (effects == nullptr) {
            return;
        }
        if (which == 0 && effects->ring3405400 != nullptr) {
            const RwV3d up = {0.0f, 1.0f, 0.0f};
            effects->ring3405400->Start(at, up);
        } else if (which == 1 && effects->flush != nullptr) {
            RwFrame *frame = turnedAs != nullptr ? RpClumpGetFrame(turnedAs) : nullptr;
            RwMatrix placed{};
            if (frame != nullptr) {
                placed = *RwFrameGetLTM(frame);
            } else {
                RwMatrixSetIdentity(&placed);
            }
            placed.pos = at;
            effects->flush->Start(&placed);
        }
    };
    l.unloadRain = [] {
        if (StageManager() != nullptr && StageManager()->weather != nullptr) {
            StageManager()->weather->Unload();
        }
    };
}
