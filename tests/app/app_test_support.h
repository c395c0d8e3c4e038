// Shared by the shell's tests: scratch data roots, files written into them,
// a recorder standing in for the fatal report, and the game's own engine
// start-up on a headless window.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/engine_startup.h"
#include "app/fatal.h"
#include "app/pack.h"
#include "app/path.h"
#include "support/engine/headless_driver.h"
#include "support/sample_links.h"

namespace apptest {

inline std::string SampleData() { return RW_TEST_BINARY_DIR "/data"; }
inline bool HaveSampleData() { return std::filesystem::exists(SampleData() + "/PACK/STAGE1/2010000.STR"); }

// An empty folder of this process (left for inspection after a failure).
inline std::string ScratchFolder(const std::string &name)
{
    const std::string path =
        std::string(RW_TEST_BINARY_DIR) + "/tests/app_scratch/" + std::to_string(getpid()) + "/" + name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

// Makes `path`, a file of a copy of the sample data, the copy's own file: the
// copy's files are hard links to the sample data's, so a test that changes a
// file in place (resizes it, writes into it) calls this first. A file that is
// no link is left as it is.
inline void OwnFile(const std::string &path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::hard_link_count(path, error) > 1) {
        const std::string own = path + ".own";
        fs::copy_file(path, own, fs::copy_options::overwrite_existing);
        fs::rename(own, path);
    }
}

// Writes a whole file; one that was there (perhaps a link into the sample
// data) is replaced, never written into.
inline void WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::error_code error;
    std::filesystem::remove(path, error);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::string &path, const std::string &text)
{
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::vector<uint8_t> ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// UTF-16LE bytes of `text`, with a byte-order mark when asked.
inline std::vector<uint8_t> Utf16(const std::u16string &text, bool byteOrderMark)
{
    std::vector<uint8_t> bytes;
    if (byteOrderMark) {
        bytes = {0xFF, 0xFE};
    }
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

// A copy of the sample data; false when the sample data is not built. Its
// folders are its own and its files hard links to the sample data's: a new
// inode for each of some 1,400 files made a copy cost seconds of system time
// on a busy file system, in dozens of game runs. What the game writes goes to
// new files or through a temporary file and a rename, which leave the sample
// data alone; a test that changes a file of the copy in place calls OwnFile
// first, and the scratch cleanup fails a program in which a file of the sample
// data was written in place.
inline bool CopySampleData(const std::string &to)
{
    if (!HaveSampleData()) {
        return false;
    }
    std::filesystem::remove_all(to);
    std::filesystem::create_directories(to);
    setenv(rwtest::kLinkedSampleCopyVariable, "1", 1);
    std::filesystem::copy(SampleData(), to,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::create_hard_links);
    return true;
}

// The interface packs of the sample data copied into `root` (what the
// screens read from the first tick on); false when the sample data is not built.
inline bool CopyInterfacePacks(const std::string &root)
{
    const std::string from = SampleData() + "/PACK/UI0";
    if (!std::filesystem::exists(from)) {
        return false;
    }
    std::filesystem::create_directories(root + "/PACK/UI0");
    std::filesystem::copy(from, root + "/PACK/UI0",
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    return true;
}

// Runs the game in `folder` (with `environment`, assignments before the
// command, when given); its status and what it printed.
inline int RunGame(const std::string &folder, const std::string &arguments, std::string *output,
                   const std::string &environment = "")
{
    const std::string command = "cd '" + folder + "' && " + environment + " '" + std::string(RW_TEST_BINARY_DIR) +
                                "/app/game' " + arguments + " 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char buffer[512];
    for (size_t got; (got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
        output->append(buffer, got);
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Records fatal reports instead of ending the program, while it lives.
class FatalRecorder {
public:
    FatalRecorder() { previous_ = SetFatalErrorHandler(Record); }
    ~FatalRecorder() { SetFatalErrorHandler(previous_); }
    static std::vector<std::string> &Names()
    {
        static std::vector<std::string> names;
        return names;
    }

private:
    static void Record(const char *name) { Names().push_back(name); }
    FatalErrorHandler previous_;
};

// The game's engine start (memory, file functions, plug-ins, texture read)
// on a headless window, with `root` as the data root.
class GameEngineTest : public ::testing::Test {
protected:
    void StartIn(const std::string &root, uint32_t width = 64, uint32_t height = 48)
    {
        FatalRecorder::Names().clear();
        SetDataRootPath(root.c_str());
        window_ = rwtest::OpenHeadlessWindow("app test", width, height);
        ASSERT_NE(window_, nullptr);
        EngineChoice chosen;
        ASSERT_TRUE(StartEngine(window_, game::ModeChoice{width, height, false}, &chosen));
        started_ = true;
    }
    void TearDown() override
    {
        if (started_) {
            zuClosePack();
            StopEngine();
        }
        rwtest::CloseHeadlessWindow(window_);
        SetDataRootPath("");
    }
    FatalRecorder fatal_;

private:
    HWND window_ = nullptr;
    bool started_ = false;
};

}  // namespace apptest
