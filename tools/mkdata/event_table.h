// The sample event table "\RESOURCE\G_EVENT\G_EVENT.EVT": stage 2's exit
// first (so the first stage's events start at index 1), the first stage's
// end-at-once event 79010400 (for the stage's monster 1000, once its
// placement names the event; it holds the exit's area, a quadrilateral at
// the far end of the yard) reporting to the link starter 79012500, which
// starts the stage exit 79012400; an id the game does not know; another
// stage's scene effect with its points; the stages' movies, hazards, talks,
// scene and doors; and every other stage's end (sample_stage_ends.h).
#pragma once

#include <string>
#include <vector>

#include "event/event_table_file.h"

namespace mkdata {

inline const char *EventTableFolder() { return "RESOURCE/G_EVENT"; }
inline const char *EventTableName() { return "G_EVENT.EVT"; }
// The event the first stage's monster is bound to.
inline constexpr int32_t kSampleMonsterEvent = 79010400;
// The first stage's villagers carry the ids of the talk and the
// conversation they stand for (sample_talk_data.h).
inline constexpr int32_t kSampleTalkEvent = 79010200;
inline constexpr int32_t kSampleConversationEvent = 79010300;

const std::vector<EventTableEntry> &SampleEventTable();
bool WriteEventTableFile(const std::string &path, const std::vector<EventTableEntry> &entries);
// Writes the sample table under `root`.
bool WriteEventTable(const std::string &root);

}  // namespace mkdata
