// The title screen (see title_screen.h).
#include "ui/title_screen.h"

#include <algorithm>
#include <string>

#include "app/textures.h"
#include "ui/logo_screens.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"

CSTitle *g_pTitle = nullptr;

namespace {


// Rest places of the menu items: language 0 stands further left.
float ItemRestLeft() { return UILanguage() == 0 ? 245.0f : 285.0f; }

void PlaceQuad(UIQuad *quad, float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1)
{
    SetQuadPositions(quad->v, x0, y0, x1, y1);
    SetQuadUVs512(quad->v, s0, t0, s1, t1);
    SetQuadArgb(quad->v, kUIPictureColour);
}

void SetAlpha(UIQuad *quad, uint8_t alpha) { SetQuadColour(quad->v, alpha, 240, 240, 240); }

}  // namespace

uint8_t StepBlink(uint32_t ms, uint32_t *timer, uint8_t *rising)
{
    *timer += ms;
    const uint32_t level = std::min<uint32_t>(*timer / 4, 255);
    const uint8_t alpha = static_cast<uint8_t>(*rising != 0 ? level : 255 - level);
    if (alpha == 255) {
        *rising = 0;
        *timer = 0;
    } else if (alpha == 0) {
        *rising = 1;
        *timer = 0;
    }
    return alpha;
}

// ---- SlideItem
void SlideItem::Init()
{
    // A new item: its other fields hold their first values.
    quad = std::make_unique<UIQuad>();
}

void SlideItem::Place(float x0, float y0, float x1, float y1)
{
    left = x0;
    top = y0;
    width = x1 - x0;
    height = y1 - y0;
    if (quad != nullptr) {
        SetQuadPositions(quad->v, left, top, left + width, top + height);
    }
}

void SlideItem::SetRange(float leftWhenSelected, float rightAtRest)
{
    selectedLeftX = leftWhenSelected;
    restRightX = rightAtRest;
}

void SlideItem::SetSelected(bool on, bool instant)
{
    selected = on;
    if (!instant) {
        slideMs = 0;
        return;
    }
    const float x0 = on ? selectedLeftX : restRightX - width;
    Place(x0, top, x0 + width, top + height);
    slideMs = 0xFFFFFFFFu;
}

void SlideItem::Update(uint32_t ms)
{
    if (slideMs == 0xFFFFFFFFu) {
        return;
    }
    // The step grows with the time since the slide began.
    const float step = static_cast<float>(slideMs) * 0.01f;
    bool done = false;
    if (selected) {
        left = std::max(left - step, selectedLeftX);
        done = left == selectedLeftX;
    } else {
        const float right = std::min(left + width + step, restRightX);
        left = right - width;
        done = right == restRightX;
    }
    slideMs = done ? 0xFFFFFFFFu : slideMs + ms;
    Place(left, top, left + width, top + height);
}

void SlideItem::Draw(const RwTexture *texture) const
{
    if (quad != nullptr) {
        DrawUIQuad(*quad, texture);
    }
}

// ---- CSTitle
CSTitle::CSTitle() { g_pTitle = this; }

void CSTitle::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    if (on == 0) {
        ReleaseQuads();
        return;
    }
    choicePending = false;
    promptRising = 0;
    cursorRising = 0;
    promptBlinkMs = 0;
    cursorBlinkMs = 0;
    idleMs = 0;
    fadeMs = 0xFFFFFFFFu;
    state = kNone;
    selected = kNone;
    movieKind = kNoMovie;
    loopBackground = false;
    refusedMovies = 0;
    CreateQuads();
    LoadTextures();
    LayOut();
    state = kPrompt;
    SetMenuCursor(0, true);
    g_pUIManager->SetUIPad(-1);
    g_pUIManager->ResetHeroBlock();
    PlayPreLogo();
}

void CSTitle::CreateQuads()
{
    if (items == nullptr) {
        items = std::make_unique<SlideItem[]>(kItems);
        for (int i = 0; i < kItems; ++i) {
            items[i].Init();
        }
    }
    for (auto *q : {&logoQuad, &overlayQuad, &dimPromptQuad, &noticeQuad, &brightPromptQuad, &cursorQuad, &fadeQuad}) {
        if (*q == nullptr) {
            *q = std::make_unique<UIQuad>();
        }
    }
}

