// Engine life cycle: request and module order, refusals in the wrong state,
// unwinding of failed steps, the device-request defaults, and a sweep that
// fails every allocation of a whole start-up, stream read and shut-down.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rwcore.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/fake_device.h"

namespace badevice_test {

using rwtest::CountingMemory;
using rwtest::EventLog;
using rwtest::FakeDevice;

namespace {

bool failOpenB = false;

void *OpenA(void *inst, RwInt32, RwInt32) { EventLog().push_back("open A"); return inst; }
void *CloseA(void *inst, RwInt32, RwInt32) { EventLog().push_back("close A"); return inst; }
void *OpenB(void *inst, RwInt32, RwInt32)
{
    EventLog().push_back("open B");
    return failOpenB ? nullptr : inst;
}
void *CloseB(void *inst, RwInt32, RwInt32) { EventLog().push_back("close B"); return inst; }

bool AttachAB()
{
    return RwEngineRegisterPlugin(8, 0xF001, OpenA, CloseA) >= 0 && RwEngineRegisterPlugin(6, 0xF002, OpenB, CloseB) >= 0;
}

class LifeCycle : public ::testing::Test {
protected:
    void SetUp() override
    {
        CountingMemory::Reset();
        FakeDevice::Reset();
        FakeDevice::Install();
        EventLog().clear();
        failOpenB = false;
    }
    void TearDown() override
    {
        // Whatever the test left, bring the engine back to idle.
        if (RwEngineGetState() == rwENGINESTATUSSTARTED) RwEngineStop();
        if (RwEngineGetState() == rwENGINESTATUSOPENED) RwEngineClose();
        if (RwEngineGetState() == rwENGINESTATUSINITED) RwEngineTerm();
        EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSIDLE);
        EXPECT_EQ(CountingMemory::LiveBlocks(), 0u);
    }
    static bool Init() { return RwEngineInit(CountingMemory::Table(), rwtest::EngineInitFlags(), 4096) != FALSE; }
    static bool Open()
    {
        RwEngineOpenParams params{reinterpret_cast<void *>(0x1234)};
        return RwEngineOpen(&params) != FALSE;
    }
};

TEST_F(LifeCycle, WholeCycleSendsRequestsAndOpensModulesInOrder)
{
    ASSERT_TRUE(Init());
    ASSERT_TRUE(AttachAB());
    ASSERT_TRUE(Open());
    EXPECT_EQ(FakeDevice::RegisteredMemory(), &RwEngineInst->memoryFuncs);
    ASSERT_TRUE(RwEngineStart());
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSSTARTED);
    ASSERT_TRUE(RwEngineStop());
    ASSERT_TRUE(RwEngineClose());
    ASSERT_TRUE(RwEngineTerm());
    const std::vector<std::string> expected = {"dev 4",  "dev 0",   "dev 11",  "dev 2", "open A", "open B",
                                               "dev 17", "dev 18", "close B", "close A", "dev 3", "dev 1"};
    EXPECT_EQ(EventLog(), expected);
}

TEST_F(LifeCycle, CoreModulesTakeBlocksInRegistrationOrder)
{
    ASSERT_TRUE(Init());
    const RwUInt32 order[] = {rwID_ERRORMODULE, rwID_SQRTMODULE,    rwID_COLORMODULE, rwID_MATRIXMODULE,
                              rwID_FRAMEMODULE, rwID_STREAMMODULE,  rwID_CAMERAMODULE, rwID_IMAGEMODULE,
                              rwID_RASTERMODULE, rwID_TEXTUREMODULE, rwID_PIPEMODULE,  rwID_IM3DMODULE,
                              rwID_RESOURCESMODULE};
    RwInt32 previous = static_cast<RwInt32>(sizeof(RwEngineInstance));
    for (RwUInt32 id : order) {
        RwInt32 offset = RwEngineGetPluginOffset(id);
        EXPECT_GE(offset, previous) << std::hex << id;  // the colour block is empty
        EXPECT_EQ(offset % 8, 0) << std::hex << id;
        previous = offset;
    }
    EXPECT_EQ(RwEngineGetPluginOffset(rwID_ERRORMODULE), static_cast<RwInt32>(sizeof(RwEngineInstance)));
    EXPECT_EQ(RwEngineGetPluginOffset(0x9999), -1);
}

