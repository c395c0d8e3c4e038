// The copies of the sample data that the game runs use hold hard links to the
// sample data's files (apptest::CopySampleData): a test that writes into one of
// those files in place writes into the sample data itself, under every later
// test. This finds such files, so the test program can fail loudly.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace rwtest {

// Set by a test program that made a linked copy of the sample data.
constexpr const char *kLinkedSampleCopyVariable = "RW_TEST_LINKED_SAMPLE_COPY";

// The files under `folder` that were there before `since` (seconds and
// nanoseconds of the real-time clock) and were written at or after it.
inline std::vector<std::string> FilesWrittenInPlaceSince(const std::filesystem::path &folder, const struct timespec &since)
{
    namespace fs = std::filesystem;
    const auto before = [&since](const struct statx_timestamp &t) {
        return t.tv_sec < since.tv_sec || (t.tv_sec == since.tv_sec && static_cast<long>(t.tv_nsec) < since.tv_nsec);
    };
    std::vector<std::string> written;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        struct statx info;
        if (statx(AT_FDCWD, it->path().c_str(), AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_MTIME | STATX_BTIME, &info) != 0 ||
            !S_ISREG(info.stx_mode) || (info.stx_mask & STATX_BTIME) == 0) {
            continue;
        }
        if (before(info.stx_btime) && !before(info.stx_mtime)) {
            written.push_back(it->path().string());
        }
    }
    return written;
}

}  // namespace rwtest
