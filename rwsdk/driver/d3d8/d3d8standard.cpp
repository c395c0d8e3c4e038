// How the driver plugs into the engine: its static device record, the
// standard-function table the engine calls for rasters, cameras and native
// textures, and the installation of the driver before the engine starts.
#include "driver/d3d8/d3d8device.h"
#include "driver/d3d8/d3d8raster.h"
#include "rwcore.h"
#include "src/pipe/p2/d3d8/d3d82drend.h"

namespace {

RwBool DoNothing(void *, void *, RwInt32) { return FALSE; }

const RwDeviceRecord deviceRecord = {
    1.0f,
    RwD3D8DeviceSystem,
    0.0f,
    1.0f,
    RwD3D8SetEngineRenderState,
    RwD3D8GetEngineRenderState,
    RwD3D8Im2DRenderLine,
    RwD3D8Im2DRenderTriangle,
    RwD3D8Im2DRenderPrimitive,
    RwD3D8Im2DRenderIndexedPrimitive,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

const RwDeviceRecord *DeviceRecordSource(void) { return &deviceRecord; }

void Im3DSubmitCloseForPipelines(void) { RwD3D8Im3DSubmitClose(); }

const RwIm3DDeviceNodes im3DNodes = {RwNodeDefinitionGetImmInstance, RwNodeDefinitionGetD3D8SubmitNoLight,
                                     RwD3D8Im3DSubmitOpen, Im3DSubmitCloseForPipelines};

}  // namespace

const RwDeviceRecord *RwD3D8GetDeviceRecord(void) { return &deviceRecord; }

void RwD3D8FillStandardFunctions(RwStandardFunc *table, RwInt32 count)
{
    for (RwInt32 slot = 0; slot < count; ++slot) {
        table[slot] = DoNothing;
    }
    static const struct {
        RwInt32 slot;
        RwStandardFunc function;
    } served[] = {
        {1, RwD3D8CameraBeginUpdate},
        {2, RwD3D8RGBToPixel},
        {3, RwD3D8PixelToRGB},
        {4, RwD3D8RasterCreate},
        {5, RwD3D8RasterDestroy},
        {6, RwD3D8ImageGetFromRaster},
        {7, RwD3D8RasterSetFromImage},
        {8, RwD3D8StandardIdentity},
        {9, RwD3D8ImageFindRasterFormat},
        {10, RwD3D8CameraEndUpdate},
        {11, RwD3D8SetRasterContext},
        {12, RwD3D8RasterSubRaster},
        {13, RwD3D8RasterClearRect},
        {14, RwD3D8RasterClear},
        {15, RwD3D8RasterLock},
        {16, RwD3D8RasterUnlock},
        {17, RwD3D8RasterRender},
        {18, RwD3D8RasterRenderScaled},
        {19, RwD3D8RasterRenderFast},
        {20, RwD3D8RasterShow},
        {21, RwD3D8CameraClear},
        {23, RwD3D8RasterLockPalette},
        {24, RwD3D8RasterUnlockPalette},
        {25, RwD3D8NativeTextureGetSize},
        {26, RwD3D8NativeTextureRead},
        {27, RwD3D8NativeTextureWrite},
        {28, RwD3D8RasterGetNumLevels},
    };
    for (const auto &entry : served) {
        if (entry.slot < count) {
            table[entry.slot] = entry.function;
        }
    }
}

void RwD3D8DriverInstall(void)
{
    RwDriverSetDeviceRecordSource(DeviceRecordSource);
    RwDriverSetAttach(RwD3D8RasterPluginAttach);
    RwIm3DSetDeviceNodes(&im3DNodes);
}
