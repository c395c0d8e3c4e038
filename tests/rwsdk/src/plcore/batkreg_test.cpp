// Plug-in registries: offsets and sizes, duplicate and late registration,
// constructor failure unwinding, copy order and rights callbacks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rwcore.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/fake_device.h"

namespace batkreg_test {

namespace {

std::vector<std::string> calls;
int failConstructorOf = 0;

template <int N>
void *Construct(void *object, RwInt32 offset, RwInt32 size)
{
    calls.push_back("ctor " + std::to_string(N) + " " + std::to_string(size));
    (void)offset;
    return N == failConstructorOf ? nullptr : object;
}
template <int N>
void *Destruct(void *object, RwInt32, RwInt32)
{
    calls.push_back("dtor " + std::to_string(N));
    return object;
}
template <int N>
void *Copy(void *dst, const void *, RwInt32, RwInt32)
{
    calls.push_back("copy " + std::to_string(N));
    return dst;
}
RwInt32 Rights(void *, RwInt32, RwInt32, RwUInt32 extra) { return extra == 7 ? 1 : 0; }

RwPluginRegistry registry = rwPLUGINREGISTRY_INIT(52);
RwPluginRegistry limited{20, 20, 32, 0, nullptr, nullptr};
RwInt32 offsets[4];

bool Attach()
{
    offsets[0] = RwPluginRegistryAddPlugin(&registry, 6, 0xA1, Construct<1>, Destruct<1>, Copy<1>);
    offsets[1] = RwPluginRegistryAddPlugin(&registry, 16, 0xA2, Construct<2>, Destruct<2>, Copy<2>);
    offsets[2] = RwPluginRegistryAddPlugin(&registry, 4, 0xA3, Construct<3>, Destruct<3>, nullptr);
    offsets[3] = RwPluginRegistryAddPlugin(&registry, 4, 0xA1, nullptr, nullptr, nullptr);  // duplicate
    RwPluginRegistryAddRightsCallback(&registry, 0xA2, Rights);
    return true;
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        calls.clear();
        failConstructorOf = 0;
        rwtest::CountingMemory::Reset();
        rwtest::FakeDevice::Reset();
        ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 0, Attach));
        rwtest::TakeError();
    }
    void TearDown() override
    {
        EXPECT_TRUE(rwtest::EngineShutDown());
        // Term resets every registry to its fixed part.
        EXPECT_EQ(registry.sizeOfStruct, 52);
        EXPECT_EQ(registry.firstRegEntry, nullptr);
        EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), 0u);
    }
};

TEST_F(Registry, OffsetsAreEightAlignedAndSizesUnrounded)
{
    EXPECT_EQ(offsets[0], 56);
    EXPECT_EQ(offsets[1], 64);
    EXPECT_EQ(offsets[2], 80);
    EXPECT_EQ(offsets[3], offsets[0]);  // the duplicate gets the first block
    EXPECT_EQ(registry.sizeOfStruct, 88);
    EXPECT_EQ(RwPluginRegistryGetPluginOffset(&registry, 0xA2), 64);
    EXPECT_EQ(RwPluginRegistryGetPluginOffset(&registry, 0xFF), -1);
    std::vector<RwUInt8> object(static_cast<size_t>(registry.sizeOfStruct));
    ASSERT_NE(RwPluginRegistryInitObject(&registry, object.data()), nullptr);
    EXPECT_EQ(calls.front(), "ctor 1 6");
    RwPluginRegistryDeInitObject(&registry, object.data());
}

TEST_F(Registry, RegistrationAfterOpenIsRefused)
{
    EXPECT_EQ(RwPluginRegistryAddPlugin(&registry, 4, 0xB0, nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_PLUGININIT);
    EXPECT_EQ(RwPluginRegistryAddPluginStream(&registry, 0xB0, nullptr, nullptr, nullptr), -1);
}

TEST_F(Registry, ConstructorFailureUndoesEarlierExtensions)
{
    failConstructorOf = 3;
    std::vector<RwUInt8> object(static_cast<size_t>(registry.sizeOfStruct));
    EXPECT_EQ(RwPluginRegistryInitObject(&registry, object.data()), nullptr);
    const std::vector<std::string> expected = {"ctor 1 6", "ctor 2 16", "ctor 3 4", "dtor 2", "dtor 1"};
    EXPECT_EQ(calls, expected);
}

TEST_F(Registry, DestroyReversesAndCopyFollowsRegistrationOrder)
{
    std::vector<RwUInt8> a(static_cast<size_t>(registry.sizeOfStruct)), b(a.size());
    RwPluginRegistryInitObject(&registry, a.data());
    calls.clear();
    RwPluginRegistryCopyObject(&registry, b.data(), a.data());
    RwPluginRegistryDeInitObject(&registry, a.data());
    const std::vector<std::string> expected = {"copy 1", "copy 2", "dtor 3", "dtor 2", "dtor 1"};
    EXPECT_EQ(calls, expected);
}

TEST_F(Registry, RightsNeedACallbackAndAPositiveAnswer)
{
    int object = 0;
    EXPECT_EQ(RwPluginRegistryInvokeRights(&registry, 0xA2, &object, 7), &registry);
    EXPECT_EQ(RwPluginRegistryInvokeRights(&registry, 0xA2, &object, 8), nullptr);
    EXPECT_EQ(RwPluginRegistryInvokeRights(&registry, 0xA1, &object, 7), nullptr);
    EXPECT_EQ(RwPluginRegistryInvokeRights(&registry, 0xEE, &object, 7), nullptr);
}

TEST(RegistryLimits, MaximumSizeAndClosedModule)
{
    // Before RwEngineInit the registry module is closed: nothing registers.
    EXPECT_EQ(RwPluginRegistryAddPlugin(&limited, 4, 0xC1, nullptr, nullptr, nullptr), -1);
    rwtest::CountingMemory::Reset();
    rwtest::FakeDevice::Install();
    ASSERT_TRUE(RwEngineInit(rwtest::CountingMemory::Table(), rwtest::EngineInitFlags(), 0));
    EXPECT_EQ(RwPluginRegistryAddPlugin(&limited, 4, 0xC1, nullptr, nullptr, nullptr), 24);
    EXPECT_EQ(RwPluginRegistryAddPlugin(&limited, 4, 0xC2, nullptr, nullptr, nullptr), -1);  // 40 > 32
    EXPECT_TRUE(RwEngineTerm());
    EXPECT_EQ(limited.sizeOfStruct, 20);
    EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), 0u);
}

}  // namespace

}  // namespace batkreg_test
