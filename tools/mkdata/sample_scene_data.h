// The sample in-game animation scene of the first stage, 79017000: it
// plays 3 s after the door 79011200 has opened (condition 900, its link),
// cutting to the sample scene camera's flight (scene_camera.h) with the
// letterbox, the yard's monster (AI id 1) playing its animation and two
// subtitles.
//   RESOURCE/G_EVENT/G_EVENT.EVT         the scene's entry (event_table.cpp)
//   RESOURCE/G_EVENT/CAMERA/INGANM.IGA   its camera and actors
//   RESOURCE/G_EVENT/CAMERA/INGANM.MIC   its two sound cues
//   RESOURCE/G_EVENT/CONT/USA/, CHA/     79017000.SUB, its subtitles
//   PACK/INGAME1/79017000.STR and .LST   the camera clump and animation
//                                        and the monster's scene animation
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "event/event_data_files.h"
#include "event/event_table_file.h"
#include "event/scene_subtitles.h"

namespace mkdata {

inline constexpr int32_t kSampleScene = 79017000;
// The event whose end starts the scene: the first stage's door opened by
// the action command.
inline constexpr int32_t kSampleSceneLink = 79011200;
inline constexpr int32_t kSampleSceneActor = 1;  // the yard's monster
inline constexpr int32_t kSampleSceneSound = 6300040;
inline const char *SampleScenePackPath() { return "PACK/INGAME1/79017000.STR"; }
inline const char *SampleSceneActorAnimation() { return "79017001.ANM"; }

EventTableEntry SampleSceneEntry();
std::vector<InGameAnmEntry> SampleSceneTable();
std::vector<InGameAnmAudioEntry> SampleSceneAudio();
std::vector<SceneSubtitleEntry> SampleSceneSubtitles();

// The subtitle files and the scene's pack (after the camera files and the
// monsters are written).
bool WriteSampleSceneData(const std::string &root);

}  // namespace mkdata
