// The stage's keyword-text files: the maker's files read back equal to the
// records it wrote them from (stage info, placement, territories, character
// parameters, motion tables); the tuning menu's form of the stage info and
// its edge cases; bad values reported and kept at their defaults; and
// hostile files (missing braces, garbage, huge counts, truncation) read
// without harm.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/keyword.h"
#include "stage/ai_placement.h"
#include "stage/anim_file.h"
#include "stage/character_params.h"
#include "stage/stage_info.h"
#include "support/engine/scratch_path.h"
#include "tests/stage/stage_test_support.h"
#include "tools/mkdata/character_model.h"
#include "tools/mkdata/sample_monsters.h"
#include "tools/mkdata/sample_stages.h"
#include "tools/mkdata/stage_files.h"
#include "support/game/diagnostics_capture.h"

namespace stage_files_test {

namespace {

using stagetest::SamplePath;

// A keyword file over `text`.
struct Text {
    explicit Text(const std::string &text, const char *name = "TEST.TXT")
    {
        EXPECT_TRUE(file.OpenMemory(name, text.data(), text.size()));
    }
    CSKeywordFile file;
};

StageInfo InfoFrom(const std::string &text, int *problems = nullptr)
{
    Text t(text, "STAGE00.BSF");
    StageInfo info;
    EXPECT_TRUE(ReadStageInfo(&t.file, &info));
    if (problems != nullptr) {
        *problems = t.file.ProblemCount();
    }
    return info;
}

void ExpectSameCamera(const StageCameraLimits &a, const StageCameraLimits &b)
{
    EXPECT_EQ(a.pitchDegreeMin, b.pitchDegreeMin);
    EXPECT_EQ(a.pitchDegreeMax, b.pitchDegreeMax);
    EXPECT_EQ(a.distanceMin, b.distanceMin);
    EXPECT_EQ(a.distanceMax, b.distanceMax);
    EXPECT_EQ(a.initialRotateDegree, b.initialRotateDegree);
    EXPECT_EQ(a.initialPitchDegree, b.initialPitchDegree);
}

void ExpectSameStart(const StageStart &a, const StageStart &b)
{
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
    EXPECT_EQ(a.frontX, b.frontX);
    EXPECT_EQ(a.frontY, b.frontY);
    EXPECT_EQ(a.frontZ, b.frontZ);
}

void ExpectSameInfo(const StageInfo &a, const StageInfo &b)
{
    ExpectSameCamera(a.camera1, b.camera1);
    ExpectSameCamera(a.camera2, b.camera2);
    EXPECT_EQ(a.ambientRed, b.ambientRed);
    EXPECT_EQ(a.ambientGreen, b.ambientGreen);
    EXPECT_EQ(a.ambientBlue, b.ambientBlue);
    EXPECT_EQ(a.ambientAlpha, b.ambientAlpha);
    ExpectSameStart(a.start1, b.start1);
    ExpectSameStart(a.start2, b.start2);
    EXPECT_EQ(a.characterBonus, b.characterBonus);
    EXPECT_EQ(a.fog, b.fog);
    EXPECT_EQ(a.fogRed, b.fogRed);
    EXPECT_EQ(a.fogGreen, b.fogGreen);
    EXPECT_EQ(a.fogBlue, b.fogBlue);
    EXPECT_EQ(a.fogAlpha, b.fogAlpha);
    EXPECT_EQ(a.fogDistance, b.fogDistance);
    EXPECT_EQ(a.fogTime, b.fogTime);
    EXPECT_EQ(a.vFog, b.vFog);
    EXPECT_EQ(a.vFogHigh, b.vFogHigh);
    EXPECT_EQ(a.rain, b.rain);
    EXPECT_EQ(a.farPlane1P, b.farPlane1P);
    EXPECT_EQ(a.farPlane2P, b.farPlane2P);
    EXPECT_STREQ(a.skyBox, b.skyBox);
    EXPECT_EQ(a.light, b.light);
    EXPECT_EQ(a.wall, b.wall);
    EXPECT_EQ(a.cameraWall, b.cameraWall);
    EXPECT_EQ(a.stageClumpCount, b.stageClumpCount);
    EXPECT_EQ(a.useAutoAdjustment, b.useAutoAdjustment);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(a.aiClippingRange[i], b.aiClippingRange[i]);
    }
}

void ExpectSamePlacement(const AiPlacement &a, const AiPlacement &b)
{
    EXPECT_EQ(a.aiType, b.aiType);
    EXPECT_EQ(a.aiId, b.aiId);
    EXPECT_EQ(a.eventId, b.eventId);
    for (auto field : {&RwV3d::x, &RwV3d::y, &RwV3d::z}) {
        EXPECT_EQ(a.position.*field, b.position.*field);
        EXPECT_EQ(a.lookAt.*field, b.lookAt.*field);
        EXPECT_EQ(a.up.*field, b.up.*field);
    }
    EXPECT_EQ(a.initState, b.initState);
    EXPECT_EQ(a.territory, b.territory);
    EXPECT_EQ(a.isRender, b.isRender);
    EXPECT_EQ(a.itemType, b.itemType);
    EXPECT_EQ(a.hasModel, b.hasModel);
    if (a.hasModel && b.hasModel) {
        EXPECT_EQ(a.modelFolder, b.modelFolder);
        EXPECT_STREQ(a.modelId, b.modelId);
    }
}

void ExpectSameParams(const CharacterParams &a, const CharacterParams &b)
{
    for (auto field : {&CharacterParams::levelAppend, &CharacterParams::radius, &CharacterParams::attackRange,
                       &CharacterParams::catchRange, &CharacterParams::alarmCircle, &CharacterParams::attackHalfAngle,
                       &CharacterParams::searchRange, &CharacterParams::grabOrBleedHAngle,
                       &CharacterParams::grabOrBleedRange, &CharacterParams::turnDeg, &CharacterParams::pathFindRange}) {
        EXPECT_EQ(a.*field, b.*field);
    }
    for (auto field : {&CharacterParams::defense, &CharacterParams::defAttribute, &CharacterParams::attackTarget,
                       &CharacterParams::exp, &CharacterParams::maxPower, &CharacterParams::mExtraPower,
                       &CharacterParams::defBleedOrGrab, &CharacterParams::grabValue, &CharacterParams::evadeFire}) {
        EXPECT_EQ(a.*field, b.*field);
    }
    EXPECT_EQ(a.maxHP, b.maxHP);
    EXPECT_EQ(a.weaponIds, b.weaponIds);
}

void ExpectSameTerritories(const std::vector<Territory> &a, const std::vector<Territory> &b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].id, b[i].id);
        ASSERT_EQ(a[i].points.size(), b[i].points.size());
        for (size_t p = 0; p < a[i].points.size(); ++p) {
            EXPECT_EQ(a[i].points[p].x, b[i].points[p].x);
            EXPECT_EQ(a[i].points[p].z, b[i].points[p].z);
        }
    }
}

// ---- Round trips of the maker's files.

