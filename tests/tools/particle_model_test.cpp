// The sample-data maker's particle model read back through the engine's
// clump reader: the atomic comes back with its emitter, classes and the
// values the game's way of setting up emitters gave it.
#include <gtest/gtest.h>

#include "rpprtstd.h"
#include "rpptank.h"
#include "rwsdk/world/world_test_support.h"
#include "support/engine/engine_env.h"
#include "support/engine/memory_stream.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/particle_model.h"

namespace particle_model_test {

namespace {

bool AttachParticles() { return RpWorldPluginAttach() && RpPTankPluginAttach() && RpPrtStdPluginAttach(); }

class ParticleModelTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 1 << 20, AttachParticles)); }
    void TearDown() override { EXPECT_TRUE(rwtest::EngineShutDown()); }
};

TEST_F(ParticleModelTest, ReadsBackWithTheGamesEmitter)
{
    RpClump *model = mkdata::BuildParticleClump();
    ASSERT_NE(model, nullptr);
    std::vector<RwUInt8> bytes =
        rwtest::WrittenBy([&](RwStream *stream) { EXPECT_TRUE(mkdata::WriteClumpChunk(model, stream)); });
    RpClumpDestroy(model);

    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    ASSERT_TRUE(RwStreamFindChunk(stream, rwID_CLUMP, &length, &version));
    RpClump *clump = RpClumpStreamRead(stream);
    RwStreamClose(stream, nullptr);
    ASSERT_NE(clump, nullptr);
    ASSERT_EQ(RpClumpGetNumAtomics(clump), 1);
    RpAtomic *atomic = RwLLLinkGetData(RwLinkListGetFirstLLLink(&clump->atomicList), RpAtomic, inClumpLink);
    RpPrtStdEmitter *emitter = RpPrtStdAtomicGetEmitter(atomic);
    ASSERT_NE(emitter, nullptr);
    EXPECT_EQ(emitter->emtClass->flag, 0x33u);
    EXPECT_EQ(emitter->prtClass->flag, 0x67u);
    EXPECT_EQ(emitter->prtBatchMaxPrts, 100);
    EXPECT_EQ(atomic->renderCallBack, RpPrtStdAtomicRender);
    auto *s = static_cast<RpPrtStdEmitterStandard *>(RpPrtStdEmitterGetProperty(emitter, 1));
    EXPECT_EQ(s->maxPrt, 40);
    EXPECT_EQ(s->emtPrtEmit, 3);
    EXPECT_FLOAT_EQ(s->prtLife, 0.4f);
    auto *b = static_cast<RpPrtStdEmitterPTank *>(RpPrtStdEmitterGetProperty(emitter, 6));
    EXPECT_EQ(b->srcBlend, 5u);
    EXPECT_EQ(b->dstBlend, 2u);
    RpClumpDestroy(clump);
}

}  // namespace

}  // namespace particle_model_test
