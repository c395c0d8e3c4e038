// The raw file reader: whole files read in large pieces straight into a
// buffer of the caller, for packs streamed from disc one 32768-byte read
// per frame and opened from memory when complete.
#pragma once

#include <cstdint>

struct RawFile;

// The file's record of a buffer sized for it: the buffer holds the file
// size rounded up to a multiple of 32768 bytes (at least 32768).
struct RawFileBuffer {
    uint8_t *buffer;
    uint32_t fileSize;
    uint32_t capacity;  // bytes of the buffer
};

inline constexpr uint32_t kRawFileBlock = 32768;

// Opens an existing file for reading (game path); null when it cannot.
RawFile *RawFileOpen(const char *path);
// Reads up to `size` bytes at the file's position; true on success (a
// read at the end gives true and 0 bytes).
bool RawFileRead(RawFile *file, void *buffer, uint32_t size, uint32_t *bytesRead);
void RawFileClose(RawFile *file);
// The file's size, or -1.
int64_t RawFileSize(RawFile *file);

// A buffer record for the open file; null when the file is larger than
// 4 GB - 32768 bytes or its size cannot be read.
RawFileBuffer *RawFileBufferCreate(RawFile *file);
// Frees the buffer and the record; null is allowed.
void RawFileBufferFree(RawFileBuffer *record);
