// The door events frame by frame on the real modules built small: the
// sample doors (DOOR01, and DOOR02 with its node-animated bolt) read from
// the sample data with their .ANM and .AMF, the clump animation manager,
// the node animation player and the message window; the heroes, the shared
// item list, sounds, draws, explosions and messages are the fake stage's.
#include <gtest/gtest.h>

#include <set>

#include "app/app_test_support.h"
#include "app/file.h"
#include "event/door_event.h"
#include "event/door_presets.h"
#include "event/event_objects.h"
#include "event_id_lists.h"
#include "event_test_support.h"
#include "fx/node_anim_player.h"
#include "rpworld.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_frames.h"
#include "tests/event/talk_test_support.h"
#include "tests/stage/stage_test_support.h"

namespace door_event_test {

namespace {

using event_test::FakeActor;
using event_test::FakeStage;
using event_test::PostedMessage;
using event_test::StageLinks;
using event_test::TakePosted;

constexpr float kDt = 1.0f / 60.0f;
constexpr int32_t kKey = 5401100;

struct DoorModules {
    CSClumpAnimManager animations;
    CSNodeAnimPlayer nodes;
};
DoorModules *g_modules = nullptr;

// A door of `id` showing `model`, standing at `at` with an area of half
// size 10 in front of it (z below), or none.
EventTableEntry DoorEntry(int32_t id, const char *model, RwV3d at = {0.0f, 0.0f, 0.0f}, bool area = true)
{
    EventTableEntry e;
    e.eventId = id;
    e.label = model;
    e.position = at;
    if (area) {
        e.corners[0] = {at.x - 10.0f, 0.0f, at.z - 20.0f};
        e.corners[1] = {at.x + 10.0f, 0.0f, at.z - 20.0f};
        e.corners[2] = {at.x + 10.0f, 0.0f, at.z};
        e.corners[3] = {at.x - 10.0f, 0.0f, at.z};
    }
    return e;
}

bool CollisionTested(RpClump *clump)
{
    bool any = false;
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *data) -> RpAtomic * {
            *static_cast<bool *>(data) |= (RpAtomicGetFlags(atomic) & rpATOMICCOLLISIONTEST) != 0;
            return atomic;
        },
        &any);
    return any;
}

class DoorEvent : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        StartIn(stagetest::SamplePath(""));
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        modules = std::make_unique<DoorModules>();
        g_modules = modules.get();
        hero.aiType = 0;
        hero.player = 0;
        hero.position = {0.0f, 0.0f, -100.0f};
        second.aiType = 0;
        second.player = 1;
        second.position = {0.0f, 0.0f, -100.0f};
        stage.heroes = {&hero};
        links = std::make_unique<StageLinks>(&stage);
        g_eventLinks.eventAnims = [] { return &g_modules->animations; };
        g_eventLinks.nodeAnims = [] { return &g_modules->nodes; };
    }
    void TearDown() override
    {
        if (manager != nullptr) {
            manager->ReleaseStageEvents();
            manager->Release();
            manager.reset();
        }
        links.reset();
        if (modules != nullptr) {
            modules->animations.Release();
            modules->nodes.Release();
            modules.reset();
        }
        g_modules = nullptr;
        GameEngineTest::TearDown();
    }

    // The manager (its window and the door messages 4 and 5 of a scratch
    // root), the table of `entries` and the load of the first entry's stage.
    CSDoorEvent *Load(const std::vector<EventTableEntry> &entries)
    {
        const int32_t stageId = 2000000 + 10000 * EventStageNumber(entries.front().eventId);
        manager = std::make_unique<CSEventManager>();
        {
            event_test::ScratchDataRoot root("doors");
            const std::u16string texts = FormatEventTexts({{u"It is locked.", 4}, {u"A key would do.", 5}});
            root.WriteWide("RESOURCE/G_EVENT/CONT/USA/OPENDOOR.MSS", texts);
            root.WriteWide("RESOURCE/G_EVENT/CONT/CHA/OPENDOOR.MSS", texts);
            manager->Init();
        }
        const std::string text = FormatEventTable(entries);
        zuFile *file = zufopenMemory(text.data(), text.size(), "r");
        manager->LoadEventTable(file);
        zufclose(file);
        manager->LoadStageEvents(stageId, static_cast<int32_t>(stage.heroes.size()));
        return static_cast<CSDoorEvent *>(manager->Records()[0]);
    }
    // One frame: poses, the trigger tests, the action of `pressing` slots,
    // the updates and steps.
    void Frame(std::initializer_list<int32_t> pressing = {})
    {
        for (size_t i = 0; i < stage.heroes.size(); ++i) {
            manager->SetPlayerPose(static_cast<int32_t>(i), event_test::AsActor(stage.heroes[i]));
        }
        manager->CheckTriggers(kDt);
        for (int32_t slot : pressing) {
            manager->CheckActionTriggers(slot);
        }
        manager->Update(kDt);
    }
    // Frames until `door` has ended (at most `most`); the frames run.
    int FramesToEnd(EventRecord *door, int most = 600)
    {
        int frames = 0;
        while (door->OccurCount == 0 && frames < most) {
            Frame();
            ++frames;
        }
        return frames;
    }

    std::unique_ptr<DoorModules> modules;
    FakeStage stage;
    FakeActor hero;
    FakeActor second;
    std::unique_ptr<StageLinks> links;
    std::unique_ptr<CSEventManager> manager;
};

