// The matrix chunk (type 0x0D): a 52-byte struct of four rows and the
// orthonormal flags, written and read field by field, little-endian.
#include "rwerror.h"
#include "rwmatrix.h"
#include "rwstream.h"

static constexpr RwUInt32 rwMATRIXSTRUCTSIZE = 52;

static RwBool WriteRow(RwStream *stream, const RwV3d *v)
{
    return RwStreamWriteReal(stream, v->x) != nullptr && RwStreamWriteReal(stream, v->y) != nullptr &&
           RwStreamWriteReal(stream, v->z) != nullptr;
}

static RwBool ReadRow(RwStream *stream, RwV3d *v)
{
    return RwStreamReadReal(stream, &v->x) && RwStreamReadReal(stream, &v->y) && RwStreamReadReal(stream, &v->z);
}

RwUInt32 RwMatrixStreamGetSize(const RwMatrix *matrix)
{
    (void)matrix;
    return rwCHUNKHEADERSIZE + rwMATRIXSTRUCTSIZE;
}

RwMatrix *RwMatrixStreamWrite(const RwMatrix *matrix, RwStream *stream)
{
    // An orthonormal matrix is stored with exact axes, so a reader that
    // trusts the flag gets what the flag claims.
    RwMatrix stored = *matrix;
    const RwUInt32 flags = matrix->flags & rwMATRIXTYPEMASK;
    if (flags == rwMATRIXTYPEORTHONORMAL) {
        RwMatrixOrthonormalize(&stored, matrix);
    }
    const RwBool ok =
        RwStreamWriteChunkHeaderDefault(stream, rwID_MATRIX, RwMatrixStreamGetSize(matrix)) != nullptr &&
        RwStreamWriteChunkHeaderDefault(stream, rwID_STRUCT, rwMATRIXSTRUCTSIZE) != nullptr &&
        WriteRow(stream, &stored.right) && WriteRow(stream, &stored.up) && WriteRow(stream, &stored.at) &&
        WriteRow(stream, &stored.pos) && RwStreamWriteUInt32(stream, flags) != nullptr;
    if (!ok) {
        RwErrorReportCommon(E_RW_WRITE);
        return nullptr;
    }
    return const_cast<RwMatrix *>(matrix);
}

RwMatrix *RwMatrixStreamRead(RwStream *stream, RwMatrix *matrix)
{
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindStruct(stream, &length, &version)) {
        return nullptr;
    }
    RwMatrix record = {};
    RwUInt32 flags = 0;
    if (length < rwMATRIXSTRUCTSIZE || !ReadRow(stream, &record.right) || !ReadRow(stream, &record.up) ||
        !ReadRow(stream, &record.at) || !ReadRow(stream, &record.pos) || !RwStreamReadUInt32(stream, &flags)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    // A longer struct belongs to a newer writer: its tail is skipped.
    if (length > rwMATRIXSTRUCTSIZE && RwStreamSkip(stream, length - rwMATRIXSTRUCTSIZE) == nullptr) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RwMatrix *m = matrix != nullptr ? matrix : RwMatrixCreate();
    if (m == nullptr) {
        return nullptr;
    }
    m->right = record.right;
    m->up = record.up;
    m->at = record.at;
    m->pos = record.pos;
    m->flags = flags & rwMATRIXTYPEMASK;
    if (m->flags == rwMATRIXTYPEORTHONORMAL) {
        RwMatrixOrthonormalize(m, m);
    }
    return m;
}
