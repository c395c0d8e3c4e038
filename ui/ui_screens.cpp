// The screen manager's dispatch: each screen's activation, update, draw
// and release, chosen by a switch on its number.
#include "app/movie_player.h"
#include "app/pack.h"
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
#include "ui/ui_manager.h"
#include "ui/warning_screen.h"

void CSUIManager::ActivateScreen(uint32_t number, bool on)
{
    switch (number) {
    case kUIWarning: warning_->SetActive(on); break;
    case kUIPublisherLogo: publisherLogo_->SetActive(on); break;
    case kUIMakerLogo: makerLogo_->SetActive(on); break;
    case kUIStillLogo: stillLogo_->SetActive(on); break;
    case kUIOpeningMovie: openingMovie_->SetActive(on); break;
    case kUITitle: title_->SetActive(on); break;
    case kUISelectCharacter: selectCharacter_->SetActive(on); break;
    case kUISaveLoad: saveLoad_->SetActive(on); break;
    case kUIOption: option_->SetActive(on); break;
    case kUILobby: lobby_->SetActive(on); break;
    case kUIEnterStage: enterStage_->SetActive(on); break;
    case kUIGamePlay: gamePlay_->SetActive(on); break;
    case kUIGameOver: gameOver_->SetActive(on); break;
    case kUIStageEnd: stageEnd_->SetActive(on); break;
    case kUIRanking: ranking_->SetActive(on); break;
    case kUIStageClear: stageClear_->SetActive(on); break;
    default: break;
    }
}

void CSUIManager::UpdateScreen(uint32_t number, uint32_t ms)
{
    const float seconds = static_cast<float>(ms) * 0.001f;
    switch (number) {
    case kUIWarning: warning_->Update(ms); break;
    case kUIPublisherLogo: publisherLogo_->Update(); break;
    case kUIMakerLogo: makerLogo_->Update(); break;
    case kUIStillLogo: stillLogo_->Update(ms); break;
    case kUIOpeningMovie: openingMovie_->Update(); break;
    case kUITitle: title_->Update(ms); break;
    case kUISelectCharacter: selectCharacter_->Update(ms); break;
    case kUISaveLoad: saveLoad_->Update(); break;
    case kUIOption: option_->Update(ms); break;
    case kUILobby: lobby_->Update(seconds); break;
    case kUIEnterStage: enterStage_->Update(); break;
    case kUIGamePlay: gamePlay_->Update(seconds); break;
    case kUIGameOver: gameOver_->Update(ms); break;
    case kUIStageEnd: stageEnd_->Update(ms); break;
    case kUIRanking: ranking_->Update(ms); break;
    case kUIStageClear: stageClear_->Update(ms); break;
    default: break;
    }
}

void CSUIManager::RenderScreen(uint32_t number)
{
    switch (number) {
    case kUIWarning: warning_->Render(); break;
    case kUIStillLogo: stillLogo_->Render(); break;
    case kUITitle: title_->Render(); break;
    case kUISelectCharacter: selectCharacter_->Render(); break;
    case kUISaveLoad: saveLoad_->Render(); break;
    case kUIOption: option_->Render(); break;
    case kUILobby: lobby_->Render(); break;
    case kUIGamePlay:
        // Under the letterbox or a movie only the pause menu is drawn.
        if (gamePlay_->IsPauseMenuOpen() != 0 || (letterboxOn_ == 0 && !UI().isMoviePlaying())) {
            gamePlay_->Render();
        }
        break;
    case kUIGameOver: gameOver_->Render(); break;
    case kUIStageEnd: stageEnd_->Render(); break;
    case kUIRanking: ranking_->Render(); break;
    case kUIStageClear: stageClear_->Render(); break;
    default: break;  // 2, 3, 6 and 12 draw nothing
    }
}

void CSUIManager::ReleaseScreens()
{
    warning_.reset();
    publisherLogo_.reset();
    makerLogo_.reset();
    stillLogo_.reset();
    stillLogo2_.reset();
    openingMovie_.reset();
    title_.reset();
    selectCharacter_.reset();
    saveLoad_.reset();
    lobby_.reset();
    enterStage_.reset();
    gamePlay_.reset();
    gameOver_.reset();
    stageEnd_.reset();
    ranking_.reset();
    option_.reset();
    stageClear_.reset();
}

void CSUIManager::LoadFrontEndTextures()
{
    // A missing pack has been reported; the pictures are then read from
    // their folders (and there is nothing to close).
    OpenInterfacePack("UIMAP");
    if (stillLogo_ != nullptr) {
        stillLogo_->LoadTexture();
    }
    if (title_ != nullptr) {
        title_->LoadTextures();
    }
    if (selectCharacter_ != nullptr) {
        selectCharacter_->LoadTextures();
    }
    if (saveLoad_ != nullptr) {
        saveLoad_->LoadTextures();
    }
    if (option_ != nullptr) {
        option_->LoadTextures();
    }
    zuClosePack();
}

void CSUIManager::ReleaseFrontEndTextures()
{
    if (warning_ != nullptr) {
        warning_->ReleaseTexture();
    }
    if (stillLogo_ != nullptr) {
        stillLogo_->ReleaseTexture();
    }
    if (stillLogo2_ != nullptr) {
        stillLogo2_->ReleaseTexture();
    }
    if (title_ != nullptr) {
        title_->ReleaseTextures();
    }
    if (selectCharacter_ != nullptr) {
        selectCharacter_->ReleaseTextures();
    }
    if (saveLoad_ != nullptr) {
        saveLoad_->ReleaseTextures();
    }
    if (option_ != nullptr) {
        option_->ReleaseTextures();
    }
}

void CSUIManager::ReleaseOtherUIModuleTexture()
{
    ranking_->ReleaseTextures();
    lobby_->ReleaseTextures();
    gameOver_->ReleaseTextures();
    stageClear_->ReleaseTextures();
    gamePlay_->ReleaseTextures();
}
