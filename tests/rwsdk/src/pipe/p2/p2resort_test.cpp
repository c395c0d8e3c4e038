// Tests of the key sort used for a pipeline's input clusters.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "rwpipeline.h"

namespace p2resort_test {

namespace {

struct Item {
    RwUInt32 tag;
    RwUInt32 key;
};

std::vector<RwUInt32> Keys(const std::vector<Item> &items)
{
    std::vector<RwUInt32> keys;
    for (const Item &i : items) {
        keys.push_back(i.key);
    }
    return keys;
}

TEST(PipelineSort, SortsSmallAndLargeArraysByKey)
{
    for (RwUInt32 count : {2u, 5u, 6u, 37u}) {
        std::vector<Item> items;
        for (RwUInt32 i = 0; i < count; i++) {
            items.push_back(Item{i, (i * 7919u + 13u) % 100u});
        }
        RwPipelineSort(items.data(), count, sizeof(Item), offsetof(Item, key), 0, 100);
        std::vector<RwUInt32> keys = Keys(items);
        EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << count;
        // Whole elements move with their keys.
        for (const Item &i : items) {
            EXPECT_EQ(i.key, (i.tag * 7919u + 13u) % 100u);
        }
    }
}

TEST(PipelineSort, RefusesWhatItCannotSort)
{
    std::vector<Item> items = {{0, 3}, {1, 1}, {2, 2}};
    std::vector<Item> same = items;
    RwPipelineSort(nullptr, 3, sizeof(Item), 4, 0, 10);
    RwPipelineSort(items.data(), 3, sizeof(Item), 6, 0, 10);  // key past the element
    RwPipelineSort(items.data(), 3, sizeof(Item), 4, 10, 10);  // empty key range
    EXPECT_EQ(Keys(items), Keys(same));
}

}  // namespace

}  // namespace p2resort_test
