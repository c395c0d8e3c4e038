// A hero's panel of the overlay (see player_hud.h).
#include "ui/player_hud.h"

#include <algorithm>

#include "actor/hero.h"
#include "actor/item_icons.h"
#include "actor/item_manager.h"
#include "app/screen_coords.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"

namespace {

// The six frames (atlas pixels): the portrait, the life bar's middle and
// end cap, the power bar's left part, middle and end cap.
constexpr AtlasRect kPortraitFrame = {1, 1, 122, 90};
constexpr AtlasRect kMiddleStrip = {136, 46, 149, 63};
constexpr AtlasRect kEndCap = {151, 46, 184, 63};
constexpr AtlasRect kPowerLeftPart = {185, 46, 240, 63};

constexpr float kLifeStripLeft = 141.0f;
constexpr float kPowerStripLeft = 157.0f;
constexpr float kCapWidth = 33.0f;
constexpr float kTileWidth = 13.0f;
// The portrait frame's edges; the quick item's icon and its two count
// digits stand inside it.
constexpr float kPortraitLeft = 20.0f;
constexpr float kPortraitRight = 141.0f;
// The strips run this much shorter than their bars (the parts left of them).
constexpr float kStripInset = 52.0f;

constexpr uint32_t kRed = 0xFFF00000u;                           // (240, 0, 0)
constexpr uint32_t kTrailColour = 0xFFAA2828u;                   // (170, 40, 40)
constexpr uint32_t kPowerColour = 0xFFC8C832u;                   // (200, 200, 50)
constexpr uint32_t kPowerFullColour = 0xFFDE911Du;               // (222, 145, 29)
constexpr int32_t kTileRoom = 64;

// The bar's share of its maximum, 0..1 (a maximum of 0 or less shows none).
float Share(int32_t value, int32_t maximum)
{
    if (maximum <= 0) {
        return 0.0f;
    }
    return static_cast<float>(std::clamp(value, 0, maximum)) / static_cast<float>(maximum);
}

bool IsHurtHeldOrDying(int32_t state)
{
    return state == kHeroStateHurt || state == kHeroStateHeld || state == kHeroStateDying;
}

}  // namespace

void CSPlayerHUD::Init(uint8_t playerIndex, CSHero *boundHero, uint32_t screenWidth, uint32_t screenHeight)
{
    hero = boundHero;
    playerIndex_ = playerIndex;
    padNumber_ = boundHero != nullptr ? static_cast<uint8_t>(boundHero->padIndex) : 0;
    // Unread as the bars: the first refresh shows the quick item and its count.
    maxPower_ = power_ = maxLife_ = life_ = itemId_ = itemCount_ = kHudValueUnread;
    trailMs_ = lowLifeMs_ = powerFullMs_ = kHudTimerIdle;
    lowLifeRising_ = powerFullRising_ = false;
    lifeLength_ = powerLength_ = 0.0f;
    LayOutFrames();
    PlacePlainQuad(&lifeFill_, 90, 22, 90, 35, kRed);
    PlacePlainQuad(&lifeTrail_, 88, 22, 88, 35, kTrailColour);
    PlacePlainQuad(&powerFill_, 106, 48, 106, 61, kPowerColour);
    PlacePlainQuad(&powerFull_, 106, 48, 106, 61, kPowerFullColour);
    PlaceAtlasQuad(&itemIcon_, 48, 46, 80, 78, kWholeAtlas, kHudWhite);
    PlaceAtlasQuad(&countQuads_[0], 31, 83, 43, 97, kWholeAtlas, kHudWhite);
    PlaceAtlasQuad(&countQuads_[1], 46, 83, 58, 97, kWholeAtlas, kHudWhite);
    hitCounter.Init(screenWidth, screenHeight);
    moneyCounter.Init();
    Refresh(0);  // which enables the panel
    trail_ = life_;
}

