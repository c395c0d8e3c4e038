// NPC conversations (see npc_talk_event.h).
#include "event/npc_talk_event.h"

#include <algorithm>

#include "app/pad_state.h"
#include "app/text_block.h"
#include "event/bound_actors.h"
#include "event/event_blocks.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/talk_event.h"

namespace {

constexpr float kMenuOpenSeconds = 0.5f;
constexpr float kTopicSlideSpeed = 1.0f;
constexpr float kBackSlideSpeed = 0.7f;
constexpr float kSecondSlideSpeed = 0.8f;
constexpr float kHighlightPadX = 8.0f;
constexpr float kHighlightPadY = 2.0f;
constexpr float kHighlightAlpha = 160.0f;

uint32_t Argb(const uint8_t rgba[4])
{
    return static_cast<uint32_t>(rgba[3]) << 24 | static_cast<uint32_t>(rgba[0]) << 16 |
           static_cast<uint32_t>(rgba[1]) << 8 | rgba[2];
}

uint8_t Channel(uint32_t argb, int shift) { return static_cast<uint8_t>(argb >> shift & 0xFFu); }

const char16_t *Conversation(const EventRecord *record, int32_t id)
{
    const char16_t *text = record->manager != nullptr ? record->manager->GetConversation(id) : nullptr;
    return text != nullptr ? text : u"";
}

void GiveBack(EventChoice &choice)
{
    if (choice.text != nullptr) {
        choice.text->Reset(0);
        choice.text = nullptr;
    }
}

}  // namespace

void CSNpcTalkEvent::Setup(EventPortrait *picture)
{
    Open = 0;
    MenuState = kNpcMenuTopics;
    Player = 0;
    Presses[0] = Presses[1] = 0;
    Blink = 0;
    BlinkTimer = 0.0f;
    ReturnStarted = 0;
    FreeMenu();
    if (Picture == nullptr) {
        Picture = picture;
    }
    Window = manager != nullptr ? manager->Window() : nullptr;
    TextColour = manager != nullptr ? Argb(manager->textColour) : 0xFFAAAAAAu;
    HighlightColour = TextColour;
    const int32_t count = std::clamp(Param % 100, 0, 99);
    FirstTopic = Param / 100 % 100;
    Menu.options = NewEventBlock<EventChoice>(static_cast<size_t>(count));
    Menu.count = count;
    for (int32_t k = 0; k < count; ++k) {
        Menu.options[k].option = Conversation(this, FirstTopic + k);
        Menu.options[k].colour = TextColour;
    }
    for (int32_t k = 0; k < 2; ++k) {
        Menu.buttons[k].option = Conversation(this, kNpcSecondListFirst + k);
        Menu.buttons[k].colour = TextColour;
    }
    Menu.textShown = -1;
    Current = 1;
    SecondCurrent = 0;
    HasText = 1;
    if (BoundActorCount(this) > 0) {
        TalkFollowFirstActor(this);
    }
}

uint8_t CSNpcTalkEvent::Pressed(int32_t button) const
{
    return g_eventLinks.heroPadButton != nullptr && g_eventLinks.heroPadButton(Player, button) == kPadPressedState;
}

uint8_t CSNpcTalkEvent::Check(float)
{
    TalkMarkerOffWhileRunning(this, Window);
    // A menu needs its heading and at least one topic.
    if (Menu.count < 2 || !TalkStartTest(this, Window)) {
        return 0;
    }
    Player = 0;
    return 1;
}

void CSNpcTalkEvent::ColourEntries()
{
    for (int32_t k = 0; k < Menu.count; ++k) {
        Menu.options[k].colour = TextColour;
    }
    Menu.buttons[0].colour = Menu.buttons[1].colour = TextColour;
}

void CSNpcTalkEvent::SlideTo(const EventChoice &entry, float speed)
{
    const float width = static_cast<float>(entry.layout.widestRowWidth) + 2.0f * kHighlightPadX;
    const float height = static_cast<float>(std::max(entry.layout.totalHeight, 1)) + 2.0f * kHighlightPadY;
    for (EventHighlight &highlight : Menu.highlights) {
        highlight.on = 1;
        highlight.elapsed = 0.0f;
        highlight.startX = highlight.sprite.left;
        highlight.startY = highlight.sprite.top;
        highlight.targetX = entry.x - kHighlightPadX;
        highlight.targetY = entry.y - kHighlightPadY;
        highlight.speed = speed;
        highlight.width = width;
        highlight.height = height;
    }
}

