// Exact intersection tests of a triangle against a line segment, a sphere
// and an axis-aligned box: the primitives every collision query is built on.
#pragma once

#include "rwmatrix.h"

// Segment start + t * delta, t in [0, 1], against the triangle v0, v1, v2.
// Only segments running against the triangle's normal cross(v1-v0, v2-v0)
// can hit (back faces and parallel segments never do). Barycentric limits
// carry a relative tolerance of 1e-5, so `distance` (t) may stray that far
// outside [0, 1]. Returns TRUE on a hit.
RwBool RtIntersectionLineTriangle(const RwV3d *lineStart, const RwV3d *lineDelta, const RwV3d *v0,
                                  const RwV3d *v1, const RwV3d *v2, RwReal *distance);

// Sphere against triangle. On a hit `normal` receives the unit triangle
// normal and `distance` the signed distance of the centre from the plane,
// measured along the normal (positive when the centre lies in front).
// Touching counts as a hit; degenerate triangles never hit.
RwBool RtIntersectionSphereTriangle(const RwSphere *sphere, const RwV3d *v0, const RwV3d *v1, const RwV3d *v2,
                                    RwV3d *normal, RwReal *distance);

// Box (sup = maximum corner, inf = minimum corner) against triangle, with no
// tolerance: a vertex inside or on the box, an edge crossing a face's
// interior, or the box's diagonal piercing the triangle's interior hits.
RwBool RtIntersectionBoxTriangle(const RwBBox *box, const RwV3d *v0, const RwV3d *v1, const RwV3d *v2);
