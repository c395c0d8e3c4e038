// The lobby's layout and drawing (see lobby_screen.h). Screen rectangles
// are virtual 640 x 480 pixels, sources texture coordinates; where a
// picture has two, the first is language 0's and the second the other
// languages'.
#include <algorithm>

#include "actor/hero.h"
#include "ui/lobby_art.h"
#include "ui/lobby_screen.h"
#include "ui/lobby_status_page.h"
#include "ui/lobby_store.h"
#include "ui/save_game_panel.h"
#include "ui/save_slot_view.h"
#include "ui/stage_select.h"
#include "ui/stage_table.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"

namespace {

constexpr UIRect kWhole = {0, 0, 1, 1};
constexpr UIPlaced kLeftStrip = {{0, 0, 143, 325}, {0.001953125f, 0.169921875f, 0.28125f, 0.63671875f}};
constexpr UIPlaced kBadge = {{501, 118, 571, 147}, {0.75390625f, 0.765625f, 0.890625f, 0.822265625f}};
constexpr UIPlaced kEntryPictures[CSLobby::kEntries][2] = {
    {{{93, 81, 236, 116}, {0.509765625f, 0.84375f, 0.7890625f, 0.912109375f}},
     {{93, 81, 228, 115}, {0.001953125f, 0.931640625f, 0.265625f, 0.998046875f}}},
    {{{93, 136, 236, 171}, {0.509765625f, 0.9140625f, 0.7890625f, 0.982421875f}},
     {{93, 136, 228, 170}, {0.267578125f, 0.919921875f, 0.607421875f, 0.998046875f}}},
    {{{93, 191, 236, 226}, {0.228515625f, 0.84375f, 0.5078125f, 0.912109375f}},
     {{93, 191, 182, 231}, {0.609375f, 0.919921875f, 0.783203125f, 0.998046875f}}},
    {{{93, 245, 236, 280}, {0.228515625f, 0.9140625f, 0.5078125f, 0.982421875f}},
     {{93, 245, 270, 286}, {0.1015625f, 0.837890625f, 0.447265625f, 0.91796875f}}},
    {{{93, 298, 236, 333}, {0.3125f, 0.16796875f, 0.591796875f, 0.236328125f}},
     {{93, 298, 264, 339}, {0.44921875f, 0.837890625f, 0.783203125f, 0.91796875f}}},
};
constexpr UIRect kPortrait = {393, 83, 488, 183};
constexpr UIRect kPortraitSources[2] = {{0.189453125f, 0.638671875f, 0.375f, 0.8359375f},
                                        {0.001953125f, 0.638671875f, 0.1875f, 0.8359375f}};
// [language column][hero type]
constexpr UIPlaced kNamePlates[2][2] = {
    {{{330, 170, 458, 191}, {0.224609375f, 0.107421875f, 0.474609375f, 0.1484375f}},
     {{330, 170, 381, 191}, {0.4765625f, 0.107421875f, 0.576171875f, 0.1484375f}}},
    {{{336, 176, 464, 197}, {0.58203125f, 0.126953125f, 0.83203125f, 0.16796875f}},
     {{375, 176, 426, 197}, {0.482421875f, 0.703125f, 0.587890625f, 0.744140625f}}},
};
constexpr UIRect kDetailFrame = {323, 81, 570, 376};
// The menu cursor: PLAYER's arrow, mirrored.
constexpr UIRect kCursorSource = {0.99609375f, 0.091796875f, 0.888671875f, 0.177734375f};
constexpr float kCursorSize = 55.0f;

// The stage panel (LOBBY, the photo from STAGPHO).
constexpr UIPlaced kPanelFrame = {{488, 68, 586, 202}, {0.3203125f, 0.271484375f, 0.51171875f, 0.533203125f}};
constexpr UIRect kPanelPhoto = {491, 71, 577, 194};
constexpr UIRect kRailSource = {0.283203125f, 0.171875f, 0.287109375f, 0.5625f};
constexpr UIRect kRails[2] = {{533, 0, 535, 40}, {533, 220, 535, 480}};
constexpr UIPlaced kTopCap = {{488, 35, 586, 91}, {0.3203125f, 0.64453125f, 0.51171875f, 0.53515625f}};
constexpr UIPlaced kBottomCap = {{488, 172, 586, 228}, {0.3203125f, 0.53515625f, 0.51171875f, 0.64453125f}};

// The status figures (SLWORD digits).
constexpr float kFigureRight = 517.0f;
constexpr float kFigureTops[4] = {211, 240, 269, 298};
constexpr float kTimeLeft = 360.0f;
constexpr float kTimeTop = 352.0f;
constexpr float kTimeDigitHeight = 17.0f;
constexpr int kStatusLabels = 5;

bool LanguageHasMenu() { return UILanguage() <= 14; }

int32_t HeroType()
{
    if (const CSHero *hero = UI().firstHero()) {
        return hero->aiType == 1 ? 1 : 0;
    }
    return g_pUIManager->heroBlock.heroType == 1 ? 1 : 0;
}

}  // namespace

