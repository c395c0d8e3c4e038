// NPC conversations: like a dialogue, player 1's hero facing the NPC
// presses the action command, every actor holds still and the camera turns
// to the NPC; the message window then shows a topic menu. The pad moves a
// blinking highlight through the topics (down, wrapping to the first
// topic), a confirm opens the second list (left and right choose between
// its two entries: read the topic, or back), and the topic's text shows in
// the window until it is confirmed; the last topic, or cross, leaves.
//
// The menu comes from the stage's conversation file: the event's Param
// AABB makes entries AA .. AA + BB - 1 the topics (the first the heading,
// which is not chosen, the last the way out), each topic's text the entry
// 50 further, and entries 98 and 99 the second list. Event type 21.
#pragma once

#include <cstdint>

#include "event/event_record.h"
#include "event/message_window.h"

// Menu states.
inline constexpr int32_t kNpcMenuTopics = 0;
inline constexpr int32_t kNpcMenuSecond = 1;
inline constexpr int32_t kNpcMenuText = 2;
inline constexpr int32_t kNpcMenuClosing = 3;

inline constexpr int32_t kNpcTopicTextOffset = 50;
inline constexpr int32_t kNpcSecondListFirst = 98;
inline constexpr float kNpcBlinkSeconds = 0.5f;
inline constexpr float kNpcSlideSeconds = 0.3f;
inline constexpr uint8_t kNpcBlinkTo[3] = {255, 150, 50};
inline constexpr int32_t kNpcSoundMove = 6600010;
inline constexpr int32_t kNpcSoundConfirm = 6600020;

class CSNpcTalkEvent : public EventRecord {
public:
    uint8_t Ready;        // 1 at set-up
    uint8_t Open;         // the menu is on screen
    int32_t Player;       // the slot that opened it
    int32_t Presses[kEventPlayers];
    int32_t MenuState;
    EventChoiceList Menu;       // its options block is owned
    int32_t FirstTopic;         // AA
    int32_t Current;            // the chosen topic (1 .. count - 1)
    int32_t SecondCurrent;      // the second list's entry (0, 1)
    uint8_t Blink;
    float BlinkTimer;
    uint32_t HighlightColour;   // ARGB, blinking toward (255, 150, 50)
    uint32_t TextColour;        // ARGB, the manager's text colour
    EventPortrait *Picture;     // the NPC's portrait (the manager's)
    CSEventMessageWindow *Window;
    uint8_t ReturnStarted;

    void Setup(EventPortrait *picture);
    uint8_t Check(float dt);
    void Update(float dt);
    void Close(int32_t atOnce);
    // Stopped from outside without an end (a scene starts): the window
    // closes and the next occurrence opens the menu afresh.
    void Stop();
    void Release();

    // The blink and the highlight's slide (each frame of the run).
    void DrawPanel(float dt);
    void BuildQuads(float dt);

private:
    void FreeMenu();
    // Back at the topic list, nothing pressed, the window no longer open.
    void ResetConversation();
    void OpenMenu();
    void SlideTo(const EventChoice &entry, float speed);
    void ColourEntries();
    uint8_t Pressed(int32_t button) const;
};
