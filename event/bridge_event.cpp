// The bridge events (see bridge_event.h).
#include "event/bridge_event.h"

#include <cstring>

#include "app/memory.h"
#include "event/event_links.h"
#include "event/event_manager.h"

namespace {

bool HasDynEffects()
{
    return g_eventLinks.takeDynSlot != nullptr && g_eventLinks.placeDynSlot != nullptr &&
           g_eventLinks.showDynSlot != nullptr && g_eventLinks.freeDynSlot != nullptr;
}

}  // namespace

void CSBridgeEvent::Load()
{
    IntervalTenths = Param / 1000000;
    Middle = (Param % 1000000) / 1000;
    Low = Param % 1000;
    Clock = 0.0f;
    LastPiece = 0.0f;
    Done = 0;
}

void CSBridgeEvent::SetPath(const BridgePath &path)
{
    Release();
    Values[0] = path.start.x;
    Values[1] = path.start.y;
    Values[2] = path.start.z;
    Values[3] = static_cast<float>(path.direction);
    Values[4] = path.step;
    Values[5] = static_cast<float>(path.count);
    PieceKinds[0] = path.pieceKinds[0];
    PieceKinds[1] = path.pieceKinds[1];
    Angles[0] = path.angles[0];
    Angles[1] = path.angles[1];
    if (path.count <= 0) {
        return;
    }
    PieceCount = path.count;
    Pieces = static_cast<BridgePiece *>(zuMalloc(sizeof(BridgePiece) * static_cast<size_t>(PieceCount)));
    for (int32_t i = 0; i < PieceCount; ++i) {
        RwV3d p = path.start;
        const float along = path.step * static_cast<float>(i);
        if (path.direction == 2) {
            p.x += along;
        } else {
            p.z += along;
        }
        Pieces[i] = {p, 0, -1};
    }
}

void CSBridgeEvent::SetPiecePosition(int32_t index, const RwV3d &position)
{
    if (Pieces != nullptr && index >= 0 && index < PieceCount) {
        Pieces[index].position = position;
    }
}

int32_t CSBridgeEvent::PiecesStanding() const
{
    int32_t standing = 0;
    for (int32_t i = 0; i < PieceCount && Pieces != nullptr; ++i) {
        standing += Pieces[i].used != 0 ? 1 : 0;
    }
    return standing;
}

void CSBridgeEvent::Occur(float dt)
{
    const bool linkRunning = LinkEvent != nullptr && LinkEvent->IsOccur != 0;
    if (Clock - LastPiece > Interval() && HasDynEffects()) {
        if (Done == 0) {
            int32_t free = -1;
            for (int32_t i = 0; i < PieceCount && Pieces != nullptr; ++i) {
                if (Pieces[i].used == 0) {
                    free = i;
                    break;
                }
            }
            if (free < 0) {
                if (linkRunning) {
                    Done = 1;
                }
            } else {
                BridgePiece &piece = Pieces[free];
                const int32_t slot = g_eventLinks.takeDynSlot(PieceKinds[free % 2]);
                if (slot >= 0) {
                    g_eventLinks.placeDynSlot(slot, piece.position);
                    if (g_eventLinks.turnDynSlot != nullptr) {
                        g_eventLinks.turnDynSlot(slot, Angles[free % 2]);
                    }
                    if (!linkRunning && g_eventLinks.setDynValues != nullptr) {
                        g_eventLinks.setDynValues(slot, Values, Middle, Low, free + 1);
                    }
                    g_eventLinks.showDynSlot(slot, true, false);
                    piece.used = 1;
                    piece.slot = slot;
                    LastPiece = Clock;
                    EventTraceStep(this, "piece", PiecesStanding());
                }
            }
        } else {
            for (int32_t i = 0; i < PieceCount && Pieces != nullptr; ++i) {
                BridgePiece &piece = Pieces[i];
                if (piece.used != 0) {
                    g_eventLinks.showDynSlot(piece.slot, false, false);
                    g_eventLinks.freeDynSlot(piece.slot);
                    piece.slot = -1;
                    piece.used = 0;
                    EventTraceStep(this, "removed", PiecesStanding());
                    break;
                }
            }
            LastPiece = Clock;
            if (PiecesStanding() == 0 && manager != nullptr) {
                manager->EndEvent(this);
            }
        }
    }
    Clock += dt;
}

void CSBridgeEvent::Release()
{
    zuFree(Pieces);
    Pieces = nullptr;
    PieceCount = 0;
    Done = 0;
}
