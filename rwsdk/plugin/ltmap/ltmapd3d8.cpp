// The lightmap pipelines on the Direct3D 8 driver and their render
// callback: base textures only, lightmaps only, or both, in one
// multi-texture pass where the device allows and as a second, multiplying
// pass otherwise.
#include "ltmappriv.h"
#include "rpd3d8pipe.h"
#include "rpworld.h"
#include "rwcamera.h"
#include "rwd3d8.h"
#include "rwd3d8raster.h"
#include "rwraster.h"
#include "rwtexture.h"

namespace {

void Draw(const RpD3D8MeshInstance *mesh)
{
    RwD3D8SetPixelShader(0);
    RwD3D8SetVertexShader(mesh->vertexShader);
    RwD3D8SetStreamSource(0, mesh->vertexBuffer, mesh->stride);
    if (mesh->indexBuffer != nullptr) {
        RwD3D8SetIndices(mesh->indexBuffer, mesh->baseIndex);
        RwD3D8DrawIndexedPrimitive(mesh->primitiveType, 0, mesh->numVertices, 0, mesh->numIndices);
    } else {
        RwD3D8DrawPrimitive(mesh->primitiveType, mesh->baseIndex, mesh->numVertices);
    }
}

// Vertex alpha and the material's colour for one mesh: lit meshes through
// the surface properties, unlit translucent ones through the texture
// factor (with `alphaOnlyFromFactor` the texture's alpha is not used).
void SetMeshColour(const RpD3D8MeshInstance *mesh, RwBool lit, RwUInt32 flags, RwTexture *base,
                   RwBool alphaOnlyFromFactor)
{
    const RpMaterial *material = mesh->material;
    const RwBool vertexAlpha = mesh->vertexAlpha || material->color.alpha < 255;
    RwD3D8SetVertexAlpha(vertexAlpha);
    if (lit) {
        RwD3D8SetSurfaceProperties(&material->color, &material->surfaceProps,
                                   (flags & rpGEOMETRYMODULATEMATERIALCOLOR) != 0);
        RwD3D8SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, mesh->vertexAlpha ? D3DMCS_COLOR1 : D3DMCS_MATERIAL);
        return;
    }
    if (material->color.alpha < 255 && !mesh->vertexAlpha) {
        const RwRGBA &c = material->color;
        RwD3D8SetRenderState(D3DRS_TEXTUREFACTOR, (static_cast<RwUInt32>(c.alpha) << 24) |
                                                      (static_cast<RwUInt32>(c.red) << 16) |
                                                      (static_cast<RwUInt32>(c.green) << 8) | c.blue);
        if (!alphaOnlyFromFactor && RwD3D8TextureHasAlpha(base)) {
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
        } else {
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
        }
    } else {
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    }
}

// The second pass of the two-pass forms: the frame multiplied by the lightmap.
void MultiplyPass(const RpD3D8MeshInstance *mesh, RwTexture *lightMap)
{
    RwUInt32 zwrite = 0, fog = 0, fogColour = 0, src = rwBLENDSRCALPHA, dst = rwBLENDINVSRCALPHA;
    RwD3D8GetRenderState(D3DRS_ZWRITEENABLE, &zwrite);
    RwD3D8GetRenderState(D3DRS_FOGENABLE, &fog);
    RwD3D8GetEngineRenderState(rwRENDERSTATESRCBLEND, &src);
    RwD3D8GetEngineRenderState(rwRENDERSTATEDESTBLEND, &dst);
    const RwBool vertexAlpha = RwD3D8GetVertexAlpha();
    RwD3D8SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    RwD3D8SetTexture(lightMap, 0);
    RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    RwD3D8SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    RwD3D8SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1);
    RwD3D8SetVertexAlpha(TRUE);
    RwD3D8SetSrcBlend(rwBLENDZERO);
    RwD3D8SetDestBlend(rwBLENDSRCCOLOR);
    if (fog) {
        RwD3D8GetRenderState(D3DRS_FOGCOLOR, &fogColour);
        RwD3D8SetRenderState(D3DRS_FOGCOLOR, 0xFFFFFFFFu);
    }
    Draw(mesh);
    if (fog) {
        RwD3D8SetRenderState(D3DRS_FOGCOLOR, fogColour);
    }
    RwD3D8SetSrcBlend(src);
    RwD3D8SetDestBlend(dst);
    RwD3D8SetVertexAlpha(vertexAlpha);
    RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    RwD3D8SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    RwD3D8SetRenderState(D3DRS_ZWRITEENABLE, zwrite);
}

