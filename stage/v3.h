// Small arithmetic on the engine's triples, written out in full precision
// (the engine's own length goes through its square-root table): the stage
// code's camera, fade and sound-position maths share these.
#pragma once

#include <cmath>

#include "rwmatrix.h"

inline RwV3d V3Add(const RwV3d &a, const RwV3d &b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline RwV3d V3Sub(const RwV3d &a, const RwV3d &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline RwV3d V3Scale(const RwV3d &a, RwReal s) { return {a.x * s, a.y * s, a.z * s}; }
inline RwReal V3Dot(const RwV3d &a, const RwV3d &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline RwV3d V3Cross(const RwV3d &a, const RwV3d &b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline RwReal V3Length(const RwV3d &a) { return std::sqrt(V3Dot(a, a)); }
inline RwReal V3Distance(const RwV3d &a, const RwV3d &b) { return V3Length(V3Sub(a, b)); }
// a + (b - a) t
inline RwV3d V3Lerp(const RwV3d &a, const RwV3d &b, RwReal t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}
// The unit vector along `a`; `fallback` for a vector too short to have a direction.
inline RwV3d V3Normalized(const RwV3d &a, const RwV3d &fallback)
{
    const RwReal length = V3Length(a);
    return length > 1e-6f ? V3Scale(a, 1.0f / length) : fallback;
}
