// The material-effects pipelines on the Direct3D 8 driver: the atomic and
// sector pipelines (the all-in-one nodes with the effects render callback),
// the routes the device's capabilities allow, and the six effect pixel
// shaders, whose instruction streams are written out here token by token.
#include "matfxpriv.h"
#include "rpd3d8pipe.h"
#include "rwd3d8.h"

namespace {

// ps 1.x token encoding (the instructions and registers the shaders use).
constexpr RwUInt32 kVersion = 0xFFFF0100u;
constexpr RwUInt32 kEnd = 0x0000FFFFu;
constexpr RwUInt32 kTex = 66, kMov = 1, kAdd = 2, kMad = 4, kMul = 5;
constexpr RwUInt32 kParam = 0x80000000u;
constexpr RwUInt32 kTemp = 0u << 28, kInput = 1u << 28, kConst = 2u << 28, kTexture = 3u << 28;
constexpr RwUInt32 kRGB = 0x70000u, kAlpha = 0x80000u, kAll = 0xF0000u;
constexpr RwUInt32 kSwizzle = 0xE40000u, kAlphaRep = 0xFF0000u;
constexpr RwUInt32 kComp = 6u << 24;

constexpr RwUInt32 D(RwUInt32 type, RwUInt32 n, RwUInt32 mask = kAll) { return kParam | type | n | mask; }
constexpr RwUInt32 S(RwUInt32 type, RwUInt32 n, RwUInt32 swizzle = kSwizzle, RwUInt32 mod = 0)
{
    return kParam | type | n | swizzle | mod;
}

// PS0, bump: v0 x (t0 x (1 - t0.a) + t1 x t1.a).
constexpr RwUInt32 kBumpShader[] = {
    kVersion,
    kTex, D(kTexture, 0),
    kTex, D(kTexture, 1),
    kMul, D(kTemp, 1), S(kTexture, 1), S(kTexture, 1, kAlphaRep),
    kMad, D(kTemp, 0), S(kTexture, 0), S(kTexture, 0, kAlphaRep, kComp), S(kTemp, 1),
    kMul, D(kTemp, 0), S(kTemp, 0), S(kInput, 0),
    kEnd,
};

// PS1, environment over a base texture: colour t0 x v0 + (t1 x t1.a) x c0.
constexpr RwUInt32 kEnvBaseShader[] = {
    kVersion,
    kTex, D(kTexture, 0),
    kTex, D(kTexture, 1),
    kMul, D(kTemp, 1), S(kTexture, 1), S(kTexture, 1, kAlphaRep),
    kMul, D(kTemp, 1), S(kTemp, 1), S(kConst, 0),
    kMul, D(kTemp, 0), S(kTexture, 0), S(kInput, 0),
    kAdd, D(kTemp, 0, kRGB), S(kTemp, 0), S(kTemp, 1),
    kEnd,
};

// PS2, environment alone: colour t0 x t0.a x c0 + v0, alpha v0.a.
constexpr RwUInt32 kEnvShader[] = {
    kVersion,
    kTex, D(kTexture, 0),
    kMul, D(kTemp, 1), S(kTexture, 0), S(kTexture, 0, kAlphaRep),
    kMad, D(kTemp, 0, kRGB), S(kTemp, 1), S(kConst, 0), S(kInput, 0),
    kMov, D(kTemp, 0, kAlpha), S(kInput, 0),
    kEnd,
};

// PS3, bump and environment: PS0 + (t2 x t2.a) x c0.
constexpr RwUInt32 kBumpEnvShader[] = {
    kVersion,
    kTex, D(kTexture, 0),
    kTex, D(kTexture, 1),
    kTex, D(kTexture, 2),
    kMul, D(kTemp, 1), S(kTexture, 1), S(kTexture, 1, kAlphaRep),
    kMad, D(kTemp, 0), S(kTexture, 0), S(kTexture, 0, kAlphaRep, kComp), S(kTemp, 1),
    kMul, D(kTemp, 0), S(kTemp, 0), S(kInput, 0),
    kMul, D(kTemp, 1), S(kTexture, 2), S(kTexture, 2, kAlphaRep),
    kMad, D(kTemp, 0), S(kTemp, 1), S(kConst, 0), S(kTemp, 0),
    kEnd,
};

// The bump part of PS4 and PS5: r = v0 x (t0.rgb x (1 - t0.a), t0.a) +
// v0 x (t1.rgb x t1.a, t1.a).
#define MATFX_BUMP_FRAMEBUFFER_ALPHA                                               \
    kVersion,                                                                      \
    kTex, D(kTexture, 0),                                                          \
    kTex, D(kTexture, 1),                                                          \
    kTex, D(kTexture, 2),                                                          \
    kMul, D(kTemp, 0, kRGB), S(kTexture, 0), S(kTexture, 0, kAlphaRep, kComp),     \
    kMov, D(kTemp, 0, kAlpha), S(kTexture, 0),                                     \
    kMul, D(kTemp, 1, kRGB), S(kTexture, 1), S(kTexture, 1, kAlphaRep),            \
    kMov, D(kTemp, 1, kAlpha), S(kTexture, 1),                                     \
    kMul, D(kTemp, 0), S(kTemp, 0), S(kInput, 0),                                  \
    kMad, D(kTemp, 0), S(kTemp, 1), S(kInput, 0), S(kTemp, 0)

// PS4: r + (t2 x t2.a) x r.a x c0 (environment texture with alpha).
constexpr RwUInt32 kBumpEnvAlphaShader[] = {
    MATFX_BUMP_FRAMEBUFFER_ALPHA,
    kMul, D(kTemp, 1), S(kTexture, 2), S(kTexture, 2, kAlphaRep),
    kMul, D(kTemp, 1), S(kTemp, 1), S(kTemp, 0, kAlphaRep),
    kMad, D(kTemp, 0), S(kTemp, 1), S(kConst, 0), S(kTemp, 0),
    kEnd,
};

// PS5: r + t2 x r.a x c0 (environment texture without alpha).
constexpr RwUInt32 kBumpEnvOpaqueShader[] = {
    MATFX_BUMP_FRAMEBUFFER_ALPHA,
    kMul, D(kTemp, 1), S(kTexture, 2), S(kTemp, 0, kAlphaRep),
    kMad, D(kTemp, 0), S(kTemp, 1), S(kConst, 0), S(kTemp, 0),
    kEnd,
};

#undef MATFX_BUMP_FRAMEBUFFER_ALPHA

const RwUInt32 *const kShaders[6] = {kBumpShader,   kEnvBaseShader,      kEnvShader,
                                     kBumpEnvShader, kBumpEnvAlphaShader, kBumpEnvOpaqueShader};

RwPipeline *atomicPipeline = nullptr;
RwPipeline *sectorPipeline = nullptr;
RpMatFXD3D8Routes routes = {};

void ReadRoutes(void)
{
    routes = {};
    routes.addPending = TRUE;
    routes.modulate2xPending = TRUE;
    const D3DCAPS8 *caps = RwD3D8GetDeviceCaps();
    if (caps == nullptr) {
        return;
    }
    routes.blendStages = caps->MaxTextureBlendStages;
    if (routes.blendStages < 2) {
        routes.addPending = FALSE;
        routes.modulate2xPending = FALSE;
    } else {
        routes.twoTextures = caps->MaxSimultaneousTextures >= 2;
        routes.multiplyAdd = (caps->TextureOpCaps & D3DTEXOPCAPS_MULTIPLYADD) != 0;
        routes.modulate2x = (caps->TextureOpCaps & D3DTEXOPCAPS_MODULATE2X) != 0;
    }
    if ((caps->PixelShaderVersion & 0xFFFFu) >= 0x100u) {
        for (RwInt32 i = 0; i < 6; ++i) {
            if (!RwD3D8CreatePixelShader(kShaders[i], &routes.pixelShaders[i])) {
                routes.pixelShaders[i] = 0;
            }
        }
    }
}

}  // namespace

