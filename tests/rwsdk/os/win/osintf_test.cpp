// Path mapping of the C-library glue: backslashes, case-insensitive
// resolution against the data root, and absolute-path forms.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "rwcore.h"
#include "support/engine/scratch_path.h"

namespace osintf_test {

namespace {

class Paths : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = rwtest::ScratchPath("osintf_root");
        mkdir(root.c_str(), 0755);
        mkdir((root + "/MODELS").c_str(), 0755);
        std::FILE *f = std::fopen((root + "/MODELS/GENERIC.TXD").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("x", f);
        std::fclose(f);
        RwOsSetDataRoot(root.c_str());
    }
    void TearDown() override
    {
        std::remove((root + "/MODELS/GENERIC.TXD").c_str());
        for (const char *name : {"new.dat", "SAVE.SAV", "Save.sav", "gone.txd"}) {
            std::remove((root + "/MODELS/" + name).c_str());
        }
        rmdir((root + "/MODELS").c_str());
        rmdir(root.c_str());
        RwOsSetDataRoot("");
    }
    void Make(const std::string &name)
    {
        std::FILE *f = std::fopen((root + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    std::string Resolve(const char *path)
    {
        char out[1024];
        EXPECT_TRUE(RwOsResolvePath(path, out, sizeof(out)));
        return out;
    }
    std::string root;
};

TEST_F(Paths, GamePathsFindUpperCaseFiles)
{
    EXPECT_EQ(Resolve("models\\generic.txd"), root + "/MODELS/GENERIC.TXD");
    EXPECT_EQ(Resolve("Models/Generic.TXD"), root + "/MODELS/GENERIC.TXD");
    EXPECT_EQ(Resolve("\\MODELS\\GENERIC.TXD"), root + "/MODELS/GENERIC.TXD");
    EXPECT_EQ(Resolve("C:\\models\\generic.txd"), root + "/MODELS/GENERIC.TXD");
    // A new file keeps its name as written, in the directory that exists.
    EXPECT_EQ(Resolve("models\\new.dat"), root + "/MODELS/new.dat");
    std::string host = root + "/models/GENERIC.txd";
    EXPECT_EQ(Resolve(host.c_str()), root + "/MODELS/GENERIC.TXD");
    char tiny[4];
    EXPECT_FALSE(RwOsResolvePath("models\\generic.txd", tiny, sizeof(tiny)));
}

// A file the game writes is found as soon as it is there, in whatever case
// it was written and asked for, and a file gone is no longer found.
TEST_F(Paths, AFileMadeAfterItWasMissedIsFoundAtOnce)
{
    EXPECT_EQ(Resolve("models\\save.sav"), root + "/MODELS/save.sav");
    Make("/MODELS/SAVE.SAV");
    EXPECT_EQ(Resolve("models\\save.sav"), root + "/MODELS/SAVE.SAV");
    EXPECT_EQ(Resolve("\\MODELS\\SAVE.SAV"), root + "/MODELS/SAVE.SAV");
    std::remove((root + "/MODELS/SAVE.SAV").c_str());
    EXPECT_EQ(Resolve("models\\save.sav"), root + "/MODELS/save.sav");
    Make("/MODELS/Save.sav");
    EXPECT_EQ(Resolve("models\\SAVE.SAV"), root + "/MODELS/Save.sav");
    EXPECT_EQ(Resolve("Models\\save.SAV"), root + "/MODELS/Save.sav");
}

// A name the folder lists that the system cannot look up (a link leading
// nowhere) is taken as listed, like a name in another case.
TEST_F(Paths, ALinkLeadingNowhereIsTakenAsListed)
{
    ASSERT_EQ(symlink("nowhere", (root + "/MODELS/gone.txd").c_str()), 0);
    EXPECT_EQ(Resolve("models\\GONE.TXD"), root + "/MODELS/gone.txd");
    EXPECT_EQ(Resolve("MODELS\\gone.txd"), root + "/MODELS/gone.txd");
    EXPECT_EQ(Resolve("models\\gone.txd\\x"), root + "/MODELS/gone.txd/x");
}

TEST(PathIsAbsolute, BothForms)
{
    EXPECT_TRUE(RwPathIsAbsolute("\\models"));
    EXPECT_TRUE(RwPathIsAbsolute("/models"));
    EXPECT_TRUE(RwPathIsAbsolute("c:models"));
    EXPECT_TRUE(RwPathIsAbsolute("Z:\\"));
    EXPECT_FALSE(RwPathIsAbsolute("models\\a.txd"));
    EXPECT_FALSE(RwPathIsAbsolute("1:"));
    EXPECT_FALSE(RwPathIsAbsolute(nullptr));
}

}  // namespace

}  // namespace osintf_test
