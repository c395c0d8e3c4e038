// The stage's chain of event models (see xdt_model_chain.h).
#include "fx/xdt_model_chain.h"

#include <algorithm>

CSXdtModel *CSXdtModelChain::Add(RpWorld *world, const char *path)
{
    auto model = std::make_unique<CSXdtModel>();
    RpClump *clump = nullptr;
    if (models_.empty()) {
        clump = model->LoadXdt(world, path);
    } else {
        clump = model->CloneFrom(models_.front().get());
    }
    if (clump == nullptr) {
        return nullptr;
    }
    models_.push_back(std::move(model));
    return models_.back().get();
}

void CSXdtModelChain::Remove(CSXdtModel *model)
{
    const auto found = std::find_if(models_.begin(), models_.end(), [model](const auto &m) { return m.get() == model; });
    if (found != models_.end()) {
        models_.erase(found);
    }
}

bool CSXdtModelChain::Holds(const CSXdtModel *model) const
{
    return std::any_of(models_.begin(), models_.end(), [model](const auto &m) { return m.get() == model; });
}

void CSXdtModelChain::Render()
{
    for (const auto &model : models_) {
        model->Render();
    }
}
