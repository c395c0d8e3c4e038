// The draw queue: what it says it uses, when it flushes by itself (another target, a
// draw sampling its own target, point sprites, deferred drawing off, a full queue), that
// one thread queues nothing, which
// clears drop what it holds undrawn, and queued draws
// whose state changed in place after they were recorded (palette, pixel shader
// constants, a texture's level list, the vertices) drawing what they were recorded with.
#include <gtest/gtest.h>

#include "platform/d3d8/swr/swr_draw_queue.h"
#include "swr_random_scene.h"

namespace swr_draw_queue_test {

namespace {

using swrtest::Quad;
using swrtest::Scene;
using swrtest::TexQuad;

constexpr D3DCOLOR kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u;

class FastPaths {
public:
    explicit FastPaths(bool on) { swr::SetFastPathsEnabled(on); }
    ~FastPaths() { swr::SetFastPathsEnabled(true); }
};

class Threads {
public:
    explicit Threads(uint32_t count) { swr::SetThreadCount(count); }
    ~Threads() { swr::SetThreadCount(0); }
};

TEST(DrawQueue, UsesItsTargetsAndTheLevelsItSamplesUntilFlushed) {
    Threads queueing(2);  // one thread queues nothing
    swrtest::TestTexture sampled(D3DFMT_A8R8G8B8), bound(D3DFMT_A8R8G8B8);
    sampled.AddLevel(2, 2, {kRed, kRed, kRed, kRed});
    sampled.AddLevel(1, 1, {kGreen});
    bound.AddLevel(1, 1, {kGreen});
    Scene s(8, 8, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    swr::DrawQueue queue;
    s.Queue(&queue);
    swrtest::ShowTexture(s.state, sampled.View());
    s.state.textures[1] = bound.View();  // bound, but stage 1 is off: not read
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, TexQuad(-0.5f, -0.5f, 3.5f, 3.5f, 0, 0, 1, 1), 2, swrtest::kTexFvf));
    EXPECT_EQ(queue.Queued(), 1u);
    EXPECT_EQ(s.Pixel(0, 0), 0u) << "drawn before the flush";
    EXPECT_TRUE(queue.Uses(s.color.bits));
    EXPECT_TRUE(queue.Uses(s.depth.bits));
    EXPECT_TRUE(queue.Uses(sampled.View().levels[0].bits));
    EXPECT_TRUE(queue.Uses(sampled.View().levels[1].bits));
    EXPECT_FALSE(queue.Uses(bound.View().levels[0].bits));
    queue.Flush();
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(s.Pixel(0, 0), kRed);
    EXPECT_FALSE(queue.Uses(s.color.bits));
}

TEST(DrawQueue, ADrawIntoOtherTargetsFlushesWhatWasQueued) {
    Threads queueing(2);  // one thread queues nothing
    Scene a(4, 4), b(4, 4);
    swr::DrawQueue queue;
    a.Queue(&queue);
    b.Queue(&queue);
    ASSERT_TRUE(a.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 4, 4, 0, kRed), 2));
    ASSERT_TRUE(b.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 4, 4, 0, kGreen), 2));
    EXPECT_EQ(a.Pixel(1, 1), kRed);
    EXPECT_EQ(b.Pixel(1, 1), 0u);
    EXPECT_EQ(queue.Queued(), 1u);
    EXPECT_TRUE(queue.Uses(b.color.bits));
    EXPECT_FALSE(queue.Uses(a.color.bits));
    queue.Flush();
    EXPECT_EQ(b.Pixel(1, 1), kGreen);
}

// The target shown upside down onto itself, over a gradient a queued draw left: rows
// read rows of other bands, some already overwritten. Drawn at once, by one thread as
// one band, it leaves the same pixels on any thread count.
std::vector<uint32_t> ShownUpsideDownOntoItself(swr::DrawQueue *queue) {
    constexpr uint32_t kW = 8, kH = 160;
    Scene s(kW, kH, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    s.Queue(queue);
    std::vector<swrtest::TLVertex> gradient = Quad(0, 0, kW, kH, 0, kRed);
    for (swrtest::TLVertex &v : gradient) v.color = v.y > 0 ? kGreen : kRed;
    EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, gradient, 2));
    const swr::TextureLevel level{kW, kH, kW * 4, s.color.bits};
    swrtest::ShowTexture(s.state, swr::TextureView{D3DFMT_A8R8G8B8, 1, false, &level});
    EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, TexQuad(-0.5f, -0.5f, kW - 0.5f, kH - 0.5f, 0, 1, 1, 0), 2, swrtest::kTexFvf));
    if (queue) {
        EXPECT_TRUE(queue->Empty());
    }
    return swrtest::Snapshot(s);
}

