// Screen 13: the in-game overlay over a running stage, with its pause menu.
// A slot of the screen manager until the overlay is built: the manager's
// forwards to it do nothing (no pause menu); its HUD texture is the PLAYER
// atlas it borrows from the manager, as the overlay's will be.
#pragma once

#include <cstdint>

#include "ui/screen_slot.h"

struct RwTexture;

class CSGamePlay : public UIScreenSlot {
public:
    void OpenPauseMenu(int32_t /*page*/) {}
    uint8_t IsPauseMenuOpen() const { return 0; }
    RwTexture *GetHudTexture() const;
    void UpdateHitCounter() {}
    void ShowMoneyGain(int32_t /*amount*/) {}
    void ResetStageHUD() {}
    void RequestBossGauge() {}
};
