// Immediate-mode 2D: screen-space vertices drawn straight through the
// device record's Im2D functions (interface pictures, HUD, fades).
#pragma once

#include "rwengine.h"

// 28 bytes, drawn as pre-transformed vertices with a diffuse colour and one
// texture coordinate pair.
struct RwIm2DVertex {
    RwReal x;              // screen pixels
    RwReal y;
    RwReal z;              // within RwIm2DScreenZNear()..RwIm2DScreenZFar()
    RwReal rhw;            // reciprocal of the camera-space depth
    RwUInt32 emissiveColor;  // packed: alpha in the top byte, then red, green, blue
    RwReal u;
    RwReal v;
};
static_assert(sizeof(RwIm2DVertex) == 28, "Im2D vertices are handed to the device as they are");

// The device's screen depth range.
RwReal RwIm2DScreenZNear(void);
RwReal RwIm2DScreenZFar(void);

// Each forwards its arguments to the device record and returns its result
// (false when the device has no such function).
RwBool RwIm2DDrawLine(RwIm2DVertex *vertices, RwInt32 numVertices, RwInt32 vert1, RwInt32 vert2);
RwBool RwIm2DDrawTriangle(RwIm2DVertex *vertices, RwInt32 numVertices, RwInt32 vert1, RwInt32 vert2,
                          RwInt32 vert3);
RwBool RwIm2DDrawPrimitive(RwPrimitiveType primType, RwIm2DVertex *vertices, RwInt32 numVertices);
RwBool RwIm2DDrawIndexedPrimitive(RwPrimitiveType primType, RwIm2DVertex *vertices, RwInt32 numVertices,
                                  RwImVertexIndex *indices, RwInt32 numIndices);
