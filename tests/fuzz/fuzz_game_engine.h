// Engine start-up for the fuzz targets of the model, world, animation and
// texture-dictionary readers: the engine as the game starts it (our Direct3D 8
// driver in a memory-only window, every plug-in the game attaches, in its
// order), so each reader runs with all the plug-in stream data it can meet.
// Also the read-write-read step every target takes a parsed object through.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/plugins.h"
#include "rtbmp.h"
#include "rwcore.h"
#include "win/window.h"

namespace fuzzgame {

// Starts the engine once for the whole run; false when it could not start.
inline bool Started()
{
    static const bool started = [] {
        win::SetDesktopSizeOverride(1280, 1024);
        win::WindowDesc desc;
        desc.title = "fuzz";
        desc.clientWidth = 64;
        desc.clientHeight = 64;
        desc.backend = win::Backend::Headless;
        HWND window = win::CreatePlatformWindow(desc);
        if (window == nullptr) {
            return false;
        }
        RwD3D8DriverInstall();
        if (!RwEngineInit(nullptr, 0, 1 << 20) || !game::AttachPlugins()) {
            return false;
        }
        RwEngineOpenParams params{window};
        if (!RwEngineOpen(&params) || !RwEngineSetSubSystem(RwEngineGetCurrentSubSystem()) ||
            !RwEngineSetVideoMode(RwEngineGetCurrentVideoMode()) || !RwEngineStart()) {
            return false;
        }
        // Texture names resolve nowhere, so every texture is a missing one.
        RwImageRegisterFormat("bmp", RtBmpRead, nullptr);
        RwImageSetPath("/nonexistent/");
        return true;
    }();
    return started;
}

// A read stream over `size` bytes (null for none).
inline RwStream *OpenInput(const uint8_t *data, size_t size, RwMemoryDescriptor *desc)
{
    if (size == 0 || size > 0xFFFFFFFFu) {
        return nullptr;
    }
    desc->start = const_cast<RwUInt8 *>(data);
    desc->length = static_cast<RwUInt32>(size);
    return RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, desc);
}

// Finds the first chunk of `type` and runs `read` inside its bounds.
template <typename T, typename Read>
T *ReadChunk(RwStream *stream, RwUInt32 type, Read read)
{
    RwUInt32 length = 0;
    if (!RwStreamFindChunk(stream, type, &length, nullptr)) {
        return nullptr;
    }
    const RwUInt64 saved = RwStreamEnterChunk(stream, length);
    T *object = read(stream);
    RwStreamLeaveChunk(stream, saved);
    return object;
}

enum class Outcome {
    Refused,          // the input did not read
    Read,             // it read, and what the engine wrote of it read again
    WrittenUnreadable // the engine wrote what it cannot read back: a fault
};

// Reads an object of chunk `type` from the input; when it reads, writes it
// with `write`, reads the written bytes again and destroys both. The error
// slot is emptied.
template <typename T, typename Read, typename Write, typename Destroy>
Outcome ReadWriteRead(const uint8_t *data, size_t size, RwUInt32 type, Read read, Write write, Destroy destroy)
{
    Outcome outcome = Outcome::Refused;
    RwMemoryDescriptor desc;
    RwStream *stream = OpenInput(data, size, &desc);
    if (stream == nullptr) {
        return outcome;
    }
    T *object = ReadChunk<T>(stream, type, read);
    RwStreamClose(stream, nullptr);
    if (object != nullptr) {
        RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
        RwMemoryDescriptor written{nullptr, 0};
        const bool wrote = out != nullptr && write(object, out);
        if (out != nullptr) {
            RwStreamClose(out, &written);
        }
        outcome = Outcome::Read;
        if (wrote) {
            RwStream *again = OpenInput(written.start, written.length, &desc);
            T *copy = again != nullptr ? ReadChunk<T>(again, type, read) : nullptr;
            if (again != nullptr) {
                RwStreamClose(again, nullptr);
            }
            if (copy == nullptr) {
                outcome = Outcome::WrittenUnreadable;
            } else {
                destroy(copy);
            }
        }
        RwFree(written.start);
        destroy(object);
    }
    RwError error;
    RwErrorGet(&error);
    return outcome;
}

// What a fuzz target does with an outcome: a written file the engine cannot
// read back is a finding.
inline void Check(Outcome outcome)
{
    if (outcome == Outcome::WrittenUnreadable) {
        __builtin_trap();
    }
}

}  // namespace fuzzgame
