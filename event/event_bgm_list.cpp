// The event music list (see event_bgm_list.h).
#include "event/event_bgm_list.h"

#include <cstring>
#include <string>

#include "app/debug.h"
#include "app/file.h"
#include "app/keyword.h"
#include "app/path.h"
#include "event/event_links.h"
#include "event/event_objects.h"
#include "event/event_table_file.h"

namespace {

constexpr int kEntryLines = 6;

// The file's lines, numbered, each cut to its room with a diagnostic line.
class MusicListLines {
public:
    explicit MusicListLines(zuFile *file) : file_(file) {}

    bool Next(char (&line)[kEventMusicLineLength + 1])
    {
        bool cut = false;
        if (!ReadEventDataLine(file_, line, sizeof line, &cut)) {
            return false;
        }
        ++number_;
        if (cut) {
            DebugPrint("%s:%d: the line is longer than %d characters; the rest of it is not read\n",
                       MessagePath(kEventMusicListPath).c_str(), number_, kEventMusicLineLength);
        }
        return true;
    }
    int Number() const { return number_; }

private:
    zuFile *file_;
    int number_ = 0;
};

// The value after the line's first ':'; false without one. A value that is
// not a whole number reads as atol reads it, with a diagnostic line.
bool LineValue(const char *line, int lineNumber, int32_t *value)
{
    if (!ReadKeyInt(line, ':', value)) {
        return false;
    }
    NumberForm form = NumberForm::kNone;
    KeyValueForm(line, ':', true, &form);
    if (form != NumberForm::kWhole) {
        const char *text = std::strchr(line, ':') + 1;
        const int shown = static_cast<int>(std::strcspn(text, "\r\n"));
        DebugPrint("%s:%d: '%.*s' is not a whole number; it reads as %d\n", MessagePath(kEventMusicListPath).c_str(),
                   lineNumber, shown, text, *value);
    }
    return true;
}

}  // namespace

bool CSEventBGMList::Read(zuFile *file)
{
    Release();
    if (file == nullptr) {
        return false;
    }
    MusicListLines lines(file);
    char line[kEventMusicLineLength + 1];
    int32_t count = 0;
    if (!lines.Next(line) || !LineValue(line, lines.Number(), &count)) {
        UserPrint("%s:1: no count line (a label, ':' and the number of entries); the list is empty\n",
                  MessagePath(kEventMusicListPath).c_str());
        return true;
    }
    if (count < 0) {
        DebugPrint("%s:1: a count of %d reads no entry\n", MessagePath(kEventMusicListPath).c_str(), count);
        return true;
    }
    for (int32_t i = 0; i < count; ++i) {
        char entryLines[kEntryLines][kEventMusicLineLength + 1];
        int read = 0;
        const int first = lines.Number() + 1;
        while (read < kEntryLines && lines.Next(entryLines[read])) {
            ++read;
        }
        EventMusicEntry entry;
        if (read < kEntryLines) {
            DebugPrint("%s:%d: the file ends inside entry %d of %d; the list ends with the %d before it\n",
                       MessagePath(kEventMusicListPath).c_str(), lines.Number(), i + 1, count, i);
            break;
        }
        if (!LineValue(entryLines[2], first + 2, &entry.music) ||
            !LineValue(entryLines[3], first + 3, &entry.startEvent) ||
            !LineValue(entryLines[4], first + 4, &entry.stopEvent)) {
            DebugPrint("%s:%d: entry %d of %d lacks a ':' on a number line; the list ends with the %d before it\n",
                       MessagePath(kEventMusicListPath).c_str(), first, i + 1, count, i);
            break;
        }
        entries_.push_back(entry);
    }
    return true;
}

bool CSEventBGMList::Load()
{
    const std::string path = std::string(GetDataRootPath()) + kEventMusicListPath;
    zuFile *file = zufopen(path.c_str(), "r");
    if (file == nullptr) {
        Release();
        return false;
    }
    const bool read = Read(file);
    zufclose(file);
    return read;
}

void CSEventBGMList::Reset()
{
    for (EventMusicEntry &entry : entries_) {
        entry.state = kMusicIdle;
        entry.active = 0;
    }
    busy_ = 0;
    record_ = -1;
    playing_ = -1;
}

void CSEventBGMList::Play(int32_t eventId, int32_t recordIndex)
{
    if (busy_ != 0) {
        return;
    }
    for (int32_t i = 0; i < static_cast<int32_t>(entries_.size()); ++i) {
        EventMusicEntry &entry = entries_[static_cast<size_t>(i)];
        if (entry.active == 0 && entry.startEvent == eventId) {
            entry.active = 1;
            entry.state = kMusicStopStage;
            busy_ = 1;
            record_ = recordIndex;
            playing_ = i;
            return;
        }
    }
}

void CSEventBGMList::OnEventEnd(int32_t eventId)
{
    for (EventMusicEntry &entry : entries_) {
        if (entry.active != 0 && entry.stopEvent == eventId) {
            entry.state = kMusicFinished;
            entry.active = 0;
        }
    }
}

void CSEventBGMList::Update(float, const EventRecord *record)
{
    if (playing_ < 0 || playing_ >= static_cast<int32_t>(entries_.size())) {
        return;
    }
    EventMusicEntry &entry = entries_[static_cast<size_t>(playing_)];
    switch (entry.state) {
    case kMusicStopStage:
        if (g_eventLinks.stopBGM != nullptr) {
            g_eventLinks.stopBGM(0);
        }
        entry.state = kMusicWaitStage;
        break;
    case kMusicWaitStage:
        if (g_eventLinks.isBGMStopped == nullptr || g_eventLinks.isBGMStopped()) {
            entry.state = kMusicStartEvent;
        }
        break;
    case kMusicStartEvent: {
        // A scene's music waits until its camera runs.
        const bool scene = record != nullptr && record->EventType == kEventTypeInGameAnm &&
                           record->kind == EventKind::kInGameAnm;
        if (!scene || static_cast<const CSInGameAnmEvent *>(record)->CameraRunning != 0) {
            if (g_eventLinks.playEventBGM != nullptr) {
                g_eventLinks.playEventBGM(kEventMusicFadeMs, entry.music);
            }
            entry.state = kMusicPlaying;
        }
        break;
    }
    case kMusicFinished:
        busy_ = 0;
        record_ = -1;
        playing_ = -1;
        if (g_eventLinks.fadeInStageBGM != nullptr) {
            g_eventLinks.fadeInStageBGM();
        }
        break;
    default:
        break;
    }
}

void CSEventBGMList::Release()
{
    entries_.clear();
    busy_ = 0;
    record_ = -1;
    playing_ = -1;
}

std::string FormatEventMusicList(const std::vector<EventMusicEntry> &entries)
{
    std::string text = "EntryNum:" + std::to_string(entries.size()) + "\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        const EventMusicEntry &e = entries[i];
        text += "{\n";
        text += "Entry:" + std::to_string(i + 1) + "\n";
        text += "BGMNum:" + std::to_string(e.music) + "\n";
        text += "StartEvent:" + std::to_string(e.startEvent) + "\n";
        text += "EndEvent:" + std::to_string(e.stopEvent) + "\n";
        text += "}\n";
    }
    return text;
}
