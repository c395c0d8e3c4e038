// The fake stage side of the event tests (see event_test_support.h).
#include "event_test_support.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "app/file.h"
#include "event/event_factory.h"
#include "event/event_record.h"
#include "support/game/game_run.h"
#include "tests/app/reference_image.h"

namespace event_test {

namespace {

FakeStage *g_stage = nullptr;

FakeActor *Fake(AiObject *actor) { return reinterpret_cast<FakeActor *>(actor); }

AiObject *NextInChain(AiObject *actor)
{
    const auto &chain = g_stage->actors;
    for (size_t i = 0; i + 1 < chain.size(); ++i) {
        if (chain[i] == Fake(actor)) {
            return AsActor(chain[i + 1]);
        }
    }
    return nullptr;
}

}  // namespace

StageLinks::StageLinks(FakeStage *stage, int32_t dynSlotCount)
{
    g_stage = stage;
    stage->dynSlots.assign(static_cast<size_t>(dynSlotCount), -1);
    stage->dynShown.assign(static_cast<size_t>(dynSlotCount), {false, false});
    stage->dynCounts.assign(static_cast<size_t>(dynSlotCount), 0);
    EventLinks links;
    links.heroCount = [] { return static_cast<int32_t>(g_stage->heroes.size()); };
    links.hero = [](int32_t i) {
        return i >= 0 && i < static_cast<int32_t>(g_stage->heroes.size()) ? AsActor(g_stage->heroes[i]) : nullptr;
    };
    links.playerIndex = [](AiObject *hero) { return Fake(hero)->player; };
    links.firstActor = [] { return g_stage->actors.empty() ? nullptr : AsActor(g_stage->actors.front()); };
    links.nextActor = NextInChain;
    links.eventGroup = [](AiObject *a) { return Fake(a)->group; };
    links.isRemoved = [](AiObject *a) { return Fake(a)->removed; };
    links.isBusy = [](AiObject *a) { return Fake(a)->busy; };
    links.isDying = [](AiObject *a) { return Fake(a)->dying; };
    links.pose = [](AiObject *a, RwV3d *position, RwV3d *facing) {
        *position = Fake(a)->position;
        *facing = Fake(a)->facing;
        return true;
    };
    links.requestStageChange = [](int32_t target, int32_t flag, int32_t ms) {
        g_stage->stageChanges.push_back({target, flag, ms});
    };
    links.requestBossGauge = [] { ++g_stage->bossGaugeRequests; };
    links.trace = [](int32_t id, const char *kind, const char *what, int32_t count) {
        g_stage->trace.push_back(std::to_string(id) + " " + kind + " " + what + " " + std::to_string(count));
    };
    if (stage->dynEffects) {
        links.takeDynSlot = [](int32_t kind) {
            for (size_t i = 0; i < g_stage->dynSlots.size(); ++i) {
                if (g_stage->dynSlots[i] < 0) {
                    g_stage->dynSlots[i] = kind;
                    return static_cast<int32_t>(i);
                }
            }
            return -1;
        };
        links.placeDynSlot = [](int32_t, const RwV3d &) {};
        links.setDynValues = [](int32_t slot, const float *, int32_t, int32_t, int32_t count) {
            g_stage->dynCounts[static_cast<size_t>(slot)] = count;
        };
        links.showDynSlot = [](int32_t slot, bool a, bool b) { g_stage->dynShown[static_cast<size_t>(slot)] = {a, b}; };
        links.freeDynSlot = [](int32_t slot) { g_stage->dynSlots[static_cast<size_t>(slot)] = -1; };
    }
    links.startVines = [](const RwV3d &) { ++g_stage->vinesStarted; };
    links.updateVines = [](float) { ++g_stage->vineUpdates; };
    stage->dynTurns.assign(static_cast<size_t>(dynSlotCount), 0.0f);
    links.turnDynSlot = [](int32_t slot, float degrees) { g_stage->dynTurns[static_cast<size_t>(slot)] = degrees; };
    links.aiType = [](AiObject *a) { return Fake(a)->aiType; };
    links.aiId = [](AiObject *a) { return Fake(a)->aiId; };
    links.post = [](int32_t kind, AiObject *target, int32_t w0, int32_t w1, int32_t w2) {
        g_stage->posted.push_back({kind, Fake(target), {w0, w1, w2}});
    };
    links.isShown = [](AiObject *a) { return Fake(a)->shown; };
    links.show = [](AiObject *a) { Fake(a)->shown = true; };
    links.appear = [](AiObject *a, int32_t animation) {
        Fake(a)->shown = true;
        ++Fake(a)->appeared;
        Fake(a)->animation = animation;
    };
    links.heroInState4 = [](AiObject *a) { return Fake(a)->knockedDown; };
    links.playSound = [](int32_t id) { g_stage->sounds.push_back(id); };
    links.playUISound = [](int32_t id) { g_stage->uiSounds.push_back(id); };
    links.addItem = [](int32_t list, int32_t item) {
        g_stage->itemsAdded.emplace_back(list, item);
        return true;
    };
    links.showItemPopup = [](int32_t item) { g_stage->popups.push_back(item); };
    links.setSceneEffectFlag = [](uint8_t flag) { g_stage->sceneEffectFlags.push_back(flag); };
    links.startEffectBurst = [](const RwV3d &at) {
        if (g_stage->burstsFree <= 0) {
            return false;
        }
        --g_stage->burstsFree;
        g_stage->bursts.push_back(at);
        return true;
    };
    links.startStarEffect = [](const RwV3d &at) {
        g_stage->stars.push_back(at);
        return true;
    };
    links.starEffectOn = [](bool on) { g_stage->starSwitches.push_back(on); };
    links.startDownHit = [](const RwV3d &at) {
        g_stage->downHits.push_back(at);
        return true;
    };
    links.startExplosion = [](const RwV3d &at) { g_stage->explosions.push_back(at); };
    links.hasItem = [](int32_t list, int32_t item) {
        const std::vector<int32_t> &items = g_stage->sharedItems;
        return list == 0 && std::find(items.begin(), items.end(), item) != items.end();
    };
    links.removeItem = [](int32_t list, int32_t item) {
        std::vector<int32_t> &items = g_stage->sharedItems;
        const auto found = std::find(items.begin(), items.end(), item);
        if (list == 0 && found != items.end()) {
            items.erase(found);
        }
    };
    links.inView = [](const RwV3d &, float) { return g_stage->inView; };
    links.stopBGM = [](int32_t ms) {
        g_stage->music.push_back("stop " + std::to_string(ms));
        g_stage->bgmStopped = true;
    };
    links.isBGMStopped = [] { return g_stage->bgmStopped; };
    links.playEventBGM = [](int32_t ms, int32_t number) {
        g_stage->music.push_back("event " + std::to_string(ms) + " " + std::to_string(number));
        g_stage->bgmStopped = false;
    };
    links.fadeInStageBGM = [] { g_stage->music.push_back("stage"); };
    links.renderClump = [](RpClump *clump) { g_stage->draws.emplace_back(clump, false); };
    links.renderClumpWithFade = [](RpClump *clump, float) { g_stage->draws.emplace_back(clump, true); };
    links.makeAppear = [](AiObject *a) {
        Fake(a)->shown = true;
        ++Fake(a)->madeToAppear;
    };
    links.playHeld = [](AiObject *a, int32_t animation) { Fake(a)->heldAnimation = animation; };
    links.returnToNormal = [](AiObject *a) { ++Fake(a)->returned; };
    links.restoreHero = [](AiObject *a) { ++Fake(a)->restored; };
    links.heroPadButton = [](int32_t slot, int32_t button) -> uint8_t {
        return slot >= 0 && slot < 2 && button >= 0 && button < 16 ? g_stage->pads[slot][button] : 0;
    };
    links.saveCamera = [] { g_stage->camera.push_back("save"); };
    links.turnCamera = [](AiObject *actor, float) { g_stage->camera.push_back(actor != nullptr ? "turn" : "back"); };
    links.cameraMode = [] { return g_stage->cameraMode; };
    links.setCameraMode = [](int32_t mode) {
        g_stage->cameraMode = mode;
        g_stage->camera.push_back("mode " + std::to_string(mode));
    };
    g_eventLinks = links;
}

StageLinks::~StageLinks()
{
    g_eventLinks = EventLinks();
    g_stage = nullptr;
}

EventTableEntry SquareEntry(int32_t id, float half)
{
    EventTableEntry e;
    e.eventId = id;
    e.corners[0] = {-half, 0.0f, -half};
    e.corners[1] = {half, 0.0f, -half};
    e.corners[2] = {half, 0.0f, half};
    e.corners[3] = {-half, 0.0f, half};
    return e;
}

EventTableEntry CircleEntry(int32_t id, RwV3d centre, float radius)
{
    EventTableEntry e;
    e.eventId = id;
    e.circleCentre = centre;
    e.radius = radius;
    return e;
}

EventTableEntry BareEntry(int32_t id)
{
    EventTableEntry e;
    e.eventId = id;
    return e;
}

EventTableEntry BoundEntry(int32_t id, int32_t npcNum, int32_t param, int32_t linkId)
{
    EventTableEntry e = BareEntry(id);
    e.npcNum = npcNum;
    e.param = param;
    e.linkId = linkId;
    return e;
}

std::string WideBytes(const std::u16string &text)
{
    std::string bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::vector<PostedMessage> TakePosted(FakeStage &stage)
{
    std::vector<PostedMessage> posted;
    posted.swap(stage.posted);
    return posted;
}

std::unique_ptr<CSEventManager> MakeManager(const std::vector<EventTableEntry> &entries)
{
    auto manager = std::make_unique<CSEventManager>();
    const std::string text = FormatEventTable(entries);
    zuFile *file = zufopenMemory(text.data(), text.size(), "r");
    manager->LoadEventTable(file);
    zufclose(file);
    return manager;
}

void RunFrame(CSEventManager &manager, const FakeStage &stage, float dt)
{
    for (size_t i = 0; i < stage.heroes.size(); ++i) {
        manager.SetPlayerPose(static_cast<int32_t>(i), AsActor(stage.heroes[i]));
    }
    manager.CheckTriggers(dt);
    manager.Update(dt);
}

std::string ScriptArgument(const char *script)
{
    std::string argument = "--input '";
    argument += RW_TEST_SOURCE_DIR;
    argument += "/tests/event/scripts/";
    argument += script;
    argument += "'";
    return argument;
}

std::string ReferencePicture(const std::string &name)
{
    std::string path = RW_TEST_SOURCE_DIR;
    path += "/tests/event/reference/";
    path += name;
    path += ".bmp";
    return path;
}

std::vector<gametest::TraceRecord> RunStageTrace(const char *name, int32_t stage, const char *script, uint32_t frames)
{
    const std::string scriptPath = std::string(RW_TEST_SOURCE_DIR) + "/tests/event/scripts/" + script;
    return gametest::RunSampleGame(std::string("event_") + name, "--stage " + std::to_string(stage) + " --frames " +
                                                                     std::to_string(frames) + " --input " + scriptPath);
}

std::vector<gametest::TraceRecord> RunWithReferenceShots(const char *name, const std::string &folder,
                                                         const std::string &arguments,
                                                         const std::vector<ReferenceShot> &shots)
{
    const std::string dir = std::string(RW_TEST_BINARY_DIR) + "/tests/" + folder + "/" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    std::string all = arguments;
    for (const ReferenceShot &shot : shots) {
        all += " --screenshot " + std::to_string(shot.tick) + ":'" + dir + "/" + shot.name + ".bmp'";
    }
    std::vector<gametest::TraceRecord> trace = gametest::RunSampleGame(name, all);
    for (const ReferenceShot &shot : shots) {
        apptest::ExpectLikeReference(dir + "/" + shot.name + ".bmp", ReferencePicture(shot.name),
                                     dir + "/" + shot.name + "_difference.bmp");
    }
    if (!::testing::Test::HasFailure()) {
        std::filesystem::remove_all(dir);
    }
    return trace;
}

OwnedRecord::OwnedRecord(int32_t id) : record(CreateEventRecord(id))
{
    if (record != nullptr) {
        record->SetUp();
    }
}

OwnedRecord::~OwnedRecord()
{
    if (record != nullptr) {
        record->Destroy();
        FreeEventObject(record);
    }
}

}  // namespace event_test