TEST(StageFiles, TheSampleStageReadsBackAsWritten)
{
    StageInfo info;
    ASSERT_TRUE(ReadStageInfoFile(SamplePath("RESOURCE/STAGEINF/STAGE00.BSF").c_str(), &info, false));
    ExpectSameInfo(info, mkdata::FirstSampleStage().info);

    std::vector<AiPlacement> placements;
    ASSERT_TRUE(ReadPlacementFile(SamplePath("RESOURCE/AI/STAGE00.IAF").c_str(), &placements, false));
    ASSERT_EQ(placements.size(), mkdata::SamplePlacements().size());
    for (size_t i = 0; i < placements.size(); ++i) {
        ExpectSamePlacement(placements[i], mkdata::SamplePlacements()[i]);
    }

    std::vector<Territory> territories;
    ASSERT_TRUE(ReadTerritoryFile(SamplePath("RESOURCE/AI/STAGE00.ATF").c_str(), &territories, false));
    ExpectSameTerritories(territories, mkdata::SampleTerritories());
    // The placed monster stands in its territory.
    EXPECT_TRUE(IsInsideTerritory(*FindTerritory(territories, placements[0].territory), placements[0].position));
}

TEST(StageFiles, CharacterParametersAndMotionTablesReadBackAsWritten)
{
    const struct {
        const char *folder;
        const char *name;
    } models[] = {{"RESOURCE/MAINCHAR/HERO01/", "HERO01"}, {"RESOURCE/MAINCHAR/HERO02/", "HERO02"}};
    for (const auto &model : models) {
        SCOPED_TRACE(model.name);
        const std::string base = SamplePath(std::string(model.folder) + model.name);
        CharacterParams params;
        ASSERT_TRUE(ReadCharacterParamsFile((base + ".PAF").c_str(), &params, false));
        ExpectSameParams(params, mkdata::SampleCharacterParams(model.name));

        const MotionTable table = ReadMotionTableBeside((base + ".ANM").c_str(), mkdata::kCharacterDuration);
        const MotionTable &made = mkdata::SampleMotionTableOf(model.name);
        ASSERT_EQ(table.Count(), made.Count());
        for (int32_t i = 0; i < table.Count(); ++i) {
            ASSERT_EQ(table.Find(i) != nullptr, made.Find(i) != nullptr) << "motion " << i;
            if (made.Find(i) == nullptr) {
                continue;
            }
            EXPECT_EQ(table.Find(i)->startFrame, made.Find(i)->startFrame);
            EXPECT_EQ(table.Find(i)->endFrame, made.Find(i)->endFrame);
        }
    }
}

TEST(StageFiles, MonsterParametersAndMotionTablesReadBackAsWritten)
{
    for (int32_t type : mkdata::SampleMonsterTypes()) {
        SCOPED_TRACE(type);
        const std::string base = SamplePath(mkdata::SampleMonsterFolder(type) + "/" + mkdata::SampleMonsterName(type));
        CharacterParams params;
        ASSERT_TRUE(ReadCharacterParamsFile((base + ".PAF").c_str(), &params, false));
        ExpectSameParams(params, mkdata::SampleMonsterParams(type));
        const MotionTable made = mkdata::SampleMonsterMotions(type);
        int32_t lastFrame = 0;
        for (const MotionRange &m : made.motions) {
            lastFrame = std::max(lastFrame, m.endFrame);
        }
        const MotionTable table = ReadMotionTableBeside((base + ".ANM").c_str(), static_cast<float>(lastFrame) / 60.0f);
        ASSERT_EQ(table.Count(), made.Count());
        for (int32_t i = 0; i < table.Count(); ++i) {
            ASSERT_NE(table.Find(i), nullptr) << i;  // every index has its motion
            EXPECT_EQ(table.Find(i)->startFrame, made.Find(i)->startFrame);
            EXPECT_EQ(table.Find(i)->endFrame, made.Find(i)->endFrame);
        }
    }
}

TEST(StageFiles, EveryFieldRoundTripsThroughTheWriters)
{
    StageInfo info = mkdata::SampleStageInfo();
    info.camera1 = {-1.5f, 2.25f, 3.5f, 40.75f, 91.0f, 12.5f};
    info.ambientRed = 1;
    info.characterBonus = -7;
    info.fog = 1;
    info.fogTime = 0.5f;
    info.vFog = 1;
    info.vFogHigh = -3.25f;
    info.rain = kRainMedium;
    std::strcpy(info.skyBox, "NIGHT");
    info.wall = 1;
    info.cameraWall = 1;
    info.useAutoAdjustment = 1;
    info.stageClumpCount = 12;
    const std::string bsf = rwtest::ScratchPath("ROUND.BSF");
    ASSERT_TRUE(mkdata::WriteStageInfoFile(bsf, info));
    StageInfo back;
    ASSERT_TRUE(ReadStageInfoFile(bsf.c_str(), &back, false));
    ExpectSameInfo(back, info);

    std::vector<AiPlacement> placements = mkdata::SamplePlacements();
    AiPlacement boss;
    boss.aiType = 1101;
    boss.aiId = 77;
    boss.eventId = 79010100;
    boss.position = {-1.25f, 0.5f, 6.0f};
    boss.lookAt = {1.0f, 0.0f, 0.0f};
    boss.initState = 3;
    boss.itemType = 12;
    boss.hasModel = true;
    boss.modelFolder = ModelFolder::kMonster;
    std::strcpy(boss.modelId, "1200000");
    placements.push_back(boss);
    const std::string iaf = rwtest::ScratchPath("ROUND.IAF");
    ASSERT_TRUE(mkdata::WritePlacementFile(iaf, placements));
    std::vector<AiPlacement> read;
    ASSERT_TRUE(ReadPlacementFile(iaf.c_str(), &read, false));
    ASSERT_EQ(read.size(), placements.size());
    for (size_t i = 0; i < read.size(); ++i) {
        ExpectSamePlacement(read[i], placements[i]);
    }
}

