// The engine plug-ins the game attaches at start-up, between engine init
// and open, in the order the game has always attached them.
#pragma once

namespace game {

// The world library, then every plug-in the game uses; false at the first
// one that fails to attach (the engine must then be terminated).
bool AttachPlugins();

}  // namespace game
