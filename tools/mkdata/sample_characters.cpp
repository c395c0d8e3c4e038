// The sample characters beside the template's six (see
// sample_monster_spec.h): monster 1006 (states laid out as 1000's), monster
// 1021 with its grab, guard and charge, the fighting character 10, and the
// event figures 100 to 118.
#include "tools/mkdata/sample_monster_spec.h"

#include <utility>

namespace mkdata {

namespace {

// A state's transitions after those of its deaths (120 and 121), for the
// states that take no other hit.
std::vector<FsfRowTransition> WithDeaths(std::vector<FsfRowTransition> own, int32_t dyingA, int32_t dyingB)
{
    own.insert(own.begin(), {{120, dyingA, 1}, {121, dyingB, 1}});
    return own;
}

}  // namespace

// 1006: hurt (4, 7), knocked flying (12, 13) and down (14) until it gets up
// (15), held by a hero (20); it swings (5, 10), rushes (8), lunges when a
// hero faces it in its alarm circle (21) and counters (19) from its
// recovery (6); poison (input 31) takes it to its hold state 31, which
// lets it walk again; it dies through 22 or 23 into 24 or 25.
MonsterSpec Monster1006()
{
    MonsterSpec spec = Monster1000();
    spec.aiType = 1006;
    spec.look = CharacterLook::kMonsterShade;
    for (Row &row : spec.rows) {
        switch (row.id) {
        case 0:
        case 1:
        case 2:
            // The lunge (21) is reached beside the counter; state 2 takes
            // it in the counter's place.
            for (auto at = row.transitions.begin(); at != row.transitions.end(); ++at) {
                if (at->input == 19) {
                    if (row.id == 2)
                        *at = {11, 21, 1};
                    else
                        row.transitions.insert(at, {11, 21, 1});
                    break;
                }
            }
            break;
        case 4:
        case 7:
            row.transitions.front() = {31, 31, 1};
            break;
        case 21:
            row.speed = 8;
            break;
        case 31:
            // The hold state keeps it for its event; poisoned, it walks on.
            row = {31, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{1, 1, 1}, {2, 2, 1}, {0, 31, 0}}, false};
            break;
        default:
            break;
        }
    }
    spec.tested = {{13, 726}, {12, 3855}};
    return spec;
}

