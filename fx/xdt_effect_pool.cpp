// The drop and small-effect entries (see xdt_effect_pool.h).
#include "fx/xdt_effect_pool.h"

#include <cstdio>

#include "app/file.h"
#include "fx/fx_links.h"
#include "fx/fx_trace.h"

CSXdtEffectPool::CSXdtEffectPool() : entries_(kXdtPoolSize) {}

const CSXdtEffectPool::Source *CSXdtEffectPool::SourceFor(int32_t id)
{
    for (const Source &source : sources_) {
        if (source.id == id) {
            return source.model != nullptr ? &source : nullptr;
        }
    }
    char item[96];
    char effect[96];
    std::snprintf(item, sizeof item, "\\RESOURCE\\ITEM\\XDT\\%d.XDT", id);
    std::snprintf(effect, sizeof effect, "\\RESOURCE\\FX\\XDT\\%d.XDT", id);
    Source source{id, kXdtItem, std::make_unique<CSXdtModel>()};
    const char *path = "\\RESOURCE\\ITEM\\XDT\\DROP.XDT";
    if (zufexists(item)) {
        path = item;
    } else if (zufexists(effect)) {
        path = effect;
        source.kind = kXdtEffect;
    } else {
        source.kind = kXdtGenericDrop;
    }
    if (source.model->LoadXdt(world_, path) == nullptr) {
        source.model.reset();  // remembered, so the files are not looked for again
    }
    sources_.push_back(std::move(source));
    return sources_.back().model != nullptr ? &sources_.back() : nullptr;
}

XdtEffectEntry *CSXdtEffectPool::Spawn(int32_t id, const RwV3d &position, int32_t mode)
{
    XdtEffectEntry *entry = nullptr;
    for (XdtEffectEntry &e : entries_) {
        if (e.state == kXdtFree) {
            entry = &e;
            break;
        }
    }
    const Source *source = entry != nullptr ? SourceFor(id) : nullptr;
    if (source == nullptr || entry->model.CloneFrom(source->model.get()) == nullptr) {
        return nullptr;
    }
    entry->id = id;
    entry->kind = source->kind;
    entry->mode = mode;
    entry->state = kXdtSpringing;
    entry->position = position;
    entry->height = 0.0f;
    entry->speed = kXdtSpringSpeed;
    entry->age = 0.0f;
    entry->model.SetPosition(position);
    entry->model.Show(true);
    FxPlaySound(kXdtDropSound);
    FxTraceDrop(id, position);
    return entry;
}

void CSXdtEffectPool::Take(XdtEffectEntry *entry)
{
    if (entry == nullptr || entry < entries_.data() || entry >= entries_.data() + entries_.size()) {
        return;
    }
    entry->model.Release();
    entry->state = kXdtFree;
    entry->id = 0;
}

void CSXdtEffectPool::Update(float dt)
{
    for (XdtEffectEntry &e : entries_) {
        if (e.state == kXdtFree) {
            continue;
        }
        e.age += dt;
        const bool played = e.model.Advance(dt * 1000.0f);
        if (e.state == kXdtSpringing) {
            e.speed -= kXdtGravity * dt;
            e.height += e.speed * dt;
            if (e.height <= 0.0f && e.speed < 0.0f) {
                e.height = 0.0f;
                e.state = kXdtResting;
            }
            RwV3d at = e.position;
            at.y += e.height;
            e.model.SetPosition(at);
        }
        const bool over = (e.kind == kXdtEffect && played) || e.age >= kXdtDropLifetime;
        if (over) {
            Take(&e);
        }
    }
}

void CSXdtEffectPool::Render()
{
    for (XdtEffectEntry &e : entries_) {
        if (e.state != kXdtFree) {
            e.model.Render();
        }
    }
}

void CSXdtEffectPool::Release()
{
    for (XdtEffectEntry &e : entries_) {
        Take(&e);
    }
    sources_.clear();
}

XdtEffectEntry *CSXdtEffectPool::Entry(int32_t index)
{
    return index >= 0 && index < kXdtPoolSize ? &entries_[static_cast<size_t>(index)] : nullptr;
}

int32_t CSXdtEffectPool::EntriesInUse() const
{
    int32_t n = 0;
    for (const XdtEffectEntry &e : entries_) {
        n += e.state != kXdtFree ? 1 : 0;
    }
    return n;
}