void CSPlayerHUD::LayOutFrames()
{
    const float a = kLifeStripLeft + lifeLength_ - kStripInset;
    const float b = kPowerStripLeft + powerLength_ - kStripInset;
    const struct {
        float x0, y0, x1, y1;
        AtlasRect source;
    } frames[kFrames] = {
        {kPortraitLeft, 20, kPortraitRight, 109, kPortraitFrame},          {kLifeStripLeft, 20, a, 37, kMiddleStrip},
        {a, 20, a + kCapWidth, 37, kEndCap},         {102, 45, kPowerStripLeft, 62, kPowerLeftPart},
        {kPowerStripLeft, 45, b, 62, kMiddleStrip},  {b, 45, b + kCapWidth, 62, kEndCap},
    };
    for (int f = 0; f < kFrames; ++f) {
        PlaceAtlasQuad(&frames_[f], frames[f].x0, frames[f].y0, frames[f].x1, frames[f].y1, frames[f].source,
                       kHudWhite);
        // The red twins keep the alpha their pulse gave them.
        const uint8_t alpha = static_cast<uint8_t>(redFrames_[f].v[0].emissiveColor >> 24);
        PlaceAtlasQuad(&redFrames_[f], frames[f].x0, frames[f].y0, frames[f].x1, frames[f].y1, frames[f].source,
                       (kRed & 0xFFFFFFu) | static_cast<uint32_t>(alpha) << 24);
    }
    PlacePlainQuad(&backgrounds_[0], 92, 23, a, 37, kHudBlack);
    PlacePlainQuad(&backgrounds_[1], 106, 49, b, 61, kHudBlack);
}

void CSPlayerHUD::SetLifeEdges()
{
    SetQuadRight(&lifeFill_, 90.0f + Share(life_, maxLife_) * lifeLength_);
}

void CSPlayerHUD::SetPowerEdges()
{
    const float right = 106.0f + Share(power_, maxPower_) * powerLength_;
    SetQuadRight(&powerFill_, right);
    SetQuadRight(&powerFull_, right);
}

void CSPlayerHUD::Refresh(uint32_t ms)
{
    enabled_ = true;
    CSItemManager *items = UI().items();
    int32_t id = 0;
    int32_t count = 0;
    if (const OwnedItem *selected = items != nullptr ? items->GetSelectedItem(playerIndex_ + 1) : nullptr) {
        id = selected->itemId;
        count = std::max(selected->count, 0);
    }
    hitCounter.Step(ms);
    moneyCounter.Step(ms);
    if (hero != nullptr) {
        const int32_t maxPower = hero->GetMaxPower();
        if (maxPower != maxPower_ || hero->power != power_) {
            if (maxPower != maxPower_) {
                maxPower_ = maxPower;
                powerLength_ = static_cast<float>(maxPower) * kPowerPixels;
                LayOutFrames();
            }
            power_ = hero->power;
            SetPowerEdges();
        }
        const int32_t maxLife = hero->GetMaxHP();
        if (maxLife != maxLife_ || hero->hp != life_) {
            if (maxLife != maxLife_) {
                maxLife_ = maxLife;
                lifeLength_ = static_cast<float>(maxLife) * kLifePixels;
                LayOutFrames();
            }
            const int32_t previous = life_;
            life_ = hero->hp;
            SetLifeEdges();
            if (trailMs_ == kHudTimerIdle) {
                trail_ = previous;
                trailMs_ = 0;
            }
            SetQuadRight(&lifeTrail_, 88.0f + Share(trail_, maxLife_) * lifeLength_);
        }
    }
    if (id != itemId_) {
        itemId_ = id;
        float s0 = 0.0f, t0 = 0.0f, s1 = 0.0f, t1 = 0.0f;
        GetItemIconUV(id, &s0, &t0, &s1, &t1, items);
        SetQuadUVs(itemIcon_.v, s0, t0, s1, t1);
    }
    if (count != itemCount_) {
        itemCount_ = count;
        // The tens capped at 9, then the ones.
        const int32_t digits[2] = {std::min(count / 10, 9), count % 10};
        for (int i = 0; i < 2; ++i) {
            const AtlasRect cell = HudDigitCell(HudDigits::kCount, digits[i]);
            SetQuadUVs512(countQuads_[i].v, cell.s0, cell.t0, cell.s1, cell.t1);
        }
    }
}

void CSPlayerHUD::StepLifeTrail(uint32_t ms)
{
    if (trailMs_ == kHudTimerIdle) {
        return;
    }
    if (trail_ < life_) {
        trail_ = life_;
        trailMs_ = kHudTimerIdle;
        return;
    }
    trail_ = static_cast<int32_t>(static_cast<float>(trail_) - static_cast<float>(trailMs_) * 0.01f);
    SetQuadRight(&lifeTrail_, 88.0f + Share(trail_, maxLife_) * lifeLength_);
    if (trail_ <= life_) {
        trailMs_ = kHudTimerIdle;
        return;
    }
    trailMs_ += ms;
}

