// Support for the screens' tests: the game's engine on a headless window
// with a game system (and so the screen manager) on a data root, pads the
// test presses, the frame the device presented, and recording links that
// stand in for the stage manager and the movie player: every call is one
// line of a log ("movie ...\ENGUIMV\ZUNO.BIK", "load stage 0" ...), and the
// answers are the test's to set.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <filesystem>
#include <string>
#include <vector>

#include "app/camera_frame.h"
#include "app/game_system.h"
#include "app/input.h"
#include "app/trace.h"
#include "d3d8/d3d8_platform.h"
#include "rwsdk/driver/d3d8/d3d8device.h"
#include "tests/app/app_test_support.h"
#include "tests/support/game/trace_reader.h"
#include "tools/mkdata/pack_writer.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"

namespace uitest {

struct LinkState {
    std::vector<std::string> log;
    bool moviePlaying = false;
    std::string movie;  // the last movie's file name
    std::string refusedMovie;  // a file name the player cannot play
    int32_t stageNumber = 0;
    CSHero *hero = nullptr;
    bool itemOwner = false;
    int32_t ownLimit = 99;  // of every known item; unknown: ids 9999999
    std::vector<std::pair<int32_t, uint32_t>> added;  // (list, id) of AddItem
    bool closed = false;
    // The running stage as the overlay reads it.
    int32_t stageId = 0;
    int32_t cameraMode = 0;
    std::vector<CSHero *> heroes;  // firstHero is `hero` when set, else the first of these
    AiObject *actors = nullptr;
    CSItemManager *items = nullptr;
    const CSItemDescTable *descriptions = nullptr;
    RwTexture *itemSheet = nullptr;  // every icon's sheet
    bool sceneRunning = false;       // skipScene ends it, with the line "skip scene"
};

inline LinkState &Links()
{
    static LinkState state;
    return state;
}

inline void Log(const std::string &line) { Links().log.push_back(line); }

inline std::string FileNameOf(const char *path)
{
    const std::string text = path;
    const size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

inline std::string Real(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

inline UILinks RecordingLinks()
{
    UILinks l{};
    l.playMovie = [](const char *path) {
        Links().movie = FileNameOf(path);
        Links().moviePlaying = Links().movie != Links().refusedMovie;
        Log("movie " + Links().movie);
    };
    l.stopMovie = [] {
        Links().moviePlaying = false;
        Log("stop movie");
    };
    l.isMoviePlaying = [] { return Links().moviePlaying; };
    l.closeApplication = [] {
        Links().closed = true;
        Log("close");
    };
    l.hasStage = [] { return true; };
    l.createSubObjects1 = [] { Log("parts 1"); };
    l.createSubObjects2 = [] { Log("parts 2"); };
    l.loadEffectsPack = [] { Log("effects pack"); };
    l.loadItemsPack = [] { Log("items pack"); };
    l.loadEventsPack = [] { Log("events pack"); };
    l.loadHeroesOnce = [] { Log("heroes once"); };
    l.unloadHeroes = [] { Log("unload heroes"); };
    l.activateLoading = [](uint8_t on, int32_t id) {
        Log(std::string("loading ") + (on != 0 ? "on " : "off ") + std::to_string(id));
    };
    l.loadingProgress = [](float progress) { Log("progress " + Real(progress)); };
    l.requestStageChange = [](int32_t target, uint8_t transition, uint32_t ms) {
        Log("stage change " + std::to_string(target) + " " + std::to_string(transition) + " " + std::to_string(ms));
    };
    l.loadStage = [](int32_t id) { Log("load stage " + std::to_string(id)); };
    l.stageNumber = [] { return Links().stageNumber; };
    l.setBGMVolume = [](float volume) { Log("stage music volume " + Real(volume)); };
    l.updateMessageWindow = [] {};
    l.firstHero = [] {
        return Links().hero != nullptr ? Links().hero : (Links().heroes.empty() ? nullptr : Links().heroes[0]);
    };
    l.hasItemOwner = [] { return Links().itemOwner; };
    l.clearOwnedLists = [] { Log("clear items"); };
    l.itemOwnLimit = [](uint32_t id) { return id == 9999999u ? -1 : Links().ownLimit; };
    l.addItem = [](int32_t list, uint32_t id) {
        Links().added.emplace_back(list, id);
        return true;
    };
    l.resetItemRange = [] { Log("reset item range"); };
    l.stageId = [] { return Links().stageId; };
    l.cameraMode = [] { return Links().cameraMode; };
    l.heroCount = [] { return static_cast<int32_t>(Links().heroes.size()); };
    l.hero = [](int32_t i) -> CSHero * {
        return i >= 0 && i < static_cast<int32_t>(Links().heroes.size()) ? Links().heroes[static_cast<size_t>(i)]
                                                                          : nullptr;
    };
    l.firstActor = [] { return Links().actors; };
    l.items = [] { return Links().items; };
    l.itemDescriptions = [] { return Links().descriptions; };
    l.itemSheet = [](int32_t) { return Links().itemSheet; };
    l.sceneRunning = [] { return Links().sceneRunning; };
    l.skipScene = [] {
        Links().sceneRunning = false;
        Log("skip scene");
    };
    l.pauseMusic = [] { Log("pause music"); };
    l.resumeMusic = [] { Log("resume music"); };
    l.reloadSceneCamera = [] { Log("reload scene camera"); };
    l.requestStageExit = [] { Log("stage exit"); };
    return l;
}

// `what` stands at (x0, y0)-(x1, y1) of the 640 x 480 screen (corner 0 the
// top left, 3 the bottom right) with the source (s0, t0)-(s1, t1) in 512ths
// of its texture and the colour argb on every corner.
inline void ExpectQuad512(const char *what, const UIQuad &q, float x0, float y0, float x1, float y1, float s0, float t0,
                          float s1, float t1, uint32_t argb = 0xFFF0F0F0u)
{
    EXPECT_FLOAT_EQ(q.v[0].x, x0) << what;
    EXPECT_FLOAT_EQ(q.v[0].y, y0) << what;
    EXPECT_FLOAT_EQ(q.v[3].x, x1) << what;
    EXPECT_FLOAT_EQ(q.v[3].y, y1) << what;
    EXPECT_FLOAT_EQ(q.v[0].u * 512.0f, s0) << what;
    EXPECT_FLOAT_EQ(q.v[0].v * 512.0f, t0) << what;
    EXPECT_FLOAT_EQ(q.v[3].u * 512.0f, s1) << what;
    EXPECT_FLOAT_EQ(q.v[3].v * 512.0f, t1) << what;
    for (const RwIm2DVertex &v : q.v) {
        EXPECT_EQ(v.emissiveColor, argb) << what;
    }
}

// The screens play each interface sound once: a sound played looped would
// never stop.
inline void ExpectNotLooped(const gametest::TraceRecord &r)
{
    if (r.kind == "screen" && r.fields.size() == 3 && r.fields[0] == "sound" && r.fields[2] == "looped") {
        ADD_FAILURE() << "interface sound " << r.fields[1] << " played looped at tick " << r.tick;
    }
}

// The values of the trace's "screen WORD value" lines written so far (the
// sounds played, the pause requests ...), in order. The trace at *path is
// closed to be read and goes on in a file of its own (*path + ".more").
inline std::vector<int64_t> ScreenTraceValues(std::string *path, const char *word)
{
    game::TraceClose();
    std::vector<int64_t> values;
    for (const gametest::TraceRecord &r : gametest::ReadTrace(*path)) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == word) {
            values.push_back(std::stoll(r.fields[1]));
        }
        ExpectNotLooped(r);
    }
    *path += ".more";
    std::string error;
    EXPECT_TRUE(game::TraceOpen(*path, &error)) << error;
    return values;
}

// How many of the game's 50 pooled text blocks are taken.
inline int TextBlocksInUse(CSGameSystem &gs)
{
    int n = 0;
    for (size_t i = 0; i < CSTextBlockPool::kBlocks; ++i) {
        n += gs.textBlocks.Block(i).InUse() ? 1 : 0;
    }
    return n;
}

// The interface sounds played so far, in order (the same for "sound").
inline std::vector<int64_t> TakeTracedSounds(std::string *tracePath)
{
    return ScreenTraceValues(tracePath, "sound");
}

// Writes the interface pack `name` of `root` again with `keep` deciding
// which of its files stay.
inline void RewriteInterfacePack(const std::string &root, const std::string &name,
                                 bool (*keep)(const std::string &file))
{
    const std::string base = root + "/PACK/UI0/" + name;
    std::ifstream list(base + ".LST");
    std::string line;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    const std::vector<uint8_t> str = apptest::ReadBytes(base + ".STR");
    while (std::getline(list, line)) {
        const size_t tab = line.find('\t');
        const size_t tab2 = line.find('\t', tab + 1);
        const std::string file = line.substr(0, tab);
        const size_t offset = std::stoul(line.substr(tab + 1, tab2 - tab - 1));
        const size_t size = std::stoul(line.substr(tab2 + 1));
        const size_t bytes = offset + 4 + file.size() + 4;
        files.emplace_back(file, std::vector<uint8_t>(str.begin() + static_cast<std::ptrdiff_t>(bytes),
                                                      str.begin() + static_cast<std::ptrdiff_t>(bytes + size)));
    }
    mkdata::PackWriter pack;
    for (auto &[file, bytes] : files) {
        if (keep(file)) {
            pack.AddFile(file, bytes);
        }
    }
    // The pack is written anew, not into the files that may be links into the sample data.
    std::filesystem::remove(base + ".STR");
    std::filesystem::remove(base + ".LST");
    ASSERT_TRUE(pack.Write(base + ".STR"));
}

// The recording links while it lives, with a fresh log.
class RecordingLinksScope {
public:
    RecordingLinksScope() : scope_((Links() = LinkState{}, RecordingLinks())) {}

private:
    UILinksScope scope_;
};

// A game system (with its screens) on the game's engine, its fatal report
// recorded.
class ScreensTest : public apptest::GameEngineTest {
protected:
    void TearDown() override
    {
        recorder_.reset();
        gs.Destroy();
        apptest::GameEngineTest::TearDown();
    }

