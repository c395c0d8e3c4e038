// Sound files read whole through the pack-aware file layer, so interface sounds can
// come out of the open pack.
#include "app/sound_file.h"

#include "app/file.h"

namespace game {

bool ReadSoundFile(const char *path, std::vector<uint8_t> *bytes) { return zufReadAll(path, bytes); }

}  // namespace game
