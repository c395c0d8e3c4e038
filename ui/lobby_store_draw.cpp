// The store's drawing (see lobby_store.h). Screen rectangles are virtual
// 640 x 480 pixels, sources texture coordinates of LOBBY unless said.
#include <cstdio>
#include <cstring>

#include "app/game_rand.h"
#include "app/text_block.h"
#include "ui/lobby_art.h"
#include "ui/lobby_store.h"
#include "ui/text_list.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"

namespace {

constexpr UIPlaced kMapPicture = {{240, 0, 640, 400}, {0.00390625f, 0.00390625f, 0.99609375f, 0.99609375f}};
constexpr UIPlaced kPanelA = {{51, 28, 222, 244}, {0.666015625f, 0.287109375f, 0.99609375f, 0.662109375f}};
constexpr UIPlaced kPanelB = {{34, 222, 240, 250}, {0.58984375f, 0.703125f, 0.9921875f, 0.7578125f}};
// Each tab plain and lit.
constexpr UIPlaced kTabs[3][2] = {
    {{{271, 44, 347, 88}, {0.515625f, 0.373046875f, 0.6640625f, 0.458984375f}},
     {{271, 44, 347, 88}, {0.515625f, 0.28515625f, 0.6640625f, 0.37109375f}}},
    {{{381, 44, 457, 83}, {0.515625f, 0.541015625f, 0.6640625f, 0.6171875f}},
     {{381, 44, 457, 83}, {0.515625f, 0.462890625f, 0.6640625f, 0.5390625f}}},
    {{{485, 44, 574, 83}, {0.791015625f, 0.921875f, 0.96484375f, 0.998046875f}},
     {{485, 44, 574, 83}, {0.791015625f, 0.84375f, 0.96484375f, 0.919921875f}}},
};
constexpr UIPlaced kPriceBars[2] = {{{303, 418, 379, 434}, {0.009765625f, 0.1171875f, 0.158203125f, 0.1484375f}},
                                    {{240, 419, 284, 435}, {0.3359375f, 0.1796875f, 0.41015625f, 0.20703125f}}};
constexpr UIRect kQuantityCells[2] = {{402, 202, 436, 253}, {447, 202, 481, 253}};
constexpr UIRect kQuantityCellSource = {0.892578125f, 0.7734375f, 0.9921875f, 0.83984375f};
constexpr UIRect kQuantityDigits[2] = {{412, 218, 426, 237}, {458, 218, 472, 237}};
constexpr UIPlaced kLeftArrow = {{335, 207, 388, 243}, {0.423828125f, 0.765625f, 0.52734375f, 0.8359375f}};
constexpr UIPlaced kRightArrow = {{495, 207, 548, 243}, {0.533203125f, 0.765625f, 0.63671875f, 0.8359375f}};
constexpr UIRect kBigIcon = {267, 104, 311, 148};
constexpr float kMoneyRight = 580.0f;
constexpr float kMoneyDigitWidth = 18.0f;
constexpr float kMoneyTop = 370.0f;
constexpr float kMoneyBottom = 394.0f;

// The shake of a picture whose timer runs: -5..4 in x and y.
float Shake(uint32_t timer)
{
    return timer < CSLobbyStore::kShakeMs ? static_cast<float>(game::Rand() % 10 - 5) : 0.0f;
}

UIRect Moved(const UIRect &r, float j) { return {r.x0 + j, r.y0 + j, r.x1 + j, r.y1 + j}; }

}  // namespace

void CSLobbyStore::Render()
{
    if (active == 0) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    DrawPicture(baseMap, kUIScreen, {0, 0, 1, 1});
    DrawPicture(mapBase, kMapPicture);
    DrawPicture(lobbyArt, kPanelA);
    DrawPicture(lobbyArt, kPanelB);
    DrawTabs();
    ui->DrawShadeRect(0, 410, 640, 445);
    ui->DrawKeyPrompts(3);
    if (mode == kBrowse) {
        DrawBrowse();
    } else {
        if (mode == kBuyQuantity || mode == kSellQuantity) {
            DrawPicker();
            DrawPicture(lobbyArt, kPriceBars[UILanguage() == 0 ? 0 : 1]);
            ui->DrawPromptText(4);
        }
        if (headingText != nullptr) {
            headingText->Draw();
        }
        const CSTextBlock *text = questionPending ? questionText : messageText;
        if (text != nullptr) {
            text->Draw();
        }
    }
    DrawMoney();
}

