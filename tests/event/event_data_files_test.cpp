// The event data files: files written by hand in the files' own layout
// (labelled words, "AIID:13") read field by field, every layout written by
// the maker's writers read back, damaged narrow files read up to the fault
// and damaged wide files refused whole, the entries before a bad id kept,
// the language folders and conversation names, and the hurt values kept on
// hero zones only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/file.h"
#include "event/event_data_files.h"
#include "event/event_manager.h"
#include "event/event_objects.h"
#include "tests/event/talk_test_support.h"
#include "tools/mkdata/sample_actor_yards.h"
#include "tools/mkdata/sample_talk_data.h"

namespace event_data_files_test {

namespace {

using namespace event_test;

std::string Bytes(const std::u16string &text) { return WideBytes(text); }

// Parses `text` (narrow, or the bytes of a wide file) with `parse`.
template <typename Entry>
bool Parse(const std::string &text, bool (*parse)(zuFile *, std::vector<Entry> *), std::vector<Entry> *out)
{
    zuFile *file = zufopenMemory(text.data(), text.size(), "rb");
    const bool parsed = parse(file, out);
    zufclose(file);
    return parsed;
}

bool ParseTexts(const std::string &bytes, std::vector<EventTextEntry> *out)
{
    zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
    const bool parsed = ParseEventTexts(file, "TEST.NPC", out);
    zufclose(file);
    return parsed;
}

std::vector<InGameAnmEntry> SomeScenes()
{
    InGameAnmEntry scene;
    scene.eventId = 79020800;
    scene.number = 3;
    scene.cameraModel = "CAM01";
    scene.cameraAnimation = "CAM01";
    scene.keys = {{12, "WALK", 1, {1.5f, 0.0f, -2.25f}, {10.0f, 0.5f, 4.0f}},
                  {13, "WAVE", 0, {0.0f, 0.0f, 0.0f}, {-1.0f, -2.0f, -3.0f}}};
    InGameAnmEntry empty;
    empty.eventId = 79020700;
    empty.cameraModel = "CAM02";
    empty.cameraAnimation = "PAN";
    return {scene, empty};
}

TEST(EventDataFiles, EveryLayoutReadsBackFieldByField)
{
    std::vector<HurtEventEntry> hurt;
    ASSERT_TRUE(Parse(FormatHurtEvents(mkdata::SampleHurtEvents()), ParseHurtEvents, &hurt));
    ASSERT_EQ(hurt.size(), 1u);
    EXPECT_EQ(hurt[0].eventId, mkdata::kSampleHeroZone);
    EXPECT_FLOAT_EQ(hurt[0].value, 2.5f);
    EXPECT_EQ(hurt[0].lines, (std::vector<std::string>{"Scorched ground\n", "Hot\n"}));

    std::vector<InGameAnmEntry> scenes;
    ASSERT_TRUE(Parse(FormatInGameAnmTable(SomeScenes()), ParseInGameAnmTable, &scenes));
    ASSERT_EQ(scenes.size(), 2u);
    EXPECT_EQ(scenes[0].eventId, 79020800);
    EXPECT_EQ(scenes[0].number, 3);
    EXPECT_EQ(scenes[0].cameraModel, "CAM01");
    ASSERT_EQ(scenes[0].keys.size(), 2u);
    EXPECT_EQ(scenes[0].keys[1].aiId, 13);
    EXPECT_EQ(scenes[0].keys[1].animation, "WAVE");
    EXPECT_EQ(scenes[0].keys[0].restoreMode, 1);
    EXPECT_FLOAT_EQ(scenes[0].keys[0].start.z, -2.25f);
    EXPECT_FLOAT_EQ(scenes[0].keys[1].end.y, -2.0f);
    EXPECT_EQ(scenes[1].cameraAnimation, "PAN");
    EXPECT_TRUE(scenes[1].keys.empty());

    std::vector<InGameAnmAudioEntry> audio;
    ASSERT_TRUE(Parse(FormatInGameAnmAudio({{79020800, {{30, 6500100}, {95, 6500110}}}}), ParseInGameAnmAudio, &audio));
    ASSERT_EQ(audio.size(), 1u);
    ASSERT_EQ(audio[0].cues.size(), 2u);
    EXPECT_EQ(audio[0].cues[1].frame, 95);
    EXPECT_EQ(audio[0].cues[1].soundId, 6500110);

    std::vector<EventTextEntry> texts;
    ASSERT_TRUE(ParseTexts(Bytes(FormatEventTexts(mkdata::SampleConversations())), &texts));
    ASSERT_EQ(texts.size(), mkdata::SampleConversations().size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i].id, mkdata::SampleConversations()[i].id);
        EXPECT_EQ(texts[i].text, mkdata::SampleConversations()[i].text);
    }

