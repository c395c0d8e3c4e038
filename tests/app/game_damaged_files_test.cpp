// End to end: damaged files of a player's data tree, each written damaged by
// the test into one copy of the sample data shared by the whole program (a
// tree of links to it; a damaged file is a file of its own, put back as a
// link after its case). A movie that cannot be played is named by its game
// path with why, and its screen ends as when a movie ends, on to the title;
// libav's own lines stay off the terminal unless --debug. A damaged loading
// picture still ends the stage load, named by its game path with why
// ("cannot read ...: ..."), a missing one as missing. The stage's own files
// (placements, territories, stage info, a figure's parameters, the hero's
// weapon, a particle picture, the event table, the pack's list) are named
// on standard error with why when refused or empty, once each, and the
// stage plays on where it can.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/game/run_log.h"
#include "support/game/trace_reader.h"
#include "tests/app/app_test_support.h"

namespace game_damaged_files_test {

namespace {

namespace fs = std::filesystem;

// The sample data as links to its files, in a scratch folder made once for
// the program: each case damages files of it and puts them back.
const std::string &LinkedSampleData()
{
    static const std::string made = [] {
        const std::string to = apptest::ScratchFolder("damaged");
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
    }();
    return made;
}

// The sample file at `relative` linked into the shared tree again.
void PutBack(const std::string &relative)
{
    const std::string path = LinkedSampleData() + "/" + relative;
    chmod(path.c_str(), 0644);  // a file made unreadable, so that it can go
    fs::remove_all(path);
    fs::create_symlink(apptest::SampleData() + "/" + relative, path);
}

// Puts the files damaged in a case back when the case ends, passed or not.
class PutBackAtEnd {
public:
    explicit PutBackAtEnd(std::vector<std::string> relatives) : relatives_(std::move(relatives)) {}
    ~PutBackAtEnd()
    {
        for (const std::string &relative : relatives_) {
            PutBack(relative);
        }
    }
    PutBackAtEnd(const PutBackAtEnd &) = delete;
    PutBackAtEnd &operator=(const PutBackAtEnd &) = delete;

private:
    std::vector<std::string> relatives_;
};

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
    const std::string root = LinkedSampleData();
    const PutBackAtEnd putBack({"ENGUIMV/Tarvisk.BIK", "ENGUIMV/ZUNO.BIK", "ENGUIMV/OPEN.BIK"});
    WriteDamaged(root + "/ENGUIMV/Tarvisk.BIK", {});
    FolderInPlace(root + "/ENGUIMV/ZUNO.BIK");
    // Cut inside its stream headers: libav has lines of its own to say about it.
    WriteDamaged(root + "/ENGUIMV/OPEN.BIK", Cut("ENGUIMV/OPEN.BIK", 3000));
    std::string output;
    ASSERT_EQ(apptest::RunGame(root, kFrontEnd, &output), 0) << output;
    const std::vector<std::string> lines = LinesOf(output);
    ASSERT_EQ(lines.size(), 3u) << output;
    EXPECT_EQ(lines[0], "Cannot read ENGUIMV/Tarvisk.BIK: it is empty");
    EXPECT_EQ(lines[1], "Cannot read ENGUIMV/ZUNO.BIK: it is a folder");
    EXPECT_EQ(lines[2].rfind("Cannot read ENGUIMV/OPEN.BIK: it ", 0), 0u) << lines[2];
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
    EXPECT_NE(debug.find("\nCannot read ENGUIMV/ZUNO.BIK: it is not a movie\n"), std::string::npos) << debug;
    if (!Root()) {
        EXPECT_NE(debug.find("\nCannot read ENGUIMV/Tarvisk.BIK: Permission denied\n"), std::string::npos) << debug;
    }
    EXPECT_NE(debug.find("\nmovie: libav: "), std::string::npos) << debug;
    for (const std::string &line : LinesOf(debug)) {
        EXPECT_NE(line.rfind("[", 0), 0u) << "libav's own line: " << line;
    }
    EXPECT_EQ(Screens(root + "/t.txt"), kFrontEndScreens);
}

TEST_F(GameDamagedFiles, ADamagedLoadingPictureEndsTheStageLoadNamingItsGamePathAndWhy)
{
    const std::string root = LinkedSampleData();
    const PutBackAtEnd putBack({"RESOURCE/UITEXT/LOADING/ENG/GFLOAD.BMP", "RESOURCE/UITEXT/LOADING/ENG/GFLOADA.BMP"});
    const std::string folder = root + "/RESOURCE/UITEXT/LOADING/ENG/";
    const std::string picture = "RESOURCE/UITEXT/LOADING/ENG/GFLOAD.BMP";
    const std::string mask = "RESOURCE/UITEXT/LOADING/ENG/GFLOADA.BMP";
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

// The stage's damaged files: what the game said, the lines one by one.
struct StageRun {
    int status = -1;
    std::vector<std::string> lines;
    bool loaded = false;      // the stage load was traced
    int64_t firstFrame = -1;  // the frame of the first line traced
    int64_t lastFrame = 0;    // the last frame traced
};

// With `keptName`, the run's trace, frames and poses are as kept (tests/app/frame_logs).
StageRun RunStage(int frames, const std::string &keptName = "")
{
    const std::string root = LinkedSampleData();
    StageRun run;
    std::string output;
    run.status = apptest::RunGame(root,
                                  "--headless --mode 1 --fixed-step 16 --stage 1 --trace t.txt --frames " +
                                      std::to_string(frames) + (keptName.empty() ? "" : gametest::kKeptRunOptions),
                                  &output);
    run.lines = LinesOf(output);
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(root + "/t.txt");
    if (!keptName.empty()) {
        gametest::ExpectRunAsKept(trace, "app/frame_logs/" + keptName, root + "/t.txt");
    }
    for (const gametest::TraceRecord &r : trace) {
        run.loaded = run.loaded || (r.kind == "stage" && r.fields.size() >= 2 && r.fields[0] == "load");
        run.lastFrame = std::max<int64_t>(run.lastFrame, r.tick);
        run.firstFrame = run.firstFrame < 0 ? r.tick : run.firstFrame;
    }
    return run;
}

std::string Joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines) {
        text += line + "\n";
    }
    return text;
}

