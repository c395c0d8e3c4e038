// Points of the stage on the interface's 640 x 480 virtual screen, seen by
// the main camera (the view the game system copies each frame): the health
// bars and the item popup stand over the heads of actors this way. A point
// at or behind the camera's near plane has no place on the screen.
#pragma once

#include "rwcore.h"

// The world point in the camera's space; false without a game system.
bool CameraSpacePoint(const RwV3d &world, RwV3d *cameraPoint);
// (x / z x 640, y / z x 480); false at or behind the near plane.
bool ProjectToVirtualScreen(const RwV3d &cameraPoint, float *x, float *y);
