// Engine start-up and shut-down for tests, on the fake device, honouring
// RW_TEST_FREELISTS_OFF (the suite's second run with free lists off).
#pragma once

#include <gtest/gtest.h>

#include "rwcore.h"

namespace rwtest {

// Flag bits for RwEngineInit: bit 0 when RW_TEST_FREELISTS_OFF is set.
RwUInt32 EngineInitFlags();

// Installs the fake device and runs init (with `memory`, or the counting
// table when null), then calls `attach` (plug-in registration, may be
// null), then open and start. Returns false at the first failure, having
// undone what succeeded.
bool EngineStartUp(const RwMemoryFunctions *memory = nullptr, RwUInt32 arenaSize = 1 << 20,
                   bool (*attach)() = nullptr);
// Stop, close and term; false if any refused.
bool EngineShutDown();

// Fixture: a started engine on the fake device with counting memory; the
// tear-down shuts it down and checks nothing engine-owned is left.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Reads and clears the error slot.
RwError TakeError();

}  // namespace rwtest
