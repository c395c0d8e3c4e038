// Model file names (see model_files.h).
#include "stage/model_files.h"

std::string ModelFilePath(ModelFolder folder, const char *modelId, const char *extension)
{
    const std::string id = modelId != nullptr ? modelId : "";
    return std::string("\\RESOURCE\\") + ModelFolderName(folder) + "\\" + id + "\\" + id + "." + extension;
}

bool ModelOfPlacement(const AiPlacement &placement, ModelName *model)
{
    if (placement.hasModel) {
        *model = {placement.modelFolder, placement.modelId};
        return true;
    }
    const AiTypeInfo *row = FindAiType(placement.aiType);
    if (row == nullptr) {
        return false;
    }
    *model = {row->modelFolder, row->modelId};
    return true;
}
