// Screen 16: the ranking of a finished stage.
// A slot of the screen manager until the screen is built.
#pragma once

#include "ui/screen_slot.h"

class CSRanking : public UIScreenSlot {};
