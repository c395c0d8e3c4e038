// Fills the events' links (event_links.h) that the actor core and the
// trace serve: the heroes of the running stage's hero list (their player
// index is their place in the list, which is in player order), the actor
// chain with each actor's event group, removed and busy flags and pose,
// and the run's trace. The stage side's own links (the stage change, the
// effect set, the vines, the boss gauge) join when those parts connect.
#pragma once

void ConnectEventActorLinks();
// The stage change: a request to the running stage (g_pStageManager).
void ConnectEventStageChange();
// The game camera's saved matrix, its timed move and the stage's camera
// mode, for the dialogues' turn to the NPC and back.
void ConnectEventCamera();
// The stage's members the hazards drive (particles, node and clump
// animations, material animations, the world, the water models' chain),
// the main camera's view test, the clump draws, sounds, music, items, the
// scene-effect flag, the item popup (through the screens' calls) and the
// application's movie player.
void ConnectEventStageMembers();
