// The save slots' shared layout and drawing (see save_slot_view.h).
// Sources are in 512ths of their picture unless said otherwise; every
// picture is drawn grey 240 at full alpha.
#include "ui/save_slot_view.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/text_block.h"
#include "app/textures.h"
#include "ui/lobby_art.h"
#include "ui/stage_table.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"

namespace {

constexpr uint32_t kColonColour = 0xFFF0E68Cu;      // 240, 230, 140
constexpr uint32_t kPhotoBarColour = 0xFF26B47Eu;   // 38, 180, 126
constexpr float kRowLeft = 80.0f;
constexpr float kRowTop = 90.0f;
constexpr float kRowStep = 58.0f;
constexpr float kSlotDigitWidth = 15.0f;
constexpr float kSlotDigitHeight = 17.0f;
constexpr float kSlotTimeDigitHeight = 16.0f;
constexpr float kSlotNumberRight = 517.0f;
constexpr float kNumberTops[4] = {211, 240, 269, 298};  // maximum HP, power, money, stages
constexpr float kSlotTimeLeft = 360.0f;
constexpr float kSlotTimeTop = 352.0f;
constexpr uint32_t kMaxHours = 999;
constexpr int32_t kPhotoColumns = 7;
constexpr int32_t kStagePhotos = 29;

// The detail frame's nine pieces: source rectangles (PLAYER, pixels of the
// 512 atlas), row by row; the corners are 15 pixels square on screen.
constexpr UIRect kFrameSources[9] = {
    {1, 126, 15, 141}, {16, 126, 72, 141}, {72, 126, 87, 141}, {1, 143, 16, 175},  {16, 143, 72, 175},
    {72, 143, 87, 175}, {1, 174, 16, 189}, {16, 174, 72, 189}, {72, 174, 87, 189},
};
constexpr float kFrameCorner = 15.0f;
constexpr UIRect kSlotDetailFrame = {323, 81, 570, 376};

// The labels of SLWORD: [language 0, other languages].
constexpr UIPlaced kSlotLabelPictures[6][2] = {
    {{{337, 208, 401, 228}, {296, 8, 424, 88}}, {{337, 210, 362, 226}, {304, 92, 354, 156}}},
    {{{337, 238, 379, 258}, {336, 92, 420, 172}}, {{337, 239, 358, 255}, {260, 92, 302, 156}}},
    {{{337, 268, 379, 288}, {426, 8, 510, 88}}, {{337, 269, 402, 285}, {384, 172, 510, 236}}},
    {{{337, 298, 415, 318}, {220, 176, 376, 240}}, {{337, 298, 469, 319}, {246, 4, 510, 88}}},
    {{{337, 328, 445, 349}, {2, 176, 218, 260}}, {{337, 328, 507, 349}, {0, 164, 342, 248}}},
    {{{393, 265, 503, 288}, {2, 264, 222, 356}}, {{371, 265, 525, 288}, {2, 252, 310, 344}}},
};

// The heroes' names (SLWORD): hero 0 by language, hero 1 in every language.
constexpr UIPlaced kHero0Name[2] = {{{330, 170, 459, 191}, {2, 88, 260, 172}}, {{336, 176, 464, 197}, {2, 76, 258, 160}}};
constexpr UIPlaced kHero1Name = {{375, 176, 426, 197}, {408, 420, 510, 504}};

// SAVLOD's pictures.
constexpr UIRect kHeroArea = {393, 83, 488, 184};
constexpr UIRect kHeroPicture[2] = {{97, 2, 192, 204}, {1, 206, 96, 408}};
constexpr UIRect kNoHero = {1, 2, 96, 204};
constexpr UIPlaced kSlotPhotoFrame = {{488, 68, 586, 202}, {412, 2, 510, 270}};
constexpr UIPlaced kBrackets[2] = {{{488, 35, 586, 91}, {412, 386, 510, 274}},
                                   {{488, 172, 586, 228}, {412, 274, 510, 386}}};
constexpr UIRect kSlotPhoto = {491, 71, 577, 194};
constexpr UIRect kPhotoBars[2] = {{534, 0, 536, 40}, {534, 220, 536, 480}};
constexpr UIRect kCompletedMark = {288, 100, 313, 125};  // PLAYER

}  // namespace

