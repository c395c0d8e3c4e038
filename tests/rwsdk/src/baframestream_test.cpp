// Tests of the frame-list chunk: a hierarchy written and read back equal,
// hostile lists refused with nothing left behind, and every allocation of
// a write-and-read round failing in turn without a leak.
#include <gtest/gtest.h>


#include "support/engine/engine_env.h"
#include "support/engine/fake_device.h"
#include "tests/rwsdk/src/frame_test_support.h"

namespace baframestream_test {

namespace {

using frametest::Outstanding;
using rwtest::CountingMemory;
using rwtest::TakeError;

// A frame extension owning heap memory, streamed as one word.
RwInt32 extOffset = -1;

struct Ext {
    RwUInt32 *value;
};
Ext *ExtOf(const void *frame)
{
    return reinterpret_cast<Ext *>(static_cast<RwUInt8 *>(const_cast<void *>(frame)) + extOffset);
}

void *ExtConstruct(void *object, RwInt32, RwInt32)
{
    ExtOf(object)->value = static_cast<RwUInt32 *>(RwMalloc(sizeof(RwUInt32)));
    if (ExtOf(object)->value == nullptr) return nullptr;
    *ExtOf(object)->value = 0;
    return object;
}
void *ExtDestruct(void *object, RwInt32, RwInt32)
{
    if (ExtOf(object)->value != nullptr) RwFree(ExtOf(object)->value);
    ExtOf(object)->value = nullptr;
    return object;
}
void *ExtCopy(void *dst, const void *src, RwInt32, RwInt32)
{
    if (ExtOf(dst)->value != nullptr && ExtOf(src)->value != nullptr) *ExtOf(dst)->value = *ExtOf(src)->value;
    return dst;
}
RwStream *ExtWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    return ExtOf(object)->value != nullptr ? RwStreamWriteUInt32(stream, *ExtOf(object)->value) : nullptr;
}
RwStream *ExtRead(RwStream *stream, RwInt32, void *object, RwInt32, RwInt32)
{
    if (ExtOf(object)->value == nullptr) return nullptr;
    return RwStreamReadUInt32(stream, ExtOf(object)->value) ? stream : nullptr;
}
RwInt32 ExtSize(const void *, RwInt32, RwInt32) { return 4; }

bool AttachExt()
{
    extOffset = RwFrameRegisterPlugin(sizeof(Ext), 0xF0B2, ExtConstruct, ExtDestruct, ExtCopy);
    return extOffset >= 0 && RwFrameRegisterPluginStream(0xF0B2, ExtRead, ExtWrite, ExtSize) >= 0;
}

struct FrameListStream : ::testing::Test {
    void SetUp() override
    {
        CountingMemory::Reset();
        rwtest::FakeDevice::Reset();
        ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 1 << 20, AttachExt));
    }
    void TearDown() override
    {
        EXPECT_TRUE(rwtest::EngineShutDown());
        EXPECT_EQ(CountingMemory::LiveBlocks(), 0u);
    }
};

// root { a { c }, b } with distinct transforms and extension values.
RwFrame *BuildSample()
{
    RwFrame *root = RwFrameCreate();
    RwFrame *a = RwFrameCreate();
    RwFrame *b = RwFrameCreate();
    RwFrame *c = RwFrameCreate();
    // A frame comes back even when its extension could not be built; such a
    // frame is useless here.
    bool built = root && a && b && c;
    for (RwFrame *f : {root, a, b, c}) built = built && ExtOf(f)->value != nullptr;
    if (!built) {
        for (RwFrame *f : {root, a, b, c}) if (f) RwFrameDestroy(f);
        return nullptr;
    }
    RwFrameAddChild(root, b);
    RwFrameAddChild(root, a);
    RwFrameAddChild(a, c);
    const RwV3d z{0, 0, 1};
    RwFrameRotate(a, &z, 30.0f, rwCOMBINEREPLACE);
    const RwV3d t{1, 2, 3};
    RwFrameTranslate(b, &t, rwCOMBINEREPLACE);
    const RwV3d s{2, 1, 1};
    RwMatrixScale(&c->modelling, &s, rwCOMBINEREPLACE);
    RwUInt32 n = 10;
    for (RwFrame *f : {root, a, b, c}) *ExtOf(f)->value = n++;
    return root;
}