void CSLobby::LayOut()
{
    for (int32_t i = 0; i < kEntries; ++i) {
        const UIRect &entry = kEntryPictures[i][UILanguageColumn()].screen;
        // The square left of the entry's text.
        const float left = entry.x0 - kCursorSize;
        const float top = entry.y0 - 10.0f;
        targets[i] = {top, top + kCursorSize, left, left + kCursorSize};
    }
}

void CSLobby::Render()
{
    if (active == 0) {
        DrawPicture(g_pUIManager->BaseMap(), kUIScreen, kWhole);
        return;
    }
    switch (openPage) {
    case kStageSelectPage:
        if (stageSelect->Active()) {
            stageSelect->Render();
            return;
        }
        break;
    case kStatusPage:
        if (statusPage->Active()) {
            DrawPicture(baseMap, kUIScreen, kWhole);
            statusPage->Render();
            return;
        }
        break;
    case kStorePage:
        if (store->Active()) {
            store->Render();
            return;
        }
        break;
    case kSavePage:
        if (savePanel->active != 0) {
            savePanel->Render();
            return;
        }
        break;
    default:
        // The menu, and under the quit box the menu as it was.
        DrawMenu();
        return;
    }
    DrawPicture(baseMap, kUIScreen, kWhole);
}

void CSLobby::DrawMenu() const
{
    DrawPicture(baseMap, kUIScreen, kWhole);
    if (!picturesRead_) {
        return;
    }
    const int column = UILanguageColumn();
    DrawPicture(lobbyArt, kLeftStrip);
    for (int32_t i = 0; i < kEntries; ++i) {
        if (i == 0 || LanguageHasMenu()) {
            DrawPicture(lobbyArt, kEntryPictures[i][column]);
        }
    }
    UIQuad frame[9];
    PlaceFramePieces(frame, kDetailFrame.x0, kDetailFrame.y0, kDetailFrame.x1, kDetailFrame.y1);
    for (const UIQuad &piece : frame) {
        DrawUIQuad(piece, playerArt);
    }
    DrawCursor();
    DrawStagePanel();
    const int32_t hero = HeroType();
    DrawPicture(lobbyArt, kPortrait, kPortraitSources[hero]);
    if (LanguageHasMenu()) {
        DrawPicture(lobbyArt, kNamePlates[column][hero]);
    }
    DrawPicture(lobbyArt, kBadge);
    DrawStatus();
    CSUIManager *ui = g_pUIManager;
    ui->DrawShadeRect(0, 410, 640, 445);
    ui->DrawKeyPrompts(1);
}

void CSLobby::DrawCursor() const
{
    for (int k = CursorTrail::kCopies - 1; k >= 0; --k) {
        if (!cursor.Shown(k)) {
            continue;
        }
        const CursorRect &r = cursor.At(k).rect;
        DrawPicture(playerArt, {r.left, r.top, r.right, r.bottom}, kCursorSource,
                    static_cast<uint32_t>(CursorTrail::Alpha(k)) << 24 | 0xF0F0F0u);
    }
}

void CSLobby::DrawStagePanel() const
{
    DrawPicture(lobbyArt, kPanelFrame);
    const int32_t cell = StageIdToIndex(static_cast<int32_t>(g_pUIManager->GetLastStageId()));
    if (cell >= 0 && cell < kStageTableRows) {
        DrawPicture(stagePhotos, kPanelPhoto, StagePhotoCell(cell));
    }
    for (const UIRect &rail : kRails) {
        DrawPicture(lobbyArt, rail, kRailSource);
    }
    DrawPicture(lobbyArt, kTopCap);
    DrawPicture(lobbyArt, kBottomCap);
}

void CSLobby::DrawStatus() const
{
    for (int label = 0; label < kStatusLabels; ++label) {
        UIQuad quad;
        PlaceSlotLabel(&quad, label);
        RwSetRenderState(rwRENDERSTATETEXTURERASTER, GetTextureRaster(slotWords));
        DrawClippedQuad(quad.v);
    }
    const Figures shown = StatusFigures();
    const int32_t figures[4] = {shown.maxHP, shown.maxPower, shown.money, shown.stagesCleared};
    for (int i = 0; i < 4; ++i) {
        DrawDigits(slotWords, figures[i], kFigureRight, kFigureTops[i]);
    }
    DrawPlayTimeDigits(slotWords, g_pUIManager->progress.playTimeMs, kTimeLeft, kTimeTop, kTimeDigitHeight);
}

CSLobby::Figures CSLobby::StatusFigures()
{
    const CSUIManager *ui = g_pUIManager;
    Figures figures = {ui->heroBlock.maxHP, ui->heroBlock.maxPower, ui->heroBlock.money, 0};
    if (CSHero *hero = UI().firstHero()) {
        figures.maxHP = hero->GetMaxHP();
        figures.maxPower = hero->GetMaxPower();
        figures.money = hero->money;
    }
    figures.stagesCleared = static_cast<int32_t>(std::count_if(
        std::begin(ui->progress.cleared), std::end(ui->progress.cleared), [](uint8_t cleared) { return cleared != 0; }));
    return figures;
}
