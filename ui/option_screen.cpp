// The options screen: the object, the settings page, the drawing frame of
// both pages and the way out (see option_screen.h).
#include "ui/option_screen.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/application.h"
#include "app/game_system.h"
#include "app/input.h"
#include "app/text_block.h"
#include "app/textures.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"

CSOption *g_pOption = nullptr;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kSoundLeave = 6600050;

// Screen y of a settings row's label, and its label's source v.
float RowTop(int32_t row) { return 180.0f + 30.0f * static_cast<float>(row); }
float LabelV(int32_t row) { return 341.0f + 22.0f * static_cast<float>(row); }

int32_t LevelOf(float volume) { return std::clamp(static_cast<int32_t>(volume * 20.0f), 0, 20); }
float VolumeOf(int32_t level) { return std::clamp(static_cast<float>(level) * 0.05f, 0.0f, 1.0f); }

template <typename T>
void MakeQuads(std::unique_ptr<T[]> *quads, int count)
{
    if (*quads == nullptr) {
        *quads = std::make_unique<T[]>(static_cast<size_t>(count));
    }
}

void MakeQuad(std::unique_ptr<UIQuad> *quad)
{
    if (*quad == nullptr) {
        *quad = std::make_unique<UIQuad>();
    }
}

}  // namespace

CSOption::CSOption() { g_pOption = this; }

void CSOption::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    CSUIManager *ui = g_pUIManager;
    if (on == 0) {
        ReleaseQuads();
        SetOptionSwitch(ui->Settings().flag != 0);
        ui->StopBGM(0);
        return;
    }
    leavePending = false;
    clockMs = lastRepeatMs = lastChevronMs = 0.0f;
    chevronFrame = 0;
    page = kSettingsPage;
    listening = 0;
    conflict = 0;
    CreateQuads();
    ReadVolumes();
    LayOutSettings();
    SetSettingsRow(kRowMusic);
    ui->PlayBGM((std::string(UIDataRoot()) + "\\RESOURCE\\MEDIA\\BGM\\SELCHAR.WAV").c_str());
    SetOptionSwitch(true);
    LayOutBindingPage();
}

void CSOption::CreateQuads()
{
    for (std::unique_ptr<UIQuad> *quad : {&background, &header, &cursor, &mouseBar, &mouseKnob, &mouseSlow,
                                          &mouseFast, &pointer, &listenMark, &pageBar, &pageMarker, &rowNames}) {
        MakeQuad(quad);
    }
    MakeQuads(&leftChevrons, kChevrons);
    MakeQuads(&rightChevrons, kChevrons);
    for (std::unique_ptr<UIQuad[]> *bar : {&musicEmpty, &musicFilled, &soundEmpty, &soundFilled}) {
        MakeQuads(bar, kVolumeSteps);
    }
    MakeQuads(&rowBars, kSettingsRows);
    MakeQuads(&rowLabels, kSettingsRows);
    MakeQuads(&headings, 3);
    auto acquire = [](CSTextBlock **block) {
        if (*block == nullptr && g_pGameSystem != nullptr) {
            *block = g_pGameSystem->textBlocks.Acquire();
        }
    };
    for (CSTextBlock *&block : conflictTexts) acquire(&block);
    for (CSTextBlock *&block : padTexts) acquire(&block);
    for (CSTextBlock *&block : keyTexts) acquire(&block);
    for (CSTextBlock *&block : mouseTexts) acquire(&block);
}

void CSOption::ReleaseQuads()
{
    for (std::unique_ptr<UIQuad> *quad : {&background, &header, &cursor, &mouseBar, &mouseKnob, &mouseSlow,
                                          &mouseFast, &pointer, &listenMark, &pageBar, &pageMarker, &rowNames}) {
        quad->reset();
    }
    for (std::unique_ptr<UIQuad[]> *quads : {&leftChevrons, &rightChevrons, &musicEmpty, &musicFilled, &soundEmpty,
                                             &soundFilled, &rowBars, &rowLabels, &headings}) {
        quads->reset();
    }
    auto give = [](CSTextBlock **block) {
        if (*block != nullptr) {
            (*block)->Reset(0);
            *block = nullptr;
        }
    };
    for (CSTextBlock *&block : conflictTexts) give(&block);
    for (CSTextBlock *&block : padTexts) give(&block);
    for (CSTextBlock *&block : keyTexts) give(&block);
    for (CSTextBlock *&block : mouseTexts) give(&block);
}

void CSOption::LoadTextures()
{
    const std::string folder = std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\OPTION\\";
    RwImageSetPath(folder.c_str());
    if (baseTexture == nullptr) {
        baseTexture = ReadTextureWithoutMask("OPTBASE.BMP");
    }
    const std::string language = std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\OPTION" + UILanguageFolder();
    RwImageSetPath(language.c_str());
    if (panelTexture == nullptr) {
        panelTexture = LoadTextureWithMask("OPTION.BMP", "OPTIONA.BMP");
    }
}

