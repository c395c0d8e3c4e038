// A device for running the engine where nothing is drawn: the maker only
// builds objects and writes streams, so every request simply succeeds.
#pragma once

#include "rwcore.h"

namespace mkdata {

// Installs the null device as the engine's driver (before RwEngineInit).
void InstallNullDevice();

// Init with `attach` run between init and open, then open and start;
// false (with everything undone) at the first failure.
bool StartEngine(bool (*attach)());
void StopEngine();

}  // namespace mkdata
