// Queued drawing through the device: one scripted frame that interleaves draws with
// everything that must see them drawn, or must not be seen by them: texture and vertex
// buffer writes through locks, a draw while a texture is locked, palette and pixel
// shader constant changes, a render-target texture drawn into and then drawn with, a
// depth clear, read-backs of the back buffer (a lock and a rectangle copy), a texture
// released right after its draw, a deleted pixel shader, the present and the front
// buffer. Every read-back and the final frame must be those of drawing each call at
// once, on any thread count.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "device_shader_quads.h"
#include "platform/d3d8/swr/swr_draw_queue.h"
#include "support/platform/d3d8_harness.h"

namespace device_draw_queue_test {

namespace {

using devicetest::kMadShader;
using Vertex = devicetest::TexVertex;
constexpr DWORD kFvf = devicetest::kTexFvf;
constexpr uint32_t kTriangles = 40;

class Random {
public:
    explicit Random(uint32_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    float Uniform(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(Next() & 0xFFFF) / 65536.0f; }

private:
    uint32_t state_;
};

class DeviceDrawQueueTest : public rwtest::DeviceTest {
protected:
    DeviceDrawQueueTest() {
        width = 160;
        height = 120;
        profile.pixelShaderVersion = D3DPS_VERSION(1, 1);
    }

    std::vector<Vertex> Triangles(Random &rng, uint32_t count, float w, float h) {
        std::vector<Vertex> v;
        for (uint32_t i = 0; i < 3 * count; ++i) {
            v.push_back(Vertex{rng.Uniform(-8, w + 8), rng.Uniform(-8, h + 8), rng.Uniform(0, 1), 1, rng.Next() | 0x40000000u,
                               rng.Uniform(-1, 2), rng.Uniform(-1, 2)});
        }
        return v;
    }
    void DrawUp(Random &rng, float w = 160, float h = 120) {
        const std::vector<Vertex> v = Triangles(rng, kTriangles, w, h);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, kTriangles, v.data(), sizeof(Vertex)), D3D_OK);
    }
    static void Fill(IDirect3DSurface8 *surface, Random &rng, uint32_t bytes) {
        D3DLOCKED_RECT locked;
        ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
        for (uint32_t i = 0; i < bytes; ++i) static_cast<uint8_t *>(locked.pBits)[i] = static_cast<uint8_t>(rng.Next());
        surface->UnlockRect();
    }
    // Every pixel of a 32-bit surface, read through a lock.
    static void Read(IDirect3DSurface8 *surface, std::vector<uint32_t> &log) {
        D3DSURFACE_DESC desc;
        surface->GetDesc(&desc);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        for (uint32_t y = 0; y < desc.Height; ++y) {
            const auto *row = reinterpret_cast<const uint32_t *>(static_cast<const uint8_t *>(locked.pBits) + y * locked.Pitch);
            log.insert(log.end(), row, row + desc.Width);
        }
        surface->UnlockRect();
    }
    void Modulate() {
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    }

    // The frame; returns every read-back in order.
    std::vector<uint32_t> Frame() {
        std::vector<uint32_t> log;
        Random rng(7);
        IDirect3DTexture8 *argb = nullptr, *p8 = nullptr, *target = nullptr;
        IDirect3DSurface8 *back = nullptr, *backDepth = nullptr, *targetLevel = nullptr, *targetDepth = nullptr,
                          *argbLevel = nullptr, *p8Level = nullptr, *copy = nullptr, *front = nullptr;
        IDirect3DVertexBuffer8 *buffer = nullptr;
        EXPECT_EQ(device->CreateTexture(32, 32, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &argb), D3D_OK);
        EXPECT_EQ(device->CreateTexture(16, 16, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &p8), D3D_OK);
        EXPECT_EQ(device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target),
                  D3D_OK);
        EXPECT_EQ(device->CreateDepthStencilSurface(64, 64, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, &targetDepth), D3D_OK);
        EXPECT_EQ(device->CreateImageSurface(160, 120, D3DFMT_X8R8G8B8, &copy), D3D_OK);
        EXPECT_EQ(device->CreateImageSurface(160, 120, D3DFMT_A8R8G8B8, &front), D3D_OK);
        EXPECT_EQ(device->CreateVertexBuffer(3 * kTriangles * sizeof(Vertex), 0, kFvf, D3DPOOL_MANAGED, &buffer), D3D_OK);
        argb->GetSurfaceLevel(0, &argbLevel);
        p8->GetSurfaceLevel(0, &p8Level);
        target->GetSurfaceLevel(0, &targetLevel);
        device->GetRenderTarget(&back);
        device->GetDepthStencilSurface(&backDepth);
        Fill(argbLevel, rng, 32 * 32 * 4);
        IDirect3DSurface8 *small = nullptr;
        argb->GetSurfaceLevel(1, &small);
        Fill(small, rng, 16 * 16 * 4);
        small->Release();
        Fill(p8Level, rng, 16 * 16);
        PALETTEENTRY palette[256];
        for (PALETTEENTRY &e : palette) e = PALETTEENTRY{uint8_t(rng.Next()), uint8_t(rng.Next()), uint8_t(rng.Next()), 255};
        device->SetPaletteEntries(1, palette);
        device->SetPaletteEntries(2, palette);
        auto fillBuffer = [&] {
            const std::vector<Vertex> v = Triangles(rng, kTriangles, 160, 120);
            BYTE *bytes = nullptr;
            ASSERT_EQ(buffer->Lock(0, 0, &bytes, 0), D3D_OK);
            std::memcpy(bytes, v.data(), v.size() * sizeof(Vertex));
            buffer->Unlock();
        };
        fillBuffer();

        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetVertexShader(kFvf);
        Modulate();
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF303030u, 1.0f, 0);

