// Kept logs: a run's log (one line a record) compared with the copy kept in
// the source tree, so that any change of what a run does fails its test at
// the first line that differs. RW_RECORD_FIGHT_LOGS=1 in the environment
// writes the logs instead, to be read over before they are kept.
#pragma once

#include <string>
#include <vector>

namespace gametest {

// Fails the test where `log` differs from the kept log `keptPath` (one line
// each), naming the first line that differs. With RW_RECORD_FIGHT_LOGS set
// the log is written there instead, to be read over before it is kept.
void ExpectSameAsKeptLog(const std::vector<std::string> &log, const std::string &keptPath);

}  // namespace gametest
