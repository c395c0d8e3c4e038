// Scratch file names for engine tests (see scratch_path.h).
#include "support/engine/scratch_path.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace rwtest {

std::string ScratchPath(const std::string &name)
{
    // Under the process's own folder of the build's tests/ folder, which the test
    // program removes when all its tests passed: several tests leave their scratch
    // files behind, and a file beside the build's own files outlived every run.
    const std::string folder = std::string(RW_TEST_BINARY_DIR) + "/tests/scratch/" + std::to_string(getpid());
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder + "/" + name;
}

}  // namespace rwtest