const RwUInt32 *RpMatFXD3D8PixelShaderTokens(RwInt32 index)
{
    return index >= 0 && index < 6 ? kShaders[index] : nullptr;
}

const RpMatFXD3D8Routes *RpMatFXD3D8GetRoutes(void) { return &routes; }

// The render paths update the one-time validation outcome through this.
RpMatFXD3D8Routes *MatFXD3D8RoutesEdit(void) { return &routes; }

RwPipeline *RpMatFXGetD3D8Pipeline(RwBool worldSector) { return worldSector ? sectorPipeline : atomicPipeline; }

RwBool RpMatFXD3D8PipelinesOpen(void)
{
    atomicPipeline = RpD3D8AllInOnePipelineCreate(RpD3D8AtomicAllInOneNodeDefinition(), rwID_MATERIALEFFECTSPLUGIN,
                                                  RpMatFXD3D8RenderCallback);
    sectorPipeline = RpD3D8AllInOnePipelineCreate(RpD3D8WorldSectorAllInOneNodeDefinition(),
                                                  rwID_MATERIALEFFECTSPLUGIN, RpMatFXD3D8RenderCallback);
    ReadRoutes();
    return TRUE;
}

void RpMatFXD3D8PipelinesClose(void)
{
    if (atomicPipeline != nullptr) {
        RwPipelineDestroy(atomicPipeline);
        atomicPipeline = nullptr;
    }
    if (sectorPipeline != nullptr) {
        RwPipelineDestroy(sectorPipeline);
        sectorPipeline = nullptr;
    }
    for (RwUInt32 &shader : routes.pixelShaders) {
        if (shader != 0) {
            RwD3D8DeletePixelShader(shader);
            shader = 0;
        }
    }
}
