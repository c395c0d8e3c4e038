// Writes seeds for the model and world fuzz targets that carry the plug-in
// data the sample data tree has none of: a model whose first geometry has a
// second morph target with a ring of morph interpolators and a delta-morph
// target, and the stage world with visibility maps on every sector. Each is
// made from a sample file, written by the engine and read back before it is
// kept, so the fuzzer starts inside those readers.
//   make_plugin_seeds DATA OUTDIR
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "rpdmorph.h"
#include "rpmorph.h"
#include "rppvs.h"
#include "tests/fuzz/fuzz_game_engine.h"
#include "tools/mkdata/model_writer.h"

namespace {

std::vector<RwUInt8> FileBytes(const std::string &path)
{
    std::vector<RwUInt8> bytes;
    if (FILE *file = std::fopen(path.c_str(), "rb")) {
        RwUInt8 block[4096];
        for (size_t n = 0; (n = std::fread(block, 1, sizeof(block), file)) > 0;) {
            bytes.insert(bytes.end(), block, block + n);
        }
        std::fclose(file);
    }
    return bytes;
}

// Pictures from the TEXTURES folder beside `path`, as the game reads them,
// so the seed keeps its materials' textures.
void TexturesBeside(const std::string &path)
{
    RwImageSetPath((path.substr(0, path.rfind('/') + 1) + "TEXTURES/").c_str());
}

template <typename T, typename Read>
T *ReadBytes(const std::vector<RwUInt8> &bytes, RwUInt32 type, Read read)
{
    RwMemoryDescriptor desc;
    RwStream *stream = fuzzgame::OpenInput(bytes.data(), bytes.size(), &desc);
    if (stream == nullptr) {
        return nullptr;
    }
    T *object = fuzzgame::ReadChunk<T>(stream, type, read);
    RwStreamClose(stream, nullptr);
    return object;
}

template <typename Write>
std::vector<RwUInt8> WrittenBytes(Write write)
{
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    if (out == nullptr) {
        return {};
    }
    const bool ok = write(out);
    RwMemoryDescriptor written{nullptr, 0};
    RwStreamClose(out, &written);
    std::vector<RwUInt8> bytes;
    if (ok) {
        bytes.assign(written.start, written.start + written.length);
    }
    RwFree(written.start);
    return bytes;
}

bool Save(const std::string &path, const std::vector<RwUInt8> &bytes)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

void PutU32(std::vector<RwUInt8> *bytes, RwUInt32 value)
{
    for (int i = 0; i < 4; ++i) {
        bytes->push_back(static_cast<RwUInt8>(value >> (8 * i)));
    }
}

void PutReal(std::vector<RwUInt8> *bytes, RwReal value)
{
    RwUInt32 word = 0;
    static_assert(sizeof(word) == sizeof(value));
    std::memcpy(&word, &value, sizeof(word));
    PutU32(bytes, word);
}

// One delta target "lift" moving the geometry's first `count` vertices up,
// as the plug-in stores it: name, flags, a run map taking them all, the
// points and a bounding sphere.
std::vector<RwUInt8> DeltaTarget(RwUInt32 count)
{
    std::vector<RwUInt8> body;
    PutU32(&body, 1);
    PutU32(&body, 5);
    for (char c : std::string("lift")) {
        body.push_back(static_cast<RwUInt8>(c));
    }
    body.push_back(0);
    PutU32(&body, rpDMORPHPOSITIONS);
    PutU32(&body, rpGEOMETRYLOCKVERTICES);
    PutU32(&body, 1);
    PutU32(&body, count);
    body.push_back(static_cast<RwUInt8>(0x80 | count));  // a take run of `count`
    for (RwUInt32 p = 0; p < count; ++p) {
        PutReal(&body, 0);
        PutReal(&body, 1);
        PutReal(&body, 0);
    }
    for (RwReal value : {0.0f, 0.0f, 0.0f, 2.0f}) {
        PutReal(&body, value);
    }
    return body;
}

RpAtomic *FirstAtomic(RpAtomic *atomic, void *found)
{
    *static_cast<RpAtomic **>(found) = atomic;
    return nullptr;
}

// The model at `path` with morph and delta-morph data on its first atomic's
// geometry; empty when that geometry cannot take them.
std::vector<RwUInt8> MorphedModel(const std::string &path)
{
    TexturesBeside(path);
    auto read = [](RwStream *s) { return RpClumpStreamRead(s); };
    RpClump *clump = ReadBytes<RpClump>(FileBytes(path), rwID_CLUMP, read);
    if (clump == nullptr) {
        return {};
    }
    RpAtomic *atomic = nullptr;
    RpClumpForAllAtomics(clump, FirstAtomic, &atomic);
    RpGeometry *geometry = atomic != nullptr ? RpAtomicGetGeometry(atomic) : nullptr;
    std::vector<RwUInt8> bytes;
    if (geometry != nullptr && geometry->numVertices >= 4 && geometry->numMorphTargets == 1 &&
        geometry->morphTarget[0].verts != nullptr && RpGeometryAddMorphTargets(geometry, 1) == 1) {
        RpMorphTarget &lifted = geometry->morphTarget[1];
        lifted.boundingSphere = geometry->morphTarget[0].boundingSphere;
        for (RwInt32 v = 0; v < geometry->numVertices; ++v) {
            lifted.verts[v] = geometry->morphTarget[0].verts[v];
            lifted.verts[v].y += 1.0f;
        }
        const std::vector<RwUInt8> delta = DeltaTarget(4);
        RwMemoryDescriptor desc;
        RwStream *stream = fuzzgame::OpenInput(delta.data(), delta.size(), &desc);
        const bool deltaRead =
            stream != nullptr && RpDeltaMorphGeometryStreamRead(stream, static_cast<RwInt32>(delta.size()), geometry,
                                                                RpGeometryGetPluginOffset(rpDMORPHPLUGINID), 0) != nullptr;
        if (stream != nullptr) {
            RwStreamClose(stream, nullptr);
        }
        if (deltaRead && RpMorphGeometryCreateInterpolators(geometry, 2) != nullptr &&
            RpMorphGeometrySetInterpolator(geometry, 0, 0, 1, 1.0f) != nullptr &&
            RpMorphGeometrySetInterpolator(geometry, 1, 1, 0, 1.0f) != nullptr) {
            bytes = WrittenBytes([&](RwStream *out) { return mkdata::WriteClumpChunk(clump, out); });
        }
    }
    RpClumpDestroy(clump);
    return bytes;
}

RpWorldSector *NumberSector(RpWorldSector *sector, void *next)
{
    RpPVSSectorGetData(sector)->id = (*static_cast<RwInt32 *>(next))++;
    return sector;
}

// Every sector sees every sector.
RpWorldSector *SeeAll(RpWorldSector *sector, void *count)
{
    RpPVSSectorData *pvs = RpPVSSectorGetData(sector);
    pvs->mapSize = (static_cast<RwUInt32>(*static_cast<RwInt32 *>(count)) + 7u) / 8u;
    pvs->map = static_cast<RwUInt8 *>(RwMalloc(pvs->mapSize));
    if (pvs->map == nullptr) {
        return nullptr;
    }
    for (RwUInt32 i = 0; i < pvs->mapSize; ++i) {
        pvs->map[i] = 0xFF;
    }
    return sector;
}

// The world at `path` with visibility maps on every sector.
std::vector<RwUInt8> VisibilityWorld(const std::string &path)
{
    TexturesBeside(path);
    auto read = [](RwStream *s) { return RpWorldStreamRead(s); };
    RpWorld *world = ReadBytes<RpWorld>(FileBytes(path), rwID_WORLD_CHUNK, read);
    if (world == nullptr) {
        return {};
    }
    RwInt32 count = 0;
    RpWorldForAllWorldSectors(world, NumberSector, &count);
    RpWorldForAllWorldSectors(world, SeeAll, &count);
    RpPVSWorldGetData(world)->pvsPresent = 1;
    std::vector<RwUInt8> bytes =
        WrittenBytes([&](RwStream *out) { return RpWorldStreamWrite(world, out) != nullptr; });
    RpWorldDestroy(world);
    return bytes;
}

// Kept only when the engine reads it back with the plug-in data on it.
template <typename T, typename Read, typename Carries, typename Destroy>
bool Keep(const std::vector<RwUInt8> &bytes, RwUInt32 type, Read read, Carries carries, Destroy destroy,
          const std::string &path)
{
    T *back = bytes.empty() ? nullptr : ReadBytes<T>(bytes, type, read);
    const bool ok = back != nullptr && carries(back);
    if (back != nullptr) {
        destroy(back);
    }
    if (!ok) {
        std::fprintf(stderr, "make_plugin_seeds: %s does not read back with its plug-in data\n", path.c_str());
        return false;
    }
    return Save(path, bytes);
}

bool CarriesMorphs(RpClump *clump)
{
    RpAtomic *atomic = nullptr;
    RpClumpForAllAtomics(clump, FirstAtomic, &atomic);
    const RpGeometry *geometry = atomic != nullptr ? RpAtomicGetGeometry(atomic) : nullptr;
    return geometry != nullptr && geometry->numMorphTargets == 2 &&
           RpMorphGeometryGetNumInterpolators(geometry) == 2 && RpDeltaMorphGeometryGetNumTargets(geometry) == 1;
}

RpWorldSector *CountVisibilityMaps(RpWorldSector *sector, void *count)
{
    *static_cast<RwInt32 *>(count) += RpPVSSectorGetData(sector)->map != nullptr;
    return sector;
}

bool CarriesVisibility(RpWorld *world)
{
    RwInt32 maps = 0;
    RpWorldForAllWorldSectors(world, CountVisibilityMaps, &maps);
    return RpPVSWorldGetData(world)->pvsPresent == 1 && maps > 1 && maps == RpPVSWorldGetData(world)->numSectors;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3 || !fuzzgame::Started()) {
        std::fprintf(stderr, "usage: make_plugin_seeds DATA OUTDIR\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string out = argv[2];
    const bool model = Keep<RpClump>(
        MorphedModel(data + "/RESOURCE/STAGE/1/CAMWALL.DFF"), rwID_CLUMP,
        [](RwStream *s) { return RpClumpStreamRead(s); }, CarriesMorphs, [](RpClump *c) { RpClumpDestroy(c); },
        out + "/corpus-clump/plugins-morph.DFF");
    const bool world = Keep<RpWorld>(
        VisibilityWorld(data + "/RESOURCE/STAGE/1/STAGE.BSP"), rwID_WORLD_CHUNK,
        [](RwStream *s) { return RpWorldStreamRead(s); }, CarriesVisibility, [](RpWorld *w) { RpWorldDestroy(w); },
        out + "/corpus-world/plugins-pvs.BSP");
    return model && world ? 0 : 1;
}