        // Textured draws from the vertex buffer; the texture and then the buffer are
        // written between them.
        device->SetTexture(0, argb);
        device->SetStreamSource(0, buffer, sizeof(Vertex));
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, kTriangles);
        Fill(argbLevel, rng, 32 * 4 * 8);
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, kTriangles);
        fillBuffer();
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, kTriangles);
        // A draw while the texture is locked reads it as it is then.
        D3DLOCKED_RECT locked;
        EXPECT_EQ(argbLevel->LockRect(&locked, nullptr, 0), D3D_OK);
        DrawUp(rng);
        std::memset(locked.pBits, 0xC0, 32 * 4 * 4);
        argbLevel->UnlockRect();
        DrawUp(rng);

        // The palettised texture, its palette changed in place and then another chosen.
        device->SetTexture(0, p8);
        device->SetCurrentTexturePalette(1);
        DrawUp(rng);
        palette[7] = PALETTEENTRY{255, 0, 255, 255};
        for (uint32_t i = 0; i < 256; i += 3) palette[i].peRed ^= 0x55;
        device->SetPaletteEntries(1, palette);
        DrawUp(rng);
        device->SetCurrentTexturePalette(2);
        DrawUp(rng);
        Read(back, log);  // mid-frame read-back through a lock

        // Into the texture, which the back buffer then shows.
        device->SetRenderTarget(targetLevel, targetDepth);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102040u, 1.0f, 0);
        device->SetTexture(0, argb);
        DrawUp(rng, 64, 64);
        DrawUp(rng, 64, 64);
        device->SetRenderTarget(back, backDepth);
        device->SetTexture(0, target);
        DrawUp(rng);
        device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0);
        DrawUp(rng);
        EXPECT_EQ(device->CopyRects(back, nullptr, 0, copy, nullptr), D3D_OK);
        Read(copy, log);

        // A texture released as soon as it was drawn with.
        IDirect3DTexture8 *brief = nullptr;
        EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &brief), D3D_OK);
        IDirect3DSurface8 *briefLevel = nullptr;
        brief->GetSurfaceLevel(0, &briefLevel);
        Fill(briefLevel, rng, 8 * 8 * 2);
        briefLevel->Release();
        device->SetTexture(0, brief);
        DrawUp(rng);
        device->SetTexture(0, nullptr);
        brief->Release();
        DrawUp(rng);

        // A pixel shader whose constant changes between draws, deleted after them.
        DWORD shader = 0;
        EXPECT_EQ(device->CreatePixelShader(kMadShader, &shader), D3D_OK);
        device->SetPixelShader(shader);
        device->SetTexture(0, argb);
        for (int k = 0; k < 3; ++k) {
            const float c0[4] = {0.2f * float(k + 1), 0.5f, 0.3f * float(k), 0.6f};
            device->SetPixelShaderConstant(0, c0, 1);
            DrawUp(rng);
        }
        device->SetPixelShader(0);
        device->DeletePixelShader(shader);
        DrawUp(rng);

        EXPECT_EQ(device->EndScene(), D3D_OK);
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        Read(back, log);
        EXPECT_EQ(device->GetFrontBuffer(front), D3D_OK);
        Read(front, log);

        device->SetTexture(0, nullptr);
        device->SetStreamSource(0, nullptr, 0);
        for (IUnknown *object : std::initializer_list<IUnknown *>{argbLevel, p8Level, targetLevel, targetDepth, back, backDepth,
                                                                  copy, front, buffer, argb, p8, target}) {
            object->Release();
        }
        return log;
    }
};

