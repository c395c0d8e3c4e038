// The switch puzzle with its switches 0..9, the scene-effect bombardment
// and the give-item event, frame by frame through the manager over the
// fake stage: a hero walks from switch to switch.
#include <gtest/gtest.h>

#include <algorithm>

#include "event/event_objects.h"
#include "event_test_support.h"
#include "fx/mat_anim_manager.h"

namespace puzzle_and_gift_events_test {

namespace {

using event_test::BoundEntry;
using event_test::FakeActor;
using event_test::FakeStage;
using event_test::MakeManager;
using event_test::RunFrame;
using event_test::StageLinks;

constexpr int32_t kStage5 = 2050000;
constexpr int32_t kPuzzle = 79054100;  // condition 100, 10 s
constexpr float kDt = 1.0f / 60.0f;

// Switch `digit` (its id) of number `number`, a square of half-size 5 at x = 20 * digit.
EventTableEntry Switch(int32_t digit, int32_t number)
{
    EventTableEntry e = event_test::SquareEntry(digit, 5.0f);
    for (RwV3d &corner : e.corners) {
        corner.x += 20.0f * static_cast<float>(digit);
    }
    e.param = number;
    e.linkId = kPuzzle;
    e.maxOccur = 1000;
    e.label = "none";
    return e;
}

class SwitchPuzzle : public ::testing::Test {
protected:
    void SetUp() override
    {
        hero.aiType = 0;
        hero.position = {-100.0f, 0.0f, -100.0f};
        stage.heroes.push_back(&hero);
        links = std::make_unique<StageLinks>(&stage);
        EventTableEntry puzzle = BoundEntry(kPuzzle, 0, 3142, 0);
        std::vector<EventTableEntry> entries = {puzzle};
        for (int32_t digit = 1; digit <= 4; ++digit) {
            entries.push_back(Switch(digit, digit));
        }
        manager = MakeManager(entries);
        manager->LoadStageEvents(kStage5, 1);
        this->puzzle = static_cast<CSStarEffectEvent *>(manager->FindEvent(kPuzzle));
        for (EventRecord *record : manager->Records()) {
            if (record->EventID >= 1 && record->EventID <= 4) {
                switches[record->EventID] = static_cast<CSMatAnimEvent *>(record);
            }
        }
    }

    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            RunFrame(*manager, stage, kDt);
        }
    }
    // The hero steps onto switch `digit` and off it again.
    void Press(int32_t digit)
    {
        hero.position = {20.0f * static_cast<float>(digit), 0.0f, 0.0f};
        Frames(3);
        hero.position = {-100.0f, 0.0f, -100.0f};
        Frames(3);
    }
    int32_t Count(int32_t sound) const { return static_cast<int32_t>(std::count(stage.sounds.begin(), stage.sounds.end(), sound)); }
    bool Lit(int32_t digit) const { return switches[digit]->Lit != 0 && switches[digit]->Tracks[0]->IsTrackEnabled(0); }

    FakeStage stage;
    FakeActor hero;
    std::unique_ptr<StageLinks> links;
    std::unique_ptr<CSEventManager> manager;
    CSStarEffectEvent *puzzle = nullptr;
    CSMatAnimEvent *switches[10] = {};
};

TEST_F(SwitchPuzzle, TheSequence3142SolvesIt)
{
    ASSERT_EQ(puzzle->SequenceLength, 4);
    EXPECT_EQ(puzzle->Sequence[0], 3);
    EXPECT_EQ(puzzle->Sequence[3], 2);
    Frames(2);
    EXPECT_EQ(puzzle->IsOccur, 1) << "condition 100: the puzzle runs from the start";
    EXPECT_EQ(Count(6500650), 1);
    for (int32_t digit : {3, 1, 4}) {
        Press(digit);
        EXPECT_TRUE(Lit(digit)) << digit;
    }
    EXPECT_EQ(puzzle->Progress, 3);
    Press(2);
    EXPECT_EQ(puzzle->OccurCount, 1) << "solved";
    EXPECT_EQ(Count(6500660), 4);
    EXPECT_EQ(Count(6500680), 1);
    ASSERT_FALSE(stage.starSwitches.empty());
    EXPECT_TRUE(stage.starSwitches.back()) << "the star effect on";
    EXPECT_EQ(stage.stars.size(), 4u) << "a star at each right switch";
    // Solved: the switches no longer answer.
    Press(3);
    EXPECT_EQ(Count(6500660), 4);
    EXPECT_EQ(Count(6500670), 0);
    EXPECT_EQ(switches[3]->CheckCondition(kDt), 0);
}

