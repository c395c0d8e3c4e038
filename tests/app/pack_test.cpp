// Packs on the game's own engine start-up: the maker's packs read back
// byte for byte through zufopen from the pack and from the disk; pack
// textures found by name and taken back on close; the language folder and
// its fallback; packs streamed into memory; and hostile packs refused whole.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "app/file.h"
#include "app/language.h"
#include "app/pack.h"
#include "app/pack_index.h"
#include "app/rawfile.h"
#include "rpworld.h"
#include "tests/app/app_test_support.h"
#include "support/game/diagnostics_capture.h"

namespace pack_test {

namespace {

using apptest::FatalRecorder;

const char *const kStagePack = "\\PACK\\STAGE1\\2010000.STR";
const char *const kLanguagePack = "\\PACK\\SAMPLE\\LANGUAGE.STR";

struct Listed {
    std::string name;
    uint64_t offset;
    uint64_t size;
};

std::vector<Listed> ReadList(const std::string &path)
{
    std::vector<Listed> listed;
    std::istringstream in(std::string(reinterpret_cast<const char *>(apptest::ReadBytes(path).data()),
                                      apptest::ReadBytes(path).size()));
    for (std::string line; std::getline(in, line);) {
        Listed entry;
        std::istringstream fields(line);
        std::getline(fields, entry.name, '\t');
        fields >> entry.offset >> entry.size;
        listed.push_back(entry);
    }
    return listed;
}

int TexturesIn(RwTexDictionary *dictionary)
{
    int count = 0;
    RwTexDictionaryForAllTextures(
        dictionary, [](RwTexture *t, void *n) { return ++*static_cast<int *>(n), t; }, &count);
    return count;
}

class SamplePacks : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        SetLanguageIndex(1);
        StartIn(apptest::SampleData());
    }
};

// Every file record of both maker packs, read through zufopen while its
// pack is open (taken from the pack) and while none is (from the disk).
TEST_F(SamplePacks, EveryFileReadsBackByteIdenticalFromPackAndDisk)
{
    struct Pack {
        const char *open;
        const char *list;
    } packs[] = {{kStagePack, "/PACK/STAGE1/2010000.LST"}, {kLanguagePack, "/USAPACK/SAMPLE/LANGUAGE.LST"}};
    int files = 0;
    for (const Pack &pack : packs) {
        const std::vector<Listed> listed = ReadList(apptest::SampleData() + pack.list);
        ASSERT_FALSE(listed.empty()) << pack.list;
        for (const Listed &entry : listed) {
            ASSERT_TRUE(zuOpenPack(pack.open)) << pack.open;
            zuFile *file = zufopen(entry.name.c_str(), "rb");
            ASSERT_NE(file, nullptr) << entry.name;
            EXPECT_EQ(file->fp, nullptr) << entry.name << " was not taken from the pack";
            zufclose(file);
            std::vector<uint8_t> fromPack;
            ASSERT_TRUE(zufReadAll(entry.name.c_str(), &fromPack));
            zuClosePack();
            std::vector<uint8_t> fromDisk;
            ASSERT_TRUE(zufReadAll(entry.name.c_str(), &fromDisk)) << entry.name;
            EXPECT_EQ(fromPack.size(), entry.size);
            EXPECT_TRUE(fromPack == fromDisk) << entry.name;
            ++files;
        }
    }
    // The stage's world, lights, camera walls, wall and stage model; the language text.
    EXPECT_EQ(files, 6);
}

