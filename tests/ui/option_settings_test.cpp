// The options screen's settings page driven by keys pressed frame by frame
// through the real input object: a tap and a hold of left and right on the
// volumes (one step; repeats after 40 updates, then every 100 ms), their
// ends, the chevrons' frames and where they hide, the mouse speed's steps
// and range (which bounds only its own row), the silent ends of the rows, back with Escape or cross (first
// to exit, then out), the defaults, the volumes as the sound library hears
// them, and buttons.pref written when the screen is left (read back by a
// new input object; an unwritable file leaves the old one whole and the
// screen leaves all the same).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/audio.h"
#include "app/input.h"
#include "sound/sound.h"
#include "tests/ui/option_test_support.h"
#include "ui/option_screen.h"

namespace option_settings_test {

namespace {

using optiontest::OptionScreenTest;
using optiontest::KeyTap;

class OptionSettings : public OptionScreenTest {
protected:
    // The ticks up to `last` at which `value` changed, stepping one tick at a time.
    template <typename F>
    std::vector<uint32_t> ChangeTicks(uint32_t last, F value)
    {
        std::vector<uint32_t> ticks;
        auto before = value();
        while (tick < last) {
            Step();
            if (value() != before) {
                ticks.push_back(tick);
                before = value();
            }
        }
        return ticks;
    }
    // Steps (the fade drawn each time) until another screen than the
    // options is asked for, at most 200; how many.
    int UpdatesUntilRequest()
    {
        int updates = 0;
        while (ui->RequestedScreen() == kUIOption && updates < 200) {
            Step();
            ui->DrawFade();
            ++updates;
        }
        return updates;
    }
};

TEST_F(OptionSettings, ATapStepsOnceAndAHoldRepeatsAfterFortyUpdatesThenEveryHundredMs)
{
    CSOption *option = Open(KeyTap(2, "Left") + "10 key Left 1\n200 key Left 0\n220 key Right 1\n");
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->musicLevel, 20);
    Step(2);
    EXPECT_EQ(option->musicLevel, 19);
    const std::vector<uint32_t> left = ChangeTicks(205, [&] { return option->musicLevel; });
    // The press at 10, then held from 11: past 40 held updates (tick 51) and
    // more than 100 ms after the last repeat, every 7th update (112 ms).
    ASSERT_GE(left.size(), 4u);
    EXPECT_EQ(left[0], 10u);
    EXPECT_EQ(left[1], 51u);
    EXPECT_EQ(left[2], 58u);
    EXPECT_EQ(left[3], 65u);
    // 19 steps down to 0, which stays.
    EXPECT_EQ(left.size(), 19u);
    EXPECT_EQ(left.back(), 51u + 7u * 17u);
    EXPECT_EQ(option->musicLevel, 0);
    EXPECT_EQ(ui->Settings().musicVolume, 0.0f);
    EXPECT_FALSE(option->ShowsLeftChevrons());
    // The counter of held updates is not cleared by letting go: the right
    // key, pressed at 220, repeats from its first held update on.
    const std::vector<uint32_t> right = ChangeTicks(350, [&] { return option->musicLevel; });
    ASSERT_EQ(right.size(), 20u);
    EXPECT_EQ(right[0], 220u);
    EXPECT_EQ(right[1], 221u);
    EXPECT_EQ(right[2], 228u);
    EXPECT_EQ(option->musicLevel, 20);
    Step(10);
    EXPECT_EQ(option->musicLevel, 20);
    EXPECT_EQ(ui->Settings().musicVolume, 1.0f);
    EXPECT_FALSE(option->ShowsRightChevrons());
    EXPECT_TRUE(option->ShowsLeftChevrons() || option->chevronFrame == 6);
}

// The mouse speed's ends bound only the mouse row: at the slowest speed a
// held left still repeats on the music row, at the fastest a held right.
TEST_F(OptionSettings, AMouseSpeedAtItsEndsStopsNoVolumesHoldRepeat)
{
    CSOption *option = Open("2 key Left 1\n70 key Left 0\n" + KeyTap(80, "Right") + "90 key Right 1\n150 key Right 0\n");
    MouseSpeed = kMinMouseSpeed;
    Step(69);
    // The press at 2, then past 40 held updates every 7th: 43, 50, 57, 64.
    EXPECT_EQ(option->musicLevel, 15);
    MouseSpeed = kMaxMouseSpeed;
    Step(85 - tick);
    EXPECT_EQ(option->musicLevel, 16);
    Step(150 - tick);
    EXPECT_EQ(option->musicLevel, 20);
    EXPECT_EQ(MouseSpeed, kMaxMouseSpeed);
}

TEST_F(OptionSettings, TheChevronsStepEveryHundredMsAndHideAtTheEnds)
{
    CSOption *option = Open("");
    std::vector<int32_t> frames{option->chevronFrame};
    std::vector<float> leftX{option->leftChevrons[2].v[0].x}, rightX{option->rightChevrons[2].v[0].x};
    for (int i = 0; i < 7 * 8; ++i) {
        Step();
        if (frames.back() != option->chevronFrame) {
            frames.push_back(option->chevronFrame);
            leftX.push_back(option->leftChevrons[2].v[0].x);
            rightX.push_back(option->rightChevrons[2].v[0].x);
            // One step every 7 updates of 16 ms: the first past 100 ms.
            EXPECT_EQ((tick - 1) % 7, 0u) << tick;
            EXPECT_EQ(option->ShowsLeftChevrons(), option->chevronFrame != 6);
        }
    }
    EXPECT_EQ(frames, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 0, 1}));
    // The last chevron: stacked, 5 out, then 10 out in frames 2 to 5.
    EXPECT_EQ(leftX[0], 266.0f);
    EXPECT_EQ(leftX[1], 261.0f);
    EXPECT_EQ(leftX[2], 256.0f);
    EXPECT_EQ(leftX[5], 256.0f);
    EXPECT_EQ(rightX[0], 477.0f);
    EXPECT_EQ(rightX[1], 482.0f);
    EXPECT_EQ(rightX[4], 487.0f);
    EXPECT_EQ(option->leftChevrons[0].v[0].y, 180.0f);
    // Only beside a volume row; the sound row's stand at its bar.
    Script(KeyTap(1, "Down") + KeyTap(5, "Down"));
    Step(2);
    EXPECT_EQ(option->settingsRow, 1);
    EXPECT_EQ(option->leftChevrons[0].v[0].y, 210.0f);
    Step(4);
    EXPECT_EQ(option->settingsRow, 2);
    EXPECT_FALSE(option->ShowsLeftChevrons());
    EXPECT_FALSE(option->ShowsRightChevrons());
}

