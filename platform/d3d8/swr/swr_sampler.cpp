// The general sampling route: any format through its texel reader, every addressing
// mode, any size, cube faces. Its arithmetic is that of the inline route in the header.
#include "swr_sampler.h"

#include <algorithm>
#include <cmath>

#include "swr_span_plan.h"
#include "swr_texcoord.h"
#include "swr_texel_copy.h"

namespace swr {
namespace {

using namespace sampling;

constexpr Rgba8 kWhite{255, 255, 255, 255};

// Texel index `i` on an axis of `n` texels; false when it falls on the border.
bool Address(int32_t i, uint32_t n, DWORD mode, uint32_t &out) {
    const int32_t size = static_cast<int32_t>(n);
    switch (mode) {
        case D3DTADDRESS_MIRROR: {
            const int32_t period = 2 * size;
            int32_t m = i % period;
            if (m < 0) m += period;
            out = static_cast<uint32_t>(m < size ? m : period - 1 - m);
            return true;
        }
        case D3DTADDRESS_CLAMP: out = static_cast<uint32_t>(std::clamp(i, 0, size - 1)); return true;
        case D3DTADDRESS_BORDER:
            if (i < 0 || i >= size) return false;
            out = static_cast<uint32_t>(i);
            return true;
        case D3DTADDRESS_MIRRORONCE:
            out = static_cast<uint32_t>(std::clamp(i < 0 ? -1 - i : i, 0, size - 1));
            return true;
        default: {  // wrap
            const int32_t m = i % size;
            out = static_cast<uint32_t>(m < 0 ? m + size : m);
            return true;
        }
    }
}

bool IsPowerOfTwo(uint32_t n) { return n != 0 && (n & (n - 1)) == 0; }

// Cube face and its coordinates for a direction; derivatives of (u, v) when asked,
// as d[coordinate][axis].
uint32_t CubeFace(const TexCoords &tc, bool derivatives, float uv[2], float d[2][2]) {
    const float x = tc.c[0], y = tc.c[1], z = tc.c[2];
    const float ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    uint32_t face;
    int sIndex, tIndex, mIndex;
    float sSign, tSign;
    if (ax >= ay && ax >= az) {
        face = x >= 0 ? 0 : 1;
        mIndex = 0, sIndex = 2, tIndex = 1;
        sSign = x >= 0 ? -1.0f : 1.0f, tSign = -1.0f;
    } else if (ay >= az) {
        face = y >= 0 ? 2 : 3;
        mIndex = 1, sIndex = 0, tIndex = 2;
        sSign = 1.0f, tSign = y >= 0 ? 1.0f : -1.0f;
    } else {
        face = z >= 0 ? 4 : 5;
        mIndex = 2, sIndex = 0, tIndex = 1;
        sSign = z >= 0 ? 1.0f : -1.0f, tSign = -1.0f;
    }
    const float ma = std::fabs(tc.c[mIndex]);
    if (!(ma > 0.0f)) {
        uv[0] = uv[1] = 0.5f;
        d[0][0] = d[0][1] = d[1][0] = d[1][1] = 0.0f;
        return face;
    }
    const float sc = sSign * tc.c[sIndex], tcv = tSign * tc.c[tIndex];
    uv[0] = 0.5f * (sc / ma + 1.0f);
    uv[1] = 0.5f * (tcv / ma + 1.0f);
    if (derivatives) {
        const float maSign = tc.c[mIndex] >= 0 ? 1.0f : -1.0f;
        const float *dd[2] = {tc.ddx, tc.ddy};
        for (int k = 0; k < 2; ++k) {
            const float dma = maSign * dd[k][mIndex];
            d[0][k] = 0.5f * (sSign * dd[k][sIndex] * ma - sc * dma) / (ma * ma);
            d[1][k] = 0.5f * (tSign * dd[k][tIndex] * ma - tcv * dma) / (ma * ma);
        }
    }
    return face;
}

}  // namespace

bool Sampler::Prepare(const DrawState &state, uint32_t stage) {
    *this = Sampler{};
    const TextureView &view = state.textures[stage];
    fetch_ = TexelFetchFor(view.format);
    if (!fetch_ || !view.levels || view.levelCount == 0) return false;
    const DWORD *ts = state.stageStates[stage];
    levels_ = view.levels;
    levelCount_ = view.levelCount;
    format_ = view.format;
    palette_ = state.palette;
    cube_ = view.isCube;
    baseLevel_ = std::min<uint32_t>(std::max<uint32_t>(view.firstLevel, ts[D3DTSS_MAXMIPLEVEL]), levelCount_ - 1);
    addressU_ = ts[D3DTSS_ADDRESSU];
    addressV_ = ts[D3DTSS_ADDRESSV];
    magFilter_ = ts[D3DTSS_MAGFILTER];
    minFilter_ = ts[D3DTSS_MINFILTER];
    mipFilter_ = ts[D3DTSS_MIPFILTER];
    lodBias_ = std::bit_cast<float>(ts[D3DTSS_MIPMAPLODBIAS]);
    if (!std::isfinite(lodBias_)) lodBias_ = 0.0f;
    border_ = UnpackColor(ts[D3DTSS_BORDERCOLOR]);
    const bool mipmapped = mipFilter_ != D3DTEXF_NONE && levelCount_ > baseLevel_ + 1;
    needsLod_ = mipmapped || IsLinear(magFilter_) != IsLinear(minFilter_);
    if (!mipmapped) mipFilter_ = D3DTEXF_NONE;

    opaque_ = view.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u;
    wrapU_ = addressU_ == D3DTADDRESS_WRAP;
    wrapV_ = addressV_ == D3DTADDRESS_WRAP;
    direct_ = !cube_ && (view.format == D3DFMT_A8R8G8B8 || view.format == D3DFMT_X8R8G8B8) &&
              levelCount_ <= kMaxDirectLevels && (wrapU_ || addressU_ == D3DTADDRESS_CLAMP) &&
              (wrapV_ || addressV_ == D3DTADDRESS_CLAMP);
    for (uint32_t i = 0; i < levelCount_ && direct_; ++i) {
        const TextureLevel &l = levels_[i];
        direct_ = l.bits && IsPowerOfTwo(l.width) && IsPowerOfTwo(l.height);
        if (direct_) {
            directLevels_[i] = DirectLevel{l.bits, l.pitch, l.width - 1, l.height - 1, static_cast<float>(l.width),
                                            static_cast<float>(l.height)};
        }
    }
    return true;
}

Rgba8 Sampler::SampleLevel(uint32_t face, uint32_t level, float u, float v, DWORD filter) const {
    const TextureLevel &l = levels_[size_t(face) * levelCount_ + level];
    if (!l.bits || l.width == 0 || l.height == 0) return kWhite;
    const DWORD clamp = D3DTADDRESS_CLAMP;
    const DWORD modeU = cube_ ? clamp : addressU_, modeV = cube_ ? clamp : addressV_;
    const float x = u * static_cast<float>(l.width), y = v * static_cast<float>(l.height);
    if (!IsLinear(filter)) {
        uint32_t tx, ty;
        if (!Address(FloorToInt(x), l.width, modeU, tx) || !Address(FloorToInt(y), l.height, modeV, ty)) return border_;
        return fetch_(l, tx, ty, palette_);
    }
    const float xs = x - 0.5f, ys = y - 0.5f;
    const int32_t x0 = FloorToInt(xs), y0 = FloorToInt(ys);
    uint32_t cx[2], cy[2];
    bool inX[2], inY[2];
    for (int i = 0; i < 2; ++i) {
        inX[i] = Address(x0 + i, l.width, modeU, cx[i]);
        inY[i] = Address(y0 + i, l.height, modeV, cy[i]);
    }
    Rgba8 t[4];
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) t[j * 2 + i] = (inX[i] && inY[j]) ? fetch_(l, cx[i], cy[j], palette_) : border_;
    }
    return BilinearWeights(Fraction256(xs, x0), Fraction256(ys, y0)).Mix(t[0], t[1], t[2], t[3]);
}

