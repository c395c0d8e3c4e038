// In-game animation scenes frame by frame on the real manager, the real
// pack layer over packs of the test's own and the subtitle reader, with the
// stage, camera and actors faked and a millisecond clock the test moves:
// the streamed read and its keep-alive, the 3 ms slices, RunState 0 to 6
// with the holds, a cut against a blend, subtitles, cues, the 60 s net,
// skips, actors that are missing or never ready, restore modes and end
// positions, the key item, the start conditions, and packs that are
// missing or malformed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/pack.h"
#include "event/scene_presets.h"
#include "tests/event/scene_test_support.h"

namespace ingame_anm_event_test {

namespace {

using namespace event_test;

constexpr int32_t kCutScene = 79050100;    // condition 100, no blends
constexpr int32_t kCutStage = 2050000;
constexpr int32_t kBlendScene = 79020700;  // condition 100, 2.0 s in and out
constexpr int32_t kBlendStage = 2020000;

bool Has(const std::vector<std::string> &lines, const std::string &line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int32_t CountPrefix(const std::vector<std::string> &lines, const std::string &prefix)
{
    return static_cast<int32_t>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string &l) { return l.rfind(prefix, 0) == 0; }));
}

bool Posted(const std::vector<PostedMessage> &posted, const FakeActor *to, int32_t code, int32_t value)
{
    return std::any_of(posted.begin(), posted.end(), [&](const PostedMessage &m) {
        return m.kind == 0 && m.target == to && m.word[0] == 0 && m.word[1] == code && m.word[2] == value;
    });
}

TEST(ScenePresets, PackNumbersAtTheirBoundsAndTheSixtyOneScenes)
{
    const std::pair<int32_t, int32_t> bounds[] = {{79101100, 1}, {79101101, 2}, {79232100, 2}, {79232101, 3},
                                                  {79340600, 3}, {79340601, 4}, {79362000, 4}, {79362001, 0},
                                                  {79999999, 0}, {79017000, 1}};
    for (const auto &[id, pack] : bounds) {
        EXPECT_EQ(ScenePackNumber(id), pack) << id;
    }
    char path[256];
    EXPECT_FALSE(CSInGameAnmEvent::PackPath(79362001, path, sizeof path));
    ASSERT_TRUE(CSInGameAnmEvent::PackPath(79232101, path, sizeof path));
    EXPECT_NE(std::string(path).find("\\PACK\\INGAME3\\79232101.STR"), std::string::npos);
    EXPECT_FALSE(CSInGameAnmEvent::PackPath(79017000, path, 8));

    int32_t count = 0;
    const ScenePreset *presets = ScenePresets(&count);
    ASSERT_EQ(count, 61);
    for (int32_t i = 0; i < count; ++i) {
        const ScenePreset &p = presets[i];
        EXPECT_TRUE(i == 0 || presets[i - 1].eventId < p.eventId) << p.eventId;
        EXPECT_EQ(FindScenePreset(p.eventId), &p);
        EXPECT_TRUE(p.condition >= 100 && p.condition <= 900 && p.condition % 100 == 0) << p.eventId;
        EXPECT_TRUE(p.blendIn == 0.0f || p.blendIn == 2.0f) << p.eventId;
        EXPECT_TRUE(p.blendOut == 0.0f || p.blendOut == 2.0f) << p.eventId;
        OwnedRecord record(p.eventId);
        ASSERT_NE(record.record, nullptr) << p.eventId;
        EXPECT_EQ(record.record->kind, EventKind::kInGameAnm) << p.eventId;
        EXPECT_EQ(record.record->EventType, kEventTypeInGameAnm) << p.eventId;
    }
    EXPECT_EQ(FindScenePreset(79017001), nullptr);
    const ScenePreset *first = FindScenePreset(79017000);
    EXPECT_EQ(first->condition, 900);
    EXPECT_EQ(FindScenePreset(79022000)->condition, 500);
    EXPECT_EQ(FindScenePreset(79215700)->condition, 700);
    EXPECT_EQ(FindScenePreset(79302400)->blendOut, 2.0f);
    EXPECT_EQ(FindScenePreset(79302400)->blendIn, 0.0f);
}

