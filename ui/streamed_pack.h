// A page pack read from disc in the background: its `.STR` stream comes in
// one 32768-byte read per step into a buffer sized for the file, and when
// the whole file is in, the pack is opened from that memory (its `.LST`
// from disc). The pause menu streams MAPBASE this way and the status page
// its hero's pack.
//
// A stream that cannot be opened, a read that fails or brings nothing
// before the end, or an empty file gives the stream up with one debug line:
// the page goes on without its pictures, and finishing at once never waits
// on it.
#pragma once

#include <cstdint>
#include <string>

struct RawFile;
struct RawFileBuffer;

class StreamedPack {
public:
    enum class State : uint8_t {
        idle,       // nothing started
        streaming,  // reading (opened or about to open)
        ready,      // the whole stream is in memory
        failed,     // given up for this start
    };

    StreamedPack() = default;
    ~StreamedPack() { Reset(); }
    StreamedPack(const StreamedPack &) = delete;
    StreamedPack &operator=(const StreamedPack &) = delete;

    // Starts reading the pack whose `.STR` is `strPath` (a full game path
    // under "\PACK", localised as every pack path); what was read before is
    // dropped.
    void Start(const std::string &strPath);
    // One step: the open, or one read. Nothing unless streaming.
    void Step();
    // Steps until the stream is ready or given up.
    void Finish();
    // Opens the pack from the memory once ready; false (nothing open) else
    // or when the pack is refused. Close with ClosePack, then Reset.
    bool OpenPack();
    void ClosePack();
    // Closes the file and frees the buffer; back to idle.
    void Reset();

    State GetState() const { return state_; }
    bool Streaming() const { return state_ == State::streaming; }
    bool Ready() const { return state_ == State::ready; }
    bool Failed() const { return state_ == State::failed; }
    uint32_t BytesRead() const { return cursor_; }
    bool FileOpen() const { return file_ != nullptr; }
    const RawFileBuffer *Memory() const { return buffer_; }

private:
    void GiveUp(const char *why);
    void CloseFile();

    State state_ = State::idle;
    std::string strPath_;
    RawFile *file_ = nullptr;
    RawFileBuffer *buffer_ = nullptr;
    uint32_t cursor_ = 0;
};
