// The sample monsters and non-player characters: the monster types 1000
// to 1007 and 1021, each in its folder RESOURCE/MONSTER/<type>, and the
// characters 10 and 100 to 118 in RESOURCE/NPC/<type>, each with
// its model (the sample figure in a colour set of its own), its animation
// (.ANM) and motion table (.AMF), its state machine (.FSF) and its
// parameters (.PAF).
//
// Each state of a type plays a motion of its own kind (idle, walk, swing,
// grab, hurt, fall, down, dizzy) laid out on the type's animation timeline;
// a state whose behaviour waits for an absolute frame of the timeline has
// its motion placed around that frame, so that every frame a behaviour
// tests lies inside its state's motion.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "actor/fsf.h"
#include "stage/character_params.h"
#include "stage/motion_table.h"
#include "tools/mkdata/stage_sounds.h"

namespace mkdata {

// The types, in rising order.
const std::vector<int32_t> &SampleMonsterTypes();
// The breakable objects, every design 10000 to 10031, in RESOURCE/BREAKOBJ/<model
// id> (the functions below take their types as well).
const std::vector<int32_t> &SampleBreakableTypes();
// "RESOURCE/MONSTER/<type>" (or "RESOURCE/NPC/<type>" for a character
// below 1000) and "<type>".
std::string SampleMonsterFolder(int32_t aiType);
std::string SampleMonsterName(int32_t aiType);

// A state's motion that a behaviour tests by an absolute frame.
struct TestedFrame {
    int32_t state;
    int32_t frame;
};
// The frames each type's behaviour tests, by state.
std::vector<TestedFrame> SampleMonsterTestedFrames(int32_t aiType);

MotionTable SampleMonsterMotions(int32_t aiType);
CFSF SampleMonsterStateMachine(int32_t aiType);
CharacterParams SampleMonsterParams(int32_t aiType);
// The sound ids the type plays, each a short tone of its own pitch.
std::vector<SampleSound> SampleMonsterSounds(int32_t aiType);

// Writes every type's files under `root`.
bool WriteSampleMonsters(const std::string &root);

}  // namespace mkdata
