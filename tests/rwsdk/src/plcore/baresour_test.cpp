// The resource arena: owner slots, least-recently-used eviction across
// frames, and the heap fallback when the arena has no memory.
#include <gtest/gtest.h>

#include <vector>

#include "rwcore.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/fake_device.h"

namespace baresour_test {

namespace {

std::vector<RwResEntry *> destroyed;
void Note(RwResEntry *entry) { destroyed.push_back(entry); }

class Resources : public ::testing::Test {
protected:
    void SetUp() override
    {
        destroyed.clear();
        rwtest::CountingMemory::Reset();
        rwtest::FakeDevice::Reset();
    }
    void Start(RwUInt32 arena) { ASSERT_TRUE(rwtest::EngineStartUp(nullptr, arena)); }
    void TearDown() override
    {
        EXPECT_TRUE(rwtest::EngineShutDown());
        EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), 0u);
    }
};

// Arena for exactly three 64-byte entries (header 48 + 64 rounds to 128).
constexpr RwUInt32 rwTHREEENTRIES = 32 + 3 * (32 + 128);

TEST_F(Resources, EvictsOldestNotUsedThisFrameFirst)
{
    Start(rwTHREEENTRIES);
    RwResEntry *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr;
    ASSERT_NE(RwResourcesAllocateEntry(nullptr, &a, 64, Note), nullptr);
    ASSERT_NE(RwResourcesAllocateEntry(nullptr, &b, 64, Note), nullptr);
    ASSERT_NE(RwResourcesAllocateEntry(nullptr, &c, 64, Note), nullptr);
    EXPECT_EQ(RwResourcesGetArenaUsage(), 192u);
    RwResourcesNextFrame();
    RwResourcesUseEntry(a);  // a drawn this frame: survives while b or c remain
    ASSERT_NE(RwResourcesAllocateEntry(nullptr, &d, 64, Note), nullptr);
    EXPECT_EQ(a != nullptr, true);
    EXPECT_EQ(b, nullptr);  // oldest of the previous frames
    EXPECT_NE(c, nullptr);
    ASSERT_EQ(destroyed.size(), 1u);
    RwResEntry *e = nullptr;
    ASSERT_NE(RwResourcesAllocateEntry(nullptr, &e, 64, Note), nullptr);
    EXPECT_EQ(c, nullptr);
    EXPECT_NE(a, nullptr);
    RwResEntry *f = nullptr;
    ASSERT_NE(RwResourcesAllocateEntry(nullptr, &f, 64, Note), nullptr);
    EXPECT_EQ(a, nullptr);  // nothing older left: this frame's oldest goes
    EXPECT_TRUE(RwResourcesFreeEntry(f));
    EXPECT_EQ(f, nullptr);
    // d and e still point at this frame's locals: let go of them here, not at shut-down.
    EXPECT_TRUE(RwResourcesEmptyArena());
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(e, nullptr);
}

TEST_F(Resources, TooBigForTheArenaReportsAndClearsTheSlot)
{
    Start(rwTHREEENTRIES);
    RwResEntry *a = nullptr;
    RwResEntry *big = reinterpret_cast<RwResEntry *>(0x1);
    ASSERT_NE(RwResourcesAllocateEntry(nullptr, &a, 64, Note), nullptr);
    EXPECT_EQ(RwResourcesAllocateEntry(nullptr, &big, 4096, Note), nullptr);
    EXPECT_EQ(big, nullptr);
    EXPECT_EQ(a, nullptr);  // evicted on the way
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, rwID_CORE);
    EXPECT_EQ(error.errorCode, E_RW_RESOURCESFULL);
}

TEST_F(Resources, ArenaTooSmallStopsTheStart)
{
    rwtest::CountingMemory::Reset();
    EXPECT_FALSE(rwtest::EngineStartUp(nullptr, 40));
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSIDLE);
    Start(4096);
}

TEST_F(Resources, NoArenaFallsBackToTheHeap)
{
    Start(0);
    RwResEntry *a = nullptr;
    ASSERT_NE(RwResourcesAllocateEntry(nullptr, &a, 100, Note), nullptr);
    EXPECT_FALSE(RwLLLinkAttached(&a->link));
    RwResourcesUseEntry(a);
    RwResourcesNextFrame();
    EXPECT_TRUE(RwResourcesFreeEntry(a));
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(destroyed.size(), 1u);
}

TEST_F(Resources, EmptyingTheArenaClearsEveryOwner)
{
    Start(1 << 16);
    RwResEntry *slots[5] = {};
    for (auto &slot : slots) {
        ASSERT_NE(RwResourcesAllocateEntry(nullptr, &slot, 200, Note), nullptr);
        RwResourcesNextFrame();
    }
    EXPECT_TRUE(RwResourcesEmptyArena());
    for (auto *slot : slots) EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(RwResourcesGetArenaUsage(), 0u);
    EXPECT_EQ(destroyed.size(), 5u);
}

}  // namespace

}  // namespace baresour_test
