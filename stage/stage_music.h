// The stage's music: one looping stream of the game's sound at a time, the
// stage's own piece "\RESOURCE\MEDIA\BGM\<stage id>.WAV" or an event piece
// "\RESOURCE\MEDIA\BGM\EVT<number>.WAV", with fades in and out over a time.
//
// The kind of music: 0 none, 1 stage, 2 event, 3 fading out; pausing (while
// a screen covers the stage) turns kind k into k + 4 and holds the stream
// and any fade where they stand, and resuming turns it back. A piece that is
// missing plays nothing (kind 0).
#pragma once

#include <cstdint>
#include <string>

#include "stage/media_paths.h"
#include "stage/sound_port.h"

enum MusicKind : int32_t {
    kMusicNone = 0,
    kMusicStage = 1,
    kMusicEvent = 2,
    kMusicFading = 3,
    kMusicPaused = 4,  // added to a kind while paused
};

// The fade of FadeInStageBGM.
constexpr int32_t kStageMusicFadeInMs = 2000;

// The trace line "music start|stop|pause|resume kind name": `what` one of
// the four, `kind` "stage", "event" or "ui" (the screen manager's music),
// `name` the piece's file name. The stage's music writes its own; the
// screen manager writes its music's through this.
void TraceMusic(const char *what, const char *kind, const char *name);

class CSStageMusic {
public:
    explicit CSStageMusic(const SoundPort &port) : port_(port) {}
    ~CSStageMusic() { Release(); }
    CSStageMusic(const CSStageMusic &) = delete;
    CSStageMusic &operator=(const CSStageMusic &) = delete;

    // The stage whose piece PlayStageBGM and FadeInStageBGM play (0: none).
    void SetStage(int32_t stageId) { stageId_ = stageId; }
    int32_t Stage() const { return stageId_; }

    // The stage's piece from its start, at full volume, in place of any music.
    void PlayStageBGM();
    // The event piece in place of any music, faded in over `fadeMs` (0 or
    // less: at once).
    void PlayEventBGM(int32_t fadeMs, int32_t number);
    // The stage's piece again in place of any music, faded in over 2000 ms.
    void FadeInStageBGM();
    // 0 or less: the music ends at once; else it fades out over the time
    // from the level it has (kind 3) and ends when silent.
    void StopBGM(int32_t fadeMs);
    // True once no stage or event music sounds; a fade still sounds, and
    // paused music (kinds 5 to 7) is held, not stopped.
    bool IsBGMStopped() const { return kind_ == kMusicNone; }

    void PauseBGM();
    void ResumeBGM();

    // The music volume (0..1) that the piece and every later piece play at,
    // times the fade.
    void SetBGMVolume(float volume);
    float Volume() const { return volume_; }

    // Advances a fade by `ms` (nothing while paused).
    void Update(uint32_t ms);
    // Ends the music at once and forgets the pause.
    void Release();

    // 0..7 as above.
    int32_t Kind() const { return kind_ + (paused_ ? kMusicPaused : 0); }
    bool IsPaused() const { return paused_; }
    // The fade's share of the volume, 0..1.
    float FadeLevel() const { return level_; }
    uint32_t Handle() const { return handle_; }
    // The piece's file name ("2010000.WAV"), empty without music.
    const std::string &Name() const { return name_; }

private:
    enum class Fade : uint8_t { None, In, Out };
    void Start(const std::string &path, int32_t kind, int32_t fadeInMs);
    // Frees the stream at once (kind 0), tracing the stop.
    void End();
    void ApplyVolume();
    void Trace(const char *what) const;

    SoundPort port_;
    int32_t stageId_ = 0;
    float volume_ = 1.0f;
    uint32_t handle_ = SoundPort::kNoSound;
    int32_t kind_ = kMusicNone;  // 0..3
    int32_t piece_ = kMusicNone;  // the piece's kind (1 or 2), kept through its fade
    bool paused_ = false;
    Fade fade_ = Fade::None;
    uint32_t fadeMs_ = 0;
    uint32_t fadeElapsed_ = 0;
    float fadeFrom_ = 1.0f;
    float level_ = 1.0f;
    std::string name_;
};
