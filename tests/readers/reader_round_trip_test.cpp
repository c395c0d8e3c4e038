// The model, world and animation readers on the engine as the game starts it
// (our driver in a memory-only window, every plug-in the game attaches): each
// file of the sample data tree read, written again by the engine's writers
// and compared byte for byte with what it came from; the sample world with
// its native bit set (sectors without their arrays) refused with the world
// reader's error; and every input the fuzz targets ever found a fault with
// (findings/TARGET/) read, written and read back without one.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/plugins.h"
#include "rpltmap.h"
#include "rpprtstd.h"
#include "rtanim.h"
#include "rtpitexd.h"
#include "rwd3d8dds.h"
#include "rtbmp.h"
#include "support/engine/headless_screen.h"
#include "tests/fuzz/fuzz_game_engine.h"
#include "tools/mkdata/model_writer.h"

namespace reader_round_trip_test {

namespace {

namespace fs = std::filesystem;

std::vector<RwUInt8> FileBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<RwUInt8>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path SampleData() { return fs::path(RW_TEST_BINARY_DIR) / "data"; }

std::vector<fs::path> SampleFiles(const std::string &extension)
{
    std::vector<fs::path> files;
    if (fs::is_directory(SampleData())) {
        for (const auto &entry : fs::recursive_directory_iterator(SampleData())) {
            if (entry.path().extension() == extension) {
                files.push_back(entry.path());
            }
        }
    }
    return files;
}

// Bit 16 of a texture chunk's word says whether the raster the writer held
// lacked automatic mip levels: a fact about the writer's device, which a
// reader heeds only under a mip-map filter (modes 3 to 6). Under the other
// filters it is cleared here, so the comparison is of what the file says.
std::vector<RwUInt8> WithoutRasterBits(std::vector<RwUInt8> bytes)
{
    for (size_t at = 0; at + 28 <= bytes.size(); ++at) {
        // A texture chunk header, then its 4-byte struct.
        if (RwUInt32FromLE(&bytes[at]) == rwID_TEXTURE && RwUInt32FromLE(&bytes[at + 12]) == rwID_STRUCT &&
            RwUInt32FromLE(&bytes[at + 16]) == 4) {
            const RwUInt32 filter = bytes[at + 24];
            if (filter < 3 || filter > 6) {
                bytes[at + 26] &= static_cast<RwUInt8>(~1u);
            }
        }
    }
    return bytes;
}

// A chunk tree as a file says it, whatever order the writer's plug-ins were
// attached in: the sub-chunks of every extension chunk sorted by plug-in id,
// and pipeline-owner data (which a reader's plug-ins derive from the object's
// other data) left out. Containers are the chunk types that hold chunks.
struct Chunk {
    RwUInt32 type = 0;
    RwUInt32 stamp = 0;
    std::vector<Chunk> children;
    std::vector<RwUInt8> body;  // leaves only
    bool operator==(const Chunk &) const = default;
    bool operator<(const Chunk &other) const { return type < other.type; }
};

bool IsContainer(RwUInt32 type)
{
    switch (type) {
    case rwID_EXTENSION: case rwID_TEXTURE: case rwID_MATERIAL: case rwID_MATLIST: case rwID_ATOMICSECT:
    case rwID_PLANESECT: case rwID_WORLD_CHUNK: case rwID_FRAMELIST: case rwID_GEOMETRY: case rwID_CLUMP:
    case rwID_LIGHT: case rwID_ATOMIC: case rwID_GEOMETRYLIST:
        return true;
    default:
        return false;
    }
}

std::vector<Chunk> Chunks(const std::vector<RwUInt8> &bytes, size_t at, size_t end, RwUInt32 parent)
{
    std::vector<Chunk> chunks;
    while (at + rwCHUNKHEADERSIZE <= end) {
        Chunk chunk;
        chunk.type = RwUInt32FromLE(&bytes[at]);
        const size_t length = RwUInt32FromLE(&bytes[at + 4]);
        chunk.stamp = RwUInt32FromLE(&bytes[at + 8]);
        at += rwCHUNKHEADERSIZE;
        const size_t stop = std::min(end, at + length);
        if (IsContainer(chunk.type) && parent != rwID_EXTENSION) {
            chunk.children = Chunks(bytes, at, stop, chunk.type);
        } else {
            chunk.body.assign(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(stop));
        }
        at = stop;
        if (!(parent == rwID_EXTENSION && chunk.type == rwID_PIPEID)) {
            chunks.push_back(std::move(chunk));
        }
    }
    if (parent == rwID_EXTENSION) {
        std::stable_sort(chunks.begin(), chunks.end());
    }
    return chunks;
}

std::vector<Chunk> Content(const std::vector<RwUInt8> &bytes)
{
    const std::vector<RwUInt8> plain = WithoutRasterBits(bytes);
    return Chunks(plain, 0, plain.size(), 0);
}

// How each kind of file is read, written and destroyed.
struct Kind {
    const char *extension;
    const char *finder;  // the fuzz target whose findings are of this kind
    RwUInt32 chunk;
    void *(*read)(RwStream *);
    bool (*write)(void *, RwStream *);
    void (*destroy)(void *);
};

const Kind kKinds[] = {
    {".DFF", "clump", rwID_CLUMP, [](RwStream *s) -> void * { return RpClumpStreamRead(s); },
     [](void *o, RwStream *s) { return mkdata::WriteClumpChunk(static_cast<RpClump *>(o), s); },
     [](void *o) { RpClumpDestroy(static_cast<RpClump *>(o)); }},
    {".BSP", "world", rwID_WORLD_CHUNK, [](RwStream *s) -> void * { return RpWorldStreamRead(s); },
     [](void *o, RwStream *s) { return RpWorldStreamWrite(static_cast<RpWorld *>(o), s) != nullptr; },
     [](void *o) { RpWorldDestroy(static_cast<RpWorld *>(o)); }},
    {".ANM", "anim", rwID_ANIMANIMATION, [](RwStream *s) -> void * { return RtAnimAnimationStreamRead(s); },
     [](void *o, RwStream *s) { return RtAnimAnimationStreamWrite(static_cast<RtAnimAnimation *>(o), s) != nullptr; },
     [](void *o) { RtAnimAnimationDestroy(static_cast<RtAnimAnimation *>(o)); }},
};

class Readers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.Start(d3d8::Profile{}, 64, 48, game::AttachPlugins));
        ASSERT_TRUE(RwImageRegisterFormat("bmp", RtBmpRead, RtBmpWrite));
        filesRead = RwTextureGetReadCallBack();
        RwTextureSetReadCallBack(ReadOrStandIn);
    }
    void TearDown() override
    {
        RwTextureSetReadCallBack(filesRead);
        RwImageSetPath("");
        EXPECT_TRUE(screen.Stop()) << "engine memory left behind";
    }

    // The object of `kind` at the start of `bytes`, read within its chunk.
    static void *Read(const Kind &kind, const std::vector<RwUInt8> &bytes)
    {
        RwMemoryDescriptor desc;
        RwStream *stream = fuzzgame::OpenInput(bytes.data(), bytes.size(), &desc);
        if (stream == nullptr) {
            return nullptr;
        }
        void *object = fuzzgame::ReadChunk<void>(stream, kind.chunk, kind.read);
        RwStreamClose(stream, nullptr);
        return object;
    }
    static std::vector<RwUInt8> Written(const Kind &kind, void *object)
    {
        RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
        EXPECT_TRUE(kind.write(object, out));
        RwMemoryDescriptor written{nullptr, 0};
        RwStreamClose(out, &written);
        std::vector<RwUInt8> bytes(written.start, written.start + written.length);
        RwFree(written.start);
        return bytes;
    }

    // Some sample models name pictures the tree does not hold (effect
    // textures); a stand-in of that name keeps the reference, so what is
    // written back can be compared with what was read.
    static RwTexture *ReadOrStandIn(const RwChar *name, const RwChar *mask)
    {
        if (RwTexture *texture = filesRead(name, mask)) {
            return texture;
        }
        RwRaster *raster = RwRasterCreate(4, 4, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
        RwTexture *texture = raster != nullptr ? RwTextureCreate(raster) : nullptr;
        if (texture != nullptr) {
            RwTextureSetName(texture, name);
            RwTextureSetMaskName(texture, mask != nullptr ? mask : "");
        }
        return texture;
    }

    static inline RwTextureCallBackRead filesRead = nullptr;
    headlessscreen::Screen screen;
};