TEST_F(DeviceDrawQueueTest, AFrameOfInterleavedLocksWritesAndTargetsReadsBackAsDrawnCallByCall) {
    swr::SetDeferredDrawing(false);
    swr::SetThreadCount(1);
    const std::vector<uint32_t> atOnce = Frame();
    swr::SetDeferredDrawing(true);
    ASSERT_EQ(atOnce.size(), 4u * 160 * 120);
    // The frame is not flat: the read-backs differ from one another.
    EXPECT_NE(std::vector<uint32_t>(atOnce.begin(), atOnce.begin() + 19200),
              std::vector<uint32_t>(atOnce.begin() + 19200, atOnce.begin() + 38400));
    for (uint32_t threads : {1u, 2u, 8u}) {
        swr::SetThreadCount(threads);
        const std::vector<uint32_t> queued = Frame();
        ASSERT_EQ(queued.size(), atOnce.size());
        size_t first = 0;
        while (first < queued.size() && queued[first] == atOnce[first]) ++first;
        EXPECT_EQ(first, queued.size()) << threads << " threads: read-back " << first / 19200 << " differs at pixel "
                                        << first % 19200 % 160 << ", " << first % 19200 / 160;
    }
    swr::SetThreadCount(0);
}

// A scissor rectangle: draws leave every pixel outside it as it was, and inside it give
// the pixels they give without one (the viewport's transform is not touched), on one
// thread and on several; null lifts it, and a rectangle of negative size is refused.
TEST_F(DeviceDrawQueueTest, AScissorKeepsDrawsInsideItsRectangleWithTheirOwnPixels) {
    IDirect3DSurface8 *back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(device->SetVertexShader(kFvf), D3D_OK);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    const D3DRECT rect = {37, 21, 101, 90};
    const auto inside = [&](size_t i) {
        const LONG x = static_cast<LONG>(i % 160), y = static_cast<LONG>(i / 160);
        return x >= rect.x1 && x < rect.x2 && y >= rect.y1 && y < rect.y2;
    };
    const auto frame = [&](const D3DRECT *scissor) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030u, 1.0f, 0);
        EXPECT_EQ(device->SetScissorRect(scissor), D3D_OK);
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        Random rng(11);
        DrawUp(rng);
        EXPECT_EQ(device->EndScene(), D3D_OK);
        std::vector<uint32_t> pixels;
        Read(back, pixels);
        return pixels;
    };
    for (uint32_t threads : {1u, 8u}) {
        swr::SetThreadCount(threads);
        const std::vector<uint32_t> plain = frame(nullptr), held = frame(&rect), lifted = frame(nullptr);
        ASSERT_EQ(held.size(), plain.size());
        EXPECT_EQ(lifted, plain) << threads << " threads";
        size_t drawnOutside = 0, wrong = 0;
        for (size_t i = 0; i < plain.size(); ++i) {
            drawnOutside += !inside(i) && plain[i] != 0xFF102030u;
            wrong += held[i] != (inside(i) ? plain[i] : 0xFF102030u);
        }
        EXPECT_GT(drawnOutside, 1000u);  // the triangles reach well past the rectangle
        EXPECT_EQ(wrong, 0u) << threads << " threads";
    }
    const D3DRECT negative = {20, 10, 19, 40};
    EXPECT_EQ(device->SetScissorRect(&negative), D3DERR_INVALIDCALL);
    device->SetScissorRect(nullptr);
    back->Release();
    swr::SetThreadCount(0);
}

// Textures made, written and released on another thread while draws are queued, as the
// game's loading does beside its loading screen: the queue is asked about each of them
// from that thread, and the frame is the one drawn without it.
TEST_F(DeviceDrawQueueTest, SurfacesLockedAndReleasedOnAnotherThreadWhileDrawsAreQueued) {
    auto frame = [&](bool loading) {
        std::atomic<bool> done{false};
        std::thread loader;
        if (loading) {
            loader = std::thread([&] {
                while (!done.load()) {
                    IDirect3DTexture8 *texture = nullptr;
                    if (device->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture) != D3D_OK) continue;
                    IDirect3DSurface8 *level = nullptr;
                    texture->GetSurfaceLevel(0, &level);
                    D3DLOCKED_RECT locked;
                    if (level->LockRect(&locked, nullptr, 0) == D3D_OK) {
                        std::memset(locked.pBits, 0x40, 16 * 16 * 4);
                        level->UnlockRect();
                    }
                    level->Release();
                    texture->Release();
                }
            });
        }
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device->SetVertexShader(kFvf);
        Random rng(3);
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        for (int k = 0; k < 300; ++k) DrawUp(rng);
        EXPECT_EQ(device->EndScene(), D3D_OK);
        done.store(true);
        if (loader.joinable()) loader.join();
        std::vector<uint32_t> pixels;
        IDirect3DSurface8 *back = nullptr;
        device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
        Read(back, pixels);
        back->Release();
        return pixels;
    };
    EXPECT_EQ(frame(true), frame(false));
}

