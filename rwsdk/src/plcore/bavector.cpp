// Vector arithmetic: table square roots, lengths and normalisation, and the
// point and direction transforms routed through the installed routines.
#include <cstring>

#include "rwengine.h"
#include "rwerror.h"
#include "src/plcore/bavector.h"

// The +2048 rounds the 11-bit mantissa index; bit 23 (the low exponent bit)
// picks the [1,2) or [2,4) half of the table, and the shifted exponent
// supplies the halved exponent of the result.
RwReal RwFastSqrt(RwReal value)
{
    const RwUInt32 bits = FloatBits(value);
    if (bits == 0) {
        return value;
    }
    const RwUInt32 v = bits + 2048u;
    const RwUInt32 *table = rwV3dGetGlobals()->sqrtTable;
    return BitsFloat(table[(v >> 12) & 0xFFFu] + ((v >> 1) & 0x3FC00000u));
}

RwReal RwFastInvSqrt(RwReal value)
{
    const RwUInt32 bits = FloatBits(value);
    if (bits == 0) {
        return 0.0f;
    }
    const RwUInt32 v = bits + 2048u;
    const RwUInt32 *table = rwV3dGetGlobals()->invSqrtTable;
    return BitsFloat(table[(v >> 12) & 0xFFFu] + ((~v >> 1) & 0x3FC00000u));
}

RwReal RwV3dLength(const RwV3d *v)
{
    const RwReal squared = RwV3dDotProduct(v, v);
    return squared == 0.0f ? 0.0f : RwFastSqrt(squared);
}

RwReal RwV2dLength(const RwV2d *v)
{
    const RwReal squared = v->x * v->x + v->y * v->y;
    return squared == 0.0f ? 0.0f : RwFastSqrt(squared);
}

RwReal RwV3dNormalize(RwV3d *out, const RwV3d *in)
{
    const RwReal squared = RwV3dDotProduct(in, in);
    const RwReal length = RwFastSqrt(squared);
    const RwReal factor = RwFastInvSqrt(squared);
    RwV3dScale(out, in, factor);
    if (length <= 0.0f) {
        RwErrorReport(rwID_CORE, E_RW_ZEROLENGTH);
    }
    return length;
}

RwReal RwV2dNormalize(RwV2d *out, const RwV2d *in)
{
    const RwReal squared = in->x * in->x + in->y * in->y;
    const RwReal length = RwFastSqrt(squared);
    const RwReal factor = RwFastInvSqrt(squared);
    out->x = in->x * factor;
    out->y = in->y * factor;
    if (length <= 0.0f) {
        RwErrorReport(rwID_CORE, E_RW_ZEROLENGTH);
    }
    return length;
}

// Each element's three inputs are read before its outputs are written, so
// `out` may be the same array as `in`.
void rwV3dPortableTransformPoints(RwV3d *out, const RwV3d *in, RwInt32 count, const RwMatrix *m)
{
    for (RwInt32 i = 0; i < count; ++i) {
        const RwReal x = in[i].x, y = in[i].y, z = in[i].z;
        out[i].x = ((x * m->right.x + y * m->up.x) + z * m->at.x) + m->pos.x;
        out[i].y = ((x * m->right.y + y * m->up.y) + z * m->at.y) + m->pos.y;
        out[i].z = ((x * m->right.z + y * m->up.z) + z * m->at.z) + m->pos.z;
    }
}

void rwV3dPortableTransformDirections(RwV3d *out, const RwV3d *in, RwInt32 count, const RwMatrix *m)
{
    for (RwInt32 i = 0; i < count; ++i) {
        const RwReal x = in[i].x, y = in[i].y, z = in[i].z;
        out[i].x = (x * m->right.x + y * m->up.x) + z * m->at.x;
        out[i].y = (x * m->right.y + y * m->up.y) + z * m->at.y;
        out[i].z = (x * m->right.z + y * m->up.z) + z * m->at.z;
    }
}

// A non-positive count never reaches the installed routine, so a routine
// need not guard against it.
RwV3d *RwV3dTransformPoints(RwV3d *out, const RwV3d *in, RwInt32 count, const RwMatrix *matrix)
{
    if (count > 0) {
        rwV3dGetGlobals()->transformPoints(out, in, count, matrix);
    }
    return out;
}

RwV3d *RwV3dTransformDirections(RwV3d *out, const RwV3d *in, RwInt32 count, const RwMatrix *matrix)
{
    if (count > 0) {
        rwV3dGetGlobals()->transformDirections(out, in, count, matrix);
    }
    return out;
}

RwBool RwV3dSetTransformFunctions(RwV3dTransformFunction points, RwV3dTransformFunction directions)
{
    rwV3dGlobals *globals = rwV3dGetGlobals();
    globals->transformPoints = points != nullptr ? points : rwV3dPortableTransformPoints;
    globals->transformDirections = directions != nullptr ? directions : rwV3dPortableTransformDirections;
    return TRUE;
}
