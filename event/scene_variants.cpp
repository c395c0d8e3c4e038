// The single scenes' additions to the scene update: the smoke of 79022000
// and 79032000, the actor 79041800 takes away, the model 79041500 plays,
// the flash of 79061600, the rain 79342100 stops, and the stage change
// after 79361900 and 79362000.
#include <cstring>
#include <string>

#include "app/memory.h"
#include "app/path.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_models.h"
#include "event/ingame_anm_event.h"
#include "event/scene_links.h"
#include "stage/clump_anim_manager.h"

namespace {

constexpr int32_t kRemovedBy79041800 = 13;
constexpr float kFlashAt = 10.0f;
constexpr int32_t kSmoke = 0;
constexpr int32_t kFlash = 1;

uint8_t &FlagOf(CSInGameAnmEvent *scene) { return static_cast<CSInGameAnmEventWithFlag *>(scene)->ExtraFlag; }

void StartEffect(int32_t which, const RwV3d &at, RpClump *turnedAs)
{
    if (g_sceneLinks.startEffect != nullptr) {
        g_sceneLinks.startEffect(which, at, turnedAs);
    }
}

// 79041500: once the blend-in is over, its own model plays motion 0 to its end.
void Step79041500(CSInGameAnm79041500 *scene, float dt)
{
    CSClumpAnimManager *anims = g_eventLinks.eventAnims != nullptr ? g_eventLinks.eventAnims() : nullptr;
    RpClump *model = scene->ModelNum > 0 && scene->Models != nullptr ? scene->Models[0] : nullptr;
    if (anims == nullptr || model == nullptr || scene->Done[0] == 0 || scene->AnimationName == nullptr) {
        return;
    }
    if (scene->ExtraFlag == 0) {
        scene->ExtraFlag = 1;
        if (anims->AssignAnimation(model, scene->AnimationName) != 0) {
            anims->ChangeMotion(model, 0, 0.0f);
        }
    }
    if (anims->HoldsClump(model) && !anims->HasMotionEnded(model)) {
        anims->UpdateClump(model, dt);
    }
}

}  // namespace

void UpdateSceneEvent(CSInGameAnmEvent *scene, float dt)
{
    if (scene->variant == EventVariant::k79342100 && g_sceneLinks.unloadRain != nullptr) {
        g_sceneLinks.unloadRain();
    }
    scene->Update(dt);
    switch (scene->variant) {
    case EventVariant::k79022000:
        if (scene->RunState == 5 && FlagOf(scene) == 0 && scene->SceneActor(0) != nullptr) {
            RwV3d at = {0.0f, 0.0f, 0.0f};
            RwV3d facing = {0.0f, 0.0f, 1.0f};
            EventActorPose(scene->SceneActor(0), &at, &facing);
            StartEffect(kSmoke, at, nullptr);
            FlagOf(scene) = 1;
        }
        break;
    case EventVariant::k79041800:
        if (scene->FirstUpdateDone == 0) {
            scene->FirstUpdateDone = 1;
            AiObject *actor = g_sceneLinks.findActor != nullptr ? g_sceneLinks.findActor(kRemovedBy79041800) : nullptr;
            if (actor != nullptr && g_sceneLinks.remove != nullptr) {
                g_sceneLinks.remove(actor);
            }
        }
        break;
    case EventVariant::k79041500:
        Step79041500(static_cast<CSInGameAnm79041500 *>(scene), dt);
        break;
    case EventVariant::k79061600:
        if (scene->CameraLength >= kFlashAt && FlagOf(scene) == 0 && scene->SceneActorCount() >= 3) {
            const InGameAnmKey &third = scene->Keys[2];
            StartEffect(kFlash, third.End, third.Clump);
            FlagOf(scene) = 1;
        }
        break;
    default:
        break;
    }
}

void LoadScene79041500(CSInGameAnm79041500 *scene)
{
    scene->ExtraFlag = 0;
    LoadEventModel(scene);
    CSClumpAnimManager *anims = g_eventLinks.eventAnims != nullptr ? g_eventLinks.eventAnims() : nullptr;
    if (anims == nullptr || scene->Label == nullptr || std::strcmp(scene->Label, "none") == 0) {
        return;
    }
    const std::string name = std::string(scene->Label) + ".ANM";
    const std::string path = std::string(GetDataRootPath()) + "\\RESOURCE\\G_EVENT\\ANM\\" + name;
    if (anims->LoadAMF(path.c_str()) >= 0) {
        zuStrFree(scene->AnimationName);
        scene->AnimationName = zuStrDup(name.c_str());
    }
}

void ReleaseScene79041500(CSInGameAnm79041500 *scene)
{
    CSClumpAnimManager *anims = g_eventLinks.eventAnims != nullptr ? g_eventLinks.eventAnims() : nullptr;
    if (anims != nullptr) {
        if (scene->ModelNum > 0 && scene->Models != nullptr && scene->Models[0] != nullptr) {
            anims->DissolveClump(scene->Models[0]);
        }
        if (scene->AnimationName != nullptr) {
            anims->ReleaseAnimation(scene->AnimationName);
        }
    }
    zuStrFree(scene->AnimationName);
    scene->AnimationName = nullptr;
}
