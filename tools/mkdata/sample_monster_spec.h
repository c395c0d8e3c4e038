// The sample characters' descriptions, shared by the maker's files
// that write them: each state of a type's state machine with the motion it
// plays, where the type's hits, grabs and deaths lead, and the frames its
// behaviour tests. Internal to the maker (sample_monsters.h is the way in).
#pragma once

#include <cstdint>
#include <vector>

#include "tools/mkdata/character_model.h"
#include "tools/mkdata/character_states.h"
#include "tools/mkdata/sample_monsters.h"

namespace mkdata {

// The motion a state plays.
enum class Motion { kIdle, kWalk, kSwing, kGrab, kHurt, kFall, kDown, kDizzy };

// Frames of each kind of motion (60 a second).
inline int32_t MotionFrames(Motion motion)
{
    switch (motion) {
    case Motion::kSwing:
    case Motion::kGrab:
        return 40;
    case Motion::kHurt:
        return 30;
    case Motion::kFall:
        return 50;
    case Motion::kDown:
        return 20;
    default:
        return 60;
    }
}

// One state of a type's state machine.
struct Row {
    int32_t id;
    Motion motion;
    float speed;
    float acceleration;
    int32_t isHurt;
    int32_t attackValue;
    int32_t attackAttribute;
    std::vector<int32_t> weapons;
    std::vector<FsfRowTransition> transitions;  // blend kBlend
    bool reacts;  // takes the type's hits, grabs and deaths
};

// Where a type's hits, grabs and deaths lead from a state that reacts.
struct Reactions {
    int32_t hurt;       // 100
    int32_t hurt4;      // 101
    int32_t knockDown;  // 102
    int32_t hurt2;      // 103
    int32_t grabbed;    // 104
    int32_t dyingA;     // 120
    int32_t dyingB;     // 121
};

struct MonsterSpec {
    int32_t aiType;
    CharacterLook look;
    Reactions reactions;
    std::vector<Row> rows;
    std::vector<TestedFrame> tested;
    Figure figure = Figure::kCharacter;
};

constexpr int32_t kBlade = 100130;
constexpr int32_t kBladeTip = 100140;
// Attack attribute bits the sample attacks carry.
constexpr int32_t kPlain = 1;
constexpr int32_t kHurt2 = 2;
constexpr int32_t kHurt4 = 4;
constexpr int32_t kHurt8 = 8;
constexpr int32_t kHeavy = 64;

// The hold state lets go only by the event's release; input 0 starts its
// motion again once it has ended.
inline Row HoldRow(int32_t id) { return {id, Motion::kIdle, 0, 0, 0, 0, 0, {}, {{0, id, 0}}, false}; }

// The descriptions of the characters beside the template's six
// (sample_characters.cpp): monsters 1006 and 1021 and the non-player
// characters 10, 100, 101, 107 and 112.
// 1000, the template's first monster (sample_monsters.cpp), which 1006 varies.
MonsterSpec Monster1000();
MonsterSpec Monster1006();
MonsterSpec Monster1021();
MonsterSpec Npc10();
MonsterSpec NpcFigure(int32_t aiType);
// The breakable objects' (sample_breakables.cpp), on the crate figure.
MonsterSpec BreakableSpec(int32_t aiType);

}  // namespace mkdata