void CSLobbyStore::DrawTabs() const
{
    for (int i = 0; i < 3; ++i) {
        DrawPicture(lobbyArt, kTabs[i][0]);
    }
    if (tab >= 0 && tab < 3) {
        DrawPicture(lobbyArt, kTabs[tab][1]);
    }
}

void CSLobbyStore::DrawBrowse() const
{
    g_pUIManager->DrawKeyPrompts(4);
    if (list != nullptr) {
        list->Draw();
    }
    const int32_t slot = SelectedSlot();
    if (tab != kUpgradeTab && slot >= 0 && list != nullptr) {
        // The icon left of the selected row's text.
        // A list with no rows laid (no block for measuring) has none.
        int32_t first{};
        int32_t last{};
        CSTextBlock *const *rows = list->GetWindow(&first, &last);
        // The list keeps the selected row in its window.
        const CSTextBlock *row = rows[selectedRow - first];
        if (row != nullptr && !row->Empty()) {
            const float x = static_cast<float>(row->Rows()[0].x);
            const float y = static_cast<float>(row->Rows()[0].y);
            DrawIcon(slot, x - 42.0f, y - 6.0f, x - 11.0f, y + 25.0f);
        }
    }
    if (descriptionText != nullptr) {
        descriptionText->Draw();
    }
}

void CSLobbyStore::DrawPicker() const
{
    for (const UIRect &cell : kQuantityCells) {
        UIQuad quad;
        SetQuadPositions(quad.v, cell.x0, cell.y0, cell.x1, cell.y1);
        SetQuadUVsRotated(quad.v, kQuantityCellSource.x0, kQuantityCellSource.y0, kQuantityCellSource.x1,
                          kQuantityCellSource.y1);
        SetQuadArgb(quad.v, kLobbyPictureColour);
        DrawUIQuad(quad, lobbyArt);
    }
    const int32_t digits[2] = {quantity / 10 % 10, quantity % 10};
    for (int i = 0; i < 2; ++i) {
        const float d = static_cast<float>(digits[i]);
        DrawPicture(lobbyArt, kQuantityDigits[i], {(341.0f + 15.0f * d) / 512.0f, 0.6640625f, (355.0f + 15.0f * d) / 512.0f,
                                                   0.701171875f});
    }
    DrawPicture(lobbyArt, Moved(kLeftArrow.screen, Shake(leftShakeMs)), kLeftArrow.source);
    DrawPicture(lobbyArt, Moved(kRightArrow.screen, Shake(rightShakeMs)), kRightArrow.source);
    const int32_t slot = SelectedSlot();
    if (slot >= 0 && slot < 16) {
        DrawIcon(slot, kBigIcon.x0, kBigIcon.y0, kBigIcon.x1, kBigIcon.y1);
    }
}

void CSLobbyStore::DrawIcon(int32_t slot, float x0, float y0, float x1, float y1) const
{
    const int32_t k = slot % 8;
    const float column = static_cast<float>(k % 4);
    const float row = static_cast<float>(k / 4);
    // Icons are drawn texel for texel.
    RwSetRenderState(rwRENDERSTATETEXTUREFILTER, reinterpret_cast<void *>(rwFILTERNEAREST));
    DrawPicture(iconSheet, {x0, y0, x1, y1},
                {(32.0f * column + 1.0f) / 128.0f, (32.0f * row + 1.0f) / 128.0f, (32.0f * column + 32.0f) / 128.0f,
                 (32.0f * row + 32.0f) / 128.0f});
    RwSetRenderState(rwRENDERSTATETEXTUREFILTER, reinterpret_cast<void *>(rwFILTERLINEAR));
}

void CSLobbyStore::DrawMoney() const
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(Money()));
    const float j = Shake(moneyShakeMs);
    float x = kMoneyRight - kMoneyDigitWidth * static_cast<float>(std::strlen(text)) + j;
    for (const char *c = text; *c != '\0'; ++c) {
        const float d = static_cast<float>(*c - '0');
        DrawPicture(playerArt, {x, kMoneyTop + j, x + kMoneyDigitWidth, kMoneyBottom + j},
                    {(136.0f + 15.0f * d) / 512.0f, 0.13671875f, (151.0f + 15.0f * d) / 512.0f, 0.17578125f});
        x += kMoneyDigitWidth;
    }
}
