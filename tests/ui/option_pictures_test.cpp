// The options screen drawn from the sample pictures against reviewed
// references: the settings page on the music row (three steps down) and on
// the mouse row, each sub-page of the key binding page, and the first with
// the conflict message.
#include <gtest/gtest.h>

#include <string>

#include "app/application.h"
#include "app/bmp_file.h"
#include "tests/app/reference_image.h"
#include "tests/ui/option_test_support.h"
#include "ui/option_screen.h"

namespace option_pictures_test {

namespace {

using optiontest::KeyTap;

class OptionPictures : public optiontest::OptionScreenTest {
protected:
    void ExpectShot(const std::string &name)
    {
        const win::Frame frame = DrawFrame([&] { ui->Render(); });
        const std::string shot = root + "/" + name + ".bmp";
        ASSERT_TRUE(apptest::WriteBmp(shot, static_cast<int32_t>(frame.width), static_cast<int32_t>(frame.height),
                                      frame.pixels));
        apptest::ExpectLikeReference(shot, std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + name + ".bmp",
                                     root + "/" + name + "_difference.bmp");
    }
    // Steps to `tick` and holds the chevrons still in their first frame.
    void StepTo(uint32_t last)
    {
        Step(static_cast<int>(last - tick));
        ui->Option()->chevronFrame = 6;
        ui->Option()->StepArrowAnimation();
    }
};

TEST_F(OptionPictures, TheSettingsPageOnTheMusicAndTheMouseRows)
{
    CSOption *option = Open(KeyTap(2, "Left") + KeyTap(4, "Left") + KeyTap(6, "Left") + KeyTap(10, "Down") + KeyTap(12, "Down") +
                            KeyTap(14, "Down") + KeyTap(16, "Right"));
    ASSERT_NE(option->panelTexture, nullptr);
    ASSERT_NE(option->baseTexture, nullptr);
    StepTo(8);
    EXPECT_EQ(option->musicLevel, 17);
    ExpectShot("options_settings_music");
    StepTo(18);
    EXPECT_EQ(option->settingsRow, CSOption::kRowMouse);
    ExpectShot("options_settings_mouse");
}

TEST_F(OptionPictures, EachSubPageOfTheBindingPageAndTheConflictMessage)
{
    CSOption *option = Open(KeyTap(2, "Down") + KeyTap(4, "Down") + KeyTap(6, "Enter") + KeyTap(20, "Enter") + KeyTap(24, "X"));
    StepTo(8);
    ASSERT_EQ(option->page, CSOption::kBindingPage);
    ExpectShot("options_binding_0");
    StepTo(26);
    ASSERT_EQ(option->conflict, 1);
    ExpectShot("options_binding_conflict");
    option->listening = 0;
    option->conflict = 0;
    option->MoveBindingCursor(13);
    ExpectShot("options_binding_1");
    option->MoveBindingCursor(20);
    ExpectShot("options_binding_2");
}

class OptionPicturesChinese : public OptionPictures {
protected:
    OptionPicturesChinese() { language = 0; }
};

TEST_F(OptionPicturesChinese, LanguageZeroReadsTheChinesePanelAndLeavingGivesBackWhatActivationTook)
{
    CSOption *option = Open("");
    EXPECT_NE(option->panelTexture, nullptr);
    EXPECT_NE(option->baseTexture, nullptr);
    EXPECT_FALSE(IsOptionSwitchOff());
    ASSERT_NE(option->keyTexts[0], nullptr);
    EXPECT_TRUE(option->keyTexts[0]->InUse());
    CSTextBlock *block = option->keyTexts[0];
    SetOptionSwitch(0);
    ui->RequestModule(kUITitle);
    Step();
    // The switch follows the settings flag (1); quads and texts are given
    // back, the pictures stay with the front end's.
    EXPECT_EQ(option->active, 0);
    EXPECT_FALSE(IsOptionSwitchOff());
    EXPECT_FALSE(block->InUse());
    EXPECT_EQ(option->background, nullptr);
    EXPECT_NE(option->panelTexture, nullptr);
    ui->ReleaseFrontEndTextures();
    EXPECT_EQ(option->panelTexture, nullptr);
    EXPECT_EQ(option->baseTexture, nullptr);
}

}  // namespace

}  // namespace option_pictures_test
