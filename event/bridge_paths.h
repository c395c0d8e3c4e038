// The waypoints of the six bridge events of stage 17: each bridge's pieces
// stand on its points (x, 1.0, z); its path for the bridge's set-up is the
// first point, the direction code of the line the points run along (1
// toward -z, 2 toward +x, 3 toward +z), the signed spacing of the first two
// points along it and the number of points; the two angles (degrees about
// the vertical) face the even and the odd pieces.
#pragma once

#include <cstdint>

#include "rwcore.h"

class CSBridgeEvent;

inline constexpr int32_t kBridgeMaxWaypoints = 19;
inline constexpr float kBridgePieceHeight = 1.0f;

struct BridgeWaypoint {
    float x;
    float z;
};

struct BridgePathPreset {
    int32_t eventId;
    int32_t count;
    BridgeWaypoint points[kBridgeMaxWaypoints];
    float angles[2];
};

const BridgePathPreset *FindBridgePathPreset(int32_t eventId);
// The bridge's path and piece positions from its preset.
void LoadBridgePath(CSBridgeEvent *bridge, const BridgePathPreset &preset);
