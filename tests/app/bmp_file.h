// Plain BMP files for the game's end-to-end tests: reading the 24- and
// 32-bit screenshots the game writes (and the sample data's textures), and
// writing difference images. Written independently of the engine's reader
// so that the tests do not check the engine with itself.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace apptest {

struct Bmp {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bits = 0;
    std::vector<uint8_t> data;
    uint32_t offset = 0;

    uint32_t RowBytes() const { return (static_cast<uint32_t>(width) * bits / 8 + 3) & ~3u; }

    uint32_t Pixel(int32_t x, int32_t y) const  // 0xRRGGBB, y from the top
    {
        const size_t at = offset + size_t(height - 1 - y) * RowBytes() + size_t(x) * bits / 8;
        return (uint32_t{data[at + 2]} << 16) | (uint32_t{data[at + 1]} << 8) | data[at];
    }
};

inline uint32_t Read32(const std::vector<uint8_t> &d, size_t at)
{
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (uint32_t{d[at + 3]} << 24);
}

// True for a bottom-up BMP of 24 or 32 bits whose pixels are all there.
inline bool LoadBmp(const std::string &path, Bmp *bmp)
{
    std::ifstream in(path, std::ios::binary);
    bmp->data.assign(std::istreambuf_iterator<char>(in), {});
    if (bmp->data.size() < 54 || bmp->data[0] != 'B' || bmp->data[1] != 'M') {
        return false;
    }
    bmp->offset = Read32(bmp->data, 10);
    bmp->width = static_cast<int32_t>(Read32(bmp->data, 18));
    bmp->height = static_cast<int32_t>(Read32(bmp->data, 22));
    bmp->bits = static_cast<uint16_t>(bmp->data[28] | (bmp->data[29] << 8));
    if (bmp->width <= 0 || bmp->height <= 0 || (bmp->bits != 24 && bmp->bits != 32)) {
        return false;
    }
    return bmp->offset + size_t(bmp->RowBytes()) * size_t(bmp->height) <= bmp->data.size();
}

// Writes 0xRRGGBB pixels (rows from the top) as a 24-bit BMP.
inline bool WriteBmp(const std::string &path, int32_t width, int32_t height, const std::vector<uint32_t> &pixels)
{
    const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t size = 54 + row * static_cast<uint32_t>(height);
    std::vector<uint8_t> out(size, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out[at + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    out[26] = 1;
    out[28] = 24;
    put32(34, row * static_cast<uint32_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        uint8_t *line = out.data() + 54 + size_t(height - 1 - y) * row;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t p = pixels[size_t(y) * size_t(width) + size_t(x)];
            line[3 * x] = static_cast<uint8_t>(p);
            line[3 * x + 1] = static_cast<uint8_t>(p >> 8);
            line[3 * x + 2] = static_cast<uint8_t>(p >> 16);
        }
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char *>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

}  // namespace apptest
