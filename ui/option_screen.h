// Screen 10: the options and key binding.
// A slot of the screen manager until the screen is built.
#pragma once

#include "ui/screen_slot.h"

class CSOption : public UIScreenSlot {};
