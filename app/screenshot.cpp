// Writing screenshots through the engine's own image code (see screenshot.h).
#include "app/screenshot.h"

#include "rtbmp.h"

namespace game {

bool WriteScreenshot(RwCamera *camera, const std::string &path)
{
    RwRaster *raster = RwCameraGetRaster(camera);
    if (raster == nullptr) {
        return false;
    }
    RwImage *image = RwImageCreate(RwRasterGetWidth(raster), RwRasterGetHeight(raster), 32);
    if (image == nullptr) {
        return false;
    }
    // The BMP is written without alpha (24 bits a pixel): the back buffer's
    // alpha, which carries no meaning, stays out of the screenshot.
    const bool ok = RwImageAllocatePixels(image) != nullptr && RwImageSetFromRaster(image, raster) != nullptr &&
                    RtBmpWrite(image, path.c_str()) != nullptr;
    RwImageDestroy(image);
    return ok;
}

}  // namespace game
