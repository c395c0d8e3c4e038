// Screen 16, the ranking of a finished stage. On activation it rates the
// stage (stage_rating.h) from its play time, the first hero's earnings in
// it and its best hit count, pays the grade's bonus and the earnings into
// the hero's money once, and records the play time, best hit count and
// grade in the carried blocks. Then, phase by phase, the figures count up,
// the hero fades in with the weapon it wears, the grade letter zooms into
// place and, for the eight reward stages, a band opens with the reward
// item, which a last confirm gives. It leaves through a fade to the lobby
// (11), or to the stage clear (17) after the final stages 37 and 38.
//
// The hero's pictures stream in meanwhile (hero_picture_pack.h); the
// labels and grade letters are cells of the lobby's art (LOBBY), the frame
// of PLAYER, the band of MAPBASE: all borrowed from the screen manager.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/hero_picture_pack.h"
#include "ui/stage_rating.h"
#include "ui/ui_quad.h"

class CSTextBlock;
struct RwTexture;

class CSRanking {
public:
    enum Phase : uint32_t { kCountUp = 0, kHeroFade = 1, kGradeZoom = 2, kReward = 3, kLeaving = 4 };
    enum Text : int { kTimeText = 0, kEarningsText, kHitsText, kBonusText, kMoneyText, kRewardText, kTexts };

    static constexpr uint32_t kIntroMs = 500;
    static constexpr uint32_t kCountUpMs = 900;
    static constexpr uint32_t kHeroFadeMs = 500;
    static constexpr uint32_t kZoomMs = 500;
    static constexpr uint32_t kBandOpenMs = 200;
    static constexpr uint32_t kLeaveFadeMs = 1000;
    static constexpr int32_t kMusicFadeMs = 700;

    CSRanking();
    ~CSRanking();
    CSRanking(const CSRanking &) = delete;
    CSRanking &operator=(const CSRanking &) = delete;

    void SetActive(bool on);
    // One frame with the game system's frame time.
    void Update();
    void Update(uint32_t ms);
    void Render();
    void ReleaseTextures();
    void Release();

    bool active = false;
    bool leaving = false;
    uint32_t phase = kCountUp;
    int32_t rewardItem = kNoRewardItem;
    uint32_t grade = 4;
    uint32_t introMs = 0;
    uint32_t countUpMs = 0;
    uint32_t heroFadeMs = 0;
    uint32_t zoomMs = 0;
    uint32_t bandMs = 0;
    HeroPicturePack pictures;

    const StageRating &Rating() const { return rating_; }
    int32_t Stage() const { return stage_; }
    bool ZoomSoundPlayed() const { return zoomSoundPlayed_; }
    const CSTextBlock *TextBlock(int i) const { return texts_[i]; }

private:
    struct Quads;

    void Rate();
    void LayOutTexts();
    void LayOutQuads();
    void EndCountUp();
    void EndZoom();
    void Confirm();
    void Leave();
    void GiveReward();
    void DrawHero();
    void DrawGradeLetter() const;
    void DrawBand();

    CSTextBlock *texts_[kTexts] = {};
    std::unique_ptr<Quads> quads_;
    RwTexture *baseMap_ = nullptr;   // borrowed
    RwTexture *lobbyArt_ = nullptr;  // borrowed
    RwTexture *playerArt_ = nullptr; // borrowed
    RwTexture *wordArt_ = nullptr;   // borrowed
    RwTexture *mapBase_ = nullptr;   // borrowed
    StageRating rating_;
    int32_t stage_ = 0;
    int32_t hero_ = 0;
    bool zoomSoundPlayed_ = false;
};
