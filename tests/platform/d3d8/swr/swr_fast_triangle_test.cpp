// The span routines against the reference per-pixel path: randomised scenes under
// randomised states (every texture format, address mode and filter, one or two stages
// of any operation, fog, tests, blending), on a depth target that keeps a coarse
// depth, must leave the same colour, depth and stencil, bit for bit, at every vector
// width and thread count, drawn call by call or queued and drawn together; a deliberate one-value error in any routine must show; and
// the states the engine uses most do take the span routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>

#include "platform/d3d8/swr/swr_fast_triangle.h"
#include "swr_random_scene.h"
#include "swr_span_settings.h"

namespace swr_fast_triangle_test {

namespace {

using swrtest::RandomScene;
using swrtest::Scene;

using swrtest::FastPathsOff;
using swrtest::Fault;
using swrtest::Threads;
using swrtest::Width;
using swrtest::Widths;

constexpr uint32_t kW = 61, kH = 47;

// Stage 0 as the pictures and glows have it: the texture times the diffuse colour, in
// colour and alpha, through `filter` at both sizes, addressed by `address` both ways.
void ModulateTexture(DWORD *ts, DWORD filter, DWORD address) {
    ts[D3DTSS_COLOROP] = D3DTOP_MODULATE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
    ts[D3DTSS_ALPHAOP] = D3DTOP_MODULATE;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
    ts[D3DTSS_MAGFILTER] = ts[D3DTSS_MINFILTER] = filter;
    ts[D3DTSS_ADDRESSU] = ts[D3DTSS_ADDRESSV] = address;
}

D3DFORMAT ColorFormat(uint32_t seed) { return seed % 3 == 0 ? D3DFMT_X8R8G8B8 : D3DFMT_A8R8G8B8; }
D3DFORMAT DepthFormat(uint32_t seed) {
    const D3DFORMAT depths[] = {D3DFMT_D24S8, D3DFMT_D16, D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D32};
    return depths[seed % 6];
}

// `queued`: the fast side's draws go through one queue, flushed at the end. `bent`: the
// scene is of bent pictures (RandomScene::RenderBent).
std::vector<uint32_t> Render(uint32_t seed, bool fast, const swr::SamplerShape *shape = nullptr, bool queued = false,
                             bool bent = false) {
    Scene s(kW, kH, ColorFormat(seed), DepthFormat(seed));
    // One scene in four samples a texture whose rows lie far apart.
    RandomScene scene(kW, kH, seed, seed % 4 == 0, shape);
    swr::DrawQueue queue;
    auto draw = [&] { bent ? scene.RenderBent(s, 12, 24) : scene.Render(s, 12, 24); };
    if (fast) {
        s.KeepCoarseDepth();
        if (queued) s.Queue(&queue);
        draw();
    } else {
        FastPathsOff off;
        draw();
    }
    return swrtest::Snapshot(s);
}

// The index of the first word that differs, or -1.
int64_t FirstDifference(const std::vector<uint32_t> &a, const std::vector<uint32_t> &b) {
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) return static_cast<int64_t>(i);
    }
    return -1;
}

constexpr uint32_t kSeeds = 40;

// A fast side's runs, drawn by thread count and queued or not.
using Runs = std::initializer_list<std::pair<uint32_t, bool>>;

// Draws `draw(queued)` at every width this processor runs and in each of `runs`, against
// `reference`: the first run that differs, described with its first differing word
// (colour and depth words alternate; `rowWidth` pixels a row), or empty when none does.
template <class Draw>
std::string FirstRunThatDiffers(const std::vector<uint32_t> &reference, uint32_t rowWidth, Runs runs, Draw draw) {
    for (uint32_t lanes : Widths()) {
        Width width(lanes);
        for (const auto &[count, queued] : runs) {
            Threads threads(count);
            const std::vector<uint32_t> fast = draw(queued);
            std::ostringstream run;
            run << lanes << " lanes, " << count << " threads" << (queued ? ", queued: " : ": ");
            if (fast.size() != reference.size()) return run.str() + "a snapshot of another size";
            const int64_t i = FirstDifference(fast, reference);
            if (i >= 0) {
                run << (i % 2 ? "depth" : "colour") << " of pixel " << i / 2 % rowWidth << ", " << i / 2 / rowWidth;
                return run.str();
            }
        }
    }
    return {};
}

TEST(FastTriangle, SamePixelsAsTheReferencePathOnRandomScenesAtEveryWidthAndThreadCount) {
    swr::TakeSamplerShapesUsed();
    swr::TakeCoarseRejections();
    swr::TakePictureTriangles(false);
    swr::TakePictureTriangles(true);
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        const std::vector<uint32_t> reference = Render(seed, false);
        // Each draw at once, and all of them queued and drawn together.
        ASSERT_EQ(FirstRunThatDiffers(reference, kW, {{1, false}, {3, false}, {1, true}, {2, true}, {8, true}},
                                      [&](bool queued) { return Render(seed, true, nullptr, queued); }),
                  "")
            << "seed " << seed;
    }
    // Every shape of sampler the routines are compiled for was among them, triangles
    // skipped tiles of the coarse depth they lay behind, and pictures square to the
    // screen were drawn through their kept rows, filtered and by point.
    EXPECT_EQ(swr::TakeSamplerShapesUsed(), (1u << swr::kSamplerShapeCount) - 1);
    EXPECT_GT(swr::TakeCoarseRejections(), 0u);
    EXPECT_GT(swr::TakePictureTriangles(false), 0u);
    EXPECT_GT(swr::TakePictureTriangles(true), 0u);
}

// Each routine's deliberate error must make some scene differ from the reference: the
// comparison above is sharp enough to see one wrong value anywhere.
TEST(FastTriangle, ADeliberateOneValueErrorInAnyRoutineShows) {
    // A seed's reference pixels are the same for every fault and width: drawn once.
    std::vector<std::vector<uint32_t>> references(kSeeds + 1);
    for (uint32_t fault = swr::kSpanFaultNone + 1; fault < swr::kSpanFaultCount; ++fault) {
        for (uint32_t lanes : Widths()) {
            // Four lanes read every texel alone: they have no row windows or pairs to get wrong.
            if ((fault == swr::kSpanFaultWindow || fault == swr::kSpanFaultPair) && lanes == 4) continue;
            // Only sixteen lanes pack a group's rows end to end (and draw such groups
            // without a batch), look levels up by steps, or weigh taps as the pairs they
            // are read in.
            const bool sixteen = fault == swr::kSpanFaultPiece || fault == swr::kSpanFaultLodStep ||
                                 fault == swr::kSpanFaultPairFilter || fault == swr::kSpanFaultDirectGroup;
            if (sixteen && lanes < 16) continue;
            // Filtered rows, textured rows under perspective (and their coordinates known in
            // range), batches sampled unpinned, alpha-tested layers of one colour, triangles
            // reaching one column into the target and backdrops opaque all over are shown on
            // scenes of their own (below); depths at the rounding boundaries in the depth
            // rounding test.
            if (fault == swr::kSpanFaultFilteredRow || fault == swr::kSpanFaultFilteredPair ||
                fault == swr::kSpanFaultFillAlpha || fault == swr::kSpanFaultTexturedRow ||
                fault == swr::kSpanFaultNearRow || fault == swr::kSpanFaultBeside ||
                fault == swr::kSpanFaultNearGroup || fault == swr::kSpanFaultOpaqueSource ||
                fault == swr::kSpanFaultDepthRound) {
                continue;
            }
            Width width(lanes);
            // A draw is drawn as it is set up on one thread only.
            Threads threads(fault == swr::kSpanFaultAtOnce ? 1 : 0);
            bool seen = false;
            for (uint32_t seed = 1; seed <= kSeeds && !seen; ++seed) {
                if (references[seed].empty()) references[seed] = Render(seed, false);
                Fault wrong(fault);
                seen = FirstDifference(Render(seed, true), references[seed]) >= 0;
            }
            EXPECT_TRUE(seen) << "fault " << fault << " at " << lanes << " lanes";
        }
    }
}

