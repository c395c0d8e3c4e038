// The device call cache: thin wrappers over the device that remember what
// they last sent (shaders, stream source, indices, the 260 transforms, the
// material, the lights) and skip the call when nothing changed; the draws,
// which flush the render-state cache first; the frustum tests renderers use
// to switch clipping off.
#include <cstring>

#include "driver/d3d8/d3d8device.h"
#include "rwcore.h"

namespace {

constexpr RwUInt32 rwD3D8TransformSlots = 260;
constexpr RwUInt32 rwD3D8NotSent = 0xFFFFFFFFu;

struct CallCache {
    RwUInt32 vertexShader;
    RwUInt32 pixelShader;
    IDirect3DVertexBuffer8 *streamBuffer;
    RwUInt32 streamStride;
    IDirect3DIndexBuffer8 *indexBuffer;
    RwUInt32 baseVertexIndex;
    RwFreeList *matrixFreeList;
    D3DMATRIX *transforms[rwD3D8TransformSlots];
    RwBool worldIsIdentity;
    D3DMATERIAL8 material;
    RwInt32 lightCount;
    struct LightEntry {
        D3DLIGHT8 light;
        RwUInt32 enabled;
    } *lights;
    RwRGBAReal ambient;
};

CallCache cache = {};

// "Unknown" pointers never equal a real buffer.
IDirect3DVertexBuffer8 *const unknownVertexBuffer = reinterpret_cast<IDirect3DVertexBuffer8 *>(~uintptr_t{0});
IDirect3DIndexBuffer8 *const unknownIndexBuffer = reinterpret_cast<IDirect3DIndexBuffer8 *>(~uintptr_t{0});

const D3DMATRIX identityMatrix = {{{1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f,
                                    0.0f, 1.0f}}};

IDirect3DDevice8 *D3DDevice() { return rwD3D8Device.device; }

RwBool SameWords(const void *a, const void *b, size_t words)
{
    return std::memcmp(a, b, words * 4) == 0;
}

D3DMATRIX *SlotMatrix(RwUInt32 state)
{
    if (cache.transforms[state] == nullptr) {
        cache.transforms[state] = static_cast<D3DMATRIX *>(RwFreeListEntryAlloc(cache.matrixFreeList));
    }
    return cache.transforms[state];
}

void FreeSlotMatrix(void *entry, void *) { RwFreeListEntryFree(cache.matrixFreeList, entry); }

void EmptyTransformSlots()
{
    if (cache.matrixFreeList != nullptr) {
        for (D3DMATRIX *&matrix : cache.transforms) {
            if (matrix != nullptr) {
                FreeSlotMatrix(matrix, nullptr);
                matrix = nullptr;
            }
        }
    }
}

RwBool SendTransform(RwUInt32 state, const D3DMATRIX *matrix)
{
    D3DMATRIX *slot = SlotMatrix(state);
    const HRESULT result = D3DDevice()->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(state), matrix);
    if (slot != nullptr) {
        *slot = *matrix;
    }
    return SUCCEEDED(result);
}

RwBool LightEqual(const D3DLIGHT8 &a, const D3DLIGHT8 &b)
{
    if (a.Type != b.Type || a.Diffuse.r != b.Diffuse.r || a.Diffuse.g != b.Diffuse.g || a.Diffuse.b != b.Diffuse.b) {
        return FALSE;
    }
    auto same = [](const D3DVECTOR &u, const D3DVECTOR &v) { return u.x == v.x && u.y == v.y && u.z == v.z; };
    switch (a.Type) {
    case D3DLIGHT_POINT: return same(a.Position, b.Position) && a.Range == b.Range;
    case D3DLIGHT_SPOT:
        return same(a.Position, b.Position) && same(a.Direction, b.Direction) && a.Range == b.Range &&
               a.Theta == b.Theta && a.Phi == b.Phi;
    case D3DLIGHT_DIRECTIONAL: return same(a.Direction, b.Direction);
    default: return TRUE;
    }
}

}  // namespace

