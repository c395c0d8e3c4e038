// Instancing set-up and finish for tanks on the Direct3D 8 driver: the
// quad and point vertex layouts, the vertex lock that the writers fill,
// the quad axes, and the shared quad index buffer.
#include <cmath>
#include <cstring>

#include "plugin/ptank/ptank.h"
#include "rpworld.h"
#include "rwd3d8.h"

namespace {

RwBool Has(RwUInt32 flags, RwUInt32 bit) { return (flags & bit) != 0; }

// A direction of the world in the space of `inverse`'s source matrix.
RwV3d IntoSpace(const RwMatrix &inverse, const RwV3d &v)
{
    return {v.x * inverse.right.x + v.y * inverse.up.x + v.z * inverse.at.x,
            v.x * inverse.right.y + v.y * inverse.up.y + v.z * inverse.at.y,
            v.x * inverse.right.z + v.y * inverse.up.z + v.z * inverse.at.z};
}

// The camera's axes in the world, turned into the tank's space: the tank's
// particles are drawn through its frame, so quads that face the camera need
// the camera's axes as the frame sees them.
void CameraAxesInTankSpace(RpAtomic *atomic, RwV3d *right, RwV3d *up)
{
    RwFrame *frame = RpAtomicGetFrame(atomic);
    const RwMatrix *ltm = frame != nullptr ? RwFrameGetLTM(frame) : nullptr;
    if (ltm == nullptr || RwMatrixIsIdentityFlagged(ltm)) {
        return;
    }
    RwMatrix inverse;
    if (RwMatrixInvert(&inverse, ltm) == nullptr) {
        return;
    }
    *right = IntoSpace(inverse, *right);
    *up = IntoSpace(inverse, *up);
}

// The camera's right points the other way from the screen's x, hence the sign.
void CameraAxes(const RpPTank *tank, RwV3d *right, RwV3d *up)
{
    const RwUInt32 f = tank->data.format.dataFlags;
    if (Has(f, rpPTANKDFLAGCNSMATRIX)) {
        *right = tank->cMatrix.right;
        *up = tank->cMatrix.up;
        return;
    }
    *right = {-1.0f, 0.0f, 0.0f};
    *up = {0.0f, 1.0f, 0.0f};
    RwCamera *camera = RwCameraGetCurrentCamera();
    RwFrame *frame = camera != nullptr ? RwCameraGetFrame(camera) : nullptr;
    if (frame != nullptr) {
        const RwMatrix *ltm = RwFrameGetLTM(frame);
        *right = {-ltm->right.x, -ltm->right.y, -ltm->right.z};
        *up = ltm->up;
    }
    if (Has(f, rpPTANKDFLAGCNS2DROTATE)) {
        const RwReal c = std::cos(tank->cRotate);
        const RwReal s = std::sin(tank->cRotate);
        const RwV3d r = *right;
        const RwV3d u = *up;
        *right = {c * r.x - s * u.x, c * r.y - s * u.y, c * r.z - s * u.z};
        *up = {s * r.x + c * u.x, s * r.y + c * u.y, s * r.z + c * u.z};
    }
}

RwBool LockVertices(RwUInt32 stride, RwUInt32 count, RwUInt8 **vertices)
{
    RpPTankGlobals *g = RpPTankGetGlobals();
    void *data = nullptr;
    g->verticesLocked = RwD3D8LockDynamicVertices(stride, count, &g->vertexBuffer, &data, &g->baseVertex);
    *vertices = static_cast<RwUInt8 *>(data);
    return g->verticesLocked && data != nullptr;
}

}  // namespace

RwUInt32 RpPTankQuadVertexStride(RwUInt32 g)
{
    return 12 + (Has(g, rpGEOMETRYNORMALS) ? 12 : 0) + (Has(g, rpGEOMETRYPRELIT) ? 4 : 0) +
           (Has(g, rpGEOMETRYTEXTURED) ? 8 : 0);
}

RwUInt32 RpPTankPointVertexStride(RwUInt32 g, RwUInt32 dataFlags)
{
    return 12 + (Has(g, rpGEOMETRYNORMALS) ? 12 : 0) + (Has(dataFlags, rpPTANKDFLAGSIZE) ? 4 : 0) +
           (Has(g, rpGEOMETRYPRELIT) ? 4 : 0);
}

