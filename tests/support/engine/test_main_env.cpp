// Shared test-support helpers: locations of the source and build trees.
#include <string>
namespace rwtest {
std::string SourceDir() { return RW_TEST_SOURCE_DIR; }
std::string BinaryDir() { return RW_TEST_BINARY_DIR; }
}