void RwD3D8ResetCallCacheValues(void)
{
    cache.vertexShader = rwD3D8NotSent;
    cache.pixelShader = rwD3D8NotSent;
    cache.streamBuffer = unknownVertexBuffer;
    cache.streamStride = 0;
    cache.indexBuffer = unknownIndexBuffer;
    cache.baseVertexIndex = rwD3D8NotSent;
    cache.worldIsIdentity = FALSE;
    cache.material = D3DMATERIAL8{};
}

void RwD3D8TransformCacheReset(void)
{
    if (cache.matrixFreeList != nullptr) {
        EmptyTransformSlots();
        RwFreeListPurge(cache.matrixFreeList);
    } else {
        cache.matrixFreeList = RwFreeListCreate(sizeof(D3DMATRIX), 15, 16);
        for (D3DMATRIX *&matrix : cache.transforms) {
            matrix = nullptr;
        }
    }
    D3DMATRIX *world = SlotMatrix(256);
    if (world != nullptr) {
        *world = identityMatrix;
    }
}

void RwD3D8TransformCacheClose(void)
{
    if (cache.matrixFreeList != nullptr) {
        EmptyTransformSlots();
        RwFreeListDestroy(cache.matrixFreeList);
        cache.matrixFreeList = nullptr;
    }
}

void RwD3D8LightCacheClear(void)
{
    RwFree(cache.lights);
    cache.lights = nullptr;
    cache.lightCount = 0;
}

IDirect3DDevice8 *RwD3D8DeviceResetCaches(void)
{
    RwD3D8ResetCallCacheValues();
    RwD3D8TransformCacheReset();
    RwD3D8LightCacheClear();
    return D3DDevice();
}

RwBool RwD3D8SetVertexShader(RwUInt32 handle)
{
    if (handle == cache.vertexShader) {
        return TRUE;
    }
    if (FAILED(D3DDevice()->SetVertexShader(handle))) {
        cache.vertexShader = rwD3D8NotSent;
        return FALSE;
    }
    cache.vertexShader = handle;
    return TRUE;
}

RwBool RwD3D8SetPixelShader(RwUInt32 handle)
{
    if (handle == cache.pixelShader) {
        return TRUE;
    }
    if (FAILED(D3DDevice()->SetPixelShader(handle))) {
        cache.pixelShader = rwD3D8NotSent;
        return FALSE;
    }
    cache.pixelShader = handle;
    return TRUE;
}

RwBool RwD3D8SetStreamSource(RwUInt32 streamNumber, IDirect3DVertexBuffer8 *buffer, RwUInt32 stride)
{
    if (buffer == cache.streamBuffer && stride == cache.streamStride) {
        return TRUE;
    }
    cache.streamBuffer = buffer;
    cache.streamStride = stride;
    return SUCCEEDED(D3DDevice()->SetStreamSource(streamNumber, buffer, stride));
}

RwBool RwD3D8SetIndices(IDirect3DIndexBuffer8 *buffer, RwUInt32 baseVertexIndex)
{
    if (buffer == cache.indexBuffer && baseVertexIndex == cache.baseVertexIndex) {
        return TRUE;
    }
    cache.indexBuffer = buffer;
    cache.baseVertexIndex = baseVertexIndex;
    return SUCCEEDED(D3DDevice()->SetIndices(buffer, baseVertexIndex));
}

RwBool RwD3D8SetPixelShaderConstant(RwUInt32 firstRegister, const void *data, RwUInt32 registerCount)
{
    return SUCCEEDED(D3DDevice()->SetPixelShaderConstant(firstRegister, data, registerCount));
}

