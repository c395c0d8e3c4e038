// What a span routine reads for one draw, settled once per draw from the pixel pipeline:
// plain values and pointers only, so that the routines (built once for the baseline
// instruction set and once for wider vectors, swr_span_kernel.h) call nothing of the
// pipeline per pixel. Every field means what the matching part of the reference path
// does with it; FastTriangle::Prepare (swr_fast_triangle.cpp) fills it in.
#pragma once

#include <cstdint>

#include "d3d8/d3d8types.h"
#include "swr_clip_vertex.h"

namespace swr {

class CoarseDepth;
class DepthStencilUnit;
struct FogSetup;
struct TriangleSetup;
struct RasterContext;
struct PixelRect;

constexpr uint32_t kMaxSpanLevels = 16;
// Stages that sample a texture in one draw the routines take (the lightmap and dual
// texture routes need two).
constexpr uint32_t kMaxSpanSampled = 2;

// How a coordinate is addressed on an axis (the sampler's modes, wrap split by size).
enum class SpanAddress : uint8_t { WrapPow2, Wrap, Mirror, Clamp, Border, MirrorOnce };

// The point mip filter's level as steps of the footprint rho2 (the larger squared length
// of the texel-space derivatives, Lambda's): the level of detail only ever grows with
// rho2 (its log2 is an increasing cubic on the mantissa) and by half a level over a
// binade, so the level round(lambda) steps up at most once in each. Per binade of rho2
// from 2^0 on (float exponent bits 127 to 158): the level at its start and the first
// bits of rho2 inside it where the level is one more (INT32_MAX: nowhere). A footprint
// below the first binade takes the first's level, one above the last the last's, and
// every level is then clamped to the sampler's; NaN, which magnifies, takes the base.
// `magnified`: the largest bits of rho2 that magnify (lambda <= 0).
struct LodSteps {
    static constexpr int32_t kFirst = 127, kCount = 32;
    int32_t level[kCount];
    int32_t step[kCount];
    int32_t magnified;
};
// The steps for a level-of-detail bias of zero (the engine's only bias), worked out
// once; null where they could not be made exact.
const LodSteps *ZeroBiasLodSteps();

// One texture level of 32-bit texels (the texture's own, or its 32-bit copy).
struct SpanLevel {
    const uint32_t *texels = nullptr;
    int32_t pitch = 0;  // in texels
    int32_t width = 0, height = 0;
    float fwidth = 0, fheight = 0;
};

// The sampler choices a stage's sampling may be compiled for (its shape), so that a
// common stage runs without deciding them group by group; -1 leaves a choice to the
// sampler at run time. The routines are built once for each shape in kSamplerShapes,
// whose last entry decides everything at run time.
struct SamplerShape {
    int8_t mip = -1;       // D3DTEXF_NONE, D3DTEXF_POINT or D3DTEXF_LINEAR
    int8_t linear = -1;    // 0: point filtering in and out, 1: linear in and out
    int8_t address = -1;   // a SpanAddress of both axes
};
constexpr SamplerShape kSamplerShapes[] = {
    {D3DTEXF_NONE, 1, int8_t(SpanAddress::WrapPow2)},  {D3DTEXF_NONE, 0, int8_t(SpanAddress::WrapPow2)},
    {D3DTEXF_NONE, 1, int8_t(SpanAddress::Clamp)},     {D3DTEXF_NONE, 0, int8_t(SpanAddress::Clamp)},
    {D3DTEXF_POINT, 1, int8_t(SpanAddress::WrapPow2)}, {D3DTEXF_POINT, 0, int8_t(SpanAddress::WrapPow2)},
    {D3DTEXF_POINT, 1, int8_t(SpanAddress::Clamp)},    {D3DTEXF_POINT, 0, int8_t(SpanAddress::Clamp)},
    {D3DTEXF_LINEAR, 1, int8_t(SpanAddress::WrapPow2)}, {D3DTEXF_LINEAR, 0, int8_t(SpanAddress::WrapPow2)},
    {D3DTEXF_LINEAR, 1, int8_t(SpanAddress::Clamp)},   {D3DTEXF_LINEAR, 0, int8_t(SpanAddress::Clamp)},
    {},
};
constexpr uint32_t kSamplerShapeCount = sizeof(kSamplerShapes) / sizeof(kSamplerShapes[0]);
// The shapes of one level filtered linearly, wrapped on sizes of two's powers or
// clamped (the filtered rows' routines, swr_span_kernel.h).
constexpr uint8_t kFilteredWrapShape = 0, kFilteredClampShape = 2;
static_assert(kSamplerShapes[kFilteredWrapShape].address == int8_t(SpanAddress::WrapPow2) &&
                  kSamplerShapes[kFilteredClampShape].address == int8_t(SpanAddress::Clamp),
              "the filtered rows' shapes");

struct SpanSampler {
    SpanLevel levels[kMaxSpanLevels];
    int32_t levelCount = 0, baseLevel = 0;
    SpanAddress addressU = SpanAddress::Wrap, addressV = SpanAddress::Wrap;
    bool magLinear = false, minLinear = false;
    DWORD mipFilter = D3DTEXF_NONE;  // NONE, POINT or LINEAR
    bool needsLod = false;
    float lodBias = 0;
    // Set for a point mip filter under a bias of zero: the routines that can look the
    // level up from these steps do, instead of working lambda out.
    const LodSteps *lodSteps = nullptr;
    // Every level's rows and pitch below 2^15, so a texel's row offset is one 16-bit
    // multiply-add.
    bool shortRows = false;
    // Every level's texels have a spare column on the right and a spare row below that
    // repeat the first column and row (TexelCopy): where both axes wrap, a filter's
    // second column is always the word after its first, and its second row the next.
    bool spare = false;
    uint32_t border = 0;  // packed border colour
    uint32_t opaque = 0;  // or-ed into every texel (X8R8G8B8)
    // Where the stage's coordinates come from: varying slot of u (v follows) and the
    // projecting element (-1: none).
    uint32_t slot = 0;
    int32_t divisor = -1;
    // The largest u and v whose texel coordinates (u times a level's width, v times its
    // height) are at most 2^29 on every level: coordinates within them need no pinning.
    float reachU = 0, reachV = 0;
    // The first entry of kSamplerShapes that fits this sampler.
    uint8_t shape = kSamplerShapeCount - 1;
};

// The first shape that fits `sm`.
uint8_t ShapeOf(const SpanSampler &sm);

// A combiner argument: its source and modifiers.
enum class SpanSource : uint8_t { Diffuse, Current, Texture, Factor, Specular, Temp, White };
struct SpanArgument {
    SpanSource source = SpanSource::Current;
    bool complement = false, replicate = false;
};

// A stage whose operations are all selections, products and sums of plain arguments
// (diffuse, current, texture, factor) is worked branch-free: per 16-bit lane (three
// colour lanes and the alpha lane of each pixel) which argument is the first and the
// second, and masks saying which result each lane keeps. A disabled alpha operation
// selects the current alpha.
struct SimpleSpanStage {
    enum Source : uint8_t { kDiffuse = 0, kCurrent = 1, kTexture = 2, kFactor = 3 };
    uint8_t colorA = kCurrent, alphaA = kCurrent, colorB = kCurrent, alphaB = kCurrent;
    // 64-bit lane masks for one pixel (blue, green, red, alpha), repeated across a vector.
    uint64_t pickA = 0, pickB = 0, pickProduct = 0, pickSum = 0;
};

struct SpanStage {
    DWORD colorOp = D3DTOP_DISABLE, alphaOp = D3DTOP_DISABLE;
    SpanArgument colorArg[3], alphaArg[3];
    bool toTemp = false;
    bool sampled = false;  // reads samplers[stage]; otherwise its texture is opaque white
};

// Depth and stencil as the routines work them: four or eight pixels at a time when
// depth alone sits in the words and quantises into 24 bits or fewer, else pixel by
// pixel through the unit itself.
struct SpanDepth {
    enum class Kind : uint8_t { None, Words16, Words32, PerPixel };
    Kind kind = Kind::None;
    uint8_t *bits = nullptr;
    uint32_t pitch = 0;
    uint32_t depthMask = 0, shift = 0, depthBits = 0;
    float depthMax = 0.0f;  // 2^depthBits - 1, the value stored for a depth of 1 (exact in a float to 24 bits)
    DWORD func = D3DCMP_ALWAYS;
    bool write = false;
    const DepthStencilUnit *unit = nullptr;  // PerPixel
    CoarseDepth *coarse = nullptr;           // the target's tiles, when it keeps them
};

struct SpanPlan {
    uint32_t stageCount = 0;
    SpanStage stages[D3D8_MAX_TEXTURE_STAGES];
    SpanSampler samplers[D3D8_MAX_TEXTURE_STAGES];
    // The stages that sample, in order.
    uint32_t sampledCount = 0;
    uint32_t sampledStage[kMaxSpanSampled] = {};
    // Set when every stage can be worked as a SimpleSpanStage.
    bool simple = false;
    SimpleSpanStage simpleStages[D3D8_MAX_TEXTURE_STAGES];
    // Set when the one stage is simple and gives every lane the product of the texel and
    // the diffuse colour, the texel alone or the diffuse colour alone (a texture
    // modulated by the vertices' colour, its alpha the texture's, the vertices' or the
    // product: the commonest stage); `texelLanes` and `diffuseLanes` are the 64-bit lane
    // masks of one pixel that take the texel and the diffuse colour alone.
    bool texelTimesDiffuse = false;
    uint64_t texelLanes = 0, diffuseLanes = 0;
    // Clear when nothing reads the diffuse colour's alpha (such a stage whose alpha is the
    // texture's): the routines then leave it out.
    bool readsDiffuseAlpha = true;
    uint32_t factor = 0;
    bool addSpecular = false;
    bool readsDiffuse = false, readsSpecular = false;

