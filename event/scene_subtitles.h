// The subtitles of an in-game animation scene: the file "<id>.SUB" in the
// language's conversation folder (UTF-16), read into plain entries, written
// back by the sample-data maker, and the text a subtitle shows at a time of
// the scene's camera.
//
// Layout, one value per line ("Label: value" lines take the number after
// the first ':'):
//   Count: n
//   then n blocks of
//     <a line ignored>
//     Start: <frame, 1/60 s from the camera's start>
//     <the text, up to 1024 characters>
//     <one digit per character: tenths of a second after the one before>
//     End: <tenths of a second after the last character>
//     <a line ignored>
// A digit line shorter than its text leaves the missing characters at 0
// (each appears with the one before it); a character that is no digit
// counts 0. Counts and lines are bounded; a file that breaks the layout is
// refused whole (the scene runs without subtitles).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct zuFile;

inline constexpr int32_t kMaxSceneSubtitles = 256;
inline constexpr size_t kSceneSubtitleLine = 1024;
inline constexpr float kSceneFrameSeconds = 0.016666668f;
inline constexpr float kSubtitleStepSeconds = 0.1f;

struct SceneSubtitleEntry {
    int32_t startFrame = 0;
    std::u16string text;
    std::string digits;   // as read: '0'..'9' per character, maybe short
    int32_t endDelay = 0; // tenths of a second after the last character
};

// What the scene keeps of one subtitle (a plain record of the game
// allocator, freed by FreeSceneSubtitles).
struct SceneSubtitle {
    float EndTime;        // seconds of camera time
    char16_t *Text;       // owned, zero-terminated
    float *CharTimes;     // owned, RevealCount entries
    float StartTime;
    int32_t RevealCount;
    int32_t Words[2];     // cleared at load; Words[0] 1 once finished
};

// False for a file that breaks the layout, said on standard error with the
// file (`name`) and the line; a text cut to its 1024 characters, a digits
// line short of its text or holding other characters is read on with a
// diagnostic line.
bool ParseSceneSubtitles(zuFile *file, std::vector<SceneSubtitleEntry> *out, const char *name);
// The same, the file called "subtitle file" in what is said.
bool ParseSceneSubtitles(zuFile *file, std::vector<SceneSubtitleEntry> *out);
std::u16string FormatSceneSubtitles(const std::vector<SceneSubtitleEntry> &entries);

// The scene's records of the entries (null for none), and their release.
SceneSubtitle *MakeSceneSubtitles(const std::vector<SceneSubtitleEntry> &entries);
void FreeSceneSubtitles(SceneSubtitle *subtitles, int32_t count);

// The characters of `subtitle` shown at camera time `seconds`.
std::u16string VisibleSubtitleText(const SceneSubtitle &subtitle, float seconds);
// Every character is shown and the end time has come.
bool SubtitleFinished(const SceneSubtitle &subtitle, float seconds);