// ---- the load, the occurrence and the end ----

TEST_F(DoorEvent, TheSampleDoorStandsClosedOpensOnTheActionInItsAreaAndEndsWithItsMotion)
{
    CSDoorEvent *door = Load({DoorEntry(79011200, "DOOR01", {0.0f, 0.0f, 40.0f})});
    RpClump *model = door->DoorModel();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(door->EventType, 1);
    EXPECT_STREQ(door->AnimFile, "DOOR01.ANM");
    EXPECT_EQ(door->AnimLoaded, 1);
    EXPECT_EQ(door->OpenCondition, 700);
    EXPECT_EQ(door->DoorSound, 6500350);
    EXPECT_FLOAT_EQ(door->MessageDistance, 13.0f);
    EXPECT_EQ(door->CentreOnModel, 1) << "the circle follows the model";
    EXPECT_FLOAT_EQ(door->Circle.centre.z, 40.0f);
    EXPECT_FLOAT_EQ(door->Placement.centre.z, 40.0f);
    EXPECT_EQ(modules->animations.GetMotionIndex(model), 0) << "closed at load";
    EXPECT_FALSE(modules->animations.HasMotionEnded(model));

    // In the area without the action, or the action outside it: shut.
    hero.position = {0.0f, 0.0f, 30.0f};
    for (int i = 0; i < 30; ++i) {
        Frame();
    }
    hero.position = {0.0f, 0.0f, 0.0f};
    Frame({0});
    EXPECT_EQ(door->IsOccur, 0);
    EXPECT_EQ(modules->animations.GetMotionIndex(model), 0);

    hero.position = {0.0f, 0.0f, 30.0f};
    Frame();
    Frame({0});
    EXPECT_EQ(door->IsOccur, 1);
    EXPECT_EQ(modules->animations.GetMotionIndex(model), 1) << "the open motion";
    EXPECT_EQ(door->Started, 1);
    const float duration = modules->animations.GetMotionDuration(model);
    EXPECT_NEAR(duration, 1.0f, 0.01f) << "frames 10 .. 70";
    const int frames = FramesToEnd(door);
    EXPECT_NEAR(frames, 60, 2) << "the door ends with its motion";
    EXPECT_EQ(door->IsOccur, 0);
    EXPECT_EQ(door->OccurCount, 1);
    EXPECT_EQ(door->Started, 0);
    EXPECT_TRUE(modules->animations.HasMotionEnded(model)) << "it stays open";
    EXPECT_EQ(stage.sounds, (std::vector<int32_t>{6500350}));
    EXPECT_EQ(stage.trace, (std::vector<std::string>{"79011200 door started 0", "79011200 door ended 1"}));
    // Drawn open for the rest of the stage.
    stage.draws.clear();
    manager->Render();
    EXPECT_EQ(stage.draws.size(), 1u);
}

TEST_F(DoorEvent, TheReleaseGivesBackTheAnimationAndTheCircle)
{
    CSDoorEvent *door = Load({DoorEntry(79011200, "DOOR01", {0.0f, 0.0f, 40.0f})});
    ASSERT_GE(modules->animations.FindAnimation("DOOR01.ANM"), 0);
    manager->ReleaseStageEvents();
    EXPECT_LT(modules->animations.FindAnimation("DOOR01.ANM"), 0) << "the set went with its last use";
    EXPECT_EQ(door->AnimFile, nullptr);
    EXPECT_EQ(door->CentreOnModel, 0);
    EXPECT_FLOAT_EQ(door->Circle.centre.z, 0.0f) << "the circle had no centre of its own";
    EXPECT_EQ(door->Models, nullptr);
}

