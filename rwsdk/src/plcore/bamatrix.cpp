// Matrix operations: creation from the free list, products through the
// installed multiply routine, the combine-type transforms, inversion,
// orthonormalisation and the flag bookkeeping that lets identity matrices
// skip the arithmetic.
#include <cmath>

#include <emmintrin.h>

#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "src/plcore/bamatrix.h"

static constexpr RwUInt32 rwMATRIXIDENTITYFLAGS = rwMATRIXINTERNALIDENTITY | rwMATRIXTYPEORTHONORMAL;

static inline RwBool ValidCombine(RwOpCombineType combine)
{
    if (combine == rwCOMBINEREPLACE || combine == rwCOMBINEPRECONCAT || combine == rwCOMBINEPOSTCONCAT) {
        return TRUE;
    }
    RwErrorReportCommon(E_RW_BADPARAM);
    return FALSE;
}

static inline void SetIdentityRows(RwMatrix *m)
{
    m->right = {1.0f, 0.0f, 0.0f};
    m->up = {0.0f, 1.0f, 0.0f};
    m->at = {0.0f, 0.0f, 1.0f};
    m->pos = {0.0f, 0.0f, 0.0f};
}

static inline void CopyRows(RwMatrix *dst, const RwMatrix *src)
{
    dst->right = src->right;
    dst->up = src->up;
    dst->at = src->at;
    dst->pos = src->pos;
}

// The product one element at a time: also right when dst is b, whose rows each row of
// the product then reads as the rows before it left them.
static void MultiplyByElements(RwMatrix *dst, const RwMatrix *a, const RwMatrix *b)
{
    const RwV3d *rows[4] = {&a->right, &a->up, &a->at, &a->pos};
    RwV3d *out[4] = {&dst->right, &dst->up, &dst->at, &dst->pos};
    for (int i = 0; i < 4; ++i) {
        const RwV3d r = *rows[i];
        out[i]->x = (r.x * b->right.x + r.y * b->up.x) + r.z * b->at.x;
        out[i]->y = (r.x * b->right.y + r.y * b->up.y) + r.z * b->at.y;
        out[i]->z = (r.x * b->right.z + r.y * b->up.z) + r.z * b->at.z;
    }
    dst->pos.x += b->pos.x;
    dst->pos.y += b->pos.y;
    dst->pos.z += b->pos.z;
}

// A row's x, y and z as vector lanes 0 to 2, lane 3 zero, read element by element: rows
// are mostly just written, element by element, and a wider read of them would wait for
// those stores to reach the cache.
static inline __m128 RowLanes(const RwV3d &row)
{
    return _mm_movelh_ps(_mm_unpacklo_ps(_mm_set_ss(row.x), _mm_set_ss(row.y)), _mm_set_ss(row.z));
}

// Each row of the product as the sum of b's rows scaled by the row of a, the lanes
// x, y, z through the operations of the element-by-element sums in the same order (the
// same results bit for bit). dst may be a: each row of a is read before that row of
// the product is written.
void rwMatrixPortableMultiply(RwMatrix *dst, const RwMatrix *a, const RwMatrix *b)
{
    if (dst == b) {
        MultiplyByElements(dst, a, b);
        return;
    }
    const __m128 right = RowLanes(b->right), up = RowLanes(b->up), at = RowLanes(b->at), pos = RowLanes(b->pos);
    const RwV3d *rows[4] = {&a->right, &a->up, &a->at, &a->pos};
    RwV3d *out[4] = {&dst->right, &dst->up, &dst->at, &dst->pos};
    for (int i = 0; i < 4; ++i) {
        const __m128 r = RowLanes(*rows[i]);
        __m128 t = _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_shuffle_ps(r, r, 0x00), right),
                                         _mm_mul_ps(_mm_shuffle_ps(r, r, 0x55), up)),
                              _mm_mul_ps(_mm_shuffle_ps(r, r, 0xAA), at));
        if (i == 3) {
            t = _mm_add_ps(t, pos);
        }
        _mm_storel_pi(reinterpret_cast<__m64 *>(&out[i]->x), t);
        _mm_store_ss(&out[i]->z, _mm_movehl_ps(t, t));
    }
}

// m = a x b through a temporary, so m may alias either operand; the flags
// become those both operands share.
static void ProductInto(RwMatrix *m, const RwMatrix *a, const RwMatrix *b)
{
    RwMatrix product;
    product.flags = 0;
    rwMatrixGetGlobals()->multiply(&product, a, b);
    const RwUInt32 flags = a->flags & b->flags;
    CopyRows(m, &product);
    m->flags = flags;
}

