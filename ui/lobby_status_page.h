// The character status page as the lobby hosts it (its lobby mode, where
// equipment can be put on and taken off). The lobby reaches the page only
// through these calls: it opens the page, forwards the update and the
// drawing while the page is active, and takes its menu back once the page
// has turned itself off.
#pragma once

#include <cstdint>

class LobbyStatusPage {
public:
    LobbyStatusPage() = default;
    ~LobbyStatusPage() { Release(); }
    LobbyStatusPage(const LobbyStatusPage &) = delete;
    LobbyStatusPage &operator=(const LobbyStatusPage &) = delete;

    void SetActive(uint8_t on);
    void Update(float seconds);
    void Render();
    void Release();
    bool Active() const { return active_ != 0; }

private:
    uint8_t active_ = 0;
    uint8_t closing_ = 0;
};