void CSNpcTalkEvent::OpenMenu()
{
    TalkHoldActors(this);
    if (Window != nullptr) {
        Window->Open(u"", 1, &Menu, kMenuOpenSeconds, 0, Picture);
    }
    ColourEntries();
    Current = 1;
    for (int i = 0; i < kEventHighlights; ++i) {
        EventHighlight &highlight = Menu.highlights[i];
        highlight.sprite.SetUVs(kWindowHighlightCell.left / 512.0f, kWindowHighlightCell.top / 512.0f,
                                kWindowHighlightCell.right / 512.0f, kWindowHighlightCell.bottom / 512.0f);
        // They come in from where the entry stands, so the first slide is short.
        const EventChoice &entry = Menu.options[Current];
        highlight.sprite.Place(entry.x - kHighlightPadX, entry.y - kHighlightPadY, entry.x, entry.y);
    }
    SlideTo(Menu.options[Current], kTopicSlideSpeed);
    TalkTurnCamera(this);
    EventTraceStep(this, "topic", Current);
    Open = 1;
    MenuState = kNpcMenuTopics;
}

void CSNpcTalkEvent::DrawPanel(float dt)
{
    BlinkTimer += dt;
    if (BlinkTimer >= kNpcBlinkSeconds) {
        BlinkTimer = 0.0f;
        Blink = Blink != 0 ? 0 : 1;
    }
    const float t = std::min(2.0f * BlinkTimer, 1.0f);
    const float f = Blink != 0 ? 1.0f - t : t;
    uint8_t rgb[3];
    for (int c = 0; c < 3; ++c) {
        const float from = Channel(TextColour, 16 - 8 * c);
        const float to = kNpcBlinkTo[c];
        rgb[c] = static_cast<uint8_t>(std::clamp(from + (to - from) * f, 0.0f, 255.0f));
    }
    HighlightColour = 0xFF000000u | static_cast<uint32_t>(rgb[0]) << 16 | static_cast<uint32_t>(rgb[1]) << 8 | rgb[2];
}

void CSNpcTalkEvent::BuildQuads(float dt)
{
    for (int i = 0; i < kEventHighlights; ++i) {
        EventHighlight &highlight = Menu.highlights[i];
        float x = highlight.targetX;
        float y = highlight.targetY;
        float alpha = kHighlightAlpha;
        if (highlight.on != 0) {
            highlight.elapsed += dt;
            const float duration = kNpcSlideSeconds / std::max(highlight.speed, 0.01f);
            const float t = std::min(highlight.elapsed / duration, 1.0f);
            x = highlight.startX + (highlight.targetX - highlight.startX) * t;
            y = highlight.startY + (highlight.targetY - highlight.startY) * t;
            alpha = kHighlightAlpha * static_cast<float>(kEventHighlights - i) / kEventHighlights;
            if (t >= 1.0f) {
                highlight.on = 0;
                x = highlight.targetX;
                y = highlight.targetY;
                alpha = kHighlightAlpha;
            }
        }
        highlight.sprite.Place(x, y, x + highlight.width, y + highlight.height);
        highlight.sprite.SetColour(static_cast<uint8_t>(alpha), Channel(HighlightColour, 16),
                                   Channel(HighlightColour, 8), Channel(HighlightColour, 0));
    }
}