TEST_F(DoorEvent, TheMonsterDoorTakesMotionTwoAtLoadAndOpensOnceTheLinkedActorsAreGone)
{
    FakeActor monster;
    monster.group = 79010400;
    stage.actors = {&monster};
    EventTableEntry cleared;
    cleared.eventId = 79010400;
    cleared.npcNum = 1;
    EventTableEntry doorEntry = DoorEntry(79013400, "DOOR01", {50.0f, 0.0f, 50.0f}, false);
    doorEntry.linkId = 79010400;
    CSDoorEvent *door = Load({doorEntry, cleared});
    RpClump *model = door->DoorModel();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(modules->animations.GetMotionIndex(model), 2) << "motion 2 at once";
    EXPECT_NEAR(modules->animations.GetMotionTime(model), (71.0f / 60.0f) + 0.1f, 0.01f);
    for (int i = 0; i < 20; ++i) {
        Frame();
    }
    EXPECT_EQ(door->IsOccur + door->OccurCount, 0);
    monster.removed = true;
    Frame();
    EXPECT_EQ(door->IsOccur, 1);
    EXPECT_EQ(modules->animations.GetMotionIndex(model), 1);
    FramesToEnd(door);
    EXPECT_EQ(door->OccurCount, 1);
}

// A door that may open twice replays its motion; its sound plays once per stage.
TEST_F(DoorEvent, ASecondOpeningReplaysTheMotionWithoutTheSound)
{
    EventTableEntry e = DoorEntry(79030300, "DOOR01", {0.0f, 0.0f, 0.0f}, false);  // always opens
    e.maxOccur = 2;
    CSDoorEvent *door = Load({e});
    RpClump *model = door->DoorModel();
    Frame();
    FramesToEnd(door);
    EXPECT_EQ(door->OccurCount, 1);
    Frame();
    EXPECT_EQ(door->IsOccur, 1);
    EXPECT_FALSE(modules->animations.HasMotionEnded(model)) << "the open motion from its start";
    for (int i = 0; i < 600 && door->OccurCount < 2; ++i) {
        Frame();
    }
    EXPECT_EQ(stage.sounds, (std::vector<int32_t>{6500350}));
    // A door of sound kind 0 plays nothing.
    manager->ReleaseStageEvents();
    stage.sounds.clear();
    door = Load({DoorEntry(79062300, "DOOR01", {}, false)});
    door->IsOccur = 1;
    for (int i = 0; i < 80; ++i) {
        Frame();
    }
    EXPECT_TRUE(stage.sounds.empty());
    EXPECT_EQ(door->SoundDone, 0);
}

// ---- keys, the marker and the door message ----

TEST_F(DoorEvent, AKeyDoorShowsItsMarkerOpensWithTheKeyAndUsesItOnce)
{
    EventTableEntry e = DoorEntry(79031200, "DOOR01", {0.0f, 0.0f, 20.0f});
    e.param = kKey;
    CSDoorEvent *door = Load({e});
    CSEventMessageWindow *window = manager->Window();
    ASSERT_NE(window, nullptr);
    ASSERT_NE(door->Sign, nullptr);
    EXPECT_EQ(std::u16string(door->Sign), u"A key would do.");
    hero.position = {0.0f, 0.0f, 10.0f};
    Frame();
    EXPECT_EQ(window->Marker().on, 1);
    EXPECT_EQ(window->Marker().kind, 0) << "the key is missing";
    EXPECT_EQ(window->Marker().eventId, 79031200);
    EXPECT_EQ(door->TextShown, 1);
    // The action without the key: the door message, no opening.
    Frame({0});
    EXPECT_EQ(door->IsOccur, 0);
    EXPECT_EQ(window->Text(), u"A key would do.");
    EXPECT_EQ(window->TextMode(), 0);
    EXPECT_NE(window->Phase(), kWindowClosed);
    // With the key (and a spare): marker kind 1, the action opens and takes one.
    stage.sharedItems = {kKey, kKey};
    for (int i = 0; i < 150; ++i) {
        Frame();  // the message's two seconds run out
    }
    EXPECT_EQ(window->Marker().kind, 1);
    EXPECT_EQ(window->Phase(), kWindowClosed) << "the message's time ran out";
    Frame({0});
    EXPECT_EQ(door->IsOccur, 1);
    EXPECT_EQ(window->Phase(), kWindowClosed) << "no message when the key opens it";
    Frame();
    EXPECT_EQ(stage.sharedItems, (std::vector<int32_t>{kKey}));
    EXPECT_EQ(window->Marker().on, 0) << "a running door takes its marker down";
    FramesToEnd(door);
    EXPECT_EQ(stage.sharedItems, (std::vector<int32_t>{kKey})) << "one key per opening";
}

TEST_F(DoorEvent, AKeyDoorWithoutItsKeyIdNeverOpensButStillShowsItsMessage)
{
    CSDoorEvent *door = Load({DoorEntry(79031200, "DOOR01", {0.0f, 0.0f, 20.0f})});
    stage.sharedItems = {0, kKey};
    hero.position = {0.0f, 0.0f, 10.0f};
    for (int i = 0; i < 5; ++i) {
        Frame({0});
    }
    EXPECT_EQ(door->IsOccur + door->OccurCount, 0);
    EXPECT_EQ(manager->Window()->Text(), u"A key would do.");
    EXPECT_EQ(manager->Window()->Marker().on, 0) << "no key, no action code: no marker";
}

