// What the material-effects, lightmap and patch pixel tests share: the
// headless screen with those plug-ins attached, textures filled from a
// function, a camera-facing quad atomic with the vertex data a test asks
// for, colour arithmetic for hand-computed pixels, and the comparison with
// a reviewed reference image (RW_WRITE_SURFACE_REFERENCES=1 rewrites them).
#pragma once

#include <cstdlib>
#include <functional>
#include <string>

#include "rpltmap.h"
#include "rpmatfx.h"
#include "rppatch.h"
#include "rpworld.h"
#include "rwraster.h"
#include "rwsdk/driver/d3d8/d3d8raster.h"
#include "rwtexture.h"
#include "support/engine/headless_screen.h"

namespace surfacescreen {

inline bool AttachSurfaces()
{
    return RpWorldPluginAttach() && RpMatFXPluginAttach() && RpLightMapPluginAttach() && RpPatchPluginAttach();
}

constexpr RwUInt32 kWidth = 64;
constexpr RwUInt32 kHeight = 48;

class Screen : public headlessscreen::Screen {
public:
    // The camera 4 units before the z = 0 plane, seeing x and y in -2..2
    // and -1.5..1.5 there.
    bool Start(const d3d8::Profile &profile)
    {
        if (!headlessscreen::Screen::Start(profile, kWidth, kHeight, AttachSurfaces)) {
            return false;
        }
        Place({0.0f, 0.0f, -4.0f}, 0.5f);
        return true;
    }
};

// A profile with only `stages` texture-blend stages (and textures at once).
inline d3d8::Profile ProfileWithStages(DWORD stages)
{
    d3d8::Profile profile = d3d8::DefaultProfile();
    profile.blendStages = stages;
    return profile;
}

// A w x h texture whose texel (x, y) is `texel(x, y)` as 0xAARRGGBB, point
// sampled; the alpha channel counts only with `alpha`.
inline RwTexture *MakeTexture(RwInt32 w, RwInt32 h, bool alpha, const std::function<RwUInt32(RwInt32, RwInt32)> &texel)
{
    RwRaster *raster =
        RwRasterCreate(w, h, 0, rwRASTERTYPETEXTURE | (alpha ? rwRASTERFORMAT8888 : rwRASTERFORMAT888));
    if (raster == nullptr) {
        return nullptr;
    }
    RwUInt8 *pixels = RwRasterLock(raster, 0, rwRASTERLOCKWRITE);
    if (pixels == nullptr) {
        RwRasterDestroy(raster);
        return nullptr;
    }
    for (RwInt32 y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<RwUInt32 *>(pixels + y * raster->stride);
        for (RwInt32 x = 0; x < w; ++x) {
            row[x] = texel(x, y) | (alpha ? 0u : 0xFF000000u);
        }
    }
    RwRasterUnlock(raster);
    RwTexture *texture = RwTextureCreate(raster);
    RwTextureSetFilterMode(texture, rwFILTERNEAREST);
    return texture;
}

inline RwTexture *SolidTexture(RwUInt32 argb, bool alpha = false)
{
    return MakeTexture(4, 4, alpha, [argb](RwInt32, RwInt32) { return argb; });
}

struct QuadShape {
    RwReal half = 1.0f;  // the quad spans -half..half in x and y at z = 0
    RwInt32 uvSets = 1;
    bool prelit = true;
    RwRGBA prelitColour = {255, 255, 255, 255};
    bool normals = true;  // facing the camera (-z)
};

// Two triangles; texture coordinates run 0..1 across the quad in every set.
inline RpGeometry *MakeQuad(RpMaterial *material, const QuadShape &shape = {})
{
    RwUInt32 flags = rpGEOMETRYPOSITIONS | (shape.uvSets >= 2 ? rpGEOMETRYTEXTURED2 : rpGEOMETRYTEXTURED);
    flags |= shape.prelit ? rpGEOMETRYPRELIT : 0u;
    flags |= shape.normals ? rpGEOMETRYNORMALS : 0u;
    RpGeometry *g = RpGeometryCreate(4, 2, flags);
    if (g == nullptr) {
        return nullptr;
    }
    const RwReal h = shape.half;
    const RwV3d corners[4] = {{-h, -h, 0}, {h, -h, 0}, {-h, h, 0}, {h, h, 0}};
    const RwTexCoords uvs[4] = {{0, 1}, {1, 1}, {0, 0}, {1, 0}};
    for (RwInt32 v = 0; v < 4; ++v) {
        g->morphTarget[0].verts[v] = corners[v];
        if (shape.normals) {
            g->morphTarget[0].normals[v] = {0.0f, 0.0f, -1.0f};
        }
        if (shape.prelit) {
            g->preLitLum[v] = shape.prelitColour;
        }
        for (RwInt32 set = 0; set < g->numTexCoordSets; ++set) {
            g->texCoords[set][v] = uvs[v];
        }
    }
    const RwUInt16 tris[2][3] = {{0, 1, 2}, {1, 3, 2}};
    for (RwInt32 t = 0; t < 2; ++t) {
        for (int k = 0; k < 3; ++k) {
            g->triangles[t].vertIndex[k] = tris[t][k];
        }
        RpGeometryTriangleSetMaterial(g, &g->triangles[t], material);
    }
    return RpGeometryUnlock(g);
}

// An atomic of `geometry` (which it takes over) on a frame at the origin.
inline RpAtomic *MakeAtomic(RpGeometry *geometry)
{
    RpAtomic *atomic = RpAtomicCreate();
    RpAtomicSetFrame(atomic, RwFrameCreate());
    RpAtomicSetGeometry(atomic, geometry, 0);
    RpGeometryDestroy(geometry);
    return atomic;
}

inline void DestroyAtomic(RpAtomic *atomic)
{
    if (atomic == nullptr) {
        return;
    }
    RwFrame *frame = RpAtomicGetFrame(atomic);
    RpAtomicSetFrame(atomic, nullptr);
    RpAtomicDestroy(atomic);
    RwFrameDestroy(frame);
}

// ---- colours as 0xRRGGBB

inline RwUInt32 Rgb(RwUInt32 pixel) { return pixel & 0xFFFFFFu; }
inline RwUInt32 Channel(RwUInt32 c, int i) { return (c >> (16 - 8 * i)) & 0xFFu; }
inline RwUInt32 Pack(RwUInt32 r, RwUInt32 g, RwUInt32 b)
{
    auto clamp = [](RwUInt32 v) { return v > 255u ? 255u : v; };
    return (clamp(r) << 16) | (clamp(g) << 8) | clamp(b);
}
template <typename F>
RwUInt32 PerChannel(RwUInt32 a, RwUInt32 b, F f)
{
    return Pack(f(Channel(a, 0), Channel(b, 0)), f(Channel(a, 1), Channel(b, 1)), f(Channel(a, 2), Channel(b, 2)));
}
inline RwUInt32 Mul(RwUInt32 a, RwUInt32 b)
{
    return PerChannel(a, b, [](RwUInt32 x, RwUInt32 y) { return (x * y + 127) / 255; });
}
inline RwUInt32 Add(RwUInt32 a, RwUInt32 b)
{
    return PerChannel(a, b, [](RwUInt32 x, RwUInt32 y) { return x + y; });
}
inline RwUInt32 Scale(RwUInt32 a, RwUInt32 factor) { return Mul(a, factor * 0x010101u); }

// Every channel within `tolerance` (the device's rounding of products).
inline ::testing::AssertionResult ColourNear(RwUInt32 actual, RwUInt32 expected, int tolerance = 2)
{
    for (int i = 0; i < 3; ++i) {
        if (std::abs(static_cast<int>(Channel(actual, i)) - static_cast<int>(Channel(expected, i))) > tolerance) {
            return ::testing::AssertionFailure()
                   << std::hex << "drawn 0x" << Rgb(actual) << ", expected 0x" << Rgb(expected);
        }
    }
    return ::testing::AssertionSuccess();
}

// The screen's centre pixel, inside the quad.
inline RwUInt32 Centre(const win::Frame &frame) { return Rgb(frame.At(frame.width / 2, frame.height / 2)); }

// `shot` against reference image `name` in `directory` (relative to the
// source tree); the drawn image and a difference image go to the build's
// test output when they differ in more than `maxPixels` pixels.
inline void ExpectMatchesReference(const win::Frame &shot, const std::string &directory, const std::string &name,
                                   int tolerance = 2, size_t maxPixels = 0)
{
    const std::string reference = std::string(RW_TEST_SOURCE_DIR) + "/" + directory + "/" + name;
    if (std::getenv("RW_WRITE_SURFACE_REFERENCES") != nullptr) {
        ASSERT_TRUE(headlessscreen::WritePng(shot, reference));
        return;
    }
    win::Frame expected;
    ASSERT_TRUE(headlessscreen::ReadPng(reference, &expected)) << "missing reference " << reference;
    const std::string out = std::string(RW_TEST_BINARY_DIR) + "/test-output/" + directory + "/";
    const size_t differing = headlessscreen::CountDifferences(shot, expected, tolerance, out + name + ".diff.png");
    if (differing > maxPixels) {
        headlessscreen::WritePng(shot, out + name);
    }
    EXPECT_LE(differing, maxPixels) << "drawn: " << out << name << ", difference: " << out << name << ".diff.png";
}

}  // namespace surfacescreen
