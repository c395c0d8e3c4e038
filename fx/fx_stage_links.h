// Connects the effects' links (fx_links.h) to the running game: the stage
// record, its heroes, actor chain and message pool, and the trace.
#pragma once

// Fills g_fxLinks with the game's own routines (each reads the running
// stage when it is called, so it may be connected before a stage exists).
void ConnectFxLinksToGame();
