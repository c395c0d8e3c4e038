// The status page in the lobby (see lobby_status_page.h). Until the
// character page itself is part of the game, the page shows the map
// picture and returns to the menu on back, under the base-map cover, as
// the character page does.
#include "ui/lobby_status_page.h"

#include "ui/lobby_art.h"
#include "ui/ui_manager.h"

void LobbyStatusPage::SetActive(uint8_t on)
{
    if (on == active_) {
        return;
    }
    if (on == 0) {
        Release();
        return;
    }
    active_ = 1;
    closing_ = 0;
    g_pUIManager->StartBaseMapReveal();
}

void LobbyStatusPage::Update(float)
{
    if (active_ == 0) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    if (closing_ != 0) {
        if (!ui->IsBaseMapCovering()) {
            Release();
        }
        return;
    }
    const PadState &pad = UIPadState(ui->GetUIPad());
    if (pad.connected != 0 &&
        (pad.buttons[kPadCross] == kPadPressedState || pad.buttons[kPadSelect] == kPadPressedState)) {
        closing_ = 1;
        ui->StartBaseMapCover();
        ui->PlayUISound(kSoundPageBack, 0);
    }
}

void LobbyStatusPage::Render()
{
    if (active_ == 0) {
        return;
    }
    DrawPicture(g_pUIManager->MapBase(), {0, 0, 640, 480}, {0, 0, 1, 1});
}

void LobbyStatusPage::Release()
{
    active_ = 0;
    closing_ = 0;
}