// Frames presented to a window that keeps none: most clear, draw and present; some draw
// over the last frame without a clear; between frames a texture the last one drew with
// is written, and the back buffer is read through a lock and a rectangle copy. Every
// read is what drawing each call at once gives, on any thread count, while the frames
// nothing read are dropped undrawn; the window has no frame to give.
class UnkeptFramesTest : public DeviceDrawQueueTest {
protected:
    UnkeptFramesTest() { keepsFrames = false; }

    std::vector<uint32_t> Frames() {
        std::vector<uint32_t> log;
        Random rng(11);
        IDirect3DTexture8 *texture = nullptr;
        IDirect3DSurface8 *level = nullptr, *back = nullptr, *copy = nullptr;
        EXPECT_EQ(device->CreateTexture(32, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
        EXPECT_EQ(device->CreateImageSurface(160, 120, D3DFMT_X8R8G8B8, &copy), D3D_OK);
        texture->GetSurfaceLevel(0, &level);
        device->GetRenderTarget(&back);
        Fill(level, rng, 32 * 32 * 4);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
        device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCR);
        device->SetVertexShader(kFvf);
        Modulate();
        device->SetTexture(0, texture);
        for (int frame = 0; frame < 12; ++frame) {
            if (frame == 5) Fill(level, rng, 32 * 32 * 4);
            EXPECT_EQ(device->BeginScene(), D3D_OK);
            if (frame % 4 != 3) {
                device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL,
                              0xFF000000u | rng.Next(), 1.0f, 0);
            }
            // Where the stencil stands from earlier draws decides what this one shows.
            device->SetRenderState(D3DRS_STENCILFUNC, frame % 2 ? D3DCMP_LESSEQUAL : D3DCMP_ALWAYS);
            device->SetRenderState(D3DRS_STENCILREF, 1);
            for (int k = 0; k < 6; ++k) DrawUp(rng);
            EXPECT_EQ(device->EndScene(), D3D_OK);
            EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
            if (frame == 7) Read(back, log);
            if (frame == 9) {
                EXPECT_EQ(device->CopyRects(back, nullptr, 0, copy, nullptr), D3D_OK);
                Read(copy, log);
            }
        }
        Read(back, log);
        device->SetTexture(0, nullptr);
        for (IUnknown *object : std::initializer_list<IUnknown *>{level, back, copy, texture}) object->Release();
        return log;
    }
};

TEST_F(UnkeptFramesTest, FramesNothingReadsAreDroppedAndWhatIsReadIsAsDrawnCallByCall) {
    swr::SetDeferredDrawing(false);
    swr::SetThreadCount(1);
    const std::vector<uint32_t> atOnce = Frames();
    swr::SetDeferredDrawing(true);
    ASSERT_EQ(atOnce.size(), 3u * 160 * 120);
    EXPECT_NE(std::vector<uint32_t>(atOnce.begin(), atOnce.begin() + 19200),
              std::vector<uint32_t>(atOnce.begin() + 19200, atOnce.begin() + 38400));
    for (uint32_t threads : {1u, 2u, 8u}) {
        swr::SetThreadCount(threads);
        swr::TakeDroppedDraws();
        EXPECT_EQ(Frames(), atOnce) << threads << " threads";
        // Frames 0, 1, 2, 3, 5 and 8 were read by no one: the clear after each dropped
        // them (frame 4 was drawn when the texture it used was written). One thread
        // queues nothing: every draw was drawn as it came, and nothing was left to drop.
        EXPECT_EQ(swr::TakeDroppedDraws(), threads == 1 ? 0u : 6u * 6u) << threads << " threads";
    }
    swr::SetThreadCount(0);
    EXPECT_EQ(window->PresentCount(), 4u * 12u);
    win::Frame frame;
    EXPECT_FALSE(d3d8::GetLastPresentedFrame(device, &frame));
    EXPECT_FALSE(window->ReadDisplayedFrame(&frame));
    IDirect3DSurface8 *front = nullptr;
    ASSERT_EQ(device->CreateImageSurface(160, 120, D3DFMT_A8R8G8B8, &front), D3D_OK);
    EXPECT_EQ(device->GetFrontBuffer(front), D3DERR_INVALIDCALL);
    front->Release();
}

}  // namespace

}  // namespace device_draw_queue_test
