// Kept logs: a run's log (one line a record) compared with the copy kept in
// the source tree, so that any change of what a run does fails its test at
// the first line that differs. RW_RECORD_FIGHT_LOGS=1 in the environment
// writes the logs instead, to be read over before they are kept.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gametest {

// The 64-bit FNV-1a digest the kept logs' checksum lines carry.
struct LogDigest {
    uint64_t sum = 0xCBF29CE484222325ull;
    void Add(uint8_t byte) { sum = (sum ^ byte) * 0x100000001B3ull; }
    void Add(std::string_view text)
    {
        for (const char c : text) {
            Add(static_cast<uint8_t>(c));
        }
    }
};

// Fails the test where `log` differs from the kept log `keptPath` (one line
// each), naming the first line that differs. With RW_RECORD_FIGHT_LOGS set
// the log is written there instead, to be read over before it is kept.
void ExpectSameAsKeptLog(const std::vector<std::string> &log, const std::string &keptPath);

}  // namespace gametest
