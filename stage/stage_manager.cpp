// The stage record's stage-data operations (see stage_manager.h).
#include "stage/stage_manager.h"

#include "actor/ai_object.h"

CSStageManager *g_pStageManager = nullptr;

CSModelTemplate *CSStageManager::FindModelTemplate(int32_t aiType) const
{
    for (const std::unique_ptr<CSModelTemplate> &candidate : modelTemplates) {
        if (candidate != nullptr && candidate->GetAiType() == aiType) {
            return candidate.get();
        }
    }
    return nullptr;
}

CSModelInstance *CSStageManager::TakeModelInstance(int32_t aiType, AiObject *owner)
{
    // An actor takes from its own template: its placement may have given it
    // another model than its type's.
    CSModelTemplate *own = owner != nullptr ? owner->modelTemplate : nullptr;
    CSModelTemplate *found = own != nullptr && own->GetAiType() == aiType ? own : FindModelTemplate(aiType);
    return found != nullptr ? found->TakeInstance(owner) : nullptr;
}

void CSStageManager::SetStageInfo(const StageInfo &info)
{
    stageInfo = info;
    for (int i = 0; i < 3; ++i) {
        thinRadius[i] = info.aiClippingRange[i];
    }
    farDistance = info.aiClippingRange[3];
    farPlane = StageFarPlane();
}
