// The decode thread: reads packets, decodes sound straight into the movie's voice and
// pictures into the back buffer once it is free (or once the new picture is already due,
// so a slow main thread skips pictures rather than falling behind). It never waits for
// time itself: the main thread publishes the back buffer when its time comes.
#include <algorithm>
#include <deque>

#include "movie_state.h"

namespace mov {

namespace {

// Compressed pictures held while the back buffer is taken and the sound needs reading.
constexpr size_t kMaxQueuedPackets = 600;
// Converted sound held when the voice's ring is full.
constexpr size_t kMaxPendingFrames = 2 * snd::kDeviceRate;
constexpr auto kPollPeriod = std::chrono::milliseconds(5);

struct Decoding {
    Player::State &state;
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    AVFrame *picture = av_frame_alloc();  // decoded, waiting for the back buffer
    bool havePicture = false;
    int64_t pictureMs = 0;
    int64_t lastMs = -1;
    std::deque<AVPacket *> videoPackets;  // null: the end, drain the decoder
    bool videoDrained = false;
    bool readEnded = false;
    bool readError = false;
    std::vector<int16_t> pendingSound;
    size_t pendingRead = 0;
    bool soundFeedEnded = false;

    explicit Decoding(Player::State &s) : state(s) {}
    ~Decoding()
    {
        for (AVPacket *queued : videoPackets) {
            av_packet_free(&queued);
        }
        av_packet_free(&packet);
        av_frame_free(&frame);
        av_frame_free(&picture);
    }

    int64_t PictureMs(const AVFrame *decoded)
    {
        const AVStream *stream = state.format->streams[state.videoIndex];
        int64_t ms = lastMs < 0 ? 0 : lastMs + state.frameMs;
        const int64_t pts = decoded->best_effort_timestamp;
        if (pts != AV_NOPTS_VALUE) {
            if (state.videoStart == AV_NOPTS_VALUE) {
                state.videoStart = pts;
            }
            ms = av_rescale_q(pts - state.videoStart, stream->time_base, AVRational{1, 1000});
        }
        if (ms <= lastMs) {
            ms = lastMs + 1;  // pictures keep their order whatever the stamps say
        }
        return std::max<int64_t>(ms, 0);
    }

    void GiveUpSound(const char *why)
    {
        if (state.audioIndex < 0) {
            return;
        }
        // The pictures keep the clock they had: the game's, or the sound's until what is
        // already in the voice has played and the wall clock from there.
        std::fprintf(stderr, "movie: %s: %s; the pictures go on without it by %s\n", state.path.c_str(), why,
                     state.externalClock ? "the game's clock" : "the wall clock");
        state.format->streams[state.audioIndex]->discard = AVDISCARD_ALL;
        state.audioIndex = -1;
        pendingSound.clear();
        pendingRead = 0;
        state.sound->QueueEnd(state.voice);
    }

    void TakeSoundFrames()
    {
        while (avcodec_receive_frame(state.audio, frame) == 0) {
            const int room = swr_get_out_samples(state.resampler, frame->nb_samples);
            if (room > 0) {
                const size_t at = pendingSound.size();
                pendingSound.resize(at + static_cast<size_t>(room) * snd::kDeviceChannels);
                uint8_t *out[1] = {reinterpret_cast<uint8_t *>(pendingSound.data() + at)};
                const int got = swr_convert(state.resampler, out, room, const_cast<const uint8_t **>(frame->extended_data),
                                            frame->nb_samples);
                pendingSound.resize(at + static_cast<size_t>(std::max(got, 0)) * snd::kDeviceChannels);
            }
            av_frame_unref(frame);
        }
        const size_t held = pendingSound.size() / snd::kDeviceChannels - pendingRead;
        if (held > kMaxPendingFrames) {
            // Nobody plays the sound (a stalled device): keep the newest part only.
            pendingRead += held - kMaxPendingFrames;
        }
    }

    bool PushSound()
    {
        const size_t held = pendingSound.size() / snd::kDeviceChannels - pendingRead;
        if (held == 0) {
            return false;
        }
        const size_t taken =
            state.sound->QueueWrite(state.voice, pendingSound.data() + pendingRead * snd::kDeviceChannels, held);
        pendingRead += taken;
        if (pendingRead * snd::kDeviceChannels == pendingSound.size()) {
            pendingSound.clear();
            pendingRead = 0;
        }
        return taken > 0;
    }

    bool SoundWantsMore() const
    {
        return state.audioIndex >= 0 && pendingSound.empty() && state.sound->QueueSpace(state.voice) > 0;
    }

    // Once all the sound is read and in the voice, its feed ends there and then, not with
    // the last picture: the voice plays out and stops, and a clock that followed it goes
    // on without it. Pictures that outlast their sound would otherwise wait for a clock
    // that the voice, never ended, holds where its sound ran out (the sound's clock) or
    // that never moves on (the game's, whose mixer waits for the voice).
    void EndTheSoundOnceAllIsIn()
    {
        if (state.audioIndex >= 0 && !soundFeedEnded && readEnded && pendingSound.empty()) {
            state.sound->QueueEnd(state.voice);
            soundFeedEnded = true;
        }
    }

