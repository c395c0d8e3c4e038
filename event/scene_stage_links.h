// Fills the scenes' links (scene_links.h) from the running stage, its game
// camera, actor animation manager, sounds and items, the screens' loading
// flag, letterbox and item popup, and the shell's keep-alive.
#pragma once

void ConnectSceneLinks();