// The offset of the first byte where `a` and `b` differ (their shorter
// length when one is the start of the other).
size_t FirstDifference(const std::vector<RwUInt8> &a, const std::vector<RwUInt8> &b)
{
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) {
        ++at;
    }
    return at;
}

// Read and written again by the engine with the game's plug-ins, every
// sample file comes back byte for byte: the maker writes what the engine
// writes (extension chunks in the game's attach order, the texture word's
// raster bit, the lightmapped leaves' pipeline owner). Textures are read
// from the tree's files, no stand-ins: the model's TEXTURES folder, its own
// folder (the effects' and items' pictures lie beside them) and the one
// above it (the effects' shared pictures, which the game finds in the
// effects pack), so a model naming a picture the tree lacks loses its
// texture and fails here. The tree holds no .TXD file: texture dictionaries
// travel inside the packs.
TEST_F(Readers, EverySampleModelWorldAndAnimationIsWrittenBackByteForByte)
{
    RwTextureSetReadCallBack(filesRead);
    size_t files = 0;
    for (const Kind &kind : kKinds) {
        for (const fs::path &path : SampleFiles(kind.extension)) {
            ++files;
            const fs::path folder = path.parent_path();
            const std::string places = (folder / "TEXTURES/").string() + ";" + folder.string() + "/;" +
                                       folder.parent_path().string() + "/";
            RwImageSetPath(places.c_str());
            const std::vector<RwUInt8> original = FileBytes(path);
            void *object = Read(kind, original);
            ASSERT_NE(object, nullptr) << path;
            const std::vector<RwUInt8> once = Written(kind, object);
            kind.destroy(object);
            EXPECT_TRUE(once == original) << path << ": the engine wrote " << once.size() << " bytes for "
                                          << original.size() << ", the first difference at byte "
                                          << FirstDifference(once, original);
            RwError error;
            RwErrorGet(&error);
        }
    }
    EXPECT_TRUE(SampleFiles(".TXD").empty());
    if (files == 0) {
        GTEST_SKIP() << "no sample data in " << SampleData();
    }
    EXPECT_GE(files, 10u);
}

