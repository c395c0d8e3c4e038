// The draw passes on the sample data's event model (the notice board of
// the first stage): event 79010000 draws its model with the fade while its
// sphere is in the main camera's view and not otherwise; the ids whose
// draw routines are built here draw as their rules say; the late pass
// draws nothing whatever the event; and the shared models: the first use
// of a name reads the model, later uses clone it, "none" ends a list.
#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "event/event_models.h"
#include "event/event_objects.h"
#include "event_test_support.h"
#include "rpworld.h"
#include "tests/stage/stage_test_support.h"
#include "tools/mkdata/sample_talk_data.h"

namespace event_draws_test {

namespace {

using namespace event_test;

class EventDraws : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        StartIn(stagetest::SamplePath(""));
        links = std::make_unique<StageLinks>(&stage);
    }
    void TearDown() override
    {
        if (manager != nullptr) {
            manager->Release();
            manager.reset();
        }
        links.reset();
        GameEngineTest::TearDown();
    }
    // The entries as a table, the first stage's events loaded.
    void Load(std::vector<EventTableEntry> entries, int32_t stageId = 2010000)
    {
        manager = MakeManager(entries);
        manager->LoadStageEvents(stageId, 1);
    }
    static EventTableEntry Notice(int32_t id)
    {
        EventTableEntry e = mkdata::SampleTalkEntries()[0];
        e.eventId = id;
        return e;
    }

    FakeStage stage;
    std::unique_ptr<StageLinks> links;
    std::unique_ptr<CSEventManager> manager;
};

TEST_F(EventDraws, TheNoticeBoardIsDrawnWithTheFadeWhileInView)
{
    Load({Notice(mkdata::kSampleNotice)});
    EventRecord *notice = manager->FindEvent(mkdata::kSampleNotice);
    ASSERT_NE(notice, nullptr);
    ASSERT_NE(notice->Models, nullptr) << "no sample data: build the sample-data target";
    ASSERT_NE(notice->Models[0], nullptr);
    EXPECT_FLOAT_EQ(notice->Placement.centre.x, mkdata::kSampleNoticeAt.x);
    EXPECT_FLOAT_EQ(notice->Placement.radius, 40.0f);
    manager->Render();
    ASSERT_EQ(stage.draws.size(), 1u);
    EXPECT_EQ(stage.draws[0], std::make_pair(notice->Models[0], true));
    stage.draws.clear();
    stage.inView = false;
    manager->Render();
    EXPECT_TRUE(stage.draws.empty());
    // The late pass draws nothing, even for events that ask for it.
    stage.inView = true;
    notice->DrawLate = 1;
    manager->RenderLate();
    EXPECT_TRUE(stage.draws.empty());
    manager->Render();
    EXPECT_TRUE(stage.draws.empty());
}

TEST_F(EventDraws, TheVariantsDrawByTheirOwnRules)
{
    // 79041500: every model, faded, without the view test; 79050300: the
    // first model plainly after the view test, until it has ended once;
    // 79101100: nothing until it first occurs.
    Load({Notice(79041500), Notice(79050300)}, 2040000);
    EventRecord *scene = manager->FindEvent(79041500);
    const char *names[] = {"NOTICE"};
    ASSERT_TRUE(manager->LoadEventModels(scene, names, 1));
    stage.inView = false;
    manager->Render();
    ASSERT_EQ(stage.draws.size(), 1u);
    EXPECT_TRUE(stage.draws[0].second);
    manager->ReleaseStageEvents();
    manager.reset();
    stage.draws.clear();

    stage.inView = true;
    Load({Notice(79050300)}, 2050000);
    EventRecord *door = manager->FindEvent(79050300);
    ASSERT_TRUE(manager->LoadEventModels(door, names, 1));
    manager->Render();
    ASSERT_EQ(stage.draws.size(), 1u);
    EXPECT_FALSE(stage.draws[0].second);
    manager->EndEvent(door);
    stage.draws.clear();
    manager->Render();
    EXPECT_TRUE(stage.draws.empty());
    manager->ReleaseStageEvents();
    manager.reset();

    Load({Notice(79101100)}, 2100000);
    EventRecord *late = manager->FindEvent(79101100);
    ASSERT_TRUE(manager->LoadEventModels(late, names, 1));
    manager->Render();
    EXPECT_TRUE(stage.draws.empty());
    late->IsOccur = 1;
    manager->Render();
    EXPECT_EQ(stage.draws.size(), 1u);
}

TEST_F(EventDraws, TheModelListReadsOnceClonesAfterAndStopsAtNone)
{
    Load({Notice(mkdata::kSampleNotice), BareEntry(79012400)});
    EXPECT_EQ(manager->SharedModelCount(), 1);
    EventRecord *other = manager->FindEvent(79012400);
    const char *names[] = {"NOTICE", "NOTICE", "none", "NOTICE"};
    ASSERT_TRUE(manager->LoadEventModels(other, names, 4));
    EXPECT_EQ(manager->SharedModelCount(), 1);
    EXPECT_EQ(other->ModelNum, 4);
    ASSERT_NE(other->Models[0], nullptr);
    ASSERT_NE(other->Models[1], nullptr);
    EXPECT_NE(other->Models[0], other->Models[1]);
    EXPECT_NE(other->Models[0], manager->FindEvent(mkdata::kSampleNotice)->Models[0]);
    EXPECT_EQ(other->Models[2], nullptr);
    EXPECT_EQ(other->Models[3], nullptr);
    // A placement at the origin keeps the model where its frame stands (the
    // clone's, where the notice board's placement put the shared model).
    EXPECT_FLOAT_EQ(other->Placement.centre.x, mkdata::kSampleNoticeAt.x);
    // A list whose first name is "none" has no model; the placement stays.
    EventRecord *none = manager->FindEvent(79012400);
    none->Placement.radius = 7.0f;
    const char *nothing[] = {"none", "NOTICE"};
    EXPECT_FALSE(manager->LoadEventModels(none, nothing, 2));
    EXPECT_EQ(none->Models[0], nullptr);
    EXPECT_FLOAT_EQ(none->Placement.radius, 7.0f);
    // A name no file holds ends the list there.
    const char *missing[] = {"NOTICE", "NOSUCH", "NOTICE"};
    ASSERT_TRUE(manager->LoadEventModels(none, missing, 3));
    EXPECT_NE(none->Models[0], nullptr);
    EXPECT_EQ(none->Models[1], nullptr);
    EXPECT_EQ(none->Models[2], nullptr);
    EXPECT_EQ(manager->SharedModelCount(), 1);
}

}  // namespace

}  // namespace event_draws_test
