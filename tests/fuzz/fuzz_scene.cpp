// Fuzz target: an in-game animation scene's pack. The input is a u16 list
// length, the `.LST` bytes, then the `.STR` bytes (the layout of the pack
// target); both are written where scene 79050100 looks for its pack, and
// the scene is run from its start: the stream read block by block, the
// pack opened from memory, its actor animation and camera clump read with
// the game's animation manager and camera, its subtitles read from the
// pack when it holds them, until it plays, ends or gives up; then it is
// skipped, released and destroyed. Nothing may crash, leak or raise a
// fatal report, and the pack must be closed at the end.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/fatal.h"
#include "app/language.h"
#include "app/memory.h"
#include "app/pack.h"
#include "app/path.h"
#include "app/text_block.h"
#include "event/event_blocks.h"
#include "event/event_factory.h"
#include "event/ingame_anm_event.h"
#include "event/scene_links.h"
#include "stage/clump_anim_manager.h"
#include "stage/game_camera.h"
#include "tests/fuzz/fuzz_game_engine.h"
#include "tests/fuzz/fuzz_scratch.h"

namespace {

constexpr int32_t kScene = 79050100;
bool g_fatal = false;
uint32_t g_now = 0;
CSClumpAnimManager *g_anims = nullptr;
CSGameCamera *g_camera = nullptr;
CSTextBlock *g_text = nullptr;

void RecordFatal(const char *) { g_fatal = true; }

const std::string &Root()
{
    static const std::string root = [] {
        const std::string made = fuzzscratch::Folder("fuzz_scene");
        mkdir((made + "/PACK").c_str(), 0700);
        mkdir((made + "/PACK/INGAME1").c_str(), 0700);
        SetDataRootPath(made.c_str());
        SetLanguageIndex(1);
        SetFatalErrorHandler(RecordFatal);
        g_anims = new CSClumpAnimManager;
        g_camera = new CSGameCamera;
        g_text = new CSTextBlock;
        SceneLinks l;
        l.nowMs = [] { return g_now; };
        l.loadAnimation = [](const char *path) { return g_anims->LoadAMF(path) >= 0; };
        l.releaseAnimation = [](const char *name) { g_anims->ReleaseAnimation(name); };
        l.loadCamera = [](const char *model, const char *animation) {
            return g_camera->LoadEventClump(model, animation);
        };
        l.unloadCamera = [](const char *model) { g_camera->UnloadEventClump(model); };
        l.cameraEnded = [] { return g_camera->EventAnimationEnded(); };
        l.cameraTime = [] { return g_camera->EventAnimationTime(); };
        l.takeTextBlock = [] {
            g_text->Reset(1);
            return g_text;
        };
        g_sceneLinks = l;
        return made;
    }();
    return root;
}

bool WriteFile(const std::string &path, const uint8_t *data, size_t size)
{
    FILE *out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    const bool written = std::fwrite(data, 1, size, out) == size;
    return std::fclose(out) == 0 && written;
}

char *Copy(const char *text) { return zuStrDup(text); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzgame::Started() || size < 2) {
        return 0;
    }
    const std::string &root = Root();
    const size_t listSize = data[0] | (data[1] << 8);
    if (listSize > size - 2) {
        return 0;
    }
    const std::string base = root + "/PACK/INGAME1/79050100";
    if (!WriteFile(base + ".LST", data + 2, listSize) || !WriteFile(base + ".STR", data + 2 + listSize, size - 2 - listSize)) {
        return 0;
    }
    EventRecord *record = CreateEventRecord(kScene);
    if (record == nullptr) {
        __builtin_trap();
    }
    record->SetUp();
    auto *scene = static_cast<CSInGameAnmEvent *>(record);
    scene->CameraModel = Copy("CAM01.DFF");
    scene->CameraAnimation = Copy("CAM01.ANM");
    scene->Keys = NewEventBlock<InGameAnmKey>(1);
    scene->KeyCount = 1;
    scene->Keys[0].AiId = 1;
    scene->Keys[0].Animation = Copy("79017001.ANM");
    scene->HasSceneData = 1;
    scene->Setup(100, 0.0f, 0.0f, 3.0f);
    scene->IsOccur = 1;
    for (int frame = 0; frame < 200 && scene->IsOccur != 0 && scene->Loaded == 0; ++frame) {
        g_now += 16;
        scene->Update(1.0f / 60.0f);
    }
    scene->Finish();
    if (zuIsPackOpen() || scene->PackBuffer != nullptr || scene->PackFile != nullptr || g_fatal) {
        __builtin_trap();
    }
    scene->Release();
    scene->Destroy();
    FreeEventObject(record);
    g_anims->ReleaseAll();
    g_camera->UnloadEventClump(nullptr);
    return 0;
}
