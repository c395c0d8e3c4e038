// A state machine file of the sample data tree, read as the game reads it
// (the tree made the data root for the read only).
#pragma once

#include <string>

#include "actor/fsf.h"

namespace gametest {

// Reads `path` ("\\RESOURCE\\TRAP\\1510000\\1510000.FSF") of the sample
// tree; `problems` (when given) takes the reader's count of bad lines.
// A file that does not open fails the running test and gives an empty
// machine.
CFSF ReadSampleStateMachine(const std::string &path, int *problems = nullptr);

// The same for the file named after its folder: `<folder>\<name>\<name>.FSF`.
CFSF ReadSampleStateMachine(const std::string &folder, const std::string &name, int *problems = nullptr);

}  // namespace gametest
