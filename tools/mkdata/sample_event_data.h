// The sample data of the hazard, puzzle and trap stages' events:
//   RESOURCE/G_EVENT/TWATER/TWATER.XDT  the water model's descriptor, its
//                                       model TWATER.DFF (a surface that a
//                                       node animation raises, four spray
//                                       corners "3514100P01".."P04") and
//                                       its flipbook textures
//   RESOURCE/G_EVENT/ANM/TWATER.ANM     the water's clump animation (a bob)
//   RESOURCE/G_EVENT/DFF/GASVENT.DFF    the gas vent, three outlet frames
//   RESOURCE/G_EVENT/DFF/SWITCH.DFF     the puzzle's switch pad, and the
//                    3520801..3520806   number signs of switches 1..6
//   RESOURCE/G_EVENT/EVENT.BGM          one entry: the puzzle's music
//   RESOURCE/PARTICLE/<name>            the spray, gas and trap jets
// and the events of stage 18 (the trap notice 79187200 over traps 1200 and
// 1203, the gas vent 79180200), stage 7 (the water 79073100, Param 35040),
// stage 5 (the puzzle 79054100, sequence 3142, and its switches 1..4) and
// stage 17 (the bridge 79170200, the move event 79170300 it waits for and
// the move event 79170400 whose model 79170300 moves).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "event/event_bgm_list.h"
#include "event/event_table_file.h"
#include "fx/particle_set_file.h"
#include "tools/mkdata/fx_data.h"
#include "tools/mkdata/stage_sounds.h"

namespace mkdata {

// The event models' and animations' folders.
inline constexpr const char *kEventModels = "RESOURCE/G_EVENT/DFF";
inline constexpr const char *kEventAnims = "RESOURCE/G_EVENT/ANM";

inline constexpr int32_t kPuzzleStageId = 2050000;
inline constexpr int32_t kWaterStageId = 2070000;
inline constexpr int32_t kTrapStageId = 2180000;

inline constexpr int32_t kSampleTrapNotice = 79187200;
inline constexpr int32_t kSampleGasVent = 79180200;
inline constexpr int32_t kSampleWater = 79073100;
inline constexpr int32_t kSamplePuzzle = 79054100;
// The map's hazard stage: stage 33, a guarded arena, has stage 18's band
// and traps on the way from its guard to its door: its notice (code 300)
// waits for the guard's door to have opened, and the traps stand beyond the
// band on each side of the way (sample_traps.h).
inline constexpr int32_t kHazardMapStageId = 2330000;
inline constexpr int32_t kSampleMapTrapNotice = 79333100;
inline constexpr int32_t kHazardMapGuardDoor = 79332900;
inline constexpr float kMapTrapNoticeNear = 30.0f;
inline constexpr float kMapTrapNoticeFar = 50.0f;
// Stage 17's bridge (its planks, RESOURCE/FX/XDT/0.XDT and 1.XDT, are the
// effects data's) and the move event it waits for; one plank every tenth of
// a second.
inline constexpr int32_t kSampleBridge = 79170200;
inline constexpr int32_t kSampleBridgeLink = 79170300;
inline constexpr int32_t kSampleBridgeParam = 1000000;
// The move event 79170300 moves its link's model, the crate (PROP01.DFF) of
// the move event 79170400, from where both stand by (its placement less its
// start point) in its 5 s; 79170400 waits for a hero in the south-west corner.
inline constexpr int32_t kSampleMovedCrate = 79170400;
inline constexpr RwV3d kMovedCrateAt = {60.0f, 0.0f, 120.0f};
inline constexpr RwV3d kMovedCrateCornerAt = {-170.0f, 0.0f, -170.0f};

// Where the stages' events stand (the yard's ground is y = 0; the heroes
// start at z = -40 facing +z).
inline constexpr RwV3d kGasVentAt = {40.0f, 0.0f, 40.0f};
inline constexpr RwV3d kWaterAt = {0.0f, 0.0f, 30.0f};
inline constexpr float kWaterHalf = 30.0f;
// The switches stand in a row across the yard, 30 apart, x = 30 (n - 2.5).
RwV3d SampleSwitchAt(int32_t number);
inline constexpr float kSwitchHalf = 6.0f;
// The trap notice's area: the band the heroes cross on the way north.
inline constexpr float kTrapNoticeNear = -10.0f;
inline constexpr float kTrapNoticeFar = 10.0f;

// The events of the three stages, for the event table.
std::vector<EventTableEntry> SampleEventStageEntries();
// The event music list.
std::vector<EventMusicEntry> SampleEventMusic();
// The particle systems each of the three stages loads (empty for another).
ParticleSet SampleEventStageParticles(int32_t stageId);
// The sounds each of the three stages' events play.
std::vector<SampleSound> SampleEventStageSounds(int32_t stageId);

// The small builders of the event models.
RpMaterial *ColourMaterial(RwRGBA colour);
// A box of half extents `h` standing on y = 0, each face its own four
// vertices, prelit in `colour`.
RpGeometry *BuildBox(const RwV3d &h, RwRGBA colour);
// The string of a frame's user properties ("3dsmax User Properties").
bool SetUserProperty(RwFrame *frame, const char *text);
// An atomic of `geometry` on a new frame under `parent` at `offset`.
RwFrame *AddAtomic(RpClump *clump, RwFrame *parent, RpGeometry *geometry, const RwV3d &offset);
// A bare frame under `parent` at `offset`.
RwFrame *AddFrame(RwFrame *parent, const RwV3d &offset);

// Writes the clump (destroyed after) to `path`, making its folder.
bool WriteClump(RpClump *clump, const std::filesystem::path &path);
// Writes the image (destroyed after) as <name>.BMP in `folder`.
bool WriteImageBmp(RwImage *image, const std::filesystem::path &folder, const std::string &name);
// A `size` x `size` picture of pixel(x, y), written as <name>.BMP in `folder`.
template <typename Pixel>
bool WritePicture(const std::filesystem::path &folder, const std::string &name, Pixel pixel, RwInt32 size = 32)
{
    RwImage *image = NewRgbaImage(size, size);
    if (image == nullptr) {
        return false;
    }
    for (RwInt32 y = 0; y < size; ++y) {
        auto *row = reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride);
        for (RwInt32 x = 0; x < size; ++x) {
            row[x] = pixel(x, y);
        }
    }
    return WriteImageBmp(image, folder, name);
}

// Writes the files above under `root` (the event table is written with
// the others, event_table.h).
bool WriteSampleEventData(const std::string &root);

}  // namespace mkdata
