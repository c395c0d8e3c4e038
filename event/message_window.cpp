// The message window's state: opening, growing, the name plate's slide,
// the timed close, the typewriter and the speech marker (see
// message_window.h). The drawing is message_window_draw.cpp's.
#include "event/message_window.h"

#include <algorithm>

#include "app/game_system.h"
#include "event/event_links.h"
#include "ui/ui_projection.h"

namespace {

constexpr float kAtlas = 512.0f;

// The box of both modes: rows 220 to 440, grey 240.
constexpr float kBoxTop = 220.0f;
constexpr float kBoxBottom = 440.0f;
constexpr float kBoxRight = 592.0f;
constexpr float kTextBoxLeft = 114.0f;   // beside the portrait
constexpr float kPlainBoxLeft = 48.0f;
constexpr float kBoxGrey = 240.0f;
constexpr float kBoxAlpha = 240.0f;

// The name plate: its end place, and where it slides in from.
constexpr float kPlateTop = 225.0f;
constexpr float kPlateBottom = 252.0f;
constexpr float kPlateLeft = 133.0f;
constexpr float kPlateSlideFrom = 53.0f;
constexpr float kPlatePadding = 30.0f;  // beyond the name's width
constexpr float kPlateCap = 6.0f;       // the caps' width on the screen

// Frame corners at the box's full size, and how they shrink below it.
constexpr float kCornerHeight = 30.0f;
constexpr float kCornerWidth = 8.0f;
constexpr float kSmallBoxHeight = 40.0f;
constexpr float kSmallBoxWidth = 58.0f;
constexpr float kCornerHeightShare = 0.75f;
constexpr float kCornerWidthShare = 0.14035088f;

// A choice list's entries and buttons.
constexpr float kChoiceIndent = 50.0f;
constexpr float kChoiceStep = 20.0f;
constexpr float kChoiceTop = 255.0f;
constexpr int32_t kChoiceWidth = 504;
constexpr float kButtonIndent = 300.0f;
constexpr float kButtonStep = 100.0f;
constexpr float kButtonTop = 408.0f;
constexpr int32_t kButtonWidth = 204;

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

EventBox LerpBox(const EventBox &a, const EventBox &b, float t)
{
    return {Lerp(a.top, b.top, t),     Lerp(a.bottom, b.bottom, t), Lerp(a.left, b.left, t),
            Lerp(a.right, b.right, t), Lerp(a.red, b.red, t),       Lerp(a.green, b.green, t),
            Lerp(a.blue, b.blue, t),   Lerp(a.alpha, b.alpha, t)};
}

uint8_t Byte(float value) { return static_cast<uint8_t>(std::clamp(value, 0.0f, 255.0f)); }

void SetCell(EventSprite *sprite, const EventAtlasCell &cell)
{
    sprite->SetUVs(cell.left / kAtlas, cell.top / kAtlas, cell.right / kAtlas, cell.bottom / kAtlas);
}

// The width the name takes in the font (0 without a font or a text block).
float NameWidth(EventPortrait *speaker)
{
    if (speaker == nullptr || speaker->name == nullptr) {
        return 0.0f;
    }
    if (speaker->nameText == nullptr && g_pGameSystem != nullptr) {
        speaker->nameText = g_pGameSystem->textBlocks.Acquire();
    }
    if (speaker->nameText == nullptr) {
        return 0.0f;
    }
    TextLayout layout;
    speaker->nameText->SetText(&layout, speaker->name, 0, 0, 0);
    return static_cast<float>(layout.widestRowWidth);
}

}  // namespace

// ---- sprites ----

void EventSprite::Place(float newLeft, float newTop, float newRight, float newBottom)
{
    left = newLeft;
    top = newTop;
    right = newRight;
    bottom = newBottom;
    SetQuadPositions(quad.v, left, top, right, bottom);
}

void EventSprite::SetUVs(float s0, float t0, float s1, float t1)
{
    u0 = s0;
    v0 = t0;
    u1 = s1;
    v1 = t1;
    SetQuadUVs(quad.v, s0, t0, s1, t1);
}

void EventSprite::SetColour(uint8_t a, uint8_t r, uint8_t g, uint8_t b) { SetQuadColour(quad.v, a, r, g, b); }

