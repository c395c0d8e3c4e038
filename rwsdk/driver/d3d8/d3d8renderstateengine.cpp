// The engine's render states on Direct3D: each engine state is translated
// into the Direct3D states behind it; texture binding per stage decides the
// colour and alpha operations; vertex alpha and the bound texture's alpha
// together decide alpha blending and alpha testing.
#include <cstring>

#include "driver/d3d8/d3d8raster.h"
#include "driver/d3d8/d3d8renderstate.h"
#include "rwcore.h"

namespace {

RwD3D8RenderStateCache &StateCache() { return rwD3D8RenderStates; }

RwUInt32 Value(void *value) { return static_cast<RwUInt32>(reinterpret_cast<uintptr_t>(value)); }

RwBool RasterHasAlpha(const RwRaster *raster)
{
    if (raster == nullptr) {
        return FALSE;
    }
    const RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    return ext->texture != nullptr && ext->alpha != 0;
}

RwBool RasterHasTexture(const RwRaster *raster)
{
    return raster != nullptr && RwD3D8RasterGetExt(raster)->texture != nullptr;
}

void SetStageOp(RwUInt32 stage, RwUInt32 type, RwUInt32 value) { RwD3D8SetTextureStageState(stage, type, value); }

void SetAlphaBlending(RwBool on)
{
    RwD3D8SetRenderState(D3DRS_ALPHABLENDENABLE, on ? 1u : 0u);
    RwD3D8SetRenderState(D3DRS_ALPHATESTENABLE, on ? 1u : 0u);
}

// Stage 0 without a texture: the vertex colour, and its alpha when vertex
// alpha is on. Later stages just stop the cascade.
void UntexturedStageOps(RwUInt32 stage)
{
    const RwD3D8RenderStateCache &c = StateCache();
    if (stage == 0) {
        SetStageOp(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        SetStageOp(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        if (c.vertexAlpha) {
            SetStageOp(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
            SetStageOp(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        } else {
            SetStageOp(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        }
    } else {
        SetStageOp(stage, D3DTSS_COLOROP, D3DTOP_DISABLE);
        SetStageOp(stage, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    }
}

void TexturedStageOps(RwUInt32 stage, RwBool rasterAlpha)
{
    const RwD3D8RenderStateCache &c = StateCache();
    SetStageOp(stage, D3DTSS_COLOROP, D3DTOP_MODULATE);
    SetStageOp(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    if (stage == 0) {
        SetStageOp(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        if (c.textureAlpha && !c.vertexAlpha) {
            SetStageOp(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
            SetStageOp(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        } else if (c.textureAlpha) {
            SetStageOp(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
            SetStageOp(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            SetStageOp(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        } else if (!c.vertexAlpha) {
            SetStageOp(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        } else {
            SetStageOp(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
            SetStageOp(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        }
        return;
    }
    SetStageOp(stage, D3DTSS_COLORARG2, D3DTA_CURRENT);
    if (c.textureAlpha && rasterAlpha) {
        SetStageOp(stage, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        SetStageOp(stage, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        SetStageOp(stage, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    } else if (!c.textureAlpha && !c.vertexAlpha) {
        SetStageOp(stage, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    } else {
        SetStageOp(stage, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
        SetStageOp(stage, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    }
}

// A stage whose anisotropy was raised goes back to 1 with its filter.
void DropAnisotropy(RwUInt32 stage, RwBool resendFilter)
{
    RwD3D8StageState &record = StateCache().stages[stage];
    if (record.maxAnisotropy > 1) {
        record.maxAnisotropy = 1;
        RwD3D8SetTextureStageState(stage, D3DTSS_MAXANISOTROPY, 1);
        if (resendFilter) {
            RwD3D8SendStageFilter(stage, record.filterMode);
        }
    }
}

void SetStageAddressU(RwUInt32 stage, RwUInt32 mode)
{
    RwD3D8StageState &record = StateCache().stages[stage];
    if (record.addressU != mode) {
        record.addressU = mode;
        RwD3D8SetTextureStageState(stage, D3DTSS_ADDRESSU, mode);
    }
}

void SetStageAddressV(RwUInt32 stage, RwUInt32 mode)
{
    RwD3D8StageState &record = StateCache().stages[stage];
    if (record.addressV != mode) {
        record.addressV = mode;
        RwD3D8SetTextureStageState(stage, D3DTSS_ADDRESSV, mode);
    }
}

void SetFogType(RwUInt32 type)
{
    RwD3D8RenderStateCache &c = StateCache();
    if (type != c.fogType) {
        c.fogType = type;
        RwD3D8SendFogMode(type);
    }
    // Linear fog follows the camera's fog and far distances every time.
    const RwCamera *camera = static_cast<const RwCamera *>(RwEngineInst->curCamera);
    if (type == rwFOGTYPELINEAR && camera != nullptr) {
        RwUInt32 start, end;
        std::memcpy(&start, &camera->fogPlane, 4);
        std::memcpy(&end, &camera->farPlane, 4);
        RwD3D8SetRenderState(D3DRS_FOGSTART, start);
        RwD3D8SetRenderState(D3DRS_FOGEND, end);
    }
}

// An engine value that maps to one Direct3D state through an identity table.
void SetMapped(RwUInt32 *engineValue, RwUInt32 value, RwUInt32 d3dState)
{
    if (*engineValue != value) {
        *engineValue = value;
        RwD3D8SetRenderState(d3dState, value);
    }
}

// ZENABLE is on while either z test or z write is.
void SetZ(RwBool *flag, RwBool on, RwUInt32 d3dState, RwUInt32 onValue, RwUInt32 offValue, RwBool other)
{
    if (*flag == on) {
        return;
    }
    *flag = on;
    RwD3D8SetRenderState(d3dState, on ? onValue : offValue);
    if (!other) {
        RwD3D8SetRenderState(D3DRS_ZENABLE, on ? 1u : 0u);
    }
}

}  // namespace

RwBool RwD3D8SetStageRaster(RwRaster *raster, RwUInt32 stage)
{
    RwD3D8RenderStateCache &c = StateCache();
    if (stage >= rwD3D8StageCount) {
        return FALSE;
    }
    const RwBool rasterAlpha = RasterHasAlpha(raster);
    if (stage == 0 && rasterAlpha != c.textureAlpha) {
        c.textureAlpha = rasterAlpha;
        if (!c.vertexAlpha) {
            SetAlphaBlending(rasterAlpha);
        }
    }
    RwD3D8StageState &record = c.stages[stage];
    if (record.raster == raster) {
        return TRUE;
    }
    IDirect3DDevice8 *device = rwD3D8Device.device;
    if (!RasterHasTexture(raster)) {
        device->SetTexture(stage, nullptr);
        UntexturedStageOps(stage);
    } else {
        device->SetTexture(stage, RwD3D8RasterGetBaseTexture(raster));
        const RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
        if (ext->palette != nullptr) {
            device->SetCurrentTexturePalette(ext->palette->globalindex);
        }
        TexturedStageOps(stage, rasterAlpha);
    }
    record.raster = raster;
    return TRUE;
}

RwRaster *RwD3D8GetStageRaster(RwUInt32 stage)
{
    return stage < rwD3D8StageCount ? StateCache().stages[stage].raster : nullptr;
}

RwBool RwD3D8UnbindRaster(const RwRaster *raster)
{
    RwBool atStageZero = FALSE;
    if (raster == nullptr) {
        return FALSE;
    }
    for (RwUInt32 stage = 0; stage < rwD3D8StageCount; ++stage) {
        if (StateCache().stages[stage].raster == raster) {
            atStageZero = atStageZero || stage == 0;
            RwD3D8SetStageRaster(nullptr, stage);
        }
    }
    return atStageZero;
}

RwBool RwD3D8SetTexture(RwTexture *texture, RwUInt32 stage)
{
    if (stage >= rwD3D8StageCount) {
        return FALSE;
    }
    if (texture == nullptr) {
        RwD3D8SetStageRaster(nullptr, stage);
        DropAnisotropy(stage, TRUE);
        return TRUE;
    }
    RwD3D8SetStageRaster(texture->raster, stage);
    RwD3D8StageState &record = StateCache().stages[stage];
    const RwUInt32 word = texture->filterAddressing;
    SetStageAddressU(stage, (word >> 8) & 0xF);
    SetStageAddressV(stage, (word >> 12) & 0xF);
    const RwUInt32 filter = word & 0xFF;
    if (record.filterMode != filter) {
        record.filterMode = filter;
        RwD3D8SendStageFilter(stage, filter);
    }
    return TRUE;
}

RwBool RwD3D8SetVertexAlpha(RwBool on)
{
    RwD3D8RenderStateCache &c = StateCache();
    on = on ? TRUE : FALSE;
    if (c.vertexAlpha == on) {
        return TRUE;
    }
    c.vertexAlpha = on;
    if (on) {
        if (!c.textureAlpha) {
            SetAlphaBlending(TRUE);
            SetStageOp(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
        } else {
            SetStageOp(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
            SetStageOp(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        }
        SetStageOp(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    } else if (c.textureAlpha) {
        SetStageOp(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        SetStageOp(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    } else {
        SetAlphaBlending(FALSE);
        SetStageOp(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    }
    return TRUE;
}

RwBool RwD3D8GetVertexAlpha(void) { return StateCache().vertexAlpha; }

RwBool RwD3D8SetSrcBlend(RwUInt32 mode)
{
    SetMapped(&StateCache().srcBlend, mode, D3DRS_SRCBLEND);
    return TRUE;
}

RwBool RwD3D8SetDestBlend(RwUInt32 mode)
{
    SetMapped(&StateCache().destBlend, mode, D3DRS_DESTBLEND);
    return TRUE;
}

RwBool RwD3D8SetEngineRenderState(RwInt32 state, void *value)
{
    RwD3D8RenderStateCache &c = StateCache();
    const RwUInt32 v = Value(value);
    switch (state) {
    case rwRENDERSTATETEXTURERASTER: return RwD3D8SetStageRaster(static_cast<RwRaster *>(value), 0);
    case rwRENDERSTATETEXTUREADDRESS:
        SetStageAddressU(0, v);
        SetStageAddressV(0, v);
        return TRUE;
    case rwRENDERSTATETEXTUREADDRESSU: SetStageAddressU(0, v); return TRUE;
    case rwRENDERSTATETEXTUREADDRESSV: SetStageAddressV(0, v); return TRUE;
    case rwRENDERSTATETEXTUREPERSPECTIVE: return v != 0;
    case rwRENDERSTATEZTESTENABLE:
        SetZ(&c.zTest, v != 0, D3DRS_ZFUNC, D3DCMP_LESSEQUAL, D3DCMP_ALWAYS, c.zWrite);
        return TRUE;
    case rwRENDERSTATESHADEMODE: SetMapped(&c.shadeMode, v, D3DRS_SHADEMODE); return TRUE;
    case rwRENDERSTATEZWRITEENABLE: SetZ(&c.zWrite, v != 0, D3DRS_ZWRITEENABLE, 1, 0, c.zTest); return TRUE;
    case rwRENDERSTATETEXTUREFILTER: {
        RwD3D8StageState &record = c.stages[0];
        const RwBool forced = record.maxAnisotropy > 1;
        DropAnisotropy(0, FALSE);
        if (forced || record.filterMode != v) {
            record.filterMode = v;
            RwD3D8SendStageFilter(0, v);
        }
        return TRUE;
    }
    case rwRENDERSTATESRCBLEND: return RwD3D8SetSrcBlend(v);
    case rwRENDERSTATEDESTBLEND: return RwD3D8SetDestBlend(v);
    case rwRENDERSTATEVERTEXALPHAENABLE: return RwD3D8SetVertexAlpha(v != 0);
    case rwRENDERSTATEBORDERCOLOR:
        if (c.stages[0].borderColor != v) {
            c.stages[0].borderColor = v;
            RwD3D8SetTextureStageState(0, D3DTSS_BORDERCOLOR, v);
        }
        return TRUE;
    case rwRENDERSTATEFOGENABLE: {
        const RwBool canFog =
            (rwD3D8Device.caps.RasterCaps & (D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_FOGTABLE)) != 0;
        const RwBool on = v != 0 && canFog;
        if (c.fogEnable != on) {
            c.fogEnable = on;
            RwD3D8SetRenderState(D3DRS_FOGENABLE, on ? 1u : 0u);
        }
        return TRUE;
    }
    case rwRENDERSTATEFOGCOLOR: SetMapped(&c.fogColor, v, D3DRS_FOGCOLOR); return TRUE;
    case rwRENDERSTATEFOGTYPE: SetFogType(v); return TRUE;
    case rwRENDERSTATEFOGDENSITY: {
        if (value == nullptr) {
            return FALSE;
        }
        const RwReal density = *static_cast<const RwReal *>(value);
        if (c.fogDensity != density) {
            c.fogDensity = density;
            RwUInt32 bits;
            std::memcpy(&bits, &density, 4);
            RwD3D8SetRenderState(D3DRS_FOGDENSITY, bits);
        }
        return TRUE;
    }
    case rwRENDERSTATECULLMODE: SetMapped(&c.cullMode, v, D3DRS_CULLMODE); return TRUE;
    case rwRENDERSTATESTENCILENABLE: SetMapped(&c.stencilEnable, v, D3DRS_STENCILENABLE); return TRUE;
    case rwRENDERSTATESTENCILFAIL: SetMapped(&c.stencilFail, v, D3DRS_STENCILFAIL); return TRUE;
    case rwRENDERSTATESTENCILZFAIL: SetMapped(&c.stencilZFail, v, D3DRS_STENCILZFAIL); return TRUE;
    case rwRENDERSTATESTENCILPASS: SetMapped(&c.stencilPass, v, D3DRS_STENCILPASS); return TRUE;
    case rwRENDERSTATESTENCILFUNCTION: SetMapped(&c.stencilFunction, v, D3DRS_STENCILFUNC); return TRUE;
    case rwRENDERSTATESTENCILFUNCTIONREF: SetMapped(&c.stencilRef, v, D3DRS_STENCILREF); return TRUE;
    case rwRENDERSTATESTENCILFUNCTIONMASK: SetMapped(&c.stencilMask, v, D3DRS_STENCILMASK); return TRUE;
    case rwRENDERSTATESTENCILFUNCTIONWRITEMASK:
        SetMapped(&c.stencilWriteMask, v, D3DRS_STENCILWRITEMASK);
        return TRUE;
    default: return FALSE;
    }
}

RwBool RwD3D8GetEngineRenderState(RwInt32 state, void *value)
{
    const RwD3D8RenderStateCache &c = StateCache();
    auto *out = static_cast<RwUInt32 *>(value);
    switch (state) {
    case rwRENDERSTATETEXTURERASTER: *static_cast<RwRaster **>(value) = c.stages[0].raster; return TRUE;
    case rwRENDERSTATETEXTUREADDRESS:
        if (c.stages[0].addressU != c.stages[0].addressV) {
            return FALSE;
        }
        *out = c.stages[0].addressU;
        return TRUE;
    case rwRENDERSTATETEXTUREADDRESSU: *out = c.stages[0].addressU; return TRUE;
    case rwRENDERSTATETEXTUREADDRESSV: *out = c.stages[0].addressV; return TRUE;
    case rwRENDERSTATEZTESTENABLE: *out = c.zTest ? 1u : 0u; return TRUE;
    case rwRENDERSTATESHADEMODE: *out = c.shadeMode; return TRUE;
    case rwRENDERSTATEZWRITEENABLE: *out = c.zWrite ? 1u : 0u; return TRUE;
    case rwRENDERSTATETEXTUREFILTER: *out = c.stages[0].filterMode; return TRUE;
    case rwRENDERSTATESRCBLEND: *out = c.srcBlend; return TRUE;
    case rwRENDERSTATEDESTBLEND: *out = c.destBlend; return TRUE;
    case rwRENDERSTATEVERTEXALPHAENABLE: *out = c.vertexAlpha ? 1u : 0u; return TRUE;
    case rwRENDERSTATEBORDERCOLOR: *out = c.stages[0].borderColor; return TRUE;
    case rwRENDERSTATEFOGENABLE: *out = c.fogEnable ? 1u : 0u; return TRUE;
    case rwRENDERSTATEFOGCOLOR: *out = c.fogColor; return TRUE;
    case rwRENDERSTATEFOGTYPE: *out = c.fogType; return TRUE;
    case rwRENDERSTATEFOGDENSITY: std::memcpy(out, &c.fogDensity, 4); return TRUE;
    case rwRENDERSTATECULLMODE: *out = c.cullMode; return TRUE;
    case rwRENDERSTATESTENCILENABLE: *out = c.stencilEnable; return TRUE;
    case rwRENDERSTATESTENCILFAIL: *out = c.stencilFail; return TRUE;
    case rwRENDERSTATESTENCILZFAIL: *out = c.stencilZFail; return TRUE;
    case rwRENDERSTATESTENCILPASS: *out = c.stencilPass; return TRUE;
    case rwRENDERSTATESTENCILFUNCTION: *out = c.stencilFunction; return TRUE;
    case rwRENDERSTATESTENCILFUNCTIONREF: *out = c.stencilRef; return TRUE;
    case rwRENDERSTATESTENCILFUNCTIONMASK: *out = c.stencilMask; return TRUE;
    case rwRENDERSTATESTENCILFUNCTIONWRITEMASK: *out = c.stencilWriteMask; return TRUE;
    default: return FALSE;
    }
}
