// The effects render callback and the routes every effect but the bump map
// draws by: plain (with the UV transform), black, environment map and dual
// texture, each in one multi-texture pass where the device allows it and
// in blended passes otherwise.
#include "matfxrender.h"

#include "rwcamera.h"
#include "rwd3d8raster.h"
#include "rwframe.h"
#include "rwraster.h"

namespace {

constexpr RwUInt32 kFlagsTextured = rpGEOMETRYTEXTURED | rpGEOMETRYTEXTURED2;

void SetUVTransform(RwUInt32 stage, const RwMatrix *m)
{
    if (m == nullptr || RwMatrixIsIdentityFlagged(m)) {
        return;
    }
    D3DMATRIX t = {};
    t.m[0][0] = m->right.x;
    t.m[0][1] = m->right.y;
    t.m[1][0] = m->up.x;
    t.m[1][1] = m->up.y;
    t.m[2][0] = m->pos.x;
    t.m[2][1] = m->pos.y;
    t.m[2][2] = 1.0f;
    t.m[3][3] = 1.0f;
    RwD3D8SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    RwD3D8SetTransform(D3DTS_TEXTURE0 + stage, &t);
}

void ClearUVTransform(RwUInt32 stage, const RwMatrix *m)
{
    if (m != nullptr && !RwMatrixIsIdentityFlagged(m)) {
        RwD3D8SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    }
}

const RpMatFXUVAnimData *UVMatrices(const RpMaterial *material)
{
    RpMatFXEffectData *pass = RpMatFXMaterialGetPass(material, rpMATFXEFFECTUVTRANSFORM);
    return pass != nullptr ? &pass->data.uvAnim : nullptr;
}

void ResetStage(RwUInt32 stage)
{
    RwD3D8SetTexture(nullptr, stage);
    RwD3D8SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    RwD3D8SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, stage);
}

// Environment additive pass (also after a bump render): the environment
// texture added over what is drawn, weighted by c.
void EnvAdditivePass(const RpD3D8MeshInstance *mesh, const RpMatFXEnvMapData &env, RwUInt32 c)
{
    MatFXEnvMapTextureSetup(env.texture, 0, env.frame);
    RwD3D8SetVertexAlpha(TRUE);
    MatFXSavedBlend saved = MatFXSaveBlend();
    RwD3D8SetSrcBlend(rwBLENDSRCALPHA);
    RwD3D8SetDestBlend(rwBLENDONE);
    if (c == 255) {
        RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    } else {
        RwD3D8SetRenderState(D3DRS_TEXTUREFACTOR, c * 0x01010101u);
        RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    }
    RwUInt32 lighting = 0, zwrite = 0, fog = 0, fogColour = 0;
    RwD3D8GetRenderState(D3DRS_LIGHTING, &lighting);
    RwD3D8GetRenderState(D3DRS_ZWRITEENABLE, &zwrite);
    RwD3D8GetRenderState(D3DRS_FOGENABLE, &fog);
    RwD3D8SetRenderState(D3DRS_LIGHTING, FALSE);
    RwD3D8SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    if (fog) {
        RwD3D8GetRenderState(D3DRS_FOGCOLOR, &fogColour);
        RwD3D8SetRenderState(D3DRS_FOGCOLOR, 0);
    }
    MatFXDrawMesh(mesh);
    if (fog) {
        RwD3D8SetRenderState(D3DRS_FOGCOLOR, fogColour);
    }
    RwD3D8SetRenderState(D3DRS_ZWRITEENABLE, zwrite);
    RwD3D8SetRenderState(D3DRS_LIGHTING, lighting);
    if (c == 255) {
        RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    } else {
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    }
    RwD3D8SetVertexAlpha(FALSE);
    MatFXRestoreBlend(saved);
    RwD3D8SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    RwD3D8SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
}

RwBool ValidateOnce(void)
{
    RwD3D8FlushRenderStates();
    IDirect3DDevice8 *device = RwD3D8GetCurrentD3DDevice();
    DWORD passes = 0;
    return device != nullptr && device->ValidateDevice(&passes) >= 0 && passes == 1;
}