// 1021: hurt (19, with a counter into the charge at frame 1820), knocked
// flying and down (20, 21) until it gets up (22), held by a hero (26); it
// guards a hurt-2 blow (27), turns (3) into a backhand (4), swings (10)
// into a follow-up (7), charges (16, 17, 18) when a hero faces it in its
// alarm circle, and seizes a hero (11) to hold (13, walking it along) and
// let go (14, 15); it dies through 28 into 29.
MonsterSpec Monster1021()
{
    auto with = [](std::vector<FsfRowTransition> own) { return WithDeaths(std::move(own), 28, 28); };
    return {1021,
            CharacterLook::kMonsterHeavy,
            {19, 19, 20, 27, 26, 28, 28},
            {
                {0, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{1, 1, 1}, {2, 2, 1}, {3, 3, 1}, {10, 10, 1}, {11, 11, 1}, {16, 16, 1}, {0, 0, 0}}, true},
                {1, Motion::kWalk, 25, 0, 1, 0, 0, {}, {{0, 0, 1}, {2, 2, 1}, {3, 3, 1}, {16, 16, 1}, {1, 1, 0}}, true},
                {2, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{10, 10, 1}, {11, 11, 1}, {3, 3, 1}, {1, 1, 1}, {0, 0, 1}, {16, 16, 1}, {2, 2, 0}}, true},
                {3, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{2, 2, 1}, {1, 1, 1}, {0, 4, 0}}, true},
                {4, Motion::kSwing, 5, 0, 1, 12, kPlain, {kBladeTip}, {{0, 0, 0}}, true},
                {7, Motion::kSwing, 5, 0, 1, 14, kHurt4, {kBlade, kBladeTip}, {{0, 0, 0}}, true},
                {10, Motion::kSwing, 5, 0, 1, 12, kHurt2, {kBlade}, {{0, 7, 0}}, true},
                {11, Motion::kGrab, 5, 0, 1, 10, 0, {}, {{13, 13, 1}, {0, 0, 0}}, true},
                {13, Motion::kGrab, 10, 0, 1, 0, 0, {},
                 with({{15, 15, 1}, {14, 14, 1}, {100, 14, 1}, {101, 14, 1}, {102, 14, 1}, {103, 14, 1}, {0, 13, 0}}),
                 false},
                {14, Motion::kSwing, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {15, Motion::kSwing, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {16, Motion::kWalk, 20, 40, 1, 0, 0, {}, with({{0, 17, 0}}), false},
                {17, Motion::kWalk, 50, 0, 1, 16, kHurt8, {kBlade, kBladeTip}, with({{0, 18, 0}}), false},
                {18, Motion::kWalk, 30, -30, 1, 0, 0, {}, with({{0, 0, 0}}), false},
                {19, Motion::kHurt, -5, 20, 1, 0, 0, {}, {{17, 17, 1}, {0, 0, 0}}, true},
                {20, Motion::kFall, -30, 40, 1, 0, 0, {}, with({{106, 22, 1}}), false},
                {21, Motion::kFall, -20, 30, 1, 0, 0, {}, with({{106, 22, 1}}), false},
                {22, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{0, 0, 0}}, false},
                {23, Motion::kWalk, 15, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {24, Motion::kDizzy, 0, 0, 1, 0, 0, {}, {{107, 0, 1}}, true},
                {26, Motion::kHurt, 0, 0, 1, 0, 0, {}, with({{104, 26, 1}, {105, 22, 1}}), false},
                {27, Motion::kIdle, 0, 0, 1, 0, 0, {}, with({{102, 20, 1}, {18, 0, 1}, {104, 26, 1}, {0, 27, 0}}), false},
                {28, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 29, 0}}, false},
                {29, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
                {30, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {31, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                HoldRow(32),
            },
            {{19, 1820}, {21, 1556}, {20, 7331}}};
}

