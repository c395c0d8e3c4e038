// CSWeatherEffect: the stage's fog and rain.
//
// Fog is drawn through the device's fog states (linear fog from the fog
// distance to the camera's far plane, in the fog colour). Switching it on or
// off fades it over a time: the fog's start moves between the far plane
// (no fog) and the fog distance. The vertical fog setting of the stage info
// is kept but not drawn.
//
// Rain is three particle systems of the particle manager ("RAIN_S.ZUS",
// "RAIN_M.ZUS", "RAIN_L.ZUS": small, medium and large drops) kept above the
// camera, and a streak layer of RAIN.BMP drawn over the frame, whose
// strength follows the rain level as it fades toward its target.
#pragma once

#include <cstdint>

#include "rwcore.h"

class CSParticleManager;
class CSParticleSystem;

constexpr float kRainFadeSeconds = 5.0f;
constexpr int32_t kRainKinds = 3;

class CSWeatherEffect {
public:
    CSWeatherEffect() = default;
    ~CSWeatherEffect() { Unload(); }
    CSWeatherEffect(const CSWeatherEffect &) = delete;
    CSWeatherEffect &operator=(const CSWeatherEffect &) = delete;

    // ---- fog ----
    // Switches the fog on or off, fading over `seconds` (0: at once).
    void SetFog(bool on, float seconds);
    void SetFogColour(int32_t red, int32_t green, int32_t blue, int32_t alpha);
    void SetFogDistance(float distance);
    void SetVFog(bool on, float height) { vFog_ = on; vFogHeight_ = height; }
    bool IsFogOn() const { return fogOn_; }
    // 0 no fog .. 1 full fog.
    float FogAmount() const { return fogAmount_; }
    float FogDistance() const { return fogDistance_; }
    RwRGBA FogColour() const { return fogColour_; }
    // The fog's start for a camera whose far plane is `farPlane`.
    float FogStart(float farPlane) const;

    // ---- rain ----
    // Loads RAIN.BMP (from the open pack's dictionary or the image path)
    // and sets the rain defaults.
    void LoadRainTexture();
    // Takes the three rain systems from `particles`, stops them and resets
    // the levels.
    void LoadRainSystems(CSParticleManager *particles);
    void SetRainHeight(float height) { rainHeight_ = height; }
    // On: the rain systems emit, fog on, rain drawn, fade 5.0 s; off: the
    // target level goes to 0 (the rain fades out).
    void EnableRain(bool on);
    // Sets the rain-drawn flag (only while the rain texture is loaded).
    void SetRainDrawn(bool on);
    // The stage info's rain state: 0 none, 1 small, 2 medium, 3 large.
    void SetRainState(int32_t state);
    int32_t RainState() const { return rainState_; }
    float RainLevel() const { return rainLevel_; }
    bool IsRainDrawn() const { return rainDrawn_; }
    CSParticleSystem *RainSystem(int32_t kind) const { return rain_[kind]; }
    // A stage's weather ends with it: rain and fog off at once, no streak
    // drawn and no drop left falling (the systems and the texture stay for
    // the next stage).
    void EndAtOnce();
    // Removes the rain: its three systems and its texture.
    void Unload();

    // ---- per frame ----
    // Fades fog and rain (seconds) and keeps the rain above `camera`.
    void Update(float dt, const RwCamera *camera);
    // Sets the fog states for the scene about to be drawn.
    void BeginScene(RwCamera *camera) const;
    // Switches fog off again after the scene.
    void EndScene() const;
    // Draws the streak layer over the frame (after the scene, before the
    // screens); `width` x `height` pixels.
    void RenderRainLayer(RwReal width, RwReal height) const;

private:
    bool fogOn_ = false;
    float fogAmount_ = 0.0f;
    float fogFadeRate_ = 0.0f;  // amount per second
    float fogDistance_ = 100.0f;
    RwRGBA fogColour_ = {128, 128, 128, 255};
    bool vFog_ = false;
    float vFogHeight_ = 0.0f;

    RwTexture *rainTexture_ = nullptr;
    CSParticleSystem *rain_[kRainKinds] = {nullptr, nullptr, nullptr};
    int32_t rainState_ = 0;
    float rainLevel_ = 0.0f;
    float rainTarget_ = 0.0f;
    float rainFade_ = kRainFadeSeconds;
    float rainHeight_ = 150.0f;  // above the camera (a unit is about 10 cm)
    float rainClock_ = 0.0f;
    bool rainDrawn_ = false;
};

// The game-system fog setters: through the running stage's weather effect,
// nothing while there is none.
void SetStageFog(bool on, float seconds);
void SetStageFogColour(int32_t red, int32_t green, int32_t blue, int32_t alpha);
void SetStageFogDistance(float distance);