TEST_F(DoorEvent, TheMarkerShowsWithinThirteenIgnoringHeightAndTheFirstHeroOutOfReachTakesItDown)
{
    EventTableEntry e = DoorEntry(79031200, "DOOR01", {0.0f, 0.0f, 20.0f});
    e.param = kKey;
    Load({e});
    const EventSpeechMarker &marker = manager->Window()->Marker();
    hero.position = {0.0f, 500.0f, 20.0f - 12.9f};
    Frame();
    EXPECT_EQ(marker.on, 1) << "far above, close across";
    hero.position = {0.0f, -500.0f, 20.0f - 13.0f};
    Frame();
    EXPECT_EQ(marker.on, 0) << "13.0 itself is out";
    hero.position = {9.0f, 0.0f, 11.0f};
    Frame();
    EXPECT_EQ(marker.on, 1);
    // Two heroes: the window has one marker, and the first hero out of
    // reach takes it down though the other stands at the door.
    manager->ReleaseStageEvents();
    stage.heroes = {&hero, &second};
    Load({e});
    hero.position = {0.0f, 0.0f, 15.0f};
    second.position = {0.0f, 0.0f, 12.0f};
    Frame();
    EXPECT_EQ(manager->Window()->Marker().on, 1);
    second.position = {0.0f, 0.0f, -60.0f};
    Frame();
    EXPECT_EQ(manager->Window()->Marker().on, 0);
    hero.position = {0.0f, 0.0f, -60.0f};
    second.position = {0.0f, 0.0f, 15.0f};
    Frame();
    EXPECT_EQ(manager->Window()->Marker().on, 0);
}

// 79196000 shows its marker within its trigger circle; 79011300 never opens.
TEST_F(DoorEvent, TheMarkerDistanceOfACircleDoorAndTheDoorThatNeverOpens)
{
    EventTableEntry e = DoorEntry(79196000, "DOOR01", {0.0f, 0.0f, 20.0f}, false);
    e.circleCentre = {0.0f, 0.0f, 20.0f};
    e.radius = 30.0f;
    e.param = kKey;
    CSDoorEvent *door = Load({e});
    EXPECT_FLOAT_EQ(door->MessageDistance, 30.0f);
    hero.position = {0.0f, 0.0f, -5.0f};  // 25 away
    Frame();
    EXPECT_EQ(manager->Window()->Marker().on, 1);
    manager->ReleaseStageEvents();
    door = Load({DoorEntry(79011300, "DOOR01", {}, false)});
    EXPECT_EQ(door->OpenCondition, 400);
    for (int i = 0; i < 10; ++i) {
        Frame({0});
    }
    EXPECT_EQ(door->IsOccur + door->OccurCount, 0);
}

TEST_F(DoorEvent, TheDoorMessageOpensOnTheActionOfAPlayerWithinReach)
{
    // Condition 200 with an actor still standing: shut, its message 4.
    FakeActor guard;
    guard.group = 79021000;
    stage.actors = {&guard};
    EventTableEntry e = DoorEntry(79021000, "DOOR01", {0.0f, 0.0f, 20.0f});
    e.npcNum = 1;
    CSDoorEvent *door = Load({e});
    hero.position = {0.0f, 0.0f, -40.0f};
    Frame({0});
    EXPECT_EQ(manager->Window()->Phase(), kWindowClosed) << "out of reach";
    hero.position = {0.0f, 0.0f, 10.0f};
    Frame();
    EXPECT_EQ(manager->Window()->Phase(), kWindowClosed) << "no action";
    Frame({0});
    EXPECT_EQ(manager->Window()->Text(), u"It is locked.");
    EXPECT_EQ(door->TextShown, 1);
    EXPECT_EQ(manager->Window()->Marker().on, 0) << "no key and no action code: no marker";
    guard.removed = true;
    Frame();
    EXPECT_EQ(door->IsOccur, 1);
}

RpWorld *g_world = nullptr;

// The clumps in the world, counted up to 100 (a ring of links stops there).
int ClumpsInWorld(RpWorld *world)
{
    int count = 0;
    RpWorldForAllClumps(
        world,
        [](RpClump *clump, void *data) -> RpClump * {
            return ++*static_cast<int *>(data) > 100 ? nullptr : clump;
        },
        &count);
    return count;
}

