// Internal header of the driver's device rasters: the raster extension that
// ties an engine raster to its Direct3D resource, palettes, the pixel format
// table, and every raster, conversion and native-texture function the device
// system installs in the standard-function slots or calls around a reset.
#pragma once

#include "d3d8/d3d8.h"
#include "driver/d3d8/d3d8device.h"
#include "rwcore.h"
#include "rwd3d8raster.h"
#include "rwimage.h"
#include "rwtexture.h"

// Private-flags bits of a raster kept by the driver.
static constexpr RwUInt8 rwD3D8RASTERLOCKREAD = 0x02;
static constexpr RwUInt8 rwD3D8RASTERLOCKWRITE = 0x04;
static constexpr RwUInt8 rwD3D8RASTERLOCKED = 0x06;
static constexpr RwUInt8 rwD3D8RASTERPALLOCKED = 0x08;
static constexpr RwUInt8 rwD3D8RASTERPALLOCKWRITE = 0x10;

// Lock modes as the engine passes them (bits 0-7 of the lock number).
static constexpr RwInt32 rwRASTERLOCKWRITE = 0x01;
static constexpr RwInt32 rwRASTERLOCKREAD = 0x02;
static constexpr RwInt32 rwRASTERLOCKNOFETCH = 0x04;

// lockedLevel while no level is locked, or while mip levels are rebuilt.
static constexpr RwUInt32 rwD3D8NOLOCKEDLEVEL = 0xFF;

// Core error codes of the driver (plug-in id 1).
static constexpr RwInt32 E_RW_DEVICEERROR = 2;
static constexpr RwInt32 E_RW_INVRASTERDEPTH = static_cast<RwInt32>(0x8000000Cu);
static constexpr RwInt32 E_RW_INVRASTERFORMAT = static_cast<RwInt32>(0x8000000Du);
static constexpr RwInt32 E_RW_INVRASTERLOCKREQ = static_cast<RwInt32>(0x8000000Eu);
static constexpr RwInt32 E_RW_INVRASTERUNLOCKREQ = static_cast<RwInt32>(0x80000011u);

// 256 colours in Direct3D's PALETTEENTRY order, and the device palette number
// they are sent under.
struct RwD3D8Palette {
    PALETTEENTRY entries[256];
    RwUInt32 globalindex;
};

// The driver's extension of every raster (plug-in id 0x40C).
struct RwD3D8RasterExt {
    // IDirect3DTexture8 or IDirect3DCubeTexture8 (by `cube`) for normal,
    // texture and camera-texture rasters; IDirect3DSurface8 for z-buffers and
    // swap-chain camera rasters. Read it through the accessors below.
    void *texture;
    RwD3D8Palette *palette;
    RwUInt8 alpha;
    RwUInt8 cube;
    RwUInt8 face;
    IDirect3DSurface8 *lockedSurface;
    D3DLOCKED_RECT lockedRect;
    RwUInt32 lockedLevel;
    RwUInt32 dxtFormat;
    HWND window;
    IDirect3DSwapChain8 *swapChain;
};

extern RwInt32 RwD3D8RasterExtOffset;

inline RwD3D8RasterExt *RwD3D8RasterGetExt(const RwRaster *raster)
{
    return reinterpret_cast<RwD3D8RasterExt *>(reinterpret_cast<RwUInt8 *>(const_cast<RwRaster *>(raster)) +
                                               RwD3D8RasterExtOffset);
}

inline RwRaster *RwD3D8RasterGetTop(RwRaster *raster)
{
    while (raster->parent != raster) {
        raster = raster->parent;
    }
    return raster;
}