// The sample leaves some parameters at their defaults and has one territory
// and no gap in its motions: here every value differs from its default.
TEST(StageFiles, ParametersTerritoriesAndMotionsRoundTripThroughTheWriters)
{
    CharacterParams params;
    params.levelAppend = 2.5f;
    params.radius = 6.25f;
    params.maxHP = 65535;
    params.defense = 3;
    params.defAttribute = 2 | 16 | 64;
    params.attackTarget = 4;
    params.attackRange = 11.5f;
    params.catchRange = 12.5f;
    params.alarmCircle = 13.5f;
    params.attackHalfAngle = 14.5f;
    params.searchRange = 15.5f;
    params.grabOrBleedHAngle = 16.5f;
    params.grabOrBleedRange = 17.5f;
    params.turnDeg = 18.5f;
    params.exp = 19;
    params.maxPower = 20;
    params.mExtraPower = 21;
    params.defBleedOrGrab = 22;
    params.grabValue = 23;
    params.evadeFire = 24;
    params.pathFindRange = 25.5f;
    params.weaponIds = {100130, 100140, 100150};
    const std::string paf = rwtest::ScratchPath("ROUND.PAF");
    ASSERT_TRUE(mkdata::WriteCharacterParamsFile(paf, params));
    CharacterParams paramsBack;
    ASSERT_TRUE(ReadCharacterParamsFile(paf.c_str(), &paramsBack, false));
    ExpectSameParams(paramsBack, params);

    std::vector<Territory> territories(2);
    territories[0].id = 3;
    territories[0].points = {{-10.5f, -20.25f}, {30.0f, -20.25f}, {30.0f, 40.75f}, {-10.5f, 40.75f}};
    territories[1].id = 7;
    territories[1].points = {{0.0f, 0.0f}, {5.5f, 0.0f}, {0.0f, -5.5f}};
    const std::string atf = rwtest::ScratchPath("ROUND.ATF");
    ASSERT_TRUE(mkdata::WriteTerritoryFile(atf, territories));
    std::vector<Territory> territoriesBack;
    ASSERT_TRUE(ReadTerritoryFile(atf.c_str(), &territoriesBack, false));
    ExpectSameTerritories(territoriesBack, territories);

    // Motions 0, 1 and 4 of a two-second animation (0..120); 2 and 3 have none.
    MotionTable motions;
    motions.motions = {{0, 30, true}, {30, 90, true}, {}, {}, {90, 120, true}};
    const std::string base = rwtest::ScratchPath("ROUND_MOTIONS");
    ASSERT_TRUE(mkdata::WriteMotionFile(base + ".AMF", motions));
    const std::string anm = base + ".ANM";  // the motions are read beside their animation
    const MotionTable motionsBack = ReadMotionTableBeside(anm.c_str(), 2.0f);
    ASSERT_EQ(motionsBack.Count(), motions.Count());
    for (int32_t i = 0; i < motions.Count(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(motionsBack.Find(i) != nullptr, motions.Find(i) != nullptr);
        if (motions.Find(i) != nullptr) {
            EXPECT_EQ(motionsBack.Find(i)->startFrame, motions.Find(i)->startFrame);
            EXPECT_EQ(motionsBack.Find(i)->endFrame, motions.Find(i)->endFrame);
        }
    }
    for (const std::string &scratch : {paf, atf, base + ".AMF"}) {
        std::remove(scratch.c_str());
    }
}

// ---- The stage info's own rules.

// The tuning menu's form, 45 rows: player 2's start under "2PCharacter",
// fog off without its colour rows.
// The tuning rows own every line they write (with fog, VFog and rain on, so
// every row is written) and both spellings of player 2's start; the stage
// load's rows, its "Stage" title and a comment stay the file's own.
TEST(StageInfoReader, TheTuningRowsOwnWhatTheyWriteAndNothingElse)
{
    StageInfo info = mkdata::FirstSampleStage().info;
    info.fog = 1;
    info.vFog = 1;
    info.rain = kRainLarge;
    const auto lines = [](const std::string &text) {
        std::vector<std::pair<std::string, std::string>> keyed;  // (first word, line)
        size_t at = 0;
        while (at < text.size()) {
            const size_t end = std::min(text.find('\n', at), text.size());
            const std::string line = text.substr(at, end - at);
            keyed.emplace_back(line.substr(0, line.find(' ')), line);
            at = end + 1;
        }
        return keyed;
    };
    const auto tuning = lines(FormatStageTuningRows(info));
    EXPECT_GT(tuning.size(), 40u);
    for (const auto &[key, line] : tuning) {
        EXPECT_TRUE(IsStageTuningLine(key.c_str(), line.c_str())) << line;
    }
    const auto loader = lines(FormatStageLoaderRows(info));
    EXPECT_GT(loader.size(), 8u);
    for (const auto &[key, line] : loader) {
        EXPECT_FALSE(IsStageTuningLine(key.c_str(), line.c_str())) << line;
    }
    for (const char *owned : {"2PCharacterX:", "2CharacterFrontZ:", "2DistanceMax:", "FogTime:", "VFogHigh:"}) {
        EXPECT_TRUE(IsStageTuningKey(owned)) << owned;
    }
    EXPECT_TRUE(IsStageTuningLine("2P", "  2P Camera Parameter \r"));
    for (const char *own : {"2PDistanceMax:", "3CharacterX:", "Fog", "CharacterX", "FarPlane:"}) {
        EXPECT_FALSE(IsStageTuningKey(own)) << own;
    }
    EXPECT_FALSE(IsStageTuningLine("//", "// Camera Parameter"));
    EXPECT_FALSE(IsStageTuningLine("Camera", "Camera Parameters"));
    EXPECT_FALSE(IsStageTuningLine("Camera", nullptr));
    EXPECT_FALSE(IsStageTuningLine("", " \t \r"));  // a blank line is no title
    // A rain state the record cannot hold is written as none.
    info.rain = kRainLarge + 1;
    EXPECT_NE(FormatStageTuningRows(info).find("\nRain: RAINSTATE_NORAIN\n"), std::string::npos);
}

TEST(StageInfoReader, TheTuningMenusFormIsReadToo)
{
    const std::string menu =
        "Camera Parameter\nPitchDegreeMin: 1.000000\nPitchDegreeMax: 2.000000\nDistanceMin: -1.500000\n"
        "DistanceMax: 4.000000\nInitialPitchDegree: 5.000000\nInitialRotateDegree: 6.000000\n"
        "2P Camera Parameter\n2PitchDegreeMin: 7.000000\n2PitchDegreeMax: 8.000000\n2DistanceMin: 9.000000\n"
        "2DistanceMax: 10.000000\n2InitialPitchDegree: 11.000000\n2InitialRotateDegree: 12.000000\n"
        "Ambient Light\nAmbientAplpha: 255\nAmbientRed: 10\nAmbientGreen: 20\nAmbientBlue: 30\n"
        "Character Start Position\nCharacterX: 1.000000\nCharacterY: 2.000000\nCharacterZ: 3.000000\n"
        "CharacterFrontX: 0.000000\nCharacterFrontY: 0.000000\nCharacterFrontZ: 1.000000\n"
        "2P Character Start Position\n2PCharacterX: 4.000000\n2PCharacterY: 5.000000\n2PCharacterZ: 6.000000\n"
        "2PCharacterFrontX: 1.000000\n2PCharacterFrontY: 0.000000\n2PCharacterFrontZ: 0.000000\n"
        "CharacterBonus: 3\nFog ON/OFF and Color\nFog: OFF\nVFog: ON\nVFogHigh: 2.500000\n"
        "Rain: RAINSTATE_L_RAIN\n";
    int problems = -1;
    const StageInfo info = InfoFrom(menu, &problems);
    EXPECT_EQ(problems, 0);
    EXPECT_EQ(info.camera1.distanceMin, -1.5f);
    EXPECT_EQ(info.camera1.initialPitchDegree, 5.0f);
    EXPECT_EQ(info.camera1.initialRotateDegree, 6.0f);
    EXPECT_EQ(info.camera2.initialRotateDegree, 12.0f);
    EXPECT_EQ(info.ambientBlue, 30);
    ExpectSameStart(info.start2, {4.0f, 5.0f, 6.0f, 1.0f, 0.0f, 0.0f});  // the menu's player-2 start is used
    EXPECT_EQ(info.characterBonus, 3);
    EXPECT_EQ(info.fog, 0);
    EXPECT_EQ(info.vFog, 1);
    EXPECT_EQ(info.vFogHigh, 2.5f);
    EXPECT_EQ(info.rain, kRainLarge);
    // What the menu does not write keeps the cleared record's values.
    EXPECT_EQ(info.farPlane1P, kDefaultFarPlane);
    EXPECT_EQ(info.aiClippingRange[3], kDefaultAiClippingRange[3]);
    EXPECT_EQ(info.skyBox[0], '\0');
}

TEST(StageInfoReader, TheStageLoadsPlayerTwoKeysWinOverTheMenus)
{
    for (const std::string &text : {std::string("2CharacterX: 1\n2PCharacterX: 2\n2PCharacterZ: 5\n"),
                                   std::string("2PCharacterX: 2\n2CharacterX: 1\n2PCharacterZ: 5\n")}) {
        const StageInfo info = InfoFrom(text);
        EXPECT_EQ(info.start2.x, 1.0f);
        EXPECT_EQ(info.start2.z, 5.0f);  // only the menu gave it
    }
}

TEST(StageInfoReader, EdgeCases)
{
    // Fog "OFF" after "ON" switches it off again; VFog too.
    EXPECT_EQ(InfoFrom("Fog: ON\nFog: OFF\n").fog, 0);
    EXPECT_EQ(InfoFrom("VFog: ON\nVFog: OFF\n").vFog, 0);
    int problems = 0;
    EXPECT_EQ(InfoFrom("Fog: ON\nFog: MAYBE\n", &problems).fog, 1);
    EXPECT_EQ(problems, 1);
    // A switch with no word after it is one problem, the missing word, and
    // leaves the switch as it was.
    EXPECT_EQ(InfoFrom("Fog: ON\nFog:\n", &problems).fog, 1);
    EXPECT_EQ(problems, 1);
    EXPECT_EQ(InfoFrom("VFog:\n", &problems).vFog, 0);
    EXPECT_EQ(problems, 1);
    // Rain words.
    EXPECT_EQ(InfoFrom("Rain: RAINSTATE_S_RAIN\n").rain, kRainSmall);
    EXPECT_EQ(InfoFrom("Rain: RAINSTATE_M_RAIN\n").rain, kRainMedium);
    EXPECT_EQ(InfoFrom("Rain: RAINSTATE_L_RAIN\nRain: RAINSTATE_NORAIN\n").rain, kRainNone);
    EXPECT_EQ(InfoFrom("Rain: RAINSTATE_L_RAIN\nRain: DRIZZLE\n").rain, kRainNone);
    // A rain value no word names is written as no rain.
    for (int32_t rain : {-1, kRainLarge + 1, 1000}) {
        StageInfo odd{};
        odd.rain = rain;
        const std::string rows = FormatStageTuningRows(odd);
        EXPECT_NE(rows.find("\nRain: RAINSTATE_NORAIN\n"), std::string::npos) << rain << ":\n" << rows;
    }
    // Colour bytes keep their low 8 bits.
    EXPECT_EQ(InfoFrom("AmbientRed: 300\n").ambientRed, 44);
    EXPECT_EQ(InfoFrom("FogBlue: -1\n").fogBlue, 255);
    // The sky box: a name, or none.
    EXPECT_STREQ(InfoFrom("SkyBox: NIGHT\n").skyBox, "NIGHT");
    EXPECT_STREQ(InfoFrom("SkyBox: NIGHT\nSkyBox: NONE\n").skyBox, "");
    // Bad values are reported; the tuning menu's numbers read as atol and
    // atof read them (CharacterBonus 1.5 is 1), the stage load's own keys
    // keep the cleared record's values.
    const StageInfo bad = InfoFrom("DistanceMin: abc\n1P_FarPlane: 0\n2P_FarPlane: -5\nStageClump: 500\n"
                                   "Light: 2\nAIClippingRange: 150, 140, 350, 400\nCharacterBonus: 1.5\n"
                                   "SkyBox:\nUnknownKey: 12\n",
                                   &problems);
    EXPECT_EQ(problems, 8);
    EXPECT_EQ(bad.camera1.distanceMin, 0.0f);
    EXPECT_EQ(bad.farPlane1P, kDefaultFarPlane);
    EXPECT_EQ(bad.farPlane2P, kDefaultFarPlane);
    EXPECT_EQ(bad.stageClumpCount, 0);
    EXPECT_EQ(bad.light, 0);
    EXPECT_EQ(bad.aiClippingRange[1], kDefaultAiClippingRange[1]);
    EXPECT_EQ(bad.characterBonus, 1);
    const StageInfo good = InfoFrom("AIClippingRange: 1, 2, 3, 4\n");
    EXPECT_EQ(good.aiClippingRange[3], 4.0f);
    // The loader's rows write the four ranges so that they read back.
    const StageInfo back = InfoFrom(FormatStageLoaderRows(good));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(back.aiClippingRange[i], good.aiClippingRange[i]) << i;
    }
    // 0 is a value of the switches and of the stage model count: no models,
    // no lights.
    const StageInfo none = InfoFrom("Light: 1\nLight: 0\nWall: 1\nWall: 0\nStageClump: 3\nStageClump: 0\n", &problems);
    EXPECT_EQ(problems, 0);
    EXPECT_EQ(none.light, 0);
    EXPECT_EQ(none.wall, 0);
    EXPECT_EQ(none.stageClumpCount, 0);
    EXPECT_EQ(InfoFrom("StageClump: " + std::to_string(kMaxStageClumps) + "\n", &problems).stageClumpCount,
              kMaxStageClumps);
    EXPECT_EQ(problems, 0);
}

