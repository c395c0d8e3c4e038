// The state machine of a character (see fsf.h).
#include "actor/fsf.h"

namespace {
// State ids index a table; larger ids are refused when states are added.
constexpr int32_t kMaxStateId = 4095;
}  // namespace

bool CFSF::AddState(const FsfState &state)
{
    if (state.id < 0 || state.id > kMaxStateId || FindState(state.id) != nullptr) {
        return false;
    }
    states_.push_back(state);
    Reindex();
    return true;
}

void CFSF::Reindex()
{
    int32_t largest = -1;
    for (const FsfState &s : states_) {
        largest = s.id > largest ? s.id : largest;
    }
    indexOfId_.assign(static_cast<size_t>(largest + 1), int16_t{-1});
    for (size_t i = 0; i < states_.size(); ++i) {
        indexOfId_[static_cast<size_t>(states_[i].id)] = static_cast<int16_t>(i);
    }
}

const FsfState *CFSF::FindState(int32_t id) const
{
    if (id < 0 || static_cast<size_t>(id) >= indexOfId_.size()) {
        return nullptr;
    }
    const int16_t index = indexOfId_[static_cast<size_t>(id)];
    return index < 0 ? nullptr : &states_[static_cast<size_t>(index)];
}

void CFSF::MoveTo(int32_t id)
{
    previous_ = current_;
    current_ = id;
}

int CFSF::SetState(int32_t id)
{
    if (FindState(id) == nullptr) {
        return 0;
    }
    MoveTo(id);
    return 1;
}

int CFSF::NextState(int32_t input, int32_t animEnded)
{
    if (states_.empty()) {
        MoveTo(-1);
        return 0;
    }
    const FsfTransition *exact = nullptr;
    const FsfTransition *fallback = nullptr;
    if (const FsfState *state = FindState(current_)) {
        for (const FsfTransition &t : state->transitions) {
            if (exact == nullptr && t.input == input) {
                exact = &t;
            }
            if (t.input == 0) {
                fallback = &t;
            }
        }
    }
    const FsfTransition *taken = nullptr;
    if (animEnded == 0) {
        taken = (exact != nullptr && exact->isDirChange != 0) ? exact : nullptr;
    } else {
        taken = exact != nullptr ? exact : fallback;
    }
    if (taken == nullptr) {
        MoveTo(-1);
        return -1;
    }
    blend_ = taken->blend;
    MoveTo(taken->output);
    return taken->output;
}

template <typename T>
T CFSF::ValueOf(int32_t id, T FsfState::*field, T missing) const
{
    const FsfState *s = FindState(id);
    return s != nullptr ? s->*field : missing;
}

float CFSF::GetSpeed(int32_t id) const { return ValueOf(id, &FsfState::speed, 0.0f); }
float CFSF::GetAcceleration(int32_t id) const { return ValueOf(id, &FsfState::acceleration, 0.0f); }
int32_t CFSF::GetIsHurt(int32_t id) const { return ValueOf(id, &FsfState::isHurt, 0); }
int32_t CFSF::GetIsGrab(int32_t id) const { return ValueOf(id, &FsfState::isGrab, 0); }
int32_t CFSF::IsAttackState(int32_t id) const { return ValueOf(id, &FsfState::attackValue, 0) != 0 ? 1 : 0; }
int32_t CFSF::GetAttackValue(int32_t id) const { return ValueOf(id, &FsfState::attackValue, -1); }
int32_t CFSF::GetAttackAttribute(int32_t id) const { return ValueOf(id, &FsfState::attackAttribute, -1); }

int32_t CFSF::GetNumOfWeapon(int32_t id) const
{
    const FsfState *s = FindState(id);
    return s != nullptr ? static_cast<int32_t>(s->weaponIds.size()) : 0;
}

int32_t CFSF::GetWeaponId(int32_t id, int32_t index) const
{
    const FsfState *s = FindState(id);
    if (s == nullptr || index < 0 || static_cast<size_t>(index) >= s->weaponIds.size()) {
        return 0;
    }
    return s->weaponIds[static_cast<size_t>(index)];
}
