// Linked into every test program: when all of a program's tests passed, the
// scratch folders it made under the build's tests/ folder (named by its
// process id) are removed at the end. Each test case runs in a process of its
// own and many copy the sample data, so without this a full run leaves
// gigabytes behind; a failed run keeps its folders for inspection.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

class ScratchCleanup : public ::testing::Environment {
public:
    void TearDown() override
    {
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
