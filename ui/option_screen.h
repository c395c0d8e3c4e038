// Screen 10: the options and key binding.
// A slot of the screen manager until the screen is built: it keeps its
// active byte and draws nothing.
#pragma once

#include <cstdint>

class CSOption {
public:
    void SetActive(uint8_t on) { active = on; }
    void Update() {}
    void Render() {}
    void ReleaseTextures() {}
    void Release() { active = 0; }

    uint8_t active = 0;
};