// The one-pass dual arrangement for blends (s, d), or false when the pair
// has none on this device (the caller then draws two passes).
RwBool SetDualStages(RwUInt32 s, RwUInt32 d, RwBool hasBase, RwBool baseAlpha, RwBool dualAlpha)
{
    const RpMatFXD3D8Routes &routes = *RpMatFXD3D8GetRoutes();
    const RwBool three = routes.blendStages >= 3;
    const RwUInt32 dualStage = hasBase ? 1 : 0;
    auto stage = [](RwUInt32 n, RwUInt32 op, RwUInt32 a1, RwUInt32 a2) {
        RwD3D8SetTextureStageState(n, D3DTSS_COLOROP, op);
        RwD3D8SetTextureStageState(n, D3DTSS_COLORARG1, a1);
        RwD3D8SetTextureStageState(n, D3DTSS_COLORARG2, a2);
    };
    const RwBool modulate = (s == rwBLENDDESTCOLOR && d == rwBLENDZERO) || (s == rwBLENDZERO && d == rwBLENDSRCCOLOR);
    const RwBool alphaBlend = s == rwBLENDSRCALPHA && d == rwBLENDINVSRCALPHA;
    const RwBool modulate2x = s == rwBLENDDESTCOLOR && d == rwBLENDSRCCOLOR;
    const RwBool add = s == rwBLENDONE && d == rwBLENDONE;
    const RwBool alphaModulate = s == rwBLENDZERO && d == rwBLENDSRCALPHA;
    if (modulate2x && !routes.modulate2x) {
        return FALSE;
    }
    if (!hasBase) {
        if (modulate) {
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        } else if (alphaBlend) {
            RwD3D8SetRenderState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu);
            stage(0, D3DTOP_BLENDTEXTUREALPHA, D3DTA_TEXTURE, D3DTA_TFACTOR);
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
            stage(1, D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_CURRENT);
        } else if (modulate2x) {
            stage(0, D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE);
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        } else if (add) {
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
            stage(1, D3DTOP_ADD, D3DTA_DIFFUSE, D3DTA_CURRENT);
        } else if (alphaModulate) {
            stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, D3DTA_DIFFUSE);
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        } else {
            return FALSE;
        }
        return TRUE;
    }
    if (modulate) {
        stage(dualStage, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    } else if (alphaBlend) {
        if (!three) {
            return FALSE;
        }
        stage(1, D3DTOP_BLENDTEXTUREALPHA, D3DTA_TEXTURE, D3DTA_CURRENT);
    } else if (modulate2x) {
        stage(1, D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_CURRENT);
    } else if (add) {
        if (!routes.multiplyAdd) {
            return FALSE;
        }
        stage(1, D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_DIFFUSE);
        RwD3D8SetTextureStageState(1, D3DTSS_COLORARG0, D3DTA_CURRENT);
    } else if (alphaModulate) {
        stage(1, D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, D3DTA_CURRENT);
    } else {
        return FALSE;
    }
    if (three && !add) {
        stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
        stage(2, D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_CURRENT);
    }
    const RwBool alphaCarried = alphaModulate ? baseAlpha : (baseAlpha && dualAlpha);
    if (alphaBlend && three && baseAlpha) {
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        RwD3D8SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_BLENDTEXTUREALPHA);
        RwD3D8SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        RwD3D8SetTextureStageState(1, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
        RwD3D8SetTextureStageState(2, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        RwD3D8SetTextureStageState(2, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
        RwD3D8SetTextureStageState(2, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    } else if (alphaCarried) {
        RwD3D8SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
        RwD3D8SetTextureStageState(1, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
        if (three) {
            RwD3D8SetTextureStageState(2, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
            RwD3D8SetTextureStageState(2, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
        }
    } else if (!three && dualAlpha && !baseAlpha) {
        RwD3D8SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    }
    return TRUE;
}

void RestoreDualStages(void)
{
    RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    RwD3D8SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    RwD3D8SetTexture(nullptr, 1);
    RwD3D8SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    RwD3D8SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    RwD3D8SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_DISABLE);
    RwD3D8SetTextureStageState(2, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    RwD3D8SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
}

}  // namespace

MatFXSavedBlend MatFXSaveBlend(void)
{
    MatFXSavedBlend saved = {rwBLENDSRCALPHA, rwBLENDINVSRCALPHA};
    RwD3D8GetEngineRenderState(rwRENDERSTATESRCBLEND, &saved.src);
    RwD3D8GetEngineRenderState(rwRENDERSTATEDESTBLEND, &saved.dst);
    return saved;
}

void MatFXRestoreBlend(const MatFXSavedBlend &saved)
{
    RwD3D8SetSrcBlend(saved.src);
    RwD3D8SetDestBlend(saved.dst);
}

void MatFXSetMeshStates(const RpD3D8MeshInstance *mesh)
{
    const RwBool vertexAlpha = mesh->vertexAlpha || mesh->material->color.alpha != 255;
    if (vertexAlpha != RwD3D8GetVertexAlpha()) {
        RwD3D8SetVertexAlpha(vertexAlpha);
    }
    RwD3D8SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, vertexAlpha ? D3DMCS_COLOR1 : D3DMCS_MATERIAL);
}

void MatFXDrawMesh(const RpD3D8MeshInstance *mesh)
{
    RwD3D8SetPixelShader(0);
    RwD3D8SetVertexShader(mesh->vertexShader);
    RwD3D8SetStreamSource(0, mesh->vertexBuffer, mesh->stride);
    MatFXDrawMeshPrimitives(mesh);
}

void MatFXDrawMeshPrimitives(const RpD3D8MeshInstance *mesh)
{
    if (mesh->indexBuffer != nullptr) {
        RwD3D8SetIndices(mesh->indexBuffer, mesh->baseIndex);
        RwD3D8DrawIndexedPrimitive(mesh->primitiveType, 0, mesh->numVertices, 0, mesh->numIndices);
    } else {
        RwD3D8DrawPrimitive(mesh->primitiveType, mesh->baseIndex, mesh->numVertices);
    }
}

void MatFXEnvMapTextureSetup(RwTexture *texture, RwUInt32 stage, RwFrame *frame)
{
    RwD3D8SetTexture(texture, stage);
    RwCamera *camera = RwCameraGetCurrentCamera();
    RwMatrix *cameraLTM = camera != nullptr && RwCameraGetFrame(camera) != nullptr
                              ? RwFrameGetLTM(RwCameraGetFrame(camera))
                              : nullptr;
    D3DMATRIX t = {};
    t.m[0][0] = t.m[1][1] = t.m[2][2] = t.m[3][3] = 1.0f;
    if (texture != nullptr && texture->raster != nullptr && RwD3D8RasterIsCubeRaster(texture->raster)) {
        RwD3D8SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
        RwD3D8SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR | stage);
        if (cameraLTM != nullptr) {
            const RwV3d *rows[4] = {&cameraLTM->right, &cameraLTM->up, &cameraLTM->at, &cameraLTM->pos};
            for (int r = 0; r < 4; ++r) {
                t.m[r][0] = rows[r]->x;
                t.m[r][1] = rows[r]->y;
                t.m[r][2] = rows[r]->z;
            }
            t.m[0][0] = -t.m[0][0];
            t.m[0][1] = -t.m[0][1];
        }
        RwD3D8SetTransform(D3DTS_TEXTURE0 + stage, &t);
        return;
    }
    RwD3D8SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    RwD3D8SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACENORMAL | stage);
    // S: camera-space normal (x, y) to texture (0.5 x + 0.5, -0.5 y + 0.5).
    D3DMATRIX s = {};
    s.m[0][0] = 0.5f;
    s.m[1][1] = -0.5f;
    s.m[2][2] = 1.0f;
    s.m[3][0] = 0.5f;
    s.m[3][1] = 0.5f;
    s.m[3][3] = 1.0f;
    if (frame == nullptr || cameraLTM == nullptr) {
        RwD3D8SetTransform(D3DTS_TEXTURE0 + stage, &s);
        return;
    }
    RwMatrix inverse;
    RwMatrix product;
    RwMatrixInvert(&inverse, RwFrameGetLTM(frame));
    RwMatrixMultiply(&product, &inverse, cameraLTM);
    product.right.x = -product.right.x;
    product.right.y = -product.right.y;
    product.right.z = -product.right.z;
    product.pos = {0.0f, 0.0f, 0.0f};
    product.flags = 0;
    const RwV3d *rows[3] = {&product.right, &product.up, &product.at};
    D3DMATRIX m = {};
    for (int r = 0; r < 3; ++r) {
        m.m[r][0] = rows[r]->x;
        m.m[r][1] = rows[r]->y;
        m.m[r][2] = rows[r]->z;
    }
    m.m[3][3] = 1.0f;
    // (T x S): rows of T through S.
    for (int r = 0; r < 4; ++r) {
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += m.m[r][k] * s.m[k][col];
            }
            t.m[r][col] = sum;
        }
    }
    RwD3D8SetTransform(D3DTS_TEXTURE0 + stage, &t);
}

