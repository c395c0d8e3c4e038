// The message window drawn by the software device with the sample font and
// the sample PLAYER atlas, against reviewed references: a speaker's page
// (frame, name plate with the name, portrait and its border, the text and
// the continue arrow), a plain message, a choice list with its highlight
// and second list, and the speech markers over a point of the stage.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/file.h"
#include "app/reference_image.h"
#include "app/textures.h"
#include "event/event_data_files.h"
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
    // The chosen topic's letters, in the highlight's own colour, stand out
    // from the ground inside the highlight, also as the slide's ten copies
    // come to rest on it (drawn over the text, copies of a filled highlight
    // left letters and ground alike).
    for (EventHighlight &copy : list.highlights) {
        copy.sprite.SetUVs(kWindowHighlightCell.left / 512.0f, kWindowHighlightCell.top / 512.0f,
                           kWindowHighlightCell.right / 512.0f, kWindowHighlightCell.bottom / 512.0f);
        copy.sprite.Place(chosen.x - 8.0f, chosen.y - 2.0f,
                          chosen.x + static_cast<float>(chosen.layout.widestRowWidth) + 8.0f,
                          chosen.y + static_cast<float>(chosen.layout.totalHeight) + 2.0f);
        copy.sprite.SetColour(160, 255, 150, 50);
        copy.on = 1;
    }
    const win::Frame frame = DrawFrame([&] { window->Tick(); }, RwRGBA{60, 90, 120, 255});
    std::vector<int> lightness;
    for (int y = static_cast<int>(chosen.y) + 1; y < static_cast<int>(chosen.y) + chosen.layout.totalHeight - 1; ++y) {
        for (int x = static_cast<int>(chosen.x); x < static_cast<int>(chosen.x) + chosen.layout.widestRowWidth; ++x) {
            const uint32_t p = frame.At(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
            lightness.push_back(static_cast<int>((p >> 16 & 0xFF) * 299 + (p >> 8 & 0xFF) * 587 + (p & 0xFF) * 114) /
                                1000);
        }
    }
    ASSERT_FALSE(lightness.empty());
    std::sort(lightness.begin(), lightness.end());
    const int ground = lightness[lightness.size() / 2];
    const int letters = lightness[lightness.size() - 1 - lightness.size() / 50];
    EXPECT_GE(letters - ground, 80) << "ground " << ground << ", letters " << letters;
    for (EventChoice &entry : options) {
        entry.text->Reset(0);
    }
    list.buttons[0].text->Reset(0);
    list.buttons[1].text->Reset(0);
}

// Every text of the sample's conversations and door messages, shown in the
// window as its events show it, stays inside the frame's inner edge (the
// trader's answer once ran onto the frame).
TEST_F(MessageWindowPixels, EverySampleTextStaysInsideTheFrame)
{
    const struct {
        const char *file;
        int32_t textMode;
    } files[] = {{"\\RESOURCE\\G_EVENT\\CONT\\USA\\CONT01.NPC", 1},
                 {"\\RESOURCE\\G_EVENT\\CONT\\USA\\OPENDOOR.MSS", 0}};
    for (const auto &f : files) {
        SCOPED_TRACE(f.file);
        zuFile *file = zufopen((std::string(GetDataRootPath()) + f.file).c_str(), "rb");
        ASSERT_NE(file, nullptr);
        std::vector<EventTextEntry> texts;
        ASSERT_TRUE(ParseEventTexts(file, f.file, &texts));
        zufclose(file);
        ASSERT_FALSE(texts.empty());
        for (const EventTextEntry &entry : texts) {
            SCOPED_TRACE(entry.id);
            ASSERT_TRUE(window->Open(entry.text.c_str(), f.textMode, nullptr, 0.1f, 1, &speaker));
            Run(0.2f);
            (void)DrawFrame([&] { window->Tick(); });
            ASSERT_NE(window->TextObject(), nullptr);
            int32_t left = 0, top = 0, right = 0, bottom = 0;
            window->TextObject()->GetBounds(&left, &top, &right, &bottom);
            const EventBox &box = window->Box();
            EXPECT_LE(right, static_cast<int32_t>(box.right) - 8);
            EXPECT_LE(bottom, static_cast<int32_t>(box.bottom) - 30);
            window->Close();
        }
    }
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
