// The sample bosses 1103, 1104, 1105, 1108, 1109 and 1110 (see
// sample_boss_spec.h): their states, motions and routes. Each state
// machine routes every input its behaviour feeds; the states whose
// behaviour waits for an absolute frame list it among the tested frames.
#include "tools/mkdata/sample_boss_spec.h"

namespace mkdata::bossspec {
namespace {

constexpr int32_t kNoHits = -1;

// 1103: idle 0, the walk 1, the run 2 and the approach 3 (closing in with
// 5 and 1), the turn 4 (where a hit makes it guard, 28), the blows 7 and 9,
// the counter 10 with its chained 13 (through 11), the flame attack 12 into
// the flame swing 18 (frame 1414), the double shot 20 (frame 2935, from the
// walk's 11), the rage blast 21 (frame 2180), the guard stance 22 (its
// peek 17 into the counter, its escape 108 into the dodge 16), the shaken
// 23 and the grab fights 25 and 27 (a hero's grab 104), the knock-down 29
// and the get-up 33, dying 5 into gone 6, hold 34.
BossSpec Boss1103()
{
    const std::initializer_list<int32_t> all = {0, 1, 2, 3, 5, 10, 11};
    const std::vector<FsfRowTransition> hits = {Now(100, 28), Now(101, 28), Now(102, 29), Now(103, 29),
                                                Now(104, 25), Now(120, 5)};
    const std::vector<FsfRowTransition> attacks = {Now(10, 7), Now(3, 4), Now(16, 21)};
    return {1103,
            CharacterLook::kMonsterBrute,
            22,
            29,
            5,
            25,
            {
                {0, Move::kIdle, 0, 0, 1, 0, 0, {}, std::vector{Now(5, 2), Now(1, 1)} + attacks + std::vector{AtEnd(0, 0)}},
                {1, Move::kWalk, 20, 0, 1, 0, 0, {}, std::vector{Now(5, 2), Now(0, 0), Now(11, 20)} + attacks},
                {2, Move::kWalk, 35, 0, 1, 0, 0, {}, std::vector{Now(1, 3), Now(0, 0), Now(11, 12)} + attacks},
                {3, Move::kWalk, 15, 0, 1, 0, 0, {}, std::vector{Now(11, 12), Now(0, 0)} + attacks},
                {4, Move::kIdle, 0, 0, 1, 0, 0, {}, hits + std::vector{Now(10, 7), Now(11, 12), Now(16, 21)} + EndsInto(1, {0, 1, 2, 3, 5}), false},
                Dying(5, 6),
                Gone(6),
                {7, Move::kSwing, 5, 0, 1, 20, kPlain, {kBlade, kBladeTip}, std::vector{Now(30, 23)} + EndsInto(9, all)},
                {9, Move::kSwing, 5, 0, 1, 20, kHurt2, {kBladeTip}, std::vector{Now(30, 23)} + EndsInto(1, all)},
                {10, Move::kSwing, 5, 0, 1, 25, kPlain, {kBlade, kBladeTip}, std::vector{Now(30, 23)} + EndsInto(11, all)},
                {11, Move::kIdle, 0, 0, 1, 0, 0, {}, std::vector{Now(4, 13)} + EndsInto(1, all)},
                {12, Move::kSwing, 5, 0, 1, 25, kHurt8, {kBlade, kBladeTip}, EndsInto(18, all)},
                {13, Move::kSwing, 5, 0, 1, 25, kHurt8, {kBlade, kBladeTip}, EndsInto(1, all)},
                {15, Move::kHurt, 0, 0, 1, 0, 0, {}, std::vector{Now(15, 26), Now(30, 23)} + EndsInto(1, all)},
                {16, Move::kCharge, -30, 30, 0, 0, 0, {}, EndsInto(1, all)},
                {17, Move::kSwing, 5, 0, 1, 20, kPlain, {kBlade}, std::vector{Now(30, 23)} + EndsInto(1, all)},
                {18, Move::kSwing, 5, 0, 1, 30, kHurt8, {kBlade, kBladeTip}, EndsInto(1, all)},
                {20, Move::kThrow, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {21, Move::kRoar, 0, 0, 1, 0, 0, {}, std::vector{Now(120, 5)} + EndsInto(1, {0, 1, 2, 3, 5, 10, 11, 16}), false},
                {22, Move::kHurt, 0, 0, 1, 0, 0, {}, std::vector{Now(17, 10), Now(108, 16), Now(16, 21)} + EndsInto(1, all)},
                {23, Move::kHurt, 0, 0, 1, 0, 0, {}, std::vector{Now(120, 5)} + EndsInto(33, all), false},
                {24, Move::kIdle, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {25, Move::kHurt, 0, 0, 1, 0, 0, {}, std::vector{Now(104, 25), Now(120, 5)} + EndsInto(27, all), false},
                {26, Move::kIdle, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {27, Move::kHurt, 0, 0, 1, 0, 0, {}, std::vector{Now(104, 27), Now(105, 24), Now(120, 5)} + EndsInto(24, all), false},
                {28, Move::kGuard, 0, 0, 1, 0, 0, {}, {Now(18, 1), Now(102, 22), Now(120, 5), AtEnd(0, 28)}, false},
                {29, Move::kFall, 0, 0, 1, 0, 0, {}, EndsInto(33, all)},
                {30, Move::kIdle, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {31, Move::kIdle, 0, 0, 0, 0, 0, {}, std::vector{Now(120, 5)} + EndsInto(1, all), false},
                {32, Move::kIdle, 0, 0, 0, 0, 0, {}, std::vector{Now(120, 5)} + EndsInto(1, all), false},
                {33, Move::kDown, 0, 0, 1, 0, 0, {}, {Now(2, 1), Now(120, 5)}, false},
                Hold(34),
            },
            {{21, 2180}, {20, 2935}, {18, 1414}}};
}

// 1104: idle 0, the circling 1 (its 3 s end in 1 or the vines' 11; in its
// alarm circle, at the end of a round, the tornado 3 or the bolt 4), the
// back-off 2 (from the attack range's 21; a hit there makes it guard, 11),
// the spells 3, 4 and 5 (frames 235, 545 and 740), the call 6 (16), the
// counter cast 7 (the peek's 17 in the hurt 9), the knock-down 10, dying
// 12 into gone 13, hold 14.
BossSpec Boss1104()
{
    const std::initializer_list<int32_t> all = {0, 1, 2, 6, 10, 11, 21};
    return {1104,
            CharacterLook::kMonsterGuard,
            9,
            10,
            12,
            -1,
            {
                {0, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(1, 1), Now(6, 1), Now(10, 1), Now(21, 2), Now(16, 6), AtEnd(0, 0)}},
                {1, Move::kWalk, 20, 0, 1, 0, 0, {}, {Now(16, 6), Now(21, 2), Now(11, 5), Now(0, 0), AtEnd(10, 3), AtEnd(6, 4)}},
                {2, Move::kWalk, 20, 0, 1, 0, 0, {},
                 {Now(100, 11), Now(101, 11), Now(102, 10), Now(103, 10), Now(120, 12), Now(16, 6), Now(2, 1)}, false},
                {3, Move::kThrow, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {4, Move::kThrow, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {5, Move::kRoar, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {6, Move::kRoar, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {7, Move::kThrow, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {9, Move::kHurt, -10, 30, 1, 0, 0, {}, std::vector{Now(17, 7), Now(16, 6)} + EndsInto(1, all)},
                {10, Move::kFall, -20, 30, 1, 0, 0, {}, std::vector{Now(16, 6)} + EndsInto(1, all)},
                {11, Move::kGuard, 0, 0, 1, 0, 0, {}, {Now(18, 1), Now(102, 10), Now(120, 12), AtEnd(0, 11)}, false},
                Dying(12, 13),
                Gone(13),
                Hold(14),
            },
            {{3, 235}, {4, 545}, {5, 740}}};
}

// 1105: hidden 0 (fed 201 until called), standing 1, walking and aiming
// 2, the wing balls 3 (frame 504, from the aim's 21), appearing 4 (where
// the call puts it), leaving 5 (201: the call is over; at its end it is
// hidden again), hold 6. It takes no hits.
BossSpec Boss1105()
{
    return {1105,
            CharacterLook::kMonster,
            kNoHits,
            kNoHits,
            kNoHits,
            -1,
            {
                {0, Move::kIdle, 0, 0, 0, 0, 0, {}, {}, false},
                {1, Move::kIdle, 0, 0, 0, 0, 0, {}, {Now(1, 2), Now(2, 2), Now(21, 3), Now(201, 5)}, false},
                {2, Move::kWalk, 20, 0, 0, 0, 0, {}, {Now(0, 1), Now(21, 3), Now(201, 5)}, false},
                {3, Move::kThrow, 0, 0, 0, 0, 0, {}, std::vector{AtEnd(201, 5)} + EndsInto(2, {0, 1, 2, 21}), false},
                {4, Move::kRoar, 0, 0, 0, 0, 0, {},
                 {Now(201, 5), AtEnd(0, 1), AtEnd(1, 2), AtEnd(2, 2), AtEnd(21, 3)}, false},
                {5, Move::kFall, 0, 0, 0, 0, 0, {}, std::vector{AtEnd(201, 0)} + EndsInto(1, {0, 1, 2, 21}), false},
                Hold(6),
            },
            {{3, 504}}};
}

// 1108: idle 0, the dash 1 (a wall or an actor: 11 into the swarm 2; 3 s:
// 10 into the teleport 5), the hurt 3 (its strike back 11 into the
// teleport), gone 4 at once, the teleport 5, hold 6.
BossSpec Boss1108()
{
    return {1108,
            CharacterLook::kMonsterGrappler,
            3,
            3,
            4,
            -1,
            {
                {0, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(6, 1), Now(10, 5), AtEnd(0, 0)}},
                {1, Move::kCharge, 60, 0, 1, 0, 0, {}, {Now(11, 2), Now(10, 5)}},
                {2, Move::kRoar, 0, 0, 1, 0, 0, {}, EndsInto(0, {0, 6, 10, 11})},
                {3, Move::kHurt, 0, 0, 1, 0, 0, {}, std::vector{Now(11, 5)} + EndsInto(0, {0, 6, 10})},
                Gone(4),
                {5, Move::kGuard, 0, 0, 1, 0, 0, {}, std::vector{AtEnd(6, 1)} + EndsInto(0, {0, 10, 11})},
                Hold(6),
            },
            {}};
}

// The champions 1109 and 1110: idle 0 (after 3 s its 21 into the special
// 6, its 23 into the guard 23), the walk 1 (19 into the chase 2), the
// strike 4 (1 back to the chase, 4 into the flame blow 5), the blows 8 and
// the specials 6, 9, 11, 12 and 13 at their frames (8 into 12 into 13),
// the escape 10 (108 from the flinch 17, whose 17 is the counter 18), the
// rage 14 (16) into the barrage 15 (22 after 10 s into 16), the knock-down
// 19 into the down 20 (106 to get up), the grab fight 22, the guard 23,
// gone 24 at once, hold 25.
BossSpec Champion(int32_t aiType, CharacterLook look, std::vector<TestedFrame> tested)
{
    const std::initializer_list<int32_t> all = {0, 1, 4, 10, 11, 19, 21, 23};
    const std::initializer_list<int32_t> afterRage = {0, 1, 4, 10, 11, 16, 19, 21, 23};
    return {aiType,
            look,
            17,
            19,
            24,
            22,
            {
                {0, Move::kIdle, 0, 0, 1, 0, 0, {}, {Now(1, 1), Now(10, 8), Now(16, 14), AtEnd(21, 6), AtEnd(23, 23), AtEnd(0, 0)}},
                {1, Move::kWalk, 20, 0, 1, 0, 0, {}, {Now(19, 2), Now(0, 0), Now(10, 8), Now(16, 14)}},
                {2, Move::kWalk, 35, 0, 1, 0, 0, {}, {Now(11, 11), Now(10, 4), Now(0, 0), Now(16, 14)}},
                {4, Move::kSwing, 5, 0, 1, 20, kPlain, {kBlade, kBladeTip}, {Now(16, 14), AtEnd(1, 2), AtEnd(4, 5)}},
                {5, Move::kSwing, 5, 0, 1, 25, kHurt8, {kBlade, kBladeTip}, std::vector{Now(16, 14)} + EndsInto(1, all)},
                {6, Move::kRoar, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {8, Move::kSwing, 5, 0, 1, 20, kHurt2, {kBladeTip}, EndsInto(12, all)},
                {9, Move::kRoar, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {10, Move::kCharge, -30, 30, 0, 0, 0, {}, EndsInto(1, all)},
                {11, Move::kThrow, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {12, Move::kThrow, 0, 0, 1, 0, 0, {}, EndsInto(13, all)},
                {13, Move::kRoar, 0, 0, 1, 0, 0, {}, EndsInto(1, all)},
                {14, Move::kRoar, 0, 0, 1, 0, 0, {}, std::vector{Now(120, 24)} + EndsInto(15, afterRage), false},
                {15, Move::kThrow, 0, 0, 1, 0, 0, {}, {Now(22, 16), Now(120, 24)}, false},
                {16, Move::kIdle, 0, 0, 1, 0, 0, {}, EndsInto(1, afterRage)},
                {17, Move::kHurt, 0, 0, 1, 0, 0, {}, std::vector{Now(17, 18), Now(108, 10), Now(16, 14)} + EndsInto(1, all)},
                {18, Move::kSwing, 5, 0, 1, 20, kPlain, {kBlade}, EndsInto(1, all)},
                {19, Move::kFall, 0, 0, 1, 0, 0, {}, EndsInto(20, all)},
                {20, Move::kDown, 0, 0, 1, 0, 0, {}, {Now(106, 1), Now(120, 24)}, false},
                {22, Move::kHurt, 0, 0, 1, 0, 0, {}, {Now(104, 22), Now(105, 19), Now(120, 24)}, false},
                {23, Move::kGuard, 0, 0, 1, 0, 0, {}, {Now(18, 1), Now(102, 17), Now(120, 24)}, false},
                Gone(24),
                Hold(25),
            },
            std::move(tested)};
}

}  // namespace

BossSpec LateBossSpec(int32_t aiType)
{
    switch (aiType) {
    case 1103:
        return Boss1103();
    case 1104:
        return Boss1104();
    case 1105:
        return Boss1105();
    case 1108:
        return Boss1108();
    case 1109:
        return Champion(1109, CharacterLook::kMonsterGuard,
                        {{6, 1458}, {9, 1818}, {11, 2063}, {12, 2265}, {13, 920}, {13, 2500}});
    default:
        return Champion(1110, CharacterLook::kMonster,
                        {{4, 530}, {11, 1845}, {12, 2056}, {13, 2366}, {13, 2404}, {15, 2540}});
    }
}

}  // namespace mkdata::bossspec
