// The error slot: first error kept, common codes stored without a module,
// reports dropped while the error module is closed.
#include <gtest/gtest.h>

#include "rwcore.h"
#include "support/engine/engine_env.h"

namespace {

class ErrorSlot : public rwtest::EngineTest {};

TEST_F(ErrorSlot, KeepsTheFirstUntilRead)
{
    RwErrorReport(rwID_CORE, E_RW_ENDOFSTREAM);
    RwErrorReport(0x116, 1);
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, rwID_CORE);
    EXPECT_EQ(error.errorCode, E_RW_ENDOFSTREAM);
    error = rwtest::TakeError();
    EXPECT_EQ(error.errorCode, E_RW_NOERROR);
    EXPECT_EQ(error.pluginID, 0);
}

TEST_F(ErrorSlot, CommonCodesBelongToNoModule)
{
    RwError in{0x116, E_RW_NOMEM};
    EXPECT_EQ(RwErrorSet(&in), &in);
    RwError out = rwtest::TakeError();
    EXPECT_EQ(out.pluginID, rwID_COMMON);
    EXPECT_EQ(out.errorCode, E_RW_NOMEM);
}

TEST(ErrorSlotClosed, ReportsBeforeStartAreDropped)
{
    RwErrorReport(rwID_CORE, 5);
    RwError out{};
    RwErrorGet(&out);
    EXPECT_EQ(out.errorCode, E_RW_NOERROR);
}

}  // namespace
