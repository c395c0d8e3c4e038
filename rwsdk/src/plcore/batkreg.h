// Registry internals shared by registration and extension streaming.
#pragma once

#include "rwplugin.h"

// The entry registered under `pluginID`, or null.
RwPluginEntry *RwPluginRegistryFindEntry(const RwPluginRegistry *reg, RwUInt32 pluginID);
