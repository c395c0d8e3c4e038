// The toxic gas vents of stages 18 and 20: an event model whose frames
// with user data are gas outlets puffs particle gas from its outlets one
// after another in a repeating chain (two chains side by side for six
// outlets); for a window of seconds after a puff begins, heroes standing
// in the event's area are hurt, each at most once per 0.5 s of its own
// timer. The gas runs only while the model is in view.
//
// Param as decimal digits AAABBBCCC, from 1000000 up: AAA tenths of a
// second between the outlets of a chain, BBB tenths of a second of the
// hurt window, CCC the damage; below 1000000: 0.5 s, 3.0 s and 1.
#pragma once

#include <cstdint>

#include "event/event_record.h"

class CSParticleSystem;
struct RwFrame;

inline constexpr int32_t kGasMaxOutlets = 6;
inline constexpr float kGasHurtEvery = 0.5f;
inline constexpr int32_t kGasSound = 6500220;

struct GasOutlets {
    int32_t count;
    RwFrame *frames[kGasMaxOutlets];  // null: no such frame on the model
    uint8_t started[kGasMaxOutlets];
    RwV3d centre;  // the model's bounding sphere
    float radius;
};

class CSToxicGasEvent : public EventRecord {
public:
    float ChainTimer;
    float ChainTimer2;
    float CycleTimer;
    uint8_t Emitting;  // a puff is under way
    float HurtTimer;
    float PlayerTimers[kEventPlayers];
    GasOutlets *Outlets;                          // owned
    CSParticleSystem **Systems1;                  // owned, one per outlet
    CSParticleSystem **Systems2;                  // owned when there is a second file
    char *File1;                                  // owned
    char *File2;                                  // owned, may be null
    float StartInterval;
    float HurtWindow;
    int32_t Damage;
    int8_t ViewTraced;  // in view at the last check, as traced (-1 none yet)

    // The per-event load: the model, its outlets, the timing from Param.
    void LoadParticles(int32_t outletCount, const char *first, const char *second);
    // Runs the gas; true while the hurt window is open.
    uint8_t Check(float dt);
    // Hurts the heroes standing in the area, then ends.
    void Update(float dt);
    // The gas sound once per window.
    void Step(float dt);
    void Release();

private:
    void GiveBackSystems();
    void StartOutlet(int32_t outlet);
    void StepChain(int32_t first, int32_t last, float *timer, float dt);
};
