// Encoding the test clip: pictures drawn in X8R8G8B8, converted to YUV 4:2:0 and
// encoded as MPEG-4 part 2 at a fine quantiser (flat colours come back within a few
// steps); the tone as 16-bit PCM at 44100 Hz stereo; both muxed into Matroska with the
// bit-exact flags so the same clip always gives the same file.
#include "tools/media/movie_clip.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/libav/libav_entries.h"
#include "tools/media/block_font.h"

namespace media {

namespace {

constexpr int kSoundRate = 44100;
constexpr int kSoundFrame = 1024;

struct Encoder {
    AVFormatContext *output = nullptr;
    AVCodecContext *video = nullptr;
    AVCodecContext *sound = nullptr;
    AVStream *videoStream = nullptr;
    AVStream *soundStream = nullptr;
    SwsContext *scaler = nullptr;
    AVFrame *frame = av_frame_alloc();
    AVPacket *packet = av_packet_alloc();
    ~Encoder()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        sws_freeContext(scaler);
        avcodec_free_context(&video);
        avcodec_free_context(&sound);
        if (output != nullptr) {
            if (output->pb != nullptr) {
                avio_closep(&output->pb);
            }
            avformat_free_context(output);
        }
    }
};

bool Failed(std::string *error, const std::string &what)
{
    if (error != nullptr) {
        *error = "clip: " + what;
    }
    return false;
}

bool Drain(Encoder &e, AVCodecContext *codec, AVStream *stream)
{
    int result;
    while ((result = avcodec_receive_packet(codec, e.packet)) == 0) {
        av_packet_rescale_ts(e.packet, codec->time_base, stream->time_base);
        e.packet->stream_index = stream->index;
        if (av_interleaved_write_frame(e.output, e.packet) < 0) {
            return false;
        }
    }
    return result == AVERROR(EAGAIN) || result == AVERROR_EOF;
}

AVCodecContext *OpenCodec(AVCodecID id, Encoder &e, AVStream **stream, void (*setUp)(AVCodecContext *, const ClipDesc &),
                          const ClipDesc &clip)
{
    const AVCodec *codec = avcodec_find_encoder(id);
    if (codec == nullptr) {
        return nullptr;
    }
    AVCodecContext *context = avcodec_alloc_context3(codec);
    *stream = avformat_new_stream(e.output, nullptr);
    if (context == nullptr || *stream == nullptr) {
        avcodec_free_context(&context);
        return nullptr;
    }
    setUp(context, clip);
    context->flags |= AV_CODEC_FLAG_BITEXACT;
    if (e.output->oformat->flags & AVFMT_GLOBALHEADER) {
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (avcodec_open2(context, codec, nullptr) < 0 ||
        avcodec_parameters_from_context((*stream)->codecpar, context) < 0) {
        avcodec_free_context(&context);
        return nullptr;
    }
    (*stream)->time_base = context->time_base;
    return context;
}

void SetUpVideo(AVCodecContext *c, const ClipDesc &clip)
{
    c->width = clip.width;
    c->height = clip.height;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational{1, clip.fps};
    c->framerate = AVRational{clip.fps, 1};
    c->gop_size = 12;
    c->max_b_frames = 0;
    c->flags |= AV_CODEC_FLAG_QSCALE;
    c->global_quality = FF_QP2LAMBDA * 2;
    c->thread_count = 1;
}

void SetUpSound(AVCodecContext *c, const ClipDesc &)
{
    c->sample_fmt = AV_SAMPLE_FMT_S16;
    c->sample_rate = kSoundRate;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&c->ch_layout, &stereo);
    c->time_base = AVRational{1, kSoundRate};
}

bool EncodePicture(Encoder &e, const ClipDesc &clip, int index, std::vector<uint32_t> &pixels)
{
    DrawClipFrame(clip, index, pixels.data());
    av_frame_unref(e.frame);
    e.frame->format = AV_PIX_FMT_YUV420P;
    e.frame->width = clip.width;
    e.frame->height = clip.height;
    if (av_frame_get_buffer(e.frame, 0) < 0) {
        return false;
    }
    const uint8_t *planes[1] = {reinterpret_cast<const uint8_t *>(pixels.data())};
    const int strides[1] = {clip.width * 4};
    sws_scale(e.scaler, planes, strides, 0, clip.height, e.frame->data, e.frame->linesize);
    e.frame->pts = index;
    return avcodec_send_frame(e.video, e.frame) >= 0 && Drain(e, e.video, e.videoStream);
}

bool EncodeSound(Encoder &e, const ClipDesc &clip, int64_t first, int count)
{
    av_frame_unref(e.frame);
    e.frame->format = AV_SAMPLE_FMT_S16;
    e.frame->sample_rate = kSoundRate;
    e.frame->nb_samples = count;
    av_channel_layout_copy(&e.frame->ch_layout, &e.sound->ch_layout);
    if (av_frame_get_buffer(e.frame, 0) < 0) {
        return false;
    }
    int16_t *samples = reinterpret_cast<int16_t *>(e.frame->data[0]);
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(first + i) / kSoundRate;
        const auto value = static_cast<int16_t>(std::lround(clip.toneAmplitude * std::sin(2.0 * std::numbers::pi * clip.toneHz * t)));
        samples[2 * i] = value;
        samples[2 * i + 1] = value;
    }
    e.frame->pts = first;
    return avcodec_send_frame(e.sound, e.frame) >= 0 && Drain(e, e.sound, e.soundStream);
}

}  // namespace

