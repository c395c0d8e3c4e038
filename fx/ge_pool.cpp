// The pooled-instance mechanism of the general-effects pools (see ge_pool.h).
#include "fx/ge_pool.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/debug.h"
#include "fx/fx_clumps.h"
#include "fx/fx_links.h"
#include "fx/fx_trace.h"
#include "fx/mat_anim_manager.h"
#include "fx/node_anim_player.h"
#include "app/file.h"
#include "stage/clump_anim_manager.h"
#include "fx/particle_manager.h"

namespace {

constexpr int32_t kGeOwnerKind = 1;  // material animations of effect instances
constexpr float kRewardSpringTime = 0.5f;
constexpr float kRewardHomingSpeed = 60.0f;
constexpr float kRewardHomingSpeedMax = 240.0f;
constexpr float kRewardWaitLimit = 20.0f;

RwV3d Sub(const RwV3d &a, const RwV3d &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Length(const RwV3d &v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

std::string ModelPath(int32_t id)
{
    char path[96];
    std::snprintf(path, sizeof path, "\\RESOURCE\\FX\\%d\\%d.DFF", id, id);
    return path;
}

}  // namespace

CSGePool::CSGePool(GePoolId id) : facts_(&GeFacts(id)) {}

void CSGePool::Create(const GeServices &services)
{
    Release();
    services_ = services;
    std::string modelPath;
    if (facts_->bigShot) {
        char path[96];
        std::snprintf(path, sizeof path, "\\RESOURCE\\BIGSHOT\\%s.BSH", facts_->name);
        if (!LoadBigShotFile(path, &shot_)) {
            DebugPrint("CSGePool %s: no %s; its defaults are used\n", facts_->name, path);
        }
        if (shot_.model[0] != '\0') {
            std::string stem(shot_.model);
            stem = stem.substr(0, stem.find('.'));
            modelPath = "\\RESOURCE\\FX\\" + stem + "\\" + shot_.model;
        }
    } else if (facts_->model != 0) {
        modelPath = ModelPath(facts_->model);
    }
    if (!modelPath.empty()) {
        char folder[128];
        FxFolderOf(modelPath.c_str(), folder, sizeof folder);
        model_ = FxLoadClump(modelPath.c_str(), folder);
    }
    // A model that moves has its motions beside it.
    if (model_ != nullptr && facts_->motion >= 0 && facts_->model != 0 && services_.anims != nullptr) {
        char path[96];
        std::snprintf(path, sizeof path, "\\RESOURCE\\FX\\%d\\%d.ANM", facts_->model, facts_->model);
        if (zufexists(path) && services_.anims->LoadAMF(path) >= 0) {
            std::snprintf(animName_, sizeof animName_, "%d.ANM", facts_->model);
        }
    }
    instances_.assign(static_cast<size_t>(facts_->count), GeInstance{});
    for (GeInstance &instance : instances_) {
        instance.clump = CloneStageClump(model_);
        if (instance.clump != nullptr && animName_[0] != '\0') {
            services_.anims->AssignAnimation(instance.clump, animName_);  // 0 for a model without a skeleton
        }
        if (instance.clump != nullptr && services_.nodeAnims != nullptr) {
            services_.nodeAnims->Register(instance.clump);  // nothing when the model has none
        }
    }
}

void CSGePool::Release()
{
    for (GeInstance &instance : instances_) {
        if (instance.used) {
            End(&instance);
        }
        if (instance.clump != nullptr && services_.nodeAnims != nullptr) {
            services_.nodeAnims->Unregister(instance.clump);
        }
        if (instance.clump != nullptr && animName_[0] != '\0') {
            services_.anims->DissolveClump(instance.clump);
        }
        DestroyStageClump(instance.clump);
    }
    instances_.clear();
    if (animName_[0] != '\0') {
        services_.anims->ReleaseAnimation(animName_);
        animName_[0] = '\0';
    }
    DestroyStageClump(model_);
    model_ = nullptr;
}

GeInstance *CSGePool::FirstFree()
{
    for (GeInstance &i : instances_) {
        if (!i.used) {
            return &i;
        }
    }
    return nullptr;
}

GeInstance *CSGePool::Begin(const RwV3d &at)
{
    GeInstance *instance = BeginInstance(FirstFree(), at);
    if (instance != nullptr) {
        PlayStartSound();
    }
    return instance;
}

void CSGePool::PlayStartSound() const
{
    if (facts_->sound != 0) {
        FxPlaySound(facts_->sound);
    }
}

GeInstance *CSGePool::BeginInstance(GeInstance *instance, const RwV3d &at)
{
    if (instance == nullptr || instance->used) {
        return nullptr;
    }
    RpClump *clump = instance->clump;
    *instance = GeInstance{};
    instance->clump = clump;
    instance->used = true;
    instance->position = at;
    instance->from = at;
    instance->to = at;
    RwMatrixSetIdentity(&instance->matrix);
    instance->matrix.pos = at;
    instance->life = facts_->bigShot ? shot_.life : facts_->life;
    const char *names[3] = {facts_->particles[0], facts_->particles[1], facts_->particles[2]};
    if (facts_->bigShot) {
        names[0] = shot_.particle[0] != '\0' ? shot_.particle : nullptr;
    }
    for (int k = 0; k < 3; ++k) {
        if (names[k] != nullptr && services_.particles != nullptr) {
            instance->particles[k] = services_.particles->CreateSystem(names[k]);
            if (instance->particles[k] != nullptr) {
                instance->particles[k]->SetPosition(at);
            }
        }
    }
    if (instance->clump != nullptr && services_.nodeAnims != nullptr) {
        services_.nodeAnims->Rewind(instance->clump);
    }
    if (instance->clump != nullptr && animName_[0] != '\0') {
        services_.anims->ChangeMotion(instance->clump, facts_->motion, 0.0f);  // from its start
    }
    if (instance->clump != nullptr && facts_->matAnim != 0 && services_.matAnims != nullptr) {
        services_.matAnims->Start(instance, kGeOwnerKind, facts_->matAnim, instance->life, 0);
    }
    PlaceModel(instance);
    FxTraceStart(facts_->name, at);
    return instance;
}

GeInstance *CSGePool::BeginMatrix(const RwMatrix *matrix)
{
    GeInstance *instance = matrix != nullptr ? Begin(matrix->pos) : nullptr;
    if (instance != nullptr) {
        instance->matrix = *matrix;
        PlaceModel(instance);
    }
    return instance;
}

int32_t CSGePool::BeginRing(const RwV3d &centre, int32_t count, float radius, float phase, GeInstance **startedOut)
{
    int32_t started = 0;
    for (int32_t i = 0; i < count; ++i) {
        const float angle = phase + 6.28318531f * static_cast<float>(i) / static_cast<float>(count);
        const RwV3d at = {centre.x + radius * std::cos(angle), centre.y, centre.z + radius * std::sin(angle)};
        GeInstance *instance = BeginInstance(FirstFree(), at);
        if (instance == nullptr) {
            break;
        }
        if (startedOut != nullptr) {
            startedOut[started] = instance;
        }
        ++started;
    }
    if (started > 0) {
        PlayStartSound();
    }
    return started;
}

void CSGePool::End(GeInstance *instance)
{
    for (CSParticleSystem *&system : instance->particles) {
        if (system != nullptr) {
            system->StopEmit();
            system->Release();
            system = nullptr;
        }
    }
    if (services_.matAnims != nullptr) {
        services_.matAnims->Stop(instance);
    }
    instance->used = false;
    instance->owner = nullptr;
    instance->frame = nullptr;
}

void CSGePool::PlaceModel(GeInstance *instance)
{
    instance->matrix.pos = instance->position;
    if (instance->clump != nullptr) {
        RwMatrix m = instance->matrix;
        RwMatrixUpdateFlags(&m, nullptr);
        RwFrameTransform(RpClumpGetFrame(instance->clump), &m, rwCOMBINEREPLACE);
    }
    for (CSParticleSystem *system : instance->particles) {
        if (system != nullptr) {
            system->SetPosition(instance->position);
        }
    }
}

void CSGePool::HitHeroes(GeInstance *instance, float reach, int32_t attribute, int32_t damage)
{
    const int32_t heroes = FxHeroCount();
    for (int32_t h = 0; h < heroes && h < kMaxGeHeroes; ++h) {
        if ((instance->hitMask & (1u << h)) != 0) {
            continue;
        }
        AiObject *hero = FxHero(h);
        RwV3d at;
        if (hero == nullptr || !FxActorPosition(hero, &at)) {
            continue;
        }
        if (Length(Sub(at, instance->position)) <= reach) {
            instance->hitMask |= 1u << h;
            FxPost(2, nullptr, hero, 0, attribute, damage);
        }
    }
}

void CSGePool::UpdateReward(GeInstance *instance, float dt)
{
    if (!instance->homing) {
        // Springing out: a short hop under gravity away from the drop.
        instance->velocity.y -= kBallisticGravity * dt;
        instance->position.x += instance->velocity.x * dt;
        instance->position.y += instance->velocity.y * dt;
        instance->position.z += instance->velocity.z * dt;
        if (instance->position.y < instance->from.y) {
            instance->position.y = instance->from.y;
            instance->velocity = {0.0f, 0.0f, 0.0f};
        }
        instance->homing = instance->time >= kRewardSpringTime;
        return;
    }
    AiObject *nearest = nullptr;
    RwV3d target = {0.0f, 0.0f, 0.0f};
    float best = 0.0f;
    for (int32_t h = 0; h < FxHeroCount(); ++h) {
        AiObject *hero = FxHero(h);
        RwV3d at;
        if (hero == nullptr || !FxActorPosition(hero, &at)) {
            continue;
        }
        const float d = Length(Sub(at, instance->position));
        if (nearest == nullptr || d < best) {
            nearest = hero;
            target = at;
            best = d;
        }
    }
    if (nearest == nullptr) {
        // No hero to fly to: the piece waits where it lies, for a while.
        if (instance->time >= kRewardWaitLimit) {
            End(instance);
        }
        return;
    }
    const float speed = std::fmin(kRewardHomingSpeed * (1.0f + instance->time), kRewardHomingSpeedMax);
    const float step = speed * dt;
    if (best <= kRewardArrivalDistance || best <= step) {
        if (g_fxLinks.addStageEarnings != nullptr) {
            g_fxLinks.addStageEarnings(nearest, instance->amount);
        }
        if (g_fxLinks.showMoneyGain != nullptr) {
            g_fxLinks.showMoneyGain(instance->amount);
        }
        FxTraceReward(instance->amount, FxActorAiId(nearest));
        End(instance);
    } else {
        const RwV3d dir = Sub(target, instance->position);
        instance->position.x += dir.x / best * step;
        instance->position.y += dir.y / best * step;
        instance->position.z += dir.z / best * step;
    }
}

bool CSGePool::HitFirstHero(GeInstance *instance, float reach, int32_t attribute, int32_t damage)
{
    const int32_t heroes = FxHeroCount();
    for (int32_t h = 0; h < heroes && h < kMaxGeHeroes; ++h) {
        AiObject *hero = FxHero(h);
        RwV3d at;
        if (hero != nullptr && FxActorPosition(hero, &at) && Length(Sub(at, instance->position)) <= reach) {
            FxPost(2, nullptr, hero, 0, attribute, damage);
            return true;
        }
    }
    return false;
}

void CSGePool::UpdateBallistic(GeInstance *instance, float dt)
{
    instance->velocity.y -= kBallisticGravity * dt;
    instance->position.x += instance->velocity.x * dt;
    instance->position.y += instance->velocity.y * dt;
    instance->position.z += instance->velocity.z * dt;
    const bool landed = instance->velocity.y < 0.0f && instance->position.y <= instance->to.y;
    if (landed) {
        instance->position.y = instance->to.y;
    }
    // The projectile hits the first hero it touches on its way, or lands.
    if (HitFirstHero(instance, shot_.radius, shot_.attribute, shot_.damage) || landed) {
        End(instance);
    }
}

void CSGePool::Update(float dt)
{
    for (GeInstance &instance : instances_) {
        if (!instance.used) {
            continue;
        }
        instance.time += dt;
        switch (facts_->behaviour) {
        case kGeHoming:
            UpdateReward(&instance, dt);
            break;
        case kGeBallistic:
            UpdateBallistic(&instance, dt);
            break;
        case kGeFly: {
            const RwV3d path = Sub(instance.to, instance.from);
            const float length = Length(path);
            float t = 1.0f;
            if (shot_.speed > 0.0f && length > 0.0f) {
                t = std::fmin(instance.time * shot_.speed / length, 1.0f);
            } else if (instance.life > 0.0f) {
                t = std::fmin(instance.time / instance.life, 1.0f);
            }
            instance.position = {instance.from.x + path.x * t, instance.from.y + path.y * t,
                                 instance.from.z + path.z * t};
            break;
        }
        case kGeFollow:
        case kGeUntilStopped:
            if (instance.frame != nullptr) {
                instance.position = RwFrameGetLTM(instance.frame)->pos;
            } else if (instance.owner != nullptr) {
                FxActorPosition(instance.owner, &instance.position);
            }
            break;
        case kGeStill:
        case kGeBarrelBlast:
            break;
        }
        if (!instance.used) {
            continue;  // arrived or landed
        }
        if (instance.clump != nullptr && services_.nodeAnims != nullptr) {
            services_.nodeAnims->Advance(instance.clump, dt, kNodeAnimOnce);
        }
        if (instance.clump != nullptr && animName_[0] != '\0' && services_.anims->HoldsClump(instance.clump)) {
            services_.anims->UpdateClump(instance.clump, dt);
        }
        if (facts_->bigShot && facts_->behaviour != kGeBallistic) {
            HitHeroes(&instance, shot_.radius, shot_.attribute, shot_.damage);
        }
        PlaceModel(&instance);
        if (facts_->behaviour != kGeUntilStopped && instance.life > 0.0f && instance.time >= instance.life) {
            End(&instance);
        }
    }
}

void CSGePool::Render()
{
    for (GeInstance &instance : instances_) {
        if (!instance.used || instance.clump == nullptr) {
            continue;
        }
        if (services_.matAnims != nullptr && facts_->matAnim != 0) {
            services_.matAnims->RenderClump(&instance, instance.clump);
        } else {
            RpClumpRender(instance.clump);
        }
    }
}

void CSGePool::StopOwner(const AiObject *owner)
{
    for (GeInstance &instance : instances_) {
        if (instance.used && (owner == nullptr || instance.owner == owner)) {
            End(&instance);
        }
    }
}

int32_t CSGePool::InstancesInUse() const
{
    int32_t n = 0;
    for (const GeInstance &instance : instances_) {
        n += instance.used ? 1 : 0;
    }
    return n;
}
