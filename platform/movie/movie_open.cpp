// Opening a movie: the file is read through our own I/O so libavformat probes its bytes
// with no name to go by; then the best video stream (required) and sound stream
// (optional) get their decoders and converters.
#include <sys/stat.h>

#include <cerrno>
#include <cinttypes>
#include <cstring>

#include "../libav/libav_entries.h"
#include "movie_state.h"

namespace mov {

namespace {

constexpr int kIoBufferBytes = 32768;
constexpr int kMaxSide = 4096;

int ReadPacket(void *opaque, uint8_t *buffer, int size)
{
    const size_t got = std::fread(buffer, 1, static_cast<size_t>(size), static_cast<std::FILE *>(opaque));
    return got == 0 ? AVERROR_EOF : static_cast<int>(got);
}

int64_t SeekFile(void *opaque, int64_t offset, int whence)
{
    std::FILE *file = static_cast<std::FILE *>(opaque);
    if (whence & AVSEEK_SIZE) {
        const off_t here = ftello(file);
        if (fseeko(file, 0, SEEK_END) != 0) {
            return -1;
        }
        const off_t size = ftello(file);
        fseeko(file, here, SEEK_SET);
        return size;
    }
    if (fseeko(file, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE) != 0) {
        return -1;
    }
    return ftello(file);
}

int Interrupted(void *opaque) { return static_cast<Player::State *>(opaque)->stop.load() ? 1 : 0; }

bool Fail(std::string *error, const std::string &path, const char *why)
{
    if (error != nullptr) {
        *error = path + ": " + why;
    }
    return false;
}

AVCodecContext *OpenDecoder(AVStream *stream)
{
    const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (codec == nullptr) {
        return nullptr;
    }
    AVCodecContext *context = avcodec_alloc_context3(codec);
    if (context == nullptr) {
        return nullptr;
    }
    context->thread_count = 1;  // the decode thread is the movie's one thread
    if (avcodec_parameters_to_context(context, stream->codecpar) < 0 || avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
    }
    return context;
}

void OpenSound(Player::State &state)
{
    const int index = av_find_best_stream(state.format, AVMEDIA_TYPE_AUDIO, -1, state.videoIndex, nullptr, 0);
    if (index < 0) {
        return;
    }
    state.audio = OpenDecoder(state.format->streams[index]);
    if (state.audio == nullptr) {
        std::fprintf(stderr, "movie: %s: its sound cannot be decoded; playing the pictures alone\n", state.path.c_str());
        return;
    }
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (swr_alloc_set_opts2(&state.resampler, &stereo, AV_SAMPLE_FMT_S16, static_cast<int>(snd::kDeviceRate),
                            &state.audio->ch_layout, state.audio->sample_fmt, state.audio->sample_rate, 0,
                            nullptr) < 0 ||
        swr_init(state.resampler) < 0) {
        swr_free(&state.resampler);
        avcodec_free_context(&state.audio);
        return;
    }
    state.audioIndex = index;
}

}  // namespace

bool OpenMovie(Player::State &state, const std::string &path, std::string *error)
{
    RouteLibavLog();
    state.path = path;
    // Folders are not movies, though fopen opens them for reading here.
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return Fail(error, path, "it is a folder");
    }
    state.file = std::fopen(path.c_str(), "rb");
    if (state.file == nullptr) {
        return Fail(error, path, std::strerror(errno));
    }
    if (info.st_size == 0) {
        return Fail(error, path, "it is empty");
    }
    std::string why;
    if (!libav::Available(&why)) {
        return Fail(error, path, ("libav cannot be loaded: " + why).c_str());
    }
    uint8_t *buffer = static_cast<uint8_t *>(av_malloc(kIoBufferBytes));
    state.io = buffer == nullptr ? nullptr
                                 : avio_alloc_context(buffer, kIoBufferBytes, 0, state.file, ReadPacket, nullptr, SeekFile);
    state.format = avformat_alloc_context();
    if (state.io == nullptr || state.format == nullptr) {
        if (state.io == nullptr) {
            av_free(buffer);
        }
        return Fail(error, path, "out of memory");
    }
    state.format->pb = state.io;
    state.format->flags |= AVFMT_FLAG_CUSTOM_IO | AVFMT_FLAG_DISCARD_CORRUPT;
    state.format->interrupt_callback = AVIOInterruptCB{Interrupted, &state};
    // No name: the probe goes by the bytes alone.
    if (avformat_open_input(&state.format, "", nullptr, nullptr) < 0) {
        return Fail(error, path, "it is not a movie");
    }
    if (avformat_find_stream_info(state.format, nullptr) < 0) {
        return Fail(error, path, "it has no readable streams");
    }
    state.videoIndex = av_find_best_stream(state.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (state.videoIndex < 0) {
        return Fail(error, path, "it has no video stream");
    }
    AVStream *stream = state.format->streams[state.videoIndex];
    const int width = stream->codecpar->width;
    const int height = stream->codecpar->height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return Fail(error, path, "it has no picture of a usable size");
    }
    state.video = OpenDecoder(stream);
    if (state.video == nullptr || state.video->pix_fmt == AV_PIX_FMT_NONE) {
        return Fail(error, path, "it has no decodable video stream");
    }
    state.scaler = sws_getContext(width, height, state.video->pix_fmt, width, height, AV_PIX_FMT_BGR0,
                                  SWS_POINT, nullptr, nullptr, nullptr);
    if (state.scaler == nullptr) {
        return Fail(error, path, "its picture format cannot be converted");
    }
    state.width = static_cast<uint32_t>(width);
    state.height = static_cast<uint32_t>(height);
    state.videoStart = stream->start_time;
    const AVRational rate = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
    if (rate.num > 0 && rate.den > 0) {
        state.frameMs = std::max<int64_t>(1, av_rescale(1000, rate.den, rate.num));
    }
    if (state.format->duration > 0) {
        state.durationMs = av_rescale(state.format->duration, 1000, AV_TIME_BASE);
    }
    if (state.sound != nullptr) {
        OpenSound(state);
    }
    for (unsigned i = 0; i < state.format->nb_streams; ++i) {
        if (static_cast<int>(i) != state.videoIndex && static_cast<int>(i) != state.audioIndex) {
            state.format->streams[i]->discard = AVDISCARD_ALL;
        }
    }
    return true;
}

void CloseMovie(Player::State &state)
{
    // Only what was made is freed: a movie that never opened has not loaded libav.
    if (state.scaler != nullptr) {
        sws_freeContext(state.scaler);
        state.scaler = nullptr;
    }
    swr_free(&state.resampler);
    if (state.video != nullptr) {
        avcodec_free_context(&state.video);
    }
    if (state.audio != nullptr) {
        avcodec_free_context(&state.audio);
    }
    if (state.format != nullptr) {
        avformat_close_input(&state.format);  // leaves our I/O alone (custom I/O)
    }
    if (state.io != nullptr) {
        av_freep(&state.io->buffer);
        avio_context_free(&state.io);
    }
    if (state.file != nullptr) {
        std::fclose(state.file);
        state.file = nullptr;
    }
    state.videoIndex = -1;
    state.audioIndex = -1;
    state.videoStart = AV_NOPTS_VALUE;
    state.frameMs = 40;
    state.durationMs = 0;
}

}  // namespace mov
