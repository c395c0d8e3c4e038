// The general-effects pools by name: each is the one pooled-instance
// mechanism (ge_pool.h) with the start operations its callers use; what a
// pool does beyond its start lives in its facts.
#pragma once

#include <cstdint>

#include "fx/ge_pool.h"

// Reward pieces: ceil(amount / 50) pieces of at most 50, each springing out
// and then flying to the nearest hero, whose stage earnings take its amount
// on arrival. Returns the pieces started; when the pool runs dry, the rest
// of the amount rides on the last piece started, so no money is lost.
class CSGe3406000 : public CSGePool {
public:
    CSGe3406000() : CSGePool(kGeReward) {}
    int32_t Spawn(const RwV3d &position, int32_t amount);
};

// Status particles on a character's frame 100020, one of 12 slots each.
class CSGeStatusParticles : public CSGePool {
public:
    CSGeStatusParticles() : CSGePool(kGeStatusParticles) {}
    bool Attach(AiObject *character);
    void Detach(AiObject *character) { StopOwner(character); }
};

// Dizzy stars on an actor's head frame (100090).
class CSGeDizzy : public CSGePool {
public:
    CSGeDizzy() : CSGePool(kGeDizzy) {}
    bool Start(AiObject *actor);
    void Stop(AiObject *actor) { StopOwner(actor); }
};

class CSGeDownHit : public CSGePool {
public:
    CSGeDownHit() : CSGePool(kGeDownHit) {}
    bool Start(const RwV3d &position) { return Begin(position) != nullptr; }
};

// The 3206400 model effect following its owner, with material animation 18.
class CSGe3206400 : public CSGePool {
public:
    CSGe3206400() : CSGePool(kGe3206400) {}
    bool Start(AiObject *owner);
};

// Three particle files on a ring around a position.
class CSGe3405400 : public CSGePool {
public:
    CSGe3405400() : CSGePool(kGe3405400) {}
    int32_t Start(const RwV3d &position, const RwV3d &direction);
    // Starts the running instances' particles again (emission restored).
    void StartParticles();
    // Moves the running ring to a new centre.
    void SetPosition(const RwV3d &position);
};

// Entries switched on and placed by their users (the effect-burst events).
class CSEffect3507200 : public CSGePool {
public:
    CSEffect3507200() : CSGePool(kGe3507200) {}
    // The first entry not in use, or null; it is not taken until SetActive.
    int32_t FindFree() const;
    // Switches the entry on (taken, at the origin) or off.
    bool SetActive(int32_t entry, bool on);
    void Start(int32_t entry, const RwV3d &position);
};

class CSGeBkShield : public CSGePool {
public:
    CSGeBkShield() : CSGePool(kGeBkShield) {}
    bool Start(int32_t piecesId, const RwMatrix *frameMatrix);
};

// The barrel bomb's explosion: hits once everything within 30.0 of it:
// heroes with kind 2 {0, 1, 100}, actors of AI type 1000 and up with a
// sender-less kind 1 {0, 1, 100} (a bomb near it lights its fuse).
class CSGeBarrelBomb : public CSGePool {
public:
    CSGeBarrelBomb() : CSGePool(kGeBarrelBomb) {}
    bool Start(const RwMatrix *matrix);
};

class CSGeExplosion : public CSGePool {
public:
    CSGeExplosion() : CSGePool(kGeExplosion) {}
    int32_t Start(const RwV3d &position);
};

class CSGeModelPool : public CSGePool {
public:
    CSGeModelPool() : CSGePool(kGeModelPool) {}
    bool StartAt(const RwMatrix *worldMatrix);
};

class CSGePotion : public CSGePool {
public:
    CSGePotion() : CSGePool(kGePotion) {}
    bool Start(int32_t kind, const RwV3d &position);
};

class CSGeFlush : public CSGePool {
public:
    CSGeFlush() : CSGePool(kGeFlush) {}
    bool Start(const RwMatrix *matrix);
};

class CSGeSStarEff : public CSGePool {
public:
    CSGeSStarEff() : CSGePool(kGeSStarEff) {}
    bool Start(const RwV3d &position);
    void SetOn(bool on);

private:
    RwV3d at_ = {0.0f, 0.0f, 0.0f};
};

// ---- the bosses' big shots ----

class CSBigShotPool : public CSGePool {
public:
    explicit CSBigShotPool(GePoolId id) : CSGePool(id) {}
    bool StartAt(const RwV3d &position) { return Begin(position) != nullptr; }
    bool StartFromTo(const RwV3d &from, const RwV3d &to);
    bool StartMatrix(const RwMatrix *matrix) { return BeginMatrix(matrix) != nullptr; }
    int32_t StartRing(const RwV3d &centre, float radius, GeInstance **started = nullptr);
};

