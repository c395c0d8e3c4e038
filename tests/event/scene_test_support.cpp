// The scene tests' fakes and scratch data (see scene_test_support.h).
#include "tests/event/scene_test_support.h"

#include <algorithm>

#include "tests/event/talk_test_support.h"
#include "tools/mkdata/pack_writer.h"

namespace event_test {

namespace {

namespace fs = std::filesystem;

SceneFakes &F() { return *CurrentSceneFakes(); }

const FakeActor *FakeOf(AiObject *actor) { return reinterpret_cast<const FakeActor *>(actor); }

std::string Tail(const char *path)
{
    const std::string p = path != nullptr ? path : "";
    const size_t slash = p.find_last_of("\\/");
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

void InstallSceneLinks()
{
    SceneLinks l;
    l.nowMs = [] { return F().now; };
    l.keepAlive = [] { ++F().keepAlives; };
    l.setLoading = [](bool on) {
        F().loading.push_back(on);
        F().loadingNow = on;
    };
    l.findActor = [](int32_t aiId) -> AiObject * {
        for (FakeActor *actor : g_stageForScenes()->actors) {
            if (actor->aiId == aiId) {
                return AsActor(actor);
            }
        }
        return nullptr;
    };
    l.hasModel = [](AiObject *a) { return F().actors[FakeOf(a)].model; };
    l.inHoldState = [](AiObject *a) { return F().actors[FakeOf(a)].hold; };
    l.clump = [](AiObject *a) { return reinterpret_cast<RpClump *>(a); };
    l.place = [](AiObject *a, const RwV3d &at, bool home) {
        F().actors[FakeOf(a)].places.push_back(at);
        F().actors[FakeOf(a)].homes.push_back(home);
    };
    l.remove = [](AiObject *a) {
        ++F().actors[FakeOf(a)].removed;
        const_cast<FakeActor *>(FakeOf(a))->removed = true;
    };
    l.setEventHeld = [](AiObject *a) { F().actors[FakeOf(a)].held = true; };
    l.releaseTypeEffects = [](AiObject *a) { ++F().actors[FakeOf(a)].effectsReleased; };
    l.keepUpdating = [](AiObject *a, bool on) { F().actors[FakeOf(a)].kept = on; };
    l.loadAnimation = [](const char *path) {
        F().calls.push_back("anim " + Tail(path));
        F().now += F().msPerAnimation;
        return F().animationLoads;
    };
    l.releaseAnimation = [](const char *name) { F().calls.push_back("release " + Tail(name)); };
    l.playAnimation = [](RpClump *clump, const char *name) {
        F().calls.push_back("play " + std::to_string(FakeOf(reinterpret_cast<AiObject *>(clump))->aiId) + " " + name);
        return true;
    };
    l.advanceAnimation = [](RpClump *, float) {};
    l.returnAnimation = [](AiObject *, RpClump *clump) {
        F().calls.push_back("return " + std::to_string(FakeOf(reinterpret_cast<AiObject *>(clump))->aiId));
    };
    l.setActorUpdate = [](uint8_t on) { F().actorUpdate = on; };
    l.blendGameSpeed = [](float speed) { F().speed = speed; };
    l.letterboxAtOnce = [](bool show) { F().letterbox = show; };
    l.loadCamera = [](const char *model, const char *animation) {
        F().calls.push_back(std::string("camera ") + (model ? model : "") + " " + (animation ? animation : ""));
        F().cameraTime = 0.0f;
        return F().cameraLoads;
    };
    l.unloadCamera = [](const char *) { F().calls.push_back("unload camera"); };
    l.cameraEnded = [] { return F().cameraTime >= F().cameraLength; };
    l.cameraTime = [] { return std::min(F().cameraTime, F().cameraLength); };
    l.advanceCamera = [](float seconds) { F().cameraTime += seconds; };
    l.restoreCamera = [] { F().calls.push_back("restore camera"); };
    l.blendCamera = [](bool into, float seconds) {
        F().calls.push_back(std::string(into ? "blend in " : "blend out ") + std::to_string(seconds).substr(0, 3));
        if (!into) {
            F().blendOutLeft = seconds;
        }
    };
    l.addSounds = [](const int32_t *ids, int32_t count) {
        for (int32_t i = 0; i < count; ++i) {
            F().calls.push_back("sound+ " + std::to_string(ids[i]));
        }
    };
    l.releaseSounds = [](const int32_t *ids, int32_t count) {
        for (int32_t i = 0; i < count; ++i) {
            F().calls.push_back("sound- " + std::to_string(ids[i]));
        }
    };
    l.hasItem = [](int32_t item) { return std::count(F().items.begin(), F().items.end(), item) > 0; };
    l.removeItem = [](int32_t item) {
        const auto at = std::find(F().items.begin(), F().items.end(), item);
        if (at != F().items.end()) {
            F().items.erase(at);
        }
    };
    l.itemPopupShown = [] { return F().popup; };
    l.takeTextBlock = []() -> CSTextBlock * {
        ++F().textTaken;
        F().text.Reset(1);
        return &F().text;
    };
    l.startEffect = [](int32_t which, const RwV3d &at, RpClump *) {
        char line[96];
        std::snprintf(line, sizeof line, "%d %g %g %g", which, at.x, at.y, at.z);
        F().effects.push_back(line);
    };
    l.unloadRain = [] { ++F().rainUnloads; };
    g_sceneLinks = l;
}

}  // namespace

SceneFakes *&CurrentSceneFakes()
{
    static SceneFakes *fakes = nullptr;
    return fakes;
}

FakeStage *&g_stageForScenes()
{
    static FakeStage *stage = nullptr;
    return stage;
}

void SceneTest::SetUp()
{
    root = std::string(RW_TEST_BINARY_DIR) + "/tests/event_scene/" + std::to_string(getpid());
    fs::remove_all(root);
    fs::create_directories(root);
    SetLanguageIndex(1);
    StartIn(root);
    previousSystem = g_pGameSystem;
    g_pGameSystem = &EventTestGameSystem();
    EventTestGameSystem().language = 1;
    CurrentSceneFakes() = &fakes;
    g_stageForScenes() = &stage;
    links = std::make_unique<StageLinks>(&stage);
    InstallSceneLinks();
    hero.aiType = 0;
    hero.player = 0;
    stage.heroes = {&hero};
}

void SceneTest::TearDown()
{
    manager.reset();
    g_sceneLinks = SceneLinks{};
    links.reset();
    CurrentSceneFakes() = nullptr;
    g_stageForScenes() = nullptr;
    g_pGameSystem = previousSystem;
    apptest::GameEngineTest::TearDown();
    if (!HasFailure()) {
        std::error_code error;
        fs::remove_all(root, error);
    }
}

void SceneTest::AddScene(int32_t id, const std::vector<InGameAnmKeyEntry> &keys, const std::vector<InGameAnmCue> &cues)
{
    InGameAnmEntry entry;
    entry.eventId = id;
    entry.number = 1;
    entry.cameraModel = "CAM.DFF";
    entry.cameraAnimation = "CAM.ANM";
    entry.keys = keys;
    table.push_back(entry);
    if (!cues.empty()) {
        InGameAnmAudioEntry sound;
        sound.eventId = id;
        sound.cues = cues;
        audio.push_back(sound);
    }
}

void SceneTest::WritePack(int32_t id, size_t filler)
{
    mkdata::PackWriter pack;
    pack.AddFile("\\RESOURCE\\G_EVENT\\CAMERA\\DFF\\CAM.DFF", std::vector<uint8_t>(64, 1));
    pack.AddFile("\\RESOURCE\\G_EVENT\\CAMERA\\ANM\\CAM.ANM", std::vector<uint8_t>(64, 2));
    if (filler > 0) {
        pack.AddFile("\\RESOURCE\\G_EVENT\\ANM\\FILLER.BIN", std::vector<uint8_t>(filler, 3));
    }
    char path[256];
    std::snprintf(path, sizeof path, "PACK/INGAME%d/%d.STR", ScenePackNumber(id), id);
    ASSERT_TRUE(pack.Write(root + "/" + path));
}

void SceneTest::WriteRaw(const std::string &relative, const std::string &bytes)
{
    const fs::path path = fs::path(root) / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void SceneTest::WriteSubtitles(int32_t id, const std::vector<SceneSubtitleEntry> &entries)
{
    WriteRaw("RESOURCE/G_EVENT/CONT/USA/" + std::to_string(id) + ".SUB", WideBytes(FormatSceneSubtitles(entries)));
}

void SceneTest::Start(const std::vector<EventTableEntry> &entries, int32_t stageId)
{
    WriteRaw("RESOURCE/G_EVENT/G_EVENT.EVT", FormatEventTable(entries));
    WriteRaw("RESOURCE/G_EVENT/CAMERA/INGANM.IGA", FormatInGameAnmTable(table));
    WriteRaw("RESOURCE/G_EVENT/CAMERA/INGANM.MIC", FormatInGameAnmAudio(audio));
    manager = std::make_unique<CSEventManager>();
    manager->Init();
    manager->LoadStageEvents(stageId, 1);
}

void SceneTest::Frame(float dt)
{
    fakes.now += 16;
    RunFrame(*manager, stage, dt);
    if (stage.cameraMode == 2 || stage.cameraMode == 5) {
        fakes.cameraTime += dt;
    } else if (stage.cameraMode == 6 && fakes.blendOutLeft >= 0.0f) {
        fakes.blendOutLeft -= dt;
        if (fakes.blendOutLeft < 0.0f) {
            stage.cameraMode = 0;
        }
    }
}

int32_t SceneTest::FramesUntil(CSInGameAnmEvent *scene, int32_t state, int32_t limit)
{
    int32_t frames = 0;
    while (scene->RunState != state && frames < limit) {
        Frame();
        ++frames;
    }
    return frames;
}

FakeActor *SceneTest::AddActor(int32_t aiId, int32_t aiType)
{
    others.push_back(std::make_unique<FakeActor>());
    FakeActor *actor = others.back().get();
    actor->aiId = aiId;
    actor->aiType = aiType;
    actor->player = -1;
    stage.actors.push_back(actor);
    fakes.actors[actor] = SceneFakes::Actor{};
    return actor;
}

CSInGameAnmEvent *SceneTest::Scene(int32_t id) const
{
    EventRecord *record = manager != nullptr ? manager->FindEvent(id) : nullptr;
    return record != nullptr && record->kind == EventKind::kInGameAnm ? static_cast<CSInGameAnmEvent *>(record)
                                                                       : nullptr;
}

std::vector<std::string> SceneTest::SceneTrace(int32_t id) const
{
    std::vector<std::string> lines;
    const std::string head = std::to_string(id) + " scene ";
    for (const std::string &line : stage.trace) {
        if (line.rfind(head, 0) == 0) {
            lines.push_back(line.substr(head.size()));
        }
    }
    return lines;
}

}  // namespace event_test
