// The sample bosses (see sample_bosses.h).
#include "tools/mkdata/sample_bosses.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "actor/ai_type_table.h"
#include "rpusrdat.h"
#include "stage/model_frames.h"
#include "tools/mkdata/character_model.h"
#include "tools/mkdata/character_set.h"
#include "tools/mkdata/character_states.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/posed_timeline.h"
#include "tools/mkdata/sample_boss_spec.h"
#include "tools/mkdata/stage_files.h"

namespace mkdata {
namespace {

namespace fs = std::filesystem;
using namespace bossspec;

// The bosses stand a fifth taller than the other figures.
constexpr RwReal kBossScale = kSampleFigureScale * 1.2f;
constexpr float kBlend = 0.15f;
constexpr float kPi = 3.14159265f;

// 1100: idle, then it walks (its blade glowing) and swings when its 3-s
// attack timer lets it, also out of its hurt 5 and knocked 6 (a hero that
// keeps hitting it is struck back); dying 3 into gone 4, hold 7.
BossSpec Boss1100()
{
    return {1100,
            CharacterLook::kMonsterBrute,
            5,
            6,
            3,
            -1,
            {
                {0, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(10, 2), AtEnd(0, 1)}},
                {1, Move::kWalk, 20, 0, 1, 0, 0, {}, {Now(10, 2), AtEnd(0, 1)}},
                {2, Move::kSwing, 0, 0, 1, 20, kPlain, {kBlade, kBladeTip}, {Now(120, 3), AtEnd(0, 1)}, false},
                Dying(3, 4),
                Gone(4),
                {5, Move::kHurt, -10, 30, 1, 0, 0, {}, {Now(10, 2), AtEnd(0, 1)}},
                {6, Move::kFall, -20, 30, 1, 0, 0, {}, {Now(120, 3), Now(10, 2), AtEnd(0, 1)}, false},
                Hold(7),
            },
            {}};
}

// 1102: at home 0, walking 1 (it keeps away inside its attack range), the
// turn 2 that leads to the throw 3 once its foe is in the cone, the recoil
// 4 where it may throw back, dying 5 into gone 6, hold 7. After a throw it
// walks (1) until the end of that motion at least before it turns to its
// foe again (its alarm circle's input 2, or its 3-s idle timer's).
BossSpec Boss1102()
{
    return {1102,
            CharacterLook::kMonsterGuard,
            4,
            4,
            5,
            -1,
            {
                {0, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(1, 1), Now(2, 2), AtEnd(0, 0)}},
                {1, Move::kWalk, 25, 0, 1, 0, 0, {}, {AtEnd(2, 2), Now(0, 0), AtEnd(1, 1)}},
                {2, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(21, 3), Now(1, 1), AtEnd(0, 2)}},
                {3, Move::kThrow, 0, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                {4, Move::kHurt, -10, 30, 1, 0, 0, {}, {AtEnd(0, 2)}},
                Dying(5, 6),
                Gone(6),
                Hold(7),
            },
            {{3, 439}}};
}