class CSBigShot3209000 : public CSBigShotPool {
public:
    CSBigShot3209000() : CSBigShotPool(kGeBigShot3209000) {}
    bool Start(const RwV3d &point, const RwV3d &second, int32_t mode);
};
class CSBigShotShockwave : public CSBigShotPool {
public:
    CSBigShotShockwave() : CSBigShotPool(kGeBigShotShockwave) {}
    bool Start(const RwV3d &position) { return StartAt(position); }
};
class CSBigShotTornado : public CSBigShotPool {
public:
    CSBigShotTornado() : CSBigShotPool(kGeBigShotTornado) {}
    bool Start(const RwV3d &position) { return StartAt(position); }
};
class CSBigShot3211200 : public CSBigShotPool {
public:
    CSBigShot3211200() : CSBigShotPool(kGeBigShot3211200) {}
    bool Spawn(const RwV3d &from, const RwV3d &to) { return StartFromTo(from, to); }
};
// Eight vines on a ring of radius 10 around the centre, with a sound.
class CSBigShotVines : public CSBigShotPool {
public:
    CSBigShotVines() : CSBigShotPool(kGeBigShotVines) {}
    int32_t Start(const RwV3d &centre) { return StartRing(centre, Facts().ringRadius); }
};
class CSBigShotWingBall : public CSBigShotPool {
public:
    CSBigShotWingBall() : CSBigShotPool(kGeBigShotWingBall) {}
    bool Start(const RwV3d &from, const RwV3d &to) { return StartFromTo(from, to); }
};
class CSBigShotFrameSeq : public CSBigShotPool {
public:
    CSBigShotFrameSeq() : CSBigShotPool(kGeBigShotFrameSeq) {}
    bool Start(const RwMatrix *frameMatrix) { return StartMatrix(frameMatrix); }
};
class CSBigShot3214400 : public CSBigShotPool {
public:
    CSBigShot3214400() : CSBigShotPool(kGeBigShot3214400) {}
    bool Start(const RwV3d &from, const RwV3d &to) { return StartFromTo(from, to); }
};
class CSBigShotWings : public CSBigShotPool {
public:
    CSBigShotWings() : CSBigShotPool(kGeBigShotWings) {}
    bool Start(const RwMatrix *frameMatrix) { return StartMatrix(frameMatrix); }
};
// Ten bugs on a ring of radius 20 around the centre, each flying on to the
// target (or owner), with a sound.
class CSBigShotBugs : public CSBigShotPool {
public:
    CSBigShotBugs() : CSBigShotPool(kGeBigShotBugs) {}
    int32_t Start(const RwV3d &centre, AiObject *target);
};
class CSBigShot3216200 : public CSBigShotPool {
public:
    CSBigShot3216200() : CSBigShotPool(kGeBigShot3216200) {}
    void SetActive(bool on);
    bool Start(const RwV3d &position);
    bool IsActive() const { return active_; }

private:
    bool active_ = false;
};
class CSBigShot3213800 : public CSBigShotPool {
public:
    CSBigShot3213800() : CSBigShotPool(kGeBigShot3213800) {}
    bool Start(const RwV3d &position) { return StartAt(position); }
};
class CSBigShotThreePart : public CSBigShotPool {
public:
    CSBigShotThreePart() : CSBigShotPool(kGeBigShotThreePart) {}
    int32_t Start(const RwV3d &position) { return StartRing(position, Facts().ringRadius); }
};
class CSBigShot3215400 : public CSBigShotPool {
public:
    CSBigShot3215400() : CSBigShotPool(kGeBigShot3215400) {}
    bool Start(const RwV3d &from, const RwV3d &to) { return StartFromTo(from, to); }
};
class CSBigShotLitArrow : public CSBigShotPool {
public:
    CSBigShotLitArrow() : CSBigShotPool(kGeBigShotLitArrow) {}
    bool Start(const RwV3d &from, const RwV3d &direction, AiObject *target);
};
// Stones falling at places on a ring of the given radius around a position.
class CSBigShotFallStone : public CSBigShotPool {
public:
    CSBigShotFallStone() : CSBigShotPool(kGeBigShotFallStone) {}
    int32_t Start(const RwV3d &position, float radius) { return StartRing(position, radius); }
};
class CSBigShot3219700 : public CSBigShotPool {
public:
    CSBigShot3219700() : CSBigShotPool(kGeBigShot3219700) {}
    bool Start(const RwMatrix *frameMatrix) { return StartMatrix(frameMatrix); }
};
class CSBigShot3219200 : public CSBigShotPool {
public:
    CSBigShot3219200() : CSBigShotPool(kGeBigShot3219200) {}
    bool Start(const RwV3d &position) { return StartAt(position); }
};
// A wave running 100 units along the facing from the position.
class CSBigShotWave : public CSBigShotPool {
public:
    CSBigShotWave() : CSBigShotPool(kGeBigShotWave) {}
    bool Start(const RwV3d &position, const RwV3d &facing);
};
class CSBigShot3218400 : public CSBigShotPool {
public:
    CSBigShot3218400() : CSBigShotPool(kGeBigShot3218400) {}
    bool Start(const RwV3d &position) { return StartAt(position); }
};

// Boss 1102's thrown projectiles: ballistic (gravity 98.0, life 3.0 s),
// landing on their target point and hitting the heroes near it.
class CSBoss1102ShotPool : public CSBigShotPool {
public:
    CSBoss1102ShotPool() : CSBigShotPool(kGeBoss1102Shot) {}
    bool Throw(const RwV3d &start, const RwMatrix *thrower, const RwV3d &target, int32_t mode);
    // One at the target point and seven on the circle of radius 10.0 around it.
    int32_t ThrowVolley(const RwV3d &start, const RwMatrix *thrower, const RwV3d &target);
};