// Every number the tuning menu reads, as atol and atof read it: a word
// that is no number gives 0 (also after a good line of the same key), a
// number with more after it gives the number; each such value is reported.
// The stage load's own keys keep their defaults (a far plane of 400).
TEST(StageInfoReader, TheTuningNumbersReadAsAtolAndAtofReadThem)
{
    const struct {
        const char *text;
        float StageInfo::*real;
        float realValue;
        int problems;
    } reals[] = {
        {"FogDistance: 120\nFogDistance: far\n", &StageInfo::fogDistance, 0.0f, 1},
        {"FogDistance: 12.5m\n", &StageInfo::fogDistance, 12.5f, 1},
        {"FogTime: -2\n", &StageInfo::fogTime, -2.0f, 0},
        {"VFogHigh: inf\n", &StageInfo::vFogHigh, 0.0f, 1},
        {"VFogHigh: 1e99\n", &StageInfo::vFogHigh, 0.0f, 1},
        {"1P_FarPlane: 900\n1P_FarPlane: x\n", &StageInfo::farPlane1P, 900.0f, 1},
        {"1P_FarPlane: x\n", &StageInfo::farPlane1P, kDefaultFarPlane, 1},
    };
    for (const auto &row : reals) {
        int problems = -1;
        const StageInfo info = InfoFrom(row.text, &problems);
        EXPECT_EQ(info.*row.real, row.realValue) << row.text;
        EXPECT_EQ(problems, row.problems) << row.text;
    }
    int problems = -1;
    const StageInfo words = InfoFrom("PitchDegreeMin: 10\nPitchDegreeMin: low\n2DistanceMax: 3x\nCharacterX: .5\n"
                                     "2CharacterZ: none\n2PCharacterZ: 4\nAmbientRed: 300x\nFogGreen: green\n"
                                     "CharacterBonus: -7\nCharacterBonus: 99999999999\n",
                                     &problems);
    EXPECT_EQ(words.camera1.pitchDegreeMin, 0.0f);
    EXPECT_EQ(words.camera2.distanceMax, 3.0f);
    EXPECT_EQ(words.start1.x, 0.5f);
    EXPECT_EQ(words.start2.z, 0.0f) << "the stage load's own key, given (as 0), wins";
    EXPECT_EQ(words.ambientRed, 44);
    EXPECT_EQ(words.fogGreen, 0);
    EXPECT_EQ(words.characterBonus, INT32_MAX);
    EXPECT_EQ(problems, 6);
}

