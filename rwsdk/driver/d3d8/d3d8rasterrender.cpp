// Drawing rasters into the context raster and clearing it: surface copies
// between rasters of one format, textured quads into camera rasters with the
// render states saved around them, and clears of every raster type.
#include <cstring>

#include "driver/d3d8/d3d8raster.h"

namespace {

struct RasterRect {
    RwInt32 x;
    RwInt32 y;
    RwInt32 w;
    RwInt32 h;
};

RwInt32 TypeOf(const RwRaster *raster) { return raster->cType & rwRASTERTYPEMASK; }

void ReportUnsupported(void) { RwErrorReport(rwID_CORE, E_RW_DEVICEERROR); }

template <typename T>
void ReleaseIf(T *object)
{
    if (object != nullptr) {
        object->Release();
    }
}

// The surface a copy reads or writes for a raster (a reference).
IDirect3DSurface8 *CopySurface(RwRaster *raster)
{
    RwRaster *top = RwD3D8RasterGetTop(raster);
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(top);
    if (TypeOf(top) == rwRASTERTYPECAMERA) {
        if (ext->swapChain != nullptr && ext->texture != nullptr) {
            RwD3D8RasterExtSurface(ext)->AddRef();
            return RwD3D8RasterExtSurface(ext);
        }
        IDirect3DSurface8 *target = nullptr;
        return SUCCEEDED(rwD3D8Device.device->GetRenderTarget(&target)) ? target : nullptr;
    }
    return RwD3D8RasterGetLevelSurface(top, 0);
}

// Level 0 of a camera texture made the render target when it can be one;
// `previous` and `previousDepth` hold what to set back. False: not switched.
struct TargetSwitch {
    IDirect3DSurface8 *surface = nullptr;
    IDirect3DSurface8 *previous = nullptr;
    IDirect3DSurface8 *previousDepth = nullptr;
    RwBool switched = FALSE;
};

void SwitchToCameraTexture(RwRaster *raster, TargetSwitch *target)
{
    IDirect3DDevice8 *device = rwD3D8Device.device;
    target->surface = RwD3D8RasterGetLevelSurface(RwD3D8RasterGetTop(raster), 0);
    D3DSURFACE_DESC desc;
    if (target->surface == nullptr || FAILED(target->surface->GetDesc(&desc)) ||
        !(desc.Usage & D3DUSAGE_RENDERTARGET)) {
        return;
    }
    device->GetRenderTarget(&target->previous);
    device->GetDepthStencilSurface(&target->previousDepth);
    if (target->previous == target->surface) {
        return;
    }
    target->switched = SUCCEEDED(device->SetRenderTarget(target->surface, nullptr));
}

// Sets the previous target back, or copies what landed in the back buffer
// into the texture when the switch was not made.
RwBool FinishCameraTexture(RwRaster *raster, TargetSwitch *target)
{
    IDirect3DDevice8 *device = rwD3D8Device.device;
    RwBool ok = TRUE;
    if (target->switched) {
        ok = SUCCEEDED(device->SetRenderTarget(target->previous, target->previousDepth));
    } else if (target->surface != nullptr && target->previous != target->surface) {
        IDirect3DSurface8 *backBuffer = nullptr;
        if (SUCCEEDED(device->GetRenderTarget(&backBuffer))) {
            const RECT rect = {raster->nOffsetX, raster->nOffsetY, raster->nOffsetX + raster->width,
                               raster->nOffsetY + raster->height};
            const POINT at = {raster->nOffsetX, raster->nOffsetY};
            ok = SUCCEEDED(device->CopyRects(backBuffer, &rect, 1, target->surface, &at));
            backBuffer->Release();
        }
    }
    ReleaseIf(target->surface);
    ReleaseIf(target->previous);
    ReleaseIf(target->previousDepth);
    return ok;
}

// Engine render states the quad changes, saved and put back around it.
constexpr RwRenderState kSavedStates[] = {rwRENDERSTATESRCBLEND,          rwRENDERSTATEDESTBLEND,
                                          rwRENDERSTATEVERTEXALPHAENABLE, rwRENDERSTATEFOGENABLE,
                                          rwRENDERSTATETEXTUREFILTER,     rwRENDERSTATETEXTUREADDRESSU,
                                          rwRENDERSTATETEXTUREADDRESSV,   rwRENDERSTATETEXTURERASTER};

void SetState(RwRenderState state, RwInt64 value) { RwSetRenderState(state, RwRenderStateValue(value)); }

RwBool DrawQuad(RwRaster *destination, RwRaster *source, const RasterRect &area, RwBool scaled, RwBool blend)
{
    IDirect3DDevice8 *device = rwD3D8Device.device;
    TargetSwitch target;
    if (TypeOf(destination) == rwRASTERTYPECAMERATEXTURE) {
        SwitchToCameraTexture(destination, &target);
    }
    const D3DVIEWPORT8 viewport = {static_cast<DWORD>(destination->nOffsetX), static_cast<DWORD>(destination->nOffsetY),
                                   static_cast<DWORD>(destination->width), static_cast<DWORD>(destination->height),
                                   0.0f, 1.0f};
    device->SetViewport(&viewport);
    RwBool drawn = FALSE;
    if (RwD3D8BeginScene()) {
        RwRaster *top = RwD3D8RasterGetTop(source);
        const RwReal u0 = static_cast<RwReal>(source->nOffsetX) / static_cast<RwReal>(top->width);
        const RwReal v0 = static_cast<RwReal>(source->nOffsetY) / static_cast<RwReal>(top->height);
        const RwReal u1 = static_cast<RwReal>(source->nOffsetX + source->width) / static_cast<RwReal>(top->width);
        const RwReal v1 = static_cast<RwReal>(source->nOffsetY + source->height) / static_cast<RwReal>(top->height);
        const RwReal left = static_cast<RwReal>(area.x);
        const RwReal topEdge = static_cast<RwReal>(area.y);
        const RwReal right = static_cast<RwReal>(area.x + area.w);
        const RwReal bottom = static_cast<RwReal>(area.y + area.h);
        RwIm2DVertex strip[4] = {
            {left, topEdge, 0.0f, 1.0f, 0xFFFFFFFFu, u0, v0},
            {left, bottom, 0.0f, 1.0f, 0xFFFFFFFFu, u0, v1},
            {right, topEdge, 0.0f, 1.0f, 0xFFFFFFFFu, u1, v0},
            {right, bottom, 0.0f, 1.0f, 0xFFFFFFFFu, u1, v1},
        };
        RwInt64 saved[sizeof kSavedStates / sizeof kSavedStates[0]] = {};
        for (size_t i = 0; i < sizeof kSavedStates / sizeof kSavedStates[0]; ++i) {
            RwGetRenderState(kSavedStates[i], &saved[i]);
        }
        RwUInt32 zEnable = 0;
        RwUInt32 cullMode = 0;
        RwD3D8GetRenderState(D3DRS_ZENABLE, &zEnable);
        RwD3D8GetRenderState(D3DRS_CULLMODE, &cullMode);

        RwSetRenderState(rwRENDERSTATETEXTURERASTER, source);
        RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        if (blend && RwD3D8RasterGetExt(top)->alpha) {
            SetState(rwRENDERSTATEVERTEXALPHAENABLE, TRUE);
            SetState(rwRENDERSTATESRCBLEND, 5);
            SetState(rwRENDERSTATEDESTBLEND, 6);
        } else {
            SetState(rwRENDERSTATEVERTEXALPHAENABLE, FALSE);
        }
        SetState(rwRENDERSTATEFOGENABLE, FALSE);
        SetState(rwRENDERSTATETEXTUREFILTER, scaled ? 2 : 1);
        SetState(rwRENDERSTATETEXTUREADDRESS, 3);
        RwD3D8SetRenderState(D3DRS_ZENABLE, FALSE);
        RwD3D8SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

        drawn = RwIm2DDrawPrimitive(rwPRIMTYPETRISTRIP, strip, 4);

        for (size_t i = 0; i < sizeof kSavedStates / sizeof kSavedStates[0]; ++i) {
            RwSetRenderState(kSavedStates[i], reinterpret_cast<void *>(static_cast<intptr_t>(saved[i])));
        }
        RwD3D8SetRenderState(D3DRS_ZENABLE, zEnable);
        RwD3D8SetRenderState(D3DRS_CULLMODE, cullMode);
    }
    const RwBool finished = TypeOf(destination) != rwRASTERTYPECAMERATEXTURE || FinishCameraTexture(destination, &target);
    return drawn && finished;
}

// Slots 17-19. The position or rectangle arrives through the out pointer:
// the integer argument cannot carry a pointer on this build.
RwBool Render(const void *where, RwRaster *source, RwBool scaled, RwBool blend)
{
    RwRaster *destination = RwD3D8GetRasterContext();
    if (where == nullptr || destination == nullptr || rwD3D8Device.device == nullptr) {
        ReportUnsupported();
        return FALSE;
    }
    const auto *values = static_cast<const RwInt32 *>(where);
    RasterRect area = {values[0], values[1], source->width, source->height};
    if (scaled) {
        area.w = values[2];
        area.h = values[3];
    }
    const RwInt32 sourceType = TypeOf(source);
    switch (TypeOf(destination)) {
    case rwRASTERTYPENORMAL:
    case rwRASTERTYPETEXTURE:
        if (sourceType != rwRASTERTYPEZBUFFER && !scaled && RwD3D8RasterCopyRects(source, values)) {
            return TRUE;
        }
        break;
    case rwRASTERTYPECAMERA:
    case rwRASTERTYPECAMERATEXTURE:
        if (sourceType == rwRASTERTYPECAMERA) {
            if (!scaled && RwD3D8RasterCopyRects(source, values)) {
                return TRUE;
            }
            break;
        }
        if (sourceType != rwRASTERTYPEZBUFFER) {
            return DrawQuad(destination, source, area, scaled, blend);
        }
        break;
    default:
        break;
    }
    ReportUnsupported();
    return FALSE;
}

// The palette index nearest to a colour by squared distance over the four
// channels; an exact match ends the search.
RwUInt8 NearestPaletteIndex(const PALETTEENTRY *entries, const RwRGBA &colour)
{
    RwUInt32 best = 0xFFFFFFFFu;
    RwUInt8 index = 0;
    for (RwInt32 i = 0; i < 256; ++i) {
        const RwInt32 dr = entries[i].peRed - colour.red;
        const RwInt32 dg = entries[i].peGreen - colour.green;
        const RwInt32 db = entries[i].peBlue - colour.blue;
        const RwInt32 da = entries[i].peFlags - colour.alpha;
        const RwUInt32 distance = static_cast<RwUInt32>(dr * dr + dg * dg + db * db + da * da);
        if (distance < best) {
            best = distance;
            index = static_cast<RwUInt8>(i);
            if (distance == 0) {
                break;
            }
        }
    }
    return index;
}

RwBool ClearPixels(RwRaster *raster, const RasterRect &rect, RwUInt32 value)
{
    RwUInt8 *pixels = nullptr;
    if (!RwD3D8RasterLock(&pixels, raster, rwRASTERLOCKWRITE)) {
        return FALSE;
    }
    const RwInt32 x0 = rect.x < 0 ? 0 : rect.x;
    const RwInt32 y0 = rect.y < 0 ? 0 : rect.y;
    const RwInt32 x1 = rect.x + rect.w > raster->width ? raster->width : rect.x + rect.w;
    const RwInt32 y1 = rect.y + rect.h > raster->height ? raster->height : rect.y + rect.h;
    RwInt32 bytes;
    RwUInt32 stored = value;
    switch (raster->depth) {
    case 32:
        bytes = 4;
        break;
    case 16:
        bytes = 2;
        break;
    case 8: {
        bytes = 1;
        const RwD3D8Palette *palette = RwD3D8RasterGetExt(RwD3D8RasterGetTop(raster))->palette;
        RwRGBA colour;
        std::memcpy(&colour, &value, sizeof colour);
        stored = palette != nullptr ? NearestPaletteIndex(palette->entries, colour) : colour.red;
        break;
    }
    default:
        RwD3D8RasterUnlock(nullptr, raster, 0);
        RwErrorReportCommon(E_RW_INVRASTERFORMAT);
        return FALSE;
    }
    for (RwInt32 y = y0; y < y1; ++y) {
        RwUInt8 *row = pixels + static_cast<size_t>(y) * raster->stride;
        for (RwInt32 x = x0; x < x1; ++x) {
            std::memcpy(row + x * bytes, &stored, bytes);
        }
    }
    return RwD3D8RasterUnlock(nullptr, raster, 0);
}

// The clear colour of a camera raster: 32-bit rasters take the value as it
// is; others have it unpacked from their format and packed as 8888.
D3DCOLOR CameraClearColour(const RwRaster *raster, RwUInt32 value)
{
    if (raster->depth == 32) {
        return value;
    }
    RwRGBA colour;
    if (!RwD3D8PixelToRGB(&colour, &value, static_cast<RwInt32>(raster->cFormat) << 8)) {
        return value;
    }
    return D3DCOLOR_ARGB(colour.alpha, colour.red, colour.green, colour.blue);
}

RwBool ClearDepth(RwRaster *raster, const D3DRECT &rect)
{
    IDirect3DDevice8 *device = rwD3D8Device.device;
    IDirect3DSurface8 *surface = RwD3D8RasterExtSurface(RwD3D8RasterGetExt(RwD3D8RasterGetTop(raster)));
    IDirect3DSurface8 *target = nullptr;
    IDirect3DSurface8 *depth = nullptr;
    device->GetRenderTarget(&target);
    device->GetDepthStencilSurface(&depth);
    const RwBool swap = surface != nullptr && surface != depth;
    if (swap) {
        device->SetRenderTarget(target, surface);
    }
    const RwBool ok = SUCCEEDED(device->Clear(1, &rect, D3DCLEAR_ZBUFFER, 0, 1.0f, 0));
    if (swap) {
        device->SetRenderTarget(target, depth);
    }
    ReleaseIf(target);
    ReleaseIf(depth);
    return ok;
}

}  // namespace

