// The stage entry and the stage end (see stage_entry_screens.h).
#include "ui/stage_entry_screens.h"

#include <algorithm>

#include "actor/hero.h"
#include "ui/select_character.h"
#include "ui/stage_table.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"

namespace {


}  // namespace

void CSEnterStage::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    if (on == 0) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    ui->ReleaseFrontEndTextures();
    if (CSSelectCharacter *selection = ui->SelectCharacter()) {
        selection->ReleaseCharacterModel();
    }
    UI().unloadHeroes();
    const UILinks &l = UI();
    const uint32_t id = ui->GetStageId();
    l.activateLoading(1, static_cast<int32_t>(id));
    l.loadingProgress(0.0f);
    ui->CheckExtraStages();
    void (*const parts[6])() = {l.createSubObjects1, l.loadEffectsPack, l.createSubObjects2,
                                l.loadItemsPack,     l.loadEventsPack,  l.loadHeroesOnce};
    const bool newGame = id == kFirstStageId && ui->progress.cleared[StageNumberToSlot(1)] == 0;
    if (newGame) {
        for (auto part : parts) {
            part();
        }
        l.loadingProgress(0.1f);
        // The stage load that follows turns the loading screen off.
        ui->RequestModule(kUIGamePlay);
        ui->SwitchModule();
        l.requestStageChange(kFirstStageId, 0, kFirstStageChangeMs);
        if (l.hasItemOwner()) {
            l.resetItemRange();
        }
        ui->ApplyCarriedState();
        return;
    }
    static const float kSteps[6] = {0.1f, 0.2f, 0.3f, 0.5f, 0.7f, 0.9f};
    for (int i = 0; i < 6; ++i) {
        parts[i]();
        l.loadingProgress(kSteps[i]);
    }
    ui->LoadLobbyTextures(nullptr);
    l.loadingProgress(1.0f);
    l.activateLoading(0, static_cast<int32_t>(id));
    ui->RequestModule(kUILobby);
    ui->SwitchModule();
    ui->ApplyCarriedState();
}

void CSStageEnd::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    if (on == 0) {
        picture = nullptr;
        return;
    }
    CSUIManager *ui = g_pUIManager;
    // What the ranking and the stage clear read of the first hero, taken
    // as the stage is released.
    ui->CopyHeroBestCounter();
    ui->CopyHeroValue();
    UI().loadStage(0);
    finishedStage = UI().stageNumber();
    ui->MarkStageCleared(finishedStage);
    ui->SetLastStageId(finishedStage);
    // The progress block carries the stage the game goes on from, as a save
    // records it (a stage outside the table leaves the last one standing).
    ui->progress.lastStageId = ui->GetLastStageId();
    // The first stage has no ranking to pay its pickups: they go into the
    // first hero's money here, so that none is lost.
    if (finishedStage == 1) {
        if (CSHero *hero = UI().firstHero()) {
            const int64_t money = static_cast<int64_t>(hero->money) + hero->stageMoney;
            hero->SetMoney(static_cast<int32_t>(std::clamp<int64_t>(money, 0, kHeroMoneyMax)));
            hero->stageMoney = 0;
        }
    }
    picture = ui->BaseMap();
    timerMs = 0;
}

void CSStageEnd::Update(uint32_t ms)
{
    if (active == 0) {
        return;
    }
    if (timerMs <= kCoverMs) {
        timerMs += ms;
        return;
    }
    CSUIManager *ui = g_pUIManager;
    ui->LoadLobbyTextures(nullptr);
    if (finishedStage == 1) {
        ui->progress.playTimeMs += ui->GetLastStageTime();
        ui->RequestModule(kUILobby);
    } else {
        ui->RequestModule(kUIRanking);
    }
}

void CSStageEnd::Render()
{
    if (active == 0) {
        return;
    }
    const uint32_t alpha = std::min<uint32_t>(timerMs * 255 / kCoverMs, 255);
    if (alpha == 0) {
        // Laid by its alpha over the frame, a clear map leaves every pixel as it
        // was: the frame that leaves the stage has nothing of it to draw.
        return;
    }
    UIQuad quad;
    SetQuadPositions(quad.v, 0, 0, 640, 480);
    SetQuadUVs(quad.v, 0, 0, 1, 1);
    SetQuadColour(quad.v, static_cast<uint8_t>(alpha), 240, 240, 240);
    DrawUIQuad(quad.v, GetTextureRaster(picture));
}
