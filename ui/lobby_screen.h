// Screen 11: the lobby between stages.
// A slot of the screen manager until the screen is built.
#pragma once

#include "ui/screen_slot.h"

class CSLobby : public UIScreenSlot {};
