// CSEventBGMList: event music. Each entry names an event whose start
// brings a piece of event music (EVT<number>.WAV) and an event whose end
// takes it away; one entry plays at a time. The list is read once from
// "\RESOURCE\G_EVENT\EVENT.BGM" (docs/formats.md, "Event music list"):
//
//   count line          its value (after the first ':') the entry count
//   per entry, 6 lines: two ignored, then the music number, the start
//                       event id and the stop event id (each the value
//                       after the line's first ':'), one more ignored
//
// Lines are read up to 512 characters (a longer line is cut and the rest
// skipped); a count above the entries present reads those present, a
// short or garbled entry ends the read with the entries before it, and a
// missing file leaves the list empty.
//
// The playing entry steps through its states once per frame: 1 stop the
// stage music at once, 2 wait until it has stopped, 3 start the event music
// with a 2000 ms fade (a scene's only once its camera runs), 4 playing,
// 5 finished: the list is idle again and the stage music fades back in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class EventRecord;
struct zuFile;

inline constexpr const char *kEventMusicListPath = "\\RESOURCE\\G_EVENT\\EVENT.BGM";
inline constexpr int kEventMusicLineLength = 512;
inline constexpr int32_t kEventMusicFadeMs = 2000;

enum EventMusicState : int32_t {
    kMusicIdle = 0,
    kMusicStopStage = 1,
    kMusicWaitStage = 2,
    kMusicStartEvent = 3,
    kMusicPlaying = 4,
    kMusicFinished = 5,
};

struct EventMusicEntry {
    int32_t startEvent = 0;
    int32_t stopEvent = 0;
    int32_t music = 0;
    uint8_t active = 0;
    int32_t state = kMusicIdle;
};

class CSEventBGMList {
public:
    // Reads the list from an open file (replacing what it held); false for
    // a null file. Entries past a short or garbled one are not read.
    bool Read(zuFile *file);
    // Reads "<data root>\RESOURCE\G_EVENT\EVENT.BGM"; false when missing.
    bool Load();
    // The stage load: every entry idle, the list idle.
    void Reset();
    // A running event (its id and record index): while the list is idle,
    // the first inactive entry that it starts becomes the playing one.
    void Play(int32_t eventId, int32_t recordIndex);
    // An event ended: the active entry it stops finishes.
    void OnEventEnd(int32_t eventId);
    // One frame of the playing entry; `record` is the record it started
    // with (null when none).
    void Update(float dt, const EventRecord *record);
    void Release();

    bool Busy() const { return busy_ != 0; }
    int32_t PlayingRecord() const { return record_; }
    int32_t PlayingEntry() const { return playing_; }
    const std::vector<EventMusicEntry> &Entries() const { return entries_; }
    std::vector<EventMusicEntry> &Entries() { return entries_; }

private:
    uint8_t busy_ = 0;
    int32_t record_ = -1;
    int32_t playing_ = -1;
    std::vector<EventMusicEntry> entries_;
};

// The file's text for `entries` (the maker writes it; tests compare).
std::string FormatEventMusicList(const std::vector<EventMusicEntry> &entries);
