// The sample monsters (see sample_monsters.h).
#include "tools/mkdata/sample_monsters.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <utility>

#include "boss/breakable_table.h"
#include "tools/mkdata/character_model.h"
#include "tools/mkdata/character_set.h"
#include "tools/mkdata/character_states.h"
#include "tools/mkdata/posed_timeline.h"
#include "tools/mkdata/sample_monster_spec.h"
#include "tools/mkdata/stage_files.h"

namespace mkdata {
namespace {

namespace fs = std::filesystem;

constexpr float kBlend = 0.15f;
constexpr int32_t kGapFrames = 10;
constexpr float kPi = 3.14159265f;

}  // namespace

// 1000: hits 100 and 101 hurt (4, 7), 102 and 103 knock it flying (12, 13),
// a hero's grab holds it (20); it dies through 22 or 23 into 24 or 25.
MonsterSpec Monster1000()
{
    return {1000,
            CharacterLook::kMonster,
            {4, 7, 12, 13, 20, 22, 23},
            {
                {0, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{1, 1, 1}, {2, 2, 1}, {3, 3, 1}, {10, 10, 1}, {19, 19, 1}, {0, 0, 0}}, true},
                {1, Motion::kWalk, 25, 0, 1, 0, 0, {}, {{0, 0, 1}, {2, 2, 1}, {3, 3, 1}, {19, 19, 1}, {1, 1, 0}}, true},
                {2, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{10, 5, 1}, {3, 3, 1}, {1, 1, 1}, {0, 0, 1}, {19, 19, 1}, {2, 2, 0}}, true},
                {3, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{10, 8, 1}, {2, 2, 1}, {1, 1, 1}, {0, 0, 0}}, true},
                {4, Motion::kHurt, -10, 30, 1, 0, 0, {}, {{31, 16, 1}, {0, 0, 0}}, true},
                {5, Motion::kSwing, 5, 0, 1, 10, kPlain, {kBlade}, {{30, 30, 1}, {0, 6, 0}}, true},
                {6, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{3, 3, 0}, {19, 19, 0}, {0, 0, 0}}, true},
                {7, Motion::kHurt, -15, 40, 1, 0, 0, {}, {{31, 16, 1}, {0, 0, 0}}, true},
                {8, Motion::kWalk, 40, 0, 1, 15, kHurt8, {kBlade, kBladeTip}, {{11, 11, 1}, {30, 30, 1}, {0, 0, 0}}, true},
                {10, Motion::kSwing, 5, 0, 1, 12, kHurt2, {kBladeTip}, {{30, 30, 1}, {0, 6, 0}}, true},
                {11, Motion::kSwing, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {12, Motion::kFall, -30, 40, 1, 0, 0, {}, {{120, 22, 0}, {0, 14, 0}}, false},
                {13, Motion::kFall, -20, 30, 1, 0, 0, {}, {{120, 22, 0}, {0, 14, 0}}, false},
                {14, Motion::kDown, 0, 0, 1, 0, 0, {}, {{106, 15, 1}, {120, 22, 1}, {121, 23, 1}}, false},
                {15, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{0, 0, 0}}, false},
                {16, Motion::kHurt, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {18, Motion::kDizzy, 0, 0, 1, 0, 0, {}, {{107, 0, 1}}, true},
                {19, Motion::kSwing, 10, 0, 1, 14, kHurt4, {kBlade}, {{30, 30, 1}, {0, 6, 0}}, true},
                {20, Motion::kHurt, 0, 0, 1, 0, 0, {}, {{104, 20, 1}, {105, 15, 1}, {120, 22, 1}, {121, 23, 1}}, false},
                {21, Motion::kSwing, 0, 0, 1, 8, kPlain, {kBlade}, {{11, 0, 0}, {0, 0, 0}}, true},
                {22, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 24, 0}}, false},
                {23, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 25, 0}}, false},
                {24, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
                {25, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
                {26, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {27, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {28, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {29, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {30, Motion::kDizzy, 0, 0, 1, 0, 0, {}, {{2, 2, 1}}, true},
                HoldRow(31),
            },
            {{13, 726}, {12, 3851}}};
}

namespace {

// 1005: hits hurt (12, 17), 102 and 103 send it flying (14, 13) to land
// with sparks; it notices a hero from idle (4), charges (9) and strikes.
MonsterSpec Monster1005()
{
    return {1005,
            CharacterLook::kMonsterBrute,
            {12, 17, 14, 13, 21, 23, 24},
            {
                {0, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{1, 1, 1}, {2, 1, 1}, {4, 4, 1}, {10, 10, 1}, {0, 0, 0}}, true},
                {1, Motion::kWalk, 25, 0, 1, 0, 0, {}, {{0, 0, 1}, {2, 2, 1}, {10, 10, 1}, {11, 9, 1}, {1, 1, 0}}, true},
                {2, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{10, 10, 1}, {11, 9, 1}, {1, 1, 1}, {0, 0, 1}, {2, 2, 0}}, true},
                {3, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {4, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{1, 1, 1}, {2, 2, 1}, {10, 10, 1}, {0, 0, 1}}, true},
                {5, Motion::kSwing, 5, 0, 1, 10, kPlain, {kBlade}, {{0, 7, 0}}, true},
                {7, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{3, 3, 0}, {19, 22, 0}, {0, 0, 0}}, true},
                {8, Motion::kSwing, 5, 0, 1, 12, kHurt2, {kBladeTip}, {{0, 7, 0}}, true},
                {9, Motion::kWalk, 45, 0, 1, 14, kHurt8, {kBlade, kBladeTip}, {{11, 11, 1}, {0, 7, 0}}, true},
                {10, Motion::kSwing, 5, 0, 1, 12, kPlain, {kBlade}, {{0, 7, 0}}, true},
                {11, Motion::kSwing, 0, 0, 1, 6, kPlain, {kBladeTip}, {{0, 0, 0}}, true},
                {12, Motion::kHurt, -10, 30, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {13, Motion::kFall, -20, 30, 1, 0, 0, {}, {{120, 23, 0}, {0, 15, 0}}, false},
                {14, Motion::kFall, -30, 40, 1, 0, 0, {}, {{120, 23, 0}, {0, 15, 0}}, false},
                {15, Motion::kDown, 0, 0, 1, 0, 0, {}, {{106, 16, 1}, {120, 23, 1}, {121, 24, 1}}, false},
                {16, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{0, 0, 0}}, false},
                {17, Motion::kHurt, -15, 40, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {19, Motion::kDizzy, 0, 0, 1, 0, 0, {}, {{107, 0, 1}}, true},
                {21, Motion::kHurt, 0, 0, 1, 0, 0, {}, {{104, 21, 1}, {105, 16, 1}, {120, 23, 1}, {121, 24, 1}}, false},
                {22, Motion::kSwing, 0, 0, 1, 8, kPlain, {kBlade}, {{11, 11, 0}, {0, 0, 0}}, true},
                {23, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 25, 0}}, false},
                {24, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 26, 0}}, false},
                {25, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
                {26, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
                {27, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {28, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                HoldRow(29),
            },
            {{14, 1556}, {13, 7331}}};
}

// 1007: hurt (14, 4, 7), knocked (15, 16), held by a hero (21); it guards
// (23) when a hero faces it in its alarm circle at the end of a stride, and
// walks on when the guard is over; it grabs (5), rushes (8) and
// carries what it meets (11, 12, 13), and counters from 14 (17).
MonsterSpec Monster1007()
{
    return {1007,
            CharacterLook::kMonsterGuard,
            {14, 4, 15, 16, 21, 24, 24},
            {
                {0, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{1, 1, 1}, {16, 23, 1}, {10, 10, 1}, {2, 2, 1}, {3, 3, 1}, {0, 0, 0}}, true},
                {1, Motion::kWalk, 25, 0, 1, 0, 0, {}, {{0, 0, 1}, {2, 2, 1}, {3, 3, 1}, {16, 23, 0}, {1, 1, 0}}, true},
                {2, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{10, 5, 1}, {3, 3, 1}, {1, 1, 1}, {0, 0, 1}, {16, 23, 1}, {2, 2, 0}}, true},
                {3, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{2, 8, 1}, {1, 1, 1}, {0, 0, 0}}, true},
                {4, Motion::kHurt, -10, 30, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {5, Motion::kGrab, 5, 0, 1, 12, kPlain | kHeavy, {}, {{30, 28, 1}, {0, 0, 0}}, true},
                {7, Motion::kHurt, -15, 40, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {8, Motion::kWalk, 40, 0, 1, 15, kPlain, {kBlade, kBladeTip}, {{11, 11, 1}, {30, 28, 1}, {0, 0, 0}}, true},
                {10, Motion::kSwing, 5, 0, 1, 12, kHurt2, {kBladeTip}, {{0, 0, 0}}, true},
                {11, Motion::kGrab, 30, 0, 1, 0, 0, {}, {{0, 12, 0}}, true},
                {12, Motion::kWalk, 30, 0, 1, 0, 0, {}, {{0, 13, 0}}, true},
                {13, Motion::kSwing, 10, 0, 1, 10, kPlain | kHeavy, {kBlade}, {{0, 0, 0}}, true},
                {14, Motion::kHurt, -5, 20, 1, 0, 0, {}, {{17, 17, 1}, {0, 0, 0}}, true},
                {15, Motion::kFall, -30, 40, 1, 0, 0, {}, {{120, 24, 0}, {0, 0, 0}}, false},
                {16, Motion::kFall, -20, 30, 1, 0, 0, {}, {{120, 24, 0}, {0, 0, 0}}, false},
                {17, Motion::kSwing, 10, 0, 1, 14, kHurt4, {kBlade}, {{0, 0, 0}}, true},
                {18, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {19, Motion::kDizzy, 0, 0, 1, 0, 0, {}, {{107, 0, 1}}, true},
                {21, Motion::kHurt, 0, 0, 1, 0, 0, {}, {{104, 21, 1}, {105, 0, 1}, {120, 24, 1}, {121, 24, 1}}, false},
                {22, Motion::kWalk, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {23, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{102, 15, 1}, {18, 1, 1}, {104, 21, 1}, {120, 24, 1}, {121, 24, 1}}, false},
                {24, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 25, 0}}, false},
                {25, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
                {26, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {27, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {28, Motion::kDizzy, 0, 0, 1, 0, 0, {}, {{2, 2, 1}}, true},
                HoldRow(29),
            },
            {{14, 1620}}};
}

// The grab monsters share their layout: hurt (16), knocked (17, 18, 21)
// down (19) and up (20), held by a hero (25, 26), the seize (11) into the
// hold (13), which every hit, the end of the hold and the hero's release
// leave through 14 or 15, where the hero is let go.
MonsterSpec GrabMonster(int32_t aiType, CharacterLook look, int32_t hold, int32_t knock, int32_t dying,
                        std::initializer_list<Row> own, std::vector<TestedFrame> tested)
{
    const int32_t gone = dying + 2;
    std::vector<Row> rows = {
        {0, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{1, 1, 1}, {11, 11, 1}, {2, 2, 1}, {3, 3, 1}, {10, 4, 1}, {0, 0, 0}}, true},
        {1, Motion::kWalk, 25, 0, 1, 0, 0, {}, {{0, 0, 1}, {2, 2, 1}, {3, 3, 1}, {11, 11, 1}, {1, 1, 0}}, true},
        {3, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{2, 2, 1}, {10, 5, 1}, {1, 1, 1}, {0, 0, 0}}, true},
        {4, Motion::kSwing, 5, 0, 1, 10, kPlain, {kBlade}, {{31, 16, 1}, {0, 0, 0}}, true},
        {5, Motion::kSwing, 5, 0, 1, 12, kHurt2, {kBladeTip}, {{30, knock, 1}, {0, 0, 0}}, true},
        {7, Motion::kWalk, 20, 40, 1, 0, 0, {}, {{31, 16, 1}, {0, 8, 0}}, true},
        {8, Motion::kWalk, 45, 0, 1, 14, kHurt8, {kBlade, kBladeTip}, {{30, knock, 1}, {0, 9, 0}}, true},
        {9, Motion::kWalk, 20, -20, 1, 0, 0, {}, {{0, 0, 0}}, true},
        {10, Motion::kSwing, 5, 0, 1, 12, kPlain, {kBlade}, {{0, 0, 0}}, true},
        {11, Motion::kGrab, 5, 0, 1, 10, 0, {}, {{13, 13, 1}, {0, 0, 0}}, true},
        {13, Motion::kGrab, 0, 0, 1, 0, 0, {},
         {{15, 15, 1}, {14, 14, 1}, {100, 14, 1}, {101, 14, 1}, {102, 14, 1}, {103, 14, 1}, {120, dying, 1},
          {121, dying + 1, 1}},
         false},
        {14, Motion::kSwing, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
        {15, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
        {16, Motion::kHurt, -10, 30, 1, 0, 0, {}, {{0, 0, 0}}, true},
        {17, Motion::kFall, -20, 30, 1, 0, 0, {}, {{120, dying, 0}, {0, 19, 0}}, false},
        {18, Motion::kFall, -30, 40, 1, 0, 0, {}, {{120, dying, 0}, {0, 19, 0}}, false},
        {19, Motion::kDown, 0, 0, 1, 0, 0, {}, {{106, 20, 1}, {120, dying, 1}, {121, dying + 1, 1}}, false},
        {20, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{0, 0, 0}}, false},
        {21, Motion::kFall, -15, 30, 1, 0, 0, {}, {{120, dying, 0}, {0, 19, 0}}, false},
        {23, Motion::kDizzy, 0, 0, 1, 0, 0, {}, {{107, 0, 1}}, true},
        {25, Motion::kHurt, 0, 0, 1, 0, 0, {}, {{104, 25, 1}, {105, 20, 1}, {120, dying, 1}, {121, dying + 1, 1}}, false},
        {26, Motion::kHurt, 0, 0, 1, 0, 0, {}, {{104, 26, 1}, {105, 20, 1}, {120, dying, 1}, {121, dying + 1, 1}}, false},
        {dying, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, gone, 0}}, false},
        {dying + 1, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, gone + 1, 0}}, false},
        {gone, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
        {gone + 1, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
        {knock, Motion::kDizzy, 0, 0, 1, 0, 0, {}, {{2, 2, 1}}, true},
        HoldRow(hold),
    };
    rows.insert(rows.end(), own.begin(), own.end());
    std::sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) { return a.id < b.id; });
    return {aiType, look, {16, 17, 18, 21, 25, dying, dying + 1}, rows, std::move(tested)};
}

