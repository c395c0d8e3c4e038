// The status page in the lobby (see lobby_status_page.h).
#include "ui/lobby_status_page.h"

#include "ui/ui_manager.h"

void LobbyStatusPage::Open()
{
    page_.SetBackground(g_pUIManager->MapBase());
    page_.SetActive(1);
    g_pUIManager->StartBaseMapReveal();
}

void LobbyStatusPage::Update(float seconds) { page_.Update(seconds); }

void LobbyStatusPage::Render() { page_.Render(); }

void LobbyStatusPage::Release() { page_.SetActive(0); }