RwUInt32 RwD3D8PrimitiveCount(RwUInt32 primitiveType, RwUInt32 n, RwBool indexed)
{
    switch (primitiveType) {
    case D3DPT_POINTLIST: return indexed ? 0 : n;
    case D3DPT_LINELIST: return n / 2;
    case D3DPT_LINESTRIP: return n > 0 ? n - 1 : 0;
    case D3DPT_TRIANGLELIST: return n / 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return n > 1 ? n - 2 : 0;
    default: return 0;
    }
}

RwBool RwD3D8DrawPrimitive(RwUInt32 primitiveType, RwUInt32 startVertex, RwUInt32 vertexCount)
{
    RwD3D8FlushRenderStates();
    return SUCCEEDED(D3DDevice()->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(primitiveType), startVertex,
                                             RwD3D8PrimitiveCount(primitiveType, vertexCount, FALSE)));
}

RwBool RwD3D8DrawIndexedPrimitive(RwUInt32 primitiveType, RwUInt32 minIndex, RwUInt32 vertexCount,
                                  RwUInt32 startIndex, RwUInt32 indexCount)
{
    RwD3D8FlushRenderStates();
    return SUCCEEDED(D3DDevice()->DrawIndexedPrimitive(static_cast<D3DPRIMITIVETYPE>(primitiveType), minIndex,
                                                    vertexCount, startIndex,
                                                    RwD3D8PrimitiveCount(primitiveType, indexCount, TRUE)));
}

RwBool RwD3D8SetTransform(RwUInt32 state, const D3DMATRIX *matrix)
{
    if (state >= rwD3D8TransformSlots) {
        return FALSE;
    }
    const D3DMATRIX *wanted = matrix != nullptr ? matrix : &identityMatrix;
    const D3DMATRIX *slot = cache.transforms[state];
    if (slot != nullptr && SameWords(slot, wanted, 16)) {
        return TRUE;
    }
    const RwBool result = SendTransform(state, wanted);
    if (state == 256) {
        cache.worldIsIdentity = matrix == nullptr;
    }
    return result;
}

void RwD3D8GetTransform(RwUInt32 state, D3DMATRIX *matrix)
{
    const D3DMATRIX *slot = state < rwD3D8TransformSlots ? cache.transforms[state] : nullptr;
    *matrix = slot != nullptr ? *slot : identityMatrix;
}

RwBool RwD3D8SetWorldMatrix(const RwMatrix *matrix)
{
    if (matrix == nullptr || RwMatrixIsIdentityFlagged(matrix)) {
        if (cache.worldIsIdentity) {
            return TRUE;
        }
        cache.worldIsIdentity = TRUE;
        return SendTransform(256, &identityMatrix);
    }
    D3DMATRIX world{};
    const RwV3d *rows[4] = {&matrix->right, &matrix->up, &matrix->at, &matrix->pos};
    for (int r = 0; r < 4; ++r) {
        world.m[r][0] = rows[r]->x;
        world.m[r][1] = rows[r]->y;
        world.m[r][2] = rows[r]->z;
        world.m[r][3] = r == 3 ? 1.0f : 0.0f;
    }
    const D3DMATRIX *slot = cache.transforms[256];
    if (!cache.worldIsIdentity && slot != nullptr && SameWords(slot, &world, 16)) {
        return TRUE;
    }
    cache.worldIsIdentity = FALSE;
    return SendTransform(256, &world);
}

void RwD3D8SetAmbientLightColor(const RwRGBAReal *color) { cache.ambient = *color; }

