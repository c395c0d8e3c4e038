// The ranking screen (see ranking_screen.h). Coordinates are of the
// 640 x 480 interface screen, sources in 512ths of their picture.
#include "ui/ranking_screen.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "actor/hero.h"
#include "actor/item_texts.h"
#include "app/text_block.h"
#include "ui/save_slot_view.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"
#include "ui/ui_text_blocks.h"
#include "ui/ui_trace.h"

namespace {

constexpr uint32_t kSoundZoom = 6600220;
constexpr uint32_t kSoundReward = 6600240;
constexpr uint32_t kBandLineColour = 0xFF26B47Eu;  // 38, 180, 126
constexpr int32_t kTextRight = 550;
constexpr int32_t kTextWrap = 544;
constexpr uint32_t kTextShowMs[3] = {300, 600, 900};  // time, earnings, best hits
constexpr float kBandTop = 200.0f;
constexpr float kBandOpenBottom = 280.0f;

constexpr UIPlaced kRankingStrip = {{0, 0, 143, 325}, {1, 87, 144, 326}};
constexpr UIRect kFrameOuter = {197, 62, 579, 294};
constexpr UIPlaced kTitle = {{213, 50, 384, 78}, {1, 1, 172, 29}};

// The row, bonus and money labels of LOBBY: [label][language 0, others].
enum Label { kTimeLabel, kEarningsLabel, kHitsLabel, kGradeLabel, kBonusLabel, kMoneyLabel, kLabels };
constexpr UIPlaced kLabelCells[kLabels][2] = {
    {{{235, 98, 325, 123}, {173, 1, 263, 26}}, {{235, 98, 295, 123}, {172, 2, 232, 27}}},
    {{{235, 135, 325, 160}, {264, 1, 354, 26}}, {{235, 135, 339, 160}, {213, 87, 312, 112}}},
    {{{235, 172, 325, 197}, {355, 1, 445, 26}}, {{235, 172, 365, 197}, {360, 2, 490, 27}}},
    {{{235, 210, 347, 235}, {1, 29, 113, 54}}, {{235, 210, 359, 235}, {235, 2, 359, 27}}},
    {{{337, 319, 427, 344}, {114, 29, 204, 54}}, {{337, 319, 465, 344}, {211, 332, 339, 357}}},
    {{{337, 352, 427, 377}, {205, 29, 295, 54}}, {{337, 352, 465, 377}, {184, 113, 312, 138}}},
};

// The grade letters of LOBBY by grade: language 0 all at one place, the
// others each at its own.
constexpr UIRect kChiGradeScreen = {397, 227, 526, 285};
constexpr UIRect kChiGradeSources[kGradeCount] = {
    {14, 457, 116, 503}, {304, 75, 406, 121}, {407, 75, 509, 121}, {304, 28, 406, 74}, {407, 28, 509, 74}};
constexpr UIPlaced kEngGrades[kGradeCount] = {
    {{413, 225, 497, 283}, {427, 28, 511, 86}}, {{374, 229, 520, 267}, {280, 28, 426, 60}},
    {{382, 219, 521, 277}, {140, 28, 279, 86}}, {{384, 221, 507, 279}, {16, 28, 139, 86}},
    {{365, 227, 562, 285}, {313, 87, 510, 145}}};

// The reward's pictures in the band.
constexpr UIRect kItemPicture = {304, 240, 335, 272};
constexpr UIRect kWeaponArtPicture = {257, 240, 383, 270};
constexpr int32_t kItemsWithIcon[] = {5100040, 5100110, 5100140, 5100150};


UIPlaced GradeLetter(uint32_t grade)
{
    const uint32_t g = std::min(grade, kGradeCount - 1);
    return UILanguage() == 0 ? UIPlaced{kChiGradeScreen, kChiGradeSources[g]} : kEngGrades[g];
}

// Lays the narrow text out from y down with its rows ending at x = 550.
void SetNumberText(CSTextBlock *block, const char *text, int32_t y)
{
    if (block == nullptr) {
        return;
    }
    block->SetTextA(nullptr, text, kTextRight, y, kTextWrap);
    block->AlignX(kAlignRowsRight, kTextRight);
}

void SetNumberText(CSTextBlock *block, int64_t value, int32_t y)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    SetNumberText(block, text, y);
}