TEST_F(SamplePacks, TexturesAreFoundByNameAndTakenBackOnClose)
{
    RwTexDictionary *current = RwTexDictionaryGetCurrent();
    ASSERT_NE(current, nullptr);
    const int before = TexturesIn(current);
    ASSERT_TRUE(zuOpenPack(kStagePack));
    // The world's four and the stage model's three.
    EXPECT_EQ(TexturesIn(current), before + 7);
    for (const char *name : {"tile01", "GRASS01", "brick01", "sign01", "crate_wood", "crate_metal", "lamp_glass"}) {
        EXPECT_NE(RwTexDictionaryFindTexture(current, name), nullptr) << name;
    }
    RwTexture *held = RwTextureRead("tile01", nullptr);  // found, not read from a file
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->dict, current);
    ASSERT_NE(held->raster, nullptr);
    EXPECT_EQ(held->raster->width, 32);
    EXPECT_EQ(held->filterAddressing, 0x1102u);
    zuClosePack();
    EXPECT_EQ(TexturesIn(current), before);
    EXPECT_EQ(RwTexDictionaryFindTexture(current, "sign01"), nullptr);
    // The held one left the dictionary and goes with its holder.
    EXPECT_EQ(held->dict, nullptr);
    EXPECT_EQ(held->refCount, 1);
    RwTextureDestroy(held);
}

