// The engine's 3D arithmetic: vectors, the 4x4 row matrix with its type
// flags, table-driven square roots, point and direction transforms,
// axis-aligned boxes, spheres, and the matrix chunk in streams.
//
// Points are rows multiplied on the left: p maps to
// p.x*right + p.y*up + p.z*at + pos, so a x b applies a first, then b.
#pragma once

#include "rwtypes.h"

struct RwStream;

struct RwV2d {
    RwReal x;
    RwReal y;
};

struct RwV3d {
    RwReal x;
    RwReal y;
    RwReal z;
};

// Type flags of a matrix.
static constexpr RwUInt32 rwMATRIXTYPENORMAL = 0x1;       // axes of unit length
static constexpr RwUInt32 rwMATRIXTYPEORTHOGONAL = 0x2;   // axes mutually orthogonal
static constexpr RwUInt32 rwMATRIXTYPEORTHONORMAL = 0x3;
static constexpr RwUInt32 rwMATRIXINTERNALIDENTITY = 0x20000;
static constexpr RwUInt32 rwMATRIXTYPEMASK = 0x3;

struct RwMatrix {
    RwV3d right;
    RwUInt32 flags;
    RwV3d up;
    RwUInt32 pad1;
    RwV3d at;
    RwUInt32 pad2;
    RwV3d pos;
    RwUInt32 pad3;
};
static_assert(sizeof(RwMatrix) == 64, "a matrix is sixteen 32-bit words");

struct RwMatrixTolerance {
    RwReal Normal;
    RwReal Orthogonal;
    RwReal Identity;
};

// How a new transform combines with the one a matrix already holds.
enum RwOpCombineType : RwInt32 {
    rwCOMBINEREPLACE = 0,
    rwCOMBINEPRECONCAT = 1,   // new transform applies first: T x M
    rwCOMBINEPOSTCONCAT = 2,  // new transform applies last:  M x T
};

// Axis-aligned box: maximum corner first.
struct RwBBox {
    RwV3d sup;
    RwV3d inf;
};

struct RwSphere {
    RwV3d center;
    RwReal radius;
};

// Core error code of a zero-length normalisation.
static constexpr RwInt32 E_RW_ZEROLENGTH = 25;

// Installable routines (see RwMatrixSetMultiplyFunction and
// RwV3dSetTransformFunctions). A multiply routine writes the twelve values
// of dst and nothing else; dst never aliases a or b.
typedef void (*RwMatrixMultiplyFunction)(RwMatrix *dst, const RwMatrix *a, const RwMatrix *b);
typedef void (*RwV3dTransformFunction)(RwV3d *out, const RwV3d *in, RwInt32 count,
                                       const RwMatrix *matrix);

// Matrices.
RwMatrix *RwMatrixCreate(void);
RwBool RwMatrixDestroy(RwMatrix *matrix);
RwMatrix *RwMatrixMultiply(RwMatrix *dst, const RwMatrix *a, const RwMatrix *b);
RwMatrix *RwMatrixTransform(RwMatrix *matrix, const RwMatrix *transform, RwOpCombineType combine);
RwMatrix *RwMatrixTranslate(RwMatrix *matrix, const RwV3d *translation, RwOpCombineType combine);
RwMatrix *RwMatrixScale(RwMatrix *matrix, const RwV3d *scale, RwOpCombineType combine);
RwMatrix *RwMatrixRotate(RwMatrix *matrix, const RwV3d *axis, RwReal angleDegrees, RwOpCombineType combine);
RwMatrix *RwMatrixRotateOneMinusCosineSine(RwMatrix *matrix, const RwV3d *unitAxis, RwReal oneMinusCosine,
                                           RwReal sine, RwOpCombineType combine);
