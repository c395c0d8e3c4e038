// The developer menu: a text menu over the running game, opened on pad 0
// with select + start + circle and closed with select + start + cross.
// While it is open it takes the game system's tick in place of the stage
// and the screens, so the game stands still under it while frames are
// still drawn. It shows one line (the label) for the item of its main list
// under the cursor, or a page of the stage tuning menu; it draws the
// safe-screen frame, and it keeps the clump-info list: every clump the game
// reads from a file or clones, with its file name.
//
// The menu's parts live in their own files: the object, its main list and
// routing (dev_menu.cpp), the clump-info list (dev_menu_clumps.cpp), the
// safe-screen frame (dev_menu_safe_frame.cpp), the stage list and stage
// change (stage_list.cpp), the tuning menu and its pages (tuning_menu.cpp,
// tuning_pages.cpp) and the tuning files (tuning_files.cpp).
//
// Pad rules of every handler: pad 0 of the game system's 0/1/2 block, not
// read while it is not connected; a button acts only in the frame its state
// is 1, so holding does not repeat; values are clamped, not wrapped (but
// the colour bytes lowered below 0); circle confirms, cross goes back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fx/particle_set_file.h"
#include "rpworld.h"
#include "stage/stage_info.h"

// The main list's items and the two numbers the tuning menu routes by.
enum DevMenuItem : int32_t {
    kItemSelectStage = 0,
    kItemDisplayInfo = 1,
    kItemFillAbility = 2,
    kItemSafeScreen = 3,
    kItemLoadMode = 4,
    kItemEquipment = 5,
    kItemFog = 6,
    kItemAmbient = 7,
    kItemRenderWall = 8,
    kItemHiddenCharacter = 9,
    kItemUpdateHierarchy = 10,
    kItemWireFrame = 11,
    kItemGameStream = 12,
    kItemWriteLog = 13,
    kItemTuningMenu = 14,  // the tuning menu takes the pad
    kItemTuningPage = 15,  // a tuning page, or "Done Let's Go!!!!!" or "Save File", takes it
};
inline constexpr int32_t kLastMainItem = kItemWriteLog;

// The tuning menu's rows; the first five open the pages of the same order.
enum TuningRow : int32_t {
    kTuneCamera = 0,
    kTuneAmbient = 1,
    kTuneCharacter = 2,
    kTuneFog = 3,
    kTuneParticle = 4,
    kTuneChangeStage = 5,
    kTuneSaveFile = 6,
};
inline constexpr int32_t kTuningRows = 7;

// The page flags, in the order the render looks at them.
enum DevMenuPage : int32_t {
    kPageTuningMenu = 0,
    kPageCamera,
    kPageAmbient,
    kPageCharacter,
    kPageFog,
    kPageParticle,
    kPageCount,
};

// One text of the menu's drawing: at (x, y) in 640 x 480 units.
struct DevMenuText {
    std::string text;
    float x = 0.0f;
    float y = 0.0f;
    uint32_t argb = 0;
};
inline constexpr uint32_t kMenuTextColour = 0xFFFFFFFFu;
// The row under the cursor: red 100, green 100, blue 255.
inline constexpr uint32_t kMenuHighlightColour = 0xFF6464FFu;
inline constexpr size_t kMenuLabelSize = 128;
// The safe-screen frame's corners.
inline constexpr int32_t kSafeFrameCorners = 4;

struct DevMenuClumpInfo {
    RpClump *clump;
    std::string name;  // the file name without its folder
};

class CSDevMenu {
public:
    // Sets g_pDevMenu.
    CSDevMenu();
    ~CSDevMenu();
    CSDevMenu(const CSDevMenu &) = delete;
    CSDevMenu &operator=(const CSDevMenu &) = delete;

    // The safe-frame vertices and the empty particle table, each when
    // absent; the game system calls it right after making the menu.
    void CreateSubObjects();
    // Frees everything the menu owns; also the destructor's work.
    void ReleaseAll();

