// The stage info reader (see stage_info.h): one reader for the stage load
// and the tuning menu, over the keyword-text routines.
#include "stage/stage_info.h"

#include <cstring>
#include <strings.h>

#include "app/debug.h"
#include "app/keyword.h"
#include "app/path.h"
#include "stage/stage_info_keys.h"

namespace {

// Player 2's start as either key family gives it; the stage load's own
// keys ("2Character...") win over the tuning menu's ("2PCharacter...").
struct SecondStart {
    float loader[6] = {};
    float menu[6] = {};
    bool fromLoader[6] = {};
    bool fromMenu[6] = {};
};

using stageinfo::kCameraKeys;
using stageinfo::kStartKeys;

float *CameraField(StageCameraLimits *c, int i)
{
    float *const fields[6] = {&c->pitchDegreeMin, &c->pitchDegreeMax,      &c->distanceMin,
                              &c->distanceMax,    &c->initialRotateDegree, &c->initialPitchDegree};
    return fields[i];
}

float *StartField(StageStart *s, int i)
{
    float *const fields[6] = {&s->x, &s->y, &s->z, &s->frontX, &s->frontY, &s->frontZ};
    return fields[i];
}

// The key after a prefix ("2PitchDegreeMin:" is "2" + "PitchDegreeMin:").
bool KeyWithPrefix(const char *key, const char *prefix, const char *rest)
{
    const size_t length = std::strlen(prefix);
    return std::strncmp(key, prefix, length) == 0 && std::strcmp(key + length, rest) == 0;
}

// A colour byte: the number as atol reads it, its low 8 bits kept.
void ColourByte(CSKeywordFile *file, uint8_t *out)
{
    int32_t value{};
    file->IntAsAtol(&value);
    *out = static_cast<uint8_t>(value & 0xFF);
}

// "ON" sets the switch, "OFF" clears it; another word is reported.
void Switch(CSKeywordFile *file, int32_t *out)
{
    char word[16];
    if (!file->Word(word, sizeof word)) {
        return;
    }
    if (std::strcmp(word, "ON") == 0) {
        *out = 1;
    } else if (std::strcmp(word, "OFF") == 0) {
        *out = 0;
    } else {
        file->Report("'%s' is neither ON nor OFF", word);
    }
}

int32_t RainState(const char *word)
{
    if (std::strcmp(word, "RAINSTATE_S_RAIN") == 0) {
        return kRainSmall;
    }
    if (std::strcmp(word, "RAINSTATE_M_RAIN") == 0) {
        return kRainMedium;
    }
    if (std::strcmp(word, "RAINSTATE_L_RAIN") == 0) {
        return kRainLarge;
    }
    return kRainNone;
}

void FarPlane(CSKeywordFile *file, float *out)
{
    float value = 0.0f;
    if (!file->Float(&value)) {
        return;
    }
    if (!(value > 0.0f)) {
        file->Report("a far plane must lie ahead of the camera (above 0)");
        return;
    }
    *out = value;
}

void ClippingRange(CSKeywordFile *file, float *out)
{
    float values[4];
    if (!file->Floats(values, 4)) {
        return;
    }
    if (!(values[0] > 0.0f && values[0] < values[1] && values[1] < values[2] && values[2] < values[3])) {
        file->Report("the four ranges must rise from above 0");
        return;
    }
    std::memcpy(out, values, sizeof values);
}

// One line: true when its key is known.
bool ReadKey(CSKeywordFile *file, StageInfo *info, SecondStart *second)
{
    const char *key = file->Key();
    for (int i = 0; i < 6; ++i) {
        if (std::strcmp(key, kCameraKeys[i]) == 0) {
            file->FloatAsAtof(CameraField(&info->camera1, i));
            return true;
        }
        if (KeyWithPrefix(key, "2", kCameraKeys[i])) {
            file->FloatAsAtof(CameraField(&info->camera2, i));
            return true;
        }
        if (std::strcmp(key, kStartKeys[i]) == 0) {
            file->FloatAsAtof(StartField(&info->start1, i));
            return true;
        }
        if (KeyWithPrefix(key, "2", kStartKeys[i])) {
            file->FloatAsAtof(&second->loader[i]);
            second->fromLoader[i] = true;
            return true;
        }
        if (KeyWithPrefix(key, "2P", kStartKeys[i])) {
            file->FloatAsAtof(&second->menu[i]);
            second->fromMenu[i] = true;
            return true;
        }
    }
    struct ByteKey {
        const char *key;
        uint8_t StageInfo::*field;
    };
    static constexpr ByteKey kBytes[] = {
        {"AmbientAplpha:", &StageInfo::ambientAlpha}, {"AmbientRed:", &StageInfo::ambientRed},
        {"AmbientGreen:", &StageInfo::ambientGreen},  {"AmbientBlue:", &StageInfo::ambientBlue},
        {"FogAlpha:", &StageInfo::fogAlpha},          {"FogRed:", &StageInfo::fogRed},
        {"FogGreen:", &StageInfo::fogGreen},          {"FogBlue:", &StageInfo::fogBlue},
    };
    for (const ByteKey &b : kBytes) {
        if (std::strcmp(key, b.key) == 0) {
            ColourByte(file, &(info->*b.field));
            return true;
        }
    }
    struct RealKey {
        const char *key;
        float StageInfo::*field;
    };
    static constexpr RealKey kReals[] = {
        {"FogDistance:", &StageInfo::fogDistance}, {"FogTime:", &StageInfo::fogTime}, {"VFogHigh:", &StageInfo::vFogHigh}};
    for (const RealKey &r : kReals) {
        if (std::strcmp(key, r.key) == 0) {
            file->FloatAsAtof(&(info->*r.field));
            return true;
        }
    }
    struct FlagKey {
        const char *key;
        int32_t StageInfo::*field;
    };
    static constexpr FlagKey kFlags[] = {{"Light:", &StageInfo::light},
                                         {"Wall:", &StageInfo::wall},
                                         {"CameraWall:", &StageInfo::cameraWall},
                                         {"IsUsingAutoAdjustment:", &StageInfo::useAutoAdjustment}};
    for (const FlagKey &f : kFlags) {
        if (std::strcmp(key, f.key) == 0) {
            file->Int(&(info->*f.field), 0, 1);
            return true;
        }
    }
    if (std::strcmp(key, "CharacterBonus:") == 0) {
        file->IntAsAtol(&info->characterBonus);
    } else if (std::strcmp(key, "Fog:") == 0) {
        Switch(file, &info->fog);
    } else if (std::strcmp(key, "VFog:") == 0) {
        Switch(file, &info->vFog);
    } else if (std::strcmp(key, "Rain:") == 0) {
        char word[32] = {};
        file->Word(word, sizeof word);
        info->rain = RainState(word);
    } else if (std::strcmp(key, "1P_FarPlane:") == 0) {
        FarPlane(file, &info->farPlane1P);
    } else if (std::strcmp(key, "2P_FarPlane:") == 0) {
        FarPlane(file, &info->farPlane2P);
    } else if (std::strcmp(key, "SkyBox:") == 0) {
        char name[kSkyBoxNameSize] = {};
        if (file->Word(name, sizeof name)) {
            static_assert(sizeof name == sizeof info->skyBox);
            if (strcasecmp(name, "NONE") == 0) {
                name[0] = '\0';  // no sky box
            }
            std::memcpy(info->skyBox, name, sizeof name);
        }
    } else if (std::strcmp(key, "StageClump:") == 0) {
        file->Int(&info->stageClumpCount, 0, kMaxStageClumps);
    } else if (std::strcmp(key, "AIClippingRange:") == 0) {
        ClippingRange(file, info->aiClippingRange);
    } else {
        return false;
    }
    return true;
}

// The keys of an open file into *info as it stands.
bool ReadStageInfoLines(CSKeywordFile *file, StageInfo *info, std::vector<std::string> *otherLines)
{
    if (file == nullptr || !file->IsOpen()) {
        return false;
    }
    SecondStart second;
    bool anyLine = false;
    bool anyKey = false;
    while (file->NextLine()) {
        anyLine = true;
        anyKey = ReadKey(file, info, &second) || anyKey;
        if (otherLines != nullptr && !IsStageTuningLine(file->Key(), file->Line())) {
            otherLines->push_back(file->Line());
        }
    }
    // A file that gives no key is damaged or no stage info: the stage
    // goes on with what the record held.
    if (!anyKey) {
        UserPrint("%s: %s; the stage takes its default settings\n", MessagePath(file->Name()).c_str(),
                  anyLine ? "no line of the file is a stage info key" : "the file is empty");
    }
    for (int i = 0; i < 6; ++i) {
        if (second.fromLoader[i]) {
            *StartField(&info->start2, i) = second.loader[i];
        } else if (second.fromMenu[i]) {
            *StartField(&info->start2, i) = second.menu[i];
        }
    }
    return true;
}

}  // namespace

