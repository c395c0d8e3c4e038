// Reads a --trace file back for tests (see trace_reader.h).
#include "support/game/trace_reader.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace gametest {

int64_t TraceRecord::Int(size_t i) const
{
    return i < fields.size() ? std::strtoll(fields[i].c_str(), nullptr, 10) : 0;
}

double TraceRecord::Real(size_t i) const
{
    return i < fields.size() ? std::strtod(fields[i].c_str(), nullptr) : 0.0;
}

std::vector<TraceRecord> ReadTrace(const std::string &path)
{
    std::vector<TraceRecord> records;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        TraceRecord record;
        std::string tick;
        if (!(words >> tick >> record.kind)) {
            continue;
        }
        record.tick = static_cast<uint32_t>(std::strtoul(tick.c_str(), nullptr, 10));
        std::string field;
        while (words >> field) {
            record.fields.push_back(field);
        }
        records.push_back(record);
    }
    return records;
}

std::vector<TraceRecord> RecordsOfKind(const std::vector<TraceRecord> &records, const std::string &kind)
{
    std::vector<TraceRecord> out;
    for (const TraceRecord &r : records) {
        if (r.kind == kind) {
            out.push_back(r);
        }
    }
    return out;
}

std::vector<int64_t> ValuesOf(const std::vector<TraceRecord> &records, const std::string &kind,
                              const std::string &first)
{
    std::vector<int64_t> values;
    for (const TraceRecord &r : records) {
        if (r.kind == kind && r.fields.size() == 2 && r.fields[0] == first) {
            values.push_back(r.Int(1));
        }
    }
    return values;
}

bool HasRecord(const std::vector<TraceRecord> &records, const std::string &kind,
               const std::vector<std::string> &fields)
{
    for (const TraceRecord &r : records) {
        if (r.kind == kind && r.fields == fields) {
            return true;
        }
    }
    return false;
}

}  // namespace gametest
