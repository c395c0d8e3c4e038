// The maker's talk files read back through the manager's readers on the
// sample data tree, and the stage's portraits: one picture read per
// portrait number and shared by its entries, a reference each.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_test_support.h"
#include "event/event_manager.h"
#include "event/event_objects.h"
#include "tests/event/talk_test_support.h"
#include "tests/stage/stage_test_support.h"
#include "tools/mkdata/sample_talk_data.h"

namespace sample_talk_data_test {

namespace {

using namespace event_test;

class SampleTalkData : public apptest::GameEngineTest {
protected:
    void TearDown() override
    {
        manager.Release();
        GameEngineTest::TearDown();
    }
    CSEventManager manager;
};

TEST_F(SampleTalkData, TheMakersFilesReadBackThroughTheManager)
{
    StartIn(stagetest::SamplePath(""));
    manager.Init();
    const std::vector<EventNpcType> types = mkdata::SampleNpcTypes();
    ASSERT_EQ(manager.NpcTypes().size(), types.size()) << "no sample data: build the sample-data target";
    for (size_t i = 0; i < types.size(); ++i) {
        EXPECT_EQ(manager.NpcTypes()[i].eventId, types[i].eventId);
        EXPECT_EQ(manager.NpcTypes()[i].portrait, types[i].portrait);
        EXPECT_EQ(manager.NpcTypes()[i].name, types[i].name);
    }
    ASSERT_EQ(manager.DoorMessages().size(), mkdata::SampleDoorMessages().size());
    EXPECT_EQ(std::u16string(manager.GetDoorMessage(1)), u"The door is locked.");
    auto *zone = static_cast<CSHeroZoneEvent *>(manager.FindEvent(mkdata::kSampleHeroZone));
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(zone->HurtLineCount, 2);

    manager.LoadStageEvents(2010000, 1);
    const std::vector<EventTextEntry> lines = mkdata::SampleConversations();
    ASSERT_EQ(manager.Conversations().size(), lines.size());
    for (const EventTextEntry &line : lines) {
        ASSERT_NE(manager.GetConversation(line.id), nullptr) << line.id;
        EXPECT_EQ(std::u16string(manager.GetConversation(line.id)), line.text);
    }
    ASSERT_EQ(manager.Portraits().size(), 2u);
    EXPECT_EQ(manager.portraitFlags[0], 1);
    EXPECT_EQ(manager.portraitFlags[1], 1);
    EXPECT_EQ(manager.portraitFlags[2], 0);
    EventPortrait *farmer = manager.GetNpcPortrait(mkdata::kSampleTalkEvent);
    ASSERT_NE(farmer, nullptr);
    EXPECT_EQ(std::u16string(farmer->name), u"Old Farmer");
    ASSERT_NE(farmer->texture, nullptr);
    EXPECT_EQ(farmer->texture->refCount, 1);
    EXPECT_EQ(RwRasterGetWidth(RwTextureGetRaster(farmer->texture)), 64);
    EXPECT_EQ(manager.GetNpcPortrait(79019900), nullptr);
    // The talk events took their lines and speakers.
    auto *talk = static_cast<CSTalkEvent *>(manager.FindEvent(mkdata::kSampleTalkEvent));
    EXPECT_EQ(talk->LineCount, 3);
    EXPECT_EQ(talk->Speaker, farmer);
    auto *conversation = static_cast<CSNpcTalkEvent *>(manager.FindEvent(mkdata::kSampleConversationEvent));
    EXPECT_EQ(conversation->Menu.count, 4);
    EXPECT_EQ(conversation->Picture, manager.GetNpcPortrait(mkdata::kSampleConversationEvent));
    // The stage's release gives the portraits and the lines back.
    manager.ReleaseStageEvents();
    EXPECT_TRUE(manager.Portraits().empty());
    EXPECT_TRUE(manager.Conversations().empty());
    EXPECT_EQ(manager.portraitFlags[0], 0);
}

TEST_F(SampleTalkData, TwoEntriesOfOnePortraitShareItsTextureWithAReferenceEach)
{
    ScratchDataRoot root("portraits");
    std::filesystem::create_directories(root.Root() + "/RESOURCE/G_EVENT/EVENTUI");
    std::filesystem::copy_file(stagetest::SamplePath("RESOURCE/G_EVENT/EVENTUI/NPC00.BMP"),
                               root.Root() + "/RESOURCE/G_EVENT/EVENTUI/NPC00.BMP");
    root.WriteTable({});
    // Two stage-1 talks with portrait 0, one of another stage, and portrait
    // 16 whose picture is missing.
    root.WriteWide("RESOURCE/G_EVENT/CONT/USA/NPCTYPE.TEX",
                   FormatNpcTypes({{79010200, 0, u"One"}, {79012200, 0, u"Two"}, {79020200, 0, u"Elsewhere"},
                                   {79010700, 16, u"No picture"}}));
    StartIn(root.Root());
    manager.Init();
    manager.LoadStageEvents(2010000, 1);
    ASSERT_EQ(manager.Portraits().size(), 3u);
    EventPortrait *one = manager.GetNpcPortrait(79010200);
    EventPortrait *two = manager.GetNpcPortrait(79012200);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    ASSERT_NE(one->texture, nullptr);
    EXPECT_EQ(one->texture, two->texture);
    EXPECT_EQ(one->texture->refCount, 2);
    EXPECT_EQ(std::u16string(two->name), u"Two");
    EXPECT_EQ(manager.GetNpcPortrait(79020200), nullptr);
    EventPortrait *missing = manager.GetNpcPortrait(79010700);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->texture, nullptr);
    EXPECT_EQ(manager.portraitFlags[16], 1);
    RwTexture *shared = one->texture;
    RwTextureAddRef(shared);
    manager.ReleasePortraits();
    EXPECT_EQ(shared->refCount, 1);
    RwTextureDestroy(shared);
}

}  // namespace

}  // namespace sample_talk_data_test