Row ReadyRow(std::vector<FsfRowTransition> transitions)
{
    return {2, Motion::kIdle, 0, 0, 1, 0, 0, {}, transitions, true};
}

MonsterSpec Monster1004()
{
    return GrabMonster(1004, CharacterLook::kMonsterGrappler, 35, 34, 27,
                       {ReadyRow({{10, 10, 1}, {11, 11, 1}, {3, 3, 1}, {1, 1, 1}, {0, 0, 1}, {2, 2, 0}}),
                        {31, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                        {32, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                        {33, Motion::kHurt, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true}},
                       {{18, 3821}});
}

// 1003 is told to close in (input 2) from its whole alarm circle: its
// state 2 steps forward, and each stride ends in the walk (1), which turns
// it to its foe, until the foe stands in its attack range, where it
// strikes (10), seizes (11) or turns (3).
MonsterSpec Monster1003()
{
    MonsterSpec spec = GrabMonster(
        1003, CharacterLook::kMonsterGrappler, 34, 33, 27,
        {{2, Motion::kWalk, 15, 0, 1, 0, 0, {}, {{10, 10, 1}, {11, 11, 1}, {3, 3, 1}, {1, 1, 1}, {0, 0, 1}, {2, 1, 0}}, true},
         {31, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
         {32, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true}},
        {{18, 2818}});
    for (Row &row : spec.rows) {
        if (row.id == 1) {
            // A stride of the walk ends before it steps in again.
            for (FsfRowTransition &t : row.transitions) {
                if (t.input == 2) {
                    t.isDirChange = 0;
                }
            }
        }
    }
    return spec;
}

MonsterSpec Monster1002()
{
    return GrabMonster(1002, CharacterLook::kMonsterBrute, 37, 36, 28,
                       {ReadyRow({{10, 10, 1}, {12, 7, 1}, {20, 27, 1}, {11, 11, 1}, {3, 3, 1}, {1, 1, 1}, {0, 0, 1}, {2, 2, 0}}),
                        {27, Motion::kWalk, 0, 2, 1, 0, 0, {}, {{0, 0, 0}}, true},
                        {32, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                        {33, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                        {34, Motion::kHurt, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                        {35, Motion::kHurt, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true}},
                       {{18, 1221}, {17, 3989}});
}

MonsterSpec SpecOf(int32_t aiType)
{
    switch (aiType) {
    case 1002:
        return Monster1002();
    case 1003:
        return Monster1003();
    case 1004:
        return Monster1004();
    case 1005:
        return Monster1005();
    case 1006:
        return Monster1006();
    case 1007:
        return Monster1007();
    case 1021:
        return Monster1021();
    case 10:
        return Npc10();
    default:
        if (aiType >= 100 && aiType <= 118) {
            return NpcFigure(aiType);
        }
        return aiType >= kFirstBreakableType ? BreakableSpec(aiType) : Monster1000();
    }
}

// The frame a tested state's motion must reach, or -1.
int32_t TestedFrameOf(const MonsterSpec &spec, int32_t state)
{
    for (const TestedFrame &t : spec.tested) {
        if (t.state == state) {
            return t.frame;
        }
    }
    return -1;
}

// Lays the states' motions out on the timeline: the tested ones around
// their frames (a third of the motion before it), the others in the first
// free stretch from frame 0, two frames apart. Numbers between the states
// get a short still motion too, so that the table has no gap.
MotionTable Layout(const MonsterSpec &spec)
{
    struct Span {
        int32_t start;
        int32_t end;
    };
    std::vector<Span> used;
    auto overlaps = [&used](int32_t start, int32_t end) {
        for (const Span &s : used) {
            if (start <= s.end + 2 && end + 2 >= s.start) {
                return true;
            }
        }
        return false;
    };
    MotionTable table;
    int32_t last = 0;
    for (const Row &row : spec.rows) {
        last = std::max(last, row.id);
    }
    table.motions.resize(static_cast<size_t>(last) + 1);
    for (const Row &row : spec.rows) {
        const int32_t frame = TestedFrameOf(spec, row.id);
        if (frame >= 0) {
            const int32_t length = MotionFrames(row.motion);
            const int32_t start = frame - length / 3;
            table.motions[static_cast<size_t>(row.id)] = {start, start + length, true};
            used.push_back({start, start + length});
        }
    }
    for (const Row &row : spec.rows) {
        if (TestedFrameOf(spec, row.id) >= 0) {
            continue;
        }
        const int32_t length = MotionFrames(row.motion);
        int32_t start = 0;
        while (overlaps(start, start + length)) {
            ++start;
        }
        table.motions[static_cast<size_t>(row.id)] = {start, start + length, true};
        used.push_back({start, start + length});
    }
    for (MotionRange &motion : table.motions) {
        if (!motion.defined) {
            int32_t start = 0;
            while (overlaps(start, start + kGapFrames)) {
                ++start;
            }
            motion = {start, start + kGapFrames, true};
            used.push_back({start, start + kGapFrames});
        }
    }
    return table;
}

// ---- the motions on the figure ----

const RwV3d kX = {1, 0, 0};
const RwV3d kY = {0, 1, 0};
const RwV3d kZ = {0, 0, 1};

RtQuat Still() { return CharacterRotation(kX, 0.0f); }

// The rotation of `node` at `u` (0..1) through a motion of `kind`.
RtQuat PoseOf(Motion kind, RwInt32 node, RwReal u, RwReal scale, RwV3d *translation)
{
    *translation = CharacterBoneOffset(node, scale);
    const RwReal wave = std::sin(u * 2.0f * kPi);
    const RwReal rise = std::sin(u * kPi);
    switch (kind) {
    case Motion::kIdle:
        // Standing at rest: the arms hang, the body breathes.
        if (node == kNodeArmL || node == kNodeArmR) {
            return RestingArm(node, 0.0f);
        }
        return node == kNodeSpine ? CharacterRotation(kX, 3.0f * wave) : Still();
    case Motion::kWalk:
        if (node == kNodePelvis) {
            translation->y += 0.04f * scale * std::fabs(wave);
            return CharacterRotation(kY, 8.0f * wave);
        }
        if (node == kNodeArmL || node == kNodeArmR) {
            return RestingArm(node, (node == kNodeArmL ? 35.0f : -35.0f) * wave);
        }
        if (node == kNodeLegR) {
            return CharacterRotation(kX, 35.0f * wave);
        }
        return node == kNodeLegL ? CharacterRotation(kX, -35.0f * wave) : Still();
    case Motion::kSwing:
        // The sword arm sweeps round to the front and back.
        if (node == kNodeArmR) {
            return CharacterRotation(kY, -100.0f * rise);
        }
        return node == kNodeSpine ? CharacterRotation(kY, -15.0f * rise) : Still();
    case Motion::kGrab:
        if (node == kNodeArmR) {
            return CharacterRotation(kY, -90.0f * rise);
        }
        return node == kNodeArmL ? CharacterRotation(kY, 90.0f * rise) : Still();
    case Motion::kHurt:
        if (node == kNodeSpine) {
            return CharacterRotation(kX, -20.0f * rise);
        }
        return node == kNodeHead ? CharacterRotation(kX, -15.0f * rise) : Still();
    case Motion::kFall:
        if (node == kNodePelvis) {
            translation->y *= 1.0f - 0.8f * u;
            return CharacterRotation(kX, -80.0f * u);
        }
        return Still();
    case Motion::kDown:
        if (node == kNodePelvis) {
            translation->y *= 0.2f;
            return CharacterRotation(kX, -80.0f);
        }
        return Still();
    case Motion::kDizzy:
        if (node == kNodeHead) {
            return CharacterRotation(kZ, 15.0f * std::sin(u * 4.0f * kPi));
        }
        return node == kNodeSpine ? CharacterRotation(kZ, 5.0f * wave) : Still();
    }
    return Still();
}

// The crate's motions: the lid lifted (grab), shaken (hurt, dizzy), thrown
// off while the body tips (fall), lying apart (down); still otherwise.
RtQuat CratePoseOf(Motion kind, RwInt32 node, RwReal u, RwReal scale, RwV3d *translation)
{
    *translation = FigureBoneOffset(Figure::kCrate, node, scale);
    const RwReal rise = std::sin(u * kPi);
    const bool lid = node == 1;
    switch (kind) {
    case Motion::kGrab:
        if (!lid) {
            translation->y += 0.3f * scale * rise;
        }
        return Still();
    case Motion::kHurt:
    case Motion::kDizzy:
        return lid ? CharacterRotation(kZ, 8.0f * std::sin(u * 4.0f * kPi)) : CharacterRotation(kZ, 3.0f * rise);
    case Motion::kFall:
        if (lid) {
            translation->y += 0.8f * scale * rise;
            translation->x += 0.9f * scale * u;
            return CharacterRotation(kZ, -120.0f * u);
        }
        return CharacterRotation(kX, -80.0f * u);
    case Motion::kDown:
        if (lid) {
            translation->x += 0.9f * scale;
            return CharacterRotation(kZ, -120.0f);
        }
        return CharacterRotation(kX, -80.0f);
    default:
        return Still();
    }
}

RtAnimAnimation *BuildMonsterAnimation(const MonsterSpec &spec, const MotionTable &table)
{
    // Every motion of the table is keyed, the numbers between the states
    // (short still motions) too.
    std::vector<PoseStretch<Motion>> stretches;
    for (size_t id = 0; id < table.motions.size(); ++id) {
        Motion kind = Motion::kIdle;
        for (const Row &row : spec.rows) {
            if (row.id == static_cast<int32_t>(id)) {
                kind = row.motion;
            }
        }
        stretches.push_back(StretchOf(table.motions[id], kind));
    }
    return BuildTimelineAnimation<Motion>(stretches, spec.figure == Figure::kCrate ? CratePoseOf : PoseOf,
                                          Motion::kIdle, kSampleFigureScale, spec.figure);
}

CFSF Build(const MonsterSpec &spec)
{
    const Reactions &r = spec.reactions;
    const std::vector<FsfRowTransition> reactions = {
        {100, r.hurt, 1},   {101, r.hurt4, 1}, {102, r.knockDown, 1}, {103, r.hurt2, 1},
        {104, r.grabbed, 1}, {108, 1, 1},      {120, r.dyingA, 1},    {121, r.dyingB, 1},
    };
    std::vector<FsfRow> rows;
    for (const Row &row : spec.rows) {
        rows.push_back({row.id, row.speed, row.acceleration, row.isHurt, row.id == spec.reactions.grabbed ? 0 : 1,
                        row.attackValue, row.attackAttribute, row.weapons, row.transitions, row.reacts});
    }
    return BuildStateMachine(rows, reactions, kBlend);
}

}  // namespace

const std::vector<int32_t> &SampleMonsterTypes()
{
    static const std::vector<int32_t> types = {10,  100, 101, 102, 103, 104, 105, 106, 107,  108,  109,  110,  111,  112,
                                               113, 114, 115, 116, 117, 118, 1000, 1002, 1003, 1004, 1005, 1006, 1007, 1021};
    return types;
}

const std::vector<int32_t> &SampleBreakableTypes()
{
    static const std::vector<int32_t> types = [] {
        std::vector<int32_t> all;
        for (int32_t type = kFirstBreakableType; type <= kLastBreakableType; ++type) {
            all.push_back(type);
        }
        return all;
    }();
    return types;
}

std::string SampleMonsterName(int32_t aiType)
{
    const BreakableRow *row = BreakableRowOf(aiType);
    return row != nullptr ? row->modelId : std::to_string(aiType);
}

std::string SampleMonsterFolder(int32_t aiType)
{
    const char *folder = aiType >= kFirstBreakableType ? "RESOURCE/BREAKOBJ/"
                                                       : (aiType < 1000 ? "RESOURCE/NPC/" : "RESOURCE/MONSTER/");
    return folder + SampleMonsterName(aiType);
}

std::vector<TestedFrame> SampleMonsterTestedFrames(int32_t aiType) { return SpecOf(aiType).tested; }

MotionTable SampleMonsterMotions(int32_t aiType) { return Layout(SpecOf(aiType)); }

CFSF SampleMonsterStateMachine(int32_t aiType) { return Build(SpecOf(aiType)); }

CharacterParams SampleMonsterParams(int32_t aiType)
{
    CharacterParams p = SampleFigureParams();
    p.grabOrBleedRange = 14.0f;
    p.levelAppend = 1.5f;
    p.maxHP = 120;
    p.defense = 2;
    p.defAttribute = 2;
    p.attackTarget = 1;
    p.attackRange = 15.0f;
    p.alarmCircle = 40.0f;
    // Types 1000, 1005 and 1006 take the half angle in radians: 0.7 is about 40 degrees.
    p.attackHalfAngle = aiType == 1000 || aiType == 1005 || aiType == 1006 ? 0.7f : 40.0f;
    p.searchRange = 60.0f;
    p.exp = 30;
    if (aiType == 1002 || aiType == 1003 || aiType == 1004 || aiType == 1021 || aiType == 10) {
        // The seize takes a hero it faces as its blows do: the cone of its
        // grab is wider than the half angle of its attacks, so that a hero
        // it chose to seize is not lost to the angle.
        p.grabOrBleedHAngle = 50.0f;
    }
    if (aiType >= 1000 && aiType < kFirstBreakableType) {
        // The monsters' blows count four times their attack values, so that
        // a hero left standing among them falls; each stands three to six
        // of a hero's blows (100 and more with its starting sword).
        p.levelAppend = 4.0f;
        p.maxHP = 360;
    }
    switch (aiType) {
    case 1003:
        // It holds a seized hero 15 units ahead: it reaches that far.
        p.grabOrBleedRange = 18.0f;
        p.maxHP = 480;
        p.exp = 45;
        break;
    case 1005:
        p.maxHP = 420;
        p.defense = 4;
        p.exp = 40;
        break;
    case 1007:
        p.maxHP = 540;
        p.defense = 3;
        p.exp = 60;
        // It sees a hero at the arena's start from the middle of the yard.
        p.searchRange = 150.0f;
        break;
    case 1006:
        p.maxHP = 390;
        p.exp = 35;
        break;
    case 1021:
        // It carries a seized hero 15 units ahead: it reaches that far.
        p.grabOrBleedRange = 18.0f;
        p.maxHP = 660;
        p.defense = 4;
        p.exp = 80;
        // It sees a hero at the arena's start from the west wall.
        p.searchRange = 150.0f;
        break;
    case 10026:
        p.radius = 6.0f;
        p.maxHP = 60;
        p.defense = 0;
        break;
    case 10027:
        p.radius = 6.0f;
        p.maxHP = 40;
        break;
    case 10:
        // Holds a seized hero 7.5 units ahead.
        p.grabOrBleedRange = 10.0f;
        p.maxHP = 150;
        p.exp = 0;
        break;
    default:
        if (aiType >= kFirstBreakableType) {
            p.radius = 6.0f;  // the crate is 10 units across
            p.maxHP = 1;
        }
        break;
    }
    return p;
}

std::vector<SampleSound> SampleMonsterSounds(int32_t aiType)
{
    // The ids the types play, each a tone between 300 and 1500 Hz by id.
    static const std::vector<std::pair<int32_t, std::vector<int32_t>>> kIds = {
        {1000, {6110010, 6110020, 6110030, 6110040, 6110050, 6300070, 6300230, 6300240, 6300250}},
        {1002, {6130000, 6130010, 6130020, 6130030, 6300070, 6300230, 6300240, 6300250, 6300270}},
        {1003, {6140010, 6140020, 6140030, 6300070, 6300100, 6300230, 6300240, 6300250, 6300270}},
        {1004, {6150010, 6150020, 6150030, 6300230, 6300240, 6300250, 6300270}},
        {1005, {6110010, 6110020, 6110030, 6110040, 6110050, 6300070, 6300230, 6300240, 6300250}},
        {1006, {6110010, 6110020, 6110030, 6110040, 6110050, 6300070, 6300230, 6300240, 6300250}},
        {1007, {6110010, 6110020, 6110030, 6110040, 6110050, 6300040, 6300070, 6300210, 6300230, 6300240,
                6300250}},
        {1021, {6150010, 6150020, 6150030, 6300040, 6300070, 6300110, 6300140, 6300220, 6300230, 6300240,
                6300250, 6300270}},
        {10, {6120000, 6120010, 6120020, 6300070, 6300230, 6300240, 6300250, 6300270}},
        {10026, {6500190}},
        {10027, {6120010, 6120020, 6300230}},
        {10028, {6500320}},
        {10029, {6500320}},
    };
    if (const BreakableRow *row = BreakableRowOf(aiType); row != nullptr && row->act != BreakAct::kOwn) {
        return {{row->breakSound, 300.0 + static_cast<double>((row->breakSound / 10) % 120) * 10.0}};
    }
    std::vector<SampleSound> sounds;
    for (const auto &[type, ids] : kIds) {
        if (type != aiType) {
            continue;
        }
        for (int32_t id : ids) {
            sounds.push_back({id, 300.0 + static_cast<double>((id / 10) % 120) * 10.0});
        }
    }
    return sounds;
}

bool WriteSampleMonsters(const std::string &root)
{
    std::vector<int32_t> types = SampleMonsterTypes();
    types.insert(types.end(), SampleBreakableTypes().begin(), SampleBreakableTypes().end());
    for (int32_t aiType : types) {
        const MonsterSpec spec = SpecOf(aiType);
        const std::string folder = SampleMonsterFolder(aiType);
        const std::string name = SampleMonsterName(aiType);
        const fs::path base = fs::path(root) / folder / name;
        const MotionTable motions = Layout(spec);
        if (!WriteFigureModel(root, folder.c_str(), name.c_str(), spec.figure, spec.look)) {
            return false;
        }
        if (!WriteCharacterSet(base.string(), BuildMonsterAnimation(spec, motions), motions,
                               SampleMonsterParams(aiType), Build(spec))) {
            return false;
        }
    }
    return true;
}

}  // namespace mkdata
