// CSGamePlay, screen 13: the overlay over a running stage. It owns a panel
// per hero (player_hud.h), the boss gauge (boss_gauge.h) and the item popup
// (item_popup.h). Each frame it refreshes the panels from the heroes,
// reads each hero's pad for start (skip the running scene, else the pause
// menu) and the quick-item keys, advances the stage play time and watches
// for a defeated hero, after which it only lets the bars drain while the
// stage leaves for the game-over screen.
//
// Gameplay reaches the overlay only through the screen manager's forwards,
// which do nothing while the overlay does not exist.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/boss_gauge.h"
#include "ui/item_popup.h"
#include "ui/player_hud.h"

class CSPauseMenu;
struct RwTexture;

class CSGamePlay {
public:
    static constexpr int32_t kDefeatTarget = -1;  // the stage change to the game-over screen
    static constexpr uint32_t kDefeatTransitionMs = 2000;

    CSGamePlay();
    ~CSGamePlay();
    CSGamePlay(const CSGamePlay &) = delete;
    CSGamePlay &operator=(const CSGamePlay &) = delete;

    // On: textures, the parts and a panel per hero of the stage, the boss
    // gauge started for the stage; off: all of it given back.
    void SetActive(bool on);
    // One frame; the panels and the gauge count the game system's frame ms,
    // the popup these seconds.
    void Update(float seconds);
    void Render();
    // At each stage load, once the heroes stand: every panel reads its
    // hero again and the boss gauge starts for the new stage.
    void ResetForStage();

    // The menu always opens at its list: the page is not used.
    void OpenPauseMenu(int32_t page);
    uint8_t IsPauseMenuOpen() const;
    // The pause menu is open over a picture that hides the whole screen.
    bool PauseMenuCoversScreen() const;
    // The PLAYER atlas the overlay draws with: the screen manager's.
    RwTexture *GetHudTexture() const;
    // The first panel's money counter gains the amount.
    void ShowMoneyGain(int32_t amount);
    void RequestBossGauge();
    // The first panel's hit counter reads its hero's count.
    void UpdateHitCounter();
    void ShowItemPopup(uint8_t flag, int32_t itemId);
    bool IsItemPopupShown() const;

    // GAMEPLAY's BASE.BMP and the six item icon sheets; the PLAYER and
    // WORD atlases borrowed from the screen manager.
    void LoadTextures();
    void ReleaseTextures();
    // The parts, then the textures.
    void Release();

    bool active = false;

    bool GameOver() const { return gameOver_; }
    int32_t PanelCount() const { return static_cast<int32_t>(panels_.size()); }
    CSPlayerHUD *Panel(int32_t i) const { return panels_[static_cast<size_t>(i)].get(); }
    CSBossGauge *BossGauge() const { return bossGauge_.get(); }
    CSItemPopup *ItemPopup() const { return itemPopup_.get(); }
    RwTexture *IconSheet(int32_t i) const { return iconSheets_ != nullptr ? iconSheets_[i] : nullptr; }
    RwTexture *BaseTexture() const { return baseTexture_; }
    CSPauseMenu *PauseMenu() const { return pauseMenu_.get(); }

private:
    void CreateParts();
    void ReleaseParts();
    void CheckHeroesDefeated();
    void ReadPanelPads();
    int32_t StageId() const;

    std::unique_ptr<CSPauseMenu> pauseMenu_;
    std::vector<std::unique_ptr<CSPlayerHUD>> panels_;
    std::unique_ptr<CSBossGauge> bossGauge_;
    std::unique_ptr<CSItemPopup> itemPopup_;
    std::unique_ptr<RwTexture *[]> iconSheets_;
    RwTexture *baseTexture_ = nullptr;
    bool gameOver_ = false;
};

// The overlay, for its panels and the pause menu (null outside its life).
extern CSGamePlay *g_pGamePlay;