    std::vector<EventNpcType> types;
    ASSERT_TRUE(Parse(Bytes(FormatNpcTypes(mkdata::SampleNpcTypes())), ParseNpcTypes, &types));
    ASSERT_EQ(types.size(), 3u);
    EXPECT_EQ(types[1].eventId, mkdata::kSampleConversationEvent);
    EXPECT_EQ(types[1].portrait, 1);
    EXPECT_EQ(types[1].name, u"Trader");
    EXPECT_EQ(types[0].name, u"Old Farmer");
    EXPECT_EQ(types[2].eventId, mkdata::kFigureTalkEvent);
    EXPECT_EQ(types[2].name, u"Warden");
}

TEST(EventDataFiles, AWideTextLineIsCutAtItsEndAndTo1023Characters)
{
    const std::u16string longLine(1500, u'x');
    std::vector<EventTextEntry> texts;
    ASSERT_TRUE(ParseTexts(Bytes(u"Count: 2\r\nT\r\nID: 5\r\n" + longLine + u"\r\nEnd\r\nT\nID:6\nshort\rrest\nEnd\n"),
                           &texts));
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text.size(), 1023u);
    EXPECT_EQ(texts[1].id, 6);
    EXPECT_EQ(texts[1].text, u"short");
}

// Files as their layout gives them, written here by hand: every value
// word is a label, a colon and the number, and the label is never looked at.
TEST(EventDataFiles, HandWrittenFilesAreReadWordByWord)
{
    std::vector<InGameAnmEntry> scenes;
    ASSERT_TRUE(Parse(std::string("SceneNum:1\n"
                                  "#Scene1\n"
                                  "EventID:79020700\n"
                                  "SceneNo:4\n"
                                  "Camera: EVCAM02.DFF EVCAM02.ANM\n"
                                  "KeyNum:2\n"
                                  "AIID:13 EV020701.ANM Restore:1\n"
                                  "StartPos X:12.5 Y:-3 Z:0.25\n"
                                  "EndPos x:-1e1 y:2.0 z:+7\n"
                                  "Who:7\tnone\tMode:2\n"
                                  "P1 a:0 b:0 c:0\n"
                                  "P2 a:1 b:2 c:3\n"
                                  "#End\n"),
                      ParseInGameAnmTable, &scenes));
    ASSERT_EQ(scenes.size(), 1u);
    const InGameAnmEntry &scene = scenes[0];
    EXPECT_EQ(scene.eventId, 79020700);
    EXPECT_EQ(scene.number, 4);
    EXPECT_EQ(scene.cameraModel, "EVCAM02.DFF");
    EXPECT_EQ(scene.cameraAnimation, "EVCAM02.ANM");
    ASSERT_EQ(scene.keys.size(), 2u);
    EXPECT_EQ(scene.keys[0].aiId, 13);
    EXPECT_EQ(scene.keys[0].animation, "EV020701.ANM");
    EXPECT_EQ(scene.keys[0].restoreMode, 1);
    EXPECT_FLOAT_EQ(scene.keys[0].start.x, 12.5f);
    EXPECT_FLOAT_EQ(scene.keys[0].start.y, -3.0f);
    EXPECT_FLOAT_EQ(scene.keys[0].start.z, 0.25f);
    EXPECT_FLOAT_EQ(scene.keys[0].end.x, -10.0f);
    EXPECT_FLOAT_EQ(scene.keys[0].end.y, 2.0f);
    EXPECT_FLOAT_EQ(scene.keys[0].end.z, 7.0f);
    EXPECT_EQ(scene.keys[1].aiId, 7);
    EXPECT_EQ(scene.keys[1].animation, "none");
    EXPECT_EQ(scene.keys[1].restoreMode, 2);
    EXPECT_FLOAT_EQ(scene.keys[1].start.x, 0.0f);
    EXPECT_FLOAT_EQ(scene.keys[1].end.x, 1.0f);
    EXPECT_FLOAT_EQ(scene.keys[1].end.y, 2.0f);
    EXPECT_FLOAT_EQ(scene.keys[1].end.z, 3.0f);

    std::vector<InGameAnmAudioEntry> audio;
    ASSERT_TRUE(Parse(std::string("AudioNum:1\n#Audio1\nEventID:79020700\nCueNum:2\nFrame:30 6500100\n"
                                  "At:95\t6500110\n#End\n"),
                      ParseInGameAnmAudio, &audio));
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0].eventId, 79020700);
    ASSERT_EQ(audio[0].cues.size(), 2u);
    EXPECT_EQ(audio[0].cues[0].frame, 30);
    EXPECT_EQ(audio[0].cues[0].soundId, 6500100);
    EXPECT_EQ(audio[0].cues[1].frame, 95);
    EXPECT_EQ(audio[0].cues[1].soundId, 6500110);

    std::vector<HurtEventEntry> hurt;
    ASSERT_TRUE(Parse(std::string("HurtNum 1\n#Hurt1\nEventID 79230300\nDamage 2.5\nLineNum 2\nScorched ground\n"
                                  "  Hot\n#End\n"),
                      ParseHurtEvents, &hurt));
    ASSERT_EQ(hurt.size(), 1u);
    EXPECT_EQ(hurt[0].eventId, 79230300);
    EXPECT_FLOAT_EQ(hurt[0].value, 2.5f);
    EXPECT_EQ(hurt[0].lines, (std::vector<std::string>{"Scorched ground\n", "  Hot\n"}));

    std::vector<EventNpcType> types;
    ASSERT_TRUE(Parse(Bytes(u"NpcNum:2\r\nID:79010200 Face:3 Old Farmer\r\nEvent:79010300\tNo:16  Trader of the yard\r\n"),
                      ParseNpcTypes, &types));
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0].eventId, 79010200);
    EXPECT_EQ(types[0].portrait, 3);
    EXPECT_EQ(types[0].name, u"Old Farmer");
    EXPECT_EQ(types[1].eventId, 79010300);
    EXPECT_EQ(types[1].portrait, 16);
    EXPECT_EQ(types[1].name, u"Trader of the yard");

    // A value word without its colon is no value: bare numbers stop the read.
    EXPECT_FALSE(Parse(Bytes(u"Count: 1\r\n79010200 3 Farmer\r\n"), ParseNpcTypes, &types));
    EXPECT_FALSE(Parse(std::string("Count: 1\nS\nID: 79020800\nN: 1\nCamera A B\nKeys: 1\n13 WALK 1\n"
                                   "Start X:1 Y:2 Z:3\nEnd X:1 Y:2 Z:3\nEnd\n"),
                       ParseInGameAnmTable, &scenes));
    EXPECT_FALSE(Parse(std::string("Count: 1\nS\nID: 79020800\nN: 1\nCamera A B\nKeys: 1\nAIID:13 WALK Restore:1\n"
                                   "Start 1 2 3\nEnd X:1 Y:2 Z:3\nEnd\n"),
                       ParseInGameAnmTable, &scenes));
}

