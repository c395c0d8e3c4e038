// CSXdtModelChain: the stage's chain of texture-animated event models (the
// water's). The first model is loaded from its descriptor; every further
// one is a copy of the first. A model's owner removes it (freed, out of
// the chain); the stage release frees what is left.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "fx/xdt_model.h"

class CSXdtModelChain {
public:
    CSXdtModelChain() = default;
    CSXdtModelChain(const CSXdtModelChain &) = delete;
    CSXdtModelChain &operator=(const CSXdtModelChain &) = delete;
    ~CSXdtModelChain() { Release(); }

    // The chain's first model loaded from `path`, or, once the chain holds
    // one, a copy of the first; null when it cannot be had.
    CSXdtModel *Add(RpWorld *world, const char *path);
    // Frees the model and takes it out of the chain; nothing for a model
    // the chain does not hold.
    void Remove(CSXdtModel *model);
    void Release() { models_.clear(); }
    // Draws every model that is shown.
    void Render();
    int32_t Count() const { return static_cast<int32_t>(models_.size()); }
    bool Holds(const CSXdtModel *model) const;

private:
    std::vector<std::unique_ptr<CSXdtModel>> models_;
};