RwBool RwD3D8RasterCopyRects(RwRaster *source, const RwInt32 *position)
{
    RwRaster *destination = RwD3D8GetRasterContext();
    if (destination == nullptr || source->cFormat != destination->cFormat) {
        return FALSE;
    }
    IDirect3DSurface8 *from = CopySurface(source);
    IDirect3DSurface8 *to = CopySurface(destination);
    RwBool ok = FALSE;
    if (from != nullptr && to != nullptr) {
        const RECT rect = {source->nOffsetX, source->nOffsetY, source->nOffsetX + source->width,
                           source->nOffsetY + source->height};
        const POINT at = {destination->nOffsetX + position[0], destination->nOffsetY + position[1]};
        ok = SUCCEEDED(rwD3D8Device.device->CopyRects(from, &rect, 1, to, &at));
    }
    ReleaseIf(from);
    ReleaseIf(to);
    return ok;
}

RwBool RwD3D8RasterRender(void *where, void *source, RwInt32)
{
    return Render(where, static_cast<RwRaster *>(source), FALSE, TRUE);
}

RwBool RwD3D8RasterRenderScaled(void *where, void *source, RwInt32)
{
    return Render(where, static_cast<RwRaster *>(source), TRUE, TRUE);
}

RwBool RwD3D8RasterRenderFast(void *where, void *source, RwInt32)
{
    return Render(where, static_cast<RwRaster *>(source), FALSE, FALSE);
}

