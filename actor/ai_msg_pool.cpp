// The stage's message pool (see ai_msg_pool.h).
#include "actor/ai_msg_pool.h"

#include "actor/ai_object.h"
#include "app/trace.h"

namespace {

bool ForcesFullFrame(int32_t kind, int32_t cameraMode)
{
    return kind == kMsgControl || cameraMode == 2 || cameraMode == 5 || cameraMode == 6;
}

}  // namespace

CAiMsgPool::CAiMsgPool()
{
    Clear();
}

int CAiMsgPool::Post(int32_t kind, AiObject *sender, AiObject *target, const int32_t *payload)
{
    if (target == nullptr || payload == nullptr || pending_ >= kSize) {
        return 0;
    }
    // Records are only ever freed all together (delivery, Clear), so the
    // first free record is the one after those taken.
    records_[pending_] = MSGData{1, kind, sender, target, {payload[0], payload[1], payload[2]}};
    ++pending_;
    return 1;
}

int CAiMsgPool::Post(int32_t kind, AiObject *sender, AiObject *target, int32_t w0, int32_t w1, int32_t w2)
{
    const int32_t payload[3] = {w0, w1, w2};
    return Post(kind, sender, target, payload);
}

int CAiMsgPool::PostToNonHeroes(int32_t kind, AiObject *sender, const int32_t *payload)
{
    if (chain_ == nullptr) {
        return 1;
    }
    for (AiObject *actor = *chain_; actor != nullptr; actor = actor->next) {
        if (actor->aiType >= 2 && !actor->removed && !actor->busy && !actor->broadcastExcluded &&
            Post(kind, sender, actor, payload) == 0) {
            return 0;
        }
    }
    return 1;
}

int CAiMsgPool::PostToHeroes(int32_t kind, AiObject *sender, const int32_t *payload)
{
    if (chain_ == nullptr) {
        return 1;
    }
    for (AiObject *actor = *chain_; actor != nullptr; actor = actor->next) {
        if (IsHeroType(actor->aiType) && !actor->removed && Post(kind, sender, actor, payload) == 0) {
            return 0;
        }
    }
    return 1;
}

void CAiMsgPool::Deliver(int32_t cameraMode)
{
    const bool tracing = game::TraceOn();
    for (int i = 0; i < pending_; ++i) {
        MSGData &record = records_[i];
        AiObject *target = record.target;
        if (!target->removed && target->ReceiveMessage(record)) {
            if (ForcesFullFrame(record.kind, cameraMode)) {
                target->forcedFullFrame = true;
            }
            if (tracing) {
                game::TraceLine("msg")
                    .Int(record.kind)
                    .Int(record.sender != nullptr ? record.sender->aiId : -1)
                    .Int(target->aiId)
                    .Int(record.word[0])
                    .Int(record.word[1])
                    .Int(record.word[2]);
            }
        }
        FreeMessage(&record);
    }
    pending_ = 0;
}

void CAiMsgPool::Clear()
{
    for (MSGData &record : records_) {
        FreeMessage(&record);
    }
    pending_ = 0;
}
