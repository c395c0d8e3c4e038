// Effect packages (see fx_packages.h).
#include "fx/fx_packages.h"

#include "fx/fx_links.h"
#include "fx/fx_trace.h"
#include "fx/particle_manager.h"

namespace {

struct BurningPart {
    const char *name;
    int32_t frame;
    bool light;
};

constexpr BurningPart kBurning[] = {
    {"fire_l.zus", 100100, false}, {"fire_m.zus", 100090, false}, {"fire_m.zus", 100080, false},
    {"fire_m.zus", 100060, false}, {"fire_s.zus", 100040, false}, {"fire_s.zus", 100020, false},
    {"Light_Type_Fire_M.lit", 100100, true},
};

}  // namespace

void CSFxPackageList::Load(const char *fxmPath, CSParticleManager *particles, RpWorld *world)
{
    Release();
    FxmDesc desc;
    LoadFxmFile(fxmPath, &desc);
    packages_.assign(static_cast<size_t>(desc.packageNum), FxPackage{});
    particles_ = particles;
    world_ = world;
}

void CSFxPackageList::Release()
{
    StopAll();
    packages_.clear();
    lights_.clear();
}

FxPackage *CSFxPackageList::FirstFree()
{
    for (FxPackage &package : packages_) {
        if (!package.used) {
            return &package;
        }
    }
    return nullptr;
}

FxPackage *CSFxPackageList::StartParticles(AiObject *owner, RwFrame *frame, const char *name, float rate)
{
    FxPackage *package = FirstFree();
    CSParticleSystem *system =
        package != nullptr && particles_ != nullptr ? particles_->CreateSystem(name) : nullptr;
    if (system == nullptr) {
        return nullptr;
    }
    system->displayMode[1] = kPrtFollowEmitter;  // kept on the owner's frame
    system->ownerDraws = true;
    if (frame != nullptr) {
        system->AttachToFrame(frame);
    }
    system->SetEmitting(true, rate);
    *package = FxPackage{true, owner, frame, system, nullptr, nullptr};
    FxTraceStart(name, frame != nullptr ? RwFrameGetLTM(frame)->pos : RwV3d{0.0f, 0.0f, 0.0f});
    return package;
}

const FxLightDesc *CSFxPackageList::LightDesc(const char *name)
{
    for (const auto &entry : lights_) {
        if (entry.first == name) {
            return &entry.second;
        }
    }
    FxLightDesc desc;
    if (!LoadLightFile((std::string("\\RESOURCE\\FX\\") + name).c_str(), &desc)) {
        return nullptr;
    }
    lights_.emplace_back(name, desc);
    return &lights_.back().second;
}

FxPackage *CSFxPackageList::StartLight(AiObject *owner, RwFrame *frame, const char *name)
{
    FxPackage *package = FirstFree();
    const FxLightDesc *desc = package != nullptr ? LightDesc(name) : nullptr;
    RpLight *light = desc != nullptr ? RpLightCreate(rpLIGHTPOINT) : nullptr;
    RwFrame *lightFrame = light != nullptr ? RwFrameCreate() : nullptr;
    if (lightFrame == nullptr) {
        if (light != nullptr) {
            RpLightDestroy(light);
        }
        return nullptr;
    }
    const RwRGBAReal colour = {desc->colour.red / 255.0f, desc->colour.green / 255.0f, desc->colour.blue / 255.0f,
                               1.0f};
    RpLightSetColor(light, &colour);
    RpLightSetRadius(light, desc->radius);
    RpLightSetFrame(light, lightFrame);
    if (world_ != nullptr) {
        RpWorldAddLight(world_, light);
    }
    *package = FxPackage{true, owner, frame, nullptr, light, lightFrame};
    FxTraceStart(name, frame != nullptr ? RwFrameGetLTM(frame)->pos : RwV3d{0.0f, 0.0f, 0.0f});
    return package;
}

int32_t CSFxPackageList::StartBurning(AiObject *owner)
{
    int32_t started = 0;
    for (const BurningPart &part : kBurning) {
        RwFrame *frame = g_fxLinks.frameById != nullptr && owner != nullptr ? g_fxLinks.frameById(owner, part.frame)
                                                                            : nullptr;
        FxPackage *package = part.light ? StartLight(owner, frame, part.name)
                                        : StartParticles(owner, frame, part.name, kBurningRate);
        started += package != nullptr ? 1 : 0;
    }
    return started;
}

void CSFxPackageList::Stop(FxPackage *package)
{
    if (!package->used) {
        return;
    }
    if (package->system != nullptr) {
        package->system->StopEmit();
        package->system->Release();
    }
    if (package->light != nullptr) {
        if (RpLightGetWorld(package->light) != nullptr) {
            RpWorldRemoveLight(RpLightGetWorld(package->light), package->light);
        }
        RpLightSetFrame(package->light, nullptr);
        RpLightDestroy(package->light);
        RwFrameDestroy(package->lightFrame);
    }
    *package = FxPackage{};
}

void CSFxPackageList::StopOwner(const AiObject *owner)
{
    for (FxPackage &package : packages_) {
        if (package.used && package.owner == owner) {
            Stop(&package);
        }
    }
}

void CSFxPackageList::StopAll()
{
    for (FxPackage &package : packages_) {
        Stop(&package);
    }
}

void CSFxPackageList::Update(float)
{
    for (FxPackage &package : packages_) {
        if (package.used && package.light != nullptr && package.frame != nullptr) {
            RwMatrix m = *RwFrameGetLTM(package.frame);
            RwFrameTransform(package.lightFrame, &m, rwCOMBINEREPLACE);
        }
    }
}

bool CSFxPackageList::IsShown() const
{
    if (FxStageId() != kHiddenPackagesStage) {
        return true;
    }
    return g_fxLinks.eventOccurred != nullptr && g_fxLinks.eventOccurred(kShowPackagesEvent);
}

void CSFxPackageList::Render()
{
    if (!IsShown()) {
        return;
    }
    for (FxPackage &package : packages_) {
        if (package.used && package.system != nullptr) {
            package.system->Render();
        }
    }
}

int32_t CSFxPackageList::PackagesInUse() const
{
    int32_t n = 0;
    for (const FxPackage &package : packages_) {
        n += package.used ? 1 : 0;
    }
    return n;
}
