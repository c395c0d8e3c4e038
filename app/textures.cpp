// The game's texture reading and texture services (see textures.h).
#include "app/textures.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "app/chunk_read.h"
#include "app/fatal.h"
#include "app/locks.h"
#include "app/path.h"
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

RwTexture *AddTextureBytes(RwTexture *texture, void *data)
{
    const RwRaster *raster = RwTextureGetRaster(texture);
    if (raster != nullptr) {
        *static_cast<uint64_t *>(data) += static_cast<uint64_t>(raster->width) * static_cast<uint64_t>(raster->height) *
                                           static_cast<uint64_t>(raster->depth) / 8;
    }
    return texture;
}

// Why the picture at `gamePath` cannot be read, as far as its file shows:
// "" when it is not there or looks like a picture.
std::string PictureFileFault(const std::string &gamePath, bool *there)
{
    const std::string host = ResolveGamePath(gamePath.c_str());
    struct stat info {};
    *there = !host.empty() && stat(host.c_str(), &info) == 0;
    if (!*there) {
        return "";
    }
    if (S_ISDIR(info.st_mode)) {
        return "it is a folder";
    }
    const int file = open(host.c_str(), O_RDONLY);
    if (file < 0) {
        return std::strerror(errno);
    }
    unsigned char magic[2] = {0, 0};
    const ssize_t got = read(file, magic, sizeof(magic));
    close(file);
    if (got == 0) {
        return "it is empty";
    }
    if (got != 2 || magic[0] != 'B' || magic[1] != 'M') {
        return "it is not a BMP picture";
    }
    return "";
}

// The picture at `name` the engine's BMP reader just refused, named with why
// (its fatal report, where a loader needs it, says it instead).
RwImage *Refused(const RwChar *name)
{
    std::string reader = game::TakeEngineError("");
    if (reader.find("E_RW_TEXTURENOTFOUND") != std::string::npos) {
        reader.clear();
    }
    bool there = false;
    std::string fault = PictureFileFault(name != nullptr ? name : "", &there);
    if (there) {
        SayUnreadableFile(name, !fault.empty()    ? fault
                                : !reader.empty() ? reader
                                                  : std::string("it is not a picture the game reads"));
    }
    return nullptr;
}

RwImage *GameBmpRead(const RwChar *imageName)
{
    RwImage *image = RtBmpRead(imageName);
    return image != nullptr ? image : Refused(imageName);
}

// "png" files are the BMP files of the same name.
RwImage *PngAsBmpRead(const RwChar *imageName) { return GameBmpRead((WithoutExtension(imageName) + ".bmp").c_str()); }

}  // namespace

void RaisePictureFatal(const char *folder, const char *name, const char *maskName)
{
    // Taken before anything else can report: the reader's reason, when it gave one.
    std::string reader = game::TakeEngineError("");
    if (reader.find("E_RW_TEXTURENOTFOUND") != std::string::npos) {
        reader.clear();  // says no more than that the read failed
    }
    const std::string picture = std::string(folder) + (name != nullptr ? name : "");
    bool pictureThere = false;
    std::string fault = PictureFileFault(picture, &pictureThere);
    std::string named = picture;
    if (pictureThere && fault.empty() && maskName != nullptr && maskName[0] != '\0') {
        const std::string mask = std::string(folder) + maskName;
        bool maskThere = false;
        const std::string maskFault = PictureFileFault(mask, &maskThere);
        if (maskThere && !maskFault.empty()) {
            named = mask;
            fault = maskFault;
        }
    }
    if (pictureThere && fault.empty()) {
        // The reader's reason, as the read noted it or left it.
        const std::string noted = UnreadableReason(named.c_str());
        fault = !noted.empty() ? noted : reader.empty() ? "it is not a picture the game reads" : reader;
    }
    if (!fault.empty()) {
        NoteUnreadableFile(named.c_str(), fault);
    }
    RaiseFatalError(named.c_str());
}

bool InstallGameTextureReading()
{
    if (!RwImageRegisterFormat("bmp", GameBmpRead, RtBmpWrite) ||
        !RwImageRegisterFormat("png", PngAsBmpRead, nullptr)) {
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
