// The game's render callbacks: an atomic a plug-in draws keeps its own
// callback when a model is given the game's; null models and worlds are
// passed over.
#include <gtest/gtest.h>

#include "app/render_callbacks.h"
#include "tests/app/app_test_support.h"

namespace render_callbacks_test {

namespace {

RpAtomic *PluginDraw(RpAtomic *atomic) { return atomic; }

class RenderCallbacksTest : public apptest::GameEngineTest {};

TEST_F(RenderCallbacksTest, OnlyDefaultDrawnAtomicsTakeTheGamesCallback)
{
    StartIn(apptest::ScratchFolder("render_callbacks"), 64, 48);
    RpClump *clump = RpClumpCreate();
    RwFrame *frame = RwFrameCreate();
    ASSERT_NE(clump, nullptr);
    RpClumpSetFrame(clump, frame);
    RpAtomic *plain = RpAtomicCreate();
    RpAtomic *plugin = RpAtomicCreate();
    for (RpAtomic *atomic : {plain, plugin}) {
        RpAtomicSetFrame(atomic, frame);
        RpClumpAddAtomic(clump, atomic);
    }
    RpAtomicSetRenderCallBack(plugin, PluginDraw);
    InstallGameRenderCallBack(clump);
    EXPECT_EQ(plain->renderCallBack, GameRenderAtomic);
    EXPECT_EQ(plugin->renderCallBack, PluginDraw);
    InstallGameRenderCallBack(static_cast<RpClump *>(nullptr));
    InstallGameRenderCallBack(static_cast<RpWorld *>(nullptr));
    RpClumpDestroy(clump);
}

}  // namespace

}  // namespace render_callbacks_test