// Below full volume the sound row shows its right chevrons, as the music row
// does; the keys row below it shows none whatever the sound level.
TEST_F(OptionSettings, TheSoundRowBelowFullVolumeShowsBothChevronsAndTheKeysRowNone)
{
    CSOption *option = Open(KeyTap(2, "Down") + KeyTap(5, "Left"));
    Step(10);
    ASSERT_EQ(option->settingsRow, 1);
    ASSERT_EQ(option->soundLevel, 19);
    ASSERT_NE(option->chevronFrame, 6);
    EXPECT_TRUE(option->ShowsLeftChevrons());
    EXPECT_TRUE(option->ShowsRightChevrons());
    Script(KeyTap(1, "Down"));
    Step(3);
    ASSERT_EQ(option->settingsRow, 2);
    EXPECT_EQ(option->soundLevel, 19);
    EXPECT_FALSE(option->ShowsLeftChevrons());
    EXPECT_FALSE(option->ShowsRightChevrons());
}

TEST_F(OptionSettings, TheMouseSpeedStepsByTwoHundredthsWithinItsRange)
{
    std::string script = KeyTap(2, "Down") + KeyTap(4, "Down") + KeyTap(6, "Down");
    for (uint32_t i = 0; i < 14; ++i) {
        script += KeyTap(10 + 2 * i, "Right");
    }
    for (uint32_t i = 0; i < 24; ++i) {
        script += KeyTap(50 + 2 * i, "Left");
    }
    CSOption *option = Open(script);
    Step(8);
    EXPECT_EQ(option->settingsRow, CSOption::kRowMouse);
    EXPECT_FLOAT_EQ(MouseSpeed, 0.25f);
    float expected = 0.25f;
    for (uint32_t i = 0; i < 14; ++i) {
        Step(2);
        expected = std::min(expected + 0.02f, 0.45f);
        EXPECT_NEAR(MouseSpeed, expected, 1e-6f) << i;
        EXPECT_LE(MouseSpeed, kMaxMouseSpeed);
    }
    EXPECT_EQ(MouseSpeed, kMaxMouseSpeed);
    // The knob stands at 275 + 410 x speed.
    EXPECT_NEAR(option->mouseKnob->v[0].x, 275.0f + 410.0f * 0.45f, 1e-3f);
    Step(50 - tick - 1);
    for (uint32_t i = 0; i < 24; ++i) {
        Step(2);
        expected = std::max(expected - 0.02f, 0.05f);
        EXPECT_NEAR(MouseSpeed, expected, 1e-6f) << i;
        EXPECT_GE(MouseSpeed, kMinMouseSpeed);
    }
    EXPECT_EQ(MouseSpeed, kMinMouseSpeed);
}

