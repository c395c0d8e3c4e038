// The sound library's operations on voices, the streaming thread and its life cycle.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "library_state.h"

namespace snd {

namespace {

// How often the streaming thread looks at the rings when nobody wakes it.
constexpr auto kStreamPeriod = std::chrono::milliseconds(20);

int32_t GainQ16(int32_t millibels)
{
    return static_cast<int32_t>(std::lround(GainFromMillibels(millibels) * 65536.0));
}

void StreamingThread(Library *library, Library::State *state)
{
    while (!state->stopStreamer.load()) {
        library->FillStreams();
        std::unique_lock<std::mutex> lock(state->wakeLock);
        state->wake.wait_for(lock, kStreamPeriod,
                             [state] { return state->wakeRequested || state->stopStreamer.load(); });
        state->wakeRequested = false;
    }
}

}  // namespace

Library::Library() : state_(std::make_unique<State>()) {}

Library::~Library() { Shutdown(); }

bool Library::Start(const LibraryOptions &options, std::string *error)
{
    Shutdown();
    state_->options = options;
    state_->options.streamRingMs = std::clamp<uint32_t>(options.streamRingMs, 50, 10000);
    state_->options.deviceBufferFrames = std::clamp<uint32_t>(options.deviceBufferFrames, 64, 8192);
    state_->mixedFrames = 0;
    state_->limiter.Reset();
    const bool gameClock = options.gameClockStepMs != 0;
    // On the game's clock the streams are refilled by the caller, in step with it.
    if (options.streamingThread && !gameClock) {
        state_->stopStreamer = false;
        state_->streamer = std::thread(StreamingThread, this, state_.get());
    }
    if (!options.openDevice) {
        return true;
    }
    if (gameClock && DiskDriverAsked()) {
        return OpenRecording(*state_, error);
    }
    return OpenDevice(this, *state_, error);
}

void Library::Shutdown()
{
    CloseRecording(*state_);
    CloseDevice(*state_);
    if (state_->streamer.joinable()) {
        {
            std::lock_guard<std::mutex> lock(state_->wakeLock);
            state_->stopStreamer = true;
        }
        state_->wake.notify_all();
        state_->streamer.join();
    }
    std::map<VoiceId, std::shared_ptr<Voice>> released;
    {
        std::lock_guard<std::mutex> lock(state_->mixLock);
        released.swap(state_->voices);
    }
}

bool Library::HasDevice() const { return state_->device != 0 || state_->recording != nullptr; }

VoiceId Library::CreateStatic(const uint8_t *wav, size_t size, std::string *error)
{
    auto voice = std::make_shared<Voice>();
    voice->kind = VoiceKind::Static;
    if (!DecodeWav(wav, size, &voice->pcm, error)) {
        return kNoVoice;
    }
    std::lock_guard<std::mutex> lock(state_->mixLock);
    const VoiceId id = state_->nextId++;
    state_->voices[id] = std::move(voice);
    return id;
}

VoiceId Library::CreateStreamed(std::vector<uint8_t> wav, std::string *error)
{
    auto voice = std::make_shared<Voice>();
    voice->kind = VoiceKind::Streamed;
    voice->file = std::move(wav);
    if (!voice->source.Open(voice->file.data(), voice->file.size(), error) ||
        !voice->converter.Init(&voice->source, error)) {
        return kNoVoice;
    }
    voice->ring.Reset(static_cast<size_t>(kDeviceRate) * state_->options.streamRingMs / 1000);
    std::lock_guard<std::mutex> lock(state_->mixLock);
    const VoiceId id = state_->nextId++;
    state_->voices[id] = std::move(voice);
    return id;
}

VoiceId Library::CreateQueue(uint32_t capacityMs)
{
    auto voice = std::make_shared<Voice>();
    voice->kind = VoiceKind::Queue;
    voice->ring.Reset(static_cast<size_t>(kDeviceRate) * std::clamp<uint32_t>(capacityMs, 10, 10000) / 1000);
    std::lock_guard<std::mutex> lock(state_->mixLock);
    const VoiceId id = state_->nextId++;
    state_->voices[id] = std::move(voice);
    return id;
}

void Library::Destroy(VoiceId id)
{
    std::shared_ptr<Voice> released;  // freed outside the lock (the streaming thread may hold it too)
    std::lock_guard<std::mutex> lock(state_->mixLock);
    auto it = state_->voices.find(id);
    if (it != state_->voices.end()) {
        released = std::move(it->second);
        state_->voices.erase(it);
        state_->queueFed.notify_all();
    }
}

bool Library::Play(VoiceId id, bool loop)
{
    std::shared_ptr<Voice> voice;
    {
        std::lock_guard<std::mutex> lock(state_->mixLock);
        voice = state_->Find(id);
        if (voice == nullptr) {
            return false;
        }
        if (voice->kind != VoiceKind::Streamed) {
            voice->state = PlayState::Playing;
            voice->loop = loop;
            voice->position = 0;
            voice->played = 0;
            ++voice->generation;
            return true;
        }
    }
    FillStream(*state_, *voice, true, loop);
    Update();
    return true;
}

void Library::Stop(VoiceId id)
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    if (auto voice = state_->Find(id)) {
        voice->state = PlayState::Stopped;
        voice->position = 0;
        ++voice->generation;
        state_->queueFed.notify_all();
    }
}

