// The .FSF state-machine file (see fsf_file.h).
#include "actor/fsf_file.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "app/debug.h"
#include "app/fatal.h"
#include "app/keyword.h"

namespace {

// Most states and transitions per state a file may declare.
constexpr int32_t kMaxStates = 4096;
constexpr int32_t kMaxTransitions = 4096;
constexpr int32_t kMaxWeapons = 64;

bool IsWhole(float value)
{
    return std::isfinite(value) && std::floor(value) == value && std::fabs(value) <= 2147483647.0f;
}

// One Transition line: three whole numbers and a blend.
bool ReadTransition(CSKeywordFile *file, FsfTransition *out)
{
    float values[4];
    if (!file->Floats(values, 4)) {
        return false;
    }
    if (!IsWhole(values[0]) || !IsWhole(values[1]) || !IsWhole(values[2])) {
        file->Report("input, output and isDirChange must be whole numbers");
        return false;
    }
    out->input = static_cast<int32_t>(values[0]);
    out->output = static_cast<int32_t>(values[1]);
    out->isDirChange = static_cast<int32_t>(values[2]);
    out->blend = values[3];
    out->line = file->LineNumber();
    return true;
}

enum BlockEnd { kBlockClosed, kBlockInterrupted, kBlockAtEnd };

// A count the block declares (0..max), kept when it reads; the line of the
// declaration is kept for the report either way.
void ReadCount(CSKeywordFile *file, int32_t max, std::optional<int32_t> *count, int *line)
{
    int32_t value{};
    if (file->Int(&value, 0, max)) {
        *count = value;
    }
    *line = file->LineNumber();
}

// The lines of one State block, after its "{" up to its "}". A block
// broken by another block's start leaves that line current.
BlockEnd ReadStateBlock(CSKeywordFile *file, FsfState *state, bool *hasId, int *problems)
{
    std::optional<int32_t> weaponCount;
    std::optional<int32_t> transitionCount;
    int countLine[2]{};
    while (file->NextLine()) {
        if (file->IsBlockClose()) {
            if (weaponCount && *weaponCount != static_cast<int32_t>(state->weaponIds.size())) {
                DebugPrint("%s:%d: NumOfWeapon: %d, but %zu WeaponID lines follow; the lines are kept\n",
                           file->Name(), countLine[0], *weaponCount, state->weaponIds.size());
                ++*problems;
            }
            if (transitionCount && *transitionCount != static_cast<int32_t>(state->transitions.size())) {
                DebugPrint("%s:%d: TransitionNum: %d, but %zu Transition lines follow; the lines are kept\n",
                           file->Name(), countLine[1], *transitionCount, state->transitions.size());
                ++*problems;
            }
            return kBlockClosed;
        }
        if (file->KeyIs("StateID:")) {
            *hasId = file->Int(&state->id, 0, kMaxStates - 1) || *hasId;
        } else if (file->KeyIs("Speed:")) {
            file->Float(&state->speed);
        } else if (file->KeyIs("Acceleration:")) {
            file->Float(&state->acceleration);
        } else if (file->KeyIs("IsHurt:")) {
            file->Int(&state->isHurt);
        } else if (file->KeyIs("IsGRAB:")) {
            file->Int(&state->isGrab);
        } else if (file->KeyIs("AttackValue:")) {
            file->Int(&state->attackValue);
        } else if (file->KeyIs("AttackAttribute:")) {
            file->Int(&state->attackAttribute);
        } else if (file->KeyIs("NumOfWeapon:")) {
            ReadCount(file, kMaxWeapons, &weaponCount, &countLine[0]);
        } else if (file->KeyIs("WeaponID:")) {
            int32_t id{};
            if (static_cast<int32_t>(state->weaponIds.size()) >= kMaxWeapons) {
                file->Report("more than %d weapons; the line is dropped", kMaxWeapons);
            } else if (file->Int(&id)) {
                state->weaponIds.push_back(id);
            }
        } else if (file->KeyIs("TransitionNum:")) {
            ReadCount(file, kMaxTransitions, &transitionCount, &countLine[1]);
        } else if (file->KeyIs("Transition:")) {
            FsfTransition t;
            if (static_cast<int32_t>(state->transitions.size()) >= kMaxTransitions) {
                file->Report("more than %d transitions; the line is dropped", kMaxTransitions);
            } else if (ReadTransition(file, &t)) {
                state->transitions.push_back(t);
            }
        } else if (file->IsBlockOpen() || file->KeyIs("State")) {
            file->Report("the State block before has no closing '}'");
            return kBlockInterrupted;
        }
    }
    DebugPrint("%s: the State block of line %d has no closing '}'\n", file->Name(), state->line);
    return kBlockAtEnd;
}

}  // namespace

