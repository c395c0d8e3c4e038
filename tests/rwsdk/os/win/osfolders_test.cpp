// The kept folder listings of path resolution: a listing serves while the
// folder's stat shows it as it was, is read again when the folder changed
// (its times, its inode or its device), and is never kept for a folder
// whose times are too recent to show a change made in the same clock step.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "os/win/osfolders.h"
#include "support/engine/scratch_path.h"

namespace osfolders_test {

namespace {

class FolderListings : public ::testing::Test {
protected:
    void SetUp() override
    {
        RwOsFolderListingsForget();
        folder = rwtest::ScratchPath("osfolders_root");
        mkdir(folder.c_str(), 0755);
        Make("A.TXT");
        ASSERT_EQ(stat(folder.c_str(), &old), 0);
        // Times long past: the listing may be kept.
        old.st_mtim = {1000000000, 0};
        old.st_ctim = {1000000000, 0};
    }
    void TearDown() override
    {
        for (const char *name : {"A.TXT", "B.TXT", "C.TXT"}) {
            std::remove((folder + "/" + name).c_str());
        }
        rmdir(folder.c_str());
        RwOsFolderListingsForget();
    }
    void Make(const char *name)
    {
        std::FILE *f = std::fopen((folder + "/" + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    std::string Find(const struct stat &now, const char *name)
    {
        std::string found = "(unlisted)";
        EXPECT_TRUE(RwOsFolderFindNoCase(folder, now, name, &found));
        return found;
    }
    std::string folder;
    struct stat old {};
};

TEST_F(FolderListings, FindsTheEntryEqualIgnoringCase)
{
    EXPECT_EQ(Find(old, "a.txt"), "A.TXT");
    EXPECT_EQ(Find(old, "A.Txt"), "A.TXT");
    EXPECT_EQ(Find(old, "b.txt"), "");
    std::string found;
    EXPECT_FALSE(RwOsFolderFindNoCase(folder + "/none", old, "a.txt", &found));
}

TEST_F(FolderListings, AListingServesWhileItsFolderIsAsItWas)
{
    EXPECT_EQ(Find(old, "b.txt"), "");
    Make("B.TXT");
    // The stat says nothing changed: the kept listing answers.
    EXPECT_EQ(Find(old, "b.txt"), "");
    RwOsFolderListingsForget();
    EXPECT_EQ(Find(old, "b.txt"), "B.TXT");
}

TEST_F(FolderListings, AFolderWhoseStatChangedIsListedAgain)
{
    struct stat changed = old;
    EXPECT_EQ(Find(old, "b.txt"), "");
    Make("B.TXT");
    changed.st_mtim.tv_nsec += 1;
    EXPECT_EQ(Find(changed, "b.txt"), "B.TXT");

    EXPECT_EQ(Find(old, "c.txt"), "");
    Make("C.TXT");
    changed = old;
    changed.st_ctim.tv_sec += 1;
    EXPECT_EQ(Find(changed, "c.txt"), "C.TXT");

    std::remove((folder + "/C.TXT").c_str());
    changed = old;
    changed.st_ino += 1;
    EXPECT_EQ(Find(changed, "c.txt"), "");

    Make("C.TXT");
    changed = old;
    changed.st_dev += 1;
    EXPECT_EQ(Find(changed, "c.txt"), "C.TXT");
}

// Times at or after the listing's own (a clock set back shows the same)
// may not move for the next change: such a listing serves once.
TEST_F(FolderListings, AFolderChangedJustBeforeItsListingIsListedEveryTime)
{
    struct stat recent = old;
    recent.st_mtim.tv_sec = time(nullptr) + 3600;
    EXPECT_EQ(Find(recent, "b.txt"), "");
    Make("B.TXT");
    EXPECT_EQ(Find(recent, "b.txt"), "B.TXT");

    recent = old;
    recent.st_ctim.tv_sec = time(nullptr) + 3600;
    EXPECT_EQ(Find(recent, "c.txt"), "");
    Make("C.TXT");
    EXPECT_EQ(Find(recent, "c.txt"), "C.TXT");
}

}  // namespace

}  // namespace osfolders_test
