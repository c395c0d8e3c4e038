// User data: the stream body of every format (null names and strings,
// empty strings), counting on frames, copying with clones, and bodies whose
// lengths and counts reach past their data.
#include <cstring>

#include "rwsdk/world/world_bytes.h"
#include "rwsdk/world/world_test_support.h"

namespace rpusrdat_test {

namespace {

using rwtest::WorldTest;

class UserDataTest : public WorldTest {};

RwFrame *FrameWithData()
{
    RwFrame *frame = RwFrameCreate();
    RpUserDataList *list = RpUserDataFrameGetList(frame);
    RpUserDataArray *text = RpUserDataListAddArray(list, "3dsmax User Properties", rpSTRINGUSERDATA, 3);
    RpUserDataArraySetString(text, 0, "3514100P02");
    RpUserDataArraySetString(text, 1, "");
    RpUserDataArray *reals = RpUserDataListAddArray(list, nullptr, rpREALUSERDATA, 2);
    static_cast<RwReal *>(reals->data)[1] = 2.5f;
    return frame;
}

std::vector<RwUInt8> FrameBytes(RwFrame *root)
{
    RwFrameList frames;
    RwFrameListInitialize(&frames, root);
    std::vector<RwUInt8> bytes = rwtest::WrittenBy([&](RwStream *s) { RwFrameListStreamWrite(&frames, s); });
    RwFrameListDeinit(&frames);
    return bytes;
}

RwFrame *ReadFrame(std::vector<RwUInt8> bytes)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwUInt32 length = 0;
    RwFrameList frames{nullptr, 0};
    RwFrame *frame = nullptr;
    if (RwStreamFindChunk(stream, rwID_FRAMELIST, &length, nullptr) && RwFrameListStreamRead(stream, &frames)) {
        frame = frames.frames[0];
        RwFrameListDeinit(&frames);
    }
    RwStreamClose(stream, nullptr);
    return frame;
}

TEST_F(UserDataTest, ArraysTravelWithTheirFrame)
{
    RwFrame *frame = FrameWithData();
    RwFrame *read = ReadFrame(FrameBytes(frame));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(RpUserDataFrameGetNumArrays(read), 2);
    RpUserDataArray *text = RpUserDataFrameGetArray(read, 0);
    EXPECT_STREQ(RpUserDataArrayGetName(text), "3dsmax User Properties");
    EXPECT_STREQ(RpUserDataArrayGetString(text, 0), "3514100P02");
    EXPECT_STREQ(RpUserDataArrayGetString(text, 1), "");
    EXPECT_EQ(RpUserDataArrayGetString(text, 2), nullptr);
    RpUserDataArray *reals = RpUserDataFrameGetArray(read, 1);
    EXPECT_EQ(RpUserDataArrayGetName(reals), nullptr);
    EXPECT_EQ(RpUserDataArrayGetReal(reals, 1), 2.5f);
    EXPECT_EQ(RpUserDataFrameGetArray(read, 2), nullptr);

    RwFrame *clone = RwFrameCloneHierarchy(read);
    RwFramePurgeClone(read);
    RwFrameDestroy(read);
    EXPECT_STREQ(RpUserDataArrayGetString(RpUserDataFrameGetArray(clone, 0), 0), "3514100P02");
    RwFrameDestroy(clone);
    RwFrameDestroy(frame);
}

TEST_F(UserDataTest, NoArraysWriteNoChunk)
{
    RwFrame *frame = RwFrameCreate();
    std::vector<RwUInt8> bytes = FrameBytes(frame);
    EXPECT_EQ(bytes.size(), 12u + 12u + 4u + 56u + 12u);
    RwFrameDestroy(frame);
}

void PutWord(std::vector<RwUInt8> *bytes, RwUInt32 value)
{
    for (int i = 0; i < 4; ++i) {
        bytes->push_back(static_cast<RwUInt8>(value >> (8 * i)));
    }
}

void PutText(std::vector<RwUInt8> *bytes, const char *text)
{
    PutWord(bytes, text != nullptr ? static_cast<RwUInt32>(std::strlen(text) + 1) : 0u);
    for (const char *c = text; c != nullptr; ++c) {
        bytes->push_back(static_cast<RwUInt8>(*c));
        if (*c == '\0') {
            break;
        }
    }
}

// A user-data body laid out word by word (count; per array the name's
// length and bytes, the format, the element count and the elements), on a
// frame read from a stream: every element of every format through
// RpUserDataArrayGetElement.
TEST_F(UserDataTest, ABodyWrittenWordByWordReadsElementByElement)
{
    RwFrame *bare = RwFrameCreate();
    std::vector<RwUInt8> bytes = FrameBytes(bare);
    RwFrameDestroy(bare);
    std::vector<RwUInt8> body;
    PutWord(&body, 3);
    PutText(&body, "3dsmax User Properties");
    PutWord(&body, rpSTRINGUSERDATA);
    PutWord(&body, 3);
    PutText(&body, "3514100P04 noshadow");
    PutText(&body, nullptr);
    PutText(&body, "");
    PutText(&body, nullptr);
    PutWord(&body, rpINTUSERDATA);
    PutWord(&body, 2);
    PutWord(&body, 7);
    PutWord(&body, 0xFFFFFFFEu);
    PutText(&body, "r");
    PutWord(&body, rpREALUSERDATA);
    PutWord(&body, 1);
    PutWord(&body, 0x40200000u);  // 2.5
    const RwUInt32 stamp = RwUInt32FromLE(&bytes[8]);
    std::vector<RwUInt8> chunk;
    PutWord(&chunk, rwID_USERDATAPLUGIN);
    PutWord(&chunk, static_cast<RwUInt32>(body.size()));
    PutWord(&chunk, stamp);
    chunk.insert(chunk.end(), body.begin(), body.end());
    // The frame list's and its extension's lengths grow by the new chunk.
    const size_t extension = bytes.size() - 12;
    ASSERT_EQ(RwUInt32FromLE(&bytes[extension]), rwID_EXTENSION);
    const auto grow = [&](size_t at) {
        const RwUInt32 length = RwUInt32FromLE(&bytes[at + 4]) + static_cast<RwUInt32>(chunk.size());
        for (int i = 0; i < 4; ++i) {
            bytes[at + 4 + static_cast<size_t>(i)] = static_cast<RwUInt8>(length >> (8 * i));
        }
    };
    grow(0);
    grow(extension);
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());

