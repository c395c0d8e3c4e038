// The particle templates and their pools (see particle_manager.h).
#include "fx/particle_manager.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "app/debug.h"
#include "app/textures.h"
#include "fx/particle_set_file.h"

namespace {

constexpr RwUInt32 kEmitterClassFlags = 0x33;
constexpr RwUInt32 kParticleClassFlags = 0x67;
constexpr RwInt32 kBatchSize = 100;

template <typename T>
T *Property(RpPrtStdEmitter *emitter, RwInt32 id)
{
    return static_cast<T *>(RpPrtStdEmitterGetProperty(emitter, id));
}

RwRGBAReal Real(RwRGBA c)
{
    return {static_cast<RwReal>(c.red), static_cast<RwReal>(c.green), static_cast<RwReal>(c.blue),
            static_cast<RwReal>(c.alpha)};
}

void SetUpEmitter(RpPrtStdEmitter *emitter, const ZusDesc &d, RwTexture *texture)
{
    auto *s = Property<RpPrtStdEmitterStandard>(emitter, 1);
    auto *colour = Property<RpPrtStdEmitterPrtColor>(emitter, 2);
    auto *size = Property<RpPrtStdEmitterPrtSize>(emitter, 5);
    auto *tank = Property<RpPrtStdEmitterPTank>(emitter, 6);
    s->maxPrt = d.maxParticles;
    s->force = d.gravity;
    s->emtPos = {0.0f, 0.0f, 0.0f};
    s->emtSize = d.emitterSize;
    s->emtEmitGap = 0.0f;
    const float speed = std::sqrt(d.velocity.x * d.velocity.x + d.velocity.y * d.velocity.y +
                                  d.velocity.z * d.velocity.z);
    s->prtInitVel = speed;
    s->prtInitVelVar = 0.0f;
    s->prtLife = d.life;
    s->prtLifeVar = 0.0f;
    s->prtInitDir = speed > 0.0f ? RwV3d{d.velocity.x / speed, d.velocity.y / speed, d.velocity.z / speed}
                                 : RwV3d{0.0f, 1.0f, 0.0f};
    // Each component of the direction varies before it is normalised; the
    // tangent of the spread angle turns a unit direction by about it.
    const float spread = std::min(d.spread, 89.0f) * 3.14159265f / 180.0f;
    const float var = d.spread >= 90.0f ? 4.0f : std::tan(spread);
    s->prtInitDirVar = {var, var, var};
    s->prtSize = {d.sizeStart, d.sizeStart};
    s->prtColor = d.colourStart;
    s->texture = texture != nullptr ? RwTextureAddRef(texture) : nullptr;
    const RwRGBAReal start = Real(d.colourStart);
    const RwRGBAReal end = Real(d.colourEnd);
    *colour = {start, {0, 0, 0, 0}, end, {0, 0, 0, 0}};
    *size = {{d.sizeStart, d.sizeStart}, {0.0f, 0.0f}, {d.sizeEnd, d.sizeEnd}, {0.0f, 0.0f}};
    tank->srcBlend = rwBLENDSRCALPHA;
    tank->dstBlend = d.blend == kZusBlendAlpha ? rwBLENDINVSRCALPHA : rwBLENDONE;
    tank->vtxAlphaBlend = TRUE;
    // Every copy owns the texture reference it holds.
    emitter->flag |= rpPRTSTDEMITTERFLAGSTREAMREAD;
}

}  // namespace

RpAtomic *BuildParticleAtomic(const ZusDesc &desc, RwTexture *texture)
{
    RpPrtStdEmitterClass *emtClass = RpPrtStdEmitterClassCreate(kEmitterClassFlags);
    RpPrtStdParticleClass *prtClass = RpPrtStdParticleClassCreate(kParticleClassFlags);
    RpAtomic *atomic =
        emtClass != nullptr && prtClass != nullptr ? RpPrtStdAtomicCreate(emtClass, nullptr) : nullptr;
    RwFrame *frame = atomic != nullptr ? RwFrameCreate() : nullptr;
    if (frame != nullptr) {
        RpPrtStdEmitter *emitter = RpPrtStdAtomicGetEmitter(atomic);
        RpPrtStdEmitterSetParticleClass(emitter, prtClass, kBatchSize);
        SetUpEmitter(emitter, desc, texture);
        RpAtomicSetFrame(atomic, frame);
    } else if (atomic != nullptr) {
        RpAtomicDestroy(atomic);
        atomic = nullptr;
    }
    // The emitter holds its own references to both classes.
    if (prtClass != nullptr) {
        RpPrtStdParticleClassDestroy(prtClass);
    }
    if (emtClass != nullptr) {
        RpPrtStdEmitterClassDestroy(emtClass);
    }
    return atomic;
}

void DestroyParticleAtomic(RpAtomic *atomic)
{
    if (atomic == nullptr) {
        return;
    }
    RwFrame *frame = RpAtomicGetFrame(atomic);
    RpAtomicSetFrame(atomic, nullptr);
    RpAtomicDestroy(atomic);
    if (frame != nullptr) {
        RwFrameDestroy(frame);
    }
}

CSParticleTemplate::~CSParticleTemplate() { DestroyParticleAtomic(source_); }

