// The heroes' skill files: "CHAR01.SKL" (hero 0) and "CHAR02.SKL" (hero 1)
// under \RESOURCE\UITEXT\SKILL\CHA\ (language 0) or \USA\ (the others),
// UTF-16 text. The first line gives the record count after its colon;
// each record is six lines: ignored, "...: ability index", the name, the
// command ("12 A-B": a leading number is the base skill's ability index,
// the rest the command characters), the description, ignored.
//
// Only records really in the file are made: a record needs its name line;
// a command or description line the file no longer has is empty, never
// the previous line's text. A count of 0 or less, or above 1,000, gives
// no records. Lines longer than their field keep their beginning.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SkillRecord {
    // Indices 3 to 8 are skills the hero must have learned; others are
    // always available.
    int32_t ability = 0;
    int32_t hero = 0;
    std::u16string name;
    std::string command;  // the command characters (A, B, X, Y, R, *, +, -, &)
    std::u16string description;
    uint8_t shown = 0;
    int32_t baseAbility = 0;  // 0: none
};

inline constexpr int32_t kMaxSkillRecords = 1000;
// Characters each line of a record keeps (the terminator not counted).
inline constexpr int kSkillHeaderUnits = 511;
inline constexpr int kSkillNameUnits = 1023;
inline constexpr int kSkillCommandUnits = 255;
inline constexpr int kSkillDescriptionUnits = 1023;

// A source of whole lines (line feed kept, as zufgetwline gives them);
// false at the end of the file.
using SkillLineSource = std::function<bool(std::u16string *line)>;

// A file that gives no record (empty, without a count, a count outside
// 1..1000) is said on standard error; a cut line, an ability line without
// ':' and a file short of its count are diagnostic lines, each naming the
// file (`name`) and, where there is one, the line.
std::vector<SkillRecord> ReadSkillRecords(const SkillLineSource &next, int32_t hero,
                                          const char *name = "the skill file");

// The data root's path of the hero's skill file for the language.
std::string SkillFilePath(int32_t language, int32_t hero);

// Reads the file through zufopen (from the open pack when it holds it,
// else from disc). False, with *records emptied, when it cannot be opened.
bool LoadSkillFile(int32_t language, int32_t hero, std::vector<SkillRecord> *records);

// Splits a command line: a leading decimal number is the base ability
// index, the rest (blanks and tabs skipped) the command.
void SplitSkillCommand(const std::string &line, int32_t *baseAbility, std::string *command);
