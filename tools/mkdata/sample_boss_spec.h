// The sample bosses' description (sample_bosses.h): the motions a boss
// state plays and each boss's states with their speeds, attacks, weapons
// and transitions, shared by the maker's boss files.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "tools/mkdata/character_model.h"
#include "tools/mkdata/character_states.h"
#include "tools/mkdata/sample_monsters.h"

namespace mkdata::bossspec {

// The motion a boss state plays.
enum class Move { kIdle, kWalk, kSwing, kThrow, kHurt, kFall, kDown, kGuard, kCharge, kRoar };

inline int32_t FramesOf(Move move)
{
    switch (move) {
    case Move::kSwing:
    case Move::kThrow:
        return 48;
    case Move::kHurt:
        return 30;
    case Move::kFall:
        return 60;
    case Move::kDown:
        return 20;
    case Move::kRoar:
        return 120;
    default:
        return 60;
    }
}

// One state: its motion, speed, acceleration, IsHurt, attack, weapons and
// own transitions; `reacts` puts the boss's hit and death transitions
// before its own.
struct State {
    int32_t id;
    Move move;
    float speed = 0.0f;
    float acceleration = 0.0f;
    int32_t isHurt = 1;
    int32_t attack = 0;
    int32_t attribute = 0;
    std::vector<int32_t> weapons = {};
    std::vector<FsfRowTransition> transitions = {};
    bool reacts = true;
};

struct BossSpec {
    int32_t aiType;
    CharacterLook look;
    int32_t hurt;       // 100 and 101 lead here
    int32_t knockDown;  // 102 and 103
    int32_t dying;      // 120
    int32_t grabbed;    // 104, a hero's grab (-1: not taken)
    // (hurt -1: the boss takes no hits, and has no hit or death routes.)
    std::vector<State> states;
    std::vector<TestedFrame> tested;
};

constexpr int32_t kBlade = 100130;
constexpr int32_t kBladeTip = 100140;
constexpr int32_t kPlain = 1;
constexpr int32_t kHurt2 = 2;
constexpr int32_t kHurt8 = 8;

// The HP phases' input.
constexpr int32_t kBossInputHpPhase = 16;

inline FsfRowTransition Now(int32_t input, int32_t to) { return {input, to, 1}; }
inline FsfRowTransition AtEnd(int32_t input, int32_t to) { return {input, to, 0}; }

inline State Hold(int32_t id) { return {id, Move::kIdle, 0, 0, 0, 0, 0, {}, {AtEnd(0, id)}, false}; }
inline State Dying(int32_t id, int32_t gone) { return {id, Move::kFall, 0, 0, 0, 0, 0, {}, {AtEnd(0, gone)}, false}; }
inline State Gone(int32_t id) { return {id, Move::kDown, 0, 0, 0, 0, 0, {}, {}, false}; }

// The same input at the end of the motion into `to`, for each of `inputs`.
inline std::vector<FsfRowTransition> EndsInto(int32_t to, std::initializer_list<int32_t> inputs)
{
    std::vector<FsfRowTransition> out;
    for (int32_t input : inputs) {
        out.push_back(AtEnd(input, to));
    }
    return out;
}
inline std::vector<FsfRowTransition> operator+(std::vector<FsfRowTransition> a, const std::vector<FsfRowTransition> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The descriptions of bosses 1103, 1104, 1105, 1108, 1109 and 1110
// (sample_bosses_late.cpp).
BossSpec LateBossSpec(int32_t aiType);

}  // namespace mkdata::bossspec