// The narrow files are read entry by entry: a fault ends the read, and the
// entries before it are what the parse gives.
TEST(EventDataFiles, ADamagedNarrowFileGivesTheEntriesBeforeTheFault)
{
    std::vector<HurtEventEntry> hurt;
    EXPECT_FALSE(Parse(std::string("Count: 2000000000\nHurt\nID: 1\nValue: 1\nLines: 0\nEnd\n"), ParseHurtEvents,
                       &hurt));
    ASSERT_EQ(hurt.size(), 1u);
    EXPECT_EQ(hurt[0].eventId, 1);
    EXPECT_FALSE(Parse(std::string("Count: 2\nHurt\nID: 5\nValue: 1.5\nLines: 1\nline\nEnd\n"
                                   "Hurt\nID: 6\nValue: 1\nLines: 3\nonly one\n"),
                       ParseHurtEvents, &hurt));
    ASSERT_EQ(hurt.size(), 1u);
    EXPECT_EQ(hurt[0].eventId, 5);
    EXPECT_EQ(hurt[0].lines, std::vector<std::string>{"line\n"});
    EXPECT_FALSE(Parse(std::string("Count: 1\nHurt\nID: 1\nValue: 1\nLines: -4\nEnd\n"), ParseHurtEvents, &hurt));
    EXPECT_TRUE(hurt.empty());
    // A count that is no number reads nothing at all.
    hurt = {{1, 1.0f, {}}};
    EXPECT_FALSE(Parse(std::string("Count: lots\n"), ParseHurtEvents, &hurt));
    EXPECT_EQ(hurt.size(), 1u);

    std::vector<InGameAnmEntry> scenes;
    const std::string first = "Count: 3\nS\nID: 79020800\nN: 1\nCamera A B\nKeys: 1\nAIID:1 WALK Restore:0\n"
                              "S X:1 Y:2 Z:3\nE X:4 Y:5 Z:6\nEnd\n";
    EXPECT_FALSE(Parse(first + "S\nID: 79020900\nN: 2\nCamera A\nKeys: 0\nEnd\n", ParseInGameAnmTable, &scenes));
    ASSERT_EQ(scenes.size(), 1u);
    EXPECT_EQ(scenes[0].eventId, 79020800);
    EXPECT_FLOAT_EQ(scenes[0].keys[0].end.z, 6.0f);
    EXPECT_FALSE(Parse(first + "S\nID: 79020900\nN: 2\nCamera A B\nKeys: 2\nAIID:1 WALK Restore:0\n",
                       ParseInGameAnmTable, &scenes));
    EXPECT_EQ(scenes.size(), 1u);
    EXPECT_TRUE(Parse(std::string("Count: 0\n"), ParseInGameAnmTable, &scenes));
    EXPECT_TRUE(scenes.empty());

    std::vector<InGameAnmAudioEntry> audio;
    EXPECT_FALSE(Parse(std::string("Count: 1\nA\nID: 1\nCues: 99999999\nFrame:1 2\n"), ParseInGameAnmAudio, &audio));
    EXPECT_TRUE(audio.empty());
    EXPECT_FALSE(Parse(std::string("Count: 2\nA\nID: 1\nCues: 1\nFrame:1 2\nEnd\nA\nID: 2\nCues: 1\n6500100\nEnd\n"),
                       ParseInGameAnmAudio, &audio));
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0].cues[0].soundId, 2);
}