TEST_F(OptionSettings, TheRowsEndsAreSilentAndTheFirstBackJumpsToExitTheSecondLeaves)
{
    std::string script = KeyTap(2, "Up");
    for (uint32_t i = 0; i < 6; ++i) {
        script += KeyTap(4 + 2 * i, "Down");  // the sixth is on the exit row
    }
    script += KeyTap(20, "Up") + KeyTap(24, "Escape") + KeyTap(28, "Escape");
    CSOption *option = Open(script);
    Step(2);
    EXPECT_EQ(option->settingsRow, 0);
    EXPECT_TRUE(Sounds().empty());
    Step(16 - tick);
    EXPECT_EQ(option->settingsRow, 5);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>(5, 6600010)));
    // Activated again while it shows: the cursor stays on its row.
    option->SetActive(1);
    EXPECT_EQ(option->settingsRow, 5);
    Step(23 - tick);
    EXPECT_EQ(option->settingsRow, 4);
    Step();
    EXPECT_EQ(option->settingsRow, 5);
    EXPECT_FALSE(option->leavePending);
    EXPECT_FALSE(std::filesystem::exists(PrefPath()));
    Step(28 - tick);
    EXPECT_TRUE(option->leavePending);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600010, 6600000, 6600050}));
    // Written when leaving; the title is asked for once the fade has ended.
    EXPECT_TRUE(std::filesystem::exists(PrefPath()));
    EXPECT_EQ(UpdatesUntilRequest(), 1104 / 16 + 1);
    EXPECT_EQ(ui->RequestedScreen(), kUITitle);
}

// Cross (X on the keyboard) backs out as Escape does: to the exit row with
// the cancel sound, then out.
TEST_F(OptionSettings, CrossBacksOutAsEscapeDoes)
{
    CSOption *option = Open(KeyTap(2, "X") + KeyTap(6, "X"));
    Step(4);
    EXPECT_EQ(option->settingsRow, CSOption::kRowExit);
    EXPECT_FALSE(option->leavePending);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600000}));
    Step(4);
    EXPECT_TRUE(option->leavePending);
    UpdatesUntilRequest();
    EXPECT_EQ(ui->RequestedScreen(), kUITitle);
}

// A confirm and a back in the same tick on a row whose confirm stays on the
// page: the confirm is taken first, then the back jumps to the exit row.
TEST_F(OptionSettings, AConfirmAndABackInOneTickOnTheMusicRowBothCount)
{
    CSOption *option = Open("2 key Enter 1\n2 key Escape 1\n3 key Enter 0\n3 key Escape 0\n");
    Step(4);
    EXPECT_EQ(option->page, CSOption::kSettingsPage);
    EXPECT_EQ(option->settingsRow, CSOption::kRowExit);
    EXPECT_FALSE(option->leavePending);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600000}));
}

