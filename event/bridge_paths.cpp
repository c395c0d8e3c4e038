// The bridge events' waypoints (see bridge_paths.h).
#include "event/bridge_paths.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "event/bridge_event.h"

namespace {

constexpr BridgePathPreset kPaths[] = {
    {79170200, 19,
     {{0, -40}, {0, -50}, {0, -60}, {0, -70}, {0, -80}, {0, -90}, {0, -100}, {0, -110}, {0, -120}, {0, -130},
      {0, -140}, {0, -150}, {0, -160}, {0, -170}, {0, -180}, {0, -190}, {0, -200}, {0, -210}, {0, -220}},
     {0.0f, 180.0f}},
    {79170500, 13,
     {{0, -290}, {5, -307}, {3, -320}, {0, -332}, {-2, -347}, {2, -362}, {0, -375}, {0, -385}, {0, -400}, {2, -410},
      {2, -425}, {0, -440}, {0, -455}},
     {0.0f, 180.0f}},
    {79170800, 14,
     {{40, -494}, {53, -494}, {65, -494}, {80, -494}, {93, -494}, {106, -494}, {120, -494}, {130, -494}, {145, -494},
      {160, -494}, {172, -494}, {185, -494}, {198, -494}, {210, -494}},
     {90.0f, 270.0f}},
    {79171100, 13,
     {{243, -454}, {241, -440}, {240, -425}, {240, -410}, {240, -398}, {240, -385}, {240, -370}, {240, -360},
      {240, -348}, {240, -335}, {240, -325}, {240, -310}, {240, -295}},
     {0.0f, 180.0f}},
    {79171400, 13,
     {{177, -275}, {177, -260}, {177, -245}, {177, -232}, {177, -220}, {177, -205}, {177, -192}, {177, -180},
      {177, -168}, {177, -155}, {177, -142}, {177, -130}, {177, -115}},
     {0.0f, 180.0f}},
    {79171700, 14,
     {{280, -136}, {290, -136}, {305, -136}, {318, -136}, {330, -136}, {345, -136}, {360, -136}, {375, -136},
      {388, -136}, {400, -136}, {415, -136}, {425, -136}, {435, -136}, {450, -136}},
     {90.0f, 270.0f}},
};

}  // namespace

const BridgePathPreset *FindBridgePathPreset(int32_t eventId)
{
    const auto *found = std::find_if(std::begin(kPaths), std::end(kPaths),
                                     [eventId](const BridgePathPreset &p) { return p.eventId == eventId; });
    return found != std::end(kPaths) ? found : nullptr;
}

void LoadBridgePath(CSBridgeEvent *bridge, const BridgePathPreset &preset)
{
    const BridgeWaypoint &a = preset.points[0];
    const BridgeWaypoint &b = preset.points[preset.count > 1 ? 1 : 0];
    const float dx = b.x - a.x;
    const float dz = b.z - a.z;
    BridgePath path = {};
    path.start = {a.x, kBridgePieceHeight, a.z};
    // The axis the points run along: the larger of the first step's parts.
    if (std::fabs(dx) > std::fabs(dz)) {
        path.direction = 2;
        path.step = dx;
    } else {
        path.direction = dz < 0.0f ? 1 : 3;
        path.step = dz;
    }
    path.count = preset.count;
    path.pieceKinds[0] = 0;
    path.pieceKinds[1] = 1;
    path.angles[0] = preset.angles[0];
    path.angles[1] = preset.angles[1];
    bridge->SetPath(path);
    for (int32_t i = 0; i < preset.count; ++i) {
        bridge->SetPiecePosition(i, {preset.points[i].x, kBridgePieceHeight, preset.points[i].z});
    }
}
