// The switch puzzle: a star-effect event holds a sequence of switch
// numbers (the decimal digits of its Param) and a time limit; the switches
// are the stage-independent events 0 to 9, each linked to its puzzle, each
// a switch model with a number sign (models 3520801 .. 3520806 for the
// switch numbers 1 .. 6, its Param) whose material-animation tracks show
// it lit, unlit or flashing. Stepping on the switches in the sequence's
// order within the time limit solves the puzzle and switches the star
// effect on; a wrong switch starts the sequence over.
#pragma once

#include <cstdint>

#include "event/event_record.h"

class MatAnimTrackSet;

inline constexpr float kPuzzleWarningSeconds = 5.0f;
inline constexpr int32_t kFirstSignModel = 3520801;
inline constexpr int32_t kSignModels = 6;
// Where a switch's sign sits: along the switch's up axis and its facing.
inline constexpr float kSignUp = 1.0f;
inline constexpr float kSignForward = 0.5f;

// Sounds of the puzzle and its switches.
inline constexpr int32_t kPuzzleStartSound = 6500650;
inline constexpr int32_t kPuzzleSolvedSound = 6500680;
inline constexpr int32_t kSwitchRightSound = 6500660;
inline constexpr int32_t kSwitchWrongSound = 6500670;

class CSStarEffectEvent : public EventRecord {
public:
    int32_t Condition;
    float TimeLimit;
    int32_t *Sequence;     // owned: the digits of Param, most significant first
    int32_t SequenceLength;
    int32_t Progress;      // switches pressed in order so far
    float Timer;
    uint8_t TimerRunning;
    uint8_t Warning;       // the last 5 s of the time limit
    uint8_t Reset;         // the time ran out this frame
    uint8_t StartSoundDone;

    void Init() { Sequence = nullptr; }
    void Setup(int32_t condition, float timeLimit);
    // 100 always; 200 every bound actor removed; 300 every actor bound to
    // LinkEvent removed; 400 LinkEvent has ended once; 500 LinkEvent
    // running; any other code never.
    uint8_t Check(float dt);
    void Update(float dt);
    void Release();
};

class CSMatAnimEvent : public EventRecord {
public:
    MatAnimTrackSet *Tracks[2];  // owned: the switch's and the sign's
    uint8_t Pressed;
    uint8_t Lit;
    uint8_t Flashed;

    // The switch model (Label) and its number sign; the sign placed on the
    // switch; the two track sets (22, 23, 24, all off).
    void Load();
    void Release();
    uint8_t Check(float dt);
    void Update(float dt);
    void Render();

    CSStarEffectEvent *Puzzle() const;
    // The sign model's name for switch number `number`, null outside 1..6.
    static const char *SignModelName(int32_t number);

private:
    void Light();
    void Unlight();
};