void MatFXRenderBlack(const RpD3D8MeshInstance *mesh)
{
    MatFXSetMeshStates(mesh);
    MatFXDrawMesh(mesh);
}

void MatFXRenderPlain(const RpD3D8MeshInstance *mesh, RwUInt32 flags)
{
    RpMaterial *material = mesh->material;
    RwD3D8SetTexture((flags & kFlagsTextured) ? material->texture : nullptr, 0);
    const RpMatFXUVAnimData *uv = RpMatFXMaterialGetEffects(material) == rpMATFXEFFECTUVTRANSFORM
                                      ? UVMatrices(material)
                                      : nullptr;
    if (uv != nullptr) {
        SetUVTransform(0, uv->baseTransform);
    }
    MatFXSetMeshStates(mesh);
    MatFXDrawMesh(mesh);
    if (uv != nullptr) {
        ClearUVTransform(0, uv->baseTransform);
    }
}

void MatFXRenderEnvMap(const RpD3D8MeshInstance *mesh, RwUInt32 flags, RwInt32 passIndex, RwTexture *baseTexture,
                       RwTexture *envTexture)
{
    RpMatFXMaterialData *data = RpMatFXMaterialGetData(mesh->material);
    const RpMatFXEnvMapData &env = data->data[passIndex].data.envMap;
    const RwUInt32 c = MatFXEnvCoefficientByte(env.coef);
    if (c == 0 || envTexture == nullptr) {
        if (passIndex == 0) {
            MatFXRenderPlain(mesh, flags);
        }
        return;
    }
    if (passIndex == 1) {
        EnvAdditivePass(mesh, env, c);
        return;
    }
    RpMatFXD3D8Routes &routes = *MatFXD3D8RoutesEdit();
    const RwBool hasBase = (flags & kFlagsTextured) != 0 && baseTexture != nullptr;
    MatFXSetMeshStates(mesh);
    RwD3D8SetTexture(hasBase ? baseTexture : nullptr, 0);
    enum { TwoPass, Shader, MultiTexture } route = TwoPass;
    if (RwD3D8TexturePalettesClash(baseTexture, envTexture)) {
        route = TwoPass;
    } else if (!env.useFrameBufferAlpha &&
               (mesh->vertexAlpha || mesh->material->color.alpha < 255 || (hasBase && RwD3D8TextureHasAlpha(baseTexture)))) {
        route = TwoPass;
    } else if (RwD3D8TextureHasAlpha(envTexture)) {
        route = routes.pixelShaders[hasBase ? 1 : 2] != 0 ? Shader : TwoPass;
    } else if (routes.blendStages >= 2 &&
               (routes.multiplyAdd || (c == 255 && (!hasBase || routes.addValid || routes.addPending)))) {
        route = MultiTexture;
    }
    if (route == Shader) {
        const RwReal constant[4] = {env.coef, env.coef, env.coef, env.coef};
        RwD3D8SetPixelShaderConstant(0, constant, 1);
        const RwUInt32 stage = hasBase ? 1 : 0;
        MatFXEnvMapTextureSetup(envTexture, stage, env.frame);
        RwD3D8SetVertexShader(mesh->vertexShader);
        RwD3D8SetStreamSource(0, mesh->vertexBuffer, mesh->stride);
        RwD3D8SetPixelShader(routes.pixelShaders[hasBase ? 1 : 2]);
        MatFXDrawMeshPrimitives(mesh);
        RwD3D8SetPixelShader(0);
        ResetStage(stage);
        return;
    }
    if (route == MultiTexture) {
        const RwUInt32 stage = (hasBase || c < 255) ? 1 : 0;
        MatFXEnvMapTextureSetup(envTexture, stage, env.frame);
        if (c == 255) {
            RwD3D8SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_ADD);
            RwD3D8SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
            RwD3D8SetTextureStageState(stage, D3DTSS_COLORARG2, stage == 1 ? D3DTA_CURRENT : D3DTA_DIFFUSE);
            if (routes.addPending) {
                routes.addValid = ValidateOnce();
                routes.addPending = FALSE;
            }
        } else {
            RwD3D8SetRenderState(D3DRS_TEXTUREFACTOR, c * 0x01010101u);
            RwD3D8SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD);
            RwD3D8SetTextureStageState(1, D3DTSS_COLORARG0, D3DTA_CURRENT);
            RwD3D8SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
            RwD3D8SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TFACTOR);
        }
        if (stage == 1 && c == 255 && hasBase && !routes.addValid && !routes.multiplyAdd) {
            // The device refused ADD on a second stage: fall back to two passes.
            ResetStage(1);
            RwD3D8SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
            MatFXDrawMesh(mesh);
            EnvAdditivePass(mesh, env, c);
            return;
        }
        MatFXDrawMesh(mesh);
        if (stage == 1) {
            RwD3D8SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        } else {
            RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
            RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        }
        ResetStage(stage);
        return;
    }
    MatFXDrawMesh(mesh);
    EnvAdditivePass(mesh, env, c);
}

