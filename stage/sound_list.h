// Sound lists (`.SFL`): the sound ids a stage or a hero loads, one
// keyword-text file each: "\RESOURCE\MEDIA\SFX\<stage id>.SFL",
// "\RESOURCE\MEDIA\SFX\HERO01.SFL" and "HERO02.SFL".
//
//   SoundNum: 2
//   Sound: 3100010
//   Sound: 3100020
//
// The `Sound:` lines are the list; a count that disagrees with them is
// reported and the lines are read all the same. A sound id is a seven-digit
// number naming "\RESOURCE\MEDIA\SFX\<id>.WAV".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stage/media_paths.h"

class CSKeywordFile;

constexpr int32_t kFirstSoundId = 1000000;
constexpr int32_t kLastSoundId = 9999999;
// More lines than this are reported and left out.
constexpr size_t kMaxSoundListIds = 4096;

inline bool IsSoundId(int32_t id) { return id >= kFirstSoundId && id <= kLastSoundId; }

// Reads a list from an open file into *ids (cleared first). Every problem
// (a bad or missing value, an id that is no sound id, an unknown key, the
// count) is reported with the file, line and key; bad lines are skipped.
// False when the file is not open.
bool ReadSoundList(CSKeywordFile *file, std::vector<int32_t> *ids);
// The same from a path: false, quietly apart from the file layer's line,
// when the file cannot be opened.
bool ReadSoundListFile(const char *path, std::vector<int32_t> *ids);
// The file's text for `ids`.
std::string FormatSoundList(const std::vector<int32_t> &ids);