void CSOption::ReleaseTextures()
{
    DestroyTexture(baseTexture);
    DestroyTexture(panelTexture);
    baseTexture = nullptr;
    panelTexture = nullptr;
}

void CSOption::Release()
{
    ReleaseQuads();
    ReleaseTextures();
    if (g_pOption == this) {
        g_pOption = nullptr;
    }
}

void CSOption::ReadVolumes()
{
    const UISettings &settings = g_pUIManager->Settings();
    musicLevel = LevelOf(settings.musicVolume);
    soundLevel = LevelOf(settings.soundVolume);
}

void CSOption::WriteVolumes()
{
    UISettings settings = g_pUIManager->Settings();
    settings.musicVolume = VolumeOf(musicLevel);
    settings.soundVolume = VolumeOf(soundLevel);
    g_pUIManager->StoreSettings(settings);
}

// ---- Layout of the settings page

void CSOption::LayOutSettings()
{
    SetQuadPositions(background->v, 0, 0, 640, 480);
    SetQuadUVs(background->v, 0, 0, 1, 1);
    SetQuadArgb(background->v, kUIPictureColour);
    PlaceUIQuad(header.get(), 50, 99, 131, 120, 413, 12, 494, 33);
    for (int32_t r = 0; r < kSettingsRows; ++r) {
        const float y = 176.0f + 30.0f * static_cast<float>(r);
        PlaceUIQuad(&rowBars[r], 47, y, 670, y + 28.0f, 395, 35, 511, 63);
        PlaceUIQuad(&rowLabels[r], 93, RowTop(r), 220, RowTop(r) + 21.0f, 383, LabelV(r), 510, LabelV(r) + 21.0f);
    }
    for (int i = 0; i < kVolumeSteps; ++i) {
        const float x = 293.0f + 9.0f * static_cast<float>(i);
        PlaceUIQuad(&musicEmpty[i], x, 180, x + 7.0f, 201, 357, 473, 360, 494);
        PlaceUIQuad(&soundEmpty[i], x, 210, x + 7.0f, 231, 357, 473, 360, 494);
        SetQuadPositions(musicFilled[i].v, x, 180, x + 7.0f, 201);
        SetQuadPositions(soundFilled[i].v, x, 210, x + 7.0f, 231);
        SetQuadArgb(musicFilled[i].v, kUIPictureColour);
        SetQuadArgb(soundFilled[i].v, kUIPictureColour);
    }
    PlaceUIQuad(mouseSlow.get(), 250, 272, 285, 288, 386, 317, 435, 335, kWhite);
    PlaceUIQuad(mouseFast.get(), 480, 272, 515, 288, 442, 317, 500, 335, kWhite);
    LayOutVolumeBars();
    LayOutMouseSpeed();
    LayOutChevrons();
}

void CSOption::LayOutVolumeBars()
{
    // The selected row's filled blocks are the bright ones.
    const float musicS0 = settingsRow == kRowMusic ? 351.0f : 345.0f;
    const float soundS0 = settingsRow == kRowSound ? 351.0f : 345.0f;
    for (int i = 0; i < kVolumeSteps; ++i) {
        SetQuadUVs512(musicFilled[i].v, musicS0, 474, musicS0 + 5.0f, 493);
        SetQuadUVs512(soundFilled[i].v, soundS0, 474, soundS0 + 5.0f, 493);
    }
}

void CSOption::LayOutMouseSpeed()
{
    const float u0 = settingsRow == kRowMouse ? 300.0f : 400.0f;
    PlaceUIQuad(mouseBar.get(), 275.0f + 410.0f * kMinMouseSpeed, 280, 285.0f + 410.0f * kMaxMouseSpeed, 283, u0, 35,
                u0 + 60.0f, 36, kWhite);
    const float x = 275.0f + 410.0f * MouseSpeed;
    PlaceUIQuad(mouseKnob.get(), x, 270, x + 15.0f, 290, 250, 460, 275, 505, kWhite);
}

void CSOption::LayOutChevrons()
{
    const float y = settingsRow == kRowSound ? 210.0f : 180.0f;
    for (int k = 0; k < kChevrons; ++k) {
        // Frame 0 stacks the three, frame 1 moves the last out, frames 2
        // to 5 spread them 5 apart; frame 6 shows none.
        float step = 0.0f;
        if (chevronFrame == 1) {
            step = k == 2 ? 5.0f : 0.0f;
        } else if (chevronFrame >= 2) {
            step = 5.0f * static_cast<float>(k);
        }
        PlaceUIQuad(&leftChevrons[k], 266.0f - step, y, 287.0f - step, y + 21.0f, 467, 473, 488, 494);
        PlaceUIQuad(&rightChevrons[k], 477.0f + step, y, 498.0f + step, y + 21.0f, 489, 473, 510, 494);
    }
}

