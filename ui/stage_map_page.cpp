// The pause menu's stage map (see stage_map_page.h).
#include "ui/stage_map_page.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "actor/hero.h"
#include "app/acos_table.h"
#include "app/pack.h"
#include "app/screen_coords.h"
#include "app/textures.h"
#include "ui/status_tab_kit.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"

namespace {

constexpr uint32_t kMapFrameColour = 0xF0F0F0F0u;
constexpr uint32_t kMarkerColour = 0xFFFFFFFFu;
constexpr float kPi = 3.14159265358979f;

constexpr StageMapInfo kStageMaps[] = {
    {2010000, "UI2", "MAP0_1", 743.678f, 879.543f, -669.461f, -180.311f, 0, 0},
    {2020000, "UI2", "MAP1_1", 321.03f, 576.76f, -571.931f, -92.961f, 0, 0},
    {2030000, "UI2", "MAP1_2", 833.848f, 596.855f, -363.372f, -301.06f, 0, 0},
    {2040000, "UI2", "MAP1_3", 879.071f, 427.868f, -325.138f, -475.289f, 0, 0},
    {2050000, "UI2", "MAP1_4", 591.718f, 570.268f, -259.808f, -68.377f, 0, 0},
    {2060000, "UI2", "MAP1_5", 251.718f, 83.759f, -599.603f, -554.732f, 0, 0},
    {2080000, "UI2", "MAP1_7", 92.411f, 140.243f, -292.65f, -148.519f, 0, 0},
    {2100000, "UI2", "MAP2_2", 368.342f, 471.081f, -364.538f, -78.579f, 0, 0},
    {2150000, "UI2", "MAP2_7", 235.221f, 35.109f, -240.574f, -321.737f, 0, 0},
    {2160000, "UI2", "MAP3_1", 642.01f, 62.459f, -180.286f, -554.264f, 0, 0},
    {2170000, "UI2", "MAP3_2", 661.211f, 69.258f, -180.26f, -561.844f, 0, 0},
    {2190000, "UI2", "MAP3_4", 413.234f, 136.092f, -385.269f, -462.785f, 0, 0},
    {2220000, "UI2", "MAP3_7", 340.719f, 327.519f, -136.607f, -30.475f, 0, 0},
    {2230000, "UI2", "MAP4_1", 730.576f, 198.644f, -184.134f, -487.389f, 0, 0},
    {2250000, "UI2", "MAP4_3", 742.316f, 98.846f, -234.314f, -633.627f, 0, 0},
    {2270000, "UI3", "MAP4_5", 200.429f, 59.763f, -588.5f, -531.933f, 0, 0},
    {2280000, "UI3", "MAP5_1", 605.288f, 129.0f, -246.165f, -509.589f, 0, 0},
    {2290000, "UI3", "MAP5_2", 188.308f, 34.613f, -507.735f, -893.444f, 1, 0},
    {2300000, "UI3", "MAP5_3", 111.939f, 782.269f, -515.865f, -54.803f, 1, 0},
    {2310000, "UI3", "MAP5_4", 415.388f, 239.102f, -549.069f, -1046.84f, 1, 0},
    {2320000, "UI3", "MAP5_5", 190.01f, 149.001f, -189.039f, -135.286f, 0, 0},
    {2330000, "UI3", "MAP6_1", 471.28f, 977.115f, -356.975f, -127.225f, 1, 0},
    {2340000, "UI3", "MAP6_2", 557.69f, 168.545f, -406.693f, -554.742f, 0, 0},
    {2360000, "UI3", "MAP6_4", 132.722f, 563.142f, -866.656f, -186.391f, 0, 0},
    {2370000, "UI3", "MAP6_5", 148.6f, 83.327f, -188.041f, -365.527f, 1, 0},
    {2380000, "UI3", "MAP6_6", 148.6f, 83.327f, -188.041f, -365.527f, 1, 0},
    {2400000, "UI3", "MAPDVL1", 100.0f, 100.0f, 0.0f, 0.0f, 0, 1},
    {2410000, "UI3", "MAPDVL2", 100.0f, 100.0f, 0.0f, 0.0f, 0, 1},
    {2420000, "UI3", "MAPDVL3", 100.0f, 100.0f, 0.0f, 0.0f, 0, 1},
};

// The frame's nine panel pieces and four corners: screen, then PLAYER pixels.
struct Piece {
    float x0, y0, x1, y1;
    float s0, t0, s1, t1;
};
constexpr Piece kPanel[9] = {
    {112, 57, 127, 72, 1, 126, 15, 141},     {127, 57, 526, 72, 16, 126, 72, 141},
    {526, 57, 541, 72, 72, 126, 87, 141},    {112, 72, 127, 365, 1, 143, 16, 175},
    {127, 72, 526, 365, 16, 143, 72, 175},   {526, 72, 541, 365, 72, 143, 87, 175},
    {112, 365, 127, 380, 1, 174, 16, 189},   {127, 365, 526, 380, 16, 174, 72, 189},
    {526, 365, 541, 380, 72, 174, 87, 189},
};
constexpr Piece kFrameCorners[4] = {
    {89, 34, 112, 57, 218, 296, 241, 342},
    {540, 34, 563, 57, 242, 296, 265, 342},
    {89, 377, 112, 400, 218, 342, 241, 296},   // flipped
    {540, 377, 563, 400, 242, 342, 265, 296},  // flipped
};
constexpr float kMarkerCell[4] = {485, 1, 497, 25};

void SetPiece(OwnedPicture &picture, const Piece &p, RwTexture *art)
{
    picture.Set(art, p.s0, p.t0, p.s1, p.t1, p.x0, p.y0, p.x1, p.y1, kMapFrameColour);
}

RwTexture *HudTexture() { return g_pUIManager != nullptr ? g_pUIManager->GetHudTexture() : nullptr; }

}  // namespace

