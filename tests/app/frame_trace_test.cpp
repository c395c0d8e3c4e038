// The frame lines of the trace: the checksum sees every colour byte of every
// pixel and nothing else, and a line is written for the back buffer as it is
// about to be shown, on the asked ticks of the asking thread only.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/app_test_support.h"
#include "app/frame_trace.h"
#include "app/trace.h"
#include "rwd3d8.h"
#include "support/engine/scratch_path.h"

namespace frame_trace_test {

namespace {

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Hex(uint64_t sum)
{
    char word[20];
    std::snprintf(word, sizeof(word), "%016" PRIx64, sum);
    return word;
}

// Three 32-bit pixels a row (an odd count: the last one is a row's tail),
// two rows 16 bytes apart, 4 bytes of padding after each row.
TEST(FrameChecksum, EveryColourByteCountsAndNeitherAlphaNorPaddingDoes)
{
    std::vector<uint8_t> picture(32);
    for (size_t i = 0; i < picture.size(); ++i) {
        picture[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    const uint64_t plain = game::FrameChecksum(picture.data(), 12, 2, 16, true);
    // The sums are what kept frame logs hold: the same picture sums the same
    // in every build, or every kept log would be void.
    EXPECT_EQ(Hex(plain), "c0ea8d6bf2be64d5");
    EXPECT_EQ(Hex(game::FrameChecksum(picture.data(), 8, 2, 16, true)), "85683df084c94c84");  // rows of whole words
    for (size_t row = 0; row < 2; ++row) {
        for (size_t byte = 0; byte < 16; ++byte) {
            std::vector<uint8_t> changed = picture;
            changed[row * 16 + byte] ^= 0x01;
            const uint64_t sum = game::FrameChecksum(changed.data(), 12, 2, 16, true);
            if (byte >= 12 || byte % 4 == 3) {
                EXPECT_EQ(sum, plain) << "row " << row << " byte " << byte << " is alpha or padding";
            } else {
                EXPECT_NE(sum, plain) << "row " << row << " byte " << byte;
            }
            // 16-bit pixels have no alpha byte to leave out: every byte counts.
            const bool padding = byte >= 12;
            EXPECT_EQ(game::FrameChecksum(changed.data(), 12, 2, 16, false) ==
                          game::FrameChecksum(picture.data(), 12, 2, 16, false),
                      padding)
                << "row " << row << " byte " << byte;
        }
    }
    // Two pixels swapped, or the same bytes in another shape, are another picture.
    std::vector<uint8_t> swapped = picture;
    std::swap_ranges(swapped.begin(), swapped.begin() + 4, swapped.begin() + 4);
    EXPECT_NE(game::FrameChecksum(swapped.data(), 12, 2, 16, true), plain);
    const std::vector<uint8_t> black(32, 0);
    EXPECT_NE(game::FrameChecksum(black.data(), 12, 2, 16, true), game::FrameChecksum(black.data(), 12, 1, 16, true));
    EXPECT_NE(game::FrameChecksum(black.data(), 12, 2, 16, true), game::FrameChecksum(black.data(), 8, 2, 16, true));
}

class FrameLines : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        StartIn(rwtest::ScratchPath("frame_lines"), 64, 48);
        device = RwD3D8GetCurrentD3DDevice();
        ASSERT_NE(device, nullptr);
        path = rwtest::ScratchPath("frame_lines.txt");
        ASSERT_TRUE(game::TraceOpen(path, nullptr));
    }
    void TearDown() override
    {
        game::TraceAskFrames(0);
        game::TraceClose();
        std::remove(path.c_str());
        apptest::GameEngineTest::TearDown();
    }
    // The back buffer filled with `argb`, with the pixel (x, y) set to `odd`.
    void Fill(uint32_t argb, int x, int y, uint32_t odd)
    {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, argb, 1.0f, 0), D3D_OK);
        IDirect3DSurface8 *back = nullptr;
        ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(back->LockRect(&locked, nullptr, 0), D3D_OK);
        std::memcpy(static_cast<uint8_t *>(locked.pBits) + y * locked.Pitch + x * 4, &odd, 4);
        back->UnlockRect();
        back->Release();
    }
    // The checksum of a 64 x 48 picture of `argb` with (x, y) `odd`.
    static uint64_t Expected(uint32_t argb, int x, int y, uint32_t odd)
    {
        std::vector<uint32_t> pixels(64 * 48, argb);
        pixels[static_cast<size_t>(y * 64 + x)] = odd;
        return game::FrameChecksum(reinterpret_cast<const uint8_t *>(pixels.data()), 64 * 4, 48, 64 * 4, true);
    }

    IDirect3DDevice8 *device = nullptr;
    std::string path;
};

TEST_F(FrameLines, TheShownBackBufferOnEveryAskedTickOfTheAskingThread)
{
    game::TraceAskFrames(2);
    game::TraceSetTick(2);
    Fill(0xFF336699u, 0, 0, 0xFF336699u);
    game::TraceShownFrame();
    // One pixel at the far corner changed; its alpha alone is not seen.
    Fill(0xFF336699u, 63, 47, 0xFF336698u);
    game::TraceShownFrame();
    Fill(0xFF336699u, 63, 47, 0x00336699u);
    game::TraceShownFrame();
    game::TraceSetTick(3);  // not asked for
    game::TraceShownFrame();
    game::TraceSetTick(4);
    std::thread([] { game::TraceShownFrame(); }).join();  // another thread's drawing
    game::TraceAskFrames(0);
    game::TraceShownFrame();
    game::TraceClose();
    const std::string plain = Hex(Expected(0xFF336699u, 0, 0, 0xFF336699u));
    const std::string corner = Hex(Expected(0xFF336699u, 63, 47, 0xFF336698u));
    EXPECT_NE(plain, corner);
    EXPECT_EQ(ReadAll(path), "2 frame " + plain + "\n2 frame " + corner + "\n2 frame " + plain + "\n");
}

}  // namespace

}  // namespace frame_trace_test