void CSTitle::LayOut()
{
    PlaceQuad(overlayQuad.get(), 0, 0, 640, 480, 325, 2, 509, 140);
    PlaceQuad(logoQuad.get(), 87, 51, 563, 323, 1, 257, 438, 511);
    PlaceQuad(dimPromptQuad.get(), 245, 359, 395, 386, 1, 1, 151, 28);
    PlaceQuad(brightPromptQuad.get(), 245, 359, 395, 386, 152, 1, 302, 28);
    SetQuadPositions(noticeQuad->v, 193, 394, 447, 456);
    SetQuadUVs(noticeQuad->v, 0.00390625f, 0.015625f, 0.99609375f, 0.984375f);
    SetQuadArgb(noticeQuad->v, kUIPictureColour);
    const float x0 = ItemRestLeft();
    for (int i = 0; i < kItems; ++i) {
        const float y0 = 320.0f + 28.0f * i;
        SlideItem &item = items[i];
        SetQuadUVs512(item.quad->v, 1, 29.0f + 28.0f * i, 151, 56.0f + 28.0f * i);
        SetQuadArgb(item.quad->v, kUIPictureColour);
        item.Place(x0, y0, x0 + 150.0f, y0 + 27.0f);
        item.SetRange(x0 - 20.0f, x0 + 150.0f);
    }
    PlaceQuad(cursorQuad.get(), x0, 320, x0 + 150.0f, 347, 152, 29, 302, 56);
    SetQuadPositions(fadeQuad->v, 0, 0, 640, 480);
    SetQuadUVs(fadeQuad->v, 0, 0, 1, 1);
    SetQuadArgb(fadeQuad->v, 0);
}

void CSTitle::LoadTextures()
{
    const std::string folder = std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\LOGO" + UILanguageFolder();
    RwImageSetPath(folder.c_str());
    if (noticeTexture == nullptr) {
        // The legal notice is its own mask.
        noticeTexture = LoadTextureWithMask("COPYRIT.BMP", "COPYRIT.BMP");
    }
    if (logoTexture == nullptr) {
        logoTexture = LoadTextureWithMask("LOGO.BMP", "LOGOA.BMP");
    }
}

void CSTitle::ReleaseTextures()
{
    DestroyTexture(noticeTexture);
    DestroyTexture(logoTexture);
    noticeTexture = nullptr;
    logoTexture = nullptr;
}

void CSTitle::ReleaseQuads()
{
    if (items != nullptr) {
        for (int i = 0; i < kItems; ++i) {
            items[i].Release();
        }
        items.reset();
    }
    for (auto *q : {&logoQuad, &overlayQuad, &dimPromptQuad, &noticeQuad, &brightPromptQuad, &cursorQuad, &fadeQuad}) {
        q->reset();
    }
}

void CSTitle::Release()
{
    ReleaseQuads();
    ReleaseTextures();
    if (g_pTitle == this) {
        g_pTitle = nullptr;
    }
}

void CSTitle::PlayPreLogo()
{
    movieKind = kBackground;
    preLogoPlaying = true;
    StartMovie("PRELOGO.BIK", kPreLogoMovie);
}

void CSTitle::PlayLogoLoop()
{
    movieKind = kBackground;
    preLogoPlaying = false;
    StartMovie("LOGOBG.BIK", kLogoLoopMovie);
}

void CSTitle::PlayDemo()
{
    movieKind = kAttract;
    preLogoPlaying = false;
    StartMovie("DEMO.BIK", kDemoMovie);
}

void CSTitle::StartMovie(const char *name, uint8_t bit)
{
    if ((refusedMovies & bit) != 0) {
        return;
    }
    UI().playMovie(InterfaceMoviePath(name).c_str());
    if (!UI().isMoviePlaying()) {
        refusedMovies |= bit;
    }
}