TEST(StageInfoReader, TheRecordIsClearedFirst)
{
    StageInfo info;
    Text first("Fog: ON\nAmbientRed: 7\nStageClump: 3\n");
    ASSERT_TRUE(ReadStageInfo(&first.file, &info));
    EXPECT_EQ(info.fog, 1);
    Text second("AmbientGreen: 9\n");
    ASSERT_TRUE(ReadStageInfo(&second.file, &info));
    EXPECT_EQ(info.fog, 0);
    EXPECT_EQ(info.ambientRed, 0);
    EXPECT_EQ(info.ambientGreen, 9);
    EXPECT_EQ(info.stageClumpCount, 0);
    info.fog = 1;
    EXPECT_FALSE(ReadStageInfoFile("\\RESOURCE\\STAGEINF\\NOSUCH.BSF", &info, false));
    EXPECT_EQ(info.fog, 0);
    // Read onto a record (the tuning menu's): a file that is not there
    // says so and leaves the record as it was.
    info.fog = 1;
    info.ambientRed = 7;
    EXPECT_FALSE(ReadStageInfoFileOnto("\\RESOURCE\\STAGEINF\\NOSUCH.BSF", &info));
    EXPECT_EQ(info.fog, 1);
    EXPECT_EQ(info.ambientRed, 7);
    EXPECT_TRUE(ReadStageInfoFileOnto(SamplePath("RESOURCE/STAGEINF/STAGE00.BSF").c_str(), &info));
    EXPECT_EQ(info.ambientRed, mkdata::FirstSampleStage().info.ambientRed);
    // No file to read: refused, and the record is cleared all the same.
    CSKeywordFile unopened;
    EXPECT_FALSE(ReadStageInfo(&unopened, &info));
    EXPECT_FALSE(ReadStageInfo(nullptr, &info));
    EXPECT_EQ(info.ambientRed, 0);
}

// The tuning menu rewrites a stage info keeping the lines it does not
// write: those come back in order, and only those of this read.
TEST(StageInfoReader, LinesThatAreNoTuningComeBackForTheRewrite)
{
    StageInfo info;
    std::vector<std::string> other = {"left from before"};
    Text t("// the yard\nCamera Parameter\nFog: ON\nNote: 3\nPitchDegreeMin: 5\nStage\n");
    ASSERT_TRUE(ReadStageInfoAndOtherLines(&t.file, &info, &other));
    EXPECT_EQ(info.fog, 1);
    EXPECT_EQ(info.camera1.pitchDegreeMin, 5.0f);
    EXPECT_EQ(other, (std::vector<std::string>{"// the yard", "Note: 3", "Stage"}));
    other = {"left from before"};
    EXPECT_FALSE(ReadStageInfoFileAndOtherLines("\\RESOURCE\\STAGEINF\\NOSUCH.BSF", &info, false, &other));
    EXPECT_TRUE(other.empty());
}

// ---- Counts, indices and frames are checked, not trusted.

TEST(StageFilesChecks, PlacementBlocks)
{
    std::vector<AiPlacement> read;
    Text t("AINum: 3\nAI\n{\nAIType: 1000\nAIID: 4\nModel: MONSTER\\1200000\n}\n"
           "AI\n{\nAIID: 5\n}\n"                                       // no type: skipped
           "AI\n{\nAIType: 1001\nLookAt: 0, 0, 0\nModel: SHOP\\1\nposition: 1, 2\n}\n"  // bad values reported
           "AI\nAIType: 1002\n}\n"                                     // its "{" missing
           "AI\n{\nAIType: 1003\nAI\n{\nAIType: 1004\n}\n");             // the first one not closed
    ASSERT_TRUE(ReadPlacements(&t.file, &read));
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0].aiType, 1000);
    EXPECT_TRUE(read[0].hasModel);
    EXPECT_STREQ(read[0].modelId, "1200000");
    EXPECT_EQ(read[1].aiType, 1001);
    EXPECT_EQ(read[1].lookAt.z, 1.0f);  // the default
    EXPECT_FALSE(read[1].hasModel);
    EXPECT_EQ(read[1].position.x, 0.0f);
    EXPECT_EQ(read[2].aiType, 1002);
    EXPECT_EQ(read[3].aiType, 1004);
    EXPECT_GE(t.file.ProblemCount(), 7);
    // A model is FOLDER\id with an id of letters, digits and '_' shorter
    // than 32; a bad one is said and the actor stands without a model,
    // while a good one after it is taken; one character is an id too.
    Text models("AI\n{\nAIType: 1005\nModel: 1200000\nModel: MONSTER\\12-00\nModel: MONSTER\\\n"
                "Model: MONSTER\\" + std::string(32, '7') + "\n}\n"
                "AI\n{\nAIType: 1006\nModel: MONSTER\\12-00\nModel: breakobj\\" + std::string(31, '7') + "\n}\n"
                "AI\n{\nAIType: 1007\nModel: NPC\\7\n}\n");
    gametest::CaptureDiagnostics();
    ASSERT_TRUE(ReadPlacements(&models.file, &read));
    const std::string said = gametest::TakeDiagnostics();
    ASSERT_EQ(read.size(), 3u);
    EXPECT_TRUE(read[2].hasModel);
    EXPECT_EQ(read[2].modelFolder, ModelFolder::kNpc);
    EXPECT_STREQ(read[2].modelId, "7");
    EXPECT_FALSE(read[0].hasModel);
    EXPECT_STREQ(read[0].modelId, "");
    EXPECT_TRUE(read[1].hasModel);
    EXPECT_EQ(read[1].modelFolder, ModelFolder::kBreakObj);
    EXPECT_EQ(read[1].modelId, std::string(31, '7'));
    EXPECT_EQ(said,
              "TEST.TXT:4: Model: '1200000' is not FOLDER\\id\n"
              "TEST.TXT:5: Model: '12-00' is no model id\n"
              "TEST.TXT:6: Model: '' is no model id\n"
              "TEST.TXT:7: Model: '77777777777777777777777777777777' is no model id\n"
              "TEST.TXT:12: Model: '12-00' is no model id\n"
              "TEST.TXT:19: the file does not say how many actors it holds\n");
    // A model key without its word, or with one too long to be a model, is
    // said once each and leaves the actor without a model.
    Text wordless("AINum: 1\nAI\n{\nAIType: 1000\nModel:\nModel: MONSTER\\" + std::string(70, '7') + "\n}\n");
    gametest::CaptureDiagnostics();
    ASSERT_TRUE(ReadPlacements(&wordless.file, &read));
    const std::string saidWordless = gametest::TakeDiagnostics();
    ASSERT_EQ(read.size(), 1u);
    EXPECT_FALSE(read[0].hasModel);
    EXPECT_EQ(wordless.file.ProblemCount(), 2) << saidWordless;
    // No file to read: nothing read, and what the list held is gone.
    CSKeywordFile unopened;
    EXPECT_FALSE(ReadPlacements(&unopened, &read));
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(ReadPlacements(nullptr, &read));
    std::vector<Territory> territories(2);
    EXPECT_FALSE(ReadTerritories(&unopened, &territories));
    EXPECT_TRUE(territories.empty());
    EXPECT_FALSE(ReadTerritories(nullptr, &territories));
    // 0 is a value of the event, territory and drawing keys (none), not a
    // problem: the last line of each key holds.
    Text zeros("AINum: 1\nAI\n{\nAIType: 1000\nEventID: 4\nTerritory: 2\nIsRender: 1\n"
               "EventID: 0\nTerritory: 0\nIsRender: 0\n}\n");
    ASSERT_TRUE(ReadPlacements(&zeros.file, &read));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].eventId, 0);
    EXPECT_EQ(read[0].territory, 0);
    EXPECT_EQ(read[0].isRender, 0);
    EXPECT_EQ(zeros.file.ProblemCount(), 0);
}

