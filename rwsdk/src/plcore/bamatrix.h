// Private to the matrix module: its engine block (free list, identity
// shortcut switch, installed multiply routine, default tolerances) and the
// portable multiply routine.
#pragma once

#include "rwmatrix.h"

struct RwFreeList;

struct rwMatrixGlobals {
    RwFreeList *matrixFreeList;
    RwUInt32 optimizations;  // rwMATRIXINTERNALIDENTITY: identity shortcuts on
    RwMatrixMultiplyFunction multiply;
    RwMatrixTolerance tolerance;
};

rwMatrixGlobals *rwMatrixGetGlobals(void);

void rwMatrixPortableMultiply(RwMatrix *dst, const RwMatrix *a, const RwMatrix *b);