// 10: hurt (16), knocked flying (17, 18, 21) and down (19) until it gets up
// (20), held by a hero (25, 26), dizzy (23); it walks after its foe (1) and
// swings at the end of each stride (10), turns (3) into a backhand (4),
// seizes a hero (11) to hold (13) and let go (14, 15); it dies through 27
// or 28 into 30 or 31; 34 to 37 stand aside, 38 is its hold state.
MonsterSpec Npc10()
{
    auto with = [](std::vector<FsfRowTransition> own) { return WithDeaths(std::move(own), 27, 28); };
    return {10,
            CharacterLook::kFighter,
            {16, 16, 17, 18, 25, 27, 28},
            {
                {0, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{1, 1, 1}, {2, 2, 1}, {3, 3, 1}, {10, 10, 1}, {11, 11, 1}, {0, 0, 0}}, true},
                {1, Motion::kWalk, 25, 0, 1, 0, 0, {}, {{0, 0, 1}, {2, 2, 1}, {3, 3, 1}, {10, 10, 1}, {11, 11, 1}, {1, 10, 0}}, true},
                {2, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{10, 10, 1}, {11, 11, 1}, {3, 3, 1}, {1, 1, 1}, {0, 0, 1}, {2, 2, 0}}, true},
                {3, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{10, 10, 1}, {2, 2, 1}, {1, 1, 1}, {0, 4, 0}}, true},
                {4, Motion::kSwing, 5, 0, 1, 10, kPlain, {kBladeTip}, {{0, 0, 0}}, true},
                {10, Motion::kSwing, 5, 0, 1, 12, kPlain, {kBlade, kBladeTip}, {{0, 0, 0}}, true},
                {11, Motion::kGrab, 5, 0, 1, 10, 0, {}, {{13, 13, 1}, {0, 0, 0}}, true},
                {13, Motion::kGrab, 0, 0, 1, 0, 0, {},
                 with({{15, 15, 1}, {14, 14, 1}, {100, 14, 1}, {101, 14, 1}, {102, 14, 1}, {103, 14, 1}, {0, 13, 0}}),
                 false},
                {14, Motion::kSwing, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {15, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {16, Motion::kHurt, -10, 30, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {17, Motion::kFall, -20, 30, 1, 0, 0, {}, with({{0, 19, 0}}), false},
                {18, Motion::kFall, -30, 40, 1, 0, 0, {}, with({{0, 19, 0}}), false},
                {19, Motion::kDown, 0, 0, 1, 0, 0, {}, with({{106, 20, 1}}), false},
                {20, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{0, 0, 0}}, false},
                {21, Motion::kFall, -15, 30, 1, 0, 0, {}, with({{0, 19, 0}}), false},
                {23, Motion::kDizzy, 0, 0, 1, 0, 0, {}, {{107, 0, 1}}, true},
                {25, Motion::kHurt, 0, 0, 1, 0, 0, {}, with({{104, 25, 1}, {105, 20, 1}}), false},
                {26, Motion::kHurt, 0, 0, 1, 0, 0, {}, with({{104, 26, 1}, {105, 20, 1}}), false},
                {27, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 30, 0}}, false},
                {28, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 31, 0}}, false},
                {30, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
                {31, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
                {34, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {35, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {36, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                {37, Motion::kIdle, 0, 0, 1, 0, 0, {}, {{0, 0, 0}}, true},
                HoldRow(38),
            },
            {}};
}

// The event figures: idle in 0; 1 is what their event shows (the hold
// family's event state, the show family's animation); 101 has its last
// states 12 to 16, which events play and which its event's show leaves
// (input 1, once unlocked); 112 appears (1), stands with its
// ring (2) and, once dying or let go by its event, fades (5) and ends (6).
MonsterSpec NpcFigure(int32_t aiType)
{
    const Reactions none = {-1, -1, -1, -1, -1, -1, -1};
    std::vector<Row> rows;
    if (aiType == 112) {
        rows = {
            {0, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{1, 1, 1}, {120, 5, 1}, {0, 0, 0}}, false},
            {1, Motion::kGrab, 0, 0, 0, 0, 0, {}, {{120, 5, 1}, {0, 2, 0}}, false},
            {2, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{120, 5, 1}, {1, 5, 1}, {0, 2, 0}}, false},
            {3, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{0, 2, 0}}, false},
            {4, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{0, 2, 0}}, false},
            {5, Motion::kFall, 0, 0, 0, 0, 0, {}, {{0, 6, 0}}, false},
            {6, Motion::kDown, 0, 0, 0, 0, 0, {}, {}, false},
        };
    } else {
        // The figures that events hold in state 1 (the others play it
        // once and stand again).
        const bool hold = aiType == 100 || aiType == 102 || aiType == 103 || aiType == 104 || aiType == 105 ||
                          aiType >= 113;
        rows = {
            {0, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{1, 1, 1}, {0, 0, 0}}, false},
            {1, Motion::kGrab, 0, 0, 0, 0, 0, {}, hold ? std::vector<FsfRowTransition>{{0, 1, 0}}
                                                         : std::vector<FsfRowTransition>{{1, 0, 1}, {0, 1, 0}},
             false},
        };
        if (aiType == 101) {
            for (int32_t id = 12; id <= 16; ++id) {
                rows.push_back({id, Motion::kDizzy, 0, 0, 0, 0, 0, {}, {{1, 1, 1}, {0, id, 0}}, false});
            }
        }
    }
    return {aiType, CharacterLook::kVillager, none, rows, {}};
}

}  // namespace mkdata