TEST_F(SceneTest, ThePackIsReadOneBlockAFrameWithTheKeepAliveEveryTwoSeconds)
{
    AddActor(1);
    AddScene(kCutScene, {SceneKey(1, "A.ANM")});
    WritePack(kCutScene, 100000);
    Start({BareEntry(kCutScene)}, kCutStage);
    CSInGameAnmEvent *scene = Scene(kCutScene);
    ASSERT_NE(scene, nullptr);

    Frame();  // occurs: the keep-alive, the open
    EXPECT_EQ(scene->RunState, 1);
    EXPECT_EQ(fakes.keepAlives, 1);
    ASSERT_NE(scene->PackBuffer, nullptr);
    const uint32_t size = scene->PackBuffer->fileSize;
    EXPECT_GT(size, 3u * 32768u);
    EXPECT_LT(size, 4u * 32768u);
    EXPECT_EQ(scene->PackBuffer->capacity, 4u * 32768u);
    EXPECT_EQ(scene->ReadPos, 0u);
    EXPECT_EQ(fakes.loading, std::vector<bool>{true});
    Frame();
    EXPECT_EQ(scene->ReadPos, 32768u);
    Frame();
    EXPECT_EQ(scene->ReadPos, 65536u);
    // More than 2 s since the last pause: this frame only keeps alive.
    fakes.now += 2000;
    Frame();
    EXPECT_EQ(scene->ReadPos, 65536u);
    EXPECT_EQ(fakes.keepAlives, 2);
    Frame();
    EXPECT_EQ(scene->ReadPos, 98304u);
    EXPECT_EQ(scene->Reading, 1);
    Frame();  // the rest; the build takes over at once
    EXPECT_EQ(scene->Reading, 0);
    EXPECT_EQ(scene->ReadPos, size);
    EXPECT_EQ(scene->PackFile, nullptr);
    EXPECT_EQ(scene->Loaded, 1);
    EXPECT_EQ(scene->PackBuffer, nullptr);
    EXPECT_FALSE(zuIsPackOpen());
    EXPECT_EQ(fakes.loading, (std::vector<bool>{true, false}));
    EXPECT_EQ(fakes.keepAlives, 2);
}

TEST_F(SceneTest, TheBuildReturnsOnceThreeMillisecondsAreSpent)
{
    for (int32_t id = 1; id <= 5; ++id) {
        AddActor(id);
    }
    AddScene(kCutScene, {SceneKey(1, "A1.ANM"), SceneKey(2, "A2.ANM"), SceneKey(3, "none"), SceneKey(4, "A4.ANM"),
                         SceneKey(5, "A5.ANM")},
             {{30, 111}, {60, 222}});
    WritePack(kCutScene);
    Start({BareEntry(kCutScene)}, kCutStage);
    CSInGameAnmEvent *scene = Scene(kCutScene);
    fakes.msPerAnimation = 2;
    Frame();  // the open
    std::vector<std::vector<std::string>> perFrame;
    for (int i = 0; i < 4 && scene->Loaded == 0; ++i) {
        fakes.calls.clear();
        Frame();
        perFrame.push_back(fakes.calls);
    }
    // Each item starts only while less than 3 ms are spent: two loads of
    // 2 ms a frame; "none" loads nothing; sounds, camera and the rest cost nothing.
    ASSERT_EQ(perFrame.size(), 3u);
    EXPECT_EQ(perFrame[0], (std::vector<std::string>{"anim A1.ANM", "anim A2.ANM"}));
    EXPECT_EQ(perFrame[1], (std::vector<std::string>{"anim A4.ANM", "anim A5.ANM"}));
    EXPECT_EQ(perFrame[2].front(), "sound+ 111");
    EXPECT_TRUE(Has(perFrame[2], "sound+ 222"));
    EXPECT_TRUE(Has(perFrame[2], "camera CAM.DFF CAM.ANM"));
    EXPECT_EQ(scene->Loaded, 1);
    EXPECT_EQ(scene->LoadStep, 6);
    EXPECT_GE(scene->SliceSpent, 0u);

    // At 3 ms an item each frame.
    fakes.msPerAnimation = 3;
    EXPECT_EQ(scene->SliceSpent < kSceneSliceMs, true);
}

