// The input object: buttons.pref read and written (hostile files among them), the binding
// functions, and the ticks that fill the pad-state blocks and the bytes the screens read.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "app/app_test_support.h"
#include "app/input.h"
#include "app/options.h"
#include "input/input_script.h"
#include "support/game/diagnostics_capture.h"

namespace input_test {

namespace {

using input::ButtonConfig;
using input::DefaultButtonConfig;
using input::kKeyboardSlot;
using input::kSlotCount;

// An input object over a scratch data root.
class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = apptest::ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        SetDataRootPath(root.c_str());
    }
    void TearDown() override
    {
        input.Destroy();
        SetDataRootPath("");
    }
    std::string Pref() const { return root + "/buttons.pref"; }
    // Creates the object over a script; the diagnostics it printed.
    std::string CreateWith(const std::string &script, const std::string &log = "")
    {
        input::InputScript parsed;
        std::string error;
        EXPECT_TRUE(input::ParseInputScript(script, &parsed, &error)) << error;
        gametest::CaptureDiagnostics();
        EXPECT_TRUE(input.Create(input::CreateScriptedInputDevices(parsed), log, &error)) << error;
        return gametest::TakeDiagnostics();
    }
    bool AllDefaults() const
    {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const ButtonConfig defaults = DefaultButtonConfig(slot);
            if (std::memcmp(&input.configs[slot], &defaults, sizeof(defaults)) != 0) {
                return false;
            }
        }
        return MouseSpeed == kDefaultMouseSpeed;
    }
    void Tick()
    {
        ++tick;
        input.Poll(tick, blocks);
    }
    uint8_t State(int pad, int button) const { return blocks[kPadStateBlock][pad].buttons[button]; }

    std::string root;
    CSInput input;
    PadState blocks[kPadBlocks][kPadsPerBlock] = {};
    uint32_t tick = 0;
};

TEST_F(InputTest, WithoutAFileTheDefaultsStandAndNothingIsWritten)
{
    const std::string said = CreateWith("");
    EXPECT_TRUE(AllDefaults());
    EXPECT_EQ(g_pInput, &input);
    EXPECT_FALSE(std::filesystem::exists(Pref()));
    EXPECT_EQ(GetButtonBinding(kKeyboardSlot, "circle"), input::kKeyC);
    EXPECT_EQ(GetButtonBinding(0, "start"), 9);
    EXPECT_EQ(GetButtonBinding(5, "start"), -1);
    EXPECT_EQ(GetButtonBinding(0, "jump"), -1);
    input.Destroy();
    EXPECT_EQ(g_pInput, nullptr);
    // Without an input the button services take and keep nothing.
    EXPECT_EQ(GetButtonBinding(0, "start"), -1);
    EXPECT_FALSE(SetButtonBinding(0, "start", 8));
    ResetButtonConfig();
    EXPECT_FALSE(SaveButtonConfig());
    EXPECT_FALSE(std::filesystem::exists(Pref()));
}

