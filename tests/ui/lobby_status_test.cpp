// The lobby hosts the status page in its equipping mode: its second entry
// opens the page over the screen manager's MAPBASE, the money shown leaves
// the last stage's pickups out, the hero's pack streams as in the pause
// menu, and back closes the page after the base-map cover, returning to the
// lobby's menu.
#include <gtest/gtest.h>

#include "tests/ui/lobby_test_support.h"
#include "ui/lobby_status_page.h"

namespace lobby_status_test {

namespace {

class LobbyStatus : public lobbytest::LobbyTest {};

TEST_F(LobbyStatus, TheSecondEntryOpensTheStatusPageInItsLobbyMode)
{
    StartLobby("lobby_status");
    WaitForMenu();
    hero.stageMoney = 40;
    OpenPage(1);
    ASSERT_FALSE(HasFatalFailure());
    CSCharacterPage &page = lobby->StatusPage()->Page();
    ASSERT_TRUE(page.IsActive());
    EXPECT_EQ(page.mode, kStatusPageLobbyMode);
    EXPECT_EQ(page.EquipPage()->mode, kStatusPageLobbyMode);
    ASSERT_TRUE(FramesUntil([&] { return page.TabReady(kTabEquipment); }));
    EXPECT_NE(page.PortraitTexture(), nullptr);
    Frames(70);
    EXPECT_STREQ(page.Number(0).Text(), "2500");
    DrawFrame([&] { ui->Render(); });
    Tap(kPadCross);
    EXPECT_TRUE(page.IsActive());  // under the cover
    ASSERT_TRUE(FramesUntil([&] { return lobby->OpenPage() == CSLobby::kMenu; }, 80));
    EXPECT_FALSE(page.IsActive());
    EXPECT_EQ(lobby->CursorEntry(), 1);
}

}  // namespace

}  // namespace lobby_status_test
