// The characters' state machines of the sample (see character_states.h).
#include "tools/mkdata/character_states.h"

#include <cstdio>
#include <filesystem>

#include "actor/ai_message.h"
#include "actor/fsf_file.h"
#include "tools/mkdata/character_model.h"

namespace mkdata {

namespace {

constexpr float kBlend = 0.15f;

// The heroes. Their inputs name the state they lead to: 0 stand, 1 move,
// 30 guard, 40 attack (41 and 42 chain on from the attack before), and the
// reactions 21 hurt, 4 knocked down, 22 held and 23 dying, which every
// state that takes hits lets through at once. Every blow of the chain
// carries the plain-damage bit 1 (the others only choose the reaction,
// and a hit without a damage bit costs its target nothing); the chain's
// last, two-handed blow also breaks the wall-like breakable objects, which
// nothing else a hero does can break. An attack from the guard grabs
// (50: the grab bit 1024 on what it touches), and the chain goes on from
// there with a squeeze of what it holds (51: the held-damage bit 4096) and
// the grab's end (52: bit 2048), none of them with the damage bit: the
// grab hurts only what takes damage while held. Speeds are units a second:
// the move runs at 4 m/s, the attacks lunge, a hurt hero is pushed back.
CFSF Hero(int32_t attack)
{
    const std::vector<FsfRowTransition> hits = {
        {21, 21, 1}, {4, 4, 1}, {22, 22, 1}, {23, 23, 1},
    };
    return BuildStateMachine(
        {
            {0, 0.0f, 0.0f, 1, 1, 0, 0, {}, {{1, 1, 1}, {30, 30, 1}, {40, 40, 1}, {0, 0, 0}}, true},
            {1, 40.0f, 0.0f, 1, 1, 0, 0, {}, {{0, 0, 1}, {30, 30, 1}, {40, 40, 1}, {1, 1, 0}}, true},
            {4, -8.0f, 0.0f, 0, 0, 0, 0, {}, {{23, 23, 1}, {0, 5, 0}}, false},
            {5, 0.0f, 0.0f, 0, 0, 0, 0, {}, {{23, 23, 1}, {0, 0, 0}}, false},
            {21, -10.0f, 0.0f, 1, 0, 0, 0, {}, {{0, 0, 0}}, true},
            {22, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{23, 23, 1}, {0, 0, 1}}, false},
            {23, 0.0f, 0.0f, 0, 0, 0, 0, {}, {}, false},
            {30, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{22, 22, 1}, {23, 23, 1}, {0, 0, 1}, {40, 50, 1}, {30, 30, 0}}, false},
            {40, 5.0f, 0.0f, 1, 0, attack, 1, {100130}, {{41, 41, 0}, {0, 0, 0}}, true},
            {41, 5.0f, 0.0f, 1, 0, attack + 5, 1 | 2, {100130}, {{42, 42, 0}, {0, 0, 0}}, true},
            {42, 8.0f, 0.0f, 1, 0, attack * 2, 1 | 8 | kAtkBreakWall, {100130, 100140}, {{0, 0, 0}}, true},
            {50, 0.0f, 0.0f, 1, 0, 1, kAtkGrab, {100130, 100140}, {{51, 51, 0}, {0, 0, 0}}, true},
            {51, 0.0f, 0.0f, 1, 0, attack * 3, kAtkHeldDamage, {100130, 100140}, {{52, 52, 0}, {0, 0, 0}}, true},
            {52, 0.0f, 0.0f, 1, 0, 1, kAtkGrabEnd, {100130, 100140}, {{0, 0, 0}}, true},
        },
        hits, kBlend);
}

}  // namespace

CFSF BuildStateMachine(const std::vector<FsfRow> &rows, const std::vector<FsfRowTransition> &reactions, float blend)
{
    CFSF fsf;
    for (const FsfRow &row : rows) {
        FsfState state;
        state.id = row.id;
        state.speed = row.speed;
        state.acceleration = row.acceleration;
        state.isHurt = row.isHurt;
        state.isGrab = row.isGrab;
        state.attackValue = row.attackValue;
        state.attackAttribute = row.attackAttribute;
        state.weaponIds = row.weapons;
        auto add = [&state, blend](const FsfRowTransition &t) {
            FsfTransition transition;
            transition.input = t.input;
            transition.output = t.output;
            transition.isDirChange = t.isDirChange;
            transition.blend = blend;
            state.transitions.push_back(transition);
        };
        if (row.reacts) {
            for (const FsfRowTransition &t : reactions) {
                add(t);
            }
        }
        for (const FsfRowTransition &t : row.transitions) {
            add(t);
        }
        fsf.AddState(state);
    }
    return fsf;
}

CFSF SampleStateMachine(const std::string &name) { return Hero(name == "HERO02" ? 18 : 20); }

bool WriteStateMachineFile(const std::string &path, const CFSF &fsf)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const std::string text = FormatFsf(fsf);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

bool WriteStateMachines(const std::string &root)
{
    for (const CharacterFiles &set : CharacterFileSets()) {
        const std::filesystem::path folder = std::filesystem::path(root) / set.folder;
        const std::string name = set.name;
        if (!WriteStateMachineFile((folder / (name + ".FSF")).string(), SampleStateMachine(name))) {
            return false;
        }
    }
    return true;
}

}  // namespace mkdata
