// Stage points on the virtual screen (see ui_projection.h).
#include "ui/ui_projection.h"

#include <algorithm>

#include "app/game_system.h"

bool CameraSpacePoint(const RwV3d &world, RwV3d *cameraPoint)
{
    if (g_pGameSystem == nullptr) {
        return false;
    }
    RwV3dTransformPoints(cameraPoint, &world, 1, &g_pGameSystem->cameraMatrix);
    return true;
}

bool ProjectToVirtualScreen(const RwV3d &cameraPoint, float *x, float *y)
{
    const RwCamera *camera = g_pGameSystem != nullptr ? g_pGameSystem->camera : nullptr;
    // Never behind the camera, whatever its near plane.
    const float nearPlane = camera != nullptr ? std::max(RwCameraGetNearClipPlane(camera), 0.0f) : 0.0f;
    if (!(cameraPoint.z > nearPlane)) {
        return false;
    }
    *x = cameraPoint.x / cameraPoint.z * 640.0f;
    *y = cameraPoint.y / cameraPoint.z * 480.0f;
    return true;
}
