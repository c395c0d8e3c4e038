// The message window drawn by the software device with the sample font and
// the sample PLAYER atlas, against reviewed references: a speaker's page
// (frame, name plate with the name, portrait and its border, the text and
// the continue arrow), a plain message, a choice list with its highlight
// and second list, and the speech markers over a point of the stage.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/reference_image.h"
#include "app/textures.h"
#include "event/message_window.h"
#include "tests/ui/ui_test_support.h"
#include "ui/ui_stage_links.h"

namespace message_window_pixels_test {

namespace {

constexpr float kDt = 1.0f / 60.0f;

class MessageWindowPixels : public uitest::ScreensTest {
protected:
    void SetUp() override
    {
        StartOnSampleData(640, 480, 1);
        if (IsSkipped()) {
            return;
        }
        ASSERT_TRUE(gs.LoadFont());
        ui->LoadCommonTextures();
        InstallScreenLinks();
        RwImageSetPath((std::string(GetDataRootPath()) + "\\RESOURCE\\G_EVENT\\EVENTUI\\").c_str());
        portrait = ReadTextureWithoutMask("NPC00.BMP");
        ASSERT_NE(portrait, nullptr);
        speaker = {portrait, 0, u"Old Farmer", nullptr, 79010200};
        window = std::make_unique<CSEventMessageWindow>();
        RwMatrixSetIdentity(&gs.cameraMatrix);
    }
    void TearDown() override
    {
        window.reset();
        if (speaker.nameText != nullptr) {
            speaker.nameText->Reset(0);
        }
        DestroyTexture(portrait);
        RemoveScreenLinks();
        ScreensTest::TearDown();
    }
    void Run(float seconds)
    {
        for (float t = 0.0f; t < seconds - 1e-4f; t += kDt) {
            window->Update(kDt);
            window->StepText();
        }
    }
    // The window's tick over a plain blue-grey ground, against the reference `name`.
    void ExpectFrame(const std::string &name)
    {
        const win::Frame frame = DrawFrame([&] { window->Tick(); }, RwRGBA{60, 90, 120, 255});
        const std::string dir = apptest::ScratchFolder(name);
        const std::string shot = dir + "/" + name + ".bmp";
        ASSERT_TRUE(apptest::WriteBmp(shot, static_cast<int32_t>(frame.width), static_cast<int32_t>(frame.height),
                                      frame.pixels));
        apptest::ExpectLikeReference(shot, std::string(RW_TEST_SOURCE_DIR) + "/tests/event/reference/" + name + ".bmp",
                                     dir + "/" + name + "_difference.bmp");
        if (!HasFailure()) {
            std::filesystem::remove_all(dir);
        }
    }

    RwTexture *portrait = nullptr;
    EventPortrait speaker = {};
    std::unique_ptr<CSEventMessageWindow> window;
};

TEST_F(MessageWindowPixels, ASpeakersPage)
{
    ASSERT_TRUE(window->Open(u"Welcome to the yard, traveller. A beast guards the north-east corner.", 1, nullptr,
                             1.0f, 0, &speaker));
    // Open (1 s), the plate's slide (1 s), and the arrow in its shown half.
    Run(2.3f);
    ASSERT_EQ(window->Phase(), kWindowOpen);
    ASSERT_TRUE(window->ArrowShown());
    ExpectFrame("window_page");
}

TEST_F(MessageWindowPixels, APlainMessage)
{
    ASSERT_TRUE(window->Open(u"The door is locked.", 0, nullptr, 0.2f, 0, nullptr));
    Run(0.5f);
    ExpectFrame("window_plain");
}

TEST_F(MessageWindowPixels, AChoiceListWithItsHighlight)
{
    EventChoice options[4] = {};
    const char16_t *texts[4] = {u"What would you like to know?", u"The yard", u"The way out", u"Farewell"};
    for (int k = 0; k < 4; ++k) {
        options[k].option = texts[k];
        options[k].colour = 0xFFAAAAAAu;
    }
    options[2].colour = 0xFFFF9632u;  // the chosen topic, at its blink's orange end
    EventChoiceList list = {};
    list.options = options;
    list.count = 4;
    list.buttons[0].option = u"Ask";
    list.buttons[1].option = u"Back";
    list.buttons[0].colour = list.buttons[1].colour = 0xFFAAAAAAu;
    ASSERT_TRUE(window->Open(u"", 1, &list, 0.5f, 0, &speaker));
    Run(2.0f);
    // The highlight at rest on the chosen topic.
    EventHighlight &highlight = list.highlights[0];
    highlight.sprite.SetUVs(kWindowHighlightCell.left / 512.0f, kWindowHighlightCell.top / 512.0f,
                            kWindowHighlightCell.right / 512.0f, kWindowHighlightCell.bottom / 512.0f);
    const EventChoice &chosen = options[2];
    highlight.sprite.Place(chosen.x - 8.0f, chosen.y - 2.0f,
                           chosen.x + static_cast<float>(chosen.layout.widestRowWidth) + 8.0f,
                           chosen.y + static_cast<float>(chosen.layout.totalHeight) + 2.0f);
    highlight.sprite.SetColour(160, 255, 150, 50);
    ExpectFrame("window_choices");
    for (EventChoice &entry : options) {
        entry.text->Reset(0);
    }
    list.buttons[0].text->Reset(0);
    list.buttons[1].text->Reset(0);
}

TEST_F(MessageWindowPixels, TheSpeechMarkersOverAStagePoint)
{
    // With the camera's view the identity, (0.4, 0.3, 1) lies at (256, 144)
    // of the 640 x 480 screen; the marker stands 20 above the hero's point.
    window->ShowMarker(true, {0.4f, -19.7f, 1.0f}, 1, 0, 79010200);
    ExpectFrame("window_marker");
    window->ShowMarker(true, {0.4f, -17.7f, 1.0f}, 2, 1, 79010300);
    ExpectFrame("window_marker_key");
}

}  // namespace

}  // namespace message_window_pixels_test
