// The "Game Mode" message box (see mode_dialog.h).
#include "app/mode_dialog.h"

#include <SDL.h>

#include "app/quit_signal.h"

namespace {

// Buttons left to right in the modes' order; Return takes the first.
const SDL_MessageBoxButtonData kButtons[] = {
    {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Window 640x480"},
    {0, 2, "Window 800x600"},
    {0, 3, "Full screen 640x480"},
    {0, 4, "Full screen 800x600"},
};

}  // namespace

const SDL_MessageBoxButtonData *GameModeButtons(int *count)
{
    *count = static_cast<int>(SDL_arraysize(kButtons));
    return kButtons;
}

int ChooseGameMode(std::string *why)
{
    const SDL_MessageBoxData box = {
        SDL_MESSAGEBOX_INFORMATION | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
        nullptr,
        "Game Mode",
        "Choose the video mode.",
        SDL_arraysize(kButtons),
        kButtons,
        nullptr,
    };
    int chosen = -1;
    int shown{};
    // A quit signal ends the box as closing it does.
    if (!ShowBoxUntilQuitSignal([&] { shown = SDL_ShowMessageBox(&box, &chosen); })) {
        return 0;
    }
    if (shown != 0) {
        *why = SDL_GetError();
        return -1;
    }
    return chosen >= 1 && chosen <= 4 ? chosen : 0;
}