TEST_F(SamplePacks, OpeningAnotherPackClosesTheFirst)
{
    RwTexDictionary *current = RwTexDictionaryGetCurrent();
    const int before = TexturesIn(current);
    EXPECT_FALSE(PackOpenHook());  // nothing stands in for an open
    ASSERT_TRUE(zuOpenPack(kStagePack));
    ASSERT_TRUE(zuOpenPack(kLanguagePack));
    EXPECT_EQ(TexturesIn(current), before + 1);
    EXPECT_NE(RwTexDictionaryFindTexture(current, "language"), nullptr);
    EXPECT_EQ(RwTexDictionaryFindTexture(current, "sign01"), nullptr);
    EXPECT_EQ(zufexists("\\RESOURCE\\STAGE\\1\\STAGE.BSP"), true);  // from the disk now
    zuFile *file = zufopen("\\RESOURCE\\STAGE\\1\\STAGE.BSP", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_NE(file->fp, nullptr);
    zufclose(file);
}

// Language 1 finds the pack only its folder has; the stage pack, which only
// \PACK has, falls back; a language whose folder lacks the pack and \PACK
// lacking it too is a missing list.
TEST_F(SamplePacks, TheLanguagesFolderComesFirstThenPack)
{
    ASSERT_TRUE(zuOpenPack(kLanguagePack));
    EXPECT_STREQ(zuGetOpenPackPath(), "\\USAPACK\\SAMPLE\\LANGUAGE.STR");
    ASSERT_TRUE(zuOpenPack(kStagePack));
    EXPECT_STREQ(zuGetOpenPackPath(), kStagePack);
    zuClosePack();
    SetLanguageIndex(2);
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(zuOpenPack(kLanguagePack));
    const std::string lines = gametest::TakeDiagnostics();
    EXPECT_NE(lines.find("We DONT have LST file!!!(PACK/SAMPLE/LANGUAGE.LST)\n"), std::string::npos) << lines;
    ASSERT_EQ(FatalRecorder::Names().size(), 1u);
    EXPECT_EQ(FatalRecorder::Names()[0], "\\PACK\\SAMPLE\\LANGUAGE.LST");
    EXPECT_FALSE(zuIsPackOpen());
    ASSERT_TRUE(zuOpenPack(kStagePack));
    SetLanguageIndex(1);
}

TEST(PackPaths, LocalisedToEachLanguagesFolder)
{
    const char *const folders[] = {"CHAPACK", "USAPACK", "FREPACK", "GERPACK", "ITAPACK",
                                   "SPAPACK", "JAPPACK", "SWEPACK", "NORPACK", "DANPACK",
                                   "FINPACK", "PORPACK", "DUTPACK", "KORPACK", "GREPACK"};
    char out[128];
    for (int language = 0; language < kLanguageCount; ++language) {
        SetLanguageIndex(language);
        ASSERT_TRUE(zuLocalisePackPath("D:\\GAME\\PACK\\UI0\\WARNING.STR", out, sizeof(out)));
        EXPECT_EQ(std::string(out), std::string("D:\\GAME\\") + folders[language] + "\\UI0\\WARNING.STR");
    }
    // Each language's code; an index out of range is English's.
    EXPECT_STREQ(GetLanguageCode(0), "CHA");
    EXPECT_STREQ(GetLanguageCode(14), "GRE");
    EXPECT_STREQ(GetLanguageCode(15), "USA");
    EXPECT_STREQ(GetLanguageCode(-1), "USA");
    EXPECT_STREQ(GetLanguagePackFolder(-1), "\\USAPACK");
    SetLanguageIndex(-1);
    EXPECT_EQ(GetLanguageIndex(), 1);
    SetLanguageIndex(99);
    EXPECT_EQ(GetLanguageIndex(), 1);
    // A path that ends in the PACK folder itself.
    ASSERT_TRUE(zuLocalisePackPath("D:\\GAME\\PACK", out, sizeof(out)));
    EXPECT_STREQ(out, "D:\\GAME\\USAPACK");
    ASSERT_TRUE(zuLocalisePackPath("\\pack\\STAGE1\\2010000.STR", out, sizeof(out)));
    EXPECT_STREQ(out, "\\USAPACK\\STAGE1\\2010000.STR");
    // Only a folder named PACK counts.
    ASSERT_TRUE(zuLocalisePackPath("\\PACKAGES\\X.STR", out, sizeof(out)));
    EXPECT_STREQ(out, "\\PACKAGES\\X.STR");
    EXPECT_FALSE(zuLocalisePackPath("\\PACK\\X.STR", out, 8));
    // A path that just fits is written whole and nothing past the size given.
    char fit[24];
    std::memset(fit, '#', sizeof(fit));
    const size_t length = std::strlen("\\USAPACK\\X.STR");
    ASSERT_TRUE(zuLocalisePackPath("\\PACK\\X.STR", fit, length + 1));
    EXPECT_STREQ(fit, "\\USAPACK\\X.STR");
    EXPECT_EQ(fit[length + 1], '#');
    EXPECT_FALSE(zuLocalisePackPath("\\PACK\\X.STR", fit, length));
    EXPECT_EQ(fit[0], '\0');
    zuTracePackPath("\\PACK\\X.STR");
}

// Streamed into memory by the raw reader, then opened from there.
TEST_F(SamplePacks, MemoryPacksServeTheSameFilesAndTextures)
{
    RawFile *raw = RawFileOpen(kStagePack);
    ASSERT_NE(raw, nullptr);
    RawFileBuffer *memory = RawFileBufferCreate(raw);
    ASSERT_NE(memory, nullptr);
    for (uint32_t at = 0, got = 1; got != 0; at += got) {
        ASSERT_TRUE(RawFileRead(raw, memory->buffer + at, kRawFileBlock, &got));
    }
    RawFileClose(raw);
    ASSERT_TRUE(zuOpenPackMemory(kStagePack, memory));
    EXPECT_NE(RwTexDictionaryFindTexture(RwTexDictionaryGetCurrent(), "brick01"), nullptr);
    std::vector<uint8_t> fromMemory;
    ASSERT_TRUE(zufReadAll("\\RESOURCE\\STAGE\\1\\LIGHTS.DFF", &fromMemory));
    EXPECT_TRUE(fromMemory == apptest::ReadBytes(apptest::SampleData() + "/RESOURCE/STAGE/1/LIGHTS.DFF"));
    // A record beyond the bytes the memory holds now is not served from it.
    const uint32_t whole = memory->fileSize;
    memory->fileSize = 16;
    zuFile *cut = zufopen("\\RESOURCE\\STAGE\\1\\LIGHTS.DFF", "rb");
    EXPECT_TRUE(cut == nullptr || cut->fp != nullptr);  // the disk's, if any
    zufclose(cut);
    memory->fileSize = whole;
    RawFileBuffer other{memory->buffer, memory->fileSize, memory->capacity};
    zuClosePackMemory(&other);  // not the pack's record: nothing happens
    EXPECT_TRUE(zuIsPackOpen());
    zuClosePackMemory(memory);
    EXPECT_FALSE(zuIsPackOpen());
    EXPECT_EQ(RwTexDictionaryFindTexture(RwTexDictionaryGetCurrent(), "brick01"), nullptr);
    RawFileBufferFree(memory);
}

// Damaged packs made from the stage pack: each is refused whole, with the
// fatal report naming the stream (the list, when the list is no list) with
// why, no line of its own before it, and nothing of it left installed.
class HostilePacks : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        root = apptest::ScratchFolder("hostile");
        StartIn(root);
        str = apptest::ReadBytes(apptest::SampleData() + "/PACK/STAGE1/2010000.STR");
        const std::vector<uint8_t> bytes = apptest::ReadBytes(apptest::SampleData() + "/PACK/STAGE1/2010000.LST");
        list.assign(bytes.begin(), bytes.end());
        listed = ReadList(apptest::SampleData() + "/PACK/STAGE1/2010000.LST");
    }

    std::string ListOf(const std::vector<Listed> &entries)
    {
        std::string text;
        for (const Listed &e : entries) {
            text += e.name + "\t" + std::to_string(e.offset) + "\t" + std::to_string(e.size) + "\n";
        }
        return text;
    }

    void ExpectRefused(const std::vector<uint8_t> &badStr, const std::string &badList, const char *what)
    {
        apptest::WriteBytes(root + "/PACK/BAD/1.STR", badStr);
        apptest::WriteText(root + "/PACK/BAD/1.LST", badList);
        RwTexDictionary *current = RwTexDictionaryGetCurrent();
        const int before = TexturesIn(current);
        FatalRecorder::Names().clear();
        gametest::CaptureDiagnostics();
        EXPECT_FALSE(zuOpenPack("\\PACK\\BAD\\1.STR")) << what;
        const std::string lines = gametest::TakeDiagnostics();
        EXPECT_FALSE(zuIsPackOpen()) << what;
        EXPECT_EQ(TexturesIn(current), before) << what;
        ASSERT_EQ(FatalRecorder::Names().size(), 1u) << what;
        const std::string reason = UnreadableReason(FatalRecorder::Names()[0].c_str());
        EXPECT_FALSE(reason.empty()) << what;
        EXPECT_EQ(FatalRecorder::Names()[0],
                  PackIndexErrorIsTheLists(reason) ? "\\PACK\\BAD\\1.LST" : "\\PACK\\BAD\\1.STR")
            << what << ": " << reason;
        EXPECT_EQ(lines.find("cannot read"), std::string::npos) << what << ": " << lines;
        EXPECT_EQ(lines.find("refused"), std::string::npos) << what << ": " << lines;
        EXPECT_EQ(zufexists("\\RESOURCE\\STAGE\\1\\STAGE.BSP"), false) << what;
        // The same bytes from memory are refused the same way.
        RawFileBuffer memory{const_cast<uint8_t *>(badStr.data()), static_cast<uint32_t>(badStr.size()),
                             static_cast<uint32_t>(badStr.size())};
        gametest::CaptureDiagnostics();
        EXPECT_FALSE(zuOpenPackMemory("\\PACK\\BAD\\1.STR", &memory)) << what;
        gametest::TakeDiagnostics();
        EXPECT_EQ(TexturesIn(current), before) << what;
    }

    std::string root;
    std::vector<uint8_t> str;
    std::string list;
    std::vector<Listed> listed;
};

