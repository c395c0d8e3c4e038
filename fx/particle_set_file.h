// The particle set file (.PSS): which particle systems a stage (or the
// whole game, EFFECT.PSS) loads, and how many copies of each. One reader
// for the stage load and the tuning menu:
//   KindNum: n                 the number of kinds, 0..1024 (another
//                              number gives 0); only the first such line
//                              counts
//   PrtSysKind: name, count    one kind; before KindNum, beyond n, or
//                              without a comma the line is skipped; the
//                              name is cut at 127 characters; the count is
//                              held to 0..256
//   GroupNum: n                read and kept (0..1024, else 0)
//   PrtSysGroup: name, kind, kind ...   read and kept
// Numbers are read as atol reads them: a word that is no number gives 0,
// "12x" gives 12; each such value is reported.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CSKeywordFile;

constexpr int32_t kMaxParticleKinds = 1024;
constexpr size_t kParticleKindNameSize = 128;  // 127 characters and the end
constexpr int32_t kMaxParticleKindCount = 256;
constexpr int32_t kMaxParticleGroups = 1024;

struct ParticleKind {
    char name[kParticleKindNameSize] = {};
    int32_t count = 0;
};

struct ParticleGroup {
    std::string name;
    std::vector<std::string> kinds;
};

struct ParticleSet {
    int32_t announced = -1;  // the KindNum value; -1 before the line
    std::vector<ParticleKind> kinds;
    int32_t groupNum = 0;
    std::vector<ParticleGroup> groups;
};

// Reads the open file into *set (emptied first).
void ReadParticleSet(CSKeywordFile *file, ParticleSet *set);
// Opens `path` quietly and reads it; false when it cannot be opened (the
// set is then empty).
bool LoadParticleSetFile(const char *path, ParticleSet *set);
// Both, also giving in *otherLines (emptied first) every line with a colon
// whose key is neither KindNum nor PrtSysKind (the group lines and any
// other), in file order, as read without its line end: what a rewrite of
// the kinds by the tuning menu carries over.
void ReadParticleSetAndOtherLines(CSKeywordFile *file, ParticleSet *set, std::vector<std::string> *otherLines);
bool LoadParticleSetFileAndOtherLines(const char *path, ParticleSet *set, std::vector<std::string> *otherLines);
// The kinds' lines: "KindNum:%d", then "PrtSysKind:%s,%d" per kind.
std::string FormatParticleKinds(const ParticleSet &set);
// The file's text: the kinds' lines, then the group lines when there are
// groups.
std::string FormatParticleSet(const ParticleSet &set);
