// CSParticleSystem: one live particle system, a copy of a particle
// template (a .ZUS file built on the engine's standard particles), handed
// out by CSParticleManager::CreateSystem and given back with Release.
//
// Two display-mode words, set by the caller after creating it:
//   word 0: 5 draws it after the world, depth-tested without depth writes
//           (anything else draws it with depth writes);
//   word 1: 2 keeps its particles in the emitter's frame (beams, attached
//           emitters: they move with it), 6 leaves them where they were
//           emitted (sparks, marks).
//
// A system given back twice, or used after its template's pool was
// released, does nothing: every operation of a system that is not out is
// ignored (Release says so in a diagnostic line), and a system whose pool
// is gone stays an inert record until the manager itself goes.
#pragma once

#include <cstdint>

#include "rpprtstd.h"
#include "rpworld.h"

class CSParticleTemplate;
class CSParticleSystem;

// Puts the system on `frame`: following it (its particles then taken in the
// frame's space by display word 1) or placed once where it is now; turned
// with the frame or only moved to it.
void PlaceSystemOnFrame(CSParticleSystem *system, RwFrame *frame, bool follow, bool orient);

constexpr uint8_t kPrtDrawAfterWorld = 5;
constexpr uint8_t kPrtFollowEmitter = 2;
constexpr uint8_t kPrtStayWhereEmitted = 6;

class CSParticleSystem {
public:
    CSParticleSystem() = default;
    CSParticleSystem(const CSParticleSystem &) = delete;
    CSParticleSystem &operator=(const CSParticleSystem &) = delete;
    ~CSParticleSystem();

    // Starts (restoring the template's emitter values; a start value above
    // 1 is a rate that replaces the template's particles per second, while
    // 0 and 1, the flags callers pass, keep it) or stops emission.
    void SetEmitting(bool on, float startValue);
    // Emits nothing more; live particles die out.
    void StopEmit();
    // Live particles gone at once (emission left as it is).
    void ClearParticles();
    // False once nothing is emitted, the lifetime reads -1 and no particle
    // is left.
    bool IsAlive() const;
    // Places the system; with a parent frame the matrix is taken in the
    // parent's frame.
    void SetMatrix(const RwMatrix *matrix);
    void SetPosition(const RwV3d &position);
    // Makes the system follow `frame` (null: none).
    void AttachToFrame(RwFrame *frame);
    // The half extents of the emission box.
    void SetEmitSize(float x, float y, float z);
    // Gives the system back to its template's pool: taken, emitting and
    // parent frame cleared, the template's emitter values restored, live
    // particles gone.
    void Release();
    // Whether the manager gives the system back once it is dead
    // (CSParticleManager::GiveBackWhenDead).
    bool GivenBackWhenDead() const { return giveBackWhenDead_; }

    // The manager's per-frame steps (seconds).
    void Update(float dt);
    void Render();

    bool IsTaken() const { return taken_; }
    bool IsEmitting() const { return emitting_; }
    // True once the system's pool was released.
    bool IsRetired() const { return atomic_ == nullptr; }
    float Lifetime() const { return lifetime_; }
    // Live particles (all batches).
    int32_t ParticleCount() const;
    const char *TemplateName() const;
    // World position of particle `index` of the first batch (tests, tools).
    bool ParticlePosition(int32_t index, RwV3d *out) const;
    RpAtomic *Atomic() const { return atomic_; }
    // Where the system is placed in the world.
    const RwMatrix &WorldMatrix() const { return world_; }

    uint8_t displayMode[2] = {kPrtDrawAfterWorld, kPrtStayWhereEmitted};
    // Set by an owner that draws the system itself (the effect packages);
    // the manager's pass then leaves it out.
    bool ownerDraws = false;

private:
    friend class CSParticleTemplate;
    friend class CSParticleManager;

    // Made by the template: a copy of its source atomic.
    bool Build(CSParticleTemplate *owner, RpAtomic *source);
    void Retire();
    void Take();
    void RestoreEmitter();
    RpPrtStdEmitter *Emitter() const;
    RpPrtStdEmitterStandard *Standard() const;
    void PlaceFrames();

    CSParticleTemplate *owner_ = nullptr;
    RpAtomic *atomic_ = nullptr;
    RwFrame *parent_ = nullptr;
    RwMatrix local_ = {};
    RwMatrix world_ = {};
    bool taken_ = false;
    bool emitting_ = false;
    bool giveBackWhenDead_ = false;
    float rate_ = 0.0f;      // particles per second while emitting
    float carry_ = 0.0f;     // fraction of a particle owed to the next frame
    float lifetime_ = -1.0f; // seconds of emission left; -1 until stopped
    // When it was last given back: the pool hands out the copy given back
    // longest ago, so a stale second Release rarely meets a new holder.
    uint64_t releasedAt_ = 0;
    static uint64_t releaseClock_;
};
