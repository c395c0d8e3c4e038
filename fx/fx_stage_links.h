// Connects the effects' links (fx_links.h) to the running game: the stage
// record, its heroes, actor chain and message pool, and the trace.
#pragma once

// Fills g_fxLinks with the game's own routines (each reads the running
// stage when it is called, so it may be connected before a stage exists).
void ConnectFxLinksToGame();

// Fills the events' effect links (event_links.h): the bridge's dynamic
// effect slots (piece kind k shows \RESOURCE\FX\XDT\<k>.XDT on both models
// of a slot) and the vine pool of the general-effects manager.
void ConnectEventEffectLinks();