// The sampling errors must show in each shape's own routine: with the error held to one
// shape, some scene whose stages all sample with that shape differs from the reference.
// (A filter weight is wrong only where a shape filters, a level blend only where it
// blends levels.)
TEST(FastTriangle, ADeliberateSamplingErrorShowsInEverySamplerShape) {
    for (uint32_t shape = 0; shape < swr::kSamplerShapeCount; ++shape) {
        const swr::SamplerShape &k = swr::kSamplerShapes[shape];
        std::vector<uint32_t> faults{swr::kSpanFaultAddress, swr::kSpanFaultRow};
        if (k.linear != 0) faults.push_back(swr::kSpanFaultFilter);
        if (k.mip < 0 || k.mip == D3DTEXF_LINEAR) faults.push_back(swr::kSpanFaultMip);
        std::vector<std::vector<uint32_t>> references(kSeeds + 1);
        swr::TakeSamplerShapesUsed();
        references[1] = Render(1, false, &k);
        for (uint32_t lanes : Widths()) {
            Width width(lanes);
            EXPECT_EQ(FirstDifference(Render(1, true, &k), references[1]), -1) << "shape " << shape << " at " << lanes << " lanes";
        }
        for (uint32_t fault : faults) {
            for (uint32_t lanes : Widths()) {
                Width width(lanes);
                bool seen = false;
                for (uint32_t seed = 1; seed <= kSeeds && !seen; ++seed) {
                    if (references[seed].empty()) references[seed] = Render(seed, false, &k);
                    Fault wrong(fault, shape);
                    seen = FirstDifference(Render(seed, true, &k), references[seed]) >= 0;
                }
                EXPECT_TRUE(seen) << "fault " << fault << " in shape " << shape << " at " << lanes << " lanes";
            }
        }
        EXPECT_TRUE(swr::TakeSamplerShapesUsed() & (1u << shape)) << "shape " << shape;
    }
}

// A picture bent out of square (the stage change's wobbling screen) is drawn as filtered
// rows: the same pixels as the reference path at every width and thread count, whether
// its rows sample inside the texture or reach its edges, whatever its combiner makes of
// the texel; and a deliberate error in those rows, or in the second of two groups drawn
// together, shows.
TEST(FastTriangle, BentPicturesGiveTheReferencePixelsAtEveryWidthAndThreadCount) {
    constexpr uint32_t kBentSeeds = 12;
    swr::TakeFilteredRowTriangles();
    std::vector<std::vector<uint32_t>> references;
    for (uint32_t seed = 1; seed <= kBentSeeds; ++seed) {
        references.push_back(Render(seed, false, nullptr, false, true));
        ASSERT_EQ(FirstRunThatDiffers(references.back(), kW, {{1, false}, {3, false}, {2, true}},
                                      [&](bool queued) { return Render(seed, true, nullptr, queued, true); }),
                  "")
            << "seed " << seed;
    }
    EXPECT_GT(swr::TakeFilteredRowTriangles(), 0u);
    for (uint32_t fault : {swr::kSpanFaultFilteredRow, swr::kSpanFaultFilteredPair}) {
        for (uint32_t lanes : Widths()) {
            Width width(lanes);
            Fault wrong(fault);
            bool seen = false;
            for (uint32_t seed = 1; seed <= kBentSeeds && !seen; ++seed) {
                seen = FirstDifference(Render(seed, true, nullptr, false, true), references[seed - 1]) >= 0;
            }
            EXPECT_TRUE(seen) << "fault " << fault << " at " << lanes << " lanes";
        }
    }
}

// A random scene of `w` x `h` pixels drawn by `draw(scene, target)`, through the fast
// paths (the coarse depth kept, queued or not) or through the reference path alone.
template <class Draw>
std::vector<uint32_t> RenderRandom(uint32_t w, uint32_t h, uint32_t seed, bool fast, bool queued, const Draw &draw) {
    Scene s(w, h, ColorFormat(seed), DepthFormat(seed));
    RandomScene scene(w, h, seed);
    swr::DrawQueue queue;
    if (fast) {
        s.KeepCoarseDepth();
        if (queued) s.Queue(&queue);
        draw(scene, s);
    } else {
        FastPathsOff off;
        draw(scene, s);
    }
    return swrtest::Snapshot(s);
}

// Scenes of seeds 1 to `seeds` drawn by `render(seed, fast, queued)` give the reference
// path's pixels at every width and thread count, queued or not; and the deliberate
// error `fault` shows at every width in one of them at least.
template <class Render>
void ExpectReferencePixelsAndFaultShows(uint32_t seeds, uint32_t rowWidth, uint32_t fault, const Render &render) {
    std::vector<std::vector<uint32_t>> references;
    for (uint32_t seed = 1; seed <= seeds; ++seed) {
        references.push_back(render(seed, false, false));
        ASSERT_EQ(FirstRunThatDiffers(references.back(), rowWidth, {{1, false}, {3, false}, {2, true}, {8, true}},
                                      [&](bool queued) { return render(seed, true, queued); }),
                  "")
            << "seed " << seed;
    }
    for (uint32_t lanes : Widths()) {
        Width width(lanes);
        Fault wrong(fault);
        bool seen = false;
        for (uint32_t seed = 1; seed <= seeds && !seen; ++seed) {
            seen = FirstDifference(render(seed, true, false), references[seed - 1]) >= 0;
        }
        EXPECT_TRUE(seen) << lanes << " lanes";
    }
}

// A ground under perspective (a stage's floor and walls: large textured triangles lit at
// their corners, tested for depth) is drawn as textured rows: the same pixels as the
// reference path at every width and thread count, whatever its sampler, depth test, fog
// and blending, on grids of large triangles and of small ones; and a deliberate error in
// those rows shows.
TEST(FastTriangle, GroundsUnderPerspectiveGiveTheReferencePixelsAtEveryWidthAndThreadCount) {
    constexpr uint32_t kGroundW = 150, kGroundH = 110, kGroundSeeds = 16;
    swr::TakeTexturedRowTriangles();
    ExpectReferencePixelsAndFaultShows(kGroundSeeds, kGroundW, swr::kSpanFaultTexturedRow,
                                       [](uint32_t seed, bool fast, bool queued) {
                                           return RenderRandom(kGroundW, kGroundH, seed, fast, queued,
                                                               [&](RandomScene &scene, Scene &s) {
                                                                   scene.RenderGround(s, 6, 1 + seed % 4);
                                                               });
                                       });
    EXPECT_GT(swr::TakeTexturedRowTriangles(), 0u);
}

// A ground whose texture coordinates lie far along its texture, where the sampler pins
// its floors and clamps its fractions, gives the reference path's pixels too: its rows
// take the pinned route, unless they are known to lie in range; and a deliberate error in
// the fractions of rows known in range shows.
TEST(FastTriangle, GroundsFarAlongTheirTextureGiveTheReferencePixelsAtEveryWidthAndThreadCount) {
    constexpr uint32_t kGroundW = 150, kGroundH = 110, kGroundSeeds = 12;
    ExpectReferencePixelsAndFaultShows(kGroundSeeds, kGroundW, swr::kSpanFaultNearRow,
                                       [](uint32_t seed, bool fast, bool queued) {
                                           return RenderRandom(kGroundW, kGroundH, seed, fast, queued,
                                                               [&](RandomScene &scene, Scene &s) {
                                                                   scene.RenderGround(s, 6, 1 + seed % 4, true);
                                                               });
                                       });
}

