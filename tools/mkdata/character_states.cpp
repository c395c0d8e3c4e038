// The characters' state machines of the sample (see character_states.h).
#include "tools/mkdata/character_states.h"

#include <cstdio>
#include <filesystem>
#include <initializer_list>

#include "actor/fsf_file.h"
#include "tools/mkdata/character_model.h"

namespace mkdata {

namespace {

constexpr float kBlend = 0.15f;

struct Row {
    int32_t id;
    float speed;
    float acceleration;
    int32_t isHurt;
    int32_t isGrab;
    int32_t attackValue;
    int32_t attackAttribute;
    std::initializer_list<int32_t> weapons;
    // input, output, isDirChange (blend kBlend)
    std::initializer_list<std::initializer_list<int32_t>> transitions;
    bool reacts;  // takes the hits, grabs and deaths of `reactions`
};

CFSF Build(std::initializer_list<Row> rows, std::initializer_list<std::initializer_list<int32_t>> reactions)
{
    CFSF fsf;
    for (const Row &row : rows) {
        FsfState state;
        state.id = row.id;
        state.speed = row.speed;
        state.acceleration = row.acceleration;
        state.isHurt = row.isHurt;
        state.isGrab = row.isGrab;
        state.attackValue = row.attackValue;
        state.attackAttribute = row.attackAttribute;
        state.weaponIds.assign(row.weapons.begin(), row.weapons.end());
        auto add = [&state](const std::initializer_list<int32_t> &t) {
            const int32_t *v = t.begin();
            FsfTransition transition;
            transition.input = v[0];
            transition.output = v[1];
            transition.isDirChange = v[2];
            transition.blend = kBlend;
            state.transitions.push_back(transition);
        };
        if (row.reacts) {
            for (const auto &t : reactions) {
                add(t);
            }
        }
        for (const auto &t : row.transitions) {
            add(t);
        }
        fsf.AddState(state);
    }
    return fsf;
}

// Monster type 1000. Its inputs: 0 idle or home, 1 chase or return, 2 ready
// to attack, 3 turn, 10 attack, 11 follow-up, 19 counter attack, 30 knocked,
// 31 poisoned, 100..105 hits and grabs, 106 end of the down state, 107 end
// of dizziness, 108 escape, 120 and 121 death. States: 0 idle, 1 chase,
// 2 ready, 3 turn, 4 and 7 hurt, 5, 8, 10 and 19 attacks, 6 recovery,
// 11 follow-up, 12 and 13 knocked flying, 14 down, 15 getting up, 16 poison
// hurt, 18 dizzy, 20 held by a hero, 21 turning strike, 22 and 23 dying,
// 24 and 25 gone, 26 to 29 scripted, 30 knock, 31 event hold.
CFSF Monster1000()
{
    const std::initializer_list<std::initializer_list<int32_t>> hits = {
        {100, 4, 1}, {101, 7, 1}, {102, 12, 1}, {103, 13, 1}, {104, 20, 1}, {108, 1, 1}, {120, 22, 1}, {121, 23, 1},
    };
    return Build(
        {
            {0, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{1, 1, 1}, {2, 2, 1}, {3, 3, 1}, {16, 1, 1}, {19, 19, 1}, {0, 0, 0}}, true},
            {1, 1.5f, 0.0f, 1, 0, 0, 0, {}, {{0, 0, 1}, {2, 2, 1}, {3, 3, 1}, {19, 19, 1}, {1, 1, 0}}, true},
            {2, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{10, 5, 1}, {3, 3, 1}, {1, 1, 1}, {0, 0, 1}, {19, 19, 1}, {2, 2, 0}}, true},
            {3, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{2, 2, 1}, {1, 1, 1}, {0, 0, 0}}, true},
            {4, -1.0f, 2.0f, 1, 0, 0, 0, {}, {{31, 16, 1}, {0, 0, 0}}, true},
            {5, 0.5f, 0.0f, 1, 0, 10, 1, {100130}, {{30, 30, 1}, {0, 6, 0}}, true},
            {6, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{3, 3, 0}, {19, 19, 0}, {0, 0, 0}}, true},
            {7, -1.5f, 3.0f, 1, 0, 0, 0, {}, {{31, 16, 1}, {0, 0, 0}}, true},
            {8, 3.0f, 0.0f, 1, 0, 15, 8, {100130, 100140}, {{11, 11, 1}, {30, 30, 1}, {0, 0, 0}}, true},
            {10, 0.5f, 0.0f, 1, 0, 12, 2, {100140}, {{30, 30, 1}, {0, 6, 0}}, true},
            {11, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{0, 0, 0}}, true},
            {12, -3.0f, 4.0f, 0, 0, 0, 0, {}, {{120, 22, 0}, {0, 14, 0}}, false},
            {13, -2.0f, 3.0f, 0, 0, 0, 0, {}, {{120, 22, 0}, {0, 14, 0}}, false},
            {14, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{106, 15, 1}, {120, 22, 1}, {121, 23, 1}}, false},
            {15, 0.0f, 0.0f, 0, 0, 0, 0, {}, {{0, 0, 0}}, false},
            {16, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{0, 0, 0}}, true},
            {18, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{107, 0, 1}}, true},
            {19, 1.0f, 0.0f, 1, 0, 14, 4, {100130}, {{30, 30, 1}, {0, 6, 0}}, true},
            {20, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{104, 20, 1}, {105, 15, 1}, {120, 22, 1}, {121, 23, 1}}, false},
            {21, 0.0f, 0.0f, 1, 0, 8, 1, {100130}, {{11, 0, 0}, {0, 0, 0}}, true},
            {22, 0.0f, 0.0f, 0, 0, 0, 0, {}, {{0, 24, 0}}, false},
            {23, 0.0f, 0.0f, 0, 0, 0, 0, {}, {{0, 25, 0}}, false},
            {24, 0.0f, 0.0f, 0, 0, 0, 0, {}, {}, false},
            {25, 0.0f, 0.0f, 0, 0, 0, 0, {}, {}, false},
            {26, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{0, 0, 0}}, true},
            {27, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{0, 0, 0}}, true},
            {28, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{0, 0, 0}}, true},
            {29, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{0, 0, 0}}, true},
            {30, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{2, 2, 1}}, true},
            {31, 0.0f, 0.0f, 0, 0, 0, 0, {}, {{0, 0, 1}}, false},
        },
        hits);
}

