// Blocks the event kinds own: cleared arrays of the game allocator, given
// back with the pointer cleared, so a release that runs twice (or on a
// record whose load never ran) frees nothing twice.
#pragma once

#include <cstddef>
#include <cstring>

#include "app/memory.h"

template <class T>
T *NewEventBlock(size_t count)
{
    if (count == 0) {
        return nullptr;
    }
    T *block = static_cast<T *>(zuMalloc(sizeof(T) * count));
    std::memset(static_cast<void *>(block), 0, sizeof(T) * count);
    return block;
}

template <class T>
void FreeEventBlock(T *&block)
{
    zuFree(block);
    block = nullptr;
}
