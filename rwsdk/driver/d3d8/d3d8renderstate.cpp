// The render-state cache: setters only record the wanted value and queue the
// state once; the flush before each draw sends just the queued states whose
// value differs from what the device last received. Opened with the driver's
// defaults at device start and rebuilt from the engine-level values after a
// device reset, when the device has forgotten everything.
#include <cstring>

#include "driver/d3d8/d3d8renderstate.h"
#include "rwcore.h"

RwD3D8RenderStateCache rwD3D8RenderStates;

namespace {

constexpr RwUInt32 rwD3D8Unknown = 0xFFFFFFFFu;

RwD3D8RenderStateCache &Cache() { return rwD3D8RenderStates; }

// Everything unknown and nothing queued. States for which -1 is a real
// value start at 0 so that setting them to -1 is sent.
void ForgetDeviceValues()
{
    RwD3D8RenderStateCache &c = Cache();
    for (RwUInt32 state = 0; state < rwD3D8RenderStateCount; ++state) {
        c.sent[state] = rwD3D8Unknown;
    }
    c.sent[D3DRS_FOGCOLOR] = 0;
    c.sent[D3DRS_AMBIENT] = 0;
    c.sent[D3DRS_STENCILMASK] = 0;
    c.sent[D3DRS_STENCILWRITEMASK] = 0;
    std::memcpy(c.wanted, c.sent, sizeof(c.wanted));
    std::memset(c.queued, 0, sizeof(c.queued));
    c.queueCount = 0;
    for (RwUInt32 stage = 0; stage < rwD3D8StageCount; ++stage) {
        for (RwUInt32 type = 0; type < rwD3D8StageStateCount; ++type) {
            c.stageSent[stage][type] = rwD3D8Unknown;
            c.stageWanted[stage][type] = rwD3D8Unknown;
        }
    }
    std::memset(c.stageQueued, 0, sizeof(c.stageQueued));
    c.stageQueueCount = 0;
}

RwBool TableFog()
{
    const DWORD caps = rwD3D8Device.caps.RasterCaps;
    return (caps & D3DPRASTERCAPS_FOGTABLE) != 0 && (caps & D3DPRASTERCAPS_WFOG) != 0;
}

// The device defaults of every stage, and the stage records to match.
void ResetStages(RwBool fromEngineValues)
{
    RwD3D8RenderStateCache &c = Cache();
    const RwUInt32 defaultFilter = (rwD3D8Device.caps.TextureFilterCaps & 0x200u) != 0 ? 2u : 1u;
    for (RwUInt32 stage = 0; stage < rwD3D8StageCount; ++stage) {
        RwD3D8StageState &record = c.stages[stage];
        rwD3D8Device.device->SetTexture(stage, nullptr);
        record.raster = nullptr;
        if (!fromEngineValues) {
            record.filterMode = defaultFilter;
            record.addressU = D3DTADDRESS_WRAP;
            record.addressV = D3DTADDRESS_WRAP;
            record.borderColor = 0xFF000000u;
        }
        RwD3D8SendStageFilter(stage, record.filterMode);
        RwD3D8SetTextureStageState(stage, D3DTSS_ADDRESSU, record.addressU);
        RwD3D8SetTextureStageState(stage, D3DTSS_ADDRESSV, record.addressV);
        RwD3D8SetTextureStageState(stage, D3DTSS_BORDERCOLOR, record.borderColor);
        RwD3D8SetTextureStageState(stage, D3DTSS_MAXANISOTROPY, 1);
        record.maxAnisotropy = 1;
        if (stage > 0) {
            RwD3D8SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_DISABLE);
            RwD3D8SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        }
    }
}

// The states open and restore send alike.
void SendFixedDefaults()
{
    RwD3D8SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
    RwD3D8SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
    RwD3D8SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
    RwD3D8SetRenderState(D3DRS_DITHERENABLE, (rwD3D8Device.caps.RasterCaps & D3DPRASTERCAPS_DITHER) != 0 ? 1u : 0u);
    RwD3D8SetRenderState(D3DRS_SPECULARENABLE, 0);
    RwD3D8SetRenderState(D3DRS_LOCALVIEWER, 0);
    RwD3D8SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFFu);
    RwD3D8SetRenderState(D3DRS_NORMALIZENORMALS, 0);
}

void SendStageZeroOps(RwBool vertexAlpha)
{
    RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, vertexAlpha ? D3DTOP_SELECTARG2 : D3DTOP_DISABLE);
    RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
}

}  // namespace

RwUInt32 RwD3D8FilterMinMag(RwUInt32 filterMode)
{
    static const RwUInt32 table[7] = {D3DTEXF_NONE, D3DTEXF_POINT, D3DTEXF_LINEAR, D3DTEXF_POINT,
                                      D3DTEXF_LINEAR, D3DTEXF_POINT, D3DTEXF_LINEAR};
    return filterMode < 7 ? table[filterMode] : static_cast<RwUInt32>(D3DTEXF_NONE);
}