RwBool RwD3D8RasterClearRect(void *, void *in, RwInt32 pixelValue)
{
    RwRaster *raster = RwD3D8GetRasterContext();
    if (raster == nullptr || in == nullptr) {
        return FALSE;
    }
    const auto *values = static_cast<const RwInt32 *>(in);
    const RasterRect rect = {values[0], values[1], values[2], values[3]};
    const RwUInt32 value = static_cast<RwUInt32>(pixelValue);
    const D3DRECT deviceRect = {raster->nOffsetX + rect.x, raster->nOffsetY + rect.y,
                                raster->nOffsetX + rect.x + rect.w, raster->nOffsetY + rect.y + rect.h};
    IDirect3DDevice8 *device = rwD3D8Device.device;
    switch (TypeOf(raster)) {
    case rwRASTERTYPENORMAL:
    case rwRASTERTYPETEXTURE:
        return ClearPixels(raster, rect, value);
    case rwRASTERTYPEZBUFFER:
        return device != nullptr && ClearDepth(raster, deviceRect);
    case rwRASTERTYPECAMERA:
        return device != nullptr &&
               SUCCEEDED(device->Clear(1, &deviceRect, D3DCLEAR_TARGET, CameraClearColour(raster, value), 1.0f, 0));
    case rwRASTERTYPECAMERATEXTURE: {
        if (device == nullptr) {
            return FALSE;
        }
        TargetSwitch target;
        SwitchToCameraTexture(raster, &target);
        const RwBool cleared =
            SUCCEEDED(device->Clear(1, &deviceRect, D3DCLEAR_TARGET, CameraClearColour(raster, value), 1.0f, 0));
        return FinishCameraTexture(raster, &target) && cleared;
    }
    default:
        RwErrorReportCommon(E_RW_INVRASTERFORMAT);
        return FALSE;
    }
}

RwBool RwD3D8RasterClear(void *out, void *, RwInt32 pixelValue)
{
    RwRaster *raster = RwD3D8GetRasterContext();
    if (raster == nullptr) {
        return FALSE;
    }
    RwInt32 rect[4] = {0, 0, raster->width, raster->height};
    return RwD3D8RasterClearRect(out, rect, pixelValue);
}
