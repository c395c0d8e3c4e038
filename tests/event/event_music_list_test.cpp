// The event music list: EVENT.BGM read back field by field and hostile
// files read without harm, and the list's states from the start event to
// the stop event through the manager, over the fake stage's music calls.
#include <gtest/gtest.h>

#include <string>

#include "app/file.h"
#include "event/event_bgm_list.h"
#include "event/event_objects.h"
#include "event_test_support.h"

namespace event_music_list_test {

namespace {

using event_test::BoundEntry;
using event_test::FakeActor;
using event_test::FakeStage;
using event_test::MakeManager;
using event_test::RunFrame;
using event_test::StageLinks;

CSEventBGMList ReadText(const std::string &text, bool *read = nullptr)
{
    CSEventBGMList list;
    zuFile *file = zufopenMemory(text.data(), text.size(), "r");
    const bool ok = list.Read(file);
    zufclose(file);
    if (read != nullptr) {
        *read = ok;
    }
    return list;
}

TEST(EventMusicFile, RoundTripFieldByField)
{
    const std::vector<EventMusicEntry> entries = {{79050300, 79050400, 3, 0, 0}, {79020700, 79020700, 12, 0, 0}};
    const std::string text = FormatEventMusicList(entries);
    bool read = false;
    CSEventBGMList list = ReadText(text, &read);
    ASSERT_TRUE(read);
    ASSERT_EQ(list.Entries().size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(list.Entries()[i].startEvent, entries[i].startEvent) << i;
        EXPECT_EQ(list.Entries()[i].stopEvent, entries[i].stopEvent) << i;
        EXPECT_EQ(list.Entries()[i].music, entries[i].music) << i;
        EXPECT_EQ(list.Entries()[i].state, kMusicIdle);
        EXPECT_EQ(list.Entries()[i].active, 0);
    }
    EXPECT_EQ(FormatEventMusicList(list.Entries()), text) << "written again unchanged";
}

TEST(EventMusicFile, HostileFilesReadWhatTheyHold)
{
    const std::string one = FormatEventMusicList({{79050300, 79050400, 3, 0, 0}});
    const std::string entry = one.substr(one.find('\n') + 1);
    // A count above the entries present reads those present.
    EXPECT_EQ(ReadText("Count:2000000000\n" + entry).Entries().size(), 1u);
    // A negative count, an empty file, a count line without ':' read none.
    EXPECT_TRUE(ReadText("Count:-5\n" + entry).Entries().empty());
    EXPECT_TRUE(ReadText("").Entries().empty());
    EXPECT_TRUE(ReadText("five\n" + entry).Entries().empty());
    // A short entry, or a value line without ':', ends the read with the
    // entries before it.
    EXPECT_EQ(ReadText("Count:2\n" + entry + "{\nEntry:2\nBGMNum:4\n").Entries().size(), 1u);
    std::string garbled = entry;
    garbled.replace(garbled.find("StartEvent:"), 11, "StartEvent ");
    EXPECT_TRUE(ReadText("Count:1\n" + garbled).Entries().empty());
    // A value that is no number reads as 0, as atol reads it.
    std::string word = entry;
    word.replace(word.find("BGMNum:3"), 8, "BGMNum:x");
    ASSERT_EQ(ReadText("Count:1\n" + word).Entries().size(), 1u);
    EXPECT_EQ(ReadText("Count:1\n" + word).Entries()[0].music, 0);
    // A line longer than 512 characters is cut, its rest skipped: the
    // entry's lines stay in step.
    std::string longLine = entry;
    longLine.replace(longLine.find("{\n"), 2, "{" + std::string(3000, 'x') + "\n");
    ASSERT_EQ(ReadText("Count:1\n" + longLine).Entries().size(), 1u);
    EXPECT_EQ(ReadText("Count:1\n" + longLine).Entries()[0].stopEvent, 79050400);
    // No file: the list is empty and says so.
    CSEventBGMList none;
    EXPECT_FALSE(none.Read(nullptr));
    EXPECT_TRUE(none.Entries().empty());
}

// Two marker events (which never end by themselves) start and stop the music.
class EventMusic : public ::testing::Test {
protected:
    void SetUp() override
    {
        stage.heroes.push_back(&hero);
        links = std::make_unique<StageLinks>(&stage);
        manager = MakeManager({BoundEntry(79305000, 0, 0, 0), BoundEntry(79305100, 0, 0, 0),
                               BoundEntry(79305200, 0, 0, 0)});
        manager->music.Entries() = {{79305000, 79305100, 5, 0, 0}, {79305200, 79305100, 6, 0, 0}};
        manager->LoadStageEvents(2300000, 1);
        start = manager->FindEvent(79305000);
        stop = manager->FindEvent(79305100);
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            RunFrame(*manager, stage);
        }
    }
    int32_t State(size_t entry) const { return manager->music.Entries()[entry].state; }

