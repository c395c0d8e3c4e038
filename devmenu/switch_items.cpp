// The main items that switch how the running game is shown or run: the
// statistics level, the safe-screen frame, threaded loading, the wall
// clumps drawn, the hidden-character switch, the held animation
// hierarchies, wire-frame drawing and the game-stream pass; and the drawing
// of the wall clumps that the wall mode asks for, open or closed.
#include <algorithm>
#include <cstdio>

#include "actor/actor_pass.h"
#include "app/game_system.h"
#include "devmenu/dev_menu.h"
#include "devmenu/dev_menu_pad.h"
#include "rwcore.h"
#include "ui/ui_quad.h"
#include "stage/stage_manager.h"

namespace {

void SetLabel(char (&label)[kMenuLabelSize], const char *text) { std::snprintf(label, sizeof label, "%s", text); }

// Left lowers and right raises a value within 0..3.
void StepMode(const DevMenuPad &pad, int32_t *value)
{
    if (pad.Pressed(kPadLeft)) {
        *value = std::max(*value - 1, 0);
    }
    if (pad.Pressed(kPadRight)) {
        *value = std::min(*value + 1, 3);
    }
}

// Left or right (both in one frame count once) flips a 0/1 byte.
void FlipOnSide(const DevMenuPad &pad, uint8_t *flag)
{
    if (pad.Pressed(kPadLeft) || pad.Pressed(kPadRight)) {
        *flag = *flag != 0 ? 0 : 1;
    }
}

// The common ending of a switch: circle closes the menu (the switch stays
// in force; closing empties the label), cross goes back to the main list.
void CloseOrBack(CSDevMenu *menu, const DevMenuPad &pad)
{
    if (pad.Pressed(kPadCircle)) {
        menu->Close();
    } else if (pad.Pressed(kPadCross)) {
        menu->inItem = 0;
    }
}

constexpr const char *kDisplayInfoLabels[4] = {"DisplayInfo : NONE", "DisplayInfo : FPS", "DisplayInfo : FPS & MEM",
                                               "DisplayInfo : ALL"};
constexpr const char *kWallLabels[4] = {"Render no Wall", "Render Wall", "Render Camera Wall", "Render both Wall"};
constexpr const char *kWireLabels[4] = {"Wire Frame : NONE", "Wire Frame : BSP", "Wire Frame : DFF",
                                        "Wire Frame : ALL"};

}  // namespace

void CSDevMenu::SwitchDisplayInfo()
{
    const DevMenuPad pad = ReadDevMenuPad();
    uint32_t *mode = g_pGameSystem != nullptr ? &g_pGameSystem->displayInfoMode : nullptr;
    if (mode != nullptr) {
        int32_t value = static_cast<int32_t>(std::min<uint32_t>(*mode, 3));
        StepMode(pad, &value);
        *mode = static_cast<uint32_t>(value);
    }
    if (pad.Pressed(kPadCircle) || pad.Pressed(kPadCross)) {
        inItem = 0;
    }
    SetLabel(label, kDisplayInfoLabels[mode != nullptr ? std::min<uint32_t>(*mode, 3) : 0]);
}

void CSDevMenu::SwitchSafeScreen()
{
    const DevMenuPad pad = ReadDevMenuPad();
    FlipOnSide(pad, &safeScreen);
    if (pad.Pressed(kPadCircle) || pad.Pressed(kPadCross)) {
        inItem = 0;
    }
    SetLabel(label, safeScreen != 0 ? "Safe-Screen On" : "Safe-Screen Off");
}

void CSDevMenu::SwitchLoadMode()
{
    const DevMenuPad pad = ReadDevMenuPad();
    FlipOnSide(pad, &threadedLoadingChoice);
    if (pad.Pressed(kPadCircle) && g_pStageManager != nullptr) {
        g_pStageManager->SetThreadedLoading(threadedLoadingChoice);
    }
    SetLabel(label, threadedLoadingChoice != 0 ? "Use Multi Thread Loading" : "Use Single Thread Loading");
    CloseOrBack(this, pad);
}

void CSDevMenu::SwitchRenderWall()
{
    const DevMenuPad pad = ReadDevMenuPad();
    StepMode(pad, &wallMode);
    SetLabel(label, kWallLabels[wallMode]);
    CloseOrBack(this, pad);
}

void CSDevMenu::SwitchWireFrame()
{
    const DevMenuPad pad = ReadDevMenuPad();
    StepMode(pad, &wireFrameMode);
    SetLabel(label, kWireLabels[wireFrameMode]);
    CloseOrBack(this, pad);
}

void CSDevMenu::SwitchHiddenCharacter()
{
    const DevMenuPad pad = ReadDevMenuPad();
    FlipOnSide(pad, &hiddenCharacter);
    SetLabel(label, hiddenCharacter != 0 ? "Open all hidden character" : "According to System info");
    CloseOrBack(this, pad);
}

void CSDevMenu::SwitchUpdateHierarchy()
{
    const DevMenuPad pad = ReadDevMenuPad();
    FlipOnSide(pad, &noHierarchyUpdate);
    // The stage's animation pass reads the flag from the actor pass's switch.
    g_actorPassSkipsAnimation = noHierarchyUpdate != 0;
    SetLabel(label, noHierarchyUpdate != 0 ? "Update hierarchy : No" : "Update hierarchy : Yes");
    CloseOrBack(this, pad);
}

void CSDevMenu::GameStreamItem()
{
    const DevMenuPad pad = ReadDevMenuPad();
    if (pad.Pressed(kPadCircle)) {
        MakeGameStream();
        Close();
    } else if (pad.Pressed(kPadCross)) {
        inItem = 0;
    }
    SetLabel(label, "Press A to load");
}

// ---- the wall clumps ----

namespace {

RpMaterial *TintMaterial(RpMaterial *material, void *data)
{
    RpMaterialSetColor(material, static_cast<const RwRGBA *>(data));
    return material;
}

RpAtomic *TintAtomic(RpAtomic *atomic, void *data)
{
    if (RpGeometry *geometry = RpAtomicGetGeometry(atomic)) {
        RpGeometryForAllMaterials(geometry, TintMaterial, data);
    }
    return atomic;
}

void DrawTintedClump(RpClump *clump, RwRGBA colour)
{
    if (clump == nullptr || g_pGameSystem == nullptr) {
        return;
    }
    RpClumpForAllAtomics(clump, TintAtomic, &colour);
    g_pGameSystem->RenderClump(clump);
}

}  // namespace

void CSDevMenu::RenderWalls() const
{
    if (wallMode == 0 || g_pStageManager == nullptr) {
        return;
    }
    SetDepthTestAndWrite(true);
    RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLNONE));
    if (wallMode == 1 || wallMode == 3) {
        DrawTintedClump(g_pStageManager->wallClump, RwRGBA{255, 0, 0, 127});
    }
    if (wallMode == 2 || wallMode == 3) {
        DrawTintedClump(g_pStageManager->cameraWallClump, RwRGBA{0, 255, 0, 127});
    }
    SetDepthTestAndWrite(false);
    RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLBACK));
}
