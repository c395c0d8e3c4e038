// The files of a character type beside its model: its animation, motion
// table, parameters and state machine, named after the model.
#pragma once

#include <string>

#include "actor/fsf.h"
#include "rpanimation.h"
#include "stage/character_params.h"
#include "stage/motion_table.h"

namespace mkdata {

// Writes <base>.ANM (from `animation`, which it destroys; null fails),
// <base>.AMF, <base>.PAF and <base>.FSF; false at the first that fails.
bool WriteCharacterSet(const std::string &base, RtAnimAnimation *animation, const MotionTable &motions,
                       const CharacterParams &params, const CFSF &fsf);

}  // namespace mkdata
