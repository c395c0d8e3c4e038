// The stage's sound effects (see sfx_manager.h).
#include "stage/sfx_manager.h"

#include <algorithm>
#include <cmath>

#include "app/debug.h"
#include "app/trace.h"
#include "stage/sound_list.h"

namespace {

float ClampVolume(float volume) { return std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 1.0f; }

}  // namespace

bool CSSFXManager::FirstReport(int32_t soundId) { return reported_.insert(soundId).second; }

void CSSFXManager::SetSoundVolume(float volume)
{
    volume_ = ClampVolume(volume);
    for (const auto &[id, sample] : samples_) {
        port_.SetVolume(sample.handle, volume_);
    }
}

void CSSFXManager::AddOne(int32_t soundId)
{
    if (!IsSoundId(soundId)) {
        if (FirstReport(soundId)) {
            DebugPrint("Sound list: %d is not a sound id\n", soundId);
        }
        return;
    }
    auto found = samples_.find(soundId);
    if (found != samples_.end()) {
        ++found->second.references;
        return;
    }
    Sample sample;
    sample.references = 1;
    sample.handle = port_.Load(SoundEffectPath(soundId).c_str(), SoundPort::kStatic, kStageEffectGroup, volume_);
    if (sample.handle == SoundPort::kNoSound && FirstReport(soundId)) {
        DebugPrint("Sound %d: %s could not be loaded; it plays nothing\n", soundId, SoundEffectPath(soundId).c_str());
    }
    samples_.emplace(soundId, sample);
}

void CSSFXManager::ReleaseOne(int32_t soundId)
{
    auto found = samples_.find(soundId);
    if (found == samples_.end()) {
        if (IsSoundId(soundId) && FirstReport(soundId)) {
            DebugPrint("Sound %d is released but not held\n", soundId);
        }
        return;
    }
    if (--found->second.references > 0) {
        return;
    }
    Unqueue(soundId);
    port_.Unload(found->second.handle);
    samples_.erase(found);
}

void CSSFXManager::AddSFXList(const int32_t *ids, int32_t count)
{
    for (int32_t i = 0; ids != nullptr && i < count; ++i) {
        AddOne(ids[i]);
    }
}

void CSSFXManager::ReleaseSFXList(const int32_t *ids, int32_t count)
{
    for (int32_t i = 0; ids != nullptr && i < count; ++i) {
        ReleaseOne(ids[i]);
    }
}

bool CSSFXManager::LoadStageSFX(int32_t stageId)
{
    ReleaseStageSFX();
    std::vector<int32_t> ids;
    if (!ReadSoundListFile(StageSoundListPath(stageId).c_str(), &ids)) {
        return false;
    }
    stageList_ = std::move(ids);
    AddSFXList(stageList_.data(), static_cast<int32_t>(stageList_.size()));
    return true;
}

void CSSFXManager::ReleaseStageSFX()
{
    ReleaseSFXList(stageList_.data(), static_cast<int32_t>(stageList_.size()));
    stageList_.clear();
}

bool CSSFXManager::LoadCharacterSFX(int32_t hero)
{
    if (hero != 0 && hero != 1) {
        DebugPrint("LoadCharacterSFX: there is no hero %d\n", hero);
        return false;
    }
    ReleaseCharacterSFX(hero);
    std::vector<int32_t> ids;
    if (!ReadSoundListFile(HeroSoundListPath(hero).c_str(), &ids)) {
        return false;
    }
    heroLists_[hero] = std::move(ids);
    AddSFXList(heroLists_[hero].data(), static_cast<int32_t>(heroLists_[hero].size()));
    return true;
}

void CSSFXManager::ReleaseCharacterSFX(int32_t hero)
{
    if (hero == 0 || hero == 1) {
        std::vector<int32_t> &list = heroLists_[hero];
        ReleaseSFXList(list.data(), static_cast<int32_t>(list.size()));
        list.clear();
    }
}

bool CSSFXManager::PlaySFX(int32_t soundId, uint8_t loop)
{
    auto found = samples_.find(soundId);
    if (found == samples_.end()) {
        if (FirstReport(soundId)) {
            DebugPrint("Sound %d is not loaded; it plays nothing\n", soundId);
        }
        return false;
    }
    if (found->second.handle == SoundPort::kNoSound) {
        return false;  // reported when its load failed
    }
    const bool queued = std::any_of(queue_.begin(), queue_.end(), [soundId](const Queued &q) { return q.id == soundId; });
    if (!queued) {
        queue_.push_back({soundId, loop != 0});
    }
    return true;
}

void CSSFXManager::Unqueue(int32_t soundId)
{
    std::erase_if(queue_, [soundId](const Queued &q) { return q.id == soundId; });
}

void CSSFXManager::StopSFX(int32_t soundId)
{
    Unqueue(soundId);
    auto found = samples_.find(soundId);
    if (found != samples_.end()) {
        port_.Stop(found->second.handle);
    }
}

void CSSFXManager::Update()
{
    for (const Queued &entry : queue_) {
        auto found = samples_.find(entry.id);
        if (found != samples_.end()) {
            port_.Play(found->second.handle, entry.loop);
            game::TraceLine("sfx").Int(entry.id);
        }
    }
    queue_.clear();
}

void CSSFXManager::Release()
{
    queue_.clear();
    for (const auto &[id, sample] : samples_) {
        port_.Unload(sample.handle);
    }
    samples_.clear();
    stageList_.clear();
    heroLists_[0].clear();
    heroLists_[1].clear();
}

bool CSSFXManager::IsLoaded(int32_t soundId) const
{
    auto found = samples_.find(soundId);
    return found != samples_.end() && found->second.handle != SoundPort::kNoSound;
}

int32_t CSSFXManager::References(int32_t soundId) const
{
    auto found = samples_.find(soundId);
    return found == samples_.end() ? 0 : found->second.references;
}
