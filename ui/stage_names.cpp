// The stage-select panel's name files (see stage_names.h).
#include "ui/stage_names.h"

#include <algorithm>

#include "app/debug.h"
#include "app/file.h"
#include "app/keyword.h"
#include "app/message_table.h"
#include "app/path.h"
#include "ui/ui_manager.h"

namespace {

constexpr size_t kLineUnits = 511;    // a line of at most 512 units with its end
constexpr size_t kKeyLineBytes = 63;  // a key line of at most 64 bytes with its end

// The file's lines, numbered: each as read, its line end kept (CR LF or
// LF; the line reader gives a last line without one a line feed), its text
// before the end cut to its first 511 units with a diagnostic line.
class NameLines {
public:
    NameLines(zuFile *file, const char *name) : file_(file), name_(name) {}

    // False at the end of the file. `text` is the part before the line end.
    bool Next(std::u16string *line, std::u16string *text)
    {
        if (!zufgetwline(file_, line)) {
            return false;
        }
        ++number_;
        size_t end = line->size();
        if (end > 0 && (*line)[end - 1] == u'\n') {
            --end;
        }
        if (end > 0 && (*line)[end - 1] == u'\r') {
            --end;
        }
        if (end > kLineUnits) {
            DebugPrint("%s:%d: the line is longer than %zu characters; the rest of it is not read\n",
                       MessagePath(name_).c_str(), number_, kLineUnits);
        }
        *text = line->substr(0, std::min(end, kLineUnits));
        *line = *text + line->substr(end);
        return true;
    }
    int Number() const { return number_; }
    const char *Name() const { return name_; }

private:
    zuFile *file_;
    const char *name_;
    int number_ = 0;
};

// The key of a key line: the number after its first ':', read from at most
// its first 64 bytes.
// `*form` says how the number read.
bool ReadKey(const std::u16string &line, int32_t *key, NumberForm *form)
{
    char narrow[kKeyLineBytes + 1];
    const size_t n = std::min(line.size(), kKeyLineBytes);
    for (size_t i = 0; i < n; ++i) {
        narrow[i] = line[i] < 0x100 ? static_cast<char>(line[i]) : '?';
    }
    narrow[n] = '\0';
    *form = NumberForm::kNone;
    KeyValueForm(narrow, ':', true, form);
    return ReadKeyInt(narrow, ':', key);
}

}  // namespace

std::vector<NameRecord> ReadNameRecords(zuFile *file, int textCount, int maxRecords, const char *name)
{
    std::vector<NameRecord> records;
    if (file == nullptr || maxRecords <= 0) {
        return records;
    }
    textCount = std::clamp(textCount, 0, kNameRecordTexts);
    NameLines lines(file, name);
    NameRecord current;
    bool started = false;  // the current record has a key or texts
    std::u16string line;
    std::u16string text;
    if (!lines.Next(&line, &text)) {
        UserPrint("%s: the file is empty; it names nothing\n", MessagePath(name).c_str());
        return records;
    }
    while (static_cast<int>(records.size()) < maxRecords && lines.Next(&line, &text)) {
        if (text.empty()) {
            continue;
        }
        if (text[0] == u'{') {
            // A second "{" replaces the texts of the first.
            for (std::u16string &old : current.texts) {
                old.clear();
            }
            int i = 0;
            for (; i < textCount && lines.Next(&line, &text); ++i) {
                current.texts[i] = line;
            }
            if (i < textCount) {
                DebugPrint("%s: the file ends after %d of a record's %d texts\n", MessagePath(name).c_str(), i,
                           textCount);
            }
            started = true;
        } else if (text[0] == u'}') {
            records.push_back(current);
            current = NameRecord{};
            started = false;
        } else if (NumberForm form; ReadKey(text, &current.key, &form)) {
            if (text.size() > kKeyLineBytes) {
                DebugPrint("%s:%d: the key line is longer than %zu characters; its key is read from them alone\n",
                           name, lines.Number(), kKeyLineBytes);
            }
            if (form == NumberForm::kNone) {
                DebugPrint("%s:%d: the key line has no number after its ':'; the key is 0\n", MessagePath(name).c_str(),
                           lines.Number());
            }
            started = true;
        } else {
            DebugPrint("%s:%d: a key line without ':'; it is passed over\n", MessagePath(name).c_str(), lines.Number());
        }
    }
    if (started && static_cast<int>(records.size()) < maxRecords) {
        DebugPrint("%s: the file ends inside a record; it counts as closed\n", MessagePath(name).c_str());
        records.push_back(current);
    }
    if (records.empty()) {
        UserPrint("%s: no record in the file; it names nothing\n", MessagePath(name).c_str());
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
