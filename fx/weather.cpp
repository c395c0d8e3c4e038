// The stage's fog and rain (see weather.h).
#include "fx/weather.h"

#include <algorithm>
#include <cmath>

#include "app/textures.h"
#include "fx/particle_manager.h"
#include "stage/stage_manager.h"

namespace {

constexpr const char *kRainNames[kRainKinds] = {"RAIN_S.ZUS", "RAIN_M.ZUS", "RAIN_L.ZUS"};
// The streak layer's strength at each level and how fast it falls (screen
// heights per second).
constexpr float kStreakAlpha[4] = {0.0f, 0.25f, 0.4f, 0.55f};
constexpr float kStreakSpeed = 1.6f;
constexpr float kStreakTiles = 3.0f;

CSWeatherEffect *StageWeather() { return g_pStageManager != nullptr ? g_pStageManager->weather : nullptr; }

RwUInt32 Packed(RwRGBA c)
{
    return (static_cast<RwUInt32>(c.alpha) << 24) | (static_cast<RwUInt32>(c.red) << 16) |
           (static_cast<RwUInt32>(c.green) << 8) | c.blue;
}

uint8_t Byte(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

}  // namespace

void CSWeatherEffect::SetFog(bool on, float seconds)
{
    fogOn_ = on;
    if (seconds <= 0.0f) {
        fogAmount_ = on ? 1.0f : 0.0f;
        fogFadeRate_ = 0.0f;
    } else {
        fogFadeRate_ = 1.0f / seconds;
    }
}

void CSWeatherEffect::SetFogColour(int32_t red, int32_t green, int32_t blue, int32_t alpha)
{
    fogColour_ = {Byte(red), Byte(green), Byte(blue), Byte(alpha)};
}

void CSWeatherEffect::SetFogDistance(float distance)
{
    if (std::isfinite(distance) && distance >= 0.0f) {
        fogDistance_ = distance;
    }
}

float CSWeatherEffect::FogStart(float farPlane) const
{
    const float target = std::min(fogDistance_, farPlane);
    return farPlane + (target - farPlane) * fogAmount_;
}

void CSWeatherEffect::LoadRainTexture()
{
    if (rainTexture_ == nullptr) {
        rainTexture_ = LoadTextureWithMask("RAIN.BMP", nullptr);
    }
    rainState_ = 0;
    rainLevel_ = 0.0f;
    rainTarget_ = 0.0f;
    rainFade_ = kRainFadeSeconds;
    rainDrawn_ = false;
}

void CSWeatherEffect::LoadRainSystems(CSParticleManager *particles)
{
    for (int32_t k = 0; k < kRainKinds; ++k) {
        if (rain_[k] == nullptr && particles != nullptr) {
            rain_[k] = particles->CreateSystem(kRainNames[k]);
        }
        if (rain_[k] != nullptr) {
            rain_[k]->StopEmit();
        }
    }
    rainLevel_ = 0.0f;
    rainTarget_ = 0.0f;
}

void CSWeatherEffect::EnableRain(bool on)
{
    if (on) {
        const int32_t state = std::max(rainState_, 1);
        for (int32_t k = 0; k < kRainKinds; ++k) {
            if (rain_[k] != nullptr) {
                if (k < state) {
                    rain_[k]->SetEmitting(true, 0.0f);
                } else {
                    rain_[k]->StopEmit();
                }
            }
        }
        if (!fogOn_) {
            SetFog(true, kRainFadeSeconds);  // a fog already on keeps its own fade
        }
        SetRainDrawn(true);
        rainFade_ = kRainFadeSeconds;
        rainTarget_ = static_cast<float>(state) / 3.0f;
    } else {
        rainTarget_ = 0.0f;
        for (CSParticleSystem *system : rain_) {
            if (system != nullptr) {
                system->StopEmit();
            }
        }
    }
}

void CSWeatherEffect::SetRainDrawn(bool on) { rainDrawn_ = on && rainTexture_ != nullptr; }

void CSWeatherEffect::SetRainState(int32_t state)
{
    rainState_ = std::clamp(state, 0, 3);
    EnableRain(rainState_ > 0);
}

void CSWeatherEffect::EndAtOnce()
{
    SetRainState(0);
    rainLevel_ = 0.0f;
    rainDrawn_ = false;
    for (CSParticleSystem *system : rain_) {
        if (system != nullptr) {
            system->ClearParticles();
        }
    }
    SetFog(false, 0.0f);
}

void CSWeatherEffect::Unload()
{
    for (CSParticleSystem *&system : rain_) {
        if (system != nullptr) {
            system->StopEmit();
            system->Release();
            system = nullptr;
        }
    }
    DestroyTexture(rainTexture_);
    rainTexture_ = nullptr;
    rainDrawn_ = false;
    rainLevel_ = 0.0f;
    rainTarget_ = 0.0f;
    rainState_ = 0;
}

void CSWeatherEffect::Update(float dt, const RwCamera *camera)
{
    const float fogTarget = fogOn_ ? 1.0f : 0.0f;
    if (fogFadeRate_ <= 0.0f) {
        fogAmount_ = fogTarget;
    } else if (fogAmount_ < fogTarget) {
        fogAmount_ = std::min(fogTarget, fogAmount_ + fogFadeRate_ * dt);
    } else {
        fogAmount_ = std::max(fogTarget, fogAmount_ - fogFadeRate_ * dt);
    }
    const float rate = dt / std::max(rainFade_, 0.001f);
    rainLevel_ = rainLevel_ < rainTarget_ ? std::min(rainTarget_, rainLevel_ + rate)
                                          : std::max(rainTarget_, rainLevel_ - rate);
    if (rainLevel_ <= 0.0f && rainTarget_ <= 0.0f) {
        rainDrawn_ = false;
    }
    rainClock_ += dt;
    if (camera != nullptr) {
        RwV3d above = RwFrameGetLTM(RwCameraGetFrame(const_cast<RwCamera *>(camera)))->pos;
        above.y += rainHeight_;
        for (CSParticleSystem *system : rain_) {
            if (system != nullptr) {
                system->SetPosition(above);
            }
        }
    }
}

void CSWeatherEffect::BeginScene(RwCamera *camera) const
{
    if (camera == nullptr || fogAmount_ <= 0.0f) {
        RwSetRenderState(rwRENDERSTATEFOGENABLE, RwRenderStateValue(FALSE));
        return;
    }
    RwCameraSetFogDistance(camera, FogStart(RwCameraGetFarClipPlane(camera)));
    RwSetRenderState(rwRENDERSTATEFOGTYPE, RwRenderStateValue(rwFOGTYPELINEAR));
    RwSetRenderState(rwRENDERSTATEFOGCOLOR, RwRenderStateValue(Packed(fogColour_)));
    RwSetRenderState(rwRENDERSTATEFOGENABLE, RwRenderStateValue(TRUE));
}

void CSWeatherEffect::EndScene() const { RwSetRenderState(rwRENDERSTATEFOGENABLE, RwRenderStateValue(FALSE)); }

void CSWeatherEffect::RenderRainLayer(RwReal width, RwReal height) const
{
    if (!rainDrawn_ || rainTexture_ == nullptr || rainLevel_ <= 0.0f) {
        return;
    }
    const int32_t level = std::clamp(static_cast<int32_t>(std::ceil(rainLevel_ * 3.0f - 0.001f)), 1, 3);
    const float alpha = kStreakAlpha[level] * std::min(1.0f, rainLevel_ * 3.0f / static_cast<float>(level));
    const RwUInt32 colour = (static_cast<RwUInt32>(alpha * 255.0f) << 24) | 0xFFFFFFu;
    const float scroll = -std::fmod(rainClock_ * kStreakSpeed, 1.0f);
    const float z = RwIm2DScreenZNear();
    const float rhw = 1.0f;
    RwIm2DVertex v[4] = {
        {0.0f, 0.0f, z, rhw, colour, 0.0f, scroll},
        {width, 0.0f, z, rhw, colour, kStreakTiles, scroll},
        {0.0f, height, z, rhw, colour, 0.0f, scroll + kStreakTiles * height / width},
        {width, height, z, rhw, colour, kStreakTiles, scroll + kStreakTiles * height / width},
    };
    RwImVertexIndex indices[6] = {0, 2, 1, 1, 2, 3};
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, RwTextureGetRaster(rainTexture_));
    RwSetRenderState(rwRENDERSTATETEXTUREADDRESS, RwRenderStateValue(rwTEXTUREADDRESSWRAP));
    RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATESRCBLEND, RwRenderStateValue(rwBLENDSRCALPHA));
    RwSetRenderState(rwRENDERSTATEDESTBLEND, RwRenderStateValue(rwBLENDONE));
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATEFOGENABLE, RwRenderStateValue(FALSE));
    RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, v, 4, indices, 6);
    RwSetRenderState(rwRENDERSTATEDESTBLEND, RwRenderStateValue(rwBLENDINVSRCALPHA));
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(TRUE));
}

void SetStageFog(bool on, float seconds)
{
    if (CSWeatherEffect *weather = StageWeather()) {
        weather->SetFog(on, seconds);
    }
}

void SetStageFogColour(int32_t red, int32_t green, int32_t blue, int32_t alpha)
{
    if (CSWeatherEffect *weather = StageWeather()) {
        weather->SetFogColour(red, green, blue, alpha);
    }
}

void SetStageFogDistance(float distance)
{
    if (CSWeatherEffect *weather = StageWeather()) {
        weather->SetFogDistance(distance);
    }
}