TEST(EventDataFiles, ADamagedWideFileIsRefusedWhole)
{
    std::vector<EventNpcType> types = {EventNpcType{}};
    EXPECT_FALSE(Parse(Bytes(u"Count: 1\r\nID:79010200 Face:17 Too far\r\n"), ParseNpcTypes, &types));
    EXPECT_FALSE(Parse(Bytes(u"Count: 1\r\nID:79010200 Face:-1 Below\r\n"), ParseNpcTypes, &types));
    EXPECT_FALSE(Parse(Bytes(u"Count: 3\r\nID:79010200 Face:1 One\r\n"), ParseNpcTypes, &types));
    EXPECT_FALSE(Parse(Bytes(u"Count: 1\r\nFarmer\r\n"), ParseNpcTypes, &types));
    EXPECT_FALSE(Parse(Bytes(u"Count: 1\r\nID:79010200 Face: Farmer\r\n"), ParseNpcTypes, &types));
    EXPECT_EQ(types.size(), 1u) << "a refused parse leaves its output as it was";
    EXPECT_TRUE(Parse(Bytes(u"Count: 1\r\nID:79010200 Face:16 Last portrait\r\n"), ParseNpcTypes, &types));
    EXPECT_EQ(types[0].portrait, 16);

    std::vector<EventTextEntry> texts;
    EXPECT_FALSE(ParseTexts(Bytes(u"Count: 100000\r\nT\r\nID: 1\r\nHello\r\nEnd\r\n"), &texts));
    EXPECT_FALSE(ParseTexts(Bytes(u"Count: 1\r\nT\r\nID: one\r\nHello\r\nEnd\r\n"), &texts));
    EXPECT_FALSE(ParseTexts(std::string("\xff\xfe", 2), &texts));
    EXPECT_TRUE(texts.empty());
}