TEST_F(HostilePacks, TheUntouchedPackOpensAndServesTheEnginesReads)
{
    apptest::WriteBytes(root + "/PACK/GOOD/1.STR", str);
    apptest::WriteText(root + "/PACK/GOOD/1.LST", list);
    ASSERT_TRUE(zuOpenPack("\\PACK\\GOOD\\1.STR"));
    // This root has nothing but the pack: the engine's reads find its files too.
    EXPECT_TRUE(zufexists("\\RESOURCE\\STAGE\\1\\STAGE.BSP"));
    EXPECT_TRUE(RwFileExists("RESOURCE/STAGE/1/STAGE.BSP"));
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, "\\RESOURCE\\STAGE\\1\\LIGHTS.DFF");
    ASSERT_NE(stream, nullptr);
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    EXPECT_TRUE(RwStreamFindChunk(stream, rwID_CLUMP, &length, &version));
    RwStreamClose(stream, nullptr);
    zuClosePack();
    EXPECT_FALSE(RwFileExists("RESOURCE/STAGE/1/STAGE.BSP"));
}

// A pack named without an extension in a folder with a dot: its list is the
// name and ".LST", not a cut at the folder's dot.
TEST_F(HostilePacks, APackInADottedFolderFindsItsList)
{
    apptest::WriteBytes(root + "/PACK/V1.2/STAGE", str);
    apptest::WriteText(root + "/PACK/V1.2/STAGE.LST", list);
    apptest::WriteText(root + "/PACK/V1.LST", "not the list\n");
    EXPECT_TRUE(zuPackExists("\\PACK\\V1.2\\STAGE"));
    ASSERT_TRUE(zuOpenPack("\\PACK\\V1.2\\STAGE"));
    EXPECT_TRUE(zufexists("\\RESOURCE\\STAGE\\1\\STAGE.BSP"));
    zuClosePack();
    EXPECT_FALSE(zuPackExists("\\PACK\\V1.3\\STAGE"));
}

