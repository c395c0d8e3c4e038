// CSStageMapPage: the pause menu's map of the running stage, a framed
// picture with a heading marker for each hero, placed by mapping the hero's
// position through two reference points of the stage (A at the picture's
// bottom right, B at its top left; a turned map lies a quarter turn from
// the world axes). The last three stages have no map: their picture waves
// and shows no marker. A stage the table does not hold shows the frame
// alone. Cross or select closes the page.
#pragma once

#include <cstdint>
#include <memory>

#include "rwcore.h"
#include "ui/ui_quad.h"

class AiObject;

// One row of the stage map table.
struct StageMapInfo {
    int32_t stageId;
    const char *folder;  // "UI2" or "UI3"
    const char *pack;    // "MAP0_1"
    float ax, az, bx, bz;
    uint8_t turned;
    uint8_t noMap;
};

// The row of a stage id, null for one the table does not hold.
const StageMapInfo *FindStageMap(int32_t stageId);
// The table's 29 rows.
const StageMapInfo *StageMapTable(int32_t *count);
// The picture's name and folder under the data root: "STAGE00.BMP" and
// "\RESOURCE\UITEXT\STAGEMAP\" for 2010000 (the mask: the name with "A").
void StageMapPicture(int32_t stageId, char *name, size_t nameSize, const char **folder);

class CSStageMapPage {
public:
    static constexpr float kMapLeft = 112.0f;
    static constexpr float kMapTop = 57.0f;
    static constexpr float kMapWidth = 429.0f;
    static constexpr float kMapHeight = 321.75f;
    static constexpr int kWaveStrips = 30;

    CSStageMapPage() = default;
    ~CSStageMapPage() { Release(); }
    CSStageMapPage(const CSStageMapPage &) = delete;
    CSStageMapPage &operator=(const CSStageMapPage &) = delete;

    // Opens the page for a stage (1) or closes it (0); nothing when the
    // page already is so.
    void SetActive(bool on, int32_t stageId);
    void Update();
    void Render();
    void Release();

    // Where a hero at (x, z) stands on the screen.
    void MapPoint(float x, float z, float *sx, float *sy) const;
    // The marker's four corners (top left, top right, bottom left, bottom
    // right) for a hero at (x, z) facing `direction`.
    void MarkerCorners(float x, float z, const RwV3d &direction, RwV2d corners[4]) const;

    bool active = false;
    uint8_t turned = 0;
    uint8_t noMap = 0;
    RwV3d refA = {100.0f, 0.0f, 100.0f};
    RwV3d refB = {0.0f, 0.0f, 0.0f};
    float waveTimeMs = 0.0f;

    RwTexture *StagePicture() const { return stagePicture_; }
    int32_t MarkersDrawn() const { return markersDrawn_; }
    const UIQuad &MapQuad() const { return mapQuad_; }

private:
    void LoadPicture(int32_t stageId);
    void BuildFrame();
    void DrawHeroMarkers();
    void DrawWaves();

    // The frame round the map: nine panel pieces and four corners.
    struct FramePictures {
        OwnedPicture panel[9];
        OwnedPicture corners[4];
    };

    UIQuad mapQuad_ = {};
    UIQuad markerQuad_ = {};
    std::unique_ptr<FramePictures> frame_;
    RwTexture *stagePicture_ = nullptr;   // owned
    RwTexture *markerTexture_ = nullptr;  // the overlay's PLAYER
    int32_t markersDrawn_ = 0;
};