bool Library::IsPlaying(VoiceId id) const
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    auto voice = state_->Find(id);
    return voice != nullptr && voice->state == PlayState::Playing;
}

void Library::SetVolume(VoiceId id, int32_t millibels)
{
    millibels = std::clamp(millibels, kMinMillibels, kMaxMillibels);
    std::lock_guard<std::mutex> lock(state_->mixLock);
    if (auto voice = state_->Find(id)) {
        voice->millibels = millibels;
        voice->gainQ16 = GainQ16(millibels);
    }
}

int32_t Library::GetVolume(VoiceId id) const
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    auto voice = state_->Find(id);
    return voice == nullptr ? kMinMillibels : voice->millibels;
}

size_t Library::MemoryUsed(VoiceId id) const
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    auto voice = state_->Find(id);
    if (voice == nullptr) {
        return 0;
    }
    if (voice->kind == VoiceKind::Static) {
        return voice->pcm.size() * sizeof(int16_t);
    }
    return voice->ring.Capacity() * kFrameBytes;
}

size_t Library::Buffered(VoiceId id) const
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    auto voice = state_->Find(id);
    return voice == nullptr || voice->kind == VoiceKind::Static ? 0 : voice->ring.Count();
}

std::vector<VoiceId> Library::PausePlaying()
{
    std::vector<VoiceId> paused;
    std::lock_guard<std::mutex> lock(state_->mixLock);
    for (auto &entry : state_->voices) {
        Voice &voice = *entry.second;
        if (voice.kind != VoiceKind::Queue && voice.state == PlayState::Playing) {
            voice.state = PlayState::Paused;
            paused.push_back(entry.first);
        }
    }
    return paused;
}

void Library::Pause(VoiceId id)
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    auto voice = state_->Find(id);
    if (voice != nullptr && voice->state == PlayState::Playing) {
        voice->state = PlayState::Paused;
    }
}

void Library::Resume(const std::vector<VoiceId> &voices)
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    for (VoiceId id : voices) {
        auto voice = state_->Find(id);
        if (voice != nullptr && voice->state == PlayState::Paused) {
            voice->state = PlayState::Playing;
        }
    }
}

size_t Library::QueueWrite(VoiceId id, const int16_t *frames, size_t count)
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    auto voice = state_->Find(id);
    if (voice == nullptr || voice->kind != VoiceKind::Queue || voice->feedEnded) {
        return 0;
    }
    const size_t written = voice->ring.Write(frames, count);
    state_->queueFed.notify_all();
    return written;
}

size_t Library::QueueSpace(VoiceId id) const
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    auto voice = state_->Find(id);
    return voice == nullptr || voice->kind != VoiceKind::Queue ? 0 : voice->ring.Space();
}

void Library::QueueEnd(VoiceId id)
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    if (auto voice = state_->Find(id)) {
        voice->feedEnded = true;
        if (voice->ring.Count() == 0 && voice->state == PlayState::Playing) {
            voice->state = PlayState::Stopped;
        }
        state_->queueFed.notify_all();
    }
}

uint64_t Library::FramesPlayed(VoiceId id) const
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    auto voice = state_->Find(id);
    return voice == nullptr ? 0 : voice->played;
}

bool Library::QueueDrained(VoiceId id) const
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    auto voice = state_->Find(id);
    return voice == nullptr || voice->state == PlayState::Stopped ||
           (voice->feedEnded && voice->ring.Count() == 0);
}

void Library::Update()
{
    if (!state_->streamer.joinable()) {
        FillStreams();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(state_->wakeLock);
        state_->wakeRequested = true;
    }
    state_->wake.notify_one();
}

void Library::FillStreams()
{
    std::vector<std::shared_ptr<Voice>> streams;
    {
        std::lock_guard<std::mutex> lock(state_->mixLock);
        for (auto &entry : state_->voices) {
            Voice &voice = *entry.second;
            if (voice.kind == VoiceKind::Streamed && voice.state != PlayState::Stopped && !voice.feedEnded &&
                voice.ring.Space() >= voice.ring.Capacity() / 8) {
                streams.push_back(entry.second);
            }
        }
    }
    for (auto &voice : streams) {
        FillStream(*state_, *voice, false, false);
    }
}

void Library::Render(int16_t *out, size_t frameCount)
{
    std::lock_guard<std::mutex> lock(state_->mixLock);
    MixVoices(*state_, out, frameCount);
}

}  // namespace snd
