// CSGePool: the one pooled-instance mechanism under every pool of the
// general-effects manager. A pool holds its facts (ge_pool_facts.h), its
// model and a fixed number of instances, each with a copy of the model
// (made when the pool is made, hidden while the instance is free) and up to
// three particle systems taken from the particle manager while it runs. A
// start takes free instances (one, or one per place on a ring); a pool
// whose instances are all in use starts nothing. Each frame an instance
// lives out its life doing what its behaviour says; big-shot instances hit
// every hero within their reach once with a kind-2 message.
#pragma once

#include <cstdint>
#include <vector>

#include "fx/bigshot_file.h"
#include "fx/ge_pool_facts.h"
#include "rpworld.h"

class AiObject;
class CSParticleManager;
class CSParticleSystem;
class CSMatAnimManager;
class CSNodeAnimPlayer;
class CSClumpAnimManager;

constexpr int32_t kMaxGeHeroes = 2;
constexpr float kRewardArrivalDistance = 3.0f;
constexpr float kBallisticGravity = 98.0f;

struct GeInstance {
    bool used = false;
    float time = 0.0f;
    float life = 0.0f;       // seconds; 0: until stopped
    RwV3d position = {0.0f, 0.0f, 0.0f};
    RwV3d from = {0.0f, 0.0f, 0.0f};
    RwV3d to = {0.0f, 0.0f, 0.0f};
    RwV3d velocity = {0.0f, 0.0f, 0.0f};
    RwMatrix matrix = {};
    AiObject *owner = nullptr;  // followed or stopped by owner
    RwFrame *frame = nullptr;   // followed
    int32_t amount = 0;         // a reward piece's money
    int32_t mode = 0;
    uint32_t hitMask = 0;       // heroes already hit, by list index
    bool homing = false;
    RpClump *clump = nullptr;   // the instance's copy of the pool's model
    CSParticleSystem *particles[3] = {nullptr, nullptr, nullptr};
};

// What the pools use of the stage; any may be null.
struct GeServices {
    RpWorld *world = nullptr;
    CSParticleManager *particles = nullptr;
    CSMatAnimManager *matAnims = nullptr;
    CSNodeAnimPlayer *nodeAnims = nullptr;  // plays the node animations a pool's model carries
    CSClumpAnimManager *anims = nullptr;    // plays the motions of the pools' models
};

class CSGePool {
public:
    explicit CSGePool(GePoolId id);
    ~CSGePool() { Release(); }
    CSGePool(const CSGePool &) = delete;
    CSGePool &operator=(const CSGePool &) = delete;

    // Loads the model (and for a big shot its .BSH) and makes the instances.
    void Create(const GeServices &services);
    void Release();

    void Update(float dt);
    void Render();

    // Stops every instance started for `owner` (null: every instance).
    void StopOwner(const AiObject *owner);

    const GePoolFacts &Facts() const { return *facts_; }
    const BigShotDesc &Shot() const { return shot_; }
    int32_t InstancesInUse() const;
    int32_t InstanceCount() const { return static_cast<int32_t>(instances_.size()); }
    const GeInstance &Instance(int32_t index) const { return instances_[static_cast<size_t>(index)]; }

protected:
    // A free instance started at `at` (model shown, particles taken, the
    // pool's sound and a trace line), or null when none is free.
    GeInstance *Begin(const RwV3d &at);
    // The same on a chosen free instance (null: nothing).
    GeInstance *BeginInstance(GeInstance *instance, const RwV3d &at);
    GeInstance *FirstFree();
    // Begin at a frame matrix, the model placed by the whole matrix; null
    // for no matrix.
    GeInstance *BeginMatrix(const RwMatrix *matrix);
    // Starts one instance at each of `count` places on the ring of
    // `radius` around `centre`, the first at angle `phase` (radians);
    // returns how many started, their instances in `started` when given
    // (room for `count`); the pool's sound plays once for them.
    int32_t BeginRing(const RwV3d &centre, int32_t count, float radius, float phase, GeInstance **started = nullptr);
    void PlayStartSound() const;
    void End(GeInstance *instance);
    void PlaceModel(GeInstance *instance);
    // Hits each hero within `reach` of the instance once (kind 2).
    void HitHeroes(GeInstance *instance, float reach, int32_t attribute, int32_t damage);
    // Hits the first hero (in list order) within `reach` (kind 2); true then.
    bool HitFirstHero(GeInstance *instance, float reach, int32_t attribute, int32_t damage);

    void UpdateReward(GeInstance *instance, float dt);
    void UpdateBallistic(GeInstance *instance, float dt);

    const GePoolFacts *facts_;
    GeServices services_;
    BigShotDesc shot_;
    RpClump *model_ = nullptr;
    char animName_[32] = {};  // the model's motions (\RESOURCE\FX\<id>\<id>.ANM), when it has them
    std::vector<GeInstance> instances_;
};
