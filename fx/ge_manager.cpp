// The general-effects manager (see ge_manager.h).
#include "fx/ge_manager.h"

template <typename T>
T *CCGEManager::Make(T **member)
{
    T *raw = new T();
    const GePoolId id = raw->Facts().id;
    pools_[id] = raw;
    deleters_[id] = [](CSGePool *pool) { delete static_cast<T *>(pool); };
    *member = raw;
    return raw;
}

void CCGEManager::Create(const GeServices &services)
{
    Release();
    Make(&reward);
    Make(&statusParticles);
    Make(&dizzy);
    Make(&downHit);
    Make(&charge3206400);
    Make(&ring3405400);
    Make(&effect3507200);
    Make(&bkShield);
    Make(&barrelBomb);
    Make(&explosion);
    Make(&modelPool);
    Make(&potion);
    Make(&flush);
    Make(&sStarEff);
    Make(&bigShot3209000);
    Make(&shockwave);
    Make(&tornado);
    Make(&bigShot3211200);
    Make(&vines);
    Make(&wingBall);
    Make(&frameSeq);
    Make(&bigShot3214400);
    Make(&wings);
    Make(&bugs);
    Make(&bigShot3216200);
    Make(&bigShot3213800);
    Make(&threePart);
    Make(&bigShot3215400);
    Make(&litArrow);
    Make(&fallStone);
    Make(&bigShot3219700);
    Make(&bigShot3219200);
    Make(&wave);
    Make(&bigShot3218400);
    Make(&boss1102Shots);
    GeServices own = services;
    own.anims = &anims_;
    for (CSGePool *pool : pools_) {
        if (pool != nullptr) {
            pool->Create(own);
        }
    }
}

void CCGEManager::Release()
{
    for (size_t i = 0; i < pools_.size(); ++i) {
        if (pools_[i] != nullptr) {
            deleters_[i](pools_[i]);
        }
    }
    pools_ = {};
    deleters_ = {};
    anims_.ReleaseAll();
    reward = nullptr;
    statusParticles = nullptr;
    dizzy = nullptr;
    downHit = nullptr;
    charge3206400 = nullptr;
    ring3405400 = nullptr;
    effect3507200 = nullptr;
    bkShield = nullptr;
    barrelBomb = nullptr;
    explosion = nullptr;
    modelPool = nullptr;
    potion = nullptr;
    flush = nullptr;
    sStarEff = nullptr;
    bigShot3209000 = nullptr;
    shockwave = nullptr;
    tornado = nullptr;
    bigShot3211200 = nullptr;
    vines = nullptr;
    wingBall = nullptr;
    frameSeq = nullptr;
    bigShot3214400 = nullptr;
    wings = nullptr;
    bugs = nullptr;
    bigShot3216200 = nullptr;
    bigShot3213800 = nullptr;
    threePart = nullptr;
    bigShot3215400 = nullptr;
    litArrow = nullptr;
    fallStone = nullptr;
    bigShot3219700 = nullptr;
    bigShot3219200 = nullptr;
    wave = nullptr;
    bigShot3218400 = nullptr;
    boss1102Shots = nullptr;
}

void CCGEManager::Update(float dt)
{
    for (CSGePool *pool : pools_) {
        if (pool != nullptr) {
            pool->Update(dt);
        }
    }
}

void CCGEManager::Render()
{
    for (CSGePool *pool : pools_) {
        if (pool != nullptr) {
            pool->Render();
        }
    }
}

void CCGEManager::StopOwner(const AiObject *owner)
{
    if (owner == nullptr) {
        return;
    }
    for (CSGePool *pool : pools_) {
        if (pool != nullptr) {
            pool->StopOwner(owner);
        }
    }
}

int32_t CCGEManager::InstancesInUse() const
{
    int32_t n = 0;
    for (CSGePool *pool : pools_) {
        n += pool != nullptr ? pool->InstancesInUse() : 0;
    }
    return n;
}
