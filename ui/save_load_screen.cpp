// The load screen (see save_load_screen.h).
#include "ui/save_load_screen.h"

#include <string>

#include "app/game_system.h"
#include "app/text_block.h"
#include "app/textures.h"
#include "ui/ui_manager.h"

namespace {


}  // namespace

void CSSaveLoad::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    CSUIManager *ui = g_pUIManager;
    if (on == 0) {
        view.Release();
        for (CSTextBlock *&block : texts) {
            if (block != nullptr) {
                block->Reset(0);
                block = nullptr;
            }
        }
        ui->StopBGM(0);
        return;
    }
    // A loaded game replaces the new-game hero; until then the hero block
    // is a new game's, in use on the interface pad.
    ui->ResetHeroBlock();
    ui->heroBlock.inUse = 1;
    ui->heroBlock.padIndex = ui->GetUIPad();
    loaded = 0;
    leaving = 0;
    view.firstRow = 0;
    view.cursor = 0;
    view.Create();
    for (CSTextBlock *&block : texts) {
        if (block == nullptr && g_pGameSystem != nullptr) {
            block = g_pGameSystem->textBlocks.Acquire();
        }
    }
    view.LayOut();
    ui->PlayBGM((std::string(UIDataRoot()) + "\\RESOURCE\\MEDIA\\BGM\\SELCHAR.WAV").c_str());
    view.baseMap = ui->BaseMap();
    view.player = ui->PlayerArt();
    RefreshSlots();
}

void CSSaveLoad::LoadTextures()
{
    if (view.savlod == nullptr) {
        view.savlod = ReadSaveLoadArt();
    }
    if (view.words == nullptr) {
        view.words = ReadSlotWordArt();
    }
    if (view.photos == nullptr) {
        view.photos = ReadStagePhotoArt();
    }
}

void CSSaveLoad::ReleaseTextures()
{
    for (RwTexture **texture : {&view.savlod, &view.words, &view.photos}) {
        DestroyTexture(*texture);
        *texture = nullptr;
    }
}

void CSSaveLoad::Release()
{
    view.Release();
    for (CSTextBlock *&block : texts) {
        if (block != nullptr) {
            block->Reset(0);
            block = nullptr;
        }
    }
    ReleaseTextures();
}

bool CSSaveLoad::LoadSelectedSlot() { return LoadSaveSlot(view.cursor); }

void CSSaveLoad::Update()
{
    if (active == 0) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    if (leaving != 0) {
        // Nothing is read while the screen fades out; the manager switches
        // to the requested screen (which closes this one and its music)
        // before it would update this one again.
        if (ui->IsFading() == 0) {
            ui->RequestModule(loaded != 0 ? kUIEnterStage : kUITitle);
        }
        return;
    }
    const SlotInput in = ReadSlotInput();
    if ((in.up && view.MoveCursor(-1)) || (in.down && view.MoveCursor(1))) {
        ui->PlayUISound(kUISoundMove, 0);
    }
    if (in.confirm) {
        const SaveSlotInfo *slot = view.Current();
        if (slot != nullptr && slot->state == kSlotSaved && LoadSelectedSlot()) {
            ui->PlayUISound(kUISoundConfirm, 0);
            loaded = 1;
            ui->StartFade(0, kFadeMs);
            ui->StopBGM(kMusicFadeMs);
            leaving = 1;
        } else {
            // An empty slot, or a game gone or changed since the scan: the
            // list is brought up to date and the screen stays.
            ui->PlayUISound(kSlotSoundRefused, 0);
            if (slot != nullptr && slot->state == kSlotSaved) {
                RefreshSlots();
            }
        }
    } else if (in.back) {
        ui->StartFade(0, kFadeMs);
        ui->StopBGM(kMusicFadeMs);
        leaving = 1;
        ui->PlayUISound(kSlotSoundBack, 0);
    }
}

void CSSaveLoad::Render()
{
    if (active == 0) {
        return;
    }
    view.Draw(texts[kTexts - 1]);
}