RwBool RpPTankQuadSetup(RpPTankInstanceContext *context, RpAtomic *atomic, RpPTankData *data, RwInt32 actPCount,
                        RwUInt32)
{
    RpPTankGlobals *g = RpPTankGetGlobals();
    RpPTank *tank = RpPTankFromData(data);
    RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    const RpMaterial *material = RpGeometryGetMaterial(geometry, 0);
    // The owner may give the material a texture at any time; coordinates
    // follow from the next render on.
    if (RpMaterialGetTexture(material) != nullptr) {
        geometry->flags |= rpGEOMETRYTEXTURED;
    } else {
        geometry->flags &= ~rpGEOMETRYTEXTURED;
    }
    const RwUInt32 gf = geometry->flags;
    context->usePositions = TRUE;
    context->useNormals = Has(gf, rpGEOMETRYNORMALS);
    context->useColors = Has(gf, rpGEOMETRYPRELIT);
    context->useTexCoords = Has(gf, rpGEOMETRYTEXTURED);
    CameraAxes(tank, &context->right, &context->up);
    if (!Has(tank->data.format.dataFlags, rpPTANKDFLAGCNSMATRIX)) {
        CameraAxesInTankSpace(atomic, &context->right, &context->up);
    }

    const RwUInt32 stride = RpPTankQuadVertexStride(gf);
    RwUInt8 *vertices = nullptr;
    g->pointSpriteMode = FALSE;
    if (!LockVertices(stride, static_cast<RwUInt32>(actPCount) * 4, &vertices)) {
        return FALSE;
    }
    const auto s = static_cast<RwInt32>(stride);
    RwUInt32 at = 12;
    context->positions = {vertices, s};
    if (context->useNormals) {
        context->normals = {vertices + at, s};
        at += 12;
    }
    if (context->useColors) {
        context->colors = {vertices + at, s};
        at += 4;
    }
    if (context->useTexCoords) {
        context->texCoords = {vertices + at, s};
    }
    return TRUE;
}

RwBool RpPTankPointSetup(RpPTankInstanceContext *context, RpAtomic *atomic, RpPTankData *data, RwInt32 actPCount,
                         RwUInt32)
{
    RpPTankGlobals *g = RpPTankGetGlobals();
    RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    geometry->flags &= ~rpGEOMETRYTEXTURED;
    const RwUInt32 gf = geometry->flags;
    context->usePositions = TRUE;
    context->useNormals = Has(gf, rpGEOMETRYNORMALS);
    context->useColors = Has(gf, rpGEOMETRYPRELIT);
    const RwUInt32 stride = RpPTankPointVertexStride(gf, data->format.dataFlags);
    RwUInt8 *vertices = nullptr;
    const RwBool locked = LockVertices(stride, static_cast<RwUInt32>(actPCount), &vertices);
    g->pointSpriteMode = TRUE;
    if (!locked) {
        return FALSE;
    }
    const auto s = static_cast<RwInt32>(stride);
    context->positions = {vertices, s};
    if (context->useNormals) {
        context->normals = {vertices + 12, s};
    }
    if (context->useColors) {
        context->colors = {vertices + stride - 4, s};
    }
    return TRUE;
}

void RpPTankInstanceFinish(RpPTankInstanceContext *, RpAtomic *, RpPTankData *, RwInt32, RwUInt32)
{
    RpPTankGlobals *g = RpPTankGetGlobals();
    if (g->verticesLocked && g->vertexBuffer != nullptr) {
        RwD3D8UnlockVertexBuffer(g->vertexBuffer);
    }
}

RwBool RpPTankGrowQuadIndices(RwInt32 maxPCount)
{
    RpPTankGlobals *g = RpPTankGetGlobals();
    const RwUInt64 wanted = static_cast<RwUInt64>(maxPCount) * 6;
    if (wanted <= g->quadIndexCapacity && g->quadIndexBuffer != nullptr) {
        return TRUE;
    }
    // 16-bit indices address 65536 vertices: the render draws in runs of
    // 65532 vertices and rebases, so the buffer never needs more than one
    // run's worth of distinct values; larger tanks reuse the pattern.
    RpPTankReleaseQuadIndices();
    IDirect3DIndexBuffer8 *buffer = nullptr;
    if (!RwD3D8CreateIndexBuffer(static_cast<RwUInt32>(wanted), &buffer) || buffer == nullptr) {
        return FALSE;
    }
    BYTE *bytes = nullptr;
    if (FAILED(buffer->Lock(0, static_cast<UINT>(wanted * 2), &bytes, 0)) || bytes == nullptr) {
        buffer->Release();
        return FALSE;
    }
    for (RwUInt64 p = 0; p < static_cast<RwUInt64>(maxPCount); ++p) {
        const auto v = static_cast<RwUInt16>((4 * p) & 0xFFFF);
        const RwUInt16 six[6] = {v, static_cast<RwUInt16>(v + 1), static_cast<RwUInt16>(v + 2), v,
                                 static_cast<RwUInt16>(v + 2), static_cast<RwUInt16>(v + 3)};
        std::memcpy(bytes + p * 12, six, sizeof six);
    }
    buffer->Unlock();
    g->quadIndexBuffer = buffer;
    g->quadIndexCapacity = static_cast<RwUInt32>(wanted);
    return TRUE;
}

void RpPTankReleaseQuadIndices(void)
{
    RpPTankGlobals *g = RpPTankGetGlobals();
    if (g->quadIndexBuffer != nullptr) {
        g->quadIndexBuffer->Release();
    }
    g->quadIndexBuffer = nullptr;
    g->quadIndexCapacity = 0;
}
