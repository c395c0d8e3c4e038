// The general-effects pools' start operations (see ge_pools.h).
#include "fx/ge_pools.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "fx/fx_links.h"
#include "fx/particle_system.h"

namespace {

constexpr int32_t kRewardPieceMax = 50;
constexpr int32_t kStatusFrame = 100020;
constexpr int32_t kHeadFrame = 100090;
constexpr float kGoldenAngle = 2.39996323f;
constexpr float kWaveReach = 100.0f;
constexpr float kBarrelReach = 30.0f;
constexpr int32_t kBarrelDamage = 100;

RwV3d FramePosition(AiObject *actor, int32_t id, RwFrame **frame)
{
    *frame = g_fxLinks.frameById != nullptr ? g_fxLinks.frameById(actor, id) : nullptr;
    if (*frame != nullptr) {
        return RwFrameGetLTM(*frame)->pos;
    }
    RwV3d at = {0.0f, 0.0f, 0.0f};
    FxActorPosition(actor, &at);
    return at;
}

float Distance(const RwV3d &a, const RwV3d &b)
{
    const float x = a.x - b.x;
    const float y = a.y - b.y;
    const float z = a.z - b.z;
    return std::sqrt(x * x + y * y + z * z);
}

}  // namespace

int32_t CSGe3406000::Spawn(const RwV3d &position, int32_t amount)
{
    int32_t started = 0;
    GeInstance *last = nullptr;
    for (int32_t left = amount; left > 0; left -= kRewardPieceMax) {
        GeInstance *piece = Begin(position);
        if (piece == nullptr) {
            if (last != nullptr) {
                last->amount += left;  // the pool is dry: the rest rides on the last piece
            }
            break;
        }
        piece->amount = std::min(left, kRewardPieceMax);
        // Each piece hops out on its own heading.
        const float angle = kGoldenAngle * static_cast<float>(started);
        piece->velocity = {20.0f * std::cos(angle), 40.0f, 20.0f * std::sin(angle)};
        last = piece;
        ++started;
    }
    return started;
}

bool CSGeStatusParticles::Attach(AiObject *character)
{
    if (character == nullptr) {
        return false;
    }
    RwFrame *frame = nullptr;
    const RwV3d at = FramePosition(character, kStatusFrame, &frame);
    GeInstance *slot = Begin(at);
    if (slot == nullptr) {
        return false;
    }
    slot->owner = character;
    slot->frame = frame;
    for (CSParticleSystem *system : slot->particles) {
        if (system != nullptr && frame != nullptr) {
            RwMatrix identity;
            RwMatrixSetIdentity(&identity);
            system->AttachToFrame(frame);
            system->SetMatrix(&identity);
        }
    }
    return true;
}

bool CSGeDizzy::Start(AiObject *actor)
{
    if (actor == nullptr) {
        return false;
    }
    RwFrame *frame = nullptr;
    GeInstance *stars = Begin(FramePosition(actor, kHeadFrame, &frame));
    if (stars == nullptr) {
        return false;
    }
    stars->owner = actor;
    stars->frame = frame;
    return true;
}

bool CSGe3206400::Start(AiObject *owner)
{
    RwV3d at = {0.0f, 0.0f, 0.0f};
    FxActorPosition(owner, &at);
    GeInstance *effect = Begin(at);
    if (effect == nullptr) {
        return false;
    }
    effect->owner = owner;  // followed where it stands
    return true;
}

int32_t CSGe3405400::Start(const RwV3d &position, const RwV3d &direction)
{
    const float phase = std::atan2(direction.z, direction.x);
    return BeginRing(position, Facts().ring, Facts().ringRadius, phase);
}

void CSGe3405400::StartParticles()
{
    for (GeInstance &instance : instances_) {
        for (CSParticleSystem *system : instance.particles) {
            if (instance.used && system != nullptr) {
                system->SetEmitting(true, 0.0f);
            }
        }
    }
}