// Two doors of one model: the second is a copy of the first, and each
// stands in the world once.
TEST_F(DoorEvent, TwoDoorsOfOneModelStandInTheWorldOnceEach)
{
    g_world = stagetest::ReadSampleWorld(1);
    ASSERT_NE(g_world, nullptr);
    g_eventLinks.world = [] { return g_world; };
    CSDoorEvent *first = Load({DoorEntry(79011200, "DOOR01", {0.0f, 0.0f, 40.0f}),
                               DoorEntry(79013400, "DOOR01", {60.0f, 0.0f, 40.0f}, false)});
    auto *second = static_cast<CSDoorEvent *>(manager->Records()[1]);
    ASSERT_NE(first->DoorModel(), nullptr);
    ASSERT_NE(second->DoorModel(), nullptr);
    EXPECT_NE(first->DoorModel(), second->DoorModel());
    EXPECT_EQ(ClumpsInWorld(g_world), 2);
    EXPECT_EQ(manager->SharedModelCount(), 1);
    manager->ReleaseStageEvents();
    EXPECT_EQ(ClumpsInWorld(g_world), 0);
    manager->Release();
    manager.reset();
    RpWorldDestroy(g_world);
    g_world = nullptr;
}

// ---- the draws and the variants ----

TEST_F(DoorEvent, ADoorGoneAfterItsEndIsDrawnUntilThenAndLosesItsCollision)
{
    CSDoorEvent *door = Load({DoorEntry(79314400, "DOOR01", {}, false)});
    RpClump *model = door->DoorModel();
    EXPECT_EQ(door->DrawAfterEnd, 0);
    EXPECT_EQ(door->DoorSound, 6500150);
    SetClumpCollisionTest(model, true);
    manager->Render();
    EXPECT_EQ(stage.draws.size(), 1u) << "before";
    Frame();
    ASSERT_EQ(door->IsOccur, 1);
    manager->Render();
    EXPECT_EQ(stage.draws.size(), 2u) << "while it runs";
    EXPECT_TRUE(CollisionTested(model));
    FramesToEnd(door);
    EXPECT_FALSE(CollisionTested(model)) << "gone from the collision test as it ends";
    stage.draws.clear();
    door->IsOccur = 1;  // even running again
    manager->Render();
    EXPECT_TRUE(stage.draws.empty());
    // Out of view, a door that stays is not drawn either.
    manager->ReleaseStageEvents();
    door = Load({DoorEntry(79030300, "DOOR01", {}, false)});
    stage.draws.clear();
    stage.inView = false;
    manager->Render();
    EXPECT_TRUE(stage.draws.empty());
    stage.inView = true;
    manager->Render();
    ASSERT_EQ(stage.draws.size(), 1u);
    EXPECT_TRUE(stage.draws[0].second) << "the fading draw";
}

TEST_F(DoorEvent, TheExplosionDoorExplodesOnceAndLosesItsCollisionAfterItsFirstUpdate)
{
    EventTableEntry e = DoorEntry(79042300, "DOOR01", {30.0f, 0.0f, 30.0f}, false);
    e.linkId = 79042400;  // a linked event without actors: condition 300 holds
    EventTableEntry linked;
    linked.eventId = 79042400;
    auto *door = static_cast<CSDoorEventWithFlags *>(Load({e, linked}));
    RpClump *model = door->DoorModel();
    EXPECT_FLOAT_EQ(door->Placement.radius, 50.0f);
    EXPECT_EQ(door->DrawAfterEnd, 0);
    EXPECT_EQ(door->ExtraFlags[0] + door->ExtraFlags[1], 0);
    SetClumpCollisionTest(model, true);
    Frame();
    ASSERT_EQ(door->IsOccur, 1);
    ASSERT_EQ(stage.explosions.size(), 1u);
    EXPECT_FLOAT_EQ(stage.explosions[0].x, 30.0f);
    EXPECT_FLOAT_EQ(stage.explosions[0].z, 30.0f);
    EXPECT_FALSE(CollisionTested(model));
    EXPECT_EQ(door->ExtraFlags[0], 1);
    EXPECT_EQ(door->ExtraFlags[1], 1);
    FramesToEnd(door);
    EXPECT_EQ(stage.explosions.size(), 1u) << "once";
    EXPECT_EQ(stage.sounds, (std::vector<int32_t>{6500310}));
}

TEST_F(DoorEvent, TheDrawsOf79050300And79101100)
{
    // 79050300: its first model plainly, gone once it has ended.
    CSDoorEvent *door = Load({DoorEntry(79050300, "DOOR01", {}, false)});
    EXPECT_EQ(door->DrawAfterEnd, 0);
    EXPECT_FLOAT_EQ(door->Placement.radius, 100.0f);
    manager->Render();
    ASSERT_EQ(stage.draws.size(), 1u);
    EXPECT_EQ(stage.draws[0].first, door->DoorModel());
    EXPECT_FALSE(stage.draws[0].second) << "the plain draw";
    door->OccurCount = 1;
    stage.draws.clear();
    manager->Render();
    EXPECT_TRUE(stage.draws.empty());
    // 79101100: nothing before its first run, then drawn fading.
    manager->ReleaseStageEvents();
    door = Load({DoorEntry(79101100, "DOOR01", {}, false)});
    stage.draws.clear();
    manager->Render();
    EXPECT_TRUE(stage.draws.empty());
    door->IsOccur = 1;
    manager->Render();
    ASSERT_EQ(stage.draws.size(), 1u);
    EXPECT_TRUE(stage.draws[0].second);
    door->IsOccur = 0;
    door->OccurCount = 1;
    manager->Render();
    EXPECT_EQ(stage.draws.size(), 2u);
}

