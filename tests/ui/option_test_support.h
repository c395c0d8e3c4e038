// Support for the options screen's tests: the screens on a tree of the
// test's own (so that buttons.pref is written apart from the sample data;
// none there at the start), the real input object over an input script,
// and steps that poll the script's next tick and update the screens, as
// the game's tick does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/input.h"
#include "input/input_script.h"
#include "tests/ui/save_test_support.h"
#include "ui/option_screen.h"

namespace optiontest {

class OptionScreenTest : public savetest::SaveScreensTest {
protected:
    void SetUp() override
    {
        StartOn(std::string("options_") + ::testing::UnitTest::GetInstance()->current_test_info()->name(), true,
                language);
    }
    void TearDown() override
    {
        input.reset();
        savetest::SaveScreensTest::TearDown();
    }

    // The input object reads `script` from the next step on (ticks count
    // from 1 again) and buttons.pref of the tree.
    void Script(const std::string &text)
    {
        input::InputScript parsed;
        std::string error;
        ASSERT_TRUE(input::ParseInputScript(text, &parsed, &error)) << error;
        input.reset();
        input = std::make_unique<CSInput>();
        ASSERT_TRUE(input->Create(input::CreateScriptedInputDevices(parsed), "", &error)) << error;
        tick = 0;
    }
    // `count` ticks: the devices polled, then the screens updated by 16 ms.
    void Step(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            ++tick;
            input->Poll(tick, gs.padStates);
            ui->Update(16);
        }
    }
    // Options opened with `script` playing from its tick 1 (the switch
    // happens in the first step).
    CSOption *Open(const std::string &script)
    {
        Script(script);
        ui->RequestModule(kUIOption);
        Step();
        EXPECT_EQ(ui->CurrentScreen(), kUIOption);
        return ui->Option();
    }
    std::string PrefPath() const { return root + "/buttons.pref"; }

    std::unique_ptr<CSInput> input;
    uint32_t tick = 0;
    int32_t language = 1;  // set before SetUp for another language
};

// "T key NAME 1" and "T+1 key NAME 0": one tap.
inline std::string KeyTap(uint32_t tick, const std::string &key)
{
    return std::to_string(tick) + " key " + key + " 1\n" + std::to_string(tick + 1) + " key " + key + " 0\n";
}

}  // namespace optiontest
