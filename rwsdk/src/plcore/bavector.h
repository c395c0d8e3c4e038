// Private to the vector and matrix modules: the square-root module's engine
// block (the two lookup tables and the installed point and direction
// transform routines) and the portable transform routines.
#pragma once

#include <cstring>

#include "rwmatrix.h"

struct rwV3dGlobals {
    RwUInt32 *sqrtTable;     // 4096 entries
    RwUInt32 *invSqrtTable;  // 4096 entries
    RwV3dTransformFunction transformPoints;
    RwV3dTransformFunction transformDirections;
};

static constexpr RwInt32 rwSQRTTABLEENTRIES = 4096;

// The tables are built from, and looked up by, the bits of a real.
inline RwUInt32 FloatBits(RwReal f)
{
    RwUInt32 bits;
    std::memcpy(&bits, &f, sizeof(bits));
    return bits;
}

inline RwReal BitsFloat(RwUInt32 bits)
{
    RwReal f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
}

rwV3dGlobals *rwV3dGetGlobals(void);

void rwV3dPortableTransformPoints(RwV3d *out, const RwV3d *in, RwInt32 count, const RwMatrix *matrix);
void rwV3dPortableTransformDirections(RwV3d *out, const RwV3d *in, RwInt32 count, const RwMatrix *matrix);