TEST_F(DoorEvent, TheKeyDoorsOf79187100PlayTheirOwnSound)
{
    CSDoorEvent *door = Load({DoorEntry(79206500, "DOOR01", {}, false)});
    EXPECT_EQ(door->DoorSound, 0);
    door->IsOccur = 1;
    Frame();
    Frame();
    EXPECT_EQ(stage.sounds, (std::vector<int32_t>{6500410}));
}

// ---- node doors ----

TEST_F(DoorEvent, ANodeDoorLiftsItsBoltWhileItOpens)
{
    CSDoorEvent *door = Load({DoorEntry(79192000, "DOOR02", {}, false)});
    RpClump *model = door->DoorModel();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(door->NodeAnim, 1);
    EXPECT_EQ(door->WholeClump, 0);
    EXPECT_EQ(modules->nodes.ClumpCount(), 1);
    EXPECT_EQ(modules->nodes.IsFinished(model), 0);
    Frame();
    ASSERT_EQ(door->IsOccur, 1);
    // The bolt starts from the open motion's first frame (10) of its 30.
    for (int i = 0; i < 15; ++i) {
        Frame();
    }
    EXPECT_EQ(modules->nodes.IsFinished(model), 0);
    for (int i = 0; i < 10; ++i) {
        Frame();
    }
    EXPECT_EQ(modules->nodes.IsFinished(model), 1) << "lifted while the door still swings";
    EXPECT_EQ(door->IsOccur, 1);
    FramesToEnd(door);
    manager->ReleaseStageEvents();
    EXPECT_EQ(modules->nodes.ClumpCount(), 0) << "the release unregisters it";
}

TEST_F(DoorEvent, InStagesTwentyThreeAndTwentyFiveTheWholeClumpWaitsForTheOpenMotion)
{
    CSDoorEvent *door = Load({DoorEntry(79231100, "DOOR02", {}, false)});
    RpClump *model = door->DoorModel();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(door->WholeClump, 1);
    EXPECT_FLOAT_EQ(door->Placement.centre.x, 317.0f);
    EXPECT_FLOAT_EQ(door->Placement.centre.y, 2.0f);
    EXPECT_FLOAT_EQ(door->Placement.centre.z, 20.2f);
    EXPECT_FLOAT_EQ(door->Placement.radius, 100.0f);
    EXPECT_EQ(modules->animations.GetMotionIndex(model), 0) << "motion 0 at once";
    door->IsOccur = 1;
    manager->Update(kDt);
    ASSERT_EQ(modules->animations.GetMotionIndex(model), 1);
    // The node animation took the open motion's first frame; from there the
    // whole clump waits for the motion's end.
    const RwV3d rest = RwFrameGetMatrix(RpClumpGetFrame(model))->pos;
    for (int i = 0; i < 600 && !modules->animations.HasMotionEnded(model) && door->IsOccur != 0; ++i) {
        manager->Update(kDt);
        ASSERT_FLOAT_EQ(RwFrameGetMatrix(RpClumpGetFrame(model))->pos.y, rest.y) << "the clump still waits";
    }
    manager->Update(kDt);
    EXPECT_GT(RwFrameGetMatrix(RpClumpGetFrame(model))->pos.y, rest.y) << "the whole clump moves once motion 1 ended";
    EXPECT_EQ(door->OccurCount, 1);
}

TEST_F(DoorEvent, ANodeDoorThatDoesNotPlayOnOccurrenceWaitsForItsNodesAndTakesItsKey)
{
    EventTableEntry e = DoorEntry(79240600, "DOOR02", {}, false);
    e.param = kKey;
    e.linkId = 79240700;
    EventTableEntry linked;
    linked.eventId = 79240700;
    CSDoorEvent *door = Load({e, linked});
    RpClump *model = door->DoorModel();
    EXPECT_EQ(door->PlayOnOccur, 0);
    EXPECT_EQ(modules->nodes.IsFinished(model), 1) << "frame 150 is past the bolt's 30";
    stage.sharedItems = {kKey};
    door->IsOccur = 1;
    manager->Update(kDt);
    EXPECT_EQ(door->OccurCount, 1);
    EXPECT_TRUE(stage.sharedItems.empty());
    EXPECT_EQ(modules->animations.GetMotionIndex(model), 0) << "no open motion";
}

// ---- stage 16's crusher doors ----