    // Opens (1) or closes (0) the menu: the item page left, the small
    // cursors reset, the threaded-loading choice taken from the stage, the
    // running stage (held to 2010000..2420000) selected, the label emptied.
    void Open(uint8_t open, int32_t hero);
    // Closes the menu as Open(0, ...) does; the hero it was opened for
    // stays, as only an opening names one.
    void Close();
    bool IsOpen() const { return open != 0; }
    // One tick while the menu is open: the main list or the entered item.
    void Update(uint32_t ms);
    // Every frame, open or not: the safe frame, then, while open, the page
    // of the first page flag set or else the label at (200, 220).
    void Render();
    // What Render draws while the menu is open, in order.
    void LayoutTexts(std::vector<DevMenuText> *texts) const;

    // ---- the safe-screen frame (dev_menu_safe_frame.cpp) ----
    // The frame 48 units in from the left and right, 36 from the top and
    // bottom, in white, at the client size the game system set.
    void InitSafeFrame();
    void DrawSafeFrame() const;

    // ---- the clump-info list (dev_menu_clumps.cpp) ----
    // Records the clump with the file name after the last backslash (or
    // slash) of `path`; a clump already listed is not added again.
    void AddClumpInfo(RpClump *clump, const char *path);
    // Records the source's name for the clone; nothing when either is null
    // or the source is not listed.
    void CopyClumpInfo(RpClump *clone, RpClump *source);
    // Forgets the clump.
    void ClearClumpInfo(RpClump *clump);
    // The name recorded for the clump, null when it is not listed.
    const char *FindClumpName(const RpClump *clump) const;
    size_t ClumpInfoCount() const { return clumpInfos.size(); }

    // ---- the main list and routing (dev_menu.cpp) ----
    void UpdateMainList();
    void UpdateActiveItem();
    void UpdateTuningPage();
    // The main list's label of an item (0..13), empty for another number.
    static const char *MainItemLabel(int32_t item);

    // ---- the stage list and stage change (stage_list.cpp) ----
    void UpdateStageList();
    // "Done Let's Go!!!!!": the particle table emptied, the running stage
    // released and the selected one loaded at once, the menu closed.
    void ChangeStage();

    // ---- the tuning menu and pages (tuning_menu.cpp, tuning_pages.cpp) ----
    void ResetTuning();
    void UpdateTuningMenu();
    void UpdateCameraPage();
    void UpdateAmbientPage();
    void UpdateCharacterPage();
    void UpdateFogPage();
    void UpdateParticlePage();
    // The main items "Fog" and "Ambient": that page straight away, for the
    // stage listed last (the selected stage before any was listed), applied
    // to the running game on "Back".
    void OpenFogItem();
    void OpenAmbientItem();
    void LayoutTuningMenu(std::vector<DevMenuText> *texts) const;
    void LayoutCameraPage(std::vector<DevMenuText> *texts) const;
    void LayoutAmbientPage(std::vector<DevMenuText> *texts) const;
    void LayoutCharacterPage(std::vector<DevMenuText> *texts) const;
    void LayoutFogPage(std::vector<DevMenuText> *texts) const;
    void LayoutParticlePage(std::vector<DevMenuText> *texts) const;

    // ---- the switches (switch_items.cpp) ----
    // Each runs every frame while its item is entered: left and right change
    // the value, circle applies it and closes the menu, cross goes back to
    // the main list; the label shows the value.
    void SwitchDisplayInfo();    // circle or cross only leaves the item
    void SwitchSafeScreen();     // circle or cross only leaves the item
    void SwitchLoadMode();       // circle: the stage's threaded loading
    void SwitchRenderWall();
    void SwitchHiddenCharacter();
    void SwitchUpdateHierarchy();  // the actors' animation pass held while set
    void SwitchWireFrame();
    void GameStreamItem();
    // Every frame, open or not: the wall clumps the wall mode names, the
    // wall red and the camera wall green, both half transparent.
    void RenderWalls() const;

    // ---- the cheats (cheat_items.cpp) ----
    void FillCharacterAbility();
    // Browses the equipment ids of the menu's hero by slot; equips nothing.
    void SelectEquipment();

    // ---- the resource report (resource_report.cpp) ----
    // Writes the report to `path` (a game path), or with null to the data
    // root's file named after the running stage; a file that cannot be
    // created is skipped.
    void WriteResourceReport(const char *path) const;
    void WriteLogItem();

