// Matrix products and the normal matrix for vertex processing.
#include "swr_math.h"

namespace swr {

D3DMATRIX Multiply(const D3DMATRIX &a, const D3DMATRIX &b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k) s += a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    }
    return r;
}

D3DMATRIX NormalMatrix(const D3DMATRIX &m) {
    // Cofactors of the 3x3; inverse transpose = cofactor matrix / determinant.
    const float a = m._11, b = m._12, c = m._13;
    const float d = m._21, e = m._22, f = m._23;
    const float g = m._31, h = m._32, i = m._33;
    const float c11 = e * i - f * h, c12 = -(d * i - f * g), c13 = d * h - e * g;
    const float c21 = -(b * i - c * h), c22 = a * i - c * g, c23 = -(a * h - b * g);
    const float c31 = b * f - c * e, c32 = -(a * f - c * d), c33 = a * e - b * d;
    const float det = a * c11 + b * c12 + c * c13;
    D3DMATRIX r{};
    if (det == 0.0f || !std::isfinite(det)) return r;
    const float inv = 1.0f / det;
    r._11 = c11 * inv; r._12 = c12 * inv; r._13 = c13 * inv;
    r._21 = c21 * inv; r._22 = c22 * inv; r._23 = c23 * inv;
    r._31 = c31 * inv; r._32 = c32 * inv; r._33 = c33 * inv;
    r._44 = 1.0f;
    return r;
}

}  // namespace swr