Rgba8 Sampler::SampleFace(uint32_t face, float u, float v, float lambda) const {
    if (lambda <= 0.0f || mipFilter_ == D3DTEXF_NONE) {
        return SampleLevel(face, baseLevel_, u, v, lambda <= 0.0f ? magFilter_ : minFilter_);
    }
    const int32_t last = static_cast<int32_t>(levelCount_ - 1), base = static_cast<int32_t>(baseLevel_);
    if (mipFilter_ == D3DTEXF_POINT) {
        const int32_t level = std::clamp(FloorToInt(lambda + 0.5f), base, last);
        return SampleLevel(face, static_cast<uint32_t>(level), u, v, minFilter_);
    }
    const int32_t whole = FloorToInt(lambda);
    const uint32_t f = Fraction256(lambda, whole);
    const int32_t a = std::clamp(whole, base, last), b = std::clamp(whole + 1, base, last);
    const Rgba8 ca = SampleLevel(face, static_cast<uint32_t>(a), u, v, minFilter_);
    if (f == 0 || a == b) return ca;
    return Between(ca, SampleLevel(face, static_cast<uint32_t>(b), u, v, minFilter_), f);
}

Rgba8 Sampler::SampleGeneral(const TexCoords &tc) const {
    if (!fetch_) return kWhite;
    uint32_t face = 0;
    float uv[2] = {tc.c[0], tc.c[1]};
    float d[2][2] = {{tc.ddx[0], tc.ddy[0]}, {tc.ddx[1], tc.ddy[1]}};
    if (cube_) face = CubeFace(tc, needsLod_, uv, d);
    float lambda = 0.0f;
    if (needsLod_) {
        const TextureLevel &l0 = levels_[size_t(face) * levelCount_];
        const float w = static_cast<float>(l0.width), h = static_cast<float>(l0.height);
        lambda = Lambda(d[0][0] * w, d[1][0] * h, d[0][1] * w, d[1][1] * h, lodBias_);
    }
    return SampleFace(face, uv[0], uv[1], lambda);
}

