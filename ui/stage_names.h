// The stage-select panel's name files: per language a stage-name file
// (<code>STAGE.NAM: each stage's name and its description for either hero)
// and a monster-list file (<code>MONST.NAM: two texts per list). Both are
// UTF-16 text: a first line that is skipped, then records of the form
//
//     StageID: 2010000        a key line: the number after the first ':'
//     {
//     the first text          the next three (STAGE.NAM) or two (MONST.NAM)
//     ...                     lines, each kept with its line end as read
//     }
//
// Empty lines are skipped. Reading stops at the end of the file or once
// 29 (STAGE.NAM) or 11 (MONST.NAM) records are closed. A "{" before any key
// line makes a record with key 0; a second "{" before "}" replaces the
// record's texts; a key line is read as at most 64 bytes; a text keeps the
// line end it was read with (CR LF in a CR LF file, which the text layout
// neither draws nor measures); a line longer than 511 characters keeps its
// first 511 and its line end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct zuFile;

inline constexpr int kStageNameRecords = 29;
inline constexpr int kMonsterListRecords = 11;
// A record holds at most this many texts.
inline constexpr int kNameRecordTexts = 3;
inline constexpr int kStageNameTexts = 3;    // name, description for hero 0, for hero 1
inline constexpr int kMonsterListTexts = 2;

struct NameRecord {
    int32_t key = 0;  // the stage id (STAGE.NAM) or the list's key (MONST.NAM)
    std::u16string texts[kNameRecordTexts];
};

// The records of an open name file, in file order, at most `maxRecords`,
// each with `textCount` texts (at most 3). A record left open at the end
// of the file counts when it has a key or texts. A file that gives no
// record is said on standard error; a cut line, a key line without ':' and
// a file ending inside a record are diagnostic lines, each naming the file
// (`name`) and, where there is one, the line.
std::vector<NameRecord> ReadNameRecords(zuFile *file, int textCount, int maxRecords,
                                        const char *name = "the name file");

// "<root>\RESOURCE\UITEXT\MESSAGE\ENGSTAGE.NAM" and the like for the
// language (0..14); empty for any other language.
std::string NameFilePath(int32_t language, const char *fileName);

// The record whose key is `id` (the first of them), null when none.
const NameRecord *FindNameRecord(const std::vector<NameRecord> &records, int32_t id);
