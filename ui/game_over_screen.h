// Screen 14, game over: the stage manager asks for it when the party is
// lost. One picture over the whole screen (OVER_ENG, or OVER_CHI for
// language 0, from the GAMEOVER pack) with a red flash that fades out over
// its first half second, under its music; after three seconds it fades to
// black, puts the hero block back to its new-game values and returns to
// the title. It takes no input: it always lasts 3000 ms and the fade.
#pragma once

#include <cstdint>

struct RwTexture;

class CSGameOver {
public:
    static constexpr uint32_t kShowMs = 3000;
    static constexpr uint32_t kFlashMs = 500;
    static constexpr uint32_t kFadeMs = 1000;
    static constexpr int32_t kMusicFadeMs = 700;

    CSGameOver() = default;
    ~CSGameOver() { Release(); }
    CSGameOver(const CSGameOver &) = delete;
    CSGameOver &operator=(const CSGameOver &) = delete;

    void SetActive(bool on);
    void Update();
    void Update(uint32_t ms);
    void Render();
    // Its picture is drawn over the whole screen without a see-through
    // texel: nothing drawn before it shows.
    bool CoversScreen() const;
    void ReleaseTextures();
    void Release() { ReleaseTextures(); }

    RwTexture *picture = nullptr;
    bool active = false;
    bool leaving = false;
    bool done = false;
    uint32_t timerMs = 0;

private:
    void LoadPicture();
};
