// The skip key: Escape pressed this tick while an in-game animation scene or an event
// movie runs finishes it through the event manager, reached through the stage manager
// (no stage or no event manager: nothing happens).
//
// `Events` is the link to the event manager (the stage manager's in the game; a
// recording fake in the tests) and provides:
//   bool HasEventManager(); int32_t AnimEventId(); int32_t MovieEventId();
//   void SkipCurrentScene();
#pragma once

#include <cstdint>

#include "input/key_codes.h"
#include "input/pad_state.h"

namespace game {

// True when the scene was asked to end.
template <class Events>
bool RunSkipKey(Events &events, const uint8_t keyStates[input::kKeyCodeCount])
{
    if (keyStates[input::kKeyEscape] != input::kPressed || !events.HasEventManager()) {
        return false;
    }
    if (events.AnimEventId() == 0 && events.MovieEventId() == 0) {
        return false;
    }
    events.SkipCurrentScene();
    return true;
}

}  // namespace game
