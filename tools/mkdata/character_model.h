// The sample skinned character: a seven-bone skeleton (pelvis, spine, head,
// two arms, two legs) whose frames carry their names as user data, one
// skinned geometry of boxes with normals, texture coordinates and prelit
// colours where vertices at a joint blend two bones; its animation file
// with two motions on one timeline (a walk, then a wave) and a bind-pose
// animation.
#pragma once

#include <string>

#include "rpanimation.h"
#include "rpworld.h"

namespace mkdata {

// Folder (under the data root) and file names of the character.
inline const char *CharacterFolder() { return "RESOURCE/MAINCHAR/HERO01"; }
inline const char *CharacterModelName() { return "HERO01.DFF"; }
inline const char *CharacterAnimationName() { return "HERO01.ANM"; }
inline const char *CharacterBindPoseName() { return "HERO01_BIND.ANM"; }

constexpr RwInt32 kCharacterBones = 7;
// The two motions of the animation file share its timeline: the walk
// plays from 0 to 1 s, the wave from 1 to 2 s.
constexpr RwReal kCharacterWalkEnd = 1.0f;
constexpr RwReal kCharacterDuration = 2.0f;
// Name of the user-data array each bone frame carries.
inline const char *CharacterBoneNameArray() { return "bone name"; }
// Bone names in node order.
const char *CharacterBoneName(RwInt32 node);

// The clump: root frame (holding the hierarchy) over the bone frames, one
// skinned atomic on the root. Needs the world, user-data, animation and
// skin libraries; null on failure.
RpClump *BuildCharacterClump();
RtAnimAnimation *BuildCharacterAnimation();
RtAnimAnimation *BuildCharacterBindPose();

// The attach list of the maker with the character's libraries added.
bool AttachCharacterPlugins();
// Writes the model and both animation files under `root`.
bool WriteCharacterFiles(const std::string &root);

}  // namespace mkdata
