// The characters' state machines (.FSF) of the sample: the heroes HERO01
// and HERO02 have the hero states other actors read (4 down, 5 getting up,
// 21 hurt, 22 held, 23 dying, 40.. attacks); the monsters' are made with
// the same builder (sample_monsters.h).
#pragma once

#include <string>
#include <vector>

#include "actor/fsf.h"

namespace mkdata {

// One transition of a state row: on `input` go to `output`, at once when
// `isDirChange`.
struct FsfRowTransition {
    int32_t input;
    int32_t output;
    int32_t isDirChange;
};

// One state of a sample state machine.
struct FsfRow {
    int32_t id;
    float speed;
    float acceleration;
    int32_t isHurt;
    int32_t isGrab;
    int32_t attackValue;
    int32_t attackAttribute;
    std::vector<int32_t> weapons;
    std::vector<FsfRowTransition> transitions;
    bool reacts;  // takes the transitions of `reactions` first
};

// The state machine of the rows, each transition with the blend `blend`.
CFSF BuildStateMachine(const std::vector<FsfRow> &rows, const std::vector<FsfRowTransition> &reactions, float blend);

// The state machine of the hero model named `name` ("HERO01", "HERO02").
CFSF SampleStateMachine(const std::string &name);

bool WriteStateMachineFile(const std::string &path, const CFSF &fsf);

// Writes the .FSF of every character model folder under `root`.
bool WriteStateMachines(const std::string &root);

}  // namespace mkdata
