// The scenes' load: the pack read from disc one 32768-byte block a frame
// (with the keep-alive every 2 s), opened from memory and built in slices
// of 3 ms; the ordinary load of the developer menu's stream maker; the
// camera's reload (see ingame_anm_event.h).
#include <cstdio>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/debug.h"
#include "app/file.h"
#include "app/language.h"
#include "app/pack.h"
#include "app/path.h"
#include "app/rawfile.h"
#include "app/text_block.h"
#include "event/event_data_files.h"
#include "event/ingame_anm_event.h"
#include "event/scene_links.h"
#include "event/scene_presets.h"

SceneLinks g_sceneLinks;

uint32_t SceneNowMs() { return g_sceneLinks.nowMs != nullptr ? g_sceneLinks.nowMs() : timeGetTime(); }

namespace {

constexpr const char *kSceneAnimationFolder = "\\RESOURCE\\G_EVENT\\ANM\\";

void KeepAlive()
{
    if (g_sceneLinks.keepAlive != nullptr) {
        g_sceneLinks.keepAlive();
    }
}

// The language's copy of the stream when there is one, else the plain path.
RawFile *OpenStream(const char *path)
{
    char localised[1024];
    if (zuLocalisePackPath(path, localised, sizeof localised)) {
        if (RawFile *file = RawFileOpen(localised)) {
            return file;
        }
    }
    return RawFileOpen(path);
}

// The scene's pack opened the ordinary way, from disc (false, quietly,
// when it is missing or refused).
bool OpenPackFromDisc(int32_t eventId)
{
    char path[1024];
    if (!CSInGameAnmEvent::PackPath(eventId, path, sizeof path)) {
        return false;
    }
    PackOpenHook();
    return zuTryOpenPack(path, nullptr);
}

bool LoadActorAnimation(InGameAnmKey &key)
{
    const std::string path = std::string(GetDataRootPath()) + kSceneAnimationFolder + key.Animation;
    key.AnimationLoaded = g_sceneLinks.loadAnimation != nullptr && g_sceneLinks.loadAnimation(path.c_str()) ? 1 : 0;
    return key.AnimationLoaded != 0;
}

}  // namespace

bool CSInGameAnmEvent::PackPath(int32_t eventId, char *out, size_t size)
{
    const int32_t pack = ScenePackNumber(eventId);
    if (pack == 0 || out == nullptr) {
        return false;
    }
    const int n = std::snprintf(out, size, "%s\\PACK\\INGAME%d\\%d.STR", GetDataRootPath(), pack, eventId);
    return n > 0 && static_cast<size_t>(n) < size;
}

void CSInGameAnmEvent::ReadStep()
{
    if (PackFile == nullptr && PackBuffer == nullptr) {
        KeepAlive();
        LastRead = SceneNowMs();
        PackOpenHook();
        char path[1024];
        if (!PackPath(EventID, path, sizeof path)) {
            Abandon("it has no scene pack");
            return;
        }
        PackFile = OpenStream(path);
        if (PackFile == nullptr) {
            // Tried again next frame; the stage runs on.
            return;
        }
        PackBuffer = RawFileBufferCreate(PackFile);
        if (PackBuffer == nullptr) {
            Abandon("its pack cannot be held");
            return;
        }
        ReadPos = 0;
        // The screens wait for the read and the build (a skip gives them up).
        if (g_sceneLinks.setLoading != nullptr) {
            g_sceneLinks.setLoading(true);
        }
        HoldsLoading = 1;
    } else {
        const uint32_t now = SceneNowMs();
        if (now - LastRead > kSceneKeepAliveMs) {
            KeepAlive();
            LastRead = now;
            return;
        }
        if (ReadPos < PackBuffer->fileSize) {
            const uint32_t left = PackBuffer->fileSize - ReadPos;
            const uint32_t want = left < kRawFileBlock ? left : kRawFileBlock;
            uint32_t got = 0;
            if (!RawFileRead(PackFile, PackBuffer->buffer + ReadPos, want, &got) || got == 0) {
                Abandon("its pack's read stopped early");
                return;
            }
            ReadPos += got;
        }
    }
    if (PackBuffer != nullptr && ReadPos >= PackBuffer->fileSize) {
        RawFileClose(PackFile);
        PackFile = nullptr;
        Reading = 0;
        Building = 1;
        LoadStep = 0;
        ActorNext = SoundNext = 0;
    }
}

bool CSInGameAnmEvent::SliceOver()
{
    SliceSpent = SceneNowMs() - SliceStart;
    return SliceSpent >= kSceneSliceMs;
}

void CSInGameAnmEvent::BuildStep()
{
    if (HasSceneData == 0) {
        Abandon("the scene table gives it no data");
        return;
    }
    SliceStart = SceneNowMs();
    SliceSpent = 0;
    while (Building != 0 && !SliceOver()) {
        if (!BuildItem(LoadStep)) {
            return;
        }
    }
}

