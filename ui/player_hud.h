// CSPlayerHUD: one hero's panel of the overlay. A portrait frame with the
// life and power bars, each as long as its maximum (13 px per 300 life and
// per 75 power), the life bar with a trail that drains after a loss and
// red frames that pulse while life is at most 200, the power bar with an
// overlay that pulses while power is full; the quick item with its count;
// the hit counter and the money counter. Every panel is laid out at the
// first player's place in the top left; the second player's panel is the
// same layout drawn at the second player's place (SecondPlayerPlace). The
// panel reads its hero each frame (Refresh) and steps the quick item on l2
// and r2 of the hero's pad.
#pragma once

#include <cstdint>

#include "app/pad_state.h"
#include "ui/hud_counters.h"

class CSHero;
struct RwTexture;

inline constexpr int32_t kHudIconSheets = 6;

class CSPlayerHUD {
public:
    static constexpr int32_t kLowLife = 200;
    static constexpr int32_t kLifeUnit = 300;
    static constexpr int32_t kPowerUnit = 75;
    static constexpr float kLifePixels = 0.043333333f;   // 13 px per 300 life
    static constexpr float kPowerPixels = 0.17333333f;   // 13 px per 75 power
    // The second player's place: the first player's layout mirrored about
    // the screen's middle (x becomes 640 - x, the bars and their frames
    // turned about, so the bars grow from the portrait at the right edge
    // toward the middle; the portrait with the item icon and its count
    // inside it keeps its turn and moves to the right edge whole) and
    // lowered by
    // this much, so that it stands in the top right below the hit counter
    // (whose ornament line reaches y 118, 128 at 800 x 600) and clear of the
    // pick-up icon (y 40 to 90), the money counter and the boss gauge at the
    // bottom. Only the drawing moves: the layout (and what the tests read
    // of it) stays the first player's.
    static constexpr float kSecondPlayerDrop = 120.0f;

    // The frames and their red twins, in drawing's order of use.
    enum Frame { kPortrait, kLifeMiddle, kLifeEnd, kPowerLeft, kPowerMiddle, kPowerEnd, kFrames };

    // Binds the hero (player index: its place in the stage's hero list),
    // lays the panel out, places the counters for the screen size and
    // reads the hero once; the life trail starts at the life.
    void Init(uint8_t playerIndex, CSHero *hero, uint32_t screenWidth, uint32_t screenHeight);
    // One frame: the quick item, the counters' time and the hero's power
    // and life (a change of a maximum lays the frames out again; a loss of
    // life starts the trail at the life before it).
    void Refresh(uint32_t ms);
    // The trail drains the faster the longer it runs, down to the life.
    void StepLifeTrail(uint32_t ms);
    void StepLowLifeBlink(uint32_t ms);
    void StepPowerFullBlink(uint32_t ms);
    bool TrailRunning() const { return trailMs_ != kHudTimerIdle; }
    // l2 steps the quick item forward, r2 backward (r2 wins), with the move
    // sound; only with the pad connected, no movie, the hero not hurt, held
    // or dying and the camera in mode 0.
    void HandleItemSelect(const PadState &pad);
    // The panel with the atlas and the overlay's six icon sheets.
    void Render(RwTexture *atlas, RwTexture *const sheets[kHudIconSheets]);

    // The middle strip: (maximum - 4 x unit) / unit whole tiles of 13 px
    // from the strip's left edge, then one from the last tile to 1 px past
    // the end cap's left edge (none when that is not right of it). The
    // tiles' left and right edges into `edges` (pairs), their count returned.
    static int32_t StripTiles(float stripLeft, float endCapLeft, int32_t maximum, int32_t unit, float *edges,
                              int32_t room);

    CSHero *hero = nullptr;
    CSHitCounter hitCounter;
    CSMoneyCounter moneyCounter;

