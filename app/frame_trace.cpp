// The shown frames' checksums in the trace (see frame_trace.h).
#include "app/frame_trace.h"

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <thread>

#include "app/trace.h"
#include "rwd3d8.h"

namespace game {

namespace {

std::atomic<uint32_t> g_every{0};
std::thread::id g_framesThread;

// One step of the checksum: each step is a bijection of the state, so one
// changed word never cancels out.
inline uint64_t Mix(uint64_t h, uint64_t word)
{
    h ^= word;
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 32);
}

}  // namespace

void TraceAskFrames(uint32_t every)
{
    g_framesThread = std::this_thread::get_id();
    g_every.store(every);
}

bool TraceFramesOn()
{
    const uint32_t every = g_every.load();
    return every != 0 && TraceOn() && TraceTick() % every == 0;
}

uint64_t FrameChecksum(const uint8_t *bits, uint32_t rowBytes, uint32_t height, uint32_t pitch,
                       bool ignoreTopBytes)
{
    const uint64_t mask = ignoreTopBytes ? 0x00FFFFFF00FFFFFFull : ~0ull;
    uint64_t h = Mix(0, (uint64_t{rowBytes} << 32) | height);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t *row = bits + static_cast<size_t>(y) * pitch;
        uint32_t x = 0;
        for (; x + 8 <= rowBytes; x += 8) {
            uint64_t word;
            std::memcpy(&word, row + x, 8);
            h = Mix(h, word & mask);
        }
        if (x < rowBytes) {
            uint64_t word = 0;
            std::memcpy(&word, row + x, rowBytes - x);
            h = Mix(h, word & mask);
        }
    }
    return h;
}

void TraceShownFrame()
{
    if (!TraceFramesOn() || std::this_thread::get_id() != g_framesThread) {
        return;
    }
    IDirect3DDevice8 *device = RwD3D8GetCurrentD3DDevice();
    IDirect3DSurface8 *backBuffer = nullptr;
    if (device == nullptr || FAILED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
        return;
    }
    D3DSURFACE_DESC desc;
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(backBuffer->GetDesc(&desc)) &&
        SUCCEEDED(backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        const bool wide = desc.Format == D3DFMT_A8R8G8B8 || desc.Format == D3DFMT_X8R8G8B8;
        const uint32_t rowBytes = desc.Width * (wide ? 4u : 2u);
        const uint64_t sum = FrameChecksum(static_cast<const uint8_t *>(locked.pBits), rowBytes, desc.Height,
                                           static_cast<uint32_t>(locked.Pitch), wide);
        backBuffer->UnlockRect();
        char word[20];
        std::snprintf(word, sizeof(word), "%016" PRIx64, sum);
        TraceLine("frame").Word(word);
    }
    backBuffer->Release();
}

}  // namespace game
