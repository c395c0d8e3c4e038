// The standard keyframe scheme: rotation quaternion plus translation. Its
// interpolation (spherical, linear when the rotations are nearly equal),
// blending, composition, conversion to a matrix, and its keyframe stream,
// where previous-keyframe links travel as byte offsets into the array.
#include <cmath>

#include "rphanim.h"
#include "rwcore.h"

namespace {

constexpr RwUInt32 kStreamKeyFrameSize = 36;
// Below this cosine the rotations differ enough for the spherical form.
constexpr RwReal kSlerpCosineLimit = 0.999f;

RwReal Dot(const RtQuat &a, const RtQuat &b)
{
    return a.imag.x * b.imag.x + a.imag.y * b.imag.y + a.imag.z * b.imag.z + a.real * b.real;
}

// Hamilton product a x b.
RtQuat Multiply(const RtQuat &a, const RtQuat &b)
{
    RtQuat out;
    RwV3d cross;
    RwV3dCrossProduct(&cross, &a.imag, &b.imag);
    out.real = a.real * b.real - RwV3dDotProduct(&a.imag, &b.imag);
    out.imag = {a.real * b.imag.x + b.real * a.imag.x + cross.x, a.real * b.imag.y + b.real * a.imag.y + cross.y,
                a.real * b.imag.z + b.real * a.imag.z + cross.z};
    return out;
}

// Interpolates (q1, t1) towards (q2, t2); a negative dot flips q2 where it
// is stored so later intervals take the short way too.
void Slerp(RtQuat *outQ, RwV3d *outT, const RtQuat &q1, const RwV3d &t1, RtQuat *q2, const RwV3d &t2, RwReal alpha)
{
    *outT = {t1.x + (t2.x - t1.x) * alpha, t1.y + (t2.y - t1.y) * alpha, t1.z + (t2.z - t1.z) * alpha};
    RwReal d = Dot(q1, *q2);
    if (d < 0.0f) {
        q2->imag = {-q2->imag.x, -q2->imag.y, -q2->imag.z};
        q2->real = -q2->real;
        d = -d;
    }
    RwReal c1 = 1.0f - alpha;
    RwReal c2 = alpha;
    if (d < kSlerpCosineLimit) {
        RwReal theta = std::acos(d);
        RwReal s = std::sin(theta);
        c1 = std::sin((1.0f - alpha) * theta) / s;
        c2 = std::sin(alpha * theta) / s;
    }
    outQ->imag = {c1 * q1.imag.x + c2 * q2->imag.x, c1 * q1.imag.y + c2 * q2->imag.y,
                  c1 * q1.imag.z + c2 * q2->imag.z};
    outQ->real = c1 * q1.real + c2 * q2->real;
}

const RtAnimInterpolatorInfo kStdScheme = {
    rpHANIMSTDKEYFRAMETYPEID,
    static_cast<RwInt32>(sizeof(RpHAnimInterpFrame)),
    static_cast<RwInt32>(sizeof(RpHAnimStdKeyFrame)),
    RpHAnimKeyFrameToMatrix,
    RpHAnimKeyFrameBlend,
    RpHAnimKeyFrameInterpolate,
    RpHAnimKeyFrameAdd,
    RpHAnimKeyFrameMulRecip,
    RpHAnimKeyFrameStreamRead,
    RpHAnimKeyFrameStreamWrite,
    RpHAnimKeyFrameStreamGetSize,
    0,
};

}  // namespace

const RtAnimInterpolatorInfo *RpHAnimStdKeyFrameGetInterpInfo(void) { return &kStdScheme; }

void RpHAnimKeyFrameToMatrix(void *matrix, void *voidIFrame)
{
    auto *m = static_cast<RwMatrix *>(matrix);
    const auto *f = static_cast<const RpHAnimInterpFrame *>(voidIFrame);
    RwReal x = f->q.imag.x;
    RwReal y = f->q.imag.y;
    RwReal z = f->q.imag.z;
    RwReal w = f->q.real;
    m->right = {1.0f - 2.0f * (y * y + z * z), 2.0f * (x * y + w * z), 2.0f * (x * z - w * y)};
    m->up = {2.0f * (x * y - w * z), 1.0f - 2.0f * (x * x + z * z), 2.0f * (y * z + w * x)};
    m->at = {2.0f * (x * z + w * y), 2.0f * (y * z - w * x), 1.0f - 2.0f * (x * x + y * y)};
    m->pos = f->t;
    m->flags = rwMATRIXTYPEORTHONORMAL;
}

