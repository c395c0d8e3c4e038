// RwList: a growable array of fixed-size entries. Entries move when the
// array grows, so callers keep indices, not addresses.
#pragma once

#include "rwtypes.h"

struct RwList {
    void *data;
    RwInt32 count;
    RwInt32 capacity;
    RwUInt32 entrySize;
};

RwList *RwListCreate(RwUInt32 entrySize);
void *RwListAddEntry(RwList *list);
void *RwListGetEntry(RwList *list, RwInt32 index);
RwBool RwListDestroy(RwList *list);
