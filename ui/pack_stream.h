// A pack read from disc in the background of a screen: one 32768-byte read
// per step, so that a screen that opens takes no long stall, and the pack
// is opened from memory once every byte is in. The screens that stream
// (the lobby, its stage-select panel, the pause menu) each own one and
// step it once per update.
//
// A file that cannot be opened, and a read that fails or brings nothing
// before the end, leave the stream failed: the owner decides whether that
// is fatal (a pack it cannot do without) or whether it goes on without the
// pictures. A failed stream is never retried by itself.
#pragma once

#include <cstdint>
#include <string>

#include "app/rawfile.h"

class UIPackStream {
public:
    enum State : uint8_t {
        kIdle,      // nothing asked
        kRequested, // asked; the next step opens the file
        kReading,   // open, reading a block per step
        kComplete,  // every byte read, the file closed
        kFailed,    // could not be opened or read; the file closed
    };

    UIPackStream() = default;
    ~UIPackStream() { Close(); }
    UIPackStream(const UIPackStream &) = delete;
    UIPackStream &operator=(const UIPackStream &) = delete;

    // Asks for the pack at `path` (a game path under "\PACK", localised to
    // the language's pack folder when the file is opened). Whatever was
    // streaming before is dropped.
    void Request(const std::string &path);
    // One step: the open on the first, one block on each later one. The
    // state after the step.
    State Step();
    // Steps until the stream is complete or failed.
    State Finish();
    // Closes the file and frees the buffer; back to idle.
    void Close();

    State GetState() const { return state_; }
    // Asked and not yet complete or failed: more steps to come.
    bool InProgress() const { return state_ == kRequested || state_ == kReading; }
    bool Complete() const { return state_ == kComplete; }
    bool Failed() const { return state_ == kFailed; }
    // The pack's bytes once complete (null before).
    const RawFileBuffer *Buffer() const { return state_ == kComplete ? buffer_ : nullptr; }
    // The path as requested ("<root>\PACK\UI0\UILOBBY.STR").
    const std::string &Path() const { return path_; }
    uint32_t BytesRead() const { return bytesRead_; }

    // Opens the complete pack from memory; false when it is not complete or
    // the pack is refused. CloseOpenedPack closes it again.
    bool OpenPack() const;
    void CloseOpenedPack() const;

private:
    void Fail();

    std::string path_;
    RawFile *file_ = nullptr;
    RawFileBuffer *buffer_ = nullptr;
    uint32_t bytesRead_ = 0;
    State state_ = kIdle;
};