    RwFrame *read = ReadFrame(bytes);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(RpUserDataFrameGetNumArrays(read), 3);
    const RpUserDataArray *text = RpUserDataFrameGetArray(read, 0);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(RpUserDataArrayGetName(text), "3dsmax User Properties");
    EXPECT_EQ(RpUserDataArrayGetFormat(text), rpSTRINGUSERDATA);
    EXPECT_EQ(RpUserDataArrayGetNumElements(text), 3);
    EXPECT_STREQ(static_cast<const char *>(RpUserDataArrayGetElement(text, 0)), "3514100P04 noshadow");
    EXPECT_EQ(RpUserDataArrayGetElement(text, 1), nullptr);
    EXPECT_STREQ(static_cast<const char *>(RpUserDataArrayGetElement(text, 2)), "");
    const RpUserDataArray *ints = RpUserDataFrameGetArray(read, 1);
    ASSERT_NE(ints, nullptr);
    EXPECT_EQ(RpUserDataArrayGetName(ints), nullptr);
    EXPECT_EQ(RpUserDataArrayGetNumElements(ints), 2);
    EXPECT_EQ(*static_cast<const RwInt32 *>(RpUserDataArrayGetElement(ints, 0)), 7);
    EXPECT_EQ(*static_cast<const RwInt32 *>(RpUserDataArrayGetElement(ints, 1)), -2);
    const RpUserDataArray *reals = RpUserDataFrameGetArray(read, 2);
    ASSERT_NE(reals, nullptr);
    EXPECT_STREQ(RpUserDataArrayGetName(reals), "r");
    EXPECT_EQ(*static_cast<const RwReal *>(RpUserDataArrayGetElement(reals, 0)), 2.5f);
    // Written again, the body is the one laid out here.
    const std::vector<RwUInt8> again = FrameBytes(read);
    EXPECT_EQ(again, bytes);
    RwFrameDestroy(read);
}