TEST_F(SceneTest, ACutRunsFromIdleToFinishedWithTheHoldsAndPutsEverythingBack)
{
    FakeActor *monster = AddActor(1);
    FakeActor *bystander = AddActor(9);
    AddScene(79017000, {SceneKey(1, "A.ANM")});
    WritePack(79017000);
    EventTableEntry scene = BareEntry(79017000);
    scene.linkId = 79305000;
    Start({BareEntry(79305000), scene});
    CSInGameAnmEvent *cut = Scene(79017000);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->StartCondition, 900);
    EXPECT_EQ(cut->EndDelay, 3.0f);
    EXPECT_EQ(cut->PostToOthers, 1u);
    // Condition 900: 3 s after the link's end.
    for (int i = 0; i < 30; ++i) {
        Frame();
    }
    EXPECT_EQ(cut->RunState, 0);
    manager->FindEvent(79305000)->OccurCount = 1;
    int32_t frames = 0;
    while (cut->IsOccur == 0 && frames < 400) {
        Frame();
        ++frames;
    }
    EXPECT_NEAR(frames, 180, 2);
    EXPECT_EQ(cut->RunState, 1);
    EXPECT_EQ(manager->GetAnimEventId(), 0);  // loading: play goes on

    FramesUntil(cut, 5);
    Frame();  // the actor starts once the cut's first frame is over
    EXPECT_EQ(cut->RunState, 5);
    EXPECT_EQ(fakes.letterbox, true);
    EXPECT_FLOAT_EQ(fakes.speed, 0.4f);
    EXPECT_EQ(stage.cameraMode, 2);
    EXPECT_TRUE(Has(stage.camera, "save"));
    EXPECT_EQ(fakes.actorUpdate, 0);
    EXPECT_EQ(cut->Phase(), 4);
    EXPECT_EQ(manager->GetAnimEventId(), 79017000);
    const std::vector<PostedMessage> holds = TakePosted(stage);
    EXPECT_TRUE(Posted(holds, monster, 8192, 1));
    EXPECT_TRUE(Posted(holds, bystander, 8192, 1));
    EXPECT_TRUE(Posted(holds, &hero, 8192, 0));
    EXPECT_TRUE(Posted(holds, monster, 8192, 79017000));
    EXPECT_FALSE(Posted(holds, bystander, 8192, 79017000));
    EXPECT_TRUE(Has(fakes.calls, "play 1 A.ANM"));
    EXPECT_EQ(fakes.actors[monster].effectsReleased, 1);
    EXPECT_FALSE(fakes.actors[monster].kept);  // the scene plays it now

    FramesUntil(cut, 6);
    EXPECT_EQ(stage.cameraMode, 0);
    EXPECT_EQ(fakes.letterbox, false);
    EXPECT_FLOAT_EQ(fakes.speed, 0.66f);
    EXPECT_EQ(fakes.actorUpdate, 1);
    EXPECT_TRUE(Has(fakes.calls, "restore camera"));
    EXPECT_TRUE(Has(fakes.calls, "unload camera"));
    EXPECT_TRUE(Has(fakes.calls, "return 1"));
    EXPECT_TRUE(Has(fakes.calls, "release A.ANM"));
    const std::vector<PostedMessage> releases = TakePosted(stage);
    EXPECT_TRUE(Posted(releases, monster, 16384, 0));
    EXPECT_TRUE(Posted(releases, bystander, 16384, 0));
    EXPECT_TRUE(Posted(releases, &hero, 16384, 0));
    EXPECT_EQ(cut->IsOccur, 0);
    EXPECT_EQ(cut->OccurCount, 1);
    EXPECT_EQ(manager->GetAnimEventId(), 0);
    EXPECT_EQ(SceneTrace(79017000),
              (std::vector<std::string>{"started 0", "state 1", "state 2", "state 3", "state 4", "state 5", "actor 1",
                                        "state 6", "ended 1"}));
}

TEST_F(SceneTest, ABlendTakesTwoSecondsBeforeTheActorsStartAndBlendsBack)
{
    FakeActor *actor = AddActor(1);
    AddScene(kBlendScene, {SceneKey(1, "A.ANM")});
    WritePack(kBlendScene);
    Start({BareEntry(kBlendScene)}, kBlendStage);
    CSInGameAnmEvent *scene = Scene(kBlendScene);
    for (int i = 0; i < 20 && scene->CameraRunning == 0; ++i) {
        Frame();
    }
    ASSERT_EQ(scene->CameraRunning, 1);
    EXPECT_EQ(stage.cameraMode, 5);
    EXPECT_TRUE(Has(fakes.calls, "blend in 2.0"));
    // The blend's own mode brings speed and letterbox; the scene does not cut.
    EXPECT_FALSE(fakes.letterbox);
    EXPECT_FALSE(Has(stage.camera, "save"));
    int32_t frames = 0;
    while (!Has(fakes.calls, "play 1 A.ANM") && frames < 300) {
        Frame();
        ++frames;
    }
    EXPECT_NEAR(frames, 120, 2);
    EXPECT_GE(scene->Time, 2.0f);
    EXPECT_EQ(scene->Done[0], 1);
    EXPECT_TRUE(fakes.actors[actor].kept == false);

    // The camera's 3 s end: mode 6 and a blend back of 2 s, then the end.
    frames = 0;
    while (stage.cameraMode != 6 && frames < 300) {
        Frame();
        ++frames;
    }
    EXPECT_TRUE(Has(fakes.calls, "blend out 2.0"));
    EXPECT_EQ(scene->RunState, 5);
    frames = FramesUntil(scene, 6);
    EXPECT_NEAR(frames, 121, 2);
    EXPECT_EQ(stage.cameraMode, 0);
    EXPECT_EQ(scene->OccurCount, 1);
}

