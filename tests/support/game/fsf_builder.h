// Builds a character's state machine in code for scenario tests:
//
//   FsfBuilder b;
//   b.State(0).To(1, 1).To(0, 0);                 // input 1 -> state 1, default back to 0
//   b.State(1).Speed(30.0f).Attack(10, 1).Weapon(100130).To(0, 0, 1, 0.2f);
//   CFSF fsf = b.Build();
//
// Build drops transitions to missing states as the .FSF reader does.
#pragma once

#include <cstdint>
#include <vector>

#include "actor/fsf.h"

namespace gametest {

class FsfBuilder {
public:
    // Starts (or continues) the state with this id; the following calls
    // set its values.
    FsfBuilder &State(int32_t id);
    FsfBuilder &Speed(float speed);
    FsfBuilder &Acceleration(float acceleration);
    FsfBuilder &Hurt(int32_t isHurt);
    FsfBuilder &Grab(int32_t isGrab);
    FsfBuilder &Attack(int32_t value, int32_t attribute);
    FsfBuilder &Weapon(int32_t weaponId);
    // A transition: on `input` go to `output`; isDirChange lets it be taken
    // before the animation has ended; blend in seconds.
    FsfBuilder &To(int32_t input, int32_t output, int32_t isDirChange = 0, float blend = 0.0f);

    // The state machine; `dropped` (when given) receives the number of
    // transitions left out because they named a missing state.
    CFSF Build(int *dropped = nullptr) const;

private:
    FsfState &Current();

    std::vector<FsfState> states_;
    size_t current_ = 0;
};

}  // namespace gametest
