// The screens between the warning and the title: the publisher's logo
// movie (2), the maker's logo movie (3), the still logo picture (4) and the
// opening movie (6). Each movie screen leaves for the next when its movie
// ends or start is pressed on pad 0. Behind them the start-up work runs:
// screen 3 makes the stage manager's first parts, screen 4 loads the
// effects pack and the interface sounds once its picture is on screen,
// screen 6 starts the arc-cosine table's thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/still_picture.h"

// Movie paths: data root + "\CHIUIMV\" (language 0) or "\ENGUIMV\" + name.
std::string InterfaceMoviePath(const char *name);

// The movie screens' update: leave for `next` when the movie has ended or
// start was pressed on pad 0.
void UpdateMovieScreen(uint32_t next);

class CSPublisherLogo {
public:
    void SetActive(bool on);
    void Update();
    void PlayLogoMovie();
    bool active = false;
};

class CSMakerLogo {
public:
    void SetActive(bool on);
    void Update();
    void PlayLogoMovie();
    bool active = false;
};

class CSOpeningMovie {
public:
    void SetActive(bool on);
    void Update();
    void PlayOpeningMovie();
    bool active = false;
};

class CSStillLogo {
public:
    static constexpr uint32_t kShowMs = 2000;
    static constexpr uint32_t kFadeMs = 500;

    ~CSStillLogo() { Release(); }

    void SetActive(bool on);
    void Update(uint32_t ms);
    void Render();
    // "LOGO3.BMP" (no mask) from "\RESOURCE\UITEXT\LOGO3\", unless held.
    void LoadTexture();
    void Layout();
    void ReleaseTexture();
    void Release();

    StillPicture picture;
    bool active = false;
    bool drawn = false;
    bool loaded = false;
    bool fading = false;
    uint32_t timerMs = 0xFFFFFFFFu;
};
