// The sample data of the first stage's talk: the event data files beside
// the event table and the pictures of the message window.
//   RESOURCE/G_EVENT/CONT/USA/ and CHA/  NPCTYPE.TEX (the two NPC types and
//                                        their portraits), OPENDOOR.MSS (door
//                                        messages) and CONT01.NPC (the first
//                                        stage's conversation) and CONT19.NPC
//                                        (stage 19's warden), UTF-16
//   RESOURCE/G_EVENT/EVENTUI/NPC00.BMP, NPC01.BMP  the two portraits
//   RESOURCE/G_EVENT/HURTEVT/HURTEVT.HTE  one entry, on a hero zone
//   RESOURCE/G_EVENT/CAMERA/INGANM.IGA, INGANM.MIC  the scenes' rows (sample_scene_data.h)
//   RESOURCE/G_EVENT/DFF/NOTICE.DFF      the notice board of event 79010000,
//                                        its texture in DFF/TEXTURES
// and the first stage's events: the talk 79010200 (the villager of type
// 100) with its talk starter 79012900, the conversation 79010300 (the
// villager of type 107) and the notice board 79010000.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "event/event_data_files.h"
#include "event/event_table_file.h"
#include "tools/mkdata/event_table.h"

namespace mkdata {

inline constexpr int32_t kSampleNotice = 79010000;
// The hero zone of another stage that HURTEVT.HTE names.
inline constexpr int32_t kSampleHeroZone = 79230300;
// The talk and the conversation are kSampleTalkEvent and
// kSampleConversationEvent (event_table.h). Where their villagers stand,
// and the notice board.
inline constexpr RwV3d kSampleTalkNpcAt = {-150.0f, 0.0f, 60.0f};
inline constexpr RwV3d kSampleConversationNpcAt = {-150.0f, 0.0f, 100.0f};
// The notice board is a 16-unit card standing on its centre.
inline constexpr RwV3d kSampleNoticeAt = {-60.0f, 8.0f, 30.0f};
inline constexpr float kSampleTalkReach = 30.0f;
// The talk's lines 1, 2 and 3; the conversation's topics 10 .. 13.
inline constexpr int32_t kSampleTalkParam = 1020300;
// The talk starter linked with the farmer's talk both ways: once the talk
// has ended (its first end counted on the starter, code 1), it hands the
// talk its lines 4 and 5, which the farmer says from then on.
inline constexpr int32_t kSampleTalkStarter = 79012900;
inline constexpr int32_t kSampleTalkStarterParam = 4050000;
inline constexpr int32_t kSampleConversationParam = 1004;

std::vector<EventNpcType> SampleNpcTypes();
std::vector<EventTextEntry> SampleDoorMessages();
// The same texts stand in both language folders.
std::vector<EventTextEntry> SampleConversations();
// Stage 19's conversation (CONT19.NPC): the warden's line.
std::vector<EventTextEntry> SampleFigureYardConversations();
std::vector<HurtEventEntry> SampleHurtEvents();
// The first stage's talk events and the hero zone, for the event table.
std::vector<EventTableEntry> SampleTalkEntries();

bool WriteSampleTalkData(const std::string &root);
// Writes `text` as UTF-16LE, making the folder.
bool WriteWide(const std::filesystem::path &path, const std::u16string &text);

}  // namespace mkdata
