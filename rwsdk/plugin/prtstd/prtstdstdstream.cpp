// The standard emitter properties in streams: each property the class has,
// in the order 1, 2, 3, 8, 5, 4, 6, written and read word by word.
#include <cstring>
#include <initializer_list>

#include "plugin/prtstd/prtstd.h"
#include "rwerror.h"
#include "rwmatrix.h"
#include "rwstream.h"
#include "rwtexture.h"

namespace {

constexpr RwUInt32 kStandardBytes = 156;
constexpr RwUInt32 kMatrixTailBytes = 52;

// A run of 32-bit words of a property, as they lie in memory.
RwBool WriteWords(RwStream *stream, const void *first, RwInt32 count)
{
    const auto *bytes = static_cast<const RwUInt8 *>(first);
    for (RwInt32 i = 0; i < count; ++i) {
        RwUInt32 word;
        std::memcpy(&word, bytes + 4 * i, 4);
        if (RwStreamWriteUInt32(stream, word) == nullptr) {
            return FALSE;
        }
    }
    return TRUE;
}

RwBool ReadWords(RwStream *stream, void *first, RwInt32 count)
{
    auto *bytes = static_cast<RwUInt8 *>(first);
    for (RwInt32 i = 0; i < count; ++i) {
        RwUInt32 word = 0;
        if (!RwStreamReadUInt32(stream, &word)) {
            return FALSE;
        }
        std::memcpy(bytes + 4 * i, &word, 4);
    }
    return TRUE;
}

RwUInt32 PackColor(const RwRGBA &c)
{
    return (static_cast<RwUInt32>(c.red) << 24) | (static_cast<RwUInt32>(c.green) << 16) |
           (static_cast<RwUInt32>(c.blue) << 8) | c.alpha;
}

RwRGBA UnpackColor(RwUInt32 w)
{
    return {static_cast<RwUInt8>(w >> 24), static_cast<RwUInt8>(w >> 16), static_cast<RwUInt8>(w >> 8),
            static_cast<RwUInt8>(w)};
}

RwBool WriteStandard(RwStream *stream, const RpPrtStdEmitterStandard *s)
{
    if (!WriteWords(stream, &s->seed, 2) || !WriteWords(stream, &s->force, 9) ||
        !WriteWords(stream, &s->emtEmitGap, 2) || !WriteWords(stream, &s->emtPrtEmit, 2) ||
        !WriteWords(stream, &s->prtInitVel, 4) || !WriteWords(stream, &s->prtInitDir, 9) ||
        RwStreamWriteUInt32(stream, PackColor(s->prtColor)) == nullptr || !WriteWords(stream, &s->prtUV, 8) ||
        RwStreamWriteInt32(stream, s->texture != nullptr ? 1 : 0) == nullptr) {
        return FALSE;
    }
    if (s->texture != nullptr && RwTextureStreamWrite(s->texture, stream) == nullptr) {
        return FALSE;
    }
    return RwStreamWriteReal(stream, s->prtDelta2DRotate) != nullptr;
}

RwBool ReadStandard(RwStream *stream, RpPrtStdEmitterStandard *s)
{
    RwUInt32 color = 0;
    RwInt32 hasTexture = 0;
    if (!ReadWords(stream, &s->seed, 2) || !ReadWords(stream, &s->force, 9) || !ReadWords(stream, &s->emtEmitGap, 2) ||
        !ReadWords(stream, &s->emtPrtEmit, 2) || !ReadWords(stream, &s->prtInitVel, 4) ||
        !ReadWords(stream, &s->prtInitDir, 9) || !RwStreamReadUInt32(stream, &color) ||
        !ReadWords(stream, &s->prtUV, 8) || !RwStreamReadInt32(stream, &hasTexture)) {
        return FALSE;
    }
    s->prtColor = UnpackColor(color);
    s->texture = nullptr;
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (hasTexture > 0 && RwStreamFindChunk(stream, rwID_TEXTURE, &length, &version)) {
        const RwUInt64 saved = RwStreamEnterChunk(stream, length);
        s->texture = RwTextureStreamRead(stream);
        RwStreamLeaveChunk(stream, saved);
    }
    // The spin joined the property in format version 3.
    s->prtDelta2DRotate = 0.0f;
    return RpPrtStdGetStreamVersion() < rpPRTSTDSTREAMVERSION || RwStreamReadReal(stream, &s->prtDelta2DRotate);
}

RwBool WriteMatrixProperty(RwStream *stream, const RpPrtStdEmitterPrtMatrix *m)
{
    return RwMatrixStreamWrite(&m->prtCnsMtx, stream) != nullptr && WriteWords(stream, &m->prtPosMtxAt, 13);
}

RwBool ReadMatrixProperty(RwStream *stream, RpPrtStdEmitterPrtMatrix *m)
{
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindChunk(stream, rwID_MATRIX, &length, &version)) {
        return FALSE;
    }
    const RwUInt64 saved = RwStreamEnterChunk(stream, length);
    const RwBool ok = RwMatrixStreamRead(stream, &m->prtCnsMtx) != nullptr;
    RwStreamLeaveChunk(stream, saved);
    return ok && ReadWords(stream, &m->prtPosMtxAt, 13);
}