SlotInput ReadSlotInput()
{
    SlotInput in;
    const PadState &pad = UIPadState(g_pUIManager->GetUIPad());  // read by the screens only
    if (pad.connected == 0) {
        return in;
    }
    in.up = PadPressed(pad, kPadUp);
    in.down = PadPressed(pad, kPadDown);
    in.left = PadPressed(pad, kPadLeft);
    in.right = PadPressed(pad, kPadRight);
    in.confirm = PadPressed(pad, kPadCircle) || PadPressed(pad, kPadStart) || UIMousePressed();
    in.back = PadPressed(pad, kPadCross) || PadPressed(pad, kPadSelect);
    return in;
}

RwTexture *ReadSaveLoadArt() { return ReadFolderPicture("\\RESOURCE\\UITEXT\\SAVELOAD\\", "SAVLOD.BMP", "SAVLODA.BMP"); }

RwTexture *ReadSlotWordArt()
{
    return ReadFolderPicture((std::string("\\RESOURCE\\UITEXT\\SAVELOAD") + UILanguageFolder()).c_str(), "SLWORD.BMP",
                             "SLWORDA.BMP");
}

RwTexture *ReadStagePhotoArt() { return ReadFolderPicture("\\RESOURCE\\UITEXT\\PAUSE\\", "STAGPHO.BMP", "STAGPHOA.BMP"); }

void DrawSlotDigit(const RwTexture *words, int32_t digit, float x, float y, float height)
{
    const float column = static_cast<float>(digit % 5);
    const float row = static_cast<float>(digit / 5);
    UIQuad quad;
    SetQuadPositions(quad.v, x, y, x + kSlotDigitWidth, y + height);
    SetQuadUVs(quad.v, (180.0f + 15.0f * column) / 256.0f, (62.0f + 20.0f * row) / 128.0f,
               (195.0f + 15.0f * column) / 256.0f, (79.0f + 20.0f * row) / 128.0f);
    SetQuadArgb(quad.v, kUIPictureColour);
    DrawUIQuad(quad, words);
}

void PlaceSlotLabel(UIQuad *quad, int label)
{
    const UIPlaced &placed = kSlotLabelPictures[label][UILanguageColumn()];
    PlaceUIQuad(quad, placed.screen, placed.source);
}

void PlaceFramePieces(UIQuad (&pieces)[9], float left, float top, float right, float bottom)
{
    const float xs[4] = {left, left + kFrameCorner, right - kFrameCorner, right};
    const float ys[4] = {top, top + kFrameCorner, bottom - kFrameCorner, bottom};
    for (size_t i = 0; UIQuad &piece : pieces) {
        const size_t column = i % 3;
        const size_t row = i / 3;
        PlaceUIQuad(&piece, {xs[column], ys[row], xs[column + 1], ys[row + 1]}, kFrameSources[i]);
        ++i;
    }
}

void DrawDigits(const RwTexture *words, int32_t value, float right, float top)
{
    // The digits have no sign: a value below 0 shows as 0.
    char text[16];
    std::snprintf(text, sizeof text, "%d", std::max(value, 0));
    float x = right - kSlotDigitWidth * static_cast<float>(std::strlen(text));
    for (const char *c = text; *c != '\0'; ++c) {
        DrawSlotDigit(words, *c - '0', x, top, kSlotDigitHeight);
        x += kSlotDigitWidth;
    }
}

void DrawPlayTimeDigits(const RwTexture *words, uint32_t ms, float left, float top, float digitHeight)
{
    char hours[8];
    char minutes[4];
    char seconds[4];
    PlayTimeParts(ms, hours, minutes, seconds);
    float x = left;
    const char *parts[3] = {hours, minutes, seconds};
    for (int part = 0; part < 3; ++part) {
        for (const char *c = parts[part]; *c != '\0'; ++c) {
            DrawSlotDigit(words, *c - '0', x, top, digitHeight);
            x += kSlotDigitWidth;
        }
        if (part < 2) {
            DrawUntexturedRect({x + 6, top + 5, x + 9, top + 8}, kColonColour);
            DrawUntexturedRect({x + 6, top + 11, x + 9, top + 14}, kColonColour);
            x += kSlotDigitWidth;
        }
    }
}