TEST_F(DoorEvent, ACrusherHitsTheHeroesInItsZoneOnceWhenItsMotionEnds)
{
    stage.heroes = {&hero, &second};
    CSDoorEvent *crusher = Load({DoorEntry(79165200, "DOOR01", {380.0f, 0.0f, -270.0f}, false)});
    RpClump *model = crusher->DoorModel();
    ASSERT_NE(model, nullptr);
    EXPECT_FLOAT_EQ(crusher->Placement.radius, 100.0f);
    hero.position = {380.0f, 0.0f, -270.0f};  // inside
    second.position = {300.0f, 0.0f, -270.0f};  // outside
    Frame();
    ASSERT_EQ(crusher->IsOccur, 1) << "condition 400";
    EXPECT_EQ(modules->animations.GetMotionIndex(model), 1);
    int frames = 1;
    for (; frames < 600 && crusher->OccurCount == 0; ++frames) {
        EXPECT_TRUE(TakePosted(stage).empty()) << "nothing before the motion's end";
        Frame();
    }
    EXPECT_NEAR(frames, 61, 2);
    const std::vector<PostedMessage> hits = TakePosted(stage);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].kind, 2);
    EXPECT_EQ(hits[0].target, &hero);
    EXPECT_EQ(hits[0].word[0], 0);
    EXPECT_EQ(hits[0].word[1], 1);
    EXPECT_EQ(hits[0].word[2], 2000);
    // A hero walking in afterwards is not crushed.
    second.position = {390.0f, 0.0f, -260.0f};
    for (int i = 0; i < 60; ++i) {
        Frame();
    }
    EXPECT_TRUE(TakePosted(stage).empty());
    EXPECT_EQ(stage.sounds, (std::vector<int32_t>{6500140})) << "its own sound, once";
}

TEST_F(DoorEvent, ACrusherOfAOnePlayerGameTestsTheFirstHeroOnly)
{
    for (int32_t players : {1, 2}) {
        stage.heroes = players == 1 ? std::vector<FakeActor *>{&hero} : std::vector<FakeActor *>{&hero, &second};
        hero.position = {350.0f, 0.0f, -400.0f};  // 79165300's first rectangle
        second.position = {300.0f, 0.0f, -480.0f};  // its second
        CSDoorEvent *crusher = Load({DoorEntry(79165300, "DOOR01", {350.0f, 0.0f, -400.0f}, false)});
        FramesToEnd(crusher);
        const std::vector<PostedMessage> hits = TakePosted(stage);
        ASSERT_EQ(hits.size(), static_cast<size_t>(players)) << players;
        EXPECT_EQ(hits[0].target, &hero);
        if (players == 2) {
            EXPECT_EQ(hits[1].target, &second);
        }
        manager->ReleaseStageEvents();
    }
}

TEST_F(DoorEvent, TheFirstThreeCrushersRunWhileTheirLinkRuns)
{
    EventTableEntry e = DoorEntry(79164900, "DOOR01", {20.0f, 0.0f, -100.0f}, false);
    e.linkId = 79164400;  // a key door without its key: it never runs by itself
    CSDoorEvent *crusher = Load({e, DoorEntry(79164400, "DOOR01", {}, false)});
    ASSERT_NE(crusher->LinkEvent, nullptr);
    for (int i = 0; i < 10; ++i) {
        Frame();
    }
    EXPECT_EQ(crusher->IsOccur, 0);
    crusher->LinkEvent->IsOccur = 1;
    EXPECT_EQ(crusher->CheckCondition(kDt), 1);
    crusher->LinkEvent->IsOccur = 0;
    EXPECT_EQ(crusher->CheckCondition(kDt), 0);
    // Without a model nothing moves and nothing is crushed.
    manager->ReleaseStageEvents();
    hero.position = {20.0f, 0.0f, -100.0f};
    crusher = Load({DoorEntry(79165200, "NO_SUCH_MODEL", {}, false)});
    Frame();
    EXPECT_EQ(crusher->OccurCount, 1);
    EXPECT_TRUE(TakePosted(stage).empty());
}

// ---- the presets ----

TEST(DoorPresets, EveryDoorIdHasOnePresetAndEveryPresetIdIsADoor)
{
    int32_t rows = 0;
    const DoorPreset *presets = DoorPresets(&rows);
    std::set<int32_t> presetIds;
    int32_t total = 0;
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t id : presets[r].ids) {
            if (id == 0) {
                break;
            }
            ++total;
            EXPECT_TRUE(presetIds.insert(id).second) << id << " in two rows";
            const EventIdRow *row = FindEventRow(id);
            ASSERT_NE(row, nullptr) << id;
            EXPECT_EQ(row->kind, EventKind::kDoor) << id;
            EXPECT_EQ(FindDoorPreset(id), &presets[r]) << id;
        }
    }
    EXPECT_EQ(total, 374);
    int32_t count = 0;
    const EventIdRow *idRows = EventIdRows(&count);
    int32_t doors = 0;
    for (int32_t r = 0; r < count; ++r) {
        for (int32_t id = idRows[r].first; id <= idRows[r].last; id += idRows[r].step) {
            if (idRows[r].kind == EventKind::kDoor) {
                ++doors;
                EXPECT_EQ(presetIds.count(id), 1u) << id;
            }
        }
    }
    EXPECT_EQ(doors, 374);
    EXPECT_EQ(FindDoorPreset(0), nullptr);
    EXPECT_EQ(FindDoorPreset(-1), nullptr);
    EXPECT_EQ(FindDoorPreset(79011250), nullptr);
    EXPECT_EQ(FindDoorPreset(79010200), nullptr) << "a dialogue";
}