TEST_F(InputTest, SetSaveReloadGivesTheSameRecords)
{
    CreateWith("");
    EXPECT_TRUE(SetButtonBinding(kKeyboardSlot, "circle", input::kKeyB));
    EXPECT_TRUE(SetButtonBinding(kKeyboardSlot, "square", input::kKeyNum5));
    EXPECT_FALSE(SetButtonBinding(kKeyboardSlot, "triangle", 1));  // Escape
    EXPECT_FALSE(SetButtonBinding(kKeyboardSlot, "nonsense", 60));
    EXPECT_FALSE(SetButtonBinding(5, "cross", 1));
    EXPECT_TRUE(SetButtonBinding(2, "cross", 15));  // left takes cross's 0
    EXPECT_EQ(GetButtonBinding(2, "left"), 0);
    EXPECT_TRUE(SetButtonBinding(3, "laxnegative", 6));
    EXPECT_TRUE(SetButtonBinding(3, "active", 0));
    MouseSpeed = 0.37f;
    ButtonConfig saved[kSlotCount];
    std::memcpy(saved, input.configs, sizeof(saved));
    ASSERT_TRUE(SaveButtonConfig());
    const std::string text = input.FormatButtonConfig();
    EXPECT_EQ(text.rfind("MouseSpeed: 0.370000\nSlot: 0\n{\nactive: 1\nleft: 15\n", 0), 0u) << text;
    EXPECT_EQ(apptest::ReadBytes(Pref()), std::vector<uint8_t>(text.begin(), text.end()));

    ResetButtonConfig();
    MouseSpeed = kDefaultMouseSpeed;
    EXPECT_TRUE(AllDefaults());
    gametest::CaptureDiagnostics();
    EXPECT_TRUE(input.LoadButtonConfig(Pref().c_str()));
    EXPECT_EQ(gametest::TakeDiagnostics(), "");
    EXPECT_EQ(std::memcmp(saved, input.configs, sizeof(saved)), 0);
    EXPECT_EQ(MouseSpeed, 0.37f);
    EXPECT_EQ(input.configs[3].codes[input::kFnLax], 6);
}

TEST_F(InputTest, SavingReplacesTheFileAndAFailedSaveKeepsIt)
{
    apptest::WriteText(Pref(), "MouseSpeed: 0.300000\n");
    CreateWith("");
    EXPECT_EQ(MouseSpeed, 0.3f);
    // Another name for the old file: a write in place would show through it.
    ASSERT_EQ(::link(Pref().c_str(), (Pref() + ".old").c_str()), 0);
    ASSERT_TRUE(SaveButtonConfig());
    EXPECT_EQ(apptest::ReadBytes(Pref() + ".old").size(), std::string("MouseSpeed: 0.300000\n").size());

    const std::vector<uint8_t> before = apptest::ReadBytes(Pref());
    std::filesystem::create_directories(Pref() + ".tmp/blocked");  // the temporary file cannot be made
    SetButtonBinding(kKeyboardSlot, "circle", input::kKeyB);
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(SaveButtonConfig());
    EXPECT_NE(gametest::TakeDiagnostics().find("buttons.pref.tmp"), std::string::npos);
    EXPECT_EQ(apptest::ReadBytes(Pref()), before);
}

TEST_F(InputTest, HostileFilesGiveDefaultsWithDiagnostics)
{
    std::string huge = "MouseSpeed: 0.3";
    huge.append(1 << 20, '0');
    huge += "\nSlot: 4\n{\ncircle: ";
    huge.append(1 << 20, '7');
    huge += "\n}\n";
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage.push_back(static_cast<char>((i * 7919 + 13) & 0xFF));
    }
    const struct {
        const char *name;
        std::string text;
        const char *said;  // a piece of the diagnostics
    } cases[] = {
        {"garbage", garbage, "buttons.pref:"},
        {"unknown names", "Slot: 4\n{\njump: 30\nCircle: 31\n}\nVolume: 3\n", "is not a function name"},
        {"key out of range", "Slot: 4\n{\ncircle: 256\n}\n", "256 is outside 0..255"},
        {"button out of range", "Slot: 1\n{\ncircle: 16\n}\n", "16 is outside 0..15"},
        {"axis out of range", "Slot: 0\n{\nlax: 8\n}\n", "8 is outside 0..7"},
        {"switch out of range", "Slot: 2\n{\nactive: 2\n}\n", "2 is outside 0..1"},
        {"negative code", "Slot: 2\n{\ncross: -1\n}\n", "-1 is outside 0..15"},
        {"not a number", "Slot: 4\n{\ncross: X\n}\n", "'X' is not a whole number"},
        {"escape", "Slot: 4\n{\ncross: 1\n}\n", "Escape serves select only"},
        {"slot out of range", "Slot: 5\n{\ncross: 3\n}\n", "5 is outside 0..4"},
        {"mouse speed out of range", "MouseSpeed: 0.9\n", "is outside 0.05"},
        {"mouse speed not a number", "MouseSpeed: fast\n", "'fast' is not a number"},
        {"missing opening brace", "Slot: 4\ncircle: 48\n}\n", "outside a slot's block"},
        {"missing closing brace", "Slot: 4\n{\ncircle: 48\n", "has no closing '}'"},
        {"missing closing brace before the next slot", "Slot: 4\n{\ncircle: 48\nSlot: 3\n{\n}\n",
         "has no closing '}'"},
        {"one key for two functions", "Slot: 4\n{\ncircle: 44\n}\n", "would serve both circle and square"},
        {"one button for two functions", "Slot: 0\n{\ncross: 5\n}\n", "would serve both r1 and cross"},
        {"1 MB lines", huge, "longer than"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        apptest::WriteText(Pref(), c.text);
        const std::string said = CreateWith("");
        EXPECT_TRUE(AllDefaults());
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        input.Destroy();
    }
}

