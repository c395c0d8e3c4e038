// Screen 17: the stage clear after the final stages.
// A slot of the screen manager until the screen is built: it keeps its
// active byte and draws nothing.
#pragma once

#include <cstdint>

class CSStageClear {
public:
    void SetActive(uint8_t on) { active = on; }
    void Update() {}
    void Render() {}
    void ReleaseTextures() {}
    void Release() { active = 0; }

    uint8_t active = 0;
};
