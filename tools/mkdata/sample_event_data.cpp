// The sample data of the hazard, puzzle and trap stages' events (see
// sample_event_data.h). Everything is computed, the same on every run.
#include "tools/mkdata/sample_event_data.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "rphanim.h"
#include "rtbmp.h"
#include "rpusrdat.h"
#include "tools/mkdata/effects_model.h"
#include "tools/mkdata/fx_data.h"
#include "tools/mkdata/model_writer.h"

namespace mkdata {
namespace {

namespace fs = std::filesystem;

constexpr const char *kUserProperties = "3dsmax User Properties";
constexpr const char *kWaterFolder = "RESOURCE/G_EVENT/TWATER";

// The water: a 60 x 60 surface that rises 4.5 units over 3 s (its node
// animation) from 1 below the ground, so that it shows from about the
// time it starts to hurt (1/6 s), bobbing a little (its clump animation,
// node 1), with a spray corner near each of its corners.
constexpr float kWaterLow = -1.0f;
constexpr float kWaterRise = 4.5f;
constexpr int kWaterRiseFrames = 180;
constexpr RwInt32 kWaveNode = 1;
constexpr float kBobSeconds = 2.0f;

}  // namespace

// ---- small builders ----

RpMaterial *ColourMaterial(RwRGBA colour)
{
    RpMaterial *material = RpMaterialCreate();
    if (material != nullptr) {
        RpMaterialSetColor(material, &colour);
    }
    return material;
}

// A box of half extents `h` standing on y = 0, each face its own four
// vertices, prelit in `colour`.
RpGeometry *BuildBox(const RwV3d &h, RwRGBA colour)
{
    constexpr RwUInt32 kFormat = rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS | rpGEOMETRYPRELIT | rpGEOMETRYLIGHT;
    RpGeometry *g = RpGeometryCreate(24, 12, kFormat);
    RpMaterial *material = ColourMaterial({255, 255, 255, 255});
    if (g == nullptr || material == nullptr) {
        if (g != nullptr) {
            RpGeometryDestroy(g);
        }
        if (material != nullptr) {
            RpMaterialDestroy(material);
        }
        return nullptr;
    }
    // Each face: its normal and two axes along it.
    const RwV3d faces[6][3] = {
        {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
        {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},  {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
    };
    for (int f = 0; f < 6; ++f) {
        const RwV3d &n = faces[f][0];
        const RwV3d &u = faces[f][1];
        const RwV3d &v = faces[f][2];
        // Shade the faces apart so the box reads as a box.
        const float shade = n.y > 0.5f ? 1.0f : (n.y < -0.5f ? 0.5f : (std::fabs(n.x) > 0.5f ? 0.8f : 0.65f));
        const RwRGBA lit = {static_cast<RwUInt8>(colour.red * shade), static_cast<RwUInt8>(colour.green * shade),
                            static_cast<RwUInt8>(colour.blue * shade), colour.alpha};
        for (int k = 0; k < 4; ++k) {
            const float su = (k == 1 || k == 3) ? 1.0f : -1.0f;
            const float sv = k >= 2 ? 1.0f : -1.0f;
            const int index = f * 4 + k;
            // The face's centre, then out along its two axes; the box
            // stands on y = 0.
            g->morphTarget[0].verts[index] = {
                (n.x + u.x * su + v.x * sv) * h.x,
                (n.y + u.y * su + v.y * sv) * h.y + h.y,
                (n.z + u.z * su + v.z * sv) * h.z,
            };
            g->morphTarget[0].normals[index] = n;
            g->preLitLum[index] = lit;
        }
        const RwUInt16 base = static_cast<RwUInt16>(f * 4);
        const RwUInt16 tris[2][3] = {{base, static_cast<RwUInt16>(base + 2), static_cast<RwUInt16>(base + 1)},
                                     {static_cast<RwUInt16>(base + 1), static_cast<RwUInt16>(base + 2),
                                      static_cast<RwUInt16>(base + 3)}};
        for (int t = 0; t < 2; ++t) {
            RpTriangle &triangle = g->triangles[f * 2 + t];
            for (int k = 0; k < 3; ++k) {
                triangle.vertIndex[k] = tris[t][k];
            }
            RpGeometryTriangleSetMaterial(g, &triangle, material);
        }
    }
    RpMaterialDestroy(material);
    const float radius = std::sqrt(h.x * h.x + h.y * h.y * 4.0f + h.z * h.z);
    g->morphTarget[0].boundingSphere = {{0.0f, h.y, 0.0f}, radius};
    return RpGeometryUnlock(g);
}

// The string of a frame's user properties.
bool SetUserProperty(RwFrame *frame, const char *text)
{
    RpUserDataList *list = RpUserDataFrameGetList(frame);
    RpUserDataArray *array = list != nullptr ? RpUserDataListAddArray(list, kUserProperties, rpSTRINGUSERDATA, 1)
                                             : nullptr;
    return array != nullptr && RpUserDataArraySetString(array, 0, text);
}

// An atomic of `geometry` on a new frame under `parent` at `offset`.
RwFrame *AddAtomic(RpClump *clump, RwFrame *parent, RpGeometry *geometry, const RwV3d &offset)
{
    RwFrame *frame = RwFrameCreate();
    RpAtomic *atomic = RpAtomicCreate();
    if (frame == nullptr || atomic == nullptr || geometry == nullptr) {
        if (frame != nullptr) {
            RwFrameDestroy(frame);
        }
        if (atomic != nullptr) {
            RpAtomicDestroy(atomic);
        }
        if (geometry != nullptr) {
            RpGeometryDestroy(geometry);
        }
        return nullptr;
    }
    RwFrameTranslate(frame, &offset, rwCOMBINEREPLACE);
    RwFrameAddChild(parent, frame);
    RpAtomicSetGeometry(atomic, geometry, 0);
    RpGeometryDestroy(geometry);
    RpAtomicSetFrame(atomic, frame);
    RpClumpAddAtomic(clump, atomic);
    return frame;
}

// A frame of its own (no atomic) under `parent`.
RwFrame *AddFrame(RwFrame *parent, const RwV3d &offset)
{
    RwFrame *frame = RwFrameCreate();
    if (frame != nullptr) {
        RwFrameTranslate(frame, &offset, rwCOMBINEREPLACE);
        RwFrameAddChild(parent, frame);
    }
    return frame;
}


namespace {

// ---- the water ----

RpClump *BuildWaterClump()
{
    RpClump *clump = RpClumpCreate();
    RwFrame *root = RwFrameCreate();
    if (clump == nullptr || root == nullptr) {
        return nullptr;
    }
    RpClumpSetFrame(clump, root);
    RwFrame *wave = AddFrame(root, {0.0f, 0.0f, 0.0f});
    RpHAnimFrameSetID(wave, kWaveNode);
    RwUInt32 flags = 0;
    RwInt32 id = kWaveNode;
    RpHAnimHierarchy *hierarchy = RpHAnimHierarchyCreate(1, &flags, &id, 0, sizeof(RpHAnimInterpFrame));
    bool ok = hierarchy != nullptr;
    if (ok) {
        RpHAnimFrameSetHierarchy(root, hierarchy);
        RpHAnimHierarchyAttach(hierarchy);
    }
    // The surface: a textured panel lying flat, which the node animation raises.
    RpMaterial *water = ok ? TexturedMaterial("TWATER1") : nullptr;
    const float h = kWaterHalf;
    const RwV3d flat[4] = {{-h, 0.0f, -h}, {h, 0.0f, -h}, {-h, 0.0f, h}, {h, 0.0f, h}};
    RpGeometry *panel = water != nullptr ? BuildDoubleSidedPanel(flat, {180, 200, 255, 200}, water, water) : nullptr;
    if (water != nullptr) {
        RpMaterialDestroy(water);
    }
    if (panel != nullptr) {
        panel->morphTarget[0].boundingSphere = {{0.0f, 0.0f, 0.0f}, h * 1.5f};
    }
    RwFrame *surface = ok ? AddAtomic(clump, wave, panel, {0.0f, kWaterLow, 0.0f}) : nullptr;
    char rise[96];
    std::snprintf(rise, sizeof rise, "NodeAnim %d 0 0 0 0 %g 0", kWaterRiseFrames, static_cast<double>(kWaterRise));
    ok = surface != nullptr && SetUserProperty(surface, rise);
    // The spray corners: small posts at the surface's corners.
    const float c = h - 2.0f;
    const RwV3d corners[4] = {{-c, 0.5f, -c}, {c, 0.5f, -c}, {c, 0.5f, c}, {-c, 0.5f, c}};
    for (int i = 0; ok && i < 4; ++i) {
        RwFrame *corner = AddAtomic(clump, surface, BuildBox({0.5f, 0.5f, 0.5f}, {120, 160, 255, 255}), corners[i]);
        char name[24];  // room for any int, which the compiler cannot rule out
        std::snprintf(name, sizeof name, "3514100P%02d", i + 1);
        ok = corner != nullptr && SetUserProperty(corner, name);
    }
    if (!ok) {
        RpClumpDestroy(clump);
        return nullptr;
    }
    return clump;
}

// The bob of the wave node: up and down by 0.5 over 2 s.
RtAnimAnimation *BuildWaterAnimation()
{
    constexpr int kKeys = 9;
    RtAnimAnimation *animation = RtAnimAnimationCreate(rpHANIMSTDKEYFRAMETYPEID, kKeys, 0, kBobSeconds);
    if (animation == nullptr) {
        return nullptr;
    }
    auto *frames = static_cast<RpHAnimStdKeyFrame *>(animation->pFrames);
    for (int k = 0; k < kKeys; ++k) {
        const float time = kBobSeconds * static_cast<float>(k) / static_cast<float>(kKeys - 1);
        frames[k].time = time;
        frames[k].q = {{0.0f, 0.0f, 0.0f}, 1.0f};
        frames[k].t = {0.0f, 0.5f * std::sin(time * 3.14159265f), 0.0f};
        frames[k].prevFrame = static_cast<RwUInt32>(k == 0 ? 0 : k - 1);
    }
    return animation;
}

bool WriteWater(const fs::path &root)
{
    const fs::path folder = root / kWaterFolder;
    bool ok = WriteText(folder / "TWATER.XDT",
                        "Model: TWATER.DFF\nFrameNum: 2\nFrame: TWATER1, 250\nFrame: TWATER2, 250\n"
                        "Scroll: 0.1, 0.05\nPlayCount: 0\n");
    for (int frame = 1; ok && frame <= 2; ++frame) {
        ok = WritePicture(folder, "TWATER" + std::to_string(frame), [frame](RwInt32 x, RwInt32 y) {
            // Blue water with light ripples that move between the frames.
            const bool ripple = ((x + y * 2 + frame * 5) % 12) < 2;
            return ripple ? RwRGBA{200, 230, 255, 210} : RwRGBA{40, 90, 200, 190};
        });
    }
    ok = ok && WriteClump(BuildWaterClump(), folder / "TWATER.DFF");
    RtAnimAnimation *bob = ok ? BuildWaterAnimation() : nullptr;
    if (bob == nullptr) {
        return false;
    }
    std::error_code error;
    fs::create_directories(root / kEventAnims, error);
    const std::string path = (root / kEventAnims / "TWATER.ANM").string();
    RwStream *stream = error ? nullptr : RwStreamOpen(rwSTREAMFILENAME, rwSTREAMWRITE, path.c_str());
    ok = stream != nullptr && RtAnimAnimationStreamWrite(bob, stream) != nullptr;
    ok = stream != nullptr && RwStreamClose(stream, nullptr) && ok;
    RtAnimAnimationDestroy(bob);
    return ok;
}

// ---- the gas vent, the switch and its signs ----

// A dark vent block with three outlets on its top, along x.
RpClump *BuildGasVentClump()
{
    RpClump *clump = RpClumpCreate();
    RwFrame *root = RwFrameCreate();
    if (clump == nullptr || root == nullptr) {
        return nullptr;
    }
    RpClumpSetFrame(clump, root);
    bool ok = AddAtomic(clump, root, BuildBox({12.0f, 2.0f, 4.0f}, {90, 95, 80, 255}), {0.0f, 0.0f, 0.0f}) != nullptr;
    for (int i = 0; ok && i < 3; ++i) {
        RwFrame *outlet = AddFrame(root, {-8.0f + 8.0f * static_cast<float>(i), 4.5f, 0.0f});
        char name[24];
        std::snprintf(name, sizeof name, "3517900OUT%02d", i + 1);
        ok = outlet != nullptr && SetUserProperty(outlet, name);
    }
    if (!ok) {
        RpClumpDestroy(clump);
        return nullptr;
    }
    return clump;
}

RpClump *BuildSwitchClump()
{
    RpClump *clump = RpClumpCreate();
    RwFrame *root = RwFrameCreate();
    if (clump == nullptr || root == nullptr) {
        return nullptr;
    }
    RpClumpSetFrame(clump, root);
    if (AddAtomic(clump, root, BuildBox({4.0f, 0.5f, 4.0f}, {200, 190, 160, 255}), {0.0f, 0.0f, 0.0f}) == nullptr) {
        RpClumpDestroy(clump);
        return nullptr;
    }
    return clump;
}

// The sign of switch `n`: a card showing n bars.
RpClump *BuildSignClump(int n)
{
    char texture[16];
    std::snprintf(texture, sizeof texture, "SIGN%d", n);
    return BuildFxCard(texture, 3.0f, {255, 255, 255, 255});
}

bool WriteEventModels(const fs::path &root)
{
    const fs::path folder = root / kEventModels;
    bool ok = WriteClump(BuildGasVentClump(), folder / "GASVENT.DFF") &&
              WriteClump(BuildSwitchClump(), folder / "SWITCH.DFF");
    for (int n = 1; ok && n <= 6; ++n) {
        char name[24];  // room for any int, which the compiler cannot rule out
        std::snprintf(name, sizeof name, "352080%d.DFF", n);
        ok = WriteClump(BuildSignClump(n), folder / name);
        ok = ok && WritePicture(folder / "TEXTURES", "SIGN" + std::to_string(n), [n](RwInt32 x, RwInt32 y) {
            // n white bars on dark blue.
            const bool bar = y > 6 && y < 26 && x >= 4 && (x - 4) % 4 < 2 && (x - 4) / 4 < n;
            return bar ? RwRGBA{255, 255, 255, 255} : RwRGBA{20, 30, 90, 255};
        });
    }
    return ok;
}

// ---- particle systems ----

struct EventZus {
    const char *name;
    int count;
    const char *text;
};

const EventZus kEventZus[] = {
    // The water's spray: white drops thrown up and falling back.
    {"3514100.ZUS", 4,
     "Texture: SPARK.BMP\nEmitRate: 30\nMaxParticles: 40\nLife: 1.0\nLifetime: -1\nVelocity: 0, 0, 14\n"
     "Spread: 25\nGravity: 0, -30, 0\nSizeStart: 2\nSizeEnd: 1\nColourStart: 220, 240, 255, 220\n"
     "ColourEnd: 160, 200, 255, 0\nBlend: ADD\n"},
    {"3514102.ZUS", 4,
     "Texture: SPARK.BMP\nEmitRate: 20\nMaxParticles: 30\nLife: 1.2\nLifetime: -1\nVelocity: 0, 0, 8\n"
     "Spread: 40\nGravity: 0, -20, 0\nSizeStart: 3\nSizeEnd: 1.5\nColourStart: 200, 225, 255, 200\n"
     "ColourEnd: 120, 170, 255, 0\nBlend: ADD\n"},
    // The gas: green puffs rising from the outlets.
    {"3517900.ZUS", 6,
     "Texture: SPARK.BMP\nEmitRate: 12\nMaxParticles: 30\nLife: 2.0\nLifetime: -1\nVelocity: 0, 0, 6\n"
     "Spread: 30\nSizeStart: 4\nSizeEnd: 9\nColourStart: 120, 220, 80, 170\nColourEnd: 60, 140, 40, 0\n"
     "Blend: ALPHA\nEmitterSize: 1, 1, 1\n"},
    {"3517901.ZUS", 6,
     "Texture: SPARK.BMP\nEmitRate: 8\nMaxParticles: 20\nLife: 1.5\nLifetime: -1\nVelocity: 0, 0, 4\n"
     "Spread: 50\nSizeStart: 2\nSizeEnd: 6\nColourStart: 180, 255, 120, 150\nColourEnd: 90, 180, 60, 0\n"
     "Blend: ALPHA\n"},
    // The flame traps' jets (along the jet's axis), the poison jets, the blast.
    {"3518100.zus", 4,
     "Texture: FIRE.BMP\nEmitRate: 40\nMaxParticles: 40\nLife: 0.5\nLifetime: -1\nVelocity: 0, 0, 30\n"
     "Spread: 10\nSizeStart: 2\nSizeEnd: 5\nColourStart: 255, 220, 120, 255\nColourEnd: 255, 60, 0, 0\n"
     "Blend: ADD\n"},
    {"3518600.zus", 4,
     "Texture: SPARK.BMP\nEmitRate: 30\nMaxParticles: 30\nLife: 0.6\nLifetime: -1\nVelocity: 0, 0, 25\n"
     "Spread: 12\nSizeStart: 2\nSizeEnd: 5\nColourStart: 170, 255, 90, 230\nColourEnd: 80, 160, 30, 0\n"
     "Blend: ADD\n"},
    {"3518601.zus", 4,
     "Texture: SPARK.BMP\nEmitRate: 15\nMaxParticles: 20\nLife: 0.8\nLifetime: -1\nVelocity: 0, 0, 15\n"
     "Spread: 25\nSizeStart: 3\nSizeEnd: 7\nColourStart: 120, 200, 60, 160\nColourEnd: 60, 120, 20, 0\n"
     "Blend: ALPHA\n"},
    {"3518400.zus", 2,
     "Texture: SPARK.BMP\nEmitRate: 80\nMaxParticles: 60\nLife: 0.8\nLifetime: 0.6\nVelocity: 0, 10, 0\n"
     "Spread: 90\nSizeStart: 3\nSizeEnd: 8\nColourStart: 170, 255, 90, 220\nColourEnd: 60, 140, 30, 0\n"
     "Blend: ADD\n"},
    {"3518401.zus", 2,
     "Texture: SPARK.BMP\nEmitRate: 40\nMaxParticles: 40\nLife: 1.0\nLifetime: 0.6\nVelocity: 0, 4, 0\n"
     "Spread: 90\nSizeStart: 6\nSizeEnd: 12\nColourStart: 120, 200, 60, 140\nColourEnd: 60, 120, 20, 0\n"
     "Blend: ALPHA\n"},
};

ParticleSet SetOf(std::initializer_list<const char *> names)
{
    ParticleSet set;
    for (const char *name : names) {
        for (const EventZus &z : kEventZus) {
            if (std::string(z.name) == name) {
                ParticleKind kind;
                std::snprintf(kind.name, sizeof kind.name, "%s", z.name);
                kind.count = z.count;
                set.kinds.push_back(kind);
            }
        }
    }
    set.announced = static_cast<int32_t>(set.kinds.size());
    return set;
}

EventTableEntry Entry(int32_t id, const char *label)
{
    EventTableEntry e;
    e.eventId = id;
    e.label = label;
    return e;
}

// A square area of half-size `half` around `at`, corners in order around it.
void SquareAround(EventTableEntry *e, const RwV3d &at, float halfX, float halfZ)
{
    e->corners[0] = {at.x - halfX, 0.0f, at.z - halfZ};
    e->corners[1] = {at.x + halfX, 0.0f, at.z - halfZ};
    e->corners[2] = {at.x + halfX, 0.0f, at.z + halfZ};
    e->corners[3] = {at.x - halfX, 0.0f, at.z + halfZ};
}

}  // namespace

bool WriteClump(RpClump *clump, const fs::path &path)
{
    if (clump == nullptr) {
        return false;
    }
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    const bool ok = !error && WriteClumpFile(clump, path.string().c_str());
    RpClumpDestroy(clump);
    return ok;
}

bool WriteImageBmp(RwImage *image, const fs::path &folder, const std::string &name)
{
    if (image == nullptr) {
        return false;
    }
    std::error_code error;
    fs::create_directories(folder, error);
    const bool ok = !error && RtBmpWrite(image, (folder / (name + ".BMP")).string().c_str()) != nullptr;
    RwImageDestroy(image);
    return ok;
}

RwV3d SampleSwitchAt(int32_t number) { return {30.0f * (static_cast<float>(number) - 2.5f), 0.0f, 20.0f}; }

std::vector<EventTableEntry> SampleEventStageEntries()
{
    std::vector<EventTableEntry> entries;
    // Stage 5: the puzzle runs from the start (no area, condition 100); the
    // switches are the events 1 to 4 of its stage (their LinkID).
    EventTableEntry puzzle = Entry(kSamplePuzzle, "PUZZLE");
    puzzle.param = 3142;
    entries.push_back(puzzle);
    for (int32_t n = 1; n <= 4; ++n) {
        EventTableEntry sw = Entry(n, "SWITCH");
        SquareAround(&sw, SampleSwitchAt(n), kSwitchHalf, kSwitchHalf);
        sw.position = SampleSwitchAt(n);
        sw.param = n;
        sw.linkId = kSamplePuzzle;
        sw.maxOccur = 1000;
        entries.push_back(sw);
    }
    // Stage 17: the bridge builds its 19 planks one every 0.1 s from the
    // start (no area) and, once they all stand while its link (the move
    // event, 5 s from the start) runs, takes them away one by one and ends.
    // The move event moves its own link's model: the crate of the second
    // move event, which waits in the south-west corner for a hero (its
    // code 400 holds at once, having no actors) and stays hidden.
    EventTableEntry bridge = Entry(kSampleBridge, "BRIDGE");
    bridge.param = kSampleBridgeParam;
    bridge.linkId = kSampleBridgeLink;
    entries.push_back(bridge);
    EventTableEntry mover = Entry(kSampleBridgeLink, "BRIDGE_TIMER");
    mover.position = kMovedCrateAt;
    mover.linkId = kSampleMovedCrate;
    entries.push_back(mover);
    EventTableEntry crate = Entry(kSampleMovedCrate, "PROP01");
    crate.position = kMovedCrateAt;
    SquareAround(&crate, kMovedCrateCornerAt, 10.0f, 10.0f);
    entries.push_back(crate);
    // Stage 7: a surge every 3.5 s dealing 40 over its square.
    EventTableEntry water = Entry(kSampleWater, "TWATER");
    SquareAround(&water, kWaterAt, kWaterHalf, kWaterHalf);
    water.position = kWaterAt;
    water.param = 35040;
    water.maxOccur = 1000;
    entries.push_back(water);
    // Stage 18: the band that switches the traps on, and the gas vent (its
    // puffs 0.5 s apart, a 3 s window, 20 a hurt) with its area around it.
    EventTableEntry notice = Entry(kSampleTrapNotice, "TRAPS_ON");
    notice.corners[0] = {-100.0f, 0.0f, kTrapNoticeNear};
    notice.corners[1] = {100.0f, 0.0f, kTrapNoticeNear};
    notice.corners[2] = {100.0f, 0.0f, kTrapNoticeFar};
    notice.corners[3] = {-100.0f, 0.0f, kTrapNoticeFar};
    notice.npcNum = 2;
    entries.push_back(notice);
    // Stage 33: the same band between its guard and its door, once the
    // guard's door has opened.
    EventTableEntry mapNotice = notice;
    mapNotice.eventId = kSampleMapTrapNotice;
    for (int i = 0; i < 4; ++i) {
        mapNotice.corners[i].z = i < 2 ? kMapTrapNoticeNear : kMapTrapNoticeFar;
    }
    mapNotice.linkId = kHazardMapGuardDoor;
    entries.push_back(mapNotice);
    EventTableEntry gas = Entry(kSampleGasVent, "GASVENT");
    SquareAround(&gas, kGasVentAt, 20.0f, 15.0f);
    gas.position = kGasVentAt;
    gas.param = 5030020;
    gas.maxOccur = 1000;
    entries.push_back(gas);
    return entries;
}

std::vector<EventMusicEntry> SampleEventMusic() { return {{kSamplePuzzle, kSamplePuzzle, 1, 0, 0}}; }

ParticleSet SampleEventStageParticles(int32_t stageId)
{
    switch (stageId) {
    case kWaterStageId:
        return SetOf({"3514100.ZUS", "3514102.ZUS"});
    case kTrapStageId:
        return SetOf({"3517900.ZUS", "3517901.ZUS", "3518100.zus", "3518600.zus", "3518601.zus", "3518400.zus",
                      "3518401.zus"});
    case kHazardMapStageId:
        return SetOf({"3518100.zus", "3518600.zus", "3518601.zus", "3518400.zus", "3518401.zus"});
    default:
        return {};
    }
}

std::vector<SampleSound> SampleEventStageSounds(int32_t stageId)
{
    std::vector<int32_t> ids;
    switch (stageId) {
    case kPuzzleStageId:
        ids = {6500650, 6500660, 6500670, 6500680};
        break;
    case kWaterStageId:
        ids = {6500020};
        break;
    case kTrapStageId:
    case kHazardMapStageId:
        ids = {6500220, 6300200, 6500300, 6500150, 6500230};
        break;
    default:
        break;
    }
    std::vector<SampleSound> sounds;
    for (int32_t id : ids) {
        sounds.push_back({id, 300.0 + static_cast<double>((id / 10) % 120) * 10.0});
    }
    return sounds;
}

bool WriteSampleEventData(const std::string &rootPath)
{
    const fs::path root(rootPath);
    bool ok = WriteWater(root) && WriteEventModels(root);
    for (const EventZus &z : kEventZus) {
        ok = ok && WriteText(root / ParticleFolder() / z.name, z.text);
    }
    return ok && WriteText(root / "RESOURCE/G_EVENT/EVENT.BGM", FormatEventMusicList(SampleEventMusic()));
}

}  // namespace mkdata