RwBool RwD3D8SetSurfaceProperties(const RwRGBA *color, const RwSurfaceProperties *surfaceProps, RwBool modulate)
{
    D3DMATERIAL8 material{};
    const RwRGBAReal &ambient = cache.ambient;
    if (!modulate || (color->red == 255 && color->green == 255 && color->blue == 255 && color->alpha == 255)) {
        const RwReal d = surfaceProps->diffuse;
        material.Diffuse = {d, d, d, 1.0f};
        if (surfaceProps->ambient == 1.0f) {
            material.Ambient = {ambient.red, ambient.green, ambient.blue, 1.0f};
        } else {
            const RwReal a = surfaceProps->ambient;
            material.Ambient = {ambient.red * a, ambient.green * a, ambient.blue * a, 1.0f};
        }
    } else {
        const RwReal s = surfaceProps->diffuse / 255.0f;
        const RwReal t = surfaceProps->ambient / 255.0f;
        const RwReal alpha = color->alpha / 255.0f;
        material.Diffuse = {color->red * s, color->green * s, color->blue * s, alpha};
        material.Ambient = {color->red * ambient.red * t, color->green * ambient.green * t,
                            color->blue * ambient.blue * t, alpha};
    }
    material.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    material.Emissive = {0.0f, 0.0f, 0.0f, 1.0f};
    material.Power = 0.0f;
    if (SameWords(&material.Diffuse, &cache.material.Diffuse, 4) &&
        SameWords(&material.Ambient, &cache.material.Ambient, 4)) {
        return TRUE;
    }
    cache.material = material;
    return SUCCEEDED(D3DDevice()->SetMaterial(&material));
}

RwBool RwD3D8SetLight(RwInt32 index, const D3DLIGHT8 *light)
{
    if (index < 0) {
        return FALSE;
    }
    if (index < cache.lightCount) {
        if (LightEqual(cache.lights[index].light, *light)) {
            return TRUE;
        }
    } else {
        auto *grown = static_cast<CallCache::LightEntry *>(
            RwRealloc(cache.lights, sizeof(CallCache::LightEntry) * static_cast<size_t>(index + 1)));
        if (grown == nullptr) {
            return FALSE;
        }
        for (RwInt32 i = cache.lightCount; i <= index; ++i) {
            grown[i] = CallCache::LightEntry{};
        }
        cache.lights = grown;
        cache.lightCount = index + 1;
    }
    const HRESULT result = D3DDevice()->SetLight(static_cast<DWORD>(index), light);
    cache.lights[index].light = *light;
    return SUCCEEDED(result);
}

RwBool RwD3D8EnableLight(RwInt32 index, RwBool enable)
{
    if (index < 0 || index >= cache.lightCount) {
        return TRUE;
    }
    const RwUInt32 flag = enable ? 1u : 0u;
    if (cache.lights[index].enabled == flag) {
        return TRUE;
    }
    cache.lights[index].enabled = flag;
    return SUCCEEDED(D3DDevice()->LightEnable(static_cast<DWORD>(index), flag));
}

RwBool RwD3D8LightCacheRestore(void)
{
    HRESULT result = D3D_OK;
    for (RwInt32 i = 0; i < cache.lightCount; ++i) {
        D3DDevice()->SetLight(static_cast<DWORD>(i), &cache.lights[i].light);
        result = D3DDevice()->LightEnable(static_cast<DWORD>(i), cache.lights[i].enabled);
    }
    return SUCCEEDED(result);
}

RwBool RwD3D8CameraIsSphereVisible(const RwCamera *camera, const RwV3d *center, RwReal radius)
{
    for (const RwFrustumPlane &plane : camera->frustumPlanes) {
        if (RwV3dDotProduct(&plane.plane.normal, center) - plane.plane.distance > -radius) {
            return FALSE;
        }
    }
    return TRUE;
}

RwBool RwD3D8CameraIsBoxVisible(const RwCamera *camera, const RwBBox *box)
{
    for (const RwFrustumPlane &plane : camera->frustumPlanes) {
        const RwV3d point = {plane.closestX ? box->sup.x : box->inf.x, plane.closestY ? box->sup.y : box->inf.y,
                             plane.closestZ ? box->sup.z : box->inf.z};
        if (RwV3dDotProduct(&plane.plane.normal, &point) > plane.plane.distance) {
            return FALSE;
        }
    }
    return TRUE;
}
