// The safe-screen frame: a white rectangle 48 units in from the left and
// right of the 640 x 480 screen and 36 in from the top and bottom, the part
// of the picture every television shows (see dev_menu.h).
#include "app/screen_coords.h"
#include "devmenu/dev_menu.h"

namespace {

constexpr float kCorners[kSafeFrameCorners][2] = {{48.0f, 36.0f}, {592.0f, 36.0f}, {48.0f, 444.0f}, {592.0f, 444.0f}};
// Top, right, bottom, left.
constexpr RwInt32 kEdges[4][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}};
constexpr float kReciprocalCameraZ = 10.0f;

}  // namespace

void CSDevMenu::InitSafeFrame()
{
    if (safeFrame == nullptr) {
        return;
    }
    for (int i = 0; i < kSafeFrameCorners; ++i) {
        RwIm2DVertex &v = safeFrame[i];
        v = RwIm2DVertex{};
        SetScreenX(&v, kCorners[i][0]);
        SetScreenY(&v, kCorners[i][1]);
        v.z = 0.0f;
        v.rhw = kReciprocalCameraZ;
        v.emissiveColor = 0xFFFFFFFFu;
    }
}

void CSDevMenu::DrawSafeFrame() const
{
    if (safeScreen == 0 || safeFrame == nullptr) {
        return;
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    for (const auto &edge : kEdges) {
        RwIm2DDrawLine(safeFrame.get(), kSafeFrameCorners, edge[0], edge[1]);
    }
}