// Small triangles whose texture coordinates lie near and beyond the range the sampler's
// floors are pinned to (1/w near zero, NaN at some pixels) give the reference path's
// pixels: a batch of groups skips the pins and clamps only where every active lane's
// coordinates are known in range. Sampling a batch that way whatever its coordinates
// shows; and a deliberate error in the fractions of coordinates known in range shows on
// a ground of small triangles, whose groups are batched.
TEST(FastTriangle, SmallTrianglesFarAlongTheirTextureGiveTheReferencePixelsAtEveryWidthAndThreadCount) {
    constexpr uint32_t kFarW = 90, kFarH = 70, kFarSeeds = 12;
    ExpectReferencePixelsAndFaultShows(kFarSeeds, kFarW, swr::kSpanFaultNearGroup,
                                       [](uint32_t seed, bool fast, bool queued) {
                                           return RenderRandom(kFarW, kFarH, seed, fast, queued,
                                                               [](RandomScene &scene, Scene &s) {
                                                                   scene.RenderFarCoords(s, 8, 24);
                                                               });
                                       });
    constexpr uint32_t kGroundW = 150, kGroundH = 110, kGroundSeeds = 6;
    ExpectReferencePixelsAndFaultShows(kGroundSeeds, kGroundW, swr::kSpanFaultNearRow,
                                       [](uint32_t seed, bool fast, bool queued) {
                                           return RenderRandom(kGroundW, kGroundH, seed, fast, queued,
                                                               [&](RandomScene &scene, Scene &s) {
                                                                   scene.RenderGround(s, 6, 24);
                                                               });
                                       });
}

// Sixteen lanes weigh a ground's filtered texels as the pairs they read them in: a
// deliberate error in that filter shows on the grounds.
TEST(FastTriangle, ADeliberateErrorInTheGroundsPairFilterShows) {
    constexpr uint32_t kGroundW = 150, kGroundH = 110, kGroundSeeds = 16;
    Width width(16);
    if (swr::SpanWidth() != 16) GTEST_SKIP() << "no sixteen-lane routines on this processor";
    bool seen = false;
    for (uint32_t seed = 1; seed <= kGroundSeeds && !seen; ++seed) {
        auto render = [&](bool fast) {
            return RenderRandom(kGroundW, kGroundH, seed, fast, false,
                                [&](RandomScene &scene, Scene &s) { scene.RenderGround(s, 6, 1 + seed % 4); });
        };
        const std::vector<uint32_t> reference = render(false);
        ASSERT_EQ(FirstDifference(render(true), reference), -1) << "seed " << seed;
        Fault wrong(swr::kSpanFaultPairFilter);
        seen = FirstDifference(render(true), reference) >= 0;
    }
    EXPECT_TRUE(seen);
}

// Tall, thin triangles (a crowd's limbs), whose rows' spans come from their edges' signs
// block of rows after block, and flat ones across the target, under random states: the
// same pixels as the reference path at every width and thread count; and a deliberate
// error in a span found from the edges' signs shows.
TEST(FastTriangle, TallThinTrianglesGiveTheReferencePixelsAtEveryWidthAndThreadCount) {
    constexpr uint32_t kSliverW = 150, kSliverH = 110, kSliverSeeds = 12;
    ExpectReferencePixelsAndFaultShows(kSliverSeeds, kSliverW, swr::kSpanFaultMaskRow,
                                       [](uint32_t seed, bool fast, bool queued) {
                                           return RenderRandom(kSliverW, kSliverH, seed, fast, queued,
                                                               [](RandomScene &scene, Scene &s) {
                                                                   scene.RenderSlivers(s, 8, 16);
                                                               });
                                       });
}

// Triangles at the target's left and right edges (a crowd walking off the screen), those
// wholly past the edge left out before their rows are walked: the same pixels as the
// reference path at every width and thread count; and taking a triangle that reaches
// one column in as lying beside the target shows.
TEST(FastTriangle, TrianglesAtTheTargetsEdgesGiveTheReferencePixelsAtEveryWidthAndThreadCount) {
    constexpr uint32_t kEdgeW = 90, kEdgeH = 60, kEdgeSeeds = 8;
    ExpectReferencePixelsAndFaultShows(kEdgeSeeds, kEdgeW, swr::kSpanFaultBeside,
                                       [](uint32_t seed, bool fast, bool queued) {
                                           return RenderRandom(kEdgeW, kEdgeH, seed, fast, queued,
                                                               [](RandomScene &scene, Scene &s) {
                                                                   scene.RenderBeside(s, 8, 24);
                                                               });
                                       });
}

// A layer of one colour under an alpha test and no depth test (as the stages darken
// the view) is drawn whole where its colour passes and not at all where it fails: the
// reference path's pixels at every width and thread count, over a background it blends
// with; and drawing a failing layer anyway shows.
TEST(FastTriangle, AnAlphaTestedLayerOfOneColourIsDrawnWholeOrNotAtAll) {
    constexpr uint32_t kLayerW = 37, kLayerH = 23, kBackground = 0xFF3060A0u;
    // Alpha 0x80 against references below and above it, gouraud and flat.
    auto draw = [&](DWORD ref, DWORD shade, bool fast) {
        swrtest::Scene s(kLayerW, kLayerH, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
        s.FillPixels(kBackground);
        s.SetState(D3DRS_ZENABLE, D3DZB_FALSE);
        s.SetState(D3DRS_ALPHABLENDENABLE, TRUE);
        s.SetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        s.SetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        s.SetState(D3DRS_ALPHATESTENABLE, TRUE);
        s.SetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        s.SetState(D3DRS_ALPHAREF, ref);
        s.SetState(D3DRS_SHADEMODE, shade);
        const D3DCOLOR c = 0x80201008u;
        const std::vector<swrtest::TLVertex> quad = {{1.5f, 2.0f, 0.5f, 1.0f, c},  {35.0f, 1.0f, 0.5f, 1.0f, c},
                                                     {2.0f, 21.5f, 0.5f, 1.0f, c}, {35.0f, 1.0f, 0.5f, 1.0f, c},
                                                     {34.5f, 22.0f, 0.5f, 1.0f, c}, {2.0f, 21.5f, 0.5f, 1.0f, c}};
        if (!fast) swr::SetFastPathsEnabled(false);
        EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, quad, 2));
        swr::SetFastPathsEnabled(true);
        return swrtest::Snapshot(s);
    };
    for (const DWORD shade : {DWORD{D3DSHADE_GOURAUD}, DWORD{D3DSHADE_FLAT}}) {
        for (const DWORD ref : {DWORD{0x40}, DWORD{0xC0}}) {
            const std::vector<uint32_t> reference = draw(ref, shade, false);
            // A passing layer darkens the middle; a failing one leaves the background
            // (colour and depth words alternate).
            EXPECT_EQ(reference[2 * (11 * kLayerW + 18)] == kBackground, ref == 0xC0);
            for (uint32_t lanes : Widths()) {
                Width width(lanes);
                for (uint32_t count : {1u, 3u}) {
                    Threads threads(count);
                    EXPECT_EQ(FirstDifference(draw(ref, shade, true), reference), -1)
                        << "reference " << ref << ", " << lanes << " lanes, " << count << " threads";
                }
                Fault wrong(swr::kSpanFaultFillAlpha);
                EXPECT_EQ(FirstDifference(draw(ref, shade, true), reference) >= 0, ref == 0xC0)
                    << "reference " << ref << ", " << lanes << " lanes";
            }
        }
    }
}