TEST_F(InputTest, AGoodLineBesideABadOneIsTaken)
{
    apptest::WriteText(Pref(),
                       "MouseSpeed: 0.150000\n"
                       "Slot: 4\n{\ncircle: 48\ncross: 999\nsquare: 35\n}\n"
                       "Slot: 1\n{\nlax: 4\nlaxnegative: 5\n}\n");
    const std::string said = CreateWith("");
    EXPECT_FLOAT_EQ(MouseSpeed, 0.15f);
    EXPECT_EQ(GetButtonBinding(kKeyboardSlot, "circle"), input::kKeyB);
    EXPECT_EQ(GetButtonBinding(kKeyboardSlot, "cross"), input::kKeyX);
    EXPECT_EQ(GetButtonBinding(kKeyboardSlot, "square"), 35);
    // On a pad the stick function's axis serves its negative name too.
    EXPECT_EQ(GetButtonBinding(1, "lax"), 4);
    EXPECT_EQ(GetButtonBinding(1, "laxnegative"), 4);
    EXPECT_NE(said.find("999 is outside"), std::string::npos) << said;
    EXPECT_NE(said.find("laxnegative differs from lax"), std::string::npos) << said;
}

TEST_F(InputTest, TicksFillTheBlocksAndTheBytes)
{
    CreateWith("2 key Enter 1\n"
               "2 mouse button 0 1\n"
               "2 pad1 connect 1\n"
               "3 mouse button 0 0\n"
               "3 pad1 button 9 1\n"
               "3 pad1 axis 4 700\n"
               "4 key Enter 0\n"
               "5 key C 1\n"
               "5 key C 0\n"
               "6 pad0 connect 1\n"
               "7 pad0 axis 2 -500\n");
    Tick();
    EXPECT_EQ(blocks[kPadStateBlock][0].connected, 1);
    EXPECT_EQ(blocks[kPadStateBlock][1].connected, 0);
    Tick();  // 2
    EXPECT_EQ(State(0, kPadStart), 1);
    EXPECT_EQ(KeyStateBytes[input::kKeyEnter], 1);
    EXPECT_EQ(MouseButtonState, 1);
    EXPECT_EQ(State(0, kPadSquare), 1);
    EXPECT_EQ(blocks[kPadStateBlock][1].connected, 1);
    Tick();  // 3
    EXPECT_EQ(State(0, kPadStart), 2);
    EXPECT_EQ(blocks[0][0].buttons[kPadStart], 1);
    EXPECT_EQ(blocks[1][0].buttons[kPadStart], 1);
    EXPECT_EQ(MouseButtonState, 2);
    EXPECT_EQ(State(1, kPadStart), 1);
    EXPECT_EQ(RawPadState[1].buttons[input::kRawStart], 1);
    EXPECT_EQ(RawPadState[1].axes[4], 700);
    Tick();  // 4
    EXPECT_EQ(State(0, kPadStart), 0);
    EXPECT_EQ(MouseButtonState, 0);
    EXPECT_EQ(RawPadState[1].buttons[input::kRawStart], 2);
    Tick();  // 5: a tap inside one tick
    EXPECT_EQ(State(0, kPadCircle), 1);
    EXPECT_EQ(KeyStateBytes[input::kKeyC], 1);
    Tick();
    EXPECT_EQ(State(0, kPadCircle), 0);
    Tick();  // 7: the first pad's raw state too
    EXPECT_EQ(RawPadState[0].axes[2], -500);

    // Made again, it starts with nothing held until its first tick.
    MouseButtonState = 2;
    KeyStateBytes[input::kKeyC] = 2;
    CreateWith("");
    EXPECT_EQ(MouseButtonState, 0);
    for (const uint8_t state : KeyStateBytes) {
        EXPECT_EQ(state, 0);
    }
    for (const input::RawPadState &pad : RawPadState) {
        const input::RawPadState none{};
        EXPECT_EQ(std::memcmp(&pad, &none, sizeof(none)), 0);
    }
}

