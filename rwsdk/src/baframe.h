// Private to the frame module: its engine block, the dirty-list and
// re-rooting helpers shared by the hierarchy, clone and stream code.
#pragma once

#include "rwframe.h"

struct RwFreeList;

struct rwFrameGlobals {
    RwFreeList *frameFreeList;
};

rwFrameGlobals *rwFrameGetGlobals(void);

// Points the root field of `frame` and all its descendants at `root`.
void rwFrameSetHierarchyRoot(RwFrame *frame, RwFrame *root);
// Takes a root out of the dirty-frame list and clears its hierarchy bits.
void rwFrameRemoveFromDirtyList(RwFrame *frame);
// Frees a whole subtree (extensions first, children before parents) without
// unlinking the top frame from its parent.
void rwFrameDestroyRecurse(RwFrame *frame);