int ReadFsf(CSKeywordFile *file, CFSF *out)
{
    *out = CFSF();
    const int problemsBefore = file->ProblemCount();
    int extraProblems = 0;
    int32_t declared = -1;
    int declaredLine = 0;
    bool more = file->NextLine();
    while (more) {
        // `continue` below looks at the current line again.
        if (file->KeyIs("StateNum:")) {
            file->Int(&declared, 0, kMaxStates);
            declaredLine = file->LineNumber();
        } else if (file->KeyIs("State")) {
            FsfState state;
            state.line = file->LineNumber();
            if (!file->NextLine()) {
                DebugPrint("%s:%d: State: the file ends before its '{'\n", file->Name(), state.line);
                ++extraProblems;
                break;
            }
            if (!file->IsBlockOpen()) {
                file->Report("expected '{' after State");
                continue;  // look at this line again
            }
            bool hasId = false;
            const BlockEnd end = ReadStateBlock(file, &state, &hasId, &extraProblems);
            if (!hasId) {
                DebugPrint("%s:%d: State: the block has no StateID; it is dropped\n", file->Name(), state.line);
                ++extraProblems;
            } else if (!out->AddState(state)) {
                DebugPrint("%s:%d: State: StateID %d is already defined; the block is dropped\n", file->Name(),
                           state.line, state.id);
                ++extraProblems;
            }
            if (end == kBlockAtEnd) {
                ++extraProblems;
                break;
            }
            if (end == kBlockInterrupted) {
                continue;  // the line that broke the block starts the next
            }
        }
        more = file->NextLine();
    }
    if (declared >= 0 && declared != out->StateCount()) {
        DebugPrint("%s:%d: StateNum: %d, but %d states were read; the states read are kept\n", file->Name(),
                   declaredLine, declared, out->StateCount());
        ++extraProblems;
    }
    extraProblems += out->DropDanglingTransitions([file](const FsfState &state, const FsfTransition &t) {
        DebugPrint("%s:%d: Transition: state %d on input %d leads to state %d, which the file does not have; "
                   "it is dropped\n",
                   file->Name(), t.line, state.id, t.input, t.output);
    });
    return file->ProblemCount() - problemsBefore + extraProblems;
}

bool LoadTemplateFsf(const char *path, CFSF *out)
{
    CSKeywordFile file;
    if (!file.Open(path, CSKeywordFile::kNarrow, true)) {
        *out = CFSF();
        return false;
    }
    ReadFsf(&file, out);
    if (out->StateCount() == 0) {
        // The file is there: the report names what is wrong with it rather
        // than calling it missing.
        NoteUnreadableFile(path, "the state machine has no state");
        RaiseFatalError(path);
        return false;
    }
    return true;
}

std::string FormatFsf(const CFSF &fsf)
{
    std::string text;
    char line[160];
    std::snprintf(line, sizeof(line), "StateNum: %d\n", fsf.StateCount());
    text += line;
    for (const FsfState &s : fsf.States()) {
        std::snprintf(line, sizeof(line),
                      "State\n{\nStateID: %d\nSpeed: %.9g\nAcceleration: %.9g\nIsHurt: %d\nIsGRAB: %d\n"
                      "AttackValue: %d\nAttackAttribute: %d\n",
                      s.id, static_cast<double>(s.speed), static_cast<double>(s.acceleration), s.isHurt, s.isGrab,
                      s.attackValue, s.attackAttribute);
        text += line;
        std::snprintf(line, sizeof(line), "NumOfWeapon: %zu\n", s.weaponIds.size());
        text += line;
        for (int32_t id : s.weaponIds) {
            std::snprintf(line, sizeof(line), "WeaponID: %d\n", id);
            text += line;
        }
        std::snprintf(line, sizeof(line), "TransitionNum: %zu\n", s.transitions.size());
        text += line;
        for (const FsfTransition &t : s.transitions) {
            std::snprintf(line, sizeof(line), "Transition: %d, %d, %d, %.9g\n", t.input, t.output, t.isDirChange,
                          static_cast<double>(t.blend));
            text += line;
        }
        text += "}\n";
    }
    return text;
}
