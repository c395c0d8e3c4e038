// The lobby's store (menu entry 2).
#pragma once

#include <cstdint>

class CSLobbyStore {
public:
    void SetActive(uint8_t on);
    void Update(uint32_t ms);
    void Render();
    void Release();
    bool Active() const { return active != 0; }

    uint8_t active = 0;
    uint8_t closing = 0;
};
