// Immediate-mode 2D and the render-state interface: both are thin roads to
// the device record that the driver copied into the engine instance.
#include "rwerror.h"
#include "rwim2d.h"
#include "rwrenderstate.h"

namespace {

RwDeviceRecord *Device(void) { return &RwEngineInst->dOpenDevice; }

}  // namespace

RwReal RwIm2DScreenZNear(void) { return Device()->zBufferNear; }

RwReal RwIm2DScreenZFar(void) { return Device()->zBufferFar; }

RwBool RwIm2DDrawLine(RwIm2DVertex *vertices, RwInt32 numVertices, RwInt32 vert1, RwInt32 vert2)
{
    RwIm2DRenderLineFunction draw = Device()->fpIm2DRenderLine;
    return draw != nullptr ? draw(vertices, numVertices, vert1, vert2) : FALSE;
}

RwBool RwIm2DDrawTriangle(RwIm2DVertex *vertices, RwInt32 numVertices, RwInt32 vert1, RwInt32 vert2,
                          RwInt32 vert3)
{
    RwIm2DRenderTriangleFunction draw = Device()->fpIm2DRenderTriangle;
    return draw != nullptr ? draw(vertices, numVertices, vert1, vert2, vert3) : FALSE;
}

RwBool RwIm2DDrawPrimitive(RwPrimitiveType primType, RwIm2DVertex *vertices, RwInt32 numVertices)
{
    RwIm2DRenderPrimitiveFunction draw = Device()->fpIm2DRenderPrimitive;
    return draw != nullptr ? draw(primType, vertices, numVertices) : FALSE;
}

RwBool RwIm2DDrawIndexedPrimitive(RwPrimitiveType primType, RwIm2DVertex *vertices, RwInt32 numVertices,
                                  RwImVertexIndex *indices, RwInt32 numIndices)
{
    RwIm2DRenderIndexedPrimitiveFunction draw = Device()->fpIm2DRenderIndexedPrimitive;
    return draw != nullptr ? draw(primType, vertices, numVertices, indices, numIndices) : FALSE;
}

RwBool RwSetRenderState(RwRenderState state, void *value)
{
    if (RwEngineInst->curCamera == nullptr) {
        RwErrorReport(rwID_CORE, E_RW_NOCAMERAUPDATE);
        return FALSE;
    }
    RwRenderStateSetFunction set = Device()->fpRenderStateSet;
    return set != nullptr ? set(state, value) : FALSE;
}

RwBool RwGetRenderState(RwRenderState state, void *value)
{
    RwRenderStateGetFunction get = Device()->fpRenderStateGet;
    return get != nullptr ? get(state, value) : FALSE;
}