const LodSteps *ZeroBiasLodSteps() {
    static const LodSteps *const steps = []() -> const LodSteps * {
        static LodSteps s;
        auto level = [](int32_t bits) {
            return FloorToInt(LambdaOfFootprint(std::bit_cast<float>(bits), 0.0f) + 0.5f);
        };
        for (int32_t i = 0; i < LodSteps::kCount; ++i) {
            const int32_t first = (LodSteps::kFirst + i) << 23, last = first | 0x007FFFFF;
            s.level[i] = level(first);
            s.step[i] = INT32_MAX;
            const int32_t top = level(last);
            if (top == s.level[i]) continue;
            if (top != s.level[i] + 1) return nullptr;
            int32_t lo = first, hi = last;  // level(lo) is the start's, level(hi) one more
            while (hi - lo > 1) {
                const int32_t mid = lo + (hi - lo) / 2;
                (level(mid) == s.level[i] ? lo : hi) = mid;
            }
            s.step[i] = hi;
        }
        // The footprints that magnify: every one up to a bound.
        auto magnifies = [](int32_t bits) { return LambdaOfFootprint(std::bit_cast<float>(bits), 0.0f) <= 0.0f; };
        int32_t lo = 0, hi = (LodSteps::kFirst << 23) + 1;  // 0 magnifies, just above 1 does not
        if (!magnifies(lo) || magnifies(hi)) return nullptr;
        while (hi - lo > 1) {
            const int32_t mid = lo + (hi - lo) / 2;
            (magnifies(mid) ? lo : hi) = mid;
        }
        s.magnified = lo;
        // Below the first binade the level must clamp to any base, above the last to any
        // last level.
        if (s.level[0] > 0 || s.level[LodSteps::kCount - 1] < static_cast<int32_t>(kMaxSpanLevels) - 1) return nullptr;
        return &s;
    }();
    return steps;
}