constexpr const char *kPlacements = "RESOURCE/AI/STAGE00.IAF";
constexpr const char *kTerritories = "RESOURCE/AI/STAGE00.ATF";
constexpr const char *kStageInfo = "RESOURCE/STAGEINF/STAGE00.BSF";
constexpr const char *kMonsterParams = "RESOURCE/MONSTER/1000/1000.PAF";
constexpr const char *kWeapon = "RESOURCE/MAINCHAR/WEAPON/5100160.DFF";
constexpr const char *kSpark = "RESOURCE/PARTICLE/SPARK.BMP";
constexpr const char *kEventTable = "RESOURCE/G_EVENT/G_EVENT.EVT";
constexpr const char *kStageList = "PACK/STAGE1/2010000.LST";
constexpr const char *kStageStream = "PACK/STAGE1/2010000.STR";

// Files the stage can go on without, refused whole or giving nothing: each
// is named once on standard error with why (without --debug), and the
// stage loads and plays its frames, on its defaults, as kept.
TEST_F(GameDamagedFiles, DamagedStageFilesTheStageCanDoWithoutAreNamedWithWhyAndTheStagePlays)
{
    const std::string root = LinkedSampleData() + "/";
    {
        const PutBackAtEnd putBack({kTerritories, kStageInfo, kMonsterParams, kWeapon, kSpark, kEventTable});
        WriteDamaged(root + kTerritories, Garbage(3000));
        WriteDamaged(root + kStageInfo, Garbage(3000));
        WriteDamaged(root + kMonsterParams, Garbage(3000));
        WriteDamaged(root + kWeapon, Garbage(3000));
        WriteDamaged(root + kSpark, Garbage(3000));
        apptest::WriteText(root + kEventTable + std::string(".tmp"), "no count here\n");
        fs::remove(root + kEventTable);
        fs::rename(root + kEventTable + std::string(".tmp"), root + kEventTable);
        const StageRun run = RunStage(30, "stage1_damaged_files");
        EXPECT_EQ(run.status, 0) << Joined(run.lines);
        EXPECT_TRUE(run.loaded);
        // The load starts before the first tick: its lines are frame 0's.
        EXPECT_EQ(run.firstFrame, 0);
        EXPECT_EQ(run.lastFrame, 30);
        std::vector<std::string> lines = run.lines;
        std::sort(lines.begin(), lines.end());
        // The weapon's reason is the engine's own words.
        const std::string weapon = std::string("cannot read ") + kWeapon + ": ";
        auto said =
            std::find_if(lines.begin(), lines.end(), [&](const std::string &l) { return l.rfind(weapon, 0) == 0; });
        ASSERT_NE(said, lines.end()) << Joined(run.lines);
        EXPECT_GT(said->size(), weapon.size());
        lines.erase(said);
        std::vector<std::string> expected = {
            std::string(kTerritories) + ": no Territory block in the file; the stage has no territories",
            std::string(kStageInfo) + ": no line of the file is a stage info key; the stage takes its default settings",
            std::string(kMonsterParams) +
                ": no line of the file is a parameter; the figure takes the default parameters",
            std::string("cannot read ") + kSpark + ": it is not a BMP picture",
            std::string(kEventTable) + ":1: the count line has no ':'; it holds no event",
            // The hurt file's events are not in the table that gives none.
            "RESOURCE/G_EVENT/HURTEVT/HURTEVT.HTE: no event 79230300 in the event table; the read ends there",
        };
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(lines, expected) << Joined(run.lines);
    }
    {
        // Empty, or a folder in the file's place.
        const PutBackAtEnd putBack({kPlacements, kTerritories, kStageInfo, kWeapon, kSpark});
        WriteDamaged(root + kPlacements, {});
        WriteDamaged(root + kStageInfo, {});
        FolderInPlace(root + kTerritories);
        FolderInPlace(root + kWeapon);
        FolderInPlace(root + kSpark);
        const StageRun run = RunStage(30, "stage1_empty_files");
        EXPECT_EQ(run.status, 0) << Joined(run.lines);
        EXPECT_TRUE(run.loaded);
        // The load starts before the first tick: its lines are frame 0's.
        EXPECT_EQ(run.firstFrame, 0);
        EXPECT_EQ(run.lastFrame, 30);
        std::vector<std::string> lines = run.lines;
        std::sort(lines.begin(), lines.end());
        std::vector<std::string> expected = {
            std::string(kPlacements) + ": the file is empty; the stage has no actors",
            std::string(kStageInfo) + ": the file is empty; the stage takes its default settings",
            std::string("cannot read ") + kTerritories + ": it is a folder",
            std::string("cannot read ") + kWeapon + ": it is a folder",
            std::string("cannot read ") + kSpark + ": it is a folder",
        };
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(lines, expected) << Joined(run.lines);
    }
}

