// The driver's raster extension and the driver-global raster state: the
// pixel format table, palette records and their device numbers, the list of
// rasters that live in video memory, and what the rasters read of the device.
#include "driver/d3d8/d3d8raster.h"

#include <cstring>

#include "win/winuser.h"

RwInt32 RwD3D8RasterExtOffset = -1;

namespace {

const RwD3D8PixelFormat kPixelFormats[rwD3D8PIXELFORMATCOUNT] = {
    {D3DFMT_UNKNOWN, 0, FALSE},  {D3DFMT_A1R5G5B5, 16, TRUE}, {D3DFMT_R5G6B5, 16, FALSE},
    {D3DFMT_A4R4G4B4, 16, TRUE}, {D3DFMT_L8, 8, FALSE},       {D3DFMT_A8R8G8B8, 32, TRUE},
    {D3DFMT_X8R8G8B8, 32, FALSE}, {D3DFMT_UNKNOWN, 0, FALSE}, {D3DFMT_UNKNOWN, 0, FALSE},
    {D3DFMT_UNKNOWN, 0, FALSE},  {D3DFMT_X1R5G5B5, 16, FALSE},
};
const RwD3D8PixelFormat kNoFormat = {D3DFMT_UNKNOWN, 0, FALSE};

// One node of the video-memory list.
struct VideoNode {
    RwRaster *raster;
    VideoNode *next;
};

struct RasterGlobals {
    RwFreeList *paletteFreeList;
    RwUInt16 *freePaletteNumbers;  // stack of numbers given back
    RwInt32 freePaletteCount;
    RwInt32 freePaletteCapacity;
    RwUInt32 nextPaletteNumber;
    RwFreeList *videoNodeFreeList;
    VideoNode *videoList;
};

RasterGlobals gRasters;

constexpr RwInt32 kPaletteStackGrowth = 512;

void *ExtConstructor(void *object, RwInt32 offset, RwInt32)
{
    auto *ext = reinterpret_cast<RwD3D8RasterExt *>(static_cast<RwUInt8 *>(object) + offset);
    ext->swapChain = nullptr;
    return object;
}

void *ExtDestructor(void *object, RwInt32 offset, RwInt32)
{
    auto *ext = reinterpret_cast<RwD3D8RasterExt *>(static_cast<RwUInt8 *>(object) + offset);
    if (ext->swapChain != nullptr) {
        ext->swapChain->Release();
        ext->swapChain = nullptr;
    }
    return object;
}


// The resource belongs to one raster only: a copy takes nothing over.
void *ExtCopy(void *dstObject, const void *, RwInt32, RwInt32) { return dstObject; }

// Gives a palette number back, growing the stack when it is full.
void PushPaletteNumber(RwUInt32 number)
{
    if (gRasters.freePaletteCount >= gRasters.freePaletteCapacity) {
        const RwInt32 capacity = gRasters.freePaletteCapacity + kPaletteStackGrowth;
        void *grown = gRasters.freePaletteNumbers == nullptr
                          ? RwMalloc(sizeof(RwUInt16) * capacity)
                          : RwRealloc(gRasters.freePaletteNumbers, sizeof(RwUInt16) * capacity);
        if (grown == nullptr) {
            return;  // the number is lost, never reused; palettes still work
        }
        gRasters.freePaletteNumbers = static_cast<RwUInt16 *>(grown);
        gRasters.freePaletteCapacity = capacity;
    }
    gRasters.freePaletteNumbers[gRasters.freePaletteCount++] = static_cast<RwUInt16>(number);
}

}  // namespace

const RwD3D8PixelFormat *RwD3D8PixelFormatOf(RwInt32 formatFlags)
{
    const RwInt32 index = (formatFlags & rwRASTERFORMATPIXELFORMATMASK) >> 8;
    return index < rwD3D8PIXELFORMATCOUNT ? &kPixelFormats[index] : &kNoFormat;
}

RwBool RwD3D8DeviceClientSize(RwInt32 *width, RwInt32 *height)
{
    RECT rect;
    if (rwD3D8Device.window == nullptr || !GetClientRect(rwD3D8Device.window, &rect)) {
        return FALSE;
    }
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return TRUE;
}

IDirect3DBaseTexture8 *RwD3D8RasterGetBaseTexture(const RwRaster *raster)
{
    const RwD3D8RasterExt *ext = RwD3D8RasterGetExt(RwD3D8RasterGetTop(const_cast<RwRaster *>(raster)));
    const RwInt32 type = raster->cType & rwRASTERTYPEMASK;
    if (type == rwRASTERTYPEZBUFFER || type == rwRASTERTYPECAMERA || ext->texture == nullptr) {
        return nullptr;
    }
    if (ext->cube) {
        return RwD3D8RasterExtCubeTexture(ext);
    }
    return RwD3D8RasterExtTexture(ext);
}

