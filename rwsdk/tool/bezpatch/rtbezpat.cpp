// Power-basis conversion, forward-difference set-up and stepping of cubic
// Bezier nets, and the plain evaluator the checks compare them with.
#include "rtbezpat.h"

namespace {

RtBezierV4d Add(const RtBezierV4d &a, const RtBezierV4d &b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
RtBezierV4d Scale(const RtBezierV4d &a, RwReal k) { return {a.x * k, a.y * k, a.z * k, a.w * k}; }

// c0 = P0, c1 = 3(P1 - P0), c2 = 3(P2 - 2P1 + P0), c3 = P3 - 3P2 + 3P1 - P0.
void CurveToPower(RtBezierV4d c[4], const RtBezierV4d p[4])
{
    const RwReal *p0 = &p[0].x, *p1 = &p[1].x, *p2 = &p[2].x, *p3 = &p[3].x;
    RwReal *c0 = &c[0].x, *c1 = &c[1].x, *c2 = &c[2].x, *c3 = &c[3].x;
    for (int k = 0; k < 4; ++k) {
        c0[k] = p0[k];
        c1[k] = 3.0f * (p1[k] - p0[k]);
        c2[k] = 3.0f * (p2[k] - 2.0f * p1[k] + p0[k]);
        c3[k] = p3[k] - 3.0f * p2[k] + 3.0f * p1[k] - p0[k];
    }
}

}  // namespace

void RtBezierQuadPowerBasis(RtBezierMatrix out, const RtBezierMatrix net)
{
    RtBezierMatrix along;
    // Along t for each s-index, then along s.
    for (int s = 0; s < 4; ++s) {
        RtBezierV4d column[4] = {net[0][s], net[1][s], net[2][s], net[3][s]};
        RtBezierV4d power[4];
        CurveToPower(power, column);
        for (int m = 0; m < 4; ++m) {
            along[m][s] = power[m];
        }
    }
    for (int m = 0; m < 4; ++m) {
        CurveToPower(out[m], along[m]);
    }
}

void RtBezierQuadDifferenceTable(RtBezierMatrix out, const RtBezierMatrix power, RwReal step)
{
    const RwReal h = step, h2 = step * step, h3 = step * step * step;
    const RwReal d[4][4] = {
        {1.0f, 0.0f, 0.0f, 0.0f},
        {0.0f, h, h2, h3},
        {0.0f, 0.0f, 2.0f * h2, 6.0f * h3},
        {0.0f, 0.0f, 0.0f, 6.0f * h3},
    };
    for (int m = 0; m < 4; ++m) {
        for (int n = 0; n < 4; ++n) {
            RtBezierV4d sum = {0.0f, 0.0f, 0.0f, 0.0f};
            for (int p = 0; p < 4; ++p) {
                for (int q = 0; q < 4; ++q) {
                    const RwReal weight = d[m][p] * d[n][q];
                    if (weight != 0.0f) {
                        sum = Add(sum, Scale(power[p][q], weight));
                    }
                }
            }
            out[m][n] = sum;
        }
    }
}

void RtBezierTriangleNetFromPoints(RtBezierMatrix out, const RtBezierV4d points[10])
{
    const RtBezierV4d zero = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            out[r][c] = zero;
        }
    }
    // Column by column: points 0-3 in column 0, 4-6 in column 1, 7-8 in 2, 9 in 3.
    int k = 0;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r + c < 4; ++r) {
            out[r][c] = points[k++];
        }
    }
}

void RtBezierTriangleToQuadNet(RtBezierMatrix q, const RtBezierMatrix t)
{
    const RwReal third = 0.33333334f;
    for (int k = 0; k < 4; ++k) {
        auto T = [&](int r, int c) { return (&t[r][c].x)[k]; };
        // The table is written [s-index][t-index]; the net is kept [t][s].
        auto Q = [&](int r, int c) -> RwReal & { return (&q[c][r].x)[k]; };
        for (int c = 0; c < 4; ++c) {
            Q(0, c) = T(0, c);
        }
        Q(1, 0) = T(1, 0);
        Q(1, 1) = (2 * T(1, 1) + T(1, 0) - T(0, 0) + T(0, 1)) * third;
        Q(1, 2) = (2 * T(1, 1) + 2 * T(0, 2) + T(1, 2) - 2 * T(0, 1)) * third;
        Q(1, 3) = T(1, 2) - T(0, 2) + T(0, 3);
        Q(2, 0) = T(2, 0);
        Q(2, 1) = (2 * T(2, 0) + 2 * T(1, 1) + T(2, 1) - 2 * T(1, 0)) * third;
        Q(2, 2) = (2 * T(2, 1) + 2 * T(1, 2) + T(2, 0) - 2 * T(1, 0) + T(0, 2) + T(0, 0) - 2 * T(0, 1)) * third;
        Q(2, 3) = T(0, 1) - 2 * T(1, 1) + 2 * T(1, 2) + T(2, 1) - 2 * T(0, 2) + T(0, 3);
        Q(3, 0) = T(3, 0);
        Q(3, 1) = T(3, 0) - T(2, 0) + T(2, 1);
        Q(3, 2) = T(3, 0) - 2 * T(2, 0) + 2 * T(2, 1) + T(1, 2) - 2 * T(1, 1) + T(1, 0);
        Q(3, 3) = T(3, 0) + 3 * T(2, 1) - 3 * T(2, 0) + 3 * T(1, 2) - 6 * T(1, 1) + 3 * T(1, 0) + T(0, 3) -
                  3 * T(0, 2) + 3 * T(0, 1) - T(0, 0);
    }
}

void RtBezierQuadStep(RtBezierMatrix table, RwInt32 lod, RwBool triangle, RtBezierV4d *out)
{
    for (RwInt32 row = 0; row <= lod; ++row) {
        RtBezierV4d value = table[0][0], first = table[0][1], second = table[0][2];
        const RtBezierV4d third = table[0][3];
        const RwInt32 count = triangle ? lod - row : lod;
        *out++ = value;
        for (RwInt32 j = 0; j < count; ++j) {
            value = Add(value, first);
            first = Add(first, second);
            second = Add(second, third);
            *out++ = value;
        }
        // Down one row: each difference along t takes the next one's old value.
        for (int m = 0; m < 3; ++m) {
            for (int n = 0; n < 4; ++n) {
                table[m][n] = Add(table[m][n], table[m + 1][n]);
            }
        }
    }
}

RtBezierV4d RtBezierQuadSample(const RtBezierMatrix net, RwReal s, RwReal t)
{
    auto basis = [](RwReal u, RwReal b[4]) {
        const RwReal v = 1.0f - u;
        b[0] = v * v * v;
        b[1] = 3.0f * u * v * v;
        b[2] = 3.0f * u * u * v;
        b[3] = u * u * u;
    };
    RwReal bs[4], bt[4];
    basis(s, bs);
    basis(t, bt);
    RtBezierV4d sum = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            sum = Add(sum, Scale(net[i][j], bt[i] * bs[j]));
        }
    }
    return sum;
}
