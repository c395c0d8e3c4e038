// The characters' state machines (.FSF) of the sample: the monster of AI
// type 1000 (model 1200000) routes every input its behaviour feeds, the
// heroes HERO01 and HERO02 have the hero states other actors read (4 down,
// 5 getting up, 21 hurt, 22 held, 23 dying, 40.. attacks).
#pragma once

#include <string>

#include "actor/fsf.h"

namespace mkdata {

// The state machine of the model named `name` ("HERO01", "HERO02", "1200000").
CFSF SampleStateMachine(const std::string &name);

bool WriteStateMachineFile(const std::string &path, const CFSF &fsf);

// Writes the .FSF of every character model folder under `root`.
bool WriteStateMachines(const std::string &root);

}  // namespace mkdata
