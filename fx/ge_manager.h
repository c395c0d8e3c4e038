// CCGEManager: the stage's general-effects manager. It owns every effect
// pool (ge_pools.h), makes them when the stage makes its managers, updates
// and draws them each frame and releases them with the stage. Callers reach
// a pool through its member, which is null while the manager has not made
// it, and skip the effect then.
#pragma once

#include <array>
#include <cstdint>

#include "fx/ge_pools.h"
#include "stage/clump_anim_manager.h"

class CCGEManager {
public:
    CCGEManager() = default;
    ~CCGEManager() { Release(); }
    CCGEManager(const CCGEManager &) = delete;
    CCGEManager &operator=(const CCGEManager &) = delete;

    // Makes every pool with its model, .BSH file and instances; the pools'
    // model motions play through the manager's own animation manager.
    void Create(const GeServices &services);
    void Release();
    void Update(float dt);
    void Render();
    // Stops every instance that follows or belongs to `owner` (an actor
    // being released).
    void StopOwner(const AiObject *owner);

    // The pool of `id`, null while not made.
    CSGePool *Pool(GePoolId id) const { return id >= 0 && id < kGePoolCount ? pools_[id] : nullptr; }
    int32_t InstancesInUse() const;

    CSGe3406000 *reward = nullptr;
    CSGeStatusParticles *statusParticles = nullptr;
    CSGeDizzy *dizzy = nullptr;
    CSGeDownHit *downHit = nullptr;
    CSGe3206400 *charge3206400 = nullptr;
    CSGe3405400 *ring3405400 = nullptr;
    CSEffect3507200 *effect3507200 = nullptr;
    CSGeBkShield *bkShield = nullptr;
    CSGeBarrelBomb *barrelBomb = nullptr;
    CSGeExplosion *explosion = nullptr;
    CSGeModelPool *modelPool = nullptr;
    CSGePotion *potion = nullptr;
    CSGeFlush *flush = nullptr;
    CSGeSStarEff *sStarEff = nullptr;
    CSBigShot3209000 *bigShot3209000 = nullptr;
    CSBigShotShockwave *shockwave = nullptr;
    CSBigShotTornado *tornado = nullptr;
    CSBigShot3211200 *bigShot3211200 = nullptr;
    CSBigShotVines *vines = nullptr;
    CSBigShotWingBall *wingBall = nullptr;
    CSBigShotFrameSeq *frameSeq = nullptr;
    CSBigShot3214400 *bigShot3214400 = nullptr;
    CSBigShotWings *wings = nullptr;
    CSBigShotBugs *bugs = nullptr;
    CSBigShot3216200 *bigShot3216200 = nullptr;
    CSBigShot3213800 *bigShot3213800 = nullptr;
    CSBigShotThreePart *threePart = nullptr;
    CSBigShot3215400 *bigShot3215400 = nullptr;
    CSBigShotLitArrow *litArrow = nullptr;
    CSBigShotFallStone *fallStone = nullptr;
    CSBigShot3219700 *bigShot3219700 = nullptr;
    CSBigShot3219200 *bigShot3219200 = nullptr;
    CSBigShotWave *wave = nullptr;
    CSBigShot3218400 *bigShot3218400 = nullptr;
    CSBoss1102ShotPool *boss1102Shots = nullptr;

private:
    template <typename T>
    T *Make(T **member);

    // The pools, each deleted as the type it was made as (they have no
    // virtual destructor).
    std::array<CSGePool *, kGePoolCount> pools_ = {};
    std::array<void (*)(CSGePool *), kGePoolCount> deleters_ = {};
    CSClumpAnimManager anims_;
};
