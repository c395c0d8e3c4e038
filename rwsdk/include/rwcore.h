// Umbrella header of the engine core and its Direct3D 8 driver: every public
// header of that layer and nothing above it. The world library has rpworld.h;
// each plug-in and toolkit has its own header beside its sources.
#pragma once

#include "rwtypes.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwresources.h"
#include "rwplugin.h"
#include "rwstream.h"
#include "rwosintf.h"
#include "rwlist.h"
#include "rwcolor.h"
#include "rwengine.h"
#include "rwpipeline.h"
#include "rwrenderstate.h"
#include "rwim2d.h"
#include "rwim3d.h"
#include "rwmatrix.h"
#include "rwframe.h"
#include "rwraster.h"
#include "rwcamera.h"
#include "rwimage.h"
#include "rwtexture.h"
#include "rwd3d8.h"
#include "rwd3d8raster.h"
#include "rwd3d8dds.h"
