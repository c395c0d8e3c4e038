// The sample doors (see sample_doors.h). Everything is computed, the same
// on every run.
#include "tools/mkdata/sample_doors.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "rphanim.h"
#include "tools/mkdata/character_model.h"
#include "tools/mkdata/sample_event_data.h"
#include "tools/mkdata/stage_files.h"
#include "tools/mkdata/event_table.h"

namespace mkdata {

namespace {

namespace fs = std::filesystem;

constexpr RwInt32 kHingeNode = 1;
constexpr float kFramePost = 1.5f;   // half the width of a post
constexpr float kLeafHalfDepth = 1.0f;

// The leaf's angle about the vertical at the keys of the timeline: motion 0
// holds it shut (frames 0..10), motion 1 swings it open (10..70), motion 2
// rattles it and leaves it shut (71..101).
struct DoorKey {
    int32_t frame;
    float degrees;
};
constexpr DoorKey kDoorKeys[] = {{0, 0.0f},  {10, 0.0f}, {40, kDoorOpenDegrees * 0.6f}, {70, kDoorOpenDegrees},
                                 {71, 0.0f}, {78, 4.0f}, {86, -4.0f},                  {94, 3.0f},
                                 {101, 0.0f}};

RpMaterial *ColourOf(RpMaterial *material, void *data)
{
    RpMaterialSetColor(material, static_cast<const RwRGBA *>(data));
    return material;
}

// A box as BuildBox makes it, but in the colour of its material (the
// stage's lights add to the prelit colour, which is kept dark so the colour
// shows), with a bounding sphere that just holds it: the stage draws a
// model see-through while its sphere stands between the camera and a hero,
// and the door's heroes stand close to it.
RpGeometry *DoorBox(const RwV3d &h, RwRGBA colour)
{
    const RwRGBA dark = {static_cast<RwUInt8>(colour.red * 2 / 5), static_cast<RwUInt8>(colour.green * 2 / 5),
                         static_cast<RwUInt8>(colour.blue * 2 / 5), colour.alpha};
    RpGeometry *box = BuildBox(h, dark);
    if (box != nullptr) {
        box->morphTarget[0].boundingSphere.radius = std::sqrt(h.x * h.x + h.y * h.y + h.z * h.z);
        RpGeometryForAllMaterials(box, ColourOf, &colour);
        box->flags |= rpGEOMETRYMODULATEMATERIALCOLOR;
    }
    return box;
}

struct DoorLook {
    RwRGBA leaf;
    RwRGBA frame;
    bool bolt;  // a bolt on the leaf that a node animation lifts
};

// The door: a stone frame (two posts and a lintel) around a leaf that hangs
// on the hinge node at the frame's left edge; the clump's root holds the
// one-node hierarchy.
RpClump *BuildDoorClump(const DoorLook &look)
{
    RpClump *clump = RpClumpCreate();
    RwFrame *root = RwFrameCreate();
    if (clump == nullptr || root == nullptr) {
        return nullptr;
    }
    RpClumpSetFrame(clump, root);
    const float halfWidth = kDoorWidth * 0.5f;
    RwFrame *hinge = AddFrame(root, {-halfWidth, 0.0f, 0.0f});
    RpHAnimFrameSetID(hinge, kHingeNode);
    RwUInt32 flags = 0;
    RwInt32 id = kHingeNode;
    RpHAnimHierarchy *hierarchy = RpHAnimHierarchyCreate(1, &flags, &id, 0, sizeof(RpHAnimInterpFrame));
    bool ok = hierarchy != nullptr;
    if (ok) {
        RpHAnimFrameSetHierarchy(root, hierarchy);
        RpHAnimHierarchyAttach(hierarchy);
    }
    RwFrame *leaf = ok ? AddAtomic(clump, hinge,
                                   DoorBox({halfWidth - 0.25f, kDoorHeight * 0.5f, kLeafHalfDepth}, look.leaf),
                                   {halfWidth, 0.0f, 0.0f})
                       : nullptr;
    ok = leaf != nullptr;
    const float postX = halfWidth + kFramePost;
    const float frameHeight = kDoorHeight + 2.0f;
    for (float side : {-1.0f, 1.0f}) {
        ok = ok && AddAtomic(clump, root, DoorBox({kFramePost, frameHeight * 0.5f, kFramePost * 1.4f}, look.frame),
                             {side * postX, 0.0f, 0.0f}) != nullptr;
    }
    ok = ok && AddAtomic(clump, root, DoorBox({postX + kFramePost, kFramePost, kFramePost * 1.4f}, look.frame),
                         {0.0f, frameHeight, 0.0f}) != nullptr;
    if (ok && look.bolt) {
        // The bolt sits on the leaf's far edge, on both faces, and slides up.
        RwFrame *bolt = AddAtomic(clump, leaf, DoorBox({1.5f, 3.0f, kLeafHalfDepth + 0.6f}, {230, 190, 70, 255}),
                                  {halfWidth - 3.0f, kDoorHeight * 0.5f - 3.0f, 0.0f});
        char text[96];
        std::snprintf(text, sizeof text, "NodeAnim %d 0 0 0 0 %g 0", kDoorBoltFrames,
                      static_cast<double>(kDoorBoltLift));
        ok = bolt != nullptr && SetUserProperty(bolt, text);
    }
    if (!ok) {
        RpClumpDestroy(clump);
        return nullptr;
    }
    return clump;
}

RtAnimAnimation *BuildDoorAnimation()
{
    constexpr int kKeys = static_cast<int>(std::size(kDoorKeys));
    const float duration = static_cast<float>(kDoorKeys[kKeys - 1].frame) * kSecondsPerAnimFrame;
    RtAnimAnimation *animation = RtAnimAnimationCreate(rpHANIMSTDKEYFRAMETYPEID, kKeys, 0, duration);
    if (animation == nullptr) {
        return nullptr;
    }
    auto *frames = static_cast<RpHAnimStdKeyFrame *>(animation->pFrames);
    for (int k = 0; k < kKeys; ++k) {
        frames[k].time = static_cast<float>(kDoorKeys[k].frame) * kSecondsPerAnimFrame;
        frames[k].q = CharacterRotation({0.0f, 1.0f, 0.0f}, kDoorKeys[k].degrees);
        frames[k].t = {-kDoorWidth * 0.5f, 0.0f, 0.0f};
        frames[k].prevFrame = static_cast<RwUInt32>(k == 0 ? 0 : k - 1);
    }
    return animation;
}

bool WriteDoor(const fs::path &root, const char *name, const DoorLook &look)
{
    std::error_code error;
    fs::create_directories(root / kEventAnims, error);
    const std::string base = (root / kEventAnims / name).string();
    bool ok = !error && WriteClump(BuildDoorClump(look), root / kEventModels / (std::string(name) + ".DFF"));
    RtAnimAnimation *animation = ok ? BuildDoorAnimation() : nullptr;
    ok = animation != nullptr && WriteAnimationFile(animation, base + ".ANM");
    if (animation != nullptr) {
        RtAnimAnimationDestroy(animation);
    }
    return ok && WriteMotionFile(base + ".AMF", SampleDoorMotions());
}

EventTableEntry DoorEntry(int32_t id, const RwV3d &at, const RwV3d &facing)
{
    EventTableEntry e;
    e.eventId = id;
    e.label = kSampleDoorModel;
    e.position = at;
    e.at = facing;
    return e;
}

}  // namespace

MotionTable SampleDoorMotions()
{
    MotionTable table;
    table.motions = {{0, 10, true}, {10, 70, true}, {71, 101, true}};
    return table;
}

std::vector<EventTableEntry> SampleDoorEntries()
{
    // The action door: its area is the circle of the speech marker, the
    // door's message distance round its model on either side (its load
    // points the circle's centre at the model), so that wherever the marker
    // shows the action command opens it.
    EventTableEntry action = DoorEntry(kSampleActionDoor, kSampleActionDoorAt, kSampleActionDoorFacing);
    action.circleCentre = {0.0f, 0.0f, 0.0f};
    action.radius = kDoorMessageDistance;
    // The monster's door: no area; it opens once every actor of the event
    // its monster belongs to is gone.
    EventTableEntry monster = DoorEntry(kSampleMonsterDoor, kSampleMonsterDoorAt, {0.0f, 0.0f, 1.0f});
    monster.linkId = kSampleMonsterEvent;
    return {action, monster};
}

std::vector<SampleSound> SampleDoorSounds() { return {{6500350, 392.0}}; }

bool WriteSampleDoors(const std::string &rootPath)
{
    const fs::path root(rootPath);
    return WriteDoor(root, kSampleDoorModel, {{150, 100, 60, 255}, {160, 155, 145, 255}, false}) &&
           WriteDoor(root, kSampleNodeDoorModel, {{95, 100, 115, 255}, {120, 110, 100, 255}, true});
}

}  // namespace mkdata
