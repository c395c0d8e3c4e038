// Reading a sound file whole, the way every game file is opened (so interface sounds
// can come out of the open pack).
#pragma once

#include <cstdint>
#include <vector>

namespace game {

// False with a diagnostic when the file cannot be read.
bool ReadSoundFile(const char *path, std::vector<uint8_t> *bytes);

}  // namespace game