void DrawText(const CSTextBlock *block)
{
    if (block != nullptr) {
        block->Draw();
    }
}

}  // namespace

struct CSRanking::Quads {
    UIQuad background;
    UIQuad leftStrip;
    UIQuad frame[9];
    UIQuad title;
    UIQuad labels[kLabels];
};

CSRanking::CSRanking() = default;

CSRanking::~CSRanking() { Release(); }

void CSRanking::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    CSUIManager *ui = g_pUIManager;
    if (on == 0) {
        ui->StopBGM(0);
        pictures.Close();
        quads_.reset();
        for (CSTextBlock *&block : texts_) {
            GiveBackTextBlock(block);
        }
        pictures.ReleasePictures();
        baseMap_ = lobbyArt_ = playerArt_ = wordArt_ = mapBase_ = nullptr;
        return;
    }
    leaving = false;
    introMs = countUpMs = heroFadeMs = zoomMs = bandMs = 0;
    phase = kCountUp;
    rewardItem = kNoRewardItem;
    zoomSoundPlayed_ = false;
    quads_ = std::make_unique<Quads>();
    for (CSTextBlock *&block : texts_) {
        block = AcquireTextBlock();
    }
    stage_ = UI().stageNumber();
    const CSHero *hero = UI().firstHero();
    hero_ = hero != nullptr ? (hero->aiType > 0 ? 1 : 0) : (ui->heroBlock.heroType > 0 ? 1 : 0);
    Rate();
    LayOutTexts();
    baseMap_ = ui->BaseMap();
    lobbyArt_ = ui->LobbyArt();
    playerArt_ = ui->PlayerArt();
    wordArt_ = ui->WordArt();
    mapBase_ = ui->MapBase();
    LayOutQuads();
    pictures.Start(hero_);
    RecordStageResult(&ui->progress, &ui->heroBlock, stage_, ui->GetLastStageTime(), rating_.bestHits, rating_.grade);
    ui->PlayBGM((std::string(UIDataRoot()) + "\\RESOURCE\\MEDIA\\BGM\\RANKING.WAV").c_str());
}

void CSRanking::Rate()
{
    CSUIManager *ui = g_pUIManager;
    CSHero *hero = UI().firstHero();
    const int32_t money = hero != nullptr ? hero->money : ui->heroBlock.money;
    rating_ = RateStage(stage_, ui->GetLastStageTime(), ui->GetStageMoneyValue(), ui->GetStageBestValue(), money);
    grade = rating_.grade;
    // The earnings are paid here, once: the hero's running count of them
    // is emptied with the payment.
    if (hero != nullptr) {
        hero->SetMoney(rating_.newMoney);
        hero->stageMoney = 0;
    } else {
        ui->heroBlock.money = rating_.newMoney;
    }
    TraceRanking(stage_, rating_.seconds, rating_.earnings, rating_.bestHits, rating_.score, rating_.grade,
                 rating_.bonus, rating_.newMoney);
}

void CSRanking::LayOutTexts()
{
    char time[32];
    FormatPlayTime(rating_.seconds, 0, false, time, sizeof time);
    SetNumberText(texts_[kTimeText], time, 100);
    SetNumberText(texts_[kEarningsText], rating_.earnings, 138);
    SetNumberText(texts_[kHitsText], rating_.bestHits, 176);
    SetNumberText(texts_[kBonusText], rating_.bonus, 325);
    SetNumberText(texts_[kMoneyText], rating_.newMoney, 355);
}

void CSRanking::LayOutQuads()
{
    Quads &q = *quads_;
    PlaceUIQuad(&q.background, kUIScreen, kUIWholePicture);
    PlaceUIQuad(&q.leftStrip, kRankingStrip.screen, kRankingStrip.source);
    PlaceFramePieces(q.frame, kFrameOuter.x0, kFrameOuter.y0, kFrameOuter.x1, kFrameOuter.y1);
    PlaceUIQuad(&q.title, kTitle.screen, kTitle.source);
    for (int i = 0; i < kLabels; ++i) {
        const UIPlaced &label = kLabelCells[i][UILanguageColumn()];
        PlaceUIQuad(&q.labels[i], label.screen, label.source);
    }
}