// Triangles reaching one column into the target from beside it (the rest of them in the
// guard band), by an upright edge through that column's pixel centres that the fill rule
// keeps (a left edge) or leaves out (a right edge), or one step of the snapping grid past
// them; and small ones around a pixel centre of the last column, or with one on an edge:
// the reference path's pixels at every width and thread count, those columns drawn where
// the fill rule keeps them; and taking a triangle one column into the target for one
// beside it shows.
TEST(FastTriangle, TrianglesReachingOneColumnIntoTheTargetGiveTheReferencePixels) {
    constexpr uint32_t kEdgeW = 40, kEdgeH = 30;
    constexpr float w = kEdgeW, h = kEdgeH, step = 1.0f / 256.0f;
    constexpr uint32_t kBackground = 0xFF000000u;
    auto draw = [&](bool fast, bool queued) {
        swrtest::Scene s(kEdgeW, kEdgeH, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
        swr::DrawQueue queue;
        if (fast) {
            s.KeepCoarseDepth();
            if (queued) s.Queue(&queue);
        }
        s.ClearDepthStencil(1.0f, 0);
        s.FillPixels(kBackground);
        auto corner = [](float x, float y, D3DCOLOR c) { return swrtest::TLVertex{x, y, 0.5f, 1.0f, c}; };
        const D3DCOLOR a = 0xFF40C020u, b = 0xFF2080E0u, c = 0xFFE06010u;
        const std::vector<swrtest::TLVertex> v = {
            // Left edges upright on the last column's centres, and one step short of them.
            corner(w - 1.0f, 2.0f, a), corner(w + 30.0f, 2.0f, b), corner(w - 1.0f, 12.0f, c),
            corner(w - 1.0f + step, 13.0f, a), corner(w + 30.0f, 13.0f, b), corner(w - 1.0f + step, 16.0f, c),
            // Right edges upright on the first column's centres, and one step past them.
            corner(-30.0f, 2.0f, c), corner(0.0f, 2.0f, b), corner(0.0f, 12.0f, a),
            corner(-30.0f, 14.0f, a), corner(step, 14.0f, c), corner(step, 24.0f, b),
            // Small ones: around the last column's centre at the last row, and with the
            // centre of (w - 1, 20) on the edge from one corner to the next.
            corner(w - 1.2f, h - 1.3f, b), corner(w - 0.6f, h - 1.1f, c), corner(w - 0.9f, h - 0.5f, a),
            corner(w - 1.5f, 19.5f, c), corner(w - 0.5f, 20.5f, a), corner(w - 0.5f, 19.5f, b),
            corner(w - 1.5f, 21.5f, c), corner(w - 0.5f, 22.5f, a), corner(w - 1.5f, 22.5f, b)};
        if (!fast) swr::SetFastPathsEnabled(false);
        EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, v, static_cast<uint32_t>(v.size() / 3)));
        s.Settle();
        swr::SetFastPathsEnabled(true);
        return swrtest::Snapshot(s);
    };
    const std::vector<uint32_t> reference = draw(false, false);
    // Colour and depth words alternate.
    auto colour = [&](uint32_t x, uint32_t y) { return reference[2 * (y * kEdgeW + x)]; };
    EXPECT_NE(colour(kEdgeW - 1, 5), kBackground) << "a left edge keeps its centres";
    EXPECT_EQ(colour(kEdgeW - 1, 14), kBackground) << "nothing of the column past a left edge";
    EXPECT_EQ(colour(0, 5), kBackground) << "a right edge leaves its centres out";
    EXPECT_NE(colour(0, 18), kBackground) << "the centres before a right edge";
    EXPECT_NE(colour(kEdgeW - 1, kEdgeH - 1), kBackground) << "a small triangle around a centre";
    EXPECT_NE(colour(kEdgeW - 1, 20) == kBackground, colour(kEdgeW - 1, 22) == kBackground)
        << "a centre on the same diagonal, on a left edge of one and a right edge of the other";
    EXPECT_EQ(FirstRunThatDiffers(reference, kEdgeW, {{1, false}, {3, false}, {1, true}, {2, true}, {8, true}},
                                  [&](bool queued) { return draw(true, queued); }),
              "");
    for (uint32_t lanes : Widths()) {
        Width width(lanes);
        Fault wrong(swr::kSpanFaultBeside);
        EXPECT_GE(FirstDifference(draw(true, false), reference), 0) << lanes << " lanes";
    }
}

// A textured picture under an alpha test, tested for depth (LESSEQUAL) and writing it (as
// the screens' fades over a cleared depth): over a depth no tile of it lies behind it is
// drawn as a picture, and behind a nearer layer it skips the tiles it lies behind; both
// give the reference path's pixels and depth at every width and thread count.
TEST(FastTriangle, AnAlphaTestedPictureOverDepthIsDrawnAsAPictureUnlessATileHidesIt) {
    constexpr uint32_t kPictureW = 64, kPictureH = 48;
    swrtest::TestTexture tex(D3DFMT_A8R8G8B8);
    std::vector<uint32_t> texels(16 * 16);
    for (uint32_t i = 0; i < texels.size(); ++i) {
        // Alpha in steps, some of it failing the test; colours that vary across the texture.
        texels[i] = (i * 37u % 5u) * 0x3Fu << 24 | (i * 0x0A0B0Cu & 0xFFFFFFu);
    }
    tex.AddLevel(16, 16, texels);
    auto draw = [&](bool hidden, bool fast) {
        Scene s(kPictureW, kPictureH, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
        if (fast) s.KeepCoarseDepth();
        s.ClearDepthStencil(1.0f, 0);
        s.FillPixels(0xFF204060u);
        if (!fast) swr::SetFastPathsEnabled(false);
        s.SetState(D3DRS_ZENABLE, D3DZB_TRUE);
        s.SetState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
        s.SetState(D3DRS_ZWRITEENABLE, TRUE);
        if (hidden) {
            // A nearer layer of one colour over the left half.
            const D3DCOLOR c = 0xFF807060u;
            const std::vector<swrtest::TLVertex> near = {{0.0f, 0.0f, 0.25f, 1.0f, c},  {32.0f, 0.0f, 0.25f, 1.0f, c},
                                                         {0.0f, 48.0f, 0.25f, 1.0f, c}, {32.0f, 0.0f, 0.25f, 1.0f, c},
                                                         {32.0f, 48.0f, 0.25f, 1.0f, c}, {0.0f, 48.0f, 0.25f, 1.0f, c}};
            EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, near, 2));
        }
        s.state.textures[0] = tex.View();
        DWORD *ts = s.state.stageStates[0];
        ModulateTexture(ts, D3DTEXF_LINEAR, D3DTADDRESS_CLAMP);
        s.SetState(D3DRS_ALPHABLENDENABLE, TRUE);
        s.SetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        s.SetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        s.SetState(D3DRS_ALPHATESTENABLE, TRUE);
        s.SetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        s.SetState(D3DRS_ALPHAREF, 0x20);
        const D3DCOLOR c = 0xC0F0F0F0u;
        const float w = kPictureW, h = kPictureH;
        const std::vector<swrtest::TexVertex> picture = {
            {0.0f, 0.0f, 0.5f, 1.0f, c, 0.0f, 0.0f}, {w, 0.0f, 0.5f, 1.0f, c, 1.0f, 0.0f},
            {0.0f, h, 0.5f, 1.0f, c, 0.0f, 1.0f},    {w, 0.0f, 0.5f, 1.0f, c, 1.0f, 0.0f},
            {w, h, 0.5f, 1.0f, c, 1.0f, 1.0f},       {0.0f, h, 0.5f, 1.0f, c, 0.0f, 1.0f}};
        EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, picture, 2, swrtest::kTexFvf));
        swr::SetFastPathsEnabled(true);
        return swrtest::Snapshot(s);
    };
    for (const bool hidden : {false, true}) {
        const std::vector<uint32_t> reference = draw(hidden, false);
        for (uint32_t lanes : Widths()) {
            Width width(lanes);
            for (uint32_t count : {1u, 3u}) {
                Threads threads(count);
                swr::TakeCoarseRejections();
                swr::TakePictureTriangles(false);
                swr::TakePictureTriangles(true);
                EXPECT_EQ(FirstDifference(draw(hidden, true), reference), -1)
                    << (hidden ? "hidden, " : "over cleared depth, ") << lanes << " lanes, " << count << " threads";
                const uint64_t pictures = swr::TakePictureTriangles(false) + swr::TakePictureTriangles(true);
                const uint64_t rejections = swr::TakeCoarseRejections();
                EXPECT_EQ(pictures > 0, !hidden) << lanes << " lanes, " << count << " threads";
                EXPECT_EQ(rejections > 0, hidden) << lanes << " lanes, " << count << " threads";
            }
        }
    }
}