RwMatrix *RwMatrixInvert(RwMatrix *dst, const RwMatrix *src);
RwMatrix *RwMatrixOrthonormalize(RwMatrix *dst, const RwMatrix *src);
RwMatrix *RwMatrixUpdateFlags(RwMatrix *matrix, const RwMatrixTolerance *tolerance);
RwMatrix *RwMatrixMarkChanged(RwMatrix *matrix);
RwMatrix *RwMatrixSetIdentity(RwMatrix *matrix);
RwMatrix *RwMatrixCopy(RwMatrix *dst, const RwMatrix *src);
RwReal RwMatrixNormalError(const RwMatrix *matrix);
RwReal RwMatrixOrthogonalError(const RwMatrix *matrix);
RwReal RwMatrixIdentityError(const RwMatrix *matrix);
RwReal RwMatrixDeterminant(const RwMatrix *matrix);
// Null restores the portable routine.
RwBool RwMatrixSetMultiplyFunction(RwMatrixMultiplyFunction multiply);
// The default tolerances used when RwMatrixUpdateFlags is given null.
const RwMatrixTolerance *RwMatrixGetDefaultTolerance(void);

inline RwBool RwMatrixIsIdentityFlagged(const RwMatrix *m) { return (m->flags & rwMATRIXINTERNALIDENTITY) != 0; }

// Matrix chunk (type 0x0D) in streams.
static constexpr RwUInt32 rwID_MATRIX = 0x0D;
RwMatrix *RwMatrixStreamWrite(const RwMatrix *matrix, RwStream *stream);
RwMatrix *RwMatrixStreamRead(RwStream *stream, RwMatrix *matrix);
RwUInt32 RwMatrixStreamGetSize(const RwMatrix *matrix);

// Square roots from the module's tables (about 11 bits of mantissa).
RwReal RwFastSqrt(RwReal value);
RwReal RwFastInvSqrt(RwReal value);

// Vectors.
RwReal RwV3dLength(const RwV3d *v);
RwReal RwV2dLength(const RwV2d *v);
RwReal RwV3dNormalize(RwV3d *out, const RwV3d *in);
RwReal RwV2dNormalize(RwV2d *out, const RwV2d *in);
RwV3d *RwV3dTransformPoints(RwV3d *out, const RwV3d *in, RwInt32 count, const RwMatrix *matrix);
RwV3d *RwV3dTransformDirections(RwV3d *out, const RwV3d *in, RwInt32 count, const RwMatrix *matrix);
// Null restores the portable routine of that kind.
RwBool RwV3dSetTransformFunctions(RwV3dTransformFunction points, RwV3dTransformFunction directions);

inline RwReal RwV3dDotProduct(const RwV3d *a, const RwV3d *b) { return a->x * b->x + a->y * b->y + a->z * b->z; }
inline void RwV3dCrossProduct(RwV3d *out, const RwV3d *a, const RwV3d *b)
{
    RwV3d r = {a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x};
    *out = r;
}
inline void RwV3dAdd(RwV3d *out, const RwV3d *a, const RwV3d *b) { *out = {a->x + b->x, a->y + b->y, a->z + b->z}; }
inline void RwV3dSub(RwV3d *out, const RwV3d *a, const RwV3d *b) { *out = {a->x - b->x, a->y - b->y, a->z - b->z}; }
inline void RwV3dScale(RwV3d *out, const RwV3d *a, RwReal s) { *out = {a->x * s, a->y * s, a->z * s}; }
inline void RwV3dNegate(RwV3d *out, const RwV3d *a) { *out = {-a->x, -a->y, -a->z}; }
// out = a + s*b
inline void RwV3dIncrementScaled(RwV3d *out, const RwV3d *b, RwReal s)
{
    *out = {out->x + b->x * s, out->y + b->y * s, out->z + b->z * s};
}

// Boxes.
RwBBox *RwBBoxCalculate(RwBBox *box, const RwV3d *points, RwInt32 count);
RwBBox *RwBBoxInitialize(RwBBox *box, const RwV3d *point);
RwBBox *RwBBoxAddPoint(RwBBox *box, const RwV3d *point);
RwBool RwBBoxContainsPoint(const RwBBox *box, const RwV3d *point);