void RenderBase(RpD3D8MeshInstance *meshes, RwUInt32 count, RwBool lit, RwUInt32 flags)
{
    for (RwUInt32 i = 0; i < count; ++i) {
        RwTexture *base = meshes[i].material->texture;
        RwD3D8SetTexture(base, 0);
        SetMeshColour(&meshes[i], lit, flags, base, FALSE);
        Draw(&meshes[i]);
    }
}

void RenderLightMapOnly(RpD3D8MeshInstance *meshes, RwUInt32 count, RwBool lit, RwUInt32 flags, RwTexture *lightMap)
{
    RwD3D8RasterClearAlpha(lightMap->raster);
    RwD3D8SetTexture(lightMap, 0);
    RwD3D8SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1);
    const RwBool prelit = (flags & rpGEOMETRYPRELIT) != 0;
    if (!lit && !prelit) {
        RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    } else {
        RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    }
    for (RwUInt32 i = 0; i < count; ++i) {
        SetMeshColour(&meshes[i], lit, flags, nullptr, TRUE);
        Draw(&meshes[i]);
    }
    RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    RwD3D8SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
}

void RenderBoth(RpD3D8MeshInstance *meshes, RwUInt32 count, RwUInt32 flags, RwTexture *lightMap)
{
    LightMapGlobals &globals = LightMapGlobalsGet();
    RwD3D8RasterClearAlpha(lightMap->raster);
    RwBool stage1Bound = FALSE;
    for (RwUInt32 i = 0; i < count; ++i) {
        RpD3D8MeshInstance *mesh = &meshes[i];
        RwTexture *base = mesh->material->texture;
        RwD3D8SetTexture(base, 0);
        SetMeshColour(mesh, FALSE, flags, base, FALSE);
        if (globals.simultaneousTextures >= 2 && !RwD3D8TexturePalettesClash(lightMap, base)) {
            if (!stage1Bound) {
                RwD3D8SetTexture(lightMap, 1);
                RwD3D8SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
                RwD3D8SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
                RwD3D8SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
                RwD3D8SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
                stage1Bound = TRUE;
            }
            if (mesh->material->color.alpha == 255 && !RwD3D8TextureHasAlpha(base)) {
                RwD3D8SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
            } else {
                RwD3D8SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
                RwD3D8SetTextureStageState(1, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
            }
            Draw(mesh);
        } else {
            if (stage1Bound) {
                RwD3D8SetTexture(nullptr, 1);
                RwD3D8SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
                stage1Bound = FALSE;
            }
            Draw(mesh);
            MultiplyPass(mesh, lightMap);
        }
    }
    RwD3D8SetTexture(nullptr, 1);
    RwD3D8SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    RwD3D8SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    RwD3D8SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
}

// Stage 0 the lightmap plus lighting, stage 1 times the base texture.
void SetLitStages(RwTexture *lightMap, RwTexture *base)
{
    RwD3D8SetTexture(lightMap, 0);
    RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    RwD3D8SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    RwD3D8SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1);
    RwD3D8SetTexture(base, 1);
    RwD3D8SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    RwD3D8SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    RwD3D8SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    RwD3D8SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    if (RwD3D8TextureHasAlpha(base)) {
        RwD3D8SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        RwD3D8SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        RwD3D8SetTextureStageState(1, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    } else {
        RwD3D8SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
        RwD3D8SetTextureStageState(1, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    }
}

void ResetLitStages(void)
{
    RwD3D8SetTexture(nullptr, 1);
    RwD3D8SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    RwD3D8SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    RwD3D8SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    RwD3D8SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
}

void RenderLit(RpD3D8MeshInstance *meshes, RwUInt32 count, RwBool lit, RwUInt32 flags, RwTexture *lightMap)
{
    LightMapGlobals &globals = LightMapGlobalsGet();
    if (globals.firstRender) {
        globals.firstRender = FALSE;
        if (globals.blendStages >= 4) {
            globals.singlePass = TRUE;
        } else {
            SetLitStages(lightMap, count > 0 ? meshes[0].material->texture : nullptr);
            RwD3D8FlushRenderStates();
            IDirect3DDevice8 *device = RwD3D8GetCurrentD3DDevice();
            DWORD passes = 0;
            globals.singlePass = device != nullptr && device->ValidateDevice(&passes) >= 0 && passes == 1;
            ResetLitStages();
        }
    }
    for (RwUInt32 i = 0; i < count; ++i) {
        RpD3D8MeshInstance *mesh = &meshes[i];
        RwTexture *base = mesh->material->texture;
        SetMeshColour(mesh, lit, flags, base, FALSE);
        if (globals.singlePass && !RwD3D8TexturePalettesClash(lightMap, base)) {
            SetLitStages(lightMap, base);
            if (!RwD3D8GetVertexAlpha()) {
                RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
                RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
            }
            Draw(mesh);
            ResetLitStages();
        } else {
            RwD3D8SetTexture(base, 0);
            Draw(mesh);
            MultiplyPass(mesh, lightMap);
        }
    }
    ResetLitStages();
}

}  // namespace

void RpLightMapResetLitDecision(void)
{
    LightMapGlobalsGet().firstRender = TRUE;
    LightMapGlobalsGet().singlePass = TRUE;
}

RwBool RpLightMapPipelinesCreate(void)
{
    LightMapGlobals &globals = LightMapGlobalsGet();
    globals.atomicPipeline = RpD3D8AllInOnePipelineCreate(RpD3D8AtomicAllInOneNodeDefinition(), rwID_LTMAPPLUGIN,
                                                           RpLightMapRenderCallback);
    globals.sectorPipeline = RpD3D8AllInOnePipelineCreate(RpD3D8WorldSectorAllInOneNodeDefinition(), rwID_LTMAPPLUGIN,
                                                           RpLightMapRenderCallback);
    if (globals.atomicPipeline == nullptr || globals.sectorPipeline == nullptr) {
        RpLightMapPipelinesDestroy();
        return FALSE;
    }
    const D3DCAPS8 *caps = RwD3D8GetDeviceCaps();
    globals.blendStages = caps != nullptr ? caps->MaxTextureBlendStages : 1;
    globals.simultaneousTextures = caps != nullptr ? caps->MaxSimultaneousTextures : 1;
    return TRUE;
}

void RpLightMapPipelinesDestroy(void)
{
    LightMapGlobals &globals = LightMapGlobalsGet();
    if (globals.atomicPipeline != nullptr) {
        RwPipelineDestroy(globals.atomicPipeline);
        globals.atomicPipeline = nullptr;
    }
    if (globals.sectorPipeline != nullptr) {
        RwPipelineDestroy(globals.sectorPipeline);
        globals.sectorPipeline = nullptr;
    }
}

void RpLightMapRenderCallback(RwResEntry *entry, void *object, RwUInt8 type, RwUInt32 flags)
{
    LightMapGlobals &globals = LightMapGlobalsGet();
    RpD3D8InstanceData *instance = RpD3D8ResEntryGetInstanceData(entry);
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(instance);
    RwTexture *lightMap = nullptr;
    RwCamera *camera = RwCameraGetCurrentCamera();
    RwBool inside = FALSE;
    if (type == rpD3D8OBJECTATOMIC) {
        auto *atomic = static_cast<RpAtomic *>(object);
        lightMap = RpLightMapAtomicGetLightMap(atomic);
        if (camera != nullptr) {
            const RwSphere *sphere = RpAtomicGetWorldBoundingSphere(atomic);
            inside = RwD3D8CameraIsSphereVisible(camera, &sphere->center, sphere->radius);
        }
    } else {
        auto *sector = static_cast<RpWorldSector *>(object);
        lightMap = RpLightMapWorldSectorGetLightMap(sector);
        if (camera != nullptr) {
            inside = RwD3D8CameraIsBoxVisible(camera, RpWorldSectorGetTightBBox(sector));
        }
    }
    RwD3D8SetRenderState(D3DRS_CLIPPING, inside ? FALSE : TRUE);
    RwUInt32 lighting = 0;
    RwD3D8GetRenderState(D3DRS_LIGHTING, &lighting);
    const RwBool prelit = (flags & rpGEOMETRYPRELIT) != 0;
    if (lighting) {
        RwD3D8SetRenderState(D3DRS_COLORVERTEX, prelit ? 1 : 0);
        RwD3D8SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, prelit ? D3DMCS_COLOR1 : D3DMCS_MATERIAL);
    }
    const RwUInt32 style = globals.renderStyle;
    if (!(style & rpLTMAPSTYLERENDERLIGHTMAP) || lightMap == nullptr || lightMap->raster == nullptr) {
        RenderBase(meshes, instance->numMeshes, lighting != 0, flags);
    } else if (!(style & rpLTMAPSTYLERENDERBASE)) {
        RenderLightMapOnly(meshes, instance->numMeshes, lighting != 0, flags, lightMap);
    } else if (lighting || prelit) {
        RenderLit(meshes, instance->numMeshes, lighting != 0, flags, lightMap);
    } else {
        RenderBoth(meshes, instance->numMeshes, flags, lightMap);
    }
}