void CSRanking::Update() { Update(UIFrameMs()); }

void CSRanking::Update(uint32_t ms)
{
    if (active == 0) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    if (leaving) {
        if (ui->IsFading() == 0) {
            ui->RequestModule(ScreenAfterRanking(stage_));
            leaving = false;
        }
        return;
    }
    introMs = std::min(introMs + ms, kIntroMs + 1);
    pictures.ReadPiece();
    pictures.LoadPictures();
    switch (phase) {
    case kCountUp:
        countUpMs += ms;
        if (countUpMs >= kCountUpMs) {
            EndCountUp();
        }
        break;
    case kHeroFade:
        heroFadeMs += ms;
        if (heroFadeMs > kHeroFadeMs) {
            phase = kGradeZoom;
            zoomMs = 0;
        }
        break;
    case kGradeZoom:
        zoomMs = std::min(zoomMs + ms, kZoomMs);
        if (zoomMs >= kZoomMs && !zoomSoundPlayed_) {
            ui->PlayUISound(kSoundZoom, 0);
            zoomSoundPlayed_ = true;
        }
        break;
    default: break;
    }
    if (introMs >= kIntroMs && phase != kLeaving && ReadSlotInput().confirm) {
        Confirm();
    }
}

void CSRanking::EndCountUp()
{
    countUpMs = std::max(countUpMs, kCountUpMs);
    pictures.FinishReading();
    pictures.LoadPictures();
    phase = kHeroFade;
    heroFadeMs = 0;
}

void CSRanking::EndZoom()
{
    zoomMs = kZoomMs;
    if (!zoomSoundPlayed_) {
        g_pUIManager->PlayUISound(kSoundZoom, 0);
        zoomSoundPlayed_ = true;
    }
}

void CSRanking::Confirm()
{
    CSUIManager *ui = g_pUIManager;
    switch (phase) {
    case kCountUp:
        EndCountUp();
        ui->PlayUISound(kUISoundConfirm, 0);
        break;
    case kHeroFade:
        phase = kGradeZoom;
        zoomMs = 0;
        ui->PlayUISound(kUISoundConfirm, 0);
        break;
    case kGradeZoom:
        EndZoom();
        rewardItem = StageRewardItem(stage_, hero_);
        if (rewardItem != kNoRewardItem) {
            phase = kReward;
            bandMs = 0;
            // No description gives no name; the item is still given.
            const CSItemDescTable *descriptions = UI().itemDescriptions();
            const ItemDescEntry *entry = descriptions != nullptr ? descriptions->Find(rewardItem) : nullptr;
            const char16_t *name = entry != nullptr ? entry->name.c_str() : nullptr;
            if (CSTextBlock *block = texts_[kRewardText]) {
                LayOutCentred(block, name, 320, 220, kTextWrap);
            }
            ui->PlayUISound(kSoundReward, 0);
        } else {
            ui->PlayUISound(kUISoundConfirm, 0);
            Leave();
        }
        break;
    case kReward:
        GiveReward();
        ui->PlayUISound(kUISoundConfirm, 0);
        Leave();
        break;
    default: break;
    }
}

void CSRanking::GiveReward()
{
    const bool given = UI().addItem(1, static_cast<uint32_t>(rewardItem));
    TraceReward(rewardItem, given);
}

void CSRanking::Leave()
{
    phase = kLeaving;
    leaving = true;
    g_pUIManager->StartFade(0, kLeaveFadeMs);
    g_pUIManager->StopBGM(kMusicFadeMs);
}

