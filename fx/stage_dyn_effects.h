// CSStageDynEffects: the stage's dynamic effect slots, each with two
// texture-animated models (loaded once per descriptor, copied per slot).
// A free slot is taken (its index, or -1 when none is free), placed, shown
// or hidden, given six values that its user keeps there (the bridge's) and
// released again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fx/xdt_model.h"

// Room for the longest bridge (19 pieces) whole: with fewer slots than a
// bridge has pieces it would never stand complete, so never be taken away
// and never end.
constexpr int32_t kDynEffectSlots = 32;

struct StageDynEntry {
    bool used = false;
    bool active = false;
    RwV3d position = {0.0f, 0.0f, 0.0f};
    float values[6] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    int32_t middle = 0;  // the bridge's Param parts, kept for it
    int32_t low = 0;
    CSXdtModel models[2];

    // Switches the slot on (its texture animations rewound and shown) or off.
    void SetActive(bool on);
};

class CSStageDynEffects {
public:
    CSStageDynEffects() : slots_(kDynEffectSlots) {}
    ~CSStageDynEffects() { Release(); }

    void SetWorld(RpWorld *world) { world_ = world; }
    // A free slot showing the two descriptors (either may be null), or -1.
    int32_t Take(const char *xdtA, const char *xdtB);
    void Place(int32_t slot, const RwV3d &position);
    void Show(int32_t slot, bool on);
    // Shows or hides each model of the slot on its own (the slot is on
    // while either shows).
    void ShowModels(int32_t slot, bool first, bool second);
    void SetValues(int32_t slot, const float values[6]);
    void Free(int32_t slot);
    StageDynEntry *Entry(int32_t slot);

    void Update(float dt);
    void Render();
    void Release();
    int32_t SlotsInUse() const;

private:
    const CSXdtModel *Source(const char *path);

    std::vector<StageDynEntry> slots_;
    std::vector<std::pair<std::string, std::unique_ptr<CSXdtModel>>> sources_;
    RpWorld *world_ = nullptr;
};
