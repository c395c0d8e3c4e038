// The screen manager's shared boxes: the word table, the two-choice modal
// box, the key prompts at the bottom of menus, the shade panel and the
// blocking waiting notice (see ui_manager.h).
#include <iterator>
#include <span>
#include <string>

#include "app/camera_frame.h"
#include "app/clock.h"
#include "app/game_system.h"
#include "app/input.h"
#include "app/text_block.h"
#include "app/threads.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"
#include "ui/ui_text_blocks.h"

namespace {

constexpr uint32_t kBoxFrameColour = 0xF0F0F0F0u;
constexpr uint32_t kPromptTextColour = 0xF0AAAAAAu;
constexpr uint32_t kChoiceBright = 0xFFB0B0B0u;
constexpr uint32_t kChoiceDim = 0x7FB0B0B0u;
constexpr uint32_t kShadeColour = 0x96141414u;
constexpr int32_t kWaitingNoticeEntry = 21;
constexpr uint32_t kWaitingNoticeMs = 1500;
constexpr uint32_t kWaitingNoticeStepMs = 50;
constexpr int kKeyPromptPairs = 3;
constexpr int kSingleKeyPrompts = 6;


// The modal box's nine frame pieces: screen rectangle, source in PLAYER pixels.
struct FramePiece {
    UIRect screen;
    UIRect source;
};
constexpr FramePiece kFramePieces[9] = {
    {{0, 140, 4, 144}, {318, 176, 322, 180}},   {{4, 140, 636, 144}, {322, 176, 328, 180}},
    {{636, 140, 640, 144}, {328, 176, 332, 180}}, {{0, 144, 4, 241}, {318, 180, 322, 184}},
    {{4, 144, 636, 241}, {322, 180, 328, 188}},  {{636, 144, 640, 241}, {328, 180, 332, 184}},
    {{0, 241, 4, 250}, {318, 188, 322, 192}},   {{4, 241, 636, 250}, {322, 188, 326, 192}},
    {{636, 241, 640, 250}, {328, 188, 332, 192}},
};

// The three key prompt pairs, all at y 414 to 439: the key picture (PLAYER)
// and the word picture (WORD), the latter for language 0 and for the others.
struct PromptPair {
    float keyX0, keyX1;
    UIRect keySource;
    float wordX0, wordX1[2];
    UIRect wordSource[2];
    int32_t wrap;
};
constexpr PromptPair kPromptPairs[kKeyPromptPairs] = {
    {411, 436, {91, 97, 116, 122}, 391, {428, 428}, {{216, 214, 290, 264}, {2, 220, 62, 260}}, 1000},
    {500, 525, {119, 97, 144, 122}, 500, {537, 560}, {{216, 272, 290, 322}, {60, 220, 166, 260}}, 1100},
    {278, 303, {147, 98, 172, 123}, 238, {302, 288}, {{168, 458, 296, 508}, {164, 220, 254, 260}}, 1200},
};
constexpr float kPromptTop = 414.0f;
constexpr float kPromptBottom = 439.0f;

constexpr UIRect kSingleKeys[kSingleKeyPrompts] = {
    {175, 97, 200, 122}, {203, 97, 228, 122}, {232, 97, 257, 122},
    {260, 97, 285, 122}, {52, 101, 67, 116},  {45, 88, 73, 103.5f},
};

std::u16string Widen(const char *text)
{
    std::u16string out;
    for (const char *c = text; *c != '\0'; ++c) {
        out.push_back(static_cast<unsigned char>(*c));
    }
    return out;
}

}  // namespace

bool CSUIManager::LoadWordTable() { return words.Load(UILanguage()); }

// ---- Modal box
void CSUIManager::ShowModalBox(const char16_t *text, UIModalCallback callback, RwTexture *picture, uint32_t context)
{
    if (modalPieces_ == nullptr) {
        modalPieces_ = std::make_unique<OwnedPicture[]>(std::size(kFramePieces));
        OwnedPicture *piece = modalPieces_.get();
        for (const FramePiece &p : kFramePieces) {
            (piece++)->Set(playerArt_, p.source.x0, p.source.y0, p.source.x1, p.source.y1, p.screen.x0, p.screen.y0,
                           p.screen.x1, p.screen.y1, kBoxFrameColour);
        }
    }
    if (modalPicture_ == nullptr) {
        modalPicture_ = std::make_unique<OwnedPicture>();
        modalPicture_->Set(nullptr, 0, 0, 512, 512, 0, 0, 640, 480, kBoxFrameColour);
    }
    modalPicture_->picture.texture = picture;
    modalText_ = text;
    for (CSTextBlock **block : {&modalMessage_, &modalLeft_, &modalRight_}) {
        if (*block == nullptr) {
            *block = AcquireTextBlock();
        }
    }
    int32_t messageTop = 140;
    if (modalMessage_ != nullptr) {
        const TextLayout measured = MeasureText(modalMessage_, text != nullptr ? text : u"", 512);
        const int32_t w = modalMessage_->GetMaxRowWidth();
        messageTop = 140 + measured.tallestRowHeight;
        modalMessage_->SetText(nullptr, text != nullptr ? text : u"", (640 - w) / 2, messageTop, 500);
        modalMessage_->SetColor(kPromptTextColour);
    }
    if (modalLeft_ != nullptr) {
        modalLeft_->SetText(nullptr, words.Word(3), 220, messageTop + 50, 100);
        modalLeft_->SetColor(kChoiceDim);
    }
    if (modalRight_ != nullptr) {
        modalRight_->SetText(nullptr, words.Word(4), 420, messageTop + 50, 100);
        modalRight_->SetColor(kChoiceBright);
    }
    modalChoice_ = 0;
    modalCallback_ = callback;
    modalContext_ = context;
    modalOpen_ = true;
}

