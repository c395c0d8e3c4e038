// The screens' text blocks: taken from the game system's pool of 50 and
// given back when a screen or page lets them go.
#pragma once

#include "app/game_system.h"
#include "app/text_block.h"

// A block of the pool, null when none is free (or there is no game system).
inline CSTextBlock *AcquireTextBlock()
{
    return g_pGameSystem != nullptr ? g_pGameSystem->textBlocks.Acquire() : nullptr;
}

// Gives the block back to the pool and forgets it; null is allowed.
inline void GiveBackTextBlock(CSTextBlock *&block)
{
    if (block != nullptr) {
        block->Reset(0);
        block = nullptr;
    }
}
