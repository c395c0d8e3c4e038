// The input script: every line form, the malformed ones with their line, and the
// scripted devices tick by tick.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "input/input_script.h"
#include "support/engine/scratch_path.h"

namespace input_script_test {

namespace {

using namespace input;

InputScript Parse(const std::string &text) {
    InputScript script;
    std::string error;
    EXPECT_TRUE(ParseInputScript(text, &script, &error)) << error;
    return script;
}

TEST(InputScript, EveryLineForm) {
    const InputScript script = Parse(
        "# a comment line\n"
        "\n"
        "1 key Enter 1   # start\n"
        "1 key 30 1\n"
        "2 key Num 1 1\n"
        "2 pad2 button 15 1\n"
        "3 pad0 axis 7 -1000\n"
        "3 pad3 connect 1\r\n"
        "4 mouse button 2 1\n"
        "4 mouse move -5 12\n"
        "5 mouse wheel +1\n"
        "5 mouse wheel -1\n"
        "\t6   quit\n");
    ASSERT_EQ(script.events.size(), 11u);
    const ScriptEvent &enter = script.events[0];
    EXPECT_EQ(enter.tick, 1u);
    EXPECT_EQ(enter.kind, ScriptEventKind::Key);
    EXPECT_EQ(enter.index, 28);
    EXPECT_EQ(enter.value, 1);
    EXPECT_EQ(enter.line, 3u);
    EXPECT_EQ(script.events[1].index, 30);
    EXPECT_EQ(script.events[2].index, 79);
    EXPECT_EQ(script.events[3].kind, ScriptEventKind::PadButton);
    EXPECT_EQ(script.events[3].pad, 2);
    EXPECT_EQ(script.events[3].index, 15);
    EXPECT_EQ(script.events[4].kind, ScriptEventKind::PadAxis);
    EXPECT_EQ(script.events[4].value, -1000);
    EXPECT_EQ(script.events[5].kind, ScriptEventKind::PadConnect);
    EXPECT_EQ(script.events[5].pad, 3);
    EXPECT_EQ(script.events[6].kind, ScriptEventKind::MouseButton);
    EXPECT_EQ(script.events[6].index, 2);
    EXPECT_EQ(script.events[7].kind, ScriptEventKind::MouseMove);
    EXPECT_EQ(script.events[7].value, -5);
    EXPECT_EQ(script.events[7].value2, 12);
    EXPECT_EQ(script.events[8].value, 1);
    EXPECT_EQ(script.events[9].value, -1);
    EXPECT_EQ(script.events[10].kind, ScriptEventKind::Quit);
    EXPECT_EQ(script.events[10].line, 13u);
}

TEST(InputScript, MalformedLinesAreNamed) {
    const struct { const char *text; const char *message; } cases[] = {
        {"12 key\n", "line 1: key needs a key and a state 0 or 1: '12 key'"},
        {"1 key A 1\n\n12 key Nope 1\n", "line 3: no key is named 'Nope'"},
        {"1 key A 2\n", "line 1: a key's state is 0 or 1"},
        {"1 key 256 1\n", "line 1: a key code runs from 1 to 255"},
        {"0 key A 1\n", "line 1: the tick must be a number from 1 on"},
        {"x key A 1\n", "line 1: the tick must be a number from 1 on"},
        {"99999999999999999999999 quit\n", "line 1: the tick must be a number"},
        {"5\n", "line 1: an event must follow the tick"},
        {"5 quit now\n", "line 1: quit takes nothing more"},
        {"5 pad4 button 0 1\n", "line 1: unknown device 'pad4'"},
        {"5 pad0 button 16 1\n", "line 1: pad button takes a button 0..15"},
        {"5 pad0 button 1\n", "line 1: pad button takes a button 0..15"},
        {"5 pad1 axis 8 0\n", "line 1: pad axis takes an axis 0..7"},
        {"5 pad1 axis 0 1001\n", "line 1: pad axis takes an axis 0..7 and a value -1000..1000"},
        {"5 pad1 connect 2\n", "line 1: pad connect takes 0 or 1"},
        {"5 pad1 rumble 1\n", "line 1: a pad needs button, axis or connect"},
        {"5 mouse button 3 1\n", "line 1: mouse button takes a button 0..2"},
        {"5 mouse move 1\n", "line 1: mouse move takes dx and dy"},
        {"5 mouse wheel 2\n", "line 1: mouse wheel takes +1 or -1"},
        {"5 mouse fly\n", "line 1: mouse needs button, move or wheel"},
        {"5 keyboard A 1\n", "line 1: unknown device 'keyboard'"},
        {"5 key A 1\n4 key A 0\n", "line 2: tick 4 comes after tick 5"},
    };
    for (const auto &c : cases) {
        InputScript script;
        std::string error;
        EXPECT_FALSE(ParseInputScript(c.text, &script, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.text << " gave: " << error;
        EXPECT_TRUE(script.events.empty());
    }
}

TEST(InputScript, AHugeLineIsRefusedWithAShortMessage) {
    std::string text = "1 key ";
    text.append(1 << 20, 'A');
    text += " 1\n";
    InputScript script;
    std::string error;
    EXPECT_FALSE(ParseInputScript(text, &script, &error));
    EXPECT_LT(error.size(), 400u);
}

TEST(InputScript, LoadNamesTheFile) {
    const std::string path = rwtest::ScratchPath("input_script_bad.txt");
    FILE *file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("1 key A 1\n12 key\n", file);
    std::fclose(file);
    InputScript script;
    std::string error;
    EXPECT_FALSE(LoadInputScript(path, &script, &error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(LoadInputScript(path + ".missing", &script, &error));
    EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;
    std::remove(path.c_str());
}

TEST(ScriptedDevices, EventsApplyAtTheirTickAndHold) {
    auto devices = CreateScriptedInputDevices(Parse(
        "2 key X 1\n"
        "4 key X 0\n"
        "4 pad0 axis 1 -700\n"
        "5 mouse move 3 4\n"
        "5 mouse move 1 0\n"
        "5 mouse wheel -1\n"
        "6 quit\n"));
    DeviceFrame frame;
    devices->Poll(&frame);  // tick 1
    EXPECT_TRUE(frame.keyboard.present);
    EXPECT_TRUE(frame.mouse.present);
    EXPECT_TRUE(frame.pads[0].connected);
    EXPECT_FALSE(frame.pads[1].connected);
    EXPECT_EQ(frame.keyboard.keys[45].down, 0);
    devices->Poll(&frame);  // tick 2
    EXPECT_EQ(frame.keyboard.keys[45].down, 1);
    EXPECT_EQ(frame.keyboard.keys[45].presses, 1);
    devices->Poll(&frame);  // tick 3
    EXPECT_EQ(frame.keyboard.keys[45].down, 1);
    EXPECT_EQ(frame.keyboard.keys[45].presses, 0);
    devices->Poll(&frame);  // tick 4
    EXPECT_EQ(frame.keyboard.keys[45].down, 0);
    EXPECT_EQ(frame.pads[0].axes[1], -700);
    devices->Poll(&frame);  // tick 5
    EXPECT_EQ(frame.mouse.dx, 4);
    EXPECT_EQ(frame.mouse.dy, 4);
    EXPECT_EQ(frame.mouse.wheelDown, 1);
    EXPECT_EQ(frame.pads[0].axes[1], -700);
    EXPECT_FALSE(frame.quit);
    devices->Poll(&frame);  // tick 6
    EXPECT_EQ(frame.mouse.dx, 0);
    EXPECT_EQ(frame.mouse.wheelDown, 0);
    EXPECT_TRUE(frame.quit);
}

TEST(ScriptedDevices, ATapInsideOneTickCountsItsPress) {
    auto devices = CreateScriptedInputDevices(Parse("3 key C 1\n3 key C 0\n3 pad0 button 0 1\n"
                                                    "3 pad0 button 0 0\n"));
    DeviceFrame frame;
    for (int t = 0; t < 3; ++t) devices->Poll(&frame);
    EXPECT_EQ(frame.keyboard.keys[46].down, 0);
    EXPECT_EQ(frame.keyboard.keys[46].presses, 1);
    EXPECT_EQ(frame.pads[0].buttons[0].presses, 1);
    devices->Poll(&frame);
    EXPECT_EQ(frame.keyboard.keys[46].presses, 0);
}

TEST(ScriptedDevices, ConnectLines) {
    auto devices = CreateScriptedInputDevices(Parse(
        "1 key Enter 1\n"
        "1 pad2 connect 1\n"
        "1 pad2 button 3 1\n"
        "2 pad0 connect 0\n"
        "2 pad2 connect 0\n"
        "3 pad0 connect 1\n"
        "3 pad2 connect 1\n"));
    DeviceFrame frame;
    devices->Poll(&frame);
    EXPECT_TRUE(frame.pads[2].connected);
    EXPECT_EQ(frame.pads[2].buttons[3].down, 1);
    devices->Poll(&frame);
    EXPECT_FALSE(frame.pads[0].connected);
    EXPECT_FALSE(frame.keyboard.present);
    EXPECT_FALSE(frame.mouse.present);
    EXPECT_FALSE(frame.pads[2].connected);
    devices->Poll(&frame);
    EXPECT_TRUE(frame.keyboard.present);
    EXPECT_TRUE(frame.pads[0].connected);
    // What was held when the devices went away is not held when they come back.
    EXPECT_EQ(frame.keyboard.keys[28].down, 0);
    EXPECT_EQ(frame.pads[2].buttons[3].down, 0);
}

TEST(AbsentDevices, ShowNothingPresent) {
    auto devices = CreateAbsentInputDevices();
    DeviceFrame frame;
    frame.keyboard.present = true;
    frame.pads[0].connected = true;
    devices->Poll(&frame);
    EXPECT_FALSE(frame.keyboard.present);
    EXPECT_FALSE(frame.mouse.present);
    for (const PadFrame &pad : frame.pads) EXPECT_FALSE(pad.connected);
}

}  // namespace

}  // namespace input_script_test
