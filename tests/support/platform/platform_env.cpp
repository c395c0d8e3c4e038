// Shared platform-test helpers: locations of the source and build trees.
#include <string>
namespace rwtest {
std::string PlatformSourceDir() { return RW_TEST_SOURCE_DIR; }
}
