// Sound files read whole. Until the pack-aware file layer exists this reads plain files.
#include "app/sound_file.h"

#include <cstdio>

namespace game {

bool ReadSoundFile(const char *path, std::vector<uint8_t> *bytes)
{
    bytes->clear();
    std::FILE *file = std::fopen(path, "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "zufopen fail: %s\n", path);
        return false;
    }
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

}  // namespace game
