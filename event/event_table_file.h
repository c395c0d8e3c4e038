// The event table file "\RESOURCE\G_EVENT\G_EVENT.EVT": plain text, a
// count line, then one block of 14 lines per event. Values are taken by
// position: a word is a run of characters up to a blank or a tab, and its
// value is the number after its first ':' (the label before it is free
// text); a line's value is the number after the line's first ':'.
//
//   line 1   ignored
//   line 2   word 1: EventID
//   line 3-6 words 2-4: corner 1..4 x, y, z
//   line 7-9 words 2-4: placement position, at, up
//   line 10  words 2-4: circle centre
//   line 11  line value: circle radius
//   line 12  words 1-6: CharNum, NPCNum, MaxOccur, Param, LinkID, player mask
//   line 13  word 1, whole: the label
//   line 14  scene-effect events: each word "x,y,z" one point; else ignored
//
// Reading is bounded by what the file holds: a count larger than the
// blocks present reads the blocks present, a line longer than 511
// characters is cut and the rest of it skipped, and a short block or one
// whose id line holds no number ends the read with the records before it.
// A word without a ':' keeps the value of the previous word, as the game
// always read it; after a ':' the value is read as atol and atof read it,
// so a word that is no number ("CharNum:two") reads as 0. Such a word, a
// negative count and an empty file are reported (diagnostic lines naming
// the file's line).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rwcore.h"

class CSEventManager;
class EventRecord;
struct zuFile;

inline constexpr const char *kEventTablePath = "\\RESOURCE\\G_EVENT\\G_EVENT.EVT";
inline constexpr int kEventTableLineLength = 511;
inline constexpr int kEventBlockLines = 14;

// One event as the file holds it (the maker writes these; tests compare).
struct EventTableEntry {
    int32_t eventId = 0;
    RwV3d corners[4] = {};
    RwV3d position = {0.0f, 0.0f, 0.0f};
    RwV3d at = {0.0f, 0.0f, 1.0f};
    RwV3d up = {0.0f, 1.0f, 0.0f};
    RwV3d circleCentre = {0.0f, 0.0f, 0.0f};
    float radius = 0.0f;
    int32_t charNum = 1;
    int32_t npcNum = 0;
    int32_t maxOccur = 1;
    int32_t param = 0;
    int32_t linkId = 0;
    int32_t playerMask = 3;
    std::string label = "none";
    std::vector<RwV3d> points;  // line 14 (scene-effect events)
};

// One line of an event data file into `line` (`size` bytes, the line end
// kept), the rest of a longer line read and dropped (*cut, when given, says
// whether it was); false at the end of the file.
bool ReadEventDataLine(zuFile *file, char *line, size_t size, bool *cut = nullptr);

// The file's text for the entries, in the layout above.
std::string FormatEventTable(const std::vector<EventTableEntry> &entries);

// Reads the table from an open file into `records` (appended, file order,
// null for ids the factory does not know), each record owned by `owner`.
// False when the file is null.
bool ReadEventTable(zuFile *file, CSEventManager *owner, std::vector<EventRecord *> *records);

// The link pass: every record whose LinkID is above 70000000 or whose
// Param is at least 70000001 gets its LinkEvent (and a link starter its
// second link, from Param), the first record in array order with that id.
void LinkEventRecords(const std::vector<EventRecord *> &records);
