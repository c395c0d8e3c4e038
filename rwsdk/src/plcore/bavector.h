// Private to the vector and matrix modules: the square-root module's engine
// block (the two lookup tables and the installed point and direction
// transform routines) and the portable transform routines.
#pragma once

#include "rwmatrix.h"

struct rwV3dGlobals {
    RwUInt32 *sqrtTable;     // 4096 entries
    RwUInt32 *invSqrtTable;  // 4096 entries
    RwV3dTransformFunction transformPoints;
    RwV3dTransformFunction transformDirections;
};

static constexpr RwInt32 rwSQRTTABLEENTRIES = 4096;

rwV3dGlobals *rwV3dGetGlobals(void);

void rwV3dPortableTransformPoints(RwV3d *out, const RwV3d *in, RwInt32 count, const RwMatrix *matrix);
void rwV3dPortableTransformDirections(RwV3d *out, const RwV3d *in, RwInt32 count, const RwMatrix *matrix);