TEST_F(SceneTest, SubtitlesAppearCharacterByCharacterAndGo)
{
    AddScene(kCutScene, {});
    WritePack(kCutScene);
    SceneSubtitleEntry first;
    first.startFrame = 60;  // 1.0 s
    first.text = u"Abc";
    first.digits = "12";    // short: "c" comes with "b"
    first.endDelay = 5;
    SceneSubtitleEntry second;
    second.startFrame = 150;
    second.text = u"Hi";
    second.digits = "";
    second.endDelay = 3;
    WriteSubtitles(kCutScene, {first, second});
    Start({BareEntry(kCutScene)}, kCutStage);
    CSInGameAnmEvent *scene = Scene(kCutScene);
    FramesUntil(scene, 5);
    ASSERT_EQ(scene->SubtitlesLoaded, 1);
    ASSERT_EQ(scene->SubtitleCount, 2);
    EXPECT_EQ(fakes.textTaken, 1);
    auto shown = [&] { return fakes.text.Rows().empty() ? std::u16string() : fakes.text.Rows()[0].text; };
    auto until = [&](float seconds) {
        for (int i = 0; i < 400 && scene->CameraLength < seconds; ++i) {
            Frame();
        }
    };
    until(0.5f);
    EXPECT_EQ(scene->HasText, 0);
    until(1.0f);
    EXPECT_EQ(scene->HasText, 1);
    EXPECT_EQ(shown(), u"");
    until(1.11f);
    EXPECT_EQ(shown(), u"A");
    until(1.31f);
    EXPECT_EQ(shown(), u"Abc");
    EXPECT_EQ(fakes.text.Rows()[0].x, 108);
    EXPECT_EQ(fakes.text.Rows()[0].y, 420);
    until(1.81f);
    Frame();
    EXPECT_EQ(scene->HasText, 0);
    until(2.51f);
    EXPECT_EQ(scene->HasText, 1);
    EXPECT_EQ(shown(), u"Hi");
    until(2.85f);
    EXPECT_EQ(scene->HasText, 0);
    FramesUntil(scene, 6);
    EXPECT_FALSE(fakes.text.InUse());
    const std::vector<std::string> trace = SceneTrace(kCutScene);
    EXPECT_EQ(CountPrefix(trace, "subtitle"), 2);
}

TEST_F(SceneTest, CuesPlayOnceAtTheirFramesOfCameraTime)
{
    AddScene(kCutScene, {}, {{30, 111}, {90, 222}, {90, 333}});
    WritePack(kCutScene);
    Start({BareEntry(kCutScene)}, kCutStage);
    CSInGameAnmEvent *scene = Scene(kCutScene);
    FramesUntil(scene, 5);
    EXPECT_TRUE(stage.sounds.empty());
    float at111 = -1.0f;
    float at222 = -1.0f;
    for (int i = 0; i < 400 && scene->RunState != 6; ++i) {
        Frame();
        if (at111 < 0.0f && !stage.sounds.empty()) {
            at111 = scene->CameraLength;
        }
        if (at222 < 0.0f && stage.sounds.size() >= 2) {
            at222 = scene->CameraLength;
        }
    }
    EXPECT_NEAR(at111, 0.5f, 0.02f);
    EXPECT_NEAR(at222, 1.5f, 0.02f);
    EXPECT_EQ(stage.sounds, (std::vector<int32_t>{111, 222, 333}));
    EXPECT_TRUE(Has(fakes.calls, "sound- 333"));
}

TEST_F(SceneTest, TheSixtySecondNetEndsASceneWhoseCameraNeverEndsAndGivesPlayBack)
{
    AddScene(kCutScene, {});
    WritePack(kCutScene);
    Start({BareEntry(kCutScene)}, kCutStage);
    CSInGameAnmEvent *scene = Scene(kCutScene);
    fakes.cameraLength = 1000.0f;
    FramesUntil(scene, 5);
    EXPECT_EQ(stage.cameraMode, 2);
    const int32_t frames = FramesUntil(scene, 6, 4000);
    EXPECT_NEAR(frames, 3600, 2);
    EXPECT_EQ(scene->IsOccur, 0);
    EXPECT_EQ(stage.cameraMode, 0);
    EXPECT_FALSE(fakes.letterbox);
    EXPECT_FLOAT_EQ(fakes.speed, 0.66f);
    EXPECT_EQ(fakes.actorUpdate, 1);
}