void CSPlayerHUD::StepPulse(uint32_t ms, uint32_t *timer, bool *rising, UIQuad *quads, int count)
{
    *timer = (*timer == kHudTimerIdle ? 0 : *timer) + ms;
    const uint32_t a = std::min<uint32_t>(*timer / 2, 255);
    const uint32_t alpha = *rising ? a : 255 - a;
    if (alpha == 255) {
        *rising = false;
        *timer = 0;
    } else if (alpha == 0) {
        *rising = true;
        *timer = 0;
    }
    for (int i = 0; i < count; ++i) {
        SetQuadAlpha(quads[i].v, static_cast<uint8_t>(alpha));
    }
}

void CSPlayerHUD::StepLowLifeBlink(uint32_t ms)
{
    if (life_ > kLowLife) {
        lowLifeMs_ = kHudTimerIdle;
        return;
    }
    StepPulse(ms, &lowLifeMs_, &lowLifeRising_, redFrames_, kFrames);
}

void CSPlayerHUD::StepPowerFullBlink(uint32_t ms)
{
    if (power_ < maxPower_) {
        powerFullMs_ = kHudTimerIdle;
        return;
    }
    StepPulse(ms, &powerFullMs_, &powerFullRising_, &powerFull_, 1);
}

void CSPlayerHUD::HandleItemSelect(const PadState &pad)
{
    if (pad.connected == 0 || hero == nullptr || UI().isMoviePlaying() || IsHurtHeldOrDying(hero->state) ||
        UI().cameraMode() != 0) {
        return;
    }
    const bool forward = pad.buttons[kPadL2] == kPadPressedState;
    const bool backward = pad.buttons[kPadR2] == kPadPressedState;
    if (!forward && !backward) {
        return;
    }
    if (CSItemManager *items = UI().items()) {
        if (backward) {
            items->SelectPreviousItem(playerIndex_ + 1);
        } else {
            items->SelectNextItem(playerIndex_ + 1);
        }
    }
    if (g_pUIManager != nullptr) {
        g_pUIManager->PlayUISound(kUISoundMove, 0);
    }
}

int32_t CSPlayerHUD::StripTiles(float stripLeft, float endCapLeft, int32_t maximum, int32_t unit, float *edges,
                                int32_t room)
{
    int32_t whole = unit > 0 ? (maximum - 4 * unit) / unit : 0;
    // Tiles that would start past the screen's right edge are not drawn.
    const int32_t onScreen = static_cast<int32_t>((640.0f - stripLeft) / kTileWidth) + 1;
    whole = std::clamp(whole, 0, std::min(room - 1, onScreen));
    int32_t count = 0;
    float left = stripLeft;
    for (int32_t i = 0; i < whole; ++i, left += kTileWidth) {
        edges[2 * count] = left;
        edges[2 * count + 1] = left + kTileWidth;
        ++count;
    }
    // The last tile closes the gap up to the end cap; a cap left of it
    // leaves nothing to close.
    const float right = endCapLeft + 1.0f;
    if (right > left) {
        edges[2 * count] = left;
        edges[2 * count + 1] = right;
        ++count;
    }
    return count;
}

UIQuad CSPlayerHUD::Placed(const UIQuad &quad) const
{
    if (!AtSecondPlayerPlace()) {
        return quad;
    }
    // Mirrored: corner 0 takes corner 1's source and colour at the mirrored
    // left edge, and so on, so the corners keep their order (and the
    // triangles their turn) while the picture is turned about.
    UIQuad placed = quad;
    static constexpr int kPartner[4] = {1, 0, 3, 2};
    for (int i = 0; i < 4; ++i) {
        placed.v[i] = quad.v[kPartner[i]];
        SetScreenX(&placed.v[i], kVirtualWidth - GetVirtualX(&quad.v[kPartner[i]]));
        SetScreenY(&placed.v[i], GetVirtualY(&quad.v[kPartner[i]]) + kSecondPlayerDrop);
    }
    return placed;
}