// Read and written again by the engine, every sample file says what it said
// (its chunk tree, see Chunk); what the engine wrote it reads back, and
// writes again to the byte.
TEST_F(Readers, EverySampleModelWorldAndAnimationIsWrittenBackAsItWasRead)
{
    size_t files = 0;
    for (const Kind &kind : kKinds) {
        for (const fs::path &path : SampleFiles(kind.extension)) {
            ++files;
            // Textures from the model's own folder, as the game reads them.
            RwImageSetPath((path.parent_path() / "TEXTURES/").string().c_str());
            const std::vector<RwUInt8> original = FileBytes(path);
            void *object = Read(kind, original);
            ASSERT_NE(object, nullptr) << path;
            const std::vector<RwUInt8> once = Written(kind, object);
            kind.destroy(object);
            EXPECT_TRUE(Content(once) == Content(original)) << path << ": the engine wrote other content than it read";
            void *back = Read(kind, once);
            ASSERT_NE(back, nullptr) << path << ": the engine cannot read what it wrote";
            EXPECT_TRUE(Written(kind, back) == once) << path << ": a second trip changed the bytes";
            kind.destroy(back);
            RwError error;
            RwErrorGet(&error);
        }
    }
    if (files == 0) {
        GTEST_SKIP() << "no sample data in " << SampleData();
    }
    EXPECT_GE(files, 10u);
}

RpAtomic *FirstEmitterFlags(RpAtomic *atomic, void *flags)
{
    if (const RpPrtStdEmitter *emitter = RpPrtStdAtomicGetEmitter(atomic)) {
        *static_cast<RwUInt32 *>(flags) = emitter->flag;
        return nullptr;
    }
    return atomic;
}

