// Small vector and matrix helpers for vertex processing. Matrices follow the API's
// row-vector convention: a point p is transformed as p * M, translation in row 4.
#pragma once

#include <cmath>

#include "d3d8/d3d8types.h"

namespace swr {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }

// Zero vectors stay zero rather than turning into NaNs.
inline Vec3 Normalize(Vec3 a) {
    const float len = Length(a);
    return len > 0.0f ? a * (1.0f / len) : a;
}

inline Vec3 ToVec3(const D3DVECTOR &v) { return {v.x, v.y, v.z}; }

inline Vec4 TransformPoint(Vec3 p, const D3DMATRIX &m) {
    return {p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41,
            p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
            p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43,
            p.x * m._14 + p.y * m._24 + p.z * m._34 + m._44};
}

inline Vec4 TransformVec4(Vec4 p, const D3DMATRIX &m) {
    return {p.x * m._11 + p.y * m._21 + p.z * m._31 + p.w * m._41,
            p.x * m._12 + p.y * m._22 + p.z * m._32 + p.w * m._42,
            p.x * m._13 + p.y * m._23 + p.z * m._33 + p.w * m._43,
            p.x * m._14 + p.y * m._24 + p.z * m._34 + p.w * m._44};
}

// Direction: the upper 3x3 only.
inline Vec3 TransformDirection(Vec3 d, const D3DMATRIX &m) {
    return {d.x * m._11 + d.y * m._21 + d.z * m._31, d.x * m._12 + d.y * m._22 + d.z * m._32,
            d.x * m._13 + d.y * m._23 + d.z * m._33};
}

D3DMATRIX Multiply(const D3DMATRIX &a, const D3DMATRIX &b);

// The matrix that carries normals along with `m`: the inverse transpose of its upper
// 3x3 (stored in a 4x4 with no translation). A singular matrix gives a zero matrix, so
// its normals light nothing instead of producing infinities.
D3DMATRIX NormalMatrix(const D3DMATRIX &m);

}  // namespace swr