TEST_F(LifeCycle, CallsInTheWrongStateAreRefusedWithNothingChanged)
{
    // Idle: only init is allowed.
    EXPECT_FALSE(Open());
    EXPECT_FALSE(RwEngineStart());
    EXPECT_FALSE(RwEngineStop());
    EXPECT_FALSE(RwEngineClose());
    EXPECT_FALSE(RwEngineTerm());
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSIDLE);

    ASSERT_TRUE(Init());
    EXPECT_FALSE(RwEngineStart());
    EXPECT_FALSE(RwEngineStop());
    EXPECT_FALSE(RwEngineClose());
    ASSERT_TRUE(Open());
    RwEngineInstance *heap = RwEngineInst;
    const RwMemoryFunctions slots = heap->memoryFuncs;

    // A second init must not swap the instance or the free-list slots.
    EXPECT_FALSE(RwEngineInit(nullptr, rwENGINEINITFREELISTS_OFF ^ rwtest::EngineInitFlags(), 0));
    EXPECT_EQ(RwEngineInst, heap);
    EXPECT_EQ(RwEngineInst->memoryFuncs.rwfreelistalloc, slots.rwfreelistalloc);
    EXPECT_FALSE(Open());  // already opened
    EXPECT_FALSE(RwEngineStop());
    EXPECT_FALSE(RwEngineTerm());
    EXPECT_EQ(RwEngineGetOpenCount(), 1);

    ASSERT_TRUE(RwEngineStart());
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_NOERROR);
    EXPECT_FALSE(Open());
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_BADENGINESTATE);
    EXPECT_FALSE(RwEngineStart());
    EXPECT_FALSE(RwEngineClose());
    EXPECT_FALSE(RwEngineTerm());
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSSTARTED);
    EXPECT_EQ(RwEngineInst, heap);
}

TEST_F(LifeCycle, ModuleFailingAtOpenUnwindsInReverseAndStaysOpened)
{
    failOpenB = true;
    ASSERT_TRUE(Init());
    ASSERT_TRUE(AttachAB());
    ASSERT_TRUE(Open());
    EventLog().clear();
    EXPECT_FALSE(RwEngineStart());
    const std::vector<std::string> expected = {"dev 2", "open A", "open B", "close A", "dev 3"};
    EXPECT_EQ(EventLog(), expected);
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSOPENED);
    failOpenB = false;
    EXPECT_TRUE(RwEngineStart());  // a later start still works
}

TEST_F(LifeCycle, RefusedDeviceStepsLeaveTheStateAsItWas)
{
    ASSERT_TRUE(Init());
    FakeDevice::Fail(rwDEVICESYSTEMOPEN);
    EXPECT_FALSE(Open());
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSINITED);
    EXPECT_EQ(RwEngineGetOpenCount(), 0);
    FakeDevice::Reset();
    ASSERT_TRUE(Open());
    FakeDevice::Fail(rwDEVICESYSTEMSTART);
    EXPECT_FALSE(RwEngineStart());
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSOPENED);
    FakeDevice::Reset();
    ASSERT_TRUE(RwEngineStart());
    // A refused device stop still leaves the modules closed: not started.
    FakeDevice::Fail(rwDEVICESYSTEMSTOP);
    EXPECT_FALSE(RwEngineStop());
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSOPENED);
    EXPECT_FALSE(RwEngineStop());
    FakeDevice::Reset();
    FakeDevice::Fail(rwDEVICESYSTEMCLOSE);
    EXPECT_FALSE(RwEngineClose());
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSOPENED);
    FakeDevice::Reset();
}

bool RefuseAttach() { return false; }

TEST_F(LifeCycle, StartUpRunsTheWholeCycleAndUndoesWhatARefusalLeaves)
{
    const auto startUp = [](bool (*attach)()) {
        return RwEngineStartUp(CountingMemory::Table(), rwtest::EngineInitFlags(), 4096, attach,
                               reinterpret_cast<void *>(0x1234)) != FALSE;
    };
    ASSERT_TRUE(startUp(AttachAB));
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSSTARTED);
    EXPECT_GT(RwEngineGetPluginOffset(0xF002), 0);
    EXPECT_TRUE(RwEngineShutDown());
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSIDLE);
    const std::vector<std::string> expected = {"dev 4",  "dev 0",   "dev 11",  "dev 2", "open A", "open B",
                                               "dev 17", "dev 18", "close B", "close A", "dev 3", "dev 1"};
    EXPECT_EQ(EventLog(), expected);

    // No plug-ins at all is a start-up too.
    ASSERT_TRUE(startUp(nullptr));
    EXPECT_TRUE(RwEngineShutDown());

    // A refusal at any step leaves the engine idle.
    EXPECT_FALSE(startUp(RefuseAttach));
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSIDLE);
    FakeDevice::Fail(rwDEVICESYSTEMOPEN);
    EXPECT_FALSE(startUp(AttachAB));
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSIDLE);
    FakeDevice::Reset();
    failOpenB = true;
    EXPECT_FALSE(startUp(AttachAB));
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSIDLE);
    failOpenB = false;

    // Shutting down an idle engine is refused, every step tried.
    EXPECT_FALSE(RwEngineShutDown());
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSIDLE);
}

