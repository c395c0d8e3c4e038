// CSFxPackageList: the stage's pool of effect packages (its size from
// \RESOURCE\FX\FXM.FXM). A package is one particle system or one light
// (a .lit file under \RESOURCE\FX) kept on a frame of its owner's model.
// In stage 5 the packages stay hidden until event 79050300 has occurred.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fx/fx_package_file.h"
#include "rpworld.h"

class AiObject;
class CSParticleManager;
class CSParticleSystem;

constexpr int32_t kHiddenPackagesStage = 2050000;
constexpr int32_t kShowPackagesEvent = 79050300;
constexpr float kBurningRate = 200.0f;

struct FxPackage {
    bool used = false;
    AiObject *owner = nullptr;
    RwFrame *frame = nullptr;         // the owner's frame it keeps to
    CSParticleSystem *system = nullptr;
    RpLight *light = nullptr;
    RwFrame *lightFrame = nullptr;    // the light's own frame, moved to `frame`
};

class CSFxPackageList {
public:
    CSFxPackageList() = default;
    ~CSFxPackageList() { Release(); }
    CSFxPackageList(const CSFxPackageList &) = delete;
    CSFxPackageList &operator=(const CSFxPackageList &) = delete;

    // Reads FXM.FXM (its defaults when missing) and makes the pool.
    void Load(const char *fxmPath, CSParticleManager *particles, RpWorld *world);
    void Release();

    // A package of the particle system `name` on `frame` for `owner`,
    // emitting at `rate` (0: its own); null when none is free or the
    // system cannot be had.
    FxPackage *StartParticles(AiObject *owner, RwFrame *frame, const char *name, float rate);
    // A package of the light file `name` (under \RESOURCE\FX) on `frame`.
    FxPackage *StartLight(AiObject *owner, RwFrame *frame, const char *name);
    // The burning look on the owner's frames: fire_l.zus on 100100,
    // fire_m.zus on 100090, 100080 and 100060, fire_s.zus on 100040 and
    // 100020, and the light Light_Type_Fire_M.lit on 100100; at most seven
    // free packages, each at rate 200.0. Returns how many started.
    int32_t StartBurning(AiObject *owner);
    // Stops every package of the owner.
    void StopOwner(const AiObject *owner);
    void StopAll();
    // The world the lights go into (null: none).
    void SetWorld(RpWorld *world) { world_ = world; }

    void Update(float dt);
    // Whether the packages are drawn now (stage 5 waits for its event).
    bool IsShown() const;
    void Render();

    int32_t PackageCount() const { return static_cast<int32_t>(packages_.size()); }
    int32_t PackagesInUse() const;
    const FxPackage &Package(int32_t index) const { return packages_[static_cast<size_t>(index)]; }

private:
    FxPackage *FirstFree();
    void Stop(FxPackage *package);
    const FxLightDesc *LightDesc(const char *name);

    std::vector<FxPackage> packages_;
    std::vector<std::pair<std::string, FxLightDesc>> lights_;
    CSParticleManager *particles_ = nullptr;
    RpWorld *world_ = nullptr;
};
