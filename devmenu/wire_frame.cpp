// Wire frames: after the frame draws a world sector or an atomic, its
// triangle edges drawn as white lines when the wire-frame mode asks for
// them (1 the world's sectors, 2 the models' atomics, 3 both). The line
// vertices go into the menu's buffer, which grows through the game's
// allocator and lives with the menu.
#include <algorithm>
#include <cstring>

#include "app/memory.h"
#include "devmenu/dev_menu.h"
#include "rwcore.h"

namespace {

constexpr uint32_t kWireColour = 0xFFFFFFFFu;
constexpr int32_t kWireBsp = 1;
constexpr int32_t kWireDff = 2;
constexpr int32_t kWireAll = 3;
// Whole triangles per batch: six line ends each, within one batch's limit.
constexpr uint32_t kTrianglesPerBatch = static_cast<uint32_t>(rwIM3DMAXVERTICES) / 6;

RwIm3DVertex LineEnd(const RwV3d &position)
{
    RwIm3DVertex vertex{};
    vertex.objVertex = position;
    vertex.color = kWireColour;
    return vertex;
}

}  // namespace

// Room for `vertices` line ends; the old contents need not survive.
static RwIm3DVertex *WireFrameRoom(CSDevMenu *menu, uint32_t vertices)
{
    if (menu->wireFrameCapacity < vertices) {
        zuFree(menu->wireFrameBuffer);
        menu->wireFrameBuffer = static_cast<RwIm3DVertex *>(zuMalloc(sizeof(RwIm3DVertex) * vertices));
        menu->wireFrameCapacity = vertices;
    }
    return menu->wireFrameBuffer;
}

// The edges of `count` triangles whose corners `corner(t, k)` gives, drawn
// in batches under `ltm` (null: world space).
template <class Corner>
static void DrawTriangleEdges(CSDevMenu *menu, uint32_t count, const RwV3d *positions, uint32_t positionCount,
                              RwMatrix *ltm, Corner corner)
{
    for (uint32_t first = 0; first < count; first += kTrianglesPerBatch) {
        const uint32_t triangles = std::min(kTrianglesPerBatch, count - first);
        RwIm3DVertex *out = WireFrameRoom(menu, triangles * 6);
        uint32_t used = 0;
        for (uint32_t t = first; t < first + triangles; ++t) {
            uint16_t index[3];
            bool inside = true;
            for (int k = 0; k < 3; ++k) {
                index[k] = corner(t, k);
                inside = inside && index[k] < positionCount;
            }
            if (!inside) {
                continue;  // a damaged index draws nothing rather than reading past the vertices
            }
            for (int k = 0; k < 3; ++k) {
                out[used++] = LineEnd(positions[index[k]]);
                out[used++] = LineEnd(positions[index[(k + 1) % 3]]);
            }
        }
        if (used == 0) {
            continue;
        }
        if (RwIm3DTransform(out, used, ltm, rwIM3D_ALLOPAQUE) != nullptr) {
            RwIm3DRenderPrimitive(rwPRIMTYPELINELIST);
            RwIm3DEnd();
        }
    }
}

void CSDevMenu::DrawSectorWireFrame(const RpWorldSector *sector)
{
    if ((wireFrameMode != kWireBsp && wireFrameMode != kWireAll) || sector == nullptr || sector->polygons == nullptr ||
        sector->vertices == nullptr) {
        return;
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    DrawTriangleEdges(this, sector->numPolygons, sector->vertices, sector->numVertices, nullptr,
                      [sector](uint32_t t, int k) { return sector->polygons[t].vertIndex[k]; });
}

void CSDevMenu::DrawAtomicWireFrame(RpAtomic *atomic)
{
    if ((wireFrameMode != kWireDff && wireFrameMode != kWireAll) || atomic == nullptr) {
        return;
    }
    const RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    RwFrame *frame = RpAtomicGetFrame(atomic);
    if (geometry == nullptr || frame == nullptr || geometry->triangles == nullptr || geometry->morphTarget == nullptr ||
        geometry->morphTarget[0].verts == nullptr || geometry->numTriangles <= 0 || geometry->numVertices <= 0) {
        return;
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    DrawTriangleEdges(this, static_cast<uint32_t>(geometry->numTriangles), geometry->morphTarget[0].verts,
                      static_cast<uint32_t>(geometry->numVertices), RwFrameGetLTM(frame),
                      [geometry](uint32_t t, int k) { return geometry->triangles[t].vertIndex[k]; });
}
