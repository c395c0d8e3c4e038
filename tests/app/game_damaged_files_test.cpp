// End to end: damaged front-end movies and a damaged loading picture, each
// file written damaged by the test into a copy of the sample data (a tree of
// links to it, the damaged file a file of its own). A movie that cannot be
// played is named by its game path with why, and its screen ends as when a
// movie ends, on to the title; libav's own lines stay off the terminal unless
// --debug. A damaged loading picture still ends the stage load, named by its
// game path with why ("cannot read ...: ..."), a missing one as missing.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/game/trace_reader.h"
#include "tests/app/app_test_support.h"

namespace game_damaged_files_test {

namespace {

namespace fs = std::filesystem;

// The sample data as links to its files, in a scratch folder.
std::string LinkedSampleData(const std::string &name)
{
    const std::string to = apptest::ScratchFolder("damaged/" + name);
    const fs::path from = apptest::SampleData();
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(from)) {
        const fs::path there = to / entry.path().lexically_relative(from);
        if (entry.is_directory()) {
            fs::create_directories(there);
        } else {
            fs::create_symlink(entry.path(), there);
        }
    }
    return to;
}

// Puts a file of its own in place of the link at `path` (the sample file stays).
void WriteDamaged(const std::string &path, const std::vector<uint8_t> &bytes)
{
    fs::remove_all(path);
    apptest::WriteBytes(path, bytes);
}

void FolderInPlace(const std::string &path)
{
    fs::remove_all(path);
    fs::create_directories(path);
}

std::vector<uint8_t> Garbage(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>((i * 7919u + 13u) >> 3);
    }
    return bytes;
}

// The first `size` bytes of the sample data's file at `relative`.
std::vector<uint8_t> Cut(const std::string &relative, size_t size)
{
    std::vector<uint8_t> bytes = apptest::ReadBytes(apptest::SampleData() + "/" + relative);
    bytes.resize(std::min(bytes.size(), size));
    return bytes;
}

std::vector<std::string> LinesOf(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The screens switched to, in order.
std::vector<int64_t> Screens(const std::string &tracePath)
{
    std::vector<int64_t> screens;
    for (const gametest::TraceRecord &r : gametest::ReadTrace(tracePath)) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "switch") {
            screens.push_back(r.Int(1));
        }
    }
    return screens;
}

bool Root() { return geteuid() == 0; }

class GameDamagedFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
    }
};

// Through the warning screen and the three movies to the title.
constexpr const char *kFrontEnd = "--headless --mode 1 --fixed-step 16 --frames 400 --trace t.txt";
const std::vector<int64_t> kFrontEndScreens = {1, 2, 3, 4, 6, 7};

TEST_F(GameDamagedFiles, DamagedFrontEndMoviesAreNamedWithWhyAndTheGameGoesOnToTheTitle)
{
    const std::string root = LinkedSampleData("movies");
    WriteDamaged(root + "/ENGUIMV/Tarvisk.BIK", {});
    FolderInPlace(root + "/ENGUIMV/ZUNO.BIK");
    // Cut inside its stream headers: libav has lines of its own to say about it.
    WriteDamaged(root + "/ENGUIMV/OPEN.BIK", Cut("ENGUIMV/OPEN.BIK", 3000));
    std::string output;
    ASSERT_EQ(apptest::RunGame(root, kFrontEnd, &output), 0) << output;
    const std::vector<std::string> lines = LinesOf(output);
    ASSERT_EQ(lines.size(), 3u) << output;
    EXPECT_EQ(lines[0], "Cannot read \\ENGUIMV\\Tarvisk.BIK: it is empty");
    EXPECT_EQ(lines[1], "Cannot read \\ENGUIMV\\ZUNO.BIK: it is a folder");
    EXPECT_EQ(lines[2].rfind("Cannot read \\ENGUIMV\\OPEN.BIK: it ", 0), 0u) << lines[2];
    EXPECT_EQ(Screens(root + "/t.txt"), kFrontEndScreens);

    // Under --debug libav's lines come as the movie's diagnostic lines; a movie
    // of bytes that are no movie, and one that cannot be opened, are named too.
    WriteDamaged(root + "/ENGUIMV/ZUNO.BIK", Garbage(20000));
    if (!Root()) {  // the superuser reads any file
        WriteDamaged(root + "/ENGUIMV/Tarvisk.BIK", Cut("ENGUIMV/Tarvisk.BIK", 1u << 20));
        ASSERT_EQ(chmod((root + "/ENGUIMV/Tarvisk.BIK").c_str(), 0), 0);
    }
    std::string debug;
    const int status = apptest::RunGame(root, std::string(kFrontEnd) + " --debug", &debug);
    if (!Root()) {
        chmod((root + "/ENGUIMV/Tarvisk.BIK").c_str(), 0644);  // so that the scratch copy can go
    }
    ASSERT_EQ(status, 0) << debug;
    EXPECT_NE(debug.find("\nCannot read \\ENGUIMV\\ZUNO.BIK: it is not a movie\n"), std::string::npos) << debug;
    if (!Root()) {
        EXPECT_NE(debug.find("\nCannot read \\ENGUIMV\\Tarvisk.BIK: Permission denied\n"), std::string::npos) << debug;
    }
    EXPECT_NE(debug.find("\nmovie: libav: "), std::string::npos) << debug;
    for (const std::string &line : LinesOf(debug)) {
        EXPECT_NE(line.rfind("[", 0), 0u) << "libav's own line: " << line;
    }
    EXPECT_EQ(Screens(root + "/t.txt"), kFrontEndScreens);
}

