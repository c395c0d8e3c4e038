// Builds and writes the sample skinned character (see character_model.h):
// the clump through the model writers (the skin and hierarchy extensions
// are the engine's own writers), the animations through the animation
// toolkit's stream writer.
#include "tools/mkdata/character_model.h"

#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "rpusrdat.h"
#include "tools/mkdata/data_tree.h"
#include "tools/mkdata/model_writer.h"

namespace mkdata {
namespace {

struct Bone {
    const char *name;
    RwInt32 id;      // skeleton node id and user-property id
    RwInt32 parent;  // node index, -1 for the root frame
    RwV3d offset;    // from the parent bone in the bind pose
    RwV3d boxMin;    // the bone's box in its own space
    RwV3d boxMax;
    RwInt32 part;    // colour slot of the look
    RwInt32 material;
    RwUInt32 flags;  // push/pop rule of the node (depth-first order)
};

// Node indices the motions turn.
enum Node : RwInt32 {
    kPelvis = kNodePelvis,
    kSpine = kNodeSpine,
    kChest = kNodeChest,
    kHead = kNodeHead,
    kArmL = kNodeArmL,
    kHandL = kNodeHandL,
    kArmR = kNodeArmR,
    kHandR = kNodeHandR,
    kWeaponA = kNodeWeaponA,
    kWeaponB = kNodeWeaponB,
    kLegL = kNodeLegL,
    kLegR = kNodeLegR,
};

// Colour slots every look fills.
enum Part : RwInt32 { kHips, kTorso, kFace, kSkin, kLegs, kBlade, kPartCount };

// Depth-first: a node with a later sibling pushes, a leaf pops. The figure
// faces +z (a frame's at-axis); the blade runs along the weapon frames' at-axes.
const Bone kBones[kCharacterBones] = {
    {"pelvis", 100020, -1, {0, 1.0f, 0}, {-0.3f, -0.15f, -0.15f}, {0.3f, 0.15f, 0.15f}, kHips, 0, 0},
    {"spine", 100040, 0, {0, 0.15f, 0}, {-0.25f, 0, -0.13f}, {0.25f, 0.6f, 0.13f}, kTorso, 0, rpHANIMPUSHPARENTMATRIX},
    // The chest is a point inside the torso that effects start on; its box
    // stays hidden inside the spine's.
    {"chest", 100100, 1, {0, 0.3f, 0}, {-0.08f, -0.08f, -0.06f}, {0.08f, 0.08f, 0.06f}, kTorso, 0,
     rpHANIMPUSHPARENTMATRIX | rpHANIMPOPPARENTMATRIX},
    {"head", 100090, 1, {0, 0.65f, 0}, {-0.15f, 0, -0.15f}, {0.15f, 0.35f, 0.15f}, kFace, 1,
     rpHANIMPUSHPARENTMATRIX | rpHANIMPOPPARENTMATRIX},
    {"arm_l", 100060, 1, {-0.3f, 0.55f, 0}, {-0.6f, -0.07f, -0.07f}, {0, 0.07f, 0.07f}, kSkin, 2,
     rpHANIMPUSHPARENTMATRIX},
    {"hand_l", 100150, kArmL, {-0.6f, 0, 0}, {-0.14f, -0.08f, -0.08f}, {0, 0.08f, 0.08f}, kSkin, 2,
     rpHANIMPOPPARENTMATRIX},
    {"arm_r", 100080, 1, {0.3f, 0.55f, 0}, {0, -0.07f, -0.07f}, {0.6f, 0.07f, 0.07f}, kSkin, 2, 0},
    {"hand_r", 100160, kArmR, {0.6f, 0, 0}, {0, -0.08f, -0.08f}, {0.14f, 0.08f, 0.08f}, kSkin, 2, 0},
    {"weapon_a", 100130, kHandR, {0.07f, 0, 0.08f}, {-0.02f, -0.05f, 0}, {0.02f, 0.05f, 0.45f}, kBlade, 0, 0},
    {"weapon_b", 100140, kWeaponA, {0, 0, 0.45f}, {-0.015f, -0.04f, 0}, {0.015f, 0.04f, 0.35f}, kBlade, 0,
     rpHANIMPOPPARENTMATRIX},
    {"leg_l", 100110, 0, {-0.16f, -0.1f, 0}, {-0.1f, -0.9f, -0.1f}, {0.1f, 0, 0.1f}, kLegs, 0,
     rpHANIMPUSHPARENTMATRIX | rpHANIMPOPPARENTMATRIX},
    {"leg_r", 100120, 0, {0.16f, -0.1f, 0}, {-0.1f, -0.9f, -0.1f}, {0.1f, 0, 0.1f}, kLegs, 0, rpHANIMPOPPARENTMATRIX},
};

// The crate of the breakable objects: a body box standing on the ground
// (its root at the bottom), as tall as a figure so that a sword swung at
// chest height meets it, and a lid on it, the fuse and effects frame
// (100090) that the barrel bombs light.
const Bone kCrateBones[kCrateBoneCount] = {
    {"body", 100020, -1, {0, 0, 0}, {-0.5f, 0, -0.5f}, {0.5f, 1.8f, 0.5f}, kTorso, 0, 0},
    {"lid", 100090, 0, {0, 1.8f, 0}, {-0.55f, 0, -0.55f}, {0.55f, 0.3f, 0.55f}, kHips, 1, rpHANIMPOPPARENTMATRIX},
};

struct Skeleton {
    const Bone *bones;
    RwInt32 count;
};

Skeleton SkeletonOf(Figure figure)
{
    return figure == Figure::kCrate ? Skeleton{kCrateBones, kCrateBoneCount} : Skeleton{kBones, kCharacterBones};
}

// The looks: the first hero keeps the colours the figure always had.
const RwRGBA kLooks[][kPartCount] = {
    {{70, 90, 170, 255}, {200, 60, 50, 255}, {235, 190, 150, 255}, {225, 180, 140, 255}, {60, 60, 70, 255},
     {200, 205, 215, 255}},
    {{60, 120, 60, 255}, {230, 200, 60, 255}, {120, 80, 50, 255}, {110, 75, 45, 255}, {90, 70, 50, 255},
     {230, 190, 90, 255}},
    {{90, 40, 110, 255}, {60, 130, 120, 255}, {150, 200, 90, 255}, {130, 180, 80, 255}, {50, 40, 60, 255},
     {120, 30, 30, 255}},
    // Brute: rust and bone.
    {{110, 50, 30, 255}, {170, 80, 40, 255}, {220, 210, 180, 255}, {200, 190, 160, 255}, {70, 40, 30, 255},
     {90, 90, 100, 255}},
    // Guard: steel and ochre.
    {{70, 80, 95, 255}, {150, 160, 175, 255}, {200, 160, 80, 255}, {180, 140, 70, 255}, {40, 45, 55, 255},
     {230, 230, 240, 255}},
    // Grappler: moss and slate.
    {{60, 80, 50, 255}, {90, 110, 70, 255}, {170, 160, 120, 255}, {150, 140, 100, 255}, {50, 55, 60, 255},
     {140, 60, 40, 255}},
    // Shade: indigo and ash.
    {{40, 40, 90, 255}, {70, 60, 130, 255}, {180, 180, 200, 255}, {160, 160, 185, 255}, {30, 30, 50, 255},
     {200, 230, 255, 255}},
    // Heavy: iron and blood red.
    {{60, 55, 55, 255}, {150, 30, 30, 255}, {120, 100, 90, 255}, {110, 90, 80, 255}, {45, 40, 40, 255},
     {180, 180, 170, 255}},
    // Villager: linen and brown.
    {{140, 110, 70, 255}, {220, 210, 180, 255}, {230, 190, 150, 255}, {220, 180, 140, 255}, {100, 80, 60, 255},
     {150, 120, 80, 255}},
    // Fighter: teal and leather.
    {{40, 110, 110, 255}, {60, 150, 140, 255}, {225, 185, 145, 255}, {215, 175, 135, 255}, {90, 60, 40, 255},
     {210, 215, 225, 255}},
    // The crates (lid, body): wood; stone; clay; a red barrel with a black lid.
    {{170, 120, 60, 255}, {140, 95, 45, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}},
    {{150, 150, 145, 255}, {120, 120, 118, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}},
    {{200, 120, 80, 255}, {180, 100, 60, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}},
    {{40, 40, 40, 255}, {190, 40, 30, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}},
};
static_assert(std::size(kLooks) == static_cast<size_t>(CharacterLook::kLookCount), "a colour set per look");

constexpr RwUInt32 kFormat = rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS | rpGEOMETRYTEXTURED | rpGEOMETRYPRELIT |
                             rpGEOMETRYLIGHT;
constexpr RwInt32 kVertsPerBone = 24;
constexpr RwInt32 kTrisPerBone = 12;

RwV3d Scaled(const RwV3d &v, RwReal scale) { return {v.x * scale, v.y * scale, v.z * scale}; }

RwV3d BindPosition(const Skeleton &skeleton, RwInt32 node, RwReal scale)
{
    RwV3d p = {0, 0, 0};
    for (RwInt32 n = node; n >= 0; n = skeleton.bones[n].parent) {
        RwV3dAdd(&p, &p, &skeleton.bones[n].offset);
    }
    return Scaled(p, scale);
}

// The vertices of a bone's box nearest its joint blend with the parent
// bone; the rest follow the bone alone.
RwReal ParentShare(const Bone &bone, const RwV3d &local)
{
    if (bone.parent < 0) {
        return 0.0f;
    }
    const RwV3d &lo = bone.boxMin;
    const RwV3d &hi = bone.boxMax;
    // The joint end is the box face through the bone's origin.
    const bool atJoint = (lo.y == 0 && local.y == 0) || (hi.y == 0 && local.y == 0) || (lo.x == 0 && local.x == 0) ||
                         (hi.x == 0 && local.x == 0);
    return atJoint ? 0.4f : 0.0f;
}

// Lambert shade under a fixed key light, baked so the figure reads as
// solid when drawn unlit.
RwRGBA Shade(RwRGBA base, const RwV3d &normal)
{
    RwV3d light = {-0.4f, 0.7f, -0.6f};
    RwV3dNormalize(&light, &light);
    const RwReal lit = 0.45f + 0.55f * std::fmax(0.0f, RwV3dDotProduct(&normal, &light));
    return {static_cast<RwUInt8>(base.red * lit), static_cast<RwUInt8>(base.green * lit),
            static_cast<RwUInt8>(base.blue * lit), 255};
}

RpGeometry *BuildGeometry(const Skeleton &skeleton, CharacterLook look, RwReal scale, RwMatrixWeights *weights,
                          RwUInt32 *indices)
{
    RpGeometry *g = RpGeometryCreate(skeleton.count * kVertsPerBone, skeleton.count * kTrisPerBone, kFormat);
    if (g == nullptr) {
        return nullptr;
    }
    static const RwRGBA kMaterialColours[3] = {{255, 255, 255, 255}, {255, 250, 240, 255}, {250, 255, 250, 255}};
    bool ok = true;
    for (const RwRGBA &colour : kMaterialColours) {
        RpMaterial *m = RpMaterialCreate();
        // The look is baked into the prelit colours: the stage's lights only
        // shade it a little, so that a lit figure keeps its colours.
        const RwSurfaceProperties surface = {0.15f, 0.3f, 0.3f};
        ok = ok && m != nullptr && RpMaterialSetColor(m, &colour) != nullptr &&
             RpMaterialSetSurfaceProperties(m, &surface) != nullptr &&
             RpMaterialListAppendMaterial(&g->matList, m) >= 0;
        if (m != nullptr) {
            RpMaterialDestroy(m);
        }
    }
    if (!ok) {
        RpGeometryDestroy(g);
        return nullptr;
    }
    static const RwV3d kNormals[6] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    static const RwReal kCorner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    RpMorphTarget *target = &g->morphTarget[0];
    for (RwInt32 b = 0; b < skeleton.count; ++b) {
        const Bone &bone = skeleton.bones[b];
        const RwV3d origin = BindPosition(skeleton, b, scale);
        const RwV3d centre = {(bone.boxMin.x + bone.boxMax.x) * 0.5f, (bone.boxMin.y + bone.boxMax.y) * 0.5f,
                              (bone.boxMin.z + bone.boxMax.z) * 0.5f};
        const RwV3d half = {(bone.boxMax.x - bone.boxMin.x) * 0.5f, (bone.boxMax.y - bone.boxMin.y) * 0.5f,
                            (bone.boxMax.z - bone.boxMin.z) * 0.5f};
        for (int f = 0; f < 6; ++f) {
            const RwV3d &n = kNormals[f];
            RwV3d u = std::fabs(n.y) > 0.5f ? RwV3d{1, 0, 0} : RwV3d{0, 1, 0};
            RwV3d v;
            RwV3dCrossProduct(&v, &n, &u);
            for (int c = 0; c < 4; ++c) {
                const RwInt32 i = b * kVertsPerBone + 4 * f + c;
                // Unit-box corner, then scaled onto the bone's box.
                const RwV3d unit = {n.x + u.x * kCorner[c][0] + v.x * kCorner[c][1],
                                    n.y + u.y * kCorner[c][0] + v.y * kCorner[c][1],
                                    n.z + u.z * kCorner[c][0] + v.z * kCorner[c][1]};
                const RwV3d local = {centre.x + unit.x * half.x, centre.y + unit.y * half.y,
                                     centre.z + unit.z * half.z};
                target->verts[i] = {origin.x + local.x * scale, origin.y + local.y * scale, origin.z + local.z * scale};
                target->normals[i] = n;
                g->texCoords[0][i] = {(kCorner[c][0] + 1) * 0.5f, (kCorner[c][1] + 1) * 0.5f};
                g->preLitLum[i] = Shade(kLooks[static_cast<int>(look)][bone.part], n);
                const RwReal share = ParentShare(bone, local);
                weights[i] = {1.0f - share, share, 0.0f, 0.0f};
                indices[i] = static_cast<RwUInt32>(b) |
                             (static_cast<RwUInt32>(bone.parent < 0 ? 0 : bone.parent) << 8);
            }
            RpTriangle *t = &g->triangles[b * kTrisPerBone + 2 * f];
            const auto first = static_cast<RwUInt16>(b * kVertsPerBone + 4 * f);
            const auto slot = static_cast<RwInt16>(bone.material);
            t[0] = {{first, static_cast<RwUInt16>(first + 1), static_cast<RwUInt16>(first + 2)}, slot};
            t[1] = {{first, static_cast<RwUInt16>(first + 2), static_cast<RwUInt16>(first + 3)}, slot};
        }
    }
    if (RpGeometryUnlock(g) == nullptr) {
        RpGeometryDestroy(g);
        return nullptr;
    }
    return g;
}

}  // namespace

RtQuat CharacterRotation(RwV3d axis, RwReal degrees)
{
    const RwReal half = degrees * 3.14159265358979f / 360.0f;
    RwV3dNormalize(&axis, &axis);
    return {{axis.x * std::sin(half), axis.y * std::sin(half), axis.z * std::sin(half)}, std::cos(half)};
}

RtQuat RestingArm(RwInt32 node, RwReal swingDegrees)
{
    if (node != kNodeArmL && node != kNodeArmR) {
        return CharacterRotation({1, 0, 0}, 0.0f);
    }
    // Down about the forward axis first, then the swing about the right axis.
    const RtQuat down = CharacterRotation({0, 0, 1}, node == kNodeArmL ? kRestingArmDegrees : -kRestingArmDegrees);
    const RtQuat swing = CharacterRotation({1, 0, 0}, swingDegrees);
    const RwV3d &a = swing.imag;
    const RwV3d &b = down.imag;
    return {{swing.real * b.x + down.real * a.x + a.y * b.z - a.z * b.y,
             swing.real * b.y + down.real * a.y + a.z * b.x - a.x * b.z,
             swing.real * b.z + down.real * a.z + a.x * b.y - a.y * b.x},
            swing.real * down.real - (a.x * b.x + a.y * b.y + a.z * b.z)};
}

RwV3d CharacterBoneOffset(RwInt32 node, RwReal scale) { return FigureBoneOffset(Figure::kCharacter, node, scale); }

RwV3d FigureBoneOffset(Figure figure, RwInt32 node, RwReal scale)
{
    const Skeleton skeleton = SkeletonOf(figure);
    return node >= 0 && node < skeleton.count ? Scaled(skeleton.bones[node].offset, scale) : RwV3d{0, 0, 0};
}

namespace {

RtQuat Rotation(RwV3d axis, RwReal degrees) { return CharacterRotation(axis, degrees); }

// The rotation of `node` at keyframe time `t` (a key every quarter
// second): the walk swings legs and hanging arms about x and bobs the
// pelvis; the wave lifts the right arm (the left one hangs) and turns the
// head; the rest lets
// the arms hang and breathes; the fall tips the figure over backwards and
// leaves it lying.
RtQuat PoseAt(RwInt32 node, RwReal t, RwReal scale, RwV3d *translation)
{
    *translation = Scaled(kBones[node].offset, scale);
    const RwV3d xAxis = {1, 0, 0};
    const RwV3d yAxis = {0, 1, 0};
    const RwV3d zAxis = {0, 0, 1};
    constexpr RwReal kPi = 3.14159265358979f;
    if (t < kCharacterWalkEnd) {
        const RwReal swing = std::sin(t * 2.0f * kPi);  // one stride per second
        switch (node) {
        case 0:
            translation->y += 0.04f * scale * std::fabs(swing);
            return Rotation(yAxis, 8.0f * swing);
        case kArmL:
            return RestingArm(node, 35.0f * swing);
        case kArmR:
            return RestingArm(node, -35.0f * swing);
        case kLegR:
            return Rotation(xAxis, 35.0f * swing);
        case kLegL:
            return Rotation(xAxis, -35.0f * swing);
        default:
            return Rotation(xAxis, 0.0f);
        }
    }
    if (t <= kCharacterWaveEnd) {
        // Up over the first half of the wave, back down over the second.
        const RwReal lift = std::sin((t - kCharacterWalkEnd) / (kCharacterWaveEnd - kCharacterWalkEnd) * kPi);
        switch (node) {
        case kArmR:
            return Rotation(zAxis, 110.0f * lift);
        case kArmL:
            return RestingArm(node, 0.0f);
        case kHead:
            return Rotation(yAxis, 30.0f * lift);
        case kSpine:
            return Rotation(zAxis, -6.0f * lift);
        default:
            return Rotation(xAxis, 0.0f);
        }
    }
    if (t <= kCharacterRestEnd) {
        // One slow breath: the chest rises a little and the arms ease out.
        const RwReal breath = std::sin((t - kCharacterRestStart) / (kCharacterRestEnd - kCharacterRestStart) * 2.0f * kPi);
        if (node == kArmL || node == kArmR) {
            return RestingArm(node, 0.0f);
        }
        return node == kSpine ? Rotation(xAxis, -2.0f * std::fabs(breath)) : Rotation(xAxis, 0.0f);
    }
    // The fall: over 0.75 s the pelvis sinks and tips back, then it lies.
    const RwReal u = std::fmin((t - kCharacterRestEnd) / 0.75f, 1.0f);
    switch (node) {
    case 0:
        translation->y *= 1.0f - 0.8f * u;
        return Rotation(xAxis, -80.0f * u);
    case kArmL:
    case kArmR:
        return RestingArm(node, 0.0f);
    default:
        return Rotation(xAxis, 0.0f);
    }
}

RtQuat HeroPose(RwInt32 node, RwReal t, RwReal scale, RwV3d *translation, const void *)
{
    return PoseAt(node, t, scale, translation);
}

RtQuat BindPose(RwInt32 node, RwReal, RwReal scale, RwV3d *translation, const void *)
{
    *translation = Scaled(kBones[node].offset, scale);
    return {{0, 0, 0}, 1};
}

RtAnimAnimation *BuildAnimation(const std::vector<RwReal> &times, bool bindPose, RwReal scale)
{
    return BuildPosedAnimation(times, bindPose ? BindPose : HeroPose, nullptr, scale);
}

}  // namespace

RtAnimAnimation *BuildPosedAnimation(const std::vector<RwReal> &times, CharacterPose pose, const void *context,
                                     RwReal scale)
{
    return BuildPosedFigureAnimation(Figure::kCharacter, times, pose, context, scale);
}

RtAnimAnimation *BuildPosedFigureAnimation(Figure figure, const std::vector<RwReal> &times, CharacterPose pose,
                                           const void *context, RwReal scale)
{
    const RwInt32 bones = SkeletonOf(figure).count;
    const auto numKeys = static_cast<RwInt32>(times.size()) * bones;
    RtAnimAnimation *animation =
        RtAnimAnimationCreate(rpHANIMSTDKEYFRAMETYPEID, numKeys, 0, times.back());
    if (animation == nullptr) {
        return nullptr;
    }
    auto *frames = static_cast<RpHAnimStdKeyFrame *>(animation->pFrames);
    for (size_t k = 0; k < times.size(); ++k) {
        for (RwInt32 node = 0; node < bones; ++node) {
            const auto index = static_cast<RwInt32>(k) * bones + node;
            RpHAnimStdKeyFrame &key = frames[index];
            key.time = times[k];
            key.q = pose(node, times[k], scale, &key.t, context);
            key.prevFrame = static_cast<RwUInt32>(k == 0 ? index : index - bones);
        }
    }
    return animation;
}

bool WriteAnimationFile(const RtAnimAnimation *animation, const std::string &path)
{
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMWRITE, path.c_str());
    if (stream == nullptr) {
        return false;
    }
    const bool ok = RtAnimAnimationStreamWrite(animation, stream) != nullptr;
    return RwStreamClose(stream, nullptr) && ok;
}

