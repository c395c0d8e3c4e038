// The tuning files: which files a stage's tuning reads and writes, what
// Save File writes (the tuning rows, then every line of the old file the
// rows do not own, byte for byte), that the stage load's and the particle
// set's own readers read the saved files back, that nothing leaks from one
// stage's files into another's, that a file that cannot be written is left
// as it was, and the particle set's hostile lines.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <string>
#include <vector>

#include "stage/stage_paths.h"
#include "tests/devmenu/dev_menu_test_support.h"

namespace tuning_files_test {

namespace {

using devmenutest::InfoFile;
using devmenutest::MenuHarness;
using devmenutest::ScratchRoot;
using devmenutest::SetFile;

// A stage info file as the sample data holds them, with a key nobody reads
// and player 2's start under the menu's old spelling too.
const std::string kOldInfo =
    "Camera Parameter\n"
    "PitchDegreeMin: 10.000000\n"
    "PitchDegreeMax: 60.000000\n"
    "DistanceMin: 40.000000\n"
    "DistanceMax: 120.000000\n"
    "InitialPitchDegree: 30.000000\n"
    "InitialRotateDegree: 45.000000\n"
    "2P Camera Parameter\n"
    "2PitchDegreeMin: 15.000000\n"
    "2PitchDegreeMax: 55.000000\n"
    "2DistanceMin: 50.000000\n"
    "2DistanceMax: 140.000000\n"
    "2InitialPitchDegree: 35.000000\n"
    "2InitialRotateDegree: 135.000000\n"
    "Ambient Light\n"
    "AmbientAplpha: 255\n"
    "AmbientRed: 90\n"
    "AmbientGreen: 90\n"
    "AmbientBlue: 100\n"
    "Stage\n"
    "1P_FarPlane: 600.000000\n"
    "2P_FarPlane: 500.000000\n"
    "SkyBox:   NIGHT\n"
    "\n"
    "Light: 1\n"
    "Character Start Position\n"
    "CharacterX: -20.000000\n"
    "CharacterY: 0.000000\n"
    "CharacterZ: -40.000000\n"
    "CharacterFrontX: 0.000000\n"
    "CharacterFrontY: 0.000000\n"
    "CharacterFrontZ: 1.000000\n"
    "2P Character Start Position\n"
    "2CharacterX: 20.000000\n"
    "2PCharacterX: 99.000000\n"
    "2CharacterY: 0.000000\n"
    "2CharacterZ: -40.000000\n"
    "2CharacterFrontX: 0.000000\n"
    "2CharacterFrontY: 0.000000\n"
    "2CharacterFrontZ: 1.000000\n"
    "CharacterBonus: 3\n"
    "Fog ON/OFF and Color\n"
    "Fog: OFF\n"
    "VFog: OFF\n"
    "Rain: RAINSTATE_S_RAIN\n"
    "Wall: 0\n"
    "CameraWall: 1\n"
    "StageClump: 1\n"
    "Weather:\tdry, 3\n"
    "IsUsingAutoAdjustment: 1\n"
    "AIClippingRange: 150.000000, 250.000000, 350.000000, 400.000000\n";

// The lines the rows do not own, in their order: the stage load's title too.
const std::vector<std::string> kLoaderLines = {
    "Stage", "1P_FarPlane: 600.000000", "2P_FarPlane: 500.000000", "SkyBox:   NIGHT", "Light: 1", "Wall: 0",
    "CameraWall: 1",           "StageClump: 1",           "Weather:\tdry, 3", "IsUsingAutoAdjustment: 1",
    "AIClippingRange: 150.000000, 250.000000, 350.000000, 400.000000"};

const std::string kOldSet =
    "KindNum:2\n"
    "PrtSysKind:3010600.zus,2\n"
    "GroupNum:1\n"
    "PrtSysKind:BOMSPARK.ZUS,4\n"
    "PrtSysGroup:fire,3010600.zus, BOMSPARK.ZUS\n"
    "Comment line without a key\n"
    "Extra: kept\n";

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// The menu over a scratch data tree, its tuning menu entered for `stage`
// with the stage list (circle), so both files are read.
class SaveFile : public ::testing::Test {
protected:
    explicit SaveFile(const char *name = "save") : root(name) {}