// The flag word of every emitter a particle extension chunk stores first
// (after the chunk's count word and the emitter class's flags).
void StoredEmitterFlags(const std::vector<Chunk> &chunks, std::vector<RwUInt32> *flags)
{
    for (const Chunk &chunk : chunks) {
        if (chunk.type == rwID_PRTSTDPLUGIN && chunk.body.size() >= 12) {
            flags->push_back(RwUInt32FromLE(&chunk.body[8]));
        }
        StoredEmitterFlags(chunk.children, flags);
    }
}

std::vector<RwUInt32> StoredEmitterFlags(const std::vector<RwUInt8> &bytes)
{
    std::vector<RwUInt32> flags;
    StoredEmitterFlags(Content(bytes), &flags);
    return flags;
}

// The emitter's run-time "read from a stream" mark is not written back: the
// flags the file stores are the flags the engine writes again.
TEST_F(Readers, EmitterFlagsSurviveARoundTrip)
{
    const fs::path path = SampleData() / "RESOURCE/G_EVENT/DFF/PARTICLE01.DFF";
    if (!fs::exists(path)) {
        GTEST_SKIP() << "no sample data in " << SampleData();
    }
    const Kind &kind = kKinds[0];
    const std::vector<RwUInt8> original = FileBytes(path);
    void *first = Read(kind, original);
    ASSERT_NE(first, nullptr);
    RwUInt32 read = 0;
    RpClumpForAllAtomics(static_cast<RpClump *>(first), FirstEmitterFlags, &read);
    EXPECT_NE(read & rpPRTSTDEMITTERFLAGSTREAMREAD, 0u);
    const std::vector<RwUInt32> stored = StoredEmitterFlags(original);
    ASSERT_FALSE(stored.empty());
    EXPECT_EQ(stored[0], read & ~rpPRTSTDEMITTERFLAGSTREAMREAD);
    const std::vector<RwUInt8> written = Written(kind, first);
    EXPECT_EQ(StoredEmitterFlags(written), stored);
    void *second = Read(kind, written);
    ASSERT_NE(second, nullptr);
    RwUInt32 again = 0;
    RpClumpForAllAtomics(static_cast<RpClump *>(second), FirstEmitterFlags, &again);
    EXPECT_EQ(again, read);
    kind.destroy(first);
    kind.destroy(second);
}

RpWorldSector *CountLightMapLeaves(RpWorldSector *sector, void *counts)
{
    auto *c = static_cast<std::pair<size_t, size_t> *>(counts);
    ++c->first;
    if (sector->pipeline != nullptr && sector->pipeline->pluginId == rwID_LTMAPPLUGIN &&
        RpLightMapWorldSectorGetLightMap(sector) != nullptr) {
        ++c->second;
    }
    return sector;
}

// Leaves, and leaves on the lightmap plug-in's pipeline with a lightmap.
std::pair<size_t, size_t> LightMapLeaves(void *world)
{
    std::pair<size_t, size_t> counts{0, 0};
    RpWorldForAllWorldSectors(static_cast<RpWorld *>(world), CountLightMapLeaves, &counts);
    return counts;
}

// The pipeline-owner records naming `owner` that the file holds (Content
// leaves them out).
size_t OwnerRecords(const std::vector<RwUInt8> &bytes, RwUInt32 owner)
{
    size_t found = 0;
    for (size_t at = 0; at + rwCHUNKHEADERSIZE + 4 <= bytes.size(); ++at) {
        found += RwUInt32FromLE(&bytes[at]) == rwID_PIPEID && RwUInt32FromLE(&bytes[at + 4]) == 8 &&
                 RwUInt32FromLE(&bytes[at + rwCHUNKHEADERSIZE]) == owner;
    }
    return found;
}

