// The headless screen with the world, animation and skin libraries
// attached, for the skinning pixel and screenshot tests.
#pragma once

#include "rpanimation.h"
#include "rpworld.h"
#include "support/engine/headless_screen.h"

namespace skinscreen {

inline bool AttachSkinning()
{
    return RpWorldPluginAttach() && RtAnimToolkitInitialize() && RpHAnimPluginAttach() && RpSkinPluginAttach();
}

class Screen : public headlessscreen::Screen {
public:
    bool Start(const d3d8::Profile &profile, RwUInt32 w, RwUInt32 h, bool (*attach)() = AttachSkinning)
    {
        return headlessscreen::Screen::Start(profile, w, h, attach);
    }
};

using headlessscreen::CountDifferences;
using headlessscreen::ReadPng;
using headlessscreen::WritePng;

}  // namespace skinscreen