bool Sampler::DescribeForSpans(const StageCoordLayout &layout, uint32_t slot, uint32_t fault, SpanSampler &out) const {
    if (!fetch_ || cube_ || layout.dims != 2 || levelCount_ > kMaxSpanLevels) return false;
    // 32-bit levels are read where they lie, when their rows and words are aligned;
    // wrapped on both axes, they are read from copies with a spare column and row where
    // every level has one (a filter's second texel is then the next word or row).
    const bool native = format_ == D3DFMT_A8R8G8B8 || format_ == D3DFMT_X8R8G8B8;
    bool spare = addressU_ == D3DTADDRESS_WRAP && addressV_ == D3DTADDRESS_WRAP;
    for (uint32_t i = 0; i < levelCount_ && spare; ++i) {
        spare = levels_[i].copy && TexelCopy::SpareFor(levels_[i].width, levels_[i].height);
    }
    bool powU = true, powV = true, copied = true;
    out.shortRows = true;
    for (uint32_t i = 0; i < levelCount_; ++i) {
        const TextureLevel &l = levels_[i];
        if (!l.bits || l.width == 0 || l.height == 0) return false;
        SpanLevel &s = out.levels[i];
        if (native && !spare && (l.pitch & 3u) == 0 && (reinterpret_cast<uintptr_t>(l.bits) & 3u) == 0) {
            s.texels = reinterpret_cast<const uint32_t *>(l.bits);
            s.pitch = static_cast<int32_t>(l.pitch / 4);
            copied = false;
        } else {
            if (!l.copy) return false;
            s.texels = l.copy->Get(l, format_, fetch_, palette_, fault);
            s.pitch = static_cast<int32_t>(l.copy->Pitch());
        }
        s.width = static_cast<int32_t>(l.width);
        s.height = static_cast<int32_t>(l.height);
        s.fwidth = static_cast<float>(l.width);
        s.fheight = static_cast<float>(l.height);
        out.shortRows = out.shortRows && s.pitch < 32768 && s.height <= 32768;
        powU = powU && IsPowerOfTwo(l.width);
        powV = powV && IsPowerOfTwo(l.height);
    }
    // The reach of u and v: the largest float whose product with the widest (tallest)
    // level's size is at most 2^29, worked in doubles, where that product is exact.
    auto reach = [&](bool across) {
        double size = 1;
        for (uint32_t i = 0; i < levelCount_; ++i) {
            size = std::max(size, static_cast<double>(across ? levels_[i].width : levels_[i].height));
        }
        constexpr double kLimit = 1 << 29;
        float r = static_cast<float>(kLimit / size);
        while (double{r} * size > kLimit) r = std::nextafter(r, 0.0f);
        return r;
    };
    out.reachU = reach(true);
    out.reachV = reach(false);
    auto mode = [](DWORD m, bool pow2) {
        switch (m) {
            case D3DTADDRESS_MIRROR: return SpanAddress::Mirror;
            case D3DTADDRESS_CLAMP: return SpanAddress::Clamp;
            case D3DTADDRESS_BORDER: return SpanAddress::Border;
            case D3DTADDRESS_MIRRORONCE: return SpanAddress::MirrorOnce;
            default: return pow2 ? SpanAddress::WrapPow2 : SpanAddress::Wrap;
        }
    };
    out.levelCount = static_cast<int32_t>(levelCount_);
    out.baseLevel = static_cast<int32_t>(baseLevel_);
    out.addressU = mode(addressU_, powU);
    out.addressV = mode(addressV_, powV);
    out.magLinear = IsLinear(magFilter_);
    out.minLinear = IsLinear(minFilter_);
    out.mipFilter = mipFilter_ == D3DTEXF_NONE ? D3DTEXF_NONE : mipFilter_ == D3DTEXF_POINT ? D3DTEXF_POINT : D3DTEXF_LINEAR;
    out.needsLod = needsLod_;
    out.lodBias = lodBias_;
    out.border = PackColor(border_);
    out.spare = spare;
    // Nonzero only for X8R8G8B8, whose copies are opaque already.
    out.opaque = copied ? 0u : opaque_;
    out.slot = slot;
    out.divisor = layout.divisor;
    return true;
}

}  // namespace swr
