// Refinement of patches into vertices and strips: positions and normals
// (and colours) stepped by forward differences, texture coordinates
// interpolated from the corners, the strip indices of each patch, and the
// plan that groups a geometry's patches into batches of 16-bit indices.
#include <cmath>
#include <cstring>

#include "patchpriv.h"
#include "rpgeometry.h"
#include "rtbezpat.h"
#include "rwmemory.h"

namespace {

constexpr RwUInt32 kMaxBatchIndices = 65535;

// Steps a net of up to four components and hands each vertex's value to `put`.
template <typename Put>
void StepNet(RtBezierMatrix net, RwBool triangle, RwUInt32 lod, RtBezierV4d *scratch, Put put)
{
    RtBezierMatrix quadNet;
    if (triangle) {
        RtBezierTriangleToQuadNet(quadNet, net);
    } else {
        std::memcpy(quadNet, net, sizeof(RtBezierMatrix));
    }
    RtBezierMatrix power;
    RtBezierMatrix table;
    RtBezierQuadPowerBasis(power, quadNet);
    RtBezierQuadDifferenceTable(table, power, 1.0f / static_cast<RwReal>(lod));
    RtBezierQuadStep(table, static_cast<RwInt32>(lod), triangle, scratch);
    const RwUInt32 count = triangle ? RpPatchTriVertexCount(lod) : RpPatchQuadVertexCount(lod);
    for (RwUInt32 v = 0; v < count; ++v) {
        put(v, scratch[v]);
    }
}

// The net of one attribute: quad control k at [k / 4][k % 4]; triangle
// points through the triangle array.
template <typename Get>
void GatherNet(RtBezierMatrix net, const RwUInt16 *controls, RwBool triangle, Get get)
{
    if (triangle) {
        RtBezierV4d points[rpTRIPATCHNUMCONTROLINDICES];
        for (RwUInt32 k = 0; k < rpTRIPATCHNUMCONTROLINDICES; ++k) {
            points[k] = get(controls[k]);
        }
        RtBezierTriangleNetFromPoints(net, points);
        return;
    }
    for (RwUInt32 k = 0; k < rpQUADPATCHNUMCONTROLINDICES; ++k) {
        net[k / 4][k % 4] = get(controls[k]);
    }
}

void PutV3d(RwUInt8 *out, RwUInt32 stride, RwUInt32 offset, RwUInt32 v, const RtBezierV4d &value)
{
    const RwReal xyz[3] = {value.x, value.y, value.z};
    std::memcpy(out + v * stride + offset, xyz, sizeof(xyz));
}

RwUInt8 ColourByte(RwReal value) { return static_cast<RwUInt8>(static_cast<RwInt32>(value) & 0xFF); }

}  // namespace

void RpPatchRefine(const RpPatchSource *source, const RwUInt16 *controls, RwBool triangle, RwUInt32 lod,
                   const RpPatchVertexLayout *layout, RwUInt8 *out)
{
    if (lod < 1) {
        lod = 1;
    }
    const RwUInt32 stride = layout->stride;
    RtBezierV4d *scratch = static_cast<RtBezierV4d *>(RwMalloc(sizeof(RtBezierV4d) * RpPatchQuadVertexCount(lod)));
    if (scratch == nullptr) {
        return;
    }
    RtBezierMatrix net;
    GatherNet(net, controls, triangle, [&](RwUInt16 i) {
        const RwV3d &p = source->positions[i];
        return RtBezierV4d{p.x, p.y, p.z, 0.0f};
    });
    StepNet(net, triangle, lod, scratch, [&](RwUInt32 v, const RtBezierV4d &value) { PutV3d(out, stride, 0, v, value); });
    if (source->normals != nullptr && layout->normalOffset != rpPATCHNOTWRITTEN) {
        GatherNet(net, controls, triangle, [&](RwUInt16 i) {
            const RwV3d &n = source->normals[i];
            return RtBezierV4d{n.x, n.y, n.z, 0.0f};
        });
        StepNet(net, triangle, lod, scratch,
                [&](RwUInt32 v, const RtBezierV4d &value) { PutV3d(out, stride, layout->normalOffset, v, value); });
    }
    if (source->colours != nullptr && layout->colourOffset != rpPATCHNOTWRITTEN) {
        GatherNet(net, controls, triangle, [&](RwUInt16 i) {
            const RwRGBA &c = source->colours[i];
            return RtBezierV4d{static_cast<RwReal>(c.blue), static_cast<RwReal>(c.green), static_cast<RwReal>(c.red),
                               static_cast<RwReal>(c.alpha)};
        });
        StepNet(net, triangle, lod, scratch, [&](RwUInt32 v, const RtBezierV4d &value) {
            const RwUInt8 bgra[4] = {ColourByte(value.x), ColourByte(value.y), ColourByte(value.z), ColourByte(value.w)};
            std::memcpy(out + v * stride + layout->colourOffset, bgra, sizeof(bgra));
        });
    }
    RwFree(scratch);
    const RwReal step = 1.0f / static_cast<RwReal>(lod);
    for (RwInt32 set = 0; set < rpPATCHMAXTEXCOORDSETS; ++set) {
        const RwTexCoords *uv = source->texCoords[set];
        if (uv == nullptr || layout->texCoordOffset[set] == rpPATCHNOTWRITTEN) {
            continue;
        }
        RwUInt32 v = 0;
        for (RwUInt32 i = 0; i <= lod; ++i) {
            const RwUInt32 rowLength = triangle ? lod - i : lod;
            for (RwUInt32 j = 0; j <= rowLength; ++j, ++v) {
                RwReal pair[2];
                const RwReal *c0 = &uv[controls[0]].u;
                const RwReal *c3 = &uv[controls[3]].u;
                for (int k = 0; k < 2; ++k) {
                    if (triangle) {
                        const RwReal *c9 = &uv[controls[9]].u;
                        const RwReal w9 = static_cast<RwReal>(i) * step;
                        const RwReal w0 = static_cast<RwReal>(lod - i - j) * step;
                        const RwReal w3 = 1.0f - w0 - w9;
                        pair[k] = c0[k] * w0 + c3[k] * w3 + c9[k] * w9;
                    } else {
                        const RwReal *c12 = &uv[controls[12]].u;
                        const RwReal *c15 = &uv[controls[15]].u;
                        const RwReal a = (c12[k] - c0[k]) * step * static_cast<RwReal>(i) + c0[k];
                        const RwReal b = (c15[k] - c3[k]) * step * static_cast<RwReal>(i) + c3[k];
                        pair[k] = (b - a) * step * static_cast<RwReal>(j) + a;
                    }
                }
                std::memcpy(out + v * stride + layout->texCoordOffset[set], pair, sizeof(pair));
            }
        }
    }
}