void CSGe3405400::SetPosition(const RwV3d &position)
{
    RwV3d centre = {0.0f, 0.0f, 0.0f};
    int32_t n = 0;
    for (const GeInstance &instance : instances_) {
        if (instance.used) {
            centre.x += instance.from.x;
            centre.y += instance.from.y;
            centre.z += instance.from.z;
            ++n;
        }
    }
    // With none in use there is nothing to move.
    const RwV3d shift = {position.x - centre.x / static_cast<float>(n), position.y - centre.y / static_cast<float>(n),
                         position.z - centre.z / static_cast<float>(n)};
    for (GeInstance &instance : instances_) {
        if (instance.used) {
            instance.from = {instance.from.x + shift.x, instance.from.y + shift.y, instance.from.z + shift.z};
            instance.position = instance.from;
            PlaceModel(&instance);
        }
    }
}

int32_t CSEffect3507200::FindFree() const
{
    for (size_t i = 0; i < instances_.size(); ++i) {
        if (!instances_[i].used) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

bool CSEffect3507200::SetActive(int32_t entry, bool on)
{
    if (entry < 0 || entry >= InstanceCount()) {
        return false;
    }
    GeInstance &instance = instances_[static_cast<size_t>(entry)];
    if (!on) {
        if (instance.used) {
            End(&instance);
        }
        return true;
    }
    if (instance.used) {
        return true;
    }
    return BeginInstance(&instance, {0.0f, 0.0f, 0.0f}) != nullptr;
}

void CSEffect3507200::Start(int32_t entry, const RwV3d &position)
{
    if (entry < 0 || entry >= InstanceCount() || !instances_[static_cast<size_t>(entry)].used) {
        return;
    }
    GeInstance &instance = instances_[static_cast<size_t>(entry)];
    instance.position = instance.from = position;
    instance.time = 0.0f;
    PlaceModel(&instance);
}

bool CSGeBkShield::Start(int32_t piecesId, const RwMatrix *frameMatrix)
{
    GeInstance *pieces = BeginMatrix(frameMatrix);
    if (pieces != nullptr) {
        pieces->mode = piecesId;
    }
    return pieces != nullptr;
}

bool CSGeBarrelBomb::Start(const RwMatrix *matrix)
{
    if (matrix == nullptr) {
        return false;
    }
    const RwV3d centre = matrix->pos;
    Begin(centre);  // the look; the blast happens whether or not an instance was free
    for (int32_t h = 0; h < FxHeroCount(); ++h) {
        AiObject *hero = FxHero(h);
        RwV3d at;
        if (hero != nullptr && FxActorPosition(hero, &at) && Distance(at, centre) <= kBarrelReach) {
            FxPost(2, nullptr, hero, 0, 1, kBarrelDamage);
        }
    }
    if (g_fxLinks.firstActor != nullptr && g_fxLinks.nextActor != nullptr) {
        for (AiObject *a = g_fxLinks.firstActor(); a != nullptr; a = g_fxLinks.nextActor(a)) {
            RwV3d at;
            if (FxActorAiType(a) >= 1000 && !(g_fxLinks.isRemoved != nullptr && g_fxLinks.isRemoved(a)) &&
                FxActorPosition(a, &at) && Distance(at, centre) <= kBarrelReach) {
                FxPost(1, nullptr, a, 0, 1, kBarrelDamage);
            }
        }
    }
    return true;
}

int32_t CSGeExplosion::Start(const RwV3d &position)
{
    return BeginRing(position, Facts().ring, Facts().ringRadius, 0.0f);
}

bool CSGeModelPool::StartAt(const RwMatrix *worldMatrix) { return BeginMatrix(worldMatrix) != nullptr; }

bool CSGePotion::Start(int32_t kind, const RwV3d &position)
{
    GeInstance *effect = Begin(position);
    if (effect != nullptr) {
        effect->mode = kind;
    }
    return effect != nullptr;
}

bool CSGeFlush::Start(const RwMatrix *matrix) { return BeginMatrix(matrix) != nullptr; }

bool CSGeSStarEff::Start(const RwV3d &position)
{
    at_ = position;
    return Begin(position) != nullptr;
}

void CSGeSStarEff::SetOn(bool on)
{
    if (!on) {
        StopOwner(nullptr);
    } else if (InstancesInUse() == 0) {
        Begin(at_);
    }
}

bool CSBigShotPool::StartFromTo(const RwV3d &from, const RwV3d &to)
{
    GeInstance *shot = Begin(from);
    if (shot != nullptr) {
        shot->to = to;
    }
    return shot != nullptr;
}

int32_t CSBigShotPool::StartRing(const RwV3d &centre, float radius, GeInstance **started)
{
    return BeginRing(centre, Facts().ring, radius, 0.0f, started);
}

bool CSBigShot3209000::Start(const RwV3d &point, const RwV3d &second, int32_t mode)
{
    GeInstance *shot = Begin(point);
    if (shot == nullptr) {
        return false;
    }
    shot->mode = mode;
    // The shot runs from the point through the second point on to its
    // full reach.
    const RwV3d dir = {second.x - point.x, second.y - point.y, second.z - point.z};
    const float length = std::sqrt(dir.x * dir.x + dir.y * dir.y + dir.z * dir.z);
    const float reach = std::max(Shot().speed * Shot().life, length);
    shot->to = length > 0.0f ? RwV3d{point.x + dir.x / length * reach, point.y + dir.y / length * reach,
                                     point.z + dir.z / length * reach}
                             : point;
    return true;
}

int32_t CSBigShotBugs::Start(const RwV3d &centre, AiObject *target)
{
    RwV3d goal = centre;
    FxActorPosition(target, &goal);
    std::vector<GeInstance *> started(static_cast<size_t>(Facts().ring));
    const int32_t n = StartRing(centre, Facts().ringRadius, started.data());
    for (int32_t i = 0; i < n; ++i) {
        started[static_cast<size_t>(i)]->to = goal;
        started[static_cast<size_t>(i)]->owner = target;
    }
    return n;
}

void CSBigShot3216200::SetActive(bool on)
{
    active_ = on;
    if (!active_) {
        StopOwner(nullptr);
    }
}

bool CSBigShot3216200::Start(const RwV3d &position) { return active_ && StartAt(position); }

bool CSBigShotLitArrow::Start(const RwV3d &from, const RwV3d &direction, AiObject *target)
{
    RwV3d to = {from.x + direction.x * 100.0f, from.y + direction.y * 100.0f, from.z + direction.z * 100.0f};
    FxActorPosition(target, &to);
    return StartFromTo(from, to);
}

bool CSBigShotWave::Start(const RwV3d &position, const RwV3d &facing)
{
    const float length = std::sqrt(facing.x * facing.x + facing.z * facing.z);
    const RwV3d to = length > 0.0f ? RwV3d{position.x + facing.x / length * kWaveReach, position.y,
                                           position.z + facing.z / length * kWaveReach}
                                   : position;
    return StartFromTo(position, to);
}

bool CSBoss1102ShotPool::Throw(const RwV3d &start, const RwMatrix *, const RwV3d &target, int32_t mode)
{
    GeInstance *shot = Begin(start);
    if (shot == nullptr) {
        return false;
    }
    shot->mode = mode;
    shot->to = target;
    // The flight time that lands it on the target: by the shot's speed,
    // within its 3-second life.
    const float dx = target.x - start.x;
    const float dy = target.y - start.y;
    const float dz = target.z - start.z;
    const float ground = std::sqrt(dx * dx + dz * dz);
    const float speed = Shot().speed > 0.0f ? Shot().speed : 60.0f;
    const float t = std::clamp(ground / speed, 0.5f, std::max(0.5f, Facts().life - 0.1f));
    shot->velocity = {dx / t, dy / t + 0.5f * kBallisticGravity * t, dz / t};
    shot->life = Facts().life;
    return true;
}

int32_t CSBoss1102ShotPool::ThrowVolley(const RwV3d &start, const RwMatrix *thrower, const RwV3d &target)
{
    // One at the target, the others of the volley on the circle around it.
    const int32_t around = Facts().ring - 1;
    const float radius = Facts().ringRadius;
    int32_t n = Throw(start, thrower, target, 0) ? 1 : 0;
    for (int32_t i = 0; i < around; ++i) {
        const float angle = 6.28318531f * static_cast<float>(i) / static_cast<float>(around);
        const RwV3d at = {target.x + radius * std::cos(angle), target.y, target.z + radius * std::sin(angle)};
        n += Throw(start, thrower, at, 0) ? 1 : 0;
    }
    return n;
}