// On a row whose confirm leaves the page (the keys) or the screen (exit),
// a back in the same tick is not heard: the binding page opens and stays,
// or the screen leaves once, with one sound.
TEST_F(OptionSettings, AConfirmThatLeavesThePageOrTheScreenSwallowsABackInTheSameTick)
{
    CSOption *option = Open(KeyTap(2, "Down") + KeyTap(4, "Down") + "6 key Enter 1\n6 key Escape 1\n" +
                            "7 key Enter 0\n7 key Escape 0\n");
    Step(6 - tick);
    EXPECT_EQ(option->page, CSOption::kBindingPage);
    Step(8);
    EXPECT_EQ(option->page, CSOption::kBindingPage);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600010, 6600010, 6600060}));
    option->page = CSOption::kSettingsPage;
    option->SetSettingsRow(CSOption::kRowExit);
    Script("2 key Enter 1\n2 key Escape 1\n3 key Enter 0\n3 key Escape 0\n");
    Step(4);
    EXPECT_TRUE(option->leavePending);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600050}));
    // The music goes with the screen, also when the switch comes before its fade has ended.
    ASSERT_NE(ui->MusicHandle(), kUINoMusic);
    ui->RequestModule(kUITitle);
    Step();
    EXPECT_EQ(ui->CurrentScreen(), kUITitle);
    EXPECT_EQ(ui->MusicHandle(), kUINoMusic);
}

// The mouse's button counts only beside a connected pad.
TEST_F(OptionSettings, WithoutItsPadAClickIsNotHeard)
{
    CSOption *option = Open("");
    option->SetSettingsRow(CSOption::kRowKeys);
    const int32_t padIndex = ui->GetUIPad();
    ASSERT_GE(padIndex, 0);
    PadState &pad = gs.padStates[kPadStateBlock][padIndex];
    pad.connected = 0;
    MouseButtonState = 1;
    ui->Update(16);
    EXPECT_EQ(option->page, CSOption::kSettingsPage);
    pad.connected = 1;
    MouseButtonState = 1;
    ui->Update(16);
    MouseButtonState = 0;
    EXPECT_EQ(option->page, CSOption::kBindingPage);
}

TEST_F(OptionSettings, DefaultsSetBothVolumesToFullAtOnceAndTheBindingsBackWithoutWriting)
{
    CSOption *option =
        Open(KeyTap(2, "Left") + KeyTap(4, "Down") + KeyTap(6, "Left") + KeyTap(8, "Left") + KeyTap(10, "Down") + KeyTap(12, "Down") +
             KeyTap(14, "Down") + KeyTap(16, "Enter") + KeyTap(20, "Down") + KeyTap(22, "Enter"));
    ASSERT_TRUE(SetButtonBinding(4, "square", 48));
    MouseSpeed = 0.33f;
    Step(15 - tick);
    EXPECT_EQ(option->musicLevel, 19);
    EXPECT_EQ(option->soundLevel, 18);
    EXPECT_NEAR(ui->Settings().soundVolume, 0.9f, 1e-6f);
    EXPECT_EQ(option->settingsRow, CSOption::kRowDefaults);
    Step();
    EXPECT_EQ(ui->Settings().musicVolume, 1.0f);
    EXPECT_EQ(ui->Settings().soundVolume, 1.0f);
    EXPECT_EQ(option->musicLevel, 20);
    EXPECT_EQ(option->soundLevel, 20);
    EXPECT_EQ(GetButtonBinding(4, "square"), 44);
    // The mouse speed is the input's, not a binding: it stays.
    EXPECT_FLOAT_EQ(MouseSpeed, 0.33f);
    EXPECT_FALSE(std::filesystem::exists(PrefPath()));
    Step(23 - tick);
    EXPECT_TRUE(option->leavePending);
    CSInput reader;
    ASSERT_TRUE(reader.LoadButtonConfig(PrefPath().c_str()));
    EXPECT_EQ(reader.configs[4].codes[input::kFnSquare], 44);
}