RwMemoryDescriptor Write(RwFrame *root)
{
    RwMemoryDescriptor mem{nullptr, 0};
    RwFrameList list{};
    if (RwFrameListInitialize(&list, root) == nullptr) return mem;
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    const bool ok = out != nullptr && RwFrameListStreamWrite(&list, out) != nullptr;
    if (out != nullptr) RwStreamClose(out, &mem);
    RwFrameListDeinit(&list);
    if (!ok && mem.start != nullptr) {
        RwFree(mem.start);
        mem = {nullptr, 0};
    }
    return mem;
}

RwFrameList *Read(const RwMemoryDescriptor &mem, RwFrameList *list)
{
    RwMemoryDescriptor copy = mem;
    RwStream *in = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &copy);
    if (in == nullptr) return nullptr;
    RwFrameList *result = nullptr;
    if (RwStreamFindChunk(in, rwID_FRAMELIST, nullptr, nullptr)) {
        result = RwFrameListStreamRead(in, list);
    }
    RwStreamClose(in, nullptr);
    return result;
}

bool SameHierarchy(RwFrame *x, RwFrame *y)
{
    const float *mx = &x->modelling.right.x, *my = &y->modelling.right.x;
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14}) {
        if (mx[i] != my[i]) return false;
    }
    if ((x->modelling.flags & 3) != (y->modelling.flags & 3)) return false;
    if (*ExtOf(x)->value != *ExtOf(y)->value) return false;
    RwFrame *cx = x->child, *cy = y->child;
    for (; cx != nullptr && cy != nullptr; cx = cx->next, cy = cy->next) {
        if (!SameHierarchy(cx, cy)) return false;
    }
    return cx == nullptr && cy == nullptr;
}

TEST_F(FrameListStream, HierarchyRoundTripsEqualWithChildOrder)
{
    RwFrame *root = BuildSample();
    RwMemoryDescriptor mem = Write(root);
    ASSERT_NE(mem.start, nullptr);
    RwFrameList list{};
    ASSERT_EQ(Read(mem, &list), &list);
    ASSERT_EQ(list.numFrames, 4);
    EXPECT_EQ(list.frames[0]->root, list.frames[0]);
    EXPECT_TRUE(SameHierarchy(root, list.frames[0]));
    // Orthonormal rows come back flagged so, the scaled one does not.
    EXPECT_EQ(list.frames[0]->child->modelling.flags, rwMATRIXTYPEORTHONORMAL);
    EXPECT_EQ(list.frames[0]->child->child->modelling.flags, 0u);
    RwFrameDestroyHierarchy(list.frames[0]);
    RwFrameListDeinit(&list);
    RwFrameDestroyHierarchy(root);
    RwFree(mem.start);
}

// A frame-list chunk built by hand: count, then (parent index, scale) per
// frame; `structExtra` pads the struct, `lengthDelta` lies about its size.
RwMemoryDescriptor Hand(RwInt32 count, const std::vector<RwInt32> &parents, RwInt32 lengthDelta = 0,
                        bool extensions = true)
{
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    const RwUInt32 structLength = 4 + 56 * static_cast<RwUInt32>(parents.size());
    RwStreamWriteChunkHeaderDefault(out, rwID_STRUCT, structLength + lengthDelta);
    RwStreamWriteInt32(out, count);
    for (RwInt32 p : parents) {
        const float rows[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        for (float r : rows) RwStreamWriteReal(out, r);
        RwStreamWriteInt32(out, p);
        RwStreamWriteUInt32(out, 0);
    }
    if (extensions) {
        for (size_t i = 0; i < parents.size(); ++i) RwStreamWriteChunkHeaderDefault(out, rwID_EXTENSION, 0);
    }
    RwMemoryDescriptor mem{nullptr, 0};
    RwStreamClose(out, &mem);
    return mem;
}

RwFrameList *ReadStruct(const RwMemoryDescriptor &mem, RwFrameList *list)
{
    RwMemoryDescriptor copy = mem;
    RwStream *in = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &copy);
    RwFrameList *result = RwFrameListStreamRead(in, list);
    RwStreamClose(in, nullptr);
    return result;
}

