// The stage's pool of 350 messages between actors. Messages posted during a
// frame are delivered once, after the actor pass, into their targets'
// queues; so a message posted in one frame is read in the target's next
// think step. Pending messages are dropped (Clear) before actors are freed.
#pragma once

#include <cstdint>

#include "actor/ai_message.h"

class CAiMsgPool {
public:
    static constexpr int kSize = 350;

    CAiMsgPool();
    CAiMsgPool(const CAiMsgPool &) = delete;
    CAiMsgPool &operator=(const CAiMsgPool &) = delete;

    // The stage's actor chain, walked by the broadcasts (heroes included).
    void SetChain(AiObject *const *head) { chain_ = head; }

    // 1 when the first free record took the message; 0 when the pool is
    // full or the target or the payload is null.
    int Post(int32_t kind, AiObject *sender, AiObject *target, const int32_t *payload);
    int Post(int32_t kind, AiObject *sender, AiObject *target, int32_t w0, int32_t w1, int32_t w2);
    // One message to every actor of AI type 2 and above that is not
    // removed, not busy and not broadcast-excluded; 1 when done, 0 when the
    // pool ran out.
    int PostToNonHeroes(int32_t kind, AiObject *sender, const int32_t *payload);
    // The same for the heroes (AI types 0 and 1) that are not removed.
    int PostToHeroes(int32_t kind, AiObject *sender, const int32_t *payload);

    // Hands every posted message to its target's queue (removed targets get
    // nothing) and frees the records. A kind-0 message, and in camera modes
    // 2, 5 and 6 any message, sets the target's forced-full-frame flag.
    void Deliver(int32_t cameraMode);
    // Drops every pending message without delivering it.
    void Clear();
    int PendingCount() const { return pending_; }

private:
    MSGData records_[kSize];
    AiObject *const *chain_ = nullptr;
    int pending_ = 0;
};