    void EnterTuning(int32_t stage)
    {
        h.stage.stageId = stage;
        h.menu.Open(1, 0);
        h.menu.activeItem = kItemSelectStage;
        h.Tick({kPadCircle});  // into the stage list
        h.Tick({kPadCircle});  // the stage's files read, the tuning menu next
        ASSERT_EQ(h.menu.activeItem, kItemTuningMenu);
    }
    void Save()
    {
        h.menu.tuningCursor = kTuneSaveFile;
        h.Tick({kPadCircle});
        h.Tick();
    }

    ScratchRoot root;
    MenuHarness h;
};

TEST(TuningPaths, EachStageHasItsTwoFiles)
{
    EXPECT_EQ(StageInfoPath(2010000), "\\RESOURCE\\STAGEINF\\STAGE00.BSF");
    EXPECT_EQ(StageInfoPath(2090000), "\\RESOURCE\\STAGEINF\\STAGE08.BSF");
    EXPECT_EQ(StageParticleSetPath(2090000), "\\RESOURCE\\PARTICLE\\2090000.PSS");
    EXPECT_EQ(StageInfoPath(2420000), "\\RESOURCE\\STAGEINF\\STAGE41.BSF");
    EXPECT_EQ(StageParticleSetPath(2010000), "\\RESOURCE\\PARTICLE\\2010000.PSS");
}

TEST(TuningPaths, TheMenuReadsThoseFilesAndKeepsTheLowEightBitsOfAColour)
{
    ScratchRoot root("paths");
    root.Write("RESOURCE/STAGEINF/STAGE08.BSF", "AmbientRed: 300\n");
    root.Write("RESOURCE/PARTICLE/2090000.PSS", "KindNum:1\nPrtSysKind:A.ZUS,7\n");
    root.Write("RESOURCE/STAGEINF/STAGE41.BSF", "AmbientRed: 41\n");
    MenuHarness h;
    ASSERT_TRUE(h.menu.ReadStageInfo(2090000));
    EXPECT_EQ(h.menu.tuning.ambientRed, 44);
    ASSERT_TRUE(h.menu.ReadParticleKinds(2090000));
    ASSERT_EQ(h.menu.particleKinds.kinds.size(), 1u);
    EXPECT_EQ(h.menu.particleKinds.kinds[0].count, 7);
    ASSERT_TRUE(h.menu.ReadStageInfo(2420000));
    EXPECT_EQ(h.menu.tuning.ambientRed, 41);
}

TEST_F(SaveFile, KeepsEveryLineTheRowsDoNotOwnByteForByte)
{
    root.Write(InfoFile(2010000), kOldInfo);
    root.Write(SetFile(2010000), kOldSet);
    EnterTuning(2010000);
    EXPECT_EQ(h.menu.tuning.start2.x, 20.0f) << "the stage load's key wins";
    h.menu.tuning.fog = 1;
    h.menu.tuning.fogRed = 255;
    h.menu.tuning.fogAlpha = 255;
    h.menu.tuning.fogDistance = 25.0f;
    h.menu.tuning.camera1.distanceMin = -1.5f;
    h.menu.tuning.start2.z = -41.0f;
    h.menu.particleKinds.kinds[1].count = 9;
    Save();

    const std::string saved = root.Read(InfoFile(2010000));
    EXPECT_EQ(saved.substr(0, FormatStageTuningRows(h.menu.tuning).size()), FormatStageTuningRows(h.menu.tuning));
    const std::vector<std::string> lines = Lines(saved);
    // The rows, then the loader's lines in their old order.
    ASSERT_GE(lines.size(), kLoaderLines.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(kLoaderLines.size()), lines.end()), kLoaderLines);
    EXPECT_NE(saved.find("\nDistanceMin: -1.500000\n"), std::string::npos);
    EXPECT_NE(saved.find("\n2CharacterZ: -41.000000\n"), std::string::npos);
    EXPECT_EQ(saved.find("2PCharacter"), std::string::npos);
    EXPECT_NE(saved.find("\nRain: RAINSTATE_S_RAIN\nStage\n1P_FarPlane: 600.000000\n"), std::string::npos)
        << "the stage load's title is the file's own";
    EXPECT_EQ(saved.find("\nAmbient Light\n"), saved.rfind("\nAmbient Light\n")) << "the rows' titles once each";
    EXPECT_NE(saved.find("\nFog: ON\nFogAlpha: 255\nFogRed: 255\nFogGreen: 0\nFogBlue: 0\nFogDistance: 25.000000\n"),
              std::string::npos);
    EXPECT_EQ(lines.size(), 44u + kLoaderLines.size()) << "45 rows but VFog's height, VFog being off";

