// The item popup: the plain notice is text only, an item's text is the word
// table's prefix and its name (the prefix alone without a description), a
// second show within 2 s starts over, counts of 7 and 12, equipment's and
// one-of-a-kind items' pictures and counts, the box over a moving hero (and
// none while the head is behind the near plane), the icon's slide at 1.5 s
// and 2.5 s (each end itself still shown), a release while shown, and
// text in every language.
#include <gtest/gtest.h>

#include "actor/actor_screen_calls.h"
#include "app/screen_coords.h"
#include "tests/ui/overlay_support.h"
#include "ui/item_popup.h"

namespace overlay_popup_test {

namespace {

using uitest::Links;

class PopupTest : public uitest::OverlayHeroTest {
protected:
    void SetUp() override
    {
        OverlayHeroTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        // The camera at the origin looking down +z: a point's camera space
        // is its world place.
        RwMatrixSetIdentity(&gs.cameraMatrix);
        PlaceHeroHead(0.0f, 0.0f, 10.0f);
        ItemTables tables = mkdata::SampleItemTables();
        for (ItemContent &item : tables.items) {
            item.ownLimit = 99;
        }
        items.SetTables(tables);
    }
    // The first hero's head (22 above its feet) at this point.
    void PlaceHeroHead(float x, float y, float z) { hero->position = {x, y - 22.0f, z}; }
    float BoxCentreX() const { return (popup.Box().left + popup.Box().right) / 2.0f; }
    float BoxCentreY() const { return (popup.Box().top + popup.Box().bottom) / 2.0f; }