const char *CharacterBoneName(RwInt32 node)
{
    return node >= 0 && node < kCharacterBones ? kBones[node].name : nullptr;
}

RwInt32 CharacterBoneId(RwInt32 node) { return node >= 0 && node < kCharacterBones ? kBones[node].id : -1; }

const std::vector<CharacterFiles> &CharacterFileSets()
{
    static const std::vector<CharacterFiles> sets = {
        {CharacterFolder(), "HERO01", CharacterLook::kHero01},
        {"RESOURCE/MAINCHAR/HERO02", "HERO02", CharacterLook::kHero02},
    };
    return sets;
}

RpClump *BuildCharacterClump(CharacterLook look, RwReal scale) { return BuildFigureClump(Figure::kCharacter, look, scale); }

RpClump *BuildFigureClump(Figure figure, CharacterLook look, RwReal scale)
{
    const Skeleton skeleton = SkeletonOf(figure);
    const Bone *bones = skeleton.bones;
    const RwInt32 count = skeleton.count;
    RpClump *clump = RpClumpCreate();
    RwFrame *root = RwFrameCreate();
    if (clump == nullptr || root == nullptr) {
        if (clump != nullptr) {
            RpClumpDestroy(clump);
        }
        if (root != nullptr) {
            RwFrameDestroy(root);
        }
        return nullptr;
    }
    RpClumpSetFrame(clump, root);
    bool ok = true;
    std::vector<RwFrame *> frames(static_cast<size_t>(count), nullptr);
    std::vector<RwUInt32> nodeFlags(static_cast<size_t>(count));
    std::vector<RwInt32> nodeIDs(static_cast<size_t>(count));
    for (RwInt32 b = 0; b < count && ok; ++b) {
        frames[b] = RwFrameCreate();
        ok = frames[b] != nullptr;
        if (!ok) {
            break;
        }
        const RwV3d offset = Scaled(bones[b].offset, scale);
        RwFrameTranslate(frames[b], &offset, rwCOMBINEREPLACE);
        RwFrameAddChild(bones[b].parent < 0 ? root : frames[bones[b].parent], frames[b]);
        nodeFlags[b] = bones[b].flags;
        nodeIDs[b] = bones[b].id;
        RpHAnimFrameSetID(frames[b], nodeIDs[b]);
        RpUserDataList *list = RpUserDataFrameGetList(frames[b]);
        RpUserDataArray *name =
            list != nullptr ? RpUserDataListAddArray(list, CharacterBoneNameArray(), rpSTRINGUSERDATA, 1) : nullptr;
        ok = name != nullptr && RpUserDataArraySetString(name, 0, bones[b].name);
        const std::string id = std::to_string(bones[b].id);
        RpUserDataArray *props =
            ok ? RpUserDataListAddArray(list, CharacterUserPropertiesArray(), rpSTRINGUSERDATA, 1) : nullptr;
        ok = props != nullptr && RpUserDataArraySetString(props, 0, id.c_str());
    }
    RpHAnimHierarchy *hierarchy =
        ok ? RpHAnimHierarchyCreate(count, nodeFlags.data(), nodeIDs.data(), 0, sizeof(RpHAnimInterpFrame)) : nullptr;
    ok = hierarchy != nullptr;
    if (ok) {
        // The hierarchy sits on its first node (the pelvis), as exported
        // models carry it: the skeleton's world matrices then start from the
        // clump's own frame, so the skin is drawn where the clump stands.
        RpHAnimFrameSetHierarchy(frames[0], hierarchy);
        RpHAnimHierarchyAttach(hierarchy);
    }
    std::vector<RwMatrixWeights> weights(static_cast<size_t>(count * kVertsPerBone));
    std::vector<RwUInt32> indices(static_cast<size_t>(count * kVertsPerBone));
    RpGeometry *geometry = ok ? BuildGeometry(skeleton, look, scale, weights.data(), indices.data()) : nullptr;
    ok = geometry != nullptr;
    if (ok) {
        std::vector<RwMatrix> inverseBind(static_cast<size_t>(count), RwMatrix{});  // no stray bits in the words the skin writes
        for (RwInt32 b = 0; b < count; ++b) {
            RwV3d back = BindPosition(skeleton, b, scale);
            RwV3dScale(&back, &back, -1.0f);
            RwMatrixSetIdentity(&inverseBind[b]);
            RwMatrixTranslate(&inverseBind[b], &back, rwCOMBINEREPLACE);
        }
        RpSkin *skin = RpSkinCreate(geometry->numVertices, count, weights.data(), indices.data(), inverseBind.data());
        ok = skin != nullptr && RpSkinGeometrySetSkin(geometry, skin) != nullptr;
    }
    RpAtomic *atomic = ok ? RpAtomicCreate() : nullptr;
    ok = atomic != nullptr;
    if (ok) {
        RpAtomicSetFrame(atomic, root);
        RpAtomicSetGeometry(atomic, geometry, 0);
        RpClumpAddAtomic(clump, atomic);
        RpSkinAtomicSetHierarchy(atomic, hierarchy);
        RpSkinAtomicSetType(atomic, rpSKINTYPEGENERIC);
    }
    if (geometry != nullptr) {
        RpGeometryDestroy(geometry);  // the atomic holds its own reference
    }
    if (!ok) {
        RpClumpDestroy(clump);
        return nullptr;
    }
    return clump;
}

