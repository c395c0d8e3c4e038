// The save panel (see save_game_panel.h).
#include "ui/save_game_panel.h"

#include "app/game_system.h"
#include "app/pack.h"
#include "app/text_block.h"
#include "app/textures.h"
#include "ui/ui_manager.h"
#include "ui/ui_text_blocks.h"

bool g_saveReturnToTitle = false;

namespace {

constexpr int32_t kQuestionEntry = 18;
constexpr uint32_t kChosen = 0xFFB0B0B0u;
constexpr uint32_t kNotChosen = 0x7FB0B0B0u;
constexpr uint32_t kMessageColour = 0xFFB0B0B0u;
constexpr int32_t kFrameMargin = 10;
constexpr int32_t kPanelTextWrap = 544;


// Lays the text out with its rows centred on x and the block on y.
void Centre(CSTextBlock *block, const char16_t *text, int32_t x, int32_t y)
{
    if (block == nullptr) {
        return;
    }
    block->SetText(nullptr, text != nullptr ? text : u"", 0, 0, kPanelTextWrap);
    block->AlignX(kAlignCentre, x);
    block->AlignY(kAlignCentre, y);
}

// The message box's frame around the blocks, margin 10.
void DrawFrameAround(std::initializer_list<const CSTextBlock *> blocks)
{
    CSTextBlockPool &pool = g_pGameSystem->textBlocks;
    pool.ResetBounds();
    for (const CSTextBlock *block : blocks) {
        if (block != nullptr) {
            pool.AddBounds(block);
        }
    }
    int32_t left, top, right, bottom;  // all four written by GetBounds
    pool.GetBounds(&left, &top, &right, &bottom);
    g_pGameSystem->messageBox.SetFrameRect(left, top, right, bottom, kFrameMargin);
    g_pGameSystem->messageBox.DrawFrame();
}

const char16_t *QuestionText(size_t i)
{
    return g_pGameSystem != nullptr ? g_pGameSystem->messageBox.Table().Text(kQuestionEntry, i) : nullptr;
}

}  // namespace

CSSaveGame::CSSaveGame() { CreateSaveFolder(); }

void CSSaveGame::OfferPictures(RwTexture *slotWords, RwTexture *stagePhotos)
{
    offeredWords_ = slotWords;
    offeredPhotos_ = stagePhotos;
}

void CSSaveGame::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    if (on == 0) {
        Release();
        return;
    }
    CSUIManager *ui = g_pUIManager;
    view.firstRow = 0;
    view.cursor = 0;
    leaving = 0;
    questionOpen = false;
    ui->StartBaseMapReveal();
    view.Create();
    for (CSTextBlock **block : {&question, &rowText, &leftAnswer, &rightAnswer}) {
        if (*block == nullptr) {
            *block = AcquireTextBlock();
        }
    }
    view.LayOut();
    LoadPictures();
    view.baseMap = ui->BaseMap();
    view.player = ui->PlayerArt();
    RefreshSlots();
}

void CSSaveGame::Release()
{
    view.Release();
    for (CSTextBlock **block :
         {&message, &question, &spareText, &rowText, &spareText2, &leftAnswer, &rightAnswer}) {
        GiveBackTextBlock(*block);
    }
    ReleasePictures();
    active = 0;
}

void CSSaveGame::LoadPictures()
{
    CSUIManager *ui = g_pUIManager;
    if (view.savlod == nullptr) {
        const bool packed = ui->OpenInterfacePack("UISAVGAM");
        view.savlod = ReadSaveLoadArt();
        if (packed) {
            zuClosePack();
        }
    }
    // On the way back to the title the host's pictures are not to be
    // relied on: the panel reads its own.
    const bool borrow = g_saveReturnToTitle == 0;
    ownWords_ = !(borrow && offeredWords_ != nullptr);
    ownPhotos_ = !(borrow && offeredPhotos_ != nullptr);
    view.words = ownWords_ ? nullptr : offeredWords_;
    view.photos = ownPhotos_ ? nullptr : offeredPhotos_;
    if (ownWords_ || ownPhotos_) {
        const bool packed = ui->OpenInterfacePack("UILOBBY");
        if (ownWords_) {
            view.words = ReadSlotWordArt();
        }
        if (ownPhotos_) {
            view.photos = ReadStagePhotoArt();
        }
        if (packed) {
            zuClosePack();
        }
    }
}

void CSSaveGame::ReleasePictures()
{
    DestroyTexture(view.savlod);
    view.savlod = nullptr;
    if (ownWords_) {
        DestroyTexture(view.words);
    }
    if (ownPhotos_) {
        DestroyTexture(view.photos);
    }
    view.words = nullptr;
    view.photos = nullptr;
    ownWords_ = false;
    ownPhotos_ = false;
    view.baseMap = nullptr;
    view.player = nullptr;
}