TEST_F(SceneTest, ASkipWhileLoadingGivesTheLoadUpAndEndsAtOnce)
{
    AddActor(1);
    AddScene(kCutScene, {SceneKey(1, "A.ANM"), SceneKey(1, "B.ANM")}, {{10, 111}});
    WritePack(kCutScene, 100000);
    Start({BareEntry(kCutScene)}, kCutStage);
    CSInGameAnmEvent *scene = Scene(kCutScene);
    Frame();
    Frame();
    ASSERT_EQ(scene->Reading, 1);
    ASSERT_NE(scene->PackFile, nullptr);
    scene->Finish();
    EXPECT_EQ(scene->PackFile, nullptr);
    EXPECT_EQ(scene->PackBuffer, nullptr);
    EXPECT_EQ(scene->Reading, 0);
    EXPECT_EQ(scene->RunState, 6);
    EXPECT_EQ(scene->IsOccur, 0);
    EXPECT_EQ(scene->OccurCount, 1);
    EXPECT_EQ(fakes.loading, (std::vector<bool>{true, false}));
    EXPECT_EQ(fakes.actorUpdate, 1);

    // Again with the pack open and half built.
    manager->LoadStageEvents(kCutStage, 1);
    scene->OccurCount = 0;
    scene->MaxOccur = 2;
    fakes.msPerAnimation = 5;
    fakes.calls.clear();
    for (int i = 0; i < 6 && scene->Building == 0; ++i) {
        Frame();
    }
    ASSERT_EQ(scene->Building, 1);
    ASSERT_TRUE(zuIsPackOpen());
    EXPECT_EQ(fakes.calls, std::vector<std::string>{"anim A.ANM"});
    scene->Finish();
    EXPECT_FALSE(zuIsPackOpen());
    EXPECT_EQ(scene->PackBuffer, nullptr);
    EXPECT_TRUE(Has(fakes.calls, "release A.ANM"));
    EXPECT_FALSE(Has(fakes.calls, "release B.ANM"));
    EXPECT_EQ(scene->RunState, 6);
    EXPECT_FALSE(fakes.loadingNow);
}

TEST_F(SceneTest, ARunningSceneIsSkippedThroughTheManager)
{
    AddActor(1);
    AddScene(kCutScene, {SceneKey(1, "A.ANM")});
    WritePack(kCutScene);
    Start({BareEntry(kCutScene)}, kCutStage);
    CSInGameAnmEvent *scene = Scene(kCutScene);
    FramesUntil(scene, 5);
    Frame();
    manager->SkipCurrentScene();
    EXPECT_EQ(scene->RunState, 6);
    EXPECT_EQ(scene->CameraLength, 10000.0f);
    EXPECT_EQ(stage.cameraMode, 0);
    EXPECT_FALSE(fakes.letterbox);
    EXPECT_EQ(fakes.actorUpdate, 1);
    EXPECT_TRUE(Has(fakes.calls, "unload camera"));
    EXPECT_TRUE(Has(fakes.calls, "release A.ANM"));
    EXPECT_EQ(manager->GetAnimEventId(), 0);
}

TEST_F(SceneTest, ActorsThatAreMissingOrNeverReadyAreLeftOutAfterTwoSeconds)
{
    FakeActor *noModel = AddActor(1);
    FakeActor *neverHolds = AddActor(2);
    FakeActor *ready = AddActor(3);
    fakes.actors[noModel].model = false;
    fakes.actors[neverHolds].hold = false;
    AddScene(kCutScene, {SceneKey(99, "A.ANM"), SceneKey(1, "B.ANM"), SceneKey(2, "C.ANM"), SceneKey(3, "D.ANM")});
    WritePack(kCutScene);
    Start({BareEntry(kCutScene)}, kCutStage);
    CSInGameAnmEvent *scene = Scene(kCutScene);
    FramesUntil(scene, 3);
    EXPECT_TRUE(Has(SceneTrace(kCutScene), "skipped 99"));
    EXPECT_TRUE(fakes.actors[noModel].kept);
    // The actor without a model holds the start for 2 s, not for ever.
    int32_t frames = 0;
    while (scene->CameraRunning == 0 && frames < 300) {
        Frame();
        ++frames;
    }
    EXPECT_NEAR(frames, 120, 2);
    EXPECT_TRUE(Has(SceneTrace(kCutScene), "skipped 1"));
    EXPECT_FALSE(fakes.actors[noModel].kept);
    // The one that never reaches its hold state: 2 s more, the camera running.
    int32_t more = 0;
    while (!Has(SceneTrace(kCutScene), "skipped 2") && more < 300) {
        Frame();
        ++more;
    }
    EXPECT_NEAR(more, 120, 3);
    EXPECT_EQ(scene->CameraRunning, 1);
    EXPECT_TRUE(Has(fakes.calls, "play 3 D.ANM"));
    EXPECT_FALSE(Has(fakes.calls, "play 2 C.ANM"));
    EXPECT_FALSE(fakes.actors[neverHolds].kept);
    FramesUntil(scene, 6);
    EXPECT_EQ(scene->OccurCount, 1);
    EXPECT_EQ(fakes.actorUpdate, 1);
    EXPECT_FALSE(Has(fakes.calls, "return 2"));
    EXPECT_TRUE(Has(fakes.calls, "return 3"));
    (void)ready;
}