void CSRanking::Render()
{
    if (active == 0 || quads_ == nullptr) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    const Quads &q = *quads_;
    DrawUIQuad(q.background, baseMap_);
    for (const UIQuad &piece : q.frame) {
        DrawUIQuad(piece, playerArt_);
    }
    DrawUIQuad(q.leftStrip, lobbyArt_);
    DrawUIQuad(q.title, lobbyArt_);
    for (const UIQuad &label : q.labels) {
        DrawUIQuad(label, lobbyArt_);
    }
    for (int i = 0; i < 3; ++i) {
        if (countUpMs >= kTextShowMs[i]) {
            DrawText(texts_[kTimeText + i]);
        }
    }
    if (phase >= kHeroFade) {
        DrawHero();
    }
    if (phase >= kGradeZoom) {
        DrawGradeLetter();
        DrawText(texts_[kBonusText]);
        DrawText(texts_[kMoneyText]);
    }
    if (phase >= kReward) {
        DrawBand();
    }
    ui->DrawShadeRect(0, 410, 640, 445);
    ui->DrawKeyPrompts(1);
    if (introMs < kIntroMs) {
        DrawPlaced({kUIScreen, kUIWholePicture}, baseMap_, PictureArgb(255 - introMs * 255 / kIntroMs));
    }
}

void CSRanking::DrawHero()
{
    pictures.Draw(hero_, WornWeaponId(), 0.0f, PictureArgb(heroFadeMs * 255 / kHeroFadeMs));
    if (heroFadeMs < kHeroFadeMs) {
        heroFadeMs += UIFrameMs();
    }
}

void CSRanking::DrawGradeLetter() const
{
    UIPlaced letter = GradeLetter(grade);
    uint32_t alpha = 255;
    if (zoomMs < kZoomMs) {
        // From three times its size down to its place.
        const float grow = 1.0f - 0.002f * static_cast<float>(zoomMs);
        const float w = (letter.screen.x1 - letter.screen.x0) * grow;
        const float h = (letter.screen.y1 - letter.screen.y0) * grow;
        letter.screen = {letter.screen.x0 - w, letter.screen.y0 - h, letter.screen.x1 + w, letter.screen.y1 + h};
        alpha = zoomMs * 255 / kZoomMs;
    }
    DrawPlaced(letter, lobbyArt_, PictureArgb(alpha));
}

void CSRanking::DrawBand()
{
    const float open = std::min(static_cast<float>(bandMs), static_cast<float>(kBandOpenMs)) * 0.4f;
    const float bottom = bandMs < kBandOpenMs ? kBandTop + open : kBandOpenBottom;
    const float sourceBottom = bandMs < kBandOpenMs ? 14.0f + open : 94.0f;
    DrawPlaced({{0, kBandTop, 640, bottom}, {20, 14, 280, sourceBottom}}, mapBase_);
    DrawUntexturedRect({0, kBandTop, 640, kBandTop + 2}, kBandLineColour);
    DrawUntexturedRect({0, bottom - 2, 640, bottom}, kBandLineColour);
    if (bandMs >= kBandOpenMs) {
        DrawText(texts_[kRewardText]);
        const CSUIManager *ui = g_pUIManager;
        const uint32_t item = static_cast<uint32_t>(rewardItem);
        if (std::find(std::begin(kItemsWithIcon), std::end(kItemsWithIcon), rewardItem) != std::end(kItemsWithIcon)) {
            if (const UIIconCell *cell = ui->GetWeaponIcon(item)) {
                UIQuad quad;
                SetQuadPositions(quad.v, kItemPicture.x0, kItemPicture.y0, kItemPicture.x1, kItemPicture.y1);
                SetQuadUVs(quad.v, cell->s0, cell->t0, cell->s1, cell->t1);
                SetQuadArgb(quad.v, kUIPictureColour);
                DrawUIQuad(quad, cell->texture);
            }
        } else if (const UIIconCell *cell = ui->GetEquipArt(item)) {
            UIQuad quad;
            SetQuadPositions(quad.v, kWeaponArtPicture.x0, kWeaponArtPicture.y0, kWeaponArtPicture.x1,
                             kWeaponArtPicture.y1);
            SetQuadUVsRotated(quad.v, cell->s0, cell->t0, cell->s1, cell->t1);
            SetQuadArgb(quad.v, kUIPictureColour);
            DrawUIQuad(quad, cell->texture);
        }
    }
    bandMs += UIFrameMs();
}

void CSRanking::ReleaseTextures() { pictures.ReleasePictures(); }

void CSRanking::Release()
{
    pictures.Release();
    quads_.reset();
    for (CSTextBlock *&block : texts_) {
        GiveBackTextBlock(block);
    }
}