// A stream cut short on the disc after its pack opened: the file it can no
// longer give is not there, never an empty file.
TEST_F(HostilePacks, ARecordTheStreamNoLongerHoldsIsNotServed)
{
    apptest::WriteBytes(root + "/PACK/CUT/1.STR", str);
    apptest::WriteText(root + "/PACK/CUT/1.LST", list);
    ASSERT_TRUE(zuOpenPack("\\PACK\\CUT\\1.STR"));
    const Listed &first = listed[0];
    ASSERT_GT(first.size, 8192u) << first.name;  // more than the stream's buffer holds
    std::filesystem::resize_file(root + "/PACK/CUT/1.STR", first.offset);
    EXPECT_FALSE(zufexists(first.name.c_str())) << first.name;
    EXPECT_FALSE(RwFileExists(first.name.c_str())) << first.name;
    EXPECT_EQ(zufopen(first.name.c_str(), "rb"), nullptr) << first.name;
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(zufReadAll(first.name.c_str(), &bytes)) << first.name;
    EXPECT_TRUE(zuIsPackOpen());
    zuClosePack();
}

// A stream cut inside a record: the records before the cut are still there
// to be asked for and read; the cut one and those after it are not.
TEST_F(HostilePacks, ARecordIsThereWhileTheStreamHoldsItsBytes)
{
    apptest::WriteBytes(root + "/PACK/CUT/1.STR", str);
    apptest::WriteText(root + "/PACK/CUT/1.LST", list);
    ASSERT_TRUE(zuOpenPack("\\PACK\\CUT\\1.STR"));
    ASSERT_GE(listed.size(), 2u);
    const Listed &second = listed[1];
    ASSERT_GT(second.size, 0u) << second.name;
    std::filesystem::resize_file(root + "/PACK/CUT/1.STR", second.offset + 8 + second.name.size() + second.size - 1);
    const Listed &first = listed[0];
    EXPECT_TRUE(zufexists(first.name.c_str())) << first.name;
    EXPECT_TRUE(RwFileExists(first.name.c_str())) << first.name;
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(zufReadAll(first.name.c_str(), &bytes)) << first.name;
    EXPECT_EQ(bytes.size(), first.size);
    EXPECT_FALSE(zufexists(second.name.c_str())) << second.name;
    EXPECT_FALSE(RwFileExists(second.name.c_str())) << second.name;
    EXPECT_FALSE(zufReadAll(second.name.c_str(), &bytes)) << second.name;
    zuClosePack();
}

TEST_F(HostilePacks, TruncatedStreamsAreRefused)
{
    for (size_t keep : {size_t{0}, size_t{8}, size_t{100}, str.size() / 2, str.size() - 1}) {
        ExpectRefused(std::vector<uint8_t>(str.begin(), str.begin() + static_cast<long>(keep)), list,
                      ("truncated to " + std::to_string(keep)).c_str());
    }
}

