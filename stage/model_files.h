// Where a model's files live: \RESOURCE\<folder>\<id>\<id>.DFF with its
// animation (.ANM), motion table (.AMF) and parameters (.PAF) beside it;
// which model a placed actor wears (its placement's `Model:`, else its AI
// type's row of the AI-type table).
#pragma once

#include <cstdint>
#include <string>

#include "actor/ai_type_table.h"
#include "stage/ai_placement.h"

// "\RESOURCE\MONSTER\1200000\1200000.DFF" for (kMonster, "1200000", "DFF").
std::string ModelFilePath(ModelFolder folder, const char *modelId, const char *extension);

struct ModelName {
    ModelFolder folder = ModelFolder::kMonster;
    std::string id;
};

// The model of a placed actor; false for an AI type the table does not
// know and no `Model:` of its own.
bool ModelOfPlacement(const AiPlacement &placement, ModelName *model);
