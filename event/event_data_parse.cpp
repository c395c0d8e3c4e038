// Parsing and writing the event data files (see event_data_files.h). Every
// parse reads the file into plain entries; a line that is missing or does
// not hold what its place asks for stops the read with one diagnostic line
// naming the file and the line.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/debug.h"
#include "app/file.h"
#include "app/keyword.h"
#include "app/path.h"
#include "event/event_data_files.h"
#include "event/event_line_words.h"
#include "event/event_table_file.h"
#include "event/wide_lines.h"

namespace {

// The narrow files' reader: numbered lines of at most 511 characters. A
// fault that ends the read is said on standard error (the rest of the file
// is refused); what is read on (a line cut to its room, a number with other
// text after it) is a diagnostic line.
class NarrowLines {
public:
    NarrowLines(zuFile *file, const char *name) : file_(file), name_(name) {}

    // The next line; false (with the report) at the end of the file.
    bool Next(const char *what)
    {
        bool cut = false;
        if (file_ == nullptr || !ReadEventDataLine(file_, line_, sizeof line_, &cut)) {
            UserPrint("%s: the file ends where line %d (%s) should be; the read ends there\n",
                      MessagePath(name_).c_str(), number_ + 1, what);
            return false;
        }
        ++number_;
        if (cut) {
            DebugPrint("%s:%d: the line is longer than %d characters; the rest of it is not read\n",
                       MessagePath(name_).c_str(), number_, kEventNarrowLine);
        }
        return true;
    }
    // The number after the line's first ':'.
    bool LineValue(const char *what, int32_t *value)
    {
        if (!Next(what)) {
            return false;
        }
        NumberForm form = NumberForm::kNone;
        if (!KeyValueForm(line_, ':', true, &form) || form == NumberForm::kNone) {
            return Refuse(what);
        }
        ReadKeyInt(line_, ':', value);
        NoteLeading(form, what, std::strchr(line_, ':') + 1);
        return true;
    }
    // A label, a blank, and the value up to the end of the line.
    bool LabelledInt(const char *what, int32_t *value)
    {
        if (!Next(what)) {
            return false;
        }
        const char *text = AfterLabel();
        if (text == nullptr) {
            return Refuse(what);
        }
        NumberForm form = NumberForm::kNone;
        *value = LeadingInt(text, &form);
        NoteLeading(form, what, text);
        return form != NumberForm::kNone || Refuse(what);
    }
    bool LabelledFloat(const char *what, float *value)
    {
        if (!Next(what)) {
            return false;
        }
        const char *text = AfterLabel();
        if (text == nullptr) {
            return Refuse(what);
        }
        NumberForm form = NumberForm::kNone;
        *value = LeadingFloat(text, &form);
        NoteLeading(form, what, text);
        return form != NumberForm::kNone || Refuse(what);
    }
    bool Refuse(const char *what) const
    {
        UserPrint("%s:%d: no %s here; the read ends there\n", MessagePath(name_).c_str(), number_, what);
        return false;
    }
    // A number with other text after it (or one held to 32 bits) is read
    // as far as it goes: said in a diagnostic line.
    void NoteLeading(NumberForm form, const char *what, const char *text) const
    {
        if (form == NumberForm::kLeading) {
            const int shown = static_cast<int>(std::strcspn(text, "\r\n"));
            DebugPrint("%s:%d: the %s '%.*s' is read as far as it is a number\n", MessagePath(name_).c_str(), number_,
                       what, shown, text);
        }
    }
    char *Line() { return line_; }

private:
    const char *AfterLabel() const
    {
        const char *blank = std::strpbrk(line_, " \t");
        return blank != nullptr ? blank + 1 : nullptr;
    }