    void Start(const std::string &root, uint32_t width = 640, uint32_t height = 480, int32_t language = 1)
    {
        StartIn(root, width, height);
        ASSERT_TRUE(gs.Create(width, height, language));
        recorder_.emplace();
        ui = gs.uiManager;
        ASSERT_NE(ui, nullptr);
    }
    // On the sample data (skipped without it).
    void StartOnSampleData(uint32_t width = 640, uint32_t height = 480, int32_t language = 1)
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        Start(apptest::SampleData(), width, height, language);
    }

    // One pad of the screens' block: pressed this frame (1), held (2) or up.
    void SetButton(int32_t pad, PadButton button, uint8_t state)
    {
        PadState &p = gs.padStates[kPadStateBlock][pad];
        p.connected = 1;
        p.buttons[button] = state;
    }
    void Press(int32_t pad, PadButton button) { SetButton(pad, button, kPadPressedState); }
    void ReleasePads()
    {
        for (PadState &p : gs.padStates[kPadStateBlock]) {
            const uint8_t connected = p.connected;
            p = PadState{};
            p.connected = connected;
        }
        MouseButtonState = 0;
    }
    // `count` updates of the manager of `ms` each, the pads let go after the first.
    void Updates(int count, uint32_t ms = 16)
    {
        for (int i = 0; i < count; ++i) {
            ui->Update(ms);
            ReleasePads();
        }
    }

    // What `draw` puts on a frame cleared to `clear`, as the device shows it.
    win::Frame DrawFrame(const std::function<void()> &draw, RwRGBA clear = {0, 0, 0, 255})
    {
        RwCameraClear(gs.camera, &clear, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        EXPECT_TRUE(BeginCameraUpdate(gs.camera));
        SetInterfaceRenderStates();
        draw();
        EndCameraUpdate(gs.camera);
        win::Frame frame;
        RwCameraShowRaster(gs.camera, nullptr, 0);
        EXPECT_TRUE(d3d8::GetLastPresentedFrame(rwD3D8Device.device, &frame));
        return frame;
    }

    CSGameSystem gs;
    CSUIManager *ui = nullptr;

private:
    std::optional<apptest::FatalRecorder> recorder_;
};

}  // namespace uitest