TEST_F(FrameListStream, WellFormedHandMadeListIsAccepted)
{
    RwMemoryDescriptor mem = Hand(3, {-1, 0, 1});
    RwFrameList list{};
    ASSERT_EQ(ReadStruct(mem, &list), &list);
    EXPECT_EQ(list.frames[2]->root, list.frames[0]);
    EXPECT_EQ(RwFrameGetParent(list.frames[2]), list.frames[1]);
    RwFrameDestroyHierarchy(list.frames[0]);
    RwFrameListDeinit(&list);
    RwFree(mem.start);
}

TEST_F(FrameListStream, HostileListsAreRefusedLeavingNothing)
{
    struct Case {
        const char *what;
        RwInt32 count;
        std::vector<RwInt32> parents;
        RwInt32 lengthDelta;
        bool extensions;
    };
    const std::vector<Case> cases = {
        {"parent after the child", 3, {-1, 2, 0}, 0, true},
        {"parent is the frame itself", 2, {-1, 1}, 0, true},
        {"parent far out of range", 2, {-1, 1000000}, 0, true},
        {"parent below -1", 2, {-1, -2}, 0, true},
        {"count beyond the struct", 5, {-1, 0}, 0, true},
        {"negative count", -1, {-1}, 0, true},
        {"huge count", 0x7FFFFFFF, {-1}, 0, true},
        {"struct shorter than its records", 2, {-1, 0}, -10, true},
        {"missing extension chunks", 2, {-1, 0}, 0, false},
    };
    for (const Case &c : cases) {
        RwMemoryDescriptor mem = Hand(c.count, c.parents, c.lengthDelta, c.extensions);
        const size_t before = Outstanding();
        RwFrameList list{};
        EXPECT_EQ(ReadStruct(mem, &list), nullptr) << c.what;
        EXPECT_EQ(Outstanding(), before) << c.what;
        EXPECT_TRUE(frametest::DirtyRoots().empty()) << c.what;
        const RwError error = TakeError();
        if (c.extensions && c.lengthDelta == 0) {
            EXPECT_EQ(error.errorCode, E_RW_READ) << c.what;
        }
        RwFree(mem.start);
    }
}

TEST_F(FrameListStream, WrongVersionIsRefused)
{
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    RwStreamWriteChunkHeader(out, rwID_STRUCT, 4, 0x36000, 0xFFFF);
    RwStreamWriteInt32(out, 0);
    RwMemoryDescriptor mem{nullptr, 0};
    RwStreamClose(out, &mem);
    RwFrameList list{};
    EXPECT_EQ(ReadStruct(mem, &list), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_BADVERSION);
    RwFree(mem.start);
}

// One round: build, write, read back, compare, release everything.
bool RoundTrip()
{
    if (!rwtest::EngineStartUp(CountingMemory::Table(), 1 << 16, AttachExt)) return false;
    bool ok = false;
    RwFrame *root = BuildSample();
    if (root != nullptr) {
        RwMemoryDescriptor mem = Write(root);
        if (mem.start != nullptr) {
            RwFrameList list{};
            if (Read(mem, &list) != nullptr) {
                ok = SameHierarchy(root, list.frames[0]);
                RwFrameDestroyHierarchy(list.frames[0]);
                RwFrameListDeinit(&list);
            }
            RwFree(mem.start);
        }
        RwFrameDestroyHierarchy(root);
    }
    EXPECT_TRUE(rwtest::EngineShutDown());
    return ok;
}

TEST(FrameListAllocationSweep, EveryFailedAllocationLeavesNothing)
{ frametest::AllocationSweep(RoundTrip); }

}  // namespace

}  // namespace baframestream_test
