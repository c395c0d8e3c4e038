// ADPCM WAV encoding: libavcodec's encoders into libavformat's WAV muxer, written to memory.
#include "tools/media/adpcm_wav.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cstring>

#include "platform/libav/libav_entries.h"

namespace media {

namespace {

struct Encoding {
    AVFormatContext *output = nullptr;
    AVCodecContext *codec = nullptr;
    AVFrame *frame = nullptr;
    AVPacket *packet = nullptr;
    ~Encoding()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (output != nullptr) {
            if (output->pb != nullptr) {
                uint8_t *buffer = nullptr;
                avio_close_dyn_buf(output->pb, &buffer);
                av_free(buffer);
            }
            avformat_free_context(output);
        }
    }
};

bool Failed(std::string *error, const char *what)
{
    if (error != nullptr) {
        *error = std::string("ADPCM WAV: ") + what;
    }
    return false;
}

bool Drain(Encoding &e, AVStream *stream)
{
    while (avcodec_receive_packet(e.codec, e.packet) == 0) {
        av_packet_rescale_ts(e.packet, e.codec->time_base, stream->time_base);
        e.packet->stream_index = stream->index;
        if (av_write_frame(e.output, e.packet) < 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool MakeAdpcmWav(Adpcm form, const PcmFormat &format, const std::vector<int16_t> &samples,
                  std::vector<uint8_t> *file, std::string *error)
{
    std::string why;
    if (!libav::Available(&why)) {
        return Failed(error, ("libav cannot be loaded: " + why).c_str());
    }
    const AVCodec *encoder =
        avcodec_find_encoder(form == Adpcm::Ima ? AV_CODEC_ID_ADPCM_IMA_WAV : AV_CODEC_ID_ADPCM_MS);
    Encoding e;
    if (encoder == nullptr || avformat_alloc_output_context2(&e.output, nullptr, "wav", nullptr) < 0) {
        return Failed(error, "no encoder or muxer");
    }
    e.output->flags |= AVFMT_FLAG_BITEXACT;
    AVStream *stream = avformat_new_stream(e.output, nullptr);
    e.codec = avcodec_alloc_context3(encoder);
    if (stream == nullptr || e.codec == nullptr) {
        return Failed(error, "out of memory");
    }
    // The IMA encoder takes planar samples, the Microsoft one interleaved.
    const bool planar = encoder->sample_fmts != nullptr && encoder->sample_fmts[0] == AV_SAMPLE_FMT_S16P;
    e.codec->sample_fmt = planar ? AV_SAMPLE_FMT_S16P : AV_SAMPLE_FMT_S16;
    e.codec->sample_rate = static_cast<int>(format.rate);
    av_channel_layout_default(&e.codec->ch_layout, format.channels);
    e.codec->time_base = AVRational{1, static_cast<int>(format.rate)};
    e.codec->flags |= AV_CODEC_FLAG_BITEXACT;
    if (avcodec_open2(e.codec, encoder, nullptr) < 0 ||
        avcodec_parameters_from_context(stream->codecpar, e.codec) < 0 ||
        avio_open_dyn_buf(&e.output->pb) < 0) {
        return Failed(error, "encoder set-up");
    }
    // The memory buffer seeks, so the muxer goes back and writes the real chunk sizes.
    e.output->pb->seekable = AVIO_SEEKABLE_NORMAL;
    if (avformat_write_header(e.output, nullptr) < 0) {
        return Failed(error, "header");
    }
    e.frame = av_frame_alloc();
    e.packet = av_packet_alloc();
    const int perFrame = e.codec->frame_size;
    const size_t total = samples.size() / format.channels;
    for (size_t at = 0; at < total; at += static_cast<size_t>(perFrame)) {
        av_frame_unref(e.frame);
        e.frame->format = e.codec->sample_fmt;
        e.frame->sample_rate = e.codec->sample_rate;
        e.frame->nb_samples = perFrame;  // the last block is padded with silence
        av_channel_layout_copy(&e.frame->ch_layout, &e.codec->ch_layout);
        if (av_frame_get_buffer(e.frame, 0) < 0) {
            return Failed(error, "out of memory");
        }
        const size_t run = std::min(total - at, static_cast<size_t>(perFrame));
        for (int plane = 0; plane < (planar ? format.channels : 1); ++plane) {
            std::memset(e.frame->data[plane], 0, static_cast<size_t>(perFrame) * (planar ? 1 : format.channels) * 2);
        }
        if (planar) {
            for (size_t i = 0; i < run; ++i) {
                for (int c = 0; c < format.channels; ++c) {
                    reinterpret_cast<int16_t *>(e.frame->data[c])[i] = samples[(at + i) * format.channels + c];
                }
            }
        } else {
            std::memcpy(e.frame->data[0], samples.data() + at * format.channels, run * format.channels * 2);
        }
        e.frame->pts = static_cast<int64_t>(at);
        if (avcodec_send_frame(e.codec, e.frame) < 0 || !Drain(e, stream)) {
            return Failed(error, "encoding");
        }
    }
    if (avcodec_send_frame(e.codec, nullptr) < 0 || !Drain(e, stream) || av_write_trailer(e.output) < 0) {
        return Failed(error, "encoding the end");
    }
    uint8_t *buffer = nullptr;
    const int size = avio_close_dyn_buf(e.output->pb, &buffer);
    e.output->pb = nullptr;
    file->assign(buffer, buffer + std::max(size, 0));
    av_free(buffer);
    return size > 0;
}

}  // namespace media
