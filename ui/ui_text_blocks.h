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

// Lays the text out wrapped at `wrapWidth` to measure it (where it stands
// does not matter: its owner places it after); what SetText reports.
inline TextLayout MeasureText(CSTextBlock *block, const char16_t *text, int32_t wrapWidth)
{
    TextLayout measured;
    block->SetText(&measured, text, 0, 0, wrapWidth);
    return measured;
}

// Lays the text out with every row centred on x and the block centred on y
// (null text lays out no rows).
inline void LayOutCentred(CSTextBlock *block, const char16_t *text, int32_t x, int32_t y, int32_t wrapWidth)
{
    block->SetText(nullptr, text != nullptr ? text : u"", x, y, wrapWidth);
    block->AlignX(kAlignCentre, x);
    block->AlignY(kAlignCentre, y);
}
