// The sample scene (see sample_scene_data.h).
#include "tools/mkdata/sample_scene_data.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/sample_talk_data.h"
#include "tools/mkdata/scene_camera.h"

namespace mkdata {

namespace fs = std::filesystem;

EventTableEntry SampleSceneEntry()
{
    EventTableEntry scene;
    scene.eventId = kSampleScene;
    scene.label = "YARD_SCENE";
    scene.linkId = kSampleSceneLink;
    scene.playerMask = 1;
    return scene;
}

std::vector<InGameAnmEntry> SampleSceneTable()
{
    InGameAnmEntry scene;
    scene.eventId = kSampleScene;
    scene.number = 1;
    scene.cameraModel = SceneCameraModelName();
    scene.cameraAnimation = SceneCameraAnimName();
    InGameAnmKeyEntry monster;
    monster.aiId = kSampleSceneActor;
    monster.animation = SampleSceneActorAnimation();
    monster.restoreMode = 2;  // left as it is: the yard's fight goes on
    // The farmer only watches.
    InGameAnmKeyEntry farmer;
    farmer.aiId = 7;
    farmer.animation = "none";
    farmer.restoreMode = 2;
    scene.keys = {monster, farmer};
    return {scene};
}

std::vector<InGameAnmAudioEntry> SampleSceneAudio()
{
    InGameAnmAudioEntry audio;
    audio.eventId = kSampleScene;
    audio.cues = {{30, kSampleSceneSound}, {120, kSampleSceneSound}};
    return {audio};
}

std::vector<SceneSubtitleEntry> SampleSceneSubtitles()
{
    SceneSubtitleEntry first;
    first.startFrame = 12;
    first.text = u"Something stirs in the yard.";
    first.digits = "1010101010101010101010101010";
    first.endDelay = 4;
    // A digit line shorter than its text: the rest comes at once.
    SceneSubtitleEntry second;
    second.startFrame = 126;
    second.text = u"Stay sharp!";
    second.digits = "1";
    second.endDelay = 5;
    return {first, second};
}

bool WriteSampleSceneData(const std::string &root)
{
    bool ok = true;
    for (const char *language : {"USA", "CHA"}) {
        const fs::path folder = fs::path(root) / "RESOURCE/G_EVENT/CONT" / language;
        ok = ok && WriteWide(folder / "79017000.SUB", FormatSceneSubtitles(SampleSceneSubtitles()));
    }
    PackWriter pack;
    ok = ok && pack.AddFileFrom(root, std::string(SceneCameraModelFolder()) + "/" + SceneCameraModelName());
    ok = ok && pack.AddFileFrom(root, std::string(SceneCameraAnimFolder()) + "/" + SceneCameraAnimName());
    // The monster's own animation, played whole (it has no motion table here).
    std::ifstream in(fs::path(root) / "RESOURCE/MONSTER/1000/1000.ANM", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ok = ok && !bytes.empty();
    pack.AddFile(std::string("\\RESOURCE\\G_EVENT\\ANM\\") + SampleSceneActorAnimation(), bytes);
    return ok && pack.Write((fs::path(root) / SampleScenePackPath()).string());
}

}  // namespace mkdata