// A list line that is no record (a number missing, too long or not a
// number, a field too many) is the list's fault: the report names the list.
TEST_F(HostilePacks, AListLineThatIsNoRecordIsNamedAsTheLists)
{
    const std::string first = listed[0].name + "\t" + std::to_string(listed[0].offset) + "\t";
    for (const std::string &line : {listed[0].name + "\t\t" + std::to_string(listed[0].size),
                                    first, first + "12345678901234567890", first + "12x",
                                    first + std::to_string(listed[0].size) + "\t1"}) {
        SCOPED_TRACE(line);
        ExpectRefused(str, line + "\n", "no record");
        ASSERT_FALSE(FatalRecorder::Names().empty());
        EXPECT_EQ(FatalRecorder::Names()[0], "\\PACK\\BAD\\1.LST");
        EXPECT_NE(UnreadableReason("\\PACK\\BAD\\1.LST").find("list line 1 is not"), std::string::npos);
    }
}

TEST_F(HostilePacks, ListsThatDisagreeWithTheRecordsAreRefused)
{
    std::vector<Listed> e = listed;
    e[1].offset = str.size();
    ExpectRefused(str, ListOf(e), "offset at the end");
    e = listed;
    e[0].offset = 0xFFFFFFFFFFull;
    ExpectRefused(str, ListOf(e), "offset far past the end");
    e = listed;
    e[0].offset = 4;
    ExpectRefused(str, ListOf(e), "offset inside the dictionary");
    e = listed;
    e[0].size += 1;
    ExpectRefused(str, ListOf(e), "size differs");
    e = listed;
    e[0].name = "\\RESOURCE\\STAGE\\1\\STAGE.BSQ";
    ExpectRefused(str, ListOf(e), "another name");
    e = listed;
    e[1] = e[0];
    ExpectRefused(str, ListOf(e), "listed twice");
    e = listed;
    e[1].name = "\\resource\\stage\\1\\stage.bsp";
    e[1].offset = e[0].offset;
    e[1].size = e[0].size;
    ExpectRefused(str, ListOf(e), "listed twice in another case");
    ExpectRefused(str, list + "garbage line\n", "a line that is no record");
    ExpectRefused(str, list + "\\X\t12\n", "a line without a size");
    ExpectRefused(str, list + "\\X\t-5\t1\n", "a negative offset");
    ExpectRefused(str, list + "\\X\t99999999999999999999999\t1\n", "an offset beyond 64 bits");
}