TEST_F(SceneTest, RestoreModesAndEndPositions)
{
    FakeActor *removed = AddActor(1);
    FakeActor *held = AddActor(2);
    FakeActor *left = AddActor(3);
    FakeActor *watcher = AddActor(4);
    AddScene(kCutScene, {SceneKey(1, "A.ANM", 0), SceneKey(2, "B.ANM", 1, {0, 0, 0}, {5, 0, 5}),
                         SceneKey(3, "C.ANM", 2, {1, 0, 1}, {7, 0, 7}), SceneKey(4, "none", 0, {0, 0, 0}, {9, 0, 9})});
    WritePack(kCutScene);
    Start({BareEntry(kCutScene)}, kCutStage);
    CSInGameAnmEvent *scene = Scene(kCutScene);
    FramesUntil(scene, 5);
    EXPECT_EQ(fakes.actors[left].places.size(), 1u);  // its start
    EXPECT_EQ(fakes.actors[watcher].places.size(), 0u);
    FramesUntil(scene, 6);
    EXPECT_EQ(fakes.actors[removed].removed, 1);
    EXPECT_TRUE(fakes.actors[removed].places.empty());
    EXPECT_TRUE(fakes.actors[held].held);
    EXPECT_EQ(fakes.actors[held].removed, 0);
    ASSERT_EQ(fakes.actors[held].places.size(), 1u);
    EXPECT_EQ(fakes.actors[held].places[0].x, 5.0f);
    EXPECT_TRUE(fakes.actors[held].homes[0]);
    EXPECT_FALSE(fakes.actors[left].held);
    EXPECT_EQ(fakes.actors[left].removed, 0);
    ASSERT_EQ(fakes.actors[left].places.size(), 2u);
    EXPECT_FALSE(fakes.actors[left].homes[0]);
    EXPECT_EQ(fakes.actors[left].places[1].x, 7.0f);
    EXPECT_TRUE(fakes.actors[left].homes[1]);
    // The watcher (no animation) is restored with its group at the camera's end.
    EXPECT_EQ(fakes.actors[watcher].removed, 1);
    ASSERT_EQ(fakes.actors[watcher].places.size(), 1u);
    EXPECT_EQ(fakes.actors[watcher].places[0].z, 9.0f);
    for (const char *line : {"return 1", "return 2", "return 3", "release A.ANM", "release B.ANM",
                             "release C.ANM"}) {
        EXPECT_TRUE(Has(fakes.calls, line)) << line;
    }
    EXPECT_EQ(fakes.actors[left].effectsReleased, 2);  // at its start and at its restore
}

TEST_F(SceneTest, TheKeyItemIsTakenAtTheEndUnlessTheConditionIs800)
{
    // 79100600: condition 800, the key kept; it waits while the item popup shows.
    AddScene(79100600, {});
    WritePack(79100600);
    EventTableEntry keyScene = BareEntry(79100600);
    keyScene.param = 55;
    Start({keyScene}, 2100000);
    CSInGameAnmEvent *scene = Scene(79100600);
    ASSERT_EQ(scene->StartCondition, 800);
    for (int i = 0; i < 5; ++i) {
        Frame();
    }
    EXPECT_EQ(scene->IsOccur, 0);
    fakes.items = {55};
    fakes.popup = true;
    Frame();
    EXPECT_EQ(scene->IsOccur, 0);
    fakes.popup = false;
    FramesUntil(scene, 6);
    EXPECT_EQ(fakes.items, std::vector<int32_t>{55});
}

TEST_F(SceneTest, AnyOtherConditionTakesOneKeyItemWhenParamIsSet)
{
    AddScene(kCutScene, {});
    WritePack(kCutScene);
    EventTableEntry keyScene = BareEntry(kCutScene);
    keyScene.param = 55;
    Start({keyScene}, kCutStage);
    fakes.items = {55, 55, 56};
    FramesUntil(Scene(kCutScene), 6);
    EXPECT_EQ(fakes.items, (std::vector<int32_t>{55, 56}));
}

