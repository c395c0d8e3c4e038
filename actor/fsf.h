// A character's state machine (CFSF): the states of its .FSF file with their
// per-state values and transitions. One CFSF is shared by every actor of a
// model; it keeps a single cursor (current and previous state), so each user
// sets its own current state (SetState) before each NextState.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One transition: on Input go to Output. IsDirChange lets the transition be
// taken before the state's animation has ended. Blend is in seconds.
struct FsfTransition {
    int32_t input = 0;
    int32_t output = 0;
    int32_t isDirChange = 0;
    float blend = 0.0f;
    int32_t line = 0;  // source line in the .FSF file; 0 when built in code
};

struct FsfState {
    int32_t id = 0;
    float speed = 0.0f;
    float acceleration = 0.0f;
    int32_t isHurt = 1;  // 1 when the file does not set it
    int32_t isGrab = 0;
    int32_t attackValue = 0;
    int32_t attackAttribute = 0;
    std::vector<int32_t> weaponIds;  // NumOfWeapon entries
    std::vector<FsfTransition> transitions;
    int32_t line = 0;  // source line of the state's block; 0 when built in code
};

class CFSF {
public:
    // Building (the .FSF reader and code): false for a negative or
    // duplicate id, the state then left out.
    bool AddState(const FsfState &state);
    // Removes every transition whose output names no state, calling
    // report(state, transition) for each before it goes. Returns the count.
    template <typename Report>
    int DropDanglingTransitions(Report report);

    int StateCount() const { return static_cast<int>(states_.size()); }
    const std::vector<FsfState> &States() const { return states_; }
    const FsfState *FindState(int32_t id) const;

    // 1 and the state made current when it exists, else 0.
    int SetState(int32_t id);
    // The transition taken from the current state for `input`, or -1 (the
    // current state then becomes -1); 0 when the set has no states. With
    // animEnded clear only an exact match with IsDirChange is taken; with it
    // set the first exact match, else the default (the last with Input 0).
    int NextState(int32_t input, int32_t animEnded);
    int32_t CurrentState() const { return current_; }
    int32_t PreviousState() const { return previous_; }
    // The Blend of the transition last taken, 0.0 before any.
    float GetTransitionBlend() const { return blend_; }

    // Per-state values; a missing state gives the default named.
    float GetSpeed(int32_t id) const;         // 0.0
    float GetAcceleration(int32_t id) const;  // 0.0
    int32_t GetIsHurt(int32_t id) const;      // 0
    int32_t GetIsGrab(int32_t id) const;      // 0
    int32_t IsAttackState(int32_t id) const;  // 0; else 1 when AttackValue is not 0
    int32_t GetAttackValue(int32_t id) const;      // -1
    int32_t GetAttackAttribute(int32_t id) const;  // -1
    int32_t GetNumOfWeapon(int32_t id) const;      // 0
    int32_t GetWeaponId(int32_t id, int32_t index) const;  // 0 when none

private:
    void Reindex();
    // A value of the state `id`, `missing` when there is none.
    template <typename T>
    T ValueOf(int32_t id, T FsfState::*field, T missing) const;
    void MoveTo(int32_t id);

    std::vector<FsfState> states_;
    std::vector<int16_t> indexOfId_;  // state index by id, -1 for none
    int32_t current_ = -1;
    int32_t previous_ = -1;
    float blend_ = 0.0f;
};

template <typename Report>
int CFSF::DropDanglingTransitions(Report report)
{
    int dropped = 0;
    for (FsfState &state : states_) {
        std::vector<FsfTransition> kept;
        kept.reserve(state.transitions.size());
        for (const FsfTransition &t : state.transitions) {
            if (FindState(t.output) == nullptr) {
                report(state, t);
                ++dropped;
            } else {
                kept.push_back(t);
            }
        }
        state.transitions.swap(kept);
    }
    return dropped;
}
