// The game's texture reading and texture services (see textures.h).
#include "app/textures.h"

#include <strings.h>

#include <cstring>
#include <string>

#include "app/locks.h"
#include "rtbmp.h"
#include "rwd3d8dds.h"

namespace {

RwTextureCallBackRead engineRead = nullptr;

// The name without its extension (the part after the last dot of the last
// path component).
std::string WithoutExtension(const char *name)
{
    std::string text = name != nullptr ? name : "";
    const size_t dot = text.find_last_of('.');
    const size_t slash = text.find_last_of("\\/");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        text.resize(dot);
    }
    return text;
}

// A DDS file first; then the engine's read of the image formats.
RwTexture *GameTextureRead(const RwChar *name, const RwChar *maskName)
{
    const std::string stem = WithoutExtension(name);
    RwTexture *texture = RwD3D8TextureReadDDS(stem.c_str(), maskName);
    if (texture == nullptr && engineRead != nullptr) {
        texture = engineRead(name, maskName);
    }
    return texture;
}

// "png" files are the BMP files of the same name.
RwImage *PngAsBmpRead(const RwChar *imageName)
{
    return RtBmpRead((WithoutExtension(imageName) + ".bmp").c_str());
}

RwTexture *AddTextureBytes(RwTexture *texture, void *data)
{
    const RwRaster *raster = RwTextureGetRaster(texture);
    if (raster != nullptr) {
        *static_cast<uint64_t *>(data) += static_cast<uint64_t>(raster->width) * static_cast<uint64_t>(raster->height) *
                                           static_cast<uint64_t>(raster->depth) / 8;
    }
    return texture;
}

}  // namespace

bool InstallGameTextureReading()
{
    if (!RwImageRegisterFormat("bmp", RtBmpRead, RtBmpWrite) || !RwImageRegisterFormat("png", PngAsBmpRead, nullptr)) {
        return false;
    }
    RwTextureCallBackRead current = RwTextureGetReadCallBack();
    if (current != GameTextureRead) {
        engineRead = current;
        RwTextureSetReadCallBack(GameTextureRead);
    }
    return true;
}

RwTexture *LoadTextureWithMask(const char *name, const char *maskName)
{
    if (name == nullptr || name[0] == '\0') {
        return nullptr;
    }
    std::string mask = maskName != nullptr ? maskName : "";
    const size_t length = std::strlen(name);
    if (mask.empty() && length > 4 && strcasecmp(name + length - 4, ".BMP") == 0) {
        mask = std::string(name, length - 4) + "A" + std::string(name + length - 4);
    }
    // Dictionary textures are named without extensions; the read finds the
    // file again from the name alone.
    const std::string stem = WithoutExtension(name);
    const std::string maskStem = WithoutExtension(mask.c_str());
    CSRenderLockGuard lock;
    return RwTextureRead(stem.c_str(), maskStem.empty() ? nullptr : maskStem.c_str());
}

RwTexture *ReadTextureWithoutMask(const char *name)
{
    if (name == nullptr || name[0] == '\0') {
        return nullptr;
    }
    const std::string stem = WithoutExtension(name);
    CSRenderLockGuard lock;
    return RwTextureRead(stem.c_str(), nullptr);
}

void DestroyTexture(RwTexture *texture)
{
    if (texture != nullptr) {
        RwTextureDestroy(texture);
    }
}

uint32_t GetTextureMemoryUsed()
{
    RwTexDictionary *dictionary = RwTexDictionaryGetCurrent();
    uint64_t bytes = 0;
    if (dictionary != nullptr) {
        RwTexDictionaryForAllTextures(dictionary, AddTextureBytes, &bytes);
    }
    return bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes);
}
