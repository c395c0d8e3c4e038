// Engine start-up helpers for tests (see engine_env.h).
#include "support/engine/engine_env.h"

#include <cstdlib>

#include "support/engine/counting_memory.h"
#include "support/engine/fake_device.h"

namespace rwtest {

RwUInt32 EngineInitFlags()
{
    const char *off = std::getenv("RW_TEST_FREELISTS_OFF");
    return (off != nullptr && off[0] != '\0' && off[0] != '0') ? rwENGINEINITFREELISTS_OFF : 0u;
}

bool EngineStartUp(const RwMemoryFunctions *memory, RwUInt32 arenaSize, bool (*attach)())
{
    FakeDevice::Install();
    return RwEngineStartUp(memory != nullptr ? memory : CountingMemory::Table(), EngineInitFlags(), arenaSize,
                           attach, reinterpret_cast<void *>(0x1)) != FALSE;
}

bool EngineShutDown() { return RwEngineShutDown() != FALSE; }

void EngineTest::SetUp()
{
    CountingMemory::Reset();
    FakeDevice::Reset();
    EventLog().clear();
    ASSERT_TRUE(EngineStartUp());
}

void EngineTest::TearDown()
{
    EXPECT_TRUE(EngineShutDown());
    EXPECT_EQ(CountingMemory::LiveBlocks(), 0u);
}

RwError TakeError()
{
    RwError error{};
    RwErrorGet(&error);
    return error;
}

}  // namespace rwtest
