// The particle set file's reader and writer (see particle_set_file.h).
#include "fx/particle_set_file.h"

#include <cstring>

#include "app/keyword.h"
#include "fx/fx_text.h"

namespace {

// The line's key is its text before the first colon; the value its text
// after. Null when the line has no colon.
const char *SplitAtColon(const char *line, char *key, size_t keySize)
{
    const char *colon = std::strchr(line, ':');
    if (colon == nullptr) {
        return nullptr;
    }
    TakeNameField(std::string(line, static_cast<size_t>(colon - line)).c_str(), key, keySize);
    return colon + 1;
}

// A number as the tuning files were always read (atol: 0 for a word that
// is no number); anything but a plain number is reported.
int32_t ReadNumber(CSKeywordFile *file, const char *text)
{
    NumberForm form = NumberForm::kNone;
    const int32_t value = LeadingInt(text, &form);
    if (form != NumberForm::kWhole) {
        while (*text == ' ' || *text == '\t') {
            ++text;
        }
        file->Report("'%s' is not a whole number; it reads as %d", text, value);
    }
    return value;
}

void ReadKind(CSKeywordFile *file, const char *value, ParticleSet *set)
{
    if (set->announced < 0) {
        file->Report("a kind before KindNum is skipped");
        return;
    }
    if (static_cast<int32_t>(set->kinds.size()) >= set->announced) {
        file->Report("more kinds than KindNum %d; skipped", set->announced);
        return;
    }
    ParticleKind kind;
    const char *rest = TakeNameField(value, kind.name, sizeof kind.name);
    if (rest == nullptr) {
        file->Report("no comma after the name; skipped");
        return;
    }
    if (kind.name[0] == '\0') {
        file->Report("no name; skipped");
        return;
    }
    kind.count = ReadNumber(file, rest);
    if (kind.count < 0 || kind.count > kMaxParticleKindCount) {
        const int32_t held = kind.count < 0 ? 0 : kMaxParticleKindCount;
        file->Report("a count of %d is outside 0..%d; %d is taken", kind.count, kMaxParticleKindCount, held);
        kind.count = held;
    }
    set->kinds.push_back(kind);
}

void ReadGroup(CSKeywordFile *file, const char *value, ParticleSet *set)
{
    if (static_cast<int32_t>(set->groups.size()) >= kMaxParticleGroups) {
        file->Report("more than %d groups; skipped", kMaxParticleGroups);
        return;
    }
    ParticleGroup group;
    char name[kParticleKindNameSize];
    const char *rest = TakeNameField(value, name, sizeof name);
    group.name = name;
    while (rest != nullptr) {
        rest = TakeNameField(rest, name, sizeof name);
        if (name[0] != '\0') {
            group.kinds.emplace_back(name);
        }
    }
    set->groups.push_back(std::move(group));
}

}  // namespace

void ReadParticleSet(CSKeywordFile *file, ParticleSet *set) { ReadParticleSetAndOtherLines(file, set, nullptr); }

void ReadParticleSetAndOtherLines(CSKeywordFile *file, ParticleSet *set, std::vector<std::string> *otherLines)
{
    *set = ParticleSet{};
    if (otherLines != nullptr) {
        otherLines->clear();
    }
    while (file->NextLine()) {
        char key[32];
        const char *value = SplitAtColon(file->Line(), key, sizeof key);
        if (value == nullptr) {
            continue;
        }
        if (otherLines != nullptr && std::strcmp(key, "KindNum") != 0 && std::strcmp(key, "PrtSysKind") != 0) {
            otherLines->push_back(file->Line());
        }
        if (std::strcmp(key, "KindNum") == 0) {
            if (set->announced >= 0) {
                file->Report("only the first KindNum counts");
                continue;
            }
            const int32_t n = ReadNumber(file, value);
            if (n < 0 || n > kMaxParticleKinds) {
                file->Report("%d is not a number of kinds of 0..%d; 0 is taken", n, kMaxParticleKinds);
                set->announced = 0;
            } else {
                set->announced = n;
                set->kinds.reserve(static_cast<size_t>(n));
            }
        } else if (std::strcmp(key, "PrtSysKind") == 0) {
            ReadKind(file, value, set);
        } else if (std::strcmp(key, "GroupNum") == 0) {
            const int32_t n = ReadNumber(file, value);
            if (n >= 0 && n <= kMaxParticleGroups) {
                set->groupNum = n;
            } else {
                file->Report("%d is not a number of groups of 0..%d; 0 is taken", n, kMaxParticleGroups);
                set->groupNum = 0;
            }
        } else if (std::strcmp(key, "PrtSysGroup") == 0) {
            ReadGroup(file, value, set);
        }
    }
}

bool LoadParticleSetFile(const char *path, ParticleSet *set) { return LoadParticleSetFileAndOtherLines(path, set, nullptr); }

bool LoadParticleSetFileAndOtherLines(const char *path, ParticleSet *set, std::vector<std::string> *otherLines)
{
    *set = ParticleSet{};
    if (otherLines != nullptr) {
        otherLines->clear();
    }
    CSKeywordFile file;
    if (!file.Open(path)) {
        return false;
    }
    ReadParticleSetAndOtherLines(&file, set, otherLines);
    return true;
}

std::string FormatParticleKinds(const ParticleSet &set)
{
    FxTextWriter w;
    w.Line("KindNum:%d", static_cast<int32_t>(set.kinds.size()));
    for (const ParticleKind &kind : set.kinds) {
        w.Line("PrtSysKind:%s,%d", kind.name, kind.count);
    }
    return w.Text();
}

std::string FormatParticleSet(const ParticleSet &set)
{
    FxTextWriter w;
    if (!set.groups.empty() || set.groupNum != 0) {
        w.Line("GroupNum:%d", set.groupNum);
        for (const ParticleGroup &group : set.groups) {
            std::string line = group.name;
            for (const std::string &kind : group.kinds) {
                line += "," + kind;
            }
            w.Line("PrtSysGroup:%s", line.c_str());
        }
    }
    return FormatParticleKinds(set) + w.Text();
}
