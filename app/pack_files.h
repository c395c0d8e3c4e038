// What the file layer asks of the open pack (the pack layer answers; see
// pack.cpp). Internal to app/: callers use zufopen.
#pragma once

#include <cstddef>
#include <cstdint>

// True when a pack is open and lists `path` (by its part from "\RESOURCE"
// on); the file's bytes are then read into a new zuMalloc block (*copy,
// *size). A record that cannot be read gives false.
bool PackLookupFile(const char *path, uint8_t **copy, size_t *size);
// True when PackLookupFile(path) would find the file, without reading it:
// the pack lists `path` and its stream still holds the record's bytes.
bool PackHoldsFile(const char *path);
