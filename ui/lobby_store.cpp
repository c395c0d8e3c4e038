// The lobby's store (see lobby_store.h).
#include "ui/lobby_store.h"

#include "ui/lobby_art.h"
#include "ui/ui_manager.h"

void CSLobbyStore::SetActive(uint8_t on)
{
    if (on == active) {
        return;
    }
    if (on == 0) {
        Release();
        return;
    }
    active = 1;
    closing = 0;
    g_pUIManager->StartBaseMapReveal();
}

void CSLobbyStore::Update(uint32_t)
{
    if (active == 0) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    if (closing != 0) {
        if (!ui->IsBaseMapCovering()) {
            Release();
        }
        return;
    }
    const PadState &pad = UIPadState(ui->GetUIPad());
    if (pad.connected != 0 &&
        (pad.buttons[kPadCross] == kPadPressedState || pad.buttons[kPadSelect] == kPadPressedState)) {
        closing = 1;
        ui->StartBaseMapCover();
        ui->PlayUISound(kSoundPageBack, 0);
    }
}

void CSLobbyStore::Render()
{
    if (active != 0) {
        DrawPicture(g_pUIManager->MapBase(), {0, 0, 640, 480}, {0, 0, 1, 1});
    }
}

void CSLobbyStore::Release()
{
    active = 0;
    closing = 0;
}
