// The AI-type table: one row per AI type the game knows, in rising type
// order, with what each part of the game needs to know of the type. The
// model columns say where the type's model, animation and parameter files
// live: \RESOURCE\<folder>\<id>\<id>.DFF and its siblings. A placement may
// name another model with its `Model:` key.
//
// Further columns (behaviour) are added beside the model columns; rows name
// their values by field, so a new column with a default leaves the
// existing rows as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>

enum class ModelFolder : uint8_t {
    kMainChar,   // heroes, 0 and 1
    kNpc,        // 10, 100 to 118
    kMonster,    // 1000 to 1021
    kBoss,       // 1100 to 1110
    kTrap,       // 1200 to 1205
    kBreakObj,   // 10000 to 10031
};

inline constexpr const char *kModelFolderNames[] = {"MAINCHAR", "NPC", "MONSTER", "BOSS", "TRAP", "BREAKOBJ"};

// "MAINCHAR", "NPC", "MONSTER", "BOSS", "TRAP", "BREAKOBJ".
inline const char *ModelFolderName(ModelFolder folder)
{
    const auto index = static_cast<size_t>(folder);
    return index < std::size(kModelFolderNames) ? kModelFolderNames[index] : "";
}
// The folder named `name` (any letter case); false for another name.
bool ModelFolderFromName(const char *name, ModelFolder *folder);

struct AiTypeInfo {
    int32_t aiType = -1;
    ModelFolder modelFolder = ModelFolder::kMonster;
    const char *modelId = "";  // folder and file name under the model folder
};

// Every row, in rising type order.
std::span<const AiTypeInfo> AiTypeTable();
// The row of `aiType`, null for a type the game does not know.
const AiTypeInfo *FindAiType(int32_t aiType);