// Read, the lightmapped world's leaves go onto the lightmap plug-in's
// pipeline; the engine writes that owner with each leaf, and reading it back
// hands every leaf to the plug-in again.
TEST_F(Readers, TheLightmappedWorldTheEngineWritesReadsBackOnItsLightmapPipeline)
{
    const fs::path path = SampleData() / "RESOURCE/STAGE/1/STAGELM.BSP";
    if (!fs::exists(path)) {
        GTEST_SKIP() << "no sample data in " << SampleData();
    }
    RwImageSetPath((path.parent_path() / "TEXTURES/").string().c_str());
    const Kind &kind = kKinds[1];
    void *first = Read(kind, FileBytes(path));
    ASSERT_NE(first, nullptr);
    const std::pair<size_t, size_t> read = LightMapLeaves(first);
    EXPECT_GE(read.first, 2u);
    EXPECT_EQ(read.second, read.first);
    const std::vector<RwUInt8> written = Written(kind, first);
    kind.destroy(first);
    EXPECT_EQ(OwnerRecords(written, rwID_LTMAPPLUGIN), read.first);
    RwError stale;
    RwErrorGet(&stale);
    void *back = Read(kind, written);
    RwError error;
    RwErrorGet(&error);
    ASSERT_NE(back, nullptr) << RwErrorGetName(error.pluginID, error.errorCode);
    EXPECT_EQ(LightMapLeaves(back), read);
    kind.destroy(back);
}

// World chunk header, struct header, root flag, inverse origin, four counts
// and the collision size come before the world's format word (offset 60).
TEST_F(Readers, AWorldWithItsNativeBitSetButNoNativeDataIsRefused)
{
    size_t worlds = 0;
    for (const fs::path &path : SampleFiles(".BSP")) {
        ++worlds;
        RwImageSetPath((path.parent_path() / "TEXTURES/").string().c_str());
        std::vector<RwUInt8> bytes = FileBytes(path);
        ASSERT_GT(bytes.size(), 64u);
        bytes[63] |= 0x01;
        RwError stale;
        RwErrorGet(&stale);
        EXPECT_EQ(Read(kKinds[1], bytes), nullptr) << path;
        RwError error;
        RwErrorGet(&error);
        EXPECT_EQ(error.errorCode, E_RW_READ) << path;
        EXPECT_STREQ(RwErrorGetName(error.pluginID, error.errorCode), "E_RW_READ");
    }
    if (worlds == 0) {
        GTEST_SKIP() << "no sample data in " << SampleData();
    }
}

// Inputs the fuzz targets found faults with: each reads (or is refused)
// without a fault, and what the engine writes of it, it reads back.
TEST_F(Readers, EveryFuzzFindingReadsWithoutAFault)
{
    const fs::path findings = fs::path(RW_TEST_SOURCE_DIR) / "tests/readers/findings";
    for (const Kind &kind : kKinds) {
        const fs::path folder = findings / kind.finder;
        if (!fs::is_directory(folder)) {
            continue;
        }
        for (const auto &entry : fs::directory_iterator(folder)) {
            const std::vector<RwUInt8> bytes = FileBytes(entry.path());
            const fuzzgame::Outcome outcome = fuzzgame::ReadWriteRead<void>(
                bytes.data(), bytes.size(), kind.chunk, kind.read, kind.write, kind.destroy);
            EXPECT_NE(outcome, fuzzgame::Outcome::WrittenUnreadable) << entry.path();
        }
    }
    // The image and dictionary readers only read.
    const struct {
        const char *finder;
        void (*read)(RwStream *);
    } readers[] = {
        {"texdict", [](RwStream *s) { if (RwTexDictionary *d = RtPITexDStreamRead(s)) RwTexDictionaryDestroy(d); }},
        {"pitexd", [](RwStream *s) { if (RwTexDictionary *d = RtPITexDStreamRead(s)) RwTexDictionaryDestroy(d); }},
        {"bmp", [](RwStream *s) { if (RwImage *i = RtBmpStreamRead(s)) RwImageDestroy(i); }},
        {"dds", [](RwStream *s) { if (RwRaster *r = RwD3D8RasterReadDDS(s)) RwRasterDestroy(r); }},
    };
    for (const auto &reader : readers) {
        const fs::path folder = findings / reader.finder;
        if (!fs::is_directory(folder)) {
            continue;
        }
        for (const auto &entry : fs::directory_iterator(folder)) {
            const std::vector<RwUInt8> bytes = FileBytes(entry.path());
            RwMemoryDescriptor desc;
            if (RwStream *stream = fuzzgame::OpenInput(bytes.data(), bytes.size(), &desc)) {
                reader.read(stream);
                RwStreamClose(stream, nullptr);
            }
            RwError error;
            RwErrorGet(&error);
        }
    }
}

}  // namespace

}  // namespace reader_round_trip_test
