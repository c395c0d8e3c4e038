// A whole run's trace made short enough to keep (see run_log.h).
#include "support/game/run_log.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include <gtest/gtest.h>

#include "support/game/kept_log.h"

namespace gametest {

namespace {

struct KindStretch {
    uint32_t first = 0;
    uint32_t last = 0;
    uint32_t lines = 0;
    LogDigest digest;
};

// The loading screen's drawings follow the real time a load takes, and so
// does their number on its "off" line (its third field).
bool IsADrawing(const TraceRecord &r)
{
    return r.kind == "loading" && !r.fields.empty() && r.fields[0] == "draw";
}

bool IsTheDrawingCount(const TraceRecord &r, size_t field)
{
    return r.kind == "loading" && field == 2 && r.fields[0] == "off";
}

}  // namespace

std::vector<std::string> RunLog(const std::vector<TraceRecord> &trace, uint32_t stretchTicks)
{
    std::vector<std::string> log;
    std::map<std::string, KindStretch> open;
    uint32_t stretch = 0;
    const auto close = [&] {
        for (const auto &[kind, s] : open) {
            char line[160];
            std::snprintf(line, sizeof(line), "%" PRIu32 "-%" PRIu32 " %s lines %" PRIu32 " %016" PRIx64, s.first,
                          s.last, kind.c_str(), s.lines, s.digest.sum);
            log.push_back(line);
        }
        open.clear();
    };
    for (const TraceRecord &r : trace) {
        if (IsADrawing(r)) {
            continue;
        }
        if (r.tick / stretchTicks != stretch) {
            close();
            stretch = r.tick / stretchTicks;
        }
        KindStretch &s = open[r.kind];
        if (s.lines == 0) {
            s.first = r.tick;
        }
        s.last = r.tick;
        ++s.lines;
        std::string text = std::to_string(r.tick);
        for (size_t i = 0; i < r.fields.size(); ++i) {
            text += ' ';
            text += IsTheDrawingCount(r, i) ? "-" : r.fields[i];
        }
        s.digest.Add(text + '\n');
    }
    close();
    return log;
}

std::vector<int16_t> ReadRecording(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

std::vector<std::string> SoundLog(const std::vector<int16_t> &stereo, size_t framesPerLine)
{
    std::vector<std::string> log;
    const size_t frames = stereo.size() / 2;
    for (size_t first = 0; first < frames; first += framesPerLine) {
        const size_t end = std::min(frames, first + framesPerLine);
        LogDigest digest;
        for (size_t i = 2 * first; i < 2 * end; ++i) {
            const uint16_t sample = static_cast<uint16_t>(stereo[i]);
            digest.Add(static_cast<uint8_t>(sample & 0xFFu));
            digest.Add(static_cast<uint8_t>(sample >> 8));
        }
        char line[96];
        std::snprintf(line, sizeof(line), "sound %zu-%zu %016" PRIx64, first, end - 1, digest.sum);
        log.push_back(line);
    }
    return log;
}

void ExpectRunAsKept(const std::vector<TraceRecord> &trace, const std::string &keptName,
                     const std::string &tracePath, const std::vector<std::string> &more)
{
    SCOPED_TRACE("the run's trace, line by line: " + tracePath);
    std::vector<std::string> log = RunLog(trace, 32);
    log.insert(log.end(), more.begin(), more.end());
    ExpectSameAsKeptLog(log, std::string(RW_TEST_SOURCE_DIR) + "/tests/" + keptName + ".txt");
}

}  // namespace gametest
