// Path mapping of the C-library glue: backslashes, case-insensitive
// resolution against the data root, and absolute-path forms.
#include <gtest/gtest.h>

#include <sys/stat.h>

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
        std::remove((root + "/MODELS/new.dat").c_str());
        rmdir((root + "/MODELS").c_str());
        rmdir(root.c_str());
        RwOsSetDataRoot("");
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
