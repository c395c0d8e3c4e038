// Support for the result screens' tests (game over, ranking, stage clear):
// the save screens' fixture on a linked tree of the sample data, with the
// lobby's pictures loaded (as the stage end does), a first hero the
// recording links hand out, ways to take a file of the tree away or
// empty it without touching the sample data, and the place of what a
// drawing changed with a cut of it against a reviewed picture.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <functional>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "actor/hero.h"
#include "app/bmp_file.h"
#include "app/pack.h"
#include "tests/app/reference_image.h"
#include "tests/ui/save_test_support.h"

namespace resulttest {

namespace fs = std::filesystem;

// Makes `relative` (a folder under the tree's root) the tree's own: each
// linked folder on the way becomes a real folder of links to what the
// linked one held, so that files under it can be removed or replaced.
inline void OwnFolder(const std::string &root, const std::string &relative)
{
    fs::path at = root;
    for (const fs::path &part : fs::path(relative)) {
        at /= part;
        if (!fs::is_symlink(at)) {
            continue;
        }
        const fs::path target = fs::read_symlink(at);
        fs::remove(at);
        fs::create_directory(at);
        for (const fs::directory_entry &entry : fs::directory_iterator(target)) {
            const fs::path to = at / entry.path().filename();
            if (entry.is_directory()) {
                fs::create_directory_symlink(entry.path(), to);
            } else {
                fs::create_symlink(entry.path(), to);
            }
        }
    }
}

// Removes the file `relative` from the tree (only the tree's link).
inline void RemoveFile(const std::string &root, const std::string &relative)
{
    OwnFolder(root, fs::path(relative).parent_path().string());
    fs::remove(fs::path(root) / relative);
}

// Puts an empty file in place of `relative`.
inline void EmptyFile(const std::string &root, const std::string &relative)
{
    RemoveFile(root, relative);
    std::ofstream(fs::path(root) / relative, std::ios::binary);
}

// A screen rectangle of a 640x480 frame, x1 and y1 not included.
struct ScreenBox {
    int x0, y0, x1, y1;
    bool operator==(const ScreenBox &) const = default;
};

inline std::ostream &operator<<(std::ostream &out, const ScreenBox &b)
{
    return out << "(" << b.x0 << ", " << b.y0 << ")-(" << b.x1 << ", " << b.y1 << ")";
}

// The smallest rectangle that holds every pixel two 640x480 frames differ in.
inline ScreenBox ChangedBox(const std::vector<uint32_t> &before, const std::vector<uint32_t> &after)
{
    ScreenBox box = {640, 480, 0, 0};
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const size_t i = static_cast<size_t>(y) * 640 + static_cast<size_t>(x);
            if (before[i] != after[i]) {
                box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x + 1), std::max(box.y1, y + 1)};
            }
        }
    }
    return box;
}

// `box` cut out of a 640x480 frame against the reviewed picture `name` of
// tests/ui/reference (the cut and any difference written under `root`).
inline void ExpectCutLikeReference(const std::vector<uint32_t> &frame, const ScreenBox &box, const std::string &root,
                                   const std::string &name)
{
    std::vector<uint32_t> cut;
    for (int y = box.y0; y < box.y1; ++y) {
        for (int x = box.x0; x < box.x1; ++x) {
            cut.push_back(frame[static_cast<size_t>(y) * 640 + static_cast<size_t>(x)]);
        }
    }
    const std::string shot = root + "/" + name + ".bmp";
    ASSERT_TRUE(apptest::WriteBmp(shot, box.x1 - box.x0, box.y1 - box.y0, cut));
    apptest::ExpectLikeReference(shot, std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + name + ".bmp",
                                 root + "/" + name + "_difference.bmp");
}

class ResultScreensTest : public savetest::SaveScreensTest {
protected:
    void StartOn(const std::string &treeName, int32_t language = 1)
    {
        savetest::SaveScreensTest::StartOn(treeName, false, language);
        if (ui == nullptr) {
            return;
        }
        ui->LoadLobbyTextures(nullptr);
        EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
        uitest::Links().hero = &hero;
        fatalsAtStart_ = apptest::FatalRecorder::Names().size();
    }
    // The fatal reports since the screens started.
    size_t Fatals() const { return apptest::FatalRecorder::Names().size() - fatalsAtStart_; }
    void TearDown() override
    {
        uitest::Links().hero = nullptr;
        uitest::Links().descriptions = nullptr;
        savetest::SaveScreensTest::TearDown();
    }
    // A stage that ends now: its play time, the hero's earnings and hits.
    void FinishStage(int32_t stage, uint32_t playMs, int32_t earnings, int32_t bestHits)
    {
        uitest::Links().stageNumber = stage;
        hero.stageMoney = earnings;
        hero.bestHitCounter = bestHits;
        ui->AddStageTime(playMs);
        ui->ResetStageClock();
        ui->CopyHeroBestCounter();
        ui->CopyHeroValue();
    }
    // Presses confirm (circle) for one update of `ms`.
    void Confirm(uint32_t ms = 16)
    {
        Press(0, kPadCircle);
        Updates(1, ms);
    }

    // The trace's records since the last call (the trace goes on in a new file).
    std::vector<gametest::TraceRecord> TakeTrace()
    {
        game::TraceClose();
        std::vector<gametest::TraceRecord> records = gametest::ReadTrace(tracePath);
        tracePath += ".more";
        std::string error;
        EXPECT_TRUE(game::TraceOpen(tracePath, &error)) << error;
        return records;
    }
    static std::vector<int64_t> SoundsOf(const std::vector<gametest::TraceRecord> &records)
    {
        for (const gametest::TraceRecord &r : records) {
            uitest::ExpectNotLooped(r);
        }
        return gametest::ValuesOf(records, "screen", "sound");
    }
    static bool HasScreenLine(const std::vector<gametest::TraceRecord> &records, const std::vector<std::string> &fields)
    {
        return gametest::HasRecord(records, "screen", fields);
    }
    // The screen manager's drawing with its fades, as the game's frame has it.
    void DrawScreens()
    {
        ui->Render();
        ui->DrawBaseMapFade();
        ui->DrawFade();
    }

    CSHero hero;

private:
    size_t fatalsAtStart_ = 0;
};

}  // namespace resulttest