RwMatrix *RwMatrixCreate(void)
{
    auto *m = static_cast<RwMatrix *>(RwFreeListEntryAlloc(rwMatrixGetGlobals()->matrixFreeList));
    if (m == nullptr) {
        return nullptr;
    }
    SetIdentityRows(m);
    m->flags = rwMATRIXIDENTITYFLAGS;
    m->pad1 = m->pad2 = m->pad3 = 0;
    return m;
}

RwBool RwMatrixDestroy(RwMatrix *matrix)
{
    RwFreeListEntryFree(rwMatrixGetGlobals()->matrixFreeList, matrix);
    return TRUE;
}

RwMatrix *RwMatrixCopy(RwMatrix *dst, const RwMatrix *src)
{
    *dst = *src;
    return dst;
}

RwMatrix *RwMatrixSetIdentity(RwMatrix *matrix)
{
    SetIdentityRows(matrix);
    matrix->flags |= rwMATRIXIDENTITYFLAGS;
    return matrix;
}

RwMatrix *RwMatrixMultiply(RwMatrix *dst, const RwMatrix *a, const RwMatrix *b)
{
    rwMatrixGlobals *globals = rwMatrixGetGlobals();
    if (globals->optimizations & rwMATRIXINTERNALIDENTITY) {
        if (a->flags & rwMATRIXINTERNALIDENTITY) {
            *dst = *b;
            return dst;
        }
        if (b->flags & rwMATRIXINTERNALIDENTITY) {
            *dst = *a;
            return dst;
        }
    }
    globals->multiply(dst, a, b);
    dst->flags = a->flags & b->flags;
    return dst;
}

RwMatrix *RwMatrixTransform(RwMatrix *matrix, const RwMatrix *transform, RwOpCombineType combine)
{
    if (!ValidCombine(combine)) {
        return nullptr;
    }
    if (combine == rwCOMBINEREPLACE) {
        *matrix = *transform;
    } else if (combine == rwCOMBINEPRECONCAT) {
        if (RwMatrixIsIdentityFlagged(transform)) {
            return matrix;
        }
        if (RwMatrixIsIdentityFlagged(matrix)) {
            *matrix = *transform;
        } else {
            ProductInto(matrix, transform, matrix);
        }
    } else {
        if (RwMatrixIsIdentityFlagged(matrix)) {
            *matrix = *transform;
        } else if (!RwMatrixIsIdentityFlagged(transform)) {
            ProductInto(matrix, matrix, transform);
        }
    }
    return matrix;
}

RwMatrix *RwMatrixTranslate(RwMatrix *matrix, const RwV3d *t, RwOpCombineType combine)
{
    if (!ValidCombine(combine)) {
        return nullptr;
    }
    if (combine == rwCOMBINEREPLACE) {
        SetIdentityRows(matrix);
        matrix->pos = *t;
        matrix->flags = (matrix->flags | rwMATRIXIDENTITYFLAGS) & ~rwMATRIXINTERNALIDENTITY;
        return matrix;
    }
    if (combine == rwCOMBINEPRECONCAT) {
        RwV3dIncrementScaled(&matrix->pos, &matrix->right, t->x);
        RwV3dIncrementScaled(&matrix->pos, &matrix->up, t->y);
        RwV3dIncrementScaled(&matrix->pos, &matrix->at, t->z);
    } else {
        RwV3dAdd(&matrix->pos, &matrix->pos, t);
    }
    matrix->flags &= ~rwMATRIXINTERNALIDENTITY;
    return matrix;
}

RwMatrix *RwMatrixScale(RwMatrix *matrix, const RwV3d *s, RwOpCombineType combine)
{
    if (!ValidCombine(combine)) {
        return nullptr;
    }
    if (combine == rwCOMBINEREPLACE) {
        matrix->right = {s->x, 0.0f, 0.0f};
        matrix->up = {0.0f, s->y, 0.0f};
        matrix->at = {0.0f, 0.0f, s->z};
        matrix->pos = {0.0f, 0.0f, 0.0f};
    } else if (combine == rwCOMBINEPRECONCAT) {
        RwV3dScale(&matrix->right, &matrix->right, s->x);
        RwV3dScale(&matrix->up, &matrix->up, s->y);
        RwV3dScale(&matrix->at, &matrix->at, s->z);
    } else {
        RwV3d *rows[4] = {&matrix->right, &matrix->up, &matrix->at, &matrix->pos};
        for (RwV3d *row : rows) {
            row->x *= s->x;
            row->y *= s->y;
            row->z *= s->z;
        }
    }
    matrix->flags &= ~rwMATRIXIDENTITYFLAGS;
    return matrix;
}

