// The stage-select panel's drawing (see stage_select.h): the map with its
// nodes, marker and banner, and the info page that zooms out of the chosen
// node. Sources are texture coordinates of SELSTAG (256 x 256) unless said.
#include <algorithm>
#include <cmath>

#include "app/screen_coords.h"
#include "app/text_block.h"
#include "ui/lobby_art.h"
#include "ui/save_slot_view.h"
#include "ui/stage_select.h"
#include "ui/stage_table.h"
#include "ui/ui_manager.h"

namespace {

constexpr UIPlaced kStrips[3] = {
    {{0, 0, 640, 77}, {0, 0, 1, 0.16041666f}},
    {{0, 77, 640, 371}, {0, 0.16041666f, 1, 0.77291667f}},
    {{0, 371, 640, 480}, {0, 0.77291667f, 1, 1}},
};
constexpr UIRect kInfoFrame = {106, 62, 562, 386};
constexpr UIPlaced kPhotoFrame = {{61, 48, 159, 182}, {0.00390625f, 0.00390625f, 0.38671875f, 0.52734375f}};
constexpr UIPlaced kCaptionPlate = {{61, 144, 159, 200}, {0.390625f, 0.00390625f, 0.7734375f, 0.22265625f}};
constexpr UIRect kPhoto = {63, 50, 151, 174};
constexpr UIRect kPageArrow = {130, 96, 178, 118};
constexpr float kArrowColumns[4][2] = {
    {0.00390625f, 0.19140625f}, {0.1953125f, 0.3828125f}, {0.38671875f, 0.57421875f}, {0.578125f, 0.765625f}};
constexpr float kArrowV[2] = {0.88671875f, 0.97265625f};
// The photo cells of the monster lists 0..10.
constexpr int32_t kMonsterPhotos[kMonsterListRecords] = {30, 29, 33, 34, 31, 35, 32, 36, 37, 38, 39};

constexpr UIRect kExtraNode = {0.2890625f, 0.53125f, 0.484375f, 0.8671875f};
constexpr UIRect kLastNode = {0.703125f, 0.2265625f, 0.8359375f, 0.41015625f};
constexpr UIRect kClearedNode = {0.77734375f, 0.00390625f, 0.85546875f, 0.08203125f};
constexpr UIRect kOpenNode = {0.77734375f, 0.0859375f, 0.85546875f, 0.1640625f};
constexpr UIRect kChosenGlow = {0.5546875f, 0.2265625f, 0.6875f, 0.47265625f};
constexpr UIRect kChosenPulse = {0.3984375f, 0.2265625f, 0.53125f, 0.47265625f};
constexpr UIRect kCorners[4] = {
    {0.0078125f, 0.64453125f, 0.07421875f, 0.7109375f},  // top left
    {0.171875f, 0.64453125f, 0.23828125f, 0.7109375f},   // top right
    {0.0078125f, 0.796875f, 0.07421875f, 0.875f},        // bottom left
    {0.171875f, 0.796875f, 0.23828125f, 0.875f},         // bottom right
};
constexpr float kCornerSize = 17.0f;
constexpr float kBannerTop = 52.0f;
constexpr float kBannerBottom = 108.0f;
constexpr float kBannerV[2] = {0.53125f, 0.75f};
constexpr float kBannerCentre = 310.0f;
constexpr float kBannerEnd = 50.0f;

bool IsExtraStage(int32_t id) { return id == 2400000 || id == 2410000 || id == 2420000; }

uint32_t Grey240(uint32_t alpha) { return std::min<uint32_t>(alpha, 255) << 24 | 0xF0F0F0u; }

UIRect Around(const MapNode &node, float left, float top, float right, float bottom)
{
    const float x = static_cast<float>(node.x);
    const float y = static_cast<float>(node.y);
    return {x - left, y - top, x + right, y + bottom};
}

void DrawShadeAndPrompts()
{
    CSUIManager *ui = g_pUIManager;
    ui->DrawShadeRect(0, 410, 640, 445);
    ui->DrawKeyPrompts(3);
}

}  // namespace

void CSStageSelect::Render()
{
    if (active == 0) {
        return;
    }
    if (mode == kMap) {
        for (const UIPlaced &strip : kStrips) {
            DrawPicture(baseMap, strip);
        }
        if (picturesRead_) {
            DrawNodes();
            DrawMapCursor();
            DrawBanner();
        }
    } else if (mode == kInfo) {
        DrawInfo();
    }
    DrawShadeAndPrompts();
}

void CSStageSelect::DrawNodes() const
{
    const int32_t last = static_cast<int32_t>(g_pUIManager->GetLastStageId());
    for (const MapNode &node : AllNodes()) {
        if (node.open == 0) {
            continue;
        }
        if (IsExtraStage(node.stageId)) {
            DrawPicture(selstag, Around(node, 25, 43, 25, 43), kExtraNode);
        } else if (node.stageId == last) {
            DrawPicture(selstag, Around(node, 17, 23, 17, 24), kLastNode);
        } else {
            DrawPicture(selstag, Around(node, 10, 10, 10, 10), node.cleared != 0 ? kClearedNode : kOpenNode);
        }
    }
    if (chosen == nullptr || chosen->cleared != 0 || IsExtraStage(chosen->stageId)) {
        return;
    }
    // A stage still to play glows in, then pulses every 1020 ms.
    const UIRect around = Around(*chosen, 17, 23, 17, 40);
    DrawPicture(selstag, around, kChosenGlow, Grey240(cursor.restMs));
    uint32_t t = cursor.restMs % 1020;
    if (t > 510) {
        t = 1020 - t;
    }
    DrawPicture(selstag, around, kChosenPulse, Grey240(t / 2));
}

