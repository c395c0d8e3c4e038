// Camera update, clearing and showing for the frame.
#include "app/camera_frame.h"

#include "app/application.h"
#include "app/frame_trace.h"

bool BeginCameraUpdate(RwCamera *camera)
{
    if (camera == nullptr || RwCameraGetCurrentCamera() != nullptr) {
        return false;
    }
    return RwCameraBeginUpdate(camera) != nullptr;
}

void EndCameraUpdate(RwCamera *camera)
{
    if (camera != nullptr && RwCameraGetCurrentCamera() == camera) {
        RwCameraEndUpdate(camera);
    }
}

void ClearCamera(RwCamera *camera)
{
    RwRGBA black = {0, 0, 0, 255};
    if (camera != nullptr) {
        RwCameraClear(camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
    }
}

void ShowCameraRaster(RwCamera *camera)
{
    if (camera != nullptr) {
        game::TraceShownFrame();
        RwCameraShowRaster(camera, g_pApplication != nullptr ? g_pApplication->Window() : nullptr, 0);
    }
}