void CSOption::SetSettingsRow(int32_t row)
{
    settingsRow = row;
    PlaceUIQuad(cursor.get(), 93, RowTop(row), 220, RowTop(row) + 21.0f, 1, LabelV(row), 128, LabelV(row) + 21.0f);
    if (row == kRowKeys || row == kRowMouse || row == kRowDefaults) {
        LayOutMouseSpeed();
    }
    LayOutChevrons();
    LayOutVolumeBars();
}

void CSOption::StepArrowAnimation()
{
    chevronFrame = chevronFrame >= kChevronFrames - 1 ? 0 : chevronFrame + 1;
    LayOutChevrons();
}

// ---- The settings page's actions

void CSOption::AdjustSetting(int32_t delta)
{
    CSUIManager *ui = g_pUIManager;
    switch (settingsRow) {
    case kRowMusic:
        musicLevel = std::clamp(musicLevel + delta, 0, kVolumeSteps);
        LayOutVolumeBars();
        ui->SetMusicVolume(VolumeOf(musicLevel));
        break;
    case kRowSound:
        soundLevel = std::clamp(soundLevel + delta, 0, kVolumeSteps);
        LayOutVolumeBars();
        ui->SetSoundVolume(VolumeOf(soundLevel));
        ui->PlayUISound(kUISoundMove, 0);  // heard at the new volume
        break;
    case kRowMouse: {
        const float speed = MouseSpeed + (delta == 1 ? 0.02f : -0.02f);
        // Kept on its hundredths and within its range: float steps drift,
        // and a speed past the range would be refused when the file is read.
        // A step at an end of the range thus leaves the speed where it is.
        MouseSpeed = std::clamp(std::round(speed * 100.0f) / 100.0f, kMinMouseSpeed, kMaxMouseSpeed);
        LayOutMouseSpeed();
        break;
    }
    default:
        break;
    }
}

void CSOption::ConfirmRow()
{
    if (page != kSettingsPage) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    switch (settingsRow) {
    case kRowKeys:
        // Every visit of the binding page starts on its first cell, not
        // listening (as the settings page never is).
        page = kBindingPage;
        subPage = 0;
        subPageOffset = 0.0f;
        SetBindingCursor(0);
        LayoutPage();
        ui->PlayUISound(kUISoundConfirm, 0);
        break;
    case kRowDefaults:
        ResetButtonConfig();
        ui->ResetVolumes();
        ReadVolumes();
        LayOutVolumeBars();
        LayOutMouseSpeed();
        ui->PlayUISound(kUISoundConfirm, 0);
        break;
    case kRowExit:
        Leave();
        break;
    default:
        break;
    }
}

void CSOption::Back()
{
    if (page == kBindingPage) {
        ReturnToSettings();
        return;
    }
    if (settingsRow != kRowExit) {
        SetSettingsRow(kRowExit);
        g_pUIManager->PlayUISound(kUISoundCancel, 0);
        return;
    }
    Leave();
}

void CSOption::Leave()
{
    CSUIManager *ui = g_pUIManager;
    WriteVolumes();
    ui->StopBGM(kMusicFadeMs);
    ui->StartFade(0, kLeaveFadeMs);
    leavePending = true;
    // A file that cannot be written is reported by the writer and leaves
    // the old one whole; the screen leaves all the same.
    SaveButtonConfig();
    RefreshBindingTexts();
    // The key prompts name the key bound to triangle: lay them out anew, so
    // that the screens after this one show the key it has now.
    ui->CreateKeyPrompts();
    ui->PlayUISound(kSoundLeave, 0);
}

// The title follows the fade; the switch to it closes this screen (and its
// music) before its next update, and the next visit starts anew.
void CSOption::FinishLeave()
{
    if (g_pUIManager->IsFading() == 0) {
        g_pUIManager->RequestModule(kUITitle);
    }
}

// ---- Update and drawing

void CSOption::Update(uint32_t ms)
{
    if (active == 0) {
        return;
    }
    if (leavePending) {
        FinishLeave();
        return;
    }
    clockMs += static_cast<float>(ms);
    nowMs = clockMs;
    if (nowMs - lastChevronMs > static_cast<float>(chevronIntervalMs)) {
        lastChevronMs = nowMs;
        StepArrowAnimation();
    }
    const PadState &pad = UIPadState(g_pUIManager->GetUIPad());
    if (pad.connected == 0) {
        return;
    }
    if (page == kBindingPage) {
        UpdateBindingPage();
    } else {
        UpdateSettingsPage();
    }
}