IDirect3DSurface8 *RwD3D8RasterGetLevelSurface(const RwRaster *topRaster, RwUInt32 level)
{
    const RwD3D8RasterExt *ext = RwD3D8RasterGetExt(topRaster);
    IDirect3DSurface8 *surface = nullptr;
    if (ext->texture == nullptr) {
        return nullptr;
    }
    HRESULT hr;
    if (ext->cube) {
        hr = RwD3D8RasterExtCubeTexture(ext)->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(ext->face), level,
                                                               &surface);
    } else {
        hr = RwD3D8RasterExtTexture(ext)->GetSurfaceLevel(level, &surface);
    }
    return FAILED(hr) ? nullptr : surface;
}

RwBool RwD3D8RasterPluginAttach(void)
{
    RwD3D8RasterExtOffset = RwRasterRegisterPlugin(static_cast<RwInt32>(sizeof(RwD3D8RasterExt)), rwID_DEVICEMODULE,
                                                   ExtConstructor, ExtDestructor, ExtCopy);
    RwD3D8DDSInstallDirectLoad();
    return RwD3D8RasterExtOffset >= 0;
}

RwBool RwD3D8RasterPluginAttachEntry(void) { return RwD3D8RasterPluginAttach(); }

RwBool RwD3D8TextureHasAlpha(const RwTexture *texture)
{
    return texture != nullptr && texture->raster != nullptr && RwD3D8RasterGetExt(texture->raster)->alpha != 0;
}

RwBool RwD3D8TextureIsPalettised(const RwTexture *texture)
{
    return texture != nullptr && texture->raster != nullptr &&
           (RwRasterGetFormat(texture->raster) & rwRASTERFORMATPAL8) != 0;
}

RwBool RwD3D8TexturePalettesClash(const RwTexture *a, const RwTexture *b)
{
    return a != b && RwD3D8TextureIsPalettised(a) && RwD3D8TextureIsPalettised(b);
}

void RwD3D8RasterClearAlpha(RwRaster *raster) { RwD3D8RasterGetExt(raster)->alpha = 0; }

RwBool RwD3D8RasterIsCubeRaster(const RwRaster *raster) { return RwD3D8RasterGetExt(raster)->cube != 0; }

RwBool RwD3D8RasterIsCompressed(const RwRaster *raster) { return RwD3D8RasterGetExt(raster)->dxtFormat != 0; }

RwBool RwD3D8RasterOpen(void)
{
    gRasters.videoNodeFreeList = RwFreeListCreate(sizeof(VideoNode), 127, 8);
    gRasters.videoList = nullptr;
    return gRasters.videoNodeFreeList != nullptr;
}

void RwD3D8RasterClose(void)
{
    while (gRasters.videoList != nullptr) {
        VideoNode *node = gRasters.videoList;
        gRasters.videoList = node->next;
        RwFreeListFree(gRasters.videoNodeFreeList, node);
    }
    if (gRasters.videoNodeFreeList != nullptr) {
        RwFreeListDestroy(gRasters.videoNodeFreeList);
        gRasters.videoNodeFreeList = nullptr;
    }
    RwFree(gRasters.freePaletteNumbers);
    gRasters.freePaletteNumbers = nullptr;
    gRasters.freePaletteCount = 0;
    gRasters.freePaletteCapacity = 0;
    gRasters.nextPaletteNumber = 0;
    if (gRasters.paletteFreeList != nullptr) {
        RwFreeListDestroy(gRasters.paletteFreeList);
        gRasters.paletteFreeList = nullptr;
    }
}

RwD3D8Palette *RwD3D8PaletteCreate(void)
{
    if (gRasters.paletteFreeList == nullptr) {
        gRasters.paletteFreeList = RwFreeListCreate(sizeof(RwD3D8Palette), 64, 4);
        if (gRasters.paletteFreeList == nullptr) {
            return nullptr;
        }
    }
    auto *palette = static_cast<RwD3D8Palette *>(RwFreeListAlloc(gRasters.paletteFreeList));
    if (palette == nullptr) {
        return nullptr;
    }
    std::memset(palette->entries, 0, sizeof palette->entries);
    if (gRasters.freePaletteCount > 0) {
        palette->globalindex = gRasters.freePaletteNumbers[--gRasters.freePaletteCount];
    } else {
        palette->globalindex = gRasters.nextPaletteNumber++;
    }
    return palette;
}

void RwD3D8PaletteDestroy(RwD3D8Palette *palette)
{
    PushPaletteNumber(palette->globalindex);
    RwFreeListFree(gRasters.paletteFreeList, palette);
}

RwBool RwD3D8RasterVideoListAdd(RwRaster *raster)
{
    if (gRasters.videoNodeFreeList == nullptr) {
        return FALSE;
    }
    auto *node = static_cast<VideoNode *>(RwFreeListAlloc(gRasters.videoNodeFreeList));
    if (node == nullptr) {
        return FALSE;
    }
    node->raster = raster;
    node->next = gRasters.videoList;
    gRasters.videoList = node;
    return TRUE;
}

