// Kept logs (see kept_log.h).
#include "support/game/kept_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace gametest {

void ExpectSameAsKeptLog(const std::vector<std::string> &log, const std::string &keptPath)
{
    if (std::getenv("RW_RECORD_FIGHT_LOGS") != nullptr) {
        std::ofstream out(keptPath);
        for (const std::string &line : log) {
            out << line << '\n';
        }
        ADD_FAILURE() << "written " << keptPath << ": read it over before keeping it";
        return;
    }
    std::ifstream in(keptPath);
    ASSERT_TRUE(in.good()) << keptPath << " is missing (RW_RECORD_FIGHT_LOGS=1 writes it)";
    std::vector<std::string> kept;
    for (std::string line; std::getline(in, line);) {
        kept.push_back(line);
    }
    for (size_t i = 0; i < std::max(log.size(), kept.size()); ++i) {
        const std::string got = i < log.size() ? log[i] : "(the run's log ends)";
        const std::string want = i < kept.size() ? kept[i] : "(the kept log ends)";
        if (got != want) {
            ADD_FAILURE() << keptPath << " line " << i + 1 << " differs\n  kept: " << want << "\n  now:  " << got;
            return;
        }
    }
}

}  // namespace gametest
