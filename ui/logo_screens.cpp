// The logo and movie screens (see logo_screens.h).
#include "ui/logo_screens.h"

#include "app/game_system.h"
#include "app/textures.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"

std::string InterfaceMoviePath(const char *name)
{
    return std::string(UIDataRoot()) + (UILanguage() == 0 ? "\\CHIUIMV\\" : "\\ENGUIMV\\") + name;
}

void UpdateMovieScreen(uint32_t next)
{
    if (!UI().isMoviePlaying()) {
        UI().stopMovie();
        g_pUIManager->RequestModule(next);
    }
    // Only start on pad 0 skips a movie: no other pad, key or button.
    const PadState &pad = UIPadState(0);
    if (pad.connected != 0 && pad.buttons[kPadStart] == kPadPressedState) {
        UI().stopMovie();
        g_pUIManager->RequestModule(next);
    }
}

// ---- Screen 2: the publisher's logo movie.
void CSPublisherLogo::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    if (on != 0) {
        PlayLogoMovie();
    }
}

void CSPublisherLogo::PlayLogoMovie() { UI().playMovie(InterfaceMoviePath("Tarvisk.BIK").c_str()); }

void CSPublisherLogo::Update()
{
    if (active != 0) {
        UpdateMovieScreen(kUIMakerLogo);
    }
}

// ---- Screen 3: the maker's logo movie; the stage manager's first parts.
void CSMakerLogo::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    if (on != 0) {
        UI().createSubObjects1();
        PlayLogoMovie();
    }
}

void CSMakerLogo::PlayLogoMovie() { UI().playMovie(InterfaceMoviePath("ZUNO.BIK").c_str()); }

void CSMakerLogo::Update()
{
    if (active != 0) {
        UpdateMovieScreen(kUIStillLogo);
    }
}

// ---- Screen 6: the opening movie; the arc-cosine table's thread.
void CSOpeningMovie::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    if (on != 0) {
        PlayOpeningMovie();
        if (g_pGameSystem != nullptr) {
            g_pGameSystem->StartACosTableThread();
        }
    }
}

void CSOpeningMovie::PlayOpeningMovie() { UI().playMovie(InterfaceMoviePath("OPEN.BIK").c_str()); }

void CSOpeningMovie::Update()
{
    if (active != 0) {
        UpdateMovieScreen(kUITitle);
    }
}

// ---- Screen 4: the still logo; the effects pack and the interface sounds.
void CSStillLogo::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    if (on != 0) {
        timerMs = 0xFFFFFFFFu;
        drawn = false;
        loaded = false;
        fading = false;
        LoadTexture();
        Layout();
    } else {
        picture.Release();
    }
}

void CSStillLogo::LoadTexture()
{
    RwImageSetPath((std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\LOGO3\\").c_str());
    if (picture.texture == nullptr) {
        picture.texture = ReadTextureWithoutMask("LOGO3.BMP");
    }
}

void CSStillLogo::Layout() { picture.LayOut(64.0f, 112.0f, 576.0f, 368.0f, 0.0f, 0.0f, 1.0f, 1.0f); }

void CSStillLogo::Render()
{
    if (active != 0 && picture.Draw()) {
        drawn = true;
    }
}

void CSStillLogo::Update(uint32_t ms)
{
    if (active == 0) {
        return;
    }
    // The loads run in the tick after the first drawn frame, so the picture
    // stays on screen while they take their time.
    if (drawn && !loaded) {
        UI().loadEffectsPack();
        g_pUIManager->LoadUISounds();
        loaded = true;
    }
    timerMs = timerMs == 0xFFFFFFFFu ? 0 : timerMs;
    timerMs += ms;
    if (!fading && timerMs > kShowMs) {
        g_pUIManager->StartFade(0, kFadeMs);
        fading = true;
    }
    if (fading && g_pUIManager->IsFading() == 0) {
        g_pUIManager->RequestModule(kUIOpeningMovie);
        fading = false;
    }
}

void CSStillLogo::ReleaseTexture() { picture.ReleaseTexture(); }

void CSStillLogo::Release() { picture.Release(); }
