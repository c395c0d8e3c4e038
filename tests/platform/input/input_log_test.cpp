// The input log: one script-syntax line per change, nothing for what stayed.
#include <gtest/gtest.h>

#include <string>

#include "input/input_log.h"
#include "input/key_codes.h"

namespace input_log_test {

namespace {

using namespace input;

TEST(InputLog, WritesOnlyChanges) {
    InputLog log;
    PadState pads[kPadCount] = {};
    uint8_t keys[256] = {};
    std::string text;
    log.Record(1, pads, 0, keys, &text);
    EXPECT_EQ(text, "");

    pads[0].connected = 1;
    pads[0].buttons[kPadStart] = 1;
    pads[0].axes[kAxisLy] = -1.0f;
    keys[kKeyEnter] = 1;
    keys[kKeyNum1] = 2;
    keys[3] = 1;  // the "2" key goes by code: a number is a code in the script
    log.Record(2, pads, 1, keys, &text);
    EXPECT_EQ(text,
              "2 pad0 connect 1\n"
              "2 pad0 button 11 1  # start\n"
              "2 pad0 axis 1 -1000  # lay\n"
              "2 mouse button 0 1\n"
              "2 key 3 1\n"
              "2 key Enter 1\n"
              "2 key Num 1 2\n");

    text.clear();
    pads[0].buttons[kPadStart] = 2;
    pads[0].axes[kAxisLy] = -0.9996f;  // the same in thousandths
    pads[3].axes[kAxisRx] = 0.25f;
    log.Record(3, pads, 3, keys, &text);
    EXPECT_EQ(text,
              "3 pad0 button 11 2  # start\n"
              "3 pad3 axis 2 250  # rax\n"
              "3 mouse button 0 3\n");
}

}  // namespace

}  // namespace input_log_test
