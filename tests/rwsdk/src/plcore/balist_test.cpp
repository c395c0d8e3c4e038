// RwList growth and allocation failure.
#include <gtest/gtest.h>

#include "rwcore.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"

namespace balist_test {

namespace {

class List : public rwtest::EngineTest {};

TEST_F(List, GrowsByAQuarterAndKeepsEntries)
{
    RwList *list = RwListCreate(sizeof(RwInt32));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->capacity, 20);
    for (RwInt32 i = 0; i < 32; ++i) {
        auto *entry = static_cast<RwInt32 *>(RwListAddEntry(list));
        ASSERT_NE(entry, nullptr);
        *entry = i * 3;
        if (i == 20) {
            EXPECT_EQ(list->capacity, 25);
        }
    }
    EXPECT_EQ(list->capacity, 38);
    for (RwInt32 i = 0; i < 32; ++i) EXPECT_EQ(*static_cast<RwInt32 *>(RwListGetEntry(list, i)), i * 3);
    EXPECT_TRUE(RwListDestroy(list));
}

TEST_F(List, FailedGrowthLeavesTheListAsItWas)
{
    RwList *list = RwListCreate(8);
    for (int i = 0; i < 20; ++i) RwListAddEntry(list);
    rwtest::CountingMemory::FailAt(rwtest::CountingMemory::Allocations() + 1);
    EXPECT_EQ(RwListAddEntry(list), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_NOMEM);
    EXPECT_EQ(list->count, 20);
    EXPECT_EQ(list->capacity, 20);
    EXPECT_NE(RwListAddEntry(list), nullptr);
    RwListDestroy(list);
}

}  // namespace

}  // namespace balist_test
