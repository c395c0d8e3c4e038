// The overlay over a running stage, screen 13 (see game_play_screen.h).
#include "ui/game_play_screen.h"

#include <algorithm>
#include <string>

#include "actor/hero.h"
#include "actor/item_icons.h"
#include "app/pack.h"
#include "app/textures.h"
#include "ui/pause_menu.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"

CSGamePlay *g_pGamePlay = nullptr;

namespace {

// Camera modes in which start opens the pause menu: play, and the views
// that leave the player in control.
bool CameraModeAllowsPause(int32_t mode) { return mode == 0 || mode == 3 || mode == 7 || mode == 8; }


}  // namespace

CSGamePlay::CSGamePlay() { g_pGamePlay = this; }

CSGamePlay::~CSGamePlay()
{
    Release();
    if (g_pGamePlay == this) {
        g_pGamePlay = nullptr;
    }
}

// ---- Textures

void CSGamePlay::LoadTextures()
{
    const bool packed = g_pUIManager != nullptr && g_pUIManager->OpenInterfacePack("GAMEPLAY");
    SetUIImagePath("\\RESOURCE\\UITEXT\\PAUSE\\");
    if (baseTexture_ == nullptr) {
        baseTexture_ = ReadTextureWithoutMask("BASE.BMP");
    }
    SetUIImagePath(kIconSheetFolder);
    if (iconSheets_ == nullptr) {
        iconSheets_ = std::make_unique<RwTexture *[]>(kHudIconSheets);
        for (int32_t sheet = 0; sheet < kHudIconSheets; ++sheet) {
            const std::string name = IconSheetName(sheet);
            const std::string mask = name.substr(0, name.size() - 4) + "A.BMP";
            iconSheets_[sheet] = LoadTextureWithMask(name.c_str(), mask.c_str());
        }
    }
    RwImageSetPath("");
    if (packed) {
        zuClosePack();
    }
}

void CSGamePlay::ReleaseTextures()
{
    if (iconSheets_ != nullptr) {
        for (int32_t sheet = 0; sheet < kHudIconSheets; ++sheet) {
            DestroyTexture(iconSheets_[sheet]);
        }
        iconSheets_.reset();
    }
    DestroyTexture(baseTexture_);
    baseTexture_ = nullptr;
}

RwTexture *CSGamePlay::GetHudTexture() const { return g_pUIManager != nullptr ? g_pUIManager->PlayerArt() : nullptr; }

// ---- Life

void CSGamePlay::CreateParts()
{
    if (pauseMenu_ == nullptr) {
        pauseMenu_ = std::make_unique<CSPauseMenu>();
    }
    if (bossGauge_ == nullptr) {
        bossGauge_ = std::make_unique<CSBossGauge>();
    }
    if (itemPopup_ == nullptr) {
        itemPopup_ = std::make_unique<CSItemPopup>();
    }
}

void CSGamePlay::ReleaseParts()
{
    if (pauseMenu_ != nullptr) {
        pauseMenu_->Close();
        pauseMenu_.reset();
    }
    panels_.clear();
    if (bossGauge_ != nullptr) {
        bossGauge_->Disable();
        bossGauge_.reset();
    }
    itemPopup_.reset();
}

void CSGamePlay::Release()
{
    ReleaseParts();
    ReleaseTextures();
    active = 0;
}

int32_t CSGamePlay::StageId() const { return UI().stageId(); }

void CSGamePlay::SetActive(bool on)
{
    if (active == on) {
        return;
    }
    active = on;
    if (on == 0) {
        if (bossGauge_ != nullptr && bossGauge_->Enabled()) {
            bossGauge_->Disable();
        }
        ReleaseTextures();
        ReleaseParts();
        return;
    }
    gameOver_ = false;
    LoadTextures();
    CreateParts();
    const UIScreenExtent screen = UIScreenSize();
    const int32_t heroes = UI().heroCount();
    for (int32_t i = 0; i < heroes; ++i) {
        CSHero *hero = UI().hero(i);
        const bool listed = std::any_of(panels_.begin(), panels_.end(),
                                        [hero](const std::unique_ptr<CSPlayerHUD> &p) { return p->hero == hero; });
        if (hero == nullptr || listed) {
            continue;
        }
        auto panel = std::make_unique<CSPlayerHUD>();
        panel->Init(static_cast<uint8_t>(i), hero, screen.width, screen.height);
        panels_.push_back(std::move(panel));
    }
    if (!bossGauge_->Enabled()) {
        bossGauge_->Start(StageId());
    }
}

void CSGamePlay::ResetForStage()
{
    const UIScreenExtent screen = UIScreenSize();
    for (std::unique_ptr<CSPlayerHUD> &panel : panels_) {
        panel->Init(panel->PlayerIndex(), UI().hero(panel->PlayerIndex()), screen.width, screen.height);
    }
    if (bossGauge_ != nullptr) {
        bossGauge_->Start(StageId());
    }
}

// ---- Forwards