TEST(DrawQueue, ADrawSamplingItsOwnTargetIsDrawnAtOnceByOneThreadAfterWhatWasQueued) {
    const std::vector<uint32_t> atOnce = ShownUpsideDownOntoItself(nullptr);
    EXPECT_GT((atOnce[0] >> 8) & 0xFF, 0xF0u) << "the top row shows the bottom one";
    for (uint32_t threads : {1u, 2u, 8u}) {
        Threads count(threads);
        swr::DrawQueue queue;
        EXPECT_EQ(ShownUpsideDownOntoItself(&queue), atOnce) << threads << " threads";
    }
}

TEST(DrawQueue, WithDeferredDrawingOffEachDrawIsDrawnAsItComes) {
    Threads queueing(2);
    Scene s(4, 4);
    swr::DrawQueue queue;
    s.Queue(&queue);
    swr::SetDeferredDrawing(false);
    const bool drawn = s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 4, 4, 0, kRed), 2);
    swr::SetDeferredDrawing(true);
    ASSERT_TRUE(drawn);
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(s.Pixel(1, 1), kRed);
}

// One thread has no one to share a queue's work with: each draw is drawn as it comes,
// over what is already there, and a clear finds nothing to drop.
TEST(DrawQueue, OnOneThreadEachDrawIsDrawnAsItComes) {
    Threads one(1);
    Scene s(16, 16, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    swr::DrawQueue queue;
    s.Queue(&queue);
    s.ClearDepthStencil(1.0f, 0);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 16, 16, 0.5f, kRed), 2));
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(s.Pixel(8, 8), kRed);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 8, 16, 0.25f, kGreen), 2));
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 16, 16, 0.75f, kRed), 2));  // behind both
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(s.Pixel(4, 8), kGreen);
    EXPECT_EQ(s.Pixel(12, 8), kRed);
    swr::TakeDroppedDraws();
    EXPECT_FALSE(queue.DropOverwritten(s.state.viewport, s.color, &s.depth, 0, nullptr,
                                       D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL));
    EXPECT_EQ(swr::TakeDroppedDraws(), 0u);
}

// A clear that overwrites every pixel, depth and stencil value the queued draws write
// drops them undrawn; any clear that leaves one of them standing does not.
TEST(DrawQueue, AClearDropsTheQueuedDrawsOnlyWhenItOverwritesAllTheyWrite) {
    Threads queueing(2);  // one thread queues nothing
    constexpr DWORD kAll = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
    const D3DRECT inner = {2, 2, 14, 14}, outer = {0, 0, 16, 16};
    struct Case {
        const char *what;
        bool writeDepth, stencil;
        D3DVIEWPORT8 viewport;
        uint32_t rectCount;
        const D3DRECT *rects;
        DWORD flags;
        bool drops;
    };
    const D3DVIEWPORT8 full = {0, 0, 16, 16, 0, 1}, part = {0, 0, 16, 8, 0, 1};
    const Case cases[] = {
        {"colour, depth and stencil", true, true, full, 0, nullptr, kAll, true},
        {"a rectangle holding the draws", false, false, full, 1, &outer, D3DCLEAR_TARGET, true},
        {"colour only, draws without depth writes", false, false, full, 0, nullptr, D3DCLEAR_TARGET, true},
        {"colour only, draws writing depth", true, false, full, 0, nullptr, D3DCLEAR_TARGET, false},
        {"no stencil, draws writing it", false, true, full, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, false},
        {"depth only", true, false, full, 0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, false},
        {"half the viewport", false, false, part, 0, nullptr, kAll, false},
        {"a rectangle inside the draws", false, false, full, 1, &inner, kAll, false},
    };
    for (const Case &c : cases) {
        Scene s(16, 16, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
        swr::DrawQueue queue;
        s.Queue(&queue);
        s.ClearDepthStencil(1.0f, 0);
        s.SetState(D3DRS_ZWRITEENABLE, c.writeDepth);
        s.SetState(D3DRS_STENCILENABLE, c.stencil);
        s.SetState(D3DRS_STENCILPASS, D3DSTENCILOP_INCR);
        ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(1, 1, 15, 15, 0.5f, kRed), 2));
        swr::TakeDroppedDraws();
        const bool dropped = queue.DropOverwritten(c.viewport, s.color, &s.depth, c.rectCount, c.rects, c.flags);
        EXPECT_EQ(dropped, c.drops) << c.what;
        EXPECT_EQ(swr::TakeDroppedDraws(), c.drops ? 1u : 0u) << c.what;
        EXPECT_EQ(queue.Empty(), c.drops) << c.what;
        queue.Flush();
        EXPECT_EQ(s.Pixel(8, 4), c.drops ? 0u : kRed) << c.what;
    }
    // Another target, or a target the clear does not write, keeps them too.
    Scene s(16, 16, D3DFMT_A8R8G8B8), other(16, 16), r5g6b5(16, 16, D3DFMT_R5G6B5);
    swr::DrawQueue queue;
    s.Queue(&queue);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(1, 1, 15, 15, 0, kRed), 2));
    EXPECT_FALSE(queue.DropOverwritten(s.state.viewport, other.color, nullptr, 0, nullptr, D3DCLEAR_TARGET));
    swr::ColorTarget unclearable = s.color;
    unclearable.format = D3DFMT_R5G6B5;
    EXPECT_FALSE(queue.DropOverwritten(s.state.viewport, unclearable, nullptr, 0, nullptr, D3DCLEAR_TARGET));
    EXPECT_EQ(queue.Queued(), 1u);
    EXPECT_TRUE(queue.DropOverwritten(s.state.viewport, s.color, nullptr, 0, nullptr, D3DCLEAR_TARGET));
}