// Counts and sizes inside the stream claiming more than it has.
TEST_F(HostilePacks, HugeCountsAndSizesAreRefused)
{
    auto put32 = [](std::vector<uint8_t> *b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            (*b)[at + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    };
    std::vector<uint8_t> bad = str;
    put32(&bad, 4, 0xFFFFFFF0u);
    ExpectRefused(bad, list, "dictionary length");
    bad = str;
    bad[12] = 0xFF;
    bad[13] = 0xFF;
    ExpectRefused(bad, list, "texture count");
    bad = str;
    put32(&bad, listed[0].offset, 0xFFFFFFFFu);
    ExpectRefused(bad, list, "name length");
    bad = str;
    put32(&bad, listed[0].offset + 4 + listed[0].name.size(), 0xFFFFFFFFu);
    std::vector<Listed> e = listed;
    e[0].size = 0xFFFFFFFFu;
    ExpectRefused(bad, ListOf(e), "record size");
    bad = str;
    put32(&bad, 0, 0x16);
    ExpectRefused(bad, list, "no dictionary first");
    bad = str;
    put32(&bad, 4, 2);
    ExpectRefused(bad, list, "a dictionary shorter than its head");
}

// The quiet open (the event scenes' own packs): a pack that is not there,
// or is refused, gives false with no fatal report, a refused one says why
// in a line of its own; a good one opens as the loud open does. Nothing to
// open opens nothing.
TEST_F(HostilePacks, TheQuietOpenReportsNothingFatal)
{
    FatalRecorder::Names().clear();
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(zuTryOpenPack("\\PACK\\NONE\\1.STR", nullptr));
    EXPECT_EQ(gametest::TakeDiagnostics().find("cannot read"), std::string::npos);
    std::vector<uint8_t> bad = str;
    bad[0] = 0x16;  // no texture dictionary first
    apptest::WriteBytes(root + "/PACK/BAD/1.STR", bad);
    apptest::WriteText(root + "/PACK/BAD/1.LST", list);
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(zuTryOpenPack("\\PACK\\BAD\\1.STR", nullptr));
    const std::string said = gametest::TakeDiagnostics();
    EXPECT_NE(said.find("cannot read PACK/BAD/1.STR"), std::string::npos) << said;
    EXPECT_FALSE(zuIsPackOpen());
    EXPECT_TRUE(FatalRecorder::Names().empty());
    RawFileBuffer memory{str.data(), static_cast<uint32_t>(str.size()), static_cast<uint32_t>(str.size())};
    ASSERT_TRUE(zuTryOpenPack("\\PACK\\BAD\\1.STR", &memory));
    EXPECT_TRUE(zufexists("\\RESOURCE\\STAGE\\1\\STAGE.BSP"));
    zuClosePackMemory(&memory);
    EXPECT_FALSE(zuIsPackOpen());
    EXPECT_FALSE(zuOpenPack(nullptr));
    EXPECT_FALSE(zuOpenPackMemory("\\PACK\\BAD\\1.STR", nullptr));
    char out[32];
    EXPECT_FALSE(zuLocalisePackPath(nullptr, out, sizeof(out)));
    EXPECT_FALSE(zuLocalisePackPath("\\PACK\\X.STR", nullptr, sizeof(out)));
    EXPECT_FALSE(zuLocalisePackPath("\\PACK\\X.STR", out, 0));
    EXPECT_TRUE(FatalRecorder::Names().empty());
}

// A list whose stream is not on the disc: the report names the stream.
TEST_F(HostilePacks, AListWithoutItsStreamIsRefused)
{
    apptest::WriteText(root + "/PACK/HALF/1.LST", list);
    FatalRecorder::Names().clear();
    EXPECT_FALSE(zuOpenPack("\\PACK\\HALF\\1.STR"));
    EXPECT_FALSE(zuIsPackOpen());
    ASSERT_EQ(FatalRecorder::Names().size(), 1u);
    EXPECT_EQ(FatalRecorder::Names()[0], "\\PACK\\HALF\\1.STR");
    EXPECT_NE(UnreadableReason("\\PACK\\HALF\\1.STR").find("the stream cannot be opened"), std::string::npos);
}

TEST(PackIndex, FindsNamesIgnoringCaseAndSlashes)
{
    std::vector<uint8_t> str = {0x23, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0x03, 0x1C, 0, 0, 0, 0};
    const std::string name = "\\RESOURCE\\A.TXT";
    const size_t offset = str.size();
    for (int i = 0; i < 4; ++i) {
        str.push_back(static_cast<uint8_t>(name.size() >> (8 * i)));
    }
    str.insert(str.end(), name.begin(), name.end());
    str.insert(str.end(), {2, 0, 0, 0, 'h', 'i'});
    const std::string list = name + "\t" + std::to_string(offset) + "\t2\r\n\r\n";
    PackIndex index;
    std::string error;
    ASSERT_TRUE(PackIndexBuild(list.data(), list.size(), str.data(), str.size(), &index, &error)) << error;
    const PackRecord *record = PackIndexFind(index, "\\resource/a.txt");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->size, 2u);
    EXPECT_EQ(record->dataOffset, str.size() - 2);
    EXPECT_EQ(PackIndexFind(index, "\\RESOURCE\\A.TX"), nullptr);
    EXPECT_EQ(PackIndexFind(index, "\\RESOURCE\\A.TXT2"), nullptr);
}

}  // namespace

}  // namespace pack_test
