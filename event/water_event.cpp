// The water events (see water_event.h).
#include "event/water_event.h"

#include <cmath>
#include <cstring>
#include <string>

#include "actor/ai_message.h"
#include "app/path.h"
#include "event/event_blocks.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_models.h"
#include "fx/node_anim_player.h"
#include "fx/particle_manager.h"
#include "fx/xdt_model_chain.h"
#include "rpworld.h"
#include "stage/clump_anim_manager.h"

namespace {

constexpr const char *kSprayFiles[kWaterCorners] = {"3514102.ZUS", "3514102.ZUS", "3514100.ZUS", "3514100.ZUS"};
constexpr float kWaterTimerCeiling = 1000.0f;

CSParticleManager *Particles() { return g_eventLinks.particles != nullptr ? g_eventLinks.particles() : nullptr; }
CSNodeAnimPlayer *NodePlayer() { return g_eventLinks.nodeAnims != nullptr ? g_eventLinks.nodeAnims() : nullptr; }
CSClumpAnimManager *EventAnimations()
{
    return g_eventLinks.eventAnims != nullptr ? g_eventLinks.eventAnims() : nullptr;
}
CSXdtModelChain *Chain() { return g_eventLinks.waterModels != nullptr ? g_eventLinks.waterModels() : nullptr; }

// "TWATER.XDT" -> "TWATER.ANM".
char *AnimationNameOf(const char *label)
{
    std::string name = label != nullptr ? label : "";
    name = name.substr(0, name.find('.')) + ".ANM";
    return zuStrDup(name.c_str());
}

}  // namespace

void CSWaterEvent::Load()
{
    Release();
    Clock = kWaterFirstClock;
    ViewTraced = -1;
    Word = 0;
    Risen = 0;
    HurtTimers[0] = HurtTimers[1] = 10.0f;
    WaterTime = 0.0f;
    Water = NewEventBlock<WaterObject>(1);
    Water->owner = this;
    Water->corners.height = kWaterLevelAtLoad;
    if (Param < 1000) {
        Interval = 10.0f;
        Damage = 10;
    } else {
        Interval = static_cast<float>(Param / 1000) * 0.1f;
        Damage = Param % 1000;
    }
    AnimationName = AnimationNameOf(Label);
    CSXdtModelChain *chain = Chain();
    if (chain == nullptr) {
        return;
    }
    const std::string path = std::string(GetDataRootPath()) + kWaterModelPath;
    RpWorld *world = g_eventLinks.world != nullptr ? g_eventLinks.world() : nullptr;
    Water->model = chain->Add(world, path.c_str());
    Water->clump = Water->model != nullptr ? Water->model->Clump() : nullptr;
    if (Water->clump == nullptr) {
        return;
    }
    PlaceEventModel(this, Water->clump);
    Water->model->Show(true);
    Water->position = RwFrameGetLTM(RpClumpGetFrame(Water->clump))->pos;
    if (EventModelBounds(Water->clump, &Water->box)) {
        const RwV3d span = {Water->box.sup.x - Water->box.inf.x, Water->box.sup.y - Water->box.inf.y,
                            Water->box.sup.z - Water->box.inf.z};
        Water->radius = 0.5f * std::sqrt(span.x * span.x + span.y * span.y + span.z * span.z);
    }
    FindWaterCorners(Water->clump, &Water->corners);
    if (CSNodeAnimPlayer *nodes = NodePlayer()) {
        nodes->Register(Water->clump);
    }
    if (CSClumpAnimManager *animations = EventAnimations()) {
        const std::string anm = std::string(GetDataRootPath()) + kEventAnimationFolder + AnimationName;
        if (animations->LoadAMF(anm.c_str()) >= 0) {
            AnimationLoaded = 1;
            animations->AssignAnimation(Water->clump, AnimationName);
            animations->ChangeMotion(Water->clump, 0, 0.0f);
        }
    }
}

void CSWaterEvent::ReleaseSystems()
{
    for (CSParticleSystem *&system : Water->systems) {
        if (system != nullptr) {
            system->StopEmit();
            system->Release();
            system = nullptr;
        }
    }
}

// Back to rest: the spray given back, the model and its node animation
// rewound, the water down.
void CSWaterEvent::Rest()
{
    ReleaseSystems();
    if (Water->model != nullptr) {
        Water->model->ResetTime();
    }
    if (CSNodeAnimPlayer *nodes = NodePlayer()) {
        nodes->Rewind(Water->clump);
    }
    Water->active = 0;
    Risen = 0;
    SoundDone = 0;
}

