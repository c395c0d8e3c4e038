// Stage combiner. Products round to nearest (a * b / 255); sums saturate at 0 and 255;
// the signed operations treat 128 as zero.
#include "swr_combiner.h"

namespace swr {
namespace {

bool ArgReadsTexture(DWORD arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE; }

bool OpUsesArg(DWORD op, int index) {
    switch (op) {
        case D3DTOP_DISABLE: return false;
        case D3DTOP_SELECTARG1: return index == 1;
        case D3DTOP_SELECTARG2: return index == 2;
        case D3DTOP_MULTIPLYADD:
        case D3DTOP_LERP: return true;
        default: return index != 0;
    }
}

bool OpReadsTextureAlpha(DWORD op) {
    return op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM;
}

Rgba8 FetchArg(DWORD arg, const CombinerInputs &in, Rgba8 current, Rgba8 temp, Rgba8 factor, uint32_t stage) {
    Rgba8 v;
    switch (arg & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE: v = in.diffuse; break;
        case D3DTA_CURRENT: v = current; break;
        case D3DTA_TEXTURE: v = in.texel[stage]; break;
        case D3DTA_TFACTOR: v = factor; break;
        case D3DTA_SPECULAR: v = in.specular; break;
        case D3DTA_TEMP: v = temp; break;
        default: v = Rgba8{255, 255, 255, 255}; break;
    }
    if (arg & D3DTA_COMPLEMENT) {
        v = Rgba8{static_cast<uint8_t>(255 - v.r), static_cast<uint8_t>(255 - v.g),
                  static_cast<uint8_t>(255 - v.b), static_cast<uint8_t>(255 - v.a)};
    }
    if (arg & D3DTA_ALPHAREPLICATE) v = Rgba8{v.a, v.a, v.a, v.a};
    return v;
}

uint8_t BlendAlphaFor(DWORD op, const CombinerInputs &in, Rgba8 current, Rgba8 factor, uint32_t stage) {
    switch (op) {
        case D3DTOP_BLENDDIFFUSEALPHA: return in.diffuse.a;
        case D3DTOP_BLENDTEXTUREALPHA:
        case D3DTOP_BLENDTEXTUREALPHAPM: return in.texel[stage].a;
        case D3DTOP_BLENDFACTORALPHA: return factor.a;
        case D3DTOP_BLENDCURRENTALPHA: return current.a;
        default: return 0;
    }
}

uint8_t Dot3(Rgba8 a, Rgba8 b) {
    // 4 * sum((a - 0.5) * (b - 0.5)) with 0.5 as 128: each product is in units of
    // 1/255^2, scaled back with rounding.
    const int32_t sum = (a.r - 128) * (b.r - 128) + (a.g - 128) * (b.g - 128) + (a.b - 128) * (b.b - 128);
    if (sum <= 0) return 0;
    return Sat8(static_cast<int32_t>(Div255Round(static_cast<uint32_t>(4 * sum))));
}

}  // namespace

uint8_t CombineChannel(DWORD op, const uint8_t x[3], uint8_t blend, uint8_t alpha1) {
    const int32_t a0 = x[0], a1 = x[1], a2 = x[2];
    switch (op) {
        case D3DTOP_SELECTARG1: return x[1];
        case D3DTOP_SELECTARG2: return x[2];
        case D3DTOP_MODULATE: return Mul8(a1, a2);
        case D3DTOP_MODULATE2X: return Sat8(static_cast<int32_t>(Div255Round(2u * a1 * a2)));
        case D3DTOP_MODULATE4X: return Sat8(static_cast<int32_t>(Div255Round(4u * a1 * a2)));
        case D3DTOP_ADD: return Sat8(a1 + a2);
        case D3DTOP_ADDSIGNED: return Sat8(a1 + a2 - 128);
        case D3DTOP_ADDSIGNED2X: return Sat8(2 * (a1 + a2 - 128));
        case D3DTOP_SUBTRACT: return Sat8(a1 - a2);
        case D3DTOP_ADDSMOOTH: return Sat8(a1 + Mul8(a2, 255 - a1));
        case D3DTOP_BLENDDIFFUSEALPHA:
        case D3DTOP_BLENDTEXTUREALPHA:
        case D3DTOP_BLENDFACTORALPHA:
        case D3DTOP_BLENDCURRENTALPHA:
            return static_cast<uint8_t>(Div255Round(a1 * blend + a2 * (255 - blend)));
        case D3DTOP_BLENDTEXTUREALPHAPM: return Sat8(a1 + Mul8(a2, 255 - blend));
        case D3DTOP_MODULATEALPHA_ADDCOLOR: return Sat8(a1 + Mul8(alpha1, a2));
        case D3DTOP_MODULATECOLOR_ADDALPHA: return Sat8(Mul8(a1, a2) + alpha1);
        case D3DTOP_MODULATEINVALPHA_ADDCOLOR: return Sat8(a1 + Mul8(255 - alpha1, a2));
        case D3DTOP_MODULATEINVCOLOR_ADDALPHA: return Sat8(Mul8(255 - a1, a2) + alpha1);
        case D3DTOP_MULTIPLYADD: return Sat8(a0 + Mul8(a1, a2));
        case D3DTOP_LERP: return static_cast<uint8_t>(Div255Round(a0 * a1 + (255 - a0) * a2));
        default: return x[1];  // operations we do not model pass their first argument
    }
}

void Combiner::Prepare(const DrawState &state) {
    stageCount_ = 0;
    factor_ = UnpackColor(state.renderStates[D3DRS_TEXTUREFACTOR]);
    addSpecular_ = state.renderStates[D3DRS_SPECULARENABLE] != 0;
    for (uint32_t s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s) {
        const DWORD *ts = state.stageStates[s];
        if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE || ts[D3DTSS_COLOROP] == 0) break;
        CombinerStage &st = stages_[stageCount_++];
        st.colorOp = ts[D3DTSS_COLOROP];
        st.colorArg[0] = ts[D3DTSS_COLORARG0];
        st.colorArg[1] = ts[D3DTSS_COLORARG1];
        st.colorArg[2] = ts[D3DTSS_COLORARG2];
        st.alphaOp = ts[D3DTSS_ALPHAOP];
        st.alphaArg[0] = ts[D3DTSS_ALPHAARG0];
        st.alphaArg[1] = ts[D3DTSS_ALPHAARG1];
        st.alphaArg[2] = ts[D3DTSS_ALPHAARG2];
        st.toTemp = ts[D3DTSS_RESULTARG] == D3DTA_TEMP;
        st.readsTexture = OpReadsTextureAlpha(st.colorOp) || OpReadsTextureAlpha(st.alphaOp);
        for (int i = 0; i < 3; ++i) {
            st.readsTexture |= OpUsesArg(st.colorOp, i) && ArgReadsTexture(st.colorArg[i]);
            st.readsTexture |= OpUsesArg(st.alphaOp, i) && ArgReadsTexture(st.alphaArg[i]);
        }
    }
}

