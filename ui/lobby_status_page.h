// The character status page as the lobby hosts it: the page of
// character_page.h in its lobby mode, where equipment can be put on and
// taken off, over the screen manager's MAPBASE picture. The lobby reaches
// the page only through these calls: it opens the page, forwards the
// update and the drawing while the page is active, and takes its menu back
// once the page has turned itself off (back, after the base-map cover).
#pragma once

#include "ui/character_page.h"

class LobbyStatusPage {
public:
    LobbyStatusPage() { page_.Init(kStatusPageLobbyMode); }
    ~LobbyStatusPage() { Release(); }
    LobbyStatusPage(const LobbyStatusPage &) = delete;
    LobbyStatusPage &operator=(const LobbyStatusPage &) = delete;

    // From the lobby's menu, where the page is closed.
    void Open();
    void Update(float seconds);
    void Render();
    void Release();
    bool Active() const { return page_.IsActive(); }
    CSCharacterPage &Page() { return page_; }

private:
    CSCharacterPage page_;
};