UIQuad CSPlayerHUD::PlacedUpright(const UIQuad &quad, float groupLeft, float groupRight) const
{
    if (!AtSecondPlayerPlace()) {
        return quad;
    }
    // The group's mirrored place is its own width away from the mirrored
    // right edge: a plain move keeps the picture (and the digits' order).
    const float shift = kVirtualWidth - groupRight - groupLeft;
    UIQuad placed = quad;
    for (RwIm2DVertex &v : placed.v) {
        SetScreenX(&v, GetVirtualX(&v) + shift);
        SetScreenY(&v, GetVirtualY(&v) + kSecondPlayerDrop);
    }
    return placed;
}

void CSPlayerHUD::Draw(const UIQuad &quad, RwRaster *raster) const
{
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, raster);
    DrawKeepRaster(quad);
}

void CSPlayerHUD::DrawUpright(const UIQuad &quad, RwRaster *raster) const
{
    const UIQuad placed = PlacedUpright(quad, kPortraitLeft, kPortraitRight);
    DrawUIQuad(placed.v, raster);
}

void CSPlayerHUD::DrawKeepRaster(const UIQuad &quad) const
{
    const UIQuad placed = Placed(quad);
    DrawUIQuadKeepRaster(placed.v);
}

void CSPlayerHUD::DrawTiledStrip(UIQuad *middle, int32_t maximum, int32_t unit, float endCapLeft)
{
    const float stripLeft = GetVirtualX(&middle->v[0]);
    const float top = GetVirtualY(&middle->v[0]);
    const float bottom = GetVirtualY(&middle->v[3]);
    float edges[2 * kTileRoom];
    const int32_t tiles = StripTiles(stripLeft, endCapLeft, maximum, unit, edges, kTileRoom);
    UIQuad tile = *middle;
    for (int32_t i = 0; i < tiles; ++i) {
        SetQuadPositions(tile.v, edges[2 * i], top, edges[2 * i + 1], bottom);
        DrawKeepRaster(tile);
    }
}

void CSPlayerHUD::Render(RwTexture *atlas, RwTexture *const sheets[kHudIconSheets])
{
    RwRaster *raster = GetTextureRaster(atlas);
    const float lifeCap = GetVirtualX(&frames_[kLifeEnd].v[0]);
    const float powerCap = GetVirtualX(&frames_[kPowerEnd].v[0]);
    const bool red = RedFramesShown();

    Draw(backgrounds_[0], nullptr);
    if (trailMs_ != kHudTimerIdle) {
        Draw(lifeTrail_, nullptr);
    }
    Draw(lifeFill_, nullptr);
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, raster);
    DrawTiledStrip(&frames_[kLifeMiddle], maxLife_, kLifeUnit, lifeCap);
    DrawUpright(frames_[kPortrait], raster);
    Draw(frames_[kLifeEnd], raster);
    if (red) {
        DrawUpright(redFrames_[kPortrait], raster);
        DrawTiledStrip(&redFrames_[kLifeMiddle], maxLife_, kLifeUnit, lifeCap);
        Draw(redFrames_[kLifeEnd], raster);
    }

    Draw(backgrounds_[1], nullptr);
    Draw(powerFill_, nullptr);
    if (PowerFullShown()) {
        Draw(powerFull_, nullptr);
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, raster);
    DrawTiledStrip(&frames_[kPowerMiddle], maxPower_, kPowerUnit, powerCap);
    Draw(frames_[kPowerLeft], raster);
    Draw(frames_[kPowerEnd], raster);
    if (red) {
        DrawTiledStrip(&redFrames_[kPowerMiddle], maxPower_, kPowerUnit, powerCap);
        Draw(redFrames_[kPowerLeft], raster);
        Draw(redFrames_[kPowerEnd], raster);
    }

    RwSetRenderState(rwRENDERSTATETEXTURERASTER, raster);
    for (const UIQuad &digit : countQuads_) {
        const UIQuad placed = PlacedUpright(digit, kPortraitLeft, kPortraitRight);
        DrawUIQuadKeepRaster(placed.v);
    }
    if (itemId_ != 0) {
        // An icon number outside the six sheets has no picture; a sheet that
        // is missing draws the cell untextured.
        const int32_t icon = GetItemIconIndex(itemId_, UI().items());
        if (icon >= 0 && icon / kIconCellsPerSheet < kHudIconSheets) {
            const UIQuad placed = PlacedUpright(itemIcon_, kPortraitLeft, kPortraitRight);
            DrawUIQuad(placed.v, GetTextureRaster(sheets[icon / kIconCellsPerSheet]));
        }
    }
    hitCounter.Render(atlas);
    moneyCounter.Render(atlas);
}
