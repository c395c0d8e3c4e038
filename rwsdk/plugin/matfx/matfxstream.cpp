// The material-effects extension data of materials: the effect type and the
// two passes with their coefficients, blend modes and texture chunks. Frames
// and UV matrices belong to the running program and are never streamed.
#include "matfxpriv.h"
#include "rwerror.h"
#include "rwstream.h"
#include "rwtexture.h"

namespace {

constexpr RwInt32 kTextureMissingCode = 0x16;

// Size of an optional texture as written: the presence word, and the
// chunk header plus body when present.
RwInt32 OptionalTextureSize(const RwTexture *texture)
{
    return texture == nullptr ? 4 : 4 + static_cast<RwInt32>(rwCHUNKHEADERSIZE + RwTextureStreamGetSize(texture));
}

RwStream *WriteOptionalTexture(RwStream *stream, const RwTexture *texture)
{
    if (RwStreamWriteUInt32(stream, texture != nullptr ? 1u : 0u) == nullptr) {
        return nullptr;
    }
    if (texture != nullptr && RwTextureStreamWrite(texture, stream) == nullptr) {
        return nullptr;
    }
    return stream;
}

// Reads the presence word and, when set, the texture chunk. A texture that
// cannot be loaded is tolerated (taken as none) when the read left no error
// or a missing-data error; anything else fails the read.
RwBool ReadOptionalTexture(RwStream *stream, RwTexture **texture)
{
    *texture = nullptr;
    RwUInt32 present = 0;
    if (!RwStreamReadUInt32(stream, &present)) {
        return FALSE;
    }
    if (present == 0) {
        return TRUE;
    }
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindChunk(stream, rwID_TEXTURE, &length, &version)) {
        return FALSE;
    }
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    *texture = RwTextureStreamRead(stream);
    // Whatever the texture reader left of its chunk is passed over, so the
    // next field is read where the writer put it.
    RwBool skipped = RwStreamSkipRest(stream);
    RwStreamLeaveChunk(stream, saved);
    if (!skipped) {
        if (*texture != nullptr) {
            RwTextureDestroy(*texture);
            *texture = nullptr;
        }
        return FALSE;
    }
    if (*texture != nullptr) {
        return TRUE;
    }
    RwError error{};
    RwErrorGet(&error);
    if (error.errorCode == E_RW_NOERROR || error.errorCode == kTextureMissingCode) {
        return TRUE;
    }
    RwErrorSet(&error);
    return FALSE;
}

RwInt32 PassSize(const RpMatFXEffectData &pass)
{
    switch (pass.effectType) {
    case rpMATFXEFFECTBUMPMAP:
        return 4 + 4 + OptionalTextureSize(pass.data.bumpMap.bumpedTexture) +
               OptionalTextureSize(pass.data.bumpMap.bumpTexture);
    case rpMATFXEFFECTENVMAP:
        return 4 + 8 + OptionalTextureSize(pass.data.envMap.texture);
    case rpMATFXEFFECTDUAL:
        return 4 + 8 + OptionalTextureSize(pass.data.dual.texture);
    default:
        return 4;
    }
}

RwStream *WritePass(RwStream *stream, const RpMatFXEffectData &pass)
{
    if (RwStreamWriteUInt32(stream, pass.effectType) == nullptr) {
        return nullptr;
    }
    switch (pass.effectType) {
    case rpMATFXEFFECTBUMPMAP:
        if (RwStreamWriteReal(stream, -pass.data.bumpMap.coef) == nullptr ||
            WriteOptionalTexture(stream, pass.data.bumpMap.bumpedTexture) == nullptr ||
            WriteOptionalTexture(stream, pass.data.bumpMap.bumpTexture) == nullptr) {
            return nullptr;
        }
        break;
    case rpMATFXEFFECTENVMAP:
        if (RwStreamWriteReal(stream, pass.data.envMap.coef) == nullptr ||
            RwStreamWriteUInt32(stream, pass.data.envMap.useFrameBufferAlpha) == nullptr ||
            WriteOptionalTexture(stream, pass.data.envMap.texture) == nullptr) {
            return nullptr;
        }
        break;
    case rpMATFXEFFECTDUAL:
        if (RwStreamWriteUInt32(stream, pass.data.dual.srcBlendMode) == nullptr ||
            RwStreamWriteUInt32(stream, pass.data.dual.dstBlendMode) == nullptr ||
            WriteOptionalTexture(stream, pass.data.dual.texture) == nullptr) {
            return nullptr;
        }
        break;
    default:
        break;
    }
    return stream;
}

