// CSXdtEffectPool: 32 texture-animated entries that show dropped items and
// small effects. An item id shows \RESOURCE\ITEM\XDT\<id>.XDT, an effect id
// \RESOURCE\FX\XDT\<id>.XDT, and an id with neither the generic drop
// (\RESOURCE\ITEM\XDT\DROP.XDT). A spawned entry plays sound 6300360 and
// springs up from its place at 50.0 units a second, falls back, and then
// lies there until it ends (an effect: its play count; a drop: a hero picks
// it up, or 30 seconds pass). The heroes' pick-up reads each entry's id,
// position and state.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "fx/xdt_model.h"

constexpr int32_t kXdtPoolSize = 32;
constexpr int32_t kXdtDropSound = 6300360;
constexpr float kXdtSpringSpeed = 50.0f;
constexpr float kXdtGravity = 98.0f;
constexpr float kXdtDropLifetime = 30.0f;

enum XdtEntryState : int32_t {
    kXdtFree = 0,
    kXdtSpringing = 1,  // in the air
    kXdtResting = 2,    // on its place; a drop can be picked up
};

enum XdtEntryKind : int32_t {
    kXdtItem = 0,
    kXdtEffect = 1,
    kXdtGenericDrop = 2,
};

struct XdtEffectEntry {
    int32_t id = 0;
    int32_t kind = kXdtItem;
    int32_t mode = 0;  // 0 a forced drop, 1 a rolled drop
    int32_t state = kXdtFree;
    RwV3d position = {0.0f, 0.0f, 0.0f};  // where it lies (its spring starts here)
    float height = 0.0f;                  // above the position while springing
    float speed = 0.0f;
    float age = 0.0f;
    CSXdtModel model;
};

class CSXdtEffectPool {
public:
    CSXdtEffectPool();
    ~CSXdtEffectPool() { Release(); }

    void SetWorld(RpWorld *world) { world_ = world; }
    // A free entry showing the id at `position`, or null when none is free
    // or nothing can be shown for the id.
    XdtEffectEntry *Spawn(int32_t id, const RwV3d &position, int32_t mode);
    // Frees an entry (a hero picked the drop up).
    void Take(XdtEffectEntry *entry);
    void Update(float dt);
    void Render();
    void Release();

    int32_t EntryCount() const { return kXdtPoolSize; }
    XdtEffectEntry *Entry(int32_t index);
    int32_t EntriesInUse() const;

private:
    struct Source {
        int32_t id;
        int32_t kind;
        std::unique_ptr<CSXdtModel> model;
    };
    const Source *SourceFor(int32_t id);

    std::vector<XdtEffectEntry> entries_;
    std::vector<Source> sources_;
    RpWorld *world_ = nullptr;
};