void CSNpcTalkEvent::Update(float dt)
{
    if (ReturnStarted != 0 || MenuState == kNpcMenuClosing) {
        Close(0);
        return;
    }
    if (Menu.count < 2) {
        return;  // no menu to show (its own check never lets it occur)
    }
    if (Open == 0) {
        OpenMenu();
        return;
    }
    DrawPanel(dt);
    BuildQuads(dt);
    const int32_t slot = std::clamp(Player, 0, kEventPlayers - 1);
    const bool confirm = TalkTakePresses(this, slot, &Presses[slot], Window);
    const int32_t last = Menu.count - 1;
    switch (MenuState) {
    case kNpcMenuTopics:
        ColourEntries();
        Menu.options[Current].colour = HighlightColour;
        if (Pressed(kPadDown)) {
            EventPlayUISound(kNpcSoundMove);
            Current = Current >= last ? 1 : Current + 1;
            SlideTo(Menu.options[Current], kTopicSlideSpeed);
            EventTraceStep(this, "topic", Current);
        } else if (confirm) {
            EventPlayUISound(kNpcSoundConfirm);
            if (Current == last) {
                MenuState = kNpcMenuClosing;
            } else {
                MenuState = kNpcMenuSecond;
                SecondCurrent = 0;
                SlideTo(Menu.buttons[0], kBackSlideSpeed);
            }
        } else if (Pressed(kPadCross)) {
            EventPlayUISound(kNpcSoundConfirm);
            MenuState = kNpcMenuClosing;
        }
        break;
    case kNpcMenuSecond:
        ColourEntries();
        Menu.options[Current].colour = HighlightColour;
        Menu.buttons[SecondCurrent].colour = HighlightColour;
        if (Pressed(kPadLeft) || Pressed(kPadRight)) {
            EventPlayUISound(kNpcSoundMove);
            SecondCurrent = SecondCurrent == 0 ? 1 : 0;
            SlideTo(Menu.buttons[SecondCurrent], kSecondSlideSpeed);
        } else if (confirm) {
            EventPlayUISound(kNpcSoundConfirm);
            if (SecondCurrent == 0) {
                if (Window != nullptr) {
                    Window->ShowChoiceText(Current, Conversation(this, FirstTopic + Current + kNpcTopicTextOffset));
                }
                MenuState = kNpcMenuText;
                EventTraceStep(this, "text", Current);
            } else {
                MenuState = kNpcMenuTopics;
                SecondCurrent = 0;
                SlideTo(Menu.options[Current], kBackSlideSpeed);
            }
        } else if (Pressed(kPadCross)) {
            EventPlayUISound(kNpcSoundConfirm);
            MenuState = kNpcMenuTopics;
            SecondCurrent = 0;
            SlideTo(Menu.options[Current], kBackSlideSpeed);
        }
        break;
    case kNpcMenuText:
        if (confirm && Window != nullptr) {
            Window->ConfirmChoiceText();
        }
        if (Window == nullptr || Menu.textShown < 0) {
            Menu.textShown = -1;
            MenuState = kNpcMenuTopics;
            Presses[0] = Presses[1] = 0;
            SecondCurrent = 0;
            SlideTo(Menu.options[Current], kBackSlideSpeed);
        }
        break;
    default:
        break;
    }
}

void CSNpcTalkEvent::Close(int32_t atOnce)
{
    if (!TalkCameraBack(&ReturnStarted, atOnce != 0)) {
        return;
    }
    TalkEndRun(this, Window);
    ResetConversation();
    TalkEnd(this, Window, Picture);
}

void CSNpcTalkEvent::Stop()
{
    if (Open == 1 && Window != nullptr) {
        Window->Close();
    }
    TalkMarker(this, Window, false);
    ResetConversation();
    PressCount[0] = PressCount[1] = 0;
    IsOccur = 0;
    TextShown = 0;
}

void CSNpcTalkEvent::ResetConversation()
{
    Presses[0] = Presses[1] = 0;
    MenuState = kNpcMenuTopics;
    Menu.textShown = -1;
    Open = 0;
    ReturnStarted = 0;
}

void CSNpcTalkEvent::Release()
{
    if (Open == 1) {
        if (Window != nullptr) {
            Window->Close();
        }
        Open = 0;
    }
    FreeMenu();
    // The portraits go with the stage.
    Picture = nullptr;
    if (CentreOnModel != 0) {
        Circle.centre = {0.0f, 0.0f, 0.0f};
        CentreOnModel = 0;
    }
}

void CSNpcTalkEvent::FreeMenu()
{
    for (int32_t k = 0; Menu.options != nullptr && k < Menu.count; ++k) {
        GiveBack(Menu.options[k]);
    }
    GiveBack(Menu.buttons[0]);
    GiveBack(Menu.buttons[1]);
    FreeEventBlock(Menu.options);
    Menu.count = 0;
}