void MatFXRenderDual(const RpD3D8MeshInstance *mesh, RwUInt32 flags, RwTexture *baseTexture, RwTexture *dualTexture)
{
    RpMaterial *material = mesh->material;
    if (dualTexture == nullptr) {
        MatFXRenderPlain(mesh, flags);
        return;
    }
    const RpMatFXEffectData *pass = RpMatFXMaterialGetPass(material, rpMATFXEFFECTDUAL);
    const RwUInt32 s = pass->data.dual.srcBlendMode;
    const RwUInt32 d = pass->data.dual.dstBlendMode;
    const RpMatFXUVAnimData *uv = RpMatFXMaterialGetEffects(material) == rpMATFXEFFECTDUALUVTRANSFORM
                                      ? UVMatrices(material)
                                      : nullptr;
    const RwBool textured = (flags & kFlagsTextured) != 0;
    RwTexture *base = textured ? baseTexture : nullptr;
    const RwBool hasBase = base != nullptr;
    const RwBool twoSets = (flags & rpGEOMETRYTEXTURED2) != 0;
    RpMatFXD3D8Routes &routes = *MatFXD3D8RoutesEdit();
    RwD3D8SetTexture(base, 0);
    MatFXSetMeshStates(mesh);
    if (uv != nullptr) {
        SetUVTransform(0, uv->baseTransform);
    }
    RwBool onePass = routes.twoTextures && !RwD3D8TexturePalettesClash(base, dualTexture);
    if (onePass) {
        const RwUInt32 dualStage = hasBase ? 1 : 0;
        RwD3D8SetTexture(dualTexture, dualStage);
        if (uv != nullptr && dualStage == 1) {
            SetUVTransform(1, uv->dualTransform);
        }
        if (dualStage == 1 && !twoSets) {
            RwD3D8SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
        }
        onePass = SetDualStages(s, d, hasBase, RwD3D8TextureHasAlpha(base), RwD3D8TextureHasAlpha(dualTexture));
        if (onePass && s == rwBLENDDESTCOLOR && d == rwBLENDSRCCOLOR && routes.modulate2xPending) {
            routes.modulate2xPending = FALSE;
            if (!ValidateOnce()) {
                routes.modulate2x = FALSE;
                onePass = FALSE;
            }
        }
        if (onePass) {
            MatFXDrawMesh(mesh);
        }
        RestoreDualStages();
        if (uv != nullptr) {
            ClearUVTransform(1, uv->dualTransform);
        }
        if (!onePass) {
            RwD3D8SetTexture(base, 0);
        }
    }
    if (!onePass) {
        MatFXDrawMesh(mesh);
        if (uv != nullptr) {
            ClearUVTransform(0, uv->baseTransform);
            SetUVTransform(0, uv->dualTransform);
        }
        RwD3D8SetTexture(dualTexture, 0);
        const RwBool oldVertexAlpha = RwD3D8GetVertexAlpha();
        RwD3D8SetVertexAlpha(TRUE);
        RwUInt32 alphaTest = 0, zwrite = 0, fog = 0, fogColour = 0;
        RwD3D8GetRenderState(D3DRS_ALPHATESTENABLE, &alphaTest);
        RwD3D8GetRenderState(D3DRS_ZWRITEENABLE, &zwrite);
        RwD3D8GetRenderState(D3DRS_FOGENABLE, &fog);
        const RwBool modulating = (s == rwBLENDDESTCOLOR && (d == rwBLENDZERO || d == rwBLENDSRCCOLOR)) ||
                                  (s == rwBLENDZERO && d == rwBLENDSRCCOLOR);
        if (modulating) {
            RwD3D8SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        }
        MatFXSavedBlend saved = MatFXSaveBlend();
        RwD3D8SetSrcBlend(s);
        RwD3D8SetDestBlend(d);
        RwD3D8SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        if (fog) {
            RwD3D8GetRenderState(D3DRS_FOGCOLOR, &fogColour);
            if (d == rwBLENDONE) {
                RwD3D8SetRenderState(D3DRS_FOGCOLOR, 0);
            } else if (s == rwBLENDDESTCOLOR || d == rwBLENDSRCCOLOR) {
                RwD3D8SetRenderState(D3DRS_FOGCOLOR, 0xFFFFFFFFu);
            }
        }
        if (twoSets) {
            RwD3D8SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1);
        }
        MatFXDrawMesh(mesh);
        RwD3D8SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        if (fog) {
            RwD3D8SetRenderState(D3DRS_FOGCOLOR, fogColour);
        }
        RwD3D8SetRenderState(D3DRS_ZWRITEENABLE, zwrite);
        RwD3D8SetRenderState(D3DRS_ALPHATESTENABLE, alphaTest);
        MatFXRestoreBlend(saved);
        RwD3D8SetVertexAlpha(oldVertexAlpha);
        if (uv != nullptr) {
            ClearUVTransform(0, uv->dualTransform);
        }
    } else if (uv != nullptr) {
        ClearUVTransform(0, uv->baseTransform);
    }
}

