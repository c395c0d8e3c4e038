// The maker's sounds and movies read back through the game's own sound and movie code:
// every interface sound and music file decodes at its pitch, and every movie plays with
// the clip's colour, counter and label.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "movie/movie.h"
#include "sound/sound.h"
#include "support/engine/scratch_path.h"
#include "tools/media/movie_clip.h"
#include "tools/mkdata/media_files.h"

namespace media_files_test {

namespace {

namespace fs = std::filesystem;

class MakerMedia : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root = rwtest::ScratchPath("media_tree");
        fs::remove_all(root);
        written = mkdata::WriteMediaFiles(root);
    }
    static std::vector<int16_t> Decode(const fs::path &path)
    {
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<int16_t> frames;
        std::string error;
        EXPECT_TRUE(snd::DecodeWav(bytes.data(), bytes.size(), &frames, &error)) << path << ": " << error;
        return frames;
    }
    // Periods per second of the left channel between its first and last rise through
    // +-1000, so silence around the tone (fades, a padded last block) does not count.
    static double Pitch(const std::vector<int16_t> &frames)
    {
        int rises = 0;
        size_t first = 0;
        size_t last = 0;
        bool low = false;
        for (size_t i = 0; i < frames.size(); i += 2) {
            if (frames[i] < -1000) {
                low = true;
            } else if (low && frames[i] > 1000) {
                low = false;
                (rises++ == 0 ? first : last) = i / 2;
            }
        }
        return rises < 2 ? 0.0 : (rises - 1) * static_cast<double>(snd::kDeviceRate) / static_cast<double>(last - first);
    }
    static inline std::string root;
    static inline bool written = false;
};

TEST_F(MakerMedia, InterfaceSoundsDecodeAtTheirOwnPitches)
{
    ASSERT_TRUE(written);
    for (int i = 0; i < 25; ++i) {
        const std::vector<int16_t> frames = Decode(fs::path(root) / "RESOURCE/MEDIA/SFX" / (std::to_string(6600000 + 10 * i) + ".WAV"));
        SCOPED_TRACE(i);
        // 150 ms; the ADPCM ones pad their last block with silence.
        EXPECT_GE(frames.size() / 2.0, snd::kDeviceRate * 0.149);
        EXPECT_LE(frames.size() / 2.0, snd::kDeviceRate * 0.2);
        // Neighbours lie a semitone (6 %) apart.
        EXPECT_NEAR(Pitch(frames) / mkdata::InterfaceSoundPitch(i), 1.0, 0.015);
    }
    for (const std::string &name : mkdata::InterfaceMusicNames()) {
        const std::vector<int16_t> frames = Decode(fs::path(root) / "RESOURCE/MEDIA/BGM" / name);
        EXPECT_EQ(frames.size(), 2u * 2 * snd::kDeviceRate) << name;
        // Whole periods: from the last sample into the first is the same step as from
        // the first into the second, so the loop has no seam.
        const int wrapStep = frames[0] - frames[frames.size() - 2];
        const int firstStep = frames[2] - frames[0];
        EXPECT_LE(std::abs(wrapStep - firstStep), 4) << name;
    }
}

TEST_F(MakerMedia, EveryMovieIsTheLabelledClip)
{
    ASSERT_TRUE(written);
    std::vector<fs::path> movies = {fs::path(root) / "ENGUIMV/TEST.BIK"};
    for (const char *folder : {"ENGUIMV", "CHIUIMV"}) {
        for (const std::string &name : mkdata::InterfaceMovieNames()) {
            movies.push_back(fs::path(root) / folder / name);
        }
    }
    const media::ClipDesc clip;
    for (const fs::path &movie : movies) {
        mov::Player player;
        mov::PlayOptions options;
        options.externalClock = true;
        std::string error;
        ASSERT_TRUE(player.Play(movie.string(), options, &error)) << error;
        player.SetClock(1250);
        player.Advance();
        std::vector<uint32_t> pixels(320 * 240);
        ASSERT_TRUE(player.TakeFrame(pixels.data(), 320 * 4)) << movie;
        const uint32_t middle = pixels[120 * 320 + 160];
        const uint32_t expected = media::ClipColour(2);
        for (int shift = 0; shift < 24; shift += 8) {
            EXPECT_NEAR(static_cast<int>((middle >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 12) << movie;
        }
        // The label's white dots stand in the top left corner.
        int white = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 320; ++x) {
                white += (pixels[y * 320 + x] & 0xFF) > 200 && ((pixels[y * 320 + x] >> 16) & 0xFF) > 200;
            }
        }
        EXPECT_GT(white, 200) << movie;
        player.SetClock(2000);
        player.Advance();
        EXPECT_FALSE(player.IsPlaying()) << movie;
    }
}

}  // namespace

}  // namespace media_files_test
