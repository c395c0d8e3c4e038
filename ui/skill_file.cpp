// Reading the skill files (see skill_file.h).
#include "ui/skill_file.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "app/file.h"
#include "app/keyword.h"
#include "app/path.h"

namespace {

// The line cut at its first carriage return or line feed, and to `units`.
std::u16string Cut(const std::u16string &line, int units)
{
    std::u16string text = line.substr(0, line.find_first_of(u"\r\n"));
    if (static_cast<int>(text.size()) > units) {
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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void SplitSkillCommand(const std::string &line, int32_t *baseAbility, std::string *command)
{
    *baseAbility = 0;
    if (line.empty() || line[0] < '0' || line[0] > '9') {
        *command = line;
        return;
    }
    size_t end = 0;
    while (end < line.size() && !IsBlank(line[end])) {
        ++end;
    }
    const long long number = std::strtoll(line.substr(0, end).c_str(), nullptr, 10);
    *baseAbility = static_cast<int32_t>(std::clamp<long long>(number, 0, INT32_MAX));
    while (end < line.size() && IsBlank(line[end])) {
        ++end;
    }
    *command = line.substr(end);
}

std::vector<SkillRecord> ReadSkillRecords(const SkillLineSource &next, int32_t hero)
{
    std::vector<SkillRecord> records;
    std::u16string line;
    if (!next(&line)) {
        return records;
    }
    int32_t count = 0;
    ReadKeyIntW(Cut(line, kSkillHeaderUnits).c_str(), u':', &count);
    if (count <= 0 || count > kMaxSkillRecords) {
        return records;
    }
    // A record's ability line without a colon keeps the index read last.
    int32_t ability = 0;
    for (int32_t i = 0; i < count; ++i) {
        SkillRecord record;
        record.hero = hero;
        if (!next(&line)) {
            break;  // the first, ignored line
        }
        if (!next(&line)) {
            break;
        }
        ReadKeyIntW(Cut(line, kSkillHeaderUnits).c_str(), u':', &ability);
        record.ability = ability;
        if (!next(&line)) {
            break;  // no name: the record is not in the file
        }
        record.name = Cut(line, kSkillNameUnits);
        const bool hasCommand = next(&line);
        if (hasCommand) {
            SplitSkillCommand(Narrow(Cut(line, kSkillCommandUnits)), &record.baseAbility, &record.command);
        }
        const bool hasDescription = hasCommand && next(&line);
        if (hasDescription) {
            record.description = Cut(line, kSkillDescriptionUnits);
        }
        records.push_back(std::move(record));
        if (!hasDescription || !next(&line)) {
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
    *records = ReadSkillRecords([file](std::u16string *line) { return zufgetwline(file, line); }, hero);
    zufclose(file);
    return true;
}
