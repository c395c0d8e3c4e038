// The character parameter reader (see character_params.h).
#include "stage/character_params.h"

#include "app/debug.h"
#include "app/keyword.h"
#include "app/path.h"

namespace {

struct RealKey {
    const char *key;
    float CharacterParams::*field;
    float min;
};
constexpr RealKey kReals[] = {
    {"LevelAppend:", &CharacterParams::levelAppend, -FLT_MAX},
    {"Radius:", &CharacterParams::radius, 0.0f},
    {"AttackRange:", &CharacterParams::attackRange, -FLT_MAX},
    {"CatchRange:", &CharacterParams::catchRange, -FLT_MAX},
    {"AlarmCircle:", &CharacterParams::alarmCircle, -FLT_MAX},
    {"AttackHalfAngle:", &CharacterParams::attackHalfAngle, -FLT_MAX},
    {"SearchRange:", &CharacterParams::searchRange, -FLT_MAX},
    {"GraborBleedHAngle:", &CharacterParams::grabOrBleedHAngle, -FLT_MAX},
    {"GraborBleedRange:", &CharacterParams::grabOrBleedRange, -FLT_MAX},
    {"TurnDeg:", &CharacterParams::turnDeg, -FLT_MAX},
    {"PathFindRange:", &CharacterParams::pathFindRange, -FLT_MAX},
};

struct IntKey {
    const char *key;
    int32_t CharacterParams::*field;
};
constexpr IntKey kInts[] = {
    {"Defense:", &CharacterParams::defense},           {"DEFAttribute:", &CharacterParams::defAttribute},
    {"AttackTarget:", &CharacterParams::attackTarget}, {"Exp:", &CharacterParams::exp},
    {"MaxPower:", &CharacterParams::maxPower},         {"MExtraPower:", &CharacterParams::mExtraPower},
    {"DEFBleedOrGRAB:", &CharacterParams::defBleedOrGrab}, {"GRABValue:", &CharacterParams::grabValue},
    {"EvadeFire:", &CharacterParams::evadeFire},
};

}  // namespace

bool ReadCharacterParams(CSKeywordFile *file, CharacterParams *params)
{
    *params = CharacterParams{};
    if (file == nullptr || !file->IsOpen()) {
        return false;
    }
    int32_t weapons = -1;  // NumOfWeapon, -1 until read
    bool anyLine = false;
    bool anyKey = false;
    while (file->NextLine()) {
        anyLine = true;
        anyKey = anyKey || file->KeyIs("MaxHP:") || file->KeyIs("NumOfWeapon:") || file->KeyIs("WeaponID:");
        bool known = false;
        for (const RealKey &k : kReals) {
            if (file->KeyIs(k.key)) {
                file->Float(&(params->*k.field), k.min);
                known = true;
            }
        }
        for (const IntKey &k : kInts) {
            if (file->KeyIs(k.key)) {
                file->Int(&(params->*k.field));
                known = true;
            }
        }
        if (known) {
            anyKey = true;
            continue;
        }
        if (file->KeyIs("MaxHP:")) {
            int32_t hp{};
            if (file->Int(&hp, 1, 65535)) {
                params->maxHP = static_cast<uint16_t>(hp);
            }
        } else if (file->KeyIs("NumOfWeapon:")) {
            file->Int(&weapons, 0, kMaxCharacterWeapons);
        } else if (file->KeyIs("WeaponID:")) {
            int32_t id{};
            if (weapons < 0) {
                file->Report("a weapon before NumOfWeapon is skipped");
            } else if (params->weaponIds.size() >= static_cast<size_t>(weapons)) {
                file->Report("more weapons than NumOfWeapon announces; skipped");
            } else if (file->Int(&id)) {
                params->weaponIds.push_back(id);
            }
        }
    }
    if (weapons > 0 && params->weaponIds.size() != static_cast<size_t>(weapons)) {
        file->Report("%d weapons announced, %zu read", weapons, params->weaponIds.size());
    }
    // A file that gives no parameter is damaged: the figure goes on with
    // the defaults.
    if (!anyKey) {
        UserPrint("%s: %s; the figure takes the default parameters\n", MessagePath(file->Name()).c_str(),
                  anyLine ? "no line of the file is a parameter" : "the file is empty");
    }
    return true;
}

bool ReadCharacterParamsFile(const char *path, CharacterParams *params, bool required)
{
    CSKeywordFile file;
    if (!file.Open(path, CSKeywordFile::kNarrow, required)) {
        *params = CharacterParams{};
        return false;
    }
    return ReadCharacterParams(&file, params);
}
