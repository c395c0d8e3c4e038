// Helpers of the movie tests: clips written once per test process into a folder of its
// own, and reading a decoded picture's colour and frame counter.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "movie/movie.h"
#include "tools/media/movie_clip.h"

namespace movietest {

inline std::string Folder()
{
    static const std::string folder = [] {
        const std::string path = std::string(RW_TEST_BINARY_DIR) + "/tests/movie/" + std::to_string(getpid());
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

inline media::ClipDesc TestClip()
{
    media::ClipDesc clip;
    clip.label = "TEST.BIK";
    return clip;
}

// Writes the clip under `name` in the process's folder (once) and gives its path.
inline std::string Clip(const std::string &name, const media::ClipDesc &clip = TestClip())
{
    const std::string path = Folder() + "/" + name;
    if (!std::filesystem::exists(path)) {
        std::string error;
        EXPECT_TRUE(media::WriteClip(path, clip, &error)) << error;
    }
    return path;
}

inline std::vector<uint8_t> ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::string WriteBytes(const std::string &name, const std::vector<uint8_t> &bytes)
{
    const std::string path = Folder() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}

struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(uint32_t x, uint32_t y) const { return pixels[y * width + x]; }
};

inline bool Take(mov::Player *player, Picture *picture)
{
    picture->width = player->Width();
    picture->height = player->Height();
    picture->pixels.resize(static_cast<size_t>(picture->width) * picture->height);
    return player->TakeFrame(picture->pixels.data(), picture->width * 4);
}

inline bool Near(uint32_t a, uint32_t b, int tolerance = 12)
{
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

// The frame number the clip's block row shows.
inline int Counter(const Picture &picture, const media::ClipDesc &clip = TestClip())
{
    int value = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const media::BlockRect block = media::ClipCounterBlock(clip, bit);
        const uint32_t p = picture.At(static_cast<uint32_t>(block.x + block.width / 2), static_cast<uint32_t>(block.y + block.height / 2));
        if (((p >> 8) & 0xFF) > 128) {
            value |= 1 << bit;
        }
    }
    return value;
}

inline uint32_t Middle(const Picture &picture) { return picture.At(picture.width / 2, picture.height / 2); }

}  // namespace movietest
