// A character's parameters, read from its `.PAF` file: body size, life,
// defence and resistances, the ranges and angles its behaviour uses, and
// its weapons (the tagged model parts its attacks hit with).
#pragma once

#include <cstdint>
#include <vector>

struct CharacterParams {
    float levelAppend = 1.0f;      // attack values are multiplied by its whole part
    float radius = 0.0f;           // the body sphere
    uint16_t maxHP = 1;            // 1..65535
    int32_t defense = 0;           // subtracted from incoming damage
    int32_t defAttribute = 0;      // resistance bits: 2, 4, 8 hurt reactions, 16 burn, 32 poison, 64 burn x2
    int32_t attackTarget = 0;      // the target-picking mode
    float attackRange = 0.0f;
    float catchRange = 0.0f;
    float alarmCircle = 0.0f;
    float attackHalfAngle = 0.0f;  // degrees
    float searchRange = 0.0f;
    float grabOrBleedHAngle = 0.0f;  // degrees
    float grabOrBleedRange = 0.0f;
    float turnDeg = 0.0f;          // degrees
    int32_t exp = 0;
    int32_t maxPower = 0;
    int32_t mExtraPower = 0;
    int32_t defBleedOrGrab = 0;
    int32_t grabValue = 0;
    int32_t evadeFire = 0;
    float pathFindRange = 0.0f;
    std::vector<int32_t> weaponIds;  // NumOfWeapon entries
};

// Most weapons a parameter file may list.
constexpr int32_t kMaxCharacterWeapons = 64;

class CSKeywordFile;

// Reads a `.PAF` file into *params, which starts from CharacterParams{}.
// False when the file cannot be opened (with `required`, the fatal report
// too); bad values are reported and keep their defaults.
bool ReadCharacterParamsFile(const char *path, CharacterParams *params, bool required);
bool ReadCharacterParams(CSKeywordFile *file, CharacterParams *params);