    enum class Fog : uint8_t { None, Vertex, Table };
    Fog fog = Fog::None;
    uint32_t fogColor = 0;
    const FogSetup *fogSetup = nullptr;  // Table
    // Linear table fog, worked vector-wide: its end and end - start (`fogFlat` when they
    // are equal: then a step at the end). Exp and exp2 go lane by lane (SpanTableFog).
    bool fogLinear = false, fogFlat = false;
    float fogEnd = 0, fogRange = 1;

    bool alphaTest = false;
    DWORD alphaFunc = D3DCMP_ALWAYS;
    uint32_t alphaRef = 0;

    SpanDepth depth;

    bool blend = false;
    DWORD srcBlend = D3DBLEND_ONE, dstBlend = D3DBLEND_ZERO, blendOp = D3DBLENDOP_ADD;

    uint8_t *colorBits = nullptr;
    uint32_t colorPitch = 0;
    uint32_t keepMask = 0;  // bits of the old pixel that survive the channel mask
    bool targetHasAlpha = true;

    // A test's deliberate error (SetSpanFault): which value of which routine is off by
    // one, and the sampler shape an error of sampling is held to (kSamplerShapeCount: any).
    uint32_t fault = 0;
    uint8_t faultShape = kSamplerShapeCount;
};

// The routine for one width of vector: draws the triangle's pixels inside `region`,
// which the caller alone draws.
using SpanRoutine = void (*)(const SpanPlan &plan, const TriangleSetup &s, const RasterContext &ctx,
                             const PixelRect &region);

// The baseline routines (four pixels at a time) and the wide ones (eight at a time
// with AVX2, sixteen with AVX-512), for triangles with and without perspective. The
// wide ones need a processor with their instructions; the caller checks.
void SpanRoutinesSse2(SpanRoutine &perspective, SpanRoutine &affine);
void SpanRoutinesAvx2(SpanRoutine &perspective, SpanRoutine &affine);
void SpanRoutinesAvx512(SpanRoutine &perspective, SpanRoutine &affine);

// Deliberate errors for the tests that prove they catch one wrong value in a routine
// (SpanPlan::fault; never set outside tests).
enum : uint32_t {
    kSpanFaultNone = 0,
    kSpanFaultCopy,     // the 32-bit copy of a texture: one texel's blue off by one
    kSpanFaultAddress,  // texel column 1 read as column 2
    kSpanFaultFilter,   // a filter weight of exactly one half off by 1/256
    kSpanFaultMip,      // a level blend of exactly one half off by 1/256
    kSpanFaultCombine,  // a second-stage result of 77 becomes 78
    kSpanFaultDepth,    // a quantised depth ending in 0x80 one higher
    kSpanFaultBlend,    // a blended blue of 100 becomes 101
    kSpanFaultFog,      // a vertex fog factor of 200 becomes 201
    kSpanFaultRow,      // texel row 1 read as row 0
    kSpanFaultCoarse,   // a coarse depth tile tested against the bound of the tile to its right
    kSpanFaultTableFog, // a linear table fog factor of 200 becomes 201
    kSpanFaultWindow,   // a texel picked from a row's window at its second word takes the third
    kSpanFaultSteady,   // a steady colour's even blue one more
    kSpanFaultPair,     // a texel read as the second of a pair whose first is at column 1 gets blue one more
    kSpanFaultAtOnce,   // a draw drawn as it is set up leaves out its region's last row
    kSpanFaultPiece,    // a packed group's piece after its first lane interpolated one pixel to the right
    kSpanFaultLodStep,  // a footprint in the top sixteenth of the binade [4, 8) looked up one level farther
    kSpanFaultPicture,  // a picture's kept row filter gives its first column the second's
    kSpanFaultFill,     // a fill of one colour leaves out its first row's first pixel
    kSpanFaultFilteredRow,  // a triangle drawn as filtered rows leaves out its first row's last pixel
    kSpanFaultFillAlpha,    // a fill of one colour is drawn whether its colour passes the alpha test or not
    kSpanFaultMaskRow,      // a small triangle's first row, found from its edges' signs, leaves out its last pixel
    kSpanFaultTexelTimes,   // a texel times the diffuse colour of 77 becomes 78
    kSpanFaultTexturedRow,  // a triangle drawn as textured rows under perspective leaves out its first row's last pixel
    kSpanFaultPairFilter,   // a channel of 77 weighed by the pair filter becomes 78
    kSpanFaultNearRow,      // a texel fraction of one half, its coordinates known in range, one more
    kSpanFaultFilteredPair, // the second of two groups of filtered rows drawn together leaves out its first pixel
    kSpanFaultDirectGroup,  // a packed group drawn without a batch writes its first lane's blue one more
    kSpanFaultBeside,       // a triangle whose bounds reach one column into the region is taken for one beside it
    kSpanFaultNearGroup,    // a batch sampled as if its coordinates were in range, whatever they are
    kSpanFaultOpaqueSource, // a blended triangle whose source alpha is 254 all over is drawn as if it were 255
    kSpanFaultDepthRound,   // a quantised depth's z * max + 0.5 rounded to the nearest float before it is cut to an integer
    kSpanFaultCount,
};

// What the routines call for the rare states they do not work vector-wide: the
// reference's own per-pixel depth-stencil test and table fog.
bool SpanDepthStencilTest(const DepthStencilUnit &unit, int32_t x, int32_t y, float z);
uint8_t SpanTableFog(const FogSetup &fog, float distance);
// Counts a triangle drawn as a picture square to the screen (TakePictureTriangles).
void SpanPictureDrawn(bool filtered);
// Counts a blended triangle drawn unblended, its source opaque all over
// (TakeOpaqueSourceTriangles).
void SpanOpaqueSourceDrawn();
// Counts a picture that left out pixels of clear texels (TakeClearTexelPictures).
void SpanClearTexelsLeftOut();
// Counts a triangle drawn as filtered rows (TakeFilteredRowTriangles).
void SpanFilteredRowsDrawn();
// Counts a triangle drawn as textured rows under perspective (TakeTexturedRowTriangles).
void SpanTexturedRowsDrawn();

// What the routines ask of the coarse depth (swr_coarse_depth.h), once per tile row of
// a large triangle and once per triangle that writes depth. Tiles are kCoarseTile
// pixels square.
constexpr int32_t kCoarseTile = 8;
constexpr int32_t kCoarseColumns = 256;
// The tiles of tile row `ty`, columns [tx0, tx1) (at most kCoarseColumns of them), that
// lie wholly inside `region` and where no pixel of `s` can pass the LESS or LESSEQUAL
// test of `depth`: bit i % 64 of mask[i / 64] for column tx0 + i. True when any is.
// The nearest depth over a tile is the plane at the tile's corner that the slopes point
// away from, worked with the very operations the routines use per pixel (each rounds
// monotonically), so it is never behind any pixel's.
bool SpanCoarseRejects(const SpanDepth &depth, const TriangleSetup &s, const PixelRect &region, int32_t ty, int32_t tx0,
                       int32_t tx1, uint32_t fault, uint64_t *mask);
// Whether SpanCoarseRejects would reject any tile of the tile rows [ty0, ty1) at the
// columns [tx0, tx1) (at most kCoarseColumns of them); the rejections are not counted,
// since the triangle is drawn by a routine that asks again or by one that tests every
// pixel.
bool SpanCoarseRejectsAny(const SpanDepth &depth, const TriangleSetup &s, const PixelRect &region, int32_t ty0,
                          int32_t ty1, int32_t tx0, int32_t tx1, uint32_t fault);
// A triangle that may have written depth farther inside `region` (under a test other
// than LESS, LESSEQUAL, EQUAL or NEVER): its tiles become stale.
void SpanCoarseWritten(const SpanDepth &depth, const TriangleSetup &s, const PixelRect &region);

}  // namespace swr
