// The stage's dynamic effect slots (see stage_dyn_effects.h).
#include "fx/stage_dyn_effects.h"

void StageDynEntry::SetActive(bool on)
{
    active = on;
    for (CSXdtModel &model : models) {
        if (on) {
            model.ResetTime();
        }
        model.Show(on);
    }
}

const CSXdtModel *CSStageDynEffects::Source(const char *path)
{
    if (path == nullptr) {
        return nullptr;
    }
    for (const auto &source : sources_) {
        if (source.first == path) {
            return source.second.get();
        }
    }
    auto model = std::make_unique<CSXdtModel>();
    if (model->LoadXdt(world_, path) == nullptr) {
        model.reset();
    }
    sources_.emplace_back(path, std::move(model));
    return sources_.back().second.get();
}

int32_t CSStageDynEffects::Take(const char *xdtA, const char *xdtB)
{
    for (size_t i = 0; i < slots_.size(); ++i) {
        StageDynEntry &slot = slots_[i];
        if (slot.used) {
            continue;
        }
        slot.used = true;
        slot.active = false;
        const char *paths[2] = {xdtA, xdtB};
        for (int k = 0; k < 2; ++k) {
            const CSXdtModel *source = Source(paths[k]);
            if (source != nullptr) {
                slot.models[k].CloneFrom(source);
            }
        }
        return static_cast<int32_t>(i);
    }
    return -1;
}

StageDynEntry *CSStageDynEffects::Entry(int32_t slot)
{
    return slot >= 0 && slot < kDynEffectSlots && slots_[static_cast<size_t>(slot)].used
               ? &slots_[static_cast<size_t>(slot)]
               : nullptr;
}

void CSStageDynEffects::Place(int32_t slot, const RwV3d &position)
{
    if (StageDynEntry *entry = Entry(slot)) {
        entry->position = position;
        for (CSXdtModel &model : entry->models) {
            model.SetPosition(position);
        }
    }
}

void CSStageDynEffects::Show(int32_t slot, bool on)
{
    if (StageDynEntry *entry = Entry(slot)) {
        entry->SetActive(on);
    }
}

void CSStageDynEffects::ShowModels(int32_t slot, bool first, bool second)
{
    if (StageDynEntry *entry = Entry(slot)) {
        if (!entry->active && (first || second)) {
            entry->SetActive(true);  // rewinds
        }
        entry->active = first || second;
        entry->models[0].Show(first);
        entry->models[1].Show(second);
    }
}

void CSStageDynEffects::SetValues(int32_t slot, const float values[6])
{
    if (StageDynEntry *entry = Entry(slot); entry != nullptr && values != nullptr) {
        for (int k = 0; k < 6; ++k) {
            entry->values[k] = values[k];
        }
    }
}

void CSStageDynEffects::Free(int32_t slot)
{
    if (StageDynEntry *entry = Entry(slot)) {
        for (CSXdtModel &model : entry->models) {
            model.Release();
        }
        entry->used = false;
        entry->active = false;
        entry->position = {0.0f, 0.0f, 0.0f};
        for (float &value : entry->values) {
            value = 0.0f;
        }
        entry->middle = 0;
        entry->low = 0;
    }
}

void CSStageDynEffects::Update(float dt)
{
    for (StageDynEntry &slot : slots_) {
        if (slot.used && slot.active) {
            for (CSXdtModel &model : slot.models) {
                model.Advance(dt * 1000.0f);
            }
        }
    }
}

void CSStageDynEffects::Render()
{
    for (StageDynEntry &slot : slots_) {
        if (slot.used && slot.active) {
            for (CSXdtModel &model : slot.models) {
                model.Render();
            }
        }
    }
}

void CSStageDynEffects::Release()
{
    for (int32_t i = 0; i < kDynEffectSlots; ++i) {
        Free(i);
    }
    sources_.clear();
}

int32_t CSStageDynEffects::SlotsInUse() const
{
    int32_t n = 0;
    for (const StageDynEntry &slot : slots_) {
        n += slot.used ? 1 : 0;
    }
    return n;
}