void EventSprite::Draw(const RwTexture *texture) const { DrawUIQuad(quad, texture); }

// ---- the window ----

CSEventMessageWindow::CSEventMessageWindow()
{
    portraitBorder_.Place(51.0f, 220.0f, 134.0f, 311.0f);
    SetCell(&portraitBorder_, kWindowPortraitBorderCell);
    portraitPicture_.Place(55.0f, 224.0f, 125.0f, 307.0f);
    portraitPicture_.SetUVs(0.0f, 0.0f, 1.0f, 1.0f);
    for (int i = 0; i < 3; ++i) {
        SetCell(&plateSprites_[i], kWindowPlateCells[i]);
    }
    for (int i = 0; i < 9; ++i) {
        SetCell(&frame_[i], kWindowFrameCells[i]);
    }
    SetCell(&arrow_, kWindowArrowCell);
    for (int i = 0; i < 2; ++i) {
        SetCell(&marker_.sprites[i], kWindowMarkerCells[i]);
    }
    // The third marker shows the action key's picture.
    float uv[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    if (g_eventLinks.actionKeyUVs != nullptr) {
        g_eventLinks.actionKeyUVs(uv);
    }
    marker_.sprites[2].SetUVs(uv[0], uv[1], uv[2], uv[3]);
    const uint8_t grey = Byte(kBoxGrey);
    for (EventSprite *sprite : {&portraitBorder_, &portraitPicture_, &arrow_}) {
        sprite->SetColour(255, grey, grey, grey);
    }
}

CSEventMessageWindow::~CSEventMessageWindow()
{
    Close();
    // The name blocks belong to the portraits; only the window's own go back.
}

bool CSEventMessageWindow::Open(const char16_t *text, uint8_t textMode, EventChoiceList *choices, float openSeconds,
                                uint8_t instant, EventPortrait *speaker)
{
    if (textMode == 0 && showTime_ > 0.0f) {
        return false;
    }
    Close();
    openSeconds_ = openSeconds;
    instant_ = instant;
    speaker_ = speaker;
    textMode_ = textMode;
    choices_ = choices;
    choiceMode_ = choices != nullptr ? 1 : 0;
    phase_ = kWindowClosed;
    opening_ = 0.0f;
    slide_ = 0.0f;
    const float nameWidth = NameWidth(speaker);
    if (textMode == 1) {
        boxStart_ = {kBoxTop, kBoxBottom, kTextBoxLeft, kBoxRight, kBoxGrey, kBoxGrey, kBoxGrey,
                     instant != 0 ? kBoxAlpha : 0.0f};
        boxEnd_ = boxStart_;
        boxEnd_.alpha = kBoxAlpha;
        plateEnd_ = {kPlateLeft, kPlateTop, kPlateLeft + nameWidth + kPlatePadding, kPlateBottom};
        plateStart_ = plateEnd_;
        plateStart_.left = instant != 0 ? kPlateLeft : kPlateSlideFrom;
        plateStart_.right = plateStart_.left + nameWidth + kPlatePadding;
    } else {
        boxStart_ = {kBoxTop, kBoxBottom, kPlainBoxLeft, kBoxRight, kBoxGrey, kBoxGrey, kBoxGrey, 0.0f};
        boxEnd_ = boxStart_;
        boxEnd_.alpha = kBoxAlpha;
        plateStart_ = plateEnd_ = {kPlateLeft, kPlateTop, kPlateLeft + nameWidth + kPlatePadding, kPlateBottom};
    }
    box_ = boxStart_;
    PlaceNamePlate(0.0f);
    if (choices_ != nullptr) {
        LayOutChoices();
    } else {
        text_ = text != nullptr ? std::u16string(text) : std::u16string();
        shown_.assign(text_.size(), u'\0');
        index_ = 0;
    }
    arrow_.Place(box_.right - 40.0f, box_.bottom - 43.0f, box_.right - 15.0f, box_.bottom - 15.0f);
    LayOutFrame();
    phase_ = kWindowOpening;
    return true;
}

void CSEventMessageWindow::Close()
{
    text_.clear();
    shown_.clear();
    if (textObject_ != nullptr) {
        textObject_->Reset(0);
        textObject_ = nullptr;
    }
    choices_ = nullptr;
    speaker_ = nullptr;
    phase_ = kWindowClosed;
    textMode_ = 0;
    choiceMode_ = 0;
    instant_ = 0;
    index_ = 0;
    finished_ = 0;
    charTimer_ = kWindowCharSeconds;
}

void CSEventMessageWindow::LayOutChoices()
{
    EventChoiceList &list = *choices_;
    list.textShown = -1;
    list.shownText = nullptr;
    const int32_t width = kChoiceWidth;
    float y = kChoiceTop;
    for (int32_t k = 0; k < list.count; ++k) {
        EventChoice &choice = list.options[k];
        if (choice.text == nullptr && g_pGameSystem != nullptr) {
            choice.text = g_pGameSystem->textBlocks.Acquire();
        }
        choice.x = box_.left + kChoiceIndent + (k > 0 ? kChoiceStep : 0.0f);
        if (k > 0) {
            y += static_cast<float>(list.options[k - 1].layout.totalHeight);
        }
        choice.y = y;
        if (choice.text != nullptr && choice.option != nullptr) {
            choice.text->SetText(&choice.layout, choice.option, static_cast<int32_t>(choice.x),
                                 static_cast<int32_t>(choice.y), width);
        }
    }
    for (int32_t k = 0; k < 2; ++k) {
        EventChoice &button = list.buttons[k];
        if (button.text == nullptr && g_pGameSystem != nullptr) {
            button.text = g_pGameSystem->textBlocks.Acquire();
        }
        button.x = box_.left + kButtonIndent + kButtonStep * static_cast<float>(k);
        button.y = kButtonTop;
        if (button.text != nullptr && button.option != nullptr) {
            button.text->SetText(&button.layout, button.option, static_cast<int32_t>(button.x),
                                 static_cast<int32_t>(button.y), kButtonWidth);
        }
    }
}

void CSEventMessageWindow::PlaceNamePlate(float t)
{
    plate_ = {Lerp(plateStart_.left, plateEnd_.left, t), Lerp(plateStart_.top, plateEnd_.top, t),
              Lerp(plateStart_.right, plateEnd_.right, t), Lerp(plateStart_.bottom, plateEnd_.bottom, t)};
    const float capRight = plate_.left + kPlateCap;
    const float capLeft = std::max(capRight, plate_.right - kPlateCap);
    plateSprites_[0].Place(plate_.left, plate_.top, capRight, plate_.bottom);
    plateSprites_[1].Place(capRight, plate_.top, capLeft, plate_.bottom);
    plateSprites_[2].Place(capLeft, plate_.top, plate_.right, plate_.bottom);
}

void CSEventMessageWindow::LayOutFrame()
{
    const float width = box_.right - box_.left;
    const float height = box_.bottom - box_.top;
    const float ch = height < kSmallBoxHeight ? height * kCornerHeightShare : kCornerHeight;
    const float cw = width < kSmallBoxWidth ? width * kCornerWidthShare : kCornerWidth;
    const float xs[4] = {box_.left, box_.left + cw, box_.right - cw, box_.right};
    const float ys[4] = {box_.top, box_.top + ch, box_.bottom - ch, box_.bottom};
    const uint8_t a = Byte(box_.alpha);
    const uint8_t r = Byte(box_.red);
    const uint8_t g = Byte(box_.green);
    const uint8_t b = Byte(box_.blue);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            EventSprite &piece = frame_[row * 3 + column];
            piece.Place(xs[column], ys[row], xs[column + 1], ys[row + 1]);
            piece.SetColour(a, r, g, b);
        }
    }
    for (EventSprite &piece : plateSprites_) {
        piece.SetColour(a, r, g, b);
    }
}