TEST_F(UserDataTest, LengthsPastTheDataAreRefused)
{
    RwFrame *frame = FrameWithData();
    std::vector<RwUInt8> bytes = FrameBytes(frame);
    RwFrameDestroy(frame);
    // The user-data body starts after the frame list's struct and the
    // extension and sub-chunk headers.
    const size_t body = 12 + 12 + 4 + 56 + 12 + 12;
    for (size_t at = body; at + 4 <= bytes.size(); ++at) {
        std::vector<RwUInt8> copy = bytes;
        const RwUInt32 big = 0x7FFFFFF0u;
        std::memcpy(&copy[at], &big, 4);
        RwFrame *read = ReadFrame(copy);
        if (read != nullptr) {
            RwFrameDestroy(read);
        }
        rwtest::TakeError();
    }
    const RwUInt32 unknownFormat = 4;
    std::vector<RwUInt8> copy = bytes;
    // count, name length, name, then the format word.
    std::memcpy(&copy[body + 4 + 4 + 23], &unknownFormat, 4);
    EXPECT_EQ(ReadFrame(copy), nullptr);
    rwtest::TakeError();
}

}  // namespace

namespace {

RpWorldSector *FirstSector(RpWorld *world)
{
    RpWorldSector *found = nullptr;
    RpWorldForAllWorldSectors(
        world,
        [](RpWorldSector *sector, void *data) {
            *static_cast<RpWorldSector **>(data) = sector;
            return static_cast<RpWorldSector *>(nullptr);
        },
        &found);
    return found;
}

TEST_F(UserDataTest, ArraysTravelWithTheirWorldSector)
{
    RpWorld *world = rwtest::ReadWorldChunk(worldtest::TwoLeafWorld());
    ASSERT_NE(world, nullptr);
    RpWorldSector *sector = FirstSector(world);
    ASSERT_NE(sector, nullptr);
    EXPECT_EQ(RpUserDataWorldSectorGetNumArrays(sector), 0);
    RpUserDataArray *ints = RpUserDataListAddArray(RpUserDataWorldSectorGetList(sector), "zone", rpINTUSERDATA, 2);
    ASSERT_NE(ints, nullptr);
    static_cast<RwInt32 *>(ints->data)[1] = 41;

    std::vector<RwUInt8> bytes = rwtest::WrittenBy([&](RwStream *s) { EXPECT_NE(RpWorldStreamWrite(world, s), nullptr); });
    RpWorldDestroy(world);
    RpWorld *read = rwtest::ReadWorldChunk(bytes);
    ASSERT_NE(read, nullptr);
    RpWorldSector *readSector = FirstSector(read);
    ASSERT_NE(readSector, nullptr);
    EXPECT_EQ(RpUserDataWorldSectorGetNumArrays(readSector), 1);
    RpUserDataArray *readInts = RpUserDataWorldSectorGetArray(readSector, 0);
    ASSERT_NE(readInts, nullptr);
    EXPECT_STREQ(RpUserDataArrayGetName(readInts), "zone");
    EXPECT_EQ(RpUserDataArrayGetInt(readInts, 1), 41);
    // An index equal to the array count is outside.
    EXPECT_EQ(RpUserDataWorldSectorGetArray(readSector, 1), nullptr);
    RpWorldDestroy(read);
}

}  // namespace

}  // namespace rpusrdat_test