TEST_F(InputTest, TheLogFollowsTheBindings)
{
    apptest::WriteText(Pref(), "Slot: 4\n{\ncircle: 48\n}\n");
    const std::string log = root + "/log.txt";
    CreateWith("1 key B 1\n2 key B 0\n3 quit\n", log);
    Tick();
    Tick();
    EXPECT_TRUE(input.Poll(3, blocks));
    input.Destroy();
    const std::vector<uint8_t> bytes = apptest::ReadBytes(log);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "1 pad0 connect 1\n"
              "1 pad0 button 1 1  # circle\n"
              "1 key B 1\n"
              "2 pad0 button 1 0  # circle\n"
              "2 key B 0\n");
}

// The options' input: a script that cannot be read, or a log that cannot be
// written, stops the start with a message naming it; a headless run without
// a script has absent devices and starts.
TEST_F(InputTest, AScriptOrLogThatCannotBeHadStopsTheStartNamingIt)
{
    game::Options options;
    std::string error;
    options.inputScript = root + "/none.txt";
    EXPECT_FALSE(input.Create(options, &error));
    EXPECT_NE(error.find("none.txt"), std::string::npos) << error;
    apptest::WriteText(root + "/keys.txt", "1 quit\n");
    options.inputScript = root + "/keys.txt";
    options.inputLog = root + "/no/such/folder/log.txt";
    error.clear();
    EXPECT_FALSE(input.Create(options, &error));
    EXPECT_EQ(error, "the input log " + options.inputLog + " cannot be written");
    options.inputLog.clear();
    EXPECT_TRUE(input.Create(options, &error)) << error;
    EXPECT_TRUE(input.Poll(1, blocks));  // the script's quit
    input.Destroy();
    EXPECT_FALSE(input.Poll(2, blocks)) << "an input let go polls nothing and asks no quit";
    game::Options headless;
    headless.headless = true;
    EXPECT_TRUE(input.Create(headless, &error)) << error;
    EXPECT_FALSE(input.Poll(1, blocks));
}

TEST(InputOptions, ScriptLogAndHelp)
{
    const char *argv[] = {"game", "--input", "keys.txt", "--input-log", "log.txt", "--help"};
    game::Options options;
    std::string error;
    ASSERT_TRUE(game::ParseOptions(6, argv, &options, &error)) << error;
    EXPECT_EQ(options.inputScript, "keys.txt");
    EXPECT_EQ(options.inputLog, "log.txt");
    EXPECT_TRUE(options.help);
    const char *empty[] = {"game", "--input", ""};
    EXPECT_FALSE(game::ParseOptions(3, empty, &options, &error));
    const std::string help = game::OptionsHelp();
    for (const char *name : {"--mode <1 to 4>", "--frames", "--headless", "--fixed-step", "--screenshot <TICK:PATH>",
                             "--language", "--display-info", "--input <a script file>", "--input-log", "--help"}) {
        EXPECT_NE(help.find(name), std::string::npos) << name;
    }
}

TEST(InputRumble, IsAnEmptyRequest) { EXPECT_EQ(RequestPadRumble(0, 9030010), 0); }

}  // namespace

}  // namespace input_test
