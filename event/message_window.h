// CSEventMessageWindow: the dialogue box of the in-game events. A framed box
// in the lower half of the 640 x 480 screen that shows a speaker's name
// plate and portrait and reveals its text one character every 0.1 s, or a
// plain framed message (which may close by itself after a show time), or a
// list of choices; beside it, the speech marker over the first hero's head.
// The event manager owns one, advances it every frame (Update) and ticks it
// from the stage's 2D pass (Tick); the talk events open and close it.
//
// Every piece is a sprite cut from the interface texture (the overlay's
// PLAYER atlas), drawn with the text blocks of the game system's pool. The
// typewriter and the arrow's blink advance in StepText, which Tick calls
// before it draws, so tests can run them without a device.
#pragma once

#include <cstdint>
#include <string>

#include "app/text_block.h"
#include "event/message_window_cells.h"
#include "ui/ui_quad.h"

class CSTextBlock;
struct RwTexture;

// One sprite: its quad, its screen rectangle and its texture coordinates.
struct EventSprite {
    UIQuad quad;
    float left, right, top, bottom;
    float u0, v0, u1, v1;

    void Place(float newLeft, float newTop, float newRight, float newBottom);
    void SetUVs(float s0, float t0, float s1, float t1);
    void SetColour(uint8_t a, uint8_t r, uint8_t g, uint8_t b);
    void Draw(const RwTexture *texture) const;
};

// The box's rectangle and colour (0..255 as floats, so it interpolates).
struct EventBox {
    float top, bottom, left, right;
    float red, green, blue, alpha;
};

// The name plate's rectangle.
struct EventPlateRect {
    float left, top, right, bottom;
};

// A speaker: the stage's portrait of an NPC type (see event_data_files.h).
struct EventPortrait {
    RwTexture *texture;        // one reference held
    int32_t number;            // 0..16
    const char16_t *name;      // borrowed from the NPC type
    CSTextBlock *nameText;     // the name's text block, taken on first use
    int32_t eventId;
};

// One entry of a choice list: its text block, where it stands, its text
// (borrowed), the layout of its last placing, and its colour.
struct EventChoice {
    CSTextBlock *text;
    float x, y;
    const char16_t *option;
    TextLayout layout;
    uint32_t colour;  // ARGB
};

// A highlight quad of a choice list: drawn over the entry it slides to.
struct EventHighlight {
    uint8_t on;       // sliding; the first is drawn also when still
    EventSprite sprite;
    float elapsed;
    float targetX, targetY;
    float startX, startY;
    float speed;      // the slide takes 0.3 / speed seconds
    float width, height;
};

inline constexpr int kEventHighlights = 10;

// A choice list, owned by the event that opens the window with it.
struct EventChoiceList {
    EventChoice *options;      // `count` entries
    int32_t count;
    EventChoice buttons[2];
    EventHighlight highlights[kEventHighlights];
    // The entry whose own text the window shows in place of the list
    // (-1: none): set by the caller, cleared by the window once the text was
    // shown whole and confirmed (ConfirmChoiceText).
    int32_t textShown;
    const char16_t *shownText;
};

// The speech marker of the first hero.
struct EventSpeechMarker {
    EventSprite sprites[3];
    uint8_t on;
    int32_t kind;
    int32_t eventId;
};

// Phases.
inline constexpr int32_t kWindowClosed = 0;
inline constexpr int32_t kWindowOpening = 1;
inline constexpr int32_t kWindowSliding = 2;
inline constexpr int32_t kWindowOpen = 3;

inline constexpr float kWindowCharSeconds = 0.1f;
inline constexpr float kWindowBlinkSeconds = 0.4f;

class CSEventMessageWindow {
public:
    CSEventMessageWindow();
    ~CSEventMessageWindow();
    CSEventMessageWindow(const CSEventMessageWindow &) = delete;
    CSEventMessageWindow &operator=(const CSEventMessageWindow &) = delete;

