// The toxic gas vents (see toxic_gas_event.h).
#include "event/toxic_gas_event.h"

#include <algorithm>
#include <cmath>

#include "actor/ai_message.h"
#include "app/debug.h"
#include "event/event_blocks.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_models.h"
#include "fx/particle_manager.h"
#include "rpusrdat.h"
#include "rpworld.h"

namespace {

constexpr float kTimerCeiling = 1000.0f;

struct OutletSearch {
    GasOutlets *outlets;
};

// Frames that carry user data are the outlets, depth first from the root.
RwFrame *CollectOutlet(RwFrame *frame, void *data)
{
    auto *search = static_cast<OutletSearch *>(data);
    GasOutlets *outlets = search->outlets;
    int32_t found = 0;
    for (int32_t i = 0; i < outlets->count; ++i) {
        found += outlets->frames[i] != nullptr ? 1 : 0;
    }
    if (found < outlets->count && RpUserDataFrameGetNumArrays(frame) > 0) {
        outlets->frames[found] = frame;
    }
    RwFrameForAllChildren(frame, CollectOutlet, data);
    return frame;
}

char *CopyName(const char *name) { return name != nullptr ? zuStrDup(name) : nullptr; }

}  // namespace

void CSToxicGasEvent::LoadParticles(int32_t outletCount, const char *first, const char *second)
{
    Release();
    ChainTimer = ChainTimer2 = CycleTimer = HurtTimer = 0.0f;
    Emitting = 0;
    ViewTraced = -1;
    PlayerTimers[0] = PlayerTimers[1] = 2.0f;
    File1 = CopyName(first);
    File2 = CopyName(second);
    LoadEventModel(this);
    Outlets = NewEventBlock<GasOutlets>(1);
    Outlets->count = std::clamp(outletCount, 0, kGasMaxOutlets);
    RpClump *model = Models != nullptr && ModelNum > 0 ? Models[0] : nullptr;
    if (model != nullptr) {
        OutletSearch search = {Outlets};
        RwFrameForAllChildren(RpClumpGetFrame(model), CollectOutlet, &search);
        RwBBox box;
        if (EventModelBounds(model, &box)) {
            Outlets->centre = {(box.inf.x + box.sup.x) * 0.5f, (box.inf.y + box.sup.y) * 0.5f,
                               (box.inf.z + box.sup.z) * 0.5f};
            const RwV3d diagonal = {box.sup.x - box.inf.x, box.sup.y - box.inf.y, box.sup.z - box.inf.z};
            Outlets->radius = 0.5f * std::sqrt(diagonal.x * diagonal.x + diagonal.y * diagonal.y +
                                               diagonal.z * diagonal.z);
        }
    }
    if (Param >= 1000000) {
        StartInterval = static_cast<float>(Param / 1000000) * 0.1f;
        HurtWindow = static_cast<float>((Param / 1000) % 1000) * 0.1f;
        Damage = Param % 1000;
    } else {
        StartInterval = 0.5f;
        HurtWindow = 3.0f;
        Damage = 1;
    }
    Systems1 = NewEventBlock<CSParticleSystem *>(static_cast<size_t>(Outlets->count));
    if (File2 != nullptr) {
        Systems2 = NewEventBlock<CSParticleSystem *>(static_cast<size_t>(Outlets->count));
    }
}

void CSToxicGasEvent::GiveBackSystems()
{
    const int32_t count = Outlets != nullptr ? Outlets->count : 0;
    for (CSParticleSystem **systems : {Systems1, Systems2}) {
        for (int32_t i = 0; systems != nullptr && i < count; ++i) {
            if (systems[i] != nullptr) {
                systems[i]->StopEmit();
                systems[i]->Release();
                systems[i] = nullptr;
            }
        }
    }
}

void CSToxicGasEvent::Release()
{
    GiveBackSystems();
    FreeEventBlock(Systems1);
    FreeEventBlock(Systems2);
    FreeEventBlock(Outlets);
    zuStrFree(File1);
    zuStrFree(File2);
    File1 = nullptr;
    File2 = nullptr;
}