TEST_F(LifeCycle, OffsetsSurviveCloseAndReopen)
{
    ASSERT_TRUE(Init());
    ASSERT_TRUE(AttachAB());
    RwInt32 a = RwEngineGetPluginOffset(0xF001);
    RwInt32 b = RwEngineGetPluginOffset(0xF002);
    EXPECT_EQ(b - a, 8);
    ASSERT_TRUE(Open());
    ASSERT_TRUE(RwEngineClose());
    ASSERT_TRUE(Open());
    EXPECT_EQ(RwEngineGetPluginOffset(0xF001), a);
    EXPECT_EQ(RwEngineGetPluginOffset(0xF002), b);
    // Registering while open is refused.
    EXPECT_EQ(RwEngineRegisterPlugin(4, 0xF003, nullptr, nullptr), -1);
    ASSERT_TRUE(RwEngineStart());
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_NOERROR);
}

TEST_F(LifeCycle, SilentDeviceStillHasTheDefaultSubSystem)
{
    ASSERT_TRUE(Init());
    ASSERT_TRUE(Open());
    ASSERT_TRUE(RwEngineStart());
    FakeDevice::AnswerNothing(true);
    EXPECT_EQ(RwEngineGetNumSubSystems(), 1);
    RwSubSystemInfo info{};
    ASSERT_NE(RwEngineGetSubSystemInfo(&info, 0), nullptr);
    EXPECT_STREQ(info.name, "Only rendering sub system");
    EXPECT_EQ(RwEngineGetCurrentSubSystem(), 0);
    EXPECT_TRUE(RwEngineSetSubSystem(0));
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_NOERROR);
    EXPECT_FALSE(RwEngineSetSubSystem(1));
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, rwID_CORE);
    EXPECT_EQ(error.errorCode, E_RW_DEVICEREQUEST);
    EXPECT_EQ(RwEngineGetSubSystemInfo(&info, 1), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_DEVICEREQUEST);
    EXPECT_EQ(RwEngineGetNumVideoModes(), -1);
    EXPECT_EQ(RwEngineGetCurrentVideoMode(), -1);
    FakeDevice::AnswerNothing(false);
    EXPECT_TRUE(RwEngineStop());  // requests 17 and 18 default to success
}

TEST_F(LifeCycle, SubSystemsAndVideoModesComeFromTheDevice)
{
    ASSERT_TRUE(Init());
    ASSERT_TRUE(Open());
    EXPECT_EQ(RwEngineGetNumSubSystems(), 2);
    RwSubSystemInfo info{};
    ASSERT_NE(RwEngineGetSubSystemInfo(&info, 1), nullptr);
    EXPECT_STREQ(info.name, "Fake adapter 1");
    EXPECT_TRUE(RwEngineSetSubSystem(1));
    EXPECT_EQ(RwEngineGetCurrentSubSystem(), 1);
    ASSERT_EQ(RwEngineGetNumVideoModes(), 3);
    RwVideoModeInfo mode{};
    ASSERT_NE(RwEngineGetVideoModeInfo(&mode, 2), nullptr);
    EXPECT_EQ(mode.width, 800u);
    EXPECT_EQ(mode.flags & rwVIDEOMODEEXCLUSIVE, rwVIDEOMODEEXCLUSIVE);
    EXPECT_TRUE(RwEngineSetVideoMode(2));
    EXPECT_EQ(RwEngineGetCurrentVideoMode(), 2);
    EXPECT_EQ(RwEngineGetVideoModeInfo(&mode, 7), nullptr);
    const auto &calls = FakeDevice::Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().request, rwDEVICESYSTEMGETMODEINFO);
    EXPECT_EQ(calls.back().number, 7);
}

TEST_F(LifeCycle, OpenChecksItsArguments)
{
    ASSERT_TRUE(Init());
    EXPECT_FALSE(RwEngineOpen(nullptr));
    RwDriverSetDeviceRecordSource(nullptr);
    EXPECT_FALSE(Open());
    FakeDevice::Install();
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSINITED);
}

