// Screen 14: game over.
// A slot of the screen manager until the screen is built.
#pragma once

#include "ui/screen_slot.h"

class CSGameOver : public UIScreenSlot {};