// Draws that nothing clears away, frame after frame, flush the queue when it is full: by
// draws, and by the bytes of their primitives.
TEST(DrawQueue, AQueueThatIsNeverFlushedStaysBounded) {
    Threads queueing(2);  // one thread queues nothing
    Scene s(32, 32, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    swr::DrawQueue queue;
    s.Queue(&queue);
    s.SetState(D3DRS_ZENABLE, D3DZB_FALSE);
    const std::vector<swrtest::TLVertex> quad = Quad(0, 0, 32, 32, 0, kRed);
    uint32_t most = 0;
    for (uint32_t k = 0; k < 3 * swr::DrawQueue::kMaxDraws; ++k) {
        ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, quad, 2));
        most = std::max(most, queue.Queued());
    }
    EXPECT_EQ(most, swr::DrawQueue::kMaxDraws);
    // Large draws of many small triangles: the queue holds at most the bound and one draw.
    std::vector<swrtest::TLVertex> many;
    constexpr uint32_t kTriangles = 60000, kDraws = 24;
    for (uint32_t i = 0; i < kTriangles; ++i) {
        const float x = static_cast<float>(i % 30), y = static_cast<float>(i / 30 % 30);
        const std::vector<swrtest::TLVertex> q = Quad(x, y, x + 2, y + 2, 0, kGreen);
        many.insert(many.end(), q.begin(), q.begin() + 3);
    }
    queue.Flush();
    size_t one = 0, held = 0, flushes = 0;
    for (uint32_t k = 0; k < kDraws; ++k) {
        ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, many, kTriangles));
        if (k == 0) one = queue.HeldBytes();
        ASSERT_LE(queue.HeldBytes(), swr::DrawQueue::kMaxBytes + one);
        flushes += queue.HeldBytes() < held;
        held = queue.HeldBytes();
    }
    EXPECT_GT(one * kDraws, swr::DrawQueue::kMaxBytes) << "the draws would not fill the queue";
    EXPECT_GE(flushes, 1u);
}