uint8_t CSWaterEvent::Check(float dt)
{
    for (float &timer : HurtTimers) {
        if (timer <= kWaterTimerCeiling) {
            timer += dt;
        }
    }
    if (Water == nullptr) {
        return 0;
    }
    const bool inView = EventInView(Water->position, Water->radius);
    if (ViewTraced != (inView ? 1 : 0)) {
        ViewTraced = inView ? 1 : 0;
        EventTraceStep(this, "view", ViewTraced);
    }
    if (!inView) {
        Rest();
    }
    Clock += dt;
    if (CSParticleManager *particles = Particles()) {
        for (int32_t i = 0; i < kWaterCorners; ++i) {
            if (Water->systems[i] == nullptr) {
                Water->systems[i] = particles->CreateSystem(kSprayFiles[i]);
                if (Water->systems[i] != nullptr) {
                    Water->systems[i]->SetEmitting(false, 0.0f);  // until the next surge
                }
            }
        }
    }
    if (Clock >= Interval) {
        for (int32_t i = 0; i < kWaterCorners; ++i) {
            CSParticleSystem *system = Water->systems[i];
            if (system == nullptr) {
                continue;
            }
            system->SetEmitting(true, 1.0f);
            system->displayMode[0] = kPrtDrawAfterWorld;
            system->displayMode[1] = kPrtFollowEmitter;
            if (Water->corners.frames[i] != nullptr) {
                system->AttachToFrame(Water->corners.frames[i]);
                RwMatrix atFrame;
                RwMatrixSetIdentity(&atFrame);
                system->SetMatrix(&atFrame);
            } else {
                system->AttachToFrame(nullptr);
                system->SetPosition(Water->position);  // a corner not found: the water's position
            }
        }
        // A surge out of view makes no sound.
        Risen = inView ? 1 : 0;
        Water->active = 1;
        Clock = 0.0f;
    }
    if (Water->active == 0) {
        return 0;
    }
    CSNodeAnimPlayer *nodes = NodePlayer();
    CSClumpAnimManager *animations = EventAnimations();
    if (nodes == nullptr || nodes->IsFinished(Water->clump) != 0) {
        if (animations != nullptr) {
            animations->ChangeMotion(Water->clump, 0, 0.0f);
        }
        if (nodes != nullptr) {
            nodes->Rewind(Water->clump);
        }
        if (Water->model != nullptr) {
            Water->model->ResetTime();
        }
        Water->active = 0;
        // The next surge's rise plays the sound again (not the fall of this one).
        Risen = 0;
        SoundDone = 0;
        return 0;
    }
    if (animations != nullptr) {
        animations->UpdateClump(Water->clump, dt);
    }
    nodes->Advance(Water->clump, dt, kNodeAnimOnce);
    if (Water->model != nullptr) {
        Water->model->Advance(dt * 1000.0f);
    }
    WaterTime = (Water->model != nullptr ? Water->model->TimeMs() : 0.0f) * 0.001f;
    return WaterTime > kWaterRiseFrom && WaterTime < kWaterRiseUntil ? 1 : 0;
}

void CSWaterEvent::Update(float)
{
    for (int32_t s = 0; s < kEventPlayers; ++s) {
        if (InArea[s] != 1 || HurtTimers[s] < kWaterHurtEvery) {
            continue;
        }
        if (WaterTime < kWaterHurtUntil) {
            EventPost(kMsgHitHero, EventHero(s), 0, kAtkStageHazard | kAtkPoison, Damage);
            HurtTimers[s] = 0.0f;
        }
    }
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}

void CSWaterEvent::Step(float)
{
    if (Risen == 1) {
        EventPlaySoundOnce(this, kWaterSound);
    }
}

void CSWaterEvent::Release()
{
    if (Water != nullptr) {
        ReleaseSystems();
        if (Water->clump != nullptr) {
            if (CSNodeAnimPlayer *nodes = NodePlayer()) {
                nodes->Unregister(Water->clump);
            }
            if (CSClumpAnimManager *animations = EventAnimations()) {
                animations->DissolveClump(Water->clump);
                if (AnimationLoaded != 0 && AnimationName != nullptr) {
                    animations->ReleaseAnimation(AnimationName);
                }
            }
        }
        if (CSXdtModelChain *chain = Chain()) {
            chain->Remove(Water->model);
        }
        FreeEventBlock(Water);
    }
    zuStrFree(AnimationName);
    AnimationName = nullptr;
    AnimationLoaded = 0;
}