RwMatrix *RwMatrixRotateOneMinusCosineSine(RwMatrix *matrix, const RwV3d *axis, RwReal c1, RwReal s,
                                           RwOpCombineType combine)
{
    if (!ValidCombine(combine)) {
        return nullptr;
    }
    const RwReal x = axis->x, y = axis->y, z = axis->z;
    RwMatrix r;
    r.right = {1.0f - (1.0f - x * x) * c1, x * y * c1 + z * s, z * x * c1 - y * s};
    r.up = {x * y * c1 - z * s, 1.0f - (1.0f - y * y) * c1, y * z * c1 + x * s};
    r.at = {z * x * c1 + y * s, y * z * c1 - x * s, 1.0f - (1.0f - z * z) * c1};
    r.pos = {0.0f, 0.0f, 0.0f};
    r.flags = rwMATRIXTYPEORTHONORMAL;
    r.pad1 = r.pad2 = r.pad3 = 0;

    if (combine == rwCOMBINEREPLACE || RwMatrixIsIdentityFlagged(matrix)) {
        *matrix = r;
    } else if (combine == rwCOMBINEPRECONCAT) {
        ProductInto(matrix, &r, matrix);
    } else {
        ProductInto(matrix, matrix, &r);
    }
    return matrix;
}

RwMatrix *RwMatrixRotate(RwMatrix *matrix, const RwV3d *axis, RwReal angleDegrees, RwOpCombineType combine)
{
    RwV3d unit;
    RwV3dScale(&unit, axis, RwFastInvSqrt(RwV3dDotProduct(axis, axis)));
    const RwReal radians = angleDegrees * 0.017453292f;
    RwMatrixRotateOneMinusCosineSine(matrix, &unit, 1.0f - std::cos(radians), std::sin(radians), combine);
    return matrix;
}

RwReal RwMatrixDeterminant(const RwMatrix *m)
{
    RwV3d cross;
    RwV3dCrossProduct(&cross, &m->up, &m->at);
    return RwV3dDotProduct(&m->right, &cross);
}

RwMatrix *RwMatrixInvert(RwMatrix *dst, const RwMatrix *src)
{
    if (RwMatrixIsIdentityFlagged(src)) {
        *dst = *src;
        return dst;
    }
    const RwV3d r = src->right, u = src->up, a = src->at, p = src->pos;
    RwMatrix inv;
    if ((src->flags & rwMATRIXTYPEORTHONORMAL) != rwMATRIXTYPEORTHONORMAL) {
        // Cofactors, expanded along the first column. A singular matrix (or one
        // so near it that the reciprocal overflows, including a determinant of
        // negative zero) keeps a factor of 1 so no infinity reaches the result.
        const RwReal c00 = u.y * a.z - u.z * a.y;
        const RwReal c10 = -(r.y * a.z - r.z * a.y);
        const RwReal c20 = r.y * u.z - r.z * u.y;
        const RwReal det = r.x * c00 + u.x * c10 + a.x * c20;
        RwReal factor = 1.0f;
        if (det != 0.0f) {
            const RwReal reciprocal = 1.0f / det;
            if (std::isfinite(reciprocal)) {
                factor = reciprocal;
            }
        }
        inv.right = {c00 * factor, c10 * factor, c20 * factor};
        inv.up = {-(u.x * a.z - u.z * a.x) * factor, (r.x * a.z - r.z * a.x) * factor,
                  -(r.x * u.z - r.z * u.x) * factor};
        inv.at = {(u.x * a.y - u.y * a.x) * factor, -(r.x * a.y - r.y * a.x) * factor,
                  (r.x * u.y - r.y * u.x) * factor};
        RwV3d pos = {0.0f, 0.0f, 0.0f};
        RwV3dIncrementScaled(&pos, &inv.right, p.x);
        RwV3dIncrementScaled(&pos, &inv.up, p.y);
        RwV3dIncrementScaled(&pos, &inv.at, p.z);
        RwV3dNegate(&inv.pos, &pos);
        inv.flags = 0;
    } else {
        inv.right = {r.x, u.x, a.x};
        inv.up = {r.y, u.y, a.y};
        inv.at = {r.z, u.z, a.z};
        inv.pos = {-RwV3dDotProduct(&p, &r), -RwV3dDotProduct(&p, &u), -RwV3dDotProduct(&p, &a)};
        inv.flags = rwMATRIXTYPEORTHONORMAL;
    }
    CopyRows(dst, &inv);
    dst->flags = inv.flags;
    return dst;
}

// Unit vector of a x b with the table inverse square root.
static void NormalizedCross(RwV3d *out, const RwV3d *a, const RwV3d *b)
{
    RwV3d c;
    RwV3dCrossProduct(&c, a, b);
    RwV3dScale(out, &c, RwFastInvSqrt(RwV3dDotProduct(&c, &c)));
}