TEST(EventDataFiles, LanguageFoldersAndConversationNames)
{
    EXPECT_STREQ(GetLanguageFolder(0), "\\RESOURCE\\G_EVENT\\CONT\\CHA\\");
    EXPECT_STREQ(GetLanguageFolder(1), "\\RESOURCE\\G_EVENT\\CONT\\USA\\");
    EXPECT_STREQ(GetLanguageFolder(2), "\\RESOURCE\\G_EVENT\\CONT\\FRE\\");
    EXPECT_STREQ(GetLanguageFolder(14), "\\RESOURCE\\G_EVENT\\CONT\\GRE\\");
    EXPECT_STREQ(GetLanguageFolder(15), "\\RESOURCE\\G_EVENT\\CONT\\USA\\");
    EXPECT_STREQ(GetLanguageFolder(-1), "\\RESOURCE\\G_EVENT\\CONT\\USA\\");
    EXPECT_EQ(ConversationFileName(1), "CONT01.NPC");
    EXPECT_EQ(ConversationFileName(7), "CONT07.NPC");
    EXPECT_EQ(ConversationFileName(12), "CONT12.NPC");
}

class EventDataFilesOnRoot : public TalkStageTest {};

TEST_F(EventDataFilesOnRoot, EachStageReadsItsOwnConversationFileInTheLanguagesFolder)
{
    root.WriteTable({});
    root.WriteWide("RESOURCE/G_EVENT/CONT/USA/CONT07.NPC", FormatEventTexts({{u"Seventh", 1}}));
    root.WriteWide("RESOURCE/G_EVENT/CONT/USA/CONT12.NPC", FormatEventTexts({{u"Twelfth", 1}}));
    root.WriteWide("RESOURCE/G_EVENT/CONT/FRE/CONT12.NPC", FormatEventTexts({{u"Douzieme", 1}}));
    CSEventManager manager;
    manager.Init();
    EXPECT_TRUE(manager.LoadConversations(7));
    EXPECT_EQ(std::u16string(manager.GetConversation(1)), u"Seventh");
    EXPECT_TRUE(manager.LoadConversations(12));
    EXPECT_EQ(std::u16string(manager.GetConversation(1)), u"Twelfth");
    system.language = 2;
    EXPECT_TRUE(manager.LoadConversations(12));
    EXPECT_EQ(std::u16string(manager.GetConversation(1)), u"Douzieme");
    system.language = 99;
    EXPECT_TRUE(manager.LoadConversations(12));
    EXPECT_EQ(std::u16string(manager.GetConversation(1)), u"Twelfth");
    // A missing file leaves the table as it was.
    EXPECT_FALSE(manager.LoadConversations(3));
    EXPECT_EQ(std::u16string(manager.GetConversation(1)), u"Twelfth");
    EXPECT_EQ(manager.GetConversation(2), nullptr);
    system.language = 1;
}

