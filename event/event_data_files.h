// The event data files beside the event table: the hurt values
// (HURTEVT.HTE), the scenes' actor keys (INGANM.IGA) and sound cues
// (INGANM.MIC), and per language the NPC types (NPCTYPE.TEX), the door
// messages (OPENDOOR.MSS) and the stages' conversations (CONTnn.NPC, UTF-16);
// their layouts are in docs/formats.md.
//
// A value is taken by position: a line's value is the number after its
// first ':', and so is a word's ("AIID:13": the text before the colon is a
// free label); a word or line without one stops the read with a diagnostic
// line naming the file and the line. HURTEVT.HTE, INGANM.IGA and
// INGANM.MIC are taken entry by entry: a fault, or an id that names no
// event (HTE) or an event of another kind (IGA, MIC), ends the read, and
// the entries before it keep what they were given. The wide files are read
// whole before anything is kept: a fault refuses the file and the table it
// would fill is left as it was. The manager's loaders
// (event_data_files.cpp) keep what a parse gives; the Format* routines
// write the same layouts for the sample-data maker.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rwcore.h"

struct zuFile;

inline constexpr const char *kHurtEventsPath = "\\RESOURCE\\G_EVENT\\HURTEVT\\HURTEVT.HTE";
inline constexpr const char *kInGameAnmTablePath = "\\RESOURCE\\G_EVENT\\CAMERA\\INGANM.IGA";
inline constexpr const char *kInGameAnmAudioPath = "\\RESOURCE\\G_EVENT\\CAMERA\\INGANM.MIC";
inline constexpr const char *kPortraitFolder = "\\RESOURCE\\G_EVENT\\EVENTUI\\";
inline constexpr int32_t kPortraitNumbers = 17;  // portraits 0..16
// The longest line of the narrow files, of a wide text and of the first
// line of NPCTYPE.TEX, in characters.
inline constexpr int kEventNarrowLine = 511;
inline constexpr int kEventWideTextLine = 1023;
inline constexpr int kNpcTypeCountLine = 255;

// The conversation folder of a language: "\RESOURCE\G_EVENT\CONT\<code>\",
// USA for language 1 and for any index outside 0..14.
const char *GetLanguageFolder(int32_t language);
// "CONT07.NPC" for stage 7, "CONT12.NPC" for stage 12.
std::string ConversationFileName(int32_t stageNumber);

// ---- entries ----

// A door message or a conversation line (OPENDOOR.MSS, CONTnn.NPC).
struct EventTextEntry {
    std::u16string text;
    int32_t id = 0;
};

struct EventNpcType {
    int32_t eventId = 0;
    int32_t portrait = 0;  // 0..16
    std::u16string name;
};

struct HurtEventEntry {
    int32_t eventId = 0;
    float value = 0.0f;
    std::vector<std::string> lines;  // each with its line end
};

struct InGameAnmKeyEntry {
    int32_t aiId = 0;
    std::string animation;
    int32_t restoreMode = 0;
    RwV3d start = {0.0f, 0.0f, 0.0f};
    RwV3d end = {0.0f, 0.0f, 0.0f};
};

struct InGameAnmEntry {
    int32_t eventId = 0;
    int32_t number = 0;
    std::string cameraModel;
    std::string cameraAnimation;
    std::vector<InGameAnmKeyEntry> keys;
};

struct InGameAnmCue {
    int32_t frame = 0;    // 1/60 s from the scene's start
    int32_t soundId = 0;
};

struct InGameAnmAudioEntry {
    int32_t eventId = 0;
    std::vector<InGameAnmCue> cues;
};

// ---- parsing (false, with a diagnostic line, for a malformed file; the
// narrow files' parses then give the entries before the fault) ----

bool ParseHurtEvents(zuFile *file, std::vector<HurtEventEntry> *out);
bool ParseInGameAnmTable(zuFile *file, std::vector<InGameAnmEntry> *out);
bool ParseInGameAnmAudio(zuFile *file, std::vector<InGameAnmAudioEntry> *out);
// OPENDOOR.MSS and the conversation files; `name` names the file in the
// diagnostics.
bool ParseEventTexts(zuFile *file, const char *name, std::vector<EventTextEntry> *out);
bool ParseNpcTypes(zuFile *file, std::vector<EventNpcType> *out);
// The same, `name` the file's game path for the lines that name it.
bool ParseNpcTypes(zuFile *file, std::vector<EventNpcType> *out, const char *name);

// ---- writing, in the same layouts ----

std::string FormatHurtEvents(const std::vector<HurtEventEntry> &entries);
std::string FormatInGameAnmTable(const std::vector<InGameAnmEntry> &entries);
std::string FormatInGameAnmAudio(const std::vector<InGameAnmAudioEntry> &entries);
// UTF-16 text without a byte-order mark, lines ending in CR LF.
std::u16string FormatEventTexts(const std::vector<EventTextEntry> &entries);
std::u16string FormatNpcTypes(const std::vector<EventNpcType> &entries);