// Sprites added onto the target (a source factor, ONE, ADD: sparks and glows), under
// perspective and without, alpha-tested or not, tested for depth without writing it
// (over a nearer half) or not tested, onto a target whose pixels hold every byte value in
// every channel: the same pixels as the reference path at every width and thread count.
TEST(FastTriangle, SpritesAddedOntoTheTargetGiveTheReferencePixels) {
    constexpr uint32_t kTargetW = 256, kTargetH = 40;
    swrtest::TestTexture tex(D3DFMT_A8R8G8B8);
    std::vector<uint32_t> texels(32 * 32);
    for (uint32_t i = 0; i < texels.size(); ++i) {
        // Alpha zero off a disc and in steps inside it; colours that vary across.
        const int32_t dx = static_cast<int32_t>(i % 32) - 16, dy = static_cast<int32_t>(i / 32) - 16;
        const uint32_t alpha = dx * dx + dy * dy > 196 ? 0u : (i * 53u) & 0xFFu;
        texels[i] = alpha << 24 | (i * 0x2F1B07u & 0xFFFFFFu);
    }
    tex.AddLevel(32, 32, texels);
    std::vector<uint32_t> target(kTargetW * kTargetH);
    for (uint32_t y = 0; y < kTargetH; ++y) {
        for (uint32_t x = 0; x < kTargetW; ++x) {
            target[y * kTargetW + x] = ((x * 3u + y) & 0xFFu) << 24 | (255u - x) << 16 | ((x + 37u * y) & 0xFFu) << 8 | x;
        }
    }
    struct Case {
        DWORD source;
        bool alphaTest, depth, perspective;
    };
    const Case cases[] = {{D3DBLEND_SRCALPHA, true, true, true},     {D3DBLEND_SRCALPHA, true, true, false},
                          {D3DBLEND_SRCALPHA, false, false, true},   {D3DBLEND_SRCALPHA, false, false, false},
                          {D3DBLEND_ONE, true, false, true},         {D3DBLEND_ONE, false, true, false},
                          {D3DBLEND_SRCCOLOR, false, true, true},    {D3DBLEND_INVDESTCOLOR, true, false, false},
                          {D3DBLEND_DESTALPHA, false, false, true},  {D3DBLEND_ZERO, true, true, false}};
    for (const Case &c : cases) {
        auto draw = [&](bool fast) {
            Scene s(kTargetW, kTargetH, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
            if (fast) s.KeepCoarseDepth();
            s.ClearDepthStencil(1.0f, 0);
            for (uint32_t y = 0; y < kTargetH; ++y) {
                for (uint32_t x = 0; x < kTargetW; ++x) {
                    std::memcpy(s.color.bits + y * s.color.pitch + x * 4, &target[y * kTargetW + x], 4);
                }
            }
            if (!fast) swr::SetFastPathsEnabled(false);
            s.SetState(D3DRS_ZENABLE, D3DZB_TRUE);
            s.SetState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
            s.SetState(D3DRS_ZWRITEENABLE, TRUE);
            // A nearer layer over the left half, whose colour the target's then hides again.
            const D3DCOLOR n = 0xFF807060u;
            const float half = kTargetW / 2.0f, h = kTargetH;
            const std::vector<swrtest::TLVertex> near = {{0.0f, 0.0f, 0.25f, 1.0f, n}, {half, 0.0f, 0.25f, 1.0f, n},
                                                         {0.0f, h, 0.25f, 1.0f, n},    {half, 0.0f, 0.25f, 1.0f, n},
                                                         {half, h, 0.25f, 1.0f, n},    {0.0f, h, 0.25f, 1.0f, n}};
            s.SetState(D3DRS_COLORWRITEENABLE, 0);
            EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, near, 2));
            s.SetState(D3DRS_COLORWRITEENABLE, 0xF);
            s.SetState(D3DRS_ZENABLE, c.depth ? D3DZB_TRUE : D3DZB_FALSE);
            s.SetState(D3DRS_ZWRITEENABLE, FALSE);
            s.state.textures[0] = tex.View();
            DWORD *ts = s.state.stageStates[0];
            ModulateTexture(ts, D3DTEXF_LINEAR, D3DTADDRESS_WRAP);
            s.SetState(D3DRS_ALPHABLENDENABLE, TRUE);
            s.SetState(D3DRS_SRCBLEND, c.source);
            s.SetState(D3DRS_DESTBLEND, D3DBLEND_ONE);
            s.SetState(D3DRS_ALPHATESTENABLE, c.alphaTest ? TRUE : FALSE);
            s.SetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
            s.SetState(D3DRS_ALPHAREF, 0);
            // Sprites in a row, each magnified from the glow; under perspective their
            // corners' 1/w differ by a hair.
            std::vector<swrtest::TexVertex> sprites;
            for (uint32_t i = 0; i < 6; ++i) {
                const float x0 = 4.0f + 41.0f * i, y0 = 1.0f + 2.0f * i, size = 36.0f + i;
                const float z = 0.2f + 0.1f * i, lean = c.perspective ? 1e-6f : 0.0f, rhw = 0.5f;
                const D3DCOLOR top = 0xFF000000u | (0x30u + 0x25u * i) << 16 | 0xE0F0u, bottom = 0x80F0A040u + i * 0x01030507u;
                const swrtest::TexVertex a{x0, y0, z, rhw, top, 0.0f, 0.0f}, b{x0 + size, y0, z, rhw * (1.0f + lean), top, 1.0f, 0.0f};
                const swrtest::TexVertex d{x0, y0 + size, z, rhw * (1.0f - lean), bottom, 0.0f, 1.0f};
                const swrtest::TexVertex e{x0 + size, y0 + size, z, rhw, bottom, 1.0f, 1.0f};
                sprites.insert(sprites.end(), {a, b, d, d, b, e});
            }
            EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, sprites, 12, swrtest::kTexFvf));
            swr::SetFastPathsEnabled(true);
            return swrtest::Snapshot(s);
        };
        const std::vector<uint32_t> reference = draw(false);
        EXPECT_EQ(FirstRunThatDiffers(reference, kTargetW, {{1u, false}, {3u, false}}, [&](bool) { return draw(true); }), "")
            << "source factor " << c.source << (c.alphaTest ? ", alpha-tested" : "") << (c.depth ? ", depth-tested" : "")
            << (c.perspective ? ", under perspective" : "");
    }
}

