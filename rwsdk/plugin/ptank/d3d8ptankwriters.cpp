// The tank's vertex writers: one routine per combination of attributes,
// stamped out from templates so that the per-particle loops test nothing,
// and the table that picks a tank's writers from its data flags.
#include <cmath>
#include <cstring>

#include "plugin/ptank/ptank.h"

namespace {

inline void Put(RwUInt8 *at, const void *value, size_t bytes) { std::memcpy(at, value, bytes); }

inline RwV3d Combine(const RwV3d &p, RwReal a, const RwV3d &x, RwReal b, const RwV3d &y)
{
    return {p.x + a * x.x + b * y.x, p.y + a * x.y + b * y.y, p.z + a * x.z + b * y.z};
}

inline RwV3d Scaled(const RwV3d &v, RwReal s) { return {v.x * s, v.y * s, v.z * s}; }

// The four corners of a camera-facing quad around c, in the order the
// index pattern (0, 1, 2), (0, 2, 3) turns into two triangles.
inline void PutQuad(RwUInt8 *out, RwInt32 stride, const RwV3d &c, const RwV3d &r, const RwV3d &u)
{
    const RwV3d corners[4] = {Combine(c, -1.0f, r, -1.0f, u), Combine(c, 1.0f, r, -1.0f, u),
                              Combine(c, 1.0f, r, 1.0f, u), Combine(c, -1.0f, r, 1.0f, u)};
    for (const RwV3d &v : corners) {
        Put(out, &v, sizeof v);
        out += stride;
    }
}

template <typename T>
inline T Read(const RpPTankLockStruct &cluster, RwInt32 i)
{
    T value;
    std::memcpy(&value, cluster.data + static_cast<size_t>(i) * static_cast<size_t>(cluster.stride), sizeof value);
    return value;
}

// Camera-facing quads: the size comes from the particle or the constant,
// the axes turn with the particle's rotation when it has one, and the
// centre offset moves the quad along the (turned) axes.
template <bool PerParticleSize, bool Rotates, bool Centred>
void QuadPositions(RpPTankLockStruct *slot, const RwV3d *right, const RwV3d *up, RwInt32 count, RpPTankData *data)
{
    const RpPTank *tank = RpPTankFromData(data);
    const RpPTankLockStruct &positions = data->clusters[rpPTANKCLUSTERPOSITION];
    const RpPTankLockStruct &sizes = data->clusters[rpPTANKCLUSTERSIZE];
    const RpPTankLockStruct &angles = data->clusters[rpPTANKCLUSTER2DROTATE];
    const RwV2d size = tank->cSize;
    const RwV2d centre = tank->cCenter;
    const RwV3d halfR = Scaled(*right, 0.5f * size.x);
    const RwV3d halfU = Scaled(*up, 0.5f * size.y);
    const RwV3d shift = Combine({0.0f, 0.0f, 0.0f}, centre.x, *right, centre.y, *up);
    RwUInt8 *out = slot->data;
    const RwInt32 step = slot->stride * 4;
    for (RwInt32 i = 0; i < count; ++i, out += step) {
        const RwV3d p = Read<RwV3d>(positions, i);
        RwV3d axisR = *right;
        RwV3d axisU = *up;
        if constexpr (Rotates) {
            const RwReal angle = Read<RwReal>(angles, i);
            const RwReal c = std::cos(angle);
            const RwReal s = std::sin(angle);
            axisR = Combine({0.0f, 0.0f, 0.0f}, c, *right, -s, *up);
            axisU = Combine({0.0f, 0.0f, 0.0f}, s, *right, c, *up);
        }
        RwV3d r = halfR;
        RwV3d u = halfU;
        if constexpr (PerParticleSize || Rotates) {
            RwV2d wh = size;
            if constexpr (PerParticleSize) {
                wh = Read<RwV2d>(sizes, i);
            }
            r = Scaled(axisR, 0.5f * wh.x);
            u = Scaled(axisU, 0.5f * wh.y);
        }
        RwV3d c = p;
        if constexpr (Centred) {
            if constexpr (Rotates) {
                c = Combine(p, centre.x, axisR, centre.y, axisU);
            } else {
                c = {p.x + shift.x, p.y + shift.y, p.z + shift.z};
            }
        }
        PutQuad(out, slot->stride, c, r, u);
    }
}

// Quads oriented by each particle's matrix: its right and up are the edges.
template <bool Centred>
void MatrixPositions(RpPTankLockStruct *slot, const RwV3d *, const RwV3d *, RwInt32 count, RpPTankData *data)
{
    const RpPTankLockStruct &matrices = data->clusters[rpPTANKCLUSTERMATRIX];
    const RwV2d centre = RpPTankFromData(data)->cCenter;
    RwUInt8 *out = slot->data;
    const RwInt32 step = slot->stride * 4;
    for (RwInt32 i = 0; i < count; ++i, out += step) {
        const RwMatrix m = Read<RwMatrix>(matrices, i);
        RwV3d q = m.pos;
        if constexpr (Centred) {
            q = Combine(q, centre.x, m.right, centre.y, m.up);
        }
        const RwV3d a = Scaled(m.right, 0.5f);
        const RwV3d b = Scaled(m.up, 0.5f);
        const RwV3d corners[4] = {Combine(q, 1.0f, a, -1.0f, b), Combine(q, -1.0f, a, -1.0f, b),
                                  Combine(q, -1.0f, a, 1.0f, b), Combine(q, 1.0f, a, 1.0f, b)};
        RwUInt8 *v = out;
        for (const RwV3d &corner : corners) {
            Put(v, &corner, sizeof corner);
            v += slot->stride;
        }
    }
}

// Point sprites: one vertex per particle; the centre offset moves along
// world x and y; the size, when per particle, follows the position (and
// the normal, when there is one).
template <bool PerParticleSize, bool Centred>
void PointPositions(RpPTankLockStruct *slot, const RwV3d *, const RwV3d *, RwInt32 count, RpPTankData *data)
{
    const RpPTankLockStruct &positions = data->clusters[rpPTANKCLUSTERPOSITION];
    const RpPTankLockStruct &sizes = data->clusters[rpPTANKCLUSTERSIZE];
    const RwV2d centre = RpPTankFromData(data)->cCenter;
    const size_t sizeAt = (data->format.dataFlags & rpPTANKDFLAGNORMAL) ? 24 : 12;
    RwUInt8 *out = slot->data;
    for (RwInt32 i = 0; i < count; ++i, out += slot->stride) {
        RwV3d p = Read<RwV3d>(positions, i);
        if constexpr (Centred) {
            p.x += centre.x;
            p.y += centre.y;
        }
        Put(out, &p, sizeof p);
        if constexpr (PerParticleSize) {
            const RwReal width = Read<RwV2d>(sizes, i).x;
            Put(out + sizeAt, &width, sizeof width);
        }
    }
}

// One value of `Bytes` bytes per particle, repeated on its `Vertices` vertices.
template <RwInt32 Cluster, size_t Bytes, RwInt32 Vertices>
void Repeated(RpPTankLockStruct *slot, RwInt32 count, RpPTankData *data)
{
    const RpPTankLockStruct &source = data->clusters[Cluster];
    RwUInt8 *out = slot->data;
    for (RwInt32 i = 0; i < count; ++i) {
        const RwUInt8 *value = source.data + static_cast<size_t>(i) * static_cast<size_t>(source.stride);
        for (RwInt32 v = 0; v < Vertices; ++v, out += slot->stride) {
            Put(out, value, Bytes);
        }
    }
}

void PutPackedColors(RpPTankLockStruct *slot, RwInt32 count, const RwRGBA *(*colorsOf)(RpPTankData *, RwInt32),
                     RwInt32 perParticle, RpPTankData *data)
{
    RwUInt8 *out = slot->data;
    for (RwInt32 i = 0; i < count; ++i) {
        const RwRGBA *colors = colorsOf(data, i);
        for (RwInt32 v = 0; v < 4; ++v, out += slot->stride) {
            const RwUInt32 packed = RpPTankPackColor(&colors[perParticle == 4 ? v : 0]);
            Put(out, &packed, sizeof packed);
        }
    }
}

const RwRGBA *ParticleColor(RpPTankData *data, RwInt32 i)
{
    const RpPTankLockStruct &c = data->clusters[rpPTANKCLUSTERCOLOR];
    return reinterpret_cast<const RwRGBA *>(c.data + static_cast<size_t>(i) * static_cast<size_t>(c.stride));
}

const RwRGBA *ParticleVertexColors(RpPTankData *data, RwInt32 i)
{
    const RpPTankLockStruct &c = data->clusters[rpPTANKCLUSTERVTXCOLOR];
    return reinterpret_cast<const RwRGBA *>(c.data + static_cast<size_t>(i) * static_cast<size_t>(c.stride));
}

const RwRGBA *ConstantVertexColors(RpPTankData *data, RwInt32) { return RpPTankFromData(data)->cVtxColor; }

void Colors(RpPTankLockStruct *slot, RwInt32 count, RpPTankData *data)
{
    PutPackedColors(slot, count, ParticleColor, 1, data);
}

void VertexColors(RpPTankLockStruct *slot, RwInt32 count, RpPTankData *data)
{
    PutPackedColors(slot, count, ParticleVertexColors, 4, data);
}

void ConstantVertexColorWriter(RpPTankLockStruct *slot, RwInt32 count, RpPTankData *data)
{
    PutPackedColors(slot, count, ConstantVertexColors, 4, data);
}

void PointColors(RpPTankLockStruct *slot, RwInt32 count, RpPTankData *data)
{
    RwUInt8 *out = slot->data;
    for (RwInt32 i = 0; i < count; ++i, out += slot->stride) {
        const RwUInt32 packed = RpPTankPackColor(ParticleColor(data, i));
        Put(out, &packed, sizeof packed);
    }
}

// Two corners A and B spread over the quad: (uA, vB), (uB, vB), (uB, vA), (uA, vA).
void PutTwoCorners(RwUInt8 *out, RwInt32 stride, const RwTexCoords &a, const RwTexCoords &b)
{
    const RwTexCoords uv[4] = {{a.u, b.v}, {b.u, b.v}, {b.u, a.v}, {a.u, a.v}};
    for (const RwTexCoords &t : uv) {
        Put(out, &t, sizeof t);
        out += stride;
    }
}

void TwoCornerTexCoords(RpPTankLockStruct *slot, RwInt32 count, RpPTankData *data)
{
    const RpPTankLockStruct &source = data->clusters[rpPTANKCLUSTERVTX2TEXCOORDS];
    RwUInt8 *out = slot->data;
    for (RwInt32 i = 0; i < count; ++i, out += slot->stride * 4) {
        RwTexCoords corners[2];
        std::memcpy(corners, source.data + static_cast<size_t>(i) * static_cast<size_t>(source.stride),
                    sizeof corners);
        PutTwoCorners(out, slot->stride, corners[0], corners[1]);
    }
}

void ConstantTwoCornerTexCoords(RpPTankLockStruct *slot, RwInt32 count, RpPTankData *data)
{
    const RpPTank *tank = RpPTankFromData(data);
    RwUInt8 *out = slot->data;
    for (RwInt32 i = 0; i < count; ++i, out += slot->stride * 4) {
        PutTwoCorners(out, slot->stride, tank->cUV[0], tank->cUV[1]);
    }
}

void ConstantFourCornerTexCoords(RpPTankLockStruct *slot, RwInt32 count, RpPTankData *data)
{
    const RpPTank *tank = RpPTankFromData(data);
    RwUInt8 *out = slot->data;
    for (RwInt32 i = 0; i < count; ++i) {
        for (RwInt32 v = 0; v < 4; ++v, out += slot->stride) {
            Put(out, &tank->cUV[v], sizeof(RwTexCoords));
        }
    }
}

// Four-corner coordinates: pair v of the particle on vertex v.
void FourCornerTexCoords(RpPTankLockStruct *slot, RwInt32 count, RpPTankData *data)
{
    const RpPTankLockStruct &source = data->clusters[rpPTANKCLUSTERVTX4TEXCOORDS];
    RwUInt8 *out = slot->data;
    for (RwInt32 i = 0; i < count; ++i) {
        const RwUInt8 *pairs = source.data + static_cast<size_t>(i) * static_cast<size_t>(source.stride);
        for (RwInt32 v = 0; v < 4; ++v, out += slot->stride) {
            Put(out, pairs + 8 * v, 8);
        }
    }
}

// Position writers indexed [centred][kind].
enum PositionKind { kPlain, kSize, kRotate, kRotateSize, kMatrix, kPoint, kPointSize, kPositionKinds };

constexpr RpPTankPositionWriter kPositionWriters[2][kPositionKinds] = {
    {QuadPositions<false, false, false>, QuadPositions<true, false, false>, QuadPositions<false, true, false>,
     QuadPositions<true, true, false>, MatrixPositions<false>, PointPositions<false, false>,
     PointPositions<true, false>},
    {QuadPositions<false, false, true>, QuadPositions<true, false, true>, QuadPositions<false, true, true>,
     QuadPositions<true, true, true>, MatrixPositions<true>, PointPositions<false, true>,
     PointPositions<true, true>},
};

PositionKind QuadPositionKind(RwUInt32 f)
{
    if (f & rpPTANKDFLAGMATRIX) {
        return kMatrix;
    }
    if (f & rpPTANKDFLAGCNSMATRIX) {
        return kPlain;
    }
    if (f & rpPTANKDFLAG2DROTATE) {
        return (f & rpPTANKDFLAGSIZE) ? kRotateSize : kRotate;
    }
    return (f & rpPTANKDFLAGSIZE) ? kSize : kPlain;
}

}  // namespace

