// Texel readers: every sampled format against the colours its bits stand for, the DXT
// block modes on hand-made blocks, and palettised texels through the palette.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/d3d8/swr/swr_texel_fetch.h"

namespace swr_texel_fetch_test {

namespace {

using swr::Rgba8;

Rgba8 Read(D3DFORMAT format, const std::vector<uint8_t> &bytes, uint32_t width, uint32_t pitch, uint32_t x, uint32_t y,
           const PALETTEENTRY *palette = nullptr) {
    const swr::TextureLevel level{width, 4, pitch, bytes.data()};
    const swr::TexelFetch fetch = swr::TexelFetchFor(format);
    EXPECT_NE(fetch, nullptr) << format;
    return fetch ? fetch(level, x, y, palette) : Rgba8{};
}

std::vector<uint8_t> Words16(std::initializer_list<uint16_t> words) {
    std::vector<uint8_t> b(words.size() * 2);
    std::memcpy(b.data(), words.begin(), b.size());
    return b;
}

TEST(TexelFetch, UncompressedFormatsWidenToEightBits) {
    const std::vector<uint8_t> argb{0x44, 0x33, 0x22, 0x11};  // 0x11223344
    EXPECT_EQ(Read(D3DFMT_A8R8G8B8, argb, 1, 4, 0, 0), (Rgba8{0x22, 0x33, 0x44, 0x11}));
    EXPECT_EQ(Read(D3DFMT_X8R8G8B8, argb, 1, 4, 0, 0), (Rgba8{0x22, 0x33, 0x44, 0xFF}));
    EXPECT_EQ(Read(D3DFMT_R8G8B8, {0x10, 0x20, 0x30}, 1, 3, 0, 0), (Rgba8{0x30, 0x20, 0x10, 0xFF}));
    // 5:6:5 with red 16 (-> 132), green 63 (-> 255), blue 1 (-> 8).
    EXPECT_EQ(Read(D3DFMT_R5G6B5, Words16({(16 << 11) | (63 << 5) | 1}), 1, 2, 0, 0), (Rgba8{132, 255, 8, 255}));
    const uint16_t p555 = (31 << 10) | (0 << 5) | 16;
    EXPECT_EQ(Read(D3DFMT_X1R5G5B5, Words16({p555}), 1, 2, 0, 0), (Rgba8{255, 0, 132, 255}));
    EXPECT_EQ(Read(D3DFMT_A1R5G5B5, Words16({p555}), 1, 2, 0, 0), (Rgba8{255, 0, 132, 0}));
    EXPECT_EQ(Read(D3DFMT_A1R5G5B5, Words16({uint16_t(p555 | 0x8000)}), 1, 2, 0, 0), (Rgba8{255, 0, 132, 255}));
    EXPECT_EQ(Read(D3DFMT_A4R4G4B4, Words16({0x8F05}), 1, 2, 0, 0), (Rgba8{255, 0, 85, 136}));
    EXPECT_EQ(Read(D3DFMT_L8, {0x5A}, 1, 1, 0, 0), (Rgba8{0x5A, 0x5A, 0x5A, 255}));
    EXPECT_EQ(Read(D3DFMT_A8L8, {0x5A, 0x80}, 1, 2, 0, 0), (Rgba8{0x5A, 0x5A, 0x5A, 0x80}));
    EXPECT_EQ(Read(D3DFMT_A8, {0x80}, 1, 1, 0, 0), (Rgba8{0, 0, 0, 0x80}));
    EXPECT_EQ(swr::TexelFetchFor(D3DFMT_V8U8), nullptr);
}

TEST(TexelFetch, RowsFollowThePitch) {
    // Two rows of two L8 texels, rows 4 bytes apart.
    const std::vector<uint8_t> bytes{1, 2, 99, 99, 3, 4, 99, 99};
    EXPECT_EQ(Read(D3DFMT_L8, bytes, 2, 4, 1, 0).r, 2);
    EXPECT_EQ(Read(D3DFMT_L8, bytes, 2, 4, 0, 1).r, 3);
}

TEST(TexelFetch, PalettisedTexelsReadThePaletteWithItsAlpha) {
    PALETTEENTRY palette[256] = {};
    palette[7] = PALETTEENTRY{10, 20, 30, 40};
    EXPECT_EQ(Read(D3DFMT_P8, {7}, 1, 1, 0, 0, palette), (Rgba8{10, 20, 30, 40}));
    EXPECT_EQ(Read(D3DFMT_P8, {7}, 1, 1, 0, 0, nullptr), (Rgba8{255, 255, 255, 255}));
}

// A colour half: end points and the 2-bit codes of texels 0..3 (row 0) in order.
std::vector<uint8_t> ColorHalf(uint16_t e0, uint16_t e1, uint8_t row0Codes) {
    std::vector<uint8_t> b(8, 0);
    std::memcpy(b.data(), &e0, 2);
    std::memcpy(b.data() + 2, &e1, 2);
    b[4] = row0Codes;
    return b;
}

constexpr uint16_t kRed565 = 0xF800, kBlue565 = 0x001F;
constexpr uint8_t kCodes0123 = 0b11100100;  // texel i has code i

TEST(TexelFetch, Dxt1FourColourBlock) {
    // First end point above the second: two interpolated colours at 1/3 and 2/3.
    const std::vector<uint8_t> block = ColorHalf(kRed565, kBlue565, kCodes0123);
    EXPECT_EQ(Read(D3DFMT_DXT1, block, 4, 8, 0, 0), (Rgba8{255, 0, 0, 255}));
    EXPECT_EQ(Read(D3DFMT_DXT1, block, 4, 8, 1, 0), (Rgba8{0, 0, 255, 255}));
    EXPECT_EQ(Read(D3DFMT_DXT1, block, 4, 8, 2, 0), (Rgba8{170, 0, 85, 255}));
    EXPECT_EQ(Read(D3DFMT_DXT1, block, 4, 8, 3, 0), (Rgba8{85, 0, 170, 255}));
}

TEST(TexelFetch, Dxt1ThreeColourBlockWithTransparentBlack) {
    // First end point not above the second: the midpoint, and code 3 is transparent.
    const std::vector<uint8_t> block = ColorHalf(kBlue565, kRed565, kCodes0123);
    EXPECT_EQ(Read(D3DFMT_DXT1, block, 4, 8, 0, 0), (Rgba8{0, 0, 255, 255}));
    EXPECT_EQ(Read(D3DFMT_DXT1, block, 4, 8, 1, 0), (Rgba8{255, 0, 0, 255}));
    EXPECT_EQ(Read(D3DFMT_DXT1, block, 4, 8, 2, 0), (Rgba8{128, 0, 128, 255}));
    EXPECT_EQ(Read(D3DFMT_DXT1, block, 4, 8, 3, 0), (Rgba8{0, 0, 0, 0}));
    // Equal end points count as three-colour too.
    const std::vector<uint8_t> equal = ColorHalf(kRed565, kRed565, 0b11000000);
    EXPECT_EQ(Read(D3DFMT_DXT1, equal, 4, 8, 3, 0), (Rgba8{0, 0, 0, 0}));
}

TEST(TexelFetch, Dxt1BlocksAreFoundByRowAndColumn) {
    // Two blocks side by side (8 texels wide); texel (5, 2) is in block 1, index 9.
    std::vector<uint8_t> bytes = ColorHalf(kRed565, kBlue565, 0);
    const std::vector<uint8_t> second = ColorHalf(kRed565, kBlue565, 0);
    bytes.insert(bytes.end(), second.begin(), second.end());
    bytes[8 + 4 + 2] = 0b00000100;  // row 2: texel 1 has code 1
    EXPECT_EQ(Read(D3DFMT_DXT1, bytes, 8, 16, 5, 2), (Rgba8{0, 0, 255, 255}));
    EXPECT_EQ(Read(D3DFMT_DXT1, bytes, 8, 16, 4, 2), (Rgba8{255, 0, 0, 255}));
}

TEST(TexelFetch, Dxt3ExplicitAlphaAndAlwaysFourColours) {
    std::vector<uint8_t> block(16, 0);
    block[0] = 0x10;  // texel 0: 0, texel 1: 1 (-> 17)
    block[1] = 0xF8;  // texel 2: 8 (-> 136), texel 3: 15 (-> 255)
    const std::vector<uint8_t> color = ColorHalf(kBlue565, kRed565, kCodes0123);  // "three-colour" order
    std::copy(color.begin(), color.end(), block.begin() + 8);
    for (D3DFORMAT f : {D3DFMT_DXT2, D3DFMT_DXT3}) {
        EXPECT_EQ(Read(f, block, 4, 16, 0, 0), (Rgba8{0, 0, 255, 0}));
        EXPECT_EQ(Read(f, block, 4, 16, 1, 0), (Rgba8{255, 0, 0, 17}));
        EXPECT_EQ(Read(f, block, 4, 16, 2, 0), (Rgba8{85, 0, 170, 136}));
        EXPECT_EQ(Read(f, block, 4, 16, 3, 0), (Rgba8{170, 0, 85, 255}));  // no transparency outside DXT1
    }
}

// An alpha half for DXT5 with the 3-bit codes of texels 0..7.
std::vector<uint8_t> AlphaHalf(uint8_t a0, uint8_t a1, const uint8_t codes[8]) {
    std::vector<uint8_t> b(8, 0);
    b[0] = a0;
    b[1] = a1;
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= uint64_t{codes[i]} << (3 * i);
    std::memcpy(b.data() + 2, &bits, 6);
    return b;
}

TEST(TexelFetch, Dxt5InterpolatedAlphaInBothModes) {
    const uint8_t codes[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    for (D3DFORMAT f : {D3DFMT_DXT4, D3DFMT_DXT5}) {
        // First end point above the second: six steps between them.
        std::vector<uint8_t> block = AlphaHalf(255, 0, codes);
        block.resize(16, 0);
        const uint8_t eight[8] = {255, 0, 219, 182, 146, 109, 73, 36};
        for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(Read(f, block, 4, 16, i % 4, i / 4).a, eight[i]) << i;
        // Otherwise four steps, then 0 and 255.
        block = AlphaHalf(0, 255, codes);
        block.resize(16, 0);
        const uint8_t six[8] = {0, 255, 51, 102, 153, 204, 0, 255};
        for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(Read(f, block, 4, 16, i % 4, i / 4).a, six[i]) << i;
    }
}

}  // namespace

}  // namespace swr_texel_fetch_test
