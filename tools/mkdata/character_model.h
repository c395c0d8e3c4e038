// The sample skinned character: a twelve-bone skeleton (pelvis, spine, a
// chest point inside the torso, head, two arms with their hands, a
// two-part blade in the right hand, two legs) whose frames carry their
// names and their user-property ids ("3dsmax User Properties") as user
// data and their ids as skeleton node ids, one skinned geometry of boxes
// with normals, texture coordinates and prelit colours where vertices at a
// joint blend two bones; its animation file with four motions on one
// timeline (a walk, a wave, a rest and a fall) and a bind-pose animation. The same
// figure in other colours is the second hero and the sample monsters
// (sample_monsters.h), whose animations are posed on it.
#pragma once

#include <string>
#include <vector>

#include "rpanimation.h"
#include "rpworld.h"

namespace mkdata {

// Folder (under the data root) and file names of the character.
inline const char *CharacterFolder() { return "RESOURCE/MAINCHAR/HERO01"; }
inline const char *CharacterModelName() { return "HERO01.DFF"; }
inline const char *CharacterAnimationName() { return "HERO01.ANM"; }
inline const char *CharacterBindPoseName() { return "HERO01_BIND.ANM"; }

constexpr RwInt32 kCharacterBones = 12;
// The figures the maker builds: the character, and the two-bone crate of
// the breakable objects (a body box on the ground and a lid, ids 100020
// and 100090), both skinned boxes over their skeletons.
enum class Figure { kCharacter, kCrate };
constexpr RwInt32 kCrateBoneCount = 2;
// Node indices of the skeleton, in its depth-first order.
enum CharacterNode : RwInt32 {
    kNodePelvis,
    kNodeSpine,
    kNodeChest,
    kNodeHead,
    kNodeArmL,
    kNodeHandL,
    kNodeArmR,
    kNodeHandR,
    kNodeWeaponA,
    kNodeWeaponB,
    kNodeLegL,
    kNodeLegR,
};
// The motions of the animation file share its timeline: the walk plays
// from 0 to 1 s, the wave from 1 to 2 s, the rest (standing, arms down,
// breathing) from kCharacterRestStart to 3 s and the fall (tipping over
// backwards, then lying still) from 3 to 4 s.
constexpr RwReal kCharacterWalkEnd = 1.0f;
constexpr RwReal kCharacterWaveEnd = 2.0f;
constexpr RwReal kCharacterRestStart = 2.05f;  // the wave's last key stays its own
constexpr RwReal kCharacterRestEnd = 3.0f;
constexpr RwReal kCharacterDuration = 4.0f;
// A standing figure's arms hang: turned down from the bind pose (held out
// sideways) by this much about the figure's forward axis.
constexpr RwReal kRestingArmDegrees = 75.0f;
// Name of the user-data array each bone frame carries.
inline const char *CharacterBoneNameArray() { return "bone name"; }
// Name of the user-data array that holds each bone's id as text.
inline const char *CharacterUserPropertiesArray() { return "3dsmax User Properties"; }
// Bone names in node order.
const char *CharacterBoneName(RwInt32 node);
// The bone's node id, which is also its user-property id: 100020 body,
// 100090 head, 100100 chest, 100130 and 100140 the blade's parts, 100150
// and 100160 the hands, the others the spine and limbs.
RwInt32 CharacterBoneId(RwInt32 node);
// Where the bone sits on its parent in the bind pose, at `scale`.
RwV3d CharacterBoneOffset(RwInt32 node, RwReal scale);

// The colour sets: the two heroes' and the monsters'.
enum class CharacterLook {
    kHero01,
    kHero02,
    kMonster,
    kMonsterBrute,
    kMonsterGuard,
    kMonsterGrappler,
    kMonsterShade,
    kMonsterHeavy,
    kVillager,
    kFighter,
    kCrateWood,
    kCrateStone,
    kCrateClay,
    kBarrel,
    kLookCount
};
// A model folder the maker writes: <folder>/<name>.DFF and <name>.ANM.
struct CharacterFiles {
    const char *folder;
    const char *name;
    CharacterLook look;
};
const std::vector<CharacterFiles> &CharacterFileSets();

// The figure at scale 1 stands about 2 units tall; the data tree holds it at
// the game's scale (a unit is about 10 cm), 10 times that.
inline constexpr RwReal kSampleFigureScale = 10.0f;

// The clump: root frame over the bone frames (the first, the pelvis, holds
// the hierarchy), one skinned atomic on the root, every length times `scale`. Needs the world,
// user-data, animation and skin libraries; null on failure.
RpClump *BuildCharacterClump(CharacterLook look = CharacterLook::kHero01, RwReal scale = 1.0f);
// The animations of the figure at scale 1, and at `scale` (the bones'
// translations grow with the figure).
RtAnimAnimation *BuildCharacterAnimation();
RtAnimAnimation *BuildCharacterBindPose();
RtAnimAnimation *BuildScaledCharacterAnimation(RwReal scale);
RtAnimAnimation *BuildScaledCharacterBindPose(RwReal scale);

// The same for either figure.
RpClump *BuildFigureClump(Figure figure, CharacterLook look, RwReal scale);
RwV3d FigureBoneOffset(Figure figure, RwInt32 node, RwReal scale);
bool WriteFigureModel(const std::string &root, const char *folder, const char *name, Figure figure,
                      CharacterLook look);

// Writes the animation as an `.ANM` file at `path`.
bool WriteAnimationFile(const RtAnimAnimation *animation, const std::string &path);

// A rotation of `degrees` about `axis`.
RtQuat CharacterRotation(RwV3d axis, RwReal degrees);
// The rotation of an arm node (kNodeArmL, kNodeArmR) hanging at rest and
// swung by `swingDegrees` about the figure's right axis (forward for the
// left arm when positive); null rotation for other nodes.
RtQuat RestingArm(RwInt32 node, RwReal swingDegrees);
// The rotation of `node` at time `t` (seconds), its translation written
// (the bind offset at `scale` unless the pose moves the bone).
typedef RtQuat (*CharacterPose)(RwInt32 node, RwReal t, RwReal scale, RwV3d *translation, const void *context);
// An animation of the figure with every node keyed at each of `times`
// (rising) by `pose`.
RtAnimAnimation *BuildPosedAnimation(const std::vector<RwReal> &times, CharacterPose pose, const void *context,
                                     RwReal scale);
RtAnimAnimation *BuildPosedFigureAnimation(Figure figure, const std::vector<RwReal> &times, CharacterPose pose,
                                           const void *context, RwReal scale);
bool WriteCharacterAnimation(const RtAnimAnimation *animation, const std::string &path);
// The figure in `look` at the sample scale as <folder>/<name>.DFF under `root`.
bool WriteCharacterModel(const std::string &root, const char *folder, const char *name, CharacterLook look);

// The attach list of the maker with the character's libraries added.
bool AttachCharacterPlugins();
// Writes every model folder of CharacterFileSets() under `root`, and the
// bind pose beside the first hero, at kSampleFigureScale.
bool WriteCharacterFiles(const std::string &root);

}  // namespace mkdata
