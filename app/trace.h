// The run's trace (test option --trace FILE): one line per record, the tick
// first, then the record's kind and its fields, separated by single spaces;
// reals with two decimals. Every module writes its own kinds through
// TraceLine, and each kind is defined once, by the module that writes it:
//
//   actor AIID type state HP x y z        every actor and hero after the actor pass
//   msg kind senderAIID targetAIID w0 w1 w2   each delivered message (no sender: -1)
//   pose AIID checksum                    with --trace-poses, each actor's pose after its actor line
//   frame checksum                        with --trace-frames, each frame shown (app/frame_trace.h)
//   hero AIID money stagemoney exp kills HP power   each hero after the actor pass
//   stage request|load|release ...        stage changes and loads (stage/stage_trace.h)
//   loading PROGRESS                      each loading-bar value of a stage load
//
// Tests read the file back and check properties of its lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace game {

// Starts the trace into `path` (created or truncated). False with a message
// when it cannot be written; a trace already open is closed first.
bool TraceOpen(const std::string &path, std::string *error);
// Flushes and ends the trace; nothing when none is open.
void TraceClose();
// Whether lines are being written: callers test it before gathering fields.
bool TraceOn();

// Whether the actors' pose lines (a checksum per actor and tick, which
// tests ask for with --trace-poses) are written too.
void TraceAskPoses(bool on);
bool TracePosesOn();

// The tick that the following lines carry (the shell sets it each tick).
void TraceSetTick(uint32_t tick);
uint32_t TraceTick();

// One record, written when it goes out of scope:
//   TraceLine("msg").Int(kind).Int(from).Int(to).Int(w0).Int(w1).Int(w2);
// Does nothing while no trace is open.
class TraceLine {
public:
    explicit TraceLine(const char *kind);
    ~TraceLine();
    TraceLine(const TraceLine &) = delete;
    TraceLine &operator=(const TraceLine &) = delete;

    TraceLine &Int(int64_t value);
    TraceLine &Real(double value);
    // One word: blanks in it become underscores so the fields stay split.
    TraceLine &Word(const char *text);

private:
    void Append(const char *text);

    char text_[480];
    size_t length_ = 0;
    bool on_ = false;
};

}  // namespace game
