// The entry points of libavformat, libavcodec and libswscale that the movie player
// and the media writers call, loaded on first use. Linked directly, those three pull in
// over a hundred shared libraries (every codec and protocol libav was built with), which
// cost every process 30 ms to map and relocate at start, though most runs never open a
// movie. Each entry here has the library's own declaration, so the compiler checks it,
// and forwards to the library's function, found once. libavutil and libswresample (the
// sound's resampler) are small and stay linked.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/version.h>
#include <libavformat/avformat.h>
#include <libavformat/version.h>
#include <libswscale/swscale.h>
#include <libswscale/version.h>
}

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "libav_entries.h"

namespace libav {

namespace {

struct Library {
    const char *file;
    std::once_flag once;
    void *handle = nullptr;
    std::string error;
};

Library gCodec{"libavcodec.so." AV_STRINGIFY(LIBAVCODEC_VERSION_MAJOR), {}, nullptr, {}};
Library gFormat{"libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR), {}, nullptr, {}};
Library gScale{"libswscale.so." AV_STRINGIFY(LIBSWSCALE_VERSION_MAJOR), {}, nullptr, {}};

bool Open(Library &library, std::string *why)
{
    std::call_once(library.once, [&library] {
        library.handle = dlopen(library.file, RTLD_NOW | RTLD_LOCAL);
        if (library.handle == nullptr) {
            const char *error = dlerror();
            library.error = error != nullptr ? error : library.file;
        }
    });
    if (library.handle == nullptr && why != nullptr) {
        *why = library.error;
    }
    return library.handle != nullptr;
}

// The function `name` of `library`. Callers made sure with Available() that the
// libraries load, so a library or function missing here is a broken installation.
void *Entry(Library &library, const char *name)
{
    std::string why;
    if (!Open(library, &why)) {
        std::fprintf(stderr, "libav: %s\n", why.c_str());
        std::abort();
    }
    void *entry = dlsym(library.handle, name);
    if (entry == nullptr) {
        std::fprintf(stderr, "libav: %s has no %s\n", library.file, name);
        std::abort();
    }
    return entry;
}

}  // namespace

bool Available(std::string *why)
{
    return Open(gCodec, why) && Open(gFormat, why) && Open(gScale, why);
}

}  // namespace libav

// Defines `name` with the library's parameters `params`, passing `args` on.
#define RW_LIBAV_ENTRY(library, result, name, params, args)                                              \
    extern "C" result name params                                                                       \
    {                                                                                                   \
        static const auto entry = reinterpret_cast<decltype(&name)>(libav::Entry(libav::library, #name)); \
        return entry args;                                                                              \
    }

// libavcodec
RW_LIBAV_ENTRY(gCodec, const AVCodec *, avcodec_find_decoder, (enum AVCodecID id), (id))
RW_LIBAV_ENTRY(gCodec, const AVCodec *, avcodec_find_encoder, (enum AVCodecID id), (id))
RW_LIBAV_ENTRY(gCodec, AVCodecContext *, avcodec_alloc_context3, (const AVCodec *codec), (codec))
RW_LIBAV_ENTRY(gCodec, void, avcodec_free_context, (AVCodecContext * *context), (context))
RW_LIBAV_ENTRY(gCodec, int, avcodec_open2, (AVCodecContext * context, const AVCodec *codec, AVDictionary **options),
               (context, codec, options))
RW_LIBAV_ENTRY(gCodec, int, avcodec_parameters_to_context,
               (AVCodecContext * context, const AVCodecParameters *parameters), (context, parameters))
RW_LIBAV_ENTRY(gCodec, int, avcodec_parameters_from_context,
               (AVCodecParameters * parameters, const AVCodecContext *context), (parameters, context))
RW_LIBAV_ENTRY(gCodec, int, avcodec_send_packet, (AVCodecContext * context, const AVPacket *packet),
               (context, packet))
RW_LIBAV_ENTRY(gCodec, int, avcodec_receive_frame, (AVCodecContext * context, AVFrame *frame), (context, frame))
RW_LIBAV_ENTRY(gCodec, int, avcodec_send_frame, (AVCodecContext * context, const AVFrame *frame), (context, frame))
RW_LIBAV_ENTRY(gCodec, int, avcodec_receive_packet, (AVCodecContext * context, AVPacket *packet), (context, packet))
RW_LIBAV_ENTRY(gCodec, AVPacket *, av_packet_alloc, (void), ())
RW_LIBAV_ENTRY(gCodec, AVPacket *, av_packet_clone, (const AVPacket *packet), (packet))
RW_LIBAV_ENTRY(gCodec, void, av_packet_free, (AVPacket * *packet), (packet))
RW_LIBAV_ENTRY(gCodec, void, av_packet_unref, (AVPacket * packet), (packet))
RW_LIBAV_ENTRY(gCodec, void, av_packet_rescale_ts, (AVPacket * packet, AVRational from, AVRational to),
               (packet, from, to))

// libavformat
RW_LIBAV_ENTRY(gFormat, AVFormatContext *, avformat_alloc_context, (void), ())
RW_LIBAV_ENTRY(gFormat, int, avformat_alloc_output_context2,
               (AVFormatContext * *context, const AVOutputFormat *format, const char *formatName, const char *fileName),
               (context, format, formatName, fileName))
RW_LIBAV_ENTRY(gFormat, void, avformat_free_context, (AVFormatContext * context), (context))
RW_LIBAV_ENTRY(gFormat, int, avformat_open_input,
               (AVFormatContext * *context, const char *url, const AVInputFormat *format, AVDictionary **options),
               (context, url, format, options))
RW_LIBAV_ENTRY(gFormat, void, avformat_close_input, (AVFormatContext * *context), (context))
RW_LIBAV_ENTRY(gFormat, int, avformat_find_stream_info, (AVFormatContext * context, AVDictionary **options),
               (context, options))
RW_LIBAV_ENTRY(gFormat, int, av_find_best_stream,
               (AVFormatContext * context, enum AVMediaType type, int wanted, int related, const AVCodec **decoder,
                int flags),
               (context, type, wanted, related, decoder, flags))
RW_LIBAV_ENTRY(gFormat, int, av_read_frame, (AVFormatContext * context, AVPacket *packet), (context, packet))
RW_LIBAV_ENTRY(gFormat, AVStream *, avformat_new_stream, (AVFormatContext * context, const AVCodec *codec),
               (context, codec))
RW_LIBAV_ENTRY(gFormat, int, avformat_write_header, (AVFormatContext * context, AVDictionary **options),
               (context, options))
RW_LIBAV_ENTRY(gFormat, int, av_write_frame, (AVFormatContext * context, AVPacket *packet), (context, packet))
RW_LIBAV_ENTRY(gFormat, int, av_interleaved_write_frame, (AVFormatContext * context, AVPacket *packet),
               (context, packet))
RW_LIBAV_ENTRY(gFormat, int, av_write_trailer, (AVFormatContext * context), (context))
RW_LIBAV_ENTRY(gFormat, AVIOContext *, avio_alloc_context,
               (unsigned char *buffer, int size, int writeFlag, void *opaque,
                int (*read)(void *opaque, uint8_t *buffer, int size),
                int (*write)(void *opaque, uint8_t *buffer, int size),
                int64_t (*seek)(void *opaque, int64_t offset, int whence)),
               (buffer, size, writeFlag, opaque, read, write, seek))
RW_LIBAV_ENTRY(gFormat, void, avio_context_free, (AVIOContext * *context), (context))
RW_LIBAV_ENTRY(gFormat, int, avio_open, (AVIOContext * *context, const char *url, int flags), (context, url, flags))
RW_LIBAV_ENTRY(gFormat, int, avio_closep, (AVIOContext * *context), (context))
RW_LIBAV_ENTRY(gFormat, int, avio_open_dyn_buf, (AVIOContext * *context), (context))
RW_LIBAV_ENTRY(gFormat, int, avio_close_dyn_buf, (AVIOContext * context, uint8_t **buffer), (context, buffer))

// libswscale
RW_LIBAV_ENTRY(gScale, struct SwsContext *, sws_getContext,
               (int fromWidth, int fromHeight, enum AVPixelFormat fromFormat, int toWidth, int toHeight,
                enum AVPixelFormat toFormat, int flags, SwsFilter *fromFilter, SwsFilter *toFilter,
                const double *param),
               (fromWidth, fromHeight, fromFormat, toWidth, toHeight, toFormat, flags, fromFilter, toFilter, param))
RW_LIBAV_ENTRY(gScale, void, sws_freeContext, (struct SwsContext * context), (context))
RW_LIBAV_ENTRY(gScale, int, sws_scale,
               (struct SwsContext * context, const uint8_t *const from[], const int fromStride[], int fromY,
                int fromHeight, uint8_t *const to[], const int toStride[]),
               (context, from, fromStride, fromY, fromHeight, to, toStride))
