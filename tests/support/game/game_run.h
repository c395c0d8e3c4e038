// The game itself, headless, on a copy of the sample data: one run under
// scripted arguments and the trace it wrote.
#pragma once

#include <string>
#include <vector>

#include "support/game/trace_reader.h"

namespace gametest {

// Runs the game in a scratch copy of the sample data named after `name`
// with "--headless --mode 1 --fixed-step 16 --trace t.txt" and `arguments`,
// on the dummy audio driver, expecting status 0; the trace it wrote. The
// copy goes once the test has had no failure (else it stays to be looked at).
std::vector<TraceRecord> RunSampleGame(const std::string &name, const std::string &arguments);

// The same on a tree that links the sample data's folders (nothing is
// copied), with the input script `script` written beside the trace; for
// runs that write nothing into the data (no saves, no tuning files).
std::vector<TraceRecord> RunLinkedSampleGame(const std::string &name, const std::string &arguments,
                                             const std::string &script);

}  // namespace gametest