// Queued draws keep what they were recorded with, whatever changes in place before the
// flush: the palette (of the general path and of the palettised copies, also when a
// later draw has none), the pixel shader's constants, the texture's list of levels, the
// vertices and indices; and the result is the picture of drawing each call at once, on
// every thread count and either path.
std::vector<uint32_t> StateChangesInPlace(swr::DrawQueue *queue) {
    Scene s(48, 40, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    s.Queue(queue);
    swrtest::TestTexture p8(D3DFMT_P8), rgb565(D3DFMT_R5G6B5);
    std::vector<uint8_t> indices(16 * 16);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i * 7);
    p8.AddLevel(16, 16, 16, indices);
    rgb565.AddLevel(3, 2, 6, {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x55, 0xAA});
    PALETTEENTRY palette[256];
    auto paint = [&](uint32_t seed) {
        for (uint32_t i = 0; i < 256; ++i) palette[i] = PALETTEENTRY{uint8_t(i * seed), uint8_t(i + seed), uint8_t(seed), 255};
    };
    paint(3);
    swrtest::ShowTexture(s.state, p8.View());
    s.state.palette = palette;
    for (uint32_t k = 0; k < 4; ++k) {
        const float x = 10.0f * static_cast<float>(k);
        EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, TexQuad(x, 0, x + 14, 20, 0, 0, 1, 1), 2, swrtest::kTexFvf));
        paint(5 + k);  // the same palette's entries, changed
    }
    s.state.palette = nullptr;  // then none at all
    EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, TexQuad(30, 10, 47, 21, 0, 0, 1, 1), 2, swrtest::kTexFvf));
    s.state.palette = palette;
    // A pixel shader (t0 * c0) whose constant changes after each draw.
    const swr::PixelShaderProgram program = swrtest::TextureTimesProgram(swr::PsReg::Const);
    swr::PixelShaderConstants constants;
    s.state.pixelShader = &program;
    s.state.pixelShaderConstants = &constants;
    // The level list is the caller's: after each draw it points at another texture.
    swr::TextureLevel levels[1] = {rgb565.View().levels[0]};
    s.state.textures[0] = swr::TextureView{D3DFMT_R5G6B5, 1, false, levels};
    for (uint32_t k = 0; k < 4; ++k) {
        for (float &c : constants.c[0]) c = 0.25f * static_cast<float>(k + 1);
        const float y = 22.0f + 4.0f * static_cast<float>(k);
        EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, TexQuad(0, y, 40, y + 7, 0, 0, 1, 1), 2, swrtest::kTexFvf));
        levels[0] = p8.View().levels[0];
        s.state.textures[0].format = D3DFMT_P8;
    }
    // Indexed draws, whose vertices and indices go as soon as the call returns: past a
    // base vertex and a start index, with indices outside the announced vertices (still
    // drawn) and outside the stream (their triangle skipped), 16- and 32-bit.
    s.state.pixelShader = nullptr;
    s.state.textures[0] = swr::TextureView{};
    s.state.stageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
    s.state.stageStates[0][D3DTSS_COLORARG1] = D3DTA_DIFFUSE;
    std::vector<swrtest::TLVertex> v;  // each in its own place, in its own colour
    for (uint32_t i = 0; i < 24; ++i) {
        const float x = static_cast<float>(2 + i * 7 % 44), y = static_cast<float>(2 + i * 13 % 36);
        v.push_back({x, y, 0, 1, 0xFF000000u | (i * 0x0A1B2Cu)});
    }
    const Scene::IndexedRange range{2, 3, 6, 6};
    const std::vector<uint16_t> shorts{60, 61, 62, 4, 5, 6, 7, 8, 9, 1, 2, 3, 14, 9000, 16, 13, 12, 11, 4, 5, 6};
    EXPECT_TRUE(s.DrawIndexed(D3DPT_TRIANGLELIST, v, shorts, 6, swrtest::kTLFvf, range));
    const std::vector<uint32_t> words{0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 0x80000000u, 1, 2, 3};
    EXPECT_TRUE(s.DrawIndexed(D3DPT_TRIANGLESTRIP, v, words, 9, swrtest::kTLFvf, range));
    s.Settle();
    return swrtest::Snapshot(s);
}

TEST(DrawQueue, QueuedDrawsKeepTheStateTheyWereRecordedWith) {
    for (const bool fast : {true, false}) {
        FastPaths paths(fast);
        const std::vector<uint32_t> atOnce = StateChangesInPlace(nullptr);
        for (uint32_t threads : {1u, 2u, 8u}) {
            Threads count(threads);
            swr::DrawQueue queue;
            EXPECT_EQ(StateChangesInPlace(&queue), atOnce) << (fast ? "span routines, " : "general path, ") << threads
                                                           << " threads";
        }
    }
}

// Point sprites are drawn at once, after what was queued and before what comes next.
TEST(DrawQueue, PointSpritesKeepTheirPlaceAmongQueuedDraws) {
    auto render = [](swr::DrawQueue *queue) {
        Scene s(16, 16, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
        s.Queue(queue);
        EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 16, 16, 0, kRed), 2));
        s.SetState(D3DRS_POINTSPRITEENABLE, TRUE);
        s.SetFloatState(D3DRS_POINTSIZE, 8.0f);
        const std::vector<swrtest::TLVertex> point{{8, 8, 0, 1, kGreen}};
        EXPECT_TRUE(s.Draw(D3DPT_POINTLIST, point, 1));
        s.SetState(D3DRS_POINTSPRITEENABLE, FALSE);
        EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(6, 6, 10, 10, 0, 0xFF0000FFu), 2));
        s.Settle();
        return swrtest::Snapshot(s);
    };
    const std::vector<uint32_t> atOnce = render(nullptr);
    swr::DrawQueue queue;
    EXPECT_EQ(render(&queue), atOnce);
}

}  // namespace

}  // namespace swr_draw_queue_test
