// The message window's drawing, once per frame from the manager's window
// tick (see message_window.h): the frame, the name plate and the name, the
// typewriter text or the plain message or the choice list, the blinking
// arrow, the portrait, and the speech marker while the window is closed.
#include "app/game_system.h"
#include "event/event_links.h"
#include "event/message_window.h"

namespace {

RwTexture *InterfaceTexture()
{
    return g_eventLinks.interfaceTexture != nullptr ? g_eventLinks.interfaceTexture() : nullptr;
}

void DrawChoice(const EventChoice &choice)
{
    if (choice.text != nullptr) {
        choice.text->SetColor(choice.colour);
        choice.text->Draw();
    }
}

}  // namespace

void CSEventMessageWindow::Tick()
{
    StepText();
    Draw();
}

void CSEventMessageWindow::DrawText(CSTextBlock **block, const char16_t *text, float x, float y, float width)
{
    if (*block == nullptr && g_pGameSystem != nullptr) {
        *block = g_pGameSystem->textBlocks.Acquire();
    }
    if (*block == nullptr) {
        return;
    }
    (*block)->SetText(&layout_, text, static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(width));
    layoutWords_[0] = layout_.rowCount;
    layoutWords_[1] = layout_.tallestRowHeight;
    (*block)->SetColor(textArgb);
    (*block)->Draw();
}

void CSEventMessageWindow::Draw()
{
    if (sceneRunning) {
        if (subtitleOn_ == 1 && subtitle_ != nullptr) {
            subtitle_->SetColor(textArgb);
            subtitle_->Draw();
        }
        return;
    }
    RwTexture *atlas = InterfaceTexture();
    if (phase_ == kWindowClosed) {
        if (marker_.on != 0) {
            marker_.sprites[marker_.kind].Draw(atlas);
        }
        return;
    }
    if (visible != 0) {
        for (const EventSprite &piece : frame_) {
            piece.Draw(atlas);
        }
    }
    const bool listShown = choiceMode_ != 0 && choices_ != nullptr && choices_->textShown < 0;
    if (phase_ >= kWindowSliding) {
        if (textMode_ == 1 || listShown) {
            for (const EventSprite &piece : plateSprites_) {
                piece.Draw(atlas);
            }
            if (speaker_ != nullptr && speaker_->nameText != nullptr && speaker_->name != nullptr) {
                speaker_->nameText->SetText(nullptr, speaker_->name, static_cast<int32_t>(plate_.left + 20.0f),
                                            static_cast<int32_t>(plate_.top + 3.0f), 0);
                speaker_->nameText->SetColor(textArgb);
                speaker_->nameText->Draw();
            }
        }
        if (listShown) {
            for (int32_t k = 0; k < choices_->count; ++k) {
                DrawChoice(choices_->options[k]);
            }
            DrawChoice(choices_->buttons[0]);
            DrawChoice(choices_->buttons[1]);
            for (int i = kEventHighlights - 1; i >= 0; --i) {
                const EventHighlight &highlight = choices_->highlights[i];
                if (i == 0 || highlight.on == 1) {
                    highlight.sprite.Draw(atlas);
                }
            }
        } else if (textMode_ == 1) {
            const std::u16string shown = ShownText();
            DrawText(&textObject_, shown.c_str(), box_.left + 30.0f, box_.top + 40.0f, box_.right - box_.left - 30.0f);
        } else {
            DrawText(&textObject_, text_.c_str(), box_.left + 20.0f, box_.top + 20.0f, box_.right - box_.left - 40.0f);
        }
    }
    if (textMode_ == 1 && !listShown && blink_ != 0) {
        arrow_.Draw(atlas);
    }
    if (textMode_ == 1 && speaker_ != nullptr) {
        portraitPicture_.Draw(speaker_->texture);
        portraitBorder_.Draw(atlas);
    }
}