    uint8_t PlayerIndex() const { return playerIndex_; }
    // Whether this panel is drawn at the second player's place (player index 1).
    bool AtSecondPlayerPlace() const { return playerIndex_ == 1; }
    // A quad of the layout as this panel draws it (itself for the first
    // player): a bar or its frame turned about with the panel; a picture
    // that must read the right way (the portrait and the item icon and
    // count inside it) keeps its turn and moves with its group, whose left
    // and right edges are given.
    UIQuad Placed(const UIQuad &quad) const;
    UIQuad PlacedUpright(const UIQuad &quad, float groupLeft, float groupRight) const;
    uint8_t PadNumber() const { return padNumber_; }
    bool Enabled() const { return enabled_; }
    int32_t Life() const { return life_; }
    int32_t MaxLife() const { return maxLife_; }
    int32_t Power() const { return power_; }
    int32_t MaxPower() const { return maxPower_; }
    int32_t Trail() const { return trail_; }
    int32_t ItemId() const { return itemId_; }
    int32_t ItemCount() const { return itemCount_; }
    const UIQuad &CountQuad(int i) const { return countQuads_[i]; }
    float LifeLength() const { return lifeLength_; }
    float PowerLength() const { return powerLength_; }
    bool LowLifeBlinking() const { return lowLifeMs_ != kHudTimerIdle; }
    bool PowerFullBlinking() const { return powerFullMs_ != kHudTimerIdle; }
    // The red frames show while the low-life pulse runs and life is not 0;
    // the power-full overlay while power equals its maximum.
    bool RedFramesShown() const { return lowLifeMs_ != kHudTimerIdle && life_ != 0; }
    bool PowerFullShown() const { return power_ == maxPower_; }
    uint8_t RedFrameAlpha() const { return static_cast<uint8_t>(redFrames_[0].v[0].emissiveColor >> 24); }
    uint8_t PowerFullAlpha() const { return static_cast<uint8_t>(powerFull_.v[0].emissiveColor >> 24); }
    const UIQuad &LifeFill() const { return lifeFill_; }
    const UIQuad &LifeTrail() const { return lifeTrail_; }
    const UIQuad &PowerFill() const { return powerFill_; }
    const UIQuad &PowerFullQuad() const { return powerFull_; }
    const UIQuad &FrameQuad(Frame f) const { return frames_[f]; }
    const UIQuad &ItemIcon() const { return itemIcon_; }

private:
    void LayOutFrames();
    void SetLifeEdges();
    void SetPowerEdges();
    void DrawTiledStrip(UIQuad *middle, int32_t maximum, int32_t unit, float endCapLeft);
    void Draw(const UIQuad &quad, RwRaster *raster) const;
    void DrawKeepRaster(const UIQuad &quad) const;
    // The portrait at the second player's place: it keeps its turn (a face
    // and its lettering read the right way round).
    void DrawUpright(const UIQuad &quad, RwRaster *raster) const;
    static void StepPulse(uint32_t ms, uint32_t *timer, bool *rising, UIQuad *quads, int count);

    UIQuad backgrounds_[2] = {};  // life, power
    UIQuad frames_[kFrames] = {};
    UIQuad redFrames_[kFrames] = {};
    UIQuad lifeFill_ = {};
    UIQuad lifeTrail_ = {};
    UIQuad powerFill_ = {};
    UIQuad powerFull_ = {};
    UIQuad itemIcon_ = {};
    UIQuad countQuads_[2] = {};

    uint8_t playerIndex_ = 0;
    uint8_t padNumber_ = 0;
    bool enabled_ = false;
    int32_t maxPower_ = kHudValueUnread;
    int32_t power_ = kHudValueUnread;
    int32_t maxLife_ = kHudValueUnread;
    int32_t life_ = kHudValueUnread;
    int32_t trail_ = 0;
    int32_t itemId_ = kHudValueUnread;
    int32_t itemCount_ = kHudValueUnread;
    float lifeLength_ = 0.0f;   // Lw
    float powerLength_ = 0.0f;  // Pw
    uint32_t trailMs_ = kHudTimerIdle;
    uint32_t lowLifeMs_ = kHudTimerIdle;
    bool lowLifeRising_ = false;
    uint32_t powerFullMs_ = kHudTimerIdle;
    bool powerFullRising_ = false;
};
