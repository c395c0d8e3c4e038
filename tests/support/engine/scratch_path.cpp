// Scratch file names for engine tests (see scratch_path.h).
#include "support/engine/scratch_path.h"

#include <unistd.h>

namespace rwtest {

std::string ScratchPath(const std::string &name)
{
    return std::string(RW_TEST_BINARY_DIR) + "/" + name + "." + std::to_string(getpid());
}

}  // namespace rwtest
