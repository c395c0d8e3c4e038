// The resource report against small stand-ins: each section and fallback
// to the byte, the file names by stage, a file that cannot be created and
// a second write replacing the first.
#include <gtest/gtest.h>

#include <string>

#include "fx/particle_manager.h"
#include "stage/clump_anim_manager.h"
#include "support/engine/engine_env.h"
#include "tests/devmenu/dev_menu_test_support.h"

namespace resource_report_test {

namespace {

using devmenutest::MenuHarness;
using devmenutest::ScratchRoot;

TEST(ResourceReportName, FollowsTheRunningStage)
{
    EXPECT_EQ(ResourceReportFileName(2010000), "\\GFLOG00.TXT");
    EXPECT_EQ(ResourceReportFileName(2160000), "\\GFLOG15.TXT");
    EXPECT_EQ(ResourceReportFileName(2380000), "\\GFLOG37.TXT");
    EXPECT_EQ(ResourceReportFileName(2400000), "\\GFLOG39.TXT");
    EXPECT_EQ(ResourceReportFileName(2420000), "\\GFLOG41.TXT");
    for (int32_t id : {2390000, 0, -5, 2430000, 2015000, 2000000, 39}) {
        EXPECT_EQ(ResourceReportFileName(id), "\\GFLOG.TXT") << id;
    }
    for (int32_t id = 1; id <= 38; ++id) {
        char name[32];
        std::snprintf(name, sizeof name, "\\GFRANK%02d.TXT", id - 1);
        EXPECT_EQ(ResourceReportFileName(id), name);
    }
}

// The report of a harness stage with no sounds, no world and no clumps.
constexpr const char *kEmptyHead =
    "ObjectKind :\n"
    "Count : 0\n"
    "\n"
    "Audio :\n"
    "Count : 0\n"
    "Total 0(BYTE)\n"
    "\n";
constexpr const char *kEmptyClumps =
    "ClumpInfo :\n"
    "Real number in RpWorld: 0\n"
    "ClumpInfoCount : 0\n"
    "\n";

class ResourceReport : public rwtest::EngineTest {
protected:
    MenuHarness h;
};

TEST_F(ResourceReport, WithoutDictionaryAnimationsOrParticlesTheFallbacksShow)
{
    ScratchRoot root("report_fallbacks");
    h.stage.stageId = 2010000;
    RwTexDictionary *previous = RwTexDictionaryGetCurrent();
    RwTexDictionarySetCurrent(nullptr);
    h.menu.WriteResourceReport(nullptr);
    RwTexDictionarySetCurrent(previous);
    EXPECT_EQ(root.Read("GFLOG00.TXT"), std::string(kEmptyHead) + "Texture :\nNo Texture Dixtionary :\n\n" + kEmptyClumps);
}

TEST_F(ResourceReport, EverySectionAgainstSmallStandIns)
{
    ScratchRoot root("report_sections");
    RwTexDictionary *dictionary = RwTexDictionaryCreate();
    RwRaster *raster = RwRasterCreate(256, 128, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
    ASSERT_NE(raster, nullptr);
    RwTexture *texture = RwTextureCreate(raster);
    RwTextureSetName(texture, "wall");
    RwTexDictionaryAddTexture(dictionary, texture);
    RwTexDictionarySetCurrent(dictionary);

    int clumpA = 0, clumpB = 0;
    h.menu.AddClumpInfo(reinterpret_cast<RpClump *>(&clumpA), "\\RESOURCE\\STAGE\\LIGHTS.DFF");
    h.menu.AddClumpInfo(reinterpret_cast<RpClump *>(&clumpB), "CAMWALL.DFF");
    h.stage.actorAnimations = std::make_unique<CSClumpAnimManager>();
    CSParticleManager particles;
    h.stage.particleManager = &particles;
    h.stage.stageId = 2400000;

    h.menu.WriteResourceReport(nullptr);
    const std::string report = root.Read("GFLOG39.TXT");
    EXPECT_EQ(report, std::string(kEmptyHead) +
                          "Texture :\n"
                          "wall : size: 131072(BYTE) ,width: 256 ,height: 128 ,depth: 32\tRefCount:1\n"
                          "Total 131072(BYTE)\n"
                          "\n"
                          "ClumpInfo :\n"
                          "Real number in RpWorld: 0\n"
                          "ClumpInfoCount : 2\n"
                          "LIGHTS.DFF\n"
                          "CAMWALL.DFF\n"
                          "\n"
                          "Animation :\n"
                          "NumOfData : 0\n"
                          "Hirearchy Data :\n"
                          "NumOfHirearchy : 0\n"
                          "\n"
                          "ToTle Particle Number : 0\n");
    EXPECT_EQ(report.find('\r'), std::string::npos) << "lines end in LF";

    // A second write replaces the file.
    h.menu.ClearClumpInfo(reinterpret_cast<RpClump *>(&clumpB));
    h.menu.WriteResourceReport(nullptr);
    const std::string again = root.Read("GFLOG39.TXT");
    EXPECT_NE(again.find("ClumpInfoCount : 1\nLIGHTS.DFF\n\n"), std::string::npos);
    EXPECT_EQ(again.find("CAMWALL"), std::string::npos);
    EXPECT_EQ(again.size() + std::string("CAMWALL.DFF\n").size() + 0, report.size());

    h.stage.particleManager = nullptr;
    h.menu.clumpInfos.clear();
    RwTexDictionarySetCurrent(nullptr);
    RwTexDictionaryDestroy(dictionary);
}

// A texture whose picture never came (no raster) is listed with no size
// at all: nothing wide, high or deep, and nothing to the total.
TEST_F(ResourceReport, ATextureWithoutItsPictureIsListedWithNoSize)
{
    ScratchRoot root("report_no_raster");
    RwTexDictionary *dictionary = RwTexDictionaryCreate();
    RwTexture *texture = RwTextureCreate(nullptr);
    ASSERT_NE(texture, nullptr);
    RwTextureSetName(texture, "lost");
    RwTexDictionaryAddTexture(dictionary, texture);
    RwTexDictionarySetCurrent(dictionary);
    h.stage.stageId = 2010000;
    h.menu.WriteResourceReport(nullptr);
    RwTexDictionarySetCurrent(nullptr);
    RwTexDictionaryDestroy(dictionary);
    const std::string report = root.Read("GFLOG00.TXT");
    EXPECT_NE(report.find("Texture :\n"
                          "lost : size: 0(BYTE) ,width: 0 ,height: 0 ,depth: 0\tRefCount:1\n"
                          "Total 0(BYTE)\n"),
              std::string::npos)
        << report;
}

TEST_F(ResourceReport, AFileThatCannotBeCreatedIsSkipped)
{
    ScratchRoot root("report_skipped");
    h.menu.WriteResourceReport("\\NO_SUCH_FOLDER\\REPORT.TXT");
    EXPECT_FALSE(root.Exists("NO_SUCH_FOLDER"));
    h.stage.stageId = 0;
    h.menu.WriteResourceReport(nullptr);
    EXPECT_TRUE(root.Exists("GFLOG.TXT"));
}

TEST_F(ResourceReport, WriteLogFileWritesAndClosesTheMenu)
{
    ScratchRoot root("report_item");
    h.stage.stageId = 2160000;
    h.menu.Open(1, 0);
    h.menu.activeItem = kItemWriteLog;
    h.menu.inItem = 1;
    h.Tick();
    EXPECT_FALSE(root.Exists("GFLOG15.TXT"));
    h.Tick({kPadCircle});
    EXPECT_FALSE(h.menu.IsOpen());
    EXPECT_TRUE(root.Exists("GFLOG15.TXT"));
}

// "Make Game Stream": cross leaves the item with nothing made; circle runs
// the pass (with no stage and no screens only its report) and closes the
// menu.
TEST_F(ResourceReport, MakeGameStreamWritesItsReportAndClosesTheMenu)
{
    ScratchRoot root("stream_item");
    g_pStageManager = nullptr;  // the harness puts the stage back
    h.menu.Open(1, 0);
    h.menu.activeItem = kItemGameStream;
    h.menu.inItem = 1;
    h.Tick();
    EXPECT_EQ(h.Label(), "Press A to load");
    h.Tick({kPadCross});
    EXPECT_EQ(h.menu.inItem, 0);
    EXPECT_TRUE(h.menu.IsOpen());
    EXPECT_FALSE(root.Exists("CHARSTREAM.TXT"));
    h.menu.inItem = 1;
    h.Tick({kPadCircle});
    EXPECT_TRUE(root.Exists("CHARSTREAM.TXT"));
    EXPECT_FALSE(h.menu.IsOpen());
}

}  // namespace

}  // namespace resource_report_test
