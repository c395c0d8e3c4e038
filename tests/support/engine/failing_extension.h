// A plug-in extension whose constructor fails on demand, for checking that
// an object creator gives back null (and frees its record) when any of its
// extensions cannot be constructed.
#pragma once

#include "rwplugin.h"

namespace rwtest {

struct FailingExtension {
    // Registers a small extension under `pluginID` on `registry` (between
    // RwEngineInit and RwEngineOpen); returns its offset or -1.
    static RwInt32 Attach(RwPluginRegistry *registry, RwUInt32 pluginID);
    // While armed, every construction fails.
    static void Arm(bool on);
    // Constructions and destructions seen since the last Reset.
    static int Constructed();
    static int Destroyed();
    static void Reset();
};

}  // namespace rwtest