    zuFile *file_;
    const char *name_;
    char line_[kEventNarrowLine + 1] = {};
    int number_ = 0;
};

// A word's value: the number after its first ':' (the text before it is a
// free label, as in "AIID:13"). False for a word without ':' or without a
// number after it.
bool WordInt(const char *word, int32_t *value)
{
    NumberForm form = NumberForm::kNone;
    if (!KeyValueForm(word, ':', true, &form) || form == NumberForm::kNone) {
        return false;
    }
    return ReadKeyInt(word, ':', value);
}

bool WordFloat(const char *word, float *value)
{
    NumberForm form = NumberForm::kNone;
    if (!KeyValueForm(word, ':', false, &form) || form == NumberForm::kNone) {
        return false;
    }
    return ReadKeyFloat(word, ':', value);
}

// A bare number (the sound id after a cue's frame word).
bool BareInt(const char *word, int32_t *value)
{
    NumberForm form = NumberForm::kNone;
    *value = LeadingInt(word, &form);
    return form != NumberForm::kNone;
}

// Line 2 or 3 of a key: a label and three words x, y, z.
bool ReadPoint(NarrowLines &lines, const char *what, RwV3d *point)
{
    if (!lines.Next(what)) {
        return false;
    }
    const EventLineWords words(lines.Line());
    if (!WordFloat(words[1], &point->x) || !WordFloat(words[2], &point->y) || !WordFloat(words[3], &point->z)) {
        return lines.Refuse(what);
    }
    return true;
}

// The word of a wide line at `*at` read as a narrow word's value, moving
// past it and the blanks after it.
bool TakeWideWordInt(const std::u16string &line, size_t *at, int32_t *value)
{
    size_t p = *at;
    while (p < line.size() && (line[p] == u' ' || line[p] == u'\t')) {
        ++p;
    }
    std::string word;
    while (p < line.size() && line[p] != u' ' && line[p] != u'\t') {
        word.push_back(line[p] < 128 ? static_cast<char>(line[p]) : '?');
        ++p;
    }
    while (p < line.size() && (line[p] == u' ' || line[p] == u'\t')) {
        ++p;
    }
    *at = p;
    return WordInt(word.c_str(), value);
}

// Reads `count` entries into `out`: a line before and after each entry
// when `framed` (both ignored), and the entry's own lines by `read`. At the
// first refusal the read ends with false; with `keepBefore` *out then holds
// the entries read before it, else it is left as it was.
template <typename Lines, typename Entry, typename Read>
bool ReadEntries(Lines &lines, int32_t count, bool framed, bool keepBefore, std::vector<Entry> *out, Read read)
{
    if (count < 0) {
        return lines.Refuse("count of zero or more");
    }
    std::vector<Entry> entries;
    for (int32_t i = 0; i < count; ++i) {
        Entry entry;
        if ((framed && !lines.Next("entry head")) || !read(entry) || (framed && !lines.Next("entry end"))) {
            if (keepBefore) {
                *out = std::move(entries);
            }
            return false;
        }
        entries.push_back(std::move(entry));
    }
    *out = std::move(entries);
    return true;
}

std::u16string Widen(const std::string &text) { return std::u16string(text.begin(), text.end()); }

std::string Real(float value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

}  // namespace

// ---- parsing ----

bool ParseHurtEvents(zuFile *file, std::vector<HurtEventEntry> *out)
{
    NarrowLines lines(file, kHurtEventsPath);
    int32_t count = 0;
    if (!lines.LabelledInt("count", &count)) {
        return false;
    }
    return ReadEntries(lines, count, true, true, out, [&](HurtEventEntry &entry) {
        int32_t n = 0;
        if (!lines.LabelledInt("event id", &entry.eventId) || !lines.LabelledFloat("value", &entry.value) ||
            !lines.LabelledInt("line count", &n)) {
            return false;
        }
        if (n < 0) {
            return lines.Refuse("line count of zero or more");
        }
        for (int32_t k = 0; k < n; ++k) {
            if (!lines.Next("hurt line")) {
                return false;
            }
            entry.lines.emplace_back(lines.Line());
        }
        return true;
    });
}

bool ParseInGameAnmTable(zuFile *file, std::vector<InGameAnmEntry> *out)
{
    NarrowLines lines(file, kInGameAnmTablePath);
    int32_t count = 0;
    if (!lines.LineValue("count", &count)) {
        return false;
    }
    return ReadEntries(lines, std::max(count, 0), true, true, out, [&](InGameAnmEntry &entry) {
        int32_t n = 0;
        if (!lines.LineValue("event id", &entry.eventId) || !lines.LineValue("scene number", &entry.number) ||
            !lines.Next("camera names")) {
            return false;
        }
        {
            const EventLineWords names(lines.Line());
            if (names.Count() < 3) {
                return lines.Refuse("camera model and animation names");
            }
            entry.cameraModel = names[1];
            entry.cameraAnimation = names[2];
        }
        if (!lines.LineValue("key count", &n)) {
            return false;
        }
        if (n < 0) {
            return lines.Refuse("key count of zero or more");
        }
        for (int32_t k = 0; k < n; ++k) {
            InGameAnmKeyEntry key;
            if (!lines.Next("actor key")) {
                return false;
            }
            const EventLineWords words(lines.Line());
            if (words.Count() < 3 || !WordInt(words[0], &key.aiId) || !WordInt(words[2], &key.restoreMode)) {
                return lines.Refuse("actor key (AI id word, animation, restore mode word)");
            }
            key.animation = words[1];
            if (!ReadPoint(lines, "key start", &key.start) || !ReadPoint(lines, "key end", &key.end)) {
                return false;
            }
            entry.keys.push_back(std::move(key));
        }
        return true;
    });
}

bool ParseInGameAnmAudio(zuFile *file, std::vector<InGameAnmAudioEntry> *out)
{
    NarrowLines lines(file, kInGameAnmAudioPath);
    int32_t count = 0;
    if (!lines.LineValue("count", &count)) {
        return false;
    }
    return ReadEntries(lines, std::max(count, 0), true, true, out, [&](InGameAnmAudioEntry &entry) {
        int32_t n = 0;
        if (!lines.LineValue("event id", &entry.eventId) || !lines.LineValue("cue count", &n)) {
            return false;
        }
        if (n < 0) {
            return lines.Refuse("cue count of zero or more");
        }
        for (int32_t k = 0; k < n; ++k) {
            if (!lines.Next("sound cue")) {
                return false;
            }
            const EventLineWords words(lines.Line());
            InGameAnmCue cue;
            NumberForm form = NumberForm::kNone;
            if (!KeyValueForm(words[0], ':', true, &form) || form == NumberForm::kNone ||
                !BareInt(words[1], &cue.soundId)) {
                return lines.Refuse("sound cue (frame and sound id)");
            }
            ReadKeyInt(words[0], ':', &cue.frame);
            entry.cues.push_back(cue);
        }
        return true;
    });
}

bool ParseEventTexts(zuFile *file, const char *name, std::vector<EventTextEntry> *out)
{
    WideLines lines(file, name);
    int32_t count = 0;
    if (!lines.LineValue("count", kEventWideTextLine, &count)) {
        return false;
    }
    return ReadEntries(lines, count, true, false, out, [&](EventTextEntry &entry) {
        if (!lines.LineValue("text id", kEventWideTextLine, &entry.id) || !lines.Next("text")) {
            return false;
        }
        entry.text = lines.Line();
        return true;
    });
}

bool ParseNpcTypes(zuFile *file, std::vector<EventNpcType> *out) { return ParseNpcTypes(file, out, "NPCTYPE.TEX"); }

bool ParseNpcTypes(zuFile *file, std::vector<EventNpcType> *out, const char *name)
{
    WideLines lines(file, name);
    int32_t count = 0;
    if (!lines.LineValue("count", kNpcTypeCountLine, &count)) {
        return false;
    }
    return ReadEntries(lines, count, false, false, out, [&](EventNpcType &type) {
        size_t at = 0;
        if (!lines.Next("NPC type")) {
            return false;
        }
        if (!TakeWideWordInt(lines.Line(), &at, &type.eventId) || !TakeWideWordInt(lines.Line(), &at, &type.portrait)) {
            return lines.Refuse("NPC type (event id word, portrait number word, name)");
        }
        if (type.portrait < 0 || type.portrait >= kPortraitNumbers) {
            return lines.Refuse("portrait number of 0 to 16");
        }
        type.name = lines.Line().substr(at);
        return true;
    });
}

// ---- writing ----

std::string FormatHurtEvents(const std::vector<HurtEventEntry> &entries)
{
    std::string text = "Count: " + std::to_string(entries.size()) + "\n";
    for (const HurtEventEntry &entry : entries) {
        text += "Hurt\nID: " + std::to_string(entry.eventId) + "\nValue: " + Real(entry.value) +
                "\nLines: " + std::to_string(entry.lines.size()) + "\n";
        for (const std::string &line : entry.lines) {
            text += line;
            if (line.empty() || line.back() != '\n') {
                text += "\n";
            }
        }
        text += "End\n";
    }
    return text;
}

std::string FormatInGameAnmTable(const std::vector<InGameAnmEntry> &entries)
{
    std::string text = "Count: " + std::to_string(entries.size()) + "\n";
    for (const InGameAnmEntry &entry : entries) {
        text += "Scene\nID: " + std::to_string(entry.eventId) + "\nNumber: " + std::to_string(entry.number) +
                "\nCamera " + entry.cameraModel + " " + entry.cameraAnimation +
                "\nKeys: " + std::to_string(entry.keys.size()) + "\n";
        for (const InGameAnmKeyEntry &key : entry.keys) {
            text += "AIID:" + std::to_string(key.aiId) + " " + key.animation + " Restore:" +
                    std::to_string(key.restoreMode) + "\n";
            text += "Start X:" + Real(key.start.x) + " Y:" + Real(key.start.y) + " Z:" + Real(key.start.z) + "\n";
            text += "End X:" + Real(key.end.x) + " Y:" + Real(key.end.y) + " Z:" + Real(key.end.z) + "\n";
        }
        text += "End\n";
    }
    return text;
}

std::string FormatInGameAnmAudio(const std::vector<InGameAnmAudioEntry> &entries)
{
    std::string text = "Count: " + std::to_string(entries.size()) + "\n";
    for (const InGameAnmAudioEntry &entry : entries) {
        text += "Audio\nID: " + std::to_string(entry.eventId) + "\nCues: " + std::to_string(entry.cues.size()) + "\n";
        for (const InGameAnmCue &cue : entry.cues) {
            text += "Frame:" + std::to_string(cue.frame) + " " + std::to_string(cue.soundId) + "\n";
        }
        text += "End\n";
    }
    return text;
}

std::u16string FormatEventTexts(const std::vector<EventTextEntry> &entries)
{
    std::u16string text = u"Count: " + Widen(std::to_string(entries.size())) + u"\r\n";
    for (const EventTextEntry &entry : entries) {
        text += u"Text\r\nID: " + Widen(std::to_string(entry.id)) + u"\r\n" + entry.text + u"\r\nEnd\r\n";
    }
    return text;
}

std::u16string FormatNpcTypes(const std::vector<EventNpcType> &entries)
{
    std::u16string text = u"Count: " + Widen(std::to_string(entries.size())) + u"\r\n";
    for (const EventNpcType &type : entries) {
        text += u"ID:" + Widen(std::to_string(type.eventId)) + u" Face:" + Widen(std::to_string(type.portrait)) + u" " +
                type.name + u"\r\n";
    }
    return text;
}
