// The capability profiles of our processor device: the one the game runs on and the
// variations tests choose to reach the engine's other branches.
#include <cstring>

#include "d3d8/d3d8_platform.h"
#include "swr/swr_point_sprite.h"

namespace d3d8 {
namespace {

Profile gNextProfile;

}  // namespace

Profile DefaultProfile() { return Profile(); }
void SetNextProfile(const Profile &profile) { gNextProfile = profile; }
void ResetNextProfile() { gNextProfile = Profile(); }
const Profile &NextProfile() { return gNextProfile; }

D3DCAPS8 CapsForProfile(const Profile &profile) {
    D3DCAPS8 caps;
    std::memset(&caps, 0, sizeof caps);
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.AdapterOrdinal = 0;
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED | D3DCAPS2_DYNAMICTEXTURES;
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
    caps.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                   D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_DRAWPRIMTLVERTEX |
                   D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2 |
                   D3DDEVCAPS_DRAWPRIMITIVES2EX;
    if (profile.hardwareTransformAndLight) caps.DevCaps |= D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    caps.PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW |
                             D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_COLORWRITEENABLE |
                             D3DPMISCCAPS_CLIPTLVERTS;
    caps.RasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_FOGTABLE |
                      D3DPRASTERCAPS_WFOG | D3DPRASTERCAPS_ZFOG |
                      D3DPRASTERCAPS_COLORPERSPECTIVE;
    const DWORD allCompares = D3DPCMPCAPS_NEVER | D3DPCMPCAPS_LESS | D3DPCMPCAPS_EQUAL |
                              D3DPCMPCAPS_LESSEQUAL | D3DPCMPCAPS_GREATER |
                              D3DPCMPCAPS_NOTEQUAL | D3DPCMPCAPS_GREATEREQUAL |
                              D3DPCMPCAPS_ALWAYS;
    caps.ZCmpCaps = allCompares;
    caps.AlphaCmpCaps = allCompares;
    const DWORD blends = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCCOLOR |
                         D3DPBLENDCAPS_INVSRCCOLOR | D3DPBLENDCAPS_SRCALPHA |
                         D3DPBLENDCAPS_INVSRCALPHA | D3DPBLENDCAPS_DESTALPHA |
                         D3DPBLENDCAPS_INVDESTALPHA | D3DPBLENDCAPS_DESTCOLOR |
                         D3DPBLENDCAPS_INVDESTCOLOR;
    caps.SrcBlendCaps = blends | D3DPBLENDCAPS_SRCALPHASAT | D3DPBLENDCAPS_BOTHSRCALPHA |
                        D3DPBLENDCAPS_BOTHINVSRCALPHA;
    caps.DestBlendCaps = blends;
    caps.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                     D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
    caps.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA |
                       D3DPTEXTURECAPS_ALPHAPALETTE | D3DPTEXTURECAPS_PROJECTED |
                       D3DPTEXTURECAPS_CUBEMAP | D3DPTEXTURECAPS_MIPMAP |
                       D3DPTEXTURECAPS_MIPCUBEMAP;
    if (profile.pow2TexturesOnly) {
        caps.TextureCaps |= D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_CUBEMAP_POW2;
    }
    if (profile.squareTexturesOnly) caps.TextureCaps |= D3DPTEXTURECAPS_SQUAREONLY;
    const DWORD filters = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                          D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR |
                          D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    caps.TextureFilterCaps = filters;
    caps.CubeTextureFilterCaps = filters;
    caps.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR |
                              D3DPTADDRESSCAPS_CLAMP | D3DPTADDRESSCAPS_BORDER |
                              D3DPTADDRESSCAPS_INDEPENDENTUV;
    caps.LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND |
                    D3DLINECAPS_ALPHACMP | D3DLINECAPS_FOG;
    caps.MaxTextureWidth = 4096;
    caps.MaxTextureHeight = 4096;
    caps.MaxTextureRepeat = 8192;
    caps.MaxTextureAspectRatio = profile.squareTexturesOnly ? 1 : 4096;
    caps.MaxAnisotropy = 1;
    caps.MaxVertexW = 1.0e10f;
    caps.StencilCaps = D3DSTENCILCAPS_KEEP | D3DSTENCILCAPS_ZERO | D3DSTENCILCAPS_REPLACE |
                       D3DSTENCILCAPS_INCRSAT | D3DSTENCILCAPS_DECRSAT | D3DSTENCILCAPS_INVERT |
                       D3DSTENCILCAPS_INCR | D3DSTENCILCAPS_DECR;
    caps.FVFCaps = 8;  // texture coordinate sets
    if (profile.pointSprites) caps.FVFCaps |= D3DFVFCAPS_PSIZE;
    caps.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 |
                         D3DTEXOPCAPS_SELECTARG2 | D3DTEXOPCAPS_MODULATE |
                         D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_ADD |
                         D3DTEXOPCAPS_BLENDTEXTUREALPHA | D3DTEXOPCAPS_MULTIPLYADD;
    const DWORD stages = profile.blendStages < 1 ? 1
                         : profile.blendStages > D3D8_MAX_TEXTURE_STAGES ? D3D8_MAX_TEXTURE_STAGES
                                                                         : profile.blendStages;
    caps.MaxTextureBlendStages = stages;
    caps.MaxSimultaneousTextures = stages;
    caps.VertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_MATERIALSOURCE7 |
                                D3DVTXPCAPS_DIRECTIONALLIGHTS | D3DVTXPCAPS_POSITIONALLIGHTS |
                                D3DVTXPCAPS_LOCALVIEWER;
    caps.MaxActiveLights = 8;
    caps.MaxUserClipPlanes = 0;
    caps.MaxVertexBlendMatrices = 0;
    caps.MaxVertexBlendMatrixIndex = 0;
    caps.MaxPointSize = profile.pointSprites ? swr::kMaxPointSpriteSize : 1.0f;
    caps.MaxPrimitiveCount = 0x000FFFFF;
    caps.MaxVertexIndex = 0x00FFFFFF;
    caps.MaxStreams = 1;
    caps.MaxStreamStride = 256;
    caps.VertexShaderVersion = 0;
    caps.MaxVertexShaderConst = 0;
    // Only versions the interpreter runs are reported; its registers span [-1, 1].
    const DWORD psVersion = profile.pixelShaderVersion & 0xFFFFu;
    const bool pixelShaders = psVersion == 0x0100u || psVersion == 0x0101u;
    caps.PixelShaderVersion = pixelShaders ? D3DPS_VERSION(psVersion >> 8, psVersion & 0xFFu) : 0;
    caps.MaxPixelShaderValue = pixelShaders ? 1.0f : 0.0f;
    return caps;
}

}  // namespace d3d8
