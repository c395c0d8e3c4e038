// The screen manager's life, tick and draw (see ui_manager.h).
#include "ui/ui_manager.h"

#include "app/application.h"
#include "app/game_system.h"
#include "app/input.h"
#include "app/path.h"
#include "app/screen_coords.h"
#include "app/text_block.h"
#include "app/textures.h"
#include "ui/game_over_screen.h"
#include "ui/game_play_screen.h"
#include "ui/lobby_screen.h"
#include "ui/logo_screens.h"
#include "ui/option_screen.h"
#include "ui/ranking_screen.h"
#include "ui/save_load_screen.h"
#include "ui/select_character.h"
#include "ui/stage_clear_screen.h"
#include "ui/stage_entry_screens.h"
#include "ui/title_screen.h"
#include "ui/ui_links.h"
#include "ui/ui_rect.h"
#include "ui/ui_text_blocks.h"
#include "ui/ui_trace.h"
#include "ui/warning_screen.h"

CSUIManager *g_pUIManager = nullptr;

namespace {

constexpr uint32_t kHoldToTitleMs = 3000;

}  // namespace

const char *UIDataRoot() { return GetDataRootPath(); }

void SetUIImagePath(const char *folder) { RwImageSetPath((std::string(UIDataRoot()) + folder).c_str()); }

int32_t UILanguage() { return g_pGameSystem != nullptr ? g_pGameSystem->language : 1; }

const char *UILanguageFolder() { return UILanguage() == 0 ? "\\CHI\\" : "\\ENG\\"; }

uint32_t UIFrameMs() { return g_pGameSystem != nullptr ? g_pGameSystem->FrameMs() : 16; }

UIScreenExtent UIScreenSize()
{
    if (g_pApplication != nullptr) {
        return {GetScreenWidth(), GetScreenHeight()};
    }
    return {ScreenClientWidth(), ScreenClientHeight()};
}

const PadState &UIPadState(int32_t index)
{
    static const PadState kNoPad = {};
    if (g_pGameSystem == nullptr || index < 0 || index >= kPadsPerBlock) {
        return kNoPad;
    }
    return g_pGameSystem->padStates[kPadStateBlock][index];
}

bool UIMousePressed() { return MouseButtonState == 1; }

CSUIManager::CSUIManager()
{
    g_pUIManager = this;
    // The screens in number order, except that 10 comes after 16.
    warning_ = std::make_unique<CSWarning>();
    publisherLogo_ = std::make_unique<CSPublisherLogo>();
    makerLogo_ = std::make_unique<CSMakerLogo>();
    stillLogo_ = std::make_unique<CSStillLogo>();
    openingMovie_ = std::make_unique<CSOpeningMovie>();
    title_ = std::make_unique<CSTitle>();
    selectCharacter_ = std::make_unique<CSSelectCharacter>();
    saveLoad_ = std::make_unique<CSSaveLoad>();
    lobby_ = std::make_unique<CSLobby>();
    enterStage_ = std::make_unique<CSEnterStage>();
    gamePlay_ = std::make_unique<CSGamePlay>();
    gameOver_ = std::make_unique<CSGameOver>();
    stageEnd_ = std::make_unique<CSStageEnd>();
    ranking_ = std::make_unique<CSRanking>();
    option_ = std::make_unique<CSOption>();
    stageClear_ = std::make_unique<CSStageClear>();
    fadeQuad_ = std::make_unique<UIQuad>();
    letterboxTop_ = std::make_unique<UIQuad>();
    letterboxBottom_ = std::make_unique<UIQuad>();
    hudFrame_ = std::make_unique<UIQuad>();
    hudFill_ = std::make_unique<UIQuad>();
    ResetHeroBlock();
    ClearProgressBlock();
    LayOutManagerQuads();
}

void CSUIManager::LayOutManagerQuads()
{
    // The fade and the letterbox bars are drawn with no texture.
    PlaceUntexturedQuad(fadeQuad_.get(), kUIScreen, 0xFF000000u);
    PlaceUntexturedQuad(letterboxTop_.get(), {0, 0, 640, 70}, 0xFF000000u);
    PlaceUntexturedQuad(letterboxBottom_.get(), {0, 410, 640, 480}, 0xFF000000u);
    PlaceUIQuad(hudFrame_.get(), 0, 0, 65, 5, 289, 84, 354, 89, 0xFFF0F0F0u);
    PlaceUIQuad(hudFill_.get(), 0, 0, 63, 3, 360, 85, 365, 90, 0xFFF00000u);
}

CSUIManager::~CSUIManager()
{
    ReleaseUISounds();
    StopBGM(0);
    ReleaseScreens();
    ReleaseModalBox();
    for (CSTextBlock *&block : promptTexts_) {
        GiveBackTextBlock(block);
    }
    DestroyTexture(playerArt_);
    DestroyTexture(wordArt_);
    DestroyTexture(baseMap_);
    playerArt_ = wordArt_ = baseMap_ = nullptr;
    ReleaseFrontEndTextures();
    ReleaseLobbyTextures();
    ReleaseWordTable();
    ReleaseKeyPrompts();
    shadePanel_.reset();
    DestroyTexture(equipArtTexture_);
    equipArtTexture_ = nullptr;
    weaponIcons_.clear();
    equipArt_.clear();
    smallDigits_.clear();
    largeDigits_.clear();
    mediumDigits_.clear();
    if (g_pGameSystem != nullptr) {
        g_pGameSystem->messageBox.SetFrameTexture(nullptr);
    }
    if (g_pUIManager == this) {
        g_pUIManager = nullptr;
    }
}