void RpMatFXD3D8RenderCallback(RwResEntry *entry, void *object, RwUInt8 type, RwUInt32 flags)
{
    RpD3D8InstanceData *instance = RpD3D8ResEntryGetInstanceData(entry);
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(instance);
    const RwUInt32 prelit = (flags & rpGEOMETRYPRELIT) != 0 ? 1u : 0u;
    RwD3D8SetRenderState(D3DRS_COLORVERTEX, prelit);
    RwD3D8SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, prelit ? D3DMCS_COLOR1 : D3DMCS_MATERIAL);
    RwCamera *camera = RwCameraGetCurrentCamera();
    RwBool inside = FALSE;
    if (camera != nullptr) {
        if (type == rpD3D8OBJECTATOMIC) {
            const RwSphere *sphere = RpAtomicGetWorldBoundingSphere(static_cast<RpAtomic *>(object));
            inside = RwD3D8CameraIsSphereVisible(camera, &sphere->center, sphere->radius);
        } else {
            inside = RwD3D8CameraIsBoxVisible(camera, RpWorldSectorGetBBox(static_cast<RpWorldSector *>(object)));
        }
    }
    RwD3D8SetRenderState(D3DRS_CLIPPING, inside ? FALSE : TRUE);
    RwUInt32 lighting = 0;
    RwD3D8GetRenderState(D3DRS_LIGHTING, &lighting);
    if (!lighting && !prelit) {
        RwD3D8SetTexture(nullptr, 0);
        RwD3D8SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF000000u);
        RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
        for (RwUInt32 i = 0; i < instance->numMeshes; ++i) {
            MatFXRenderBlack(&meshes[i]);
        }
        RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        return;
    }
    for (RwUInt32 i = 0; i < instance->numMeshes; ++i) {
        RpD3D8MeshInstance *mesh = &meshes[i];
        RpMaterial *material = mesh->material;
        if (lighting) {
            RwD3D8SetSurfaceProperties(&material->color, &material->surfaceProps,
                                       (flags & rpGEOMETRYMODULATEMATERIALCOLOR) != 0);
        }
        const RpMatFXMaterialData *data = RpMatFXMaterialGetData(material);
        const RwUInt32 effect = data != nullptr ? data->flags : rpMATFXEFFECTNULL;
        switch (effect) {
        case rpMATFXEFFECTBUMPMAP:
            MatFXRenderBumpMap(mesh, flags, material->texture, data->data[0].data.bumpMap.bumpedTexture, nullptr);
            break;
        case rpMATFXEFFECTENVMAP:
            MatFXRenderEnvMap(mesh, flags, 0, material->texture, data->data[0].data.envMap.texture);
            break;
        case rpMATFXEFFECTBUMPENVMAP:
            MatFXRenderBumpMap(mesh, flags, material->texture, data->data[0].data.bumpMap.bumpedTexture,
                               data->data[1].data.envMap.texture);
            break;
        case rpMATFXEFFECTDUAL:
            MatFXRenderDual(mesh, flags, material->texture, data->data[0].data.dual.texture);
            break;
        case rpMATFXEFFECTDUALUVTRANSFORM:
            MatFXRenderDual(mesh, flags, material->texture, data->data[1].data.dual.texture);
            break;
        default:
            MatFXRenderPlain(mesh, flags);
            break;
        }
    }
}