uint32_t ClipColour(int index)
{
    static constexpr uint32_t kColours[] = {0x00C82828u, 0x0028B428u, 0x002850C8u, 0x00DCC828u};
    return kColours[static_cast<unsigned>(index) % 4u];
}

BlockRect ClipCounterBlock(const ClipDesc &clip, int bit)
{
    const int size = clip.width / 16;
    return BlockRect{clip.width / 8 + (7 - bit) * size * 3 / 2, clip.height - size * 2, size, size};
}

void DrawClipFrame(const ClipDesc &clip, int frame, uint32_t *pixels)
{
    const int segment = static_cast<int>(static_cast<int64_t>(frame) * 1000 / clip.fps / clip.segmentMs);
    const size_t count = static_cast<size_t>(clip.width) * clip.height;
    std::fill(pixels, pixels + count, ClipColour(segment));
    for (int bit = 0; bit < 8; ++bit) {
        const BlockRect block = ClipCounterBlock(clip, bit);
        const uint32_t colour = ((frame >> bit) & 1) != 0 ? 0x00FFFFFFu : 0x00000000u;
        for (int y = block.y; y < block.y + block.height; ++y) {
            std::fill(pixels + y * clip.width + block.x, pixels + y * clip.width + block.x + block.width, colour);
        }
    }
    DrawBlockText(pixels, clip.width, clip.height, clip.width, clip.width / 20, clip.height / 16,
                  std::max(1, clip.width / 160), 0x00FFFFFFu, clip.label);
}

bool WriteClip(const std::string &path, const ClipDesc &clip, std::string *error)
{
    std::string why;
    if (!libav::Available(&why)) {
        return Failed(error, "libav cannot be loaded: " + why);
    }
    Encoder e;
    if (e.frame == nullptr || e.packet == nullptr ||
        avformat_alloc_output_context2(&e.output, nullptr, clip.container.c_str(), path.c_str()) < 0) {
        return Failed(error, "no writer for " + clip.container);
    }
    e.output->flags |= AVFMT_FLAG_BITEXACT;
    e.video = OpenCodec(AV_CODEC_ID_MPEG4, e, &e.videoStream, SetUpVideo, clip);
    if (e.video == nullptr) {
        return Failed(error, "no MPEG-4 encoder");
    }
    if (clip.sound) {
        e.sound = OpenCodec(AV_CODEC_ID_PCM_S16LE, e, &e.soundStream, SetUpSound, clip);
        if (e.sound == nullptr) {
            return Failed(error, "no PCM encoder");
        }
    }
    e.scaler = sws_getContext(clip.width, clip.height, AV_PIX_FMT_BGR0, clip.width, clip.height, AV_PIX_FMT_YUV420P,
                              SWS_POINT, nullptr, nullptr, nullptr);
    if (e.scaler == nullptr || avio_open(&e.output->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 ||
        avformat_write_header(e.output, nullptr) < 0) {
        return Failed(error, "cannot write " + path);
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(clip.width) * clip.height);
    const int frames = static_cast<int>(static_cast<int64_t>(clip.durationMs) * clip.fps / 1000);
    const int64_t soundTotal = static_cast<int64_t>(clip.soundMs > 0 ? clip.soundMs : clip.durationMs) * kSoundRate / 1000;
    int64_t soundDone = 0;
    for (int index = 0; index < frames; ++index) {
        if (!EncodePicture(e, clip, index, pixels)) {
            return Failed(error, "encoding a picture");
        }
        // The sound up to the end of this picture.
        const int64_t soundUntil = std::min(soundTotal, static_cast<int64_t>(index + 1) * kSoundRate / clip.fps);
        while (clip.sound && soundDone < soundUntil) {
            const int count = static_cast<int>(std::min<int64_t>(kSoundFrame, soundUntil - soundDone));
            if (!EncodeSound(e, clip, soundDone, count)) {
                return Failed(error, "encoding the sound");
            }
            soundDone += count;
        }
    }
    if (avcodec_send_frame(e.video, nullptr) < 0 || !Drain(e, e.video, e.videoStream) ||
        (clip.sound && (avcodec_send_frame(e.sound, nullptr) < 0 || !Drain(e, e.sound, e.soundStream))) ||
        av_write_trailer(e.output) < 0) {
        return Failed(error, "finishing " + path);
    }
    return true;
}

}  // namespace media