Rgba8 Combiner::Combine(const CombinerInputs &in) const {
    Rgba8 current = in.diffuse;
    Rgba8 temp{};
    for (uint32_t s = 0; s < stageCount_; ++s) {
        const CombinerStage &st = stages_[s];
        Rgba8 result = current;
        {
            const Rgba8 a[3] = {FetchArg(st.colorArg[0], in, current, temp, factor_, s),
                                FetchArg(st.colorArg[1], in, current, temp, factor_, s),
                                FetchArg(st.colorArg[2], in, current, temp, factor_, s)};
            if (st.colorOp == D3DTOP_DOTPRODUCT3) {
                const uint8_t d = Dot3(a[1], a[2]);
                result = Rgba8{d, d, d, d};
            } else {
                const uint8_t blend = BlendAlphaFor(st.colorOp, in, current, factor_, s);
                const uint8_t r[3] = {a[0].r, a[1].r, a[2].r};
                const uint8_t g[3] = {a[0].g, a[1].g, a[2].g};
                const uint8_t b[3] = {a[0].b, a[1].b, a[2].b};
                result.r = CombineChannel(st.colorOp, r, blend, a[1].a);
                result.g = CombineChannel(st.colorOp, g, blend, a[1].a);
                result.b = CombineChannel(st.colorOp, b, blend, a[1].a);
            }
        }
        // A dot product replicated into alpha keeps it; otherwise the alpha operation
        // decides, and DISABLE passes the incoming alpha through.
        if (st.colorOp != D3DTOP_DOTPRODUCT3 && st.alphaOp != D3DTOP_DISABLE) {
            const uint8_t x[3] = {FetchArg(st.alphaArg[0], in, current, temp, factor_, s).a,
                                  FetchArg(st.alphaArg[1], in, current, temp, factor_, s).a,
                                  FetchArg(st.alphaArg[2], in, current, temp, factor_, s).a};
            const uint8_t blend = BlendAlphaFor(st.alphaOp, in, current, factor_, s);
            result.a = CombineChannel(st.alphaOp, x, blend, x[1]);
        } else if (st.colorOp != D3DTOP_DOTPRODUCT3) {
            result.a = current.a;
        }
        if (st.toTemp) temp = result;
        else current = result;
    }
    if (addSpecular_) {
        current.r = Sat8(current.r + in.specular.r);
        current.g = Sat8(current.g + in.specular.g);
        current.b = Sat8(current.b + in.specular.b);
    }
    return current;
}

}  // namespace swr