bool CSInGameAnmEvent::BuildItem(int32_t step)
{
    switch (step) {
    case 0: {
        char path[1024];
        if (!PackPath(EventID, path, sizeof path) || !zuTryOpenPack(path, PackBuffer)) {
            Abandon("its pack is refused");
            return false;
        }
        PackOpen = 1;
        LoadStep = 1;
        return true;
    }
    case 1:
        if (ActorNext >= SceneActorCount()) {
            LoadStep = 2;
            return true;
        }
        if (InGameAnmKey &key = Keys[ActorNext++]; key.NoAnimation == 0 && !LoadActorAnimation(key)) {
            // The actor stays as it is; the scene plays without it.
            DebugPrint("Event%d: the animation %s cannot be read\n", EventID, key.Animation);
            key.Skipped = 1;
        }
        return true;
    case 2:
        if (SoundNext >= CueCount) {
            LoadStep = 3;
            return true;
        }
        if (g_sceneLinks.addSounds != nullptr) {
            g_sceneLinks.addSounds(&CueSounds[SoundNext], 1);
        }
        ++SoundNext;
        SoundsAdded = 1;
        return true;
    case 3:
        if (g_sceneLinks.loadCamera == nullptr || !g_sceneLinks.loadCamera(CameraModel, CameraAnimation)) {
            Abandon("its camera cannot be read");
            return false;
        }
        CameraLoaded = 1;
        LoadStep = 4;
        return true;
    case 4:
        ReadSubtitles();
        LoadStep = 5;
        return true;
    case 5:
        zuClosePackMemory(PackBuffer);
        PackOpen = 0;
        LoadStep = 6;
        return true;
    default:
        RawFileBufferFree(PackBuffer);
        PackBuffer = nullptr;
        Loaded = 1;
        Building = 0;
        if (HoldsLoading != 0 && g_sceneLinks.setLoading != nullptr) {
            g_sceneLinks.setLoading(false);
        }
        HoldsLoading = 0;
        return true;
    }
}

void CSInGameAnmEvent::ReadSubtitles()
{
    FreeSceneSubtitles(Subtitles, SubtitleCount);
    Subtitles = nullptr;
    SubtitleCount = 0;
    SubtitlesLoaded = 0;
    char path[1024];
    std::snprintf(path, sizeof path, "%s%s%d.SUB", GetDataRootPath(), GetLanguageFolder(GetLanguageIndex()), EventID);
    zuFile *file = zufopen(path, "rb");
    if (file == nullptr) {
        return;
    }
    std::vector<SceneSubtitleEntry> entries;
    const bool read = ParseSceneSubtitles(file, &entries, path);
    zufclose(file);
    if (!read) {
        return;
    }
    Subtitles = MakeSceneSubtitles(entries);
    SubtitleCount = static_cast<int32_t>(entries.size());
    if (SubtitleText == nullptr && g_sceneLinks.takeTextBlock != nullptr) {
        SubtitleText = g_sceneLinks.takeTextBlock();
    }
    SubtitlesLoaded = 1;
}

void CSInGameAnmEvent::GiveUpLoad()
{
    RawFileClose(PackFile);
    PackFile = nullptr;
    if (PackOpen != 0) {
        zuClosePackMemory(PackBuffer);
        PackOpen = 0;
    }
    RawFileBufferFree(PackBuffer);
    PackBuffer = nullptr;
    Reading = 0;
    Building = 0;
    if (HoldsLoading != 0 && g_sceneLinks.setLoading != nullptr) {
        g_sceneLinks.setLoading(false);
    }
    HoldsLoading = 0;
}

void CSInGameAnmEvent::Abandon(const char *why)
{
    DebugPrint("Event%d: the scene ends, %s\n", EventID, why);
    Finish();
}

bool CSInGameAnmEvent::LoadForStream()
{
    if (!OpenPackFromDisc(EventID)) {
        return false;
    }
    if (g_sceneLinks.addSounds != nullptr && CueCount > 0) {
        g_sceneLinks.addSounds(CueSounds, CueCount);
    }
    if (HasSceneData != 0) {
        for (int32_t i = 0; i < SceneActorCount(); ++i) {
            if (Keys[i].NoAnimation == 0 && Keys[i].Animation != nullptr && std::string(Keys[i].Animation) != "none") {
                LoadActorAnimation(Keys[i]);
            }
        }
        CameraLoaded = g_sceneLinks.loadCamera != nullptr && g_sceneLinks.loadCamera(CameraModel, CameraAnimation);
    }
    zuClosePack();
    return true;
}

void CSInGameAnmEvent::Unload()
{
    if (IsOccur != 0 || !LoadForStream()) {
        return;
    }
    if (HasSceneData != 0) {
        ReleaseActorAnimations();
        if (CameraLoaded != 0 && g_sceneLinks.unloadCamera != nullptr) {
            g_sceneLinks.unloadCamera(CameraModel);
        }
        CameraLoaded = 0;
    }
    if (g_sceneLinks.releaseSounds != nullptr && CueCount > 0) {
        g_sceneLinks.releaseSounds(CueSounds, CueCount);
    }
}

void CSInGameAnmEvent::ReloadCamera()
{
    if (IsOccur == 0 || CameraRunning == 0 || !OpenPackFromDisc(EventID)) {
        return;
    }
    CameraLoaded = g_sceneLinks.loadCamera != nullptr && g_sceneLinks.loadCamera(CameraModel, CameraAnimation);
    if (CameraLoaded != 0 && g_sceneLinks.advanceCamera != nullptr) {
        g_sceneLinks.advanceCamera(CameraLength);
    }
    zuClosePack();
}
