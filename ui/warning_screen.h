// Screen 1, the warning picture at start-up: shown for three seconds, it
// does the interface's one-time set-up once it has been drawn (the heroes
// unloaded, the volumes reset the first time, the front-end textures, and
// for language 0 the common ones) and fades to the logo movies: screen 3
// for language 0, else screen 2.
#pragma once

#include <cstdint>

#include "ui/still_picture.h"

class CSWarning {
public:
    static constexpr uint32_t kShowMs = 3001;
    static constexpr uint32_t kFadeMs = 500;

    CSWarning();
    ~CSWarning() { Release(); }
    CSWarning(const CSWarning &) = delete;
    CSWarning &operator=(const CSWarning &) = delete;

    void SetActive(bool on);
    void Update(uint32_t ms);
    void Render();
    // Inside the WARNING pack: "WARNING.BMP" (no alpha picture) from the
    // language's WARNING folder, unless held.
    void LoadTextures();
    void LayoutQuad();
    void CheckDone();
    // The picture alone (the front-end release).
    void ReleaseTexture();
    // The quad and the picture.
    void Release();

    StillPicture picture;
    bool active = false;
    bool firstSetUpDone = false;  // ever, in this run
    bool drawn = false;
    bool setUpDone = false;
    bool fadeStarted = false;
    uint32_t timerMs = 0xFFFFFFFFu;
};

// The warning screen (null outside its life).
extern CSWarning *g_pWarning;
