// The in-game animation scenes' per-id values: the start condition, the
// camera blends into and out of the scene, the wait of condition 900, and
// the pack a scene's data is streamed from.
#pragma once

#include <cstdint>

struct ScenePreset {
    int32_t eventId;
    int32_t condition;  // start condition code (100 .. 900)
    float blendIn;      // seconds; 0 cuts
    float blendOut;
};

// Every scene waits this long after its link for condition 900.
inline constexpr float kSceneEndDelay = 3.0f;

// The preset of a scene id; null for an id that is no scene.
const ScenePreset *FindScenePreset(int32_t eventId);
// All of them, in id order (61).
const ScenePreset *ScenePresets(int32_t *count);

// The scene pack folder number of an id (\PACK\INGAME<n>\): 1 up to
// 79101100, 2 up to 79232100, 3 up to 79340600, 4 up to 79362000, 0 above.
int32_t ScenePackNumber(int32_t eventId);