// The heroes. Their inputs name the state they lead to: 0 stand, 1 move,
// 30 guard, 40 attack (41 and 42 chain on from the attack before), and the
// reactions 21 hurt, 4 knocked down, 22 held and 23 dying, which every
// state that takes hits lets through at once. Speeds are units a second:
// the move runs at 4 m/s, the attacks lunge, a hurt hero is pushed back.
CFSF Hero(int32_t attack)
{
    const std::initializer_list<std::initializer_list<int32_t>> hits = {
        {21, 21, 1}, {4, 4, 1}, {22, 22, 1}, {23, 23, 1},
    };
    return Build(
        {
            {0, 0.0f, 0.0f, 1, 1, 0, 0, {}, {{1, 1, 1}, {30, 30, 1}, {40, 40, 1}, {0, 0, 0}}, true},
            {1, 40.0f, 0.0f, 1, 1, 0, 0, {}, {{0, 0, 1}, {30, 30, 1}, {40, 40, 1}, {1, 1, 0}}, true},
            {4, -8.0f, 0.0f, 0, 0, 0, 0, {}, {{23, 23, 1}, {0, 5, 0}}, false},
            {5, 0.0f, 0.0f, 0, 0, 0, 0, {}, {{23, 23, 1}, {0, 0, 0}}, false},
            {21, -10.0f, 0.0f, 1, 0, 0, 0, {}, {{0, 0, 0}}, true},
            {22, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{23, 23, 1}, {0, 0, 1}}, false},
            {23, 0.0f, 0.0f, 0, 0, 0, 0, {}, {}, false},
            {30, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{22, 22, 1}, {23, 23, 1}, {0, 0, 1}, {40, 40, 1}, {30, 30, 0}}, false},
            {40, 5.0f, 0.0f, 1, 0, attack, 1, {100130}, {{41, 41, 0}, {0, 0, 0}}, true},
            {41, 5.0f, 0.0f, 1, 0, attack + 5, 2, {100130}, {{42, 42, 0}, {0, 0, 0}}, true},
            {42, 8.0f, 0.0f, 1, 0, attack * 2, 8, {100130, 100140}, {{0, 0, 0}}, true},
        },
        hits);
}

}  // namespace

CFSF SampleStateMachine(const std::string &name)
{
    if (name == "1200000") {
        return Monster1000();
    }
    return Hero(name == "HERO02" ? 18 : 20);
}

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