bool CSParticleManager::AddTemplate(const char *name, const ZusDesc &desc, int32_t count, bool stage)
{
    if (name == nullptr || *name == '\0' || FindTemplate(name) != nullptr) {
        DebugPrint("CSParticleManager: template '%s' is refused (empty or loaded already)\n", name ? name : "");
        return false;
    }
    RwTexture *texture = desc.texture[0] != '\0' ? LoadTextureWithMask(desc.texture, nullptr) : nullptr;
    if (desc.texture[0] != '\0' && texture == nullptr) {
        DebugPrint("CSParticleManager: %s: texture %s is missing; drawn untextured\n", name, desc.texture);
    }
    auto tpl = std::make_unique<CSParticleTemplate>();
    tpl->name_ = name;
    tpl->desc_ = desc;
    tpl->stage_ = stage;
    tpl->source_ = BuildParticleAtomic(desc, texture);
    DestroyTexture(texture);  // the emitter holds its own reference
    if (tpl->source_ == nullptr) {
        DebugPrint("CSParticleManager: %s could not be built\n", name);
        return false;
    }
    tpl->saved_ = *static_cast<RpPrtStdEmitterStandard *>(
        RpPrtStdEmitterGetProperty(RpPrtStdAtomicGetEmitter(tpl->source_), 1));
    for (int32_t i = 0; i < count; ++i) {
        auto system = std::make_unique<CSParticleSystem>();
        if (!system->Build(tpl.get(), tpl->source_)) {
            DebugPrint("CSParticleManager: %s: copy %d could not be made\n", name, i);
            break;
        }
        tpl->systems_.push_back(system.get());
        records_.push_back(std::move(system));
    }
    templates_.push_back(std::move(tpl));
    return true;
}

bool CSParticleManager::LoadSet(const char *pssPath, const char *zusFolder, bool stage)
{
    ParticleSet set;
    if (!LoadParticleSetFile(pssPath, &set)) {
        return false;
    }
    // Textures not in the open pack lie beside the particle files.
    const std::string imagePath = std::string(zusFolder) + "\\";
    RwImageSetPath(imagePath.c_str());
    for (const ParticleKind &kind : set.kinds) {
        const std::string path = std::string(zusFolder) + "\\" + kind.name;
        ZusDesc desc;
        if (!LoadZusFile(path.c_str(), &desc)) {
            continue;  // a missing template file leaves the template out
        }
        AddTemplate(kind.name, desc, kind.count, stage);
    }
    return true;
}

void CSParticleManager::ReleaseTemplates(bool stageOnly)
{
    for (auto it = templates_.begin(); it != templates_.end();) {
        if (stageOnly && !(*it)->stage_) {
            ++it;
            continue;
        }
        for (CSParticleSystem *system : (*it)->systems_) {
            system->Retire();
        }
        it = templates_.erase(it);
    }
}

void CSParticleManager::ReleaseStageTemplates() { ReleaseTemplates(true); }

void CSParticleManager::ReleaseAll()
{
    ReleaseTemplates(false);
    records_.clear();
}

CSParticleTemplate *CSParticleManager::FindTemplate(const char *name) const
{
    if (name == nullptr) {
        return nullptr;
    }
    for (const auto &tpl : templates_) {
        if (std::strcmp(tpl->name_.c_str(), name) == 0) {
            return tpl.get();
        }
    }
    return nullptr;
}

CSParticleSystem *CSParticleManager::CreateSystem(const char *name, int32_t)
{
    CSParticleTemplate *tpl = FindTemplate(name);
    if (tpl == nullptr) {
        return nullptr;
    }
    CSParticleSystem *chosen = nullptr;
    for (CSParticleSystem *system : tpl->systems_) {
        if (!system->taken_ && (chosen == nullptr || system->releasedAt_ < chosen->releasedAt_)) {
            chosen = system;
        }
    }
    if (chosen != nullptr) {
        chosen->Take();
    }
    return chosen;
}

void CSParticleManager::GiveBackWhenDead(CSParticleSystem *system)
{
    if (system != nullptr && system->taken_ && system->atomic_ != nullptr) {
        system->giveBackWhenDead_ = true;
    }
}

void CSParticleManager::ReleaseGivenBack()
{
    for (const auto &tpl : templates_) {
        for (CSParticleSystem *system : tpl->systems_) {
            if (system->taken_ && system->giveBackWhenDead_) {
                system->Release();
            }
        }
    }
}

void CSParticleManager::Update(float dt)
{
    for (const auto &tpl : templates_) {
        for (CSParticleSystem *system : tpl->systems_) {
            if (!system->taken_) {
                continue;
            }
            system->Update(dt);
            if (system->giveBackWhenDead_ && !system->IsAlive()) {
                system->Release();
            }
        }
    }
}

void CSParticleManager::Render()
{
    for (const auto &tpl : templates_) {
        for (CSParticleSystem *system : tpl->systems_) {
            if (!system->ownerDraws) {
                system->Render();
            }
        }
    }
}

int32_t CSParticleManager::GetParticleTotal() const
{
    int64_t total = 0;
    for (const auto &tpl : templates_) {
        total += static_cast<int64_t>(tpl->Count()) * tpl->desc_.maxParticles;
    }
    return static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX));
}

int32_t CSParticleManager::SystemsOut() const
{
    int32_t out = 0;
    for (const auto &tpl : templates_) {
        for (CSParticleSystem *system : tpl->systems_) {
            out += system->taken_ ? 1 : 0;
        }
    }
    return out;
}

std::vector<const CSParticleSystem *> CSParticleManager::SystemsOutOf(const char *name) const
{
    std::vector<const CSParticleSystem *> out;
    if (const CSParticleTemplate *tpl = FindTemplate(name)) {
        for (const CSParticleSystem *system : tpl->systems_) {
            if (system->taken_) {
                out.push_back(system);
            }
        }
    }
    return out;
}
