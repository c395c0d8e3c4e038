// The developer menu object: making and freeing it, opening and closing,
// the main list and the routing of the entered item, and its drawing (see
// dev_menu.h).
#include "devmenu/dev_menu.h"

#include <algorithm>
#include <cstdio>

#include "app/bitmap_font.h"
#include "app/debug.h"
#include "app/game_system.h"
#include "app/memory.h"
#include "app/trace.h"
#include "devmenu/dev_menu_pad.h"
#include "stage/stage_manager.h"
#include "stage/stage_paths.h"

CSDevMenu *g_pDevMenu = nullptr;

namespace {

constexpr const char *kMainItemLabels[kLastMainItem + 1] = {
    "Select Stage",
    "Switch display run-time infomation",
    "Fill character's ability",
    "Display Safe-Screen range",
    "Select Load Game mode",
    "Equipment",
    "Fog",
    "Ambient",
    "Render Wall",
    "Hidden Character",
    "Update Hierarchy",
    "Render wire frame",
    "Make Game Stream",
    "Write Log File",
};

constexpr float kMainLabelX = 200.0f;
constexpr float kLabelY = 220.0f;

void SetMenuLabel(char (&label)[kMenuLabelSize], const char *text) { std::snprintf(label, sizeof label, "%s", text); }

}  // namespace

DevMenuPad ReadDevMenuPad()
{
    DevMenuPad pad;
    if (g_pGameSystem != nullptr) {
        const PadState &state = g_pGameSystem->padStates[kPadStateBlock][0];
        pad.pad = state.connected != 0 ? &state : nullptr;
    }
    return pad;
}

CSDevMenu::CSDevMenu()
{
    g_pDevMenu = this;
    ResetTuning();
}

CSDevMenu::~CSDevMenu()
{
    ReleaseAll();
    if (g_pDevMenu == this) {
        g_pDevMenu = nullptr;
    }
}

void CSDevMenu::CreateSubObjects()
{
    if (safeFrame == nullptr) {
        safeFrame = std::make_unique<RwIm2DVertex[]>(kSafeFrameCorners);
        InitSafeFrame();
    }
}

void CSDevMenu::ReleaseAll()
{
    safeFrame.reset();
    zuFree(wireFrameBuffer);
    wireFrameBuffer = nullptr;
    wireFrameCapacity = 0;
    for (const DevMenuClumpInfo &info : clumpInfos) {
        DebugPrint("%s is still exist\n", info.name.c_str());
    }
    clumpInfos.clear();
    clumpInfos.shrink_to_fit();
    EmptyParticleKinds();
}

void CSDevMenu::Open(uint8_t openMenu, int32_t hero)
{
    open = openMenu != 0 ? 1 : 0;
    heroIndex = hero;
    inItem = 0;
    equipmentSlot = 0;
    equipmentId = 0;
    digitCursor = 0;
    abilityEntry = 0;
    const CSStageManager *stage = g_pStageManager;
    threadedLoadingChoice = stage != nullptr ? stage->IsThreadedLoading() : 0;
    const int32_t running = stage != nullptr ? stage->stageId : 0;
    selectedStageId = std::clamp(running, kFirstStageId, kLastStageId);
    label[0] = '\0';
    game::TraceLine("menu").Word(open != 0 ? "open" : "close");
}

void CSDevMenu::Close() { Open(0, heroIndex); }

void CSDevMenu::Update(uint32_t)
{
    if (open == 0) {
        return;
    }
    if (inItem != 0) {
        UpdateActiveItem();
    } else {
        UpdateMainList();
    }
    if (game::TraceOn()) {
        game::TraceLine("menu").Word("item").Int(activeItem).Int(inItem).Int(open);
    }
}

const char *CSDevMenu::MainItemLabel(int32_t item)
{
    return item >= 0 && item <= kLastMainItem ? kMainItemLabels[item] : "";
}