void CSUIManager::UpdateModalBox(float)
{
    const PadState &pad = UIPadState(uiPad_);
    if (pad.connected == 0) {
        return;
    }
    if (PadPressed(pad, kPadLeft)) {
        modalChoice_ ^= 1;
        PlayUISound(kUISoundMove, 0);
    }
    if (PadPressed(pad, kPadRight)) {
        modalChoice_ ^= 1;
        PlayUISound(kUISoundMove, 0);
    }
    // Both answers are looked at in the same frame: a confirm and a cancel
    // together call back twice, the choice first.
    if (PadPressed(pad, kPadCircle) || PadPressed(pad, kPadStart) || UIMousePressed()) {
        modalOpen_ = false;
        if (modalCallback_ != nullptr) {
            modalCallback_(modalChoice_, modalContext_);
        }
    }
    if (PadPressed(pad, kPadCross) || PadPressed(pad, kPadSelect)) {
        modalOpen_ = false;
        modalChoice_ = 0;
        if (modalPicture_ != nullptr) {
            modalPicture_->picture.texture = nullptr;
        }
        if (modalCallback_ != nullptr) {
            modalCallback_(0, modalContext_);
        }
    }
}

void CSUIManager::DrawModalBox()
{
    if (!modalOpen_) {
        return;
    }
    if (modalPicture_ != nullptr && modalPicture_->picture.texture != nullptr) {
        modalPicture_->picture.Draw();
    }
    if (modalPieces_ != nullptr) {
        for (const OwnedPicture &piece : std::span(modalPieces_.get(), std::size(kFramePieces))) {
            piece.picture.Draw();
        }
    }
    if (modalMessage_ != nullptr) {
        modalMessage_->Draw();
    }
    if (modalLeft_ != nullptr && modalRight_ != nullptr) {
        modalLeft_->SetColor(modalChoice_ == 1 ? kChoiceBright : kChoiceDim);
        modalRight_->SetColor(modalChoice_ == 1 ? kChoiceDim : kChoiceBright);
        modalLeft_->Draw();
        modalRight_->Draw();
    }
    if (shadePanel_ != nullptr) {
        DrawShadeRect(0, 410, 640, 445);
    }
    DrawKeyPrompts(3);
}

void CSUIManager::ReleaseModalBox()
{
    modalPieces_.reset();
    for (CSTextBlock **block : {&modalMessage_, &modalLeft_, &modalRight_}) {
        GiveBackTextBlock(*block);
    }
    modalPicture_.reset();
    modalOpen_ = false;
}

// ---- Key prompts
void CSUIManager::CreateKeyPrompts()
{
    // The texts take their colour with their words (LayOutPromptTexts).
    for (CSTextBlock *&block : promptTexts_) {
        if (block == nullptr) {
            block = AcquireTextBlock();
        }
    }
    const int lang = UILanguage() == 0 ? 0 : 1;
    if (promptKeys_ == nullptr) {
        promptKeys_ = std::make_unique<OwnedPicture[]>(kKeyPromptPairs + kSingleKeyPrompts);
        for (int i = 0; i < kKeyPromptPairs; ++i) {
            const PromptPair &p = kPromptPairs[i];
            promptKeys_[i].Set(playerArt_, p.keySource.x0, p.keySource.y0, p.keySource.x1, p.keySource.y1, p.keyX0,
                               kPromptTop, p.keyX1, kPromptBottom, kBoxFrameColour);
        }
        for (int i = 0; i < kSingleKeyPrompts; ++i) {
            const UIRect &s = kSingleKeys[i];
            promptKeys_[kKeyPromptPairs + i].Set(playerArt_, s.x0, s.y0, s.x1, s.y1, 0, 0, s.x1 - s.x0, s.y1 - s.y0,
                                                 kBoxFrameColour);
        }
    }
    if (promptWords_ == nullptr) {
        promptWords_ = std::make_unique<OwnedPicture[]>(kKeyPromptPairs);
        for (int i = 0; i < kKeyPromptPairs; ++i) {
            const PromptPair &p = kPromptPairs[i];
            const UIRect &s = p.wordSource[lang];
            promptWords_[i].Set(wordArt_, s.x0, s.y0, s.x1, s.y1, p.wordX0, kPromptTop, p.wordX1[lang], kPromptBottom,
                                kBoxFrameColour);
        }
    }
    LayOutPromptTexts();
}