RwMatrix *RwMatrixOrthonormalize(RwMatrix *dst, const RwMatrix *src)
{
    RwV3d r = src->right, u = src->up, a = src->at;
    const RwV3d pos = src->pos;
    const RwReal fr = RwFastInvSqrt(RwV3dDotProduct(&r, &r));
    const RwReal fu = RwFastInvSqrt(RwV3dDotProduct(&u, &u));
    const RwReal fa = RwFastInvSqrt(RwV3dDotProduct(&a, &a));
    RwV3dScale(&r, &r, fr);
    RwV3dScale(&u, &u, fu);
    RwV3dScale(&a, &a, fa);

    // Keep the axis that is least disturbed by its two neighbours; a
    // degenerate axis is never the one kept.
    enum { KeepRight, KeepUp, KeepAt } keep;
    if (!(fr > 0.0f)) {
        keep = KeepUp;
    } else if (!(fu > 0.0f)) {
        keep = KeepAt;
    } else if (fa > 0.0f) {
        const RwReal dau = std::fabs(RwV3dDotProduct(&a, &u));
        const RwReal dar = std::fabs(RwV3dDotProduct(&a, &r));
        const RwReal dur = std::fabs(RwV3dDotProduct(&u, &r));
        if (dau < dar && dau < dur) {
            keep = KeepUp;
        } else if (dau >= dar && dar < dur) {
            keep = KeepAt;
        } else {
            keep = KeepRight;
        }
    } else {
        keep = KeepRight;
    }

    switch (keep) {
    case KeepUp:
        NormalizedCross(&r, &u, &a);
        NormalizedCross(&a, &r, &u);
        break;
    case KeepAt:
        NormalizedCross(&u, &a, &r);
        NormalizedCross(&r, &u, &a);
        break;
    case KeepRight:
        NormalizedCross(&a, &r, &u);
        NormalizedCross(&u, &a, &r);
        break;
    }
    dst->right = r;
    dst->up = u;
    dst->at = a;
    dst->pos = pos;
    dst->flags = (dst->flags & ~rwMATRIXINTERNALIDENTITY) | rwMATRIXTYPEORTHONORMAL;
    return dst;
}

static inline RwReal Square(RwReal v) { return v * v; }

RwReal RwMatrixNormalError(const RwMatrix *m)
{
    return Square(RwV3dDotProduct(&m->right, &m->right) - 1.0f) + Square(RwV3dDotProduct(&m->up, &m->up) - 1.0f) +
           Square(RwV3dDotProduct(&m->at, &m->at) - 1.0f);
}

RwReal RwMatrixOrthogonalError(const RwMatrix *m)
{
    return Square(RwV3dDotProduct(&m->at, &m->up)) + Square(RwV3dDotProduct(&m->at, &m->right)) +
           Square(RwV3dDotProduct(&m->up, &m->right));
}

RwReal RwMatrixIdentityError(const RwMatrix *m)
{
    return Square(m->right.x - 1.0f) + Square(m->right.y) + Square(m->right.z) + Square(m->up.x) +
           Square(m->up.y - 1.0f) + Square(m->up.z) + Square(m->at.x) + Square(m->at.y) + Square(m->at.z - 1.0f) +
           RwV3dDotProduct(&m->pos, &m->pos);
}

RwMatrix *RwMatrixUpdateFlags(RwMatrix *m, const RwMatrixTolerance *tolerance)
{
    const RwMatrixTolerance *tol = tolerance != nullptr ? tolerance : &rwMatrixGetGlobals()->tolerance;
    const RwBool normal = RwMatrixNormalError(m) <= tol->Normal;
    const RwBool orthogonal = RwMatrixOrthogonalError(m) <= tol->Orthogonal;
    RwUInt32 flags = m->flags & ~rwMATRIXIDENTITYFLAGS;
    if (normal) {
        flags |= rwMATRIXTYPENORMAL;
    }
    if (orthogonal) {
        flags |= rwMATRIXTYPEORTHOGONAL;
    }
    if (normal && orthogonal && RwMatrixIdentityError(m) <= tol->Identity) {
        flags |= rwMATRIXINTERNALIDENTITY;
    }
    m->flags = flags;
    return m;
}

RwMatrix *RwMatrixMarkChanged(RwMatrix *m)
{
    m->flags &= ~rwMATRIXIDENTITYFLAGS;
    return m;
}

RwBool RwMatrixSetMultiplyFunction(RwMatrixMultiplyFunction multiply)
{
    rwMatrixGetGlobals()->multiply = multiply != nullptr ? multiply : rwMatrixPortableMultiply;
    return TRUE;
}

const RwMatrixTolerance *RwMatrixGetDefaultTolerance(void) { return &rwMatrixGetGlobals()->tolerance; }
