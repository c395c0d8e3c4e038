// The game's sound as a port (see sound_port.h).
#include "stage/sound_port.h"

SoundPort GameSoundPort() { return SoundPort{}; }