// A backdrop blended by its alpha (SRCALPHA, INVSRCALPHA) whose alpha is the diffuse
// colour's alone: at 255 all over it is the source itself and is drawn unblended, at 254
// (or varying) it is blended; over a target whose pixels hold every byte value in every
// channel (with and without alpha), with its texels' own alpha varying, alpha-tested or
// not, over depth or not, it gives the reference path's pixels at every width and thread
// count; and taking 254 for opaque shows.
TEST(FastTriangle, ABackdropOpaqueAllOverIsDrawnUnblendedWithTheBlendsPixels) {
    constexpr uint32_t kTargetW = 160, kTargetH = 96;
    swrtest::TestTexture tex(D3DFMT_A8R8G8B8);
    std::vector<uint32_t> texels(32 * 32);
    for (uint32_t i = 0; i < texels.size(); ++i) texels[i] = (i * 0x9E3779B1u) ^ (i * 0x2F1B07u);
    tex.AddLevel(32, 32, texels);
    struct Case {
        DWORD alpha;  // the diffuse alpha at the four corners; 0 varies it
        D3DFORMAT format;
        bool alphaTest, depth, bothSrcAlpha;
        bool unblended;
    };
    const Case cases[] = {{255, D3DFMT_A8R8G8B8, true, false, false, true},
                          {255, D3DFMT_X8R8G8B8, false, true, false, true},
                          {255, D3DFMT_A8R8G8B8, false, false, true, true},
                          {254, D3DFMT_A8R8G8B8, true, false, false, false},
                          {254, D3DFMT_X8R8G8B8, false, true, false, false},
                          {0, D3DFMT_A8R8G8B8, true, true, false, false}};
    for (const Case &c : cases) {
        auto draw = [&](bool fast) {
            Scene s(kTargetW, kTargetH, c.format, D3DFMT_D24S8);
            if (fast) s.KeepCoarseDepth();
            s.ClearDepthStencil(1.0f, 0);
            for (uint32_t y = 0; y < kTargetH; ++y) {
                for (uint32_t x = 0; x < kTargetW; ++x) {
                    const uint32_t v = ((x * 3u + y) & 0xFFu) << 24 | (255u - x) << 16 | ((x + 37u * y) & 0xFFu) << 8 | x;
                    std::memcpy(s.color.bits + y * s.color.pitch + x * 4, &v, 4);
                }
            }
            if (!fast) swr::SetFastPathsEnabled(false);
            s.SetState(D3DRS_ZENABLE, c.depth ? D3DZB_TRUE : D3DZB_FALSE);
            s.SetState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
            s.SetState(D3DRS_ZWRITEENABLE, c.depth ? TRUE : FALSE);
            s.state.textures[0] = tex.View();
            DWORD *ts = s.state.stageStates[0];
            ModulateTexture(ts, D3DTEXF_LINEAR, D3DTADDRESS_CLAMP);
            ts[D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
            ts[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG2;
            s.SetState(D3DRS_ALPHABLENDENABLE, TRUE);
            s.SetState(D3DRS_SRCBLEND, c.bothSrcAlpha ? D3DBLEND_BOTHSRCALPHA : D3DBLEND_SRCALPHA);
            s.SetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
            s.SetState(D3DRS_ALPHATESTENABLE, c.alphaTest ? TRUE : FALSE);
            s.SetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
            s.SetState(D3DRS_ALPHAREF, 0);
            // Magnified over most of the target, as a page's backdrop is on a larger screen.
            const D3DCOLOR a = (c.alpha != 0 ? c.alpha : 0x40u) << 24 | 0xF0E0D0u;
            const D3DCOLOR b = (c.alpha != 0 ? c.alpha : 0xFFu) << 24 | 0xF0E0D0u;
            const float x0 = 2.0f, y0 = 1.0f, x1 = 155.0f, y1 = 93.0f;
            const std::vector<swrtest::TexVertex> picture = {
                {x0, y0, 0.5f, 1.0f, a, 0.0f, 0.0f}, {x1, y0, 0.5f, 1.0f, a, 1.0f, 0.0f},
                {x0, y1, 0.5f, 1.0f, b, 0.0f, 1.0f}, {x1, y0, 0.5f, 1.0f, a, 1.0f, 0.0f},
                {x1, y1, 0.5f, 1.0f, b, 1.0f, 1.0f}, {x0, y1, 0.5f, 1.0f, b, 0.0f, 1.0f}};
            EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, picture, 2, swrtest::kTexFvf));
            swr::SetFastPathsEnabled(true);
            return swrtest::Snapshot(s);
        };
        const std::string what = "alpha " + std::to_string(c.alpha) + (c.alphaTest ? ", alpha-tested" : "") +
                                 (c.depth ? ", depth-tested" : "") + (c.format == D3DFMT_X8R8G8B8 ? ", no target alpha" : "");
        const std::vector<uint32_t> reference = draw(false);
        swr::TakeOpaqueSourceTriangles();
        EXPECT_EQ(FirstRunThatDiffers(reference, kTargetW, {{1u, false}, {3u, false}}, [&](bool) { return draw(true); }), "")
            << what;
        EXPECT_EQ(swr::TakeOpaqueSourceTriangles() > 0, c.unblended) << what;
        for (uint32_t lanes : Widths()) {
            Width width(lanes);
            Fault wrong(swr::kSpanFaultOpaqueSource);
            EXPECT_EQ(FirstDifference(draw(true), reference) >= 0, c.alpha == 254) << what << ", " << lanes << " lanes";
        }
    }
}