    // ---- the game stream (game_stream.cpp) ----
    // Loads and releases everything loaded outside a stage, writes the
    // report to \CHARSTREAM.TXT, then loads and releases every listed stage
    // (RunGameStream over the game's calls, game_stream.h).
    void MakeGameStream() const;

    // ---- the wire frames (wire_frame.cpp) ----
    // After each world sector or atomic the frame draws: its triangle edges
    // when the wire-frame mode asks for them (BSP 1, DFF 2, ALL 3).
    void DrawSectorWireFrame(const RpWorldSector *sector);
    void DrawAtomicWireFrame(RpAtomic *atomic);

    // ---- the tuning files (tuning_files.cpp) ----
    // The stage's .BSF into the tuning record as it stands: a field whose
    // key the file lacks keeps its value, and a file that cannot be read
    // leaves the record as it was (false).
    bool ReadStageInfo(int32_t stageId);
    // The stage's .PSS into the particle table (emptied first); false when
    // it cannot be read.
    bool ReadParticleKinds(int32_t stageId);
    // "Save File": both files of the selected stage rewritten (see
    // tuning_files.cpp), the particle table emptied, the stage reloaded
    // with its transition over 2000 ms, the menu closed.
    void SaveStageInfo();
    void EmptyParticleKinds();

    // ---- fields ----
    std::vector<DevMenuClumpInfo> clumpInfos;
    char label[kMenuLabelSize] = {};
    std::unique_ptr<RwIm2DVertex[]> safeFrame;  // kSafeFrameCorners, once made
    RwIm3DVertex *wireFrameBuffer = nullptr;     // grown with zuMalloc
    uint32_t wireFrameCapacity = 0;
    int32_t activeItem = kItemSelectStage;
    int32_t abilityEntry = 0;
    int32_t selectedStageId = 0;
    int32_t wallMode = 0;
    int32_t wireFrameMode = 0;
    int32_t equipmentSlot = 0;
    int32_t equipmentId = 0;
    int32_t lowestEquipmentId = 0;
    int32_t highestEquipmentId = 0;
    int32_t heroIndex = 0;
    int32_t comboCount = 3;
    uint8_t open = 0;
    uint8_t inItem = 0;
    uint8_t safeScreen = 0;
    uint8_t threadedLoadingChoice = 0;
    uint8_t hiddenCharacter = 0;
    uint8_t noHierarchyUpdate = 0;
    uint8_t rainAssetsPending = 1;

    // The tuning record: the first fields of the stage info (camera limits
    // to rain) are the ones the pages edit.
    StageInfo tuning;
    // The particle-kind table: the particle set's kinds (names of at most
    // 127 characters, counts).
    ParticleSet particleKinds;
    bool pageFlags[kPageCount] = {};
    int32_t lastListedStageId = 0;
    uint8_t directItem = 0;
    int32_t tuningCursor = 0;
    int32_t pageCursors[kPageCount] = {};  // by page; [kPageTuningMenu] unused
    // The stage whose files the record and the table hold (kNoStageRead:
    // none read): Save File writes a file only for the stage it was read from.
    static constexpr int32_t kNoStageRead = 0;
    int32_t tuningStageId = kNoStageRead;
    int32_t particleStageId = kNoStageRead;

    int32_t moneyDigits[5] = {};
    int32_t digitCursor = 0;
};

// The resource report's file name for a running stage: "\\GFRANK00.TXT"
// to "\\GFRANK37.TXT" for 1..38, "\\GFLOG00.TXT" for 2010000 and on by
// 10000 (none for 2390000), "\\GFLOG.TXT" for any other.
std::string ResourceReportFileName(int32_t stageId);
// The report's per-texture line; returns the texture so the walk goes on.
RwTexture *DevMenuLogTexture(RwTexture *texture, void *file);

// The world the game draws: the one its camera is in (a running stage's),
// else the game system's own; null without a game system.
RpWorld *DevMenuWorld();

// The clump destruction's question; no clump is ever kept for an animation.
bool IsClumpStillHasAnim(RpClump *clump);

// The one developer menu (null outside its life).
extern CSDevMenu *g_pDevMenu;
