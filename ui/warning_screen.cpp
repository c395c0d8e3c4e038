// The warning screen (see warning_screen.h).
#include "ui/warning_screen.h"

#include <string>

#include "app/pack.h"
#include "app/textures.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"

CSWarning *g_pWarning = nullptr;

CSWarning::CSWarning() { g_pWarning = this; }

void CSWarning::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    if (on != 0) {
        timerMs = 0xFFFFFFFFu;
        drawn = false;
        setUpDone = false;
        fadeStarted = false;
        LoadTextures();
        LayoutQuad();
    } else {
        picture.Release();
    }
}

void CSWarning::LoadTextures()
{
    PackOpenHook();
    const bool packed = zuOpenPack((std::string(UIDataRoot()) + "\\PACK\\UI0\\WARNING.STR").c_str());
    if (picture.texture == nullptr) {
        const std::string folder =
            std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\WARNING" + UILanguageFolder();
        RwImageSetPath(folder.c_str());
        picture.texture = ReadTextureWithoutMask("WARNING.BMP");
    }
    if (packed) {
        zuClosePack();
    }
}

void CSWarning::LayoutQuad()
{
    picture.LayOut(0.0f, 0.0f, 640.0f, 480.0f, 1.0f / 512.0f, 32.0f / 512.0f, 511.0f / 512.0f, 480.0f / 512.0f);
}

void CSWarning::Render()
{
    if (active != 0 && picture.Draw()) {
        drawn = true;
    }
}

void CSWarning::Update(uint32_t ms)
{
    if (active == 0) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    if (drawn && !setUpDone) {
        UI().unloadHeroes();
        if (!firstSetUpDone) {
            firstSetUpDone = true;
            ui->ResetVolumes();
            ui->MarkStartValue();
        }
        ui->LoadFrontEndTextures();
        if (UILanguage() == 0) {
            ui->LoadCommonTextures();
        }
        setUpDone = true;
    }
    // Counted from the first update, which is time 0.
    timerMs = timerMs == 0xFFFFFFFFu ? 0 : timerMs + ms;
    if (timerMs >= kShowMs && !fadeStarted) {
        ui->StartFade(0, kFadeMs);
        fadeStarted = true;
    }
    CheckDone();
}

void CSWarning::CheckDone()
{
    // The switch to the logo closes this screen before its next update.
    if (fadeStarted && g_pUIManager->IsFading() == 0) {
        g_pUIManager->RequestModule(UILanguage() == 0 ? kUIMakerLogo : kUIPublisherLogo);
    }
}

void CSWarning::ReleaseTexture() { picture.ReleaseTexture(); }

void CSWarning::Release() { picture.Release(); }