// Files the stage cannot do without end its load with the fatal report:
// one line naming the file by its game path with why (a damaged list of a
// pack is named as the list), and the program ends with status 1 before
// the title was reached.
TEST_F(GameDamagedFiles, DamagedStageFilesTheStageNeedsEndTheLoadInOneLineNamingThem)
{
    const std::string root = LinkedSampleData() + "/";
    struct Case {
        const char *file;
        std::function<void()> damage;
        std::string said;
    };
    std::vector<uint8_t> list = apptest::ReadBytes(apptest::SampleData() + "/" + kStageList);
    list.insert(list.begin(), {'n', 'o', ' ', 't', 'a', 'b', 's', '\n'});
    const std::vector<Case> cases = {
        {kPlacements, [&] { FolderInPlace(root + kPlacements); },
         std::string("Cannot read ") + kPlacements + ": it is a folder"},
        {kStageInfo, [&] { FolderInPlace(root + kStageInfo); },
         std::string("Cannot read ") + kStageInfo + ": it is a folder"},
        {kStageList, [&] { WriteDamaged(root + kStageList, list); },
         std::string("Cannot read ") + kStageList + ": list line 1 is not 'name<tab>offset<tab>size'"},
        {kStageStream, [&] { WriteDamaged(root + kStageStream, Garbage(5000)); },
         std::string("Cannot read ") + kStageStream + ": the stream does not start with a texture dictionary"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const PutBackAtEnd putBack({c.file});
        c.damage();
        const StageRun run = RunStage(2);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.lines, std::vector<std::string>{c.said});
    }
}

}  // namespace

}  // namespace game_damaged_files_test
