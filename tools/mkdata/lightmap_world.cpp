// The lightmapped sample world of the maker (see lightmap_world.h).
#include "tools/mkdata/lightmap_world.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "rpltmap.h"
#include "rtbmp.h"
#include "tools/mkdata/stage_world.h"

namespace mkdata {
namespace {

struct LeafCursor {
    RwInt32 next = 0;
    bool ok = true;
};

// The file keeps only the lightmap's name and size: a texture without a
// raster is enough to carry the name through the writer.
RpWorldSector *GiveLightMap(RpWorldSector *sector, void *data)
{
    auto *cursor = static_cast<LeafCursor *>(data);
    const std::vector<std::string> &names = LightMapNames();
    RpLightMapAtomicData *ltmap = RpLightMapWorldSectorGetData(sector);
    RwTexture *texture = cursor->next < static_cast<RwInt32>(names.size()) ? RwTextureCreate(nullptr) : nullptr;
    if (ltmap == nullptr || texture == nullptr) {
        cursor->ok = false;
        return nullptr;
    }
    RwTextureSetName(texture, names[static_cast<size_t>(cursor->next++)].c_str());
    if (ltmap->lightMap != nullptr) {
        RwTextureDestroy(ltmap->lightMap);
    }
    ltmap->lightMap = texture;
    ltmap->word0 = 1;
    ltmap->size = kLightMapEdge;
    // A leaf read with its lightmap goes onto the plug-in's pipeline, and
    // the game writes that owner with it: so does the maker.
    sector->pipeline = RpLightMapGetWorldSectorPipeline();
    return sector;
}

}  // namespace

const std::vector<std::string> &LightMapNames()
{
    static const std::vector<std::string> names = {"lm1a", "lm1b", "lm1c", "lm1d"};
    return names;
}

const std::string &MissingLightMapName() { return LightMapNames().back(); }

std::string LightMapFileName(const std::string &name)
{
    std::string file = name;
    std::transform(file.begin(), file.end(), file.begin(), [](unsigned char c) { return std::toupper(c); });
    return file + ".BMP";
}

RwImage *MakeLightMapImage(RwInt32 leaf)
{
    RwImage *image = RwImageCreate(kLightMapEdge, kLightMapEdge, 32);
    if (image == nullptr || RwImageAllocatePixels(image) == nullptr) {
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        return nullptr;
    }
    // Light falls off across each leaf; the tint tells the leaves apart.
    const RwUInt8 tint = static_cast<RwUInt8>(64 + 48 * leaf);
    for (RwInt32 y = 0; y < kLightMapEdge; ++y) {
        RwUInt8 *row = image->cpPixels + y * image->stride;
        for (RwInt32 x = 0; x < kLightMapEdge; ++x) {
            const RwUInt8 level = static_cast<RwUInt8>(255 - 8 * (x + y) / 2);
            row[4 * x + 0] = level;
            row[4 * x + 1] = static_cast<RwUInt8>((level + tint) / 2);
            row[4 * x + 2] = tint;
            row[4 * x + 3] = 255;
        }
    }
    return image;
}

RpWorld *BuildLightMapWorld()
{
    RpWorld *world = BuildStageWorld();
    if (world == nullptr) {
        return nullptr;
    }
    LeafCursor cursor;
    RpWorldForAllWorldSectors(world, GiveLightMap, &cursor);
    if (!cursor.ok || cursor.next != static_cast<RwInt32>(LightMapNames().size())) {
        RpWorldDestroy(world);
        return nullptr;
    }
    return world;
}

bool WriteLightMapWorld(const std::string &root)
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(root) / StageFolder();
    const std::filesystem::path textures = std::filesystem::path(root) / StageTextureFolder();
    std::filesystem::create_directories(textures, error);
    if (error || !CreateStageTextures()) {
        return false;
    }
    const std::vector<std::string> &names = LightMapNames();
    for (size_t leaf = 0; leaf < names.size(); ++leaf) {
        if (names[leaf] == MissingLightMapName()) {
            continue;
        }
        RwImage *image = MakeLightMapImage(static_cast<RwInt32>(leaf));
        const bool ok = image != nullptr && RtBmpWrite(image, (textures / LightMapFileName(names[leaf])).string().c_str());
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        if (!ok) {
            return false;
        }
    }
    RpWorld *world = BuildLightMapWorld();
    if (world == nullptr) {
        return false;
    }
    const bool ok = RunStageWorldSteps(world) && WriteWorldFile(world, (folder / LightMapWorldName()).string());
    RpWorldDestroy(world);
    return ok;
}

}  // namespace mkdata
