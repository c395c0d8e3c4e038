// Fixed-function state of the device: transforms, material, lights, render and
// texture-stage states, texture bindings, palettes, shaders and device validation.
// Everything is stored as the rasteriser's DrawState reads it, and read back unchanged.
#include <algorithm>
#include <cstring>

#include "device.h"

namespace d3d8 {
namespace {

constexpr UINT kPaletteCount = 16384;

bool IsTransformState(uint32_t state) {
    return state == D3DTS_VIEW || state == D3DTS_PROJECTION ||
           (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) ||
           (state >= 256 && state < kTransformSlots);
}

D3DMATRIX Multiply(const D3DMATRIX &a, const D3DMATRIX &b) {
    D3DMATRIX r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    }
    return r;
}

bool OpSupported(const D3DCAPS8 &caps, DWORD op) {
    return op >= D3DTOP_DISABLE && op <= D3DTOP_LERP && (caps.TextureOpCaps & (1u << (op - 1)));
}

bool ArgSupported(DWORD arg) { return (arg & D3DTA_SELECTMASK) <= D3DTA_SPECULAR; }

D3DLIGHT8 DefaultLight() {
    D3DLIGHT8 light;
    std::memset(&light, 0, sizeof light);
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    return light;
}

}  // namespace

HRESULT DeviceImpl::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) {
    const uint32_t slot = uint32_t(state);
    if (!matrix || !IsTransformState(slot)) return D3DERR_INVALIDCALL;
    transforms_[slot] = *matrix;
    if (slot == 256) state_.world = *matrix;
    if (slot == D3DTS_VIEW) state_.view = *matrix;
    if (slot == D3DTS_PROJECTION) state_.projection = *matrix;
    if (slot >= D3DTS_TEXTURE0 && slot <= D3DTS_TEXTURE7) {
        state_.textureTransform[slot - D3DTS_TEXTURE0] = *matrix;
    }
    return D3D_OK;
}

HRESULT DeviceImpl::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX *matrix) {
    const uint32_t slot = uint32_t(state);
    if (!matrix || !IsTransformState(slot)) return D3DERR_INVALIDCALL;
    *matrix = transforms_[slot];
    return D3D_OK;
}

HRESULT DeviceImpl::MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) {
    const uint32_t slot = uint32_t(state);
    if (!matrix || !IsTransformState(slot)) return D3DERR_INVALIDCALL;
    const D3DMATRIX product = Multiply(*matrix, transforms_[slot]);
    return SetTransform(state, &product);
}

HRESULT DeviceImpl::SetMaterial(const D3DMATERIAL8 *material) {
    if (!material) return D3DERR_INVALIDCALL;
    state_.material = *material;
    return D3D_OK;
}

HRESULT DeviceImpl::GetMaterial(D3DMATERIAL8 *material) {
    if (!material) return D3DERR_INVALIDCALL;
    *material = state_.material;
    return D3D_OK;
}

HRESULT DeviceImpl::SetLight(DWORD index, const D3DLIGHT8 *light) {
    if (!light || light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL) {
        return D3DERR_INVALIDCALL;
    }
    lights_[index].light = *light;
    return D3D_OK;
}

HRESULT DeviceImpl::GetLight(DWORD index, D3DLIGHT8 *light) {
    const auto it = lights_.find(index);
    if (!light || it == lights_.end()) return D3DERR_INVALIDCALL;
    *light = it->second.light;
    return D3D_OK;
}

HRESULT DeviceImpl::LightEnable(DWORD index, BOOL enable) {
    auto it = lights_.find(index);
    if (it == lights_.end()) {
        if (enable && enabledLights_.size() >= caps_.MaxActiveLights) return D3DERR_INVALIDCALL;
        it = lights_.emplace(index, LightSlot{DefaultLight(), false}).first;
    }
    LightSlot &slot = it->second;
    if (enable && !slot.enabled) {
        if (enabledLights_.size() >= caps_.MaxActiveLights) return D3DERR_INVALIDCALL;
        enabledLights_.push_back(index);
    } else if (!enable && slot.enabled) {
        enabledLights_.erase(std::find(enabledLights_.begin(), enabledLights_.end(), index));
    }
    slot.enabled = enable != FALSE;
    return D3D_OK;
}

HRESULT DeviceImpl::GetLightEnable(DWORD index, BOOL *enable) {
    const auto it = lights_.find(index);
    if (!enable || it == lights_.end()) return D3DERR_INVALIDCALL;
    *enable = it->second.enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT DeviceImpl::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (uint32_t(state) >= D3DRS_COUNT) return D3DERR_INVALIDCALL;
    state_.renderStates[state] = value;
    return D3D_OK;
}

HRESULT DeviceImpl::GetRenderState(D3DRENDERSTATETYPE state, DWORD *value) {
    if (!value || uint32_t(state) >= D3DRS_COUNT) return D3DERR_INVALIDCALL;
    *value = state_.renderStates[state];
    return D3D_OK;
}

HRESULT DeviceImpl::SetTexture(DWORD stage, IDirect3DBaseTexture8 *texture) {
    if (stage >= D3D8_MAX_TEXTURE_STAGES) return D3DERR_INVALIDCALL;
    BindableTexture *bindable = nullptr;
    if (texture) {
        bindable = AsBindable(texture);
        if (!bindable || bindable->OwningDevice() != this) return D3DERR_INVALIDCALL;
        texture->AddRef();
    }
    TextureBinding &binding = textures_[stage];
    if (binding.texture) binding.texture->Release();
    binding.texture = texture;
    binding.bindable = bindable;
    return D3D_OK;
}

