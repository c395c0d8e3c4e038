// The lobby's life, pack, menu and pages (see lobby_screen.h); its drawing
// is in lobby_draw.cpp.
#include "ui/lobby_screen.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/fatal.h"
#include "app/game_system.h"
#include "app/textures.h"
#include "ui/lobby_art.h"
#include "ui/lobby_status_page.h"
#include "ui/lobby_store.h"
#include "ui/save_game_panel.h"
#include "ui/save_slot_view.h"
#include "ui/stage_select.h"
#include "ui/ui_manager.h"
#include "ui/ui_trace.h"

CSLobby *g_pLobby = nullptr;

namespace {

constexpr int32_t kQuitWord = 2;

}  // namespace

CSLobby::CSLobby() { g_pLobby = this; }

CSLobby::~CSLobby()
{
    Release();
    if (g_pLobby == this) {
        g_pLobby = nullptr;
    }
}

void CSLobby::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    if (on == 0) {
        stream.Close();
        DestroyTexture(slotWords);
        DestroyTexture(stagePhotos);
        slotWords = nullptr;
        stagePhotos = nullptr;
        baseMap = lobbyArt = playerArt = wordArt = mapBase = nullptr;
        ReleasePages();
        picturesRead_ = false;
        pagePending = false;
        openPage = kMenu;
        active = 0;
        return;
    }
    // Its leaving (or its making) left the menu closed, nothing pending or
    // read and no stream.
    active = 1;
    cursorEntry = 0;
    g_pUIManager->StartBaseMapReveal();
    CreatePages();
    LayOut();
    cursor.Reset(0, targets, kEntries);
    BorrowTextures();
}

void CSLobby::Release()
{
    SetActive(0);
    stageSelect.reset();
    store.reset();
    savePanel.reset();
    statusPage.reset();
}

void CSLobby::ReleaseTextures()
{
    // The lobby's own pictures live only while it is shown.
    if (active == 0) {
        DestroyTexture(slotWords);
        DestroyTexture(stagePhotos);
        slotWords = nullptr;
        stagePhotos = nullptr;
    }
}

void CSLobby::CreatePages()
{
    if (stageSelect == nullptr) {
        stageSelect = std::make_unique<CSStageSelect>();
    }
    if (store == nullptr) {
        store = std::make_unique<CSLobbyStore>();
    }
    if (savePanel == nullptr) {
        savePanel = std::make_unique<CSSaveGame>();
    }
    if (statusPage == nullptr) {
        statusPage = std::make_unique<LobbyStatusPage>();
    }
}

void CSLobby::ReleasePages()
{
    // Only a shown lobby is left, and showing it made every page.
    stageSelect->Release();
    store->Release();
    savePanel->Release();
    statusPage->Release();
}

void CSLobby::BorrowTextures()
{
    CSUIManager *ui = g_pUIManager;
    baseMap = ui->BaseMap();
    lobbyArt = ui->LobbyArt();
    playerArt = ui->PlayerArt();
    wordArt = ui->WordArt();
    mapBase = ui->MapBase();
    stream.Request(std::string(UIDataRoot()) + "\\PACK\\UI0\\UILOBBY.STR");
}

void CSLobby::StreamPack()
{
    const UIPackStream::State state = stream.GetState();
    if (state == UIPackStream::kRequested || state == UIPackStream::kReading) {
        stream.Step();
    }
    if (stream.Failed()) {
        // Without its pack the lobby can do nothing: the game returns to the title.
        const std::string path = stream.Path();
        stream.Close();
        RaiseFatalError(path.c_str());
    }
}

void CSLobby::LoadTextures()
{
    const bool packed = stream.OpenPack();
    if (stagePhotos == nullptr) {
        stagePhotos = ReadStagePhotoArt();
    }
    if (slotWords == nullptr && UILanguage() <= 14) {
        slotWords = ReadSlotWordArt();
    }
    if (packed) {
        stream.CloseOpenedPack();
    }
    stream.Close();
    picturesRead_ = true;
    const Figures figures = StatusFigures();
    TraceLobbyFigures(figures.maxHP, figures.maxPower, figures.money, figures.stagesCleared,
                      g_pUIManager->progress.playTimeMs / 1000);
}

