// The kinds whose behaviour is built with their own parts of the event
// system: their classes with the fields that the set-up and the per-event
// load fill from the id table's presets, and the few operations the
// manager calls on them. Each kind's own code moves its class into a file
// of its own and grows it there.
#pragma once

#include <cstdint>

#include "event/event_record.h"
#include "event/ingame_anm_event.h"
