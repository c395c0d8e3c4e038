// Bezier patch toolkit: the cubic control nets of quad and triangle
// patches turned into power-basis coefficients and forward-difference
// tables, and the stepping that walks a patch's grid row by row with
// additions only. Up to four components travel together (a position or
// normal uses three, a colour four).
#pragma once

#include "rwtypes.h"

struct RtBezierV4d {
    RwReal x;
    RwReal y;
    RwReal z;
    RwReal w;
};

// A cubic net, [t-index][s-index].
typedef RtBezierV4d RtBezierMatrix[4][4];

// Power-basis coefficients a[m][n] of t^m s^n from a Bezier net.
void RtBezierQuadPowerBasis(RtBezierMatrix out, const RtBezierMatrix net);
// The forward-difference table D[m][n] of power-basis coefficients for
// parameter step `step` in both parameters.
void RtBezierQuadDifferenceTable(RtBezierMatrix out, const RtBezierMatrix power, RwReal step);
// The quad net ([t][s]) whose bicubic surface equals, on s + t <= 1, the
// cubic triangle patch in `tri`, indexed [s-index][t-index] (r + c <= 3).
void RtBezierTriangleToQuadNet(RtBezierMatrix out, const RtBezierMatrix tri);
// Fills a triangle patch's [s-index][t-index] array from its ten control
// points (0-3 on t = 0, 4-6 at t-index 1, 7-8 at 2, 9 at 3), zeros elsewhere.
void RtBezierTriangleNetFromPoints(RtBezierMatrix out, const RtBezierV4d points[10]);

// Steps a difference table over a grid of `lod` segments: quad patches
// give (lod + 1)^2 values row by row, triangle patches (lod + 1)(lod + 2)/2
// with each row one shorter. `out` receives them in order.
void RtBezierQuadStep(RtBezierMatrix table, RwInt32 lod, RwBool triangle, RtBezierV4d *out);

// Plain evaluation of the bicubic net at (s, t), for checks and tools.
RtBezierV4d RtBezierQuadSample(const RtBezierMatrix net, RwReal s, RwReal t);