int32_t CSUIManager::Update() { return Update(UIFrameMs()); }

int32_t CSUIManager::Update(uint32_t ms)
{
    CheckHoldToTitle(ms);
    StepMusicFade(ms);
    if (modalOpen_) {
        UpdateModalBox(static_cast<float>(ms) * 0.001f);
        return 0;
    }
    if (SwitchModule()) {
        return static_cast<int32_t>(currentScreen_);
    }
    UpdateScreen(currentScreen_, ms);
    StepFade(ms);
    return static_cast<int32_t>(requestedScreen_);
}

void CSUIManager::Render()
{
    SetInterfaceRenderStates();
    if (modalOpen_ && modalPicture_ != nullptr && modalPicture_->picture.texture != nullptr) {
        DrawModalBox();
        SetDepthTestAndWrite(true);
        return;
    }
    DrawLetterbox();
    if (UI().hasStage()) {
        DrawHudBars();
        UI().updateMessageWindow();
        SetInterfaceRenderStates();
    }
    RenderScreen(requestedScreen_);
    if (modalOpen_) {
        DrawModalBox();
    }
    SetDepthTestAndWrite(true);
}

void CSUIManager::RequestModule(uint32_t number)
{
    if (number < 1 || number > kUIScreenCount || number == kUIStillLogo2) {
        return;
    }
    requestedScreen_ = number;
    TraceScreenRequest(number);
}

bool CSUIManager::SwitchModule()
{
    if (requestedScreen_ == currentScreen_) {
        return false;
    }
    if (currentScreen_ != kUINoScreen) {
        ActivateScreen(currentScreen_, 0);
    }
    currentScreen_ = requestedScreen_;
    TraceScreenSwitch(currentScreen_);
    if (currentScreen_ == kUITitle && g_pGameSystem != nullptr) {
        // From here on a fatal report returns to the title.
        g_pGameSystem->messageBox.SetTitleReached();
    }
    ActivateScreen(currentScreen_, 1);
    CursorRequest = 1;
    return true;
}

void CSUIManager::CheckHoldToTitle(uint32_t ms)
{
    if (uiPad_ < 0) {
        return;
    }
    const PadState &pad = UIPadState(uiPad_);
    if (pad.connected == 0 || !PadDown(pad, kPadSelect) || !PadDown(pad, kPadStart)) {
        holdToTitleMs_ = kUINoTimer;
        return;
    }
    holdToTitleMs_ = holdToTitleMs_ == kUINoTimer ? ms : holdToTitleMs_ + ms;
    if (holdToTitleMs_ > kHoldToTitleMs) {
        RequestStageExit();
        holdToTitleMs_ = kUINoTimer;
    }
}

void CSUIManager::StartAtScreen(uint32_t number)
{
    // What the warning, the logo screens and the opening movie would have
    // loaded on the way.
    UI().unloadHeroes();
    ResetVolumes();
    MarkStartValue();
    LoadFrontEndTextures();
    if (UILanguage() == 0) {
        LoadCommonTextures();
    }
    UI().createSubObjects1();
    UI().loadEffectsPack();
    LoadUISounds();
    if (g_pGameSystem != nullptr) {
        g_pGameSystem->StartACosTableThread();
    }
    // As the title does when pad 0 starts the game.
    if (number != kUITitle) {
        uiPad_ = 0;
    }
    RequestModule(number);
    SwitchModule();
}

// ---- Forwards to the in-game overlay.

void CSUIManager::OpenPauseMenu(int32_t page)
{
    TraceScreenPause(page);
    if (gamePlay_ != nullptr) {
        gamePlay_->OpenPauseMenu(page);
    }
}

uint8_t CSUIManager::IsPauseMenuOpen() const { return gamePlay_ != nullptr ? gamePlay_->IsPauseMenuOpen() : 0; }

bool CSUIManager::HidesStage() const
{
    // Render draws a modal box with a picture alone, and the screen asked for.
    if (modalOpen_ && modalPicture_ != nullptr && modalPicture_->picture.texture != nullptr) {
        return false;
    }
    switch (requestedScreen_) {
    case kUIGamePlay: return gamePlay_ != nullptr && gamePlay_->active != 0 && gamePlay_->PauseMenuCoversScreen();
    case kUIGameOver: return gameOver_ != nullptr && gameOver_->CoversScreen();
    default: return false;
    }
}

RwTexture *CSUIManager::GetHudTexture() const { return gamePlay_ != nullptr ? gamePlay_->GetHudTexture() : nullptr; }

void CSUIManager::UpdateHitCounter()
{
    if (gamePlay_ != nullptr) {
        gamePlay_->UpdateHitCounter();
    }
}

void CSUIManager::ShowMoneyGain(int32_t amount)
{
    if (gamePlay_ != nullptr) {
        gamePlay_->ShowMoneyGain(amount);
    }
}

void CSUIManager::ResetStageHUD()
{
    if (gamePlay_ != nullptr) {
        gamePlay_->ResetForStage();
    }
}

void CSUIManager::ShowItemPopup(uint8_t flag, int32_t itemId)
{
    if (gamePlay_ != nullptr) {
        gamePlay_->ShowItemPopup(flag, itemId);
    }
}

bool CSUIManager::IsItemPopupShown() const { return gamePlay_ != nullptr && gamePlay_->IsItemPopupShown(); }

void CSUIManager::RequestBossGauge()
{
    TraceScreenGauge();
    if (gamePlay_ != nullptr) {
        gamePlay_->RequestBossGauge();
    }
}
