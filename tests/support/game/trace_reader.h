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
// The second fields, as numbers, of the records "kind first value" in file
// order ("screen switch 11" gives 11 for ("screen", "switch")).
std::vector<int64_t> ValuesOf(const std::vector<TraceRecord> &records, const std::string &kind,
                              const std::string &first);
// Whether a record of `kind` has exactly these fields.
bool HasRecord(const std::vector<TraceRecord> &records, const std::string &kind,
               const std::vector<std::string> &fields);

}  // namespace gametest
