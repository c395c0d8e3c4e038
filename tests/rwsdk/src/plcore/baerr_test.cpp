// The error slot: first error kept, common codes stored without a module,
// reports dropped while the error module is closed.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "rwcore.h"
#include "support/engine/engine_env.h"

namespace baerr_test {

namespace {

class ErrorSlot : public rwtest::EngineTest {};

TEST_F(ErrorSlot, KeepsTheFirstUntilRead)
{
    RwErrorReport(rwID_CORE, E_RW_ENDOFSTREAM);
    RwErrorReport(0x116, 1);
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, rwID_CORE);
    EXPECT_EQ(error.errorCode, E_RW_ENDOFSTREAM);
    error = rwtest::TakeError();
    EXPECT_EQ(error.errorCode, E_RW_NOERROR);
    EXPECT_EQ(error.pluginID, 0);
}

TEST_F(ErrorSlot, CommonCodesBelongToNoModule)
{
    RwError in{0x116, E_RW_NOMEM};
    EXPECT_EQ(RwErrorSet(&in), &in);
    RwError out = rwtest::TakeError();
    EXPECT_EQ(out.pluginID, rwID_COMMON);
    EXPECT_EQ(out.errorCode, E_RW_NOMEM);
}

TEST(ErrorSlotClosed, ReportsBeforeStartAreDropped)
{
    RwErrorReport(rwID_CORE, 5);
    RwError out{};
    RwErrorGet(&out);
    EXPECT_EQ(out.errorCode, E_RW_NOERROR);
}

}  // namespace

}  // namespace baerr_test

// ---- Error names and texts, and the debug-message handler.

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "driver/d3d8/d3d8raster.h"
#include "rpcollis.h"
#include "rpmorph.h"
#include "rppvs.h"
#include "rpworld.h"
#include "rtanim.h"

