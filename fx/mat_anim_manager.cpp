// Material animations on owners and track sets (see mat_anim_manager.h).
#include "fx/mat_anim_manager.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "app/debug.h"

namespace {

bool IsNoChange(const MatAnimLook &look) { return look.amount == 0.0f && look.alphaScale == 1.0f; }

// A prelit geometry carries its material colour in the vertex colours the
// pipeline filled when it last instanced it: a changed colour shows only
// once those are filled again.
void RefillPrelight(RpGeometry *geometry)
{
    if ((geometry->flags & rpGEOMETRYPRELIT) != 0) {
        RpGeometryLock(geometry, rpGEOMETRYLOCKPRELIGHT);
        RpGeometryUnlock(geometry);
    }
}

}  // namespace

void MatAnimDrawScope::Apply(RpClump *clump, const MatAnimLook &look)
{
    if (clump == nullptr || IsNoChange(look)) {
        return;
    }
    // A material met again (held in two slots of a list, or by a geometry
    // two atomics share) is changed once by this look.
    struct Context {
        MatAnimDrawScope *scope;
        const MatAnimLook *look;
        size_t first;
    } context = {this, &look, saved_.size()};
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *data) -> RpAtomic * {
            auto *c = static_cast<Context *>(data);
            RpGeometry *geometry = RpAtomicGetGeometry(atomic);
            if (geometry == nullptr) {
                return atomic;
            }
            c->scope->flags_.push_back({geometry, geometry->flags});
            geometry->flags |= rpGEOMETRYMODULATEMATERIALCOLOR;
            RefillPrelight(geometry);
            for (RwInt32 i = 0; i < RpGeometryGetNumMaterials(geometry); ++i) {
                RpMaterial *material = RpGeometryGetMaterial(geometry, i);
                auto &saved = c->scope->saved_;
                if (std::any_of(saved.begin() + static_cast<std::ptrdiff_t>(c->first), saved.end(),
                                [material](const Saved &s) { return s.material == material; })) {
                    continue;
                }
                saved.push_back({material, material->color});
                material->color = ApplyMatAnimLook(material->color, *c->look);
            }
            return atomic;
        },
        &context);
}

void MatAnimDrawScope::Restore()
{
    // Backwards, so that a material or geometry met twice ends as it began.
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        it->material->color = it->colour;
    }
    for (auto it = flags_.rbegin(); it != flags_.rend(); ++it) {
        it->geometry->flags = it->flags;
        RefillPrelight(it->geometry);  // the next draw shows its own colour again
    }
    saved_.clear();
    flags_.clear();
}

CSMatAnimManager::CSMatAnimManager() : pool_(kMatAnimPoolSize) {}

MatAnimInstance *CSMatAnimManager::Start(const void *owner, int32_t ownerKind, int32_t index, float duration,
                                         uint8_t loop)
{
    const MatAnimDef *def = FindMatAnim(index);
    if (def == nullptr) {
        DebugPrint("CSMatAnimManager::Start: no material animation %d\n", index);
        return nullptr;
    }
    MatAnimInstance *free = nullptr;
    for (MatAnimInstance &instance : pool_) {
        if (instance.used && instance.owner == owner) {
            instance.stopping = true;
        } else if (!instance.used && free == nullptr) {
            free = &instance;
        }
    }
    if (free == nullptr) {
        return nullptr;
    }
    *free = MatAnimInstance{};
    free->used = true;
    free->owner = owner;
    free->ownerKind = ownerKind;
    free->def = def;
    free->duration = std::max(0.0f, duration);  // a negative or undefined one as 0
    free->loop = loop != 0;
    return free;
}

void CSMatAnimManager::Stop(const void *owner)
{
    for (MatAnimInstance &instance : pool_) {
        if (instance.used && instance.owner == owner) {
            instance = MatAnimInstance{};
        }
    }
}

void CSMatAnimManager::StopAll()
{
    for (MatAnimInstance &instance : pool_) {
        instance = MatAnimInstance{};
    }
}