void CSTitle::SetMenuCursor(uint32_t item, bool instant)
{
    selected = item;
    for (int i = 0; i < kItems; ++i) {
        items[i].SetSelected(static_cast<uint32_t>(i) == item, instant);
    }
    if (item < kItems) {
        SetQuadUVs512(cursorQuad->v, 152, 29.0f + 28.0f * item, 302, 56.0f + 28.0f * item);
    } else {
        SetQuadUVs(cursorQuad->v, 0, 0, 1, 1);
    }
    UpdateCursor();
}

void CSTitle::StartOwnFade()
{
    fadeMs = 0;
    SetQuadArgb(fadeQuad->v, 0);
}

void CSTitle::StartDemoFade()
{
    StartOwnFade();
    demoPending = true;
}

void CSTitle::UpdateFade(uint32_t ms)
{
    if (fadeMs == 0xFFFFFFFFu) {
        return;
    }
    const uint32_t alpha = std::min<uint32_t>(fadeMs * 255 / kOwnFadeMs, 255);
    SetQuadArgb(fadeQuad->v, alpha << 24);
    fadeMs += ms;
    if (alpha == 255) {
        UI().stopMovie();
        if (demoPending) {
            PlayDemo();
        } else if (state == kPrompt) {
            PlayPreLogo();
        } else {
            PlayLogoLoop();
        }
        fadeMs = 0xFFFFFFFFu;
    }
}

void CSTitle::UpdateMovies(uint32_t ms)
{
    const bool playing = UI().isMoviePlaying();
    if (loopBackground) {
        if (movieKind == kBackground && !preLogoPlaying && playing) {
            return;
        }
        UI().stopMovie();
        PlayLogoLoop();
        return;
    }
    if (playing) {
        if (movieKind == kBackground && state == kPrompt) {
            idleMs += ms;
            if (idleMs > kIdleMs) {
                StartDemoFade();
                idleMs = 0;
            }
        } else {
            idleMs = 0;
        }
        return;
    }
    UI().stopMovie();
    if (state == kPrompt) {
        PlayPreLogo();
    } else {
        PlayLogoLoop();
    }
}

// Once the fade has ended the chosen screen is asked for; the switch to it
// closes the title before its next update, and the next visit starts anew.
bool CSTitle::FinishChoice()
{
    if (!choicePending) {
        return false;
    }
    if (g_pUIManager->IsFading() == 0) {
        // Only the first three items leave with a fade.
        static const uint32_t kNext[3] = {kUISelectCharacter, kUISaveLoad, kUIOption};
        UI().stopMovie();
        g_pUIManager->RequestModule(kNext[selected]);
    }
    return true;
}

void CSTitle::ReadInput()
{
    if (state == kPrompt) {
        ReadPromptInput();
    } else if (state == kMenu) {
        ReadMenuInput();
    }
}

// Idle time counts only at the prompt over its own movie, until the menu
// first opens (its loop then runs until the next activation), and the
// attract movie keeps the count at 0: of the presses here only a select
// over the prompt's movie has a count to restart.
void CSTitle::ReadPromptInput()
{
    const PadState &pad = UIPadState(0);
    if (pad.connected == 0) {
        return;
    }
    if (PadPressed(pad, kPadStart) || UIMousePressed()) {
        Confirm(0);
        return;
    }
    if (PadPressed(pad, kPadSelect)) {
        Cancel(0);
        idleMs = 0;
    }
    if (movieKind == kAttract && PadPressed(pad, kPadCircle)) {
        Confirm(0);
    }
}

void CSTitle::ReadMenuInput()
{
    const int32_t padIndex = g_pUIManager->GetUIPad();
    const PadState &pad = UIPadState(padIndex);
    if (pad.connected == 0) {
        return;
    }
    if (PadPressed(pad, kPadUp) && movieKind == kBackground) {
        if (selected >= 1) {
            selected -= 1;
            g_pUIManager->PlayUISound(kUISoundMove, 0);
        }
        SetMenuCursor(selected, false);
    }
    if (PadPressed(pad, kPadDown) && movieKind == kBackground) {
        if (selected <= 2) {
            selected += 1;
            g_pUIManager->PlayUISound(kUISoundMove, 0);
        }
        SetMenuCursor(selected, false);
    }
    if (PadPressed(pad, kPadCircle) || PadPressed(pad, kPadStart) || UIMousePressed()) {
        Confirm(padIndex);
    }
    if (PadPressed(pad, kPadCross) || PadPressed(pad, kPadSelect)) {
        Cancel(padIndex);
    }
}

