// The game allocator: zuMalloc and zuFree and the string pair, over the
// same memory functions the engine is started with, all under the
// allocator lock, with the bytes in use counted (the statistics overlay
// shows them). zuMalloc never returns null: memory that cannot be had ends
// the program with a message.
#pragma once

#include <cstddef>

#include "rwmemory.h"

// A block of at least `size` bytes (not cleared), aligned for any type.
void *zuMalloc(size_t size);
// Gives a block back; null is allowed and does nothing.
void zuFree(void *block);
// A copy of `text` from the allocator (null gives null); free with zuStrFree.
char *zuStrDup(const char *text);
void zuStrFree(char *text);

// Bytes handed out and not yet given back, engine and game together.
size_t zuGetBytesInUse();

// The table to hand to RwEngineInit: the engine's allocations come from the
// same counted memory under the same lock. Unlike zuMalloc these give null
// when memory runs out, so that the engine can refuse the one operation.
const RwMemoryFunctions *zuGetEngineMemoryFunctions();