const StageMapInfo *FindStageMap(int32_t stageId)
{
    for (const StageMapInfo &info : kStageMaps) {
        if (info.stageId == stageId) {
            return &info;
        }
    }
    return nullptr;
}

const StageMapInfo *StageMapTable(int32_t *count)
{
    *count = static_cast<int32_t>(sizeof kStageMaps / sizeof kStageMaps[0]);
    return kStageMaps;
}

void StageMapPicture(int32_t stageId, char *name, size_t nameSize, const char **folder)
{
    const int32_t n = (stageId - 2000000) / 10000 - 1;
    std::snprintf(name, nameSize, n >= 10 ? "STAGE%d.BMP" : "STAGE0%d.BMP", n);
    if (stageId <= 2220000) {
        *folder = "\\RESOURCE\\UITEXT\\STAGEMAP\\";
    } else if (stageId > 2380000) {
        *folder = "\\RESOURCE\\UITEXT\\STAGMAP3\\";
    } else {
        *folder = "\\RESOURCE\\UITEXT\\STAGMAP2\\";
    }
}

void CSStageMapPage::SetActive(bool on, int32_t stageId)
{
    if (active == on) {
        return;
    }
    if (on == 0) {
        Release();
        return;
    }
    active = 1;
    waveTimeMs = 0.0f;
    mapQuad_ = UIQuad{};
    markerQuad_ = UIQuad{};
    LoadPicture(stageId);
    BuildFrame();
    const StageMapInfo *info = FindStageMap(stageId);
    refA = info != nullptr ? RwV3d{info->ax, 0.0f, info->az} : RwV3d{100.0f, 0.0f, 100.0f};
    refB = info != nullptr ? RwV3d{info->bx, 0.0f, info->bz} : RwV3d{0.0f, 0.0f, 0.0f};
    turned = info != nullptr && info->turned != 0;
    noMap = info != nullptr && info->noMap != 0;
    SetQuadPositions(mapQuad_.v, kMapLeft, kMapTop, kMapLeft + kMapWidth, kMapTop + kMapHeight);
    SetQuadUVs(mapQuad_.v, 0, 0, 1, 1);
    SetQuadArgb(mapQuad_.v, kMapFrameColour);
}

void CSStageMapPage::LoadPicture(int32_t stageId)
{
    markerTexture_ = HudTexture();
    if (stagePicture_ != nullptr) {
        return;
    }
    const StageMapInfo *info = FindStageMap(stageId);
    if (info == nullptr) {
        return;  // no pack: the frame alone
    }
    char name[32];
    const char *folder = nullptr;
    StageMapPicture(stageId, name, sizeof name, &folder);
    // The mask is the picture's name with an A before its extension.
    const size_t stem = std::strlen(name) - 4;
    const std::string mask = std::string(name, stem) + "A" + (name + stem);
    const std::string root = UIDataRoot();
    PackOpenHook();
    zuOpenPack((root + "\\PACK\\" + info->folder + "\\" + info->pack + ".STR").c_str());
    RwImageSetPath((root + folder).c_str());
    stagePicture_ = LoadTextureWithMask(name, mask.c_str());
    RwImageSetPath("");
    zuClosePack();  // nothing when the pack did not open
}

void CSStageMapPage::BuildFrame()
{
    RwTexture *art = HudTexture();
    frame_ = std::make_unique<FramePictures>();
    for (size_t i = 0; OwnedPicture &piece : frame_->panel) {
        SetPiece(piece, kPanel[i++], art);
    }
    for (size_t i = 0; OwnedPicture &corner : frame_->corners) {
        SetPiece(corner, kFrameCorners[i++], art);
    }
}

void CSStageMapPage::MapPoint(float x, float z, float *sx, float *sy) const
{
    if (turned == 0) {
        *sx = kMapWidth / (refA.x - refB.x) * (x - refB.x);
        *sy = kMapHeight / (refA.z - refB.z) * (z - refB.z);
    } else {
        *sx = kMapWidth - kMapWidth / (refA.z - refB.z) * (z - refB.z);
        *sy = kMapHeight / (refA.x - refB.x) * (x - refB.x);
    }
    *sx += kMapLeft;
    *sy += kMapTop;
}

