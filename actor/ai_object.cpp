// AiObject: construction, the message queue, hit marks, the touched list and
// the plain HP step (see ai_object.h).
#include "actor/ai_object.h"

#include "app/debug.h"
#include "app/int_range.h"

int32_t SideOfAiType(int32_t aiType)
{
    if (IsHeroType(aiType)) {
        return kSideHero;
    }
    if (aiType >= 1000 && aiType <= 1205) {
        return kSideMonster;
    }
    return kSideNeutral;
}

AiObject::AiObject()
{
    for (MSGData &msg : msgQueue) {
        FreeMessage(&msg);
    }
}

bool AiObject::ReceiveMessage(const MSGData &msg)
{
    // A release supersedes the holds still waiting unread: the queue hands
    // out the newest of a kind first, so an actor that did not run between
    // the two (a scene freezes every actor but its own) would read the
    // release, then the hold, and stand held for ever.
    if (msg.kind == kMsgControl && msg.word[1] == kCtlRelease) {
        int kept = 0;
        for (int i = 0; i < msgCount; ++i) {
            if (msgQueue[i].kind == kMsgControl && msgQueue[i].word[1] == kCtlShowHold) {
                FreeMessage(&msgQueue[i]);
                continue;
            }
            msgQueue[kept++] = msgQueue[i];
        }
        for (int i = kept; i < msgCount; ++i) {
            FreeMessage(&msgQueue[i]);
        }
        msgCount = kept;
    }
    if (msgCount >= kActorQueueSize) {
        DebugPrint("The MSGData Array is full in AiObject(Type: %d).\n", aiType);
        return false;
    }
    // Rising kind order; a new message goes behind those of its kind.
    int at = msgCount;
    while (at > 0 && msgQueue[at - 1].kind > msg.kind) {
        msgQueue[at] = msgQueue[at - 1];
        --at;
    }
    msgQueue[at] = msg;
    msgQueue[at].used = 1;
    ++msgCount;
    return true;
}

MSGData *AiObject::PopMessage()
{
    if (msgCount <= 0) {
        return nullptr;
    }
    --msgCount;
    return &msgQueue[msgCount];
}

void AiObject::ClearMessages()
{
    for (int i = 0; i < msgCount; ++i) {
        FreeMessage(&msgQueue[i]);
    }
    msgCount = 0;
}

int32_t AiObject::GetLinkValue(int32_t key) const
{
    for (const LinkEntry &entry : link) {
        if (entry.value != 0 && entry.key == key) {
            return entry.value;
        }
    }
    return 0;
}

void AiObject::SetLinkValue(int32_t key, int32_t value)
{
    for (LinkEntry &entry : link) {
        if (entry.value != 0 && entry.key == key) {
            entry.value = value;
            return;
        }
    }
    // A new key takes a free entry; a value of 0 leaves it free.
    for (LinkEntry &entry : link) {
        if (entry.value == 0) {
            entry = {key, value};
            return;
        }
    }
}

void AiObject::ClearLinkValues()
{
    for (LinkEntry &entry : link) {
        entry = {0, 0};
    }
}

bool AiObject::AddTouchedObject(int32_t kind, AiObject *object)
{
    if (touchedCount >= kTouchedListSize) {
        return false;
    }
    for (int i = 0; i < touchedCount; ++i) {
        if (touched[i].object == object) {
            return false;
        }
    }
    touched[touchedCount++] = TouchedEntry{1, kind, object};
    return true;
}

TouchedEntry *AiObject::PopTouchedObject()
{
    if (touchedCount <= 0) {
        return nullptr;
    }
    return &touched[--touchedCount];
}

void AiObject::SubtractHP(int32_t amount)
{
    hp = game::ClampToInt32(int64_t{hp} - amount, 0);
}