void RwD3D8RasterVideoListRemove(RwRaster *raster)
{
    for (VideoNode **link = &gRasters.videoList; *link != nullptr; link = &(*link)->next) {
        if ((*link)->raster == raster) {
            VideoNode *node = *link;
            *link = node->next;
            RwFreeListFree(gRasters.videoNodeFreeList, node);
            return;
        }
    }
}

RwBool RwD3D8RasterVideoListContains(const RwRaster *raster)
{
    for (const VideoNode *node = gRasters.videoList; node != nullptr; node = node->next) {
        if (node->raster == raster) {
            return TRUE;
        }
    }
    return FALSE;
}

// Walks the top rasters of the list; `visit` returns false on a failure
// but the walk carries on.
template <typename Visit>
static RwBool ForAllVideoRasters(Visit visit)
{
    RwBool ok = TRUE;
    for (VideoNode *node = gRasters.videoList; node != nullptr; node = node->next) {
        if (node->raster->parent == node->raster && !visit(node->raster)) {
            ok = FALSE;
        }
    }
    return ok;
}

RwBool RwD3D8RasterReleaseVideoMemory(void)
{
    IDirect3DSurface8 *deviceDepth = rwD3D8Device.mainDepthStencil;
    ForAllVideoRasters([deviceDepth](RwRaster *raster) {
        RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
        switch (raster->cType & rwRASTERTYPEMASK) {
        case rwRASTERTYPEZBUFFER:
            if (ext->texture != nullptr && ext->texture != deviceDepth) {
                RwD3D8RasterExtSurface(ext)->Release();
                ext->texture = nullptr;
            }
            break;
        case rwRASTERTYPECAMERA:
            // The pointer stays as the marker that a swap chain is to be re-made.
            if (ext->swapChain != nullptr) {
                ext->swapChain->Release();
            }
            break;
        case rwRASTERTYPECAMERATEXTURE:
            if (ext->texture != nullptr) {
                static_cast<IUnknown *>(RwD3D8RasterGetBaseTexture(raster))->Release();
                ext->texture = nullptr;
            }
            break;
        default:
            break;
        }
        return TRUE;
    });
    return TRUE;
}

namespace {

RwBool RestoreSwapChain(RwRaster *raster, RwD3D8RasterExt *ext)
{
    D3DPRESENT_PARAMETERS params = rwD3D8Device.present;
    RECT rect = {0, 0, 0, 0};
    GetClientRect(ext->window, &rect);
    params.BackBufferWidth = rect.right - rect.left > 0 ? 0 : 1;
    params.BackBufferHeight = rect.bottom - rect.top > 0 ? 0 : 1;
    params.hDeviceWindow = ext->window;
    params.EnableAutoDepthStencil = FALSE;
    IDirect3DSwapChain8 *swapChain = nullptr;
    ext->swapChain = nullptr;
    if (FAILED(rwD3D8Device.device->CreateAdditionalSwapChain(&params, &swapChain))) {
        return FALSE;
    }
    ext->swapChain = swapChain;
    IDirect3DSurface8 *backBuffer = nullptr;
    if (FAILED(swapChain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
        return FALSE;
    }
    backBuffer->Release();  // the swap chain keeps it
    ext->texture = backBuffer;
    (void)raster;
    return TRUE;
}

}  // namespace

RwBool RwD3D8RasterRestoreVideoMemory(void)
{
    IDirect3DSurface8 *deviceDepth = rwD3D8Device.mainDepthStencil;
    IDirect3DDevice8 *device = rwD3D8Device.device;
    return ForAllVideoRasters([&](RwRaster *raster) -> RwBool {
        RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
        switch (raster->cType & rwRASTERTYPEMASK) {
        case rwRASTERTYPENORMAL:
        case rwRASTERTYPETEXTURE:
            if (ext->palette != nullptr) {
                return SUCCEEDED(device->SetPaletteEntries(ext->palette->globalindex, ext->palette->entries));
            }
            return TRUE;
        case rwRASTERTYPEZBUFFER:
            if (raster->cFlags & rwRASTERDONTALLOCATE) {
                return TRUE;
            }
            if (ext->texture == nullptr) {
                return RwD3D8CreateZBuffer(raster);
            }
            // Only a z-buffer sharing the device's surface kept one over the reset.
            {
                ext->texture = deviceDepth;
                RwInt32 width;
                RwInt32 height;
                if (RwD3D8DeviceClientSize(&width, &height)) {
                    raster->width = width;
                    raster->height = height;
                }
            }
            return TRUE;
        case rwRASTERTYPECAMERA:
            return ext->swapChain == nullptr || RestoreSwapChain(raster, ext);
        case rwRASTERTYPECAMERATEXTURE:
            if (ext->texture == nullptr && !(raster->cFlags & rwRASTERDONTALLOCATE)) {
                return RwD3D8CreateCameraTexture(raster);
            }
            return TRUE;
        default:
            return TRUE;
        }
    });
}