TEST(StageFilesChecks, TerritoryBlocks)
{
    std::vector<Territory> read;
    Text t("TerritoryNum: 2\n"
           "Territory\n{\nID: 1\nPointNum: 3\nPoint: 0, 0\nPoint: 1, 0\nPoint: 0, 1\nPoint: 5, 5\n}\n"
           "Territory\n{\nID: 1\nPointNum: 3\nPoint: 0, 0\nPoint: 1, 0\nPoint: 0, 1\n}\n"  // the id again
           "Territory\n{\nID: 2\nPointNum: 4\nPoint: 0, 0\nPoint: 1, 0\n}\n"              // too few points
           "Territory\n{\nPoint: 0, 0\nID: 0\nPointNum: 999999\n}\n"
           "Territory\n{\nID: 3\nPointNum: 0\nPoint: 0, 0\n}\n");  // no points announced
    gametest::CaptureDiagnostics();
    ASSERT_TRUE(ReadTerritories(&t.file, &read));
    const std::string said = gametest::TakeDiagnostics();
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].points.size(), 3u);
    EXPECT_EQ(said,
              "TEST.TXT:9: Point: more points than PointNum announces; skipped\n"
              "TEST.TXT:18: } territory 1 appears twice; the second is skipped\n"
              "TEST.TXT:25: } 4 points announced, 2 read\n"
              "TEST.TXT:25: } territory 2 has fewer than three points and is skipped\n"
              "TEST.TXT:28: Point: a point before PointNum is skipped\n"
              "TEST.TXT:29: ID: 0 is outside 1..2147483647\n"
              "TEST.TXT:30: PointNum: 999999 is outside 0..1024\n"
              "TEST.TXT:31: } a territory without a valid ID is skipped\n"
              "TEST.TXT:36: Point: more points than PointNum announces; skipped\n"
              "TEST.TXT:37: } territory 3 has fewer than three points and is skipped\n"
              "TEST.TXT:37: 2 territories announced, 1 read\n");
    EXPECT_EQ(t.file.ProblemCount(), 11);
}

// A file longer than the stage holds: the actors and territories past the
// limit are skipped, said once each.
TEST(StageFilesChecks, ActorsAndTerritoriesPastTheLimitAreSkipped)
{
    std::string actors = "AINum: " + std::to_string(kMaxPlacements) + "\n";
    for (int32_t i = 0; i <= kMaxPlacements; ++i) {
        actors += "AI\n{\nAIType: 1000\nAIID: " + std::to_string(i + 1) + "\n}\n";
    }
    Text a(actors);
    std::vector<AiPlacement> placed;
    ASSERT_TRUE(ReadPlacements(&a.file, &placed));
    ASSERT_EQ(placed.size(), static_cast<size_t>(kMaxPlacements));
    EXPECT_EQ(placed.back().aiId, kMaxPlacements);
    EXPECT_EQ(a.file.ProblemCount(), 1);
    std::string outlines = "TerritoryNum: " + std::to_string(kMaxTerritories) + "\n";
    for (int32_t i = 0; i <= kMaxTerritories; ++i) {
        outlines += "Territory\n{\nID: " + std::to_string(i + 1) +
                    "\nPointNum: 3\nPoint: 0, 0\nPoint: 1, 0\nPoint: 0, 1\n}\n";
    }
    Text t(outlines);
    std::vector<Territory> read;
    ASSERT_TRUE(ReadTerritories(&t.file, &read));
    ASSERT_EQ(read.size(), static_cast<size_t>(kMaxTerritories));
    EXPECT_EQ(read.back().id, kMaxTerritories);
    EXPECT_EQ(t.file.ProblemCount(), 1);
}

TEST(StageFilesChecks, ParameterRanges)
{
    CharacterParams params;
    Text t("MaxHP: 0\nMaxHP: 70000\nRadius: -1\nWeaponID: 5\nNumOfWeapon: 2\nWeaponID: 7\nWeaponID: 8\n"
           "WeaponID: 9\nNumOfWeapon: 100\nExp: 12\n");
    ASSERT_TRUE(ReadCharacterParams(&t.file, &params));
    EXPECT_EQ(params.maxHP, 1);
    EXPECT_EQ(params.radius, 0.0f);
    EXPECT_EQ(params.weaponIds, (std::vector<int32_t>{7, 8}));
    EXPECT_EQ(params.exp, 12);
    EXPECT_EQ(t.file.ProblemCount(), 6);
    // The highest health there is; one more is refused and leaves it.
    Text max("MaxHP: 65535\nMaxHP: 65536\nNumOfWeapon: 3\nWeaponID: 1\n");
    ASSERT_TRUE(ReadCharacterParams(&max.file, &params));
    EXPECT_EQ(params.maxHP, 65535);
    EXPECT_EQ(max.file.ProblemCount(), 2);  // 65536, and two weapons short
    // One weapon announced and none given: said once.
    Text missing("NumOfWeapon: 1\n");
    ASSERT_TRUE(ReadCharacterParams(&missing.file, &params));
    EXPECT_TRUE(params.weaponIds.empty());
    EXPECT_EQ(missing.file.ProblemCount(), 1);
    // No weapons is a count: a weapon after it is one too many, said once.
    Text unarmed("NumOfWeapon: 0\nWeaponID: 4\n");
    ASSERT_TRUE(ReadCharacterParams(&unarmed.file, &params));
    EXPECT_TRUE(params.weaponIds.empty());
    EXPECT_EQ(unarmed.file.ProblemCount(), 1);
    // A figure whose parameter file is missing: the caller is told, and what
    // it held before gives way to the defaults.
    params.maxHP = 500;
    params.weaponIds = {3};
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(ReadCharacterParamsFile(SamplePath("RESOURCE/MONSTER/1000/NONE.PAF").c_str(), &params, false));
    gametest::TakeDiagnostics();
    EXPECT_EQ(params.maxHP, 1);
    EXPECT_TRUE(params.weaponIds.empty());
    params.maxHP = 500;
    CSKeywordFile unopened;
    EXPECT_FALSE(ReadCharacterParams(&unopened, &params));
    EXPECT_FALSE(ReadCharacterParams(nullptr, &params));
    EXPECT_EQ(params.maxHP, 1);
}