    FakeStage stage;
    FakeActor hero;
    std::unique_ptr<StageLinks> links;
    std::unique_ptr<CSEventManager> manager;
    EventRecord *start = nullptr;
    EventRecord *stop = nullptr;
};

TEST_F(EventMusic, FromTheStartEventToTheStopEvent)
{
    Frames(3);
    EXPECT_TRUE(stage.music.empty());
    start->IsOccur = 1;
    RunFrame(*manager, stage);
    EXPECT_EQ(State(0), kMusicWaitStage) << "state 1 stopped the stage music at once";
    EXPECT_EQ(stage.music, std::vector<std::string>{"stop 0"});
    RunFrame(*manager, stage);
    EXPECT_EQ(State(0), kMusicStartEvent);
    RunFrame(*manager, stage);
    EXPECT_EQ(State(0), kMusicPlaying);
    EXPECT_EQ(stage.music.back(), "event 2000 5");
    Frames(10);
    EXPECT_EQ(stage.music.size(), 2u) << "playing";
    manager->EndEvent(stop);
    EXPECT_EQ(State(0), kMusicFinished);
    start->IsOccur = 0;
    RunFrame(*manager, stage);
    EXPECT_FALSE(manager->music.Busy());
    EXPECT_EQ(stage.music.back(), "stage") << "the stage music fades back in";
}

TEST_F(EventMusic, WaitsForTheStageMusicToStop)
{
    start->IsOccur = 1;
    RunFrame(*manager, stage);
    stage.bgmStopped = false;  // still fading
    Frames(5);
    EXPECT_EQ(State(0), kMusicWaitStage);
    stage.bgmStopped = true;
    Frames(2);
    EXPECT_EQ(State(0), kMusicPlaying);
}

TEST_F(EventMusic, OneEntryAtATime)
{
    start->IsOccur = 1;
    manager->FindEvent(79305200)->IsOccur = 1;
    Frames(5);
    EXPECT_EQ(manager->music.PlayingEntry(), 0);
    EXPECT_EQ(State(1), kMusicIdle) << "a second start while busy is ignored";
    EXPECT_EQ(std::count(stage.music.begin(), stage.music.end(), "event 2000 6"), 0);
    // Once the first has finished and its start event has stopped, the
    // second (still running) takes its turn.
    manager->EndEvent(stop);
    start->IsOccur = 0;
    Frames(5);
    EXPECT_EQ(manager->music.PlayingEntry(), 1);
    EXPECT_EQ(stage.music.back(), "event 2000 6");
}

TEST_F(EventMusic, AStopEventThatNeverEndsLeavesTheMusicPlaying)
{
    start->IsOccur = 1;
    Frames(3);
    start->IsOccur = 0;
    Frames(300);
    EXPECT_EQ(State(0), kMusicPlaying);
    EXPECT_EQ(stage.music.back(), "event 2000 5");
    manager->ReleaseStageEvents();
    manager->LoadStageEvents(2300000, 1);
    EXPECT_EQ(State(0), kMusicIdle) << "the next stage load resets the list";
    EXPECT_FALSE(manager->music.Busy());
}

TEST(EventMusicScene, AScenesMusicWaitsForItsCamera)
{
    FakeStage stage;
    FakeActor hero;
    stage.heroes.push_back(&hero);
    StageLinks links(&stage);
    auto manager = MakeManager({BoundEntry(79020700, 0, 0, 0)});
    manager->music.Entries() = {{79020700, 79020700, 8, 0, 0}};
    manager->LoadStageEvents(2020000, 1);
    auto *scene = static_cast<CSInGameAnmEvent *>(manager->FindEvent(79020700));
    ASSERT_EQ(scene->EventType, 5);
    scene->IsOccur = 1;
    for (int i = 0; i < 10; ++i) {
        RunFrame(*manager, stage);
    }
    EXPECT_EQ(manager->music.Entries()[0].state, kMusicStartEvent) << "the camera does not run yet";
    scene->CameraRunning = 1;
    RunFrame(*manager, stage);
    EXPECT_EQ(manager->music.Entries()[0].state, kMusicPlaying);
    EXPECT_EQ(stage.music.back(), "event 2000 8");
}

}  // namespace

}  // namespace event_music_list_test