inline IDirect3DTexture8 *RwD3D8RasterExtTexture(const RwD3D8RasterExt *ext)
{
    return ext->cube ? nullptr : static_cast<IDirect3DTexture8 *>(ext->texture);
}
inline IDirect3DCubeTexture8 *RwD3D8RasterExtCubeTexture(const RwD3D8RasterExt *ext)
{
    return ext->cube ? static_cast<IDirect3DCubeTexture8 *>(ext->texture) : nullptr;
}
inline IDirect3DSurface8 *RwD3D8RasterExtSurface(const RwD3D8RasterExt *ext)
{
    return static_cast<IDirect3DSurface8 *>(ext->texture);
}
// The texture to bind to a stage (null for rasters without one).
IDirect3DBaseTexture8 *RwD3D8RasterGetBaseTexture(const RwRaster *raster);
// Level `level` of a texture raster's resource (the `face` surface of a cube);
// a reference the caller releases. Null without a texture.
IDirect3DSurface8 *RwD3D8RasterGetLevelSurface(const RwRaster *topRaster, RwUInt32 level);

// The pixel format table, by format index (bits 8-11 of the format flags).
struct RwD3D8PixelFormat {
    D3DFORMAT d3dFormat;
    RwInt32 depth;
    RwBool alpha;
};
static constexpr RwInt32 rwD3D8PIXELFORMATCOUNT = 11;
const RwD3D8PixelFormat *RwD3D8PixelFormatOf(RwInt32 formatFlags);

// What the rasters read of the started device: the display (current video
// mode) format and depth, and the depth of the device's own z-buffer.
inline D3DFORMAT RwD3D8DisplayFormat(void) { return rwD3D8Device.mode.format; }
inline RwInt32 RwD3D8DisplayDepth(void) { return static_cast<RwInt32>(rwD3D8Device.mode.depth); }
inline RwInt32 RwD3D8ZBufferDepth(void) { return rwD3D8Device.zBufferDepth; }
// Palettes may carry alpha on this device.
inline RwBool RwD3D8AlphaPalettes(void)
{
    const D3DCAPS8 *caps = RwD3D8GetDeviceCaps();
    return caps != nullptr && (caps->TextureCaps & D3DPTEXTURECAPS_ALPHAPALETTE) != 0;
}
// Client size of the device window; false without one.
RwBool RwD3D8DeviceClientSize(RwInt32 *width, RwInt32 *height);

// Extension registration and the device start/stop side.
RwBool RwD3D8RasterPluginAttach(void);
// Hands the DDS reader the device-side load (run with the attach).
void RwD3D8DDSInstallDirectLoad(void);
RwBool RwD3D8RasterOpen(void);
void RwD3D8RasterClose(void);

// Palettes (records and their device numbers).
RwD3D8Palette *RwD3D8PaletteCreate(void);
void RwD3D8PaletteDestroy(RwD3D8Palette *palette);

// The video-memory list (rasters to release and re-create around a reset).
RwBool RwD3D8RasterVideoListAdd(RwRaster *raster);
void RwD3D8RasterVideoListRemove(RwRaster *raster);
RwBool RwD3D8RasterVideoListContains(const RwRaster *raster);
RwBool RwD3D8RasterReleaseVideoMemory(void);
RwBool RwD3D8RasterRestoreVideoMemory(void);

// Creation helpers shared by raster creation and reset.
D3DFORMAT RwD3D8ZBufferFormat(void);
// Runs `create` once more after a discard when the device is out of video
// memory, and reports when it still is; returns the last result.
typedef HRESULT (*RwD3D8CreateCall)(void *data);
HRESULT RwD3D8CreateWithRetry(RwD3D8CreateCall create, void *data);
// Makes a camera texture's render-target resource from its format byte and
// size, falling back to a plain default-pool texture in the display format.
RwBool RwD3D8CreateCameraTexture(RwRaster *raster);
// Makes a z-buffer's surface (or shares the device's at the client size).
RwBool RwD3D8CreateZBuffer(RwRaster *raster);

