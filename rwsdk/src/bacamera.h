// Private to the camera module: its engine block (the camera free list).
#pragma once

#include "rwcamera.h"

struct RwFreeList;

struct rwCameraGlobals {
    RwFreeList *cameraFreeList;
};

rwCameraGlobals *rwCameraGetGlobals(void);