RwBool ReadBumpPass(RwStream *stream, RpMaterial *material, RpMatFXEffectData *pass)
{
    RwReal coef = 0.0f;
    RwTexture *bumped = nullptr;
    RwTexture *bump = nullptr;
    if (!RwStreamReadReal(stream, &coef) || !ReadOptionalTexture(stream, &bumped)) {
        return FALSE;
    }
    if (!ReadOptionalTexture(stream, &bump)) {
        if (bumped != nullptr) {
            RwTextureDestroy(bumped);
        }
        return FALSE;
    }
    RwBool ok = TRUE;
    if (pass != nullptr && bumped == nullptr) {
        if (bump == nullptr) {
            MatFXReplaceTexture(&pass->data.bumpMap.bumpTexture, nullptr);
            MatFXReplaceTexture(&pass->data.bumpMap.bumpedTexture, nullptr);
        } else {
            ok = RpMatFXMaterialSetBumpMapTexture(material, bump) != nullptr;
        }
    } else if (pass != nullptr) {
        MatFXReplaceTexture(&pass->data.bumpMap.bumpedTexture, bumped);
        MatFXReplaceTexture(&pass->data.bumpMap.bumpTexture, bump);
        pass->data.bumpMap.invBumpWidth =
            (bumped->raster != nullptr && bumped->raster->width > 0) ? 1.0f / static_cast<RwReal>(bumped->raster->width)
                                                                     : 0.0f;
    }
    if (pass != nullptr) {
        pass->data.bumpMap.coef = -coef;
    }
    if (bumped != nullptr) {
        RwTextureDestroy(bumped);
    }
    if (bump != nullptr) {
        RwTextureDestroy(bump);
    }
    return ok;
}

RwBool ReadEnvPass(RwStream *stream, RpMaterial *material, RpMatFXEffectData *pass)
{
    RwReal coef = 0.0f;
    RwUInt32 useFrameBufferAlpha = 0;
    RwTexture *texture = nullptr;
    if (!RwStreamReadReal(stream, &coef) || !RwStreamReadUInt32(stream, &useFrameBufferAlpha) ||
        !ReadOptionalTexture(stream, &texture)) {
        return FALSE;
    }
    if (pass != nullptr) {
        RpMatFXMaterialSetupEnvMap(material, texture, pass->data.envMap.frame, useFrameBufferAlpha != 0, coef);
    }
    if (texture != nullptr) {
        RwTextureDestroy(texture);
    }
    return TRUE;
}

RwBool ReadDualPass(RwStream *stream, RpMaterial *material, RpMatFXEffectData *pass)
{
    RwUInt32 blends[2] = {0, 0};
    RwTexture *texture = nullptr;
    if (!RwStreamReadUInt32(stream, &blends[0]) || !RwStreamReadUInt32(stream, &blends[1]) ||
        !ReadOptionalTexture(stream, &texture)) {
        return FALSE;
    }
    if (pass != nullptr) {
        MatFXReplaceTexture(&pass->data.dual.texture, texture);
        RpMatFXMaterialSetDualBlendModes(material, blends[0], blends[1]);
    }
    if (texture != nullptr) {
        RwTextureDestroy(texture);
    }
    return TRUE;
}

}  // namespace

RwStream *RpMatFXMaterialStreamRead(RwStream *stream, RwInt32, void *object, RwInt32, RwInt32)
{
    auto *material = static_cast<RpMaterial *>(object);
    RpMatFXMaterialData *data = MatFXMaterialTakeData(material);
    RwUInt32 effect = 0;
    if (data == nullptr || !RwStreamReadUInt32(stream, &effect)) {
        return nullptr;
    }
    if (effect >= rpMATFXEFFECTMAX) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RpMatFXMaterialSetEffects(material, effect);
    for (RwInt32 index = 0; index < 2; ++index) {
        RwUInt32 passType = 0;
        if (!RwStreamReadUInt32(stream, &passType)) {
            return nullptr;
        }
        // The pass that this effect type gave slot `index`; a pass type the
        // effect has no room for is read and dropped.
        RpMatFXEffectData *pass = data->data[index].effectType == passType ? &data->data[index] : nullptr;
        RwBool ok = TRUE;
        switch (passType) {
        case rpMATFXEFFECTBUMPMAP:
            ok = ReadBumpPass(stream, material, pass);
            break;
        case rpMATFXEFFECTENVMAP:
            ok = ReadEnvPass(stream, material, pass);
            break;
        case rpMATFXEFFECTDUAL:
            ok = ReadDualPass(stream, material, pass);
            break;
        default:
            break;
        }
        if (!ok) {
            return nullptr;
        }
    }
    return stream;
}

RwStream *RpMatFXMaterialStreamWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    const RpMatFXMaterialData *data = RpMatFXMaterialGetData(static_cast<const RpMaterial *>(object));
    if (data == nullptr) {
        return stream;
    }
    if (RwStreamWriteUInt32(stream, data->flags) == nullptr || WritePass(stream, data->data[0]) == nullptr ||
        WritePass(stream, data->data[1]) == nullptr) {
        return nullptr;
    }
    return stream;
}

RwInt32 RpMatFXMaterialStreamGetSize(const void *object, RwInt32, RwInt32)
{
    const RpMatFXMaterialData *data = RpMatFXMaterialGetData(static_cast<const RpMaterial *>(object));
    if (data == nullptr || data->flags == rpMATFXEFFECTNULL) {
        return 0;
    }
    return 4 + PassSize(data->data[0]) + PassSize(data->data[1]);
}
