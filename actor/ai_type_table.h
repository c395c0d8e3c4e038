// The AI-type table: one row per AI type the game knows, in rising type
// order, with what each part of the game needs to know of the type. The
// model columns say where the type's model, animation and parameter files
// live: \RESOURCE\<folder>\<id>\<id>.DFF and its siblings. A placement may
// name another model with its `Model:` key.
//
// The behaviour columns say how an actor of the type is made, updated,
// released and has its effects restarted. Rows name their values by field,
// so a new column with a default leaves the existing rows as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <new>
#include <span>
#include <type_traits>

#include "actor/ai_object.h"

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

// Behaviour columns. The placement loader makes an actor of the type in
// `objectSize` bytes from the allocator with `construct`; the actor pass
// runs `update` once per frame (the heroes' by the stage's hero step); the
// stage release runs `release` before the memory goes; event code reaches
// `restartEffects` through AiObject::ReleaseTypeEffects. The heroes' and the
// behaviour Parts' rows fill these in; a null update, release or effect
// restart means none (the base release then serves).
typedef AiObject *(*AiConstructFn)(void *memory);
typedef void (*AiUpdateFn)(AiObject *actor, float dt);
typedef void (*AiReleaseFn)(AiObject *actor);
typedef void (*AiRestartEffectsFn)(AiObject *actor);

// Builds an actor class in place. Actor classes hold plain words (what
// they own goes back in their release), so freeing their memory needs no
// destructor.
template <typename T>
AiObject *ConstructActor(void *memory)
{
    static_assert(std::is_base_of_v<AiObject, T>, "actor classes extend AiObject");
    static_assert(std::is_trivially_destructible_v<T>, "actor classes are freed without a destructor");
    return new (memory) T();
}

struct AiTypeInfo {
    int32_t aiType = -1;
    ModelFolder modelFolder = ModelFolder::kMonster;
    const char *modelId = "";  // folder and file name under the model folder

    // A plain AiObject unless the row names its class; a null constructor
    // means the placement loader has no entry for the type.
    size_t objectSize = sizeof(AiObject);
    AiConstructFn construct = &ConstructActor<AiObject>;
    AiUpdateFn update = nullptr;
    AiReleaseFn release = nullptr;
    AiRestartEffectsFn restartEffects = nullptr;
};

// Every row, in rising type order.
std::span<const AiTypeInfo> AiTypeTable();
// The row of `aiType`, null for a type the game does not know.
const AiTypeInfo *FindAiType(int32_t aiType);

// The update the actor pass runs for `aiType` (null: none): the row's,
// unless one was put in its place with ReplaceAiTypeUpdate.
AiUpdateFn AiTypeUpdateOf(int32_t aiType);
// Puts `update` in place of the row's update of `aiType` until it is
// called again with null; for scenario tests that drive the real actor pass
// with a recording type. Returns the replacement it displaced.
AiUpdateFn ReplaceAiTypeUpdate(int32_t aiType, AiUpdateFn update);