void CSStageSelect::DrawMapCursor() const
{
    const float s = 4.0f * std::sin(static_cast<float>(cursor.counter) * 0.0062831803f);
    const float left = cursor.x - 20.0f + s;
    const float top = cursor.y - 20.0f + s;
    const float right = cursor.x + 20.0f - s;
    const float bottom = cursor.y + 20.0f - s;
    const UIRect corners[4] = {{left, top, left + kCornerSize, top + kCornerSize},
                               {right - kCornerSize, top, right, top + kCornerSize},
                               {left, bottom - kCornerSize, left + kCornerSize, bottom},
                               {right - kCornerSize, bottom - kCornerSize, right, bottom}};
    for (int i = 0; i < 4; ++i) {
        DrawPicture(selstag, corners[i], kCorners[i]);
    }
}

void CSStageSelect::DrawBanner() const
{
    float f = std::min(static_cast<float>(bannerMs) * 0.01f, 1.0f);
    if (!bannerUnfolded) {
        f = 1.0f - f;
    }
    const float h = static_cast<float>(bannerWidth) * 0.5f * f;
    const float c = kBannerCentre;
    const float v0 = kBannerV[0];
    const float v1 = kBannerV[1];
    DrawPicture(selstag, {c - h - kBannerEnd, kBannerTop, c - h, kBannerBottom}, {0.83984375f, v0, 0.6484375f, v1});
    DrawPicture(selstag, {c - h, kBannerTop, c, kBannerBottom}, {0.63671875f, v0, 0.4921875f, v1});
    DrawPicture(selstag, {c, kBannerTop, c + h, kBannerBottom}, {0.4921875f, v0, 0.63671875f, v1});
    DrawPicture(selstag, {c + h, kBannerTop, c + h + kBannerEnd, kBannerBottom}, {0.6484375f, v0, 0.83984375f, v1});
    if (bannerUnfolded && bannerMs >= kBannerMs && bannerText != nullptr) {
        bannerText->Draw();
    }
}

void CSStageSelect::DrawZoomQuad(const UIQuad &quad, const RwTexture *texture) const
{
    // The corners scaled about the chosen node (in screen pixels, as the
    // quad holds them).
    RwIm2DVertex centre = {};
    SetScreenX(&centre, static_cast<float>(chosen->x));
    SetScreenY(&centre, static_cast<float>(chosen->y));
    const float f = static_cast<float>(zoomMs) * 0.005f;
    UIQuad zoomed = quad;
    for (RwIm2DVertex &v : zoomed.v) {
        v.x = centre.x + (v.x - centre.x) * f;
        v.y = centre.y + (v.y - centre.y) * f;
    }
    DrawUIQuad(zoomed, texture);
}

void CSStageSelect::DrawInfo() const
{
    RwTexture *player = g_pUIManager->PlayerArt();
    UIQuad frame[9];
    PlaceFramePieces(frame, kInfoFrame.x0, kInfoFrame.y0, kInfoFrame.x1, kInfoFrame.y1);
    if (zoomMs < kZoomMs) {
        for (const UIPlaced &strip : kStrips) {
            DrawPicture(baseMap, strip);
        }
        for (const UIQuad &piece : frame) {
            DrawZoomQuad(piece, player);
        }
        for (const UIPlaced *picture : {&kPhotoFrame, &kCaptionPlate}) {
            UIQuad quad;
            PlacePicture(&quad, picture->screen, picture->source);
            DrawZoomQuad(quad, selstag);
        }
        return;
    }
    for (int row = 0; row < 3; ++row) {
        DrawPicture(baseMap, kStrips[row]);
        for (int column = 0; column < 3; ++column) {
            DrawUIQuad(frame[row * 3 + column], player);
        }
    }
    DrawPicture(selstag, kPhotoFrame);
    DrawInfoPhoto();
    const int32_t frameNumber = static_cast<int32_t>(arrowMs % 750 / 150);
    if (chosen->monsters[0] >= 0 && frameNumber > 0) {
        const float *u = kArrowColumns[frameNumber - 1];
        DrawPicture(selstag, kPageArrow, {u[0], kArrowV[0], u[1], kArrowV[1]});
    }
    DrawPicture(selstag, kCaptionPlate);
    if (pageText != nullptr) {
        pageText->Draw();
    }
}

void CSStageSelect::DrawInfoPhoto() const
{
    int32_t cell = -1;
    if (page == 0) {
        cell = StageIdToIndex(chosen->stageId);
    } else {
        const int32_t list = chosen->monsters[page - 1];
        cell = list >= 0 && list < kMonsterListRecords ? kMonsterPhotos[list] : -1;
    }
    if (cell >= 0 && cell < 49) {
        DrawPicture(photos, kPhoto, StagePhotoCell(cell));
    }
}
