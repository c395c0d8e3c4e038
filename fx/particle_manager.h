// CSParticleManager: the particle templates of the game and of the running
// stage, each a pool of `count` copies of a particle system built from its
// .ZUS file, handed out by exact name. The game-wide set comes from
// \RESOURCE\PARTICLE\EFFECT.PSS once per run; each stage adds its own
// "\RESOURCE\PARTICLE\<stage id>.PSS" at its load and drops it again at
// its release.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fx/particle_system.h"
#include "fx/zus_file.h"

class CSParticleTemplate {
public:
    CSParticleTemplate() = default;
    CSParticleTemplate(const CSParticleTemplate &) = delete;
    CSParticleTemplate &operator=(const CSParticleTemplate &) = delete;
    ~CSParticleTemplate();

    const std::string &Name() const { return name_; }
    const ZusDesc &Desc() const { return desc_; }
    bool IsStageTemplate() const { return stage_; }
    int32_t Count() const { return static_cast<int32_t>(systems_.size()); }
    // The template's emitter values, which every copy is reset to.
    const RpPrtStdEmitterStandard &Saved() const { return saved_; }

private:
    friend class CSParticleManager;
    friend class CSParticleSystem;

    std::string name_;
    ZusDesc desc_;
    bool stage_ = false;
    RpAtomic *source_ = nullptr;
    RpPrtStdEmitterStandard saved_ = {};
    std::vector<CSParticleSystem *> systems_;
};

// Builds the atomic (with a frame of its own) of a particle system
// described by `desc`; `texture` (may be null) gains a reference held by
// the emitter. Null when the engine refuses.
RpAtomic *BuildParticleAtomic(const ZusDesc &desc, RwTexture *texture);
void DestroyParticleAtomic(RpAtomic *atomic);

class CSParticleManager {
public:
    CSParticleManager() = default;
    CSParticleManager(const CSParticleManager &) = delete;
    CSParticleManager &operator=(const CSParticleManager &) = delete;
    ~CSParticleManager() { ReleaseAll(); }

    // Reads the particle set at `pssPath` and builds each kind from
    // "<zusFolder>\<name>" (its texture from the pack's dictionary or the
    // same folder). A kind whose file is missing or refused is left out.
    // False when the set itself cannot be opened.
    bool LoadSet(const char *pssPath, const char *zusFolder, bool stage);
    // One template of `count` copies; false (and nothing added) when the
    // engine refuses it. A name already loaded is refused too.
    bool AddTemplate(const char *name, const ZusDesc &desc, int32_t count, bool stage);
    // Drops the stage's templates (the game-wide ones stay).
    void ReleaseStageTemplates();
    void ReleaseAll();

    // A free copy of the template whose name equals `name` exactly, case
    // included, emitting and placed at the origin; null when no such
    // template is loaded or all its copies are out.
    CSParticleSystem *CreateSystem(const char *name, int32_t unused = 0);
    CSParticleTemplate *FindTemplate(const char *name) const;

    // The one way back for a system its holder lets go of while it may
    // still show particles (a stopped stream, a spark started and not
    // kept): the holder forgets it and the manager's update gives it back
    // to its pool once it is dead (IsAlive false). The system keeps
    // emitting for its own lifetime unless the holder stopped it; one that
    // emits for ever must be stopped first. Nothing for null or a system
    // that is not out.
    static void GiveBackWhenDead(CSParticleSystem *system);
    // Gives back at once every system handed to GiveBackWhenDead (the
    // stage goes, and with it the frames they may follow).
    void ReleaseGivenBack();

    // Advances every system that is out (seconds); a system handed to
    // GiveBackWhenDead that is dead afterwards goes back to its pool.
    void Update(float dt);
    // Draws every system that is out; between camera begin and end update,
    // after the world.
    void Render();

    // Particles the loaded templates can hold at once (copies times the
    // most particles of each), for the resource report.
    int32_t GetParticleTotal() const;
    int32_t TemplateCount() const { return static_cast<int32_t>(templates_.size()); }
    int32_t SystemsOut() const;
    // The systems of the template named `name` that are out, in pool order:
    // how their holders started them (emission, display words, place) can
    // be read back. Empty when no such template is loaded.
    std::vector<const CSParticleSystem *> SystemsOutOf(const char *name) const;

private:
    void ReleaseTemplates(bool stageOnly);

    std::vector<std::unique_ptr<CSParticleTemplate>> templates_;
    // Every system record made, kept until the manager goes so that a
    // pointer held past its pool's release finds an inert record.
    std::vector<std::unique_ptr<CSParticleSystem>> records_;
};