namespace baerr_test {

namespace {

struct KnownCode {
    const char *name;
    RwInt32 pluginID;
    RwInt32 code;
};

// Every code the engine reports, by the constant its sources use.
const KnownCode kKnownCodes[] = {
    {"E_RW_BADENGINESTATE", rwID_COMMON, E_RW_BADENGINESTATE},
    {"E_RW_BADOPEN", rwID_COMMON, E_RW_BADOPEN},
    {"E_RW_BADPARAM", rwID_COMMON, E_RW_BADPARAM},
    {"E_RW_BADVERSION", rwID_COMMON, E_RW_BADVERSION},
    {"E_RW_INVIMAGEDEPTH", rwID_COMMON, E_RW_INVIMAGEDEPTH},
    {"E_RW_INVIMAGEFORMAT", rwID_COMMON, E_RW_INVIMAGEFORMAT},
    {"E_RW_INVIMAGESIZE", rwID_COMMON, E_RW_INVIMAGESIZE},
    {"E_RW_INVRASTERDEPTH", rwID_COMMON, E_RW_INVRASTERDEPTH},
    {"E_RW_INVRASTERFORMAT", rwID_COMMON, E_RW_INVRASTERFORMAT},
    {"E_RW_INVRASTERLOCKREQ", rwID_COMMON, E_RW_INVRASTERLOCKREQ},
    {"E_RW_INVRASTERUNLOCKREQ", rwID_COMMON, E_RW_INVRASTERUNLOCKREQ},
    {"E_RW_NOMEM", rwID_COMMON, E_RW_NOMEM},
    {"E_RW_NULLP", rwID_COMMON, E_RW_NULLP},
    {"E_RW_PLUGININIT", rwID_COMMON, E_RW_PLUGININIT},
    {"E_RW_DEPENDENCY", rwID_COMMON, E_RW_DEPENDENCY},
    {"E_RW_READ", rwID_COMMON, E_RW_READ},
    {"E_RW_WRITE", rwID_COMMON, E_RW_WRITE},
    {"E_RW_STRINGTRUNCATED", rwID_COMMON, E_RW_STRINGTRUNCATED},
    {"E_RW_DEVICEERROR", rwID_CORE, E_RW_DEVICEERROR},
    {"E_RW_ENDOFSTREAM", rwID_CORE, E_RW_ENDOFSTREAM},
    {"E_RW_RESOURCESFULL", rwID_CORE, E_RW_RESOURCESFULL},
    {"E_RW_BADACCESSMODE", rwID_CORE, E_RW_BADACCESSMODE},
    {"E_RW_BADSTREAMTYPE", rwID_CORE, E_RW_BADSTREAMTYPE},
    {"E_RW_NOCAMERAUPDATE", rwID_CORE, E_RW_NOCAMERAUPDATE},
    {"E_RW_NORASTERCONTEXT", rwID_CORE, E_RW_NORASTERCONTEXT},
    {"rwE_TEXTURENOTFOUND", rwID_CORE, 22},
    {"E_RW_DEVICEREQUEST", rwID_CORE, E_RW_DEVICEREQUEST},
    {"E_RW_ZEROLENGTH", rwID_CORE, E_RW_ZEROLENGTH},
    {"E_RX_CYCLICPIPELINE", rwID_CORE, E_RX_CYCLICPIPELINE},
    {"E_RX_INVALIDREQUIREMENT", rwID_CORE, E_RX_INVALIDREQUIREMENT},
    {"E_RX_DEP_DUPLICATECLUSTER", rwID_CORE, E_RX_DEP_DUPLICATECLUSTER},
    {"E_RX_DEP_NULLCLUSTERDEF", rwID_CORE, E_RX_DEP_NULLCLUSTERDEF},
    {"E_RX_DEP_OUTOFMEMORY", rwID_CORE, E_RX_DEP_OUTOFMEMORY},
    {"E_RX_NODETOPSORT_NOINPUT", rwID_CORE, E_RX_NODETOPSORT_NOINPUT},
    {"E_RW_IM3DNOTACTIVE", rwID_CORE, E_RW_IM3DNOTACTIVE},
    {"E_RX_INVALIDENTRYPOINT", rwID_CORE, E_RX_INVALIDENTRYPOINT},
    {"E_RW_IM3DINVALIDPRIMTYPE", rwID_CORE, E_RW_IM3DINVALIDPRIMTYPE},
    {"E_RX_TOOMANYCLUSTERS", rwID_CORE, E_RX_TOOMANYCLUSTERS},
    {"E_RX_TOOMANYOUTPUTS", rwID_CORE, E_RX_TOOMANYOUTPUTS},
    {"E_RX_TOOMANYNODES", rwID_CORE, E_RX_TOOMANYNODES},
    {"E_RW_IM3DTOOMANYVERTICES", rwID_CORE, E_RW_IM3DTOOMANYVERTICES},
    {"E_RX_UNLOCKEDPIPE", rwID_CORE, E_RX_UNLOCKEDPIPE},
    {"E_RP_WORLD_CLUMPNOTINWORLD", rwID_WORLD, E_RP_WORLD_CLUMPNOTINWORLD},
    {"E_RP_WORLD_FRAMELESSATOMIC", rwID_WORLD, E_RP_WORLD_FRAMELESSATOMIC},
    {"E_RP_WORLD_TOOMANYVERTICES", rwID_WORLD, E_RP_WORLD_TOOMANYVERTICES},
    {"E_RP_MORPH_NOGEOMETRY", static_cast<RwInt32>(rpMORPHPLUGINID), E_RP_MORPH_NOGEOMETRY},
    {"E_RP_COLLIS_BADINTERSECTIONTYPE", static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RP_COLLIS_BADINTERSECTIONTYPE},
    {"E_RP_COLLIS_BADDATA", static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RP_COLLIS_BADDATA},
    {"E_RP_PVS_BADDATA", static_cast<RwInt32>(rwID_PVSPLUGIN), E_RP_PVS_BADDATA},
    {"E_RT_ANIM_SCHEMEEXISTS", static_cast<RwInt32>(rtANIMPLUGINID), E_RT_ANIM_SCHEMEEXISTS},
    {"E_RT_ANIM_TOOMANYSCHEMES", static_cast<RwInt32>(rtANIMPLUGINID), E_RT_ANIM_TOOMANYSCHEMES},
    {"E_RT_ANIM_SCHEMEUNKNOWN", static_cast<RwInt32>(rtANIMPLUGINID), E_RT_ANIM_SCHEMEUNKNOWN},
};

TEST(ErrorTexts, EveryCodeTheEngineReportsHasItsNameAndMessage)
{
    std::set<std::string> listed;
    for (const KnownCode &known : kKnownCodes) {
        listed.insert(known.name);
        const RwChar *name = RwErrorGetName(known.pluginID, known.code);
        const RwChar *message = RwErrorGetMessage(known.pluginID, known.code);
        ASSERT_NE(name, nullptr) << known.name;
        ASSERT_NE(message, nullptr) << known.name;
        // The texture code's constant is private to its source file.
        if (std::string(known.name) != "rwE_TEXTURENOTFOUND") {
            EXPECT_STREQ(name, known.name);
        }
        EXPECT_GT(std::strlen(message), 8u) << known.name;
    }
    // Every code constant the engine's sources name is in the list above,
    // so a new code cannot come without its message.
    const std::regex code(R"(\b(rwE_|E_R[WXPT]_)[A-Z0-9_]+\b)");
    for (const auto &entry : std::filesystem::recursive_directory_iterator(std::string(RW_TEST_SOURCE_DIR) + "/rwsdk")) {
        // (The table of texts names every code itself.)
        if (entry.path().extension() != ".cpp" || entry.path().filename() == "baerrtext.cpp") {
            continue;
        }
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string source = text.str();
        for (std::sregex_iterator it(source.begin(), source.end(), code), end; it != end; ++it) {
            const std::string found = it->str();
            if (found != "E_RW_NOERROR") {
                EXPECT_TRUE(listed.count(found) == 1) << found << " in " << entry.path() << " has no entry";
            }
        }
    }
    EXPECT_EQ(RwErrorGetName(rwID_CORE, 9999), nullptr);
    // Common codes are found whatever module reported them.
    EXPECT_STREQ(RwErrorGetName(0x120, E_RW_READ), "E_RW_READ");
}

std::vector<std::string> handled;
void Collect(RwDebugType type, const RwChar *message)
{
    handled.push_back((type == rwDEBUGERROR ? "error: " : "message: ") + std::string(message));
}

TEST_F(ErrorSlot, TheHandlerHearsEveryReportWithItsTextAndDetail)
{
    handled.clear();
    EXPECT_EQ(RwDebugSetHandler(Collect), nullptr);
    RwErrorReport(rwID_CORE, E_RW_ENDOFSTREAM);
    RwErrorReportDetail(rwID_COMMON, E_RW_BADOPEN, "NOWHERE.BSP");  // dropped by the slot, still heard
    RwDebugSendMessage(rwDEBUGMESSAGE, "hello");
    EXPECT_EQ(RwDebugSetHandler(nullptr), Collect);
    RwErrorReport(rwID_CORE, E_RW_ENDOFSTREAM);  // no handler: nothing heard
    ASSERT_EQ(handled.size(), 3u);
    EXPECT_EQ(handled[0], "error: E_RW_ENDOFSTREAM (0x1:0x5): end of stream reached");
    EXPECT_EQ(handled[1], "error: E_RW_BADOPEN (0x0:0x80000002): the file cannot be opened: NOWHERE.BSP");
    EXPECT_EQ(handled[2], "message: hello");
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_ENDOFSTREAM);

    // A missing file opened by name is reported with its name.
    handled.clear();
    RwDebugSetHandler(Collect);
    EXPECT_EQ(RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, "/nonexistent/STAGE.BSP"), nullptr);
    RwDebugSetHandler(nullptr);
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_NE(handled[0].find("E_RW_BADOPEN"), std::string::npos);
    EXPECT_NE(handled[0].find("/nonexistent/STAGE.BSP"), std::string::npos);
    rwtest::TakeError();
}

}  // namespace

}  // namespace baerr_test