TEST_F(EventDataFilesOnRoot, ARefusedFileLeavesItsTableAsItWas)
{
    root.WriteTable({});
    root.WriteWide("RESOURCE/G_EVENT/CONT/USA/NPCTYPE.TEX", FormatNpcTypes(mkdata::SampleNpcTypes()));
    root.WriteWide("RESOURCE/G_EVENT/CONT/USA/OPENDOOR.MSS", FormatEventTexts(mkdata::SampleDoorMessages()));
    CSEventManager manager;
    manager.Init();
    ASSERT_EQ(manager.NpcTypes().size(), 3u);
    ASSERT_EQ(manager.DoorMessages().size(), 2u);
    EXPECT_EQ(std::u16string(manager.GetDoorMessage(2)), u"The door will not move.");
    root.WriteWide("RESOURCE/G_EVENT/CONT/USA/BAD.TEX", u"Count: 2\r\n79010200 17 Portrait seventeen\r\n");
    root.WriteWide("RESOURCE/G_EVENT/CONT/USA/BAD.MSS", u"Count: 9\r\nT\r\nID: 1\r\nOnly one\r\nEnd\r\n");
    EXPECT_FALSE(manager.LoadNpcTypes("BAD.TEX"));
    EXPECT_FALSE(manager.LoadDoorMessages("BAD.MSS"));
    EXPECT_EQ(manager.NpcTypes().size(), 3u);
    EXPECT_EQ(manager.DoorMessages().size(), 2u);
}