void CSEventMessageWindow::AnimationStep(float dt)
{
    switch (phase_) {
    case kWindowOpening:
        opening_ += dt;
        if (instant_ != 0 || opening_ >= openSeconds_) {
            box_ = boxEnd_;
            phase_ = kWindowSliding;
        } else {
            box_ = LerpBox(boxStart_, boxEnd_, openSeconds_ > 0.0f ? opening_ / openSeconds_ : 1.0f);
        }
        break;
    case kWindowSliding:
        if (instant_ != 0) {
            PlaceNamePlate(1.0f);
            phase_ = kWindowOpen;
            break;
        }
        slide_ = std::min(slide_ + dt, 1.0f);
        PlaceNamePlate(slide_);
        if (slide_ >= 1.0f) {
            phase_ = kWindowOpen;
        }
        break;
    case kWindowOpen:
        box_ = boxEnd_;
        break;
    default:
        break;
    }
    LayOutFrame();
    blinkTimer_ += dt;
}

void CSEventMessageWindow::Update(float dt)
{
    if (showTime_ > 0.0f) {
        showTimer_ += dt;
        if (showTimer_ < showTime_ || textMode_ == 1 || phase_ == kWindowOpening) {
            // A message whose time runs out while its box still grows
            // finishes growing and closes right after.
            AnimationStep(dt);
        } else {
            Close();
            showTimer_ = 0.0f;
            showTime_ = 0.0f;
        }
    } else {
        AnimationStep(dt);
    }
    if (phase_ >= kWindowSliding) {
        charTimer_ += dt;
    }
}