void CSTitle::Confirm(int32_t pad)
{
    if (movieKind != kBackground) {
        // During the attract movie a confirm fades back to the title.
        if (fadeMs == 0xFFFFFFFFu) {
            StartOwnFade();
            demoPending = false;
        }
        return;
    }
    CSUIManager *ui = g_pUIManager;
    if (state == kPrompt) {
        state = kMenu;
        loopBackground = true;
        ui->SetUIPad(pad);
    } else if (state == kMenu) {
        switch (selected) {
        case 0:
            ui->ResetHeroBlock();
            ui->ClearProgressBlock();
            ui->heroBlock.inUse = 1;
            [[fallthrough]];
        case 1:
        case 2:
            choicePending = true;
            ui->StartFade(0, kChoiceFadeMs);
            state = kLeaving;
            break;
        case 3:
            UI().closeApplication();
            break;
        default:
            break;
        }
    } else {
        return;
    }
    fadeMs = 0xFFFFFFFFu;
    demoPending = false;
    ui->PlayUISound(kUISoundConfirm, 0);
}

void CSTitle::Cancel(int32_t)
{
    // (The attract movie plays only at the prompt, where a cancel over it
    // changes nothing.)
    if (state == kMenu) {
        state = kPrompt;
        g_pUIManager->SetUIPad(-1);
        g_pUIManager->PlayUISound(kUISoundCancel, 0);
    }
    if (movieKind == kBackground) {
        fadeMs = 0xFFFFFFFFu;
        demoPending = false;
    }
}

void CSTitle::UpdateCursor()
{
    if (cursorQuad == nullptr || items == nullptr || selected >= kItems) {
        return;
    }
    const UIQuad &from = *items[selected].quad;
    cursorQuad->v[0].x = from.v[0].x;
    cursorQuad->v[0].y = from.v[0].y;
    cursorQuad->v[2].x = from.v[0].x;
    cursorQuad->v[2].y = from.v[3].y;
    cursorQuad->v[1].x = from.v[3].x;
    cursorQuad->v[1].y = from.v[0].y;
    cursorQuad->v[3].x = from.v[3].x;
    cursorQuad->v[3].y = from.v[3].y;
}

void CSTitle::Update(uint32_t ms)
{
    if (active == 0) {
        return;
    }
    UpdateFade(ms);
    UpdateMovies(ms);
    if (!FinishChoice()) {
        ReadInput();
    }
    if (active == 0 || items == nullptr) {
        return;
    }
    SetAlpha(brightPromptQuad.get(), StepBlink(ms, &promptBlinkMs, &promptRising));
    for (int i = 0; i < kItems; ++i) {
        items[i].Update(ms);
    }
    UpdateCursor();
    SetAlpha(cursorQuad.get(), StepBlink(ms, &cursorBlinkMs, &cursorRising));
}

void CSTitle::Render()
{
    if (active == 0 || items == nullptr) {
        return;
    }
    if (movieKind == kBackground) {
        DrawUIQuad(*overlayQuad, logoTexture);
        DrawUIQuad(*logoQuad, logoTexture);
        if (state == kPrompt) {
            DrawUIQuad(*dimPromptQuad, logoTexture);
            DrawUIQuad(*brightPromptQuad, logoTexture);
            DrawUIQuad(*noticeQuad, noticeTexture);
        } else if (state == kMenu) {
            for (int i = 0; i < kItems; ++i) {
                items[i].Draw(logoTexture);
            }
            DrawUIQuad(*cursorQuad, logoTexture);
        }
    }
    if (fadeMs != 0xFFFFFFFFu) {
        DrawUIQuad(fadeQuad->v, nullptr);
    }
}
