// Packs: a `.STR` stream (a texture dictionary, then named file records)
// with its `.LST` name list. One pack is open at a time; opening another
// closes the first. While a pack is open, zufopen and the engine's file
// reads find the pack's files in it, and its dictionary's textures sit in
// the current texture dictionary; closing the pack takes back every one of
// them that no caller holds (the others leave the dictionary and go with
// their last holder).
//
// Pack paths are given under "\PACK" and localised to the language's
// folder ("\USAPACK", ...), falling back to "\PACK" when the language's
// folder lacks the pack. A pack whose list is missing, whose list and
// records disagree or whose dictionary cannot be read is refused whole:
// nothing of it stays installed and the fatal report names the file.
#pragma once

#include <cstddef>

#include "app/rawfile.h"

// Called before every pack open; does nothing and answers false.
bool PackOpenHook();

// Writes `in` with its "\PACK" folder replaced by the language's pack folder
// into `out` (the part before "\PACK" kept). A path without a "\PACK"
// folder is copied as it is. False when the result does not fit.
bool zuLocalisePackPath(const char *in, char *out, size_t outSize);
// Localises into scratch and forgets it; no effect.
void zuTracePackPath(const char *path);

// Opens the pack whose `.STR` is `strPath` (its `.LST` beside it). False,
// after the report, when it is refused.
bool zuOpenPack(const char *strPath);
// True when the pack's `.LST` is there, in the language's folder or in
// "\PACK" (where zuOpenPack would look); says nothing either way.
bool zuPackExists(const char *strPath);
// The same with the `.STR` bytes in `memory` (read by the raw reader); the
// `.LST` comes from disc. `memory` must stay until the pack is closed.
bool zuOpenPackMemory(const char *strPath, const RawFileBuffer *memory);
// The same, from disc (`memory` null) or from memory, for a pack the
// caller can do without: a refusal gives false after its diagnostic lines
// and raises no fatal report.
bool zuTryOpenPack(const char *strPath, const RawFileBuffer *memory);
// Closes the open pack (under the render lock); nothing when none is open.
void zuClosePack();
// Closes the pack when it is the one opened from `memory`.
void zuClosePackMemory(const RawFileBuffer *memory);

bool zuIsPackOpen();
// The `.STR` path of the open pack as it was found (localised or not), or "".
const char *zuGetOpenPackPath();
