// Blue-green-red rows to image colours, four pixels a shuffle on processors with SSSE3.
#include "rtbmprow.h"

#include <cstring>

#include <tmmintrin.h>

namespace {

// The colour of the pixel whose bytes start at `p`: a little-endian word of red, green,
// blue, 255 from the bottom. Reads four bytes (the last one is not used).
inline void ConvertPixel(const RwUInt8 *p, RwRGBA *out)
{
    RwUInt32 bgr;
    std::memcpy(&bgr, p, 4);
    const RwUInt32 word = ((bgr >> 16) & 0xFFu) | (bgr & 0xFF00u) | ((bgr & 0xFFu) << 16) | 0xFF000000u;
    std::memcpy(out, &word, 4);
}

// Pixels from `x` on as far as a 16-byte load stays within the bytes the pixel-by-pixel
// conversion reads; returns where it stopped.
template <RwUInt32 Step>
__attribute__((target("ssse3"))) RwInt32 ShuffleRow(const RwUInt8 *in, RwInt32 width, RwRGBA *out)
{
    // Each colour takes its pixel's red, green and blue bytes; its alpha byte starts zero.
    const __m128i order = _mm_setr_epi8(2, 1, 0, -1, Step + 2, Step + 1, Step, -1, 2 * Step + 2, 2 * Step + 1,
                                        2 * Step, -1, 3 * Step + 2, 3 * Step + 1, 3 * Step, -1);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    // The last byte read, in[Step * x + 15], must be at most in[Step * (width - 1) + 3].
    RwInt32 x = 0;
    for (; Step * static_cast<RwUInt32>(x) + 15 <= Step * static_cast<RwUInt32>(width - 1) + 3; x += 4) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + Step * x));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + x), _mm_or_si128(_mm_shuffle_epi8(bytes, order), opaque));
    }
    return x;
}

bool HasShuffle()
{
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

}  // namespace

void RtBmpBgrRowToColoursByPixel(const RwUInt8 *in, RwUInt32 step, RwInt32 width, RwRGBA *out)
{
    for (RwInt32 x = 0; x < width; ++x) {
        ConvertPixel(in + static_cast<size_t>(step) * x, out + x);
    }
}

void RtBmpBgrRowToColours(const RwUInt8 *in, RwUInt32 step, RwInt32 width, RwRGBA *out)
{
    RwInt32 x = 0;
    if (width > 0 && HasShuffle()) {
        x = step == 3 ? ShuffleRow<3>(in, width, out) : ShuffleRow<4>(in, width, out);
    }
    RtBmpBgrRowToColoursByPixel(in + static_cast<size_t>(step) * x, step, width - x, out + x);
}