TEST_F(SwitchPuzzle, AWrongSwitchResetsAndUnlights)
{
    Press(3);
    Press(1);
    EXPECT_TRUE(Lit(3));
    EXPECT_TRUE(Lit(1));
    Press(2);  // 4 was next
    EXPECT_EQ(puzzle->Progress, 0);
    EXPECT_EQ(Count(6500670), 1);
    for (int32_t digit = 1; digit <= 4; ++digit) {
        EXPECT_FALSE(Lit(digit)) << digit;
    }
    for (int32_t digit : {3, 1}) {
        EXPECT_TRUE(switches[digit]->Tracks[0]->IsTrackEnabled(1)) << "shown unlit again: " << digit;
        EXPECT_NEAR(switches[digit]->Tracks[0]->TrackTime(1), 2.0f, 0.1f) << "from 2 s on: " << digit;
    }
    EXPECT_FALSE(stage.starSwitches.empty());
    EXPECT_FALSE(stage.starSwitches.back());
    // The sequence starts over: 3 1 4 2 still solves it.
    for (int32_t digit : {3, 1, 4, 2}) {
        Press(digit);
    }
    EXPECT_EQ(puzzle->OccurCount, 1);
}

TEST_F(SwitchPuzzle, WarningFiveSecondsBeforeTheLimitThenTheReset)
{
    Press(3);  // the clock starts with the first press
    ASSERT_EQ(puzzle->TimerRunning, 1);
    const float started = puzzle->Timer;
    int frames = 0;
    while (puzzle->Warning == 0 && frames < 1200) {
        Frames(1);
        ++frames;
    }
    EXPECT_NEAR(puzzle->Timer, 5.0f, 2 * kDt) << "a limit of 10 s warns after 5 s";
    EXPECT_GT(puzzle->Timer, started);
    Frames(1);
    EXPECT_EQ(switches[1]->Flashed, 1);
    EXPECT_TRUE(switches[1]->Tracks[1]->IsTrackEnabled(2)) << "the sign flashes";
    while (puzzle->TimerRunning != 0 && frames < 2400) {
        Frames(1);
        ++frames;
    }
    EXPECT_EQ(puzzle->Progress, 0);
    EXPECT_EQ(puzzle->Warning, 0);
    EXPECT_EQ(puzzle->Timer, 0.0f);
    Frames(1);
    EXPECT_FALSE(Lit(3)) << "the time ran out: every lit switch goes dark";
}

TEST_F(SwitchPuzzle, ASwitchIsPressedAgainOnlyOnceTheHeroHasLeft)
{
    hero.position = {60.0f, 0.0f, 0.0f};
    Frames(60);
    EXPECT_EQ(Count(6500660), 1) << "standing on it presses it once";
    EXPECT_EQ(switches[3]->CheckCondition(kDt), 0);
    hero.position = {-100.0f, 0.0f, -100.0f};
    Frames(2);
    EXPECT_EQ(switches[3]->Pressed, 0);
    hero.position = {60.0f, 0.0f, 0.0f};
    Frames(2);
    EXPECT_EQ(Count(6500670), 1) << "pressed again: 3 is not the second of 3142";
}

// A switch number outside 1..6 has no sign: its own model only.
TEST(SwitchEvent, NumbersOutsideOneToSixHaveNoSign)
{
    EXPECT_STREQ(CSMatAnimEvent::SignModelName(1), "3520801");
    EXPECT_STREQ(CSMatAnimEvent::SignModelName(6), "3520806");
    EXPECT_EQ(CSMatAnimEvent::SignModelName(0), nullptr);
    EXPECT_EQ(CSMatAnimEvent::SignModelName(7), nullptr);
    FakeStage stage;
    StageLinks links(&stage);
    EventTableEntry odd = Switch(5, 9);
    auto manager = MakeManager({BoundEntry(kPuzzle, 0, 5, 0), odd});
    manager->LoadStageEvents(kStage5, 1);
    auto *sw = static_cast<CSMatAnimEvent *>(manager->Records()[1]);
    EXPECT_NE(sw->Tracks[0], nullptr);
    EXPECT_NE(sw->Tracks[1], nullptr);
    EXPECT_LE(sw->ModelNum, 1);
    manager->ReleaseStageEvents();
    EXPECT_EQ(sw->Tracks[0], nullptr);
}

