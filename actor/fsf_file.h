// The .FSF state-machine file, keyword text:
//
//   StateNum: n
//   State
//   {
//   StateID: 0
//   Speed: 30.0
//   Acceleration: 0.0
//   IsHurt: 1              (1 when absent)
//   IsGRAB: 0
//   AttackValue: 0
//   AttackAttribute: 0
//   NumOfWeapon: 1
//   WeaponID: 100130       (NumOfWeapon lines)
//   TransitionNum: 2
//   Transition: 1, 1, 0, 0.2    (input, output, isDirChange, blend in seconds)
//   Transition: 0, 0, 0, 0.2
//   }
//
// A transition to a missing state, a duplicate state id or a count that
// disagrees with its lines is reported with file and line and dropped (the
// lines read are kept); unknown keys are ignored.
#pragma once

#include <string>

#include "actor/fsf.h"

class CSKeywordFile;

// Reads the states of an open file into `out` (emptied first); the number
// of problems reported.
int ReadFsf(CSKeywordFile *file, CFSF *out);
// A template's state machine: a file that is missing or holds no state
// raises the fatal report naming it; false then.
bool LoadTemplateFsf(const char *path, CFSF *out);

// The text of a state machine in the file's form (the maker writes it,
// tests read it back).
std::string FormatFsf(const CFSF &fsf);