// The forward walkers 1106 (walk input 5) and 1107 (walk input 1): idle 0,
// walk 1, the faster walk 2 into the wait 3, blows 4, 5, 11, 12 and the
// charge 13, the roars 8 and 20 (the special), the hurt 16 with its counter
// 17, the guard 18 and 19, dying 21 into gone 22, the get-up 23 a held
// boss leaves its blows for, hold 24. 1106 comes to its special after the
// charge; for 1107 an HP phase (input 16) leads there from its walking,
// waiting, guarding and hurt states, and nothing but death leaves it early.
BossSpec Walker(int32_t aiType, CharacterLook look, int32_t walk, int32_t specialFrame, bool phases)
{
    BossSpec spec = {aiType,
                     look,
                     16,
                     16,
                     21,
                     -1,
                     {
                         {0, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(walk, 1), Now(1, 2), Now(11, 19), Now(10, 4), AtEnd(0, 0)}},
                         {1, Move::kWalk, 20, 0, 1, 0, 0, {}, {Now(0, 0), Now(1, 2), Now(11, 19), Now(10, 4), AtEnd(walk, 1)}},
                         {2, Move::kWalk, 30, 0, 1, 0, 0, {}, {Now(10, 11), Now(11, 19), AtEnd(0, 3)}},
                         {3, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(2, 1), Now(10, 13), AtEnd(0, 3)}},
                         {4, Move::kSwing, 5, 0, 1, 20, kPlain, {kBlade, kBladeTip}, {AtEnd(0, 5)}},
                         {5, Move::kSwing, 5, 0, 1, 15, kHurt2, {kBladeTip}, {Now(30, 23), AtEnd(0, 1)}},
                         {7, Move::kSwing, 0, 0, 1, 15, kPlain, {kBlade}, {Now(30, 23), AtEnd(0, 1)}},
                         {8, Move::kRoar, 0, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                         {9, Move::kHurt, 0, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                         {11, Move::kSwing, 5, 0, 1, 20, kHurt8, {kBlade, kBladeTip}, {AtEnd(0, 12)}},
                         {12, Move::kSwing, 0, 0, 1, 15, kPlain, {kBladeTip}, {Now(30, 23), AtEnd(0, 1)}},
                         {13, Move::kCharge, 45, 0, 1, 25, kHurt8, {kBlade}, {AtEnd(0, phases ? 1 : 20)}},
                         {14, Move::kIdle, 0, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                         {16, Move::kHurt, -10, 30, 1, 0, 0, {}, {Now(17, 17), AtEnd(0, 1)}},
                         {17, Move::kSwing, 5, 0, 1, 18, kPlain, {kBlade}, {AtEnd(0, 8)}},
                         {18, Move::kGuard, 0, 0, 1, 0, 0, {}, {Now(102, 16), Now(120, 21), AtEnd(0, 19)}, false},
                         {19, Move::kGuard, 0, 0, 1, 0, 0, {}, {Now(102, 16), Now(18, 1), Now(120, 21), AtEnd(0, 19)},
                          false},
                         {20, Move::kRoar, 0, 0, 1, 0, 0, {}, {Now(120, 21), AtEnd(0, 1)}, !phases},
                         Dying(21, 22),
                         Gone(22),
                         {23, Move::kDown, 0, 0, 1, 0, 0, {}, {Now(2, 0), Now(120, 21)}, false},
                         Hold(24),
                     },
                     {{20, specialFrame}}};
    if (phases) {
        for (State &state : spec.states) {
            if (state.id <= 3 || state.id == 16 || state.id == 19) {
                state.transitions.insert(state.transitions.begin(), Now(kBossInputHpPhase, 20));
            }
        }
    }
    return spec;
}

BossSpec Boss1106() { return Walker(1106, CharacterLook::kMonsterGrappler, 5, 2851, false); }
BossSpec Boss1107() { return Walker(1107, CharacterLook::kMonster, 1, 10280, true); }

// 1101: idle 0, walk 1, the approach 2 into the charge 13 (ending in the
// recovery 20 at a wall or after 5 s, in the blow 7 at an actor) or into the
// big shots 19, the turn 5, the blow 10 with its chained 12 (through 11),
// the recovery 20 with its counter 17 and its escape 21, the grabbable 23,
// the hero's hold 25 and its end 24, the guard 26, dying 27 into gone 29,
// the excluded 30 and 31, hold 32.
BossSpec Boss1101()
{
    return {1101,
            CharacterLook::kMonsterGuard,
            20,
            20,
            27,
            25,
            {
                {0, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(1, 1), Now(21, 26), Now(10, 10), Now(3, 5), AtEnd(0, 0)}},
                {1, Move::kWalk, 25, 0, 1, 0, 0, {},
                 {Now(0, 0), Now(21, 2), Now(2, 2), Now(10, 10), Now(3, 5), Now(11, 13), AtEnd(1, 1)}},
                {2, Move::kWalk, 15, 0, 1, 0, 0, {}, {Now(11, 13), Now(21, 19), Now(3, 5), Now(10, 10), AtEnd(0, 1)}},
                {3, Move::kWalk, 20, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                {4, Move::kWalk, 20, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                {5, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(10, 10), Now(11, 13), AtEnd(0, 1)}},
                {6, Move::kRoar, 0, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                {7, Move::kSwing, 5, 0, 1, 20, kPlain, {kBlade}, {AtEnd(0, 1)}},
                {9, Move::kSwing, 5, 0, 1, 20, kPlain, {kBladeTip}, {AtEnd(0, 1)}},
                {10, Move::kSwing, 5, 0, 1, 20, kPlain, {kBlade, kBladeTip}, {AtEnd(0, 11)}},
                {11, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(4, 12), AtEnd(0, 1)}},
                {12, Move::kSwing, 5, 0, 1, 25, kHurt8, {kBlade, kBladeTip}, {AtEnd(0, 1)}},
                {13, Move::kCharge, 40, 20, 1, 30, kHurt8, {}, {Now(22, 20), Now(11, 7), Now(120, 27)}, false},
                {14, Move::kIdle, 0, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                {15, Move::kHurt, 0, 0, 1, 0, 0, {}, {Now(14, 14), AtEnd(0, 1)}},
                {16, Move::kRoar, 0, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                {17, Move::kSwing, 5, 0, 1, 22, kPlain, {kBlade}, {AtEnd(0, 1)}},
                {19, Move::kThrow, 0, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                {20, Move::kHurt, -5, 20, 1, 0, 0, {}, {Now(17, 17), Now(108, 21), AtEnd(0, 1)}},
                {21, Move::kCharge, -30, 30, 0, 0, 0, {}, {Now(120, 27), AtEnd(0, 1)}, false},
                {22, Move::kIdle, 0, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                {23, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(106, 24), Now(104, 25), Now(120, 27)}, false},
                {24, Move::kIdle, 0, 0, 1, 0, 0, {}, {AtEnd(0, 1)}},
                {25, Move::kHurt, 0, 0, 1, 0, 0, {}, {Now(104, 25), Now(105, 24), Now(120, 27), AtEnd(0, 25)}, false},
                {26, Move::kGuard, 0, 0, 1, 0, 0, {}, {Now(18, 1), Now(102, 20), Now(120, 27), AtEnd(0, 26)}, false},
                Dying(27, 29),
                {28, Move::kDown, 0, 0, 0, 0, 0, {}, {AtEnd(0, 29)}, false},
                Gone(29),
                {30, Move::kIdle, 0, 0, 0, 0, 0, {}, {Now(120, 27), AtEnd(0, 1)}, false},
                {31, Move::kIdle, 0, 0, 0, 0, 0, {}, {Now(120, 27), AtEnd(0, 1)}, false},
                Hold(32),
            },
            {{19, 2543}}};
}

BossSpec SpecOf(int32_t aiType)
{
    switch (aiType) {
    case 1103:
    case 1104:
    case 1105:
    case 1108:
    case 1109:
    case 1110:
        return LateBossSpec(aiType);
    case 1101:
        return Boss1101();
    case 1102:
        return Boss1102();
    case 1106:
        return Boss1106();
    case 1107:
        return Boss1107();
    default:
        return Boss1100();
    }
}

int32_t TestedFrameOf(const BossSpec &spec, int32_t state)
{
    for (const TestedFrame &t : spec.tested) {
        if (t.state == state) {
            return t.frame;
        }
    }
    return -1;
}

// The timeline: the tested states' motions around their frames (a third
// before), the others one after another from frame 0 with two frames
// between, and a short still motion for each number the states skip.
MotionTable Layout(const BossSpec &spec)
{
    int32_t last = 0;
    for (const State &s : spec.states) {
        last = std::max(last, s.id);
    }
    MotionTable table;
    table.motions.resize(static_cast<size_t>(last) + 1);
    // A state tested at several frames plays one motion that holds them all.
    for (const State &s : spec.states) {
        int32_t first = -1;
        int32_t last = -1;
        for (const TestedFrame &t : spec.tested) {
            if (t.state == s.id) {
                first = first < 0 ? t.frame : std::min(first, t.frame);
                last = std::max(last, t.frame);
            }
        }
        if (first >= 0) {
            const int32_t start = first - FramesOf(s.move) / 3;
            const int32_t end = std::max(start + FramesOf(s.move), last + FramesOf(s.move) / 3);
            table.motions[static_cast<size_t>(s.id)] = {start, end, true};
        }
    }
    // The next start from `next` at which `length` frames clear the tested motions.
    int32_t next = 0;
    auto place = [&](int32_t length) {
        for (const TestedFrame &t : spec.tested) {
            const MotionRange &tested = table.motions[static_cast<size_t>(t.state)];
            if (next <= tested.endFrame + 2 && next + length + 2 >= tested.startFrame) {
                next = tested.endFrame + 2;
            }
        }
        const MotionRange range = {next, next + length, true};
        next += length + 2;
        return range;
    };
    for (const State &s : spec.states) {
        if (TestedFrameOf(spec, s.id) < 0) {
            table.motions[static_cast<size_t>(s.id)] = place(FramesOf(s.move));
        }
    }
    for (MotionRange &motion : table.motions) {
        if (!motion.defined) {
            motion = place(10);
        }
    }
    return table;
}

// ---- the motions on the figure ----

const RwV3d kX = {1, 0, 0};
const RwV3d kY = {0, 1, 0};

// The rotation of `node` at `u` (0..1) through a boss motion.
RtQuat PoseOf(Move move, RwInt32 node, RwReal u, RwReal scale, RwV3d *translation)
{
    *translation = CharacterBoneOffset(node, scale);
    const RwReal wave = std::sin(u * 2.0f * kPi);
    const RwReal rise = std::sin(u * kPi);
    RwV3d axis = kX;
    RwReal degrees = 0.0f;
    switch (move) {
    case Move::kIdle:
        // Standing at rest: the arms hang, the body breathes.
        if (node == kNodeArmL || node == kNodeArmR) {
            return RestingArm(node, 0.0f);
        }
        degrees = node == kNodeSpine ? 2.0f * wave : 0.0f;
        break;
    case Move::kWalk:
    case Move::kCharge: {
        const RwReal stride = move == Move::kCharge ? 45.0f : 30.0f;
        if (node == kNodeArmL || node == kNodeArmR) {
            return RestingArm(node, (node == kNodeArmL ? stride : -stride) * wave);
        }
        if (node == kNodeLegR) {
            degrees = stride * wave;
        } else if (node == kNodeLegL) {
            degrees = -stride * wave;
        } else if (node == kNodeSpine && move == Move::kCharge) {
            degrees = 25.0f;
        }
        break;
    }
    case Move::kSwing:
        // The sword arm sweeps round to the front while the body leans
        // into the blow, bringing the blade down to a figure's chest.
        if (node == kNodeArmR) {
            axis = kY;
            degrees = -110.0f * rise;
        } else if (node == kNodeSpine) {
            degrees = 45.0f * rise;
        }
        break;
    case Move::kThrow:
        degrees = node == kNodeArmR ? -150.0f * rise : (node == kNodeSpine ? -10.0f * rise : 0.0f);
        break;
    case Move::kHurt:
        degrees = node == kNodeSpine ? -20.0f * rise : (node == kNodeHead ? -15.0f * rise : 0.0f);
        break;
    case Move::kFall:
        if (node == kNodePelvis) {
            translation->y *= 1.0f - 0.8f * u;
            degrees = -80.0f * u;
        }
        break;
    case Move::kDown:
        if (node == kNodePelvis) {
            translation->y *= 0.2f;
            degrees = -80.0f;
        }
        break;
    case Move::kGuard:
        axis = kY;
        degrees = node == kNodeArmR ? -70.0f : (node == kNodeArmL ? 70.0f : 0.0f);
        break;
    case Move::kRoar:
        if (node == kNodeHead) {
            degrees = -30.0f * rise;
        } else if (node == kNodeArmL || node == kNodeArmR) {
            axis = {0, 0, 1};
            degrees = (node == kNodeArmL ? -40.0f : 40.0f) * rise;
        }
        break;
    }
    return CharacterRotation(axis, degrees);
}

RtAnimAnimation *BuildAnimation(const BossSpec &spec, const MotionTable &table)
{
    std::vector<PoseStretch<Move>> stretches;
    for (const State &s : spec.states) {
        stretches.push_back(StretchOf(table.motions[static_cast<size_t>(s.id)], s.move));
    }
    return BuildTimelineAnimation<Move>(stretches, PoseOf, Move::kIdle, kBossScale);
}

CFSF Build(const BossSpec &spec)
{
    std::vector<FsfRowTransition> reactions;
    if (spec.hurt >= 0) {
        reactions = {Now(100, spec.hurt), Now(101, spec.hurt), Now(102, spec.knockDown), Now(103, spec.knockDown),
                     Now(120, spec.dying)};
    }
    if (spec.grabbed >= 0) {
        reactions.push_back(Now(104, spec.grabbed));
    }
    std::vector<FsfRow> rows;
    for (const State &s : spec.states) {
        rows.push_back({s.id, s.speed, s.acceleration, s.isHurt, 1, s.attack, s.attribute, s.weapons, s.transitions,
                        s.reacts});
    }
    return BuildStateMachine(rows, reactions, kBlend);
}

// The points the later bosses' steps start their effects on, beyond the
// figure's own frames: each a frame of its own (no bone) with its user id,
// on a bone of the figure.
struct ExtraFrame {
    int32_t userId;
    int32_t onUserId;  // the bone it hangs on
    RwV3d offset;
};
constexpr ExtraFrame kExtraFrames[] = {
    {100170, 100100, {0.0f, 0.1f, 0.25f}},   // before the chest: shots and wing balls
    {100200, 100150, {-0.1f, 0.0f, 0.0f}},   // the left hand's palm
    {100210, 100160, {0.1f, 0.0f, 0.0f}},    // the right hand's palm
    {100220, 100090, {0.0f, 0.2f, 0.15f}},   // the brow: the lit arrow
};

bool AddExtraFrames(RpClump *clump)
{
    for (const ExtraFrame &extra : kExtraFrames) {
        RwFrame *bone = FindFrameByUserId(clump, extra.onUserId);
        RwFrame *frame = bone != nullptr ? RwFrameCreate() : nullptr;
        if (frame == nullptr) {
            return false;
        }
        const RwV3d offset = {extra.offset.x * kBossScale, extra.offset.y * kBossScale, extra.offset.z * kBossScale};
        RwFrameTranslate(frame, &offset, rwCOMBINEREPLACE);
        RwFrameAddChild(bone, frame);
        RpUserDataList *list = RpUserDataFrameGetList(frame);
        RpUserDataArray *props =
            list != nullptr ? RpUserDataListAddArray(list, CharacterUserPropertiesArray(), rpSTRINGUSERDATA, 1) : nullptr;
        if (props == nullptr || RpUserDataArraySetString(props, 0, std::to_string(extra.userId).c_str()) == 0) {
            return false;
        }
    }
    return true;
}

bool WriteBossModel(const fs::path &folder, const std::string &name, CharacterLook look)
{
    std::error_code error;
    fs::create_directories(folder, error);
    RpClump *clump = error ? nullptr : BuildCharacterClump(look, kBossScale);
    if (clump == nullptr) {
        return false;
    }
    const bool ok = AddExtraFrames(clump) && WriteClumpFile(clump, (folder / (name + ".DFF")).string().c_str());
    RpClumpDestroy(clump);
    return ok;
}

// Drop maps 11 to 21, one per boss in type order. The first boss the map
// offers (1100, stage 3) always leaves the Steel Sword, the first weapon a
// new game can change to; the others a fire flask or a spirit tonic.
constexpr int32_t kFirstBossDropMap = 11;
constexpr int32_t kSwordBoss = 1100;
constexpr int32_t kSwordBossDrop = 5100170;

}  // namespace

const std::vector<int32_t> &SampleBossTypes()
{
    static const std::vector<int32_t> types = {1100, 1101, 1102, 1103, 1104, 1105,
                                               1106, 1107, 1108, 1109, 1110};
    return types;
}

std::string SampleBossName(int32_t aiType)
{
    const AiTypeInfo *row = FindAiType(aiType);
    return row != nullptr ? row->modelId : std::to_string(aiType);
}

std::string SampleBossFolder(int32_t aiType) { return "RESOURCE/BOSS/" + SampleBossName(aiType); }

std::vector<TestedFrame> SampleBossTestedFrames(int32_t aiType) { return SpecOf(aiType).tested; }

MotionTable SampleBossMotions(int32_t aiType) { return Layout(SpecOf(aiType)); }

CFSF SampleBossStateMachine(int32_t aiType) { return Build(SpecOf(aiType)); }

CharacterParams SampleBossParams(int32_t aiType)
{
    // Each boss that takes damage stands at least fifteen plain blows of
    // the first hero (100 with its starting sword, 110 with the steel one,
    // less the boss's Defense), and its own blows count four times their
    // attack values.
    CharacterParams p = SampleFigureParams();
    p.radius = 6.0f;
    p.levelAppend = 4.0f;
    p.attackTarget = 1;
    p.attackHalfAngle = 40.0f;
    p.turnDeg = 120.0f;
    p.maxHP = 1600;
    p.defense = 5;
    p.attackRange = 20.0f;
    p.alarmCircle = 50.0f;
    p.searchRange = 100.0f;
    p.exp = 300;
    switch (aiType) {
    case 1100:
        p.exp = 200;
        p.attackRange = 18.0f;
        p.alarmCircle = 40.0f;
        p.searchRange = 90.0f;
        break;
    case 1101:
        p.maxHP = 1700;
        p.defense = 6;
        p.exp = 400;
        break;
    case 1102:
        p.maxHP = 1600;
        p.defense = 4;
        p.exp = 150;
        p.attackRange = 25.0f;
        p.alarmCircle = 80.0f;
        p.searchRange = 110.0f;
        break;
    case 1107:
        p.maxHP = 1800;
        p.exp = 350;
        break;
    case 1103:
        p.maxHP = 1800;
        p.defense = 6;
        p.exp = 450;
        break;
    case 1104:
        p.exp = 350;
        p.attackRange = 25.0f;
        p.alarmCircle = 70.0f;
        p.searchRange = 120.0f;
        break;
    case 1105:
        // It takes no damage; it fights near 1104 and lets a foe that walks
        // off go.
        p.maxHP = 100;
        p.exp = 0;
        p.attackRange = 40.0f;
        p.alarmCircle = 45.0f;
        p.searchRange = 50.0f;
        break;
    case 1108:
        // Its alarm circle inside its attack range: it dashes at a hero it
        // sees and teleports when a dash finds nothing or a blow shakes it,
        // rather than at the sight of a hero.
        p.exp = 300;
        p.attackRange = 25.0f;
        p.alarmCircle = 20.0f;
        break;
    case 1109:
    case 1110:
        p.maxHP = 1800;
        p.defense = 4;
        p.exp = 600;
        p.attackRange = 22.0f;
        p.alarmCircle = 60.0f;
        break;
    default:
        break;
    }
    return p;
}

std::vector<SampleSound> SampleBossSounds(int32_t aiType)
{
    static const std::vector<std::pair<int32_t, std::vector<int32_t>>> kIds = {
        {1100, {6220000, 6220010, 6220030, 6300140}},
        {1101, {6220010, 6220020, 6220030, 6220040, 6300000, 6300140, 6300210}},
        {1102, {6120010, 6230000, 6300020}},
        {1106, {6040030, 6040040, 6040060, 6040080, 6300080, 6300100, 6300210}},
        {1107, {6250000, 6250010, 6250020, 6250030, 6250040, 6300080, 6300090, 6300100, 6300210}},
        {1103, {6230000, 6230010, 6230020, 6230030, 6230040, 6230050, 6300080, 6300110, 6300210}},
        {1104, {6240000, 6240020, 6240040, 6240050, 6240060, 6240070, 6240080, 6300210}},
        {1105, {6240090, 6240100}},
        {1108, {6260010, 6260020, 6260030}},
        {1109, {6270000, 6270010, 6270020, 6270030, 6300110, 6300170, 6300210, 6300290, 6300310}},
        {1110, {6240020, 6270000, 6270010, 6270030, 6300110, 6300170, 6300210, 6300290, 6300310}},
    };
    std::vector<SampleSound> sounds;
    for (const auto &[type, ids] : kIds) {
        if (type == aiType) {
            for (int32_t id : ids) {
                sounds.push_back({id, 200.0 + static_cast<double>((id / 10) % 100) * 12.0});
            }
        }
    }
    return sounds;
}

int32_t SampleBossStageId(int32_t aiType)
{
    switch (aiType) {
    case 1100:
        return 2030000;
    case 1101:
        return 2150000;
    case 1102:
        return 2040000;
    case 1103:
        return 2220000;
    case 1104:
    case 1105:
        return 2270000;
    case 1106:
        return 2080000;
    case 1107:
        return 2320000;
    case 1108:
        return 2360000;
    case 1109:
        return 2370000;
    case 1110:
        return 2380000;
    default:
        return 0;
    }
}

AiPlacement SampleBossPlacement(int32_t aiType)
{
    AiPlacement p;
    p.aiType = aiType;
    // 1108 ends its dash early only with an AIID other than 1 and 6; 1105
    // stands beside 1104.
    p.aiId = aiType == 1108 || aiType == 1105 ? 2 : 1;
    p.position = {0.0f, 0.0f, aiType == 1102 ? 10.0f : 20.0f};
    // The thrower looks across the yard: it turns to the heroes before it throws.
    p.lookAt = aiType == 1102 ? RwV3d{1.0f, 0.0f, 0.0f} : RwV3d{0.0f, 0.0f, -1.0f};
    // 1105 comes only when called.
    p.isRender = aiType == 1105 ? 0 : 1;
    const std::vector<int32_t> &types = SampleBossTypes();
    p.itemType = kFirstBossDropMap + static_cast<int32_t>(std::find(types.begin(), types.end(), aiType) - types.begin());
    if (aiType == 1105) {
        p.position = {30.0f, 0.0f, 20.0f};
    }
    return p;
}

const std::vector<int32_t> &SampleBossArenaTypes()
{
    static const std::vector<int32_t> types = {1100, 1101, 1102, 1103, 1104, 1106, 1107, 1108, 1109, 1110};
    return types;
}

RwV3d SampleBossArenaOrigin(int32_t aiType)
{
    return aiType == 1108 ? RwV3d{-670.0f, 0.0f, 220.0f} : RwV3d{0.0f, 0.0f, 0.0f};
}

std::vector<AiPlacement> SampleBossArenaPlacements(int32_t aiType)
{
    std::vector<AiPlacement> placements = {SampleBossPlacement(aiType)};
    if (aiType == 1104) {
        placements.push_back(SampleBossPlacement(1105));
    }
    if (aiType == 1108) {
        // Its partners: three monsters of type 1000 with AIIDs 100 to 102,
        // in a bow behind it, in sight of the heroes' start and beyond
        // their reach while the heroes fight the boss at its place.
        for (int32_t i = 0; i < 3; ++i) {
            AiPlacement partner;
            partner.aiType = kSamplePartnerType;
            partner.aiId = 100 + i;
            partner.position = {-40.0f + 40.0f * static_cast<float>(i), 0.0f, i == 1 ? 75.0f : 60.0f};
            partner.lookAt = {0.0f, 0.0f, -1.0f};
            partner.isRender = 1;
            placements.push_back(partner);
        }
    }
    return placements;
}

std::vector<DropMap> SampleBossDropMaps()
{
    std::vector<DropMap> maps;
    for (size_t i = 0; i < SampleBossTypes().size(); ++i) {
        DropMap map;
        map.id = kFirstBossDropMap + static_cast<int32_t>(i);
        if (SampleBossTypes()[i] == kSwordBoss) {
            map.entries[0] = {kSwordBossDrop, 100};
        } else {
            map.entries[0] = {5300060, 60};
            map.entries[1] = {5300020, 40};
        }
        maps.push_back(map);
    }
    return maps;
}

bool WriteSampleBosses(const std::string &root)
{
    for (int32_t aiType : SampleBossTypes()) {
        const BossSpec spec = SpecOf(aiType);
        const fs::path folder = fs::path(root) / SampleBossFolder(aiType);
        const std::string name = SampleBossName(aiType);
        const std::string base = (folder / name).string();
        const MotionTable motions = Layout(spec);
        if (!WriteBossModel(folder, name, spec.look)) {
            return false;
        }
        if (!WriteCharacterSet(base, BuildAnimation(spec, motions), motions, SampleBossParams(aiType), Build(spec))) {
            return false;
        }
    }
    return true;
}

}  // namespace mkdata
