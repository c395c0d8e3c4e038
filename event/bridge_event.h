// The bridge events of stage 17: a bridge built piece by piece, one piece
// per interval, out of the stage's dynamic effect set; once the linked
// event runs, the pieces go again one per interval and the event ends.
//
// Param packs the interval and two values for the effect set: interval
// tenths of a second = Param / 1000000, middle = (Param mod 1000000) / 1000,
// low = Param mod 1000. The path (start point, direction code, step,
// count, the two piece kinds) comes from the bridge's path preset.
#pragma once

#include <cstdint>

#include "event/event_record.h"

struct BridgePiece {
    RwV3d position;
    uint8_t used;
    int32_t slot;  // of the dynamic effect set; -1 none
};

struct BridgePath {
    RwV3d start;
    int32_t direction;   // 1..3
    float step;          // signed distance between pieces
    int32_t count;
    int32_t pieceKinds[2];  // even and odd pieces
    float angles[2];        // degrees about the vertical of even and odd pieces
};

class CSBridgeEvent : public EventRecord {
public:
    BridgePiece *Pieces;  // owned, PieceCount entries
    int32_t PieceCount;
    float Values[6];      // start x, y, z, direction code, step, count
    int32_t PieceKinds[2];
    float Angles[2];
    int32_t IntervalTenths;
    int32_t Middle;
    int32_t Low;
    float Clock;
    float LastPiece;
    uint8_t Done;         // the bridge is coming down

    // Decodes Param; the pieces stay as the path gave them.
    void Load();
    // The path: the set-up values and one piece per step from the start.
    void SetPath(const BridgePath &path);
    // One piece's position (after SetPath); ignored past the count.
    void SetPiecePosition(int32_t index, const RwV3d &position);
    float Interval() const { return static_cast<float>(IntervalTenths) * 0.1f; }
    // The per-frame work of the running event.
    void Occur(float dt);
    void Release();
    int32_t PiecesStanding() const;
};