void PlayTimeParts(uint32_t ms, char hours[8], char minutes[4], char seconds[4])
{
    const uint32_t s = ms / 1000;
    const uint32_t parts[3] = {std::min(ms / 3600000u, kMaxHours), (s % 3600) / 60, s % 60};
    char *out[3] = {hours, minutes, seconds};
    const size_t sizes[3] = {8, 4, 4};
    for (int i = 0; i < 3; ++i) {
        std::snprintf(out[i], sizes[i], parts[i] >= 10 ? "%u" : "0%u", parts[i]);
    }
}

void SaveSlotView::Create()
{
    if (background == nullptr) {
        background = std::make_unique<UIQuad>();
        leftStrip = std::make_unique<UIQuad>();
        rows = std::make_unique<UIQuad[]>(kSlotRowsShown);
        cursorQuad = std::make_unique<UIQuad>();
        labels = std::make_unique<UIQuad[]>(kSlotLabels);
    }
    if (slots == nullptr) {
        slots = std::make_unique<CSSaveSlotList>();
    }
}

void SaveSlotView::Release()
{
    background.reset();
    leftStrip.reset();
    rows.reset();
    cursorQuad.reset();
    labels.reset();
    if (slots != nullptr) {
        slots->Release();
        slots.reset();
    }
}

void SaveSlotView::LayOut()
{
    SetQuadPositions(background->v, 0, 0, 640, 480);
    SetQuadUVs(background->v, 0, 0, 1, 1);
    SetQuadArgb(background->v, kUIPictureColour);
    PlaceUIQuad(leftStrip.get(), {0, 0, 143, 325}, {193, 2, 336, 454});
    for (int32_t k = 0; k < kSlotRowsShown; ++k) {
        const float top = kRowTop + kRowStep * static_cast<float>(k);
        PlaceUIQuad(&rows[k], {kRowLeft, top, 320, top + 41}, {1, 410, 174, 472});
    }
    PlaceFramePieces(frame, kSlotDetailFrame.x0, kSlotDetailFrame.y0, kSlotDetailFrame.x1, kSlotDetailFrame.y1);
    for (int i = 0; i < 6; ++i) {
        PlaceSlotLabel(&labels[i], i);
    }
    SetCursor(cursor);
}

void SaveSlotView::SetCursor(int32_t slot)
{
    cursor = std::clamp(slot, 0, kSaveSlots - 1);
    if (cursor < firstRow) {
        firstRow = cursor;
    } else if (cursor - firstRow > kSlotRowsShown - 1) {
        firstRow = cursor - (kSlotRowsShown - 1);
    }
    if (cursorQuad != nullptr) {
        const float y = 88.0f + kRowStep * static_cast<float>(cursor - firstRow);
        // The source runs right to left: the arrow is mirrored.
        PlaceUIQuad(cursorQuad.get(), {23, y, 78, y + 44}, {392, 4, 337, 86});
    }
}

bool SaveSlotView::MoveCursor(int32_t step)
{
    const int32_t next = std::clamp(cursor + step, 0, kSaveSlots - 1);
    if (next == cursor) {
        return false;
    }
    SetCursor(next);
    return true;
}

void SaveSlotView::Draw(CSTextBlock *rowText) const
{
    DrawUIQuad(*background, baseMap);
    DrawUIQuad(*leftStrip, savlod);
    for (int32_t k = 0; k < kSlotRowsShown; ++k) {
        DrawUIQuad(rows[k], savlod);
    }
    DrawUIQuad(*cursorQuad, savlod);
    for (const UIQuad &piece : frame) {
        DrawUIQuad(piece, player);
    }
    DrawRows(rowText);
    DrawDetails(slots->Slot(cursor));
    if (CSUIManager *ui = g_pUIManager) {
        ui->DrawShadeRect(0, 410, 640, 445);
        ui->DrawKeyPrompts(3);
    }
}