// A picture of the interface's kind under an alpha test: a frame round a clear middle
// (texels of no alpha, whatever their colour), with a faint stripe across it and a
// clear corner. Where no alpha of 0 passes the test and the stage's alpha is the
// texel's, alone or times the diffuse alpha, its clear pixels are left out before
// shading; elsewhere they are drawn. Either way every pixel and depth is the reference
// path's, at every width and thread count, filtered or by point, over depth or not.
TEST(FastTriangle, APictureLeavesOutItsClearTexelsOnlyWhereTheAlphaTestFailsThem) {
    constexpr uint32_t kTexSize = 32, kTargetW = 64, kTargetH = 48;
    swrtest::TestTexture tex(D3DFMT_A8R8G8B8);
    std::vector<uint32_t> texels(kTexSize * kTexSize);
    for (uint32_t y = 0; y < kTexSize; ++y) {
        for (uint32_t x = 0; x < kTexSize; ++x) {
            const bool frame = x < 4 || y < 4 || x >= kTexSize - 4 || y >= kTexSize - 4;
            const bool stripe = x == y || x == y + 1;
            const bool corner = x < 6 && y < 6;
            uint32_t alpha = frame ? 0x40u + (x * 7u + y * 3u) % 0xC0u : stripe ? 1u + x % 3u : 0u;
            if (corner) alpha = 0;
            texels[y * kTexSize + x] = alpha << 24 | ((x * 0x0B0703u + y * 0x030B07u) & 0xFFFFFFu);
        }
    }
    tex.AddLevel(kTexSize, kTexSize, texels);
    struct Case {
        DWORD alphaOp, alphaArg1, alphaFunc, alphaRef;
        bool leavesOut;
    };
    const Case cases[] = {
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DCMP_GREATER, 0, true},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DCMP_GREATEREQUAL, 1, true},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DCMP_NOTEQUAL, 0, true},
        // An alpha of 0 passes: the clear pixels are drawn.
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DCMP_LESS, 0x80, false},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DCMP_GREATEREQUAL, 0, false},
        // The alpha is the diffuse colour's: the texel's does not decide it.
        {D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DCMP_GREATER, 0, false},
    };
    auto draw = [&](const Case &c, bool linear, bool depth, bool fast) {
        Scene s(kTargetW, kTargetH, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
        s.ClearDepthStencil(1.0f, 0);
        s.FillPixels(0xFF204060u);
        if (!fast) swr::SetFastPathsEnabled(false);
        s.SetState(D3DRS_ZENABLE, depth ? D3DZB_TRUE : D3DZB_FALSE);
        s.SetState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
        s.SetState(D3DRS_ZWRITEENABLE, depth ? TRUE : FALSE);
        s.state.textures[0] = tex.View();
        DWORD *ts = s.state.stageStates[0];
        ModulateTexture(ts, linear ? D3DTEXF_LINEAR : D3DTEXF_POINT, D3DTADDRESS_CLAMP);
        ts[D3DTSS_ALPHAOP] = c.alphaOp;
        ts[D3DTSS_ALPHAARG1] = c.alphaArg1;
        s.SetState(D3DRS_ALPHABLENDENABLE, TRUE);
        s.SetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        s.SetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        s.SetState(D3DRS_ALPHATESTENABLE, TRUE);
        s.SetState(D3DRS_ALPHAFUNC, c.alphaFunc);
        s.SetState(D3DRS_ALPHAREF, c.alphaRef);
        // Magnified a little, as the interface is on a larger screen, from a corner
        // inside the target.
        const D3DCOLOR d = 0xE0F0E0D0u;
        const float x0 = 3.0f, y0 = 2.0f, x1 = 3.0f + 50.0f, y1 = 2.0f + 43.0f;
        const std::vector<swrtest::TexVertex> picture = {
            {x0, y0, 0.5f, 1.0f, d, 0.0f, 0.0f}, {x1, y0, 0.5f, 1.0f, d, 1.0f, 0.0f},
            {x0, y1, 0.5f, 1.0f, d, 0.0f, 1.0f}, {x1, y0, 0.5f, 1.0f, d, 1.0f, 0.0f},
            {x1, y1, 0.5f, 1.0f, d, 1.0f, 1.0f}, {x0, y1, 0.5f, 1.0f, d, 0.0f, 1.0f}};
        EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, picture, 2, swrtest::kTexFvf));
        swr::SetFastPathsEnabled(true);
        return swrtest::Snapshot(s);
    };
    for (const Case &c : cases) {
        for (const bool linear : {true, false}) {
            for (const bool depth : {false, true}) {
                const std::vector<uint32_t> reference = draw(c, linear, depth, false);
                for (uint32_t lanes : Widths()) {
                    Width width(lanes);
                    for (uint32_t count : {1u, 3u}) {
                        Threads threads(count);
                        swr::TakePictureTriangles(false);
                        swr::TakePictureTriangles(true);
                        swr::TakeClearTexelPictures();
                        const std::string run = "alpha op " + std::to_string(c.alphaOp) + ", test " +
                                                std::to_string(c.alphaFunc) + (linear ? ", filtered" : ", by point") +
                                                (depth ? ", over depth, " : ", ") + std::to_string(lanes) + " lanes, " +
                                                std::to_string(count) + " threads";
                        EXPECT_EQ(FirstDifference(draw(c, linear, depth, true), reference), -1) << run;
                        EXPECT_GT(swr::TakePictureTriangles(false) + swr::TakePictureTriangles(true), 0u) << run;
                        EXPECT_EQ(swr::TakeClearTexelPictures() > 0, c.leavesOut) << run;
                    }
                }
            }
        }
    }
}

// Whether a draw state takes a span routine.
bool TakesSpans(const swr::DrawState &state) {
    std::vector<uint32_t> pixels(16);
    swr::ColorTarget color{4, 4, 16, D3DFMT_A8R8G8B8, reinterpret_cast<uint8_t *>(pixels.data())};
    swr::PixelPipeline pipeline;
    EXPECT_TRUE(pipeline.Prepare(state, color, nullptr));
    swr::RasterContext ctx;
    for (uint32_t s = 0; s < 2; ++s) {
        if (pipeline.SampledStages() & (1u << s)) ctx.coords[s] = swr::MakeStageCoordLayout(state, s, false), ctx.coordStages = s + 1;
    }
    swr::FastTriangle fast;
    return fast.Prepare(pipeline, ctx);
}