void RpHAnimKeyFrameInterpolate(void *voidOut, void *voidIn1, void *voidIn2, RwReal time, void *)
{
    auto *out = static_cast<RpHAnimInterpFrame *>(voidOut);
    auto *k1 = static_cast<RpHAnimStdKeyFrame *>(voidIn1);
    auto *k2 = static_cast<RpHAnimStdKeyFrame *>(voidIn2);
    RwReal span = k2->time - k1->time;
    // Two keyframes at one time: the first one holds.
    RwReal alpha = span != 0.0f ? (time - k1->time) / span : 0.0f;
    Slerp(&out->q, &out->t, k1->q, k1->t, &k2->q, k2->t, alpha);
}

void RpHAnimKeyFrameBlend(void *voidOut, void *voidIn1, void *voidIn2, RwReal alpha)
{
    auto *out = static_cast<RpHAnimInterpFrame *>(voidOut);
    auto *in1 = static_cast<RpHAnimInterpFrame *>(voidIn1);
    auto *in2 = static_cast<RpHAnimInterpFrame *>(voidIn2);
    RtQuat q1 = in1->q;
    RwV3d t1 = in1->t;
    Slerp(&out->q, &out->t, q1, t1, &in2->q, in2->t, alpha);
}

void RpHAnimKeyFrameAdd(void *voidOut, void *voidIn1, void *voidIn2)
{
    auto *out = static_cast<RpHAnimInterpFrame *>(voidOut);
    const auto *a = static_cast<const RpHAnimInterpFrame *>(voidIn1);
    const auto *b = static_cast<const RpHAnimInterpFrame *>(voidIn2);
    RtQuat q = Multiply(a->q, b->q);
    RwV3d t;
    RwV3dAdd(&t, &a->t, &b->t);
    out->q = q;
    out->t = t;
}

void RpHAnimKeyFrameMulRecip(void *voidFrame, void *voidStart)
{
    auto *f = static_cast<RpHAnimInterpFrame *>(voidFrame);
    const auto *r = static_cast<const RpHAnimInterpFrame *>(voidStart);
    RwReal n = Dot(r->q, r->q);
    if (n > 0.0f) {
        RtQuat inverse{{-r->q.imag.x / n, -r->q.imag.y / n, -r->q.imag.z / n}, r->q.real / n};
        f->q = Multiply(inverse, f->q);
    }
    RwV3dSub(&f->t, &f->t, &r->t);
}

RtAnimAnimation *RpHAnimKeyFrameStreamRead(RwStream *stream, RtAnimAnimation *animation)
{
    auto *frames = static_cast<RpHAnimStdKeyFrame *>(animation->pFrames);
    for (RwInt32 k = 0; k < animation->numFrames; ++k) {
        RpHAnimStdKeyFrame &key = frames[k];
        RwUInt32 prevOffset = 0;
        if (!RwStreamReadReal(stream, &key.time) || !RwStreamReadReal(stream, &key.q.imag.x) ||
            !RwStreamReadReal(stream, &key.q.imag.y) || !RwStreamReadReal(stream, &key.q.imag.z) ||
            !RwStreamReadReal(stream, &key.q.real) || !RwStreamReadReal(stream, &key.t.x) ||
            !RwStreamReadReal(stream, &key.t.y) || !RwStreamReadReal(stream, &key.t.z) ||
            !RwStreamReadUInt32(stream, &prevOffset)) {
            return nullptr;
        }
        key.prevFrame = prevOffset / kStreamKeyFrameSize;
        // A link outside the array would be followed by every walk.
        if (key.prevFrame >= static_cast<RwUInt32>(animation->numFrames)) {
            RwErrorReportCommon(E_RW_READ);
            return nullptr;
        }
    }
    return animation;
}

RwBool RpHAnimKeyFrameStreamWrite(const RtAnimAnimation *animation, RwStream *stream)
{
    const auto *frames = static_cast<const RpHAnimStdKeyFrame *>(animation->pFrames);
    for (RwInt32 k = 0; k < animation->numFrames; ++k) {
        const RpHAnimStdKeyFrame &key = frames[k];
        if (RwStreamWriteReal(stream, key.time) == nullptr || RwStreamWriteReal(stream, key.q.imag.x) == nullptr ||
            RwStreamWriteReal(stream, key.q.imag.y) == nullptr || RwStreamWriteReal(stream, key.q.imag.z) == nullptr ||
            RwStreamWriteReal(stream, key.q.real) == nullptr || RwStreamWriteReal(stream, key.t.x) == nullptr ||
            RwStreamWriteReal(stream, key.t.y) == nullptr || RwStreamWriteReal(stream, key.t.z) == nullptr ||
            RwStreamWriteUInt32(stream, key.prevFrame * kStreamKeyFrameSize) == nullptr) {
            return FALSE;
        }
    }
    return TRUE;
}

RwInt32 RpHAnimKeyFrameStreamGetSize(const RtAnimAnimation *animation)
{
    return animation->numFrames * static_cast<RwInt32>(kStreamKeyFrameSize);
}
