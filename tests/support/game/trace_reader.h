// Reads a --trace file back for tests: each line split into its tick, its
// kind and its fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gametest {

struct TraceRecord {
    uint32_t tick = 0;
    std::string kind;
    std::vector<std::string> fields;

    int64_t Int(size_t i) const;
    double Real(size_t i) const;
};

// Every line of the file; empty when it cannot be read.
std::vector<TraceRecord> ReadTrace(const std::string &path);
// The records of one kind, in file order.
std::vector<TraceRecord> RecordsOfKind(const std::vector<TraceRecord> &records, const std::string &kind);

}  // namespace gametest