RwUInt32 RwD3D8FilterMip(RwUInt32 filterMode)
{
    static const RwUInt32 table[7] = {D3DTEXF_NONE, D3DTEXF_NONE, D3DTEXF_NONE, D3DTEXF_POINT,
                                      D3DTEXF_POINT, D3DTEXF_LINEAR, D3DTEXF_LINEAR};
    return filterMode < 7 ? table[filterMode] : static_cast<RwUInt32>(D3DTEXF_NONE);
}

void RwD3D8SendStageFilter(RwUInt32 stage, RwUInt32 filterMode)
{
    RwD3D8SetTextureStageState(stage, D3DTSS_MINFILTER, RwD3D8FilterMinMag(filterMode));
    RwD3D8SetTextureStageState(stage, D3DTSS_MAGFILTER, RwD3D8FilterMinMag(filterMode));
    RwD3D8SetTextureStageState(stage, D3DTSS_MIPFILTER, RwD3D8FilterMip(filterMode));
}

void RwD3D8SendFogMode(RwUInt32 fogType)
{
    static const RwUInt32 table[4] = {D3DFOG_NONE, D3DFOG_LINEAR, D3DFOG_EXP, D3DFOG_EXP2};
    const RwUInt32 mode = fogType < 4 ? table[fogType] : static_cast<RwUInt32>(D3DFOG_NONE);
    if (TableFog()) {
        RwD3D8SetRenderState(D3DRS_FOGTABLEMODE, mode);
        RwD3D8SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_NONE);
    } else {
        RwD3D8SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
        RwD3D8SetRenderState(D3DRS_FOGVERTEXMODE, mode);
    }
}

RwBool RwD3D8SetRenderState(RwUInt32 state, RwUInt32 value)
{
    RwD3D8RenderStateCache &c = Cache();
    if (state >= rwD3D8RenderStateCount) {
        return FALSE;
    }
    if (c.wanted[state] != value) {
        c.wanted[state] = value;
        if (!c.queued[state]) {
            c.queued[state] = 1;
            c.queue[c.queueCount++] = state;
        }
    }
    return TRUE;
}

void RwD3D8GetRenderState(RwUInt32 state, RwUInt32 *value)
{
    *value = state < rwD3D8RenderStateCount ? Cache().wanted[state] : 0;
}

RwBool RwD3D8SetTextureStageState(RwUInt32 stage, RwUInt32 type, RwUInt32 value)
{
    RwD3D8RenderStateCache &c = Cache();
    if (stage >= rwD3D8StageCount || type >= rwD3D8StageStateCount) {
        return FALSE;
    }
    if (c.stageWanted[stage][type] != value) {
        c.stageWanted[stage][type] = value;
        if (!c.stageQueued[stage][type]) {
            c.stageQueued[stage][type] = 1;
            c.stageQueue[c.stageQueueCount++] = stage * rwD3D8StageStateCount + type;
        }
    }
    return TRUE;
}

void RwD3D8GetTextureStageState(RwUInt32 stage, RwUInt32 type, RwUInt32 *value)
{
    *value = stage < rwD3D8StageCount && type < rwD3D8StageStateCount ? Cache().stageWanted[stage][type] : 0;
}

void RwD3D8FlushRenderStates(void)
{
    RwD3D8RenderStateCache &c = Cache();
    IDirect3DDevice8 *device = rwD3D8Device.device;
    for (RwUInt32 i = 0; i < c.queueCount; ++i) {
        const RwUInt32 state = c.queue[i];
        c.queued[state] = 0;
        if (c.wanted[state] != c.sent[state]) {
            device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), c.wanted[state]);
            c.sent[state] = c.wanted[state];
        }
    }
    c.queueCount = 0;
    for (RwUInt32 i = 0; i < c.stageQueueCount; ++i) {
        const RwUInt32 stage = c.stageQueue[i] / rwD3D8StageStateCount;
        const RwUInt32 type = c.stageQueue[i] % rwD3D8StageStateCount;
        c.stageQueued[stage][type] = 0;
        if (c.stageWanted[stage][type] != c.stageSent[stage][type]) {
            device->SetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type),
                                         c.stageWanted[stage][type]);
            c.stageSent[stage][type] = c.stageWanted[stage][type];
        }
    }
    c.stageQueueCount = 0;
}

