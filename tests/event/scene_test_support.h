// Support for the scene tests: the game engine on a scratch data root that
// holds the event table, the scene table rows and the scene packs (written
// with the maker's writers), the event links over a fake stage, and the
// scene links over fakes that record what a scene does: a millisecond
// clock the test moves, actors with or without their model and hold state,
// a camera whose animation time the frames advance, the stage's speed,
// letterbox and actor pass, sounds, items and the subtitle text block.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/game_system.h"
#include "app/language.h"
#include "app/path.h"
#include "app/text_block.h"
#include "event/event_data_files.h"
#include "event/event_manager.h"
#include "event/ingame_anm_event.h"
#include "event/scene_links.h"
#include "event/scene_presets.h"
#include "tests/app/app_test_support.h"
#include "tests/event/event_test_support.h"

namespace event_test {

// What the fakes hold and record.
struct SceneFakes {
    uint32_t now = 1000;             // ms
    uint32_t msPerAnimation = 0;     // what each actor animation's load costs
    int32_t keepAlives = 0;
    std::vector<bool> loading;       // the loading flag's changes
    bool loadingNow = false;
    struct Actor {
        bool model = true;
        bool hold = true;
        bool kept = false;           // updated while the pass is frozen
        bool held = false;           // event-held by a restore
        int32_t removed = 0;
        std::vector<RwV3d> places;   // where it was put
        std::vector<bool> homes;     // whether each place was also its home
        int32_t effectsReleased = 0;
    };
    std::map<const FakeActor *, Actor> actors;
    std::vector<std::string> calls;  // "anim X", "play X", "camera M A", ...
    bool animationLoads = true;
    bool cameraLoads = true;
    float cameraTime = 0.0f;
    float cameraLength = 3.0f;
    float blendOutLeft = -1.0f;      // mode 6: seconds until the camera asks for mode 0
    uint8_t actorUpdate = 1;
    float speed = 0.66f;
    bool letterbox = false;
    std::vector<int32_t> items;      // the shared list
    bool popup = false;
    CSTextBlock text;
    int32_t textTaken = 0;
    std::vector<std::string> effects;  // "<which> x y z"
    int32_t rainUnloads = 0;
};

SceneFakes *&CurrentSceneFakes();
FakeStage *&g_stageForScenes();

// A scene's actor key for the table.
inline InGameAnmKeyEntry SceneKey(int32_t aiId, const char *animation, int32_t restoreMode = 2,
                                  RwV3d start = {0.0f, 0.0f, 0.0f}, RwV3d end = {0.0f, 0.0f, 0.0f})
{
    InGameAnmKeyEntry key;
    key.aiId = aiId;
    key.animation = animation;
    key.restoreMode = restoreMode;
    key.start = start;
    key.end = end;
    return key;
}

class SceneTest : public apptest::GameEngineTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The scene table's row of `id` with its keys.
    void AddScene(int32_t id, const std::vector<InGameAnmKeyEntry> &keys, const std::vector<InGameAnmCue> &cues = {});
    // "\PACK\INGAME<n>\<id>.STR": a pack of the camera, the actors'
    // animations and `filler` bytes more; or raw bytes.
    void WritePack(int32_t id, size_t filler = 0);
    void WriteRaw(const std::string &relative, const std::string &bytes);
    void WriteSubtitles(int32_t id, const std::vector<SceneSubtitleEntry> &entries);
    // Writes the tables, makes the manager (Init on the scratch root) and
    // loads the stage of the first entry.
    void Start(const std::vector<EventTableEntry> &entries, int32_t stageId = 2010000);
    // One frame: the clock on by 16 ms, the event passes, then the camera
    // as the stage steps it.
    void Frame(float dt = 1.0f / 60.0f);
    // Frames until the scene reaches `state` (at most `limit`); the count.
    int32_t FramesUntil(CSInGameAnmEvent *scene, int32_t state, int32_t limit = 600);
    FakeActor *AddActor(int32_t aiId, int32_t aiType = 1000);
    CSInGameAnmEvent *Scene(int32_t id) const;
    // The trace lines of the scene's own steps ("state 3", "actor 1", ...).
    std::vector<std::string> SceneTrace(int32_t id) const;

    std::string root;
    SceneFakes fakes;
    FakeStage stage;
    std::unique_ptr<StageLinks> links;
    FakeActor hero;
    std::vector<std::unique_ptr<FakeActor>> others;
    std::unique_ptr<CSEventManager> manager;
    std::vector<InGameAnmEntry> table;
    std::vector<InGameAnmAudioEntry> audio;
    CSGameSystem *previousSystem = nullptr;
};

}  // namespace event_test