TEST_F(EventDataFilesOnRoot, SceneDataGoesToSceneRecordsAndAnIdOfAnotherKindEndsTheRead)
{
    EventTableEntry scene = BareEntry(79020800);
    EventTableEntry other = BareEntry(79020700);
    EventTableEntry talk = BareEntry(79020200);
    root.WriteTable({scene, other, talk});
    InGameAnmEntry absent = SomeScenes()[0];
    absent.eventId = 79021900;  // no record holds it: read through
    std::vector<InGameAnmEntry> scenes = SomeScenes();
    scenes.insert(scenes.begin(), absent);
    root.Write("RESOURCE/G_EVENT/CAMERA/INGANM.IGA", FormatInGameAnmTable(scenes));
    root.Write("RESOURCE/G_EVENT/CAMERA/INGANM.MIC", FormatInGameAnmAudio({{79020800, {{30, 6500100}}}}));
    CSEventManager manager;
    manager.Init();
    auto *read = static_cast<CSInGameAnmEvent *>(manager.FindEvent(79020800));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->HasSceneData, 1);
    EXPECT_EQ(read->SceneNumber, 3);
    EXPECT_STREQ(read->CameraModel, "CAM01");
    ASSERT_EQ(read->KeyCount, 2);
    EXPECT_EQ(read->Keys[0].AiId, 12);
    EXPECT_STREQ(read->Keys[0].Animation, "WALK");
    EXPECT_EQ(read->Keys[0].RestoreMode, 1);
    EXPECT_FLOAT_EQ(read->Keys[0].End.x, 10.0f);
    ASSERT_EQ(read->CueCount, 1);
    EXPECT_EQ(read->CueFrames[0], 30);
    EXPECT_EQ(read->CueSounds[0], 6500100);
    EXPECT_EQ(read->CuePlayed[0], 0);

    // An entry for the dialogue 79020200: the log line, false, and the
    // entries before it keep what they were given.
    InGameAnmEntry wrong = SomeScenes()[1];
    wrong.eventId = 79020200;
    InGameAnmEntry changed = SomeScenes()[0];
    changed.number = 9;
    InGameAnmEntry after = SomeScenes()[1];
    after.eventId = 79020700;
    after.number = 5;
    root.Write("RESOURCE/G_EVENT/CAMERA/OTHER.IGA", FormatInGameAnmTable({changed, wrong, after}));
    auto *second = static_cast<CSInGameAnmEvent *>(manager.FindEvent(79020700));
    ASSERT_NE(second, nullptr);
    const int32_t secondNumber = second->SceneNumber;
    EXPECT_FALSE(manager.LoadInGameAnmTable("\\RESOURCE\\G_EVENT\\CAMERA\\OTHER.IGA"));
    EXPECT_EQ(read->SceneNumber, 9);
    EXPECT_EQ(second->SceneNumber, secondNumber) << "the entry after the bad id is not read";
    root.Write("RESOURCE/G_EVENT/CAMERA/OTHER.MIC",
               FormatInGameAnmAudio({{79020800, {{40, 6500120}, {50, 6500130}}}, {79020200, {}}, {79020700, {{1, 2}}}}));
    EXPECT_FALSE(manager.LoadInGameAnmAudio("\\RESOURCE\\G_EVENT\\CAMERA\\OTHER.MIC"));
    ASSERT_EQ(read->CueCount, 2);
    EXPECT_EQ(read->CueFrames[1], 50);
    EXPECT_EQ(read->CueSounds[1], 6500130);
    EXPECT_EQ(second->CueCount, 0);
    // A file damaged after its first entry: that entry is kept.
    root.Write("RESOURCE/G_EVENT/CAMERA/CUT.MIC",
               "Count: 2\nAudio\nID: 79020800\nCues: 1\nFrame:60 6500140\nEnd\nAudio\nID: 79020700\n");
    EXPECT_FALSE(manager.LoadInGameAnmAudio("\\RESOURCE\\G_EVENT\\CAMERA\\CUT.MIC"));
    ASSERT_EQ(read->CueCount, 1);
    EXPECT_EQ(read->CueSounds[0], 6500140);
}

TEST_F(EventDataFilesOnRoot, HurtValuesAreKeptOnHeroZonesOnly)
{
    root.WriteTable({BareEntry(mkdata::kSampleHeroZone), BareEntry(79230200)});
    std::vector<HurtEventEntry> hurt = mkdata::SampleHurtEvents();
    hurt.push_back({79230200, 1.0f, {"read through\n"}});
    root.Write("RESOURCE/G_EVENT/HURTEVT/HURTEVT.HTE", FormatHurtEvents(hurt));
    CSEventManager manager;
    manager.Init();
    auto *zone = static_cast<CSHeroZoneEvent *>(manager.FindEvent(mkdata::kSampleHeroZone));
    ASSERT_NE(zone, nullptr);
    EXPECT_FLOAT_EQ(zone->HurtValue, 2.5f);
    ASSERT_EQ(zone->HurtLineCount, 2);
    EXPECT_STREQ(zone->HurtLines[1], "Hot\n");
    // An id that no record holds ends the read; the entries before it keep
    // their values, the one after it is not read.
    root.Write("RESOURCE/G_EVENT/HURTEVT/OTHER.HTE",
               FormatHurtEvents({{79230300, 9.0f, {"first\n"}}, {79999900, 1.0f, {}}, {79230300, 4.0f, {}}}));
    EXPECT_FALSE(manager.LoadHurtEvents("\\RESOURCE\\G_EVENT\\HURTEVT\\OTHER.HTE"));
    EXPECT_FLOAT_EQ(zone->HurtValue, 9.0f);
    ASSERT_EQ(zone->HurtLineCount, 1);
    EXPECT_STREQ(zone->HurtLines[0], "first\n");
}

}  // namespace

}  // namespace event_data_files_test
