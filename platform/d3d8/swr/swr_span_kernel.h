// The span routine, written once over a vector of kLanes 32-bit lanes. Included only by
// swr_span_sse2.cpp (four lanes), swr_span_avx2.cpp (eight) and swr_span_avx512.cpp
// (sixteen), each of which first
// defines VF, VI, kLanes and the vector operations; everything here has internal linkage
// so the two builds never meet, and it calls no inline function of the shared headers
// (a copy built for the wide instruction set must not stand in for the baseline one).
//
// Each pixel's arithmetic is the reference path's: the same planes evaluated with the
// same IEEE operations in the same order, and integer colour maths that equals the
// reference's for every input. Lanes are neighbouring pixels of a row; a lane past the
// span's end computes values nobody reads and writes nothing.

namespace swr {
namespace {

// Colours as 16-bit lanes, blue, green, red, alpha per pixel: lo holds the pixels the
// byte unpacking puts first, hi the others (Widen and Narrow undo each other).
struct C16 {
    VI lo, hi;
};

template <class Fn>
[[gnu::always_inline]] inline C16 Each(const C16 &a, Fn fn) {
    return C16{fn(a.lo), fn(a.hi)};
}
template <class Fn>
[[gnu::always_inline]] inline C16 Each(const C16 &a, const C16 &b, Fn fn) {
    return C16{fn(a.lo, b.lo), fn(a.hi, b.hi)};
}
template <class Fn>
[[gnu::always_inline]] inline C16 Each(const C16 &a, const C16 &b, const C16 &c, Fn fn) {
    return C16{fn(a.lo, b.lo, c.lo), fn(a.hi, b.hi, c.hi)};
}

[[gnu::always_inline]] inline C16 Widen(VI words) {
    const VI zero = ISet1(0);
    return C16{UnpackLo8(words, zero), UnpackHi8(words, zero)};
}
[[gnu::always_inline]] inline VI Narrow(const C16 &c) { return PackUS16(c.lo, c.hi); }

// A per-pixel value (0..65535 in each 32-bit lane) in all four channels of its pixel.
[[gnu::always_inline]] inline C16 Spread(VI perPixel) {
    const VI v = IOr(perPixel, ISll<16>(perPixel));
    return C16{UnpackLo32(v, v), UnpackHi32(v, v)};
}
[[gnu::always_inline]] inline C16 Splat16(int16_t v) { return C16{I16Set1(v), I16Set1(v)}; }
[[gnu::always_inline]] inline C16 AlphaOf(const C16 &c) { return Each(c, [](VI x) { return Shuffle16Alpha(x); }); }
[[gnu::always_inline]] inline VI AlphaLanes() { return I16SetAlphaLanes(); }

// round(x / 255) for x <= 255 * 255: (t + (t >> 8)) >> 8 with t = x + 128.
[[gnu::always_inline]] inline VI Div255(VI x) {
    const VI t = I16Add(x, I16Set1(128));
    return I16Srl<8>(I16Add(t, I16Srl<8>(t)));
}
[[gnu::always_inline]] inline VI Mul8V(VI a, VI b) { return Div255(I16Mullo(a, b)); }
// min(x, 255 * 255) for unsigned 16-bit x.
[[gnu::always_inline]] inline VI Cap65025(VI x) { return I16Sub(x, I16SubsU(x, I16Set1(static_cast<int16_t>(65025)))); }
[[gnu::always_inline]] inline VI Sat255(VI x) { return I16Min(I16Max(x, I16Set1(0)), I16Set1(255)); }
[[gnu::always_inline]] inline VI Inv(VI x) { return IXor(x, I16Set1(255)); }

// ---- Per-lane helpers on floats and 32-bit integers ----

[[gnu::always_inline]] inline VI IfElse(VI mask, VI yes, VI no) { return IOr(IAnd(mask, yes), IAndNot(mask, no)); }
[[gnu::always_inline]] inline VF IfElseF(VF mask, VF yes, VF no) { return FOr(FAnd(mask, yes), FAndNot(mask, no)); }
[[gnu::always_inline]] inline VI IClamp(VI v, VI lo, VI hi) { return IMin32(IMax32(v, lo), hi); }
[[gnu::always_inline]] inline bool Any(VI mask) { return IMoveMask(mask) != 0; }
[[gnu::always_inline]] inline bool All(VI mask) { return IMoveMask(mask) == (1 << kLanes) - 1; }

// VaryingToByte: NaN and negatives to 0, at most 255, rounded to nearest.
[[gnu::always_inline]] inline VI ToByte(VF v) {
    const VF c = FMin(FMax(v, FSet1(0.0f)), FSet1(255.0f));
    return FToITrunc(FAdd(c, FSet1(0.5f)));
}

// sampling::FloorToInt: NaN to 0, pinned to +-2^30, then floor.
[[gnu::always_inline]] inline VI FloorToIntV(VF v) {
    constexpr float kMax = 1 << 30;
    v = FAnd(v, FCmpOrd(v, v));
    return FloorToIntPinned(FMin(FMax(v, FSet1(-kMax)), FSet1(kMax)));
}

// x less `whole` in 256ths, rounded: sampling::Fraction256 before its clamp.
[[gnu::always_inline]] inline VI Fraction256Unclamped(VF x, VI whole) {
    return FToITrunc(FAdd(FMul(FSub(x, IToF(whole)), FSet1(256.0f)), FSet1(0.5f)));
}
// sampling::Fraction256: out-of-range conversions clamp to 0 as the scalar one does.
[[gnu::always_inline]] inline VI Fraction256V(VF x, VI whole) {
    return IClamp(Fraction256Unclamped(x, whole), ISet1(0), ISet1(256));
}
// The same where x is a number (not NaN) of at most 2^30 and `whole` its floor: x less
// its floor is x's fraction, exactly, in [0, 1), so the scaled value lies in [0.5, 256.5]
// and truncates to 0 to 256 without clamping.
[[gnu::always_inline]] inline VI Fraction256Near(VF x, VI whole, uint32_t fault) {
    VI f = Fraction256Unclamped(x, whole);
    if (fault == kSpanFaultNearRow) f = IAdd(f, IAnd(ICmpEq(f, ISet1(128)), ISet1(1)));
    return f;
}

// sampling::Lambda's footprint rho2, lane by lane the same operations.
[[gnu::always_inline]] inline VF FootprintV(VF ux, VF vx, VF uy, VF vy) {
    const VF a = FAdd(FMul(ux, ux), FMul(vx, vx));
    const VF b = FAdd(FMul(uy, uy), FMul(vy, vy));
    return FMax(b, a);  // std::max(a, b): b only when a < b
}

// sampling::Lambda, lane by lane the same operations.
[[gnu::always_inline]] inline VF LambdaV(VF ux, VF vx, VF uy, VF vy, float bias) {
    const VF rho2 = FootprintV(ux, vx, uy, vy);
    const VI bits = AsI(rho2);
    const VF exponent = IToF(ISub(ISrl<23>(bits), ISet1(127)));
    const VF t = FSub(AsF(IOr(IAnd(bits, ISet1(0x007FFFFF)), ISet1(0x3F800000))), FSet1(1.0f));
    VF poly = FAdd(FSet1(-0.7061f), FMul(t, FSet1(0.2636f)));
    poly = FAdd(FSet1(1.4425f), FMul(t, poly));
    const VF log2 = FAdd(exponent, FMul(t, poly));
    const VF lambda = FMin(FAdd(FMul(FSet1(0.5f), log2), FSet1(bias)), FSet1(64.0f));
    const VF small = FCmpGE(rho2, FSet1(1e-30f)), large = FCmpLE(rho2, FSet1(1e30f));
    return IfElseF(small, IfElseF(large, lambda, FSet1(64.0f)), FSet1(-1.0f));
}

// Lanes where `incoming` passes against `stored` under `func` (ComparePasses).
[[gnu::always_inline]] inline VI PassesV(DWORD func, VI incoming, VI stored) {
    const VI all = ISet1(-1);
    switch (func) {
        case D3DCMP_NEVER: return ISet1(0);
        case D3DCMP_LESS: return ICmpGt(stored, incoming);
        case D3DCMP_EQUAL: return ICmpEq(incoming, stored);
        case D3DCMP_LESSEQUAL: return IXor(ICmpGt(incoming, stored), all);
        case D3DCMP_GREATER: return ICmpGt(incoming, stored);
        case D3DCMP_NOTEQUAL: return IXor(ICmpEq(incoming, stored), all);
        case D3DCMP_GREATEREQUAL: return IXor(ICmpGt(stored, incoming), all);
        default: return all;
    }
}

struct alignas(64) LaneInts {
    int32_t v[kLanes];
};
struct alignas(64) LaneFloats {
    float v[kLanes];
};

// ---- Sampling ----

// What a level gives each lane: sizes and row pitch.
struct LevelFields {
    VF fw, fh;
    VI w, h, pitch;
};

[[gnu::always_inline]] inline LevelFields FieldsOf(const SpanSampler &sm, VI level, bool uniform, int32_t first) {
    if (uniform) {
        const SpanLevel &l = sm.levels[first];
        return LevelFields{FSet1(l.fwidth), FSet1(l.fheight), ISet1(l.width), ISet1(l.height), ISet1(l.pitch)};
    }
    LaneInts lv, w, h, pitch;
    LaneFloats fw, fh;
    IStore(lv.v, level);
    for (int k = 0; k < kLanes; ++k) {
        const SpanLevel &l = sm.levels[lv.v[k]];
        w.v[k] = l.width, h.v[k] = l.height, pitch.v[k] = l.pitch;
        fw.v[k] = l.fwidth, fh.v[k] = l.fheight;
    }
    return LevelFields{FLoad(fw.v), FLoad(fh.v), ILoad(w.v), ILoad(h.v), ILoad(pitch.v)};
}

// i mod n, never negative, for |i| < 2^22 (where float holds i and the rounded quotient
// is at most one off).
[[gnu::always_inline]] inline VI FloorMod(VI i, VI n) {
    const VI q = FloorToIntV(FDiv(IToF(i), IToF(n)));
    VI r = ISub(i, IMullo32(q, n));
    r = IAdd(r, IAnd(ICmpGt(ISet1(0), r), n));
    return ISub(r, IAndNot(ICmpGt(n, r), n));
}

// The sampler's Address for a whole vector: the texel index (always inside the level,
// so it can be read) and, for border addressing, which lanes fall on the border.
[[gnu::always_inline]] inline VI Address(SpanAddress mode, VI i, VI n, VI active, VI &inside) {
    const VI zero = ISet1(0), last = ISub(n, ISet1(1));
    switch (mode) {
        case SpanAddress::WrapPow2: return IAnd(i, last);
        case SpanAddress::Clamp: return IClamp(i, zero, last);
        case SpanAddress::Border:
            inside = IAnd(inside, IAndNot(ICmpGt(zero, i), ICmpGt(n, i)));
            return IClamp(i, zero, last);
        case SpanAddress::MirrorOnce: return IClamp(IfElse(ICmpGt(zero, i), IXor(i, ISet1(-1)), i), zero, last);
        default: break;
    }
    const bool mirror = mode == SpanAddress::Mirror;
    const VI period = mirror ? IAdd(n, n) : n;
    VI m;
    constexpr int32_t kReach = 1 << 22;
    const VI far = IAnd(active, IOr(ICmpGt(i, ISet1(kReach)), ICmpGt(ISet1(-kReach), i)));
    if (Any(far)) {
        LaneInts iv, pv, out;
        IStore(iv.v, i);
        IStore(pv.v, period);
        for (int k = 0; k < kLanes; ++k) {
            const int32_t r = iv.v[k] % pv.v[k];
            out.v[k] = r < 0 ? r + pv.v[k] : r;
        }
        m = ILoad(out.v);
    } else {
        // Lanes past the span's end may hold far coordinates FloorMod cannot reduce:
        // pinned into the period, so that they too read inside the level.
        m = IClamp(FloorMod(i, period), ISet1(0), ISub(period, ISet1(1)));
    }
    if (!mirror) return m;
    return IfElse(ICmpGt(n, m), m, ISub(ISub(period, ISet1(1)), m));
}

// Texels at `offset` (row * pitch + column) of each lane's level.
[[gnu::always_inline]] inline VI Fetch(const SpanSampler &sm, VI level, bool uniform, int32_t first, VI offset) {
    if (uniform) return GatherWords(sm.levels[first].texels, offset);
    LaneInts lv, off, out;
    IStore(lv.v, level);
    IStore(off.v, offset);
    for (int k = 0; k < kLanes; ++k) out.v[k] = static_cast<int32_t>(sm.levels[lv.v[k]].texels[off.v[k]]);
    return ILoad(out.v);
}

// The texels of one level at (row + column) for the four taps of a group (t00 alone
// unless `filtered`), when every active lane reads row A (and row B) at the same offset
// and the columns lie within 2 * kLanes words: each row is then read as one window of
// words and the lanes pick from it, instead of gathering word by word (a screen-aligned
// picture, whose rows do not change along a span). The same words either way; lanes that
// are not active pick anything from the window. False when the texels must be gathered.
[[gnu::always_inline]] inline bool FetchRowWindows(const uint32_t *texels, VI rowA, VI rowB, VI ax, VI bx, VI active,
                                                   bool filtered, uint32_t fault, VI &t00, VI &t10, VI &t01, VI &t11) {
    if constexpr (!kWindowFetch) {
        return false;
    } else {
        const VI inactive = IXor(active, ISet1(-1));
        const int32_t ra = ILane0(rowA), rb = ILane0(rowB);
        if (!All(IOr(ICmpEq(rowA, ISet1(ra)), inactive))) return false;
        if (filtered && !All(IOr(ICmpEq(rowB, ISet1(rb)), inactive))) return false;
        const VI lo = filtered ? IMin32(ax, bx) : ax, hi = filtered ? IMax32(ax, bx) : ax;
        const int32_t first = IReduceMin32(IfElse(active, lo, ISet1(INT32_MAX)));
        const int32_t last = IReduceMax32(IfElse(active, hi, ISet1(INT32_MIN)));
        if (last - first >= 2 * kLanes) return false;
        const int32_t count = last - first + 1;
        const VI first4 = ISet1(first);
        VI ia = ISub(ax, first4);
        if (fault == kSpanFaultWindow && count > 2) ia = IAdd(ia, IAnd(ICmpEq(ia, ISet1(1)), ISet1(1)));
        const Window a = LoadWindow(texels + ra + first, count);
        t00 = PickWindow(a, ia);
        if (!filtered) return true;
        const VI ib = ISub(bx, first4);
        t10 = PickWindow(a, ib);
        const Window b = LoadWindow(texels + rb + first, count);
        t01 = PickWindow(b, ia);
        t11 = PickWindow(b, ib);
        return true;
    }
}

// BilinearPacked on 16-bit lanes, exactly. Each row first: c0 * (256 - fx) + c1 * fx is
// at most 255 * 256, so it fits a lane. Then with S = row0 * (256 - fy) + row1 * fy the
// result (S + 32768) >> 16 equals (floor(S / 256) + 128) >> 8 (the dropped low byte
// cannot carry past a multiple of 256), and floor(S / 256) = H + (L >> 8) where H and L
// weigh the rows' high and low bytes alike, each again at most 255 * 256.
[[gnu::always_inline]] inline VI FilterRow(VI t0, VI t1, VI wx0, VI wx1) {
    return I16Add(I16Mullo(t0, wx0), I16Mullo(t1, wx1));
}
[[gnu::always_inline]] inline VI FilterRows(VI row0, VI row1, VI wy0, VI wy1) {
    const VI low = I16Set1(0xFF);
    const VI h = I16Add(I16Mullo(I16Srl<8>(row0), wy0), I16Mullo(I16Srl<8>(row1), wy1));
    const VI l = I16Add(I16Mullo(IAnd(row0, low), wy0), I16Mullo(IAnd(row1, low), wy1));
    return I16Srl<8>(I16Add(I16Add(h, I16Srl<8>(l)), I16Set1(128)));
}
[[gnu::always_inline]] inline VI BilinearHalf(VI t00, VI t10, VI t01, VI t11, VI wx0, VI wx1, VI wy0, VI wy1) {
    return FilterRows(FilterRow(t00, t10, wx0, wx1), FilterRow(t01, t11, wx0, wx1), wy0, wy1);
}

[[gnu::always_inline]] inline C16 Bilinear(VI t00, VI t10, VI t01, VI t11, VI fx, VI fy) {
    // One half at a time, to keep the values in flight few.
    const VI zero = ISet1(0), c256 = I16Set1(256);
    const VI sx = IOr(fx, ISll<16>(fx)), sy = IOr(fy, ISll<16>(fy));
    const VI wxLo = UnpackLo32(sx, sx), wyLo = UnpackLo32(sy, sy);
    const VI lo = BilinearHalf(UnpackLo8(t00, zero), UnpackLo8(t10, zero), UnpackLo8(t01, zero), UnpackLo8(t11, zero),
                               I16Sub(c256, wxLo), wxLo, I16Sub(c256, wyLo), wyLo);
    const VI wxHi = UnpackHi32(sx, sx), wyHi = UnpackHi32(sy, sy);
    const VI hi = BilinearHalf(UnpackHi8(t00, zero), UnpackHi8(t10, zero), UnpackHi8(t01, zero), UnpackHi8(t11, zero),
                               I16Sub(c256, wxHi), wxHi, I16Sub(c256, wyHi), wyHi);
    return C16{lo, hi};
}

// sampling::Between on 16-bit lanes: a towards b by f / 256.
[[gnu::always_inline]] inline C16 Between(const C16 &a, const C16 &b, VI f) {
    const C16 wb = Spread(f);
    const VI c256 = I16Set1(256);
    auto mix = [&](VI x, VI y, VI w) {
        return I16Srl<8>(I16Add(I16Add(I16Mullo(x, I16Sub(c256, w)), I16Mullo(y, w)), I16Set1(128)));
    };
    return C16{mix(a.lo, b.lo, wb.lo), mix(a.hi, b.hi, wb.hi)};
}

// Texel addresses on one axis for the two neighbours x and x + 1, with which lanes lie
// inside (border addressing only; the others leave the masks alone).
[[gnu::always_inline]] inline void AddressPair(SpanAddress mode, VI x, VI n, VI active, VI &a, VI &b, VI &inA, VI &inB) {
    const VI one = ISet1(1), last = ISub(n, one);
    switch (mode) {
        case SpanAddress::WrapPow2:
            a = IAnd(x, last);
            b = IAnd(IAdd(x, one), last);
            return;
        case SpanAddress::Clamp:
            a = IClamp(x, ISet1(0), last);
            b = IClamp(IAdd(x, one), ISet1(0), last);
            return;
        default:
            a = Address(mode, x, n, active, inA);
            b = Address(mode, IAdd(x, one), n, active, inB);
            return;
    }
}

// A level's texels for one group, read but not yet weighed: where no lane filters, t00
// alone. `pairs`: the four hold the rows' pairs as GatherPairsInPixelOrder reads them
// (row A's in t00 and t10, row B's in t01 and t11), for FilterPairs (`wrongPairs`: with
// its deliberate error).
struct LevelTaps {
    VI t00, t10, t01, t11, fx, fy;
    bool filtered;
    bool pairs = false, wrongPairs = false;
};

// The most active lanes of a group whose second column is not the word after their
// first that FetchLevel still reads the others' taps as pairs for.
constexpr int kFewApart = kLanes / 4;

// The four taps of the lanes in `apart` (bit k for lane k), word by word, into their
// lanes of t00 to t11.
[[gnu::always_inline]] inline void TapsApart(const uint32_t *texels, VI rowA, VI rowB, VI ax, VI bx, uint32_t apart,
                                             VI &t00, VI &t10, VI &t01, VI &t11) {
    LaneInts ra, rb, ia, ib;
    IStore(ra.v, rowA), IStore(rb.v, rowB), IStore(ia.v, ax), IStore(ib.v, bx);
    const VI iota = IIota();
    for (uint32_t m = apart; m; m &= m - 1) {
        const int k = __builtin_ctz(m);
        const VI lane = ICmpEq(iota, ISet1(k));
        t00 = IfElse(lane, ISet1(static_cast<int32_t>(texels[ra.v[k] + ia.v[k]])), t00);
        t10 = IfElse(lane, ISet1(static_cast<int32_t>(texels[ra.v[k] + ib.v[k]])), t10);
        t01 = IfElse(lane, ISet1(static_cast<int32_t>(texels[rb.v[k] + ia.v[k]])), t01);
        t11 = IfElse(lane, ISet1(static_cast<int32_t>(texels[rb.v[k] + ib.v[k]])), t11);
    }
}

// A level read at (u, v): point lanes take the texel under the point, filtered lanes
// the four around it with their weights (fractions of zero leave the point texel alone).
// `one`: every lane reads the same level (known without looking). `near`: every active
// lane's u * width and v * height, less the filter's half, is known to be a number of at
// most 2^30 (CoordsNear, BatchNear), which FloorToIntV need not pin nor Fraction256V
// clamp. Lanes that are not active may hold anything: their texels are never used, and
// every addressing mode keeps their reads inside the level whatever their coordinates.
template <SamplerShape S>
[[gnu::always_inline]] inline void FetchLevel(const SpanSampler &sm, VI level, VF u, VF v, VI linear, VI active,
                                              uint32_t fault, bool one, LevelTaps &out, bool near = false) {
    const SpanAddress addressU = S.address >= 0 ? SpanAddress(S.address) : sm.addressU;
    const SpanAddress addressV = S.address >= 0 ? SpanAddress(S.address) : sm.addressV;
    const int32_t first = ILane0(level);
    const bool uniform = one || All(IOr(ICmpEq(level, ISet1(first)), IXor(active, ISet1(-1))));
    if (uniform) level = ISet1(first);
    const LevelFields f = FieldsOf(sm, level, uniform, first);
    const bool anyLinear = S.linear >= 0 ? S.linear == 1 : Any(IAnd(linear, active));
    const VF half = FAnd(AsF(linear), FSet1(0.5f));
    const VF xs = FSub(FMul(u, f.fw), half), ys = FSub(FMul(v, f.fh), half);
    const VI x0 = near ? FloorToIntPinned(xs) : FloorToIntV(xs), y0 = near ? FloorToIntPinned(ys) : FloorToIntV(ys);
    VI ax, bx, ay, by;
    VI inAx = ISet1(-1), inBx = inAx, inAy = inAx, inBy = inAx;
    // Wrapped on levels with a spare column and row, every lane's second column and row
    // are the word and the row after its first.
    const bool spare = addressU == SpanAddress::WrapPow2 && addressV == SpanAddress::WrapPow2 && sm.spare && uniform;
    AddressPair(addressU, x0, f.w, active, ax, bx, inAx, inBx);
    AddressPair(addressV, y0, f.h, active, ay, by, inAy, inBy);
    if (fault == kSpanFaultAddress) ax = IAnd(IAdd(ax, IAnd(ICmpEq(x0, ISet1(1)), ISet1(1))), ISub(f.w, ISet1(1)));
    if (spare) bx = IAdd(ax, ISet1(1));
    // Texels: X8R8G8B8 ones made opaque, border lanes given the border colour.
    const bool border = addressU == SpanAddress::Border || addressV == SpanAddress::Border;
    const VI opaque = ISet1(static_cast<int32_t>(sm.opaque)), borderColor = ISet1(static_cast<int32_t>(sm.border));
    // Row offsets: addressed rows and pitches are never negative, so below 2^15 the
    // upper 16 bits of each lane are zero and one multiply-add gives the product.
    auto rowOffset = [&](VI row) {
        if (fault == kSpanFaultRow) row = IAndNot(ICmpEq(row, ISet1(1)), row);
        return sm.shortRows ? IMadd16(row, f.pitch) : IMullo32(row, f.pitch);
    };
    const VI rowA = rowOffset(ay);
    const VI rowB = !anyLinear ? rowA : spare ? IAdd(rowA, f.pitch) : rowOffset(by);
    VI t00 = ISet1(0), t10 = t00, t01 = t00, t11 = t00;
    out.pairs = false;
    if (!uniform || (spare && anyLinear) ||
        !FetchRowWindows(sm.levels[first].texels, rowA, rowB, ax, bx, active, anyLinear, fault, t00, t10, t01, t11)) {
        // Active lanes whose second column is the word after their first, and the others
        // (whose second column wraps or is clamped back).
        const bool pairs = kPairFetch && uniform && anyLinear;
        const VI follows = pairs && !spare ? ICmpEq(bx, IAdd(ax, ISet1(1))) : active;
        const uint32_t apart = pairs && !spare ? static_cast<uint32_t>(IMoveMask(IAndNot(follows, active))) : 0u;
        if (pairs && (apart == 0 || (__builtin_popcount(apart) <= kFewApart))) {
            // Each row's two taps are read as one pair, the same words, in the lanes that
            // follow; the few lanes apart read their four words one by one. Inactive
            // lanes read nothing.
            const uint32_t *texels = sm.levels[first].texels;
            const VI paired = apart ? IAnd(follows, active) : active;
            if (kPairFilter && !apart && !border && fault != kSpanFaultPair) {
                // Every lane's pairs kept as read, weighed as pairs.
                GatherPairsInPixelOrder(texels, IAdd(rowA, ax), paired, t00, t10);
                GatherPairsInPixelOrder(texels, IAdd(rowB, ax), paired, t01, t11);
                out.pairs = true;
                out.wrongPairs = fault == kSpanFaultPairFilter;
            } else {
                GatherPairs(texels, IAdd(rowA, ax), paired, t00, t10);
                GatherPairs(texels, IAdd(rowB, ax), paired, t01, t11);
            }
            if (apart) TapsApart(texels, rowA, rowB, ax, bx, apart, t00, t10, t01, t11);
            if (fault == kSpanFaultPair) {
                const VI off = IAnd(ICmpEq(ax, ISet1(1)), ISet1(1));
                t10 = IAdd(t10, off);
                t11 = IAdd(t11, off);
            }
        } else {
            t00 = Fetch(sm, level, uniform, first, IAdd(rowA, ax));
            if (anyLinear) {
                t10 = Fetch(sm, level, uniform, first, IAdd(rowA, bx));
                t01 = Fetch(sm, level, uniform, first, IAdd(rowB, ax));
                t11 = Fetch(sm, level, uniform, first, IAdd(rowB, bx));
            }
        }
    }
    if (sm.opaque) t00 = IOr(t00, opaque);
    if (border) t00 = IfElse(IAnd(inAx, inAy), t00, borderColor);
    out.t00 = t00;
    out.filtered = anyLinear;
    if (!anyLinear) return;
    if (sm.opaque) {
        t10 = IOr(t10, opaque);
        t01 = IOr(t01, opaque);
        t11 = IOr(t11, opaque);
    }
    if (border) {
        t10 = IfElse(IAnd(inBx, inAy), t10, borderColor);
        t01 = IfElse(IAnd(inAx, inBy), t01, borderColor);
        t11 = IfElse(IAnd(inBx, inBy), t11, borderColor);
    }
    VI fx = IAnd(linear, near ? Fraction256Near(xs, x0, fault) : Fraction256V(xs, x0));
    VI fy = IAnd(linear, near ? Fraction256Near(ys, y0, fault) : Fraction256V(ys, y0));
    if (fault == kSpanFaultFilter) fx = IAdd(fx, IAnd(ICmpEq(fx, ISet1(128)), ISet1(1)));
    out.t10 = t10, out.t01 = t01, out.t11 = t11, out.fx = fx, out.fy = fy;
}

[[gnu::always_inline]] inline C16 WeighLevel(const LevelTaps &t) {
    if (kPairFilter && t.pairs) {
        C16 c;
        FilterPairs(t.t00, t.t10, t.t01, t.t11, t.fx, t.fy, c.lo, c.hi);
        if (t.wrongPairs) c = Each(c, [](VI x) { return I16Add(x, IAnd(I16CmpEq(x, I16Set1(77)), I16Set1(1))); });
        return c;
    }
    return t.filtered ? Bilinear(t.t00, t.t10, t.t01, t.t11, t.fx, t.fy) : Widen(t.t00);
}

// A stage's texels for one group: one level's, or two levels' and the fraction between.
struct StageTaps {
    LevelTaps a, b;
    VI fraction;
    bool blended;
};

// The level a stage whose mip filter reads one level (none or point) reads at level of
// detail `lambda`, and the lanes that filter linearly there: the mip filter's and the
// magnification's choices of the sampler's SampleFace.
template <SamplerShape S>
[[gnu::always_inline]] inline void OneLevelOf(const SpanSampler &sm, VF lambda, uint32_t fault, VI &level, VI &linear) {
    const VI base = ISet1(sm.baseLevel), last = ISet1(sm.levelCount - 1);
    const DWORD mip = S.mip >= 0 ? DWORD(S.mip) : sm.mipFilter;
    if (kLodSteps && mip == D3DTEXF_POINT && sm.lodSteps) {
        // `lambda` holds the footprint rho2: the level is its binade's, one more from the
        // binade's step on, clamped to the sampler's levels; NaN (any bits above
        // infinity's, or with the sign set) magnifies on the base level.
        const LodSteps &steps = *sm.lodSteps;
        const VI all = ISet1(-1), bits = AsI(lambda);
        const VI odd = IOr(ICmpGt(bits, ISet1(0x7F800000)), ICmpGt(ISet1(0), bits));
        const VI binade = IClamp(ISub(ISrl<23>(bits), ISet1(LodSteps::kFirst)), ISet1(0), ISet1(LodSteps::kCount - 1));
        VI up = IXor(ICmpGt(Lookup32(steps.step, binade), bits), all);
        if (fault == kSpanFaultLodStep) up = IOr(up, IAnd(ICmpEq(binade, ISet1(2)), ICmpGt(IAnd(bits, ISet1(0x7FFFFF)), ISet1(0x6FFFFF))));
        const VI nearest = IClamp(ISub(Lookup32(steps.level, binade), up), base, last);
        const VI magnified = IOr(odd, IXor(ICmpGt(bits, ISet1(steps.magnified)), all));
        linear = S.linear >= 0 ? ISet1(S.linear ? -1 : 0)
                               : IfElse(magnified, ISet1(sm.magLinear ? -1 : 0), ISet1(sm.minLinear ? -1 : 0));
        level = IfElse(odd, base, nearest);
        return;
    }
    const VI magnified = AsI(FCmpLE(lambda, FSet1(0.0f)));
    linear = S.linear >= 0 ? ISet1(S.linear ? -1 : 0)
                           : IfElse(magnified, ISet1(sm.magLinear ? -1 : 0), ISet1(sm.minLinear ? -1 : 0));
    level = mip == D3DTEXF_NONE ? base : IfElse(magnified, base, IClamp(FloorToIntV(FAdd(lambda, FSet1(0.5f))), base, last));
}

// The sampler's SampleFace for 2D textures up to the weighing: level choice by the mip
// filter, then one level, or two to be blended by the fraction of the level of detail.
template <SamplerShape S>
[[gnu::always_inline]] inline void FetchStage(const SpanSampler &sm, VF u, VF v, VF lambda, VI active, uint32_t fault,
                                              StageTaps &out, bool near = false) {
    const DWORD mip = S.mip >= 0 ? DWORD(S.mip) : sm.mipFilter;
    out.blended = false;
    if (mip != D3DTEXF_LINEAR) {
        VI level, linear;
        OneLevelOf<S>(sm, lambda, fault, level, linear);
        return FetchLevel<S>(sm, level, u, v, linear, active, fault, mip == D3DTEXF_NONE, out.a, near);
    }
    const VI base = ISet1(sm.baseLevel), last = ISet1(sm.levelCount - 1);
    const VI magnified = AsI(FCmpLE(lambda, FSet1(0.0f)));
    const VI linear = S.linear >= 0 ? ISet1(S.linear ? -1 : 0)
                                    : IfElse(magnified, ISet1(sm.magLinear ? -1 : 0), ISet1(sm.minLinear ? -1 : 0));
    const VI whole = FloorToIntV(lambda);
    const VI frac = IAndNot(magnified, Fraction256V(lambda, whole));
    const VI a = IfElse(magnified, base, IClamp(whole, base, last));
    const VI b = IfElse(magnified, base, IClamp(IAdd(whole, ISet1(1)), base, last));
    FetchLevel<S>(sm, a, u, v, linear, active, fault, false, out.a, near);
    // Between leaves the first level alone where the fraction is 0 or both levels are one.
    if (!Any(IAnd(active, IAndNot(ICmpEq(a, b), ICmpGt(frac, ISet1(0)))))) return;
    out.blended = true;
    out.fraction = fault == kSpanFaultMip ? IAdd(frac, IAnd(ICmpEq(frac, ISet1(128)), ISet1(1))) : frac;
    FetchLevel<S>(sm, b, u, v, linear, active, fault, false, out.b, near);
}

[[gnu::always_inline]] inline C16 WeighStage(const StageTaps &t) {
    const C16 ca = WeighLevel(t.a);
    return t.blended ? Between(ca, WeighLevel(t.b), t.fraction) : ca;
}

// ---- The stage combiner ----

struct CombinerInputs16 {
    C16 diffuse, specular, factor;
    const C16 *texel[D3D8_MAX_TEXTURE_STAGES];  // each stage's texels (white where it samples none)
};

[[gnu::always_inline]] inline C16 FetchArg(const SpanArgument &a, const CombinerInputs16 &in, const C16 &current,
                                           const C16 &temp, uint32_t stage) {
    C16 v;
    switch (a.source) {
        case SpanSource::Diffuse: v = in.diffuse; break;
        case SpanSource::Current: v = current; break;
        case SpanSource::Texture: v = *in.texel[stage]; break;
        case SpanSource::Factor: v = in.factor; break;
        case SpanSource::Specular: v = in.specular; break;
        case SpanSource::Temp: v = temp; break;
        default: v = Splat16(255); break;
    }
    if (a.complement) v = Each(v, [](VI x) { return Inv(x); });
    if (a.replicate) v = AlphaOf(v);
    return v;
}

[[gnu::always_inline]] inline C16 BlendAlphaFor(DWORD op, const CombinerInputs16 &in, const C16 &current,
                                                uint32_t stage) {
    switch (op) {
        case D3DTOP_BLENDDIFFUSEALPHA: return AlphaOf(in.diffuse);
        case D3DTOP_BLENDTEXTUREALPHA:
        case D3DTOP_BLENDTEXTUREALPHAPM: return AlphaOf(*in.texel[stage]);
        case D3DTOP_BLENDFACTORALPHA: return AlphaOf(in.factor);
        case D3DTOP_BLENDCURRENTALPHA: return AlphaOf(current);
        default: return C16{};  // not read
    }
}

// CombineChannel on 16-bit lanes; `alpha1` holds arg1's alpha in every lane of its pixel.
[[gnu::always_inline]] inline VI CombineV(DWORD op, VI a0, VI a1, VI a2, VI blend, VI alpha1) {
    switch (op) {
        case D3DTOP_SELECTARG1: return a1;
        case D3DTOP_SELECTARG2: return a2;
        case D3DTOP_MODULATE: return Mul8V(a1, a2);
        case D3DTOP_MODULATE2X: {
            const VI p = I16Mullo(a1, a2);
            return Div255(Cap65025(I16AddsU(p, p)));
        }
        case D3DTOP_MODULATE4X: {
            const VI p = I16Mullo(a1, a2);
            const VI p2 = I16AddsU(p, p);
            return Div255(Cap65025(I16AddsU(p2, p2)));
        }
        case D3DTOP_ADD: return I16Min(I16Add(a1, a2), I16Set1(255));
        case D3DTOP_ADDSIGNED: return Sat255(I16Sub(I16Add(a1, a2), I16Set1(128)));
        case D3DTOP_ADDSIGNED2X: {
            const VI d = I16Sub(I16Add(a1, a2), I16Set1(128));
            return Sat255(I16Add(d, d));
        }
        case D3DTOP_SUBTRACT: return I16SubsU(a1, a2);
        case D3DTOP_ADDSMOOTH: return I16Min(I16Add(a1, Mul8V(a2, Inv(a1))), I16Set1(255));
        case D3DTOP_BLENDDIFFUSEALPHA:
        case D3DTOP_BLENDTEXTUREALPHA:
        case D3DTOP_BLENDFACTORALPHA:
        case D3DTOP_BLENDCURRENTALPHA: return Div255(I16Add(I16Mullo(a1, blend), I16Mullo(a2, Inv(blend))));
        case D3DTOP_BLENDTEXTUREALPHAPM: return I16Min(I16Add(a1, Mul8V(a2, Inv(blend))), I16Set1(255));
        case D3DTOP_MODULATEALPHA_ADDCOLOR: return I16Min(I16Add(a1, Mul8V(alpha1, a2)), I16Set1(255));
        case D3DTOP_MODULATECOLOR_ADDALPHA: return I16Min(I16Add(Mul8V(a1, a2), alpha1), I16Set1(255));
        case D3DTOP_MODULATEINVALPHA_ADDCOLOR: return I16Min(I16Add(a1, Mul8V(Inv(alpha1), a2)), I16Set1(255));
        case D3DTOP_MODULATEINVCOLOR_ADDALPHA: return I16Min(I16Add(Mul8V(Inv(a1), a2), alpha1), I16Set1(255));
        case D3DTOP_MULTIPLYADD: return I16Min(I16Add(a0, Mul8V(a1, a2)), I16Set1(255));
        case D3DTOP_LERP: return Div255(I16Add(I16Mullo(a0, a1), I16Mullo(Inv(a0), a2)));
        default: return a1;
    }
}

// Which arguments an operation reads (the others need not be fetched).
inline bool OpReads(DWORD op, int index) {
    switch (op) {
        case D3DTOP_SELECTARG1: return index == 1;
        case D3DTOP_SELECTARG2: return index == 2;
        case D3DTOP_MULTIPLYADD:
        case D3DTOP_LERP: return true;
        default: return index != 0;
    }
}

inline bool OpReadsAlpha1(DWORD op) {
    return op == D3DTOP_MODULATEALPHA_ADDCOLOR || op == D3DTOP_MODULATECOLOR_ADDALPHA ||
           op == D3DTOP_MODULATEINVALPHA_ADDCOLOR || op == D3DTOP_MODULATEINVCOLOR_ADDALPHA;
}

[[gnu::always_inline]] inline C16 Combine(const SpanPlan &p, const CombinerInputs16 &in, uint32_t fault) {
    C16 current = in.diffuse, temp = Splat16(0);
    const VI alphaLanes = AlphaLanes();
    for (uint32_t s = 0; s < p.stageCount; ++s) {
        const SpanStage &st = p.stages[s];
        C16 a[3];
        for (int i = 0; i < 3; ++i) {
            if (OpReads(st.colorOp, i)) a[i] = FetchArg(st.colorArg[i], in, current, temp, s);
            else a[i] = C16{};
        }
        const C16 blend = BlendAlphaFor(st.colorOp, in, current, s);
        const C16 alpha1 = OpReadsAlpha1(st.colorOp) ? AlphaOf(a[1]) : C16{};
        C16 result = C16{CombineV(st.colorOp, a[0].lo, a[1].lo, a[2].lo, blend.lo, alpha1.lo),
                         CombineV(st.colorOp, a[0].hi, a[1].hi, a[2].hi, blend.hi, alpha1.hi)};
        C16 alpha = current;
        if (st.alphaOp != D3DTOP_DISABLE) {
            C16 x[3];
            for (int i = 0; i < 3; ++i) {
                if (OpReads(st.alphaOp, i)) x[i] = FetchArg(st.alphaArg[i], in, current, temp, s);
                else x[i] = C16{};
            }
            const C16 ablend = BlendAlphaFor(st.alphaOp, in, current, s);
            alpha = C16{CombineV(st.alphaOp, x[0].lo, x[1].lo, x[2].lo, ablend.lo, x[1].lo),
                        CombineV(st.alphaOp, x[0].hi, x[1].hi, x[2].hi, ablend.hi, x[1].hi)};
        }
        result = Each(result, alpha, [&](VI c, VI al) { return IfElse(alphaLanes, al, c); });
        if (fault == kSpanFaultCombine && s == 1) {
            result = Each(result, [](VI c) { return I16Add(c, IAnd(I16CmpEq(c, I16Set1(77)), I16Set1(1))); });
        }
        if (st.toTemp) temp = result;
        else current = result;
    }
    if (p.addSpecular) {
        const C16 spec = Each(in.specular, [&](VI x) { return IAndNot(alphaLanes, x); });
        current = Each(current, spec, [](VI c, VI sp) { return I16Min(I16Add(c, sp), I16Set1(255)); });
    }
    return current;
}

// The sources of a simple stage (diffuse, current, texture, factor), held by value so
// that picking one stays in registers (picking through pointers made the compiler copy
// each operand through memory in halves, which the wide loads after it then waited for).
struct SimpleSources {
    C16 diffuse, current, texture, factor;
    [[gnu::always_inline]] C16 Pick(uint8_t source) const {
        switch (source) {
            case SimpleSpanStage::kDiffuse: return diffuse;
            case SimpleSpanStage::kCurrent: return current;
            case SimpleSpanStage::kTexture: return texture;
            default: return factor;
        }
    }
};

// One SimpleSpanStage on its sources.
[[gnu::always_inline]] inline C16 SimpleStage(const SimpleSpanStage &st, const SimpleSources &src, VI alphaLanes) {
    auto operand = [&](uint8_t colour, uint8_t alpha) {
        if (colour == alpha) return src.Pick(colour);
        return Each(src.Pick(alpha), src.Pick(colour), [&](VI a, VI c) { return IfElse(alphaLanes, a, c); });
    };
    const C16 a = operand(st.colorA, st.alphaA), b = operand(st.colorB, st.alphaB);
    const VI pickA = I64Set1(st.pickA), pickB = I64Set1(st.pickB);
    C16 r = Each(a, b, [&](VI x, VI y) { return IOr(IAnd(x, pickA), IAnd(y, pickB)); });
    if (st.pickProduct) {
        const VI pick = I64Set1(st.pickProduct);
        r = Each(r, a, b, [&](VI v, VI x, VI y) { return IOr(v, IAnd(Mul8V(x, y), pick)); });
    }
    if (st.pickSum) {
        const VI pick = I64Set1(st.pickSum);
        r = Each(r, a, b, [&](VI v, VI x, VI y) { return IOr(v, IAnd(I16Min(I16Add(x, y), I16Set1(255)), pick)); });
    }
    return r;
}

// Combine for plans whose stages are all SimpleSpanStage: branch-free per stage.
[[gnu::always_inline]] inline C16 SimpleCombine(const SpanPlan &p, const CombinerInputs16 &in, uint32_t fault) {
    const VI alphaLanes = AlphaLanes();
    SimpleSources src{in.diffuse, in.diffuse, C16{}, in.factor};
    for (uint32_t s = 0; s < p.stageCount; ++s) {
        src.texture = *in.texel[s];
        C16 r = SimpleStage(p.simpleStages[s], src, alphaLanes);
        if (fault == kSpanFaultCombine && s == 1) {
            r = Each(r, [](VI c) { return I16Add(c, IAnd(I16CmpEq(c, I16Set1(77)), I16Set1(1))); });
        }
        src.current = r;
    }
    return src.current;
}

// SimpleStage of a plan's texelTimesDiffuse stage: the product in the lanes of
// `product`, the texel in those of `texel`, the diffuse colour in those of `diffuse` (a
// product's operands in either order give the same bits), without picking operands
// lane by lane.
struct TexelDiffuseLanes {
    VI product, texel, diffuse;
};
[[gnu::always_inline]] inline TexelDiffuseLanes TexelDiffuseLanesOf(const SpanPlan &p) {
    return TexelDiffuseLanes{I64Set1(p.simpleStages[0].pickProduct), I64Set1(p.texelLanes), I64Set1(p.diffuseLanes)};
}
[[gnu::always_inline]] inline C16 TexelTimesDiffuse(const C16 &texel, const C16 &diffuse, const TexelDiffuseLanes &m,
                                                    uint32_t fault) {
    C16 r = Each(texel, diffuse, [&](VI t, VI d) {
        return IOr(IAnd(Mul8V(t, d), m.product), IOr(IAnd(t, m.texel), IAnd(d, m.diffuse)));
    });
    if (fault == kSpanFaultTexelTimes) {
        r = Each(r, [](VI c) { return I16Add(c, IAnd(I16CmpEq(c, I16Set1(77)), I16Set1(1))); });
    }
    return r;
}

// ---- Blending ----

[[gnu::always_inline]] inline C16 BlendFactorV(DWORD factor, const C16 &s, const C16 &d) {
    switch (factor) {
        case D3DBLEND_ZERO: return Splat16(0);
        case D3DBLEND_ONE: return Splat16(255);
        case D3DBLEND_SRCCOLOR: return s;
        case D3DBLEND_INVSRCCOLOR: return Each(s, [](VI x) { return Inv(x); });
        case D3DBLEND_SRCALPHA: return AlphaOf(s);
        case D3DBLEND_INVSRCALPHA: return Each(AlphaOf(s), [](VI x) { return Inv(x); });
        case D3DBLEND_DESTALPHA: return AlphaOf(d);
        case D3DBLEND_INVDESTALPHA: return Each(AlphaOf(d), [](VI x) { return Inv(x); });
        case D3DBLEND_DESTCOLOR: return d;
        case D3DBLEND_INVDESTCOLOR: return Each(d, [](VI x) { return Inv(x); });
        case D3DBLEND_SRCALPHASAT: {
            const VI alphaLanes = AlphaLanes();
            return Each(AlphaOf(s), AlphaOf(d),
                        [&](VI sa, VI da) { return IfElse(alphaLanes, I16Set1(255), I16Min(sa, Inv(da))); });
        }
        default: return Splat16(255);
    }
}

[[gnu::always_inline]] inline VI BlendV(const SpanPlan &p, VI src, VI dst) {
    const C16 s = Widen(src), d = Widen(dst);
    DWORD sfName = p.srcBlend, dfName = p.dstBlend;
    if (sfName == D3DBLEND_BOTHSRCALPHA) sfName = D3DBLEND_SRCALPHA, dfName = D3DBLEND_INVSRCALPHA;
    else if (sfName == D3DBLEND_BOTHINVSRCALPHA) sfName = D3DBLEND_INVSRCALPHA, dfName = D3DBLEND_SRCALPHA;
    switch (p.blendOp) {
        case D3DBLENDOP_MIN: return Narrow(Each(s, d, [](VI a, VI b) { return I16Min(a, b); }));
        case D3DBLENDOP_MAX: return Narrow(Each(s, d, [](VI a, VI b) { return I16Max(a, b); }));
        default: break;
    }
    if (dfName == D3DBLEND_ONE && p.blendOp == D3DBLENDOP_ADD) {
        // Adding onto the target (sparks, glows): 255 d / 255 is d itself, so the sum's
        // rounding is the source's term's alone, Div255(x + 255 d) = d + Div255(x), and
        // capping the sum at 255 * 255 caps that at 255, a byte's saturation: the same
        // bytes (checked for every x and d) without widening or weighing d.
        const C16 sf = BlendFactorV(sfName, s, d);
        return I8AddsU(dst, Narrow(Each(s, sf, [](VI x, VI f) { return Div255(I16Mullo(x, f)); })));
    }
    const C16 sf = BlendFactorV(sfName, s, d), df = BlendFactorV(dfName, s, d);
    const C16 a = Each(s, sf, [](VI x, VI f) { return I16Mullo(x, f); });
    const C16 b = Each(d, df, [](VI x, VI f) { return I16Mullo(x, f); });
    switch (p.blendOp) {
        case D3DBLENDOP_SUBTRACT: return Narrow(Each(a, b, [](VI x, VI y) { return Div255(I16SubsU(x, y)); }));
        case D3DBLENDOP_REVSUBTRACT: return Narrow(Each(a, b, [](VI x, VI y) { return Div255(I16SubsU(y, x)); }));
        default: return Narrow(Each(a, b, [](VI x, VI y) { return Div255(Cap65025(I16AddsU(x, y))); }));
    }
}

// ---- Depth ----

// Where a group's lanes lie: the first half from (xa, ya), the second from (xb, yb),
// each `wide` when all its words lie inside the caller's region. The halves are
// neighbours on one row (then the group reads and writes as one) or short spans of two
// rows.
struct Place {
    int32_t xa, ya, xb, yb;
    bool wideA, wideB;
    bool joined;  // yb == ya and xb == xa + kHalf
    bool Joined() const { return joined; }
    int32_t X(int k) const { return k < kHalf ? xa + k : xb + k - kHalf; }
    int32_t Y(int k) const { return k < kHalf ? ya : yb; }
};

template <class T>
[[gnu::always_inline]] inline T *Pixel(uint8_t *bits, uint32_t pitch, int32_t x, int32_t y) {
    return reinterpret_cast<T *>(bits + static_cast<size_t>(y) * pitch) + x;
}

[[gnu::always_inline]] inline VI LoadPlace(uint8_t *bits, uint32_t pitch, const Place &pl, VI lanes) {
    uint32_t *a = Pixel<uint32_t>(bits, pitch, pl.xa, pl.ya);
    if (pl.Joined()) return LoadWords(a, lanes, pl.wideB);
    return LoadWordHalves(a, Pixel<uint32_t>(bits, pitch, pl.xb, pl.yb), lanes, pl.wideA, pl.wideB);
}
[[gnu::always_inline]] inline void StorePlace(uint8_t *bits, uint32_t pitch, const Place &pl, VI mask, VI v, VI old) {
    uint32_t *a = Pixel<uint32_t>(bits, pitch, pl.xa, pl.ya);
    if (pl.Joined()) StoreWords(a, mask, v, old, pl.wideB);
    else StoreWordHalves(a, Pixel<uint32_t>(bits, pitch, pl.xb, pl.yb), mask, v, old, pl.wideA, pl.wideB);
}
[[gnu::always_inline]] inline VI LoadPlace16(uint8_t *bits, uint32_t pitch, const Place &pl, VI lanes) {
    uint16_t *a = Pixel<uint16_t>(bits, pitch, pl.xa, pl.ya);
    if (pl.Joined()) return LoadHalves(a, lanes, pl.wideB);
    return LoadHalvesHalves(a, Pixel<uint16_t>(bits, pitch, pl.xb, pl.yb), lanes, pl.wideA, pl.wideB);
}
[[gnu::always_inline]] inline void StorePlace16(uint8_t *bits, uint32_t pitch, const Place &pl, VI mask, VI v, VI old) {
    uint16_t *a = Pixel<uint16_t>(bits, pitch, pl.xa, pl.ya);
    if (pl.Joined()) StoreHalves(a, mask, v, old, pl.wideB);
    else StoreHalvesHalves(a, Pixel<uint16_t>(bits, pitch, pl.xb, pl.yb), mask, v, old, pl.wideA, pl.wideB);
}

// Where a packed group's lanes lie (kPackedGroups): pieces of rows laid end to end, piece
// i the `n` pixels from (x, y) rightwards in the lanes from `lane` on (`bits`, one a lane).
// A group fills whole before the next starts, whatever its rows' lengths, so small
// triangles waste few lanes; each piece is read and written under its own lane mask.
struct Piece {
    int32_t x, y;
    uint16_t lane, n;
    uint32_t bits;
};
struct PackedPlace {
    int32_t count;
    Piece piece[kLanes];
    const Piece &Of(int k) const {
        int i = 0;
        while (i + 1 < count && k >= piece[i + 1].lane) ++i;
        return piece[i];
    }
    int32_t X(int k) const { return Of(k).x + k - Of(k).lane; }
    int32_t Y(int k) const { return Of(k).y; }
};

// Where lane 0 would lie if the piece's row ran back to it (an address only ever read or
// written under the piece's lanes, which lie inside the row).
template <class T>
[[gnu::always_inline]] inline T *LaneZero(uint8_t *bits, uint32_t pitch, const Piece &pc) {
    const intptr_t back = (intptr_t{pc.x} - intptr_t{pc.lane}) * static_cast<intptr_t>(sizeof(T));
    return reinterpret_cast<T *>(reinterpret_cast<uintptr_t>(bits) + static_cast<size_t>(pc.y) * pitch +
                                 static_cast<uintptr_t>(back));
}

[[gnu::always_inline]] inline VI LoadPlace(uint8_t *bits, uint32_t pitch, const PackedPlace &pl, VI) {
    VI v = ISet1(0);
    for (int i = 0; i < pl.count; ++i) v = LoadWordsLanes(v, LaneZero<uint32_t>(bits, pitch, pl.piece[i]), pl.piece[i].bits);
    return v;
}
[[gnu::always_inline]] inline void StorePlace(uint8_t *bits, uint32_t pitch, const PackedPlace &pl, VI mask, VI v, VI) {
    const uint32_t m = static_cast<uint32_t>(IMoveMask(mask));
    for (int i = 0; i < pl.count; ++i) StoreWordsLanes(LaneZero<uint32_t>(bits, pitch, pl.piece[i]), pl.piece[i].bits & m, v);
}
[[gnu::always_inline]] inline VI LoadPlace16(uint8_t *bits, uint32_t pitch, const PackedPlace &pl, VI) {
    VI v = ISet1(0);
    for (int i = 0; i < pl.count; ++i) v = LoadHalvesLanes(v, LaneZero<uint16_t>(bits, pitch, pl.piece[i]), pl.piece[i].bits);
    return v;
}
[[gnu::always_inline]] inline void StorePlace16(uint8_t *bits, uint32_t pitch, const PackedPlace &pl, VI mask, VI v, VI) {
    const uint32_t m = static_cast<uint32_t>(IMoveMask(mask));
    for (int i = 0; i < pl.count; ++i) StoreHalvesLanes(LaneZero<uint16_t>(bits, pitch, pl.piece[i]), pl.piece[i].bits & m, v);
}

template <bool kPacked>
struct PlaceOf {
    using Type = Place;
};
template <>
struct PlaceOf<true> {
    using Type = PackedPlace;
};
using GroupPlace = PlaceOf<kPackedGroups>::Type;

// Where a group of neighbours on one row lies: the pixels from (x, y) rightwards in the
// lanes of `bits` (a run from lane 0), `wide` when all of the group's words lie inside
// the caller's region. Widths that pack groups read and write under the lane bits, the
// others as a joined Place does.
struct RowPiece {
    int32_t x, y;
    uint32_t bits;
    bool wide;
    int32_t X(int k) const { return x + k; }
    int32_t Y(int) const { return y; }
};

[[gnu::always_inline]] inline VI LoadPlace(uint8_t *bits, uint32_t pitch, const RowPiece &pl, VI lanes) {
    uint32_t *a = Pixel<uint32_t>(bits, pitch, pl.x, pl.y);
    if constexpr (kPackedGroups) return LoadWordsLanes(ISet1(0), a, pl.bits);
    else return LoadWords(a, lanes, pl.wide);
}
[[gnu::always_inline]] inline void StorePlace(uint8_t *bits, uint32_t pitch, const RowPiece &pl, VI mask, VI v, VI old) {
    uint32_t *a = Pixel<uint32_t>(bits, pitch, pl.x, pl.y);
    if constexpr (kPackedGroups) StoreWordsLanes(a, pl.bits & static_cast<uint32_t>(IMoveMask(mask)), v);
    else StoreWords(a, mask, v, old, pl.wide);
}
[[gnu::always_inline]] inline VI LoadPlace16(uint8_t *bits, uint32_t pitch, const RowPiece &pl, VI lanes) {
    uint16_t *a = Pixel<uint16_t>(bits, pitch, pl.x, pl.y);
    if constexpr (kPackedGroups) return LoadHalvesLanes(ISet1(0), a, pl.bits);
    else return LoadHalves(a, lanes, pl.wide);
}
[[gnu::always_inline]] inline void StorePlace16(uint8_t *bits, uint32_t pitch, const RowPiece &pl, VI mask, VI v, VI old) {
    uint16_t *a = Pixel<uint16_t>(bits, pitch, pl.x, pl.y);
    if constexpr (kPackedGroups) StoreHalvesLanes(a, pl.bits & static_cast<uint32_t>(IMoveMask(mask)), v);
    else StoreHalves(a, mask, v, old, pl.wide);
}

// The depth and stencil tests of the lanes in `lanes`, with their writes; the lanes that
// pass.
template <class P>
[[gnu::always_inline]] inline VI DepthTestV(const SpanDepth &d, const P &pl, VF z, VI lanes, uint32_t fault) {
    switch (d.kind) {
        case SpanDepth::Kind::None: return lanes;
        case SpanDepth::Kind::PerPixel: {
            LaneFloats zv;
            LaneInts in, out;
            FStore(zv.v, z);
            IStore(in.v, lanes);
            for (int k = 0; k < kLanes; ++k) {
                out.v[k] = in.v[k] && SpanDepthStencilTest(*d.unit, pl.X(k), pl.Y(k), zv.v[k]) ? -1 : 0;
            }
            return ILoad(out.v);
        }
        default: break;
    }
    const bool words16 = d.kind == SpanDepth::Kind::Words16;
    const VI word = words16 ? LoadPlace16(d.bits, d.pitch, pl, lanes) : LoadPlace(d.bits, d.pitch, pl, lanes);
    VI incoming = QuantizeDepthV(z, d.depthMax);
    if (fault == kSpanFaultDepthRound) {
        const VF clamped = FMin(FMax(z, FSet1(0.0f)), FSet1(1.0f));
        incoming = FToITrunc(FAdd(FMul(clamped, FSet1(d.depthMax)), FSet1(0.5f)));
    }
    if (fault == kSpanFaultDepth) incoming = IAdd(incoming, IAnd(ICmpEq(IAnd(incoming, ISet1(0xFF)), ISet1(0x80)), ISet1(1)));
    const VI mask = ISet1(static_cast<int32_t>(d.depthMask));
    const VI stored = ISrlV(IAnd(word, mask), d.shift);
    // Less-or-equal, the usual test, is taken before PassesV's table.
    const VI passes = d.func == D3DCMP_LESSEQUAL ? IAndNot(ICmpGt(incoming, stored), lanes)
                                                 : IAnd(PassesV(d.func, incoming, stored), lanes);
    if (d.write && Any(passes)) {
        const VI written = IOr(IAndNot(mask, word), IAnd(ISllV(incoming, d.shift), mask));
        if (words16) StorePlace16(d.bits, d.pitch, pl, passes, written, word);
        else StorePlace(d.bits, d.pitch, pl, passes, written, word);
    }
    return passes;
}

// 24 bits of depth above 8 of stencil (or unused) in 32-bit words, tested less-or-equal
// and written (a scene's usual depth), with no deliberate error: a triangle that has it takes routines
// compiled for it, whose groups make none of DepthTestV's choices of kind, function and
// fault, and shift by constants. The stored depth is the word shifted down; the written
// word keeps the low byte under the incoming depth (at most 2^24 - 1) shifted up: the
// values DepthTestV's mask and shifts give.
[[gnu::always_inline]] inline bool IsWordsLessEqual(const SpanDepth &d, uint32_t fault) {
    return d.kind == SpanDepth::Kind::Words32 && d.depthBits == 24 && d.shift == 8 && d.depthMask == 0xFFFFFF00u &&
           d.func == D3DCMP_LESSEQUAL && d.write && fault == kSpanFaultNone;
}
template <bool kWordsLessEqual, class P>
[[gnu::always_inline]] inline VI DepthTestOf(const SpanDepth &d, const P &pl, VF z, VI lanes, uint32_t fault) {
    if constexpr (!kWordsLessEqual) {
        return DepthTestV(d, pl, z, lanes, fault);
    } else {
        const VI word = LoadPlace(d.bits, d.pitch, pl, lanes);
        const VI incoming = QuantizeDepthV(z, 16777215.0f);
        const VI passes = IAndNot(ICmpGt(incoming, ISrl<8>(word)), lanes);
        StorePlace(d.bits, d.pitch, pl, passes, IOr(IAnd(word, ISet1(0xFF)), ISll<8>(incoming)), word);
        return passes;
    }
}

// ---- The span loop ----

struct RowValues {
    float z, rhw;
    float var[kMaxVaryings];
};

[[gnu::always_inline]] inline float PlaneRow(const Plane &p, float oy) { return p.at0 + p.dy * oy; }

// The row values of a group: its first half lies on row `a`, its second on row `b`
// (the same row, or the next one for short spans).
struct RowPair {
    const RowValues *a, *b;
    [[gnu::always_inline]] VF Var(uint32_t k) const { return FSet2(a->var[k], b->var[k]); }
    [[gnu::always_inline]] VF Z() const { return FSet2(a->z, b->z); }
    [[gnu::always_inline]] VF Rhw() const { return FSet2(a->rhw, b->rhw); }
};

// The row values of a packed group, lane by lane: each plane's PlaneRow at the lane's
// own row offset `oy`.
struct RowLanes {
    const TriangleSetup &s;
    VF oy;
    [[gnu::always_inline]] VF Row(const Plane &p) const { return FAdd(FSet1(p.at0), FMul(FSet1(p.dy), oy)); }
    [[gnu::always_inline]] VF Var(uint32_t k) const { return Row(s.var[k]); }
    [[gnu::always_inline]] VF Z() const { return Row(s.z); }
    [[gnu::always_inline]] VF Rhw() const { return Row(s.rhw); }
};

// A varying at the lanes: row + dx * ox, times w under perspective.
template <bool kPerspective>
[[gnu::always_inline]] inline VF Varying(VF row, float dx, VF ox, VF w) {
    const VF v = FAdd(row, FMul(FSet1(dx), ox));
    return kPerspective ? FMul(v, w) : v;
}

// `alpha`: whether anything reads the colour's alpha (left zero when not).
template <bool kPerspective, class Rows>
[[gnu::always_inline]] inline VI ColorWord(const TriangleSetup &s, const Rows &r, uint32_t first, VF ox, VF w,
                                           bool alpha = true) {
    // Stored b, g, r, a from the low byte up; the varyings run r, g, b, a.
    const VI b = ToByte(Varying<kPerspective>(r.Var(first + 2), s.var[first + 2].dx, ox, w));
    const VI g = ToByte(Varying<kPerspective>(r.Var(first + 1), s.var[first + 1].dx, ox, w));
    const VI red = ToByte(Varying<kPerspective>(r.Var(first), s.var[first].dx, ox, w));
    const VI bgr = IOr(IOr(b, ISll<8>(g)), ISll<16>(red));
    if (!alpha) return bgr;
    const VI a = ToByte(Varying<kPerspective>(r.Var(first + 3), s.var[first + 3].dx, ox, w));
    return IOr(bgr, ISll<24>(a));
}

// A colour whose four planes do not change over the triangle (slopes of zero, as where
// every vertex has one colour) is, without perspective, its value at vertex 0 at every
// pixel: row + dx * ox adds zeros to it. Worked out once, as ColorWord's operations.
struct SteadyColours {
    bool diffuse = false, specular = false;
    VI diffuseWord, specularWord;
};

[[gnu::always_inline]] inline bool Steady(const TriangleSetup &s, uint32_t first) {
    for (uint32_t k = first; k < first + 4; ++k) {
        if (!(s.var[k].dx == 0.0f && s.var[k].dy == 0.0f)) return false;
    }
    return true;
}

[[gnu::always_inline]] inline VI SteadyWord(const TriangleSetup &s, uint32_t first, uint32_t fault) {
    const VI b = ToByte(FSet1(s.var[first + 2].at0)), g = ToByte(FSet1(s.var[first + 1].at0));
    const VI red = ToByte(FSet1(s.var[first].at0)), a = ToByte(FSet1(s.var[first + 3].at0));
    VI word = IOr(IOr(b, ISll<8>(g)), IOr(ISll<16>(red), ISll<24>(a)));
    if (fault == kSpanFaultSteady) word = IOr(word, ISet1(1));
    return word;
}

template <bool kPerspective>
[[gnu::always_inline]] inline SteadyColours SteadyColoursOf(const SpanPlan &p, const TriangleSetup &s,
                                                            const RasterContext &ctx) {
    SteadyColours c;
    if (kPerspective || ctx.flat) return c;
    c.diffuse = Steady(s, kVaryDiffuse);
    if (c.diffuse) c.diffuseWord = SteadyWord(s, kVaryDiffuse, p.fault);
    c.specular = p.readsSpecular && Steady(s, kVarySpecular);
    if (c.specular) c.specularWord = SteadyWord(s, kVarySpecular, p.fault);
    return c;
}

// A row's depth, 1/w, the colours that change across the triangle and the
// vertex fog, each from its plane at row offset `oy`; the texture
// coordinates are left to each routine.
[[gnu::always_inline]] inline void RowPlanes(const SpanPlan &p, const TriangleSetup &s, const SteadyColours &steady,
                                             bool flat, float oy, RowValues &r) {
    r.z = PlaneRow(s.z, oy);
    r.rhw = PlaneRow(s.rhw, oy);
    if (!flat) {
        if (!steady.diffuse) {
            for (uint32_t k = kVaryDiffuse; k < kVaryDiffuse + 4; ++k) r.var[k] = PlaneRow(s.var[k], oy);
        }
        if (p.readsSpecular && !steady.specular) {
            for (uint32_t k = kVarySpecular; k < kVarySpecular + 4; ++k) r.var[k] = PlaneRow(s.var[k], oy);
        }
    }
    if (p.fog == SpanPlan::Fog::Vertex) r.var[kVaryFog] = PlaneRow(s.var[kVaryFog], oy);
}

// TriangleCoords for a 2D stage, u and v with the level of detail when the sampler needs it.
template <bool kPerspective, class Rows>
[[gnu::always_inline]] inline void StageCoords(const TriangleSetup &s, const SpanSampler &sm, const Rows &r, VF ox,
                                               VF w, VF &u, VF &v, VF &lambda) {
    VF inv, ddx, ddy;
    if (sm.divisor >= 0) {
        const uint32_t k = sm.slot + static_cast<uint32_t>(sm.divisor);
        inv = FDiv(FSet1(1.0f), FAdd(r.Var(k), FMul(FSet1(s.var[k].dx), ox)));
        ddx = FSet1(s.var[k].dx);
        ddy = FSet1(s.var[k].dy);
    } else if (kPerspective) {
        inv = w;
        ddx = FSet1(s.rhw.dx);
        ddy = FSet1(s.rhw.dy);
    } else {
        inv = FSet1(1.0f);
        ddx = ddy = FSet1(0.0f);
    }
    const Plane &pu = s.var[sm.slot], &pv = s.var[sm.slot + 1];
    u = FMul(FAdd(r.Var(sm.slot), FMul(FSet1(pu.dx), ox)), inv);
    v = FMul(FAdd(r.Var(sm.slot + 1), FMul(FSet1(pv.dx), ox)), inv);
    if (!sm.needsLod) {
        lambda = FSet1(0.0f);
        return;
    }
    const VF dudx = FMul(FSub(FSet1(pu.dx), FMul(u, ddx)), inv);
    const VF dvdx = FMul(FSub(FSet1(pv.dx), FMul(v, ddx)), inv);
    const VF dudy = FMul(FSub(FSet1(pu.dy), FMul(u, ddy)), inv);
    const VF dvdy = FMul(FSub(FSet1(pv.dy), FMul(v, ddy)), inv);
    const VF w0 = FSet1(sm.levels[0].fwidth), h0 = FSet1(sm.levels[0].fheight);
    // Where the level is looked up from the footprint's steps, the footprint stands in
    // for lambda (FetchStage knows which).
    if (kLodSteps && sm.lodSteps) lambda = FootprintV(FMul(dudx, w0), FMul(dvdx, h0), FMul(dudy, w0), FMul(dvdy, h0));
    else lambda = LambdaV(FMul(dudx, w0), FMul(dvdx, h0), FMul(dudy, w0), FMul(dvdy, h0), sm.lodBias);
}

// Fog of widened colours (every channel at most 255) by per-pixel factors (0..255):
// colour channels mix towards the fog colour, alpha keeps its value.
[[gnu::always_inline]] inline C16 FogC16(const C16 &c, VI factor, VI fogColor) {
    const VI alphaLanes = AlphaLanes();
    const C16 f = Spread(factor);
    const C16 keep = Each(f, [&](VI x) { return IfElse(alphaLanes, I16Set1(255), x); });
    const C16 towards = Each(f, [&](VI x) { return IAndNot(alphaLanes, Inv(x)); });
    const C16 fog = Widen(fogColor);
    return Each(Each(c, keep, [](VI x, VI k) { return I16Mullo(x, k); }),
                Each(fog, towards, [](VI x, VI t) { return I16Mullo(x, t); }),
                [](VI a, VI b) { return Div255(I16Add(a, b)); });
}
// The same on packed colours.
[[gnu::always_inline]] inline VI FogV(VI words, VI factor, VI fogColor) {
    return Narrow(FogC16(Widen(words), factor, fogColor));
}
// Whether every lane of `lanes` has a factor of 255, which leaves the colour as it is
// (each channel times 255, plus nothing, divided by 255): the near part of a fogged
// scene, where the fog has not begun, skips the mix.
[[gnu::always_inline]] inline bool Unfogged(VI factor, VI lanes) {
    return All(IOr(ICmpEq(factor, ISet1(255)), IXor(lanes, ISet1(-1))));
}

// FogFactor's linear curve and UnitToByte, lane by lane the same operations: the factor
// (end - distance) / (end - start), or a step at the end when the two are one; then 0 for
// a factor that is not above 0 (NaN included), 255 from 1 on, else rounded to 8 bits.
[[gnu::always_inline]] inline VI LinearFogV(const SpanPlan &p, VF distance) {
    const VF f = p.fogFlat ? FAnd(FCmpGt(FSet1(p.fogEnd), distance), FSet1(1.0f))
                           : FDiv(FSub(FSet1(p.fogEnd), distance), FSet1(p.fogRange));
    const VI rounded = FToITrunc(FAdd(FMul(f, FSet1(255.0f)), FSet1(0.5f)));
    const VI above = AsI(FCmpGt(f, FSet1(0.0f))), full = AsI(FCmpGE(f, FSet1(1.0f)));
    return IfElse(full, ISet1(255), IAnd(above, rounded));
}

// The packed colour of an Rgba8-like record.
template <class C>
inline uint32_t Packed(const C &c) {
    return (uint32_t{c.a} << 24) | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

// Groups of pixels are worked in batches, phase by phase: first every group's coverage,
// depth test and interpolation, then every group's texture samples, then shading and
// writing. Each group's arithmetic is the same either way; splitting the work gives the
// processor many independent groups to overlap instead of one long chain of dependent
// steps. A triangle touches each pixel once, so no group sees another's writes.
// Sixteen-lane groups hold twice the bytes, and packed they are full: a quarter as many
// keep a batch about as small (with its sampling's taps, well inside the first-level cache).
constexpr int kBatch = kLanes > 8 ? 8 : 32;

struct alignas(64) Batch {
    int32_t count;
    GroupPlace place[kBatch];
    VI active[kBatch], pass[kBatch];
    VF z[kBatch], w[kBatch];
    VI diffuse[kBatch], specular[kBatch], fog[kBatch];
    VF u[kMaxSpanSampled][kBatch], v[kMaxSpanSampled][kBatch], lambda[kMaxSpanSampled][kBatch];
    C16 texel[kMaxSpanSampled][kBatch];
};

// One stage's samples of every group of the batch, compiled for a shape of sampler:
// every group's texels read first, then every group's weighed, so that the reads of
// many groups are under way at once instead of each group waiting for its own.
template <uint32_t kShape, bool kNear>
[[gnu::always_inline]] inline void SampleBatchOf(const SpanSampler &sm, Batch &b, uint32_t k, uint32_t fault,
                                                 bool near = kNear) {
    StageTaps taps[kBatch];
    for (int g = 0; g < b.count; ++g) {
        FetchStage<kSamplerShapes[kShape]>(sm, b.u[k][g], b.v[k][g], b.lambda[k][g], b.active[g], fault, taps[g], near);
    }
    for (int g = 0; g < b.count; ++g) b.texel[k][g] = WeighStage(taps[g]);
}

// Whether every active lane of the batch's groups has u and v of at most the sampler's
// reach (SpanSampler::reachU, reachV): its texel coordinates on every level are then
// numbers of at most 2^30 (FetchLevel's `near`). Magnitudes compared as the bits of
// floats that are not negative, in order as their values are; NaN's lie above every
// number's. One test for the batch, off the path of its reads: the batch is sampled
// without the pins and clamps where it holds, with them all where it does not.
[[gnu::always_inline]] inline bool BatchNear(const SpanSampler &sm, const Batch &b, uint32_t k, uint32_t fault) {
    if (fault == kSpanFaultNearGroup) return true;
    const VI magnitude = ISet1(0x7FFFFFFF);
    VI largestU = ISet1(0), largestV = ISet1(0);
    for (int g = 0; g < b.count; ++g) {
        const VI lanes = IAnd(b.active[g], magnitude);
        largestU = IMax32(largestU, IAnd(AsI(b.u[k][g]), lanes));
        largestV = IMax32(largestV, IAnd(AsI(b.v[k][g]), lanes));
    }
    const VI reachU = AsI(FSet1(sm.reachU)), reachV = AsI(FSet1(sm.reachV));
    return !Any(IOr(ICmpGt(largestU, reachU), ICmpGt(largestV, reachV)));
}

template <uint32_t kShape>
void SampleBatch(const SpanSampler &sm, Batch &b, uint32_t k, uint32_t fault) {
    const bool near = BatchNear(sm, b, k, fault);
    if (fault != kSpanFaultNone) SampleBatchOf<kShape, false>(sm, b, k, fault, near);
    else if (near) SampleBatchOf<kShape, true>(sm, b, k, kSpanFaultNone);
    else SampleBatchOf<kShape, false>(sm, b, k, kSpanFaultNone);
}

using SampleBatchRoutine = void (*)(const SpanSampler &, Batch &, uint32_t, uint32_t);
template <class Sequence>
struct SampleBatchTable;
template <uint32_t... kShapes>
struct SampleBatchTable<std::integer_sequence<uint32_t, kShapes...>> {
    static constexpr SampleBatchRoutine routines[] = {SampleBatch<kShapes>...};
};
// The batch sampler of each shape, by its index in kSamplerShapes.
constexpr const SampleBatchRoutine *kSampleBatch =
    SampleBatchTable<std::make_integer_sequence<uint32_t, kSamplerShapeCount>>::routines;

// A group's shaded colour blended and written where it passes.
template <class P>
[[gnu::always_inline]] inline void WriteGroup(const SpanPlan &p, const P &pl, VI active, VI pass, VI color, VI keep,
                                              VI opaqueTarget) {
    // A packed group's write touches only its passing lanes, so where nothing of the old
    // pixel is blended or kept it is not read (a read just after the neighbouring
    // triangle's write to the same words waited for that write).
    const bool readsOld = !kPackedGroups || p.blend || p.keepMask != 0;
    const VI old = readsOld ? LoadPlace(p.colorBits, p.colorPitch, pl, active) : ISet1(0);
    VI out = color;
    if (p.blend) {
        out = BlendV(p, out, IOr(old, opaqueTarget));
        if (p.fault == kSpanFaultBlend) out = IAdd(out, IAnd(ICmpEq(IAnd(out, ISet1(0xFF)), ISet1(100)), ISet1(1)));
    }
    out = IOr(IAnd(old, keep), IAndNot(keep, IOr(out, opaqueTarget)));
    StorePlace(p.colorBits, p.colorPitch, pl, pass, out, old);
}

// Samples, shades and writes the batch's groups. `sampled`: the groups' texels are in
// already (a picture's, SpanPictureRows).
void ShadeBatch(const SpanPlan &p, const RasterContext &ctx, Batch &b, bool sampled = false) {
    const uint32_t fault = p.fault;
    const VI fogColor = ISet1(static_cast<int32_t>(p.fogColor));
    const VI keep = ISet1(static_cast<int32_t>(p.keepMask));
    const VI opaqueTarget = ISet1(p.targetHasAlpha ? 0 : static_cast<int32_t>(0xFF000000u));
    for (uint32_t k = 0; k < (sampled ? 0u : p.sampledCount); ++k) {
        const SpanSampler &sm = p.samplers[p.sampledStage[k]];
        const bool faulty = p.faultShape == kSamplerShapeCount || p.faultShape == sm.shape;
        kSampleBatch[sm.shape](sm, b, k, faulty ? fault : kSpanFaultNone);
    }
    CombinerInputs16 in;
    in.factor = Widen(ISet1(static_cast<int32_t>(p.factor)));
    in.specular = C16{};
    const C16 white = Splat16(255);
    for (uint32_t st = 0; st < p.stageCount; ++st) in.texel[st] = &white;
    const TexelDiffuseLanes mix = TexelDiffuseLanesOf(p);
    for (int g = 0; g < b.count; ++g) {
        const GroupPlace &pl = b.place[g];
        in.diffuse = Widen(b.diffuse[g]);
        if (p.readsSpecular) in.specular = Widen(b.specular[g]);
        for (uint32_t k = 0; k < p.sampledCount; ++k) in.texel[p.sampledStage[k]] = &b.texel[k][g];
        VI pass = b.pass[g];
        VI color;
        if (p.texelTimesDiffuse) {
            // Products of two bytes, and texels, are bytes already: fogged as they are,
            // without packing and widening them in between.
            const C16 mixed = TexelTimesDiffuse(*in.texel[0], in.diffuse, mix, fault);
            const bool fogged = p.fog == SpanPlan::Fog::Vertex && !Unfogged(b.fog[g], pass);
            color = Narrow(fogged ? FogC16(mixed, b.fog[g], fogColor) : mixed);
        } else {
            color = Narrow(p.simple ? SimpleCombine(p, in, fault) : Combine(p, in, fault));
            if (p.fog == SpanPlan::Fog::Vertex && !Unfogged(b.fog[g], pass)) color = FogV(color, b.fog[g], fogColor);
        }
        if (p.fog == SpanPlan::Fog::Table && p.fogLinear) {
            // Lanes that do not pass are fogged too; their colour is never written.
            VI factor = LinearFogV(p, ctx.tableFogUsesW ? b.w[g] : b.z[g]);
            if (fault == kSpanFaultTableFog) factor = IAdd(factor, IAnd(ICmpEq(factor, ISet1(200)), ISet1(1)));
            color = FogV(color, factor, fogColor);
        } else if (p.fog == SpanPlan::Fog::Table) {
            LaneFloats dist;
            LaneInts lanes, factor;
            FStore(dist.v, ctx.tableFogUsesW ? b.w[g] : b.z[g]);
            IStore(lanes.v, pass);
            for (int k = 0; k < kLanes; ++k) factor.v[k] = lanes.v[k] ? SpanTableFog(*p.fogSetup, dist.v[k]) : 255;
            color = FogV(color, ILoad(factor.v), fogColor);
        }
        if (p.alphaTest) {
            pass = IAnd(pass, PassesV(p.alphaFunc, ISrl<24>(color), ISet1(static_cast<int32_t>(p.alphaRef))));
            if (!Any(pass)) continue;
            pass = DepthTestV(p.depth, pl, b.z[g], pass, fault);
            if (!Any(pass)) continue;
        }
        WriteGroup(p, pl, b.active[g], pass, color, keep, opaqueTarget);
    }
    b.count = 0;
}

// A piece of a row: at most half a group's pixels.
struct Chunk {
    int32_t x, y, n;
    bool wide;
    const RowValues *r;
};

// Interpolates one group at `pl` into the batch (the batch's next place may be `pl`
// itself), after its depth test when that comes first: `r` gives the planes' row values
// at its lanes, `ox` their offsets along the row.
template <bool kPerspective, class P, class Rows, bool kSampled = false>
[[gnu::always_inline]] inline void AddGroupAt(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx,
                                              const SteadyColours &steady, const P &pl, const Rows &r, VF ox, VI active,
                                              Batch &b) {
    const uint32_t fault = p.fault;
    const VF z = FAdd(r.Z(), FMul(FSet1(s.z.dx), ox));
    VI pass = active;
    if (!p.alphaTest) {
        pass = DepthTestV(p.depth, pl, z, pass, fault);
        if (!Any(pass)) return;
    }
    const int g = b.count++;
    if (&b.place[g] != &pl) b.place[g] = pl;
    b.active[g] = active;
    b.pass[g] = pass;
    b.z[g] = z;
    const VF w = kPerspective ? FDiv(FSet1(1.0f), FAdd(r.Rhw(), FMul(FSet1(s.rhw.dx), ox))) : FSet1(1.0f / s.rhw.at0);
    b.w[g] = w;
    if (!ctx.flat) {
        b.diffuse[g] = steady.diffuse ? steady.diffuseWord
                                      : ColorWord<kPerspective>(s, r, kVaryDiffuse, ox, w, p.readsDiffuseAlpha);
        if (p.readsSpecular) {
            b.specular[g] =
                steady.specular ? steady.specularWord : ColorWord<kPerspective>(s, r, kVarySpecular, ox, w);
        }
    } else {
        b.diffuse[g] = ISet1(static_cast<int32_t>(Packed(ctx.flatDiffuse)));
        b.specular[g] = ISet1(static_cast<int32_t>(Packed(ctx.flatSpecular)));
    }
    if (p.fog == SpanPlan::Fog::Vertex) {
        VI factor = ToByte(Varying<kPerspective>(r.Var(kVaryFog), s.var[kVaryFog].dx, ox, w));
        if (fault == kSpanFaultFog) factor = IAdd(factor, IAnd(ICmpEq(factor, ISet1(200)), ISet1(1)));
        b.fog[g] = factor;
    }
    if (kSampled) return;
    for (uint32_t k = 0; k < p.sampledCount; ++k) {
        StageCoords<kPerspective>(s, p.samplers[p.sampledStage[k]], r, ox, w, b.u[k][g], b.v[k][g], b.lambda[k][g]);
    }
}

// A group of two chunks (the second may be empty).
template <bool kPerspective>
[[gnu::always_inline]] inline void AddGroup(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx,
                                            const SteadyColours &steady, const Chunk &ca, const Chunk &cb,
                                            Batch &b) {
    if constexpr (!kPackedGroups) {
        const VI iota = IIotaHalf();
        const Place pl{ca.x, ca.y, cb.x, cb.y, ca.wide, cb.wide, cb.y == ca.y && cb.x == ca.x + kHalf};
        const VI active = ICmpGt(ISet2(ca.n, cb.n), iota);
        const VF ox = FSub(IToF(IAdd(ISet2(ca.x, cb.x), iota)), FSet1(s.originX));
        AddGroupAt<kPerspective>(p, s, ctx, steady, pl, RowPair{ca.r, cb.r}, ox, active, b);
    }
}

// A packed group of `filled` lanes at the batch's next place, at pixels (xs, ys).
template <bool kPerspective>
[[gnu::always_inline]] inline void AddPackedGroup(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx,
                                                  const SteadyColours &steady, VI xs, VI ys, int32_t filled, Batch &b) {
    if constexpr (kPackedGroups) {
        const VI active = filled == kLanes ? ISet1(-1) : ICmpGt(ISet1(filled), IIota());
        const VF ox = FSub(IToF(xs), FSet1(s.originX));
        const RowLanes r{s, FSub(IToF(ys), FSet1(s.originY))};
        AddGroupAt<kPerspective>(p, s, ctx, steady, b.place[b.count], r, ox, active, b);
    }
}

// The rows' spans of a triangle inside [lo, hi). A narrow triangle's (bounds at most
// kMaskColumns wide, the most of a crowded frame's, however tall) come from the signs of
// its three edge functions at the row's pixels, worked as 32-bit lanes (exact: set-up's
// integers over so few pixels stay far inside them) and stepped down by the edges'
// slopes, row after row in one short loop over a block of kMaskRows rows, each block
// starting from the functions' exact values at its first row: a pixel is covered where
// no edge is negative, and since a triangle is convex the covered pixels of a row are
// one run, from the lowest set bit to the highest. That is the set RowWalk divides out,
// without its six divisions per triangle and its per-edge bounds per row (which cost a
// tall, thin triangle, a few pixels a row, more than its pixels). Wider triangles take
// the walk.
constexpr int kMaskPieces = 4;
constexpr int32_t kMaskColumns = kMaskPieces * kLanes, kMaskRows = RowBlockWalk::kRowBlock;
static_assert(kMaskColumns <= 64, "a row's covered columns are the bits of one word");

struct RowSpans {
    RowBlockWalk walk;
    int32_t x0[kMaskRows], x1[kMaskRows];
    // The row of x0[0] and x1[0], the first row, the end of the rows and the bounds'
    // first column.
    int32_t first, top, end, minX;
    // The edge functions at (minX, first), and their slopes across and down.
    int64_t at[3];
    int32_t across[3], down[3];
    // The columns [lo, hi) inside the bounds, as bits from minX; vectors a row needs.
    uint64_t inside;
    int32_t pieces;
    uint32_t fault;
    bool masked;

    // Rows y0 to y1 - 1 (y0 inside the triangle's bounds).
    [[gnu::always_inline]] inline void Start(const TriangleSetup &s, int32_t y0, int32_t y1, int32_t lo, int32_t hi,
                                             uint32_t faultIn) {
        constexpr int64_t kReach = int64_t{1} << 23;
        masked = s.maxX - s.minX < kMaskColumns;
        for (int i = 0; i < 3 && masked; ++i) {
            masked = s.a[i] < kReach && s.a[i] > -kReach && s.b[i] < kReach && s.b[i] > -kReach;
            if (!masked) break;
            // The function is linear down the rows: inside the bounds at the first and
            // the last row, it is at every row between.
            at[i] = s.a[i] * s.minX + s.b[i] * y0 + s.c[i] + s.bias[i];
            const int64_t last = at[i] + s.b[i] * (y1 - 1 - y0);
            masked = at[i] < 32 * kReach && at[i] > -32 * kReach && last < 32 * kReach && last > -32 * kReach;
            across[i] = static_cast<int32_t>(s.a[i]);
            down[i] = static_cast<int32_t>(s.b[i]);
        }
        if (!masked) {
            walk.Start(s, y0, y1, lo, hi);
            return;
        }
        first = top = y0;
        end = y1;
        minX = s.minX;
        fault = faultIn;
        const int32_t from = (lo > s.minX ? lo : s.minX) - s.minX;
        const int32_t to = (hi < s.maxX + 1 ? hi : s.maxX + 1) - s.minX;
        auto below = [](int32_t n) { return n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1u; };
        inside = to > from ? below(to) & ~below(from) : 0u;
        pieces = (s.maxX - s.minX) / kLanes + 1;
        Fill();
    }
    // The spans of the block of rows from `first`, then the functions at the next block.
    [[gnu::always_inline]] inline void Fill() {
        switch (pieces) {
            case 1: FillPieces<1>(); break;
            case 2: FillPieces<2>(); break;
            case 3: FillPieces<3>(); break;
            default: FillPieces<4>(); break;
        }
    }
    template <int kPieces>
    [[gnu::always_inline]] inline void FillPieces() {
        const int32_t rows = end - first < kMaskRows ? end - first : kMaskRows;
        // Unrolled, so that the edges' values stay in registers rather than on the stack.
        VI e[3][kPieces], step[3];
#pragma GCC unroll 3
        for (int i = 0; i < 3; ++i) {
            const VI a = ISet1(across[i]);
            for (int k = 0; k < kPieces; ++k) {
                e[i][k] = IAdd(ISet1(static_cast<int32_t>(at[i])), IMullo32(a, IAdd(IIota(), ISet1(k * kLanes))));
            }
            step[i] = ISet1(down[i]);
            at[i] += int64_t{down[i]} * rows;
        }
        for (int32_t r = 0; r < rows; ++r) {
            uint64_t outside = 0;
            for (int k = 0; k < kPieces; ++k) {
                outside |= static_cast<uint64_t>(static_cast<uint32_t>(IMoveMask(IOr(IOr(e[0][k], e[1][k]), e[2][k]))))
                           << (k * kLanes);
#pragma GCC unroll 3
                for (int i = 0; i < 3; ++i) e[i][k] = IAdd(e[i][k], step[i]);
            }
            const uint64_t covered = inside & ~outside;
            if (covered == 0) {
                x0[r] = x1[r] = minX;
                continue;
            }
            x0[r] = minX + __builtin_ctzll(covered);
            x1[r] = minX + 64 - __builtin_clzll(covered);
            if (fault == kSpanFaultMaskRow && r == 0 && first == top) --x1[r];
        }
    }
    // Row y's span: rows are taken in order from y0, each once.
    [[gnu::always_inline]] inline void Span(int32_t y, int32_t &a, int32_t &b) {
        if (!masked) return walk.Span(y, a, b);
        if (y - first == kMaskRows) {
            first += kMaskRows;
            Fill();
        }
        a = x0[y - first];
        b = x1[y - first];
    }
};

// The coarse depth's tile columns [first, last) over the pixel columns [bx0, bx1) of a
// triangle inside its band, at most kCoarseColumns of them.
struct CoarseColumns {
    int32_t first, last;
};
[[gnu::always_inline]] inline CoarseColumns CoarseColumnsOver(int32_t bx0, int32_t bx1) {
    const int32_t first = bx0 / kCoarseTile, end = (bx1 + kCoarseTile - 1) / kCoarseTile;
    return CoarseColumns{first, end < first + kCoarseColumns ? end : first + kCoarseColumns};
}

// Rows are cut into chunks of half a group; consecutive chunks pair up into groups, so
// a triangle's short rows fill whole groups two rows at a time. With kCoarse (a large
// alpha-tested triangle under a LESS or LESSEQUAL test against a target that keeps a
// coarse depth) the rows are cut around the tiles the triangle lies behind, which it
// skips.
template <bool kPerspective, bool kCoarse>
void SpanRows(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx, const PixelRect &region, int32_t y0,
              int32_t y1) {
    const bool flat = ctx.flat;
    // Tile columns the coarse depth answers for (pixel coordinates inside the band are
    // never negative).
    const int32_t bx0 = s.minX > region.x0 ? s.minX : region.x0;
    const int32_t bx1 = s.maxX + 1 < region.x1 ? s.maxX + 1 : region.x1;
    const CoarseColumns tiles = CoarseColumnsOver(bx0, bx1);
    const int32_t tx0 = tiles.first, tx1 = tiles.last;
    uint64_t rejected[kCoarseColumns / 64];
    bool anyRejected = false;
    auto behind = [&](int32_t x) {
        const int32_t i = x / kCoarseTile - tx0;
        return i < tx1 - tx0 && ((rejected[i >> 6] >> (i & 63)) & 1u) != 0;
    };
    auto nextTile = [](int32_t x) { return (x / kCoarseTile + 1) * kCoarseTile; };
    const SteadyColours steady = SteadyColoursOf<kPerspective>(p, s, ctx);
    Batch b;
    b.count = 0;
    RowValues rows[2];
    int cur = 0;
    Chunk pending{0, 0, 0, false, nullptr};
    bool havePending = false;
    // The rows' spans inside the region.
    RowSpans rowSpans;
    rowSpans.Start(s, y0, y1, region.x0, region.x1, p.fault);
    for (int32_t y = y0; y < y1; ++y) {
        int32_t x0, x1;
        rowSpans.Span(y, x0, x1);
        if (kCoarse) {
            if (y == y0 || y % kCoarseTile == 0) {
                anyRejected = SpanCoarseRejects(p.depth, s, region, y / kCoarseTile, tx0, tx1, p.fault, rejected);
            }
            if (anyRejected) {
                while (x0 < x1 && behind(x0)) x0 = nextTile(x0);
            }
        }
        if (x0 >= x1) continue;
        // Two row buffers: a chunk left pending belongs to the previous row with pixels.
        cur ^= 1;
        RowValues &r = rows[cur];
        const float oy = static_cast<float>(y) - s.originY;
        RowPlanes(p, s, steady, flat, oy, r);
        for (uint32_t k = 0; k < p.sampledCount; ++k) {
            const SpanSampler &sm = p.samplers[p.sampledStage[k]];
            r.var[sm.slot] = PlaneRow(s.var[sm.slot], oy);
            r.var[sm.slot + 1] = PlaneRow(s.var[sm.slot + 1], oy);
            if (sm.divisor >= 0) {
                const uint32_t d = sm.slot + static_cast<uint32_t>(sm.divisor);
                r.var[d] = PlaneRow(s.var[d], oy);
            }
        }
        // The row's pieces between the tiles it lies behind (the whole row when none).
        for (int32_t piece = x0; piece < x1;) {
            int32_t end = x1;
            if (kCoarse && anyRejected) {
                end = nextTile(piece);
                while (end < x1 && !behind(end)) end = nextTile(end);
                if (end > x1) end = x1;
            }
            for (int32_t xs = piece; xs < end;) {
                if (!havePending && end - xs >= kLanes) {
                    // A whole group of this row.
                    const Chunk ca{xs, y, kHalf, true, &r}, cb{xs + kHalf, y, kHalf, xs + kLanes <= region.x1, &r};
                    AddGroup<kPerspective>(p, s, ctx, steady, ca, cb, b);
                    if (b.count == kBatch) ShadeBatch(p, ctx, b);
                    xs += kLanes;
                    continue;
                }
                const Chunk c{xs, y, end - xs < kHalf ? end - xs : kHalf, xs + kHalf <= region.x1, &r};
                xs += kHalf;
                if (!havePending) {
                    pending = c;
                    havePending = true;
                    continue;
                }
                AddGroup<kPerspective>(p, s, ctx, steady, pending, c, b);
                havePending = false;
                if (b.count == kBatch) ShadeBatch(p, ctx, b);
            }
            piece = end;
            if (kCoarse && anyRejected) {
                while (piece < x1 && behind(piece)) piece = nextTile(piece);
            }
        }
    }
    if (havePending) {
        // Alone: the second half is the empty chunk after it on its row.
        const Chunk none{pending.x + kHalf, pending.y, 0, pending.x + kLanes <= region.x1, pending.r};
        AddGroup<kPerspective>(p, s, ctx, steady, pending, none, b);
    }
    if (b.count) ShadeBatch(p, ctx, b);
}

// Asks for the depth and colour of row y's pixels [x0, x1) (a row two on from the one
// being drawn, whose span is about this one's): the groups read them soon, a whole
// target row away from the row before, and a triangle drawn after much else (a sprite
// over the scene) finds them pushed out of the nearer caches. Every line of the span,
// not only its first.
[[gnu::always_inline]] inline void PrefetchRow(const SpanPlan &p, int32_t y, int32_t x0, int32_t x1) {
    const SpanDepth &d = p.depth;
    if (d.kind == SpanDepth::Kind::Words32 || d.kind == SpanDepth::Kind::Words16) {
        const size_t size = d.kind == SpanDepth::Kind::Words32 ? 4 : 2;
        const uint8_t *row = d.bits + static_cast<size_t>(y) * d.pitch;
        for (size_t at = static_cast<size_t>(x0) * size; at < static_cast<size_t>(x1) * size; at += 64) {
            __builtin_prefetch(row + at);
        }
        __builtin_prefetch(row + static_cast<size_t>(x1) * size - 1);
    }
    const uint8_t *row = p.colorBits + static_cast<size_t>(y) * p.colorPitch;
    for (size_t at = static_cast<size_t>(x0) * 4; at < static_cast<size_t>(x1) * 4; at += 64) __builtin_prefetch(row + at);
    __builtin_prefetch(row + static_cast<size_t>(x1) * 4 - 1);
}


// A plan whose groups gain nothing from a batch: nothing sampled (no reads to have under
// way together), one stage of texel (white) times diffuse, no fog, alpha test or blend
// (a lit, untextured model, most of a crowd's pixels). Each group of SpanRowsPacked is
// then tested, shaded and written as it is filled (DrawPackedGroup), by the operations
// AddGroupAt and ShadeBatch work on it, in the same order, without storing its values in
// the batch and reading them back. A triangle touches each pixel once, so writing a
// group's colour before the next group's depth test changes nothing.
[[gnu::always_inline]] inline bool IsDirectGroups(const SpanPlan &p) {
    return p.sampledCount == 0 && p.texelTimesDiffuse && p.fog == SpanPlan::Fog::None && !p.alphaTest && !p.blend;
}

// What DrawPackedGroup needs of the plan, worked out once a triangle.
struct PackedGroupConstants {
    TexelDiffuseLanes mix;
    VI flatDiffuse, keep, opaqueTarget;
};
[[gnu::always_inline]] inline PackedGroupConstants PackedGroupConstantsOf(const SpanPlan &p, const RasterContext &ctx) {
    return PackedGroupConstants{TexelDiffuseLanesOf(p), ISet1(static_cast<int32_t>(Packed(ctx.flatDiffuse))),
                                ISet1(static_cast<int32_t>(p.keepMask)),
                                ISet1(p.targetHasAlpha ? 0 : static_cast<int32_t>(0xFF000000u))};
}

template <bool kPerspective, bool kWordsLessEqual>
[[gnu::always_inline]] inline void DrawPackedGroup(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx,
                                                   const SteadyColours &steady, const PackedGroupConstants &k,
                                                   const PackedPlace &pl, VI xs, VI ys, int32_t filled) {
    const uint32_t fault = p.fault;
    const VI active = filled == kLanes ? ISet1(-1) : ICmpGt(ISet1(filled), IIota());
    const VF ox = FSub(IToF(xs), FSet1(s.originX));
    const RowLanes r{s, FSub(IToF(ys), FSet1(s.originY))};
    const VF z = FAdd(r.Z(), FMul(FSet1(s.z.dx), ox));
    const VI pass = DepthTestOf<kWordsLessEqual>(p.depth, pl, z, active, fault);
    if (!Any(pass)) return;
    const VF w = kPerspective ? FDiv(FSet1(1.0f), FAdd(r.Rhw(), FMul(FSet1(s.rhw.dx), ox))) : FSet1(1.0f / s.rhw.at0);
    const VI diffuse = ctx.flat       ? k.flatDiffuse
                       : steady.diffuse ? steady.diffuseWord
                                        : ColorWord<kPerspective>(s, r, kVaryDiffuse, ox, w, p.readsDiffuseAlpha);
    VI color = Narrow(TexelTimesDiffuse(Splat16(255), Widen(diffuse), k.mix, fault));
    if (fault == kSpanFaultDirectGroup) color = IAdd(color, IAnd(ICmpEq(IIota(), ISet1(0)), ISet1(1)));
    WriteGroup(p, pl, active, pass, color, k.keep, k.opaqueTarget);
}

// SpanRows for packed groups: each row's pieces (between the tiles it lies behind) are
// laid into the group being filled, which goes into the batch when full (or is drawn at
// once, kDirect: a plan IsDirectGroups takes; a routine of its own, so that the batched
// routine's loop stays as tight as it was).
template <bool kPerspective, bool kCoarse, bool kDirect = false, bool kWordsLessEqual = false>
void SpanRowsPacked(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx, const PixelRect &region,
                    int32_t y0, int32_t y1) {
    const int32_t bx0 = s.minX > region.x0 ? s.minX : region.x0;
    const int32_t bx1 = s.maxX + 1 < region.x1 ? s.maxX + 1 : region.x1;
    const CoarseColumns tiles = CoarseColumnsOver(bx0, bx1);
    const int32_t tx0 = tiles.first, tx1 = tiles.last;
    uint64_t rejected[kCoarseColumns / 64];
    bool anyRejected = false;
    auto behind = [&](int32_t x) {
        const int32_t i = x / kCoarseTile - tx0;
        return i < tx1 - tx0 && ((rejected[i >> 6] >> (i & 63)) & 1u) != 0;
    };
    auto nextTile = [](int32_t x) { return (x / kCoarseTile + 1) * kCoarseTile; };
    const SteadyColours steady = SteadyColoursOf<kPerspective>(p, s, ctx);
    Batch b;
    b.count = 0;
    const VI iota = IIota();
    VI xs = ISet1(0), ys = ISet1(0);
    // Lanes and pieces of the group being filled, kept here (its place's count is set as
    // it goes into the batch) so that a piece's place is not read back from memory.
    int32_t filled = 0, pieces = 0;
    PackedPlace &first = b.place[0];
    Piece *at = first.piece;
    // Groups drawn straight away: see DrawPackedGroup.
    static_assert(!(kDirect && kCoarse), "direct groups are drawn without coarse tiles");
    const PackedGroupConstants constants = kDirect ? PackedGroupConstantsOf(p, ctx) : PackedGroupConstants{};
    // The rows' spans inside the region.
    RowSpans rowSpans;
    rowSpans.Start(s, y0, y1, region.x0, region.x1, p.fault);
    for (int32_t y = y0; y < y1; ++y) {
        int32_t x0, x1;
        rowSpans.Span(y, x0, x1);
        if (kCoarse) {
            if (y == y0 || y % kCoarseTile == 0) {
                anyRejected = SpanCoarseRejects(p.depth, s, region, y / kCoarseTile, tx0, tx1, p.fault, rejected);
            }
            if (anyRejected) {
                while (x0 < x1 && behind(x0)) x0 = nextTile(x0);
            }
        }
        if (x0 >= x1) continue;
        if (y + 2 < y1) PrefetchRow(p, y + 2, x0, x1);
        const VI row = ISet1(y);
        for (int32_t piece = x0; piece < x1;) {
            int32_t end = x1;
            if (kCoarse && anyRejected) {
                end = nextTile(piece);
                while (end < x1 && !behind(end)) end = nextTile(end);
                if (end > x1) end = x1;
            }
            for (int32_t x = piece; x < end;) {
                const int32_t n = end - x < kLanes - filled ? end - x : kLanes - filled;
                const uint32_t bits = ((uint32_t{1} << n) - 1u) << filled;
                at[pieces++] = Piece{x, y, static_cast<uint16_t>(filled), static_cast<uint16_t>(n), bits};
                const int32_t shift = p.fault == kSpanFaultPiece && filled > 0 ? 1 : 0;
                xs = ITakeLanes(xs, bits, IAdd(iota, ISet1(x - filled + shift)));
                ys = ITakeLanes(ys, bits, row);
                filled += n;
                x += n;
                if (kDirect && filled == kLanes) {
                    first.count = pieces;
                    DrawPackedGroup<kPerspective, kWordsLessEqual>(p, s, ctx, steady, constants, first, xs, ys, filled);
                    filled = 0;
                    pieces = 0;
                    continue;
                }
                if (filled == kLanes) {
                    PackedPlace &full = b.place[b.count];
                    full.count = pieces;
                    AddPackedGroup<kPerspective>(p, s, ctx, steady, xs, ys, filled, b);
                    filled = 0;
                    pieces = 0;
                    if (b.count == kBatch) ShadeBatch(p, ctx, b);
                    PackedPlace &next = b.place[b.count];
                    at = next.piece;
                }
            }
            piece = end;
            if (kCoarse && anyRejected) {
                while (piece < x1 && behind(piece)) piece = nextTile(piece);
            }
        }
    }
    if (kDirect && filled) {
        first.count = pieces;
        DrawPackedGroup<kPerspective, kWordsLessEqual>(p, s, ctx, steady, constants, first, xs, ys, filled);
    } else if (filled) {
        PackedPlace &last = b.place[b.count];
        last.count = pieces;
        AddPackedGroup<kPerspective>(p, s, ctx, steady, xs, ys, filled, b);
    }
    if (b.count) ShadeBatch(p, ctx, b);
}

// ---- Textured rows under perspective ----

// A large triangle under perspective whose one stage is a texture times the diffuse
// colour (SpanPlan::texelTimesDiffuse), tested for depth before texturing (no alpha
// test), with vertex fog or none (the ground of an arena, a stage's floor and walls), is
// drawn a row at a time, each group of neighbours of a row through every step in turn:
// depth test, 1/w, colour, fog, coordinates, texels, shading and write, its values kept
// in registers instead of stored in a batch and read back, and the row's planes worked
// once for the row instead of lane by lane. Every value is worked by the operations the
// general rows use (DepthTestV, ColorWord, StageCoords, FetchStage, WeighStage,
// TexelTimesDiffuse, FogC16, WriteGroup) on the same operands, so each pixel is the same.
// The rows' ends leave part of their last group empty, which the general rows' packing
// would fill: only triangles whose rows are long take this route. Their rows are not
// asked for ahead: long runs of one row after another are what the processor's own
// prefetching follows, and the requests only cost time.
constexpr int32_t kTexturedRowsColumns = 64;
constexpr int32_t kTexturedRowsRows = 8;

[[gnu::always_inline]] inline bool IsTexturedRows(const SpanPlan &p, int32_t columns, int32_t rows) {
    return p.sampledCount == 1 && p.texelTimesDiffuse && !p.alphaTest &&
           (p.fog == SpanPlan::Fog::None || p.fog == SpanPlan::Fog::Vertex) && columns >= kTexturedRowsColumns &&
           rows >= kTexturedRowsRows;
}

// A row's planes, the same at every lane.
struct RowSame {
    const RowValues &r;
    [[gnu::always_inline]] VF Var(uint32_t k) const { return FSet1(r.var[k]); }
    [[gnu::always_inline]] VF Z() const { return FSet1(r.z); }
    [[gnu::always_inline]] VF Rhw() const { return FSet1(r.rhw); }
};

// Whether every lane from column xa to xb of a row (RowValues r) under perspective
// samples the sampler's base level, unprojected, at u * width and v * height that are
// numbers of at most 2^22 (FetchLevel's `near`). The lanes' values are chains of rounded
// operations each of which moves one way as its operand grows: the offset ox, then
// Q = rhw + drhw * ox, and U = u-row + du * ox, move one way along the row, so they lie
// between their values at the two ends (worked here by the same operations); Q above 0
// at both ends is above 0 at every lane, and w = 1 / Q lies between the ends' too. So
// |u| = |U * w| is at most max |U| times max w, and |u * width - half| at most that
// times the width, plus a half (NaN, or an infinite w, fails the test).
[[gnu::always_inline]] inline bool CoordsNear(const TriangleSetup &s, const SpanSampler &sm, const RowValues &r,
                                              int32_t xa, int32_t xb) {
    if (sm.divisor >= 0 || sm.mipFilter != D3DTEXF_NONE) return false;
    const SpanLevel &l = sm.levels[sm.baseLevel];
    const float oa = static_cast<float>(xa) - s.originX, ob = static_cast<float>(xb) - s.originX;
    const float qa = r.rhw + s.rhw.dx * oa, qb = r.rhw + s.rhw.dx * ob;
    if (!(qa > 0.0f && qb > 0.0f)) return false;
    const float wa = 1.0f / qa, wb = 1.0f / qb;
    const float w = wa > wb ? wa : wb;
    auto near = [&](uint32_t k, float size) {
        const float ua = r.var[k] + s.var[k].dx * oa, ub = r.var[k] + s.var[k].dx * ob;
        const float a = ua < 0.0f ? -ua : ua, b = ub < 0.0f ? -ub : ub;
        const float bound = (a > b ? a : b) * w * size;
        return bound < 4194303.0f;
    };
    return near(sm.slot, l.fwidth) && near(sm.slot + 1, l.fheight);
}

template <uint32_t kShape, bool kWordsLessEqual>
void SpanTexturedRows(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx, const PixelRect &region,
                      int32_t y0, int32_t y1) {
    constexpr SamplerShape kS = kSamplerShapes[kShape];
    const uint32_t fault = p.fault;
    const SpanSampler &sm = p.samplers[p.sampledStage[0]];
    // An error of sampling held to another shape leaves this one alone.
    const uint32_t sampleFault =
        p.faultShape == kSamplerShapeCount || p.faultShape == sm.shape ? fault : uint32_t{kSpanFaultNone};
    SpanTexturedRowsDrawn();
    const SteadyColours steady{};
    const bool flat = ctx.flat;
    const bool vertexFog = p.fog == SpanPlan::Fog::Vertex;
    const VI fogColor = ISet1(static_cast<int32_t>(p.fogColor));
    const VI keep = ISet1(static_cast<int32_t>(p.keepMask));
    const VI opaqueTarget = ISet1(p.targetHasAlpha ? 0 : static_cast<int32_t>(0xFF000000u));
    const TexelDiffuseLanes mix = TexelDiffuseLanesOf(p);
    const VI flatDiffuse = ISet1(static_cast<int32_t>(Packed(ctx.flatDiffuse)));
    const VI iota = IIota();
    const VF originX = FSet1(s.originX), dzdx = FSet1(s.z.dx), drhwdx = FSet1(s.rhw.dx), one = FSet1(1.0f);
    RowValues r;
    RowSpans rowSpans;
    rowSpans.Start(s, y0, y1, region.x0, region.x1, fault);
    for (int32_t y = y0; y < y1; ++y) {
        int32_t x0, x1;
        rowSpans.Span(y, x0, x1);
        if (fault == kSpanFaultTexturedRow && y == y0) --x1;
        if (x0 >= x1) continue;
        const float oy = static_cast<float>(y) - s.originY;
        RowPlanes(p, s, steady, flat, oy, r);
        r.var[sm.slot] = PlaneRow(s.var[sm.slot], oy);
        r.var[sm.slot + 1] = PlaneRow(s.var[sm.slot + 1], oy);
        if (sm.divisor >= 0) {
            const uint32_t d = sm.slot + static_cast<uint32_t>(sm.divisor);
            r.var[d] = PlaneRow(s.var[d], oy);
        }
        const RowSame rows{r};
        // Lanes past the span's end lie within the last group.
        const bool near = CoordsNear(s, sm, r, x0, x0 + (x1 - x0 + kLanes - 1) / kLanes * kLanes - 1);
        // A group up to its texels' reads, and from there on: two groups are read before
        // the first is weighed, so that the second's reads are under way meanwhile.
        struct Front {
            RowPiece pl;
            VI active, pass, diffuse, fog;
            StageTaps taps;
            bool drawn;
        };
        auto front = [&](int32_t xs, Front &f) __attribute__((always_inline)) {
            const int32_t n = x1 - xs < kLanes ? x1 - xs : kLanes;
            f.pl = RowPiece{xs, y, (1u << n) - 1u, xs + kLanes <= region.x1};
            f.active = n == kLanes ? ISet1(-1) : ICmpGt(ISet1(n), iota);
            const VF ox = FSub(IToF(IAdd(ISet1(xs), iota)), originX);
            const VF z = FAdd(rows.Z(), FMul(dzdx, ox));
            f.pass = DepthTestOf<kWordsLessEqual>(p.depth, f.pl, z, f.active, fault);
            f.drawn = Any(f.pass);
            if (!f.drawn) return;
            const VF w = FDiv(one, FAdd(rows.Rhw(), FMul(drhwdx, ox)));
            f.diffuse = flat ? flatDiffuse : ColorWord<true>(s, rows, kVaryDiffuse, ox, w, p.readsDiffuseAlpha);
            f.fog = ISet1(255);
            if (vertexFog) {
                f.fog = ToByte(Varying<true>(rows.Var(kVaryFog), s.var[kVaryFog].dx, ox, w));
                if (fault == kSpanFaultFog) f.fog = IAdd(f.fog, IAnd(ICmpEq(f.fog, ISet1(200)), ISet1(1)));
            }
            VF u, v, lambda;
            StageCoords<true>(s, sm, rows, ox, w, u, v, lambda);
            FetchStage<kS>(sm, u, v, lambda, f.active, sampleFault, f.taps, near);
        };
        auto back = [&](const Front &f) __attribute__((always_inline)) {
            if (!f.drawn) return;
            const C16 mixed = TexelTimesDiffuse(WeighStage(f.taps), Widen(f.diffuse), mix, fault);
            const bool fogged = vertexFog && !Unfogged(f.fog, f.pass);
            const VI color = Narrow(fogged ? FogC16(mixed, f.fog, fogColor) : mixed);
            WriteGroup(p, f.pl, f.active, f.pass, color, keep, opaqueTarget);
        };
        // Cleared first: the taps a level or shape has no use for are neither set nor read.
        Front a{}, b{};
        int32_t xs = x0;
        for (; xs + kLanes < x1; xs += 2 * kLanes) {
            front(xs, a);
            front(xs + kLanes, b);
            back(a);
            back(b);
        }
        if (xs < x1) {
            front(xs, a);
            back(a);
        }
    }
}

using TexturedRowsRoutine = void (*)(const SpanPlan &, const TriangleSetup &, const RasterContext &,
                                     const PixelRect &, int32_t, int32_t);
template <class Sequence, bool kWordsLessEqual>
struct TexturedRowsTable;
template <uint32_t... kShapes, bool kWordsLessEqual>
struct TexturedRowsTable<std::integer_sequence<uint32_t, kShapes...>, kWordsLessEqual> {
    static constexpr TexturedRowsRoutine routines[] = {SpanTexturedRows<kShapes, kWordsLessEqual>...};
};
// The textured rows of each shape of sampler, by its index in kSamplerShapes, for any
// depth, and for depth IsWordsLessEqual takes.
constexpr const TexturedRowsRoutine *kTexturedRows =
    TexturedRowsTable<std::make_integer_sequence<uint32_t, kSamplerShapeCount>, false>::routines;
constexpr const TexturedRowsRoutine *kTexturedRowsWordsLessEqual =
    TexturedRowsTable<std::make_integer_sequence<uint32_t, kSamplerShapeCount>, true>::routines;

// ---- Rows drawn a group at a time ----

// Sets `pl` to the place of the group of the `n` (1 to kLanes) pixels from (x, y) on one
// row, in the layout of this width's groups.
template <bool kPacked = kPackedGroups>
[[gnu::always_inline]] inline void RowGroupPlace(typename PlaceOf<kPacked>::Type &pl, int32_t x, int32_t y, int32_t n,
                                                 const PixelRect &region) {
    if constexpr (kPacked) {
        pl.count = 1;
        pl.piece[0] = Piece{x, y, 0, static_cast<uint16_t>(n), (1u << n) - 1u};
    } else {
        pl = Place{x, y, x + kHalf, y, x + kHalf <= region.x1, x + kLanes <= region.x1, true};
    }
}

// ---- Fills of one colour ----

// A triangle without perspective that samples nothing, whose colours do not change over
// it (or are flat), unfogged, without depth test (a fade, a darkened layer, a box of the
// interface), shades to one colour at every pixel: the combiner is worked once, and each
// group only blends and writes it. Under an alpha test that one colour passes at every
// pixel or at none.
[[gnu::always_inline]] inline bool IsFill(const SpanPlan &p, const SteadyColours &steady, const RasterContext &ctx) {
    if (p.fault != kSpanFaultNone && p.fault != kSpanFaultFill && p.fault != kSpanFaultFillAlpha &&
        p.fault != kSpanFaultSteady && p.fault != kSpanFaultCombine && p.fault != kSpanFaultBlend) {
        return false;
    }
    return p.sampledCount == 0 && p.fog == SpanPlan::Fog::None && p.depth.kind == SpanDepth::Kind::None &&
           (ctx.flat || (steady.diffuse && (!p.readsSpecular || steady.specular)));
}

void SpanFillRows(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx, const PixelRect &region,
                  int32_t y0, int32_t y1, const SteadyColours &steady) {
    CombinerInputs16 in;
    in.factor = Widen(ISet1(static_cast<int32_t>(p.factor)));
    in.specular = C16{};
    const C16 white = Splat16(255);
    for (uint32_t st = 0; st < p.stageCount; ++st) in.texel[st] = &white;
    if (ctx.flat) {
        in.diffuse = Widen(ISet1(static_cast<int32_t>(Packed(ctx.flatDiffuse))));
        if (p.readsSpecular) in.specular = Widen(ISet1(static_cast<int32_t>(Packed(ctx.flatSpecular))));
    } else {
        in.diffuse = Widen(steady.diffuseWord);
        if (p.readsSpecular) in.specular = Widen(steady.specularWord);
    }
    const VI color = Narrow(p.simple ? SimpleCombine(p, in, p.fault) : Combine(p, in, p.fault));
    if (p.alphaTest && p.fault != kSpanFaultFillAlpha &&
        !Any(PassesV(p.alphaFunc, ISrl<24>(color), ISet1(static_cast<int32_t>(p.alphaRef))))) {
        return;
    }
    const VI keep = ISet1(static_cast<int32_t>(p.keepMask));
    const VI opaqueTarget = ISet1(p.targetHasAlpha ? 0 : static_cast<int32_t>(0xFF000000u));
    const VI iota = IIota();
    GroupPlace pl;
    RowWalk walk;
    walk.Start(s, y0);
    for (int32_t y = y0; y < y1; ++y, walk.Next()) {
        int32_t x0, x1;
        walk.Span(x0, x1);
        if (x0 < region.x0) x0 = region.x0;
        if (x1 > region.x1) x1 = region.x1;
        if (p.fault == kSpanFaultFill && y == y0) ++x0;
        for (int32_t xs = x0; xs < x1; xs += kLanes) {
            const int32_t n = x1 - xs < kLanes ? x1 - xs : kLanes;
            RowGroupPlace(pl, xs, y, n, region);
            const VI active = ICmpGt(ISet1(n), iota);
            WriteGroup(p, pl, active, active, color, keep, opaqueTarget);
        }
    }
}

// ---- Filtered rows without perspective ----

// A triangle without perspective whose one sampled stage filters one level linearly
// (in and out, no level choice) with one address mode the routines are compiled for,
// whose colours do not change over it (or are flat), unfogged, without alpha or depth
// test (a picture bent out of square, as the stage change's wobbling screen is drawn),
// is drawn a row at a time: each group's coordinates, taps, filter, combiner and write
// follow one another (on rows sampled inside the texture, two groups' at once), with
// none of a general group's depth, 1/w or batch of stored values. Every value is worked
// by the operations the general rows use (StageCoords, FetchLevel, WeighLevel,
// SimpleCombine, WriteGroup), so each pixel is the same.
// Only the faults of those shared steps, and this routine's own, keep it.
[[gnu::always_inline]] inline bool IsFilteredRows(const SpanPlan &p, const SteadyColours &steady,
                                                  const RasterContext &ctx) {
    switch (p.fault) {
        case kSpanFaultNone:
        case kSpanFaultFilteredRow:
        case kSpanFaultFilteredPair:
        case kSpanFaultAddress:
        case kSpanFaultFilter:
        case kSpanFaultRow:
        case kSpanFaultWindow:
        case kSpanFaultPair:
        case kSpanFaultCombine:
        case kSpanFaultSteady:
        case kSpanFaultBlend: break;
        default: return false;
    }
    if (p.sampledCount != 1 || !p.simple || p.fog != SpanPlan::Fog::None || p.alphaTest ||
        p.depth.kind != SpanDepth::Kind::None) {
        return false;
    }
    const SpanSampler &sm = p.samplers[p.sampledStage[0]];
    if (sm.needsLod || sm.divisor >= 0 || (sm.shape != kFilteredWrapShape && sm.shape != kFilteredClampShape)) {
        return false;
    }
    // A simple combiner reads no specular colour.
    return ctx.flat || steady.diffuse;
}

// A level's taps for a group on a row whose active lanes all lie inside it with a texel
// to spare on the right and below (FilteredRowInside): FetchLevel's operations for
// linear lanes with those that change nothing there left out (pinning of floor and
// fraction, addressing, the check that each second column follows the first), the
// texels gathered (two columns of a row as a pair where the routines read pairs).
// Gathered, not read as a window per texel row and picked from: finding a group's rows
// and window, and picking from each row, cost more than the gathers. Inactive lanes
// read nothing.
[[gnu::always_inline]] inline void FetchInside(const SpanSampler &sm, const SpanLevel &l, VF u, VF v, VI active,
                                               LevelTaps &out) {
    const VF half = FSet1(0.5f);
    const VF xs = FSub(FMul(u, FSet1(l.fwidth)), half), ys = FSub(FMul(v, FSet1(l.fheight)), half);
    const VI x0 = FloorToIntPinned(xs), y0 = FloorToIntPinned(ys);
    VI t00, t10, t01, t11;
    const VI pitch = ISet1(l.pitch);
    const VI rowA = sm.shortRows ? IMadd16(y0, pitch) : IMullo32(y0, pitch);
    const VI atA = IAdd(rowA, x0), atB = IAdd(atA, pitch);
    if constexpr (kPairFetch) {
        GatherPairs(l.texels, atA, active, t00, t10);
        GatherPairs(l.texels, atB, active, t01, t11);
    } else {
        // Inactive lanes read the level's first texels.
        const VI one = ISet1(1);
        t00 = GatherWords(l.texels, IAnd(active, atA));
        t10 = GatherWords(l.texels, IAnd(active, IAdd(atA, one)));
        t01 = GatherWords(l.texels, IAnd(active, atB));
        t11 = GatherWords(l.texels, IAnd(active, IAdd(atB, one)));
    }
    if (sm.opaque) {
        const VI opaque = ISet1(static_cast<int32_t>(sm.opaque));
        t00 = IOr(t00, opaque), t10 = IOr(t10, opaque), t01 = IOr(t01, opaque), t11 = IOr(t11, opaque);
    }
    const VF c256 = FSet1(256.0f);
    out.t00 = t00, out.t10 = t10, out.t01 = t01, out.t11 = t11;
    out.fx = FToITrunc(FAdd(FMul(FSub(xs, IToF(x0)), c256), half));
    out.fy = FToITrunc(FAdd(FMul(FSub(ys, IToF(y0)), c256), half));
    out.filtered = true;
}

// Whether every pixel of a row's span [x0, x1) samples inside the level with a texel to
// spare on the right and below, for FetchInside: the row's coordinates worked as the
// groups work them, at the span's two ends. Each is a chain of one rounded addition or
// multiplication after another, none of which ever decreases as its operand grows, so
// along the row they move one way and the ends bound every pixel's. NaN is never inside.
[[gnu::always_inline]] inline bool FilteredRowInside(const TriangleSetup &s, const SpanSampler &sm, float rowU,
                                                     float rowV, int32_t x0, int32_t x1) {
    const SpanLevel &l = sm.levels[sm.baseLevel];
    const Plane &pu = s.var[sm.slot], &pv = s.var[sm.slot + 1];
    auto inside = [](float row, float dx, float first, float last, float size) {
        const float a = (row + dx * first) * 1.0f * size - 0.5f, b = (row + dx * last) * 1.0f * size - 0.5f;
        return a >= 0.0f && b >= 0.0f && a < size - 1.0f && b < size - 1.0f;
    };
    const float first = static_cast<float>(x0) - s.originX, last = static_cast<float>(x1 - 1) - s.originX;
    return inside(rowU, pu.dx, first, last, l.fwidth) && inside(rowV, pv.dx, first, last, l.fheight);
}

// Whether the combiner gives each channel of every pixel either that channel of its
// texel of stage `stage` unchanged, or one value whatever the texel, with the other
// inputs of `in`, which do not change over the triangle (a texture modulated by white,
// its alpha taken from the vertices): then the colour is the texel's bytes under `keep`
// with `constant` in the others. Each channel of SimpleCombine's result depends only on
// that channel of its inputs, and the same way at every pixel, so trying every byte value
// in every channel settles it. The answer is kept for the last inputs asked about, on
// each thread (a draw's triangles mostly share them).
struct TexelCombine {
    bool known = false, plain = false;
    uint32_t keep = 0, constant = 0;
    uint32_t diffuse = 0, factor = 0, stageCount = 0, stage = 0;
    SimpleSpanStage stages[D3D8_MAX_TEXTURE_STAGES];
};
thread_local TexelCombine tTexelCombine;

inline const TexelCombine &CombineOfTexel(const SpanPlan &p, CombinerInputs16 in, uint32_t stage, uint32_t diffuse) {
    TexelCombine &a = tTexelCombine;
    if (a.known && a.diffuse == diffuse && a.factor == p.factor && a.stageCount == p.stageCount && a.stage == stage &&
        std::memcmp(a.stages, p.simpleStages, sizeof(SimpleSpanStage) * p.stageCount) == 0) {
        return a;
    }
    a.known = true, a.diffuse = diffuse, a.factor = p.factor, a.stageCount = p.stageCount, a.stage = stage;
    std::memcpy(a.stages, p.simpleStages, sizeof(SimpleSpanStage) * p.stageCount);
    C16 texel;
    in.texel[stage] = &texel;
    // 16-bit lanes where the result has always been the texel, or the result for 0.
    C16 same = Splat16(-1), steady = same, atZero;
    for (int32_t first = 0; first < 256; first += kLanes) {
        texel = Widen(IMullo32(IAdd(ISet1(first), IIota()), ISet1(0x01010101)));
        const C16 result = SimpleCombine(p, in, kSpanFaultNone);
        if (first == 0) atZero = Widen(ISet1(ILane0(Narrow(result))));
        same = Each(same, result, texel, [](VI m, VI r, VI t) { return IAnd(m, I16CmpEq(r, t)); });
        steady = Each(steady, result, atZero, [](VI m, VI r, VI z) { return IAnd(m, I16CmpEq(r, z)); });
    }
    // Every pixel's four channels in one 64-bit word: a channel counts where it does at
    // every pixel.
    alignas(64) uint64_t words[4][kLanes / 2];
    IStore(reinterpret_cast<int32_t *>(words[0]), same.lo), IStore(reinterpret_cast<int32_t *>(words[1]), same.hi);
    IStore(reinterpret_cast<int32_t *>(words[2]), steady.lo), IStore(reinterpret_cast<int32_t *>(words[3]), steady.hi);
    uint64_t kept = ~uint64_t{0}, fixed = ~uint64_t{0};
    for (int k = 0; k < kLanes / 2; ++k) kept &= words[0][k] & words[1][k], fixed &= words[2][k] & words[3][k];
    a.plain = true;
    a.keep = 0;
    for (int c = 0; c < 4; ++c) {
        const uint64_t channel = uint64_t{0xFFFF} << (16 * c);
        if ((kept & channel) == channel) a.keep |= 0xFFu << (8 * c);
        else if ((fixed & channel) != channel) a.plain = false;
    }
    a.constant = static_cast<uint32_t>(ILane0(Narrow(atZero))) & ~a.keep;
    return a;
}

template <uint32_t kShape>
void SpanFilteredRows(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx, const PixelRect &region,
                      int32_t y0, int32_t y1, const SteadyColours &steady) {
    constexpr SamplerShape kS = kSamplerShapes[kShape];
    static_assert(kS.mip == D3DTEXF_NONE && kS.linear == 1 && kS.address >= 0, "one level, filtered, one address mode");
    const uint32_t fault = p.fault;
    const uint32_t stage = p.sampledStage[0];
    const SpanSampler &sm = p.samplers[stage];
    SpanFilteredRowsDrawn();
    CombinerInputs16 in;
    in.factor = Widen(ISet1(static_cast<int32_t>(p.factor)));
    in.specular = C16{};
    const C16 white = Splat16(255);
    for (uint32_t st = 0; st < p.stageCount; ++st) in.texel[st] = &white;
    C16 texel;
    in.texel[stage] = &texel;
    in.diffuse = Widen(ctx.flat ? ISet1(static_cast<int32_t>(Packed(ctx.flatDiffuse))) : steady.diffuseWord);
    // With a combiner that gives each channel the texel's or one value, the colour is
    // the texel's bytes with the others set.
    const uint32_t diffuse = ctx.flat ? Packed(ctx.flatDiffuse) : static_cast<uint32_t>(ILane0(steady.diffuseWord));
    const TexelCombine &combine = CombineOfTexel(p, in, stage, diffuse);
    const bool plain = combine.plain && fault != kSpanFaultCombine;
    const VI plainKeep = ISet1(static_cast<int32_t>(combine.keep));
    const VI plainConstant = ISet1(static_cast<int32_t>(combine.constant));
    // Rows sampled wholly inside the level take FetchInside, unless an error of FetchLevel
    // is asked for.
    const bool lean = fault == kSpanFaultNone || fault == kSpanFaultFilteredRow || fault == kSpanFaultFilteredPair;
    const SpanLevel &base = sm.levels[sm.baseLevel];
    const VI keep = ISet1(static_cast<int32_t>(p.keepMask));
    const VI opaqueTarget = ISet1(p.targetHasAlpha ? 0 : static_cast<int32_t>(0xFF000000u));
    const VI iota = IIota(), all = ISet1(-1), level = ISet1(sm.baseLevel);
    const Plane &pu = s.var[sm.slot], &pv = s.var[sm.slot + 1];
    const VF dudx = FSet1(pu.dx), dvdx = FSet1(pv.dx), one = FSet1(1.0f), originX = FSet1(s.originX);
    struct Group {
        GroupPlace pl;
        VI active;
        VF u, v;
        LevelTaps taps;
    };
    RowWalk walk;
    walk.Start(s, y0);
    for (int32_t y = y0; y < y1; ++y, walk.Next()) {
        int32_t x0, x1;
        walk.Span(x0, x1);
        if (x0 < region.x0) x0 = region.x0;
        if (x1 > region.x1) x1 = region.x1;
        if (fault == kSpanFaultFilteredRow && y == y0) --x1;
        if (x0 >= x1) continue;
        const float oy = static_cast<float>(y) - s.originY;
        const float rowUs = PlaneRow(pu, oy), rowVs = PlaneRow(pv, oy);
        const VF rowU = FSet1(rowUs), rowV = FSet1(rowVs);
        // A group's place, lanes and coordinates (StageCoords without a divisor: the row's
        // value plus the slope times the offset, times a 1/w of one).
        auto start = [&](int32_t xs, Group &g) __attribute__((always_inline)) {
            const int32_t n = x1 - xs < kLanes ? x1 - xs : kLanes;
            RowGroupPlace(g.pl, xs, y, n, region);
            g.active = n == kLanes ? all : ICmpGt(ISet1(n), iota);
            const VF ox = FSub(IToF(IAdd(ISet1(xs), iota)), originX);
            g.u = FMul(FAdd(rowU, FMul(dudx, ox)), one);
            g.v = FMul(FAdd(rowV, FMul(dvdx, ox)), one);
        };
        auto finish = [&](const Group &g) __attribute__((always_inline)) {
            texel = WeighLevel(g.taps);
            const VI color = plain ? IOr(IAnd(Narrow(texel), plainKeep), plainConstant)
                                   : Narrow(SimpleCombine(p, in, fault));
            WriteGroup(p, g.pl, g.active, g.active, color, keep, opaqueTarget);
        };
        Group a, b;
        int32_t xs = x0;
        if (lean && FilteredRowInside(s, sm, rowUs, rowVs, x0, x1)) {
            // Two groups' texels are gathered before the first is weighed, so that the
            // second's reads are under way meanwhile.
            for (; xs + kLanes < x1; xs += 2 * kLanes) {
                start(xs, a);
                start(xs + kLanes, b);
                if (fault == kSpanFaultFilteredPair) b.active = IAnd(b.active, ICmpGt(iota, ISet1(0)));
                FetchInside(sm, base, a.u, a.v, a.active, a.taps);
                FetchInside(sm, base, b.u, b.v, b.active, b.taps);
                finish(a);
                finish(b);
            }
            if (xs < x1) {
                start(xs, a);
                FetchInside(sm, base, a.u, a.v, a.active, a.taps);
                finish(a);
            }
            continue;
        }
        for (; xs < x1; xs += kLanes) {
            start(xs, a);
            FetchLevel<kS>(sm, level, a.u, a.v, all, a.active, fault, true, a.taps);
            finish(a);
        }
    }
}

// ---- Pictures square to the screen ----

// A triangle without perspective whose one sampled stage reads u along the screen's x
// alone and v along its y alone (a picture of the interface, a movie frame, a page, a
// sprite: slopes of u down and of v across of zero), reading one level throughout, is
// drawn row by row through the filter's two halves kept apart: the row filter (two
// texels across, weighed by the column's fraction; a point filter's one texel) depends
// only on the column and the texel row, so it is worked once per texel row over the
// triangle's columns and kept, and each pixel row only weighs its two kept texel rows by
// its own fraction (or takes its one). A magnified picture reads and weighs each texel
// row once for several pixel rows. The columns' texels and fractions are the same
// operations on the same values as StageCoords and FetchLevel work per group (a zero
// slope adds a zero: every zero gives the same texel and fraction), so each pixel gets
// the same words and weights.

// Widest run of columns kept (wider triangles take the general rows).
constexpr int32_t kPictureColumns = 2048;

struct alignas(64) PictureRows {
    static constexpr int32_t kBlocks = kPictureColumns / kLanes + 2;
    // Each column's texels across (from its block's `first` texel where the block's
    // texels lie within a window of `window[b]` words, else from the row's start) and
    // fraction.
    int32_t ax[kBlocks * kLanes], bx[kBlocks * kLanes], fx[kBlocks * kLanes];
    int32_t first[kBlocks], window[kBlocks];
    // The row filter of texel row offset `row[i]` at the columns [lo[i], hi[i]) (C16
    // channels in pixel order).
    uint64_t h[2][kBlocks * kLanes];
    int32_t row[2], lo[2], hi[2];
};

// Whether a triangle of `columns` columns inside the band is drawn as a picture, and
// the level it reads and whether it filters there (`linear`). A stage that chooses its
// level by the level of detail chooses one for the whole triangle: without perspective
// the slopes of its coordinates, and with them the level of detail, are the same at
// every pixel (where the coordinates stay finite, as they do with planes of moderate
// size), so StageCoords and the level choice at one place give every pixel's.
[[gnu::always_inline]] inline bool IsPicture(const SpanPlan &p, const TriangleSetup &s, int32_t columns,
                                             int32_t &level, bool &linear) {
    if (p.sampledCount != 1 || (p.fault != kSpanFaultNone && p.fault != kSpanFaultPicture)) return false;
    const SpanSampler &sm = p.samplers[p.sampledStage[0]];
    if (sm.divisor >= 0 || sm.addressU == SpanAddress::Border || sm.addressV == SpanAddress::Border ||
        !(s.var[sm.slot].dy == 0.0f && s.var[sm.slot + 1].dx == 0.0f && columns <= kPictureColumns)) {
        return false;
    }
    level = sm.baseLevel;
    linear = sm.magLinear;
    if (!sm.needsLod) return true;
    if (s.perspective || sm.mipFilter == D3DTEXF_LINEAR || s.maxX - s.minX >= (1 << 20) ||
        s.maxY - s.minY >= (1 << 20)) {
        return false;
    }
    constexpr float kModerate = 0x1p100f;
    for (uint32_t k = sm.slot; k < sm.slot + 2; ++k) {
        for (const float value : {s.var[k].at0, s.var[k].dx, s.var[k].dy}) {
            if (!(value < kModerate && value > -kModerate)) return false;
        }
    }
    VF u, v, lambda;
    StageCoords<false>(s, sm, RowLanes{s, FSet1(0.0f)}, FSet1(0.0f), FSet1(1.0f), u, v, lambda);
    VI levels, lanes;
    OneLevelOf<kSamplerShapes[kSamplerShapeCount - 1]>(sm, lambda, p.fault, levels, lanes);
    level = ILane0(levels);
    linear = ILane0(lanes) != 0;
    return true;
}

// Each column's two texels across and its fraction, for the row value `rowU` of u
// (StageCoords' u, then FetchLevel's address pair and fraction; without a level choice
// a sampler filters linearly as it magnifies). `count` is a multiple of kLanes.
inline void PictureColumns(const SpanSampler &sm, const TriangleSetup &s, float rowU, int32_t x0, int32_t count,
                           PictureRows &pr) {
    const SpanLevel &l = sm.levels[sm.baseLevel];
    const Plane &pu = s.var[sm.slot];
    const VI iota = IIota(), all = ISet1(-1), width = ISet1(l.width);
    const VF half = FSet1(sm.magLinear ? 0.5f : 0.0f);
    for (int32_t i = 0; i < count; i += kLanes) {
        const VF ox = FSub(IToF(IAdd(ISet1(x0 + i), iota)), FSet1(s.originX));
        const VF u = FMul(FAdd(FSet1(rowU), FMul(FSet1(pu.dx), ox)), FSet1(1.0f));
        const VF xs = FSub(FMul(u, FSet1(l.fwidth)), half);
        const VI x = FloorToIntV(xs);
        VI ax, bx, inA = all, inB = all;
        AddressPair(sm.addressU, x, width, all, ax, bx, inA, inB);
        IStore(pr.fx + i, Fraction256V(xs, x));
        // A block whose texels lie close together reads them as one window of each row.
        const int32_t b = i / kLanes;
        pr.window[b] = 0;
        if constexpr (kWindowFetch) {
            const int32_t lo = IReduceMin32(IMin32(ax, bx)), hi = IReduceMax32(IMax32(ax, bx));
            if (hi - lo < 2 * kLanes) {
                pr.first[b] = lo;
                pr.window[b] = hi - lo + 1;
                ax = ISub(ax, ISet1(lo));
                bx = ISub(bx, ISet1(lo));
            }
        }
        IStore(pr.ax + i, ax);
        IStore(pr.bx + i, bx);
    }
}

// The row filter of the texel row at offset `row` at the kept columns [from, to).
inline void PictureRow(const SpanSampler &sm, const PictureRows &pr, int32_t row, int32_t from, int32_t to,
                       uint32_t fault, uint64_t *h) {
    const uint32_t *texels = sm.levels[sm.baseLevel].texels;
    const VI opaque = ISet1(static_cast<int32_t>(sm.opaque)), zero = ISet1(0), c256 = I16Set1(256), at = ISet1(row);
    for (int32_t i = from; i < to; i += kLanes) {
        const int32_t b = i / kLanes;
        VI t0, t1;
        if (pr.window[b] != 0) {
            const Window w = LoadWindow(texels + row + pr.first[b], pr.window[b]);
            t0 = PickWindow(w, ILoad(pr.ax + i));
            t1 = PickWindow(w, ILoad(pr.bx + i));
        } else {
            t0 = GatherWords(texels, IAdd(at, ILoad(pr.ax + i)));
            t1 = sm.magLinear ? GatherWords(texels, IAdd(at, ILoad(pr.bx + i))) : t0;
        }
        if (sm.opaque) t0 = IOr(t0, opaque);
        if (!sm.magLinear) {
            StorePixelPairs(h + i, UnpackLo8(t0, zero), UnpackHi8(t0, zero));
            continue;
        }
        if (sm.opaque) t1 = IOr(t1, opaque);
        const VI fx = ILoad(pr.fx + i);
        const VI sx = IOr(fx, ISll<16>(fx));
        const VI wxLo = UnpackLo32(sx, sx), wxHi = UnpackHi32(sx, sx);
        const VI lo = FilterRow(UnpackLo8(t0, zero), UnpackLo8(t1, zero), I16Sub(c256, wxLo), wxLo);
        const VI hi = FilterRow(UnpackHi8(t0, zero), UnpackHi8(t1, zero), I16Sub(c256, wxHi), wxHi);
        StorePixelPairs(h + i, lo, hi);
    }
    if (fault == kSpanFaultPicture && from == 0 && to > 1) h[0] = h[1];
}

// The kept row filter of texel row `row` at least at the columns [lo, hi) (multiples of
// kLanes), worked into a slot other than `keep`'s when not kept. The spans of a
// triangle's rows overlap, so a slot's columns grow as one run.
inline const uint64_t *PictureRowFor(const SpanSampler &sm, PictureRows &pr, int32_t row, int32_t keep, int32_t lo,
                                     int32_t hi, uint32_t fault) {
    for (int i = 0; i < 2; ++i) {
        if (pr.row[i] != row) continue;
        if (lo < pr.lo[i]) PictureRow(sm, pr, row, lo, pr.lo[i], fault, pr.h[i]), pr.lo[i] = lo;
        if (hi > pr.hi[i]) PictureRow(sm, pr, row, pr.hi[i], hi, fault, pr.h[i]), pr.hi[i] = hi;
        return pr.h[i];
    }
    const int i = pr.row[0] == keep ? 1 : 0;
    PictureRow(sm, pr, row, lo, hi, fault, pr.h[i]);
    pr.row[i] = row, pr.lo[i] = lo, pr.hi[i] = hi;
    return pr.h[i];
}

thread_local PictureRows tPictureRows;

// The 32-bit lanes of a C16 half that hold the pixels of `bits` (bit k for pixel k):
// `half` 0 for lo (pixels 0, 1, 4, 5, 8, 9, 12, 13), 2 for hi (the others), each pixel's
// 64-bit word two lanes.
[[gnu::always_inline]] inline uint32_t PixelPairLanes(uint32_t bits, uint32_t half) {
    const uint32_t b = bits >> half;
    uint32_t e = (b & 0x3u) | ((b >> 2) & 0xCu) | ((b >> 4) & 0x30u) | ((b >> 6) & 0xC0u);
    e = (e | (e << 4)) & 0x0F0Fu;
    e = (e | (e << 2)) & 0x3333u;
    e = (e | (e << 1)) & 0x5555u;
    return e | (e << 1);
}

// A packed place's pieces, and its count set (nothing for the narrower widths' places,
// which hold no pieces).
template <bool kPacked, class P>
[[gnu::always_inline]] inline Piece *PiecesOf(P &pl) {
    if constexpr (kPacked) return pl.piece;
    else return nullptr;
}
template <bool kPacked, class P>
[[gnu::always_inline]] inline void SetPieceCount(P &pl, int32_t count) {
    if constexpr (kPacked) pl.count = count;
}

// Whether a pixel whose texel has no alpha is never written: an alpha test that an
// alpha of 0 fails, over a stage whose alpha is the texel's alone or times the diffuse
// alpha (either is 0 with the texel's; fog leaves alpha as it is). The interface's
// pictures are mostly such clear texels around their frames and figures.
[[gnu::always_inline]] inline bool ClearTexelsFail(const SpanPlan &p) {
    constexpr uint64_t kAlpha = 0xFFFF000000000000u;
    return p.alphaTest && p.texelTimesDiffuse && (p.diffuseLanes & kAlpha) == 0 &&
           ((p.simpleStages[0].pickProduct | p.texelLanes) & kAlpha) == kAlpha &&
           !Any(PassesV(p.alphaFunc, ISet1(0), ISet1(static_cast<int32_t>(p.alphaRef))));
}

// Whether every pixel of `bits` (bit k for pixel k) has a texel of no alpha, the
// texels as C16 halves (lo, hi).
[[gnu::always_inline]] inline bool AllClear(VI lo, VI hi, uint32_t bits) {
    const VI alpha = I64Set1(0xFFFF000000000000u), none = ISet1(0);
    const uint32_t seenLo = ~static_cast<uint32_t>(IMoveMask(ICmpEq(IAnd(lo, alpha), none)));
    const uint32_t seenHi = ~static_cast<uint32_t>(IMoveMask(ICmpEq(IAnd(hi, alpha), none)));
    return ((seenLo & PixelPairLanes(bits, 0)) | (seenHi & PixelPairLanes(bits, 2))) == 0;
}

// The picture's rows at the level `level` of its stage, filtered there or not (`linear`).
// Pieces whose texels are all clear are left out when such pixels are never written
// (ClearTexelsFail): the shading would only find that none passes its alpha test.
void SpanPictureRows(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx, const PixelRect &region,
                     int32_t y0, int32_t y1, int32_t cx0, int32_t cx1, int32_t level, bool linear) {
    const bool flat = ctx.flat;
    SpanSampler sm = p.samplers[p.sampledStage[0]];
    sm.baseLevel = level;
    sm.magLinear = linear;
    SpanPictureDrawn(sm.magLinear);
    const SpanLevel &l = sm.levels[sm.baseLevel];
    PictureRows &pr = tPictureRows;
    pr.row[0] = pr.row[1] = -1;
    const int32_t count = ((cx1 - cx0 + kLanes - 1) / kLanes + 1) * kLanes;
    bool haveColumns = false;
    float columnsU = 0;
    const SteadyColours steady = SteadyColoursOf<false>(p, s, ctx);
    Batch b;
    b.count = 0;
    RowValues r;
    RowWalk walk;
    walk.Start(s, y0);
    const VI all = ISet1(-1), height = ISet1(l.height), iota = IIota();
    // Clear pieces are looked for on each row after one that had some, and else on one
    // row in kClearProbe: a picture without any (most art but the interface's) pays for
    // the looking on few rows, and a clear part is found within a few rows of its top.
    constexpr int32_t kClearProbe = 8;
    const bool skipClear = ClearTexelsFail(p);
    bool leftOut = false, clearRow = false;
    // Packed groups (kPackedGroups): the rows' pieces laid end to end in the lanes as
    // SpanRowsPacked lays them, each piece's texels taken from its own row's kept filters
    // and weighed by its own row's fraction as it is laid, and its planes' row values
    // worked lane by lane (RowLanes: the same operations as RowPlanes' per row), so each
    // pixel gets what a group of its row alone gives it, with far fewer idle lanes.
    VI laneX = ISet1(0), laneY = ISet1(0);
    C16 texel{ISet1(0), ISet1(0)};
    int32_t filled = 0, pieces = 0;
    Piece *at = PiecesOf<kPackedGroups>(b.place[0]);
    auto addPacked = [&]() __attribute__((always_inline)) {
        if constexpr (kPackedGroups) {
            const int g = b.count;
            SetPieceCount<kPackedGroups>(b.place[g], pieces);
            const VI active = filled == kLanes ? all : ICmpGt(ISet1(filled), iota);
            const VF ox = FSub(IToF(laneX), FSet1(s.originX));
            const RowLanes lanes{s, FSub(IToF(laneY), FSet1(s.originY))};
            AddGroupAt<false, GroupPlace, RowLanes, true>(p, s, ctx, steady, b.place[g], lanes, ox, active, b);
            if (b.count != g) {
                b.texel[0][g] = texel;
                if (b.count == kBatch) ShadeBatch(p, ctx, b, true);
            }
            filled = 0;
            pieces = 0;
            at = PiecesOf<kPackedGroups>(b.place[b.count]);
        }
    };
    LaneInts texelRowA, texelRowB, texelRowFraction;
    int32_t texelRowsFrom = y0 - kLanes;
    for (int32_t y = y0; y < y1; ++y, walk.Next()) {
        int32_t x0, x1;
        walk.Span(x0, x1);
        if (x0 < region.x0) x0 = region.x0;
        if (x1 > region.x1) x1 = region.x1;
        if (x0 >= x1) continue;
        if (y + 2 < y1) PrefetchRow(p, y + 2, x0, x1);
        const float oy = static_cast<float>(y) - s.originY;
        if (!kPackedGroups) RowPlanes(p, s, steady, flat, oy, r);
        // The columns for this row's u (the same on every row unless a zero's sign differs).
        const float rowU = PlaneRow(s.var[sm.slot], oy);
        if (!haveColumns || std::memcmp(&rowU, &columnsU, sizeof rowU) != 0) {
            PictureColumns(sm, s, rowU, cx0, count, pr);
            pr.row[0] = pr.row[1] = -1;
            haveColumns = true;
            columnsU = rowU;
        }
        // The row's two texel rows and its fraction between them (v is the row's value
        // at every column), worked for kLanes rows at a time, a row a lane: each lane's
        // operations are those of one row's.
        if (y - texelRowsFrom >= kLanes) {
            texelRowsFrom = y;
            const VF laneOy = FSub(IToF(IAdd(ISet1(y), iota)), FSet1(s.originY));
            const Plane &pv = s.var[sm.slot + 1];
            const VF v = FMul(FAdd(FSet1(pv.at0), FMul(FSet1(pv.dy), laneOy)), FSet1(1.0f));
            const VF ys = FSub(FMul(v, FSet1(l.fheight)), FSet1(sm.magLinear ? 0.5f : 0.0f));
            const VI yi = FloorToIntV(ys);
            VI ay, by, inA = all, inB = all;
            AddressPair(sm.addressV, yi, height, all, ay, by, inA, inB);
            IStore(texelRowA.v, ay);
            IStore(texelRowB.v, by);
            IStore(texelRowFraction.v, Fraction256V(ys, yi));
        }
        const int32_t rowA = texelRowA.v[y - texelRowsFrom] * l.pitch, rowB = texelRowB.v[y - texelRowsFrom] * l.pitch;
        const int32_t fy = texelRowFraction.v[y - texelRowsFrom];
        // The kept columns the row's groups read.
        const int32_t lo = (x0 - cx0) / kLanes * kLanes;
        const int32_t hi = (x0 - cx0 + (x1 - x0 + kLanes - 1) / kLanes * kLanes + kLanes - 1) / kLanes * kLanes;
        const uint64_t *hA = PictureRowFor(sm, pr, rowA, rowB, lo, hi, p.fault);
        const uint64_t *hB = sm.magLinear ? PictureRowFor(sm, pr, rowB, rowA, lo, hi, p.fault) : hA;
        const VI wy1 = I16Set1(static_cast<int16_t>(fy)), wy0 = I16Set1(static_cast<int16_t>(256 - fy));
        const bool lookForClear = skipClear && (clearRow || (y - y0) % kClearProbe == 0);
        clearRow = false;
        if constexpr (kPackedGroups) {
            const VI row = ISet1(y);
            for (int32_t x = x0; x < x1;) {
                const int32_t n = x1 - x < kLanes - filled ? x1 - x : kLanes - filled;
                const uint32_t bits = ((uint32_t{1} << n) - 1u) << filled;
                // The kept filters from where lane 0 would lie (at most a group before the
                // first kept column, still inside the kept rows' record): the piece's lanes
                // take their own columns, the others are dropped.
                const intptr_t back = (intptr_t{x} - filled - cx0) * static_cast<intptr_t>(sizeof(uint64_t));
                VI a0, a1;
                LoadPixelPairs(reinterpret_cast<const uint64_t *>(reinterpret_cast<uintptr_t>(hA) + back), a0, a1);
                if (sm.magLinear) {
                    VI b0, b1;
                    LoadPixelPairs(reinterpret_cast<const uint64_t *>(reinterpret_cast<uintptr_t>(hB) + back), b0, b1);
                    a0 = FilterRows(a0, b0, wy0, wy1);
                    a1 = FilterRows(a1, b1, wy0, wy1);
                }
                if (lookForClear && AllClear(a0, a1, bits)) {
                    clearRow = leftOut = true;
                    x += n;
                    continue;
                }
                at[pieces++] = Piece{x, y, static_cast<uint16_t>(filled), static_cast<uint16_t>(n), bits};
                laneX = ITakeLanes(laneX, bits, IAdd(iota, ISet1(x - filled)));
                laneY = ITakeLanes(laneY, bits, row);
                texel.lo = ITakeLanes(texel.lo, PixelPairLanes(bits, 0), a0);
                texel.hi = ITakeLanes(texel.hi, PixelPairLanes(bits, 2), a1);
                filled += n;
                x += n;
                if (filled == kLanes) addPacked();
            }
            continue;
        }
        for (int32_t xs = x0; xs < x1; xs += kLanes) {
            const int32_t n = x1 - xs < kLanes ? x1 - xs : kLanes;
            VI a0, a1;
            LoadPixelPairs(hA + (xs - cx0), a0, a1);
            if (sm.magLinear) {
                VI b0, b1;
                LoadPixelPairs(hB + (xs - cx0), b0, b1);
                a0 = FilterRows(a0, b0, wy0, wy1);
                a1 = FilterRows(a1, b1, wy0, wy1);
            }
            if (lookForClear && AllClear(a0, a1, (1u << n) - 1u)) {
                clearRow = leftOut = true;
                continue;
            }
            const int g = b.count;
            RowGroupPlace(b.place[g], xs, y, n, region);
            const VF ox = FSub(IToF(IAdd(ISet1(xs), iota)), FSet1(s.originX));
            AddGroupAt<false, GroupPlace, RowPair, true>(p, s, ctx, steady, b.place[g], RowPair{&r, &r}, ox,
                                                         ICmpGt(ISet1(n), iota), b);
            if (b.count == g) continue;
            b.texel[0][g] = C16{a0, a1};
            if (b.count == kBatch) ShadeBatch(p, ctx, b, true);
        }
    }
    if (filled) addPacked();
    if (b.count) ShadeBatch(p, ctx, b, true);
    if (leftOut) SpanClearTexelsLeftOut();
}

// Alpha-tested triangles (whose depth test comes after texturing) whose bounds inside
// the band hold at least this many pixels ask the coarse depth which tiles they lie
// behind. The others test depth before texturing anyway, where a hidden group costs
// little more than asking would.
constexpr int64_t kCoarseArea = 256;

// Blended triangles whose bounds inside the band hold at least this many pixels are
// looked at for a source alpha that is opaque at every pixel (OpaqueSource): smaller ones
// would spend more on the look and the plan's copy than the blend costs them.
constexpr int64_t kOpaqueSourceArea = 2048;

// Whether a plan's blend of the source by its alpha over the target by the inverse
// (SRCALPHA, INVSRCALPHA, added) gives the source itself at every pixel of the triangle:
// its stage takes alpha from the diffuse colour alone, whose alpha is 255 all over (a
// picture shown whole at the end of a fade, a page's backdrop). Then each channel is
// Div255(255 s + 0 d) = s exactly, its alpha too (fog leaves alpha as it is), so the
// triangle is drawn as if unblended: the old pixels need not be read or weighed.
[[gnu::always_inline]] inline bool OpaqueSource(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx) {
    constexpr uint64_t kAlpha = 0xFFFF000000000000u;
    DWORD src = p.srcBlend, dst = p.dstBlend;
    if (src == D3DBLEND_BOTHSRCALPHA) src = D3DBLEND_SRCALPHA, dst = D3DBLEND_INVSRCALPHA;
    if (p.blendOp != D3DBLENDOP_ADD || src != D3DBLEND_SRCALPHA || dst != D3DBLEND_INVSRCALPHA) return false;
    if (!p.texelTimesDiffuse || ctx.flat || (p.diffuseLanes & kAlpha) != kAlpha ||
        ((p.simpleStages[0].pickProduct | p.texelLanes) & kAlpha) != 0) {
        return false;
    }
    // Deliberate errors of the blend or of this choice must still show.
    if (p.fault == kSpanFaultBlend || p.fault == kSpanFaultTexelTimes || !Steady(s, kVaryDiffuse)) return false;
    const int32_t alpha = ILane0(ToByte(FSet1(s.var[kVaryDiffuse + 3].at0)));
    return alpha == 255 || (p.fault == kSpanFaultOpaqueSource && alpha == 254);
}

template <bool kPerspective>
void SpanTriangle(const SpanPlan &p, const TriangleSetup &s, const RasterContext &ctx, const PixelRect &region) {
    const int32_t y0 = s.minY > region.y0 ? s.minY : region.y0;
    const int32_t y1 = s.maxY + 1 < region.y1 ? s.maxY + 1 : region.y1;
    const int32_t bx0 = s.minX > region.x0 ? s.minX : region.x0;
    const int32_t bx1 = s.maxX + 1 < region.x1 ? s.maxX + 1 : region.x1;
    // A triangle beside the region (in the guard band left or right of the screen: a fifth
    // of a crowded arena's, many of them tall) has no pixel in it: none of its rows is
    // walked.
    if (y0 >= y1 || bx0 >= bx1) return;
    if (p.fault == kSpanFaultBeside && bx1 - bx0 == 1) return;
    if (!kPerspective && p.blend && int64_t{bx1 - bx0} * (y1 - y0) >= kOpaqueSourceArea && OpaqueSource(p, s, ctx)) {
        SpanOpaqueSourceDrawn();
        SpanPlan unblended = p;
        unblended.blend = false;
        SpanTriangle<kPerspective>(unblended, s, ctx, region);
        return;
    }
    const SpanDepth &depth = p.depth;
    const bool depthWords = depth.kind == SpanDepth::Kind::Words16 || depth.kind == SpanDepth::Kind::Words32;
    int32_t pictureLevel = 0;
    bool pictureLinear = false;
    const bool picture = !kPerspective && IsPicture(p, s, bx1 - bx0, pictureLevel, pictureLinear);
    bool coarse = p.alphaTest && depth.coarse && depthWords &&
                  (depth.func == D3DCMP_LESS || depth.func == D3DCMP_LESSEQUAL) &&
                  int64_t{bx1 - bx0} * (y1 - y0) >= kCoarseArea;
    // An alpha-tested picture that no tile hides (a full-screen fade over cleared depth)
    // is drawn as a picture: the coarse routine would skip nothing and draw every pixel
    // with the general rows. Skipping hidden tiles never changes a pixel, so both draw
    // the same.
    if (coarse && picture) {
        const CoarseColumns tiles = CoarseColumnsOver(bx0, bx1);
        coarse = SpanCoarseRejectsAny(depth, s, region, y0 / kCoarseTile, (y1 - 1) / kCoarseTile + 1, tiles.first,
                                      tiles.last, p.fault);
    }
    if (coarse) {
        if constexpr (kPackedGroups) SpanRowsPacked<kPerspective, true>(p, s, ctx, region, y0, y1);
        else SpanRows<kPerspective, true>(p, s, ctx, region, y0, y1);
    } else if (picture) {
        SpanPictureRows(p, s, ctx, region, y0, y1, bx0, bx1, pictureLevel, pictureLinear);
    } else if (const SteadyColours steady = SteadyColoursOf<kPerspective>(p, s, ctx);
               !kPerspective && IsFill(p, steady, ctx)) {
        SpanFillRows(p, s, ctx, region, y0, y1, steady);
    } else if (kPerspective && IsTexturedRows(p, bx1 - bx0, y1 - y0)) {
        const uint32_t shape = p.samplers[p.sampledStage[0]].shape;
        if (IsWordsLessEqual(depth, p.fault)) kTexturedRowsWordsLessEqual[shape](p, s, ctx, region, y0, y1);
        else kTexturedRows[shape](p, s, ctx, region, y0, y1);
    } else if (!kPerspective && IsFilteredRows(p, steady, ctx)) {
        if (p.samplers[p.sampledStage[0]].shape == kFilteredWrapShape) {
            SpanFilteredRows<kFilteredWrapShape>(p, s, ctx, region, y0, y1, steady);
        } else {
            SpanFilteredRows<kFilteredClampShape>(p, s, ctx, region, y0, y1, steady);
        }
    } else {
        if constexpr (!kPackedGroups) {
            SpanRows<kPerspective, false>(p, s, ctx, region, y0, y1);
        } else if (!IsDirectGroups(p)) {
            SpanRowsPacked<kPerspective, false>(p, s, ctx, region, y0, y1);
        } else if (IsWordsLessEqual(depth, p.fault)) {
            SpanRowsPacked<kPerspective, false, true, true>(p, s, ctx, region, y0, y1);
        } else {
            SpanRowsPacked<kPerspective, false, true>(p, s, ctx, region, y0, y1);
        }
    }
    // Writes that may bring depth farther make the tiles' bounds stale (nearer ones
    // leave them true).
    if (depth.coarse && depth.write && depthWords && depth.func != D3DCMP_LESS && depth.func != D3DCMP_LESSEQUAL &&
        depth.func != D3DCMP_EQUAL && depth.func != D3DCMP_NEVER) {
        SpanCoarseWritten(depth, s, region);
    }
}

// The routines of this width; the plan's choices are read per draw inside them.
[[maybe_unused]] void PickSpanRoutines(SpanRoutine &perspective, SpanRoutine &affine) {
    perspective = SpanTriangle<true>;
    affine = SpanTriangle<false>;
}

}  // namespace
}  // namespace swr