void CSEventMessageWindow::StepText()
{
    if (textMode_ == 1 && choiceMode_ == 0 && blinkTimer_ >= kWindowBlinkSeconds) {
        blink_ = blink_ != 0 ? 0 : 1;
        blinkTimer_ = 0.0f;
    }
    if (phase_ < kWindowSliding) {
        return;
    }
    if (textMode_ == 1 && (choiceMode_ == 0 || (choices_ != nullptr && choices_->textShown >= 0))) {
        const int32_t language = g_pGameSystem != nullptr ? g_pGameSystem->language : 1;
        if (language != 0) {
            finished_ = 1;
        }
        if (charTimer_ >= kWindowCharSeconds && finished_ == 0) {
            if (index_ < shown_.size()) {
                shown_[index_] = text_[index_];
            }
            if (index_ >= text_.size()) {
                finished_ = 1;
            } else {
                ++index_;
            }
            charTimer_ = 0.0f;
        }
    }
}

std::u16string CSEventMessageWindow::ShownText() const
{
    if (finished_ != 0) {
        return text_;
    }
    return std::u16string(shown_.c_str());
}

void CSEventMessageWindow::ShowChoiceText(int32_t entry, const char16_t *text)
{
    if (choices_ == nullptr) {
        return;
    }
    choices_->textShown = entry;
    choices_->shownText = text;
    text_ = text != nullptr ? std::u16string(text) : std::u16string();
    shown_.assign(text_.size(), u'\0');
    index_ = 0;
    finished_ = 0;
    charTimer_ = kWindowCharSeconds;
}

void CSEventMessageWindow::ConfirmChoiceText()
{
    if (choices_ == nullptr || choices_->textShown < 0) {
        return;
    }
    if (finished_ == 0) {
        finished_ = 1;
        return;
    }
    choices_->textShown = -1;
    choices_->shownText = nullptr;
}

void CSEventMessageWindow::ShowMarker(bool on, const RwV3d &world, int32_t kind, int32_t heroIndex, int32_t eventId)
{
    if (!on) {
        if (marker_.eventId == eventId) {
            marker_.on = 0;
            marker_.eventId = 0;
        }
        return;
    }
    marker_.on = 1;
    marker_.kind = std::clamp(kind, 0, 2);
    marker_.eventId = eventId;
    RwV3d point = world;
    point.y += heroIndex == 1 ? 18.0f : 20.0f;
    RwV3d cameraPoint;
    float x = 0.0f;
    float y = 0.0f;
    const bool camera = g_pGameSystem != nullptr && g_pGameSystem->camera != nullptr;
    if (!camera || !CameraSpacePoint(point, &cameraPoint) || !ProjectToVirtualScreen(cameraPoint, &x, &y)) {
        // Behind the camera: nowhere on the screen this frame.
        x = -1000.0f;
        y = -1000.0f;
    }
    EventSprite &sprite = marker_.sprites[marker_.kind];
    if (marker_.kind == 2) {
        sprite.Place(x - 13.0f, y + 10.0f, x + 12.0f, y + 35.0f);
    } else {
        sprite.Place(x - 8.0f, y - 15.0f, x + 8.0f, y + 15.0f);
    }
    const uint8_t grey = Byte(kBoxGrey);
    sprite.SetColour(255, grey, grey, grey);
}
