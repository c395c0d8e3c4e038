// CSSFXManager: the stage's sound effects, played by their seven-digit sound
// ids. Each sample "\RESOURCE\MEDIA\SFX\<id>.WAV" is a static sound of the
// game's sound, loaded by the lists that name it and kept while any list
// holds it: the stage's list (loaded with the stage, released with it), each
// hero's list, and the lists a scene adds and releases. PlaySFX queues a
// sample (once, however often it is asked for in a tick); the tick's sound
// step (Update) starts what is queued. A sample that is missing, or was never
// listed, plays nothing; its problem is reported once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "stage/sound_port.h"

class CSSFXManager {
public:
    explicit CSSFXManager(const SoundPort &port) : port_(port) {}
    ~CSSFXManager() { Release(); }
    CSSFXManager(const CSSFXManager &) = delete;
    CSSFXManager &operator=(const CSSFXManager &) = delete;

    // The volume (0..1) the samples play at: those loaded and those loaded later.
    void SetSoundVolume(float volume);
    float SoundVolume() const { return volume_; }

    // One more reference on each id's sample, loading those not held; one
    // less, freeing a sample when none is left. Ids that are no sound ids
    // are reported and skipped. A count below 1 or no ids does nothing.
    void AddSFXList(const int32_t *ids, int32_t count);
    void ReleaseSFXList(const int32_t *ids, int32_t count);

    // The stage's list "<stage id>.SFL" (a stage's list already held is
    // released first); false when the file cannot be read.
    bool LoadStageSFX(int32_t stageId);
    void ReleaseStageSFX();
    // A hero's list (hero 0 or 1: HERO01.SFL, HERO02.SFL), in place of the
    // one that hero held; false for another hero or a list that cannot be read.
    bool LoadCharacterSFX(int32_t hero);
    void ReleaseCharacterSFX(int32_t hero);

    // Queues the sample to start at the next sound step; a sample already
    // queued stays queued once. False (and silence) for a sample not held
    // or missing.
    bool PlaySFX(int32_t soundId, uint8_t loop);
    // Stops the sample and takes it off the queue.
    void StopSFX(int32_t soundId);
    // The tick's sound step: starts every queued sample and empties the queue.
    void Update();

    // Every sample freed, every list and the queue emptied.
    void Release();

    // What the tests and the resource report read.
    bool IsHeld(int32_t soundId) const { return samples_.count(soundId) != 0; }
    bool IsLoaded(int32_t soundId) const;  // held, and its file was found
    int32_t References(int32_t soundId) const;
    size_t SampleCount() const { return samples_.size(); }
    size_t QueueLength() const { return queue_.size(); }
    int32_t QueuedId(size_t index) const { return queue_[index].id; }
    const std::vector<int32_t> &StageList() const { return stageList_; }

private:
    struct Sample {
        uint32_t handle = SoundPort::kNoSound;  // none when the file was missing
        int32_t references = 0;
    };
    struct Queued {
        int32_t id;
        bool loop;
    };
    void AddOne(int32_t soundId);
    void ReleaseOne(int32_t soundId);
    void Unqueue(int32_t soundId);
    // Reports a problem with the id only the first time.
    bool FirstReport(int32_t soundId);

    SoundPort port_;
    float volume_ = 1.0f;
    std::unordered_map<int32_t, Sample> samples_;
    std::vector<Queued> queue_;
    std::vector<int32_t> stageList_;
    std::vector<int32_t> heroLists_[2];
    std::unordered_set<int32_t> reported_;
};