RwUInt32 RpPatchQuadStripIndices(RwUInt32 lod, RwUInt16 base, RwUInt16 *out)
{
    RwUInt32 n = 0;
    const RwUInt32 row = lod + 1;
    for (RwUInt32 r = 0; r < lod; ++r) {
        for (RwUInt32 k = 0; k <= lod; ++k) {
            const RwUInt32 j = (r & 1u) ? lod - k : k;
            const RwUInt32 upper = (r + 1) * row + j;
            const RwUInt32 lower = r * row + j;
            out[n++] = static_cast<RwUInt16>(base + ((r & 1u) ? upper : lower));
            out[n++] = static_cast<RwUInt16>(base + ((r & 1u) ? lower : upper));
        }
    }
    return n;
}

RwUInt32 RpPatchTriStripIndices(RwUInt32 lod, RwUInt16 base, RwUInt16 *out)
{
    // First vertex of each row: rows shrink by one.
    auto at = [lod](RwUInt32 r, RwUInt32 k) { return r * (lod + 1) - r * (r - 1) / 2 + k; };
    RwUInt32 n = 0;
    for (RwUInt32 r = 0; r < lod; ++r) {
        const RwUInt32 last = lod - r;
        if (!(r & 1u)) {
            for (RwUInt32 k = 0; k < last; ++k) {
                out[n++] = static_cast<RwUInt16>(base + at(r, k));
                out[n++] = static_cast<RwUInt16>(base + at(r + 1, k));
            }
            out[n++] = static_cast<RwUInt16>(base + at(r, last));
        } else {
            out[n++] = static_cast<RwUInt16>(base + at(r, last));
            for (RwUInt32 k = last; k-- > 0;) {
                out[n++] = static_cast<RwUInt16>(base + at(r + 1, k));
                out[n++] = static_cast<RwUInt16>(base + at(r, k));
            }
        }
    }
    if (lod & 1u) {
        out[n] = out[n - 1];
        ++n;
    }
    return n;
}

RwBool RpPatchIsTriangle(const RpGeometry *geometry, const RwUInt16 *controls)
{
    if (geometry->numTexCoordSets < 1 || geometry->texCoords[0] == nullptr ||
        controls[5] >= static_cast<RwUInt32>(geometry->numVertices)) {
        return FALSE;
    }
    // A NaN is "not 0.0" too.
    return !(geometry->texCoords[0][controls[5]].u == 0.0f);
}

RwUInt32 RpPatchPlanBatches(const RpGeometry *geometry, RwUInt32 lod, RpPatchBatch *batches, RwUInt32 capacity)
{
    const RpMeshHeader *header = geometry->mesh;
    if (header == nullptr) {
        return 0;
    }
    const RpMesh *meshes = RpMeshHeaderGetMeshes(header);
    RwUInt32 count = 0;
    for (RwUInt32 m = 0; m < header->numMeshes; ++m) {
        const RwUInt32 patches = meshes[m].numIndices / 16;
        if (patches == 0) {
            continue;
        }
        RpPatchBatch *batch = nullptr;
        for (RwUInt32 p = 0; p < patches; ++p) {
            const RwBool tri = RpPatchIsTriangle(geometry, meshes[m].indices + 16 * p);
            const RwUInt32 strip = tri ? RpPatchTriStripCount(lod) : RpPatchQuadStripCount(lod);
            const RwUInt32 vertices = tri ? RpPatchTriVertexCount(lod) : RpPatchQuadVertexCount(lod);
            // A batch that would pass 16-bit indices closes; with no record
            // left the plan stops (the caller sizes `batches` so that it
            // never does), so vertex numbers never wrap.
            if (batch == nullptr || batch->numIndices + 2 + strip > kMaxBatchIndices) {
                if (count >= capacity) {
                    return count;
                }
                batch = &batches[count++];
                *batch = {m, p, 0, 0, 0};
            } else {
                batch->numIndices += 2;
            }
            ++batch->numPatches;
            batch->numVertices += vertices;
            batch->numIndices += strip;
        }
    }
    return count;
}