    // The stage load reads the edited values and its own keys back.
    StageInfo back;
    ASSERT_TRUE(ReadStageInfoFile(StageInfoPath(2010000).c_str(), &back, false));
    EXPECT_EQ(back.camera1.distanceMin, -1.5f);
    EXPECT_EQ(back.start2.x, 20.0f);
    EXPECT_EQ(back.start2.z, -41.0f);
    EXPECT_EQ(back.fog, 1);
    EXPECT_EQ(back.fogRed, 255);
    EXPECT_EQ(back.farPlane1P, 600.0f);
    EXPECT_STREQ(back.skyBox, "NIGHT");
    EXPECT_EQ(back.light, 1);
    EXPECT_EQ(back.cameraWall, 1);
    EXPECT_EQ(back.stageClumpCount, 1);
    EXPECT_EQ(back.useAutoAdjustment, 1);
    EXPECT_EQ(back.rain, kRainSmall);
    EXPECT_EQ(back.characterBonus, 3);

    // The particle set: its kinds, then the old group and keyed lines.
    EXPECT_EQ(root.Read(SetFile(2010000)), "KindNum:2\n"
                                          "PrtSysKind:3010600.zus,2\n"
                                          "PrtSysKind:BOMSPARK.ZUS,9\n"
                                          "GroupNum:1\n"
                                          "PrtSysGroup:fire,3010600.zus, BOMSPARK.ZUS\n"
                                          "Extra: kept\n");
    ParticleSet set;
    ASSERT_TRUE(LoadParticleSetFile(StageParticleSetPath(2010000).c_str(), &set));
    ASSERT_EQ(set.kinds.size(), 2u);
    EXPECT_EQ(set.kinds[1].count, 9);
    ASSERT_EQ(set.groups.size(), 1u);
    EXPECT_EQ(set.groups[0].kinds.size(), 2u);
    EXPECT_FALSE(root.Exists(InfoFile(2010000) + ".tmp"));
}

// A stage info file as its rows are laid out (the menu's 45 rows in their
// order with the fog on and the VFog on, then the stage load's "Stage"
// section), saved without a change, comes back byte for byte: every line
// the menu does not own is kept, the "Stage" title with it.
TEST_F(SaveFile, AFileOfTheRowsLayoutSavedUnchangedComesBackWhole)
{
    const std::string file =
        "Camera Parameter\nPitchDegreeMin: 10.000000\nPitchDegreeMax: 60.000000\nDistanceMin: 40.000000\n"
        "DistanceMax: 120.000000\nInitialPitchDegree: 30.000000\nInitialRotateDegree: 45.000000\n"
        "2P Camera Parameter\n2PitchDegreeMin: 15.000000\n2PitchDegreeMax: 55.000000\n2DistanceMin: 50.000000\n"
        "2DistanceMax: 140.000000\n2InitialPitchDegree: 35.000000\n2InitialRotateDegree: 135.000000\n"
        "Ambient Light\nAmbientAplpha: 255\nAmbientRed: 90\nAmbientGreen: 90\nAmbientBlue: 100\n"
        "Character Start Position\nCharacterX: -20.000000\nCharacterY: 0.000000\nCharacterZ: -40.000000\n"
        "CharacterFrontX: 0.000000\nCharacterFrontY: 0.000000\nCharacterFrontZ: 1.000000\n"
        "2P Character Start Position\n2CharacterX: 20.000000\n2CharacterY: 0.000000\n2CharacterZ: -40.000000\n"
        "2CharacterFrontX: 0.000000\n2CharacterFrontY: 0.000000\n2CharacterFrontZ: 1.000000\nCharacterBonus: 0\n"
        "Fog ON/OFF and Color\nFog: ON\nFogAlpha: 255\nFogRed: 120\nFogGreen: 130\nFogBlue: 150\n"
        "FogDistance: 200.000000\nFogTime: 2.000000\nVFog: ON\nVFogHigh: 12.500000\nRain: RAINSTATE_S_RAIN\n"
        "Stage\n1P_FarPlane: 600.000000\n2P_FarPlane: 500.000000\nSkyBox: NONE\nLight: 1\nWall: 1\n"
        "CameraWall: 1\nStageClump: 1\nIsUsingAutoAdjustment: 1\n"
        "AIClippingRange: 150.000000, 250.000000, 350.000000, 400.000000\n";
    root.Write(InfoFile(2010000), file);
    root.Write(SetFile(2010000), kOldSet);
    EnterTuning(2010000);
    Save();
    EXPECT_EQ(root.Read(InfoFile(2010000)), file);
    // Saved again, it stays the same: the rows' titles are never doubled.
    EnterTuning(2010000);
    Save();
    EXPECT_EQ(root.Read(InfoFile(2010000)), file);
}

TEST_F(SaveFile, EmptiesTheTableReloadsTheStageWithItsTransitionAndCloses)
{
    root.Write(InfoFile(2010000), kOldInfo);
    root.Write(SetFile(2010000), kOldSet);
    EnterTuning(2010000);
    Save();
    EXPECT_TRUE(h.menu.particleKinds.kinds.empty());
    EXPECT_FALSE(h.menu.IsOpen());
    EXPECT_EQ(h.menu.activeItem, kItemSelectStage);
    EXPECT_TRUE(h.stage.stageChange.pending);
    EXPECT_EQ(h.stage.stageChange.target, 2010000);
    EXPECT_EQ(h.stage.stageChange.transition, 1);
    EXPECT_EQ(h.stage.stageChange.ms, 2000u);
    // Saving again without reading: the table is empty and belongs to no stage.
    const std::string set = root.Read(SetFile(2010000));
    h.stage.stageChange = StageChangeRequest{};
    h.menu.selectedStageId = 2010000;
    h.menu.SaveStageInfo();
    EXPECT_EQ(root.Read(SetFile(2010000)), set);
}

TEST_F(SaveFile, ALowerNumberIsWrittenInTheCLocaleWhateverTheLocale)
{
    root.Write(InfoFile(2010000), kOldInfo);
    root.Write(SetFile(2010000), kOldSet);
    EnterTuning(2010000);
    h.menu.tuning.camera1.distanceMin = -1.5f;
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const bool commaLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                             std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
    Save();
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_NE(root.Read(InfoFile(2010000)).find("\nDistanceMin: -1.500000\n"), std::string::npos)
        << (commaLocale ? "under a comma locale" : "");
}

// The menu reads a stage's file onto the record it holds: fields whose keys
// the file lacks keep their values, while the file's own "OFF" switches the
// fog and the VFog off. The values kept never reach another stage's file
// (the fog's rows are written only while it is on), and the stage load
// still reads each stage from a clean record.
TEST_F(SaveFile, TheMenuKeepsWhatAFileLacksButNeverWritesItIntoAnotherStage)
{
    root.Write(InfoFile(2010000), "Fog: ON\nFogRed: 9\nFogDistance: 30\nFogTime: 2\nVFog: ON\nVFogHigh: 5\n"
                                  "Rain: RAINSTATE_L_RAIN\nAmbientRed: 7\nCharacterBonus: 4\n");
    root.Write(InfoFile(2020000), "Fog: OFF\nVFog: OFF\nAmbientRed: 1\nRain: DRIZZLE\n");
    root.Write(SetFile(2020000), "KindNum:0\n");
    ASSERT_TRUE(h.menu.ReadStageInfo(2010000));
    EXPECT_EQ(h.menu.tuning.fog, 1);
    EXPECT_EQ(h.menu.tuning.vFog, 1);
    EXPECT_EQ(h.menu.tuning.rain, kRainLarge);
    EnterTuning(2020000);
    EXPECT_EQ(h.menu.tuning.fog, 0);
    EXPECT_EQ(h.menu.tuning.vFog, 0);
    EXPECT_EQ(h.menu.tuning.rain, kRainNone) << "any other rain word is no rain";
    EXPECT_EQ(h.menu.tuning.ambientRed, 1);
    EXPECT_EQ(h.menu.tuning.fogRed, 9) << "kept: the file has no fog colour";
    EXPECT_EQ(h.menu.tuning.fogDistance, 30.0f);
    EXPECT_EQ(h.menu.tuning.fogTime, 2.0f);
    EXPECT_EQ(h.menu.tuning.vFogHigh, 5.0f);
    EXPECT_EQ(h.menu.tuning.characterBonus, 4);
    StageInfo fresh;
    ASSERT_TRUE(ReadStageInfoFile(StageInfoPath(2020000).c_str(), &fresh, false));
    EXPECT_EQ(fresh.fogRed, 0);
    EXPECT_EQ(fresh.characterBonus, 0);
    EXPECT_EQ(fresh.vFogHigh, 0.0f);
    Save();
    const std::string saved = root.Read(InfoFile(2020000));
    EXPECT_NE(saved.find("\nFog: OFF\nVFog: OFF\nRain: RAINSTATE_NORAIN\n"), std::string::npos);
    EXPECT_EQ(saved.find("FogRed"), std::string::npos);
    EXPECT_EQ(saved.find("VFogHigh"), std::string::npos);
}

// A file whose fog is off read after one whose fog is on shows the fog off
// (and Save File keeps it off): the menu shows the file's own switch.
TEST(TuningRead, FogOffAfterFogOnReadsOff)
{
    ScratchRoot root("fogoff");
    root.Write("RESOURCE/STAGEINF/STAGE00.BSF", "Fog: ON\nFogAlpha: 200\n");
    root.Write("RESOURCE/STAGEINF/STAGE01.BSF", "Fog ON/OFF and Color\nFog: OFF\n");
    MenuHarness h;
    ASSERT_TRUE(h.menu.ReadStageInfo(2010000));
    ASSERT_TRUE(h.menu.ReadStageInfo(2020000));
    EXPECT_EQ(h.menu.tuning.fog, 0);
    EXPECT_EQ(h.menu.tuning.fogAlpha, 200);
    // A fog word that is neither ON nor OFF leaves the switch as it was.
    root.Write("RESOURCE/STAGEINF/STAGE02.BSF", "Fog: MAYBE\n");
    h.menu.tuning.fog = 1;
    ASSERT_TRUE(h.menu.ReadStageInfo(2030000));
    EXPECT_EQ(h.menu.tuning.fog, 1);
}

TEST_F(SaveFile, AMissingFileLeavesTheRecordAsItWasAndIsNotWritten)
{
    root.Write(InfoFile(2010000), kOldInfo);
    root.Write(SetFile(2010000), kOldSet);
    ASSERT_TRUE(h.menu.ReadStageInfo(2010000));
    ASSERT_TRUE(h.menu.ReadParticleKinds(2010000));
    EnterTuning(2020000);  // neither of its files exists
    EXPECT_EQ(h.menu.tuning.ambientRed, 90);
    EXPECT_EQ(h.menu.tuning.camera1.distanceMax, 120.0f);
    EXPECT_TRUE(h.menu.particleKinds.kinds.empty());
    EXPECT_EQ(h.menu.tuningStageId, 0);
    Save();
    EXPECT_FALSE(root.Exists(InfoFile(2020000)));
    EXPECT_FALSE(root.Exists(SetFile(2020000)));
    // The stage request still goes ahead.
    EXPECT_TRUE(h.stage.stageChange.pending);
    EXPECT_EQ(h.stage.stageChange.target, 2020000);
}

TEST_F(SaveFile, AnUnreadFileIsSkippedAndTheOtherStillWritten)
{
    root.Write(SetFile(2010000), "KindNum:1\nPrtSysKind:A.ZUS,1\n");
    EnterTuning(2010000);
    h.menu.particleKinds.kinds[0].count = 5;
    Save();
    EXPECT_FALSE(root.Exists(InfoFile(2010000)));
    EXPECT_EQ(root.Read(SetFile(2010000)), "KindNum:1\nPrtSysKind:A.ZUS,5\n");
}

// circle with right reads the stage shown before: its values are not
// written into the next stage's files.
TEST_F(SaveFile, TheRecordIsWrittenOnlyToTheStageItWasReadFrom)
{
    root.Write(InfoFile(2010000), kOldInfo);
    root.Write(SetFile(2010000), kOldSet);
    root.Write(InfoFile(2020000), "AmbientRed: 22\n");
    root.Write(SetFile(2020000), "KindNum:0\n");
    h.stage.stageId = 2010000;
    h.menu.Open(1, 0);
    h.Tick({kPadCircle});
    h.Tick({kPadCircle, kPadRight});
    ASSERT_EQ(h.menu.selectedStageId, 2020000);
    Save();
    EXPECT_EQ(root.Read(InfoFile(2020000)), "AmbientRed: 22\n");
    EXPECT_EQ(root.Read(SetFile(2020000)), "KindNum:0\n");
    EXPECT_EQ(root.Read(InfoFile(2010000)), kOldInfo);
    EXPECT_EQ(h.stage.stageChange.target, 2020000);
}

// Where the new files cannot be made the old ones stay as they were.
TEST_F(SaveFile, AFolderThatCannotBeWrittenLeavesBothFilesByteForByte)
{
    root.Write(InfoFile(2010000), kOldInfo);
    root.Write(SetFile(2010000), kOldSet);
    EnterTuning(2010000);
    h.menu.tuning.fog = 1;
    h.menu.particleKinds.kinds[0].count = 1;
    const std::string infoFolder = root.Host("RESOURCE/STAGEINF");
    const std::string setFolder = root.Host("RESOURCE/PARTICLE");
    // Read-only folders do not stop the superuser: there the temporary
    // files' names are taken by folders as well.
    std::filesystem::create_directory(root.Host(InfoFile(2010000) + ".tmp"));
    std::filesystem::create_directory(root.Host(SetFile(2010000) + ".tmp"));
    chmod(infoFolder.c_str(), 0555);
    chmod(setFolder.c_str(), 0555);
    Save();
    chmod(infoFolder.c_str(), 0755);
    chmod(setFolder.c_str(), 0755);
    EXPECT_EQ(root.Read(InfoFile(2010000)), kOldInfo);
    EXPECT_EQ(root.Read(SetFile(2010000)), kOldSet);
    EXPECT_TRUE(h.stage.stageChange.pending) << "the stage is still requested";
}

TEST_F(SaveFile, HostileParticleSetsReadWithinBounds)
{
    const std::string longName(300, 'n');
    const struct {
        const char *text;
        size_t kinds;
    } cases[] = {
        {"KindNum:2\nPrtSysKind:no comma 3\nPrtSysKind:A.ZUS,1\n", 1},
        {"KindNum:-5\nPrtSysKind:A.ZUS,1\n", 0},
        {"KindNum:99999999999\nPrtSysKind:A.ZUS,1\n", 0},
        {"KindNum:2000\nPrtSysKind:A.ZUS,1\n", 0},
        {"KindNum:1\nKindNum:3\nPrtSysKind:A.ZUS,1\nPrtSysKind:B.ZUS,1\n", 1},
        {"PrtSysKind:A.ZUS,1\nKindNum:1\n", 0},
        {"KindNum:1\nPrtSysKind:\n", 0},
        {"", 0},
    };
    for (const auto &c : cases) {
        root.Write(SetFile(2010000), c.text);
        h.menu.ReadParticleKinds(2010000);
        EXPECT_EQ(h.menu.particleKinds.kinds.size(), c.kinds) << c.text;
    }
    root.Write(SetFile(2010000), "KindNum:1\nPrtSysKind:" + longName + ",2\n");
    ASSERT_TRUE(h.menu.ReadParticleKinds(2010000));
    ASSERT_EQ(h.menu.particleKinds.kinds.size(), 1u);
    EXPECT_EQ(std::string(h.menu.particleKinds.kinds[0].name), longName.substr(0, 127));
}

}  // namespace

}  // namespace tuning_files_test
