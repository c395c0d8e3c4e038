// Scene 79041500's own model on the real modules: the sample door DOOR01
// (read from the sample data with its .ANM) as the model its Label names,
// loaded with the scene, playing motion 0 once the blend-in is over (not
// before), advanced to its end, and given back with its animation at the
// stage's release.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/app_test_support.h"
#include "app/file.h"
#include "event/event_objects.h"
#include "event/ingame_anm_event.h"
#include "event_test_support.h"
#include "stage/clump_anim_manager.h"
#include "tests/event/talk_test_support.h"
#include "tests/stage/stage_test_support.h"

namespace {

CSClumpAnimManager *g_animations = nullptr;

class Scene79041500 : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        StartIn(stagetest::SamplePath(""));
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        animations = std::make_unique<CSClumpAnimManager>();
        g_animations = animations.get();
        hero.aiType = 0;
        hero.player = 0;
        stage.heroes = {&hero};
        links = std::make_unique<event_test::StageLinks>(&stage);
        g_eventLinks.eventAnims = [] { return g_animations; };
    }
    void TearDown() override
    {
        if (manager != nullptr) {
            manager->ReleaseStageEvents();
            manager->Release();
            manager.reset();
        }
        links.reset();
        animations.reset();
        g_animations = nullptr;
        GameEngineTest::TearDown();
    }

    event_test::FakeStage stage;
    event_test::FakeActor hero;
    std::unique_ptr<event_test::StageLinks> links;
    std::unique_ptr<CSClumpAnimManager> animations;
    std::unique_ptr<CSEventManager> manager;
};

TEST_F(Scene79041500, ItsModelPlaysOnceTheBlendInIsOverAndGoesWithTheStage)
{
    manager = std::make_unique<CSEventManager>();
    {
        event_test::ScratchDataRoot root("scene79041500");
        manager->Init();
    }
    EventTableEntry entry;
    entry.eventId = 79041500;
    entry.label = "DOOR01";
    const std::string text = FormatEventTable({entry});
    zuFile *file = zufopenMemory(text.data(), text.size(), "r");
    manager->LoadEventTable(file);
    zufclose(file);
    manager->LoadStageEvents(2040000, 1);
    auto *scene = static_cast<CSInGameAnm79041500 *>(manager->FindEvent(79041500));
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->object, EventObject::kInGameAnm79041500);
    EXPECT_EQ(scene->StartCondition, 100);
    EXPECT_EQ(scene->BlendIn, 2.0f);
    ASSERT_GE(scene->ModelNum, 1);
    RpClump *model = scene->Models[0];
    ASSERT_NE(model, nullptr);
    ASSERT_NE(scene->AnimationName, nullptr);
    EXPECT_STREQ(scene->AnimationName, "DOOR01.ANM");
    EXPECT_GE(animations->FindAnimation("DOOR01.ANM"), 0);

    // Running (its pack is not there: it stays loading), the blend-in not over.
    scene->IsOccur = 1;
    for (int i = 0; i < 5; ++i) {
        event_test::RunFrame(*manager, stage);
    }
    EXPECT_FALSE(animations->HoldsClump(model));
    scene->Done[0] = 1;
    event_test::RunFrame(*manager, stage);
    ASSERT_TRUE(animations->HoldsClump(model));
    EXPECT_EQ(animations->GetMotionIndex(model), 0);
    EXPECT_EQ(scene->ExtraFlag, 1);
    for (int i = 0; i < 600 && !animations->HasMotionEnded(model); ++i) {
        event_test::RunFrame(*manager, stage);
    }
    EXPECT_TRUE(animations->HasMotionEnded(model));

    scene->IsOccur = 0;
    manager->ReleaseStageEvents();
    EXPECT_EQ(scene->AnimationName, nullptr);
    EXPECT_FALSE(animations->HoldsClump(model));
    EXPECT_LT(animations->FindAnimation("DOOR01.ANM"), 0);
}

}  // namespace
