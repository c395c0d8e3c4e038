// The .FSF file: a round trip through the text form, and hostile files
// (missing braces, garbage, huge counts, duplicates, transitions to missing
// states) reported with file and line and never trusted.
#include <gtest/gtest.h>

#include <string>

#include <filesystem>
#include <fstream>

#include "actor/fsf_file.h"
#include "app/fatal.h"
#include "app/keyword.h"
#include "app/path.h"
#include "support/engine/scratch_path.h"
#include "support/game/fsf_builder.h"
#include "support/game/diagnostics_capture.h"

namespace fsf_file_test {

namespace {

// Reads `text` as the file NAME.FSF; returns the problems reported and
// leaves the diagnostics in *said.
int Read(const std::string &text, CFSF *fsf, std::string *said)
{
    CSKeywordFile file;
    EXPECT_TRUE(file.OpenMemory("NAME.FSF", text.data(), text.size()));
    gametest::CaptureDiagnostics();
    const int problems = ReadFsf(&file, fsf);
    *said = gametest::TakeDiagnostics();
    return problems;
}

bool Says(const std::string &said, const std::string &what)
{
    return said.find(what) != std::string::npos;
}

TEST(FsfFile, RoundTripsEveryValue)
{
    gametest::FsfBuilder b;
    b.State(0).Speed(0.0f).To(1, 1).To(0, 0, 0, 0.2f);
    b.State(1).Speed(31.25f).Acceleration(-7.5f).Hurt(0).Grab(1).Attack(25, 65).Weapon(100130).Weapon(100140);
    b.State(1).To(0, 0, 1, 0.125f).To(30, 7);
    b.State(7).Hurt(1).To(0, 0, 0, 1.0f);
    const CFSF written = b.Build();
    CFSF read;
    std::string said;
    EXPECT_EQ(Read(FormatFsf(written), &read, &said), 0) << said;
    ASSERT_EQ(read.StateCount(), written.StateCount());
    for (const FsfState &w : written.States()) {
        const FsfState *r = read.FindState(w.id);
        ASSERT_NE(r, nullptr) << w.id;
        EXPECT_EQ(r->speed, w.speed);
        EXPECT_EQ(r->acceleration, w.acceleration);
        EXPECT_EQ(r->isHurt, w.isHurt);
        EXPECT_EQ(r->isGrab, w.isGrab);
        EXPECT_EQ(r->attackValue, w.attackValue);
        EXPECT_EQ(r->attackAttribute, w.attackAttribute);
        EXPECT_EQ(r->weaponIds, w.weaponIds);
        ASSERT_EQ(r->transitions.size(), w.transitions.size());
        for (size_t i = 0; i < w.transitions.size(); ++i) {
            EXPECT_EQ(r->transitions[i].input, w.transitions[i].input);
            EXPECT_EQ(r->transitions[i].output, w.transitions[i].output);
            EXPECT_EQ(r->transitions[i].isDirChange, w.transitions[i].isDirChange);
            EXPECT_EQ(r->transitions[i].blend, w.transitions[i].blend);
        }
    }
    EXPECT_EQ(FormatFsf(read), FormatFsf(written));
}

TEST(FsfFile, DefaultsAndUnknownKeys)
{
    const std::string text =
        "StateNum: 1\nState\n{\nStateID: 4\nColour: red\nTransitionNum: 0\n}\n";
    CFSF fsf;
    std::string said;
    EXPECT_EQ(Read(text, &fsf, &said), 0) << said;
    ASSERT_NE(fsf.FindState(4), nullptr);
    EXPECT_EQ(fsf.GetIsHurt(4), 1);
    EXPECT_EQ(fsf.GetIsGrab(4), 0);
    EXPECT_EQ(fsf.GetNumOfWeapon(4), 0);
}

// A machine that declares no states and has none is read without a word.
TEST(FsfFile, NoStatesDeclaredAndNoneThereIsNoProblem)
{
    CFSF fsf;
    std::string said;
    EXPECT_EQ(Read("StateNum: 0\n", &fsf, &said), 0) << said;
    EXPECT_EQ(said, "");
    EXPECT_EQ(fsf.StateCount(), 0);
}

TEST(FsfFile, DanglingTransitionsDuplicatesAndCountsAreReportedWithTheirLines)
{
    const std::string text =
        "StateNum: 3\n"                     // 1: three declared, two kept
        "State\n{\n"                        // 2, 3
        "StateID: 0\n"                      // 4
        "NumOfWeapon: 2\n"                  // 5
        "WeaponID: 100130\n"                // 6
        "TransitionNum: 1\n"                // 7
        "Transition: 1, 1, 0, 0.2\n"        // 8
        "Transition: 2, 9, 0, 0.2\n"        // 9: state 9 does not exist
        "}\n"                               // 10
        "State\n{\nStateID: 1\n}\n"         // 11-14
        "State\n{\nStateID: 0\n}\n";        // 15-18: a second state 0
    CFSF fsf;
    std::string said;
    EXPECT_GE(Read(text, &fsf, &said), 5);
    EXPECT_TRUE(Says(said, "NAME.FSF:9: Transition:")) << said;
    EXPECT_TRUE(Says(said, "leads to state 9")) << said;
    EXPECT_TRUE(Says(said, "NAME.FSF:15: State: StateID 0 is already defined")) << said;
    EXPECT_TRUE(Says(said, "NAME.FSF:5: NumOfWeapon: 2")) << said;
    EXPECT_TRUE(Says(said, "NAME.FSF:7: TransitionNum: 1")) << said;
    EXPECT_TRUE(Says(said, "NAME.FSF:1: StateNum: 3")) << said;
    EXPECT_EQ(fsf.StateCount(), 2);
    EXPECT_EQ(fsf.GetNumOfWeapon(0), 1);
    ASSERT_EQ(fsf.FindState(0)->transitions.size(), 1u);
    fsf.SetState(0);
    EXPECT_EQ(fsf.NextState(2, 1), -1);
}

TEST(FsfFile, HostileTextNeverHangsOrOverreads)
{
    const std::string cases[] = {
        "",
        "garbage\n\x01\x02\xff\n",
        "StateNum: 99999999999\n",
        "StateNum: -5\nState\n",
        "State\nStateID: 3\n}\n",                      // no opening brace
        "State\n{\nStateID: 3\nTransition: 0, 3\n",     // no closing brace, short transition
        "State\n{\nStateID: 3\nState\n{\nStateID: 4\n}\n",  // a block inside a block
        "State\n{\nStateID: 99999\n}\n",               // id out of range
        "State\n{\nStateID: 2\nTransition: 0.5, 2, 0, 1\nTransition: 0, 2, 0, nan\n}\n",
        "State\n{\nStateID: 2\nTransitionNum: 2147483647\nNumOfWeapon: 2147483647\n}\n",
        "{\n}\n}\n{\nState\n",
    };
    for (const std::string &text : cases) {
        CFSF fsf;
        std::string said;
        Read(text, &fsf, &said);
        EXPECT_LE(fsf.StateCount(), 2) << text;
    }
    // The transition with a fractional input is refused, the state kept.
    CFSF fsf;
    std::string said;
    Read(cases[8], &fsf, &said);
    ASSERT_NE(fsf.FindState(2), nullptr);
    EXPECT_LE(fsf.FindState(2)->transitions.size(), 1u);
    // The block broken by another still yields the inner state.
    Read(cases[6], &fsf, &said);
    EXPECT_NE(fsf.FindState(4), nullptr);
}

TEST(FsfFile, ManyTransitionsAreBounded)
{
    std::string text = "State\n{\nStateID: 0\n";
    for (int i = 0; i < 5000; ++i) {
        text += "Transition: 1, 0, 0, 0\n";
    }
    text += "}\n";
    CFSF fsf;
    std::string said;
    Read(text, &fsf, &said);
    ASSERT_NE(fsf.FindState(0), nullptr);
    EXPECT_EQ(fsf.FindState(0)->transitions.size(), 4096u);
}

// State ids run to 4095 and a state holds at most 64 weapons: beyond
// either the file is told off at the line and the rest kept.
TEST(FsfFile, StateIdsAndWeaponsStopAtTheirLimits)
{
    std::string text = "State\n{\nStateID: 4096\n}\nState\n{\nStateID: 4095\n";
    for (int i = 0; i < 65; ++i) {
        text += "WeaponID: " + std::to_string(100000 + i) + "\n";
    }
    text += "}\n";
    CFSF fsf;
    std::string said;
    EXPECT_EQ(Read(text, &fsf, &said), 3);
    EXPECT_TRUE(Says(said, "NAME.FSF:3: StateID: 4096 is outside 0..4095")) << said;
    EXPECT_TRUE(Says(said, "NAME.FSF:1: State: the block has no StateID")) << said;
    EXPECT_TRUE(Says(said, "NAME.FSF:72: WeaponID: more than 64 weapons")) << said;
    EXPECT_EQ(fsf.StateCount(), 1);
    EXPECT_EQ(fsf.GetNumOfWeapon(4095), 64);
    EXPECT_EQ(fsf.GetWeaponId(4095, 63), 100063);
}

std::string g_fatalName;
void RecordFatal(const char *name)
{
    g_fatalName = name;
}

TEST(FsfFile, TemplateWithoutFileOrStatesRaisesTheFatalReport)
{
    const std::filesystem::path root = rwtest::ScratchPath("fsf_root");
    std::filesystem::create_directories(root / "RESOURCE" / "MONSTER" / "EMPTY");
    std::ofstream(root / "RESOURCE" / "MONSTER" / "EMPTY" / "EMPTY.FSF") << "StateNum: 0\n";
    SetDataRootPath(root.string().c_str());
    const FatalErrorHandler previous = SetFatalErrorHandler(RecordFatal);
    const char *paths[] = {"\\RESOURCE\\MONSTER\\NONE\\NONE.FSF", "\\RESOURCE\\MONSTER\\EMPTY\\EMPTY.FSF"};
    for (const char *path : paths) {
        CFSF fsf;
        g_fatalName.clear();
        gametest::CaptureDiagnostics();
        EXPECT_FALSE(LoadTemplateFsf(path, &fsf));
        gametest::TakeDiagnostics();
        EXPECT_EQ(g_fatalName, path);
        EXPECT_EQ(fsf.StateCount(), 0);
    }
    // The report says why the file that is there cannot be used, and calls
    // the one that is not there missing.
    EXPECT_EQ(UnreadableReason(paths[1]), "the state machine has no state");
    EXPECT_EQ(UnreadableReason(paths[0]), "");
    SetFatalErrorHandler(previous);
    SetDataRootPath("");
    std::filesystem::remove_all(root);
}

}  // namespace

}  // namespace fsf_file_test
