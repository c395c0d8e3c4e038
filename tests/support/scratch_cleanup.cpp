// Linked into every test program: when all of a program's tests passed, the
// scratch folders it made under the build's tests/ folder (named by its
// process id) are removed at the end. Each suite runs in a process of its
// own and many cases copy the sample data, so without this a full run leaves
// gigabytes behind; a failed run keeps its folders for inspection. A program
// that made a linked copy of the sample data first checks that no file of the
// sample data was written in place meanwhile (see support/sample_links.h).
#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "support/sample_links.h"

namespace {

struct timespec ProgramStart()
{
    struct timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

// The sample data is written before any test program starts.
const struct timespec programStart = ProgramStart();

class ScratchCleanup : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (std::getenv(rwtest::kLinkedSampleCopyVariable) != nullptr) {
            for (const std::string &file :
                 rwtest::FilesWrittenInPlaceSince(std::filesystem::path(RW_TEST_BINARY_DIR) / "data", programStart)) {
                ADD_FAILURE() << file << " of the sample data was written while the tests ran: a test or the game "
                              << "wrote into a linked copy's file in place (apptest::OwnFile first)";
            }
        }
        if (!::testing::UnitTest::GetInstance()->Passed()) {
            return;
        }
        namespace fs = std::filesystem;
        const std::string pid = std::to_string(getpid());
        std::error_code error;
        for (const fs::directory_entry &entry : fs::directory_iterator(fs::path(RW_TEST_BINARY_DIR) / "tests", error)) {
            const fs::path own = entry.path() / pid;
            if (entry.is_directory(error) && fs::is_directory(own, error)) {
                fs::remove_all(own, error);
            }
        }
    }
};

::testing::Environment *const scratchCleanup = ::testing::AddGlobalTestEnvironment(new ScratchCleanup);

}  // namespace
