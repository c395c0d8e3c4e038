// Screen 9: the load screen of saved games.
// A slot of the screen manager until the screen is built.
#pragma once

#include "ui/screen_slot.h"

class CSSaveLoad : public UIScreenSlot {};