void CSToxicGasEvent::StartOutlet(int32_t outlet)
{
    for (CSParticleSystem **systems : {Systems1, Systems2}) {
        CSParticleSystem *system = systems != nullptr ? systems[outlet] : nullptr;
        if (system == nullptr) {
            continue;
        }
        system->SetEmitting(true, 1.0f);
        system->displayMode[0] = kPrtDrawAfterWorld;
        system->displayMode[1] = kPrtFollowEmitter;
        system->AttachToFrame(Outlets->frames[outlet]);
    }
    Outlets->started[outlet] = 1;
    Emitting = 1;
}

void CSToxicGasEvent::StepChain(int32_t first, int32_t last, float *timer, float dt)
{
    for (int32_t i = first; i <= last; ++i) {
        if (Outlets->started[i] != 0) {
            continue;
        }
        if (i == first || *timer >= StartInterval) {
            StartOutlet(i);
            *timer = 0.0f;
        } else {
            *timer += dt;
        }
        return;
    }
}

uint8_t CSToxicGasEvent::Check(float dt)
{
    for (float &timer : PlayerTimers) {
        if (timer <= kTimerCeiling) {
            timer += dt;
        }
    }
    if (Outlets == nullptr) {
        return 0;
    }
    const bool inView = EventInView(Outlets->centre, Outlets->radius);
    if (ViewTraced != (inView ? 1 : 0)) {
        ViewTraced = inView ? 1 : 0;
        EventTraceStep(this, "view", ViewTraced);
    }
    if (!inView) {
        GiveBackSystems();
        HurtTimer = 0.0f;
        Emitting = 0;
        return 0;
    }
    CSParticleManager *particles = g_eventLinks.particles != nullptr ? g_eventLinks.particles() : nullptr;
    for (int32_t i = 0; particles != nullptr && i < Outlets->count; ++i) {
        if (Systems1[i] == nullptr && File1 != nullptr) {
            Systems1[i] = particles->CreateSystem(File1);
            if (Systems1[i] == nullptr) {
                DebugPrint("ToxicGasEvent%d 1st Partical%d is not get\n", EventID, i);
            } else {
                Systems1[i]->SetEmitting(false, 0.0f);  // until its outlet starts
            }
        }
        if (Systems2 != nullptr && Systems2[i] == nullptr) {
            Systems2[i] = particles->CreateSystem(File2);
            if (Systems2[i] == nullptr) {
                DebugPrint("ToxicGasEvent%d 2st Partical%d is not get\n", EventID, i);
            } else {
                Systems2[i]->SetEmitting(false, 0.0f);
            }
        }
    }
    if (Outlets->count == kGasMaxOutlets) {
        StepChain(0, 2, &ChainTimer, dt);
        StepChain(3, 5, &ChainTimer2, dt);
    } else if (Outlets->count > 0) {
        StepChain(0, Outlets->count - 1, &ChainTimer, dt);
    }
    const bool all = std::all_of(Outlets->started, Outlets->started + Outlets->count, [](uint8_t s) { return s != 0; });
    if (all) {
        std::fill(Outlets->started, Outlets->started + Outlets->count, uint8_t{0});
    }
    if (Emitting == 0) {
        return 0;
    }
    HurtTimer += dt;
    if (HurtTimer > HurtWindow) {
        HurtTimer = 0.0f;
        SoundDone = 0;
        Emitting = 0;
        return 0;
    }
    return 1;
}

void CSToxicGasEvent::Update(float)
{
    if (HurtTimer < HurtWindow + kGasHurtEvery) {
        for (int32_t s = 0; s < kEventPlayers; ++s) {
            if (InArea[s] == 1 && PlayerTimers[s] >= kGasHurtEvery) {
                EventPost(kMsgHitHero, EventHero(s), 0, kAtkStageHazard | kAtkBurn, Damage);
                PlayerTimers[s] = 0.0f;
            }
        }
    }
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}

void CSToxicGasEvent::Step(float)
{
    if (Emitting != 0) {
        EventPlaySoundOnce(this, kGasSound);
    }
}