RtAnimAnimation *BuildScaledCharacterAnimation(RwReal scale)
{
    // Keys every quarter second, one just before the walk's end and one
    // where the rest begins, so that the walk's and the wave's last quarters
    // lead to their own ends (the wave lifts the sword arm from the bind
    // pose, in which the walk does not hold it).
    std::vector<RwReal> times;
    for (RwInt32 k = 0; k <= 16; ++k) {
        if (k == 4) {
            times.push_back(kCharacterWalkEnd - 0.01f);
        }
        times.push_back(0.25f * static_cast<RwReal>(k));
        if (k == 8) {
            times.push_back(kCharacterRestStart);
        }
    }
    return BuildAnimation(times, false, scale);
}

RtAnimAnimation *BuildScaledCharacterBindPose(RwReal scale) { return BuildAnimation({0.0f, 1.0f}, true, scale); }

RtAnimAnimation *BuildCharacterAnimation() { return BuildScaledCharacterAnimation(1.0f); }

RtAnimAnimation *BuildCharacterBindPose() { return BuildScaledCharacterBindPose(1.0f); }

bool AttachCharacterPlugins()
{
    return AttachPlugins() && RtAnimToolkitInitialize() && RpHAnimPluginAttach() && RpSkinPluginAttach();
}

bool WriteCharacterAnimation(const RtAnimAnimation *animation, const std::string &path)
{
    return WriteAnimationFile(animation, path);
}