HRESULT DeviceImpl::GetTexture(DWORD stage, IDirect3DBaseTexture8 **texture) {
    if (!texture || stage >= D3D8_MAX_TEXTURE_STAGES) return D3DERR_INVALIDCALL;
    *texture = textures_[stage].texture;
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT DeviceImpl::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                         DWORD value) {
    if (stage >= D3D8_MAX_TEXTURE_STAGES || uint32_t(type) >= D3DTSS_COUNT) {
        return D3DERR_INVALIDCALL;
    }
    state_.stageStates[stage][type] = value;
    return D3D_OK;
}

HRESULT DeviceImpl::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                         DWORD *value) {
    if (!value || stage >= D3D8_MAX_TEXTURE_STAGES || uint32_t(type) >= D3DTSS_COUNT) {
        return D3DERR_INVALIDCALL;
    }
    *value = state_.stageStates[stage][type];
    return D3D_OK;
}

HRESULT DeviceImpl::ValidateDevice(DWORD *numPasses) {
    if (!numPasses) return D3DERR_INVALIDCALL;
    *numPasses = 0;
    for (uint32_t stage = 0; stage < D3D8_MAX_TEXTURE_STAGES; ++stage) {
        const DWORD *s = state_.stageStates[stage];
        if (s[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
        if (stage >= caps_.MaxTextureBlendStages) return D3DERR_TOOMANYOPERATIONS;
        if (!OpSupported(caps_, s[D3DTSS_COLOROP])) return D3DERR_UNSUPPORTEDCOLOROPERATION;
        if (!ArgSupported(s[D3DTSS_COLORARG0]) || !ArgSupported(s[D3DTSS_COLORARG1]) ||
            !ArgSupported(s[D3DTSS_COLORARG2])) {
            return D3DERR_UNSUPPORTEDCOLORARG;
        }
        if (!OpSupported(caps_, s[D3DTSS_ALPHAOP])) return D3DERR_UNSUPPORTEDALPHAOPERATION;
        if (!ArgSupported(s[D3DTSS_ALPHAARG0]) || !ArgSupported(s[D3DTSS_ALPHAARG1]) ||
            !ArgSupported(s[D3DTSS_ALPHAARG2])) {
            return D3DERR_UNSUPPORTEDALPHAARG;
        }
    }
    for (uint32_t stage = caps_.MaxSimultaneousTextures; stage < D3D8_MAX_TEXTURE_STAGES;
         ++stage) {
        if (textures_[stage].texture) return D3DERR_TOOMANYOPERATIONS;
    }
    *numPasses = 1;
    return D3D_OK;
}

HRESULT DeviceImpl::SetPaletteEntries(UINT paletteNumber, const PALETTEENTRY *entries) {
    if (!entries || paletteNumber >= kPaletteCount) return D3DERR_INVALIDCALL;
    std::copy(entries, entries + 256, palettes_[paletteNumber].begin());
    return D3D_OK;
}

HRESULT DeviceImpl::GetPaletteEntries(UINT paletteNumber, PALETTEENTRY *entries) {
    const auto it = palettes_.find(paletteNumber);
    if (!entries || it == palettes_.end()) return D3DERR_INVALIDCALL;
    std::copy(it->second.begin(), it->second.end(), entries);
    return D3D_OK;
}

HRESULT DeviceImpl::SetCurrentTexturePalette(UINT paletteNumber) {
    if (paletteNumber >= kPaletteCount) return D3DERR_INVALIDCALL;
    currentPalette_ = paletteNumber;
    return D3D_OK;
}

HRESULT DeviceImpl::GetCurrentTexturePalette(UINT *paletteNumber) {
    if (!paletteNumber) return D3DERR_INVALIDCALL;
    *paletteNumber = currentPalette_;
    return D3D_OK;
}

HRESULT DeviceImpl::SetVertexShader(DWORD handle) {
    vertexShader_ = handle;
    return D3D_OK;
}

HRESULT DeviceImpl::GetVertexShader(DWORD *handle) {
    if (!handle) return D3DERR_INVALIDCALL;
    *handle = vertexShader_;
    return D3D_OK;
}

// Shaders exist only up to the profile's version (none at version 0); the version token
// of ps 1.x streams orders like the caps value, so one comparison refuses newer ones.
HRESULT DeviceImpl::CreatePixelShader(const DWORD *function, DWORD *handle) {
    if (handle) *handle = 0;
    if (!function || caps_.PixelShaderVersion == 0 || function[0] > caps_.PixelShaderVersion) {
        return D3DERR_INVALIDCALL;
    }
    return pixelShaders_.Create(function, handle);
}

HRESULT DeviceImpl::SetPixelShader(DWORD handle) { return pixelShaders_.Set(handle); }

HRESULT DeviceImpl::GetPixelShader(DWORD *handle) {
    if (!handle) return D3DERR_INVALIDCALL;
    *handle = pixelShaders_.Current();
    return D3D_OK;
}

HRESULT DeviceImpl::DeletePixelShader(DWORD handle) { return pixelShaders_.Delete(handle); }

HRESULT DeviceImpl::SetPixelShaderConstant(DWORD registerNumber, const void *data,
                                           DWORD constantCount) {
    return pixelShaders_.SetConstant(registerNumber, data, constantCount);
}

HRESULT DeviceImpl::GetPixelShaderConstant(DWORD registerNumber, void *data,
                                           DWORD constantCount) {
    return pixelShaders_.GetConstant(registerNumber, data, constantCount);
}

}  // namespace d3d8