TEST(SceneEffect, FiveShotsASecondApartThenNineSeconds)
{
    FakeStage stage;
    FakeActor hero;
    stage.heroes.push_back(&hero);
    StageLinks links(&stage);
    EventTableEntry entry = BoundEntry(79160200, 0, 0, 79160300);
    entry.points = {{10.0f, 0.0f, 20.0f}, {-30.0f, 0.0f, 40.0f}};
    auto manager = MakeManager({entry, BoundEntry(79160300, 0, 0, 0)});
    manager->LoadStageEvents(2160000, 1);
    auto *scene = static_cast<CSSceneEffectEvent *>(manager->FindEvent(79160200));
    ASSERT_EQ(scene->PointCount, 2);
    EventRecord *stop = manager->FindEvent(79160300);
    stop->MaxOccur = 0;  // never tested: only set running below
    std::vector<int> shotFrames;
    for (int frame = 0; frame < 60 * 20; ++frame) {
        const size_t before = stage.bursts.size();
        RunFrame(*manager, stage, kDt);
        if (stage.bursts.size() > before) {
            shotFrames.push_back(frame);
        }
    }
    ASSERT_GE(shotFrames.size(), 7u);
    for (int i = 1; i < 5; ++i) {
        EXPECT_NEAR(shotFrames[i] - shotFrames[i - 1], 60, 1) << i;
    }
    // The sixth slot is the pause: 9 s (8 s and the 1 s interval) from it.
    EXPECT_NEAR(shotFrames[5] - shotFrames[4], 10 * 60, 2);
    EXPECT_NEAR(shotFrames[6] - shotFrames[5], 60, 1);
    // Each shot lands within 10 of its point, on the ground.
    for (size_t i = 0; i < 5; ++i) {
        const RwV3d &point = scene->Points[i % 2];
        EXPECT_LE(std::abs(stage.bursts[i].x - point.x), 10.0f);
        EXPECT_LE(std::abs(stage.bursts[i].z - point.z), 10.0f);
        EXPECT_EQ(stage.bursts[i].y, 0.0f);
    }
    ASSERT_FALSE(stage.sceneEffectFlags.empty());
    EXPECT_EQ(stage.sceneEffectFlags.front(), 1) << "set before the first shot";
    EXPECT_EQ(stage.sceneEffectFlags.back(), 0);
    stop->IsOccur = 1;
    RunFrame(*manager, stage, kDt);
    EXPECT_EQ(scene->OccurCount, 1) << "the linked event running ends it";
    // Its points survive the stage release and come back at the next load.
    manager->ReleaseStageEvents();
    manager->LoadStageEvents(2160000, 1);
    EXPECT_EQ(scene->PointCount, 2);
    EXPECT_EQ(scene->Shots, 0);
}

TEST(GiveItem, TheFirstPlayersListOrTheSharedOneThePopupAndTheSound)
{
    for (int32_t item : {5100160, 100054}) {
        FakeStage stage;
        FakeActor hero;
        stage.heroes.push_back(&hero);
        StageLinks links(&stage);
        auto manager = MakeManager({BoundEntry(79052600, 0, item, 0)});
        manager->LoadStageEvents(kStage5, 1);
        EventRecord *gift = manager->FindEvent(79052600);
        // Condition 2: the linked event running; it has none.
        RunFrame(*manager, stage);
        EXPECT_EQ(gift->OccurCount, 0);
        static_cast<CSGiveItemEvent *>(gift)->Condition = 1;
        RunFrame(*manager, stage);
        EXPECT_EQ(gift->OccurCount, 1);
        ASSERT_EQ(stage.itemsAdded.size(), 1u);
        EXPECT_EQ(stage.itemsAdded[0].first, item == 100054 ? 0 : 1);
        EXPECT_EQ(stage.itemsAdded[0].second, item);
        EXPECT_EQ(stage.popups, std::vector<int32_t>{item});
        EXPECT_EQ(stage.uiSounds, std::vector<int32_t>{6600170});
    }
}

}  // namespace

}  // namespace puzzle_and_gift_events_test
