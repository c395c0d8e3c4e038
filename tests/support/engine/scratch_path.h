// Scratch file names for engine tests, unique per process so the suite can
// run beside its own second run (free lists off) without sharing files. They
// lie in a folder of the process's own, removed when the test program passed.
#pragma once

#include <string>

namespace rwtest {

std::string ScratchPath(const std::string &name);

}  // namespace rwtest