TEST(StageFilesChecks, MotionTables)
{
    // A two-second animation has frames 0..120.
    Text t("Motion: 0, 0, 10\nMotionNum: 4\nMotion: 0, 0, 30\nMotion: 0, 5, 6\nMotion: 1, 30, 121\n"
           "Motion: 2, 50, 40\nMotion: 4, 0, 1\nMotion: -1, 0, 1\nMotion: 3, 100, 120\nMotionNum: 9\n");
    gametest::CaptureDiagnostics();
    const MotionTable table = ReadMotionTable(&t.file, 2.0f);
    const std::string said = gametest::TakeDiagnostics();
    ASSERT_EQ(table.Count(), 4);
    ASSERT_NE(table.Find(0), nullptr);
    EXPECT_EQ(table.Find(0)->endFrame, 30);
    EXPECT_EQ(table.Find(1), nullptr);
    EXPECT_EQ(table.Find(2), nullptr);
    ASSERT_NE(table.Find(3), nullptr);
    EXPECT_EQ(table.Find(3)->startFrame, 100);
    EXPECT_EQ(t.file.ProblemCount(), 8);
    EXPECT_NE(said.find("TEST.TXT:7: Motion: motion 4 is outside 0..3\n"), std::string::npos) << said;
    EXPECT_NE(said.find("TEST.TXT:6: Motion: frames 50..40 are outside the animation's 0..120\n"), std::string::npos)
        << said;
    // Nothing usable: motion 0 is the whole animation.
    Text none("MotionNum: 2\nMotion: 0, 0, 500\n");
    const MotionTable whole = ReadMotionTable(&none.file, 1.5f);
    ASSERT_EQ(whole.Count(), 1);
    EXPECT_EQ(whole.Find(0)->endFrame, 90);
    // No table to read at all: the same.
    CSKeywordFile unopened;
    ASSERT_EQ(ReadMotionTable(&unopened, 1.5f).Count(), 1);
    EXPECT_EQ(ReadMotionTable(nullptr, 1.5f).Find(0)->endFrame, 90);
    // An animation's frames at 60 a second; a length that is none, below
    // none or no number has no frame.
    EXPECT_EQ(AnimationFrameCount(2.0f), 120);
    EXPECT_EQ(AnimationFrameCount(0.0f), 0);
    EXPECT_EQ(AnimationFrameCount(-1.0f), 0);
    EXPECT_EQ(AnimationFrameCount(std::numeric_limits<float>::quiet_NaN()), 0);
    // The motion table stands beside its animation, in the same folder.
    EXPECT_EQ(MotionFilePathFor("HERO01.ANM"), "HERO01.AMF");
    EXPECT_EQ(MotionFilePathFor("\\RESOURCE\\V1.2\\HERO01"), "\\RESOURCE\\V1.2\\HERO01.AMF");
    EXPECT_EQ(MotionFilePathFor("data/v1.2/HERO01.ANM"), "data/v1.2/HERO01.AMF");
    Text huge("MotionNum: 2000000000\nMotion: 0, 0, 1\n");
    EXPECT_EQ(ReadMotionTable(&huge.file, 1.0f).Count(), 1);
    // A table that announces no motion is well formed: only the fallback is
    // said, and motion 0 is the whole animation.
    Text empty("MotionNum: 0\n");
    const MotionTable none0 = ReadMotionTable(&empty.file, 1.0f);
    ASSERT_EQ(none0.Count(), 1);
    EXPECT_EQ(none0.Find(0)->endFrame, 60);
    EXPECT_EQ(empty.file.ProblemCount(), 1);
}

// ---- A file that gives nothing is named on standard error with why, with
// the diagnostic lines off; one that announces nothing is quiet.

TEST(StageFilesGivingNothing, AreNamedWithWhyAndWhatFollows)
{
    struct Case {
        const char *text;
        std::string said;
    };
    const auto placements = [](const char *text) {
        return gametest::Said(false, [&] {
            Text t(text, "\\RESOURCE\\AI\\STAGE07.IAF");
            std::vector<AiPlacement> read;
            EXPECT_TRUE(ReadPlacements(&t.file, &read));
            EXPECT_TRUE(read.empty());
        });
    };
    EXPECT_EQ(placements(""), "RESOURCE/AI/STAGE07.IAF: the file is empty; the stage has no actors\n");
    EXPECT_EQ(placements("AINum: 2\nAIType: 1000\n"),
              "RESOURCE/AI/STAGE07.IAF: no AI block in the file; the stage has no actors\n");
    EXPECT_EQ(placements("AINum: 1\nAI\n{\nAIID: 4\n}\n"),
              "RESOURCE/AI/STAGE07.IAF: no AI block of the file can be used; the stage has no actors\n");
    EXPECT_EQ(placements("AINum: 0\n"), "") << "a stage without actors says so";

    const auto territories = [](const char *text) {
        return gametest::Said(false, [&] {
            Text t(text, "\\RESOURCE\\AI\\STAGE07.ATF");
            std::vector<Territory> read;
            EXPECT_TRUE(ReadTerritories(&t.file, &read));
        });
    };
    EXPECT_EQ(territories("\n\n"), "RESOURCE/AI/STAGE07.ATF: the file is empty; the stage has no territories\n");
    EXPECT_EQ(territories("Territory\n{\nID: 3\n}\n"),
              "RESOURCE/AI/STAGE07.ATF: no Territory block of the file can be used; the stage has no territories\n");
    EXPECT_EQ(territories("TerritoryNum: 2\nID: 3\n"),
              "RESOURCE/AI/STAGE07.ATF: no Territory block in the file; the stage has no territories\n");
    EXPECT_EQ(territories("TerritoryNum: 0\n"), "");

    const auto info = [](const char *text) {
        return gametest::Said(false, [&] {
            Text t(text, "\\RESOURCE\\STAGEINF\\STAGE07.BSF");
            StageInfo read;
            EXPECT_TRUE(ReadStageInfo(&t.file, &read));
        });
    };
    EXPECT_EQ(info(""), "RESOURCE/STAGEINF/STAGE07.BSF: the file is empty; the stage takes its default settings\n");
    EXPECT_EQ(info("Camera Parameter\nPitch 3\n"),
              "RESOURCE/STAGEINF/STAGE07.BSF: no line of the file is a stage "
              "info key; the stage takes its default settings\n");
    EXPECT_EQ(info("Stage\nWall: 0\n"), "");
    // Any one key of each family is a stage info of its own.
    for (const char *line : {"PitchDegreeMin: 5\n", "2DistanceMax: 9\n", "CharacterX: 1\n", "2CharacterZ: 2\n",
                             "2PCharacterY: 3\n", "FogRed: 40\n", "FogTime: 2\n", "Fog: ON\n"}) {
        EXPECT_EQ(info(line), "") << line;
    }

    const auto params = [](const char *text) {
        return gametest::Said(false, [&] {
            Text t(text, "\\RESOURCE\\MONSTER\\1000\\1000.PAF");
            CharacterParams read;
            EXPECT_TRUE(ReadCharacterParams(&t.file, &read));
        });
    };
    EXPECT_EQ(params(""),
              "RESOURCE/MONSTER/1000/1000.PAF: the file is empty; the figure takes the default parameters\n");
    EXPECT_EQ(params("\x7f\x45LF garbage\n"),
              "RESOURCE/MONSTER/1000/1000.PAF: no line of the file is a parameter; "
              "the figure takes the default parameters\n");
    EXPECT_EQ(params("MaxHP: 0\n"), "") << "a parameter out of range is a diagnostic line only";
    EXPECT_EQ(params("Exp: 12\n"), "") << "a whole-number parameter alone is a parameter";
    EXPECT_EQ(params("Radius: 3\n"), "") << "a real parameter alone is a parameter";
}