    CSItemPopup popup;
};

TEST_F(PopupTest, ItemZeroShowsTheNoticeAloneAndNoIconMoves)
{
    popup.Show(1, 0);
    EXPECT_TRUE(popup.IsShown());
    EXPECT_TRUE(popup.TextShown());
    EXPECT_FALSE(popup.ItemShown());
    EXPECT_EQ(popup.Text(), u"Notice");
    popup.Update(0.75f);
    EXPECT_FLOAT_EQ(popup.Icon().top, -50.0f);
    popup.Update(1.3f);
    EXPECT_FALSE(popup.IsShown());
    EXPECT_EQ(popup.Seconds(), 0.0f);
}

TEST_F(PopupTest, AnItemsTextIsThePrefixAndItsNameOrThePrefixAlone)
{
    popup.Show(1, 5300000);
    EXPECT_EQ(popup.Text(), u"Obtained: Herb");
    EXPECT_TRUE(popup.ItemShown());
    // An item the descriptions do not hold: the prefix alone.
    popup.Show(1, 5399999);
    EXPECT_EQ(popup.Text(), u"Obtained: ");
    // A name with a line break is cut at its carriage return.
    std::vector<ItemDescEntry> entries = mkdata::SampleItemDescriptions("ENG");
    entries.push_back({5300999, u"Two\rLines", u""});
    descriptions.SetEntries(entries);
    popup.Show(1, 5300999);
    EXPECT_EQ(popup.Text(), u"Obtained: Two");
    // Without item descriptions at all.
    Links().descriptions = nullptr;
    popup.Show(1, 5300000);
    EXPECT_EQ(popup.Text(), u"Obtained: ");
}

TEST_F(PopupTest, EveryLanguageGetsTheEnglishComposition)
{
    for (int32_t language : {2, 7, 14}) {
        gs.language = language;
        popup.Show(1, 5300010);
        EXPECT_EQ(popup.Text(), u"Obtained: Elixir") << language;
        popup.Show(1, 0);
        EXPECT_EQ(popup.Text(), u"Notice") << language;
    }
}

TEST_F(PopupTest, ASecondShowWithinTwoSecondsStartsOver)
{
    popup.Show(1, 5300000);
    popup.Update(1.0f);
    EXPECT_GT(popup.Icon().top, -50.0f);
    popup.Show(1, 5300010);
    EXPECT_EQ(popup.Seconds(), 0.0f);
    EXPECT_FLOAT_EQ(popup.Icon().top, -50.0f);
    EXPECT_EQ(popup.Text(), u"Obtained: Elixir");
    popup.Update(1.9f);
    EXPECT_TRUE(popup.TextShown());
    popup.Update(0.2f);
    EXPECT_FALSE(popup.TextShown());
    EXPECT_TRUE(popup.ItemShown());
}

TEST_F(PopupTest, CountsOfSevenAndTwelve)
{
    for (int i = 0; i < 7; ++i) {
        ASSERT_TRUE(items.AddItem(1, 5300000));
    }
    popup.Show(1, 5300000);
    EXPECT_EQ(popup.ItemCount(), 7);
    EXPECT_EQ(popup.CountPlace(0), -1);
    EXPECT_EQ(popup.CountPlace(1), 7);
    EXPECT_EQ(popup.CountDigit(0).texture, nullptr);  // the first place hidden
    EXPECT_NE(popup.CountDigit(1).texture, nullptr);
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(items.AddItem(1, 5300060));  // an explosive: the second type looked at
    }
    popup.Show(1, 5300060);
    EXPECT_EQ(popup.ItemCount(), 12);
    EXPECT_EQ(popup.CountPlace(0), 1);
    EXPECT_EQ(popup.CountPlace(1), 2);
    const UIIconCell *two = ui->GetLargeDigit(2);
    ASSERT_NE(two, nullptr);
    EXPECT_FLOAT_EQ(popup.CountDigit(1).s0, two->s0);
    // Not owned: 0; the shared list does not count.
    ASSERT_TRUE(items.AddItem(0, 5300020));
    popup.Show(1, 5300020);
    EXPECT_EQ(popup.ItemCount(), 0);
    EXPECT_EQ(popup.CountPlace(1), 0);
    // The key items' group counts 1, owned or not.
    popup.Show(1, 5402003);
    EXPECT_EQ(popup.ItemCount(), 1);
}

TEST_F(PopupTest, PicturesComeFromTheItemSheetsOrTheEquipmentTables)
{
    RwTexture *sheet = ui->PlayerArt();  // any texture will do as the stage's sheet
    Links().itemSheet = sheet;
    popup.Show(1, 5300070);  // icon 7: column 3, row 1
    EXPECT_EQ(popup.Icon().texture, sheet);
    EXPECT_FLOAT_EQ(popup.Icon().s0, 0.75f);
    EXPECT_FLOAT_EQ(popup.Icon().t0, 0.25f);
    // Equipment from 160 on: the equipment strips of EQUIP.
    popup.Show(1, 5100160);
    const UIIconCell *strip = ui->GetEquipArt(5100160);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(popup.Icon().texture, ui->EquipArtTexture());
    EXPECT_FLOAT_EQ(popup.Icon().s0, strip->s0);
    // Below 160: the weapon icons.
    popup.Show(1, 5100030);
    EXPECT_FLOAT_EQ(popup.Icon().s0, ui->GetWeaponIcon(5100030)->s0);
    // Past both tables: no picture (nothing drawn).
    popup.Show(1, 5100990);
    EXPECT_EQ(popup.Icon().texture, nullptr);
    // The stage without the sheet: no picture either.
    Links().itemSheet = nullptr;
    popup.Show(1, 5300070);
    EXPECT_EQ(popup.Icon().texture, nullptr);
}

TEST_F(PopupTest, TheBoxFollowsTheHeroWhileItMoves)
{
    PlaceHeroHead(2.5f, 5.0f, 10.0f);  // (160, 240)
    popup.Show(1, 5300000);
    ASSERT_TRUE(popup.BoxOnScreen());
    EXPECT_NEAR(BoxCentreX(), 160.0f, 1.0f);
    EXPECT_NEAR(BoxCentreY(), 240.0f, 1.0f);
    const float width = popup.Box().right - popup.Box().left;
    EXPECT_GT(width, 20.0f);  // the text's width and 10 on each side
    PlaceHeroHead(5.0f, 2.5f, 10.0f);  // (320, 120)
    popup.Update(0.5f);
    EXPECT_NEAR(BoxCentreX(), 320.0f, 1.0f);
    EXPECT_NEAR(BoxCentreY(), 120.0f, 1.0f);
    // The second hero's head is 20 above its feet.
    hero->aiType = kAiTypeHero1;
    popup.Update(0.1f);
    EXPECT_NEAR(BoxCentreY(), 0.5f / 10.0f * 480.0f, 1.0f);
    hero->aiType = kAiTypeHero0;
    // At or behind the near plane there is no box that frame, and it comes
    // back with the head.
    const float nearPlane = RwCameraGetNearClipPlane(gs.camera);
    PlaceHeroHead(1.0f, 1.0f, nearPlane);
    popup.Update(0.1f);
    EXPECT_FALSE(popup.BoxOnScreen());
    PlaceHeroHead(1.0f, 1.0f, -4.0f);
    popup.Update(0.1f);
    EXPECT_FALSE(popup.BoxOnScreen());
    EXPECT_TRUE(popup.TextShown());
    PlaceHeroHead(5.0f, 2.5f, 10.0f);
    popup.Update(0.1f);
    EXPECT_TRUE(popup.BoxOnScreen());
    // Past 2 s it stays where it was.
    popup.Update(1.2f);
    EXPECT_FALSE(popup.TextShown());
}

TEST_F(PopupTest, TheIconSlidesForOneAndAHalfSecondsAndHoldsToTwoAndAHalf)
{
    popup.Show(1, 5300000);
    EXPECT_FLOAT_EQ(popup.Icon().top, -50.0f);
    popup.Update(0.75f);
    EXPECT_NEAR(popup.Icon().top, -5.0f, 1e-3f);
    EXPECT_NEAR(popup.Icon().bottom, 45.0f, 1e-3f);
    // The count's places follow on the icon's right, from 40 % of its height.
    EXPECT_FLOAT_EQ(popup.CountDigit(1).left, 530.0f);
    EXPECT_FLOAT_EQ(popup.CountDigit(1).right, 560.0f);
    EXPECT_NEAR(popup.CountDigit(1).top, 15.0f, 1e-3f);
    popup.Update(0.75f);
    EXPECT_NEAR(popup.Icon().top, 40.0f, 1e-3f);
    popup.Update(0.99f);
    EXPECT_TRUE(popup.ItemShown());
    EXPECT_FLOAT_EQ(popup.Icon().top, 40.0f);
    popup.Update(0.02f);
    EXPECT_FALSE(popup.ItemShown());
    EXPECT_FALSE(popup.IsShown());
    EXPECT_FLOAT_EQ(popup.Icon().top, -50.0f);
    EXPECT_EQ(popup.Seconds(), 0.0f);
}

// Each part is still up on the update that brings the time to its end
// exactly (2 s for the text, 1.5 s of slide and 2.5 s for the icon) and
// gone on the next; the popup let go while shown shows nothing at all.
TEST_F(PopupTest, EachPartLastsToItsEndInclusiveAndAReleaseEndsBoth)
{
    popup.Show(1, 5300000);
    popup.Update(0.5f);
    EXPECT_NEAR(popup.Icon().top, -20.0f, 1e-3f);
    popup.Update(1.0f);
    EXPECT_NEAR(popup.Icon().top, 40.0f, 1e-3f);
    popup.Update(0.5f);  // 2 s
    EXPECT_TRUE(popup.TextShown());
    EXPECT_TRUE(popup.BoxOnScreen());
    popup.Update(0.5f);  // 2.5 s
    EXPECT_FALSE(popup.TextShown());
    EXPECT_TRUE(popup.ItemShown());
    EXPECT_FLOAT_EQ(popup.Icon().top, 40.0f);
    popup.Update(0.5f);
    EXPECT_FALSE(popup.IsShown());
    EXPECT_FLOAT_EQ(popup.Icon().top, -50.0f);

    popup.Show(1, 5300000);
    popup.Update(1.0f);
    popup.Release();
    EXPECT_FALSE(popup.TextShown());
    EXPECT_FALSE(popup.ItemShown());
    EXPECT_EQ(popup.Seconds(), 0.0f);
    EXPECT_FLOAT_EQ(popup.Icon().top, -50.0f);
    popup.Update(0.5f);
    EXPECT_EQ(popup.Seconds(), 0.0f);
}

TEST_F(PopupTest, TheHeroesPickUpReachesTheOverlaysPopup)
{
    EnterOverlay();
    ScreensShowItemPopup(1, 5300010);
    ASSERT_TRUE(ui->IsItemPopupShown());
    EXPECT_EQ(Overlay()->ItemPopup()->Text(), u"Obtained: Elixir");
    // Leaving the overlay gives the popup and its text block back.
    ui->RequestModule(14);
    ui->Update(16);
    EXPECT_FALSE(ui->IsItemPopupShown());
}

}  // namespace

}  // namespace overlay_popup_test
