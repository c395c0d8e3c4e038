// The lobby's stage-select panel (menu entry 0): a map of the game's 29
// stages. The player moves a marker from open stage to open stage (a
// cleared stage opens the stages after it in a fixed graph), reads the
// chosen stage's name on a banner, opens its info page (photo, name,
// description for the hero, and up to two pages of the monsters met
// there) and starts it: the lobby gives way to the in-stage screen and the
// stage manager is asked for the stage.
//
// The panel streams its pack SELSTAGE (the SELSTAG picture and the name
// files) after it opens and takes no input until the pack is read; a pack
// that cannot be read is a missing file the panel needs and raises the
// fatal message. Without a stage-name record the banner shows the stage's
// name from the message table, with no description.
#pragma once

#include <cstdint>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "ui/pack_stream.h"
#include "ui/stage_names.h"
#include "ui/ui_quad.h"

class CSTextBlock;
struct RwTexture;

inline constexpr int kMapNodes = 29;

// The map marker: it glides toward its target at 1 % of the way per ms.
struct MapCursor {
    uint32_t counter = 0;  // ms, grows by every update's ms
    float x = 0.0f, y = 0.0f;
    float targetX = 0.0f, targetY = 0.0f;
    uint32_t restMs = 0;   // ms since it reached its target

    void Step(uint32_t ms);
    bool AtTarget() const { return x == targetX && y == targetY; }
};

// A node's monster list when it has none.
constexpr int32_t kNoMonsterList = -1;

struct MapNode {
    int32_t x, y;       // virtual pixels
    int32_t stageId;
    int32_t monsters[2];  // monster-list records 0..10, or kNoMonsterList
    bool cleared = false;
    bool open = false;
};

// The map as a new game starts it: the 29 nodes in progress-slot order.
const MapNode *StageMapNodes();
// The ids a cleared stage opens, *count of them (valid until the next call).
const int32_t *StagesOpenedBy(int32_t stageId, int32_t *count);

class CSStageSelect {
public:
    enum Mode : uint32_t { kMap = 0, kInfo = 1, kStarting = 2 };
    static constexpr uint32_t kStepMs = 300;
    static constexpr uint32_t kBannerMs = 100;
    static constexpr uint32_t kZoomMs = 200;

    CSStageSelect() = default;
    ~CSStageSelect() { Release(); }
    CSStageSelect(const CSStageSelect &) = delete;
    CSStageSelect &operator=(const CSStageSelect &) = delete;

    void SetActive(bool on);
    // One frame of `ms`, while active (the lobby runs the open panel only).
    void Update(uint32_t ms);
    void Render();
    void Release();

    bool Active() const { return active != 0; }
    const MapNode *Chosen() const { return chosen; }
    int32_t ChosenIndex() const { return chosen != nullptr ? static_cast<int32_t>(chosen - nodes.get()) : -1; }
    const MapNode *Node(int i) const { return nodes != nullptr ? &nodes[i] : nullptr; }
    // Every node of the map while it is built, none before.
    std::span<MapNode> AllNodes() const { return {nodes.get(), nodes != nullptr ? size_t{kMapNodes} : 0}; }
    // The node of a stage id, null when none.
    MapNode *FindNode(int32_t stageId) const;
    // The nearest open node within 45 degrees of the direction, null when none.
    MapNode *FindNodeInDirection(const MapNode *from, float dx, float dy) const;
    bool PicturesRead() const { return picturesRead_; }
    bool BannerUnfolded() const { return bannerUnfolded; }
    const CSTextBlock *BannerText() const { return bannerText; }
    const CSTextBlock *PageText() const { return pageText; }

    MapCursor cursor;
    std::unique_ptr<UIQuad[]> strips;      // 3: the base map in three bands
    std::unique_ptr<UIQuad[]> frame;       // 9: the info page's frame
    std::unique_ptr<UIQuad[]> infoPictures;  // 2: photo frame, caption plate
    RwTexture *baseMap = nullptr;   // the manager's
    RwTexture *selstag = nullptr;   // owned
    RwTexture *photos = nullptr;    // the lobby's STAGPHO
    CSTextBlock *bannerText = nullptr;
    CSTextBlock *pageText = nullptr;
    std::vector<NameRecord> stageNames;
    std::vector<NameRecord> monsterNames;
    bool stageNamesRead = false;
    bool monsterNamesRead = false;
    bool active = false;
    bool closing = false;
    float directionX = 0.0f, directionY = 0.0f;
    std::unique_ptr<MapNode[]> nodes;
    MapNode *chosen = nullptr;
    uint32_t mode = kMap;
    uint32_t zoomMs = 0;
    UIPackStream stream;
    bool bannerUnfolded = false;
    int32_t bannerWidth = 0;
    uint32_t bannerMs = 0;
    uint32_t page = 0;
    uint32_t arrowMs = 0;
    uint32_t lastStepTime = 0;

private:
    void BuildNodes();
    void ApplyUnlocks();
    void LoadTextures();
    void LoadStageNames();
    void LoadMonsterNames();
    void FinishClose();
    void UpdateMapMove();
    void OpenBanner();
    void CloseBanner();
    void SetBannerText();
    void Confirm();
    void Back();
    void TurnPage(int32_t step);
    void ShowStagePage();
    void ShowMonsterPage(int32_t list);
    int32_t MonsterListCount() const;
    void DrawNodes() const;
    void DrawMapCursor() const;
    void DrawBanner() const;
    void DrawInfo() const;
    void DrawZoomQuad(const UIQuad &quad, const RwTexture *texture) const;
    void DrawInfoPhoto() const;

    bool picturesRead_ = false;
    bool lastStepTaken_ = false;  // a map step was ever taken (the 300 ms wait)
};