void CSStageMapPage::MarkerCorners(float x, float z, const RwV3d &direction, RwV2d corners[4]) const
{
    float mx = 0.0f;
    float my = 0.0f;
    MapPoint(x, z, &mx, &my);
    // The heading about +y (facing -x side) or -y; a turned map a quarter
    // turn more.
    float angle = game::ACosTable::EntryFor(-direction.z);
    if (direction.x > 0.0f) {
        angle = -angle;
    }
    if (turned != 0) {
        angle -= 90.0f;
    }
    const float radians = angle * kPi / 180.0f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    static const float kCorner[4][2] = {{-6, -12}, {6, -12}, {-6, 12}, {6, 12}};
    for (int i = 0; i < 4; ++i) {
        const float cx = kCorner[i][0];
        const float cz = kCorner[i][1];
        corners[i].x = mx + cx * c + cz * s;
        corners[i].y = my - cx * s + cz * c;
    }
}

void CSStageMapPage::DrawHeroMarkers()
{
    markersDrawn_ = 0;
    const int32_t heroes = UI().heroCount != nullptr ? UI().heroCount() : 0;
    for (int32_t i = 0; i < heroes; ++i) {
        CSHero *hero = UI().hero(i);
        if (hero == nullptr) {
            continue;
        }
        RwV3d position;
        RwV3d direction;
        hero->GetPosition(&position);
        hero->GetDirection(&direction);
        RwV2d corners[4];
        MarkerCorners(position.x, position.z, direction, corners);
        for (int k = 0; k < 4; ++k) {
            SetScreenX(&markerQuad_.v[k], corners[k].x);
            SetScreenY(&markerQuad_.v[k], corners[k].y);
            markerQuad_.v[k].z = 0.0f;
            markerQuad_.v[k].rhw = kUIVertexRecipZ;
        }
        SetQuadUVs512(markerQuad_.v, kMarkerCell[0], kMarkerCell[1], kMarkerCell[2], kMarkerCell[3]);
        SetQuadArgb(markerQuad_.v, kMarkerColour);
        DrawUIQuad(markerQuad_.v, GetTextureRaster(markerTexture_));
        ++markersDrawn_;
    }
}

void CSStageMapPage::DrawWaves()
{
    const float left = 114.0f;
    const float right = 539.0f;
    const float top = 58.0f;
    const float stripHeight = (kMapHeight - 2.0f) / kWaveStrips;
    // The sideways shift of strip edge e.
    const auto offset = [this](int e) {
        return std::sin((500.0f * static_cast<float>(e) + waveTimeMs) * 0.001f) * 10.0f;
    };
    RwRaster *raster = GetTextureRaster(stagePicture_);
    for (int e = 0; e < kWaveStrips; ++e) {
        UIQuad strip;
        const float y0 = top + stripHeight * static_cast<float>(e);
        SetQuadPositions(strip.v, left, y0, right, y0 + stripHeight);
        const float t0 = static_cast<float>(e) / kWaveStrips;
        const float t1 = static_cast<float>(e + 1) / kWaveStrips;
        strip.v[0].u = (10.0f + offset(e)) / kMapWidth;
        strip.v[1].u = (kMapWidth - 10.0f + offset(e)) / kMapWidth;
        strip.v[2].u = (10.0f + offset(e + 1)) / kMapWidth;
        strip.v[3].u = (kMapWidth - 10.0f + offset(e + 1)) / kMapWidth;
        strip.v[0].v = strip.v[1].v = t0;
        strip.v[2].v = strip.v[3].v = t1;
        SetQuadArgb(strip.v, kMapFrameColour);
        DrawUIQuad(strip.v, raster);
    }
    waveTimeMs += static_cast<float>(UIFrameMs());
}

void CSStageMapPage::Render()
{
    if (active == 0) {
        return;
    }
    for (OwnedPicture &piece : frame_->panel) {
        piece.picture.Draw();
    }
    for (OwnedPicture &corner : frame_->corners) {
        corner.picture.Draw();
    }
    markersDrawn_ = 0;
    if (noMap == 0) {
        // Without its picture (a stage without a map pack) the frame stands alone.
        if (stagePicture_ != nullptr) {
            DrawUIQuad(mapQuad_.v, GetTextureRaster(stagePicture_));
            DrawHeroMarkers();
        }
    } else {
        DrawWaves();
    }
}

void CSStageMapPage::Update()
{
    if (active == 0) {
        return;
    }
    const PadState &pad = InterfacePad();
    if (pad.connected != 0 && BackPressed(pad)) {
        SetActive(0, 0);
        PlayTabSound(kUISoundBack);
    }
}

void CSStageMapPage::Release()
{
    DestroyTexture(stagePicture_);
    stagePicture_ = nullptr;
    markerTexture_ = nullptr;
    frame_.reset();
    active = 0;
}
