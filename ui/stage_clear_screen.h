// Screen 17, the stage clear: the end of the game after the final stages.
// It plays the ending movie (a confirm stops it), then draws the hero's
// route over the base map, a marker every 150 ms from the start point
// through each cleared stage in clearing order; a confirm wipes the map
// away in black streaks and shows the results beside the hero (total play
// time, stages graded, best hit count and the final grade over every
// stage grade, stage_rating.h); a last confirm opens the save panel, from
// which backing out returns to the title.
//
// The labels, digits, hero names, grade letters and route marker are cells
// of CLEAR (512 x 256, by language), the results' base is RANKBAS, both
// from the CLEAR pack; the hero's pictures stream in as on the ranking.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/hero_picture_pack.h"

class CSSaveGame;
class CSTextBlock;
struct RwTexture;

class CSStageClear {
public:
    enum Phase : uint32_t { kRoute = 0, kWipe = 1, kResults = 2, kSavePanel = 5 };

    static constexpr uint32_t kStopped = 0xFFFFFFFFu;
    static constexpr uint32_t kMarkerStepMs = 150;
    static constexpr uint32_t kRoutePoints = 29;
    static constexpr uint32_t kWipeMs = 500;
    static constexpr uint32_t kRevealMs = 500;
    static constexpr uint32_t kLetterMs = 500;
    static constexpr uint32_t kMaxHours = 99;

    CSStageClear();
    ~CSStageClear();
    CSStageClear(const CSStageClear &) = delete;
    CSStageClear &operator=(const CSStageClear &) = delete;

    void SetActive(bool on);
    void Update();
    void Update(uint32_t ms);
    void Render();
    void ReleaseTextures();
    void Release();

    // The route's entries that show at route time `ms`: the slots of the
    // points from the start, in order.
    int32_t RoutePointsShown(uint32_t ms, int32_t slots[kRoutePoints]) const;

    std::unique_ptr<CSSaveGame> savePanel;  // made on the first activation
    CSTextBlock *texts[3] = {};
    RwTexture *clearArt = nullptr;  // CLEAR, own
    RwTexture *baseArt = nullptr;   // RANKBAS, own
    RwTexture *playerArt = nullptr; // borrowed
    RwTexture *wordArt = nullptr;   // borrowed
    RwTexture *baseMap = nullptr;   // borrowed
    bool active = false;
    uint32_t phase = kRoute;
    uint32_t routeMs = kStopped;
    uint32_t transitionMs = kStopped;
    uint32_t letterMs = kStopped;
    uint32_t finalGrade = 4;
    uint32_t playSeconds = 0;
    uint32_t stagesGraded = 0;
    uint32_t bestHits = 0;
    HeroPicturePack pictures;

private:
    void LoadPictures();
    void Confirm();
    void DrawRoute();
    void DrawTransition();
    void DrawResults();
    void DrawNumber(const char *text, float top) const;
    int32_t Hero() const;
};