void CSMatAnimManager::Update(float dt)
{
    for (MatAnimInstance &instance : pool_) {
        if (!instance.used) {
            continue;
        }
        if (instance.stopping) {
            instance = MatAnimInstance{};
            continue;
        }
        instance.time += dt;
        if (instance.duration > 0.0f && instance.time >= instance.duration) {
            if (!instance.loop) {
                instance = MatAnimInstance{};
            } else if (instance.def->cyclic) {
                instance.time = std::fmod(instance.time, instance.duration);
            } else {
                instance.time = instance.duration;  // holds its end
            }
        }
    }
}

const MatAnimInstance *CSMatAnimManager::Find(const void *owner) const
{
    const MatAnimInstance *found = nullptr;
    for (const MatAnimInstance &instance : pool_) {
        // The newest instance of the owner is the one not stopping.
        if (instance.used && instance.owner == owner && (found == nullptr || !instance.stopping)) {
            found = &instance;
        }
    }
    return found;
}

MatAnimLook CSMatAnimManager::LookOf(const void *owner) const
{
    const MatAnimInstance *instance = Find(owner);
    return instance != nullptr ? SampleMatAnim(*instance->def, instance->time, instance->duration) : MatAnimLook{};
}

void CSMatAnimManager::RenderClump(const void *owner, RpClump *clump) const
{
    if (clump == nullptr) {
        return;
    }
    MatAnimDrawScope scope;
    scope.Apply(clump, LookOf(owner));
    RpClumpRender(clump);
}

int32_t CSMatAnimManager::InstancesInUse() const
{
    int32_t n = 0;
    for (const MatAnimInstance &instance : pool_) {
        n += instance.used ? 1 : 0;
    }
    return n;
}

MatAnimTrackSet::MatAnimTrackSet(const int32_t *ids, int32_t count)
{
    for (int32_t i = 0; ids != nullptr && i < count; ++i) {
        const MatAnimDef *def = FindMatAnim(ids[i]);
        if (def == nullptr || def->trackLength <= 0.0f) {
            DebugPrint("MatAnimTrackSet: %d is not a track\n", ids[i]);
            continue;
        }
        tracks_.push_back({def, false, 0.0f});
    }
}

void MatAnimTrackSet::EnableTrack(int32_t index, bool on)
{
    if (index >= 0 && index < TrackCount()) {
        tracks_[static_cast<size_t>(index)].enabled = on;
        tracks_[static_cast<size_t>(index)].time = 0.0f;
    }
}

void MatAnimTrackSet::SetTrackTime(int32_t index, float seconds)
{
    if (index < 0 || index >= TrackCount() || !std::isfinite(seconds)) {
        return;
    }
    Track &track = tracks_[static_cast<size_t>(index)];
    float t = std::fmod(seconds, track.def->trackLength);
    if (t < 0.0f) {
        t += track.def->trackLength;
    }
    track.time = t;
}

float MatAnimTrackSet::TrackTime(int32_t index) const
{
    return index >= 0 && index < TrackCount() ? tracks_[static_cast<size_t>(index)].time : 0.0f;
}

bool MatAnimTrackSet::IsTrackEnabled(int32_t index) const
{
    return index >= 0 && index < TrackCount() && tracks_[static_cast<size_t>(index)].enabled;
}

void MatAnimTrackSet::Update(float dt)
{
    for (Track &track : tracks_) {
        if (track.enabled) {
            track.time = std::fmod(track.time + dt, track.def->trackLength);
        }
    }
}

MatAnimLook MatAnimTrackSet::Look() const
{
    MatAnimLook look;
    for (const Track &track : tracks_) {
        if (track.enabled) {
            const MatAnimLook one = SampleMatAnim(*track.def, track.time, 0.0f);
            look.tint = one.tint;
            look.amount = one.amount;
            look.alphaScale *= one.alphaScale;
        }
    }
    return look;
}

void MatAnimTrackSet::RenderClump(RpClump *clump) const
{
    if (clump == nullptr) {
        return;
    }
    MatAnimDrawScope scope;
    scope.Apply(clump, Look());
    RpClumpRender(clump);
}
