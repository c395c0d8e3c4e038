// The sample data of the first stage's talk (see sample_talk_data.h).
#include "tools/mkdata/sample_talk_data.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "tools/mkdata/fx_data.h"
#include "tools/mkdata/sample_actor_yards.h"
#include "tools/mkdata/sample_event_data.h"
#include "tools/mkdata/sample_scene_data.h"
#include "tools/mkdata/sample_stage_ends.h"

namespace mkdata {
namespace {

namespace fs = std::filesystem;

constexpr const char *kEventFolder = "RESOURCE/G_EVENT";
constexpr RwInt32 kPortraitSize = 64;

// A face on a coloured ground: the portrait of NPC type `number`.
RwRGBA PortraitPixel(int number, RwInt32 x, RwInt32 y)
{
    const RwRGBA ground = number == 0 ? RwRGBA{70, 110, 60, 255} : RwRGBA{110, 70, 120, 255};
    const RwRGBA hat = number == 0 ? RwRGBA{200, 170, 60, 255} : RwRGBA{60, 60, 160, 255};
    const float cx = 32.0f;
    const float dx = static_cast<float>(x) - cx;
    const float dy = static_cast<float>(y) - 36.0f;
    if (y < 20 && std::fabs(dx) < (y < 12 ? 12.0f : 22.0f)) {
        return hat;
    }
    const bool eye = (std::fabs(dx - 8.0f) < 3.0f || std::fabs(dx + 8.0f) < 3.0f) && std::fabs(dy + 4.0f) < 3.0f;
    if (eye) {
        return {30, 30, 30, 255};
    }
    if (std::fabs(dx) < 8.0f && dy > 9.0f && dy < 12.0f) {
        return {150, 60, 50, 255};  // the mouth
    }
    if (dx * dx + dy * dy < 20.0f * 20.0f) {
        return {230, 190, 150, 255};
    }
    return ground;
}

}  // namespace

bool WriteWide(const fs::path &path, const std::u16string &text)
{
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary);
    for (char16_t c : text) {
        out.put(static_cast<char>(c & 0xFF));
        out.put(static_cast<char>(c >> 8));
    }
    return static_cast<bool>(out);
}

std::vector<EventNpcType> SampleNpcTypes()
{
    return {{kSampleTalkEvent, 0, u"Old Farmer"},
            {kSampleConversationEvent, 1, u"Trader"},
            {kFigureTalkEvent, 0, u"Warden"}};
}

std::vector<EventTextEntry> SampleDoorMessages()
{
    return {{u"The door is locked.", 1}, {u"The door will not move.", 2}};
}

std::vector<EventTextEntry> SampleConversations()
{
    return {
        {u"Welcome to the yard, traveller.", 1},
        {u"A beast guards the north-east corner.", 2},
        {u"Beat it, and the way out at the far end opens.", 3},
        {u"Back again? Mind the beast.", 4},
        {u"The door by the start opens if you ask it.", 5},
        {u"What would you like to know?", 10},
        {u"The yard", 11},
        {u"The way out", 12},
        {u"Farewell", 13},
        {u"The yard has stood empty since the beast came.", 61},
        {u"Go north past the beast to the far wall.", 62},
        {u"Ask", 98},
        {u"Back", 99},
    };
}

std::vector<EventTextEntry> SampleFigureYardConversations()
{
    return {{u"The wood's folk step out to greet you.", 1}};
}

std::vector<HurtEventEntry> SampleHurtEvents() { return {{kSampleHeroZone, 2.5f, {"Scorched ground\n", "Hot\n"}}}; }

std::vector<EventTableEntry> SampleTalkEntries()
{
    EventTableEntry notice;
    notice.eventId = kSampleNotice;
    notice.label = "NOTICE";
    notice.position = kSampleNoticeAt;

    EventTableEntry talk;
    talk.eventId = kSampleTalkEvent;
    talk.label = "FARMER";
    talk.circleCentre = kSampleTalkNpcAt;
    talk.radius = kSampleTalkReach;
    talk.npcNum = 1;
    talk.param = kSampleTalkParam;
    talk.maxOccur = 1000;
    talk.playerMask = 1;
    talk.linkId = kSampleTalkStarter;

    EventTableEntry starter;
    starter.eventId = kSampleTalkStarter;
    starter.label = "FARMER_AGAIN";
    starter.param = kSampleTalkStarterParam;
    starter.linkId = kSampleTalkEvent;

    EventTableEntry conversation = talk;
    conversation.eventId = kSampleConversationEvent;
    conversation.label = "TRADER";
    conversation.circleCentre = kSampleConversationNpcAt;
    conversation.param = kSampleConversationParam;
    conversation.linkId = 0;

    EventTableEntry zone;
    zone.eventId = kSampleHeroZone;
    zone.label = "HOT_GROUND";
    zone.corners[0] = {-20.0f, 0.0f, -20.0f};
    zone.corners[1] = {20.0f, 0.0f, -20.0f};
    zone.corners[2] = {20.0f, 0.0f, 20.0f};
    zone.corners[3] = {-20.0f, 0.0f, 20.0f};
    return {notice, talk, starter, conversation, zone};
}

bool WriteSampleTalkData(const std::string &rootPath)
{
    const fs::path events = fs::path(rootPath) / kEventFolder;
    bool ok = true;
    for (const char *language : {"USA", "CHA"}) {
        const fs::path folder = events / "CONT" / language;
        ok = ok && WriteWide(folder / "NPCTYPE.TEX", FormatNpcTypes(SampleNpcTypes()));
        ok = ok && WriteWide(folder / "OPENDOOR.MSS", FormatEventTexts(SampleDoorMessages()));
        ok = ok && WriteWide(folder / "CONT01.NPC", FormatEventTexts(SampleConversations()));
        ok = ok && WriteWide(folder / "CONT19.NPC", FormatEventTexts(SampleFigureYardConversations()));
    }
    for (int number = 0; number < 2; ++number) {
        ok = ok && WritePicture(
                       events / "EVENTUI", "NPC0" + std::to_string(number),
                       [number](RwInt32 x, RwInt32 y) { return PortraitPixel(number, x, y); }, kPortraitSize);
    }
    ok = ok && WriteText(events / "HURTEVT" / "HURTEVT.HTE", FormatHurtEvents(SampleHurtEvents()));
    // The first stage's scene and stage 36's closing scene.
    std::vector<InGameAnmEntry> scenes = SampleSceneTable();
    for (const InGameAnmEntry &scene : ClosingSceneTable()) {
        scenes.push_back(scene);
    }
    ok = ok && WriteText(events / "CAMERA" / "INGANM.IGA", FormatInGameAnmTable(scenes));
    ok = ok && WriteText(events / "CAMERA" / "INGANM.MIC", FormatInGameAnmAudio(SampleSceneAudio()));
    // The notice board: a card of cream paper with dark lines of writing.
    ok = ok && WriteClump(BuildFxCard("NOTICE", 16.0f, {255, 255, 255, 255}), events / "DFF" / "NOTICE.DFF");
    ok = ok && WritePicture(events / "DFF" / "TEXTURES", "NOTICE", [](RwInt32 x, RwInt32 y) {
        const bool border = x < 2 || y < 2 || x > 29 || y > 29;
        const bool writing = y > 6 && y < 26 && (y - 7) % 4 < 2 && x > 5 && x < 26 - (y % 3) * 3;
        return border ? RwRGBA{110, 70, 40, 255} : (writing ? RwRGBA{60, 50, 40, 255} : RwRGBA{235, 225, 190, 255});
    });
    return ok;
}

}  // namespace mkdata