// ---- Hostile files: every reader over damaged and random input.

void ReadWithEveryReader(const std::string &bytes)
{
    StageInfo info;
    std::vector<AiPlacement> placements;
    std::vector<Territory> territories;
    CharacterParams params;
    {
        Text t(bytes);
        ReadStageInfo(&t.file, &info);
    }
    {
        Text t(bytes);
        ReadPlacements(&t.file, &placements);
        EXPECT_LE(placements.size(), size_t(kMaxPlacements));
    }
    {
        Text t(bytes);
        ReadTerritories(&t.file, &territories);
        for (const Territory &territory : territories) {
            EXPECT_GE(territory.points.size(), 3u);
            EXPECT_LE(territory.points.size(), size_t(kMaxTerritoryPoints));
        }
    }
    {
        Text t(bytes);
        ReadCharacterParams(&t.file, &params);
        EXPECT_LE(params.weaponIds.size(), size_t(kMaxCharacterWeapons));
        EXPECT_GE(params.maxHP, 1);
    }
    {
        Text t(bytes);
        const MotionTable table = ReadMotionTable(&t.file, 1.0f);
        EXPECT_GE(table.Count(), 1);
        EXPECT_LE(table.Count(), kMaxMotions);
        for (const MotionRange &m : table.motions) {
            if (m.defined) {
                EXPECT_LE(m.startFrame, m.endFrame);
                EXPECT_LE(m.endFrame, 60);
            }
        }
    }
}

std::string FileBytes(const std::string &path)
{
    FILE *f = std::fopen(path.c_str(), "rb");
    std::string bytes;
    if (f != nullptr) {
        char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
            bytes.append(buffer, got);
        }
        std::fclose(f);
    }
    return bytes;
}

// A refused animation is said on standard error with the diagnostics off:
// the model that needed it stands still, and the user must learn why.
class RefusedAnimation : public stagetest::StageEngineTest {};

TEST_F(RefusedAnimation, IsSaidWithoutTheDiagnostics)
{
    const bool was = SetDebugOutput(false);
    const uint8_t garbage[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    testing::internal::CaptureStderr();
    EXPECT_EQ(ReadAnimationBytes("\\RESOURCE\\MONSTER\\9\\9.ANM", garbage, sizeof garbage), nullptr);
    EXPECT_EQ(ReadAnimationBytes("\\RESOURCE\\MONSTER\\9\\8.ANM", garbage, 0), nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    SetDebugOutput(was);
    EXPECT_NE(said.find("RESOURCE/MONSTER/9/9.ANM: not a readable animation"), std::string::npos) << said;
    EXPECT_NE(said.find("RESOURCE/MONSTER/9/8.ANM: an empty animation file"), std::string::npos) << said;
}

TEST(StageFilesHostile, DamagedAndRandomInputIsReadWithoutHarm)
{
    gametest::CaptureDiagnostics();  // the diagnostics are many
    const std::string hostile[] = {
        "AINum: 999999999\nAI\n{\n",
        "TerritoryNum: -5\nTerritory\n{\nID: 3\nPointNum: 2147483647\nPoint: 1e39, 1\n",
        "{\n{\n{\n}\n}\n}\nAI\n}\n}\nTerritory\n",
        "MotionNum: 1024\nMotion: 1023, 0, 60\nMotion: 1024, 0, 60\n",
        "NumOfWeapon: 64\n" + std::string(200, 'W') + "\nWeaponID: 1\n",
        std::string("AIType:\0\0\0 1000\nAI\n{\nAIType: 1000\0", 33),
        "position: nan, inf, -inf\nFogDistance: 1e999\nMaxHP: 99999999999999999999\n",
        std::string(20000, 'x') + "\nAINum: 1\n",
        "\xff\xfe\x00A\x00I\x00\n",
    };
    for (const std::string &text : hostile) {
        ReadWithEveryReader(text);
    }
    // Every prefix of every sample file: a file cut anywhere.
    for (const char *file : {"RESOURCE/STAGEINF/STAGE00.BSF", "RESOURCE/AI/STAGE00.IAF", "RESOURCE/AI/STAGE00.ATF",
                             "RESOURCE/MONSTER/1000/1000.PAF", "RESOURCE/MONSTER/1000/1000.AMF"}) {
        const std::string bytes = FileBytes(SamplePath(file));
        ASSERT_FALSE(bytes.empty()) << file;
        for (size_t cut = 0; cut < bytes.size(); cut += 7) {
            ReadWithEveryReader(bytes.substr(0, cut));
        }
    }
    // Random bytes and random keyword soup.
    std::mt19937 random(21);
    const char *const words[] = {"AI", "{", "}", "Territory", "AINum:", "TerritoryNum:", "AIType:", "Point:",
                                 "PointNum:", "ID:", "Motion:", "MotionNum:", "WeaponID:", "NumOfWeapon:", "Fog:",
                                 "SkyBox:", "AIClippingRange:", "-1", "2147483648", ",", "1.5", "\n", " "};
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) {
            if (round % 2 == 0) {
                text.push_back(static_cast<char>(random() & 0xFF));
            } else {
                text += words[random() % std::size(words)];
                text.push_back(random() % 3 == 0 ? '\n' : ' ');
            }
        }
        ReadWithEveryReader(text);
    }
    gametest::TakeDiagnostics();
}

}  // namespace

}  // namespace stage_files_test