RwBool WriteBinding(RwStream *stream, const RpPrtStdEmitterPTank *b)
{
    return WriteWords(stream, &b->updateFlags, 2) && RwStreamWriteUInt32(stream, b->srcBlend) != nullptr &&
           RwStreamWriteUInt32(stream, b->dstBlend) != nullptr && RwStreamWriteInt32(stream, b->vtxAlphaBlend) != nullptr;
}

RwBool ReadBinding(RwStream *stream, RpPrtStdEmitterPTank *b)
{
    return ReadWords(stream, &b->updateFlags, 2) && RwStreamReadUInt32(stream, &b->srcBlend) &&
           RwStreamReadUInt32(stream, &b->dstBlend) && RwStreamReadInt32(stream, &b->vtxAlphaBlend);
}

// The plain properties: (id, words).
struct PlainProperty {
    RwInt32 id;
    RwInt32 words;
};
constexpr PlainProperty kColor = {rpPRTSTDPROPERTYCODEEMITTERPRTCOLOR, 16};
constexpr PlainProperty kTexCoords = {rpPRTSTDPROPERTYCODEEMITTERPRTTEXCOORDS, 16};
constexpr PlainProperty kSize = {rpPRTSTDPROPERTYCODEEMITTERPRTSIZE, 8};
constexpr PlainProperty kRotate = {rpPRTSTDPROPERTYCODEEMITTERPRT2DROTATE, 4};

// Visits the properties the emitter has, in stream order.
template <typename Standard, typename Plain, typename Matrix, typename Binding>
RwBool ForStreamedProperties(RpPrtStdEmitter *e, Standard &&standard, Plain &&plain, Matrix &&matrix,
                             Binding &&binding)
{
    if (auto *s = RpPrtStdEmitterProperty<RpPrtStdEmitterStandard>(e, rpPRTSTDPROPERTYCODEEMITTERSTANDARD);
        s != nullptr && !standard(s)) {
        return FALSE;
    }
    for (const PlainProperty &p : {kColor, kTexCoords}) {
        if (void *at = RpPrtStdEmitterProperty<void>(e, p.id); at != nullptr && !plain(at, p.words)) {
            return FALSE;
        }
    }
    if (auto *m = RpPrtStdEmitterProperty<RpPrtStdEmitterPrtMatrix>(e, rpPRTSTDPROPERTYCODEEMITTERPRTMATRIX);
        m != nullptr && !matrix(m)) {
        return FALSE;
    }
    for (const PlainProperty &p : {kSize, kRotate}) {
        if (void *at = RpPrtStdEmitterProperty<void>(e, p.id); at != nullptr && !plain(at, p.words)) {
            return FALSE;
        }
    }
    auto *b = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(e, rpPRTSTDPROPERTYCODEEMITTERPTANK);
    return b == nullptr || binding(b);
}

}  // namespace

RpPrtStdEmitter *RpPrtStdEmitterStdStreamWriteCB(RpAtomic *, RpPrtStdEmitter *emitter, void *data)
{
    auto *stream = static_cast<RwStream *>(data);
    const RwBool ok = ForStreamedProperties(
        emitter, [&](RpPrtStdEmitterStandard *s) { return WriteStandard(stream, s); },
        [&](void *at, RwInt32 words) { return WriteWords(stream, at, words); },
        [&](RpPrtStdEmitterPrtMatrix *m) { return WriteMatrixProperty(stream, m); },
        [&](RpPrtStdEmitterPTank *b) { return WriteBinding(stream, b); });
    return ok ? emitter : nullptr;
}

RpPrtStdEmitter *RpPrtStdEmitterStdStreamReadCB(RpAtomic *, RpPrtStdEmitter *emitter, void *data)
{
    auto *stream = static_cast<RwStream *>(data);
    const RwBool ok = ForStreamedProperties(
        emitter, [&](RpPrtStdEmitterStandard *s) { return ReadStandard(stream, s); },
        [&](void *at, RwInt32 words) { return ReadWords(stream, at, words); },
        [&](RpPrtStdEmitterPrtMatrix *m) { return ReadMatrixProperty(stream, m); },
        [&](RpPrtStdEmitterPTank *b) { return ReadBinding(stream, b); });
    return ok ? emitter : nullptr;
}

RpPrtStdEmitter *RpPrtStdEmitterStdStreamGetSizeCB(RpAtomic *, RpPrtStdEmitter *emitter, void *data)
{
    auto *size = static_cast<RwInt32 *>(data);
    ForStreamedProperties(
        emitter,
        [&](RpPrtStdEmitterStandard *s) {
            *size += static_cast<RwInt32>(
                s->texture != nullptr ? kStandardBytes + rwCHUNKHEADERSIZE + RwTextureStreamGetSize(s->texture)
                                      : kStandardBytes);
            return TRUE;
        },
        [&](void *, RwInt32 words) {
            *size += 4 * words;
            return TRUE;
        },
        [&](RpPrtStdEmitterPrtMatrix *m) {
            *size += static_cast<RwInt32>(rwCHUNKHEADERSIZE + RwMatrixStreamGetSize(&m->prtCnsMtx) + kMatrixTailBytes);
            return TRUE;
        },
        [&](RpPrtStdEmitterPTank *) {
            *size += 20;
            return TRUE;
        });
    return emitter;
}
