// Test support for images and textures (see image_test_support.h).
#include "tests/rwsdk/src/image_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace imgtest {
namespace {

struct Level {
    RwInt32 width;
    RwInt32 height;
    std::vector<RwUInt8> rgba;
};

struct RasterState {
    std::vector<Level> levels;
    RwInt32 locked = -1;
};

struct Options {
    bool palettised = false;
    bool powerOfTwo = false;
    bool failCreate = false;
    bool failSet = false;
};

std::map<RwRaster *, RasterState> &Rasters()
{
    static std::map<RwRaster *, RasterState> rasters;
    return rasters;
}

Options &Opt()
{
    static Options options;
    return options;
}

RwInt32 PowerOfTwoBelow(RwInt32 v)
{
    RwInt32 p = 1;
    while (p * 2 <= v) p *= 2;
    return p;
}

RwBool Create(void *, void *inOut, RwInt32 flags)
{
    auto *raster = static_cast<RwRaster *>(inOut);
    if (Opt().failCreate) return FALSE;
    raster->cType = static_cast<RwUInt8>(flags & 7);
    raster->cFlags = static_cast<RwUInt8>(flags & 0xF8);
    RwInt32 format = flags & 0xFF00;
    if ((format & 0x0F00) == 0) format |= rwRASTERFORMAT8888;
    raster->cFormat = static_cast<RwUInt8>(format >> 8);
    raster->depth = (format & rwRASTERFORMATPAL8) ? 8 : (format & rwRASTERFORMATPAL4) ? 4 : 32;
    RasterState state;
    RwInt32 w = raster->width, h = raster->height;
    for (;;) {
        state.levels.push_back(Level{w, h, std::vector<RwUInt8>(static_cast<size_t>(w) * h * 4, 0)});
        if (!(format & rwRASTERFORMATMIPMAP) || (w == 1 && h == 1)) break;
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    Rasters()[raster] = state;
    return TRUE;
}

RwBool Destroy(void *, void *inOut, RwInt32)
{
    Rasters().erase(static_cast<RwRaster *>(inOut));
    return TRUE;
}

RwBool Lock(void *out, void *inOut, RwInt32 number)
{
    auto *raster = static_cast<RwRaster *>(inOut);
    auto found = Rasters().find(raster);
    const RwInt32 level = (number >> 8) & 0xFF;
    if (found == Rasters().end() || level >= static_cast<RwInt32>(found->second.levels.size())) return FALSE;
    Level &l = found->second.levels[static_cast<size_t>(level)];
    found->second.locked = level;
    raster->width = l.width;
    raster->height = l.height;
    raster->stride = 4 * l.width;
    raster->cpPixels = l.rgba.data();
    *static_cast<RwUInt8 **>(out) = l.rgba.data();
    return TRUE;
}

RwBool Unlock(void *, void *inOut, RwInt32)
{
    auto *raster = static_cast<RwRaster *>(inOut);
    auto found = Rasters().find(raster);
    if (found == Rasters().end()) return FALSE;
    found->second.locked = -1;
    raster->width = found->second.levels[0].width;
    raster->height = found->second.levels[0].height;
    raster->cpPixels = nullptr;
    return TRUE;
}

RwBool SetFromImage(void *out, void *inOut, RwInt32)
{
    auto *raster = static_cast<RwRaster *>(out);
    auto *image = static_cast<RwImage *>(inOut);
    auto found = Rasters().find(raster);
    if (Opt().failSet || found == Rasters().end()) return FALSE;
    Level &l = found->second.levels[static_cast<size_t>(found->second.locked < 0 ? 0 : found->second.locked)];
    if (l.width != image->width || l.height != image->height) return FALSE;
    const std::vector<RwUInt8> rgba = ImageRGBA(image);
    if (rgba.empty()) return FALSE;
    l.rgba = rgba;
    return TRUE;
}

RwBool ImageFromRaster(void *out, void *inOut, RwInt32)
{
    auto *image = static_cast<RwImage *>(out);
    auto found = Rasters().find(static_cast<RwRaster *>(inOut));
    if (found == Rasters().end() || image->depth != 32) return FALSE;
    const Level &l = found->second.levels[0];
    for (RwInt32 y = 0; y < l.height; ++y) {
        std::memcpy(image->cpPixels + y * image->stride, l.rgba.data() + y * l.width * 4, static_cast<size_t>(l.width) * 4);
    }
    return TRUE;
}

RwBool FindFormat(void *out, void *inOut, RwInt32 flags)
{
    auto *raster = static_cast<RwRaster *>(out);
    auto *image = static_cast<RwImage *>(inOut);
    raster->width = Opt().powerOfTwo ? PowerOfTwoBelow(image->width) : image->width;
    raster->height = Opt().powerOfTwo ? PowerOfTwoBelow(image->height) : image->height;
    const bool pal = Opt().palettised && image->depth <= 8;
    raster->depth = pal ? 8 : 32;
    raster->cType = static_cast<RwUInt8>(flags & 7);
    raster->cFormat = static_cast<RwUInt8>(((flags & 0xF000) | (pal ? rwRASTERFORMATPAL8 | rwRASTERFORMAT888
                                                                    : rwRASTERFORMAT8888)) >> 8);
    return TRUE;
}

RwBool NumLevels(void *out, void *inOut, RwInt32)
{
    auto found = Rasters().find(static_cast<RwRaster *>(inOut));
    if (found == Rasters().end()) return FALSE;
    *static_cast<RwInt32 *>(out) = static_cast<RwInt32>(found->second.levels.size());
    return TRUE;
}

}  // namespace

void FakeRasters::Install()
{
    RwStandardFunc *slots = RwEngineInst->stdFunc;
    slots[rwSTANDARDRASTERCREATE] = Create;
    slots[rwSTANDARDRASTERDESTROY] = Destroy;
    slots[rwSTANDARDRASTERLOCK] = Lock;
    slots[rwSTANDARDRASTERUNLOCK] = Unlock;
    slots[rwSTANDARDRASTERSETIMAGE] = SetFromImage;
    slots[rwSTANDARDIMAGEGETRASTER] = ImageFromRaster;
    slots[rwSTANDARDIMAGEFINDRASTERFORMAT] = FindFormat;
    slots[rwSTANDARDRASTERGETMIPLEVELS] = NumLevels;
}

void FakeRasters::Reset()
{
    Rasters().clear();
    Opt() = Options{};
}

void FakeRasters::SetPalettised(bool on) { Opt().palettised = on; }
void FakeRasters::SetPowerOfTwo(bool on) { Opt().powerOfTwo = on; }
void FakeRasters::FailCreate(bool on) { Opt().failCreate = on; }
void FakeRasters::FailSetFromImage(bool on) { Opt().failSet = on; }

std::vector<RwUInt8> FakeRasters::Pixels(RwRaster *raster, RwInt32 level)
{
    auto found = Rasters().find(raster);
    if (found == Rasters().end() || level >= static_cast<RwInt32>(found->second.levels.size())) return {};
    return found->second.levels[static_cast<size_t>(level)].rgba;
}

RwInt32 FakeRasters::Levels(RwRaster *raster)
{
    auto found = Rasters().find(raster);
    return found == Rasters().end() ? 0 : static_cast<RwInt32>(found->second.levels.size());
}

RwInt32 FakeRasters::LiveRasters() { return static_cast<RwInt32>(Rasters().size()); }

RwImage *MakeImage32(RwInt32 width, RwInt32 height, RwRGBA (*colour)(RwInt32, RwInt32))
{
    RwImage *image = RwImageCreate(width, height, 32);
    if (image == nullptr || RwImageAllocatePixels(image) == nullptr) return nullptr;
    for (RwInt32 y = 0; y < height; ++y) {
        for (RwInt32 x = 0; x < width; ++x) {
            reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride)[x] = colour(x, y);
        }
    }
    return image;
}