bool ReadStageInfo(CSKeywordFile *file, StageInfo *info) { return ReadStageInfoAndOtherLines(file, info, nullptr); }

bool ReadStageInfoAndOtherLines(CSKeywordFile *file, StageInfo *info, std::vector<std::string> *otherLines)
{
    *info = StageInfo{};
    if (otherLines != nullptr) {
        otherLines->clear();
    }
    return ReadStageInfoLines(file, info, otherLines);
}

bool ReadStageInfoFileOnto(const char *path, StageInfo *info)
{
    CSKeywordFile file;
    if (!file.Open(path, CSKeywordFile::kNarrow, false)) {
        return false;
    }
    return ReadStageInfoLines(&file, info, nullptr);
}

bool ReadStageInfoFile(const char *path, StageInfo *info, bool required)
{
    return ReadStageInfoFileAndOtherLines(path, info, required, nullptr);
}

bool ReadStageInfoFileAndOtherLines(const char *path, StageInfo *info, bool required, std::vector<std::string> *otherLines)
{
    CSKeywordFile file;
    if (!file.Open(path, CSKeywordFile::kNarrow, required)) {
        *info = StageInfo{};
        if (otherLines != nullptr) {
            otherLines->clear();
        }
        return false;
    }
    return ReadStageInfoAndOtherLines(&file, info, otherLines);
}