    // Opens the window on `text` (copied) in text mode 1 (name plate,
    // portrait, typewriter) or 0 (a plain message), with or without a
    // choice list, growing over `openSeconds` or at once when `instant`.
    // A plain message is refused (false) while a timed message runs.
    bool Open(const char16_t *text, uint8_t textMode, EventChoiceList *choices, float openSeconds, uint8_t instant,
              EventPortrait *speaker);
    void Close();
    void Update(float dt);
    // The typewriter and the blink (each tick), then the drawing.
    void Tick();
    void StepText();
    bool IsBusy() const { return textMode_ == 1 || showTime_ > 0.0f; }
    bool IsFinished() const { return finished_ != 0; }
    void Finish() { finished_ = 1; }
    void ShowMarker(bool on, const RwV3d &world, int32_t kind, int32_t heroIndex, int32_t eventId);
    // A plain message closes once it has shown for `seconds`.
    void SetShowTime(float seconds) { showTime_ = seconds; }

    // The choice list's own text: shown in place of the list (typewriter
    // from its start) until ConfirmChoiceText after it showed whole.
    void ShowChoiceText(int32_t entry, const char16_t *text);
    void ConfirmChoiceText();

    // The scene routines hand their subtitle here.
    void SetSubtitle(CSTextBlock *text, uint8_t on)
    {
        subtitle_ = text;
        subtitleOn_ = on;
    }

    // ---- what the manager and the tests read ----
    int32_t Phase() const { return phase_; }
    uint8_t TextMode() const { return textMode_; }
    uint8_t ChoiceMode() const { return choiceMode_; }
    const EventBox &Box() const { return box_; }
    const EventPlateRect &Plate() const { return plate_; }
    const std::u16string &Text() const { return text_; }
    // The part of the text the typewriter has shown.
    std::u16string ShownText() const;
    const EventSpeechMarker &Marker() const { return marker_; }
    const EventSprite &Frame(int i) const { return frame_[i]; }
    const EventSprite &Arrow() const { return arrow_; }
    bool ArrowShown() const { return blink_ != 0; }
    const EventSprite &PortraitBorder() const { return portraitBorder_; }
    const EventSprite &PortraitPicture() const { return portraitPicture_; }
    const EventSprite &PlatePiece(int i) const { return plateSprites_[i]; }
    float ShowTimer() const { return showTimer_; }
    const EventChoiceList *Choices() const { return choices_; }
    EventPortrait *Speaker() const { return speaker_; }
    CSTextBlock *TextObject() const { return textObject_; }
    uint8_t visible = 1;
    // Set by the manager before each tick: its text colour, and whether a
    // scene plays (only the scene's subtitle is drawn then).
    uint32_t textArgb = 0xFFAAAAAAu;
    bool sceneRunning = false;

private:
    void AnimationStep(float dt);
    void LayOutFrame();
    void PlaceNamePlate(float t);
    void LayOutChoices();
    void Draw();
    void DrawText(CSTextBlock **block, const char16_t *text, float x, float y, float width);

    EventSprite arrow_ = {};
    EventSprite portraitBorder_ = {};
    EventSprite portraitPicture_ = {};
    EventSprite plateSprites_[3] = {};
    EventPlateRect plate_ = {}, plateStart_ = {}, plateEnd_ = {};
    float slide_ = 0.0f;
    EventPortrait *speaker_ = nullptr;
    EventSprite frame_[9] = {};
    EventBox box_ = {}, boxStart_ = {}, boxEnd_ = {};
    std::u16string text_;
    std::u16string shown_;
    size_t index_ = 0;
    int32_t layoutWords_[2] = {};
    float blinkTimer_ = 0.0f;
    uint8_t blink_ = 0;
    float opening_ = 0.0f;  // seconds since the opening started
    int32_t phase_ = kWindowClosed;
    float showTimer_ = 0.0f;
    float showTime_ = 0.0f;
    uint8_t textMode_ = 0;
    CSTextBlock *textObject_ = nullptr;
    TextLayout layout_ = {};
    uint8_t choiceMode_ = 0;
    EventChoiceList *choices_ = nullptr;
    float openSeconds_ = 0.0f;
    uint8_t instant_ = 0;
    float charTimer_ = kWindowCharSeconds;
    uint8_t finished_ = 0;
    EventSpeechMarker marker_ = {};
    CSTextBlock *subtitle_ = nullptr;
    uint8_t subtitleOn_ = 0;
};