void CSGamePlay::OpenPauseMenu(int32_t)
{
    if (pauseMenu_ != nullptr) {
        pauseMenu_->Open();
    }
}

uint8_t CSGamePlay::IsPauseMenuOpen() const { return pauseMenu_ != nullptr ? pauseMenu_->IsOpen() : 0; }

bool CSGamePlay::PauseMenuCoversScreen() const { return pauseMenu_ != nullptr && pauseMenu_->CoversScreen(); }

void CSGamePlay::ShowMoneyGain(int32_t amount)
{
    if (!panels_.empty()) {
        panels_.front()->moneyCounter.Add(true, amount);
    }
}

void CSGamePlay::RequestBossGauge()
{
    if (bossGauge_ != nullptr) {
        bossGauge_->RequestAttach();
    }
}

void CSGamePlay::UpdateHitCounter()
{
    if (!panels_.empty()) {
        CSPlayerHUD &first = *panels_.front();
        first.hitCounter.Show(first.hero);
    }
}

void CSGamePlay::ShowItemPopup(uint8_t flag, int32_t itemId)
{
    if (itemPopup_ != nullptr) {
        itemPopup_->Show(flag, itemId);
    }
}

bool CSGamePlay::IsItemPopupShown() const { return itemPopup_ != nullptr && itemPopup_->IsShown(); }

// ---- The frame

void CSGamePlay::Update(float seconds)
{
    if (active == 0) {
        return;
    }
    const uint32_t ms = UIFrameMs();
    // A panel whose hero has left the stage's list reads nothing more.
    for (std::unique_ptr<CSPlayerHUD> &panel : panels_) {
        if (panel->hero != nullptr && panel->hero != UI().hero(panel->PlayerIndex())) {
            panel->hero = nullptr;
        }
    }
    if (gameOver_) {
        for (std::unique_ptr<CSPlayerHUD> &panel : panels_) {
            if (panel->Enabled()) {
                panel->StepLifeTrail(ms);
            }
        }
        if (bossGauge_ != nullptr) {
            bossGauge_->StepTrail(ms);
        }
        return;
    }
    for (std::unique_ptr<CSPlayerHUD> &panel : panels_) {
        panel->Refresh(ms);
        panel->StepLowLifeBlink(ms);
        panel->StepPowerFullBlink(ms);
        if (panel->TrailRunning()) {
            panel->StepLifeTrail(ms);
        }
    }
    if (bossGauge_ != nullptr) {
        bossGauge_->Update(ms);
    }
    if (IsPauseMenuOpen() != 0) {
        pauseMenu_->Update(seconds);
        return;
    }
    if (g_pUIManager != nullptr) {
        g_pUIManager->AddStageTime(ms);
    }
    if (itemPopup_ != nullptr) {
        itemPopup_->Update(seconds);
    }
    if (g_pUIManager == nullptr || !g_pUIManager->IsFadeRunning()) {
        ReadPanelPads();
    }
    CheckHeroesDefeated();
}

void CSGamePlay::ReadPanelPads()
{
    for (std::unique_ptr<CSPlayerHUD> &panel : panels_) {
        const PadState &pad = UIPadState(panel->PadNumber());
        if (pad.connected == 0) {
            continue;
        }
        const bool start = pad.buttons[kPadStart] == kPadPressedState;
        // Start with select down is a chord (the developer menu's, the
        // hold back to the title), not a call for the pause menu.
        const bool chord = PadDown(pad, kPadSelect);
        if (start || UIMousePressed()) {
            if (UI().sceneRunning()) {
                UI().skipScene();
            } else if (start && !chord && CameraModeAllowsPause(UI().cameraMode()) && g_pUIManager != nullptr) {
                g_pUIManager->OpenPauseMenu(panel->PlayerIndex());
            }
        }
        panel->HandleItemSelect(pad);
    }
}

void CSGamePlay::CheckHeroesDefeated()
{
    const int32_t heroes = UI().heroCount();
    for (int32_t i = 0; i < heroes; ++i) {
        const CSHero *hero = UI().hero(i);
        if (hero != nullptr && hero->defeated) {
            gameOver_ = true;
            UI().requestStageChange(kDefeatTarget, 1, kDefeatTransitionMs);
            return;
        }
    }
}

// Its parts exist only while it is shown (SetActive makes and frees them):
// an overlay not shown has nothing to draw.
void CSGamePlay::Render()
{
    RwTexture *atlas = GetHudTexture();
    if (bossGauge_ != nullptr) {
        bossGauge_->Render(atlas);
    }
    if (itemPopup_ != nullptr) {
        itemPopup_->Render();
    }
    RwTexture *sheets[kHudIconSheets] = {};
    for (int32_t i = 0; i < kHudIconSheets; ++i) {
        sheets[i] = IconSheet(i);
    }
    for (std::unique_ptr<CSPlayerHUD> &panel : panels_) {
        panel->Render(atlas, sheets);
    }
    if (pauseMenu_ != nullptr) {
        pauseMenu_->Render();
    }
}