void SaveSlotView::DrawRows(CSTextBlock *rowText) const
{
    for (int32_t k = 0; k < kSlotRowsShown; ++k) {
        const int32_t index = firstRow + k;
        const SaveSlotInfo &slot = slots->Slot(index);
        const float top = kRowTop + kRowStep * static_cast<float>(k);
        const int32_t number = index + 1;
        DrawSlotDigit(words, number / 10, kRowLeft + 17, top + 12, kSlotDigitHeight);
        DrawSlotDigit(words, number % 10, kRowLeft + 17 + kSlotDigitWidth, top + 12, kSlotDigitHeight);
        if (slot.state != kSlotSaved || slot.GetName() == nullptr || rowText == nullptr) {
            continue;
        }
        const char16_t *stageName = g_pUIManager != nullptr ? g_pUIManager->GetStageName(slot.lastStageId) : nullptr;
        if (stageName != nullptr) {
            rowText->SetText(nullptr, stageName, static_cast<int32_t>(kRowLeft) + 51, static_cast<int32_t>(top), 544);
            rowText->AlignY(kAlignCentre, static_cast<int32_t>(top) + 21);
            rowText->Draw();
        }
    }
    for (int32_t k = 0; k < kSlotRowsShown; ++k) {
        if (slots->Slot(firstRow + k).completed == 0) {
            continue;
        }
        const float top = kRowTop + kRowStep * static_cast<float>(k);
        UIQuad mark;
        PlaceUIQuad(&mark, {kRowLeft - 1, top + 7, kRowLeft + 24, top + 32}, kCompletedMark);
        DrawUIQuad(mark, player);
    }
}

void SaveSlotView::DrawDetails(const SaveSlotInfo &slot) const
{
    UIQuad hero;
    if (slot.state != kSlotSaved) {
        PlaceUIQuad(&hero, kHeroArea, kNoHero);
        DrawUIQuad(hero, savlod);
        DrawUIQuad(labels[kLabelEmpty], words);
        return;
    }
    // A saved game's hero is 0 or 1: the scan refused every other.
    const int32_t heroType = slot.hero == 1 ? 1 : 0;
    PlaceUIQuad(&hero, kHeroArea, kHeroPicture[heroType]);
    DrawUIQuad(hero, savlod);
    DrawPlaced(heroType == 0 ? kHero0Name[UILanguageColumn()] : kHero1Name, words);
    for (int i = kLabelHP; i <= kLabelTime; ++i) {
        DrawUIQuad(labels[i], words);
    }
    const int32_t values[4] = {slot.maxHP, slot.maxPower, slot.money, slot.stagesCleared};
    for (int i = 0; i < 4; ++i) {
        DrawDigits(words, values[i], kSlotNumberRight, kNumberTops[i]);
    }
    DrawPlayTimeDigits(words, slot.playTimeMs, kSlotTimeLeft, kSlotTimeTop, kSlotTimeDigitHeight);
    DrawPhotoBand(slot.lastStageId);
}

void SaveSlotView::DrawPhotoBand(int32_t lastStageId) const
{
    for (const UIRect &bar : kPhotoBars) {
        DrawUntexturedRect(bar, kPhotoBarColour);
    }
    DrawPlaced(kSlotPhotoFrame, savlod);
    const int32_t index = StageIdToIndex(lastStageId);
    if (index >= 0 && index < kStagePhotos) {
        const float column = static_cast<float>(index % kPhotoColumns);
        const float row = static_cast<float>(index / kPhotoColumns);
        DrawPlaced({kSlotPhoto, {1 + 71 * column, 1 + 71 * row, 70 + 71 * column, 70 + 71 * row}}, photos);
    }
    for (const UIPlaced &bracket : kBrackets) {
        DrawPlaced(bracket, savlod);
    }
}
