// The frame's camera steps as the game calls them: begin an update unless
// one is open, end it, clear the camera's rasters, show its raster in the
// main window.
#pragma once

#include "rwcore.h"

// Begins the camera's update; false when an update is already open (of any
// camera) or the device refuses it.
bool BeginCameraUpdate(RwCamera *camera);
// Ends the open update of the camera; nothing when it has none open.
void EndCameraUpdate(RwCamera *camera);
// Clears the camera's image (to opaque black) and depth.
void ClearCamera(RwCamera *camera);
// Shows the camera's raster in the application's window (the device's own
// presentation when there is no application).
void ShowCameraRaster(RwCamera *camera);
