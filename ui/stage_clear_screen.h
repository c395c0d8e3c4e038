// Screen 17: the stage clear after the final stages.
// A slot of the screen manager until the screen is built.
#pragma once

#include "ui/screen_slot.h"

class CSStageClear : public UIScreenSlot {};
