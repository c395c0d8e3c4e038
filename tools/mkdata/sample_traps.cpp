// The sample traps (see sample_traps.h).
#include "tools/mkdata/sample_traps.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "tools/mkdata/character_model.h"
#include "tools/mkdata/character_set.h"
#include "tools/mkdata/character_states.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/posed_timeline.h"
#include "tools/mkdata/sample_event_data.h"
#include "tools/mkdata/stage_files.h"

namespace mkdata {
namespace {

namespace fs = std::filesystem;

constexpr float kBlend = 0.1f;
constexpr float kPi = 3.14159265f;
constexpr int32_t kJetA = 100130;
constexpr int32_t kJetB = 100140;

// What a trap state shows.
enum class Pose { kCrouch, kRise, kFire, kBlast, kShake, kFall, kDown };

int32_t FramesOf(Pose pose)
{
    switch (pose) {
    case Pose::kFire:
    case Pose::kRise:
        return 40;
    case Pose::kBlast:
        return 90;  // the blast's ring grows over this motion
    case Pose::kShake:
        return 20;
    case Pose::kFall:
        return 50;
    case Pose::kDown:
        return 20;
    default:
        return 60;
    }
}

struct TrapState {
    int32_t id;
    Pose pose;
    int32_t isHurt;
    int32_t attack;
    int32_t attribute;
    std::vector<int32_t> weapons;
    std::vector<FsfRowTransition> transitions;
    bool reacts;  // death (120) leads on from here
};

struct TrapSpec {
    int32_t aiType;
    CharacterLook look;
    int32_t dying;  // 120 leads here from the states that react
    std::vector<TrapState> states;
};

FsfRowTransition Now(int32_t input, int32_t to) { return {input, to, 1}; }
FsfRowTransition AtEnd(int32_t input, int32_t to) { return {input, to, 0}; }

// 1200, 1203: waiting 0; switched on (10) it rises 1 and fires 2, rising
// and firing in turn; at 0 HP it burns out 3 into gone 4.
TrapSpec JetTrap(int32_t aiType, CharacterLook look, int32_t attribute)
{
    return {aiType,
            look,
            3,
            {
                {0, Pose::kCrouch, 1, 0, 0, {}, {Now(10, 1), AtEnd(0, 0)}, true},
                {1, Pose::kRise, 1, 0, 0, {}, {AtEnd(0, 2)}, true},
                {2, Pose::kFire, 1, 20, attribute, {kJetA, kJetB}, {AtEnd(0, 1)}, true},
                {3, Pose::kFall, 0, 0, 0, {}, {AtEnd(0, 4)}, false},
                {4, Pose::kDown, 0, 0, 0, {}, {}, false},
            }};
}

// 1202: armed 0 (its 5 s), the blast 1 back to 0; dying 2 into gone 3.
// Its blast strikes harder than a hero's defence.
TrapSpec BlastTrap()
{
    return {1202,
            CharacterLook::kMonsterGrappler,
            2,
            {
                {0, Pose::kCrouch, 1, 0, 0, {}, {Now(10, 1), AtEnd(0, 0)}, true},
                {1, Pose::kBlast, 1, 60, 32, {}, {AtEnd(0, 0)}, true},
                {2, Pose::kFall, 0, 0, 0, {}, {AtEnd(0, 3)}, false},
                {3, Pose::kDown, 0, 0, 0, {}, {}, false},
            }};
}

// 1201: standing 0 (1 the same), switched on 2 (regenerating), held by a
// hero 3 (let go: 105 back to 2), dying 4 into gone 5.
TrapSpec Post()
{
    return {1201,
            CharacterLook::kMonsterBrute,
            4,
            {
                {0, Pose::kCrouch, 1, 0, 0, {}, {Now(2, 2), Now(104, 3), AtEnd(0, 0)}, true},
                {1, Pose::kCrouch, 1, 0, 0, {}, {Now(2, 2), Now(104, 3), AtEnd(0, 1)}, true},
                {2, Pose::kRise, 1, 0, 0, {}, {Now(104, 3), AtEnd(0, 2)}, true},
                {3, Pose::kShake, 1, 0, 0, {}, {Now(105, 2), Now(104, 3), AtEnd(0, 3)}, true},
                {4, Pose::kFall, 0, 0, 0, {}, {AtEnd(0, 5)}, false},
                {5, Pose::kDown, 0, 0, 0, {}, {}, false},
            }};
}

// 1204: three hits (input 1) break it: 0, 1, 2, then broken 6.
TrapSpec Breakable()
{
    return {1204,
            CharacterLook::kMonster,
            6,
            {
                {0, Pose::kCrouch, 0, 0, 0, {}, {Now(1, 1), AtEnd(0, 0)}, false},
                {1, Pose::kShake, 0, 0, 0, {}, {Now(1, 2), AtEnd(0, 1)}, false},
                {2, Pose::kShake, 0, 0, 0, {}, {Now(1, 6), AtEnd(0, 2)}, false},
                {3, Pose::kCrouch, 0, 0, 0, {}, {AtEnd(0, 0)}, false},
                {4, Pose::kCrouch, 0, 0, 0, {}, {AtEnd(0, 0)}, false},
                {5, Pose::kCrouch, 0, 0, 0, {}, {AtEnd(0, 0)}, false},
                {6, Pose::kFall, 0, 0, 0, {}, {}, false},
            }};
}

TrapSpec SpecOf(int32_t aiType)
{
    switch (aiType) {
    case 1201:
        return Post();
    case 1202:
        return BlastTrap();
    case 1203:
        return JetTrap(1203, CharacterLook::kMonsterGuard, 32);
    case 1204:
        return Breakable();
    default:
        return JetTrap(1200, CharacterLook::kMonster, 16);
    }
}

// One motion after the other on the timeline, 2 frames apart.
MotionTable Layout(const TrapSpec &spec)
{
    int32_t last = 0;
    for (const TrapState &s : spec.states) {
        last = std::max(last, s.id);
    }
    MotionTable table;
    table.motions.resize(static_cast<size_t>(last) + 1);
    int32_t next = 0;
    for (const TrapState &s : spec.states) {
        table.motions[static_cast<size_t>(s.id)] = {next, next + FramesOf(s.pose), true};
        next += FramesOf(s.pose) + 2;
    }
    return table;
}

// The figure crouches with its sword arm forward; firing sweeps the arm
// (and the blade, which carries the jets) across its front, the blast
// throws the arms out, a shake jolts it, a fall lays it down.
RtQuat PoseOf(Pose pose, RwInt32 node, RwReal u, RwReal scale, RwV3d *translation)
{
    *translation = CharacterBoneOffset(node, scale);
    const RwV3d x = {1, 0, 0};
    const RwV3d y = {0, 1, 0};
    const RwV3d z = {0, 0, 1};
    const RwReal wave = std::sin(u * 2.0f * kPi);
    const RwReal rise = std::sin(u * kPi);
    if (node == kNodePelvis && pose != Pose::kFall && pose != Pose::kDown) {
        translation->y *= pose == Pose::kRise ? 0.7f + 0.2f * rise : 0.7f;
    }
    switch (pose) {
    case Pose::kCrouch:
        return node == kNodeArmR ? CharacterRotation(x, -70.0f) : CharacterRotation(x, node == kNodeSpine ? 10.0f : 0.0f);
    case Pose::kRise:
        return node == kNodeArmR ? CharacterRotation(x, -70.0f - 20.0f * rise) : CharacterRotation(x, 0.0f);
    case Pose::kFire:
        return node == kNodeArmR ? CharacterRotation(y, -90.0f + 50.0f * wave) : CharacterRotation(x, 0.0f);
    case Pose::kBlast:
        if (node == kNodeArmL || node == kNodeArmR) {
            return CharacterRotation(z, (node == kNodeArmL ? -70.0f : 70.0f) * rise);
        }
        return CharacterRotation(x, node == kNodeHead ? -20.0f * rise : 0.0f);
    case Pose::kShake:
        return CharacterRotation(z, node == kNodeSpine ? 12.0f * wave : 0.0f);
    case Pose::kFall:
        if (node == kNodePelvis) {
            translation->y *= 1.0f - 0.8f * u;
            return CharacterRotation(x, -80.0f * u);
        }
        return CharacterRotation(x, 0.0f);
    case Pose::kDown:
        if (node == kNodePelvis) {
            translation->y *= 0.2f;
            return CharacterRotation(x, -80.0f);
        }
        return CharacterRotation(x, 0.0f);
    }
    return CharacterRotation(x, 0.0f);
}

RtAnimAnimation *BuildAnimation(const TrapSpec &spec, const MotionTable &table)
{
    std::vector<PoseStretch<Pose>> stretches;
    for (const TrapState &s : spec.states) {
        stretches.push_back(StretchOf(table.motions[static_cast<size_t>(s.id)], s.pose));
    }
    return BuildTimelineAnimation<Pose>(stretches, PoseOf, Pose::kCrouch, kSampleFigureScale);
}

CFSF Build(const TrapSpec &spec)
{
    const std::vector<FsfRowTransition> reactions = {Now(120, spec.dying)};
    std::vector<FsfRow> rows;
    for (const TrapState &s : spec.states) {
        rows.push_back({s.id, 0.0f, 0.0f, s.isHurt, s.id == 3 && spec.aiType == 1201 ? 1 : 0, s.attack, s.attribute,
                        s.weapons, s.transitions, s.reacts});
    }
    return BuildStateMachine(rows, reactions, kBlend);
}

}  // namespace

const std::vector<int32_t> &SampleTrapTypes()
{
    static const std::vector<int32_t> types = {1200, 1201, 1202, 1203, 1204};
    return types;
}

std::string SampleTrapName(int32_t aiType)
{
    const int32_t type = aiType == 1205 ? 1200 : aiType;
    return std::to_string(1510000 + 10000 * (type - 1200));
}

std::string SampleTrapFolder(int32_t aiType) { return "RESOURCE/TRAP/" + SampleTrapName(aiType); }

MotionTable SampleTrapMotions(int32_t aiType) { return Layout(SpecOf(aiType)); }

CFSF SampleTrapStateMachine(int32_t aiType) { return Build(SpecOf(aiType)); }

CharacterParams SampleTrapParams(int32_t aiType)
{
    CharacterParams p = SampleFigureParams();
    p.levelAppend = 1.0f;
    p.maxHP = aiType == 1201 ? 300 : 100;
    p.defense = 0;
    p.defAttribute = 0;
    p.exp = 20;
    return p;
}

std::vector<AiPlacement> SampleTrapPlacements()
{
    std::vector<AiPlacement> placements;
    const struct {
        int32_t aiType;
        RwV3d at;
    } kTraps[] = {{1200, {-15.0f, 0.0f, 30.0f}}, {1203, {-60.0f, 0.0f, 30.0f}}};
    int32_t aiId = 1;
    for (const auto &trap : kTraps) {
        AiPlacement p;
        p.aiType = trap.aiType;
        p.aiId = aiId++;
        p.eventId = kSampleTrapNotice;
        p.position = trap.at;
        p.lookAt = {0.0f, 0.0f, -1.0f};
        placements.push_back(p);
    }
    return placements;
}

std::vector<AiPlacement> SampleMapTrapPlacements(int32_t noticeId, int32_t firstAiId)
{
    const struct {
        int32_t aiType;
        RwV3d at;
        RwV3d facing;
    } kTraps[] = {{1200, {-15.0f, 0.0f, 75.0f}, {1.0f, 0.0f, 0.0f}}, {1203, {15.0f, 0.0f, 60.0f}, {-1.0f, 0.0f, 0.0f}}};
    std::vector<AiPlacement> placements;
    int32_t aiId = firstAiId;
    for (const auto &trap : kTraps) {
        AiPlacement p;
        p.aiType = trap.aiType;
        p.aiId = aiId++;
        p.eventId = noticeId;
        p.position = trap.at;
        p.lookAt = trap.facing;
        placements.push_back(p);
    }
    return placements;
}

bool WriteSampleTraps(const std::string &root)
{
    for (int32_t aiType : SampleTrapTypes()) {
        const TrapSpec spec = SpecOf(aiType);
        const std::string folder = SampleTrapFolder(aiType);
        const std::string name = SampleTrapName(aiType);
        const std::string base = (fs::path(root) / folder / name).string();
        const MotionTable motions = Layout(spec);
        if (!WriteCharacterModel(root, folder.c_str(), name.c_str(), spec.look)) {
            return false;
        }
        if (!WriteCharacterSet(base, BuildAnimation(spec, motions), motions, SampleTrapParams(aiType), Build(spec))) {
            return false;
        }
    }
    return true;
}

}  // namespace mkdata