TEST_F(GameDamagedFiles, ADamagedLoadingPictureEndsTheStageLoadNamingItsGamePathAndWhy)
{
    const std::string root = LinkedSampleData("loading");
    const std::string folder = root + "/RESOURCE/UITEXT/LOADING/ENG/";
    const std::string picture = "\\RESOURCE\\UITEXT\\LOADING\\ENG\\GFLOAD.BMP";
    const std::string mask = "\\RESOURCE\\UITEXT\\LOADING\\ENG\\GFLOADA.BMP";
    struct Case {
        const char *what;
        std::function<void()> damage;
        std::string said;  // the whole line, or its start when it ends in ": "
    };
    std::vector<uint8_t> huge = Cut("RESOURCE/UITEXT/LOADING/ENG/GFLOAD.BMP", 1u << 20);
    ASSERT_GT(huge.size(), 26u);
    for (size_t at : {18u, 22u}) {  // width and height
        huge[at] = 0xFF, huge[at + 1] = 0xFF, huge[at + 2] = 0xFF, huge[at + 3] = 0x7F;
    }
    const std::vector<Case> cases = {
        {"empty", [&] { WriteDamaged(folder + "GFLOAD.BMP", {}); }, "Cannot read " + picture + ": it is empty"},
        {"random", [&] { WriteDamaged(folder + "GFLOAD.BMP", Garbage(5000)); },
         "Cannot read " + picture + ": it is not a BMP picture"},
        {"folder", [&] { FolderInPlace(folder + "GFLOAD.BMP"); }, "Cannot read " + picture + ": it is a folder"},
        {"cut", [&] { WriteDamaged(folder + "GFLOAD.BMP", Cut("RESOURCE/UITEXT/LOADING/ENG/GFLOAD.BMP", 100)); },
         "Cannot read " + picture + ": "},
        {"huge", [&] { WriteDamaged(folder + "GFLOAD.BMP", huge); }, "Cannot read " + picture + ": "},
        {"mask", [&] { WriteDamaged(folder + "GFLOADA.BMP", Garbage(5000)); },
         "Cannot read " + mask + ": it is not a BMP picture"},
        {"missing", [&] { fs::remove(folder + "GFLOAD.BMP"); }, "Cannot find the file: " + picture},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        for (const char *name : {"GFLOAD.BMP", "GFLOADA.BMP"}) {
            fs::remove_all(folder + name);
            fs::create_symlink(apptest::SampleData() + "/RESOURCE/UITEXT/LOADING/ENG/" + name, folder + name);
        }
        c.damage();
        std::string output;
        EXPECT_EQ(apptest::RunGame(root, "--headless --mode 1 --fixed-step 16 --frames 2 --stage 1", &output), 1)
            << output;
        const std::vector<std::string> lines = LinesOf(output);
        ASSERT_EQ(lines.size(), 1u) << output;
        if (c.said.size() >= 2 && c.said.compare(c.said.size() - 2, 2, ": ") == 0) {
            EXPECT_EQ(lines[0].rfind(c.said, 0), 0u) << lines[0];
            EXPECT_GT(lines[0].size(), c.said.size()) << "a reason after the name";
        } else {
            EXPECT_EQ(lines[0], c.said);
        }
    }
}

}  // namespace

}  // namespace game_damaged_files_test