// ---- allocation-failure sweep ---------------------------------------------

RwPluginRegistry sweepRegistry = rwPLUGINREGISTRY_INIT(16);
RwInt32 sweepOffset = -1;

void *SweepConstruct(void *object, RwInt32 offset, RwInt32)
{
    *reinterpret_cast<void **>(static_cast<RwUInt8 *>(object) + offset) = RwMalloc(24);
    return *reinterpret_cast<void **>(static_cast<RwUInt8 *>(object) + offset) ? object : nullptr;
}
void *SweepDestruct(void *object, RwInt32 offset, RwInt32)
{
    RwFree(*reinterpret_cast<void **>(static_cast<RwUInt8 *>(object) + offset));
    return object;
}
RwStream *SweepWrite(RwStream *stream, RwInt32, const void *, RwInt32, RwInt32)
{
    return RwStreamWriteUInt32(stream, 0xC0FFEE);
}
RwStream *SweepRead(RwStream *stream, RwInt32, void *, RwInt32, RwInt32)
{
    RwUInt32 value = 0;
    return RwStreamReadUInt32(stream, &value) && value == 0xC0FFEE ? stream : nullptr;
}
RwInt32 SweepSize(const void *, RwInt32, RwInt32) { return 4; }

bool SweepAttach()
{
    sweepOffset = RwPluginRegistryAddPlugin(&sweepRegistry, 8, 0xF010, SweepConstruct, SweepDestruct, nullptr);
    return sweepOffset >= 0 &&
           RwPluginRegistryAddPluginStream(&sweepRegistry, 0xF010, SweepRead, SweepWrite, SweepSize) >= 0;
}

// One object created, written to a memory stream, read back into a second
// object, then everything released. Any step may fail; nothing may leak.
bool SweepScenario()
{
    if (!rwtest::EngineStartUp(CountingMemory::Table(), 4096, SweepAttach)) {
        return false;
    }
    bool ok = false;
    const size_t size = static_cast<size_t>(sweepRegistry.sizeOfStruct);
    void *source = RwMalloc(size);
    void *copy = RwMalloc(size);
    bool sourceInit = source != nullptr && RwPluginRegistryInitObject(&sweepRegistry, source) != nullptr;
    bool copyInit = copy != nullptr && RwPluginRegistryInitObject(&sweepRegistry, copy) != nullptr;
    if (sourceInit && copyInit) {
        RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
        RwMemoryDescriptor written{nullptr, 0};
        bool wroteAll = out != nullptr && RwPluginRegistryWriteData(&sweepRegistry, out, source) != nullptr;
        if (out != nullptr) {
            RwStreamClose(out, &written);
        }
        if (wroteAll) {
            RwStream *in = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &written);
            ok = in != nullptr && RwPluginRegistryReadData(&sweepRegistry, in, copy) != nullptr;
            if (in != nullptr) {
                RwStreamClose(in, nullptr);
            }
        }
        RwFree(written.start);
    }
    if (sourceInit) RwPluginRegistryDeInitObject(&sweepRegistry, source);
    if (copyInit) RwPluginRegistryDeInitObject(&sweepRegistry, copy);
    RwFree(source);
    RwFree(copy);
    EXPECT_TRUE(rwtest::EngineShutDown());
    return ok;
}

TEST(AllocationSweep, EveryFailedAllocationFailsCleanly)
{
    FakeDevice::Reset();
    CountingMemory::Reset();
    ASSERT_TRUE(SweepScenario());
    ASSERT_EQ(CountingMemory::LiveBlocks(), 0u);
    const size_t total = CountingMemory::Allocations();
    ASSERT_GT(total, 10u);
    RecordProperty("allocations", static_cast<int>(total));
    for (size_t n = 1; n <= total; ++n) {
        CountingMemory::Reset();
        CountingMemory::FailAt(n);
        bool ok = SweepScenario();
        EXPECT_FALSE(ok) << "allocation " << n << " failed unnoticed";
        EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSIDLE) << "allocation " << n;
        EXPECT_EQ(CountingMemory::LiveBlocks(), 0u) << "leak after failing allocation " << n;
        if (RwEngineGetState() != rwENGINESTATUSIDLE) {
            break;
        }
    }
    CountingMemory::Reset();
    EXPECT_TRUE(SweepScenario());
}

}  // namespace

}  // namespace badevice_test