void CSLobby::Update(float seconds)
{
    if (active == 0) {
        return;
    }
    if (stream.Complete()) {
        LoadTextures();
    }
    StreamPack();
    cursor.Step(seconds, targets, kEntries);
    if (openPage == kMenu) {
        UpdateMenu();
    } else if (openPage != kQuitBox) {
        UpdatePage(seconds);
    }
}

void CSLobby::UpdateMenu()
{
    if (pagePending) {
        OpenPendingPage();
        return;
    }
    CSUIManager *ui = g_pUIManager;
    const PadState &pad = UIPadState(ui->GetUIPad());
    if (pad.connected == 0 || !picturesRead_) {
        return;
    }
    for (const auto &[button, step] : {std::pair{kPadUp, -1}, std::pair{kPadDown, 1}}) {
        if (!PadPressed(pad, button)) {
            continue;
        }
        const int32_t entry = std::clamp(cursorEntry + step, 0, kEntries - 1);
        if (entry != cursorEntry) {
            cursorEntry = entry;
            cursor.Move(static_cast<uint32_t>(entry), 1.0f);
            ui->PlayUISound(kUISoundMove, 0);
        }
    }
    if (PadPressed(pad, kPadCircle) || PadPressed(pad, kPadStart) || UIMousePressed()) {
        ConfirmEntry();
    }
}

void CSLobby::ConfirmEntry()
{
    CSUIManager *ui = g_pUIManager;
    if (cursorEntry < kEntries - 1) {
        ui->StartBaseMapCover();
        pagePending = true;
        ui->PlayUISound(kUISoundConfirm, 0);
        return;
    }
    openPage = kQuitBox;
    TraceLobbyPage(openPage);
    ui->ShowModalBox(ui->words.Word(kQuitWord), &CSLobby::OnQuitAnswer, baseMap, 0);
    ui->PlayUISound(kSoundQuestion, 0);
}

void CSLobby::OnQuitAnswer(uint32_t answer, uint32_t)
{
    CSLobby *lobby = g_pLobby;
    if (lobby == nullptr) {
        return;
    }
    lobby->openPage = kMenu;
    TraceLobbyPage(kMenu);
    if (answer == 1) {
        lobby->SetActive(0);
        RequestStageExit();
    }
}

void CSLobby::OpenPendingPage()
{
    if (g_pUIManager->IsBaseMapCovering()) {
        return;
    }
    switch (cursorEntry) {
    case 0: stageSelect->SetActive(1); break;
    case 1: statusPage->Open(); break;
    case 2: store->SetActive(1); break;
    case 3:
        savePanel->OfferPictures(slotWords, stagePhotos);
        savePanel->SetActive(1);
        break;
    default: break;
    }
    pagePending = false;
    openPage = static_cast<uint32_t>(cursorEntry + 1);
    TraceLobbyPage(openPage);
}

void CSLobby::UpdatePage(float seconds)
{
    bool pageActive = false;
    switch (openPage) {
    case kStageSelectPage:
        pageActive = stageSelect->Active();
        if (pageActive) {
            stageSelect->Update(static_cast<uint32_t>(std::lround(seconds * 1000.0f)));
        }
        break;
    case kStatusPage:
        pageActive = statusPage->Active();
        if (pageActive) {
            statusPage->Update(seconds);
        }
        break;
    case kStorePage:
        pageActive = store->Active();
        if (pageActive) {
            store->Update(static_cast<uint32_t>(std::lround(seconds * 1000.0f)));
        }
        break;
    case kSavePage:
        pageActive = savePanel->active != 0;
        if (pageActive) {
            savePanel->Update();
        }
        break;
    default: break;
    }
    if (!pageActive && active != 0) {
        openPage = kMenu;
        TraceLobbyPage(kMenu);
        g_pUIManager->StartBaseMapReveal();
    }
}