    // Under the external clock the game's mixer waits for the movie's sound for as long
    // as it takes (sound.h), so this thread never leaves the voice short while it waits
    // for the game to move on: sound still wanted while the pictures' packets fill the
    // queue lies too far from its pictures and is given up.
    void GiveUpSoundTheGameWouldWaitFor()
    {
        if (state.externalClock && state.audioIndex >= 0 && !readEnded && SoundWantsMore()) {
            GiveUpSound("its sound lies too far from its pictures");
        }
    }

    // The back buffer for the waiting picture: free, or holding one that the new picture
    // makes stale.
    bool PlacePicture()
    {
        {
            std::lock_guard<std::mutex> guard(state.lock);
            const bool free = state.back == BackState::Empty ||
                              (state.back == BackState::Ready && state.ClockLocked() >= pictureMs);
            if (!free) {
                return false;
            }
            state.back = BackState::Writing;
        }
        std::vector<uint32_t> &target = state.buffers[1 - state.front];
        uint8_t *planes[4] = {reinterpret_cast<uint8_t *>(target.data()), nullptr, nullptr, nullptr};
        int strides[4] = {static_cast<int>(state.width * 4), 0, 0, 0};
        const bool converted = picture->width == static_cast<int>(state.width) &&
                               picture->height == static_cast<int>(state.height) &&
                               picture->format == state.video->pix_fmt &&
                               sws_scale(state.scaler, picture->data, picture->linesize, 0, picture->height, planes,
                                         strides) == static_cast<int>(state.height);
        av_frame_unref(picture);
        havePicture = false;
        std::lock_guard<std::mutex> guard(state.lock);
        if (converted) {
            state.back = BackState::Ready;
            state.backMs = pictureMs;
            lastMs = pictureMs;
        } else {
            state.back = BackState::Empty;  // a picture that changed shape mid-stream is dropped
            ++state.damaged;
        }
        state.changed.notify_all();
        return true;
    }

    bool DecodePicture()
    {
        const int got = avcodec_receive_frame(state.video, picture);
        if (got == 0) {
            havePicture = true;
            pictureMs = PictureMs(picture);
            return true;
        }
        if (got == AVERROR_EOF) {
            videoDrained = true;
            return false;
        }
        if (got != AVERROR(EAGAIN)) {
            ++state.damaged;
            return true;
        }
        if (videoPackets.empty()) {
            return false;
        }
        AVPacket *next = videoPackets.front();
        videoPackets.pop_front();
        if (avcodec_send_packet(state.video, next) < 0 && next != nullptr) {
            ++state.damaged;  // a damaged packet is skipped
        }
        av_packet_free(&next);
        return true;
    }

    void ReadPacket()
    {
        const int result = av_read_frame(state.format, packet);
        if (result < 0) {
            readEnded = true;
            readError = result != AVERROR_EOF && !state.stop.load();
            videoPackets.push_back(nullptr);
            if (state.audioIndex >= 0) {
                avcodec_send_packet(state.audio, nullptr);
                TakeSoundFrames();
            }
            return;
        }
        if (packet->stream_index == state.videoIndex) {
            videoPackets.push_back(av_packet_clone(packet));
        } else if (packet->stream_index == state.audioIndex) {
            if (avcodec_send_packet(state.audio, packet) < 0) {
                ++state.damaged;
            }
            TakeSoundFrames();
        }
        av_packet_unref(packet);
        if (videoPackets.size() > kMaxQueuedPackets && state.audioIndex >= 0 && pendingSound.empty()) {
            GiveUpSound("its sound lies too far from its pictures");
        }
    }

    void Finish()
    {
        std::lock_guard<std::mutex> guard(state.lock);
        state.finished = true;
        state.endMs = lastMs < 0 ? 0 : lastMs + state.frameMs;
        state.endedEarly = readError || (state.durationMs > 0 && state.endMs + 2 * state.frameMs < state.durationMs);
        if (state.endedEarly && !state.stop.load()) {
            std::fprintf(stderr, "movie: %s breaks off at %lld ms of %lld ms; it ends at its last good picture\n",
                         state.path.c_str(), static_cast<long long>(state.endMs),
                         static_cast<long long>(state.durationMs));
        }
        state.changed.notify_all();
    }

    void Run()
    {
        while (!state.stop.load()) {
            bool progress = false;
            if (state.audioIndex >= 0 && PushSound()) {
                progress = true;
            }
            if (havePicture && PlacePicture()) {
                continue;
            }
            if (!havePicture && !videoDrained && DecodePicture()) {
                continue;
            }
            const bool needPictures = !havePicture && videoPackets.empty() && !videoDrained;
            const bool roomForMore = videoPackets.size() < kMaxQueuedPackets;
            if (!readEnded && (needPictures || (SoundWantsMore() && roomForMore))) {
                ReadPacket();
                continue;
            }
            EndTheSoundOnceAllIsIn();
            GiveUpSoundTheGameWouldWaitFor();
            if (videoDrained && !havePicture) {
                if (state.audioIndex < 0 || pendingSound.empty()) {
                    break;
                }
            }
            if (!progress) {
                std::unique_lock<std::mutex> guard(state.lock);
                state.changed.wait_for(guard, kPollPeriod);
            }
        }
        if (state.audioIndex >= 0) {
            state.sound->QueueEnd(state.voice);
        }
        Finish();
    }
};

}  // namespace

void DecodeMovie(Player::State *state)
{
    Decoding decoding(*state);
    decoding.Run();
}

}  // namespace mov
