// Screenshots as uncompressed 24-bit BMP files: bottom-up rows padded to
// four bytes, written field by field in little-endian order.
#include "app/bmpwriter.h"

#include <cstdio>
#include <vector>

namespace game {

namespace {

void Put16(std::vector<uint8_t> *out, uint32_t value)
{
    out->push_back(static_cast<uint8_t>(value));
    out->push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t> *out, uint32_t value)
{
    Put16(out, value & 0xFFFFu);
    Put16(out, value >> 16);
}

}  // namespace

bool WriteFrameBmp(const win::Frame &frame, const std::string &path)
{
    if (frame.width == 0 || frame.height == 0 || frame.pixels.size() < size_t(frame.width) * frame.height) {
        return false;
    }
    const uint32_t rowBytes = (frame.width * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * frame.height;
    std::vector<uint8_t> file;
    file.reserve(54 + imageBytes);
    file.push_back('B');
    file.push_back('M');
    Put32(&file, 54 + imageBytes);
    Put32(&file, 0);
    Put32(&file, 54);
    Put32(&file, 40);
    Put32(&file, frame.width);
    Put32(&file, frame.height);
    Put16(&file, 1);
    Put16(&file, 24);
    Put32(&file, 0);
    Put32(&file, imageBytes);
    Put32(&file, 2835);
    Put32(&file, 2835);
    Put32(&file, 0);
    Put32(&file, 0);
    for (uint32_t row = frame.height; row-- > 0;) {
        const size_t start = file.size();
        for (uint32_t x = 0; x < frame.width; ++x) {
            const uint32_t pixel = frame.At(x, row);
            file.push_back(static_cast<uint8_t>(pixel));
            file.push_back(static_cast<uint8_t>(pixel >> 8));
            file.push_back(static_cast<uint8_t>(pixel >> 16));
        }
        file.resize(start + rowBytes, 0);
    }
    std::FILE *out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace game