TEST_F(SceneTest, StartConditions)
{
    // 79030100 (100); 79022000 (500, link running); 79041800 (300, the
    // link's actors gone); 79215700 (700, the link's actors busy, then
    // removed); 79071400 (400, the link ended).
    Start({BareEntry(79030100)}, 2030000);
    auto *always = Scene(79030100);
    EXPECT_EQ(always->Check(0.0f), 1);
    always->StartCondition = 200;
    EXPECT_EQ(always->Check(0.0f), 0);  // none bound: never
    always->StartCondition = 300;
    EXPECT_EQ(always->Check(0.0f), 0);  // no link
    always->StartCondition = 600;
    always->Param = 7;
    always->ActionReq[0] = 1;
    always->InArea[0] = 1;
    EXPECT_EQ(always->Check(0.0f), 0);  // the item is not held
    fakes.items = {7};
    EXPECT_EQ(always->Check(0.0f), 1);
    always->InArea[0] = 0;
    EXPECT_EQ(always->Check(0.0f), 0);
    always->StartCondition = 900;
    EXPECT_EQ(always->Check(1.0f), 0);
    EventRecord link{};
    link.OccurCount = 1;
    always->LinkEvent = &link;
    EXPECT_EQ(always->Check(2.0f), 0);
    EXPECT_EQ(always->Check(0.5f), 0);
    EXPECT_EQ(always->Check(0.5f), 1);  // 3.0 s counted after the end
    always->StartCondition = 400;
    EXPECT_EQ(always->Check(0.0f), 1);
    always->StartCondition = 500;
    EXPECT_EQ(always->Check(0.0f), 0);
    link.IsOccur = 1;
    EXPECT_EQ(always->Check(0.0f), 1);
    // 700: the link's bound actors all busy, then each removed.
    FakeActor *a = AddActor(1);
    FakeActor *b = AddActor(2);
    AiObject *bound[2] = {AsActor(a), AsActor(b)};
    link.Actors = bound;
    link.ActorNum = 2;
    link.NPCNum = 2;
    always->StartCondition = 700;
    a->busy = true;
    EXPECT_EQ(always->Check(0.0f), 0);
    EXPECT_EQ(fakes.actors[a].removed, 0);
    b->busy = true;
    EXPECT_EQ(always->Check(0.0f), 1);
    EXPECT_EQ(fakes.actors[a].removed, 1);
    EXPECT_EQ(fakes.actors[b].removed, 1);
    always->StartCondition = 300;
    EXPECT_EQ(always->Check(0.0f), 1);  // both removed now
    always->StartCondition = 1000;
    EXPECT_EQ(always->Check(0.0f), 0);
    link.Actors = nullptr;
    always->LinkEvent = nullptr;
}

TEST_F(SceneTest, AMissingPackIsTriedAgainEachFrameWhileTheStageRunsOn)
{
    AddScene(kCutScene, {});
    Start({BareEntry(kCutScene)}, kCutStage);
    CSInGameAnmEvent *scene = Scene(kCutScene);
    for (int i = 0; i < 30; ++i) {
        Frame();
    }
    EXPECT_EQ(scene->RunState, 1);
    EXPECT_EQ(scene->Reading, 1);
    EXPECT_EQ(fakes.keepAlives, 30);
    EXPECT_TRUE(fakes.loading.empty());  // nothing is read, nothing waits
    EXPECT_EQ(fakes.actorUpdate, 1);
    EXPECT_EQ(manager->GetAnimEventId(), 0);
    WritePack(kCutScene);
    FramesUntil(scene, 6);
    EXPECT_EQ(scene->OccurCount, 1);
}

TEST_F(SceneTest, AMalformedPackEndsTheSceneCleanlyWithoutAFatalReport)
{
    AddActor(1);
    AddScene(kCutScene, {SceneKey(1, "A.ANM")}, {{10, 111}});
    WriteRaw("PACK/INGAME1/79050100.STR", std::string(40000, 'x'));
    WriteRaw("PACK/INGAME1/79050100.LST", "\\RESOURCE\\A\t0\t99999\n");
    Start({BareEntry(kCutScene)}, kCutStage);
    CSInGameAnmEvent *scene = Scene(kCutScene);
    FramesUntil(scene, 6, 20);
    EXPECT_EQ(scene->RunState, 6);
    EXPECT_EQ(scene->IsOccur, 0);
    EXPECT_EQ(scene->OccurCount, 1);
    EXPECT_TRUE(apptest::FatalRecorder::Names().empty());
    EXPECT_EQ(fakes.actorUpdate, 1);
    EXPECT_FALSE(fakes.loadingNow);
    EXPECT_FALSE(zuIsPackOpen());
    EXPECT_EQ(scene->PackBuffer, nullptr);

    // A list that is missing, and a camera that cannot be read.
    std::filesystem::remove(root + "/PACK/INGAME1/79050100.LST");
    manager->LoadStageEvents(kCutStage, 1);
    scene->MaxOccur = 3;
    FramesUntil(scene, 6, 20);
    EXPECT_EQ(scene->OccurCount, 1);
    EXPECT_EQ(scene->RunState, 6);
    WritePack(kCutScene);
    manager->LoadStageEvents(kCutStage, 1);
    scene->MaxOccur = 3;
    fakes.cameraLoads = false;
    fakes.calls.clear();
    FramesUntil(scene, 6, 20);
    EXPECT_EQ(scene->RunState, 6);
    EXPECT_TRUE(Has(fakes.calls, "sound- 111"));
    EXPECT_TRUE(Has(fakes.calls, "release A.ANM"));
    EXPECT_EQ(stage.cameraMode, 0);
    EXPECT_TRUE(apptest::FatalRecorder::Names().empty());
}

}  // namespace

