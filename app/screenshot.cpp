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
    bool ok = RwImageAllocatePixels(image) != nullptr && RwImageSetFromRaster(image, raster) != nullptr;
    if (ok) {
        // The back buffer carries no meaning in alpha; a screenshot is opaque.
        for (RwInt32 y = 0; y < image->height; ++y) {
            auto *row = reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride);
            for (RwInt32 x = 0; x < image->width; ++x) {
                row[x].alpha = 255;
            }
        }
        ok = RtBmpWrite(image, path.c_str()) != nullptr;
    }
    RwImageDestroy(image);
    return ok;
}

}  // namespace game
