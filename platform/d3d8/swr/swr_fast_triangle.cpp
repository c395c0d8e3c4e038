// Settling a draw's span plan: which states the span routines take, what they read, and
// which width of routine runs them.
#include "swr_fast_triangle.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <type_traits>

#include "swr_fog.h"

namespace swr {
namespace {

std::atomic<bool> gFastPaths{true};
std::atomic<uint32_t> gSpanWidth{0};
std::atomic<uint32_t> gSpanFault{0};
std::atomic<uint32_t> gSpanFaultShape{kSamplerShapeCount};
std::atomic<uint32_t> gShapesUsed{0};
std::atomic<uint64_t> gPictureTriangles[2] = {};
std::atomic<uint64_t> gOpaqueSourceTriangles{0};
std::atomic<uint64_t> gFilteredRowTriangles{0};
std::atomic<uint64_t> gTexturedRowTriangles{0};
std::atomic<uint64_t> gClearTexelPictures{0};

bool ProcessorHasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

bool ProcessorHasAvx512() {
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl");
    return has;
}

// Operations the routines work vector-wide (all but the dot product and the bump and
// premodulate ones, which take the general path).
bool SpanOp(DWORD op) {
    switch (op) {
        case D3DTOP_SELECTARG1:
        case D3DTOP_SELECTARG2:
        case D3DTOP_MODULATE:
        case D3DTOP_MODULATE2X:
        case D3DTOP_MODULATE4X:
        case D3DTOP_ADD:
        case D3DTOP_ADDSIGNED:
        case D3DTOP_ADDSIGNED2X:
        case D3DTOP_SUBTRACT:
        case D3DTOP_ADDSMOOTH:
        case D3DTOP_BLENDDIFFUSEALPHA:
        case D3DTOP_BLENDTEXTUREALPHA:
        case D3DTOP_BLENDFACTORALPHA:
        case D3DTOP_BLENDCURRENTALPHA:
        case D3DTOP_BLENDTEXTUREALPHAPM:
        case D3DTOP_MODULATEALPHA_ADDCOLOR:
        case D3DTOP_MODULATECOLOR_ADDALPHA:
        case D3DTOP_MODULATEINVALPHA_ADDCOLOR:
        case D3DTOP_MODULATEINVCOLOR_ADDALPHA:
        case D3DTOP_MULTIPLYADD:
        case D3DTOP_LERP: return true;
        default: return false;
    }
}

SpanArgument ArgumentOf(DWORD arg) {
    SpanArgument a;
    switch (arg & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE: a.source = SpanSource::Diffuse; break;
        case D3DTA_CURRENT: a.source = SpanSource::Current; break;
        case D3DTA_TEXTURE: a.source = SpanSource::Texture; break;
        case D3DTA_TFACTOR: a.source = SpanSource::Factor; break;
        case D3DTA_SPECULAR: a.source = SpanSource::Specular; break;
        case D3DTA_TEMP: a.source = SpanSource::Temp; break;
        default: a.source = SpanSource::White; break;
    }
    a.complement = (arg & D3DTA_COMPLEMENT) != 0;
    a.replicate = (arg & D3DTA_ALPHAREPLICATE) != 0;
    return a;
}

// The stage as a SimpleSpanStage, or false when it needs the general combiner.
bool SimpleStageOf(const CombinerStage &cs, SimpleSpanStage &out) {
    if (cs.toTemp) return false;
    auto source = [](DWORD arg, uint8_t &src) {
        switch (arg) {  // modifiers make the value differ, and so fall to the default
            case D3DTA_DIFFUSE: src = SimpleSpanStage::kDiffuse; return true;
            case D3DTA_CURRENT: src = SimpleSpanStage::kCurrent; return true;
            case D3DTA_TEXTURE: src = SimpleSpanStage::kTexture; return true;
            case D3DTA_TFACTOR: src = SimpleSpanStage::kFactor; return true;
            default: return false;
        }
    };
    // Per operation: the lanes' pick and which arguments they read.
    auto lanes = [&](DWORD op, const DWORD args[3], uint64_t lanesMask, uint8_t &a, uint8_t &b) {
        switch (op) {
            case D3DTOP_SELECTARG1: out.pickA |= lanesMask; return source(args[1], a);
            case D3DTOP_SELECTARG2: out.pickB |= lanesMask; return source(args[2], b);
            case D3DTOP_MODULATE: out.pickProduct |= lanesMask; return source(args[1], a) && source(args[2], b);
            case D3DTOP_ADD: out.pickSum |= lanesMask; return source(args[1], a) && source(args[2], b);
            default: return false;
        }
    };
    out = SimpleSpanStage{};
    constexpr uint8_t kUnread = 0xFF;
    out.colorA = out.colorB = out.alphaA = out.alphaB = kUnread;
    if (!lanes(cs.colorOp, cs.colorArg, 0x0000FFFFFFFFFFFFull, out.colorA, out.colorB)) return false;
    if (cs.alphaOp == D3DTOP_DISABLE) {
        out.pickA |= 0xFFFF000000000000ull;
        out.alphaA = SimpleSpanStage::kCurrent;
    } else if (!lanes(cs.alphaOp, cs.alphaArg, 0xFFFF000000000000ull, out.alphaA, out.alphaB)) {
        return false;
    }
    // An argument no lane reads takes the source of the other lanes, so the two need
    // not be merged.
    auto settle = [](uint8_t &colour, uint8_t &alpha) {
        if (colour == kUnread) colour = alpha == kUnread ? uint8_t{SimpleSpanStage::kCurrent} : alpha;
        if (alpha == kUnread) alpha = colour;
    };
    settle(out.colorA, out.alphaA);
    settle(out.colorB, out.alphaB);
    return true;
}

// Whether a simple first stage gives every lane the product of the texel and the
// diffuse colour, the texel alone or the diffuse colour alone (a first stage's current
// colour is the diffuse one), and which lanes take the texel and the diffuse colour
// alone (SpanPlan::texelTimesDiffuse).
bool TexelTimesDiffuse(const SimpleSpanStage &st, uint64_t &texel, uint64_t &diffuse) {
    using S = SimpleSpanStage;
    if (st.pickSum) return false;
    texel = diffuse = 0;
    auto lanes = [&](uint64_t mask, uint8_t a, uint8_t b) {
        if ((st.pickProduct & mask) == mask) {
            return (a == S::kTexture && b == S::kDiffuse) || (a == S::kDiffuse && b == S::kTexture);
        }
        uint8_t source;
        if ((st.pickA & mask) == mask) source = a;
        else if ((st.pickB & mask) == mask) source = b;
        else return false;
        if (source == S::kTexture) texel |= mask;
        else if (source == S::kDiffuse || source == S::kCurrent) diffuse |= mask;
        else return false;
        return true;
    };
    return lanes(0x0000FFFFFFFFFFFFull, st.colorA, st.colorB) && lanes(0xFFFF000000000000ull, st.alphaA, st.alphaB);
}

}  // namespace

void SetFastPathsEnabled(bool enabled) { gFastPaths.store(enabled); }
bool FastPathsEnabled() { return gFastPaths.load(); }

// The width asked for at start-up: SWR_SPAN_WIDTH=4 or 8 holds the routines to that
// many lanes (for diagnosis and comparison), anything else leaves the choice to the
// processor.
uint32_t StartWidth() {
    static const uint32_t width = [] {
        const char *env = std::getenv("SWR_SPAN_WIDTH");
        const int asked = env ? std::atoi(env) : 0;
        return asked == 4 || asked == 8 || asked == 16 ? static_cast<uint32_t>(asked) : 0u;
    }();
    return width;
}

void SetSpanWidth(uint32_t lanes) { gSpanWidth.store(lanes); }
uint32_t SpanWidth() {
    const uint32_t asked = gSpanWidth.load() ? gSpanWidth.load() : StartWidth();
    if (asked == 4) return 4;
    if (asked != 8 && ProcessorHasAvx512()) return 16;
    return ProcessorHasAvx2() ? 8 : 4;
}

void SetSpanFault(uint32_t fault, uint32_t shape) {
    gSpanFault.store(fault);
    gSpanFaultShape.store(shape);
}
uint32_t TakeSamplerShapesUsed() { return gShapesUsed.exchange(0); }
uint32_t SpanFault() { return gSpanFault.load(std::memory_order_relaxed); }

bool SpanDepthStencilTest(const DepthStencilUnit &unit, int32_t x, int32_t y, float z) { return unit.Test(x, y, z); }
uint8_t SpanTableFog(const FogSetup &fog, float distance) { return FogFactor(fog, distance); }
void SpanPictureDrawn(bool filtered) { gPictureTriangles[filtered].fetch_add(1, std::memory_order_relaxed); }
uint64_t TakePictureTriangles(bool filtered) { return gPictureTriangles[filtered].exchange(0); }
void SpanOpaqueSourceDrawn() { gOpaqueSourceTriangles.fetch_add(1, std::memory_order_relaxed); }
uint64_t TakeOpaqueSourceTriangles() { return gOpaqueSourceTriangles.exchange(0); }
void SpanFilteredRowsDrawn() { gFilteredRowTriangles.fetch_add(1, std::memory_order_relaxed); }
uint64_t TakeFilteredRowTriangles() { return gFilteredRowTriangles.exchange(0); }
void SpanTexturedRowsDrawn() { gTexturedRowTriangles.fetch_add(1, std::memory_order_relaxed); }
uint64_t TakeTexturedRowTriangles() { return gTexturedRowTriangles.exchange(0); }
void SpanClearTexelsLeftOut() { gClearTexelPictures.fetch_add(1, std::memory_order_relaxed); }
uint64_t TakeClearTexelPictures() { return gClearTexelPictures.exchange(0); }

uint8_t ShapeOf(const SpanSampler &sm) {
    for (uint8_t i = 0; i + 1u < kSamplerShapeCount; ++i) {
        const SamplerShape &k = kSamplerShapes[i];
        const bool fits = (k.mip < 0 || DWORD(k.mip) == sm.mipFilter) &&
                          (k.linear < 0 || (sm.magLinear == (k.linear == 1) && sm.minLinear == (k.linear == 1))) &&
                          (k.address < 0 || (uint8_t(sm.addressU) == uint8_t(k.address) && uint8_t(sm.addressV) == uint8_t(k.address)));
        if (fits) return i;
    }
    return kSamplerShapeCount - 1;
}

bool FastTriangle::Prepare(const PixelPipeline &px, const RasterContext &ctx) {
    SpanPlan &p = plan_;
    // Made anew in place: assigning a fresh plan built one on the stack and copied it
    // over, twice the stores of a plan that runs to kilobytes.
    static_assert(std::is_trivially_destructible_v<SpanPlan>);
    std::construct_at(&p);
    planes_ = 0;
    if (!FastPathsEnabled() || px.RunsPixelShader()) return false;
    p.fault = gSpanFault.load();
    p.faultShape = static_cast<uint8_t>(gSpanFaultShape.load());
    const Combiner &combiner = px.StageCombiner();
    p.stageCount = combiner.StageCount();
    p.factor = PackColor(combiner.Factor());
    p.addSpecular = combiner.AddsSpecular();
    p.readsSpecular = p.addSpecular;
    for (uint32_t s = 0; s < p.stageCount; ++s) {
        const CombinerStage &cs = combiner.Stage(s);
        SpanStage &st = p.stages[s];
        if (!SpanOp(cs.colorOp) || (cs.alphaOp != D3DTOP_DISABLE && !SpanOp(cs.alphaOp))) return false;
        st.colorOp = cs.colorOp;
        st.alphaOp = cs.alphaOp;
        for (int i = 0; i < 3; ++i) {
            st.colorArg[i] = ArgumentOf(cs.colorArg[i]);
            st.alphaArg[i] = ArgumentOf(cs.alphaArg[i]);
            p.readsSpecular = p.readsSpecular || st.colorArg[i].source == SpanSource::Specular ||
                              st.alphaArg[i].source == SpanSource::Specular;
        }
        st.toTemp = cs.toTemp;
        st.sampled = (px.SampledStages() >> s) & 1u;
        if (st.sampled) {
            if (p.sampledCount == kMaxSpanSampled) return false;
            p.sampledStage[p.sampledCount++] = s;
            if (s >= ctx.coordStages || !ctx.coords[s].sampled) return false;
            if (!px.StageSampler(s).DescribeForSpans(ctx.coords[s], TexCoordSlot(s), p.fault, p.samplers[s])) return false;
            SpanSampler &sm = p.samplers[s];
            sm.shape = ShapeOf(sm);
            if (sm.needsLod && sm.mipFilter == D3DTEXF_POINT && sm.lodBias == 0.0f) sm.lodSteps = ZeroBiasLodSteps();
        }
    }
    p.simple = !p.addSpecular;
    for (uint32_t s = 0; s < p.stageCount && p.simple; ++s) p.simple = SimpleStageOf(combiner.Stage(s), p.simpleStages[s]);
    p.texelTimesDiffuse =
        p.simple && p.stageCount == 1 && TexelTimesDiffuse(p.simpleStages[0], p.texelLanes, p.diffuseLanes);
    p.readsDiffuseAlpha = !p.texelTimesDiffuse || ((p.simpleStages[0].pickProduct | p.diffuseLanes) >> 48) != 0;
    const FogSetup &fog = px.Fog();
    p.fog = fog.where == FogSetup::Where::Vertex  ? SpanPlan::Fog::Vertex
            : fog.where == FogSetup::Where::Table ? SpanPlan::Fog::Table
                                                  : SpanPlan::Fog::None;
    p.fogColor = PackColor(fog.color);
    p.fogSetup = &fog;
    p.fogLinear = fog.where == FogSetup::Where::Table && fog.mode == D3DFOG_LINEAR;
    p.fogFlat = fog.end == fog.start;
    p.fogEnd = fog.end;
    p.fogRange = fog.end - fog.start;
    p.alphaTest = px.AlphaTest();
    p.alphaFunc = px.AlphaFunc();
    p.alphaRef = px.AlphaRef();
    px.DepthStencil().DescribeForSpans(p.depth);
    const Blender &blender = px.Blending();
    p.blend = blender.Enabled();
    p.srcBlend = blender.SourceFactor();
    p.dstBlend = blender.DestFactor();
    p.blendOp = blender.Operation();
    p.colorBits = px.ColorBits();
    p.colorPitch = px.ColorPitch();
    p.keepMask = px.KeepMask();
    p.targetHasAlpha = px.TargetHasAlpha();
    planes_ = 0xFull << kVaryDiffuse;
    if (p.readsSpecular) planes_ |= 0xFull << kVarySpecular;
    if (p.fog == SpanPlan::Fog::Vertex) planes_ |= 1ull << kVaryFog;
    for (uint32_t s = 0; s < p.stageCount; ++s) {
        if (!p.stages[s].sampled) continue;
        const SpanSampler &sm = p.samplers[s];
        planes_ |= 3ull << sm.slot;
        if (sm.divisor >= 0) planes_ |= 1ull << (sm.slot + static_cast<uint32_t>(sm.divisor));
    }
    uint32_t shapes = 0;
    for (uint32_t k = 0; k < p.sampledCount; ++k) shapes |= 1u << p.samplers[p.sampledStage[k]].shape;
    if (shapes) gShapesUsed.fetch_or(shapes, std::memory_order_relaxed);
    switch (SpanWidth()) {
        case 16: SpanRoutinesAvx512(perspective_, affine_); break;
        case 8: SpanRoutinesAvx2(perspective_, affine_); break;
        default: SpanRoutinesSse2(perspective_, affine_); break;
    }
    return true;
}

}  // namespace swr