TEST(FastTriangle, CommonEngineStatesTakeTheSpanRoutines) {
    swrtest::TestTexture tex(D3DFMT_A8R8G8B8), palettised(D3DFMT_P8), compressed(D3DFMT_DXT1), lightmap(D3DFMT_R5G6B5);
    tex.AddLevel(1, 1, {0xFFFFFFFFu});
    palettised.AddLevel(4, 4, 4, std::vector<uint8_t>(16, 3));
    compressed.AddLevel(4, 4, 8, std::vector<uint8_t>(8, 0x5A));
    lightmap.AddLevel(2, 2, 4, std::vector<uint8_t>(8, 0x77));
    Scene s(4, 4);
    swr::DrawState &st = s.state;
    // Untextured: colour from the vertices.
    EXPECT_TRUE(TakesSpans(st));
    // A texture modulated by diffuse, alpha from the texture, blended and fogged.
    st.textures[0] = tex.View();
    DWORD *ts = st.stageStates[0];
    ts[D3DTSS_COLOROP] = D3DTOP_MODULATE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
    ts[D3DTSS_ALPHAOP] = D3DTOP_MODULATE;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
    s.SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    s.SetState(D3DRS_FOGENABLE, TRUE);
    s.SetState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    EXPECT_TRUE(TakesSpans(st));
    // Palettised and compressed textures, mirrored and bordered.
    st.textures[0] = palettised.View();
    ts[D3DTSS_ADDRESSU] = D3DTADDRESS_MIRROR;
    ts[D3DTSS_ADDRESSV] = D3DTADDRESS_BORDER;
    EXPECT_TRUE(TakesSpans(st));
    st.textures[0] = compressed.View();
    EXPECT_TRUE(TakesSpans(st));
    // A lightmap in a second stage, specular added; flat black objects by the factor.
    st.textures[1] = lightmap.View();
    DWORD *t1 = st.stageStates[1];
    t1[D3DTSS_COLOROP] = D3DTOP_MODULATE2X;
    t1[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    t1[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    s.SetState(D3DRS_SPECULARENABLE, TRUE);
    EXPECT_TRUE(TakesSpans(st));
    ts[D3DTSS_COLOROP] = D3DTOP_SELECTARG2;
    ts[D3DTSS_COLORARG2] = D3DTA_TFACTOR;
    EXPECT_TRUE(TakesSpans(st));
    // A dot product, or a texture without a copy slot of its own, needs the general path.
    t1[D3DTSS_COLOROP] = D3DTOP_DOTPRODUCT3;
    EXPECT_FALSE(TakesSpans(st));
    t1[D3DTSS_COLOROP] = D3DTOP_DISABLE;
    swr::TextureLevel bare{4, 4, 4, palettised.View().levels[0].bits, nullptr};
    st.textures[0] = swr::TextureView{D3DFMT_P8, 1, false, &bare};
    ts[D3DTSS_COLOROP] = D3DTOP_MODULATE;
    EXPECT_FALSE(TakesSpans(st));
    st.textures[0] = tex.View();
    s.SetState(D3DRS_SPECULARENABLE, FALSE);
    // Turned off, nothing takes them.
    FastPathsOff off;
    EXPECT_FALSE(TakesSpans(st));
}

// A copy stays while its level is unchanged and is made again after the level is
// written, or when a palettised level meets another palette.
TEST(FastTriangle, TexelCopiesFollowTheirLevelAndPalette) {
    swrtest::TestTexture t(D3DFMT_P8);
    t.AddLevel(2, 1, 2, {0, 1});
    PALETTEENTRY palette[256] = {};
    palette[0] = PALETTEENTRY{10, 20, 30, 40};
    palette[1] = PALETTEENTRY{50, 60, 70, 80};
    const swr::TextureLevel &level = t.View().levels[0];
    const swr::TexelFetch fetch = swr::TexelFetchFor(D3DFMT_P8);
    const uint32_t *texels = t.Copy(0).Get(level, D3DFMT_P8, fetch, palette, 0);
    const uint32_t first = texels[0];
    EXPECT_EQ(first, 0x280A141Eu);
    EXPECT_EQ(texels[1], 0x50323C46u);
    palette[1].peBlue = 71;  // another palette: made again
    EXPECT_EQ(t.Copy(0).Get(level, D3DFMT_P8, fetch, palette, 0)[1] & 0xFFu, 71u);
    t.Bits(0)[1] = 0;  // written: dropped, and made from the new texels
    EXPECT_FALSE(t.Copy(0).Held());
    EXPECT_EQ(t.Copy(0).Get(level, D3DFMT_P8, fetch, palette, 0)[1], first);
}

// A level whose sizes are powers of two is copied with a spare column and row that repeat
// its first column and row (and first texel in the corner); other sizes are copied row
// by row as they are.
TEST(FastTriangle, TexelCopiesOfPowerOfTwoLevelsRepeatTheirFirstColumnAndRow) {
    swrtest::TestTexture t(D3DFMT_A8R8G8B8);
    std::vector<uint32_t> texels(4 * 2);
    for (uint32_t i = 0; i < texels.size(); ++i) texels[i] = 0x11000000u * (i + 1) + i;
    t.AddLevel(4, 2, texels);
    std::vector<uint32_t> odd(3 * 2, 7u);
    t.AddLevel(3, 2, odd);
    const swr::TexelFetch fetch = swr::TexelFetchFor(D3DFMT_A8R8G8B8);
    const uint32_t *copy = t.Copy(0).Get(t.View().levels[0], D3DFMT_A8R8G8B8, fetch, nullptr, 0);
    ASSERT_EQ(t.Copy(0).Pitch(), 5u);
    for (uint32_t y = 0; y <= 2; ++y) {
        for (uint32_t x = 0; x <= 4; ++x) {
            EXPECT_EQ(copy[y * 5 + x], texels[(y % 2) * 4 + x % 4]) << x << ", " << y;
        }
    }
    t.Copy(1).Get(t.View().levels[1], D3DFMT_A8R8G8B8, fetch, nullptr, 0);
    EXPECT_EQ(t.Copy(1).Pitch(), 3u);
}

// A sliver whose bounds hold no pixel centre (between two columns, or two rows) is not
// set up at all; one whose bounds reach a centre is, even where its edges leave it out.
TEST(FastTriangle, ASliverBetweenPixelCentresIsNotSetUp) {
    auto setUp = [](float x0, float y0, float x1, float y1, float x2, float y2) {
        swr::ScreenVertex v[3];
        v[0].x = x0, v[0].y = y0, v[1].x = x1, v[1].y = y1, v[2].x = x2, v[2].y = y2;
        swr::TriangleSetup setup;
        return swr::SetupTriangle(v[0], v[1], v[2], D3DCULL_NONE, 0, setup);
    };
    EXPECT_FALSE(setUp(2.2f, 1.0f, 2.8f, 1.0f, 2.5f, 9.0f)) << "between columns 2 and 3";
    EXPECT_FALSE(setUp(1.0f, 3.2f, 9.0f, 3.4f, 5.0f, 3.8f)) << "between rows 3 and 4";
    EXPECT_TRUE(setUp(2.0f, 1.0f, 2.8f, 1.0f, 2.5f, 9.0f)) << "column 2 on its bounds";
    EXPECT_TRUE(setUp(1.0f, 3.2f, 9.0f, 3.4f, 5.0f, 4.0f)) << "row 4 on its bounds";
    EXPECT_TRUE(setUp(2.6f, 1.0f, 3.9f, 1.0f, 2.6f, 9.0f)) << "column 3 inside";
}

// The row walk steps the same spans TriangleRowSpan divides out, row after row, and
// block by block inside limits.
TEST(FastTriangle, RowWalkGivesTheSpansOfEveryRow) {
    std::mt19937 rng(5);
    auto coord = [&](float range) { return static_cast<float>(rng() % 100000) / 100000.0f * range - range / 4; };
    int checked = 0;
    for (int i = 0; i < 2000; ++i) {
        swr::ScreenVertex v[3];
        const float range = i % 3 == 0 ? 4.0f : i % 3 == 1 ? 64.0f : 3000.0f;
        for (swr::ScreenVertex &c : v) c.x = coord(range), c.y = coord(range);
        swr::TriangleSetup setup;
        if (!swr::SetupTriangle(v[0], v[1], v[2], D3DCULL_NONE, 0, setup)) continue;
        swr::RowWalk walk;
        walk.Start(setup, setup.minY);
        for (int32_t y = setup.minY; y <= setup.maxY; ++y, walk.Next()) {
            int32_t a0, a1, b0, b1;
            swr::TriangleRowSpan(setup, y, a0, a1);
            walk.Span(b0, b1);
            if (a0 >= a1) {
                ASSERT_GE(b0, b1) << "triangle " << i << " row " << y;
            } else {
                ASSERT_EQ(a0, b0) << "triangle " << i << " row " << y;
                ASSERT_EQ(a1, b1) << "triangle " << i << " row " << y;
            }
            ++checked;
        }
        // The same rows a block at a time, inside limits that cut some of them short.
        const int32_t cut0 = setup.minX + static_cast<int32_t>(rng() % 3), cut1 = setup.maxX - static_cast<int32_t>(rng() % 3);
        swr::RowWalk blocks;
        blocks.Start(setup, setup.minY);
        int32_t x0[7], x1[7];
        for (int32_t y = setup.minY; y <= setup.maxY;) {
            const int32_t count = std::min<int32_t>(1 + static_cast<int32_t>(rng() % 7), setup.maxY + 1 - y);
            blocks.Fill(count, cut0, cut1, x0, x1);
            for (int32_t k = 0; k < count; ++k, ++y) {
                int32_t a0, a1;
                swr::TriangleRowSpan(setup, y, a0, a1);
                a0 = std::max(a0, cut0);
                a1 = std::min(a1, cut1);
                if (a0 >= a1) {
                    ASSERT_GE(x0[k], x1[k]) << "triangle " << i << " row " << y;
                } else {
                    ASSERT_EQ(a0, x0[k]) << "triangle " << i << " row " << y;
                    ASSERT_EQ(a1, x1[k]) << "triangle " << i << " row " << y;
                }
            }
        }
    }
    EXPECT_GT(checked, 10000);
}

// Planes of the varyings are made two at a time; each must be the plane the depth gets
// from the same values one at a time (with one 1/w everywhere, both divide nothing).
TEST(FastTriangle, VaryingPlanesTwoAtATimeMatchThePlaneOfOneValue) {
    std::mt19937 rng(11);
    auto real = [&](float range) { return static_cast<float>(rng() % 1000000) / 1000000.0f * range - range / 2; };
    int checked = 0;
    for (int i = 0; i < 300; ++i) {
        swr::ScreenVertex v[3];
        for (swr::ScreenVertex &c : v) {
            c.x = real(400.0f) + 200.0f, c.y = real(300.0f) + 150.0f, c.rhw = 0.5f;
            for (float &x : c.var) x = real(512.0f);
        }
        for (uint32_t k = 0; k < swr::kMaxVaryings; ++k) {
            for (swr::ScreenVertex &c : v) c.z = c.var[k];
            swr::TriangleSetup setup;
            if (!swr::SetupTriangle(v[0], v[1], v[2], D3DCULL_NONE, swr::kMaxVaryings, setup)) break;
            ASSERT_EQ(setup.var[k].at0, setup.z.at0) << "triangle " << i << " varying " << k;
            ASSERT_EQ(setup.var[k].dx, setup.z.dx) << "triangle " << i << " varying " << k;
            ASSERT_EQ(setup.var[k].dy, setup.z.dy) << "triangle " << i << " varying " << k;
            ++checked;
        }
    }
    EXPECT_GT(checked, 10000);
}

}  // namespace

}  // namespace swr_fast_triangle_test