void CSDevMenu::UpdateMainList()
{
    const DevMenuPad pad = ReadDevMenuPad();
    if (pad.Pressed(kPadUp)) {
        activeItem = std::max(activeItem - 1, 0);
    }
    if (pad.Pressed(kPadDown)) {
        activeItem = std::min(activeItem + 1, kLastMainItem);
    }
    if (pad.Pressed(kPadCircle)) {
        inItem = 1;
    }
    SetMenuLabel(label, MainItemLabel(activeItem));
    // Cross closes the menu, which empties the label again.
    if (pad.Pressed(kPadCross)) {
        Close();
    }
}

void CSDevMenu::UpdateActiveItem()
{
    switch (activeItem) {
    case kItemSelectStage:
        directItem = 0;
        UpdateStageList();
        break;
    case kItemFog:
        OpenFogItem();
        break;
    case kItemAmbient:
        OpenAmbientItem();
        break;
    case kItemDisplayInfo:
        SwitchDisplayInfo();
        break;
    case kItemFillAbility:
        FillCharacterAbility();
        break;
    case kItemSafeScreen:
        SwitchSafeScreen();
        break;
    case kItemLoadMode:
        SwitchLoadMode();
        break;
    case kItemEquipment:
        SelectEquipment();
        break;
    case kItemRenderWall:
        SwitchRenderWall();
        break;
    case kItemHiddenCharacter:
        SwitchHiddenCharacter();
        break;
    case kItemUpdateHierarchy:
        SwitchUpdateHierarchy();
        break;
    case kItemWireFrame:
        SwitchWireFrame();
        break;
    case kItemGameStream:
        GameStreamItem();
        break;
    case kItemWriteLog:
        WriteLogItem();
        break;
    case kItemTuningMenu:
        UpdateTuningMenu();
        break;
    case kItemTuningPage:
        UpdateTuningPage();
        break;
    default:
        inItem = 0;
        break;
    }
}

void CSDevMenu::UpdateTuningPage()
{
    switch (tuningCursor) {
    case kTuneCamera:
        UpdateCameraPage();
        break;
    case kTuneAmbient:
        UpdateAmbientPage();
        break;
    case kTuneCharacter:
        UpdateCharacterPage();
        break;
    case kTuneFog:
        UpdateFogPage();
        break;
    case kTuneParticle:
        UpdateParticlePage();
        break;
    case kTuneChangeStage:
        ChangeStage();
        break;
    case kTuneSaveFile:
        SaveStageInfo();
        break;
    default:
        break;
    }
}

void CSDevMenu::LayoutTexts(std::vector<DevMenuText> *texts) const
{
    if (pageFlags[kPageTuningMenu] != 0) {
        LayoutTuningMenu(texts);
    } else if (pageFlags[kPageCamera] != 0) {
        LayoutCameraPage(texts);
    } else if (pageFlags[kPageAmbient] != 0) {
        LayoutAmbientPage(texts);
    } else if (pageFlags[kPageCharacter] != 0) {
        LayoutCharacterPage(texts);
    } else if (pageFlags[kPageFog] != 0) {
        LayoutFogPage(texts);
    } else if (pageFlags[kPageParticle] != 0) {
        LayoutParticlePage(texts);
    } else {
        texts->push_back({label, kMainLabelX, kLabelY, kMenuTextColour});
    }
}

void CSDevMenu::Render()
{
    DrawSafeFrame();
    RenderWalls();
    if (open == 0) {
        return;
    }
    std::vector<DevMenuText> texts;
    LayoutTexts(&texts);
    for (const DevMenuText &text : texts) {
        SetFontColor(text.argb);
        DrawFontText(text.text.c_str(), text.x, text.y);
    }
}

RpWorld *DevMenuWorld()
{
    const CSGameSystem *gs = g_pGameSystem;
    if (gs == nullptr) {
        return nullptr;
    }
    RpWorld *drawn = gs->camera != nullptr ? RpCameraGetWorld(gs->camera) : nullptr;
    return drawn != nullptr ? drawn : gs->world;
}

bool IsClumpStillHasAnim(RpClump *) { return false; }