bool CSSaveGame::RefreshSlots()
{
    if (!view.Refresh()) {
        if (view.slots != nullptr) {
            view.slots->scanned = -1;
        }
        return false;
    }
    return true;
}

bool CSSaveGame::SaveSelectedSlot()
{
    if (!WriteSaveSlot(view.cursor)) {
        return false;
    }
    RefreshSlots();
    return true;
}

void CSSaveGame::Update()
{
    if (active == 0) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    if (leaving != 0) {
        // Nothing is read while the base map covers the panel.
        if (!ui->IsBaseMapCovering()) {
            SetActive(0);
            ui->StopBGM(0);
        }
        return;
    }
    const SlotInput in = ReadSlotInput();
    if (message != nullptr) {
        if (in.confirm) {
            CloseMessage();
        }
        return;
    }
    if (questionOpen) {
        if (in.left) {
            answer = 1;
        }
        if (in.right) {
            answer = 0;
        }
    } else if ((in.up && view.MoveCursor(-1)) || (in.down && view.MoveCursor(1))) {
        ui->PlayUISound(kUISoundMove, 0);
    }
    if (in.confirm) {
        Confirm();
    } else if (in.back) {
        Back();
    }
}

void CSSaveGame::Confirm()
{
    CSUIManager *ui = g_pUIManager;
    if (questionOpen) {
        CloseQuestion();
        if (answer == 1) {
            ui->PlayUISound(kUISoundConfirm, 0);
            Write();
        } else {
            ui->PlayUISound(kSlotSoundRefused, 0);
        }
        return;
    }
    // A slot that holds a game asks first, and so does a damaged file there
    // (shown as empty): no file the player has is written over unasked.
    const SaveSlotInfo *slot = view.Current();
    if (slot != nullptr && (slot->state == kSlotSaved || slot->fileThere != 0)) {
        OpenQuestion();
        ui->PlayUISound(kSlotSoundRefused, 0);
        return;
    }
    ui->PlayUISound(kUISoundConfirm, 0);
    Write();
}

void CSSaveGame::Back()
{
    CSUIManager *ui = g_pUIManager;
    if (questionOpen) {
        // Only the question closes: the panel stays, so that a finished game
        // can still go into another slot.
        CloseQuestion();
        ui->PlayUISound(kSlotSoundRefused, 0);
        return;
    }
    ui->StartBaseMapCover();
    ui->StopBGM(kMusicFadeMs);
    leaving = 1;
    ui->PlayUISound(kSlotSoundBack, 0);
    if (g_saveReturnToTitle != 0) {
        g_saveReturnToTitle = 0;
        RequestStageExit();
    }
}

void CSSaveGame::Write()
{
    if (!SaveSelectedSlot()) {
        ShowFailure();
    }
}

void CSSaveGame::OpenQuestion()
{
    answer = 0;
    Centre(question, QuestionText(0), 320, 210);
    Centre(leftAnswer, QuestionText(1), 280, 240);
    Centre(rightAnswer, QuestionText(2), 360, 240);
    questionOpen = true;
}

void CSSaveGame::CloseQuestion() { questionOpen = false; }

void CSSaveGame::ShowFailure()
{
    if (message == nullptr) {
        message = AcquireTextBlock();
    }
    if (message == nullptr) {
        return;
    }
    const std::u16string text = SaveFailureText(view.cursor + 1);
    Centre(message, text.c_str(), 320, 240);
    message->SetColor(kMessageColour);
}

void CSSaveGame::CloseMessage() { GiveBackTextBlock(message); }

void CSSaveGame::Render()
{
    if (active == 0) {
        return;
    }
    view.Draw(rowText);
    if (questionOpen) {
        DrawQuestion();
    }
    if (message != nullptr) {
        DrawMessage();
    }
}

void CSSaveGame::DrawQuestion() const
{
    DrawFrameAround({question, leftAnswer, rightAnswer});
    if (question != nullptr) {
        question->Draw();
    }
    if (leftAnswer != nullptr && rightAnswer != nullptr) {
        leftAnswer->SetColor(answer == 1 ? kChosen : kNotChosen);
        rightAnswer->SetColor(answer == 1 ? kNotChosen : kChosen);
        leftAnswer->Draw();
        rightAnswer->Draw();
    }
}

void CSSaveGame::DrawMessage() const
{
    DrawFrameAround({message});
    message->Draw();
}
