// The stage-select panel's name files (see stage_names.h).
#include "ui/stage_names.h"

#include <algorithm>

#include "app/file.h"
#include "app/keyword.h"
#include "app/message_table.h"
#include "ui/ui_manager.h"

namespace {

constexpr size_t kLineUnits = 511;    // a line of at most 512 units with its end
constexpr size_t kKeyLineBytes = 63;  // a key line of at most 64 bytes with its end

// The next line as read, its line end kept (CR LF or LF; the line reader
// gives a last line without one a line feed), its text before the end cut
// to its first 511 units; false at the end of the file. `text` is the part
// before the line end.
bool NextLine(zuFile *file, std::u16string *line, std::u16string *text)
{
    if (!zufgetwline(file, line)) {
        return false;
    }
    size_t end = line->size();
    if (end > 0 && (*line)[end - 1] == u'\n') {
        --end;
    }
    if (end > 0 && (*line)[end - 1] == u'\r') {
        --end;
    }
    *text = line->substr(0, std::min(end, kLineUnits));
    *line = *text + line->substr(end);
    return true;
}

// The key of a key line: the number after its first ':', read from at most
// its first 64 bytes.
bool ReadKey(const std::u16string &line, int32_t *key)
{
    char narrow[kKeyLineBytes + 1];
    const size_t n = std::min(line.size(), kKeyLineBytes);
    for (size_t i = 0; i < n; ++i) {
        narrow[i] = line[i] < 0x100 ? static_cast<char>(line[i]) : '?';
    }
    narrow[n] = '\0';
    return ReadKeyInt(narrow, ':', key);
}

}  // namespace

std::vector<NameRecord> ReadNameRecords(zuFile *file, int textCount, int maxRecords)
{
    std::vector<NameRecord> records;
    if (file == nullptr || maxRecords <= 0) {
        return records;
    }
    textCount = std::clamp(textCount, 0, 3);
    NameRecord current;
    bool started = false;  // the current record has a key or texts
    std::u16string line;
    std::u16string text;
    if (!NextLine(file, &line, &text)) {
        return records;
    }
    while (static_cast<int>(records.size()) < maxRecords && NextLine(file, &line, &text)) {
        if (text.empty()) {
            continue;
        }
        if (text[0] == u'{') {
            // A second "{" replaces the texts of the first.
            for (int i = 0; i < 3; ++i) {
                current.texts[i].clear();
            }
            for (int i = 0; i < textCount && NextLine(file, &line, &text); ++i) {
                current.texts[i] = line;
            }
            started = true;
        } else if (text[0] == u'}') {
            records.push_back(current);
            current = NameRecord{};
            started = false;
        } else if (ReadKey(text, &current.key)) {
            started = true;
        }
    }
    if (started && static_cast<int>(records.size()) < maxRecords) {
        records.push_back(current);
    }
    return records;
}

std::string NameFilePath(int32_t language, const char *fileName)
{
    const char *code = game::MessageLanguageCode(language);
    if (code == nullptr) {
        return std::string();
    }
    return std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\MESSAGE\\" + code + fileName;
}

const NameRecord *FindNameRecord(const std::vector<NameRecord> &records, int32_t id)
{
    for (const NameRecord &record : records) {
        if (record.key == id) {
            return &record;
        }
    }
    return nullptr;
}