RpPTankWriterChoice RpPTankChooseWriters(RwUInt32 f, RwBool pointSprites)
{
    RpPTankWriterChoice choice = {};
    const RwInt32 centred = (f & rpPTANKDFLAGUSECENTER) ? 1 : 0;
    if (pointSprites) {
        choice.position = kPositionWriters[centred][(f & rpPTANKDFLAGSIZE) ? kPointSize : kPoint];
        choice.normals = (f & rpPTANKDFLAGNORMAL) ? Repeated<rpPTANKCLUSTERNORMAL, 12, 1> : nullptr;
        choice.colors = (f & rpPTANKDFLAGCOLOR) ? PointColors : nullptr;
        return choice;
    }
    choice.position = kPositionWriters[centred][QuadPositionKind(f)];
    if (f & rpPTANKDFLAGVTX2TEXCOORDS) {
        choice.texCoords = TwoCornerTexCoords;
    } else if (f & rpPTANKDFLAGVTX4TEXCOORDS) {
        choice.texCoords = FourCornerTexCoords;
    } else if (f & rpPTANKDFLAGCNSVTX2TEXCOORDS) {
        choice.texCoords = ConstantTwoCornerTexCoords;
    } else if (f & rpPTANKDFLAGCNSVTX4TEXCOORDS) {
        choice.texCoords = ConstantFourCornerTexCoords;
    }
    if (f & rpPTANKDFLAGCOLOR) {
        choice.colors = Colors;
    } else if (f & rpPTANKDFLAGVTXCOLOR) {
        choice.colors = VertexColors;
    } else if (f & rpPTANKDFLAGCNSVTXCOLOR) {
        choice.colors = ConstantVertexColorWriter;
    }
    choice.normals = (f & rpPTANKDFLAGNORMAL) ? Repeated<rpPTANKCLUSTERNORMAL, 12, 4> : nullptr;
    return choice;
}
