// Reading the skill files (see skill_file.h).
#include "ui/skill_file.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "app/debug.h"
#include "app/file.h"
#include "app/keyword.h"
#include "app/path.h"

namespace {

// The line cut at its first carriage return or line feed, and to `units`
// (said in a diagnostic line naming the file and the line).
std::u16string Cut(const std::u16string &line, int units, const char *name, int number)
{
    std::u16string text = line.substr(0, line.find_first_of(u"\r\n"));
    if (static_cast<int>(text.size()) > units) {
        DebugPrint("%s:%d: the line is longer than %d characters; the rest of it is not read\n",
                   MessagePath(name).c_str(), number, units);
        text.resize(static_cast<size_t>(units));
    }
    return text;
}

std::string Narrow(const std::u16string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return out;
}

constexpr const char *kBlanks = " \t";

}  // namespace

void SplitSkillCommand(const std::string &line, int32_t *baseAbility, std::string *command)
{
    *baseAbility = 0;
    if (line.empty() || line[0] < '0' || line[0] > '9') {
        *command = line;
        return;
    }
    const size_t blank = line.find_first_of(kBlanks);  // npos: the number alone
    const long long number = std::strtoll(line.substr(0, blank).c_str(), nullptr, 10);
    *baseAbility = static_cast<int32_t>(std::clamp<long long>(number, 0, INT32_MAX));
    const size_t start = line.find_first_not_of(kBlanks, blank);
    *command = start != std::string::npos ? line.substr(start) : std::string();
}

std::vector<SkillRecord> ReadSkillRecords(const SkillLineSource &next, int32_t hero, const char *name)
{
    std::vector<SkillRecord> records;
    std::u16string line;
    int number = 0;
    const auto take = [&]() {
        if (!next(&line)) {
            return false;
        }
        ++number;
        return true;
    };
    if (!take()) {
        UserPrint("%s: the file is empty; it gives no skill\n", MessagePath(name).c_str());
        return records;
    }
    int32_t count = 0;
    if (!ReadKeyIntW(Cut(line, kSkillHeaderUnits, name, number).c_str(), u':', &count)) {
        UserPrint("%s:1: no count (a label, ':' and the number of skills); it gives no skill\n",
                  MessagePath(name).c_str());
        return records;
    }
    if (count <= 0 || count > kMaxSkillRecords) {
        UserPrint("%s:1: a count of %d skills, outside 1..%d; it gives no skill\n", MessagePath(name).c_str(), count,
                  kMaxSkillRecords);
        return records;
    }
    // A record's ability line without a colon keeps the index read last.
    int32_t ability = 0;
    for (int32_t i = 0; i < count; ++i) {
        SkillRecord record;
        record.hero = hero;
        if (!take() || !take()) {
            DebugPrint("%s: the file ends before skill %d of its %d\n", MessagePath(name).c_str(), i + 1, count);
            break;  // the first, ignored line, or the ability line
        }
        if (!ReadKeyIntW(Cut(line, kSkillHeaderUnits, name, number).c_str(), u':', &ability)) {
            DebugPrint("%s:%d: the ability line has no ':'; it keeps the index %d read before\n",
                       MessagePath(name).c_str(), number, ability);
        }
        record.ability = ability;
        if (!take()) {
            DebugPrint("%s: the file ends before skill %d of its %d has its name\n", MessagePath(name).c_str(), i + 1,
                       count);
            break;  // no name: the record is not in the file
        }
        record.name = Cut(line, kSkillNameUnits, name, number);
        const bool hasCommand = take();
        if (hasCommand) {
            SplitSkillCommand(Narrow(Cut(line, kSkillCommandUnits, name, number)), &record.baseAbility,
                              &record.command);
        }
        const bool hasDescription = hasCommand && take();
        if (hasDescription) {
            record.description = Cut(line, kSkillDescriptionUnits, name, number);
        }
        records.push_back(std::move(record));
        if (!hasDescription || !take()) {
            if (i + 1 < count || !hasDescription) {
                DebugPrint("%s: the file ends inside skill %d of its %d\n", MessagePath(name).c_str(), i + 1, count);
            }
            break;  // the file ends within or right after this record
        }
    }
    return records;
}

std::string SkillFilePath(int32_t language, int32_t hero)
{
    return std::string(GetDataRootPath()) + (language == 0 ? "\\RESOURCE\\UITEXT\\SKILL\\CHA\\" : "\\RESOURCE\\UITEXT\\SKILL\\USA\\") +
           (hero == 1 ? "CHAR02.SKL" : "CHAR01.SKL");
}

bool LoadSkillFile(int32_t language, int32_t hero, std::vector<SkillRecord> *records)
{
    records->clear();
    zuFile *file = zufopen(SkillFilePath(language, hero).c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    *records = ReadSkillRecords([file](std::u16string *line) { return zufgetwline(file, line); }, hero,
                                SkillFilePath(language, hero).c_str());
    zufclose(file);
    return true;
}
