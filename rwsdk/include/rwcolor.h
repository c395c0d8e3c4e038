// The colour module: it keeps no data, it only counts its opens (module 0x40D).
#pragma once

#include "rwtypes.h"

void *RwColorModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwColorModuleClose(void *instance, RwInt32 offset, RwInt32 size);
RwInt32 RwColorModuleGetOpenCount(void);
