// The stage's scene under a covering fade (see covered_scene.h).
#include "app/covered_scene.h"

#include "app/game_system.h"
#include "app/game_system_children.h"
#include "app/debug.h"
#include "app/trace.h"
#include "d3d8/d3d8_platform.h"
#include "devmenu/dev_menu.h"
#include "rwd3d8.h"
#include "ui/ui_manager.h"

bool FadeCoversFrame(const CSGameSystem &gs)
{
    if (g_drawHiddenStage || gs.uiManager == nullptr || gs.screensHeld || gs.displayInfoMode != 0) {
        return false;
    }
    if (gs.devMenu != nullptr && (gs.devMenu->open != 0 || gs.devMenu->wallMode != 0 || gs.devMenu->safeScreen != 0)) {
        return false;
    }
    RwRaster *frame = gs.camera != nullptr ? RwCameraGetRaster(gs.camera) : nullptr;
    return frame != nullptr && gs.uiManager->FadeCovers(static_cast<float>(frame->width),
                                                        static_cast<float>(frame->height));
}

HiddenFrameDraws::HiddenFrameDraws(bool hide)
{
    IDirect3DDevice8 *device = hide ? RwD3D8GetCurrentD3DDevice() : nullptr;
    IDirect3DSurface8 *target = nullptr;
    if (device == nullptr || FAILED(device->GetRenderTarget(&target)) || target == nullptr) {
        return;
    }
    DebugPrint("scene covered at tick %u: its draws into the frame left out\n", game::TraceTick());
    d3d8::SetHiddenTarget(device, target);
    target->Release();  // only compared while set; the camera keeps it
    hiding_ = true;
}

HiddenFrameDraws::~HiddenFrameDraws()
{
    if (hiding_) {
        d3d8::SetHiddenTarget(RwD3D8GetCurrentD3DDevice(), nullptr);
    }
}