void RwD3D8RenderStateCacheOpen(void)
{
    RwD3D8RenderStateCache &c = Cache();
    ForgetDeviceValues();
    c.fogEnable = FALSE;
    c.fogType = 1;
    c.fogDensity = 1.0f;
    c.fogColor = 0;
    // Stencil starts as the device's own defaults, so that a restore after a
    // reset re-sends values that were really set.
    c.stencilEnable = 0;
    c.stencilFail = D3DSTENCILOP_KEEP;
    c.stencilZFail = D3DSTENCILOP_KEEP;
    c.stencilPass = D3DSTENCILOP_KEEP;
    c.stencilFunction = D3DCMP_ALWAYS;
    c.stencilRef = 0;
    c.stencilMask = 0xFFFFFFFFu;
    c.stencilWriteMask = 0xFFFFFFFFu;

    RwD3D8SetRenderState(D3DRS_FOGENABLE, 0);
    if (TableFog()) {
        RwD3D8SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
        RwD3D8SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_NONE);
    } else {
        RwD3D8SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
        RwD3D8SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    }
    RwD3D8SetRenderState(D3DRS_FOGCOLOR, 0);
    RwD3D8SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    c.shadeMode = 2;
    RwD3D8SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    RwD3D8SetRenderState(D3DRS_ZWRITEENABLE, 1);
    RwD3D8SetRenderState(D3DRS_ZENABLE, 1);
    c.zWrite = TRUE;
    c.zTest = TRUE;
    ResetStages(FALSE);
    RwD3D8SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RwD3D8SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    c.srcBlend = 5;
    c.destBlend = 6;
    RwD3D8SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    RwD3D8SetRenderState(D3DRS_ALPHAREF, 0);
    RwD3D8SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    RwD3D8SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    c.vertexAlpha = FALSE;
    c.textureAlpha = FALSE;
    RwD3D8SetRenderState(D3DRS_LIGHTING, 0);
    RwD3D8SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    c.cullMode = 2;
    SendStageZeroOps(FALSE);
    SendFixedDefaults();
    RwD3D8FlushRenderStates();
}

void RwD3D8RenderStateCacheRestore(void)
{
    RwD3D8RenderStateCache &c = Cache();
    const RwUInt32 fogStart = c.wanted[D3DRS_FOGSTART];
    const RwUInt32 fogEnd = c.wanted[D3DRS_FOGEND];
    ForgetDeviceValues();
    RwUInt32 densityBits;
    std::memcpy(&densityBits, &c.fogDensity, sizeof(densityBits));
    RwD3D8SetRenderState(D3DRS_FOGDENSITY, densityBits);
    RwD3D8SetRenderState(D3DRS_FOGENABLE, c.fogEnable ? 1u : 0u);
    RwD3D8SendFogMode(c.fogType);
    RwD3D8SetRenderState(D3DRS_FOGSTART, fogStart);
    RwD3D8SetRenderState(D3DRS_FOGEND, fogEnd);
    RwD3D8SetRenderState(D3DRS_FOGCOLOR, c.fogColor);
    RwD3D8SetRenderState(D3DRS_SHADEMODE, c.shadeMode);
    RwD3D8SetRenderState(D3DRS_ZWRITEENABLE, c.zWrite ? 1u : 0u);
    RwD3D8SetRenderState(D3DRS_ZFUNC, c.zTest ? D3DCMP_LESSEQUAL : D3DCMP_ALWAYS);
    RwD3D8SetRenderState(D3DRS_ZENABLE, (c.zWrite || c.zTest) ? 1u : 0u);
    RwD3D8SetRenderState(D3DRS_STENCILENABLE, c.stencilEnable);
    RwD3D8SetRenderState(D3DRS_STENCILFAIL, c.stencilFail);
    RwD3D8SetRenderState(D3DRS_STENCILZFAIL, c.stencilZFail);
    RwD3D8SetRenderState(D3DRS_STENCILPASS, c.stencilPass);
    RwD3D8SetRenderState(D3DRS_STENCILFUNC, c.stencilFunction);
    RwD3D8SetRenderState(D3DRS_STENCILREF, c.stencilRef);
    RwD3D8SetRenderState(D3DRS_STENCILMASK, c.stencilMask);
    RwD3D8SetRenderState(D3DRS_STENCILWRITEMASK, c.stencilWriteMask);
    ResetStages(TRUE);
    RwD3D8SetRenderState(D3DRS_SRCBLEND, c.srcBlend);
    RwD3D8SetRenderState(D3DRS_DESTBLEND, c.destBlend);
    RwD3D8SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    RwD3D8SetRenderState(D3DRS_ALPHAREF, 0);
    RwD3D8SetRenderState(D3DRS_ALPHABLENDENABLE, c.vertexAlpha ? 1u : 0u);
    RwD3D8SetRenderState(D3DRS_ALPHATESTENABLE, c.vertexAlpha ? 1u : 0u);
    c.textureAlpha = FALSE;
    RwD3D8SetRenderState(D3DRS_LIGHTING, 0);
    RwD3D8SetRenderState(D3DRS_CULLMODE, c.cullMode);
    SendStageZeroOps(c.vertexAlpha);
    SendFixedDefaults();
    RwD3D8FlushRenderStates();
}