void CSOption::UpdateSettingsPage()
{
    const PadState &pad = UIPadState(g_pUIManager->GetUIPad());
    // (The mouse speed keeps to its range in AdjustSetting.)
    const bool adjustable = settingsRow == kRowMusic || settingsRow == kRowSound || settingsRow == kRowMouse;
    const bool repeatDue = clockMs - lastRepeatMs > static_cast<float>(repeatIntervalMs);
    if (adjustable && PadHeld(pad, kPadLeft)) {
        ++holdCount;
        if (holdCount > kHoldUpdates && repeatDue) {
            AdjustSetting(-1);
            lastRepeatMs = clockMs;
        }
    } else if (adjustable && PadPressed(pad, kPadLeft)) {
        AdjustSetting(-1);
    }
    if (adjustable && PadHeld(pad, kPadRight)) {
        ++holdCount;
        if (holdCount > kHoldUpdates && clockMs - lastRepeatMs > static_cast<float>(repeatIntervalMs)) {
            AdjustSetting(1);
            lastRepeatMs = clockMs;
        }
    } else if (adjustable && PadPressed(pad, kPadRight)) {
        AdjustSetting(1);
    }
    int32_t row = settingsRow;
    if (PadPressed(pad, kPadUp) && row >= 1) {
        --row;
    }
    if (PadPressed(pad, kPadDown) && row <= kRowDefaults) {
        ++row;
    }
    if (row != settingsRow) {
        g_pUIManager->PlayUISound(kUISoundMove, 0);
        SetSettingsRow(row);
        holdCount = 0;
    }
    if (PadPressed(pad, kPadCircle) || PadPressed(pad, kPadStart) || KeyPressedNow(input::kKeyEnter) || UIMousePressed()) {
        ConfirmRow();
        holdCount = 0;
        if (page != kSettingsPage || leavePending) {
            return;
        }
    }
    if (PadPressed(pad, kPadCross) || PadPressed(pad, kPadSelect) || KeyPressedNow(input::kKeyEscape)) {
        Back();
        holdCount = 0;
    }
}

// The chevrons stand beside the selected volume's bar, none past its ends
// and none in the animation's last frame.
bool CSOption::ShowsLeftChevrons() const
{
    const bool volumeRow = settingsRow == kRowMusic || settingsRow == kRowSound;
    const int32_t level = settingsRow == kRowMusic ? musicLevel : soundLevel;
    return volumeRow && chevronFrame < kChevronFrames - 1 && level > 0;
}

bool CSOption::ShowsRightChevrons() const
{
    const bool volumeRow = settingsRow == kRowMusic || settingsRow == kRowSound;
    const int32_t level = settingsRow == kRowMusic ? musicLevel : soundLevel;
    return volumeRow && chevronFrame < kChevronFrames - 1 && level < kVolumeSteps;
}

void CSOption::Render()
{
    if (active == 0 || background == nullptr) {
        return;
    }
    DrawUIQuad(*background, baseTexture);
    DrawUIQuad(*header, panelTexture);
    if (page == kBindingPage) {
        RenderBindingPage();
    } else {
        RenderSettingsPage();
    }
}

void CSOption::RenderSettingsPage()
{
    const RwTexture *t = panelTexture;
    for (int r = 0; r < kSettingsRows; ++r) {
        DrawUIQuad(rowBars[r], t);
    }
    for (int r = 0; r < kSettingsRows; ++r) {
        DrawUIQuad(rowLabels[r], t);
    }
    DrawUIQuad(*mouseBar, t);
    DrawUIQuad(*mouseKnob, t);
    DrawUIQuad(*mouseSlow, t);
    DrawUIQuad(*mouseFast, t);
    for (int k = 0; k < kChevrons && ShowsLeftChevrons(); ++k) {
        DrawUIQuad(leftChevrons[k], t);
    }
    for (int k = 0; k < kChevrons && ShowsRightChevrons(); ++k) {
        DrawUIQuad(rightChevrons[k], t);
    }
    for (int i = 0; i < kVolumeSteps; ++i) {
        DrawUIQuad(musicEmpty[i], t);
        DrawUIQuad(soundEmpty[i], t);
    }
    for (int i = 0; i < musicLevel; ++i) {
        DrawUIQuad(musicFilled[i], t);
    }
    for (int i = 0; i < soundLevel; ++i) {
        DrawUIQuad(soundFilled[i], t);
    }
    DrawUIQuad(*cursor, t);
    g_pUIManager->DrawShadeRect(0, 410, 640, 445);
    g_pUIManager->DrawKeyPrompts(3);
}
