// The material animations: one table in the code of the colour and alpha
// curves that the game plays on a model's materials, by index. Each entry
// says how the look changes over the animation's time:
//   1  a white flash that fades back over the duration
//   2  a fade to alpha 0 over the duration (death)
//   4  a fade to alpha 0 over the duration (broken pieces)
//   6  a steady green tint (poison)
//   18 the charge effect's model: bright, fading out
//   21 the model-pool effects: a warm glow, fading out
//   22, 23, 24  the event tracks: blue, green and red tints that rise
//       over the first two seconds of a six-second track
//   30 red flashing, four times a second (a burning fuse)
//   34 a character appearing: faded in over the duration
//   35 a character leaving: faded out over the duration
//   36 a heavy monster's death: a red glow fading out with the model
//   39 a monster appearing in view: faded in over a second, then held
//   40 a slow red glow (rage)
#pragma once

#include <cstdint>

#include "rwcore.h"

// How one sample of an animation changes a material: its colour moves
// toward `tint` by `amount` (0 keeps it, 1 is the tint) and its alpha is
// multiplied by `alphaScale`.
struct MatAnimLook {
    RwRGBAReal tint = {1.0f, 1.0f, 1.0f, 1.0f};  // 0..1
    float amount = 0.0f;
    float alphaScale = 1.0f;
};

enum MatAnimCurve : uint8_t {
    kCurveFlash,     // amount 1 - t
    kCurveFadeOut,   // alpha 1 - t
    kCurveTint,      // amount constant
    kCurveBright,    // amount and alpha 1 - t
    kCurveRise,      // amount rising to its level over the first 2 s
    kCurvePulse,     // amount 0.5 + 0.5 sin(2 pi f s)
    kCurveFadeIn,    // alpha t (untimed: over the first second)
};

struct MatAnimDef {
    int32_t index;
    MatAnimCurve curve;
    RwRGBAReal tint;
    float level;       // the tint's strength
    float frequency;   // pulses per second
    bool cyclic;       // a looped instance repeats it (else holds its end)
    float trackLength; // seconds of a track (event tracks only)
};

// The table's entry for `index`, or null for an index the game does not have.
const MatAnimDef *FindMatAnim(int32_t index);
// The look of `def` at `seconds` into an animation of `duration` seconds
// (0: untimed; the curve then runs on the clock alone).
MatAnimLook SampleMatAnim(const MatAnimDef &def, float seconds, float duration);
// `colour` changed by `look`.
RwRGBA ApplyMatAnimLook(RwRGBA colour, const MatAnimLook &look);
