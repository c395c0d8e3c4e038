// The state-machine builder of the game's tests (see fsf_builder.h).
#include "support/game/fsf_builder.h"

#include <cstdio>

namespace gametest {

FsfBuilder &FsfBuilder::State(int32_t id)
{
    for (size_t i = 0; i < states_.size(); ++i) {
        if (states_[i].id == id) {
            current_ = i;
            return *this;
        }
    }
    FsfState state;
    state.id = id;
    states_.push_back(state);
    current_ = states_.size() - 1;
    return *this;
}

FsfState &FsfBuilder::Current()
{
    if (states_.empty()) {
        State(0);
    }
    return states_[current_];
}

FsfBuilder &FsfBuilder::Speed(float speed)
{
    Current().speed = speed;
    return *this;
}

FsfBuilder &FsfBuilder::Acceleration(float acceleration)
{
    Current().acceleration = acceleration;
    return *this;
}

FsfBuilder &FsfBuilder::Hurt(int32_t isHurt)
{
    Current().isHurt = isHurt;
    return *this;
}

FsfBuilder &FsfBuilder::Grab(int32_t isGrab)
{
    Current().isGrab = isGrab;
    return *this;
}

FsfBuilder &FsfBuilder::Attack(int32_t value, int32_t attribute)
{
    Current().attackValue = value;
    Current().attackAttribute = attribute;
    return *this;
}

FsfBuilder &FsfBuilder::Weapon(int32_t weaponId)
{
    Current().weaponIds.push_back(weaponId);
    return *this;
}

FsfBuilder &FsfBuilder::To(int32_t input, int32_t output, int32_t isDirChange, float blend)
{
    FsfTransition t;
    t.input = input;
    t.output = output;
    t.isDirChange = isDirChange;
    t.blend = blend;
    Current().transitions.push_back(t);
    return *this;
}

CFSF FsfBuilder::Build(int *dropped) const
{
    CFSF fsf;
    for (const FsfState &state : states_) {
        fsf.AddState(state);
    }
    const int n = fsf.DropDanglingTransitions([](const FsfState &state, const FsfTransition &t) {
        std::fprintf(stderr, "FsfBuilder: state %d: transition on %d to missing state %d dropped\n", state.id,
                     t.input, t.output);
    });
    if (dropped != nullptr) {
        *dropped = n;
    }
    return fsf;
}

}  // namespace gametest