bool WriteCharacterModel(const std::string &root, const char *folderName, const char *name, CharacterLook look)
{
    return WriteFigureModel(root, folderName, name, Figure::kCharacter, look);
}

bool WriteFigureModel(const std::string &root, const char *folderName, const char *name, Figure figure,
                      CharacterLook look)
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(root) / folderName;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return false;
    }
    RpClump *clump = BuildFigureClump(figure, look, kSampleFigureScale);
    if (clump == nullptr) {
        return false;
    }
    const bool ok = WriteClumpFile(clump, (folder / (std::string(name) + ".DFF")).string().c_str());
    RpClumpDestroy(clump);
    return ok;
}

bool WriteCharacterFiles(const std::string &root)
{
    for (const CharacterFiles &set : CharacterFileSets()) {
        const std::filesystem::path folder = std::filesystem::path(root) / set.folder;
        const std::string base = set.name;
        bool ok = WriteCharacterModel(root, set.folder, set.name, set.look);
        RtAnimAnimation *animation = ok ? BuildScaledCharacterAnimation(kSampleFigureScale) : nullptr;
        ok = animation != nullptr && WriteAnimationFile(animation, (folder / (base + ".ANM")).string());
        if (animation != nullptr) {
            RtAnimAnimationDestroy(animation);
        }
        if (!ok) {
            return false;
        }
    }
    RtAnimAnimation *bindPose = BuildScaledCharacterBindPose(kSampleFigureScale);
    const bool ok = bindPose != nullptr &&
                    WriteAnimationFile(bindPose, (std::filesystem::path(root) / CharacterFolder() /
                                                  CharacterBindPoseName()).string());
    if (bindPose != nullptr) {
        RtAnimAnimationDestroy(bindPose);
    }
    return ok;
}

}  // namespace mkdata
