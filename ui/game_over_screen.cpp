// The game-over screen (see game_over_screen.h).
#include "ui/game_over_screen.h"

#include <string>

#include "app/game_system.h"
#include "app/pack.h"
#include "app/textures.h"
#include "rwd3d8raster.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"

namespace {

constexpr uint32_t kFlashColour = 0x00F00000u;  // red 240

}  // namespace

void CSGameOver::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    CSUIManager *ui = g_pUIManager;
    if (on == 0) {
        ui->StopBGM(0);
        ReleaseTextures();
        return;
    }
    timerMs = 0;
    leaving = 0;
    done = 0;
    LoadPicture();
    ui->PlayBGM((std::string(UIDataRoot()) + "\\RESOURCE\\MEDIA\\BGM\\GAMEOVER.WAV").c_str());
}

void CSGameOver::LoadPicture()
{
    const bool packed = g_pUIManager->OpenInterfacePack("GAMEOVER");
    RwImageSetPath((std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\GAMEOVER\\").c_str());
    if (picture == nullptr) {
        picture = ReadTextureWithoutMask(UILanguage() == 0 ? "OVER_CHI.BMP" : "OVER_ENG.BMP");
    }
    if (packed) {
        zuClosePack();
    }
}

void CSGameOver::Update() { Update(UIFrameMs()); }

void CSGameOver::Update(uint32_t ms)
{
    if (active == 0) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    if (leaving != 0) {
        if (ui->IsFading() == 0) {
            ui->ResetHeroBlock();
            RequestStageExit();
            leaving = 0;
            done = 1;
        }
        return;
    }
    if (done != 0) {
        return;
    }
    timerMs += ms;
    if (timerMs > kShowMs) {
        ui->StopBGM(kMusicFadeMs);
        ui->StartFade(0, kFadeMs);
        leaving = 1;
    }
}

void CSGameOver::Render()
{
    if (active == 0 || done != 0) {
        return;
    }
    DrawPlaced({kUIScreen, kUIWholePicture}, picture);
    if (timerMs < kFlashMs) {
        const uint32_t alpha = 255 - timerMs * 255 / kFlashMs;
        DrawUntexturedRect(kUIScreen, alpha << 24 | kFlashColour);
    }
}

bool CSGameOver::CoversScreen() const
{
    return active != 0 && done == 0 && picture != nullptr && !RwD3D8TextureHasAlpha(picture);
}

void CSGameOver::ReleaseTextures()
{
    DestroyTexture(picture);
    picture = nullptr;
}