TEST_F(OptionSettings, TheSoundVolumeFollowsTheLogLawAndTheMusicKeepsItsOwn)
{
    CSOption *option = Open(KeyTap(2, "Left") + KeyTap(4, "Left") + KeyTap(6, "Left") + KeyTap(8, "Left") + KeyTap(10, "Left") +
                            KeyTap(12, "Down") + KeyTap(14, "Left") + KeyTap(16, "Left"));
    const uint32_t music = ui->MusicHandle();
    ASSERT_NE(music, kUINoMusic);
    uint32_t move = CSAudio::kNoSound;
    for (const SoundEntry &entry : audio.Entries()) {
        if (entry.soundId == 6600010) {
            move = entry.handle;
        }
    }
    ASSERT_NE(move, CSAudio::kNoSound);
    EXPECT_EQ(audio.GetLibraryVolume(move), 0);  // 1.0
    Step(12);
    EXPECT_EQ(option->musicLevel, 15);
    EXPECT_EQ(audio.GetLibraryVolume(music), snd::MillibelsFromVolume(15 * 0.05f));
    Step(5);
    EXPECT_EQ(option->soundLevel, 18);
    // The sound row at 0.9: every sound at 1000 x log2(0.9); the music keeps 0.75.
    EXPECT_EQ(audio.GetLibraryVolume(move), snd::MillibelsFromVolume(18 * 0.05f));
    EXPECT_EQ(audio.GetLibraryVolume(music), snd::MillibelsFromVolume(15 * 0.05f));
    EXPECT_NEAR(audio.GetVolume(music), 0.75f, 1e-6f);
    // The law's fixed points.
    ui->SetSoundVolume(0.5f);
    EXPECT_EQ(audio.GetLibraryVolume(move), -1000);
    ui->SetSoundVolume(1.0f);
    EXPECT_EQ(audio.GetLibraryVolume(move), 0);
    ui->SetSoundVolume(0.0f);
    EXPECT_EQ(audio.GetLibraryVolume(move), -10000);
    EXPECT_EQ(audio.GetLibraryVolume(music), snd::MillibelsFromVolume(15 * 0.05f));
}

TEST_F(OptionSettings, LeavingWritesTheBindingsAndMouseSpeedThatANewInputObjectReadsBack)
{
    CSOption *option = Open("");
    ASSERT_TRUE(SetButtonBinding(4, "square", 48));
    ASSERT_TRUE(SetButtonBinding(0, "circle", 2));  // takes square's button, square takes 1
    MouseSpeed = 0.31f;
    option->settingsRow = CSOption::kRowExit;
    option->ConfirmRow();
    CSInput reader;
    ASSERT_TRUE(reader.LoadButtonConfig(PrefPath().c_str()));
    EXPECT_EQ(reader.configs[4].codes[input::kFnSquare], 48);
    EXPECT_EQ(reader.configs[0].codes[input::kFnCircle], 2);
    EXPECT_EQ(reader.configs[0].codes[input::kFnSquare], 1);
    EXPECT_FLOAT_EQ(MouseSpeed, 0.31f);
}

TEST_F(OptionSettings, AFileThatCannotBeWrittenLeavesTheOldOneWholeAndTheScreenLeavesAllTheSame)
{
    const std::string old = "MouseSpeed: 0.150000\n";
    std::ofstream(PrefPath()) << old;
    // The writer's temporary file cannot be made.
    std::filesystem::create_directory(PrefPath() + ".tmp");
    CSOption *option = Open(KeyTap(2, "Escape") + KeyTap(4, "Escape"));
    EXPECT_FLOAT_EQ(MouseSpeed, 0.15f);
    Step(4);
    EXPECT_TRUE(option->leavePending);
    std::ifstream in(PrefPath());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), old);
    UpdatesUntilRequest();
    EXPECT_EQ(ui->RequestedScreen(), kUITitle);
}

}  // namespace

}  // namespace option_settings_test
