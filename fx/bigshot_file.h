// The big-shot file (\RESOURCE\BIGSHOT\<pool>.BSH): what one of the
// bosses' large skill effects looks like and what it does, the one source
// of these values for every boss:
//   Particle: NAME.ZUS     the particle system each instance carries
//   Model: NAME.DFF        the model each instance shows (under \RESOURCE\FX)
//   Life: s                seconds an instance lasts
//   Speed: u               units per second of a moving instance
//   Radius: r              reach of its hit
//   Damage: d              the hit's damage
//   Attribute: bits        the hit's attack attribute bits
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CSKeywordFile;

constexpr size_t kBigShotNameSize = 64;

struct BigShotDesc {
    char particle[kBigShotNameSize] = {};
    char model[kBigShotNameSize] = {};
    float life = 2.0f;
    float speed = 0.0f;
    float radius = 10.0f;
    int32_t damage = 10;
    int32_t attribute = 1;
};

// Opens `path` quietly and reads it over the defaults in *desc; false when
// it cannot be opened (*desc keeps its values).
bool LoadBigShotFile(const char *path, BigShotDesc *desc);
// Reads an open file over the values in *desc.
void ReadBigShot(CSKeywordFile *file, BigShotDesc *desc);
std::string FormatBigShot(const BigShotDesc &desc);