// Standard functions (out, in, number) of the device rasters.
RwBool RwD3D8RasterCreate(void *out, void *raster, RwInt32 flags);
RwBool RwD3D8RasterDestroy(void *out, void *raster, RwInt32 number);
RwBool RwD3D8StandardIdentity(void *out, void *in, RwInt32 number);
RwBool RwD3D8SetRasterContext(void *out, void *raster, RwInt32 number);
RwBool RwD3D8RasterSubRaster(void *subRaster, void *parent, RwInt32 number);
RwBool RwD3D8RasterClearRect(void *out, void *rect, RwInt32 pixelValue);
RwBool RwD3D8RasterClear(void *out, void *in, RwInt32 pixelValue);
RwBool RwD3D8RasterLock(void *pixels, void *raster, RwInt32 accessMode);
RwBool RwD3D8RasterUnlock(void *out, void *raster, RwInt32 number);
RwBool RwD3D8RasterRender(void *out, void *raster, RwInt32 position);
RwBool RwD3D8RasterRenderScaled(void *out, void *raster, RwInt32 rect);
RwBool RwD3D8RasterRenderFast(void *out, void *raster, RwInt32 position);
RwBool RwD3D8RasterLockPalette(void *palette, void *raster, RwInt32 accessMode);
RwBool RwD3D8RasterUnlockPalette(void *out, void *raster, RwInt32 number);
RwBool RwD3D8RasterGetNumLevels(void *numLevels, void *raster, RwInt32 number);

// The raster that render and clear operations draw into (slot 11).
RwRaster *RwD3D8GetRasterContext(void);
// Copies the source raster into the context raster at `position` (unscaled,
// same format only); false when the device refuses.
RwBool RwD3D8RasterCopyRects(RwRaster *source, const RwInt32 *position);

// Format choice and resolution.
RwUInt32 RwD3D8FindRasterFormat(D3DFORMAT format);
RwInt32 RwD3D8RasterResolveFormat(RwInt32 type, RwInt32 flags);
RwBool RwD3D8RasterSetFormat(RwRaster *raster, RwInt32 flags);
void RwD3D8AdjustTextureSize(RwInt32 *width, RwInt32 *height, RwInt32 type, RwInt32 flags);

// Pixel-format conversion (slots 2, 3, 6, 7, 9).
RwBool RwD3D8RGBToPixel(void *pixel, void *colour, RwInt32 formatFlags);
RwBool RwD3D8PixelToRGB(void *colour, void *pixel, RwInt32 formatFlags);
RwBool RwD3D8ImageGetFromRaster(void *image, void *raster, RwInt32 number);
RwBool RwD3D8RasterSetFromImage(void *raster, void *image, RwInt32 number);
RwBool RwD3D8ImageFindRasterFormat(void *scratchRaster, void *image, RwInt32 flags);
RwInt32 RwD3D8ImageChooseRasterFormat(const RwImage *image);
RwBool RwD3D8RasterToImage32(RwImage *image, RwRaster *raster);
RwBool RwD3D8RasterSetFromImage8(RwRaster *raster, const RwImage *image);
RwBool RwD3D8RasterSetFromImage32(RwRaster *raster, const RwImage *image);
typedef RwUInt32 (*RwD3D8PixelPacker)(RwUInt8 red, RwUInt8 green, RwUInt8 blue, RwUInt8 alpha);
RwD3D8PixelPacker RwD3D8GetPixelPacker(RwInt32 formatFlags);
typedef RwRGBA (*RwD3D8PixelUnpacker)(RwUInt32 pixel);
RwD3D8PixelUnpacker RwD3D8GetPixelUnpacker(RwInt32 formatFlags);

// Native textures (slots 25-27).
RwBool RwD3D8NativeTextureGetSize(void *size, void *texture, RwInt32 number);
RwBool RwD3D8NativeTextureRead(void *texture, void *stream, RwInt32 length);
RwBool RwD3D8NativeTextureWrite(void *stream, void *texture, RwInt32 number);
