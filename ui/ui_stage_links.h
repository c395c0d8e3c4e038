// Connects the screen manager to the stage, the effects and the events
// (see ui_stage_links.cpp); the game system does it when it makes the
// manager and undoes it before freeing it.
#pragma once

void InstallScreenLinks();
void RemoveScreenLinks();