void CSUIManager::LayOutPromptTexts()
{
    const int lang = UILanguage() == 0 ? 0 : 1;
    const char *keyName = GetKeyName(GetButtonBinding(input::kKeyboardSlot, "triangle"));
    const std::u16string texts[kKeyPromptPairs] = {u"(Enter)", u"(Esc)", u"(" + Widen(keyName) + u")"};
    for (int i = 0; i < kKeyPromptPairs; ++i) {
        if (promptTexts_[i] == nullptr) {
            continue;
        }
        const PromptPair &p = kPromptPairs[i];
        promptTexts_[i]->SetText(nullptr, texts[i].c_str(), static_cast<int32_t>(p.wordX1[lang]) + 5, 419, p.wrap);
        promptTexts_[i]->SetColor(kPromptTextColour);
    }
}

void CSUIManager::ReleaseKeyPrompts()
{
    promptKeys_.reset();
    promptWords_.reset();
}

UIPicture *CSUIManager::GetKeyPrompt(uint32_t bit)
{
    if (promptKeys_ == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < kKeyPromptPairs + kSingleKeyPrompts; ++i) {
        if (bit == (1u << i)) {
            return &promptKeys_[i].picture;
        }
    }
    return nullptr;
}

void CSUIManager::DrawKeyPrompts(uint8_t mask)
{
    for (int i = 0; i < kKeyPromptPairs; ++i) {
        if ((mask & (1u << i)) == 0) {
            continue;
        }
        if (promptWords_ != nullptr) {
            promptWords_[i].picture.Draw();
        }
        if (promptTexts_[i] != nullptr) {
            promptTexts_[i]->Draw();
        }
    }
}

void CSUIManager::DrawPromptText(uint8_t mask)
{
    if ((mask & 4) != 0 && promptTexts_[2] != nullptr) {
        promptTexts_[2]->Draw();
    }
}

// ---- Shade panel
void CSUIManager::InitShadePanel()
{
    // Untextured, and placed by each drawing (DrawShadeRect): its colour alone.
    shadePanel_ = std::make_unique<OwnedPicture>();
    SetQuadArgb(shadePanel_->quad.v, kShadeColour);
}

void CSUIManager::DrawShadeRect(float x0, float y0, float x1, float y1)
{
    if (shadePanel_ == nullptr) {
        return;
    }
    SetQuadPositions(shadePanel_->quad.v, x0, y0, x1, y1);
    DrawUIQuad(shadePanel_->quad.v, nullptr);
}

// ---- Waiting notice: blocks the main thread for 1500 ms.
void CSUIManager::ShowWaitingNotice()
{
    CSGameSystem *gs = g_pGameSystem;
    CSTextBlock *block = AcquireTextBlock();
    if (gs == nullptr || block == nullptr) {
        return;
    }
    const char16_t *text = gs->messageBox.Table().Text(kWaitingNoticeEntry, 0);
    const std::u16string message = text != nullptr ? text : u"";
    LayOutCentred(block, message.c_str(), 320, 240, 544);
    const int32_t x = block->Rows().empty() ? 320 : block->Rows()[0].x;
    const int32_t y = block->Rows().empty() ? 240 : block->Rows()[0].y;
    // Counted by the pauses themselves: the clock may stand still within a
    // tick (the fixed step).
    for (uint32_t elapsed = 0; elapsed < kWaitingNoticeMs; elapsed += kWaitingNoticeStepMs) {
        const char16_t *dots = elapsed < 500 ? u"." : elapsed < 1000 ? u".." : u"...";
        RwRGBA black = {0, 0, 0, 255};
        RwCameraClear(gs->camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        if (BeginCameraUpdate(gs->camera)) {
            block->SetText(nullptr, (message + dots).c_str(), x, y, 544);
            SetInterfaceRenderStates();
            block->Draw();
            EndCameraUpdate(gs->camera);
            ShowCameraRaster(gs->camera);
        }
        SleepMs(kWaitingNoticeStepMs);
    }
    GiveBackTextBlock(block);
}