namespace {

using namespace event_test;

TEST_F(SceneTest, TheSingleScenesAdditions)
{
    // 79022000: the smoke once at the first actor once the camera runs.
    FakeActor *first = AddActor(1);
    first->position = {3.0f, 0.0f, 4.0f};
    AddActor(13);
    AddScene(79022000, {SceneKey(1, "A.ANM")});
    AddScene(79041800, {});
    AddScene(79061600, {SceneKey(1, "A.ANM"), SceneKey(13, "none"), SceneKey(1, "B.ANM", 2, {}, {6, 0, 8})});
    WritePack(79022000);
    WritePack(79061600);
    EventTableEntry smoke = BareEntry(79022000);
    smoke.linkId = 79305000;
    Start({smoke, BareEntry(79305000)}, 2020000);
    manager->FindEvent(79305000)->IsOccur = 1;  // condition 500: the link runs
    CSInGameAnmEvent *scene = Scene(79022000);
    FramesUntil(scene, 6);
    EXPECT_EQ(fakes.effects, std::vector<std::string>{"0 3 0 4"});

    // 79041800: the actor of AI id 13 is taken away once, after the first update.
    fakes.effects.clear();
    Start({BareEntry(79041800)}, 2040000);
    CSInGameAnmEvent *taker = Scene(79041800);
    taker->IsOccur = 1;
    RunFrame(*manager, stage);
    RunFrame(*manager, stage);
    EXPECT_EQ(fakes.actors[stage.actors[1]].removed, 1);

    // 79061600: the flash at the third actor's end once the camera reaches 10 s.
    Start({BareEntry(79061600)}, 2060000);
    fakes.cameraLength = 12.0f;
    CSInGameAnmEvent *flash = Scene(79061600);
    for (int i = 0; i < 900 && fakes.effects.empty(); ++i) {
        Frame();
    }
    EXPECT_EQ(fakes.effects, std::vector<std::string>{"1 6 0 8"});
    EXPECT_NEAR(flash->CameraLength, 10.0f, 0.02f);
    FramesUntil(flash, 6);
    EXPECT_EQ(fakes.effects.size(), 1u);
}

TEST_F(SceneTest, TheRainStopsAndTheLastScenesGoOnToStage36)
{
    AddScene(79342100, {});
    AddScene(79362000, {});
    Start({BareEntry(79342100), BareEntry(79362000)}, 2340000);
    CSInGameAnmEvent *rain = Scene(79342100);
    rain->IsOccur = 1;
    RunFrame(*manager, stage);
    EXPECT_EQ(fakes.rainUnloads, 1);
    manager->ReleaseStageEvents();
    manager->LoadStageEvents(2360000, 1);
    CSInGameAnmEvent *last = Scene(79362000);
    last->IsOccur = 1;
    last->Finish();
    ASSERT_EQ(stage.stageChanges.size(), 1u);
    EXPECT_EQ(stage.stageChanges[0].target, 36);
    EXPECT_EQ(stage.stageChanges[0].ms, 2000);
}

TEST_F(SceneTest, TheStreamMakerLoadsAndFreesASceneAndAReturningScreenReloadsTheCamera)
{
    AddActor(1);
    AddScene(kCutScene, {SceneKey(1, "A.ANM"), SceneKey(1, "none")}, {{10, 111}});
    WritePack(kCutScene);
    Start({BareEntry(kCutScene)}, kCutStage);
    EXPECT_EQ(manager->UnloadAnimEvents(), 1);
    EXPECT_EQ(fakes.calls, (std::vector<std::string>{"sound+ 111", "anim A.ANM", "camera CAM.DFF CAM.ANM",
                                                     "release A.ANM", "unload camera", "sound- 111"}));
    EXPECT_FALSE(zuIsPackOpen());

    CSInGameAnmEvent *scene = Scene(kCutScene);
    for (int i = 0; i < 200 && scene->CameraLength < 1.0f; ++i) {
        Frame();
    }
    fakes.calls.clear();
    EXPECT_EQ(manager->ReloadAnimEventCamera(), manager->StageEvents()[0]);
    EXPECT_EQ(fakes.calls, std::vector<std::string>{"camera CAM.DFF CAM.ANM"});
    EXPECT_NEAR(fakes.cameraTime, scene->CameraLength, 1e-4f);
    EXPECT_FALSE(zuIsPackOpen());
    FramesUntil(scene, 6);
    EXPECT_EQ(scene->OccurCount, 1);
}

}  // namespace

}  // namespace ingame_anm_event_test