RwRGBA Pattern(RwInt32 x, RwInt32 y)
{
    return RwRGBA{static_cast<RwUInt8>(x * 37 + y * 3), static_cast<RwUInt8>(y * 41 + 7), static_cast<RwUInt8>((x ^ y) * 29),
                  255};
}

std::vector<RwUInt8> ImageRGBA(const RwImage *image)
{
    std::vector<RwUInt8> out;
    if (image->cpPixels == nullptr || (image->depth != 32 && image->palette == nullptr)) return out;
    for (RwInt32 y = 0; y < image->height; ++y) {
        const RwUInt8 *row = image->cpPixels + y * image->stride;
        for (RwInt32 x = 0; x < image->width; ++x) {
            const RwRGBA c = image->depth == 32 ? reinterpret_cast<const RwRGBA *>(row)[x] : image->palette[row[x]];
            out.insert(out.end(), {c.red, c.green, c.blue, c.alpha});
        }
    }
    return out;
}

bool HaveImageMagick()
{
    static int have = -1;
    if (have < 0) {
        FILE *p = popen("convert -version 2>/dev/null", "r");
        std::string text;
        if (p != nullptr) {
            char buf[256];
            while (fgets(buf, sizeof(buf), p) != nullptr) text += buf;
            pclose(p);
        }
        have = text.find("ImageMagick") != std::string::npos ? 1 : 0;
    }
    return have == 1;
}

bool Convert(const std::string &args)
{
    const std::string command = "convert " + args + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

std::vector<RwUInt8> MagickRGBA(const std::string &file, RwInt32 *width, RwInt32 *height)
{
    const std::string pam = file + ".out.pam";
    if (!Convert("'" + file + "' -alpha on -depth 8 'pam:" + pam + "'")) return {};
    std::vector<RwUInt8> bytes = ReadFile(pam);
    std::remove(pam.c_str());
    const std::string text(bytes.begin(), bytes.end());
    const size_t end = text.find("ENDHDR\n");
    if (end == std::string::npos) return {};
    std::istringstream header(text.substr(0, end));
    std::string key;
    RwInt32 depth = 0;
    while (header >> key) {
        if (key == "WIDTH") header >> *width;
        else if (key == "HEIGHT") header >> *height;
        else if (key == "DEPTH") header >> depth;
    }
    if (depth != 4) return {};
    return std::vector<RwUInt8>(bytes.begin() + static_cast<long>(end + 7), bytes.end());
}

void WritePam(const std::string &file, RwInt32 width, RwInt32 height, const std::vector<RwUInt8> &rgba)
{
    std::ostringstream header;
    header << "P7\nWIDTH " << width << "\nHEIGHT " << height << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    std::vector<RwUInt8> bytes;
    const std::string h = header.str();
    bytes.insert(bytes.end(), h.begin(), h.end());
    bytes.insert(bytes.end(), rgba.begin(), rgba.end());
    WriteFile(file, bytes);
}

std::vector<RwUInt8> ReadFile(const std::string &file)
{
    std::ifstream in(file, std::ios::binary);
    return std::vector<RwUInt8>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string &file, const std::vector<RwUInt8> &bytes)
{
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace imgtest
