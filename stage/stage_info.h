// The stage info record: what a stage's `.BSF` file holds (camera limits of
// both players, ambient light, start positions, fog, rain, far planes, sky
// box, the stage's models, the actor thinning ranges). The stage load and
// the tuning menu read it with the one reader here; the first 39 fields are
// the tuning menu's, in its order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct StageCameraLimits {
    float pitchDegreeMin = 0.0f;
    float pitchDegreeMax = 0.0f;
    float distanceMin = 0.0f;
    float distanceMax = 0.0f;
    float initialRotateDegree = 0.0f;
    float initialPitchDegree = 0.0f;
};

struct StageStart {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float frontX = 0.0f;
    float frontY = 0.0f;
    float frontZ = 0.0f;
};

enum StageRain : int32_t {
    kRainNone = 0,
    kRainSmall = 1,
    kRainMedium = 2,
    kRainLarge = 3,
};

constexpr float kDefaultFarPlane = 400.0f;
// Thinning radii r1 < r2 < r3 and the far distance, when the file gives none.
constexpr float kDefaultAiClippingRange[4] = {150.0f, 250.0f, 350.0f, 400.0f};
constexpr size_t kSkyBoxNameSize = 64;

struct StageInfo {
    StageCameraLimits camera1;
    StageCameraLimits camera2;
    uint8_t ambientRed = 0;
    uint8_t ambientGreen = 0;
    uint8_t ambientBlue = 0;
    uint8_t ambientAlpha = 0;
    StageStart start1;
    StageStart start2;
    int32_t characterBonus = 0;
    int32_t fog = 0;  // 0 or 1
    uint8_t fogRed = 0;
    uint8_t fogGreen = 0;
    uint8_t fogBlue = 0;
    uint8_t fogAlpha = 0;
    float fogDistance = 0.0f;
    float fogTime = 0.0f;  // seconds of the fog fade
    int32_t vFog = 0;      // 0 or 1
    float vFogHigh = 0.0f;
    int32_t rain = kRainNone;

    // Read by the stage load only.
    float farPlane1P = kDefaultFarPlane;  // with one hero
    float farPlane2P = kDefaultFarPlane;  // with two
    char skyBox[kSkyBoxNameSize] = {};    // \RESOURCE\SKYBOX\<name>\SKYBOX.DFF; empty: none
    int32_t light = 0;                    // 1: LIGHTS.DFF
    int32_t wall = 0;                     // 1: WALL.DFF
    int32_t cameraWall = 0;               // 1: CAMWALL.DFF
    int32_t stageClumpCount = 0;          // CLUMP00.DFF .. CLUMP<n-1>.DFF
    int32_t useAutoAdjustment = 0;        // 1: the camera pulls in against camera walls
    float aiClippingRange[4] = {kDefaultAiClippingRange[0], kDefaultAiClippingRange[1], kDefaultAiClippingRange[2],
                                kDefaultAiClippingRange[3]};
};

// Most stage models a `StageClump:` line may ask for.
constexpr int32_t kMaxStageClumps = 100;

class CSKeywordFile;

// Reads the stage info file at `path` into *info, which is cleared first
// (StageInfo{}). A file that cannot be opened gives false (the record stays
// cleared); with `required` the fatal report is raised as well. The tuning
// menu's numbers (camera limits, colours, starts, the bonus, fog distance
// and time, VFog height) are read as atol and atof read them: a word that
// is no number gives 0, "12x" gives 12, each reported with the file, line
// and key. The stage load's own keys keep their defaults for a bad value,
// reported the same way: a far plane that is no number above 0 (400), the
// 0/1 switches, the stage-model count outside 0..100 (0), clipping ranges
// that do not rise (150, 250, 350, 400).
bool ReadStageInfoFile(const char *path, StageInfo *info, bool required);
// The same over a file already opened.
bool ReadStageInfo(CSKeywordFile *file, StageInfo *info);
// The tuning menu's reading: the same keys into a record that is not
// cleared first, so that a field whose key the file lacks keeps what it
// held (a file whose fog is off has no fog colour, distance or time rows,
// and the menu keeps the ones it showed). "Fog: OFF" and "VFog: OFF" still
// switch them off: the record shows the file's own switches, which Save
// File writes back. A file that cannot be opened gives false and leaves
// the record as it was.
bool ReadStageInfoFileOnto(const char *path, StageInfo *info);
// Both readers, also giving in *otherLines (emptied first) every line the
// tuning rows do not own (IsStageTuningLine: keys they do not write, titles
// other than theirs), in file order, as read without its line end: what a
// rewrite of the file by the tuning menu carries over. Blank lines carry
// nothing and are not given.
bool ReadStageInfoAndOtherLines(CSKeywordFile *file, StageInfo *info, std::vector<std::string> *otherLines);
bool ReadStageInfoFileAndOtherLines(const char *path, StageInfo *info, bool required, std::vector<std::string> *otherLines);

// The tuning rows of the file, in their order: the camera limits of both
// players, the ambient light, both starts (player 2's under the stage
// load's "2CharacterX:" keys), the bonus, the fog (its colour, distance and
// time only while it is on), the VFog (its height only while it is on) and
// the rain, with the section titles between them. Reals are written with
// six decimals in the C locale ("DistanceMin: -1.500000").
std::string FormatStageTuningRows(const StageInfo &info);
// The stage load's own rows: a "Stage" title, the far planes, the sky box,
// the model switches and count, the auto adjustment and the clipping ranges.
std::string FormatStageLoaderRows(const StageInfo &info);
// Whether the tuning rows own the key of a line (its first word, up to and
// including the first colon): every key they write, both spellings of
// player 2's start, and the fog's and VFog's rows also while they are left
// out.
bool IsStageTuningKey(const char *key);
// Whether the tuning rows own a line of the file with first word `key`:
// a keyed line by its key, any other line when it is one of the rows'
// section titles. Every other line (the stage load's "Stage" title, a
// comment) is the file's own, which a rewrite by the menu keeps.
bool IsStageTuningLine(const char *key, const char *line);