TEST(DoorPresets, SpotChecksOfTheArgumentsAndExtras)
{
    const DoorPreset *p = FindDoorPreset(79196100);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->args.openCondition, 100);
    EXPECT_EQ(p->args.signSlot, 11u);
    EXPECT_EQ(p->args.soundKind, 14);
    EXPECT_TRUE(p->extras.distanceIsRadius);
    p = FindDoorPreset(79061100);
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->extras.x.has_value());
    EXPECT_EQ(p->extras.y, 0.0f);
    EXPECT_EQ(p->extras.z, -290.0f);
    p = FindDoorPreset(79094500);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->extras.collisionOff);
    p = FindDoorPreset(79211300);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->args.closedMotion, 2);
    EXPECT_EQ(p->args.openMotion, 1);
    EXPECT_EQ(FindDoorPreset(79165300)->extras.radius, 100.0f);
}

// ---- hostile doors ----

TEST_F(DoorEvent, ADoorWithoutItsModelOrItsAnimationLoadsAndEndsAtOnce)
{
    CSDoorEvent *door = Load({DoorEntry(79030300, "NO_SUCH_DOOR", {}, false),
                              DoorEntry(79030400, "NOTICE", {}, false),
                              DoorEntry(79030600, "", {}, false)});
    auto *plain = static_cast<CSDoorEvent *>(manager->Records()[1]);
    auto *empty = static_cast<CSDoorEvent *>(manager->Records()[2]);
    EXPECT_EQ(door->DoorModel(), nullptr);
    EXPECT_NE(plain->DoorModel(), nullptr);
    EXPECT_EQ(plain->AnimLoaded, 0) << "NOTICE has no animation";
    EXPECT_EQ(empty->DoorModel(), nullptr);
    Frame();
    Frame();
    EXPECT_EQ(door->OccurCount, 1);
    EXPECT_EQ(plain->OccurCount, 1);
    EXPECT_EQ(empty->OccurCount, 1);
    manager->Render();
    manager->ReleaseStageEvents();
    EXPECT_EQ(plain->AnimFile, nullptr);
}

TEST_F(DoorEvent, ALinkModelDoorWithoutItsLinkEndsAndTheStageRunsOn)
{
    CSDoorEvent *door = Load({DoorEntry(79020900, "DOOR01", {}, false)});
    EXPECT_EQ(door->UseLinkModel, 1);
    EXPECT_EQ(door->Models, nullptr) << "a link door loads no model of its own";
    door->IsOccur = 1;
    Frame();
    EXPECT_EQ(door->OccurCount, 1);
}

// Scene 79041500 shows a model of its own as a door does: the sample door
// as its Label's model, motion 0 only once the scene's blend-in is over
// (its pack is not there, so the scene stays loading), played to its end,
// and given back with its animation at the stage's release.
TEST_F(DoorEvent, Scene79041500PlaysItsModelOnceTheBlendInIsOver)
{
    EventTableEntry entry;
    entry.eventId = 79041500;
    entry.label = "DOOR01";
    Load({entry});
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
    CSClumpAnimManager &animations = modules->animations;
    EXPECT_GE(animations.FindAnimation("DOOR01.ANM"), 0);
    scene->IsOccur = 1;
    for (int i = 0; i < 5; ++i) {
        Frame();
    }
    EXPECT_FALSE(animations.HoldsClump(model));
    scene->Done[0] = 1;
    Frame();
    ASSERT_TRUE(animations.HoldsClump(model));
    EXPECT_EQ(animations.GetMotionIndex(model), 0);
    EXPECT_EQ(scene->ExtraFlag, 1);
    for (int i = 0; i < 600 && !animations.HasMotionEnded(model); ++i) {
        Frame();
    }
    EXPECT_TRUE(animations.HasMotionEnded(model));
    scene->IsOccur = 0;
    manager->ReleaseStageEvents();
    EXPECT_EQ(scene->AnimationName, nullptr);
    EXPECT_FALSE(animations.HoldsClump(model));
    EXPECT_LT(animations.FindAnimation("DOOR01.ANM"), 0);
}

}  // namespace

}  // namespace door_event_test
