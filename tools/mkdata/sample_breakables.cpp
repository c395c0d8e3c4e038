// The sample breakable objects (see sample_monster_spec.h), one of each
// design on the crate figure: standing (0), breaking (1: the lid flies off
// and the body tips, its motion's end leading on) and broken (2); the
// front-only target's flinch, fall, wait and standing up again; the
// liftable object lifted and dying; the barrel bomb's fuse and explosion.
#include "tools/mkdata/sample_monster_spec.h"

namespace mkdata {

namespace {

// Standing, breaking into broken: what every design of the family does.
std::vector<Row> FamilyRows()
{
    return {
        {0, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{1, 1, 1}, {0, 0, 0}}, false},
        {1, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 2, 0}}, false},
        {2, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
    };
}

// 10026: a hit flinches it (1); at 0 HP it falls (4) and lies (5) until it
// stands again (6) into 0.
std::vector<Row> TargetRows()
{
    return {
        {0, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{1, 1, 1}, {2, 4, 1}, {0, 0, 0}}, false},
        {1, Motion::kHurt, 0, 0, 1, 0, 0, {}, {{2, 4, 1}, {1, 1, 1}, {0, 0, 0}}, false},
        {2, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{0, 0, 0}}, false},
        {3, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{0, 0, 0}}, false},
        {4, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 5, 0}}, false},
        {5, Motion::kDown, 0, 0, 0, 0, 0, {}, {{3, 6, 1}, {0, 5, 0}}, false},
        {6, Motion::kDizzy, 0, 0, 0, 0, 0, {}, {{0, 0, 0}}, false},
    };
}

// 10027: a hero's grab lifts it (104: 1), the grab's end sets it down (105);
// at 0 HP it dies (120: 2) into gone (3).
std::vector<Row> LiftableRows()
{
    return {
        {0, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{104, 1, 1}, {120, 2, 1}, {0, 0, 0}}, false},
        {1, Motion::kGrab, 0, 0, 1, 0, 0, {}, {{105, 0, 1}, {104, 1, 1}, {120, 2, 1}, {0, 1, 0}}, false},
        {2, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 3, 0}}, false},
        {3, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
    };
}

// 10028: a hit lights the fuse (100: 1), which burns until input 120
// blows the barrel up (2) into gone (3).
std::vector<Row> BombRows()
{
    return {
        {0, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{100, 1, 1}, {0, 0, 0}}, false},
        {1, Motion::kDizzy, 0, 0, 1, 0, 0, {}, {{120, 2, 1}, {0, 1, 0}}, false},
        {2, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 3, 0}}, false},
        {3, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
    };
}

CharacterLook LookOf(int32_t aiType)
{
    switch (aiType) {
    case 10001:
    case 10022:
    case 10023:
    case 10024:
    case 10025:
    case 10030:
    case 10031:
        return CharacterLook::kCrateStone;
    case 10005:
    case 10012:
    case 10020:
    case 10021:
    case 10027:
        return CharacterLook::kCrateClay;
    case 10028:
    case 10029:
        return CharacterLook::kBarrel;
    default:
        return CharacterLook::kCrateWood;
    }
}

}  // namespace

MonsterSpec BreakableSpec(int32_t aiType)
{
    const Reactions none = {-1, -1, -1, -1, -1, -1, -1};
    std::vector<Row> rows;
    switch (aiType) {
    case 10026:
        rows = TargetRows();
        break;
    case 10027:
        rows = LiftableRows();
        break;
    case 10028:
    case 10029:
        rows = BombRows();
        break;
    default:
        rows = FamilyRows();
        break;
    }
    return {aiType, LookOf(aiType), none, rows, {}, Figure::kCrate};
}

}  // namespace mkdata
