// The test sources themselves: each test folder is compiled in unity batches (one
// source including the next), so a file-local helper of one test file would meet the
// same name in another file of its batch, colliding or silently taking the other's
// overload. Every test file therefore keeps all its code in a namespace named after
// the file, and no two test files of one folder share a name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace test_sources_test {

namespace {

namespace fs = std::filesystem;

// The lines of `path` that hold code: neither blank, nor a comment line, nor a
// preprocessor line.
std::vector<std::string> CodeLines(const fs::path &path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        const size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos || line[0] == '#' || line.compare(start, 2, "//") == 0) {
            continue;
        }
        lines.push_back(line);
    }
    return lines;
}

// Every test file of the unity-built test folders (the fuzz targets build one file each).
std::vector<fs::path> TestFiles()
{
    std::vector<fs::path> files;
    const fs::path root = fs::path(RW_TEST_SOURCE_DIR) / "tests";
    for (const auto &entry : fs::recursive_directory_iterator(root)) {
        const fs::path &path = entry.path();
        const std::string name = path.filename().string();
        const std::string folder = fs::relative(path, root).begin()->string();
        if (entry.is_regular_file() && folder != "fuzz" && name.size() > 9 &&
            name.compare(name.size() - 9, 9, "_test.cpp") == 0) {
            files.push_back(path);
        }
    }
    return files;
}

TEST(TestSources, EveryTestFileKeepsItsCodeInANamespaceNamedAfterIt)
{
    const std::vector<fs::path> files = TestFiles();
    ASSERT_GT(files.size(), 300u);
    for (const fs::path &path : files) {
        const std::string stem = path.stem().string();
        const std::vector<std::string> code = CodeLines(path);
        ASSERT_FALSE(code.empty()) << path;
        EXPECT_EQ(code.front(), "namespace " + stem + " {") << path << ": its first code line";
        EXPECT_EQ(code.back(), "}  // namespace " + stem) << path << ": its last code line";
    }
}

TEST(TestSources, NoTwoTestFilesOfOneFolderShareAName)
{
    const fs::path root = fs::path(RW_TEST_SOURCE_DIR) / "tests";
    std::map<std::string, fs::path> seen;  // folder/stem -> file
    for (const fs::path &path : TestFiles()) {
        const std::string key = fs::relative(path, root).begin()->string() + "/" + path.stem().string();
        const auto [at, added] = seen.emplace(key, path);
        EXPECT_TRUE(added) << path << " and " << at->second << " would share a namespace in one batch";
    }
}

}  // namespace

}  // namespace test_sources_test
