// The bitmap reader's blue-green-red row conversion: the shuffled groups and the pixels
// done one by one give every pixel its red, green and blue bytes and full alpha, for
// every width, and read and write nothing outside the row.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rtbmprow.h"

namespace rtbmprow_test {

namespace {

std::vector<RwUInt8> Bytes(size_t count, uint32_t seed)
{
    std::vector<RwUInt8> bytes(count);
    for (RwUInt8 &b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<RwUInt8>(seed >> 24);
    }
    return bytes;
}

using Converter = void (*)(const RwUInt8 *, RwUInt32, RwInt32, RwRGBA *);

// Converts a row held in exactly the bytes the conversion may read, into colours between
// two guards, and checks every colour and guard.
void ExpectRow(Converter convert, RwUInt32 step, RwInt32 width)
{
    SCOPED_TRACE(testing::Message() << step << " bytes a pixel, " << width << " wide");
    const std::vector<RwUInt8> row = Bytes(width == 0 ? 0 : step * (width - 1) + 4, step * 1000 + width);
    const RwRGBA guard{1, 2, 3, 4};
    std::vector<RwRGBA> out(static_cast<size_t>(width) + 2, guard);
    convert(row.data(), step, width, out.data() + 1);
    EXPECT_EQ(out.front().red, guard.red);
    EXPECT_EQ(out.back().alpha, guard.alpha);
    for (RwInt32 x = 0; x < width; ++x) {
        const RwUInt8 *p = row.data() + step * x;
        const RwRGBA c = out[x + 1];
        ASSERT_TRUE(c.red == p[2] && c.green == p[1] && c.blue == p[0] && c.alpha == 255) << "pixel " << x;
    }
}

}  // namespace

TEST(BmpRow, EveryWidthGivesEachPixelsColours)
{
    for (RwUInt32 step : {3u, 4u}) {
        for (RwInt32 width = 0; width <= 70; ++width) {
            ExpectRow(RtBmpBgrRowToColours, step, width);
            ExpectRow(RtBmpBgrRowToColoursByPixel, step, width);
        }
        for (RwInt32 width : {255, 256, 257, 1023, 1024}) {
            ExpectRow(RtBmpBgrRowToColours, step, width);
        }
    }
}

TEST(BmpRow, ShuffledAndByPixelRowsAreTheSame)
{
    for (RwUInt32 step : {3u, 4u}) {
        const RwInt32 width = 515;
        const std::vector<RwUInt8> row = Bytes(step * width + 1, step);
        std::vector<RwRGBA> shuffled(width), byPixel(width);
        RtBmpBgrRowToColours(row.data(), step, width, shuffled.data());
        RtBmpBgrRowToColoursByPixel(row.data(), step, width, byPixel.data());
        for (RwInt32 x = 0; x < width; ++x) {
            ASSERT_EQ(std::memcmp(&shuffled[x], &byPixel[x], 4), 0) << step << " bytes a pixel, pixel " << x;
        }
    }
}

}  // namespace rtbmprow_test
